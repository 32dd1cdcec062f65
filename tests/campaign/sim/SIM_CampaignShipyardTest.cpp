// Building ships at a campaign yard: what it costs in cash and crew, which
// yards build which classes, and what a build leaves behind.
#include "CampaignTestWorld.h"

#include "campaign/sim/SIM_CampaignFleet.h"
#include "campaign/sim/SIM_CampaignNames.h"
#include "campaign/sim/SIM_CampaignShip.h"
#include "campaign/sim/SIM_CampaignShipsLog.h"
#include "campaign/sim/SIM_CampaignShipyard.h"
#include "campaign/sim/SIM_CampaignStats.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_ShipHull.h"

#include <gtest/gtest.h>

namespace {

using Yard = SIM_CampaignShipyard;

SIM_ShipDesign* FirstOfClass(int hullClass)
{
    for (SIM_ShipDesign* d : SIM_ShipDesign::GetList())
        if (d->GetHull() && d->GetHull()->GetClass() == hullClass && d->GetCost() > 0.0f)
            return d;
    return nullptr;
}

// A planet whose only yard is the one named.
SIM_CampaignEncounter* OnlyYard(const SIM_Campaign& campaign, const char* yard)
{
    static const char* const all[3] = {"shipyarda", "shipyardb", "shipyardc"};
    for (SIM_CampaignEncounter* e : campaign.GetEncounters()) {
        bool match = e->HasFacilityOfType(yard);
        for (const char* other : all)
            if (std::string(other) != yard && e->HasFacilityOfType(other))
                match = false;
        if (match)
            return e;
    }
    return nullptr;
}

class CampaignShipyard : public ::testing::Test {
protected:
    void SetUp() override
    {
        progress.Init(world.campaign.get());
        progress.cash = 100000;
        progress.crew = 1000;
        cruiser = FirstOfClass(0);
        fighter = FirstOfClass(2);
        ASSERT_NE(cruiser, nullptr);
        ASSERT_NE(fighter, nullptr);
        fullYard = OnlyYard(*world.campaign, "shipyarda");
        fighterYard = OnlyYard(*world.campaign, "shipyardc");
        ASSERT_NE(fullYard, nullptr);
        ASSERT_NE(fighterYard, nullptr);
    }

    SIM_CampaignFleet* NewFleetAt(SIM_CampaignEncounter* at)
    {
        auto* fleet = new SIM_CampaignFleet();
        progress.AddFleet(fleet);
        fleet->guiName = "Yard Test";
        fleet->SetLocation(at);
        return fleet;
    }

