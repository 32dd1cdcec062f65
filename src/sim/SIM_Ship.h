#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/GLifetime.h"
#include "sim/SIM_MapObject.h"
#include "sim/SIM_ShipHull.h"
#include "sim/modules/SIM_ShipModule.h"

class SIM_ArmourModule;
class SIM_CamoflageShieldModule;
class SIM_CarrierModule;
class SIM_RadiationManager;
class SIM_RepairModule;
class SIM_ShieldSupportBeam;
class SIM_CollisionAvoider;
class SIM_ECMShieldModule;
class SIM_EngineModule;
class SIM_PDScannerModule;
class SIM_TargetBoosterModule;
class SIM_FighterSquadron;
class SIM_Limpet;
class SIM_Missile;
class SIM_Fleet;
class SIM_Race;
class SIM_Shield;
class SIM_ShipDesign;
class SIM_ShipHull;
class SIM_ShipOrders;
class SIM_ShipVisual;
class SIM_TacticalModule;
class SIM_TargetedModule;

// Counters the statistics window reads for one ship.
struct SIM_DamageEvent;
class SIM_Ship;

struct SIM_ShipStats {
    int hitsTaken = 0;
    int hitsLanded = 0;
    int hitsBlockedByShields = 0;     // as attacker: our shots stopped by a shield
    int hitsStoppedByOwnShield = 0;   // as target
    int hitsDeflectedByArmour = 0;    // as attacker
    int hitsDeflectedByOwnArmour = 0; // as target
    int hitsAbsorbedByArmour = 0;     // as target
    int hitsAbsorbedByArmourAsAttacker = 0;
    int hullHitsTaken = 0;
    int hullHitsDealt = 0;
    int shotsFired = 0;
    int shotsReceived = 0;
    int misses = 0;
    float damageTaken = 0.0f;
    float shieldDamageTaken = 0.0f;
    float armourDamageTaken = 0.0f;
    float hullDamageTaken = 0.0f;
    // Every ship this one fired at, each once, in the order first fired at.
    std::vector<const SIM_Ship*> shipsFiredAt;
    void NoteFiredAt(const SIM_Ship* target)
    {
        if (std::find(shipsFiredAt.begin(), shipsFiredAt.end(), target) == shipsFiredAt.end())
            shipsFiredAt.push_back(target);
    }
};

// One ship in battle, built from a design and a copy of its orders.
//
// Lifetime: ships are owned by their fleet and stay allocated until the fleet
// is deleted with the battle, also after they are destroyed, so windows and
// modules that still name a destroyed ship never see freed memory. A ship
// leaves the live-ship list through the removal queue when it is killed.
class SIM_Ship : public SIM_MapObject {
public:
    enum State { OFF_FIELD = 0, ACTIVE = 1, DYING = 2, RETREATED = 3, DESTROYED = 4 };
    // Tactical state of a ship in general retreat.
    static constexpr int kTacticalRetreat = 5;
    // How much of the object, from its start, the per-frame walks read: the
    // members up to the target-weighing ones below.
    static constexpr size_t kFrameBytes = 192;
    // The same for a per-frame module: its table pointer and a weapon's
    // per-frame members.
    static constexpr size_t kModuleFrameBytes = 168;

    struct Impulse {
        float x = 0.0f;
        float y = 0.0f;
    };

    struct TractorHold {
        SIM_ShipModule* module = nullptr;
        float strength = 0.0f;
    };

    SIM_Ship();
    ~SIM_Ship() override;
    SIM_Ship(const SIM_Ship&) = delete;
    SIM_Ship& operator=(const SIM_Ship&) = delete;

    // Stores the angle and its sine and cosine; turrets follow a change.
    void SetAngle(float newAngle) override;
    // Per-frame module work, once per battle frame.
    void Update() override;

    void SetFleet(SIM_Fleet* newFleet);
    // Takes the orders. The design gains a user for the ship's lifetime.
    void BuildFromDesign(SIM_ShipDesign* newDesign, std::unique_ptr<SIM_ShipOrders> newOrders);
    // Takes the module. slotIndex < 0: not on a hull slot.
    void AddModule(SIM_ShipModule* module, int slotIndex, bool perFrame);

