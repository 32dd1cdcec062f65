#include "sim/SIM_Ship.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "engine/GDebugLog.h"
#include "engine/GRandom.h"
#include "engine/GeometryHelpers.h"
#include "engine/RandomTables.h"
#include "sim/SIM_Battle.h"
#include "sim/SIM_BattleClock.h"
#include "sim/SIM_CollisionAvoider.h"
#include "sim/SIM_CommsManager.h"
#include "sim/SIM_DamageFeedbackSink.h"
#include "sim/SIM_FighterSquadron.h"
#include "sim/SIM_Fleet.h"
#include "sim/SIM_Prefetch.h"
#include "sim/SIM_RadiationManager.h"
#include "sim/SIM_Race.h"
#include "sim/SIM_Scenario.h"
#include "sim/SIM_Shield.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_ShipDestroyedSink.h"
#include "sim/SIM_ShipHull.h"
#include "sim/SIM_ShipModuleType.h"
#include "sim/SIM_ShipOrders.h"
#include "sim/SIM_ShipVisual.h"
#include "sim/SIM_StatsDatabase.h"
#include "sim/SIM_SurvivalMode.h"
#include "sim/ShipUpdateScheduler.h"
#include "sim/modules/SIM_ArmourModule.h"
#include "sim/modules/SIM_BeamWeaponModule.h"
#include "sim/modules/SIM_CamoflageShieldModule.h"
#include "sim/modules/SIM_CarrierModule.h"
#include "sim/modules/SIM_RepairModule.h"
#include "sim/modules/SIM_TractorModule.h"
#include "sim/modules/SIM_EngineModule.h"
#include "sim/modules/SIM_LightningGunModule.h"
#include "sim/modules/SIM_Limpet.h"
#include "sim/modules/SIM_Missile.h"
#include "sim/modules/SIM_ModuleFactory.h"
#include "sim/modules/SIM_ShieldModule.h"
#include "sim/modules/SIM_StaticModule.h"
#include "sim/modules/SIM_TacticalModule.h"
#include "sim/modules/SIM_TargetedModule.h"

namespace {

constexpr float kDegToRad = 3.14159265358979f / 180.0f;
constexpr float kFrameUnit = 12.0f;
constexpr float kImpulseDecay = 0.04f;
constexpr float kImpulseMinLength = 0.002f;
constexpr float kMinImpulse = 0.01f;
constexpr float kShockwaveRangeSq = 65536.0f; // 256 map units
constexpr float kDeflectionLeak = 0.03f;
constexpr float kDetonationPenetration = 900.0f;
// The design keeps no blast value of its own: a wreck releases this share of
// its design's hitpoints on the ships around it.
constexpr float kDetonationShare = 0.25f;
constexpr float kRetreatHeading = 270.0f;
constexpr int kMaxModulePicks = 10000;

std::vector<SIM_Ship*>& ShipList()
{
    // Never destroyed: ships and modules leave it in their destructors, also
    // when the battle frees them at exit after the other statics are gone.
    static auto* list = new std::vector<SIM_Ship*>();
    return *list;
}

float FrameTime()
{
    return SIM_BattleClock::GetInstance().scaledFrameTime;
}

size_t PickIndex(size_t count)
{
    const size_t index = static_cast<size_t>(QlmRand() / 32768.0f * static_cast<float>(count));
    return std::min(index, count - 1);
}

// The module joins the typed list when it is of that kind.
template <typename T>
void AddIfKind(SIM_ShipModule* module, std::vector<T*>& list)
{
    if (auto* typed = dynamic_cast<T*>(module))
        list.push_back(typed);
}

} // namespace

// ---- construction -------------------------------------------------------

SIM_Ship::SIM_Ship()
{
    state = ACTIVE;
    throttle = 1.0f;
    acceleration = 0.025f;
    drag = 0.0f;
    visual = SIM_ShipVisual::Create(this);
    ShipList().push_back(this);
}

SIM_Ship::~SIM_Ship()
{
    // Limpets outlive no ship they stick to.
    for (SIM_Limpet* limpet : limpets)
        limpet->ForgetTarget(this);
    limpets.clear();
    std::erase(ShipList(), this);
    std::erase(GetLiveShips(), this);
    std::erase(GetRemovalQueue(), this);
    ShipUpdateScheduler::GetInstance().RemoveShip(this);
    if (fleet)
        fleet->RemoveLiveShip(this);
    SIM_CommsManager::GetInstance().ForgetShip(this);
    // Ships go together with their battle; only the attacker lists are read
    // while the others are torn down.
    for (SIM_Ship* other : ShipList())
        std::erase(other->attackers, this);

    collisionAvoider.reset();
    shield.reset();
    for (SIM_ShipModule* module : modules)
        delete module;
    modules.clear();
    perFrameModules.clear();
    armourModules.clear();
    repairModules.clear();
    carrierModules.clear();
    engineModules.clear();
    scannerModules.clear();
    boosterModules.clear();
    ecmShieldModules.clear();
    thinkingModules.clear();
    painters.clear();
    radiation.reset();
    turretWeapons.clear();
    cloaks.clear();
    tacticalModule = nullptr;
    visual.reset();
    if (design)
        design->RemoveUser();
}

void SIM_Ship::SetFleet(SIM_Fleet* newFleet)
{
    QLM_ASSERT(newFleet != nullptr);
    if (!newFleet)
        return;
    fleet = newFleet;
    fleet->AddLiveShip(this);
    GetLiveShips().push_back(this);
    isPlayerShip = (fleet == SIM_Battle::GetInstance().GetPlayerFleet()) ? 1 : 0;
}

