#include "sim/modules/SIM_Plasma.h"

#include <cmath>
#include <string>

#include "engine/GDebugLog.h"
#include "engine/GeometryHelpers.h"
#include "engine/RandomTables.h"
#include "sim/SIM_BattleClock.h"
#include "sim/SIM_BattleEffects.h"
#include "sim/SIM_Shield.h"
#include "sim/SIM_Ship.h"
#include "sim/SIM_ShipModuleType.h"
#include "sim/modules/SIM_GunProjectiles.h"
#include "sim/modules/SIM_PlasmaLauncherModule.h"

namespace {

constexpr float kDegToRad = 0.017453292f;
// The explosion a torpedo leaves on a shielded target.
constexpr int kShieldExplosion = 19;

} // namespace

void SIM_Plasma::ReadDefinition(SIM_PlasmaLauncherModule* owner, const SIM_ShipModuleType* type)
{
    QLM_ASSERT(owner != nullptr && type != nullptr);
    launcher = owner;
    if (!owner || !type)
        return;
    speed = type->GetConfigFloat("speed", 0.0f);
    damage = type->GetConfigFloat("damage", 0.0f);
    spriteSize = type->GetConfigFloat("spritesize", 0.0f);
    fuel = type->GetConfigFloat("fuel", 0.0f);
    turnSpeed = type->GetConfigFloat("turnspeed", 0.0f);
    armourPenetration = owner->armourPenetration;
    shieldPenetration = owner->shieldPenetration;
    style = std::string(type->GetConfigString("style")) == "FRAGMENTED" ? FRAGMENTED : STANDARD;
    // Each torpedo's look differs, the same in every replay.
    lookSeed ^= static_cast<uint32_t>(owner->index + 1) * 2654435761u;
    if (style == STANDARD) {
        coreCell = 0;
        haloCell = 1;
        for (float& a : haloAngles)
            a = NextLookAngle();
        coreAngle = NextLookAngle();
        animationGap = type->GetConfigFloat("animationgap", 0.0f);
        frames = static_cast<int>(type->GetConfigFloat("frames", 0.0f));
    } else {
        coreCell = 2;
        haloCell = 3;
    }
}

float SIM_Plasma::NextLookAngle()
{
    // The look has its own little generator: drawing never takes a value
    // the battle's rolls would have had.
    lookSeed = lookSeed * 1664525u + 1013904223u;
    return static_cast<float>(lookSeed >> 8) / 16777216.0f * 360.0f;
}

void SIM_Plasma::Launch(SIM_Ship* ship, const Point* aim, float fromX, float fromY)
{
    QLM_ASSERT(ship != nullptr);
    live = true;
    step = 0.0f;
    fuelLeft = fuel;
    target = ship;
    aimPoint = aim;
    x = fromX;
    y = fromY;
    animationTimer = 0.0f;
    animationCounter = 0;
    willHit = launcher && ship && RandomFloat() < launcher->HitChance(ship);
    goalDistanceSq = kFarAway;
    const Point to = SIM_GunProjectiles::AimPointOnMap(target, aimPoint);
    SetAngle(AngleBetweenPoints(x, y, to.x, to.y));
}

void SIM_Plasma::Steer(const Point& to)
{
    const float frameStep = SIM_BattleClock::GetInstance().frameStep;
    SetAngle(RotateTowardsAngle(angle, AngleBetweenPoints(x, y, to.x, to.y), turnSpeed * frameStep));
}

void SIM_Plasma::Update()
{
    if (!live)
        return;
    step = speed * SIM_BattleClock::GetInstance().frameStep;
    fuelLeft -= step;
    if (fuelLeft <= 0.0f) {
        if (launcher) {
            launcher->RecordMiss(damage);
            launcher->NoteMiss(target);
        }
        live = false;
        return;
    }
    const Point p = SIM_GunProjectiles::AimPointOnMap(target, aimPoint);
    if (willHit)
        Steer(p);
    goalDistanceSq = DistanceSquared(x, y, p.x, p.y);
    const float a = angle * kDegToRad;
    x += std::sin(a) * step;
    y -= std::cos(a) * step;

    // A target that left the field, or is dying, is no longer chased.
    if (!SIM_GunProjectiles::IsHittable(target))
        willHit = false;
    if (!willHit)
        return;

    if (!SIM_GunProjectiles::HasBubble(target)) {
        if (goalDistanceSq - step < kHitDistanceSq) {
            x = p.x;
            y = p.y;
            Hit();
            live = false;
        }
        return;
    }
    const float r = SIM_GunProjectiles::BubbleRadius(target);
    if (DistanceSquared(x, y, target->x, target->y) >= r * r)
        return;
    Hit();
    SIM_BattleEffects& effects = SIM_BattleEffects::Get();
    float crossing[2] = {0.0f, 0.0f};
    if (target->GetShield() && target->GetShield()->IsPenetrated(shieldPenetration) &&
        SegmentIntersectsCircle(r, target->x, target->y, x, y, p.x, p.y, crossing)) {
        effects.ProjectileShieldBlast(target, crossing[0], crossing[1]);
        effects.ProjectileHitPosition(target, crossing[0], crossing[1]);
    }
    effects.PlasmaExplosion(target, kShieldExplosion, x, y);
    live = false;
}

void SIM_Plasma::Hit()
{
    if (!launcher || !target)
        return;
    float dx = std::sin(angle * kDegToRad);
    float dy = -std::cos(angle * kDegToRad);
    NormaliseVector2(dx, dy);
    const float flown = fuel - fuelLeft;
    const float dealt = launcher->RangeFactor(flown) * damage;
    target->TakeHit(launcher, dealt, armourPenetration, shieldPenetration, aimPoint, false, dx, dy);
    launcher->ClearMisses(target);
    target->ApplyImpulse(angle, dealt);
    launcher->RecordHit();
}

void SIM_Plasma::Animate(float frameTime)
{
    if (!live)
        return;
    if (style == FRAGMENTED) {
        haloAngles[0] = NextLookAngle();
        return;
    }
    // A gap of 0 or less, or no frames, means no animation (and no endless loop).
    if (!(animationGap > 0.0f) || frames <= 0)
        return;
    animationTimer += frameTime;
    if (!(animationTimer > animationGap))
        return;
    // As many steps as whole gaps the timer exceeds, counted at once: a tiny
    // gap must not spin a loop.
    const float steps = std::ceil(animationTimer / animationGap) - 1.0f;
    animationTimer -= steps * animationGap;
    animationCounter = static_cast<int>(std::fmod(static_cast<float>(animationCounter) + steps,
                                                  static_cast<float>(frames)));
    for (float& a : haloAngles)
        a = NextLookAngle();
    coreAngle = NextLookAngle();
}
