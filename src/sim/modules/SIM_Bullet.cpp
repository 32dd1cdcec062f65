#include "sim/modules/SIM_Bullet.h"

#include <algorithm>
#include <cmath>

#include "engine/GDebugLog.h"
#include "engine/GeometryHelpers.h"
#include "engine/RandomTables.h"
#include "sim/SIM_BattleArea.h"
#include "sim/SIM_BattleClock.h"
#include "sim/SIM_BattleEffects.h"
#include "sim/SIM_Shield.h"
#include "sim/SIM_Ship.h"
#include "sim/modules/SIM_BulletWeaponModule.h"
#include "sim/modules/SIM_GunProjectiles.h"

namespace {

constexpr float kDegToRad = 0.017453292f;

float Wrap360(float a)
{
    a = std::fmod(a, 360.0f);
    return a < 0.0f ? a + 360.0f : a;
}

} // namespace

void SIM_Bullet::Init(SIM_BulletWeaponModule* owner, float bulletSpeed, float bulletWidth, float bulletHeight)
{
    weapon = owner;
    speed = bulletSpeed;
    width = bulletWidth;
    height = bulletHeight;
    damage = owner ? owner->damage : 0.0f;
    armourPenetration = owner ? owner->armourPenetration : 0.0f;
    shieldPenetration = owner ? owner->shieldPenetration : 0.0f;
    fadeDistance = owner ? owner->maxRange : 0.0f;
    expiryDistance = fadeDistance + kFadeLength;
    hasCell = SIM_BulletWeaponModule::SheetCell(owner ? owner->colourIndex : -1, cell);
    live = false;
}

void SIM_Bullet::SetAngle(float newAngle)
{
    angle = newAngle;
    directionSine = std::sin(angle * kDegToRad);
    directionCosine = std::cos(angle * kDegToRad);
}

void SIM_Bullet::Launch(bool isUntracked, SIM_Ship* ship, const Point* aim, float fromX, float fromY)
{
    QLM_ASSERT(ship != nullptr);
    travelled = 0.0f;
    target = ship;
    aimPoint = aim;
    x = launchX = fromX;
    y = launchY = fromY;
    untracked = isUntracked;
    alpha = 1.0f;

    const float p = weapon ? weapon->HitChance(target) : 0.0f;
    guided = !untracked && target && RandomChance(p);
    if (!guided) {
        const Point to = SIM_GunProjectiles::AimPointOnMap(target, aimPoint);
        SetAngle(AngleBetweenPoints(x, y, to.x, to.y));
    }
    live = true;
    atMuzzle = true;
    insideShield = guided && SIM_GunProjectiles::IsInsideShield(target, x, y);
    Update();
}

void SIM_Bullet::Die(bool recordMiss)
{
    if (recordMiss && !untracked && weapon) {
        weapon->RecordMiss(damage);
        weapon->NoteMiss(target);
    }
    live = false;
}

bool SIM_Bullet::OnMap() const
{
    const SIM_BattleArea& area = SIM_BattleArea::Get();
    return x >= 0.0f && x <= area.MapWidth() && y >= 0.0f && y <= area.MapHeight();
}

void SIM_Bullet::Update()
{
    if (!live)
        return;
    if (atMuzzle && travelled > height)
        atMuzzle = false;
    if (travelled > expiryDistance) {
        Die(true);
        return;
    }
    const float step = speed * SIM_BattleClock::GetInstance().frameStep;
    travelled += step;

    // A ship that is dying or gone takes no more hits: the bullet flies on.
    if (guided && !SIM_GunProjectiles::IsHittable(target))
        guided = false;

    if (!guided) {
        x += directionSine * step;
        y -= directionCosine * step;
        if (travelled > fadeDistance)
            alpha = std::clamp(1.0f - (travelled - fadeDistance) / kFadeLength, 0.0f, 1.0f);
    } else {
        const Point p = SIM_GunProjectiles::AimPointOnMap(target, aimPoint);
        const float preX = x, preY = y;
        SetAngle(AngleBetweenPoints(x, y, p.x, p.y));
        x += directionSine * step;
        y -= directionCosine * step;
        if (!SIM_GunProjectiles::HasBubble(target) || insideShield) {
            if (DistanceSquared(preX, preY, p.x, p.y) - step * step < kHitDistanceSq) {
                HitTarget();
                live = false;
                return;
            }
        } else {
            const float r = SIM_GunProjectiles::BubbleRadius(target);
            if (DistanceSquared(x, y, target->x, target->y) < r * r) {
                HitTarget();
                float crossing[2] = {x, y};
                if (!SegmentIntersectsCircle(r, target->x, target->y, x, y, p.x, p.y, crossing)) {
                    crossing[0] = x;
                    crossing[1] = y;
                }
                SIM_BattleEffects& effects = SIM_BattleEffects::Get();
                if (!target->GetShield()->IsPenetrated(shieldPenetration)) {
                    Deflect(crossing[0], crossing[1]);
                } else {
                    // Without a crossing it still ends here: a live guided
                    // bullet inside the bubble would hit again every frame.
                    effects.ProjectileShieldBlast(target, crossing[0], crossing[1]);
                    live = false;
                }
                effects.ProjectileHitPosition(target, crossing[0], crossing[1]);
                return;
            }
        }
    }

    if (!OnMap()) {
        Die(true);
        return;
    }
    const SIM_BattleArea& area = SIM_BattleArea::Get();
    screenX = (x - area.CameraX()) * area.Zoom();
    screenY = (y - area.CameraY()) * area.Zoom();
}

void SIM_Bullet::HitTarget()
{
    if (!weapon || !target)
        return;
    weapon->RecordHit();
    float dx = std::sin(angle * kDegToRad);
    float dy = -std::cos(angle * kDegToRad);
    NormaliseVector2(dx, dy);
    const float dealt = weapon->RangeFactor(travelled) * damage;
    if (target->TakeHit(weapon, dealt, armourPenetration, shieldPenetration, aimPoint, insideShield, dx, dy))
        weapon->ApplyPayload(target);
    weapon->ClearMisses(target);
    target->ApplyImpulse(angle, dealt);
}

void SIM_Bullet::Deflect(float atX, float atY)
{
    const float a = AngleBetweenPoints(atX, atY, target->x, target->y);
    const float d = AngleDifference(a, angle);
    float turned = a <= angle ? a - d : a + d;
    turned = Wrap360(Wrap360(turned) + 180.0f);
    SetAngle(turned);
    guided = false;
    if (fadeDistance - travelled > kDeflectFade)
        travelled = fadeDistance - kDeflectFade;
    SIM_BattleEffects::Get().ProjectileShieldImpact(target, 3.0f, atX, atY);
}

bool SIM_Bullet::CollideWithScenery()
{
    const SIM_GunProjectiles::SceneryProbe probe = SIM_GunProjectiles::GetSceneryProbe();
    if (!live || !probe)
        return false;
    const SIM_BattleArea& area = SIM_BattleArea::Get();
    if (area.IsOffScreen(x, y, 0.0f))
        return false;
    const int hit = probe(screenX, screenY, !guided);
    if (hit == SIM_GunProjectiles::DEBRIS)
        return true;
    if (hit == SIM_GunProjectiles::ASTEROID && !guided) {
        live = false;
        return true;
    }
    return false;
}
