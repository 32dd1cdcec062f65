#include "sim/modules/SIM_KineticShell.h"

#include <cmath>

#include "engine/GDebugLog.h"
#include "engine/GeometryHelpers.h"
#include "sim/SIM_BattleClock.h"
#include "sim/SIM_BattleEffects.h"
#include "sim/SIM_Shield.h"
#include "sim/SIM_Ship.h"
#include "sim/modules/SIM_GunProjectiles.h"
#include "sim/modules/SIM_KineticWeapon.h"

void SIM_KineticShell::Launch(SIM_Ship* ship, const Point* aim, float launchDistance, float fromX, float fromY)
{
    QLM_ASSERT(ship != nullptr);
    travelled = 0.0f;
    target = ship;
    aimPoint = aim;
    distance = launchDistance;
    launchX = fromX;
    launchY = fromY;
    live = true;
    const Point to = SIM_GunProjectiles::AimPointOnMap(target, aimPoint);
    angle = AngleBetweenPoints(fromX, fromY, to.x, to.y);
    insideShield = SIM_GunProjectiles::IsInsideShield(target, fromX, fromY);
}

void SIM_KineticShell::Update()
{
    if (!live)
        return;
    travelled += speed * SIM_BattleClock::GetInstance().frameStep;
    if (travelled < distance)
        return;
    live = false;
    // A ship that died while the shell flew takes nothing more.
    if (!SIM_GunProjectiles::IsHittable(target))
        return;
    Hit();
    if (!insideShield && SIM_GunProjectiles::HasBubble(target)) {
        const Point to = SIM_GunProjectiles::AimPointOnMap(target, aimPoint);
        float crossing[2] = {0.0f, 0.0f};
        const bool found = SegmentIntersectsCircle(SIM_GunProjectiles::BubbleRadius(target), target->x, target->y,
                                                   launchX, launchY, to.x, to.y, crossing);
        SIM_BattleEffects& effects = SIM_BattleEffects::Get();
        if (!target->GetShield()->IsPenetrated(shieldPenetration))
            effects.ProjectileShieldImpact(target, 3.0f, crossing[0], crossing[1]);
        else if (found)
            effects.ProjectileShieldBlast(target, crossing[0], crossing[1]);
    }
}

void SIM_KineticShell::Hit()
{
    if (!weapon || !target)
        return;
    weapon->RecordHit();
    float dx = std::sin(angle * 0.017453292f);
    float dy = -std::cos(angle * 0.017453292f);
    NormaliseVector2(dx, dy);
    const float dealt = weapon->RangeFactor(travelled) * damage;
    target->TakeHit(weapon, dealt, armourPenetration, shieldPenetration, aimPoint, insideShield, dx, dy);
    weapon->ClearMisses(target);
    target->ApplyImpulse(angle, dealt);
}
