#include "sim/modules/SIM_TargetedModule.h"

#include <algorithm>
#include <cmath>
#include <type_traits>
#include <vector>

#include "engine/GDebugLog.h"
#include "engine/GeometryHelpers.h"
#include "engine/RandomTables.h"
#include "sim/SIM_Battle.h"
#include "sim/SIM_BattleClock.h"
#include "sim/SIM_Fleet.h"
#include "sim/SIM_ModuleStatsSink.h"
#include "sim/SIM_Race.h"
#include "sim/SIM_Scenario.h"
#include "sim/SIM_Ship.h"
#include "sim/SIM_ShipGrid.h"
#include "sim/SIM_ShipHull.h"
#include "sim/SIM_ShipModuleType.h"
#include "sim/SIM_ShipOrders.h"
#include "sim/SIM_StatsDatabase.h"
#include "sim/modules/SIM_CamoflageShieldModule.h"

namespace {

float WeaponRangeMultiplier()
{
    const SIM_Scenario* scenario = SIM_Battle::GetInstance().GetScenario();
    return scenario ? scenario->GetWeaponRangeMultiplier() : 1.0f;
}

float FrameTime()
{
    return SIM_BattleClock::GetInstance().scaledFrameTime;
}

float BattleClock()
{
    return SIM_BattleClock::GetInstance().battleTime;
}

bool IsFullyCloaked(const SIM_Ship* ship)
{
    for (const SIM_CamoflageShieldModule* cloak : ship->GetCloaks())
        if (cloak->GetCloakState() == SIM_CamoflageShieldModule::CLOAKED)
            return true;
    return false;
}

// The target choice weighs every candidate by it: inlined there.
[[gnu::always_inline]] inline float HitChanceOf(float trackingSpeed, const SIM_Ship* candidate)
{
    if (!candidate)
        return 0.0f;
    float c = 0.02f;
    if (candidate->speed <= trackingSpeed) {
        // A turret that cannot turn still hits a ship that is not moving.
        c = trackingSpeed > 0.0f ? 1.0f - candidate->speed / trackingSpeed : 1.0f;
        if (IsFullyCloaked(candidate))
            c *= 0.25f;
    }
    const float s = std::clamp(candidate->hullSize / 256.0f, 0.0f, 1.0f);
    return c * (0.5f + 0.5f * s);
}

} // namespace

SIM_TargetedModule::SIM_TargetedModule(const SIM_ShipModuleType* moduleType, SIM_ShipOrders* shipOrders)
    : SIM_ShipModule(moduleType), orders(shipOrders)
{
    const float rangeMultiplier = WeaponRangeMultiplier();
    if (moduleType) {
        maxRange = moduleType->GetConfigFloat("max_range", 0.0f) * rangeMultiplier;
        minRange = moduleType->GetConfigFloat("min_range", 0.0f);
        optimumRange = moduleType->GetConfigFloat("optimum_range", 0.0f) * rangeMultiplier;
        fireInterval = moduleType->GetConfigFloat("fire_interval", 0.0f);
        trackingSpeed = moduleType->GetConfigFloat("tracking_speed", 0.0f);
        shieldPenetration = moduleType->GetConfigFloat("shield_penetration", 0.0f);
        armourPenetration = moduleType->GetConfigFloat("armour_penetration", 0.0f);
        turretSize = moduleType->GetConfigFloat("turretsize", 0.0f);
        if (moduleType->GetConfig().HasKey("salvo_size")) {
            hasSalvo = true;
            salvoInterval = moduleType->GetConfigFloat("salvo_interval", 0.0f);
            salvoSize = GetTypeInt("salvo_size");
            salvoCount = 0;
        }
    }
    baseTrackingSpeed = trackingSpeed;
    baseMaxRange = maxRange;
    maxRangeSq = maxRange * maxRange;
    minRangeSq = minRange * minRange;
    // Random phases so the weapons of one fleet don't all choose in one frame.
    retargetTimer = RandomFloat() * kRetargetInterval;
    missExpiryTimer = RandomFloat() * kRetargetInterval;
    reloadProgress = RandomRange(0.0f, fireInterval);
    currentInterval = fireInterval;
    cloakSensitive = 1;
}

