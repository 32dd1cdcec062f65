#include "battle/GUI_ShipEffectHooks.h"

#include <string>

#include "battle/Explosions.h"
#include "battle/GUI_ParticleEmmiter.h"
#include "battle/GUI_RepairBotSwarm.h"
#include "battle/GUI_Shield.h"
#include "battle/GUI_Ship.h"
#include "battle/hud/GUI_DamageFeedbackManager.h"
#include "sim/SIM_Ship.h"
#include "sim/modules/SIM_RepairModule.h"

namespace {

// The ship's shield visual: none for a ship without a shield at set-up; a
// collapsed one takes the hits and draws nothing of them.
GUI_Shield* ShieldOf(SIM_Ship* ship)
{
    GUI_Ship* visual = GUI_Ship::Of(ship);
    return visual ? visual->GetShield() : nullptr;
}

} // namespace

GUI_ShipEffectHooks& GUI_ShipEffectHooks::GetInstance()
{
    static GUI_ShipEffectHooks hooks;
    return hooks;
}

void GUI_ShipEffectHooks::ProjectileShieldImpact(SIM_Ship* ship, float size, float x, float y)
{
    if (GUI_Shield* shield = ShieldOf(ship))
        shield->AddImpact(size, x, y);
}

void GUI_ShipEffectHooks::ProjectileShieldBlast(SIM_Ship* ship, float x, float y)
{
    if (GUI_Shield* shield = ShieldOf(ship))
        shield->AddBlast(x, y);
}

void GUI_ShipEffectHooks::ProjectileHitPosition(SIM_Ship* ship, float x, float y)
{
    GUI_DamageFeedbackManager::GetInstance().SetLatestHitPosition(ship, x, y);
}

void GUI_ShipEffectHooks::PlasmaExplosion(SIM_Ship* ship, int kind, float x, float y)
{
    if (GUI_Ship* visual = GUI_Ship::Of(ship))
        SpawnExplosion(kind, visual, x, y, 0.0f, 0.0f);
}

void GUI_ShipEffectHooks::MissileExploded(float x, float y)
{
    // Built once: a burst is not worth three strings.
    static const std::string names[] = {kMissileBurst[0], kMissileBurst[1], kMissileBurst[2]};
    for (const std::string& name : names)
        SpawnParticleEmmiter(name, x, y, 0.0f, 0.0f);
}

void GUI_ShipEffectHooks::MissileHitShield(SIM_Ship* target, float x, float y, bool blast)
{
    if (GUI_Shield* shield = ShieldOf(target)) {
        if (blast)
            shield->AddBlast(x, y);
        shield->AddImpact(kMissileImpactSize, x, y);
    }
    GUI_DamageFeedbackManager::GetInstance().SetLatestHitPosition(target, x, y);
}

void GUI_ShipEffectHooks::ShieldFed(SIM_Ship* target)
{
    if (GUI_Shield* shield = ShieldOf(target))
        shield->Flash();
}

void GUI_ShipEffectHooks::ShowRadiation(SIM_Ship* ship, float effectX, float effectY, float, float, float)
{
    if (GUI_Ship* visual = GUI_Ship::Of(ship))
        visual->ShowRadiationSplat(effectX, effectY);
}

void GUI_ShipEffectHooks::RepairBotAtWork(SIM_ShipModule* repairModule)
{
    SIM_Ship* ship = repairModule ? repairModule->GetShip() : nullptr;
    GUI_Ship* visual = GUI_Ship::Of(ship);
    if (!visual)
        return;
    // More patches showing than the ship's health warrants: one is mended.
    const float warranted =
        static_cast<float>(visual->CountDamageLocations()) * (1.0f - ship->healthFraction);
    if (static_cast<float>(visual->GetDamageSpriteCount()) <= warranted)
        return;
    for (const auto& swarm : visual->GetRepairSwarms()) {
        if (static_cast<SIM_ShipModule*>(swarm->GetModule()) == repairModule) {
            swarm->LaunchBot();
            return;
        }
    }
}

void GUI_ShipEffectHooks::FighterRepaired(SIM_Ship* fighter)
{
    if (GUI_Ship* visual = GUI_Ship::Of(fighter)) {
        visual->DeleteDamageSprites();
        visual->DeleteShipEmmiters();
    }
}

void GUI_ShipEffectHooks::FighterLaunched(SIM_Ship* fighter)
{
    // Out of the bay it flies over or under the big ships again, as it did
    // before it docked; the change waits until it overlaps none.
    if (GUI_Ship* visual = GUI_Ship::Of(fighter))
        visual->pendingLayer = visual->homeLayer;
}

void GUI_ShipEffectHooks::SmartBombDetonated(SIM_Ship* ship, float radius)
{
    if (GUI_Ship* visual = GUI_Ship::Of(ship))
        visual->ShowSmartBomb(radius);
}