    // World update: movement, shield and visual by state.
    void FrameStep();
    // Hints for the walks over every ship, made a ship or two ahead: they ask
    // the cache for what FrameStep, or Update, will reach through the ship's
    // pointers. They read the ship's own per-frame members and change nothing.
    void PrefetchStepParts() const;
    void PrefetchModuleList() const;
    void PrefetchUpdateParts() const;
    void Process();
    // Every 200 ms of battle time from the ship's scheduler bucket.
    void Think();

    void RecalculateStats();
    // False when the shield or the armour took the whole hit.
    // hitPosition: ship-local, usually a hull aim point (null: the centre).
    bool TakeHit(SIM_ShipModule* weapon, float damage, float armourPenetration, float shieldPenetration,
                 const SIM_ShipModule::Point* hitPosition, bool ignoreShield, float directionX, float directionY);
    void ApplyImpulse(float angleDegrees, float strength);
    void StartDying();
    // End of the destruction timeline: the ship leaves the battle.
    void Kill();
    bool CheckAlive();
    void Detonate();
    void UpdateClassTargets();

    // Cycles through the hull's aim points (ship-local); the pointer stays
    // valid as long as the ship.
    const SIM_ShipModule::Point* NextTargetPoint();
    // The hull's damage location a hit at that aim point struck.
    const SIM_ShipHull::Target& DamageLocationAt(const SIM_ShipModule::Point* point) const;
    SIM_Ship* FindSquadronMate() const;
    void AddAttacker(SIM_Ship* attacker);
    void RemoveAttacker(SIM_Ship* attacker);
    void RecalculateThreat();
    void AddTractor(SIM_ShipModule* tractor, float strength);
    void RemoveTractor(SIM_ShipModule* tractor);
    // Limpets are tracked by weight only until the launcher exists.
    void AttachLimpetWeight(float weight);
    void DetachLimpets();
    void ApplyECMShock(float duration, float power);
    bool HasWeaponTargeting(const SIM_Ship* target) const;
    void SuspendModulesForCloak();
    void ReenableCloakedModules();
    void StartRetreatJump();
    // The warp-out has run its course: the ship has left the battle.
    void CompleteRetreatJump();
    // Hull damage that bypasses shield and armour (radiation).
    void ApplyHullDamage(float damage);
    // Looping module sounds (beams, tractors) fall silent.
    void StopLoopingSounds();
    // Made on the first radiation hit.
    SIM_RadiationManager* GetRadiationManager();
    SIM_RadiationManager* FindRadiationManager() const { return radiation.get(); }
    // Target painters marking this ship (missiles favour it).
    void AddPainter(SIM_ShipModule* painter);
    void RemovePainter(SIM_ShipModule* painter);
    const std::vector<SIM_ShipModule*>& GetPainters() const { return painters; }
    bool IsHeldByTractor() const { return !tractors.empty(); }
    // Targeted modules register here when they are given their ship.
    void AddTargetedModule(SIM_TargetedModule* module);

    // ---- missiles and limpets ----
    // A limpet sticks: its weight joins the carried weight until it is shed.
    void AttachLimpet(SIM_Limpet* limpet);
    // A limpet leaves without being shaken off (its launcher is gone).
    void RemoveLimpet(SIM_Limpet* limpet);
    // The ship is dying: its limpets go back to their launchers.
    void ReleaseLimpets();
    const std::vector<SIM_Limpet*>& GetLimpets() const { return limpets; }
    // The nearest live missile another fleet launched (decoys may fool it).
    SIM_Missile* FindNearestEnemyMissile() const;
    // A radiation warhead reached the hull.
    void AddRadiationDose(float damage, float decay);

    static SIM_Ship* FindById(int id, const SIM_Fleet* fleet);
    static SIM_Ship* FindShipByIdInVector(int id, const std::vector<SIM_Ship*>& ships);
    // Every constructed ship, in construction order.
    static const std::vector<SIM_Ship*>& GetAllShips();

