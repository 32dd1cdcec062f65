#include "campaign/sim/SIM_CampaignShipyard.h"

#include "campaign/sim/SIM_CampaignEncounter.h"
#include "campaign/sim/SIM_CampaignFleet.h"
#include "campaign/sim/SIM_CampaignProgress.h"
#include "campaign/sim/SIM_CampaignScreenHooks.h"
#include "campaign/sim/SIM_CampaignShip.h"
#include "campaign/sim/SIM_CampaignShipsLog.h"
#include "campaign/sim/SIM_CampaignStats.h"
#include "engine/GDebugLog.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_ShipHull.h"

#include <algorithm>

namespace {
bool IsFighter(const SIM_ShipDesign* design)
{
    return design && design->GetHull() && design->GetHull()->GetClass() == 2;
}
} // namespace

int SIM_CampaignShipyard::QuantityFor(const SIM_ShipDesign* design, int squadronSize)
{
    return IsFighter(design) ? std::clamp(squadronSize, 1, kMaxSquadron) : 1;
}

int SIM_CampaignShipyard::CrewNeeded(const SIM_ShipDesign* design, int quantity)
{
    if (!design)
        return 0;
    return IsFighter(design) ? quantity : design->GetCrewRequired();
}

int SIM_CampaignShipyard::StateFor(float totalCost, int crewNeeded, int cash, int crew)
{
    if (!(totalCost <= static_cast<float>(cash)))
        return NO_CASH;
    if (crewNeeded > crew)
        return NO_CREW;
    return BUILDABLE;
}

int SIM_CampaignShipyard::CheckBuild(const SIM_CampaignEncounter* yard, const SIM_ShipDesign* design,
                                     int squadronSize, const SIM_CampaignFleet* fleet)
{
    if (!design || !design->GetHull())
        return NO_DESIGN;
    const SIM_CampaignProgress& progress = SIM_CampaignProgress::GetInstance();
    const int q = QuantityFor(design, squadronSize);
    const int state = StateFor(static_cast<float>(q) * design->GetCost(), CrewNeeded(design, q), progress.cash,
                               progress.crew);
    if (state != BUILDABLE)
        return state;
    // A fighter-only yard cannot lay down a cruiser.
    if (!yard || !yard->CanBuildClass(design->GetHull()->GetClass()))
        return WRONG_CLASS;
    if (fleet && fleet->location != yard)
        return FLEET_AWAY;
    return BUILDABLE;
}

SIM_CampaignShip* SIM_CampaignShipyard::Build(SIM_CampaignEncounter* yard, SIM_CampaignFleet* fleet,
                                              SIM_ShipDesign* design, int squadronSize)
{
    QLM_ASSERT(yard && fleet);
    if (!yard || !fleet || CheckBuild(yard, design, squadronSize, fleet) != BUILDABLE)
        return nullptr;
    SIM_CampaignProgress& progress = SIM_CampaignProgress::GetInstance();
    const int q = QuantityFor(design, squadronSize);
    auto* ship = new SIM_CampaignShip();
    ship->SetDesign(design);
    ship->ChooseName();
    ship->quantity = q;
    ship->InitModuleStates();
    ship->id = SIM_CampaignShip::GetNextFreeID();
    ship->log->AddConstructionEntry(yard);
    fleet->AddShip(ship);
    progress.cash -= static_cast<int>(static_cast<float>(q) * design->GetCost());
    progress.crew -= CrewNeeded(design, q);
    QLM_ASSERT(progress.cash >= 0 && progress.crew >= 0);
    SIM_CampaignScreenHooks& hooks = SIM_CampaignScreenHooks::Get();
    hooks.UpdateCashCounter();
    hooks.UpdateCrewCounter();
    hooks.RefreshEncounterView(yard);
    hooks.RefreshFleetIcons();
    progress.GetStats().AddToStat("ships_built", q);
    progress.Save();
    return ship;
}
