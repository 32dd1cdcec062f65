#pragma once
#include <cstdint>

#include "sim/SIM_MapObject.h"
#include "sim/modules/SIM_ShipModule.h"

class SIM_PlasmaLauncherModule;
class SIM_Ship;
class SIM_ShipModuleType;

// The one plasma torpedo of a launcher, reused for every launch. It rolls
// to hit at launch: a torpedo that will hit homes on the aim point at a
// limited turn rate, one that will not flies straight until its fuel ends.
class SIM_Plasma : public SIM_MapObject {
public:
    using Point = SIM_ShipModule::Point;
    enum Style { STANDARD = 0, FRAGMENTED = 1 };
    // Without a shield bubble the torpedo strikes this close (squared).
    static constexpr float kHitDistanceSq = 144.0f;
    static constexpr float kFarAway = 9999.0f;

    void ReadDefinition(SIM_PlasmaLauncherModule* owner, const SIM_ShipModuleType* type);
    void Launch(SIM_Ship* ship, const Point* aim, float fromX, float fromY);
    void Update() override;
    void Hit();
    void Steer(const Point& to);
    // The look's per-frame step: animation counter and halo angles. Takes
    // nothing from the combat tables.
    void Animate(float frameTime);

    bool IsLive() const { return live; }

    bool live = false;
    SIM_Ship* target = nullptr;
    const Point* aimPoint = nullptr;
    float speed = 0.0f;
    float damage = 0.0f;
    float step = 0.0f;
    float goalDistanceSq = kFarAway;
    float fuelLeft = 0.0f;
    float fuel = 0.0f;
    float turnSpeed = 0.0f;
    bool willHit = false;
    int frames = 0;
    int animationCounter = 0;
    float animationGap = 0.0f;
    float animationTimer = 0.0f;
    SIM_PlasmaLauncherModule* launcher = nullptr;
    float armourPenetration = 0.0f;
    float shieldPenetration = 0.0f;
    float spriteSize = 0.0f;
    float haloAngles[3] = {};
    float coreAngle = 0.0f; // a standard torpedo's core turns with its halos
    int style = STANDARD;
    // Core and halo cells of "plasma.dds" (four in a row).
    int coreCell = 0;
    int haloCell = 1;

private:
    float NextLookAngle();
    uint32_t lookSeed = 0x9e3779b9u;
};
