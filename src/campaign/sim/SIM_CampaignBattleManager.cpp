#include "campaign/sim/SIM_CampaignBattleManager.h"

#include "campaign/sim/SIM_CampaignAIManager.h"
#include "campaign/sim/SIM_CampaignDebugLog.h"
#include "campaign/sim/SIM_CampaignEncounter.h"
#include "campaign/sim/SIM_CampaignFleet.h"
#include "campaign/sim/SIM_CampaignOptions.h"
#include "campaign/sim/SIM_CampaignScreenHooks.h"
#include "engine/GDebugLog.h"

#include <algorithm>

SIM_CampaignBattleManager& SIM_CampaignBattleManager::GetInstance()
{
    static SIM_CampaignBattleManager instance;
    return instance;
}

SIM_PendingBattle* SIM_CampaignBattleManager::FindAt(const SIM_CampaignEncounter* encounter) const
{
    for (const auto& b : m_pending)
        if (b->encounter == encounter)
            return b.get();
    return nullptr;
}

void SIM_CampaignBattleManager::AddAIAttack(SIM_CampaignEncounter* target, SIM_CampaignEncounter* source)
{
    if (!target || !source || target == source)
        return;
    if (FindAt(target)) {
        LOG_ERROR("Duplicate ai battle discovered");
        return;
    }
    auto b = std::make_unique<SIM_PendingBattle>();
    b->encounter = target;
    b->kind = SIM_PendingBattle::AI_ATTACK;
    b->source = source;
    m_pending.push_back(std::move(b));
    CampaignLog("AI Attack added from %d to %d", source->encounterId, target->encounterId);
}

void SIM_CampaignBattleManager::AddPlayerAttack(SIM_CampaignEncounter* target, SIM_CampaignFleet* fleet)
{
    if (!target || !fleet)
        return;
    if (SIM_PendingBattle* existing = FindAt(target)) {
        existing->fleets.push_back(fleet);
        return;
    }
    auto b = std::make_unique<SIM_PendingBattle>();
    b->encounter = target;
    b->kind = SIM_PendingBattle::PLAYER_ATTACK;
    b->fleets.push_back(fleet);
    m_pending.push_back(std::move(b));
    fleet->attacking = true;
    SIM_CampaignScreenHooks::Get().RefreshFleetIcons();
    CampaignLog("Player Attack added at %d using fleet %d", target->encounterId, fleet->id);
}

std::unique_ptr<SIM_PendingBattle> SIM_CampaignBattleManager::RemovePendingBattle(const SIM_CampaignEncounter* encounter)
{
    for (auto it = m_pending.begin(); it != m_pending.end(); ++it) {
        if ((*it)->encounter != encounter)
            continue;
        std::unique_ptr<SIM_PendingBattle> b = std::move(*it);
        m_pending.erase(it);
        for (SIM_CampaignFleet* f : b->fleets)
            f->attacking = false;
        SIM_CampaignScreenHooks::Get().RefreshFleetIcons();
        return b;
    }
    LOG_ERROR("Failed to remove pending battle");
    return nullptr;
}

float SIM_CampaignBattleManager::GetAttackStrength(const SIM_PendingBattle& battle) const
{
    return battle.encounter->ai->currentFleet * difficultyMultiplier;
}

void SIM_CampaignBattleManager::ProcessEndOfTurn()
{
    if (m_pending.empty())
        return;
    // A defence of 0 never makes an attack futile; equal to the threshold keeps it.
    const float threshold = CampaignOption("futile_attacks_threshold");
    m_pending.erase(std::remove_if(m_pending.begin(), m_pending.end(),
                                   [&](const std::unique_ptr<SIM_PendingBattle>& b) {
                                       if (b->kind != SIM_PendingBattle::AI_ATTACK)
                                           return false;
                                       const float defence = b->encounter->GetGarrisonStrength();
                                       if (defence <= 0.0f)
                                           return false;
                                       const float ratio = GetAttackStrength(*b) / defence;
                                       return ratio < threshold;
                                   }),
                    m_pending.end());

    // More AI attacks than the cap: the latest ones are dropped. A cap of 0
    // (option missing) leaves them all.
    const int cap = CampaignOptionInt("max_ai_attacks_per_turn");
    if (cap > 0) {
        int seen = 0;
        m_pending.erase(std::remove_if(m_pending.begin(), m_pending.end(),
                                       [&](const std::unique_ptr<SIM_PendingBattle>& b) {
                                           return b->kind == SIM_PendingBattle::AI_ATTACK && ++seen > cap;
                                       }),
                        m_pending.end());
    }

    for (auto& b : m_pending) {
        if (b->kind != SIM_PendingBattle::AI_ATTACK)
            continue;
        if (!b->encounter->fleets.empty()) {
            for (SIM_CampaignFleet* f : b->encounter->fleets)
                b->fleets.push_back(f);
        } else {
            b->kind = SIM_PendingBattle::AI_CONQUEST;
            b->encounter->territory = SIM_CampaignEncounter::ENEMY;
            SIM_CampaignScreenHooks::Get().RefreshEncounterView(b->encounter);
        }
    }
}

void SIM_CampaignBattleManager::Clear()
{
    m_pending.clear();
}

void SIM_CampaignBattleManager::ForgetFleet(const SIM_CampaignFleet* fleet)
{
    for (auto& b : m_pending)
        b->fleets.erase(std::remove(b->fleets.begin(), b->fleets.end(), fleet), b->fleets.end());
}
