#include "sim/modules/SIM_Missile.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/GDebugLog.h"
#include "engine/GeometryHelpers.h"
#include "engine/RandomTables.h"
#include "sim/SIM_BattleClock.h"
#include "sim/SIM_BattleEffects.h"
#include "sim/SIM_CommsManager.h"
#include "sim/SIM_Fleet.h"
#include "sim/SIM_Shield.h"
#include "sim/SIM_Ship.h"
#include "sim/SIM_ShipModuleType.h"
#include "sim/modules/SIM_ECMBeamModule.h"
#include "sim/modules/SIM_GunProjectiles.h"
#include "sim/modules/SIM_MissileModule.h"
#include "sim/modules/SIM_PointDefenceModule.h"

namespace {

constexpr float kDegToRad = 0.017453292f;
// Nothing on the battle map is further than this from anything else.
constexpr float kSearchBoundSq = 9.998e7f;

std::vector<SIM_Missile*>& LiveList()
{
    // Never destroyed: launchers leave it in their destructors, also at exit.
    static auto* list = new std::vector<SIM_Missile*>();
    return *list;
}

float FrameTime()
{
    return SIM_BattleClock::GetInstance().scaledFrameTime;
}

float FrameStep()
{
    return SIM_BattleClock::GetInstance().frameStep;
}

bool Flag(const SIM_ShipModuleType* type, const char* key)
{
    return std::atoi(type->GetConfigString(key)) != 0;
}

} // namespace

SIM_Missile::SIM_Missile() = default;

SIM_Missile::~SIM_Missile()
{
    LeaveLiveList();
    // Whoever still names this missile forgets it, whichever goes first.
    for (SIM_ECMBeamModule* tracker : trackers)
        tracker->ForgetMissile(this);
    if (claim)
        claim->ForgetMissile(this);
}

const std::vector<SIM_Missile*>& SIM_Missile::GetLiveMissiles()
{
    return LiveList();
}

void SIM_Missile::JoinLiveList()
{
    auto& list = LiveList();
    if (std::find(list.begin(), list.end(), this) == list.end())
        list.push_back(this);
}

