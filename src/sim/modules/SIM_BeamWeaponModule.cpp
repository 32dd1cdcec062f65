#include "sim/modules/SIM_BeamWeaponModule.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/GDebugLog.h"
#include "engine/GeometryHelpers.h"
#include "engine/RandomTables.h"
#include "sim/SIM_BattleArea.h"
#include "sim/SIM_BattleClock.h"
#include "sim/SIM_Shield.h"
#include "sim/SIM_Ship.h"
#include "sim/SIM_ShipModuleType.h"
#include "sim/SIM_ShipVisual.h"
#include "sim/SIM_SoundSink.h"
#include "sim/modules/SIM_CamoflageShieldModule.h"
#include "sim/modules/SIM_GunProjectiles.h"

namespace {

constexpr float kTwoPi = 6.2831853f;
constexpr float kDegToRad = 0.017453292f;
// Weapon sounds start fading beyond this distance.
constexpr float kSoundMinDistance = 64.0f;

std::vector<SIM_BeamWeaponModule*>& Instances()
{
    // Never destroyed: ships and modules leave it in their destructors, also
    // when the battle frees them at exit after the other statics are gone.
    static auto* list = new std::vector<SIM_BeamWeaponModule*>();
    return *list;
}

float WrapBelowOne(float v)
{
    while (v >= 1.0f)
        v -= 1.0f;
    return v;
}

} // namespace

SIM_BeamWeaponModule::SIM_BeamWeaponModule(const SIM_ShipModuleType* moduleType, SIM_ShipOrders* shipOrders)
    : SIM_TargetedModule(moduleType, shipOrders)
{
    if (moduleType) {
        const std::string texture = moduleType->GetConfigString("texture");
        for (std::string& t : beamTextures)
            t = texture;
        blastTexture = moduleType->GetConfigString("blasttexture");
        hasGrain = GetTypeBool("has_grain");
        if (hasGrain)
            grainTexture = moduleType->GetConfigString("grain");
        grainSpeed = moduleType->GetConfigFloat("grainspeed", 1.0f);
        beamDuration = moduleType->GetConfigFloat("beam_duration", 0.0f);
        damage = moduleType->GetConfigFloat("damage", 0.0f);
        sound = moduleType->GetConfigString("sound");
        soundVolume = moduleType->GetConfigFloat("soundvolume", 0.0f);
        beamWidth = moduleType->GetConfigFloat("beamwidth", 0.0f);
        fireDelay = moduleType->GetConfigFloat("firedelay", 0.0f);
        convergence = GetTypeBool("convergence");
    }
    fadeTime = std::min(beamDuration * 0.25f, 100.0f);
    grainScale = beamWidth * 0.015625f;
    Instances().push_back(this);
}