SIM_TargetedModule::~SIM_TargetedModule() = default;

void SIM_TargetedModule::SetShip(SIM_Ship* owner)
{
    ship = owner;
    if (ship)
        ship->AddTargetedModule(this);
}

void SIM_TargetedModule::PostBuildInit()
{
    if (!orders || !ship)
        return;
    enemyFleet = ship->fleet ? ship->fleet->GetOpponent() : nullptr;
    QLM_ASSERT(enemyFleet != nullptr);
    coOperative = orders->HasOrder("CO_OPERATIVE");
    vulture = orders->HasOrder("VULTURE");
    rescuer = orders->HasOrder("RESCUER");
    retaliate = orders->HasOrder("RETALIATE");
    protective = orders->HasOrder("PROTECTIVE");
    isMissile = type && type->GetClassName() == "SIM_MissileModule";
    shieldDisruptor = false;
    if (isMissile)
        shieldDisruptor = std::string(type->GetConfigString("warhead")) == "SHIELD_DISRUPTOR";
    attackFighters = orders->HasOrder("ATTACK_FIGHTERS");
    attackFrigates = orders->HasOrder("ATTACK_FRIGATES");
    attackCruisers = orders->HasOrder("ATTACK_CRUISERS");
}

void SIM_TargetedModule::CreateTurretSprite()
{
    if (!type || !ship)
        return;
    const SIM_ShipHull* hull = ship->GetHull();
    if (!hull || hull->GetClass() == SIM_ShipHull::FIGHTER)
        return;
    // A module without turrets (a fixed emitter) has nothing to map.
    if (!*type->GetConfigString("turret_sprite"))
        return;
    const SIM_Race* race = SIM_Race::Find(hull->GetRaceName());
    QLM_ASSERT(race != nullptr);
    if (!race)
        return;
    turretSprite = race->GetTurretMapping(type->GetConfigString("turret_sprite"));
    damagedTurretSprite = turretSprite;
}

void SIM_TargetedModule::Think()
{
    if (!ship || ship->ecmShocked)
        return;
    const float step = GetThinkStep();
    retargetTimer += step;
    if (retargetTimer > kRetargetInterval && autoTarget) {
        ChooseTarget(false);
        if (!target)
            ChooseTarget(true);
    }
    if (target && target->IsDead())
        RetargetAfterLoss();
    missExpiryTimer += step;
    if (missExpiryTimer > kRetargetInterval) {
        missExpiryTimer = 0.0f;
        ExpireMisses();
    }
}

void SIM_TargetedModule::RetargetAfterLoss()
{
    target = nullptr;
    targetPoint = nullptr;
    ChooseTarget(false);
    if (!target)
        ChooseTarget(true);
}

bool SIM_TargetedModule::SkipByClass(int hullClass, bool usePreference) const
{
    switch (hullClass) {
    case SIM_ShipHull::FIGHTER:
        return ignoresFighters || (usePreference && !attackFighters);
    case SIM_ShipHull::FRIGATE:
        return usePreference && !attackFrigates;
    case SIM_ShipHull::CRUISER:
        return usePreference && !attackCruisers;
    default:
        return false;
    }
}

// Only the target choice below scores, a candidate at a time: inlined there.
// kOrders false: the caller has seen that none of the orders' terms apply,
// so their tests drop out of the per-candidate work.
template <bool kOrders>
[[gnu::always_inline]] inline float SIM_TargetedModule::ScoreCandidate(SIM_Ship* candidate, int hullClass,
                                                                      bool anyClass, float priority) const
{
    float score = candidate->threatRatio > 10.0f ? 0.75f : 1.0f;
    if (CountMisses(candidate) > 3)
        score -= 0.5f;
    if (hullClass == SIM_ShipHull::FIGHTER) {
        // Drag only comes from tractor beams.
        if (candidate->drag > 0.0f)
            score += 1.0f;
        if (candidate->carriedLimpetWeight > 0.0f)
            score += 1.0f;
    }
    if (kOrders && coOperative)
        score += std::min(candidate->threatRatio * 0.125f, 0.5f);
    if (kOrders && vulture)
        score += (1.0f - candidate->healthFraction) * 0.5f;
    if (kOrders && rescuer)
        score += (1.0f - std::min(candidate->timeSinceFired, 2000.0f) / 2000.0f) * 0.5f;
    if (kOrders && retaliate && candidate->HasWeaponTargeting(ship))
        score += 0.5f;
    if (kOrders && isMissile && candidate->painterCount > 0)
        score += 1.0f;
    if (!(kOrders && vulture) && candidate->armed <= 0.0f)
        score -= 0.5f;
    score += HitChanceOf(trackingSpeed, candidate);
    if (!anyClass)
        score *= priority;
    return score;
}

