#include "campaign/sim/SIM_CampaignEnding.h"

#include "campaign/sim/SIM_Campaign.h"
#include "campaign/sim/SIM_CampaignProgress.h"

SIM_CampaignEnding::Result SIM_CampaignEnding::Judge(float conquestRatio)
{
    if (conquestRatio >= 1.0f)
        return VICTORY;
    if (conquestRatio <= 0.0f)
        return DEFEAT;
    return GOES_ON;
}

SIM_CampaignEnding::Result SIM_CampaignEnding::Judge(const SIM_CampaignProgress& progress)
{
    // The ratio of no campaign reads 0, which is no defeat.
    const SIM_Campaign* campaign = progress.GetCampaign();
    if (!campaign || campaign->GetEncounters().empty())
        return GOES_ON;
    return Judge(progress.GetConquestRatio());
}
