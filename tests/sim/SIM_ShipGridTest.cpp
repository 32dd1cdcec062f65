#include <gtest/gtest.h>

#include <vector>

#include "sim/SIM_Fleet.h"
#include "sim/SIM_ShipGrid.h"
#include "sim/modules/ModuleTestWorld.h"
#include "sim/modules/SIM_BeamWeaponModule.h"
#include "sim/modules/SIM_TargetedModule.h"

TEST(ShipGridTest, EqualScoresGoToTheShipTheFleetListsFirstWhicheverCellIsSearchedFirst)
{
    ModuleTestWorld world;
    SIM_Ship* ship = world.Build("gunship", 0, 0);
    // The first enemy sits in a later cell than the second.
    SIM_Ship* first = world.Build("unarmed", 300, 300, true);
    world.Build("unarmed", -300, -300, true);
    SIM_ShipGrid& grid = SIM_ShipGrid::GetInstance();
    grid.Build();
    ASSERT_TRUE(grid.Covers(&world.Enemy()));
    ASSERT_LE(grid.GetCellSize(), 600.0f) << "the two enemies must lie in different cells";
    auto* laser = ModuleTestWorld::FindModule<SIM_BeamWeaponModule>(ship);
    laser->ChooseTarget(true);
    EXPECT_EQ(laser->GetTarget(), first);
    grid.Close();
}

TEST(ShipGridTest, ShipsMovingLeavingAndJoiningAreNeverMissed)
{
    ModuleTestWorld world;
    SIM_Ship* ship = world.Build("gunship", 0, 0);
    SIM_Ship* far = world.Build("unarmed", 2000, 2000, true);
    SIM_ShipGrid& grid = SIM_ShipGrid::GetInstance();
    grid.Build();
    auto* laser = ModuleTestWorld::FindModule<SIM_BeamWeaponModule>(ship);
    laser->ChooseTarget(true);
    EXPECT_EQ(laser->GetTarget(), nullptr);

    // Refiled where it now is.
    far->x = far->y = 200.0f;
    grid.NoteMoved(far);
    laser->ChooseTarget(true);
    EXPECT_EQ(laser->GetTarget(), far);

    // A ship leaving the fleet's list leaves the grid open, without it.
    world.Enemy().RemoveLiveShip(far);
    EXPECT_TRUE(grid.IsOpen());
    laser->ChooseTarget(true);
    EXPECT_EQ(laser->GetTarget(), nullptr);
    world.Enemy().AddLiveShip(far);
    grid.Build();
    ASSERT_TRUE(grid.IsOpen());

    // A ship joining the fleet closes the grid: the searches walk the lists.
    SIM_Ship* joined = world.Build("unarmed", 100, 0, true);
    EXPECT_FALSE(grid.IsOpen());
    far->x = far->y = 5000.0f;
    laser->ChooseTarget(true);
    EXPECT_EQ(laser->GetTarget(), joined);
}

TEST(ShipGridTest, AClosedGridOpensAgainOnlyWhenNothingHasMadeItStale)
{
    ModuleTestWorld world;
    world.Build("gunship", 0, 0);
    world.Build("unarmed", 200, 200, true);
    SIM_ShipGrid& grid = SIM_ShipGrid::GetInstance();
    grid.Build();
    grid.Close();
    grid.Resume();
    EXPECT_TRUE(grid.Covers(&world.Enemy()));
    grid.Resume();
    EXPECT_TRUE(grid.IsOpen()) << "resuming an open grid leaves it open";

    // Closing a closed grid leaves nothing to resume.
    grid.Close();
    grid.Close();
    grid.Resume();
    EXPECT_FALSE(grid.IsOpen());

    // A ship joining a fleet makes the grid stale between close and resume.
    grid.Build();
    grid.Close();
    world.Build("unarmed", 100, 0, true);
    grid.Resume();
    EXPECT_FALSE(grid.IsOpen());
}