SIM_Shield* SIM_Ship::GetOrCreateShield()
{
    if (!shield)
        shield = std::make_unique<SIM_Shield>(this);
    return shield.get();
}

void SIM_Ship::BuildFromDesign(SIM_ShipDesign* newDesign, std::unique_ptr<SIM_ShipOrders> newOrders)
{
    QLM_ASSERT(newDesign != nullptr);
    if (!newDesign || design)
        return;
    design = newDesign;
    design->AddUser();
    orders = newOrders ? std::move(newOrders) : std::make_unique<SIM_ShipOrders>();

    const SIM_ShipHull* hull = design->GetHull();
    QLM_ASSERT(hull != nullptr);
    if (hull) {
        hullSize = hull->GetWidth();
        hullSecondSize = hull->GetHeight();
        for (const SIM_ShipHull::Target& target : hull->GetTargets())
            targetPoints.push_back({target.x, target.y});
    }
    if (targetPoints.empty())
        targetPoints.push_back({0.0f, 0.0f});
    radius = std::max(hullSize, hullSecondSize);

    if (!IsFighter())
        collisionAvoider = std::make_unique<SIM_CollisionAvoider>(this);

    healthFraction = 1.0f;
    speed = 0.0f;
    destinationX = x;
    destinationY = y;
    maxSpeed = 0.0f;
    angle = 0.0f;
    sine = 0.0f;
    cosine = 1.0f;
    trigAngleBits = ~0u;

    std::unique_ptr<SIM_TacticalModule> tactical = SIM_ModuleFactory::CreateTactical();
    tacticalModule = tactical.get();
    AddModule(tactical.release(), -1, false);
    tacticalModule->ReadOrders(orders.get());

    BuildModules();

    race = hull ? SIM_Race::Find(hull->GetRaceName()) : nullptr;
    QLM_ASSERT(race != nullptr);

    for (SIM_ShipModule* module : modules)
        module->PostBuildInit();
    visual->BuildAttachments();
    for (SIM_ShipModule* module : modules)
        module->ApplyHullBonus();
    for (SIM_ShipModule* module : modules)
        module->ApplyScenarioRules();
    for (SIM_ShipModule* module : modules)
        module->ApplyStackEffectiveness();

    if (shield && !shield->modules.empty()) {
        shield->state = SIM_Shield::UP;
        shield->startingPoints = 0.0f;
        shield->Recalculate();
        shield->startingPoints = shield->currentPoints;
        shield->stability = shield->currentPoints;
        // A shield that starts with no points reads as empty, not as a division by 0.
        shield->strengthFraction = shield->startingPoints > 0.0f ? 1.0f : 0.0f;
        visual->SetShieldEffect(shield->IsUp());
    }

    RecalculateStats();
    startingHitPoints = currentHitPoints;
    healthFraction = startingHitPoints > 0.0f ? std::clamp(currentHitPoints / startingHitPoints, 0.0f, 1.0f) : 0.0f;

    ApplyInitialState();
}

void SIM_Ship::BuildModules()
{
    for (const SIM_ShipDesign::FittedModule& fitted : design->GetModules()) {
        if (!fitted.moduleType)
            continue;
        SIM_ModuleFactory::Built built = SIM_ModuleFactory::Create(fitted.moduleType, orders.get());
        if (!built.module)
            continue;
        SIM_ShipModule* module = built.module.release();
        if (auto* shieldModule = dynamic_cast<SIM_ShieldModule*>(module))
            GetOrCreateShield()->AddModule(shieldModule);
        AddModule(module, fitted.slotIndex, built.perFrame);
    }
}

void SIM_Ship::ApplyInitialState()
{
    const SIM_Battle& battle = SIM_Battle::GetInstance();
    // Player ships (and every ship of a survival battle) warp in later.
    if (battle.IsSurvival() || isPlayerShip)
        state = OFF_FIELD;
    if (state == ACTIVE) {
        visual->StartWarpEffect();
        // No warp-in will end for this ship to light its structural beams.
        visual->ActivateTractorBeams();
    }
}

void SIM_Ship::AddModule(SIM_ShipModule* module, int slotIndex, bool perFrame)
{
    if (!module)
        return;
    module->SetShip(this);
    const SIM_ShipHull* hull = design ? design->GetHull() : nullptr;
    const SIM_ShipHull::Slot* slot = (hull && slotIndex >= 0) ? hull->GetSlot(slotIndex) : nullptr;
    if (slot) {
        module->SetOffset(slot->x, slot->y);
        std::vector<SIM_ShipModule::Point> turrets;
        for (const SIM_ShipHull::Point& p : slot->turretPoints) {
            if (turrets.size() >= SIM_ShipHull::kMaxTurretPoints)
                break;
            turrets.push_back({p.x, p.y});
        }
        module->SetTurretOffsets(turrets);
    }
    modules.push_back(module);
    // The typed lists, in module order, serve every later question about a
    // kind of module: no cast in the frame or on a hit.
    AddIfKind(module, cloaks);
    AddIfKind(module, armourModules);
    AddIfKind(module, repairModules);
    AddIfKind(module, carrierModules);
    AddIfKind(module, engineModules);
    AddIfKind(module, scannerModules);
    AddIfKind(module, boosterModules);
    AddIfKind(module, ecmShieldModules);
    if (module->Thinks())
        thinkingModules.push_back(module);
    currentHitPoints += module->hitpoints;
    if (perFrame)
        perFrameModules.push_back(module);
}

