#include "campaign/gui/GUI_CampaignWindows.h"

#include "campaign/gui/GUI_CampaignDefeat.h"
#include "campaign/gui/GUI_CampaignCaptureManager.h"
#include "campaign/gui/GUI_CampaignDeployment.h"
#include "campaign/gui/GUI_CampaignVictory.h"
#include "campaign/gui/GUI_ConquestDetails.h"
#include "campaign/gui/GUI_CampaignFleetDetails.h"
#include "campaign/gui/GUI_CampaignFleetManager.h"
#include "campaign/gui/GUI_IncomeManager.h"
#include "campaign/gui/GUI_RecruitmentManager.h"
#include "campaign/gui/GUI_CampaignRepairs.h"
#include "campaign/gui/GUI_CampaignShipDetails.h"
#include "campaign/gui/GUI_CampaignSquadronSize.h"
#include "campaign/gui/GUI_Encounter.h"
#include "campaign/gui/GUI_FleetRename.h"
#include "campaign/gui/GUI_ScrapShip.h"
#include "campaign/gui/GUI_Shipyard.h"
#include "campaign/gui/GUI_ShipsLog.h"
#include "gui/GUI_RCMenuBase.h"
#include "gui/GUI_WindowManager.h"
#include "prep/GUI_ModulePopup.h"

void CloseCampaignWindows()
{
    GUI_Shipyard::CloseOpen();
    GUI_CampaignDeployment::CloseOpen();
    GUI_ScrapShip::CloseOpen();
    GUI_FleetRename::CloseOpen();
    GUI_CampaignSquadronSize::CloseOpen();
    GUI_CampaignShipDetails::CloseOpen();
    GUI_CampaignFleetDetails::CloseAll();
    GUI_ShipsLog::CloseOpen();
    GUI_CampaignRepairs::CloseOpen();
    GUI_CampaignCaptureManager::CloseKeepingPrizes();
    GUI_ModulePopup::CloseOpen();
    GUI_CampaignVictory::CloseOpen();
    GUI_CampaignDefeat::CloseOpen();
    GUI_ConquestDetails::CloseOpen();
    GUI_CampaignFleetManager::CloseOpen();
    GUI_IncomeManager::CloseOpen();
    GUI_RecruitmentManager::CloseOpen();
    if (GUI_RCMenuBase* menu = GUI_RCMenuBase::GetOpen()) {
        menu->visible = false;
        GUI_WindowManager::GetInstance().CloseWindow(menu);
    }
}

void RebuildEncounterView(SIM_CampaignEncounter* encounter)
{
    GUI_Encounter* view = encounter ? GUI_Encounter::Find(encounter) : nullptr;
    if (!view)
        return;
    view->RebuildIcons();
    view->Refresh();
    view->dirty = false;
}
