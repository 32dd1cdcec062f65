#pragma once
#include <cstddef>
#include <memory>
#include <vector>

class SIM_Ship;
class SIM_ShipModule;
class SIM_ShipModuleType;

// What a module has done in this battle, for the module statistics window.
struct SIM_ModuleStatistics {
    enum EntryKind { SHOT = 0, HIT = 1, MISS = 2 };
    // Indexes of damage[].
    enum DamageKind { DAMAGE_HULL = 0, DAMAGE_ARMOUR = 1, DAMAGE_SHIELD = 2 };
    struct Entry {
        int kind = SHOT;
        float value = 0.0f;
        float time = 0.0f;
    };
    static constexpr int kDamageKinds = 3;

    std::vector<Entry> entries;
    SIM_ShipModule* module = nullptr;
    float damage[kDamageKinds] = {};
    // Kept beside the entries so that a window never has to count them.
    int shotsFired = 0;
    int shotsHit = 0;
};

// One module fitted to a ship in battle. The ship builds it from its type,
// owns it and drives it through the virtual operations below. A module at 0
// hitpoints stays on the ship as a wreck; subclasses treat it as inoperative.
class SIM_ShipModule {
public:
    struct Point {
        float x = 0.0f;
        float y = 0.0f;
    };

    // Scenario anomaly flags a module asks about.
    enum KindFlag {
        ENGINES_REQUIRED = 0,
        SHIELDS_INOPERABLE = 1,
        FIGHTERS_INOPERABLE = 2,
        CRUISERS_INOPERABLE = 3,
        CLOAK_INOPERABLE = 4,
        TRACTOR_INOPERABLE = 5,
        REPAIR_INOPERABLE = 6
    };

    explicit SIM_ShipModule(const SIM_ShipModuleType* type);
    virtual ~SIM_ShipModule();
    SIM_ShipModule(const SIM_ShipModule&) = delete;
    SIM_ShipModule& operator=(const SIM_ShipModule&) = delete;

    // Once on every module after the whole ship is built.
    virtual void PostBuildInit() {}
    // Every scheduler step (about 200 ms) while enabled; GetThinkStep() is the
    // time since the last one.
    virtual void Think() {}
    // False for kinds whose think does nothing: the ship leaves them out of
    // its think walk. Such a kind seals Think so the two cannot disagree.
    virtual bool Thinks() const { return true; }
    // Every frame on the modules the factory marks as per-frame.
    virtual void Update() {}
    virtual void SetShip(SIM_Ship* owner) { ship = owner; }
    virtual void ApplyScenarioRules() {}
    virtual void ApplyHullBonus();
    virtual void Repair(float amount);
    virtual void TakeDamage(float amount);
    virtual void OnDestroyed();
    virtual bool IsInspectable() const { return true; }
    virtual void Render(float /*size*/) {}
    virtual bool IsTargeted() const { return false; }
    virtual void SetEfficiency(float value);
    // The ship is dying or has left: let go of whatever the module holds on
    // other ships (a tractor's grip, a support beam's or painter's mark).
    virtual void ReleaseHolds() {}

    // Map position of the module (offset turned by the ship's heading).
    // Inline, with the ship (below): weapons and the battle view ask for
    // them many times a frame.
    inline Point GetWorldPos() const;
    // Same for a turret; the module position when the index is out of range.
    inline Point GetTurretWorldPos(size_t turretIndex) const;
    void AddDamageStat(int kind, float amount);
    void ApplyStackEffectiveness();
    bool IsKindDisabled(int flag) const;
    int GetTypeInt(const char* key) const;
    bool GetTypeBool(const char* key) const;

    // The scheduler bucket's timer; modules read it in their think step.
    void SetThinkTime(const float* bucketTimer) { thinkTime = bucketTimer; }
    float GetThinkStep() const { return thinkTime ? *thinkTime : 0.0f; }

    const SIM_ShipModuleType* GetType() const { return type; }
    SIM_Ship* GetShip() const { return ship; }
    float GetHealth() const { return health; }
    float GetHitpoints() const { return hitpoints; }
    float GetMaxHitpoints() const { return maxHitpoints; }
    float GetWeight() const { return weight; }
    float GetEfficiency() const { return efficiency; }
    bool IsEnabled() const { return enabled != 0; }
    void SetEnabled(bool on) { enabled = on ? 1 : 0; }
    bool IsWeapon() const;
    bool IsRepairActive() const { return repairActive != 0; }
    void ClearRepairActive() { repairActive = 0; }
    size_t GetTurretCount() const { return turretOffsets.size(); }
    const SIM_ModuleStatistics& GetStatistics() const { return *statistics; }
    SIM_ModuleStatistics& GetStatistics() { return *statistics; }

    // Set by the ship when it places the module on a hull slot.
    void SetOffset(float x, float y) { offsetX = x; offsetY = y; }
    void SetTurretOffsets(const std::vector<Point>& offsets);

protected:
    // hitpoints / maximum, 0 when the maximum is not above 0.
    void RefreshHealth();
    // Base hitpoint handling shared by the subclasses' TakeDamage.
    void LoseHitpoints(float amount);
    float HullBonus(int kind) const;
    // Asks the ship's tactical module to re-check whether any weapon works.
    void NotifyWeaponsChanged();

public:
    const SIM_ShipModuleType* type = nullptr;
    SIM_Ship* ship = nullptr;
    float health = 1.0f;
    float offsetX = 0.0f;
    float offsetY = 0.0f;
    float weight = 0.0f;
    float maxHitpoints = 0.0f;
    float hitpoints = 0.0f;
    const float* thinkTime = nullptr;
    unsigned char cloakSensitive = 0; // switched off while the ship is cloaked
    unsigned char flag2 = 1;
    std::unique_ptr<SIM_ModuleStatistics> statistics;
    std::vector<Point> turretOffsets;
    unsigned char repairActive = 0;
    float efficiency = 1.0f;
    unsigned char selected = 0;
    unsigned char enabled = 1;
    int index = -1;
};

// The ship's header defines the inline position helpers above; it includes
// this one first, so either order of inclusion sees both classes.
#include "sim/SIM_Ship.h"
