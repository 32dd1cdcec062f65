// A fleet at the repair yard: repair-all pays module by module while the cash
// lasts, single repairs refuse what the cash cannot cover, and each ship's log
// gets one line with what it cost when the visit ends.
#include <gtest/gtest.h>

#include "CampaignTestWorld.h"

#include "campaign/sim/SIM_CampaignDryDock.h"
#include "campaign/sim/SIM_CampaignFleet.h"
#include "campaign/sim/SIM_CampaignShip.h"
#include "campaign/sim/SIM_CampaignShipsLog.h"
#include "sim/SIM_ShipDesign.h"

namespace {

class CampaignDryDock : public ::testing::Test {
protected:
    CampaignTestWorld world;
    SIM_CampaignProgress& progress = SIM_CampaignProgress::GetInstance();
    SIM_CampaignFleet* fleet = nullptr;

    void SetUp() override
    {
        ASSERT_TRUE(progress.CreateNew("dock", "federation"));
        ASSERT_TRUE(progress.Load("dock"));
        LoadCampaignStrings();
        fleet = new SIM_CampaignFleet();
        for (int i = 0; i < 3; ++i) {
            auto* s = new SIM_CampaignShip();
            s->SetDesign(SIM_ShipDesign::Find("fed_ai_escort"));
            s->id = SIM_CampaignShip::GetNextFreeID();
            s->name = "Dock " + std::to_string(i);
            s->InitModuleStates();
            s->RecalculateIntegrity();
            fleet->AddShip(s);
        }
        progress.AddFleet(fleet);
        fleet->SetLocation(world.campaign->GetHomeworldEncounter());
        ASSERT_GE(Ship(0)->modules.size(), 3u);
    }

    SIM_CampaignShip* Ship(size_t i) const { return fleet->GetShips()[i]; }

    // Damage items of the given prices on one module of the ship.
    static void Damage(SIM_CampaignShip* ship, size_t module, std::initializer_list<int> costs)
    {
        for (int cost : costs)
            ship->modules[module]->damage.push_back({"", 1.0f, cost});
        ship->RecalculateIntegrity();
    }
};

TEST_F(CampaignDryDock, RepairAllSkipsWhatTheCashLeftCannotCoverAndGoesOn)
{
    // Modules cost 100 (two items), 500 and 30, in that order.
    Damage(Ship(0), 0, {60, 40});
    Damage(Ship(0), 1, {500});
    Damage(Ship(0), 2, {30});
    Damage(Ship(2), 0, {10});
    SIM_CampaignDryDock dock(fleet);
    // Damaged ships in fleet order, the undamaged one left out.
    ASSERT_EQ(dock.GetShipCount(), 2u);
    EXPECT_EQ(dock.GetShip(0), Ship(0));
    EXPECT_EQ(dock.GetShip(1), Ship(2));
    EXPECT_EQ(SIM_CampaignDryDock::RepairAllCost(*Ship(0)), 630);

    progress.cash = 150;
    EXPECT_EQ(dock.RepairAll(*Ship(0)), 2);
    EXPECT_EQ(progress.cash, 20);
    EXPECT_TRUE(Ship(0)->modules[0]->damage.empty());
    EXPECT_EQ(Ship(0)->modules[1]->damage.size(), 1u); // 500 stays
    EXPECT_TRUE(Ship(0)->modules[2]->damage.empty());  // cheaper, after it: done
    EXPECT_LT(Ship(0)->integrity, 1.0f);
    EXPECT_FLOAT_EQ(dock.GetSpent(Ship(0)), 130.0f);

    // A module whose price equals the cash is repaired; one credit short is not.
    progress.cash = 499;
    EXPECT_FALSE(dock.RepairModule(*Ship(0), *Ship(0)->modules[1]));
    EXPECT_FALSE(dock.RepairEntry(*Ship(0), *Ship(0)->modules[1], 0));
    EXPECT_EQ(progress.cash, 499);
    progress.cash = 500;
    EXPECT_EQ(dock.RepairAll(*Ship(0)), 1);
    EXPECT_EQ(progress.cash, 0);
    EXPECT_FLOAT_EQ(Ship(0)->integrity, 1.0f);
    // Nothing left to repair: nothing happens.
    EXPECT_EQ(dock.RepairAll(*Ship(0)), 0);
    // A repaired ship stays in the visit's list.
    EXPECT_EQ(dock.GetShipCount(), 2u);
}

TEST_F(CampaignDryDock, SingleItemsAndTheLogLinesWrittenWhenTheVisitEnds)
{
    Damage(Ship(1), 0, {70, 25});
    {
        SIM_CampaignDryDock dock(fleet);
        progress.cash = 50;
        EXPECT_FALSE(dock.RepairEntry(*Ship(1), *Ship(1)->modules[0], 0)); // 70 > 50
        EXPECT_TRUE(dock.RepairEntry(*Ship(1), *Ship(1)->modules[0], 1));  // 25
        EXPECT_EQ(progress.cash, 25);
        ASSERT_EQ(Ship(1)->modules[0]->damage.size(), 1u);
        EXPECT_EQ(Ship(1)->modules[0]->damage[0].repairCost, 70);
        progress.cash = 1070;
        EXPECT_TRUE(dock.RepairModule(*Ship(1), *Ship(1)->modules[0]));
        EXPECT_EQ(progress.cash, 1000);
        // Nothing is written while the visit lasts.
        EXPECT_TRUE(Ship(1)->log->GetEntries().empty());
    }
    // One line for the ship, with the whole sum and its integrity now.
    ASSERT_EQ(Ship(1)->log->GetEntries().size(), 1u);
    const SIM_CampaignShipsLogEntry entry = Ship(1)->log->GetEntries()[0];
    EXPECT_EQ(entry.kind, SIM_CampaignShipsLog::REPAIR);
    EXPECT_NE(entry.text.find("95"), std::string::npos) << entry.text;
    EXPECT_NE(entry.text.find("100%"), std::string::npos) << entry.text;
    EXPECT_TRUE(Ship(0)->log->GetEntries().empty());
    // The visit was saved: the cash left and the log line are on disk.
    progress.cash = 7;
    ASSERT_TRUE(progress.Load("dock"));
    EXPECT_EQ(progress.cash, 1000);
    const SIM_CampaignShip* back = nullptr;
    for (SIM_CampaignFleet* f : progress.GetFleets())
        for (SIM_CampaignShip* s : f->GetShips())
            back = s->name == "Dock 1" ? s : back;
    ASSERT_NE(back, nullptr);
    ASSERT_EQ(back->log->GetEntries().size(), 1u);
    EXPECT_EQ(back->log->GetEntries()[0].text, entry.text);
}

TEST_F(CampaignDryDock, AFleetWithoutDamageGivesAnEmptyVisitThatWritesNothing)
{
    EXPECT_TRUE(SIM_CampaignDryDock::DamagedShips(fleet).empty());
    EXPECT_TRUE(SIM_CampaignDryDock::DamagedShips(nullptr).empty());
    SIM_CampaignDryDock dock(fleet);
    dock.Close();
    for (SIM_CampaignShip* s : fleet->GetShips())
        EXPECT_TRUE(s->log->GetEntries().empty());
}

} // namespace
