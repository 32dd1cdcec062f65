#include "sim/SIM_RadiationManager.h"

#include <algorithm>
#include <cmath>

#include "sim/SIM_BattleEffects.h"
#include "sim/SIM_Ship.h"
#include "sim/SIM_ShipVisual.h"

void SIM_RadiationManager::AddRadiation(float damage, float decay)
{
    if (!std::isfinite(damage) || !std::isfinite(decay) || damage <= 0.0f)
        return;
    doses.push_back({damage * decay, decay, true});
}

void SIM_RadiationManager::Step()
{
    if (!ship)
        return;
    float total = 0.0f;
    for (Dose& dose : doses) {
        if (!dose.active)
            continue;
        if (dose.amount > 0.0f && !ship->IsDead())
            ship->ApplyHullDamage(dose.amount);
        total += dose.amount;
        dose.amount *= dose.decay;
        // A decay of 1 or more would burn for ever.
        if (dose.amount < kMinDose || !(dose.decay < 1.0f))
            dose.active = false;
    }
    if (total > 0.0f) {
        const SIM_ShipModule::Point* point = ship->NextTargetPoint();
        if (!lastEffectPoint)
            lastEffectPoint = point;
        SIM_BattleEffects::Get().ShowRadiation(ship, point ? point->x : 0.0f, point ? point->y : 0.0f,
                                               lastEffectPoint->x, lastEffectPoint->y, total);
        // The burn shows as a hit without a direction where the glow was; the
        // battle decides its glare (and push) as for any hit, screen or not.
        if (SIM_ShipVisual* visual = ship->GetVisual())
            visual->ShowHitEffects(ship->DamageLocationAt(lastEffectPoint), total, 0.0f, 0.0f);
        lastEffectPoint = point;
    }
    doses.erase(std::remove_if(doses.begin(), doses.end(), [](const Dose& d) { return !d.active; }), doses.end());
}
