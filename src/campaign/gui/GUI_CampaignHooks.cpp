#include "campaign/gui/GUI_CampaignHooks.h"

#include "app/Game.h"
#include "app/GUI_Sounds.h"
#include "campaign/gui/GUI_Campaign.h"
#include "campaign/gui/GUI_CampaignAttackArrow.h"
#include "campaign/gui/GUI_CampaignCaptureManager.h"
#include "campaign/gui/GUI_CampaignControlPanelTop.h"
#include "campaign/gui/GUI_CampaignDeployment.h"
#include "campaign/gui/GUI_CampaignEndDialog.h"
#include "campaign/gui/GUI_CampaignFleetDetails.h"
#include "campaign/gui/GUI_CampaignFleetManager.h"
#include "campaign/gui/GUI_CampaignWindows.h"
#include "campaign/gui/GUI_EndTurn.h"
#include "campaign/gui/GUI_CampaignMap.h"
#include "campaign/gui/GUI_CampaignUIMemory.h"
#include "campaign/gui/GUI_Encounter.h"
#include "campaign/gui/GUI_EncounterDetails.h"
#include "campaign/gui/GUI_PlayerFleetIcon.h"
#include "campaign/gui/GUI_Shipyard.h"
#include "engine/GHashTable.h"
#include "gui/GUI_Message.h"

void GUI_CampaignHooks::UpdateCashCounter()
{
    if (GUI_CampaignControlPanelTop* top = GUI_CampaignControlPanelTop::GetOpen()) {
        top->Get(GUI_CampaignCounter::CASH)->UpdateText();
        top->Get(GUI_CampaignCounter::INCOME)->UpdateText();
    }
}

void GUI_CampaignHooks::UpdateCrewCounter()
{
    if (GUI_CampaignControlPanelTop* top = GUI_CampaignControlPanelTop::GetOpen()) {
        top->Get(GUI_CampaignCounter::CREW)->UpdateText();
        top->Get(GUI_CampaignCounter::RECRUITMENT)->UpdateText();
    }
}

void GUI_CampaignHooks::RefreshFleetIcons()
{
    GUI_PlayerFleetIcon::RefreshAll();
}

void GUI_CampaignHooks::RefreshEncounterView(SIM_CampaignEncounter* encounter)
{
    if (GUI_Encounter* view = GUI_Encounter::Find(encounter))
        view->dirty = true;
}

void GUI_CampaignHooks::PlayInterfaceSound()
{
    GUI_Sounds::GetInstance().PlayGuiSound(0);
}

void GUI_CampaignHooks::CloseShipyard()
{
    GUI_Shipyard::CloseOpen();
}

void GUI_CampaignHooks::CloseTurnWindows()
{
    // The turn is saved by now: the screen's memory goes with it.
    if (GUI_CampaignMap::Get())
        SaveCampaignUIMemory();
    CloseEncounterDetails();
    CloseCampaignWindows();
    GUI_CampaignAttackArrow::GetInstance().ClearArrows();
    for (GUI_Encounter* view : GUI_Encounter::GetAll())
        view->dirty = true;
    GUI_Encounter::RefreshAllTooltips();
}

void GUI_CampaignHooks::ReturnToCampaignScreen()
{
    if (Game::GetInstance().GetModeId() != GUI_Campaign::kModeId)
        Game::GetInstance().SetMode(GUI_Campaign::kModeId);
}

void GUI_CampaignHooks::ShowMessage(const std::string& key)
{
    ::ShowMessage(GetString(key.c_str()), "CAMPAIGN_MESSAGE_TITLE");
}

void GUI_CampaignHooks::ShowFleetDetails(SIM_CampaignFleet* fleet)
{
    GUI_CampaignFleetDetails::ShowForFleet(fleet);
}

void GUI_CampaignHooks::RefreshFleetDetails(SIM_CampaignFleet*)
{
    GUI_CampaignFleetDetails::RefreshAll();
}

void GUI_CampaignHooks::OpenEndTurnDialog()
{
    GUI_EndTurn::Open();
}

void GUI_CampaignHooks::OpenCapturesDialog()
{
    GUI_CampaignCaptureManager::Open();
}

void GUI_CampaignHooks::RefreshFleetManager()
{
    GUI_CampaignFleetManager::RefreshIfOpen();
}
