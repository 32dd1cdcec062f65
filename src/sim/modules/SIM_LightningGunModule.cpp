#include "sim/modules/SIM_LightningGunModule.h"

#include <algorithm>
#include <cmath>

#include "engine/GDebugLog.h"
#include "engine/GeometryHelpers.h"
#include "engine/RandomTables.h"
#include "sim/SIM_BattleClock.h"
#include "sim/SIM_BattleEffects.h"
#include "sim/SIM_Shield.h"
#include "sim/SIM_Ship.h"
#include "sim/SIM_ShipModuleType.h"
#include "sim/modules/SIM_GunProjectiles.h"

namespace {

constexpr float kTwoPi = 6.2831853f;
constexpr float kDegToRad = 0.017453292f;

std::vector<SIM_LightningGunModule*>& Instances()
{
    // Never destroyed, for the same reason as the other weapon lists.
    static auto* list = new std::vector<SIM_LightningGunModule*>();
    return *list;
}

float WrapAboveOne(float v)
{
    return v > 1.0f ? v - 1.0f : v;
}

} // namespace

SIM_LightningGunModule::SIM_LightningGunModule(const SIM_ShipModuleType* moduleType, SIM_ShipOrders* shipOrders)
    : SIM_TargetedModule(moduleType, shipOrders)
{
    if (moduleType) {
        beamDuration = moduleType->GetConfigFloat("beam_duration", 0.0f);
        texture = moduleType->GetConfigString("texture");
        damage = moduleType->GetConfigFloat("damage", 0.0f);
        sound = moduleType->GetConfigString("sound");
        soundVolume = moduleType->GetConfigFloat("soundvolume", 0.0f);
        beamWidth = moduleType->GetConfigFloat("beamwidth", 0.0f);
    }
    fadeTime = std::min(beamDuration * 0.25f, 100.0f);
    arcDuration = beamDuration;
    Instances().push_back(this);
}

