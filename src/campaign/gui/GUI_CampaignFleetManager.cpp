#include "campaign/gui/GUI_CampaignFleetManager.h"

#include "campaign/gui/GUI_CampaignFleetManagerStrip.h"
#include "campaign/sim/SIM_CampaignFleet.h"
#include "campaign/sim/SIM_CampaignProgress.h"

GUI_CampaignFleetManager::GUI_CampaignFleetManager()
    : GUI_CampaignManagerWindowOf("CAMPAIGN_FLEET_MANAGER_TITLE", 0)
{
}

void GUI_CampaignFleetManager::AddStrips(std::vector<std::unique_ptr<GUI_CampaignManagerStrip>>& strips)
{
    for (SIM_CampaignFleet* fleet : SIM_CampaignProgress::GetInstance().GetFleets())
        if (!fleet->GetShips().empty() && fleet->location)
            strips.push_back(std::make_unique<GUI_CampaignFleetManagerStrip>(fleet));
}
