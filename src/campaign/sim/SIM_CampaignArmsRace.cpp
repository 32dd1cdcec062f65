#include "campaign/sim/SIM_CampaignArmsRace.h"

#include "campaign/sim/SIM_CampaignAIManager.h"
#include "campaign/sim/SIM_CampaignBattleManager.h"
#include "campaign/sim/SIM_CampaignDebugLog.h"
#include "campaign/sim/SIM_CampaignEncounter.h"
#include "campaign/sim/SIM_CampaignFleet.h"
#include "campaign/sim/SIM_CampaignOptions.h"
#include "campaign/sim/SIM_CampaignProgress.h"

void SIM_CampaignArmsRace::SpreadFear(float multiplier, bool won, const SIM_PendingBattle& battle)
{
    if (!won || !battle.encounter)
        return;
    float sum = 0.0f;
    for (const SIM_CampaignFleet* f : battle.fleets)
        sum += f->totalCost;
    const float excess = sum - static_cast<float>(battle.encounter->enemyFleetCost);
    if (excess <= 0.0f)
        return;
    AddFearToEncounters(multiplier, excess, battle.encounter);
}

void SIM_CampaignArmsRace::AddFearToEncounters(float multiplier, float excess, const SIM_CampaignEncounter* source)
{
    for (SIM_CampaignEncounter* e : SIM_CampaignEncounter::GetAll()) {
        const int hops = e->GetHopCount(source);
        if (hops >= 1000)
            continue;
        float amount = excess;
        for (int i = 0; i < hops; ++i)
            amount *= multiplier;
        e->ai->fleetboost += amount;
        if (e->ai->fleetboost < 0.0f)
            e->ai->fleetboost = 0.0f;
    }
}

void AdjustDifficulty(float& multiplier)
{
    CampaignLog("Adjusting difficulty");
    const float length = CampaignOption("diff_game_length");
    const float conq = SIM_CampaignProgress::GetInstance().GetConquestRatio();
    const int turn = SIM_CampaignProgress::GetInstance().turn;
    // No planned length: any turn past the first is past the plan.
    float prog = length > 0.0f ? static_cast<float>(turn) / length : (turn > 0 ? 1.0f : 0.0f);
    prog = prog < 0.0f ? 0.0f : (prog > 1.0f ? 1.0f : prog);
    CampaignLog("Conq: %.2f, Turn: %d, Prog: %.2f", conq, turn, prog);
    const float minAdj = CampaignOption("diff_min_adjuster");
    const float maxAdj = CampaignOption("diff_max_adjuster");
    float gap = 0.0f, spread = 0.0f, adj = 0.0f;
    if (prog <= 0.0f) {
        // Nothing of the plan played yet: no evidence either way.
        multiplier = 1.0f;
    } else if (prog > conq) {
        gap = (prog - conq) / prog;
        spread = 1.0f - minAdj;
        adj = spread * gap;
        multiplier = 1.0f - adj;
    } else {
        gap = (conq - prog) / prog;
        spread = maxAdj - 1.0f;
        adj = spread * gap;
        multiplier = 1.0f + adj;
    }
    // Not clamped: the multiplier only weighs whether an AI attack is futile,
    // so a player far ahead of the plan simply sees none of them pruned.
    CampaignLog("gap: %.2f spread: %.2f adj: %.2f CurrDiff: %.2f", gap, spread, adj, multiplier);
}
