#pragma once
#include "sim/SIM_BattleEffects.h"

// The battle screen's answers to the simulation's effect hooks that reach a
// ship's visual: radiation splats, and repairs that finish a damage patch.
class GUI_ShipEffectHooks : public SIM_BattleEffects {
public:
    static GUI_ShipEffectHooks& GetInstance();

    void ShowRadiation(SIM_Ship* ship, float effectX, float effectY, float textX, float textY,
                       float total) override;
    void RepairBotAtWork(SIM_ShipModule* repairModule) override;
};