void SIM_Ship::AddTargetedModule(SIM_TargetedModule* module)
{
    if (module && std::find(turretWeapons.begin(), turretWeapons.end(), module) == turretWeapons.end())
        turretWeapons.push_back(module);
}

// ---- queries ------------------------------------------------------------

const SIM_ShipHull* SIM_Ship::GetHull() const
{
    return design ? design->GetHull() : nullptr;
}

int SIM_Ship::GetHullClass() const
{
    const SIM_ShipHull* hull = GetHull();
    return hull ? hull->GetClass() : SIM_ShipHull::UNKNOWN_CLASS;
}

bool SIM_Ship::IsFighter() const
{
    return GetHullClass() == SIM_ShipHull::FIGHTER;
}

bool SIM_Ship::IsEnemy() const
{
    return isPlayerShip == 0;
}

const std::vector<SIM_Ship*>& SIM_Ship::GetAllShips()
{
    return ShipList();
}

SIM_Ship* SIM_Ship::FindById(int id, const SIM_Fleet* inFleet)
{
    for (SIM_Ship* ship : ShipList()) {
        if (ship->fleet == inFleet && ship->shipId == id)
            return ship;
    }
    LOG_ERROR_ONCE("Failed to find ship by ID");
    return nullptr;
}

SIM_Ship* SIM_Ship::FindShipByIdInVector(int id, const std::vector<SIM_Ship*>& ships)
{
    for (SIM_Ship* ship : ships) {
        if (ship && ship->shipId == id)
            return ship;
    }
    return nullptr;
}

const SIM_ShipModule::Point* SIM_Ship::NextTargetPoint()
{
    if (targetPoints.empty())
        targetPoints.push_back({0.0f, 0.0f});
    const SIM_ShipModule::Point* point = &targetPoints[nextTargetPoint % targetPoints.size()];
    nextTargetPoint = (nextTargetPoint + 1) % targetPoints.size();
    return point;
}

const SIM_ShipHull::Target& SIM_Ship::DamageLocationAt(const SIM_ShipModule::Point* point) const
{
    // Aim points are the hull's damage locations in hull order; a point from
    // elsewhere takes the nearest location.
    static const SIM_ShipHull::Target kNone;
    const SIM_ShipHull* hull = GetHull();
    if (!hull || hull->GetTargets().empty())
        return kNone;
    const auto& targets = hull->GetTargets();
    if (point && !targetPoints.empty() && point >= targetPoints.data() &&
        point < targetPoints.data() + targetPoints.size()) {
        const size_t index = static_cast<size_t>(point - targetPoints.data());
        if (index < targets.size())
            return targets[index];
    }
    const float px = point ? point->x : 0.0f, py = point ? point->y : 0.0f;
    size_t best = 0;
    float bestD = DistanceSquared(px, py, targets[0].x, targets[0].y);
    for (size_t i = 1; i < targets.size(); ++i) {
        const float d = DistanceSquared(px, py, targets[i].x, targets[i].y);
        if (d < bestD) {
            bestD = d;
            best = i;
        }
    }
    return targets[best];
}

SIM_Ship* SIM_Ship::FindSquadronMate() const
{
    if (!squadron)
        return nullptr;
    for (SIM_Ship* member : squadron->GetMembers()) {
        if (member && member != this && !member->IsDead())
            return member;
    }
    return nullptr;
}

bool SIM_Ship::HasWeaponTargeting(const SIM_Ship* target) const
{
    return std::any_of(turretWeapons.begin(), turretWeapons.end(),
                       [target](const SIM_TargetedModule* w) { return w->GetTarget() == target; });
}

// ---- heading and movement -----------------------------------------------

void SIM_Ship::SetAngle(float newAngle)
{
    const bool changed = newAngle != angle;
    angle = newAngle;
    trigAngleBits = std::bit_cast<uint32_t>(angle);
    sine = std::sin(angle * kDegToRad);
    cosine = std::cos(angle * kDegToRad);
    if (!changed)
        return;
    for (SIM_TargetedModule* weapon : turretWeapons) {
        for (float& turretAngle : weapon->turretAngles)
            turretAngle = newAngle;
    }
}

void SIM_Ship::FrameStep()
{
    const float frameTime = FrameTime();
    if (state == ACTIVE) {
        shipClock += frameTime;
        timeSinceFired += frameTime;
        Process();
        if (shield)
            shield->Update(frameTime);
        // Most ships have no layer change waiting: no call.
        if (visual->pendingLayer != visual->currentLayer)
            visual->ApplyPendingLayer();
    } else if (state == DYING) {
        Process();
        visual->UpdateDestruction();
    } else if (state == OFF_FIELD && warpOutArmed) {
        warpOutTime += frameTime;
        if (warpOutTime > kWarpOutDuration)
            CompleteRetreatJump();
    }
}