void SIM_TargetedModule::ChooseTarget(bool anyClass)
{
    if (!enemyFleet || !ship)
        return;
    if (ship->docked) {
        // Out of the fight: its entry in the target's attacker list goes too.
        if (target)
            target->RemoveAttacker(ship);
        target = nullptr;
        targetPoint = nullptr;
        return;
    }
    SIM_Ship* previous = target;
    SIM_Ship* best = nullptr;
    float bestScore = -1.0f;
    int bestOrder = 0;
    const Point pos = GetWorldPos();
    const bool usePreference = classPreference && !anyClass;

    // The orders do not change during a choice: their priority per hull
    // class is looked up once, not once a candidate.
    float priority[SIM_ShipHull::FIGHTER + 1] = {1.0f, 1.0f, 1.0f};
    if (!anyClass && orders) {
        for (int c = 0; c <= SIM_ShipHull::FIGHTER; ++c)
            priority[c] = orders->GetAttackPriorityForClass(c);
    }
    const float otherPriority = (!anyClass && orders) ? orders->GetAttackPriorityForClass(-1) : 1.0f;

    // The walk comes in two builds: one for weapons whose orders add terms
    // to the score, one for the many whose orders add none.
    auto walk = [&](auto withOrders) {
        auto consider = [&](SIM_Ship* candidate, int order) {
            if (!candidate)
                return;
            // Range first: most of the ships a search visits are out of reach,
            // and every test here is free of side effects.
            const float d2 = DistanceSquared(pos.x, pos.y, candidate->x, candidate->y);
            if (d2 < minRangeSq || d2 > maxRangeSq)
                return;
            if (candidate->docked || candidate->IsDead())
                return;
            if (candidate->state == SIM_Ship::OFF_FIELD || candidate->state == SIM_Ship::RETREATED)
                return;
            const int hullClass = candidate->GetHullClass();
            if (SkipByClass(hullClass, usePreference))
                return;
            if (shieldDisruptor && !candidate->GetShield())
                return;
            const bool known = hullClass >= 0 && hullClass <= SIM_ShipHull::FIGHTER;
            const float score = ScoreCandidate<decltype(withOrders)::value>(
                candidate, hullClass, anyClass, known ? priority[hullClass] : otherPriority);
            // Ties keep the ship the fleet lists first. Most candidates score
            // below the best so far and leave at the first test.
            if (score >= bestScore && (score > bestScore || (best && order < bestOrder))) {
                bestScore = score;
                best = candidate;
                bestOrder = order;
            }
        };
        // Only the cells within range; the slack covers rounding of the root.
        SIM_ShipGrid::VisitNear(enemyFleet, pos.x, pos.y, std::sqrt(maxRangeSq) * 1.001f + 1.0f, consider);
    };
    if (coOperative || vulture || rescuer || retaliate || isMissile)
        walk(std::true_type{});
    else
        walk(std::false_type{});

    retargetTimer = 0.0f;
    target = best;
    if (best == previous)
        return;
    if (previous) {
        previous->RemoveAttacker(ship);
        previous->RecalculateThreat();
    }
    if (best) {
        best->AddAttacker(ship);
        targetPoint = best->NextTargetPoint();
    } else {
        targetPoint = nullptr;
    }
}

float SIM_TargetedModule::HitChance(const SIM_Ship* candidate) const
{
    return HitChanceOf(trackingSpeed, candidate);
}

float SIM_TargetedModule::RangeFactor(float distance) const
{
    if (optimumRange <= 0.0f)
        return 1.0f;
    if (distance <= optimumRange)
        return 0.5f + 0.5f * std::clamp(distance / optimumRange, 0.0f, 1.0f);
    const float span = maxRange - optimumRange;
    // No band beyond the optimum: anything past it is at the far end.
    const float f = span > 0.0f ? std::clamp((distance - optimumRange) / span, 0.0f, 1.0f) : 1.0f;
    return 1.0f - 0.5f * f;
}

