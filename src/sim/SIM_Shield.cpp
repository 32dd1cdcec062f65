#include "sim/SIM_Shield.h"

#include <algorithm>

#include "engine/GDebugLog.h"
#include "engine/GRandom.h"
#include "sim/SIM_CommsManager.h"
#include "sim/SIM_Ship.h"
#include "sim/SIM_ShipVisual.h"
#include "sim/SIM_StatsDatabase.h"
#include "sim/modules/SIM_ShieldModule.h"

namespace {
constexpr int kBites = 4;
constexpr int kMaxSupportRounds = 100;
// Stability regrows this much per ms of battle time.
constexpr float kStabilityRegrowth = 0.02f;
} // namespace

SIM_Shield::SIM_Shield(SIM_Ship* shieldOwner)
    : owner(shieldOwner)
{
    QLM_ASSERT(owner != nullptr);
}

void SIM_Shield::AddModule(SIM_ShieldModule* module)
{
    if (module && std::find(modules.begin(), modules.end(), module) == modules.end())
        modules.push_back(module);
}

bool SIM_Shield::IsPlayerOwned() const
{
    return owner && owner->isPlayerShip;
}

SIM_ShieldModule* SIM_Shield::PickModule() const
{
    if (modules.empty())
        return nullptr;
    size_t index = static_cast<size_t>(QlmRand() / 32768.0f * static_cast<float>(modules.size()));
    return modules[std::min(index, modules.size() - 1)];
}

void SIM_Shield::Recalculate()
{
    float points = 0.0f;
    float bestResistance = 0.0f;
    for (const SIM_ShieldModule* module : modules) {
        points += module->points;
        if (module->hitpoints > 0.0f && module->up && module->resistance > bestResistance)
            bestResistance = module->resistance;
    }
    currentPoints = points;
    resistance = bestResistance;

    if (currentPoints <= 0.0f) {
        const bool wasCollapsed = state == COLLAPSED;
        currentPoints = 0.0f;
        state = COLLAPSED;
        if (owner && owner->GetVisual())
            owner->GetVisual()->ShowShieldCollapse();
        if (!wasCollapsed && IsPlayerOwned() && startingPoints > 0.0f)
            SIM_CommsManager::GetInstance().AddMessage(SIM_CommsManager::COM_SHIELDSDOWN, 0.9f, owner);
    }

    // A shield that began with nothing stays at 0 rather than dividing by it.
    const float oldFraction = strengthFraction;
    const float newFraction = startingPoints > 0.0f ? currentPoints / startingPoints : 0.0f;
    if (IsPlayerOwned() && newFraction < oldFraction && newFraction > 0.0f) {
        if (oldFraction > 0.5f && newFraction < 0.5f)
            SIM_CommsManager::GetInstance().AddMessage(SIM_CommsManager::COM_SHIELDSBELOW50PC, 0.5f, owner);
        else if (oldFraction > 0.25f && newFraction < 0.25f)
            SIM_CommsManager::GetInstance().AddMessage(SIM_CommsManager::COM_SHIELDSBELOW25PC, 0.75f, owner);
    }
    strengthFraction = std::clamp(newFraction, 0.0f, 1.0f);
}

float SIM_Shield::Absorb(SIM_DamageEvent* event, SIM_Ship* attacker, float damage, float penetration)
{
    if (state != UP)
        return damage;

    SIM_ShipVisual* visual = owner ? owner->GetVisual() : nullptr;
    if (penetration < resistance) {
        if (visual)
            visual->ShowShieldImpact(owner->x, owner->y);
        if (attacker)
            ++attacker->GetStats().hitsBlockedByShields;
        if (owner) {
            ++owner->GetStats().hitsStoppedByOwnShield;
            owner->hasBeenAttacked = 0;
        }
        if (event) {
            event->shieldBlocked = damage;
            SIM_StatsDatabase::GetInstance().RecordEvent(*event);
        }
        return 0.0f;
    }

    const float quarter = damage * 0.25f;
    float left = damage;
    bool tookSomething = false;
    int fullBites = 0;
    for (int bite = 0; bite < kBites; ++bite) {
        SIM_ShieldModule* module = PickModule();
        if (!module || module->points <= 0.0f)
            continue;
        const float taken = std::min(quarter, module->points);
        if (taken >= quarter)
            ++fullBites;
        module->DrainShield(taken);
        left -= taken;
        tookSomething = true;
        if (event)
            event->shieldAbsorbed += taken;
        if (owner)
            owner->GetStats().shieldDamageTaken += taken;
    }
    // Four whole quarters stop the hit outright, whatever the rounding left.
    if (left < 0.0f || fullBites == kBites)
        left = 0.0f;
    if (tookSomething && visual)
        visual->ShowShieldImpact(owner->x, owner->y);
    if (left <= 0.0f && event)
        SIM_StatsDatabase::GetInstance().RecordEvent(*event);
    return left;
}

bool SIM_Shield::IsPenetrated(float penetration) const
{
    return state != UP || resistance <= penetration;
}

void SIM_Shield::AddPoints(float amount)
{
    if (amount <= 0.0f || modules.empty())
        return;
    for (int round = 0; round < kMaxSupportRounds; ++round) {
        SIM_ShieldModule* module = PickModule();
        const bool full = module->maxPoints > 0.0f && module->points >= module->maxPoints;
        if (!full) {
            const float missing = std::max(0.0f, module->maxPoints - module->points);
            const float given = std::min(amount, missing);
            module->points = std::min(module->points + given, module->maxPoints);
            amount -= given;
        }
        Recalculate();
        if (strengthFraction >= 1.0f || amount <= 0.0f)
            return;
    }
    LOG_DEBUG("sanity_count failed");
}

void SIM_Shield::Drain(float amount)
{
    if (state != UP)
        return;
    stability -= amount;
    if (stability > 0.0f)
        return;
    stability = 0.0f;
    state = DISRUPTED;
    if (owner && owner->GetVisual())
        owner->GetVisual()->SetShieldEffect(false);
    if (IsPlayerOwned())
        SIM_CommsManager::GetInstance().AddMessage(SIM_CommsManager::COM_SHIELDSTABILITYLOST, 0.7f, owner);
}

void SIM_Shield::Update(float frameTime)
{
    if (state == COLLAPSED || !(startingPoints > stability))
        return;
    stability += frameTime * kStabilityRegrowth;
    if (stability > startingPoints) {
        if (state == DISRUPTED) {
            state = UP;
            if (owner && owner->GetVisual())
                owner->GetVisual()->SetShieldEffect(true);
        }
        stability = startingPoints;
        Recalculate();
    }
}
