#pragma once
#include "sim/modules/SIM_ShipModule.h"

class SIM_Fleet;
class SIM_ShipOrders;

// The movement brain of a ship: decides its tactical mode from its orders,
// damage, weapons and the enemy fleet, and writes the ship's destination,
// throttle and destination flag. Weapons choose their own targets.
class SIM_TacticalModule : public SIM_ShipModule {
public:
    enum Mode { ATTACK = 0, HOLD = 1, WITHDRAW = 2, RETURN = 3, DOCKED = 4, RETREAT = 5 };
    static constexpr float kNoTargetCost = 99980000.0f;

    explicit SIM_TacticalModule(const SIM_ShipModuleType* type);

    void Think() override;
    // The ship's brain has no place among its fitted modules on screen.
    bool IsInspectable() const override { return false; }

    virtual void ReadOrders(SIM_ShipOrders* newOrders);
    void RefreshOrders();
    void CheckWeaponsDestroyed();
    // Decides the mode; also called when no enemy is left and by carriers.
    void EvaluateMode();
    void SetMode(int newMode);
    // Launched from a carrier bay: leaves the docked mode and decides again.
    void Undock();
    // Map clamp with the hull size as margin.
    void ClampIntoMap(float& x, float& y) const;

    int GetMode() const { return mode; }
    SIM_Ship* GetMoveTarget() const { return moveTarget; }
    bool AreWeaponsGone() const { return weaponsGone; }
    float GetEngageRange() const { return engageRange; }
    float GetCloseRange() const { return closeRange; }
    SIM_Ship* GetCarrierShip() const { return carrierShip; }

    float moveTimer = 0.0f;
    float evaluateTimer = 0.0f;
    float evaluateInterval = 200.0f;
    SIM_ShipOrders* orders = nullptr;
    float engageRange = 0.0f;
    float closeRange = 0.0f;
    int mode = ATTACK;
    bool planned = false;
    SIM_Ship* moveTarget = nullptr;
    SIM_Fleet* enemyFleet = nullptr;
    bool isFighter = false;
    bool formation = false;
    float attackPriority[3] = {}; // cruisers, frigates, fighters
    bool attackFighters = false, attackFrigates = false, attackCruisers = false;
    bool keepMoving = false;
    bool vulture = false;
    bool stickTogether = false;
    bool weaponsGone = false;
    SIM_Ship* carrierShip = nullptr;

private:
    void EnterMode(int newMode);
    void AttackThink();
    void HoldThink();
    void ZoneThink();
    void ReturnThink();
    void FormationThink();
    void AttackPlan();
    SIM_Ship* FindMoveTarget(bool withPreference) const;
    SIM_Ship* FindCarrier();
    bool HasCarrierModule(const SIM_Ship* candidate) const;
    void HeadForDeploymentZone();
    void RandomPointInZone(float& x, float& y) const;
    void ApplyEscort(float& destX, float& destY);
    bool EnemyShipsLeft() const;
    void SetDestination(float x, float y, float throttle);
    void Stop();
};
