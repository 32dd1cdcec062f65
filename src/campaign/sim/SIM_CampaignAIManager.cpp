#include "campaign/sim/SIM_CampaignAIManager.h"

#include "campaign/sim/SIM_CampaignBattleManager.h"
#include "campaign/sim/SIM_CampaignDebugLog.h"
#include "campaign/sim/SIM_CampaignEncounter.h"
#include "campaign/sim/SIM_CampaignOptions.h"
#include "campaign/sim/SIM_CampaignProgress.h"
#include "engine/GDebugLog.h"
#include "engine/GHashTable.h"
#include "engine/GIniFile.h"
#include "engine/GRandom.h"
#include "engine/RandomTables.h"

#include <cstdlib>
#include <string>
#include <vector>

namespace {
// These two options are read as text and converted, as their first users did.
float TextOption(const char* key)
{
    const std::string text = std::string(GetCampaignOptions().GetString(key)).substr(0, 63);
    return text.empty() ? 0.0f : static_cast<float>(atof(text.c_str()));
}

float Window(int turn, const char* startKey, const char* fadeKey)
{
    const int start = CampaignOptionInt(startKey);
    const int fade = CampaignOptionInt(fadeKey);
    if (turn < start)
        return 0.0f;
    // No fade-in: attacks are fully possible from the window's turn on.
    if (fade <= 0)
        return 1.0f;
    float w = static_cast<float>(turn - start) / static_cast<float>(fade);
    return w < 0.0f ? 0.0f : (w > 1.0f ? 1.0f : w);
}
} // namespace

float SIM_CampaignAIManager::GetAttackWindow(int turn)
{
    return Window(turn, "no_attack_window", "no_attack_fadein");
}

float SIM_CampaignAIManager::GetHomeworldAttackWindow(int turn)
{
    return Window(turn, "no_attack_homeworld", "homeworld_attack_fadein");
}

void SIM_CampaignAIManager::CheckForAttacks()
{
    SIM_CampaignEncounter* e = m_encounter;
    CampaignLog("Checking For Attacks at %d", e->encounterId);
    float friendly = 0.0f;
    float enemy = 0.0f;
    int enemyCount = 0;
    for (SIM_CampaignEncounter* n : e->neighbours) {
        if (n->territory == SIM_CampaignEncounter::PLAYER) {
            friendly += n->GetGarrisonStrength();
        } else {
            ++enemyCount;
            enemy += n->ai->currentFleet;
        }
    }
    const float defence = e->GetGarrisonStrength() + TextOption("connected_fleet_multiplier") * friendly;
    if (enemy > 0.0f) {
        const float ratio = defence / enemy;
        if (ratio > 2.0f)
            AddThreatChange(CampaignOption("threat_fall_per_turn") * -1.0f,
                            GetString("THREAT_REASON_SUPERIORFORCE"), true);
        else if (ratio < 0.5f)
            AddThreatChange(CampaignOption("threat_rise_per_turn"), GetString("THREAT_REASON_INFERIORFORCE"), false);
    }
    if (enemyCount < 1)
        threat.value = 0.0f;

    const int turn = SIM_CampaignProgress::GetInstance().turn;
    const float window = e->homeworld ? GetHomeworldAttackWindow(turn) : GetAttackWindow(turn);
    const float chance = TextOption("enemy_attack_chance_multiplier") * threat.value * window;
    CampaignLog("Attack chance is %.2f freezeturns is %d", chance, freezeTurns);
    if (freezeTurns <= 0) {
        const float r = RandomFloat();
        if (chance > r) {
            if (SIM_CampaignEncounter* source = ChooseAttackSource())
                SIM_CampaignBattleManager::GetInstance().AddAIAttack(e, source);
        } else {
            TryRandomAttack();
        }
    }
    if (freezeTurns > 0)
        --freezeTurns;
}

void SIM_CampaignAIManager::TryRandomAttack()
{
    if (SIM_CampaignProgress::GetInstance().turn < CampaignOption("no_random_attack_window"))
        return;
    if (!(CampaignOption("random_attack_chance") > RandomFloat()))
        return;
    CampaignLog("Launching random attack");
    if (SIM_CampaignEncounter* source = ChooseAttackSource())
        SIM_CampaignBattleManager::GetInstance().AddAIAttack(m_encounter, source);
}

SIM_CampaignEncounter* SIM_CampaignAIManager::ChooseAttackSource() const
{
    std::vector<SIM_CampaignEncounter*> candidates;
    for (SIM_CampaignEncounter* n : m_encounter->neighbours)
        if (n->territory != SIM_CampaignEncounter::PLAYER)
            candidates.push_back(n);
    if (candidates.empty())
        return nullptr;
    size_t index = static_cast<size_t>(QlmRand() * (1.0 / 32768.0) * static_cast<double>(candidates.size()));
    if (index >= candidates.size())
        index = candidates.size() - 1;
    return candidates[index];
}

void SIM_CampaignAIManager::UpdateArmsRaceFear()
{
    const float cost = static_cast<float>(m_encounter->enemyFleetCost);
    fleetboost = fleetboost - cost * CampaignOption("ai_armsrace_fear_degrade") * fleetboost;
    if (fleetboost < 0.0f)
        fleetboost = 0.0f;
    const float target = cost + fleetboost;
    const float step = cost * CampaignOption("ai_armsrace_fear_growth");
    if (currentFleet < target) {
        currentFleet += step;
        if (currentFleet > target)
            currentFleet = target;
    } else if (currentFleet > target) {
        currentFleet -= step;
        if (currentFleet < target)
            currentFleet = target;
    }
}

void SIM_CampaignAIManager::FreezeAttacks(int turns)
{
    CampaignLog("Freezing turns at encounter %d for %d", m_encounter->encounterId, turns);
    freezeTurns = turns < 0 ? 0 : turns;
}

void SIM_CampaignAIManager::AddThreatChange(float amount, const std::string& reason, bool flag)
{
    AddReasonedChange(amount, reason, flag, threat);
}
