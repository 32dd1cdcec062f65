#pragma once
#include "sim/SIM_MapObject.h"
#include "sim/modules/SIM_ShipModule.h"

class SIM_BulletWeaponModule;
class SIM_Ship;

// One pooled shot of a bullet weapon. Whether it hits is decided at launch:
// a guided bullet homes on the target's aim point, an unguided one keeps its
// heading, fades over the last 64 units past the weapon's range and dies.
class SIM_Bullet : public SIM_MapObject {
public:
    using Point = SIM_ShipModule::Point;
    // Past the weapon's maximum range an unguided bullet fades over this.
    static constexpr float kFadeLength = 64.0f;
    // A guided bullet hits once it is this close (squared) to its aim point.
    static constexpr float kHitDistanceSq = 144.0f;
    // A bullet bounced off a shield fades out this far before its fade distance.
    static constexpr float kDeflectFade = 8.0f;

    void Init(SIM_BulletWeaponModule* owner, float bulletSpeed, float bulletWidth, float bulletHeight);
    void Launch(bool isUntracked, SIM_Ship* ship, const Point* aim, float fromX, float fromY);
    void SetAngle(float newAngle) override;
    void Update() override;
    void HitTarget();
    // Bounces off the target's shield at the crossing (x, y).
    void Deflect(float atX, float atY);
    bool CollideWithScenery();

    bool IsLive() const { return live; }
    bool IsGuided() const { return guided; }

    bool live = false;
    SIM_Ship* target = nullptr;
    const Point* aimPoint = nullptr;
    float speed = 0.0f;
    float damage = 0.0f;
    float armourPenetration = 0.0f;
    float shieldPenetration = 0.0f;
    float expiryDistance = 0.0f;
    float fadeDistance = 0.0f;
    bool guided = false;
    float launchX = 0.0f, launchY = 0.0f;
    float screenX = 0.0f, screenY = 0.0f;
    float alpha = 1.0f;
    float directionSine = 0.0f, directionCosine = 1.0f;
    float travelled = 0.0f;
    SIM_BulletWeaponModule* weapon = nullptr;
    float width = 0.0f, height = 0.0f;
    bool atMuzzle = false;
    bool insideShield = false;
    bool untracked = false;
    // The bullet sheet cell (u0, u1, v0, v1); hasCell false keeps the sprite's own.
    float cell[4] = {0.0f, 1.0f, 0.0f, 1.0f};
    bool hasCell = false;

private:
    void Die(bool recordMiss);
    bool OnMap() const;
};
