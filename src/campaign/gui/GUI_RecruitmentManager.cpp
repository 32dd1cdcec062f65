#include "campaign/gui/GUI_RecruitmentManager.h"

#include "campaign/gui/GUI_CampaignIncomeStrip.h"
#include "campaign/sim/SIM_CampaignFacilityType.h"

GUI_RecruitmentManager::GUI_RecruitmentManager() : GUI_CampaignManagerWindowOf("CAMPAIGN_RECRUITMENT_MANAGER_TITLE", 60) {}

void GUI_RecruitmentManager::AddStrips(std::vector<std::unique_ptr<GUI_CampaignManagerStrip>>& strips)
{
    for (SIM_CampaignFacility* facility : PlayerFacilitiesOfClass(SIM_CampaignFacilityType::ACADEMY))
        strips.push_back(std::make_unique<GUI_CampaignRecruitStrip>(facility));
}