void SIM_Ship::Process()
{
    const float frameTime = FrameTime();
    const float k = frameTime / kFrameUnit;
    const bool retreating = tacticalModule && tacticalModule->GetMode() == kTacticalRetreat;
    const float turnStep = TurnStep(k);

    // Squadron members keep station on their leader between thinks.
    if (squadron && tacticalModule && tacticalModule->stickTogether && !tacticalModule->formation) {
        SIM_Ship* leader = squadron->GetLeader();
        if (leader && leader != this && !leader->IsDead()) {
            const SIM_FighterSquadron::Offset offset = squadron->GetMemberOffset(this);
            leader->LocalToWorld(offset.x, offset.y, leader->sine, leader->cosine, destinationX, destinationY);
            hasDestination = 1;
        }
    }

    if (collisionAvoider)
        collisionAvoider->Update(frameTime);

    bool steering = false;
    float steerX = 0.0f, steerY = 0.0f;
    if (hasDestination) {
        steering = true;
        steerX = destinationX;
        steerY = destinationY;
    } else if (tacticalModule && tacticalModule->GetMoveTarget()) {
        steering = true;
        steerX = tacticalModule->GetMoveTarget()->x;
        steerY = tacticalModule->GetMoveTarget()->y;
    }
    float desired = angle;
    if (retreating)
        desired = kRetreatHeading;
    else if (steering)
        desired = HeadingTowards(steerX, steerY, turnStep, sine, cosine, trigAngleBits);

    SteerAngle(desired, turnStep);
    UpdateSpeed(k);
    DecayImpulses(k);

    if (retreating && angle > 260.0f && angle < 280.0f)
        StartRetreatJump();

    const float step = speed * k;
    if (steering && !retreating && !IsFighter() && DistanceSquared(x, y, steerX, steerY) < step * step) {
        x = steerX;
        y = steerY;
        return;
    }

    float moveX = sine * step;
    float moveY = -cosine * step;
    if (collisionAvoider) {
        const float w = collisionAvoider->GetWeight();
        moveX = w * step * collisionAvoider->GetDirectionX() + (1.0f - w) * moveX;
        moveY = w * step * collisionAvoider->GetDirectionY() + (1.0f - w) * moveY;
    }
    for (const Impulse& impulse : impulses) {
        moveX += k * impulse.x;
        moveY += k * impulse.y;
    }
    x += moveX;
    y += moveY;
}

float SIM_Ship::TurnStep(float k) const
{
    const float rateFactor = std::max(throttle, 0.5f);
    return turnRate * k * rateFactor;
}

void SIM_Ship::SteerAngle(float desired, float turnStep)
{
    angle = TurnTowards(angle, desired, turnStep);
    // Turning keeps the turrets where they aim; only the heading is cached.
    const uint32_t bits = std::bit_cast<uint32_t>(angle);
    if (bits == trigAngleBits)
        return;
    trigAngleBits = bits;
    sine = std::sin(angle * kDegToRad);
    cosine = std::cos(angle * kDegToRad);
}

void SIM_Ship::UpdateSpeed(float k)
{
    const float target = maxSpeed * throttle;
    if (speed < target)
        speed = std::min(speed + acceleration * k, target);
    else if (speed > target)
        speed = std::max(speed - acceleration * k, 0.0f);
}

void SIM_Ship::DecayImpulses(float k)
{
    // Most ships carry none.
    if (impulses.empty())
        return;
    // A very long frame must not flip an impulse round.
    const float decay = std::min(k * kImpulseDecay, 1.0f);
    for (Impulse& impulse : impulses) {
        impulse.x -= impulse.x * decay;
        impulse.y -= impulse.y * decay;
    }
    impulses.erase(std::remove_if(impulses.begin(), impulses.end(),
                                  [](const Impulse& i) {
                                      return i.x * i.x + i.y * i.y < kImpulseMinLength * kImpulseMinLength;
                                  }),
                   impulses.end());
}

void SIM_Ship::ApplyImpulse(float angleDegrees, float strength)
{
    // Designs always weigh something; a weightless one would fly off.
    float weight = design ? design->GetWeight() : 0.0f;
    if (!(weight > 0.0f))
        weight = 1.0f;
    const float m = strength * 0.5f / weight;
    if (!(m >= kMinImpulse))
        return;
    impulses.push_back({std::sin(angleDegrees * kDegToRad) * m, -std::cos(angleDegrees * kDegToRad) * m});
}

void ApplyShockwaveToShips(float strength, float x, float y)
{
    // Copy: a push may not change the list, but the list is global.
    const std::vector<SIM_Ship*> ships = GetLiveShips();
    for (SIM_Ship* ship : ships) {
        const float d2 = DistanceSquared(x, y, ship->x, ship->y);
        if (d2 > kShockwaveRangeSq)
            continue;
        const float falloff = std::clamp(1.0f - d2 / kShockwaveRangeSq, 0.0f, 1.0f);
        const float size = ship->hullSize * 0.0625f;
        if (size > 0.0f && falloff * strength * 4.0f / size > 0.7f)
            ship->DetachLimpets();
        if (ship->isPlayerShip)
            SIM_CommsManager::GetInstance().AddMessage(SIM_CommsManager::COM_SHOCKEDBYFORCE, 0.2f, ship);
        ship->ApplyImpulse(AngleBetweenPoints(x, y, ship->x, ship->y), strength * falloff);
    }
}

// ---- per-frame and periodic work ------------------------------------------

void SIM_Ship::PrefetchStepParts() const
{
    PrefetchObject(visual.get());
    PrefetchObject(shield.get(), 64);
    PrefetchObject(collisionAvoider.get(), 128);
    PrefetchObject(tacticalModule, 192);
}

void SIM_Ship::PrefetchModuleList() const
{
    PrefetchObject(perFrameModules.data());
}