    CampaignTestWorld world;
    SIM_CampaignProgress& progress = SIM_CampaignProgress::GetInstance();
    SIM_ShipDesign* cruiser = nullptr;
    SIM_ShipDesign* fighter = nullptr;
    SIM_CampaignEncounter* fullYard = nullptr;
    SIM_CampaignEncounter* fighterYard = nullptr;
};

TEST_F(CampaignShipyard, CashIsTestedBeforeCrewAndEqualAmountsAreEnough)
{
    EXPECT_EQ(Yard::StateFor(500.0f, 10, 500, 10), Yard::BUILDABLE);
    EXPECT_EQ(Yard::StateFor(500.5f, 10, 500, 10), Yard::NO_CASH);
    EXPECT_EQ(Yard::StateFor(500.0f, 11, 500, 10), Yard::NO_CREW);
    // Short of both: the cash is the reason given.
    EXPECT_EQ(Yard::StateFor(501.0f, 11, 500, 10), Yard::NO_CASH);
}

TEST_F(CampaignShipyard, FightersComeInSquadronsOfOneCrewEachOtherClassesOneAtATime)
{
    EXPECT_EQ(Yard::QuantityFor(fighter, 16), 16);
    EXPECT_EQ(Yard::QuantityFor(fighter, 1), 1);
    EXPECT_EQ(Yard::QuantityFor(fighter, 17), 16);
    EXPECT_EQ(Yard::QuantityFor(cruiser, 16), 1);
    EXPECT_EQ(Yard::CrewNeeded(fighter, 16), 16);
    EXPECT_EQ(Yard::CrewNeeded(cruiser, 1), cruiser->GetCrewRequired());
}

TEST_F(CampaignShipyard, AFighterOnlyYardRefusesACruiserWhateverTheCash)
{
    EXPECT_TRUE(fighterYard->CanBuildClass(2));
    EXPECT_FALSE(fighterYard->CanBuildClass(0));
    EXPECT_EQ(Yard::CheckBuild(fighterYard, cruiser, 1), Yard::WRONG_CLASS);
    EXPECT_EQ(Yard::CheckBuild(fighterYard, fighter, 4), Yard::BUILDABLE);
    EXPECT_EQ(Yard::CheckBuild(fullYard, cruiser, 1), Yard::BUILDABLE);
    SIM_CampaignFleet* fleet = NewFleetAt(fighterYard);
    const int cash = progress.cash;
    EXPECT_EQ(Yard::Build(fighterYard, fleet, cruiser, 1), nullptr);
    EXPECT_TRUE(fleet->GetShips().empty());
    EXPECT_EQ(progress.cash, cash);
}

TEST_F(CampaignShipyard, AFleetThatLeftTheYardTakesNoNewShip)
{
    SIM_CampaignFleet* fleet = NewFleetAt(fullYard);
    ASSERT_NE(Yard::Build(fullYard, fleet, cruiser, 1), nullptr);
    EXPECT_EQ(Yard::CheckBuild(fullYard, cruiser, 1, fleet), Yard::BUILDABLE);
    // Sent off while the yard stayed open.
    fleet->SetLocation(fighterYard);
    const int cash = progress.cash;
    const int crew = progress.crew;
    EXPECT_EQ(Yard::CheckBuild(fullYard, cruiser, 1, fleet), Yard::FLEET_AWAY);
    EXPECT_EQ(Yard::CheckBuild(fullYard, cruiser, 1), Yard::BUILDABLE) << "the yard itself can still build";
    EXPECT_EQ(Yard::Build(fullYard, fleet, cruiser, 1), nullptr);
    EXPECT_EQ(fleet->GetShips().size(), 1u);
    EXPECT_EQ(progress.cash, cash);
    EXPECT_EQ(progress.crew, crew);
    // Back at the yard, it builds again.
    fleet->SetLocation(fullYard);
    EXPECT_NE(Yard::Build(fullYard, fleet, cruiser, 1), nullptr);
    EXPECT_EQ(fleet->GetShips().size(), 2u);
}

TEST_F(CampaignShipyard, ASquadronIsPaidPerFighterWithTheFractionCutOff)
{
    const float saved = fighter->cost;
    fighter->cost = 12.5f;
    SIM_CampaignFleet* fleet = NewFleetAt(fullYard);
    progress.cash = 1000;
    progress.crew = 20;
    SIM_CampaignShip* squadron = Yard::Build(fullYard, fleet, fighter, 3);
    fighter->cost = saved;
    ASSERT_NE(squadron, nullptr);
    EXPECT_EQ(progress.cash, 1000 - 37); // 37.5 taken as 37
    EXPECT_EQ(progress.crew, 17);
    EXPECT_EQ(squadron->quantity, 3);
    EXPECT_EQ(squadron->fleet, fleet);
    EXPECT_EQ(fleet->shipCount, 3);
    EXPECT_EQ(squadron->modules.size(), fighter->GetModules().size());
    ASSERT_EQ(squadron->log->GetEntries().size(), 1u);
    EXPECT_EQ(squadron->log->GetEntries()[0].kind, SIM_CampaignShipsLog::CONSTRUCTION);
    const SIM_CampaignStats::Entry* built = progress.GetStats().Find("ships_built");
    ASSERT_NE(built, nullptr);
    EXPECT_EQ(built->count, 3);
}

TEST_F(CampaignShipyard, TheLastCreditBuildsAndOneLessDoesNot)
{
    SIM_CampaignFleet* fleet = NewFleetAt(fullYard);
    const int cost = static_cast<int>(cruiser->GetCost());
    progress.crew = cruiser->GetCrewRequired();
    progress.cash = cost - 1;
    EXPECT_EQ(Yard::Build(fullYard, fleet, cruiser, 1), nullptr);
    progress.cash = cost;
    SIM_CampaignShip* ship = Yard::Build(fullYard, fleet, cruiser, 1);
    ASSERT_NE(ship, nullptr);
    EXPECT_EQ(progress.cash, cost - static_cast<int>(cruiser->GetCost()));
    EXPECT_EQ(progress.crew, 0);
    // Nothing left for a second one.
    EXPECT_EQ(Yard::CheckBuild(fullYard, cruiser, 1), cost > 0 ? Yard::NO_CASH : Yard::NO_CREW);
}

TEST(CampaignNames, ControlCharactersNewlinesBracketsAndEqualsGo)
{
    EXPECT_EQ(CleanCampaignName("Home\nGuard"), "HomeGuard");
    EXPECT_EQ(CleanCampaignName("[fleet3] = x"), "fleet3]  x");
    EXPECT_EQ(CleanCampaignName("  Vale\t "), "Vale");
    EXPECT_EQ(CleanCampaignName("\x01\x7F"), "");
    EXPECT_EQ(CleanCampaignName("Spear of Dawn"), "Spear of Dawn");
}

} // namespace
