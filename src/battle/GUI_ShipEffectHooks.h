#pragma once
#include "sim/SIM_BattleEffects.h"

// The battle screen's answers to the simulation's effect hooks that reach a
// ship's visual: radiation splats, repairs that finish a damage patch, a
// fighter mended in its bay, and the flash of a smart bomb.
class GUI_ShipEffectHooks : public SIM_BattleEffects {
public:
    static GUI_ShipEffectHooks& GetInstance();

    void ShowRadiation(SIM_Ship* ship, float effectX, float effectY, float textX, float textY,
                       float total) override;
    void RepairBotAtWork(SIM_ShipModule* repairModule) override;
    void FighterRepaired(SIM_Ship* fighter) override;
    void SmartBombDetonated(SIM_Ship* ship, float radius) override;
};