void SIM_Ship::PrefetchUpdateParts() const
{
    PrefetchObject(visual.get());
    const size_t count = std::min<size_t>(perFrameModules.size(), 2);
    for (size_t i = 0; i < count; ++i)
        PrefetchObject(perFrameModules[i], kModuleFrameBytes);
}

void SIM_Ship::Update()
{
    if (IsDead())
        return;
    // Modules are separate objects: the one after next is fetched while this
    // one works.
    SIM_ShipModule* const* modulesToRun = perFrameModules.data();
    const size_t count = perFrameModules.size();
    if (count > 1)
        PrefetchObject(modulesToRun[1], kModuleFrameBytes);
    for (size_t i = 0; i < count; ++i) {
        if (i + 2 < count)
            PrefetchObject(modulesToRun[i + 2], kModuleFrameBytes);
        modulesToRun[i]->Update();
    }
    if (ecmShocked) {
        ecmShockTimeLeft -= FrameTime();
        if (ecmShockTimeLeft <= 0.0f) {
            ecmShocked = 0;
            visual->StopSound();
        }
    }
}

void SIM_Ship::Think()
{
    if (state == ACTIVE) {
        for (SIM_ShipModule* module : thinkingModules) {
            if (module->enabled)
                module->Think();
        }
        if (radiation)
            radiation->Step();
    }
    const bool inRange = std::any_of(turretWeapons.begin(), turretWeapons.end(), [](const SIM_TargetedModule* w) {
        return w->GetTarget() != nullptr && w->IsInRange();
    });
    engaged = inRange ? 1 : 0;
    weaponsInRange = engaged;
}

void SIM_Ship::RecalculateStats()
{
    float totalMass = 0.0f, hitPoints = 0.0f, totalThrust = 0.0f;
    float maxArmour = 0.0f, armour = 0.0f, scanner = 0.0f, boost = 0.0f;
    bool hasWorkingWeapon = false;
    // Each sum runs in module order, as one walk over every module would.
    for (const SIM_ShipModule* module : modules) {
        totalMass += module->weight;
        hitPoints += module->hitpoints;
        if (!hasWorkingWeapon && module->health > 0.0f && module->type &&
            module->type->GetCategory() == SIM_ShipModuleType::WEAPONS)
            hasWorkingWeapon = true;
    }
    for (const SIM_EngineModule* engine : engineModules)
        totalThrust += engine->currentThrust;
    for (const SIM_ArmourModule* plate : armourModules) {
        maxArmour += plate->maxArmour;
        armour += plate->armour;
    }
    // A wrecked scanner sees nothing (a booster's share already falls with its health).
    for (const SIM_PDScannerModule* pd : scannerModules)
        if (pd->health > 0.0f)
            scanner += pd->value * pd->efficiency;
    for (const SIM_TargetBoosterModule* booster : boosterModules)
        boost += booster->value * booster->efficiency * booster->health;
    mass = totalMass;
    currentHitPoints = hitPoints;
    thrust = totalThrust;
    armourTotal = maxArmour;
    armourSum = armour;
    scannerAccuracyTotal = scanner;
    targetBoostTotal = boost;
    armed = hasWorkingWeapon ? 1.0f : 0.0f;

    armourAverage = modules.empty() ? 0.0f : armourSum / static_cast<float>(modules.size());
    armourFraction = armourTotal > 0.0f ? armourSum / armourTotal : 0.0f;
    if (startingHitPoints > 0.0f)
        healthFraction = std::clamp(currentHitPoints / startingHitPoints, 0.0f, 1.0f);

    if (thrust <= 0.0f)
        thrust = 0.125f;
    if (mass <= 0.0f)
        mass = 1.0f;
    mass += carriedLimpetWeight;

    const SIM_Scenario* scenario = SIM_Battle::GetInstance().GetScenario();
    const float engineMultiplier = scenario ? scenario->GetEngineSpeedMultiplier() : 1.0f;
    maxSpeed = thrust / mass * engineMultiplier;
    acceleration = maxSpeed / 200.0f;
    turnRate = thrust / mass * 0.5f;
    if (IsFighter())
        turnRate *= 1.5f;
    if (drag > 0.0f)
        maxSpeed *= 1.0f - drag;
    for (SIM_TargetedModule* weapon : turretWeapons)
        weapon->ApplyRangeBoost(targetBoostTotal);
}

// ---- hits -----------------------------------------------------------------

void SIM_Ship::PostComms(int messageId, float priority) const
{
    if (isPlayerShip)
        SIM_CommsManager::GetInstance().AddMessage(messageId, priority, const_cast<SIM_Ship*>(this));
}

void SIM_Ship::ShowDamageText(const SIM_DamageEvent& event, float hullDamage, float hitX, float hitY, bool lucky)
{
    visual->ShowDamageText(hullDamage > 0.0f ? hullDamage : event.damage);
    SIM_DamageFeedbackSink::Add(this, hullDamage, event.armourAbsorbed, event.shieldAbsorbed, lucky, hitX, hitY);
}

void SIM_Ship::NotifySquadronDamaged()
{
    if (squadron)
        squadron->Reassess();
}

