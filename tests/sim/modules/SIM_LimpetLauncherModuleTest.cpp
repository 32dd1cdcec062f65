#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <memory>

#include "engine/GeometryHelpers.h"
#include "sim/SIM_BattleClock.h"

#include "sim/modules/MissileTestWorld.h"
#include "sim/modules/SIM_LimpetLauncherModule.h"

namespace {

class LimpetTest : public ::testing::Test {
protected:
    // A launcher at the origin and its first limpet, launched.
    SIM_Limpet& LaunchOne(SIM_LimpetLauncherModule* launcher)
    {
        launcher->Fire();
        return launcher->GetLimpet(0);
    }

    // Frames of the limpet's own update until it reaches the state (or gives up).
    static int RunUntil(SIM_Limpet& limpet, int state, int limit = 3000)
    {
        int n = 0;
        while (limpet.GetState() != state && n < limit) {
            limpet.Update();
            ++n;
        }
        return n;
    }

    MissileTestWorld world;
};

TEST_F(LimpetTest, LaunchesDriftsChasesAFighterAndSticksWithItsWeight)
{
    SIM_LimpetLauncherModule* launcher = MissileTestWorld::Get<SIM_LimpetLauncherModule>(world.Build("d_limpets", 0, 0));
    SIM_Ship* fighter = world.Build("fighter", 0, -300, true);
    const float mass = fighter->mass;
    SIM_Limpet& limpet = LaunchOne(launcher);
    ASSERT_EQ(limpet.GetState(), SIM_Limpet::LAUNCHING);
    EXPECT_GE(limpet.attachX, -4.0f);
    EXPECT_LE(limpet.attachX, 4.0f);

    limpet.Update(); // 12 of 600 ms: speed from 4 toward 1
    EXPECT_FLOAT_EQ(limpet.GetSpeed(), 4.0f - 3.0f * 0.02f);
    EXPECT_EQ(RunUntil(limpet, SIM_Limpet::DRIFTING), 49); // 600 ms in 12 ms frames
    EXPECT_FLOAT_EQ(limpet.GetSpeed(), 1.0f);

    // The first drift update scans at once and finds the fighter within 500.
    limpet.Update();
    EXPECT_EQ(limpet.GetState(), SIM_Limpet::CHASING);
    EXPECT_EQ(limpet.GetTarget(), fighter);
    EXPECT_FLOAT_EQ(limpet.GetSpeed(), 1.0f) << "drifting never goes below the end launch speed";

    RunUntil(limpet, SIM_Limpet::STUCK);
    ASSERT_EQ(limpet.GetState(), SIM_Limpet::STUCK);
    EXPECT_FLOAT_EQ(fighter->carriedLimpetWeight, 20.0f);
    EXPECT_FLOAT_EQ(fighter->mass, mass + 20.0f);
    ASSERT_EQ(fighter->GetLimpets().size(), 1u);

    // Stuck limpets ride along.
    fighter->x += 50.0f;
    launcher->Update();
    EXPECT_NEAR(limpet.x, fighter->x + limpet.attachX, 1e-3f);

    // Shaken off (a shock wave, docking): drifting again, the weight gone.
    fighter->DetachLimpets();
    EXPECT_EQ(limpet.GetState(), SIM_Limpet::DRIFTING);
    EXPECT_FLOAT_EQ(fighter->carriedLimpetWeight, 0.0f);
    EXPECT_FLOAT_EQ(fighter->mass, mass);
    EXPECT_TRUE(fighter->GetLimpets().empty());
}

TEST_F(LimpetTest, DriftingTurnsAndMovesBitForBitAsTheExactBearingWould)
{
    SIM_LimpetLauncherModule* launcher = MissileTestWorld::Get<SIM_LimpetLauncherModule>(world.Build("d_limpets", 0, 0));
    SIM_Limpet& limpet = LaunchOne(launcher);
    RunUntil(limpet, SIM_Limpet::DRIFTING);
    ASSERT_EQ(limpet.GetState(), SIM_Limpet::DRIFTING);
    const float kDegToRad = 3.14159265358979f / 180.0f;
    const float frameStep = SIM_BattleClock::GetInstance().frameStep;
    const float turn = limpet.turnSpeed * frameStep * 0.25f;
    ASSERT_GT(turn, 0.0f);
    int wide = 0, near = 0;
    for (int frame = 0; frame < 600; ++frame) {
        const float angle = limpet.angle, x = limpet.x, y = limpet.y, speed = limpet.GetSpeed();
        limpet.Update();
        ASSERT_EQ(limpet.GetState(), SIM_Limpet::DRIFTING);
        // The drift point as the frame steered for it (a new one is picked
        // before the turn).
        const float bearing = AngleBetweenPoints(x, y, limpet.driftX, limpet.driftY);
        const float want = RotateTowardsAngle(angle, bearing, turn);
        ASSERT_EQ(std::bit_cast<uint32_t>(limpet.angle), std::bit_cast<uint32_t>(want)) << "frame " << frame;
        const float distance = speed * frameStep;
        ASSERT_EQ(std::bit_cast<uint32_t>(limpet.x), std::bit_cast<uint32_t>(x + std::sin(want * kDegToRad) * distance));
        ASSERT_EQ(std::bit_cast<uint32_t>(limpet.y), std::bit_cast<uint32_t>(y - std::cos(want * kDegToRad) * distance));
        (AngleDifference(angle, bearing) > turn ? wide : near)++;
    }
    // Both ways were taken: turning by the full step and locking on.
    EXPECT_GT(wide, 20);
    EXPECT_GT(near, 20);
}

TEST_F(LimpetTest, HuntsOnlyFightersThatDoNotCarryItsWeightAlready)
{
    SIM_LimpetLauncherModule* launcher = MissileTestWorld::Get<SIM_LimpetLauncherModule>(world.Build("d_limpets", 0, 0));
    SIM_Ship* frigate = world.Build("frigate", 0, 0, true);
    SIM_Ship* laden = world.Build("fighter", 0, 0, true);
    laden->carriedLimpetWeight = 20.0f;
    SIM_Ship* far = world.Build("fighter", 0, 0, true);
    SIM_Limpet& limpet = LaunchOne(launcher);
    RunUntil(limpet, SIM_Limpet::DRIFTING);
    limpet.driftDeceleration = 0.0f;
    limpet.speed = 0.0f; // hold still while the prey is placed around it
    limpet.endLaunchSpeed = 0.0f;
    auto place = [&](SIM_Ship* s, float dy) {
        s->x = limpet.x;
        s->y = limpet.y + dy;
    };
    place(frigate, 50.0f);
    place(laden, 100.0f);
    place(far, -500.0f); // exactly at the seek range: not inside
    for (int i = 0; i < 20; ++i)
        limpet.Update();
    EXPECT_EQ(limpet.GetState(), SIM_Limpet::DRIFTING) << "a frigate, a laden fighter, one at 500";
    place(far, -499.0f);
    for (int i = 0; i < 9; ++i)
        limpet.Update();
    EXPECT_EQ(limpet.GetTarget(), far);
    laden->carriedLimpetWeight = 19.0f; // lighter than a limpet: prey again, and nearer
    for (int i = 0; i < 34; ++i) // the chase scans every 400 ms
        limpet.Update();
    EXPECT_EQ(limpet.GetTarget(), laden);
    SIM_Ship* chased = laden;
    // A fighter that docks is let go.
    chased->docked = 1;
    limpet.Update();
    EXPECT_EQ(limpet.GetState(), SIM_Limpet::DRIFTING);
    EXPECT_EQ(limpet.GetTarget(), nullptr);
}

TEST_F(LimpetTest, AllTenOutHoldsNoTargetAndADeadFighterGivesItsLimpetBack)
{
    SIM_Ship* ship = world.Build("d_limpets", 0, 0);
    SIM_LimpetLauncherModule* launcher = MissileTestWorld::Get<SIM_LimpetLauncherModule>(ship);
    SIM_Ship* fighter = world.Build("fighter", 0, -300, true);
    // The launcher's count of limpets out is what lets the frame skip them.
    EXPECT_EQ(launcher->CountLimpetsOut(), 0);
    for (int i = 0; i < SIM_LimpetLauncherModule::kLimpets; ++i) {
        launcher->ChooseTarget(true);
        ASSERT_EQ(launcher->GetTarget(), fighter);
        launcher->Fire();
        EXPECT_EQ(launcher->GetLimpet(i).GetState(), SIM_Limpet::LAUNCHING);
        EXPECT_EQ(launcher->CountLimpetsOut(), i + 1);
    }
    EXPECT_FALSE(launcher->HasFreeLimpet());
    EXPECT_FALSE(launcher->IsAutoTarget());
    EXPECT_EQ(launcher->GetTarget(), nullptr);
    launcher->Fire(); // nothing left: logs and launches nothing
    EXPECT_EQ(launcher->GetStatistics().entries.size(), 10u);

    SIM_Limpet& limpet = launcher->GetLimpet(0);
    RunUntil(limpet, SIM_Limpet::STUCK);
    ASSERT_EQ(limpet.GetState(), SIM_Limpet::STUCK);
    EXPECT_EQ(launcher->CountLimpetsOut(), 10) << "drifting, chasing and stuck are all out";
    // The fighter dies: its limpet is the launcher's again, and so is the choice of targets.
    fighter->StartDying();
    EXPECT_EQ(limpet.GetState(), SIM_Limpet::FREE);
    EXPECT_EQ(launcher->CountLimpetsOut(), 9);
    EXPECT_TRUE(fighter->GetLimpets().empty());
    EXPECT_TRUE(launcher->HasFreeLimpet());
    EXPECT_TRUE(launcher->IsAutoTarget());
}

TEST_F(LimpetTest, ALauncherThatGoesTakesItsLimpetsOffTheFighter)
{
    SIM_Ship* fighter = world.Build("fighter", 0, -300, true);
    const float mass = fighter->mass;
    {
        auto ship = std::make_unique<SIM_Ship>();
        ship->SetFleet(&world.Player());
        ship->BuildFromDesign(SIM_ShipDesign::Find("d_limpets"), std::make_unique<SIM_ShipOrders>());
        ship->SetAngle(0.0f);
        auto* launcher = MissileTestWorld::Get<SIM_LimpetLauncherModule>(ship.get());
        launcher->Fire();
        SIM_Limpet& limpet = launcher->GetLimpet(0);
        RunUntil(limpet, SIM_Limpet::STUCK);
        ASSERT_EQ(fighter->GetLimpets().size(), 1u);
        ASSERT_FLOAT_EQ(fighter->mass, mass + 20.0f);
    }
    EXPECT_TRUE(fighter->GetLimpets().empty());
    EXPECT_FLOAT_EQ(fighter->carriedLimpetWeight, 0.0f);
    EXPECT_FLOAT_EQ(fighter->mass, mass);
}

} // namespace
