#include "battle/GUI_ShipEffectHooks.h"

#include "battle/GUI_RepairBotSwarm.h"
#include "battle/GUI_Ship.h"
#include "sim/SIM_Ship.h"
#include "sim/modules/SIM_RepairModule.h"

GUI_ShipEffectHooks& GUI_ShipEffectHooks::GetInstance()
{
    static GUI_ShipEffectHooks hooks;
    return hooks;
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

void GUI_ShipEffectHooks::SmartBombDetonated(SIM_Ship* ship, float radius)
{
    if (GUI_Ship* visual = GUI_Ship::Of(ship))
        visual->ShowSmartBomb(radius);
}