bool SIM_TargetedModule::IsOwnShipVisible() const
{
    if (!ship)
        return false;
    for (const SIM_CamoflageShieldModule* cloak : ship->GetCloaks())
        if (cloak->IsEnabled() && cloak->GetCloakState() != SIM_CamoflageShieldModule::VISIBLE)
            return false;
    return true;
}

bool SIM_TargetedModule::CanAct(float frameTime) const
{
    if (!ship || health <= 0.0f || ship->ecmShocked)
        return false;
    const SIM_Battle& battle = SIM_Battle::GetInstance();
    if (battle.IsFromCampaign() && battle.IsEnded())
        return false;
    return frameTime > 0.0f;
}

void SIM_TargetedModule::SettleTurrets(float frameTime)
{
    if (health > 0.0f || turretSettleTimer <= 0.0f)
        return;
    turretSettleTimer -= frameTime * 0.001f;
    if (turretSettleTimer > 0.0f)
        return;
    const float shipAngle = ship ? ship->angle : 0.0f;
    for (int k = 0; k < kMaxTurrets; ++k) {
        float a = turretAngles[k] - shipAngle;
        if (a < 0.0f)
            a += 360.0f;
        else if (a >= 360.0f)
            a -= 360.0f;
        turretRelativeAngles[k] = a;
    }
    turretSettleTimer = 0.0f;
}

void SIM_TargetedModule::Update()
{
    const float frameTime = FrameTime();
    SettleTurrets(frameTime);
    if (!CanAct(frameTime))
        return;
    reloadProgress += frameTime;
    inRange = false;
    if (!target)
        return;
    if (target->IsDead()) {
        target = nullptr;
        targetPoint = nullptr;
        return;
    }
    // CanAct has seen the ship.
    const Point pos = ship->PlaceOnMap(offsetX, offsetY);
    const float d2 = DistanceSquared(pos.x, pos.y, target->x, target->y);
    if (minRangeSq < d2 && d2 < maxRangeSq) {
        inRange = true;
        reloadTime = currentInterval + 2.0f * currentInterval * (1.0f - health);
        if (reloadProgress > reloadTime)
            Fire();
    }
}

float SIM_TargetedModule::ChargeFraction() const
{
    if (!target || reloadTime <= 0.0f)
        return 0.0f;
    return std::clamp(reloadProgress / reloadTime, 0.0f, 1.0f);
}

void SIM_TargetedModule::Fire()
{
    reloadProgress = 0.0f;
    turretFlash[0] = 0.0f;
    ++shotsBegun;
    if (target) {
        targetPoint = target->NextTargetPoint();
        const float lx = targetPoint ? targetPoint->x : 0.0f;
        const float ly = targetPoint ? targetPoint->y : 0.0f;
        target->LocalToWorld(lx, ly, target->sine, target->cosine, aimPoint.x, aimPoint.y);
    }
    if (ship)
        ship->timeSinceFired = 0.0f;
    if (!hasSalvo) {
        currentInterval = RandomRangeAlt(0.8f, 1.2f) * fireInterval;
    } else {
        ++salvoCount;
        if (salvoCount < salvoSize) {
            currentInterval = fireInterval;
        } else {
            currentInterval = RandomRangeAlt(0.8f, 1.2f) * salvoInterval;
            salvoCount = 0;
        }
    }
    AimTurrets();
    if (ship && target)
        ship->GetStats().NoteFiredAt(target);
}

void SIM_TargetedModule::AimTurrets()
{
    const Point& aim = GetTurretAim();
    if (turretOffsets.empty()) {
        const Point pos = GetWorldPos();
        turretAngles[0] = AngleBetweenPoints(pos.x, pos.y, aim.x, aim.y);
        return;
    }
    const size_t n = std::min(turretOffsets.size(), static_cast<size_t>(kMaxTurrets));
    for (size_t i = 0; i < n; ++i) {
        const Point p = GetTurretWorldPos(i);
        turretAngles[i] = AngleBetweenPoints(p.x, p.y, aim.x, aim.y);
    }
}

