#include "campaign/gui/GUI_IncomeManager.h"

#include "campaign/gui/GUI_CampaignIncomeStrip.h"
#include "campaign/sim/SIM_CampaignFacilityType.h"

GUI_IncomeManager::GUI_IncomeManager() : GUI_CampaignManagerWindowOf("CAMPAIGN_INCOME_MANAGER_TITLE", 30) {}

void GUI_IncomeManager::AddStrips(std::vector<std::unique_ptr<GUI_CampaignManagerStrip>>& strips)
{
    for (SIM_CampaignFacility* facility : PlayerFacilitiesOfClass(SIM_CampaignFacilityType::FACTORY))
        strips.push_back(std::make_unique<GUI_CampaignIncomeStrip>(facility));
}
