#include "campaign/sim/SIM_CampaignFleetMerger.h"

#include "campaign/sim/SIM_CampaignFleet.h"
#include "campaign/sim/SIM_CampaignProgress.h"
#include "campaign/sim/SIM_CampaignScreenHooks.h"
#include "campaign/sim/SIM_CampaignShip.h"

#include <vector>

namespace {
SIM_CampaignFleet* g_dropped = nullptr;
SIM_CampaignFleet* g_target = nullptr;
} // namespace

void SIM_CampaignFleetMerger::SetMergePair(SIM_CampaignFleet* dropped, SIM_CampaignFleet* target)
{
    g_dropped = dropped;
    g_target = target;
}

void SIM_CampaignFleetMerger::Forget(const SIM_CampaignFleet* fleet)
{
    if (fleet == g_dropped || fleet == g_target)
        Clear();
}

void SIM_CampaignFleetMerger::Clear()
{
    g_dropped = g_target = nullptr;
}

bool SIM_CampaignFleetMerger::ExecuteMerge()
{
    if (!g_dropped || !g_target)
        return false;
    SIM_CampaignFleet* dropped = g_dropped;
    SIM_CampaignFleet* target = g_target;
    Clear();
    if (dropped == target)
        return false;
    for (SIM_CampaignShip* s : std::vector<SIM_CampaignShip*>(dropped->GetShips())) {
        dropped->RemoveShip(s);
        target->AddShip(s);
    }
    SIM_CampaignScreenHooks& hooks = SIM_CampaignScreenHooks::Get();
    hooks.RefreshEncounterView(dropped->location);
    hooks.RefreshFleetDetails(target);
    // Its going rebuilds the fleet manager, with the target's new ships.
    dropped->DeleteIfEmpty();
    SIM_CampaignProgress::GetInstance().Save();
    return true;
}