    bool IsDead() const { return deadFlag != 0; }
    bool IsFighter() const;
    int GetHullClass() const;
    const SIM_ShipHull* GetHull() const;
    bool IsEnemy() const;
    float GetWidth() const { return hullSize; }
    float GetHeight() const { return hullSecondSize; }
    const std::vector<Impulse>& GetImpulses() const { return impulses; }
    const std::vector<SIM_ShipModule*>& GetModules() const { return modules; }
    const std::vector<SIM_ShipModule*>& GetPerFrameModules() const { return perFrameModules; }
    const std::vector<SIM_ArmourModule*>& GetArmourModules() const { return armourModules; }
    const std::vector<SIM_RepairModule*>& GetRepairModules() const { return repairModules; }
    const std::vector<SIM_CarrierModule*>& GetCarrierModules() const { return carrierModules; }
    const std::vector<SIM_TargetedModule*>& GetTurretWeapons() const { return turretWeapons; }
    // Its cloaking devices, found when the modules are added.
    const std::vector<SIM_CamoflageShieldModule*>& GetCloaks() const { return cloaks; }
    const std::vector<SIM_Ship*>& GetAttackers() const { return attackers; }
    SIM_Shield* GetShield() const { return shield.get(); }
    // Made on demand by the factory's first shield generator.
    SIM_Shield* GetOrCreateShield();
    SIM_CollisionAvoider* GetCollisionAvoider() const { return collisionAvoider.get(); }
    SIM_ShipVisual* GetVisual() const { return visual.get(); }
    SIM_ShipStats& GetStats() { return stats; }
    const SIM_ShipStats& GetStats() const { return stats; }
    SIM_ShipOrders* GetOrders() const { return orders.get(); }
    // A point of the hull (ship frame) on the map by the cached heading: the
    // modules' and turrets' positions, asked for every frame.
    SIM_ShipModule::Point PlaceOnMap(float localX, float localY) const
    {
        return {localX * cosine - localY * sine + x, localX * sine + localY * cosine + y};
    }

    // ---- read every frame by the world step and the module walk; kept at
    // the front so that walking the ships touches few of their cache lines.
    float sine = 0.0f;
    float cosine = 1.0f;
    // The heading sine and cosine were last worked out for, bit for bit
    // (all ones, a NaN, until then): a steady heading keeps them.
    uint32_t trigAngleBits = ~0u;
    unsigned int deadFlag = 0;
    unsigned int state = ACTIVE;
    unsigned char docked = 0;
    unsigned char ecmShocked = 0;
    unsigned char hasDestination = 0;
    unsigned char warpOutArmed = 0;
    float speed = 0.0f;
    float throttle = 1.0f;
    float acceleration = 0.025f;
    float maxSpeed = 0.0f;
    float turnRate = 0.0f;
    float destinationX = 0.0f;
    float destinationY = 0.0f;
    float shipClock = 0.0f;
    // ms since any of its weapons last fired.
    float timeSinceFired = 100000.0f;
    float ecmShockTimeLeft = 0.0f;
    // Its entry in the ship grid while the grid is built (-1: none).
    int gridSlot = -1;
    SIM_TacticalModule* tacticalModule = nullptr;
    SIM_FighterSquadron* squadron = nullptr;
    SIM_ShipDesign* design = nullptr;
    SIM_Fleet* fleet = nullptr;

private:
    std::vector<SIM_ShipModule*> perFrameModules;
    std::vector<Impulse> impulses;
    std::unique_ptr<SIM_CollisionAvoider> collisionAvoider;
    std::unique_ptr<SIM_Shield> shield;
    std::unique_ptr<SIM_ShipVisual> visual;

public:
    // ---- read when other ships' weapons weigh it as a target.
    float threatRatio = 0.0f;
    float hullSize = 0.0f;
    float healthFraction = 0.0f;
    // 1 while a weapon module works; targeted modules skip unarmed ships.
    float armed = 0.0f;
    int painterCount = 0;
    float drag = 0.0f;
    float carriedLimpetWeight = 0.0f;

