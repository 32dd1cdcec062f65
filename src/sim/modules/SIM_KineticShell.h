#pragma once
#include "sim/modules/SIM_ShipModule.h"

class SIM_KineticWeapon;
class SIM_Ship;

// A heavy shell that has already won its hit roll: it reaches its target
// once it has covered the distance measured at launch, wherever the target
// has gone meanwhile. Not drawn; the weapon shows its flash and streak.
class SIM_KineticShell {
public:
    using Point = SIM_ShipModule::Point;

    virtual ~SIM_KineticShell() = default;

    void Launch(SIM_Ship* ship, const Point* aim, float launchDistance, float fromX, float fromY);
    void Update();
    void Hit();

    bool live = false;
    SIM_KineticWeapon* weapon = nullptr;
    SIM_Ship* target = nullptr;
    const Point* aimPoint = nullptr;
    float travelled = 0.0f;
    float distance = 0.0f;
    float speed = 0.0f;
    float launchX = 0.0f, launchY = 0.0f;
    float armourPenetration = 0.0f;
    float shieldPenetration = 0.0f;
    bool insideShield = false;
    float angle = 0.0f;
    float damage = 0.0f;
};