bool SIM_Ship::TakeHit(SIM_ShipModule* weapon, float damage, float armourPenetration, float shieldPenetration,
                       const SIM_ShipModule::Point* hitPosition, bool ignoreShield, float directionX,
                       float directionY)
{
    if (!(damage > 0.0f))
        return false;
    SIM_Ship* attacker = weapon ? weapon->GetShip() : nullptr;
    const float hitX = hitPosition ? hitPosition->x : 0.0f;
    const float hitY = hitPosition ? hitPosition->y : 0.0f;

    ++stats.hitsTaken;
    stats.damageTaken += damage;
    hasBeenAttacked = 1;
    SIM_DamageEvent event;
    event.weapon = weapon ? weapon->GetType() : nullptr;
    event.target = this;
    event.attacker = attacker;
    event.damage = damage;
    event.flag = 1;

    // Whatever the hit did, the weapon's statistics hear of it on the way out.
    struct Credit {
        SIM_ShipModule* weapon;
        const SIM_DamageEvent& event;
        ~Credit()
        {
            if (!weapon)
                return;
            if (event.shieldAbsorbed > 0.0f)
                weapon->AddDamageStat(SIM_ModuleStatistics::DAMAGE_SHIELD, event.shieldAbsorbed);
            if (event.armourAbsorbed > 0.0f)
                weapon->AddDamageStat(SIM_ModuleStatistics::DAMAGE_ARMOUR, event.armourAbsorbed);
            if (event.moduleDamage > 0.0f)
                weapon->AddDamageStat(SIM_ModuleStatistics::DAMAGE_HULL, event.moduleDamage);
        }
    } credit{weapon, event};

    if (shield && !ignoreShield) {
        damage = shield->Absorb(&event, attacker, damage, shieldPenetration);
        if (damage <= 0.0f) {
            // A whole block was counted by the shield itself.
            if (event.shieldBlocked <= 0.0f) {
                if (attacker)
                    ++attacker->stats.hitsBlockedByShields;
                ++stats.hitsStoppedByOwnShield;
            }
            SIM_StatsDatabase::GetInstance().RecordEvent(event);
            ShowDamageText(event, 0.0f, hitX, hitY);
            return false;
        }
    }

    // A hit interrupts repairs.
    for (SIM_RepairModule* repair : repairModules)
        repair->ResetPeaceTimer();

    // A shot too weak for the armour that got through anyway was lucky.
    bool lucky = false;
    if (!armourModules.empty() && damage > 0.0f) {
        lucky = armourPenetration < armourAverage;
        if (ArmourStage(attacker, event, damage, armourPenetration, hitX, hitY))
            return false;
    }

    if (damage <= 0.0f) {
        ++stats.hitsAbsorbedByArmour;
        if (attacker)
            ++attacker->stats.hitsAbsorbedByArmourAsAttacker;
        RecalculateStats();
        SIM_StatsDatabase::GetInstance().RecordEvent(event);
        ShowDamageText(event, 0.0f, hitX, hitY, lucky);
        return false;
    }

    PostComms(IsFighter() ? SIM_CommsManager::COM_TAKINGHULLDAMAGE_FIGHTER
                          : SIM_CommsManager::COM_TAKINGHULLDAMAGE_NONFIGHTER,
              0.4f);
    const float moduleDamage = DamageModules(damage);
    ++stats.hullHitsTaken;
    stats.hullDamageTaken += moduleDamage;
    if (attacker)
        ++attacker->stats.hullHitsDealt;

    ShowDamageText(event, damage, hitX, hitY, lucky);
    event.moduleDamage = moduleDamage;
    SIM_StatsDatabase::GetInstance().RecordEvent(event);
    if (!IsDead()) {
        RecalculateStats();
        if (moduleDamage > 0.0f) {
            visual->ShowHullDamage(hitX, hitY, moduleDamage);
            visual->ShowHitEffects(DamageLocationAt(hitPosition), moduleDamage, directionX, directionY);
        }
    } else if (attacker) {
        attacker->PostComms(SIM_CommsManager::COM_TARGETDESTROYED, 0.6f);
    }
    if (moduleDamage > 0.0f)
        NotifySquadronDamaged();
    return true;
}

bool SIM_Ship::ArmourStage(SIM_Ship* attacker, SIM_DamageEvent& event, float& damage, float armourPenetration,
                           float hitX, float hitY)
{
    if (armourPenetration < armourAverage && !RandomChance(kDeflectionLeak)) {
        visual->ShowArmourSpark(hitX, hitY);
        ++stats.hitsDeflectedByOwnArmour;
        hasBeenAttacked = 0;
        if (attacker) {
            ++attacker->stats.hitsDeflectedByArmour;
            attacker->PostComms(SIM_CommsManager::COM_ARMORTOOSTRONG, 0.3f);
        }
        event.armourDeflected = damage;
        SIM_StatsDatabase::GetInstance().RecordEvent(event);
        damage = 0.0f;
        return true;
    }
    SIM_ArmourModule* plate = armourModules[PickIndex(armourModules.size())];
    const float absorbed = std::max(0.0f, std::min(damage, plate->armour));
    if (absorbed > 0.0f)
        plate->TakeDamage(absorbed);
    event.armourAbsorbed += absorbed;
    stats.armourDamageTaken += absorbed;
    damage -= absorbed;
    if (damage <= 0.0f) {
        damage = 0.0f;
        visual->ShowArmourSpark(hitX, hitY);
    }
    return false;
}

