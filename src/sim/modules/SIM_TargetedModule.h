#pragma once
#include <list>
#include <string>

#include "sim/modules/SIM_ShipModule.h"

class SIM_Fleet;
class SIM_ShipOrders;

// Base of every module that picks an enemy ship and acts on it at intervals.
// It chooses targets by the ship's standing orders, reloads, decides when a
// shot is due and offers the hit-chance and range formulas; a subclass's
// Fire override says what the shot is (and calls the base Fire first).
class SIM_TargetedModule : public SIM_ShipModule {
public:
    static constexpr int kMaxTurrets = 4;
    static constexpr float kRetargetInterval = 2000.0f;
    static constexpr float kMissExpiry = 6000.0f;

    struct MissRecord {
        int count = 0;
        float lastMissTime = 0.0f;
        SIM_Ship* target = nullptr;
    };
    struct ShotRecord {
        int value = 0;
        SIM_Ship* target = nullptr;
        const Point* targetPoint = nullptr;
        float lifetime = 0.0f;
        float elapsed = 0.0f;
    };

    SIM_TargetedModule(const SIM_ShipModuleType* type, SIM_ShipOrders* orders);
    ~SIM_TargetedModule() override;

    void PostBuildInit() override;
    void Think() override;
    void Update() override;
    void SetShip(SIM_Ship* owner) override;
    bool IsInspectable() const override { return true; }
    void Render(float size) override;
    bool IsTargeted() const override { return true; }

    virtual float ChargeFraction() const;
    virtual void FireTurret(const ShotRecord& /*record*/) {}
    virtual void Fire();

    void ChooseTarget(bool anyClass);
    float HitChance(const SIM_Ship* candidate) const;
    float RangeFactor(float distance) const;
    void AimTurrets();
    // The point (world units) lies on a turret's square of turretSize, or
    // on the module's when it has no turrets: the battle view picks with it.
    bool IsMouseOverTurret(float worldX, float worldY) const;
    // The ship's target boost lengthens the reach: max range = base x (1 + boost).
    void ApplyRangeBoost(float boost);
    // A module whose reach comes from another key sets it here.
    void SetBaseRange(float range);

    void RecordShot();
    void RecordMiss(float value);
    void RecordHit();
    void NoteMiss(SIM_Ship* victim);
    void ClearMisses(const SIM_Ship* victim);
    int CountMisses(const SIM_Ship* victim) const;
    void ExpireMisses();
    void AddShotRecord(int value, float lifetime);
    // Most weapons have no shot in flight: the check stays in the caller.
    void ExpireShotRecords()
    {
        if (!shotRecords.empty())
            AdvanceShotRecords();
    }

    SIM_Ship* GetTarget() const { return target; }
    void SetTarget(SIM_Ship* newTarget) { target = newTarget; }
    bool IsInRange() const { return inRange; }
    bool IsAutoTarget() const { return autoTarget; }
    void SetClassPreference(bool on) { classPreference = on; }
    float GetMaxRange() const { return maxRange; }
    float GetTrackingSpeed() const { return trackingSpeed; }
    const Point& GetAimPoint() const { return aimPoint; }
    // Where the turrets point: the aim point, or what a shot sets instead
    // (a converging beam's meeting point).
    const Point& GetTurretAim() const { return turretAim ? *turretAim : aimPoint; }
    float GetTurretAngle(size_t turret) const { return turretAngles[turret < kMaxTurrets ? turret : 0]; }
    const std::list<MissRecord>& GetMissTally() const { return missTally; }
    const std::list<ShotRecord>& GetShotRecords() const { return shotRecords; }

    // What every frame's update reads and writes, kept together right after
    // the base so that a frame touches as few of the module's lines as it can.
    SIM_Ship* target = nullptr;
    const Point* targetPoint = nullptr; // hull aim point, ship frame
    float reloadProgress = 0.0f;
    float reloadTime = 0.0f;
    float currentInterval = 0.0f;
    float minRangeSq = 0.0f;
    float maxRangeSq = 0.0f;
    float turretSettleTimer = 1.0f;
    float turretSize = 0.0f;
    bool inRange = false;
    Point aimPoint;
    const Point* turretAim = nullptr; // a point of this module's own; null: aimPoint

    bool ignoresFighters = false;
    float retargetTimer = 0.0f;
    float trackingSpeed = 0.0f;
    float baseTrackingSpeed = 0.0f;
    float maxRange = 0.0f;
    float baseMaxRange = 0.0f;
    float appliedBoost = 0.0f;
    float optimumRange = 0.0f;
    float minRange = 0.0f;
    float fireInterval = 0.0f;
    bool autoTarget = true;
    SIM_ShipOrders* orders = nullptr;
    SIM_Fleet* enemyFleet = nullptr;
    float shieldPenetration = 0.0f;
    float armourPenetration = 0.0f;
    bool coOperative = false, vulture = false, rescuer = false, protective = false, retaliate = false;
    bool isMissile = false;
    bool shieldDisruptor = false;
    bool attackFighters = false, attackFrigates = false, attackCruisers = false;
    std::string turretSprite;
    std::string damagedTurretSprite;
    float turretAngles[kMaxTurrets] = {};
    float turretRelativeAngles[kMaxTurrets] = {};
    std::list<MissRecord> missTally;
    float missExpiryTimer = 0.0f;
    bool classPreference = false;
    bool hasSalvo = false;
    int salvoSize = 0;
    float salvoInterval = 0.0f;
    int salvoCount = 0;
    std::list<ShotRecord> shotRecords;
    float turretFlash[kMaxTurrets] = {1000.0f, 1000.0f, 1000.0f, 1000.0f};
    // Shots begun so far: the battle view turns its drawn turrets onto the
    // aim of each new one at once, so that no shot leaves a barrel astray.
    unsigned shotsBegun = 0;

protected:
    // Turret sprite through the race's turret mapping (none on fighters).
    void CreateTurretSprite();
    // frameTime: this frame's, as the clock gives it.
    bool CanAct(float frameTime) const;
    // No cloak of the own ship is hiding it, even partly.
    bool IsOwnShipVisible() const;
    void SettleTurrets(float frameTime);
    void RetargetAfterLoss();
    // priority: the orders' weight for the candidate's hull class (unused
    // when any class will do).
    template <bool kOrders>
    float ScoreCandidate(SIM_Ship* candidate, int hullClass, bool anyClass, float priority) const;
    bool SkipByClass(int hullClass, bool usePreference) const;
    // The shots in flight age by a frame; those due are fired.
    void AdvanceShotRecords();
};
