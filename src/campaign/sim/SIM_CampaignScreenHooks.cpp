#include "campaign/sim/SIM_CampaignScreenHooks.h"

namespace {
SIM_CampaignScreenHooks g_nullHooks;
SIM_CampaignScreenHooks* g_hooks = nullptr;
} // namespace

SIM_CampaignScreenHooks& SIM_CampaignScreenHooks::Get()
{
    return g_hooks ? *g_hooks : g_nullHooks;
}

void SIM_CampaignScreenHooks::Install(SIM_CampaignScreenHooks* hooks)
{
    g_hooks = hooks;
}