    // ---- the rest.
    float radius = 0.0f;
    std::string name;
    int shipId = 0;
    int bucket = 0;
    float hullSecondSize = 0.0f;
    float startingHitPoints = 0.0f;
    float currentHitPoints = 0.0f;
    float mass = 0.0f;
    float thrust = 0.0f;
    float armourAverage = 0.0f;
    float formationOffsetX = 0.0f;
    float formationOffsetY = 0.0f;
    SIM_Race* race = nullptr;
    float armourTotal = 0.0f;
    float armourSum = 0.0f;
    float armourFraction = 0.0f;
    unsigned char hasBeenAttacked = 0;
    float scannerAccuracyTotal = 0.0f;
    float targetBoostTotal = 0.0f;
    unsigned char isPlayerShip = 0;
    unsigned char engaged = 0;
    unsigned char weaponsInRange = 0;
    // The shield support beam feeding this ship's shield, if any.
    SIM_ShieldSupportBeam* supportedBy = nullptr;
    // ms since the warp-out began (state 0 with the jump armed).
    float warpOutTime = 0.0f;
    static constexpr float kWarpOutDuration = 600.0f;
    // Windows showing the ship or one of its modules (which go with it)
    // watch this (GWatch).
    GLifetime lifetime;

private:
    float TurnStep(float k) const;
    void SteerAngle(float desired, float turnStep);
    void UpdateSpeed(float k);
    void DecayImpulses(float k);
    bool ArmourStage(SIM_Ship* attacker, SIM_DamageEvent& event, float& damage, float armourPenetration,
                     float hitX, float hitY);
    float DamageModules(float damage);
    void ShowDamageText(const SIM_DamageEvent& event, float hullDamage, float hitX, float hitY,
                        bool lucky = false);
    void PostComms(int messageId, float priority) const;
    void NotifySquadronDamaged();
    void RecomputeDrag();
    void BuildModules();
    void ApplyInitialState();

    std::vector<SIM_ShipModule*> modules;
    std::vector<SIM_ArmourModule*> armourModules;
    std::vector<SIM_RepairModule*> repairModules;
    std::vector<SIM_CarrierModule*> carrierModules;
    std::vector<SIM_EngineModule*> engineModules;
    std::vector<SIM_PDScannerModule*> scannerModules;
    std::vector<SIM_TargetBoosterModule*> boosterModules;
    std::vector<SIM_ECMShieldModule*> ecmShieldModules;
    // The modules whose think does something, in module order.
    std::vector<SIM_ShipModule*> thinkingModules;
    std::vector<SIM_ShipModule*> painters;
    std::unique_ptr<SIM_RadiationManager> radiation;
    std::vector<SIM_TargetedModule*> turretWeapons;
    std::vector<SIM_CamoflageShieldModule*> cloaks;
    std::vector<SIM_Ship*> attackers;
    std::vector<TractorHold> tractors;
    std::vector<SIM_Limpet*> limpets;
    std::vector<SIM_ShipModule*> cloakSuspended;
    std::unique_ptr<SIM_ShipOrders> orders;
    SIM_ShipStats stats;
    std::vector<SIM_ShipModule::Point> targetPoints;
    size_t nextTargetPoint = 0;
};

// Knocks every live ship within 256 map units of (x, y) away from it.
void ApplyShockwaveToShips(float strength, float x, float y);

inline SIM_ShipModule::Point SIM_ShipModule::GetWorldPos() const
{
    if (!ship)
        return {offsetX, offsetY};
    return ship->PlaceOnMap(offsetX, offsetY);
}

inline SIM_ShipModule::Point SIM_ShipModule::GetTurretWorldPos(size_t turretIndex) const
{
    if (turretIndex >= turretOffsets.size() || !ship)
        return GetWorldPos();
    const Point& o = turretOffsets[turretIndex];
    return ship->PlaceOnMap(o.x, o.y);
}