SIM_BeamWeaponModule::~SIM_BeamWeaponModule()
{
    StopSound();
    auto& list = Instances();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

void SIM_BeamWeaponModule::PostBuildInit()
{
    SIM_TargetedModule::PostBuildInit();
    CreateTurretSprite();
    // Looked up once: every frame would cost a cast per module per beam.
    ownCloak = nullptr;
    if (ship) {
        for (const SIM_ShipModule* m : ship->GetModules())
            if (const auto* cloak = dynamic_cast<const SIM_CamoflageShieldModule*>(m))
                ownCloak = cloak;
    }
}

bool SIM_BeamWeaponModule::IsOwnShipVisible() const
{
    return !ownCloak || !ownCloak->IsEnabled() || ownCloak->GetCloakState() == SIM_CamoflageShieldModule::VISIBLE;
}

void SIM_BeamWeaponModule::OnDestroyed()
{
    SIM_TargetedModule::OnDestroyed();
    StopSound();
}

void SIM_BeamWeaponModule::StopAllSounds()
{
    for (SIM_BeamWeaponModule* beam : Instances())
        beam->StopSound();
}

void SIM_BeamWeaponModule::StopSoundsOfShip(const SIM_Ship* dying)
{
    for (SIM_BeamWeaponModule* beam : Instances())
        if (beam->ship == dying)
            beam->StopSound();
}

void SIM_BeamWeaponModule::ForgetAllSounds()
{
    for (SIM_BeamWeaponModule* beam : Instances())
        beam->soundChannel = kNoChannel;
}

void SIM_BeamWeaponModule::StartSound()
{
    if (sound.empty() || soundChannel != kNoChannel)
        return;
    SIM_SoundSink* sounds = SIM_BattleClock::GetInstance().GetSounds();
    const Point pos = GetWorldPos();
    if (!sounds || SIM_BattleArea::Get().IsOffScreen(pos.x, pos.y, 128.0f) || sounds->IsPlayedTooOften(sound.c_str()))
        return;
    const float volume = soundVolume * sounds->GetEffectsVolume() * sounds->GetMasterVolume();
    soundChannel = sounds->PlaySound3D(sound.c_str(), sounds->GetBank(SIM_SoundSink::BANK_WEAPONS), volume, true,
                                       kSoundMinDistance, pos.x, pos.y);
    sounds->RememberRecent(sound.c_str());
}

void SIM_BeamWeaponModule::StopSound()
{
    if (soundChannel == kNoChannel)
        return;
    if (SIM_SoundSink* sounds = SIM_BattleClock::GetInstance().GetSounds())
        sounds->StopChannel(soundChannel);
    soundChannel = kNoChannel;
}

float SIM_BeamWeaponModule::DamageDelay() const
{
    if (converging)
        return (static_cast<float>(GetTurretCount()) + 1.0f) * fireDelay;
    return fireDelay;
}

void SIM_BeamWeaponModule::Fire()
{
    // Until this shot decides otherwise, the turrets aim at its target.
    turretAim = nullptr;
    SIM_TargetedModule::Fire();
    RecordShot();

    shotDamage = 0.0f;
    flickerTime = 0.0f;
    flickerPhase = 0.0f;
    grainOffset = 0.0f;
    beamAge = 0.0f;
    hitDirection = Point{};
    shieldStops = false;
    insideShield = false;
    damagePending = false;
    damageTarget = nullptr;
    beamActive = true;
    autoTarget = false; // keep the target while the beam shows

    if (!target) {
        beamActive = false;
        autoTarget = true;
        return;
    }

    const Point pos = GetWorldPos();
    const float chance = HitChance(target);
    hit = chance > RandomFloat();
    Point endPoint = aimPoint;
    if (hit) {
        const SIM_Shield* shield = target->GetShield();
        if (shield && shield->IsUp() && shield->currentPoints >= shieldPenetration) {
            shieldStops = true;
            shieldImpactAngle = RandomRange(-22.0f, 22.0f);
        }
        const float d = DistanceBetweenPoints(pos.x, pos.y, target->x, target->y);
        shotDamage = RangeFactor(d) * damage;
        const float a = AngleBetweenPoints(pos.x, pos.y, target->x, target->y) * kDegToRad;
        hitDirection = Point{std::sin(a), -std::cos(a)};
        beamTime = beamDuration;
        RecordHit();
        damagePending = true;
        damageTarget = target;
        damageAimPoint = targetPoint;
        insideShield = SIM_GunProjectiles::IsInsideShield(target, pos.x, pos.y);
    } else {
        const float lx = (targetPoint ? targetPoint->x : 0.0f) + RandomRange(-16.0f, 16.0f);
        const float ly = (targetPoint ? targetPoint->y : 0.0f) + RandomRange(-16.0f, 16.0f);
        target->LocalToWorld(lx, ly, target->sine, target->cosine, missPoint.x, missPoint.y);
        beamTime = beamDuration * 0.5f;
        missPhaseX = RandomFloat();
        missPhaseY = RandomFloat();
        RecordMiss(damage);
        NoteMiss(target);
        endPoint = missPoint;
    }

    DecideConvergence(endPoint);
    if (converging) {
        beamTime += fireDelay * static_cast<float>(GetTurretCount());
        // The barrels point where their beams meet, not past it at the target.
        turretAim = &convergePoint;
        AimTurrets();
    }
    StartSound();
}

void SIM_BeamWeaponModule::DecideConvergence(const Point& endPoint)
{
    converging = false;
    const size_t turrets = GetTurretCount();
    if (!convergence || turrets <= 1 || !ship || !target)
        return;
    const float d = DistanceBetweenPoints(ship->x, ship->y, target->x, target->y);
    const float toTarget = AngleBetweenPoints(ship->x, ship->y, target->x, target->y);
    if (d <= 2.0f * ship->hullSize || AngleDifference(ship->angle, toTarget) >= 22.5f)
        return;
    converging = true;
    Point centre;
    for (size_t i = 0; i < turrets; ++i) {
        const Point p = GetTurretWorldPos(i);
        centre.x += p.x;
        centre.y += p.y;
    }
    centre.x /= static_cast<float>(turrets);
    centre.y /= static_cast<float>(turrets);
    float dx = endPoint.x - centre.x;
    float dy = endPoint.y - centre.y;
    NormaliseVector2(dx, dy);
    convergePoint = Point{centre.x + dx * ship->hullSize * 0.5f, centre.y + dy * ship->hullSize * 0.5f};
}

void SIM_BeamWeaponModule::AdvanceBeam(float frameTime)
{
    flickerTime += frameTime;
    while (flickerTime >= 120.0f)
        flickerTime -= 120.0f;
    flickerPhase = std::min(flickerTime / 120.0f, 1.0f);
    grainOffset += grainSpeed * frameTime;
    if (grainOffset >= 250.0f || grainOffset < 0.0f)
        grainOffset = std::fmod(grainOffset, 250.0f);
    beamAge += frameTime;
    if (beamAge > beamTime) {
        // A hit still waiting lands now rather than being lost.
        if (damagePending)
            ApplyPendingDamage();
        beamActive = false;
        autoTarget = true;
        turretAim = nullptr;
        StopSound();
    }
}

void SIM_BeamWeaponModule::ApplyPendingDamage()
{
    damagePending = false;
    SIM_Ship* victim = damageTarget;
    QLM_ASSERT(victim != nullptr);
    if (!victim || victim->IsDead())
        return;
    ApplyBeamDamage();
    // Armour that deflects the hit clears has-been-attacked: count it as a miss.
    if (!victim->hasBeenAttacked)
        NoteMiss(victim);
    else
        ClearMisses(victim);
    if (!insideShield && SIM_GunProjectiles::HasBubble(victim)) {
        const Point start = GetWorldPos();
        float crossing[2] = {0.0f, 0.0f};
        if (SegmentIntersectsCircle(SIM_GunProjectiles::BubbleRadius(victim), victim->x, victim->y, start.x, start.y,
                                    aimPoint.x, aimPoint.y, crossing)) {
            shieldImpactPoint = Point{crossing[0], crossing[1]};
            victim->GetVisual()->ShowShieldImpact(crossing[0], crossing[1]);
        }
    }
}

void SIM_BeamWeaponModule::ApplyBeamDamage()
{
    if (!damageTarget)
        return;
    // The hull aim point of this shot, in the target's own frame.
    damageTarget->TakeHit(this, shotDamage, armourPenetration, shieldPenetration, damageAimPoint, insideShield,
                          hitDirection.x, hitDirection.y);
}

void SIM_BeamWeaponModule::Update()
{
    SIM_TargetedModule::Update();
    const float frameTime = SIM_BattleClock::GetInstance().scaledFrameTime;
    if (beamActive)
        AdvanceBeam(frameTime);

    if (beamAge < fadeTime)
        beamAlpha = fadeTime > 0.0f ? std::clamp(beamAge / fadeTime, 0.0f, 1.0f) : 1.0f;
    else if (beamAge > beamTime - fadeTime)
        beamAlpha = fadeTime > 0.0f ? std::clamp(1.0f - (beamAge - (beamTime - fadeTime)) / fadeTime, 0.0f, 1.0f)
                                    : 1.0f;
    else
        beamAlpha = 1.0f;

    if (damagePending && beamAge >= DamageDelay())
        ApplyPendingDamage();

    if (!ship || !IsOwnShipVisible())
        return;
    if (!beamActive && target && targetPoint)
        target->LocalToWorld(targetPoint->x, targetPoint->y, target->sine, target->cosine, aimPoint.x, aimPoint.y);
    grainCoverage = (beamActive && GetTurretCount() > 0 && !converging) ? 1.0f : 0.0f;
}

SIM_ShipModule::Point SIM_BeamWeaponModule::BeamEndPoint() const
{
    if (!hit) {
        const float t = beamTime > 0.0f ? beamAge / beamTime : 0.0f;
        const float p = WrapBelowOne(t + missPhaseX);
        const float q = WrapBelowOne(t + missPhaseY);
        return Point{missPoint.x + std::sin(p * kTwoPi) * 6.0f, missPoint.y + std::sin(q * kTwoPi) * 6.0f};
    }
    Point end = aimPoint;
    const SIM_Ship* victim = damageTarget ? damageTarget : target;
    // The beam stays on the hull point it hit while the target moves.
    if (victim && damageAimPoint)
        victim->LocalToWorld(damageAimPoint->x, damageAimPoint->y, victim->sine, victim->cosine, end.x, end.y);
    if (victim && SIM_GunProjectiles::HasBubble(victim) && !insideShield) {
        const Point start = converging ? convergePoint : GetWorldPos();
        float crossing[2] = {0.0f, 0.0f};
        if (SegmentIntersectsCircle(SIM_GunProjectiles::BubbleRadius(victim), victim->x, victim->y, start.x, start.y,
                                    end.x, end.y, crossing))
            end = Point{crossing[0], crossing[1]};
        else
            LOG_DEBUG("Intersect code went wrong");
    }
    return end;
}

int SIM_BeamWeaponModule::GetBeamSegments(BeamSegment* out, int maxSegments) const
{
    if (!beamActive || !out || maxSegments <= 0)
        return 0;
    const Point end = BeamEndPoint();
    const float grow = fireDelay > 0.0f ? std::clamp(beamAge / fireDelay, 0.0f, 1.0f) : 1.0f;
    const size_t turrets = GetTurretCount();
    int n = 0;
    if (turrets == 0) {
        out[n++] = BeamSegment{GetWorldPos(), end, grow};
        return n;
    }
    if (!converging) {
        for (size_t i = 0; i < turrets && n < maxSegments; ++i)
            out[n++] = BeamSegment{GetTurretWorldPos(i), end, grow};
        return n;
    }
    for (size_t i = 0; i < turrets && n < maxSegments; ++i) {
        const float startAt = static_cast<float>(i) * fireDelay;
        const float f = fireDelay > 0.0f ? std::clamp((beamAge - startAt) / fireDelay, 0.0f, 1.0f) : 1.0f;
        out[n++] = BeamSegment{GetTurretWorldPos(i), convergePoint, f};
    }
    if (n < maxSegments) {
        const float startAt = static_cast<float>(turrets) * fireDelay;
        const float f = fireDelay > 0.0f ? std::clamp((beamAge - startAt) / fireDelay, 0.0f, 1.0f) : 1.0f;
        out[n++] = BeamSegment{convergePoint, end, f};
    }
    return n;
}
