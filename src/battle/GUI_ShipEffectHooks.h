#pragma once
#include "sim/SIM_BattleEffects.h"

// The battle screen's answers to the simulation's effect hooks: shots on
// shields (impact sparks and blast arcs), where a hit's damage text stays,
// plasma and missile blasts, a fed shield's glow, radiation splats, repairs
// that finish a damage patch, a fighter mended in its bay or launched from
// it, and the flash of a smart bomb. Each only shows something: visuals draw
// their own random numbers and nothing here is read back by the battle.
class GUI_ShipEffectHooks : public SIM_BattleEffects {
public:
    // The size of the spark a missile leaves on a shield.
    static constexpr float kMissileImpactSize = 3.0f;
    // The particle effects of a missile shot down or burnt out.
    static constexpr const char* kMissileBurst[3] = {"smallexp2_smoke", "smallexp2_flames", "smallexp2_sparks"};

    static GUI_ShipEffectHooks& GetInstance();

    void ProjectileShieldImpact(SIM_Ship* ship, float size, float x, float y) override;
    void ProjectileShieldBlast(SIM_Ship* ship, float x, float y) override;
    void ProjectileHitPosition(SIM_Ship* ship, float x, float y) override;
    void PlasmaExplosion(SIM_Ship* ship, int kind, float x, float y) override;
    void MissileExploded(float x, float y) override;
    void MissileHitShield(SIM_Ship* target, float x, float y, bool blast) override;
    void ShieldFed(SIM_Ship* target) override;

    void ShowRadiation(SIM_Ship* ship, float effectX, float effectY, float textX, float textY,
                       float total) override;
    void RepairBotAtWork(SIM_ShipModule* repairModule) override;
    void FighterRepaired(SIM_Ship* fighter) override;
    void FighterLaunched(SIM_Ship* fighter) override;
    void SmartBombDetonated(SIM_Ship* ship, float radius) override;
};
