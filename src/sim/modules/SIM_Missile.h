#pragma once
#include <memory>
#include <vector>

#include "sim/SIM_MapObject.h"
#include "sim/modules/SIM_ShipModule.h"

class SIM_ECMBeamModule;
class SIM_Fleet;
class SIM_MissileModule;
class SIM_PointDefenceModule;
class SIM_Ship;
class SIM_ShipModuleType;

// A launcher's one missile (and, for decoy launchers, its three decoys).
// Whether it hits is decided at launch; it flies on limited fuel, steering at
// a limited rate toward its target's aim point, and carries one of five
// warheads. The object is reused for every launch: it is free again once it
// and its trail (and any armed decoys) are gone.
//
// Live missiles sit in one short list that point defence, ECM beams and smart
// bombs search; a missile leaves it the moment it dies or is scrambled, so
// those searches never walk a fleet.
class SIM_Missile : public SIM_MapObject {
public:
    enum Warhead { EXPLOSIVE = 0, SHIELD_DISRUPTOR = 1, DUMMY = 2, RADIATION = 3, ECMSHOCK = 4 };
    enum TrailMode { ROPE = 0, SPLINE = 1 };
    static constexpr int kDecoys = 3;
    static constexpr int kPathPoints = 6;
    // A hitting missile detonates when (goal distance squared - step) drops below this.
    static constexpr float kDetonateDistanceSq = 144.0f;
    // A scrambled missile gives up after this long.
    static constexpr float kScrambleLifetime = 2000.0f;
    static constexpr float kWanderInterval = 200.0f;
    // Decoys fly their launch heading for this much fuel.
    static constexpr float kDecoyHoldFuel = 64.0f;

    SIM_Missile();
    ~SIM_Missile() override;
    SIM_Missile(const SIM_Missile&) = delete;
    SIM_Missile& operator=(const SIM_Missile&) = delete;

    void ReadDefinition(SIM_MissileModule* owner);
    // Everything ReadDefinition sets, from a missile that has read it.
    void CopyDefinition(const SIM_Missile& from);
    void Launch(SIM_Ship* newTarget, const SIM_ShipModule::Point* newAimPoint, float fromX, float fromY);
    // One battle frame: flight when live, else the trail fading; decoys follow.
    void Process();
    void Update() override;
    void Destroy();
    void DestroyWithEffect();
    void Detonate();
    void Scramble();
    void AddTracker(SIM_ECMBeamModule* module);
    void RemoveTracker(const SIM_ECMBeamModule* module);
    void ReleaseDecoys();
    bool IsFree() const;

    bool IsLive() const { return live; }
    bool IsDecoy() const { return holdHeading; }
    SIM_Fleet* GetLaunchingFleet() const { return launchingFleet; }
    SIM_Ship* GetTarget() const { return target; }
    SIM_MissileModule* GetLauncher() const { return launcher; }
    SIM_Missile* GetDecoy(int i) const { return decoys[i].get(); }
    // Changes with every launch: a record that names this missile can tell a
    // later flight from the one it meant.
    unsigned GetFlight() const { return flight; }

    // Every live, unscrambled missile, in launch order.
    static const std::vector<SIM_Missile*>& GetLiveMissiles();
    // The nearest live missile of another fleet than the ship's; a ship with
    // scanners sees through decoys with its scanner accuracy as the chance.
    static SIM_Missile* FindNearestEnemy(const SIM_Ship* ship);

    bool live = false;
    bool trailAlive = false;
    SIM_Ship* target = nullptr;
    const SIM_ShipModule::Point* aimPoint = nullptr;
    float speed = 0.0f;
    float damage = 0.0f;
    float armourPenetration = 0.0f;
    float shieldPenetration = 0.0f;
    float step = 0.0f;
    float goalDistanceSq = 9999.0f;
    float fuelLeft = 0.0f;
    float fuel = 0.0f;
    float turnSpeed = 0.0f;
    float wanderX = 0.0f, wanderY = 0.0f;
    float width = 0.0f, length = 0.0f;
    bool scrambled = false;
    float wanderTimer = 0.0f;
    float scrambledTimer = 0.0f;
    std::vector<SIM_ECMBeamModule*> trackers;
    bool willHit = false;
    SIM_MissileModule* launcher = nullptr;
    const SIM_ShipModuleType* moduleType = nullptr;
    std::unique_ptr<SIM_Missile> decoys[kDecoys];
    bool hasDecoys = false;
    bool decoysReleased = false;
    float decoyReleaseRangeSq = 0.0f;
    SIM_PointDefenceModule* claim = nullptr;
    bool hasFlare = false;
    bool submunitionsLive = false;
    int trailMode = ROPE;
    SIM_ShipModule::Point path[kPathPoints];
    int pathIndex = 1;
    float goalX = 0.0f, goalY = 0.0f;
    int warhead = EXPLOSIVE;
    bool pathDone = false;
    bool holdHeading = false;
    float shockDuration = 0.0f;
    float ecmStrength = 0.0f;
    float radiationDamage = 0.0f;
    float radiationDecay = 0.0f;
    float decoyHeading = 0.0f;
    SIM_Fleet* launchingFleet = nullptr;
    // The launcher whose frame walk flies this missile (a decoy: its parent's).
    SIM_MissileModule* home = nullptr;
    // How long the trail shows after the missile is gone.
    float trailFadeTime = 0.0f;
    float trailAge = 0.0f;
    unsigned flight = 0;

private:
    void Steer(float toX, float toY);
    void MoveForward();
    void FollowPath();
    void BuildPath(float toX, float toY);
    void JoinLiveList();
    void LeaveLiveList();
    void HitShieldBubble();
    void PickWanderPoint();
};