float SIM_Ship::DamageModules(float damage)
{
    float done = 0.0f;
    // Wrecked modules are picked too; the cap only guards a ship whose
    // modules can't be picked at all.
    for (int picks = 0; damage > 0.0f && !IsDead() && !modules.empty() && picks < kMaxModulePicks; ++picks) {
        SIM_ShipModule* module = modules[PickIndex(modules.size())];
        const float hitPoints = module->hitpoints;
        if (hitPoints <= 0.0f)
            continue;
        module->TakeDamage(damage);
        done += std::min(damage, hitPoints);
        damage = damage > hitPoints ? damage - hitPoints : 0.0f;
        CheckAlive();
    }
    if (!IsDead() && damage > 0.0f)
        CheckAlive();
    return done;
}

bool SIM_Ship::CheckAlive()
{
    if (IsDead())
        return false;
    float hitPoints = 0.0f;
    for (const SIM_ShipModule* module : modules)
        hitPoints += module->hitpoints;
    if (hitPoints > 0.0f)
        return true;
    StartDying();
    return false;
}

// ---- death and leaving ----------------------------------------------------

void SIM_Ship::StartDying()
{
    deadFlag = 1;
    state = DYING;
    visual->destructionClock = 0.0f;
    visual->StopSound();
    StopLoopingSounds();
    // Holds on other ships (tractors, support beams, paint) end with the ship.
    for (SIM_ShipModule* module : modules)
        module->ReleaseHolds();
    ReleaseLimpets();
    if (IsFighter()) {
        if (FindSquadronMate())
            PostComms(SIM_CommsManager::COM_WINGMANKILLED, 0.7f);
    } else {
        PostComms(SIM_CommsManager::COM_ABOUTTOEXPLODE, 0.99f);
    }
    if (squadron)
        squadron->Reassess();
}

void SIM_Ship::Kill()
{
    if (state == DESTROYED)
        return;
    healthFraction = 0.0f;
    deadFlag = 1;
    ReleaseLimpets();
    QueueShipRemoval(this);
    state = DESTROYED;
    if (fleet)
        fleet->OnShipKilled();
    visual->DeleteShipEmmiters();
    collisionAvoider.reset();
    SIM_ShipDestroyedSink::Tell(*this);
    SIM_Battle& battle = SIM_Battle::GetInstance();
    battle.ResetTimeSinceLastKill();
    // A survival score is the cost of the enemy ships destroyed.
    if (battle.IsSurvival() && fleet && fleet == battle.GetEnemyFleet() && design)
        SIM_SurvivalMode::GetInstance().AddScore(design->GetCost());
    if (!IsFighter())
        Detonate();
    if (fleet)
        fleet->UpdateClassPresence();
}

void SIM_Ship::Detonate()
{
    const float r = hullSize;
    if (!(r > 0.0f) || !design)
        return;
    const float r2 = r * r;
    const float blast = design->GetHitpoints() * kDetonationShare;
    const std::vector<SIM_Ship*> ships = GetLiveShips();
    for (SIM_Ship* victim : ships) {
        if (victim == this || victim->IsDead() || victim->IsFighter() || victim->docked)
            continue;
        const float d2 = DistanceSquared(x, y, victim->x, victim->y);
        if (d2 > r2)
            continue;
        float damage = blast * std::cos(d2 / r2 * 1.5707963f);
        if (victim->GetHullClass() == SIM_ShipHull::FRIGATE)
            damage *= 0.5f;
        float dx = victim->x - x;
        float dy = victim->y - y;
        NormaliseVector2(dx, dy);
        victim->TakeHit(nullptr, damage, kDetonationPenetration, kDetonationPenetration,
                        victim->NextTargetPoint(), true, dx, dy);
        SIM_DamageFeedbackSink::NoteShockwave(victim);
        if (victim->startingHitPoints > 0.0f)
            victim->PostComms(SIM_CommsManager::COM_HITBYSHIPDETONATION, damage / victim->startingHitPoints);
    }
}

void SIM_Ship::StartRetreatJump()
{
    if (drag != 0.0f || ecmShocked)
        return;
    state = OFF_FIELD;
    warpOutArmed = 1;
    warpOutTime = 0.0f;
    visual->ArmWarpOut();
    PostComms(SIM_CommsManager::COM_RETREATING, 0.66f);
}

void SIM_Ship::CompleteRetreatJump()
{
    warpOutArmed = 0;
    warpOutTime = 0.0f;
    state = RETREATED;
    speed = 0.0f;
    StopLoopingSounds();
    for (SIM_ShipModule* module : modules)
        module->ReleaseHolds();
    if (fleet)
        fleet->UpdateClassPresence();
}

void SIM_Ship::ApplyHullDamage(float damage)
{
    if (!(damage > 0.0f) || IsDead())
        return;
    DamageModules(damage);
    if (!IsDead())
        RecalculateStats();
}

void SIM_Ship::StopLoopingSounds()
{
    SIM_BeamWeaponModule::StopSoundsOfShip(this);
    SIM_LightningGunModule::StopSoundsOfShip(this);
    SIM_TractorModule::StopSoundsOfShip(this);
}

SIM_RadiationManager* SIM_Ship::GetRadiationManager()
{
    if (!radiation)
        radiation = std::make_unique<SIM_RadiationManager>(this);
    return radiation.get();
}

void SIM_Ship::AddPainter(SIM_ShipModule* painter)
{
    if (painter && std::find(painters.begin(), painters.end(), painter) == painters.end())
        painters.push_back(painter);
    painterCount = static_cast<int>(painters.size());
}

void SIM_Ship::RemovePainter(SIM_ShipModule* painter)
{
    std::erase(painters, painter);
    painterCount = static_cast<int>(painters.size());
}

// ---- effects from other ships --------------------------------------------

