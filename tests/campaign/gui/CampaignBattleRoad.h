#pragma once
// The steps of a campaign battle through the real window shared by the
// roads: waiting on the zoom and the worker, the home yard opened by its
// planet's window, and a turn's battle resolved, deployed and started.
#include "CampaignTestFleet.h"
#include "CampaignWindowRoad.h"

#include "battle/hud/GUI_LeaveBattle.h"
#include "campaign/gui/GUI_CampaignBattleManager.h"
#include "campaign/gui/GUI_CampaignControlPanelBttm.h"
#include "campaign/gui/GUI_CampaignDeployment.h"
#include "campaign/gui/GUI_CampaignDeploymentPicker.h"
#include "campaign/gui/GUI_CampaignFacility.h"
#include "campaign/gui/GUI_CampaignPostMortem.h"
#include "campaign/gui/GUI_CampaignShipIcon.h"
#include "campaign/gui/GUI_EncounterDetails.h"
#include "campaign/gui/GUI_EndTurn.h"
#include "campaign/gui/GUI_PendingBattle.h"
#include "campaign/gui/GUI_Shipyard.h"
#include "campaign/sim/SIM_CampaignFacility.h"
#include "campaign/sim/SIM_CampaignFacilityType.h"
#include "gui/GUI_ConfirmDialog.h"
#include "prep/GUI_DeploymentZone.h"
#include "sim/SIM_Battle.h"

// Runs frames (with a little real time for the zoom and the worker) until the condition holds.
template <typename Condition>
bool FramesUntil(Condition done, int limit)
{
    for (int i = 0; i < limit; ++i) {
        if (done())
            return true;
        RunGameFrames(1);
        SDL_Delay(2);
    }
    return done();
}

// The planet clicked, its window awaited: the shipyard panel's button, or null.
inline GUI_ButtonText* YardButtonByClicks(GUI_CampaignMap* map, SIM_CampaignEncounter* planet)
{
    const GUI_Encounter* view = map->FindView(planet);
    ClickAt(static_cast<int>(view->CentreX()), static_cast<int>(view->CentreY()));
    if (!FramesUntil([] { return GUI_EncounterDetails::GetOpen() != nullptr; }, 600))
        return nullptr;
    for (GUI_CampaignFacility* panel : GUI_EncounterDetails::GetOpen()->GetFacilityPanels())
        if (panel->GetFacility()->GetType()->facilityClass == SIM_CampaignFacilityType::SHIPYARD)
            return panel->GetButton();
    return nullptr;
}

// The fleet's icon dragged onto an enemy neighbour of the planet in view:
// that neighbour, or null when none is in view or the fleet did not go.
inline SIM_CampaignEncounter* SendToEnemyNeighbour(GUI_CampaignMap* map, const SIM_CampaignEncounter* from,
                                                  SIM_CampaignFleet* fleet)
{
    SIM_CampaignEncounter* target = nullptr;
    for (SIM_CampaignEncounter* n : from->neighbours)
        if (n->territory != SIM_CampaignEncounter::PLAYER && PlanetInView(map, n))
            target = n;
    GUI_PlayerFleetIcon* icon = FleetIconOf(fleet);
    if (!target || !icon)
        return nullptr;
    const GUI_Encounter* to = map->FindView(target);
    DragWithMouse((icon->left + icon->right) / 2, (icon->top + icon->bottom) / 2, static_cast<int>(to->CentreX()),
                  static_cast<int>(to->CentreY()));
    RunGameFrames(2);
    return fleet->location == target ? target : nullptr;
}

// Next Turn, then Resolve on the report's strip for the planet: the
// campaign deployment once it opens, or null.
inline GUI_CampaignDeployment* ResolveNextTurnsBattle(GUI_CampaignMap* map, const SIM_CampaignEncounter* target)
{
    ClickCentre(map->GetBottomPanel()->GetNextTurnButton());
    Settle();
    if (!GUI_EndTurn::GetOpen())
        return nullptr;
    GUI_PendingBattle* strip = nullptr;
    for (GUI_PendingBattle* each : GUI_EndTurn::GetOpen()->GetBattles()->GetStrips())
        if (each->GetBattle()->encounter == target)
            strip = each;
    if (!strip)
        return nullptr;
    ClickCentre(strip->GetResolveButton());
    FramesUntil([] { return GUI_CampaignDeployment::GetOpen() != nullptr; }, 1000);
    return GUI_CampaignDeployment::GetOpen();
}

// The fleet at home sent against an enemy neighbour in view, Next Turn and
// Resolve: the campaign deployment, or null.
inline GUI_CampaignDeployment* AttackANeighbourAndResolve(GUI_CampaignMap* map, SIM_CampaignEncounter* home,
                                                          SIM_CampaignFleet* fleet)
{
    RunGameFrames(2);
    PullMapTo(map, home);
    SIM_CampaignEncounter* target = SendToEnemyNeighbour(map, home, fleet);
    return target ? ResolveNextTurnsBattle(map, target) : nullptr;
}

// Up to that many ships dragged into the zone, Fight, and past the loading
// screen: true when the campaign battle runs.
inline bool DeployAndFight(GUI_CampaignDeployment* deployment, int ships)
{
    const GRect& zone = GUI_DeploymentZone::GetInstance().GetScreenRect();
    for (int n = 0; n < ships && !deployment->GetPicker()->GetAvailable().empty(); ++n) {
        const GUI_CampaignShipIcon* tile = deployment->GetPicker()->GetAvailable().front();
        DragWithMouse((tile->left + tile->right) / 2, (tile->top + tile->bottom) / 2, (zone.left + zone.right) / 2,
                      zone.top + 40 + 60 * n);
    }
    if (!deployment->GetFightButton()->enabled)
        return false;
    ClickCentre(deployment->GetFightButton());
    Settle();
    if (!SIM_Battle::GetInstance().IsFromCampaign())
        return false;
    PressKey(SDL_SCANCODE_SPACE); // past the loading screen
    Settle();
    return Game::GetInstance().GetModeId() == 0;
}

// The battle's Retreat button, Yes to its question, the battle at speed 4,
// and the campaign's report once the retreat ended the battle: the report,
// or null when the button was shut or the battle did not end.
inline GUI_CampaignPostMortem* RetreatToTheReport()
{
    GUI_LeaveBattle* leave = GUI_LeaveBattle::GetOpen();
    if (!leave || leave->GetMode() != GUI_LeaveBattle::RETREAT || !leave->GetButton()->enabled)
        return nullptr;
    ClickCentre(leave->GetButton());
    if (!GUI_ConfirmDialog::GetOpen())
        return nullptr;
    ClickCentre(GUI_ConfirmDialog::GetOpen()->GetYesButton());
    for (int i = 0; i < 10; ++i)
        PressKey(SDL_SCANCODE_EQUALS);
    FramesUntil([] { return GUI_CampaignPostMortem::GetOpen() != nullptr; }, 20000);
    return GUI_CampaignPostMortem::GetOpen();
}
