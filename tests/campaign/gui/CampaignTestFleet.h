#pragma once
// Player fleets as the campaign tests set them up: built as the shipyard
// would hand them over, sent on attacks, found on the map.
#include "campaign/gui/GUI_Encounter.h"
#include "campaign/gui/GUI_PlayerFleetIcon.h"
#include "campaign/sim/SIM_CampaignBattleManager.h"
#include "campaign/sim/SIM_CampaignEncounter.h"
#include "campaign/sim/SIM_CampaignFleet.h"
#include "campaign/sim/SIM_CampaignProgress.h"
#include "campaign/sim/SIM_CampaignShip.h"
#include "sim/SIM_ShipDesign.h"

// A warship of the design with a fresh id and whole modules, joined to the fleet.
inline SIM_CampaignShip* AddTestShip(SIM_CampaignFleet* fleet, const char* design, const char* name)
{
    auto* ship = new SIM_CampaignShip();
    ship->SetDesign(SIM_ShipDesign::Find(design));
    ship->id = SIM_CampaignShip::GetNextFreeID();
    ship->name = name;
    ship->InitModuleStates();
    fleet->AddShip(ship);
    return ship;
}

// What the shipyard would hand over: a fleet at a planet, with one warship of
// the design (none for a null design).
inline SIM_CampaignFleet* MakeTestFleet(SIM_CampaignEncounter* at, const char* design = "fed_ai_escort")
{
    auto* fleet = new SIM_CampaignFleet();
    if (design)
        AddTestShip(fleet, design, "Resolute");
    SIM_CampaignProgress::GetInstance().AddFleet(fleet);
    fleet->guiName = "First Fleet";
    fleet->SetLocation(at);
    // The planet shows its new fleet from the next frame on.
    if (GUI_Encounter* view = GUI_Encounter::Find(at))
        view->dirty = true;
    return fleet;
}

// The fleet sent from where it stands against the planet, as a drag onto it
// leaves the attack for the turn's end.
inline void SendTestAttack(SIM_CampaignFleet* fleet, SIM_CampaignEncounter* target)
{
    fleet->origin = fleet->location;
    fleet->SetLocation(target);
    SIM_CampaignBattleManager::GetInstance().AddPlayerAttack(target, fleet);
}

// A neighbour of the planet that the player does not hold (the last one
// listed), or null.
inline SIM_CampaignEncounter* EnemyNeighbour(const SIM_CampaignEncounter* of)
{
    SIM_CampaignEncounter* enemy = nullptr;
    for (SIM_CampaignEncounter* n : of->neighbours)
        if (n->territory != SIM_CampaignEncounter::PLAYER)
            enemy = n;
    return enemy;
}

// The fleet's icon on the map, or null.
inline GUI_PlayerFleetIcon* FleetIconOf(const SIM_CampaignFleet* fleet)
{
    for (GUI_PlayerFleetIcon* icon : GUI_PlayerFleetIcon::GetAll())
        if (icon->GetFleet() == fleet)
            return icon;
    return nullptr;
}