bool SIM_TargetedModule::IsMouseOverTurret(float worldX, float worldY) const
{
    const float half = turretSize * 0.5f;
    auto under = [&](const Point& p) { return std::fabs(worldX - p.x) <= half && std::fabs(worldY - p.y) <= half; };
    if (turretOffsets.empty())
        return half > 0.0f && under(GetWorldPos());
    if (!(half > 0.0f))
        return false;
    const size_t n = std::min(turretOffsets.size(), static_cast<size_t>(kMaxTurrets));
    for (size_t i = 0; i < n; ++i)
        if (under(GetTurretWorldPos(i)))
            return true;
    return false;
}

void SIM_TargetedModule::ApplyRangeBoost(float boost)
{
    if (!std::isfinite(boost) || boost < 0.0f)
        boost = 0.0f;
    if (boost == appliedBoost)
        return;
    appliedBoost = boost;
    maxRange = baseMaxRange * (1.0f + boost);
    maxRangeSq = maxRange * maxRange;
}

void SIM_TargetedModule::SetBaseRange(float range)
{
    baseMaxRange = range;
    maxRange = range * (1.0f + appliedBoost);
    maxRangeSq = maxRange * maxRange;
}

void SIM_TargetedModule::Render(float /*size*/)
{
    // The battle view draws the turrets: turned toward aimPoint at the
    // tracking speed, with the race's working and wrecked pictures.
}

void SIM_TargetedModule::RecordShot()
{
    statistics->entries.push_back({SIM_ModuleStatistics::SHOT, 0.0f, BattleClock()});
    ++statistics->shotsFired;
    if (ship)
        ++ship->GetStats().shotsFired;
    if (target)
        ++target->GetStats().shotsReceived;
    SIM_ModuleStatsSink::Changed(this);
}

void SIM_TargetedModule::RecordMiss(float value)
{
    SIM_DamageEvent event;
    event.weapon = type;
    event.target = target;
    event.attacker = ship;
    event.damage = value;
    SIM_StatsDatabase::GetInstance().RecordEvent(event, BattleClock());
    statistics->entries.push_back({SIM_ModuleStatistics::MISS, value, BattleClock()});
    if (ship)
        ++ship->GetStats().misses;
}

void SIM_TargetedModule::RecordHit()
{
    statistics->entries.push_back({SIM_ModuleStatistics::HIT, 0.0f, BattleClock()});
    ++statistics->shotsHit;
    if (ship)
        ++ship->GetStats().hitsLanded;
    SIM_ModuleStatsSink::Changed(this);
}

void SIM_TargetedModule::NoteMiss(SIM_Ship* victim)
{
    for (MissRecord& r : missTally) {
        if (r.target == victim) {
            ++r.count;
            r.lastMissTime = BattleClock();
            return;
        }
    }
    missTally.push_back({1, BattleClock(), victim});
}

void SIM_TargetedModule::ClearMisses(const SIM_Ship* victim)
{
    missTally.remove_if([victim](const MissRecord& r) { return r.target == victim; });
}

int SIM_TargetedModule::CountMisses(const SIM_Ship* victim) const
{
    for (const MissRecord& r : missTally)
        if (r.target == victim)
            return r.count;
    return 0;
}

void SIM_TargetedModule::ExpireMisses()
{
    if (missTally.empty())
        return;
    const float now = BattleClock();
    missTally.remove_if([now](const MissRecord& r) { return r.lastMissTime < now - kMissExpiry; });
}

void SIM_TargetedModule::AddShotRecord(int value, float lifetime)
{
    if (!target || !targetPoint)
        return;
    shotRecords.push_back({value, target, targetPoint, lifetime, 0.0f});
}

void SIM_TargetedModule::AdvanceShotRecords()
{
    const float frameTime = FrameTime();
    std::vector<ShotRecord> due;
    for (auto it = shotRecords.begin(); it != shotRecords.end();) {
        it->elapsed += frameTime;
        if (it->elapsed > it->lifetime) {
            due.push_back(*it);
            it = shotRecords.erase(it);
        } else {
            ++it;
        }
    }
    // Fired after the list is settled: a turret shot may queue new records.
    for (const ShotRecord& record : due)
        FireTurret(record);
}