void SIM_Missile::LeaveLiveList()
{
    auto& list = LiveList();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

SIM_Missile* SIM_Missile::FindNearestEnemy(const SIM_Ship* ship)
{
    if (!ship)
        return nullptr;
    SIM_Missile* best = nullptr;
    float bestD2 = kSearchBoundSq;
    // The draw below does not touch the ship: what the walk reads of it is
    // read once.
    const SIM_Fleet* const ownFleet = ship->fleet;
    const float shipX = ship->x, shipY = ship->y;
    const float accuracy = ship->scannerAccuracyTotal;
    for (SIM_Missile* m : LiveList()) {
        if (!m->live || m->launchingFleet == ownFleet)
            continue;
        if (m->holdHeading && accuracy > 0.0f && RandomChance(accuracy))
            continue;
        const float d2 = DistanceSquared(shipX, shipY, m->x, m->y);
        if (d2 < bestD2) {
            bestD2 = d2;
            best = m;
        }
    }
    return best;
}

void SIM_Missile::ReadDefinition(SIM_MissileModule* owner)
{
    QLM_ASSERT(owner != nullptr);
    if (!owner || !owner->GetType())
        return;
    launcher = owner;
    moduleType = owner->GetType();
    const SIM_ShipModuleType* t = moduleType;
    speed = t->GetConfigFloat("missilespeed", 0.0f);
    damage = t->GetConfigFloat("damage", 0.0f);
    width = t->GetConfigFloat("missilewidth", 0.0f);
    length = t->GetConfigFloat("missilelength", 0.0f);
    fuel = t->GetConfigFloat("fuel", 0.0f);
    turnSpeed = t->GetConfigFloat("turnspeed", 0.0f);
    QLM_ASSERT(turnSpeed > 0.0f);
    const float release = t->GetConfigFloat("decoy_release_range", 0.0f);
    decoyReleaseRangeSq = release * release;
    hasDecoys = Flag(t, "has_decoys");
    submunitionsLive = Flag(t, "submunitionslive");
    hasFlare = Flag(t, "has_flare");
    trailMode = Flag(t, "has_splines") ? SPLINE : ROPE;
    trailFadeTime = std::max(0.0f, t->GetConfigFloat("trail_fade_time", 0.0f));
    armourPenetration = owner->armourPenetration;
    shieldPenetration = owner->shieldPenetration;
    launchingFleet = owner->GetShip() ? owner->GetShip()->fleet : nullptr;

    const char* name = t->GetConfigString("warhead");
    if (std::strcmp(name, "EXPLOSIVE") == 0) {
        warhead = EXPLOSIVE;
    } else if (std::strcmp(name, "SHIELD_DISRUPTOR") == 0) {
        warhead = SHIELD_DISRUPTOR;
    } else if (std::strcmp(name, "DUMMY") == 0) {
        warhead = DUMMY;
    } else if (std::strcmp(name, "RADIATION") == 0) {
        warhead = RADIATION;
        radiationDamage = t->GetConfigFloat("radiation_damage", 0.0f);
        radiationDecay = t->GetConfigFloat("radiation_decay", 0.0f);
    } else if (std::strcmp(name, "ECMSHOCK") == 0) {
        warhead = ECMSHOCK;
        shockDuration = t->GetConfigFloat("shock_duration", 0.0f);
        ecmStrength = t->GetConfigFloat("ecm_strength", 0.0f);
    } else {
        LOG_ERROR("Failed to load missile warhead type");
    }
}

void SIM_Missile::CopyDefinition(const SIM_Missile& from)
{
    launcher = from.launcher;
    moduleType = from.moduleType;
    speed = from.speed;
    damage = from.damage;
    width = from.width;
    length = from.length;
    fuel = from.fuel;
    turnSpeed = from.turnSpeed;
    decoyReleaseRangeSq = from.decoyReleaseRangeSq;
    hasDecoys = from.hasDecoys;
    submunitionsLive = from.submunitionsLive;
    hasFlare = from.hasFlare;
    trailMode = from.trailMode;
    trailFadeTime = from.trailFadeTime;
    armourPenetration = from.armourPenetration;
    shieldPenetration = from.shieldPenetration;
    launchingFleet = from.launchingFleet;
    warhead = from.warhead;
    radiationDamage = from.radiationDamage;
    radiationDecay = from.radiationDecay;
    shockDuration = from.shockDuration;
    ecmStrength = from.ecmStrength;
}

void SIM_Missile::Launch(SIM_Ship* newTarget, const SIM_ShipModule::Point* newAimPoint, float fromX, float fromY)
{
    QLM_ASSERT(newTarget != nullptr);
    if (!newTarget)
        return;
    ++flight;
    live = true;
    trailAlive = true;
    trailAge = 0.0f;
    step = 0.0f;
    fuelLeft = fuel;
    target = newTarget;
    aimPoint = newAimPoint;
    x = fromX;
    y = fromY;
    scrambled = false;
    scrambledTimer = 0.0f;
    wanderTimer = 0.0f;

    for (auto& decoy : decoys)
        if (decoy && decoy->live)
            decoy->Destroy();
    decoysReleased = false;

    if (warhead == DUMMY)
        willHit = false;
    else if (target->painterCount > 0)
        willHit = true;
    else
        willHit = launcher && RandomChance(launcher->HitChance(target));

    goalDistanceSq = 9999.0f;
    JoinLiveList();
    if (home)
        home->WakeMissile();
    float ax = target->x, ay = target->y;
    if (aimPoint)
        target->LocalToWorld(aimPoint->x, aimPoint->y, target->sine, target->cosine, ax, ay);
    angle = AngleBetweenPoints(x, y, ax, ay);
    claim = nullptr;
    pathDone = false;
    if (trailMode == SPLINE)
        BuildPath(ax, ay);
}

void SIM_Missile::BuildPath(float toX, float toY)
{
    pathIndex = 1;
    goalDistanceSq = DistanceSquared(x, y, toX, toY);
    if (goalDistanceSq < 10000.0f) {
        pathDone = true;
        return;
    }
    const float d = std::sqrt(goalDistanceSq);
    const float hx = std::sin(angle * kDegToRad);
    const float hy = -std::cos(angle * kDegToRad);
    path[0] = {x, y};
    for (int k = 1; k <= 4; ++k) {
        const float along = static_cast<float>(k) * 0.165f * d;
        path[k].x = x + hx * along + (RandomFloat() * 2.0f - 1.0f) * d / 12.0f;
        path[k].y = y + hy * along + (RandomFloat() * 2.0f - 1.0f) * d / 12.0f;
    }
    path[5] = {toX, toY};
}

bool SIM_Missile::IsFree() const
{
    if (live || trailAlive)
        return false;
    if (decoysReleased && submunitionsLive)
        for (const auto& decoy : decoys)
            if (decoy && decoy->live)
                return false;
    return true;
}

void SIM_Missile::Process()
{
    if (live) {
        Update();
    } else if (trailAlive) {
        trailAge += FrameTime();
        if (trailAge >= trailFadeTime)
            trailAlive = false;
    }
    for (auto& decoy : decoys)
        if (decoy)
            decoy->Process();
}

void SIM_Missile::MoveForward()
{
    x += std::sin(angle * kDegToRad) * step;
    y -= std::cos(angle * kDegToRad) * step;
}

void SIM_Missile::Steer(float toX, float toY)
{
    float turn = turnSpeed * FrameStep();
    float wanted;
    if (holdHeading && fuel - fuelLeft < kDecoyHoldFuel) {
        wanted = decoyHeading;
    } else {
        wanted = AngleBetweenPoints(x, y, toX, toY);
        if (scrambled)
            turn *= 4.0f;
    }
    angle = TurnTowards(angle, wanted, turn);
}

void SIM_Missile::FollowPath()
{
    MoveForward();
    if (pathDone) {
        Steer(goalX, goalY);
        return;
    }
    if (DistanceSquared(x, y, path[pathIndex].x, path[pathIndex].y) < 16.0f * step * step) {
        if (++pathIndex > 5) {
            pathDone = true;
            return;
        }
    }
    float best = DistanceSquared(x, y, path[pathIndex].x, path[pathIndex].y);
    for (int i = pathIndex + 1; i < kPathPoints; ++i) {
        const float d2 = DistanceSquared(x, y, path[i].x, path[i].y);
        if (d2 < best) {
            best = d2;
            pathIndex = i;
        }
    }
    if (goalDistanceSq < best) {
        pathDone = true;
        Steer(goalX, goalY);
        return;
    }
    Steer(path[pathIndex].x, path[pathIndex].y);
}

void SIM_Missile::PickWanderPoint()
{
    wanderX = x + RandomRangeAlt(0.0f, 1.0f) * 520.0f - 260.0f;
    wanderY = y + RandomRangeAlt(0.0f, 1.0f) * 520.0f - 260.0f;
    wanderTimer = 0.0f;
}

void SIM_Missile::Update()
{
    if (!live)
        return;
    if (!target || target->IsDead() || target->state == SIM_Ship::OFF_FIELD ||
        target->state == SIM_Ship::RETREATED) {
        DestroyWithEffect();
        return;
    }
    const float frameTime = FrameTime();
    step = speed * frameTime;
    fuelLeft -= step;
    if (fuelLeft <= 0.0f) {
        if (launcher) {
            launcher->RecordMiss(damage);
            launcher->NoteMiss(target);
        }
        DestroyWithEffect();
        return;
    }

    if (!scrambled) {
        goalX = target->x;
        goalY = target->y;
        if (aimPoint)
            target->LocalToWorld(aimPoint->x, aimPoint->y, target->sine, target->cosine, goalX, goalY);
    } else {
        scrambledTimer += frameTime;
        if (scrambledTimer > kScrambleLifetime) {
            if (launcher) {
                launcher->RecordMiss(damage);
                launcher->NoteMiss(target);
            }
            Destroy();
            return;
        }
        wanderTimer += frameTime;
        if (wanderTimer > kWanderInterval)
            PickWanderPoint();
        goalX = wanderX;
        goalY = wanderY;
    }
    goalDistanceSq = DistanceSquared(x, y, goalX, goalY);

    if (trailMode == ROPE) {
        MoveForward();
        Steer(goalX, goalY);
    } else {
        FollowPath();
    }

    if (scrambled) {
        if (DistanceSquared(x, y, wanderX, wanderY) < step * step) {
            if (launcher)
                launcher->NoteMiss(target);
            Destroy();
        }
        return;
    }
    if (hasDecoys && !decoysReleased && goalDistanceSq < decoyReleaseRangeSq)
        ReleaseDecoys();
    if (!willHit)
        return; // circles its target until the fuel ends
    if (!SIM_GunProjectiles::HasBubble(target)) {
        if (goalDistanceSq - step < kDetonateDistanceSq) {
            x = goalX;
            y = goalY;
            Detonate();
            Destroy();
        }
        return;
    }
    const float r = SIM_GunProjectiles::BubbleRadius(target);
    if (DistanceSquared(x, y, target->x, target->y) < r * r)
        HitShieldBubble();
}

void SIM_Missile::HitShieldBubble()
{
    Detonate();
    float crossing[2] = {x, y};
    if (SegmentIntersectsCircle(SIM_GunProjectiles::BubbleRadius(target), target->x, target->y, x, y, goalX, goalY,
                                crossing)) {
        const SIM_Shield* shield = target->GetShield();
        const bool blast = warhead == SHIELD_DISRUPTOR || (shield && shield->IsPenetrated(shieldPenetration));
        SIM_BattleEffects::Get().MissileHitShield(target, crossing[0], crossing[1], blast);
    }
    SIM_MissileModule::PlayOneShot("data/sounds/small_explosion.ogg", 1, 1.0f, x, y);
    Destroy();
}

void SIM_Missile::Detonate()
{
    if (!target)
        return;
    float dx = std::sin(angle * kDegToRad);
    float dy = -std::cos(angle * kDegToRad);
    NormaliseVector2(dx, dy);
    SIM_ShipModule* weapon = launcher;
    switch (warhead) {
    case EXPLOSIVE:
        target->TakeHit(weapon, damage, armourPenetration, shieldPenetration, aimPoint, false, dx, dy);
        if (launcher)
            launcher->ClearMisses(target);
        break;
    case SHIELD_DISRUPTOR:
        if (SIM_Shield* shield = target->GetShield()) {
            shield->Drain(damage);
            if (launcher)
                launcher->ClearMisses(target);
        }
        break;
    case DUMMY:
        break;
    case RADIATION:
        if (target->TakeHit(weapon, damage, armourPenetration, shieldPenetration, aimPoint, false, dx, dy))
            target->AddRadiationDose(radiationDamage, radiationDecay);
        break;
    case ECMSHOCK:
        target->ApplyECMShock(shockDuration, ecmStrength);
        break;
    default:
        break;
    }
    target->ApplyImpulse(angle, damage);
    if (launcher)
        launcher->RecordHit();
}

void SIM_Missile::Scramble()
{
    if (!live || scrambled)
        return;
    scrambled = true;
    PickWanderPoint();
    scrambledTimer = 0.0f;
    LeaveLiveList();
    const SIM_Ship* owner = launcher ? launcher->GetShip() : nullptr;
    if (owner && owner->isPlayerShip)
        SIM_CommsManager::GetInstance().AddMessage(SIM_CommsManager::COM_OURMISSILESCRAMBLED, 0.5f,
                                                   const_cast<SIM_Ship*>(owner));
}

void SIM_Missile::AddTracker(SIM_ECMBeamModule* module)
{
    QLM_ASSERT(module != nullptr);
    if (module)
        trackers.push_back(module);
}

void SIM_Missile::RemoveTracker(const SIM_ECMBeamModule* module)
{
    trackers.erase(std::remove(trackers.begin(), trackers.end(), module), trackers.end());
}

void SIM_Missile::Destroy()
{
    live = false;
    LeaveLiveList();
    std::vector<SIM_ECMBeamModule*> dropped;
    dropped.swap(trackers);
    for (SIM_ECMBeamModule* tracker : dropped)
        tracker->ForgetMissile(this);
    if (claim) {
        SIM_PointDefenceModule* pd = claim;
        claim = nullptr;
        pd->ForgetMissile(this);
    }
    if (decoysReleased && !submunitionsLive)
        for (auto& decoy : decoys)
            if (decoy && decoy->live)
                decoy->Destroy();
}

void SIM_Missile::DestroyWithEffect()
{
    if (!live)
        return;
    Destroy();
    SIM_MissileModule::PlayOneShot("data/sounds/explosion_missile_destroyed.ogg", 1, 0.65f, x, y);
    SIM_BattleEffects::Get().MissileExploded(x, y);
}

void SIM_Missile::ReleaseDecoys()
{
    decoysReleased = true;
    if (!launcher || !target)
        return;
    for (auto& slot : decoys) {
        if (!slot)
            slot = std::make_unique<SIM_Missile>();
        SIM_Missile& decoy = *slot;
        decoy.holdHeading = true;
        decoy.home = home;
        // The launcher's definition, as this missile read it: no lookups by name.
        decoy.CopyDefinition(*this);
        decoy.hasDecoys = false;
        decoy.Launch(target, target->NextTargetPoint(), x, y);
        decoy.angle = angle;
        decoy.decoyHeading = angle + RandomFloat() * 80.0f - 40.0f;
        if (decoy.decoyHeading < 0.0f)
            decoy.decoyHeading += 360.0f;
        else if (decoy.decoyHeading >= 360.0f)
            decoy.decoyHeading -= 360.0f;
        if (!submunitionsLive)
            decoy.willHit = false;
    }
}