SIM_LightningGunModule::~SIM_LightningGunModule()
{
    StopSound();
    auto& list = Instances();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

const std::vector<SIM_LightningGunModule*>& SIM_LightningGunModule::GetAll()
{
    return Instances();
}

void SIM_LightningGunModule::PostBuildInit()
{
    SIM_TargetedModule::PostBuildInit();
    CreateTurretSprite();
}

void SIM_LightningGunModule::OnDestroyed()
{
    SIM_TargetedModule::OnDestroyed();
    StopSound();
}

void SIM_LightningGunModule::StopSound()
{
    if (soundChannel == kNoChannel)
        return;
    SIM_GunProjectiles::StopSound(soundChannel);
    soundChannel = kNoChannel;
}

void SIM_LightningGunModule::StopAllSounds()
{
    for (SIM_LightningGunModule* gun : Instances())
        gun->StopSound();
}

void SIM_LightningGunModule::StopSoundsOfShip(const SIM_Ship* dying)
{
    for (SIM_LightningGunModule* gun : Instances())
        if (gun->ship == dying)
            gun->StopSound();
}

void SIM_LightningGunModule::ForgetAllSounds()
{
    for (SIM_LightningGunModule* gun : Instances())
        gun->soundChannel = kNoChannel;
}

void SIM_LightningGunModule::Fire()
{
    // One arc at a time: the reload waits for the present one to end.
    if (arcActive)
        return;
    SIM_TargetedModule::Fire();
    RecordShot();
    arcTimer = 0.0f;
    flickerTimer = 0.0f;
    flickerFrame = 0;
    arcActive = true;
    autoTarget = false; // keep the target while the arc shows
    if (!target) {
        arcActive = false;
        autoTarget = true;
        return;
    }

    const float p = HitChance(target);
    hit = RandomFloat() < p;
    if (!hit) {
        missPoint = Point{aimPoint.x + RandomRange(-kMissSpread, kMissSpread),
                          aimPoint.y + RandomRange(-kMissSpread, kMissSpread)};
        arcDuration = beamDuration * 0.5f;
        wanderPhase1 = RandomRangeAlt(0.0f, 1.0f);
        wanderPhase2 = RandomRangeAlt(0.0f, 1.0f);
        RecordMiss(damage);
        NoteMiss(target);
    } else {
        const Point pos = GetWorldPos();
        const float a = AngleBetweenPoints(pos.x, pos.y, target->x, target->y) * kDegToRad;
        float dx = std::sin(a), dy = -std::cos(a);
        NormaliseVector2(dx, dy);
        const float d = DistanceBetweenPoints(pos.x, pos.y, target->x, target->y);
        target->TakeHit(this, RangeFactor(d) * damage, armourPenetration, shieldPenetration, targetPoint, false, dx,
                        dy);
        ClearMisses(target);
        arcDuration = beamDuration;
        ShowShieldHit();
        RecordHit();
    }

    // A shot that is still sounding is cut off by the next.
    StopSound();
    const Point pos = GetWorldPos();
    soundChannel = SIM_GunProjectiles::PlayShotSound(sound, soundVolume, pos.x, pos.y);
}

void SIM_LightningGunModule::ShowShieldHit()
{
    if (!SIM_GunProjectiles::HasBubble(target))
        return;
    const Point pos = GetWorldPos();
    float crossing[2] = {0.0f, 0.0f};
    if (!SegmentIntersectsCircle(SIM_GunProjectiles::BubbleRadius(target), target->x, target->y, pos.x, pos.y,
                                 aimPoint.x, aimPoint.y, crossing))
        return;
    shieldCrossing = Point{crossing[0], crossing[1]};
    SIM_BattleEffects& effects = SIM_BattleEffects::Get();
    if (target->GetShield()->IsPenetrated(shieldPenetration))
        effects.ProjectileShieldBlast(target, crossing[0], crossing[1]);
    effects.ProjectileHitPosition(target, crossing[0], crossing[1]);
}

SIM_ShipModule::Point SIM_LightningGunModule::ArcEnd(float fromX, float fromY) const
{
    if (!hit) {
        const float f = arcDuration > 0.0f ? std::clamp(arcTimer / arcDuration, 0.0f, 1.0f) : 0.0f;
        const float a = WrapAboveOne(f + wanderPhase1);
        const float b = WrapAboveOne(f + wanderPhase2);
        return Point{missPoint.x + kWander * std::sin(a * kTwoPi), missPoint.y + kWander * std::sin(b * kTwoPi)};
    }
    const Point end = target ? SIM_GunProjectiles::AimPointOnMap(target, targetPoint) : aimPoint;
    if (!target || !SIM_GunProjectiles::HasBubble(target))
        return end;
    float crossing[2] = {0.0f, 0.0f};
    if (!SegmentIntersectsCircle(SIM_GunProjectiles::BubbleRadius(target), target->x, target->y, fromX, fromY, end.x,
                                 end.y, crossing)) {
        LOG_ERROR_ONCE("Intersect code went wrong");
        return end;
    }
    return Point{crossing[0], crossing[1]};
}

void SIM_LightningGunModule::AdvanceFlicker(float frameTime)
{
    flickerTimer += frameTime;
    if (flickerTimer > kFlickerTime) {
        flickerFrame = (flickerFrame + 1) % 8;
        flickerTimer = 0.0f;
    }
}

void SIM_LightningGunModule::UpdateAlpha()
{
    const float t = arcTimer;
    if (fadeTime <= 0.0f)
        alpha = 1.0f;
    else if (t < fadeTime)
        alpha = t / fadeTime;
    else if (t <= arcDuration - fadeTime)
        alpha = 1.0f;
    else
        alpha = 1.0f - (t - (arcDuration - fadeTime)) / fadeTime;
    alpha = std::clamp(alpha, 0.0f, 1.0f);
}

void SIM_LightningGunModule::Update()
{
    SIM_TargetedModule::Update();
    const float frameTime = SIM_BattleClock::GetInstance().scaledFrameTime;
    if (arcActive) {
        arcTimer += frameTime;
        if (arcTimer > arcDuration) {
            arcActive = false;
            autoTarget = true;
            StopSound();
        }
        AimTurrets();
        UpdateAlpha();
    }
    if (!ship || !SIM_GunProjectiles::IsShipVisible(ship))
        return;
    if (!arcActive || !target) {
        if (target && targetPoint)
            aimPoint = SIM_GunProjectiles::AimPointOnMap(target, targetPoint);
        return;
    }
    AdvanceFlicker(frameTime);
}