void SIM_Ship::UpdateClassTargets()
{
    const SIM_Fleet* opponent = fleet ? fleet->GetOpponent() : nullptr;
    bool found = false;
    for (int hullClass = 0; hullClass < 3 && !found; ++hullClass) {
        if (orders && orders->HasAttackOrderForClass(hullClass) && opponent && opponent->HasClass(hullClass))
            found = true;
    }
    for (SIM_TargetedModule* weapon : turretWeapons)
        weapon->SetClassPreference(found);
}

void SIM_Ship::AddAttacker(SIM_Ship* attacker)
{
    // One entry per weapon that chose this ship: three guns on it weigh three times.
    if (attacker)
        attackers.push_back(attacker);
    RecalculateThreat();
}

void SIM_Ship::RemoveAttacker(SIM_Ship* attacker)
{
    // The entry of the one weapon that looked away; the attacker's others stay.
    const auto it = std::find(attackers.begin(), attackers.end(), attacker);
    if (it != attackers.end())
        attackers.erase(it);
    RecalculateThreat();
}

void SIM_Ship::RecalculateThreat()
{
    float sum = 0.0f;
    for (const SIM_Ship* attacker : attackers)
        sum += attacker->startingHitPoints;
    threatRatio = startingHitPoints > 0.0f ? sum / startingHitPoints : 0.0f;
}

void SIM_Ship::RecomputeDrag()
{
    float hold = 0.0f;
    for (const TractorHold& t : tractors)
        hold += t.strength * (t.module ? t.module->efficiency : 1.0f);
    drag = mass > 0.0f ? std::clamp(hold / mass, 0.0f, 1.0f) : 0.0f;
    RecalculateStats();
    if (squadron)
        squadron->Reassess();
}

void SIM_Ship::AddTractor(SIM_ShipModule* tractor, float strength)
{
    tractors.push_back({tractor, strength});
    RecomputeDrag();
    if (IsFighter())
        PostComms(SIM_CommsManager::COM_CAUGHTINTRACTOR, 0.7f);
}

void SIM_Ship::RemoveTractor(SIM_ShipModule* tractor)
{
    QLM_ASSERT(tractor != nullptr);
    tractors.erase(std::remove_if(tractors.begin(), tractors.end(),
                                  [tractor](const TractorHold& t) { return t.module == tractor; }),
                   tractors.end());
    RecomputeDrag();
}

void SIM_Ship::AttachLimpetWeight(float weight)
{
    carriedLimpetWeight += std::max(0.0f, weight);
    RecalculateStats();
    if (squadron) {
        squadron->Reassess();
        PostComms(SIM_CommsManager::COM_LIMPETATTACHED, 0.59f);
    }
}

void SIM_Ship::DetachLimpets()
{
    std::vector<SIM_Limpet*> loose;
    loose.swap(limpets);
    for (SIM_Limpet* limpet : loose)
        limpet->ShakeLoose();
    if (carriedLimpetWeight == 0.0f)
        return;
    carriedLimpetWeight = 0.0f;
    RecalculateStats();
}

// ---- missiles and limpets ----

void SIM_Ship::AttachLimpet(SIM_Limpet* limpet)
{
    QLM_ASSERT(limpet != nullptr);
    if (!limpet)
        return;
    limpets.push_back(limpet);
    AttachLimpetWeight(limpet->GetWeight());
}

void SIM_Ship::RemoveLimpet(SIM_Limpet* limpet)
{
    const auto it = std::find(limpets.begin(), limpets.end(), limpet);
    if (it == limpets.end())
        return;
    limpets.erase(it);
    carriedLimpetWeight = std::max(0.0f, carriedLimpetWeight - limpet->GetWeight());
    if (!IsDead())
        RecalculateStats();
}

void SIM_Ship::ReleaseLimpets()
{
    std::vector<SIM_Limpet*> freed;
    freed.swap(limpets);
    for (SIM_Limpet* limpet : freed)
        limpet->Release();
    carriedLimpetWeight = 0.0f;
}

SIM_Missile* SIM_Ship::FindNearestEnemyMissile() const
{
    return SIM_Missile::FindNearestEnemy(this);
}

void SIM_Ship::AddRadiationDose(float damage, float decay)
{
    GetRadiationManager()->AddRadiation(damage, decay);
}

void SIM_Ship::ApplyECMShock(float duration, float power)
{
    if (IsDead())
        return;
    float strength = 0.0f;
    // A wrecked shield module resists nothing.
    for (const SIM_ECMShieldModule* ecm : ecmShieldModules)
        if (ecm->health > 0.0f)
            strength += ecm->value * ecm->efficiency;
    float p = strength > 1.0f ? power / strength : power;
    p = p < 0.02f ? 0.02f : std::min(p, 1.0f);
    if (RandomFloat() > p)
        return;
    ecmShockTimeLeft = duration;
    ecmShocked = 1;
    visual->ShowECMShock();
    PostComms(SIM_CommsManager::COM_ECMSHOCKED, 0.64f);
}

void SIM_Ship::SuspendModulesForCloak()
{
    for (SIM_ShipModule* module : modules) {
        if (module->cloakSensitive && module->enabled) {
            module->enabled = 0;
            cloakSuspended.push_back(module);
        }
    }
}

void SIM_Ship::ReenableCloakedModules()
{
    for (SIM_ShipModule* module : cloakSuspended)
        module->enabled = 1;
    cloakSuspended.clear();
}
