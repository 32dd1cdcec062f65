#include "sim/modules/SIM_TacticalModule.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/GDebugLog.h"
#include "engine/GeometryHelpers.h"
#include "engine/RandomTables.h"
#include "sim/SIM_BattleArea.h"
#include "sim/SIM_BattleClock.h"
#include "sim/SIM_CommsManager.h"
#include "sim/SIM_FighterSquadron.h"
#include "sim/SIM_Fleet.h"
#include "sim/SIM_Ship.h"
#include "sim/SIM_ShipGrid.h"
#include "sim/SIM_ShipHull.h"
#include "sim/SIM_ShipModuleType.h"
#include "sim/SIM_ShipOrder.h"
#include "sim/SIM_ShipOrders.h"
#include "sim/SIM_ShipVisual.h"
#include "sim/modules/SIM_CarrierModule.h"

namespace {

constexpr float kDegToRad = 0.01745329238474369f;
constexpr float kArrivedSq = 1024.0f; // within 32 units
constexpr float kPlanInterval = 2000.0f;
constexpr float kDockReachMin = 20.0f;
constexpr float kDockReachMax = 32.0f;

bool IsOnField(const SIM_Ship* s)
{
    return s && !s->IsDead() && s->state != SIM_Ship::OFF_FIELD && s->state != SIM_Ship::RETREATED;
}

void PostComms(SIM_Ship* ship, int id, float priority)
{
    if (ship && ship->isPlayerShip)
        SIM_CommsManager::GetInstance().AddMessage(id, priority, ship);
}

// Clamp that survives an inverted range (a map smaller than the margin).
float SafeClamp(float v, float lo, float hi)
{
    if (hi < lo)
        return (lo + hi) * 0.5f;
    return std::clamp(v, lo, hi);
}

} // namespace

SIM_TacticalModule::SIM_TacticalModule(const SIM_ShipModuleType* moduleType) : SIM_ShipModule(moduleType) {}

void SIM_TacticalModule::ReadOrders(SIM_ShipOrders* newOrders)
{
    moveTimer = RandomFloat() * 3000.0f;
    evaluateTimer = RandomFloat() * 3000.0f;
    orders = newOrders;
    QLM_ASSERT(orders != nullptr);
    engageRange = 0.0f;
    moveTarget = nullptr;
    enemyFleet = (ship && ship->fleet) ? ship->fleet->GetOpponent() : nullptr;
    isFighter = ship && ship->GetHullClass() == SIM_ShipHull::FIGHTER;
    if (!orders)
        return;
    attackFighters = orders->HasOrder("ATTACK_FIGHTERS");
    attackFrigates = orders->HasOrder("ATTACK_FRIGATES");
    attackCruisers = orders->HasOrder("ATTACK_CRUISERS");
    keepMoving = orders->HasOrder("KEEPMOVING");
    vulture = orders->HasOrder("VULTURE");
    stickTogether = orders->HasOrder("STICKTOGETHER") && ship && ship->squadron;
}

void SIM_TacticalModule::RefreshOrders()
{
    if (!orders || !ship)
        return;
    if (ship->fleet)
        enemyFleet = ship->fleet->GetOpponent();
    orders->ApplyTacticalChecks(ship);
    formation = orders->HasOrder("FORMATION");
    for (int c = 0; c < 3; ++c)
        attackPriority[c] = orders->HasAttackOrderForClass(c) ? orders->GetAttackPriorityForClass(c) : 0.0f;
    stickTogether = orders->HasOrder("STICKTOGETHER") && ship->squadron;
}

void SIM_TacticalModule::CheckWeaponsDestroyed()
{
    if (!ship)
        return;
    bool anyWeapon = false;
    bool anyWorking = false;
    for (const SIM_ShipModule* m : ship->GetModules()) {
        if (!m->IsWeapon())
            continue;
        anyWeapon = true;
        if (m->GetHealth() > 0.0f)
            anyWorking = true;
    }
    if (anyWeapon)
        weaponsGone = !anyWorking;
}

bool SIM_TacticalModule::EnemyShipsLeft() const
{
    if (!enemyFleet)
        return false;
    // Ships still waiting to warp in count: a fleet that saw none at its first
    // think would otherwise withdraw for the whole battle.
    for (const SIM_Ship* s : enemyFleet->GetLiveShips())
        if (!s->IsDead())
            return true;
    return false;
}

void SIM_TacticalModule::Think()
{
    if (!ship || mode == DOCKED)
        return;
    if (!enemyFleet && ship->fleet)
        enemyFleet = ship->fleet->GetOpponent();
    const float step = GetThinkStep();
    moveTimer += step;
    if (formation) {
        FormationThink();
        return;
    }
    evaluateTimer += step;
    if (evaluateTimer > evaluateInterval) {
        EvaluateMode();
        evaluateTimer = 0.0f;
    }
    switch (mode) {
    case ATTACK:
        AttackThink();
        break;
    case HOLD:
        HoldThink();
        break;
    case WITHDRAW:
        ZoneThink();
        break;
    case RETURN:
        ReturnThink();
        break;
    case RETREAT:
        ship->throttle = 1.0f;
        break;
    default:
        break;
    }
}

void SIM_TacticalModule::EvaluateMode()
{
    if (!ship)
        return;
    if (SIM_BattleClock::GetInstance().generalRetreat && ship->isPlayerShip) {
        SetMode(RETREAT);
        return;
    }
    if (!weaponsGone && EnemyShipsLeft()) {
        const float r = orders ? orders->GetCautiousLevel() : -1.0f;
        if (r <= 0.0f)
            return;
        if (1.0f - ship->healthFraction < r)
            SetMode(ATTACK);
        else
            SetMode(isFighter && FindCarrier() ? RETURN : WITHDRAW);
        return;
    }
    if (weaponsGone && mode != WITHDRAW && mode != RETURN)
        PostComms(ship, SIM_CommsManager::COM_RETREATWEAPONSDESTROYED, 0.9f);
    SetMode(isFighter && FindCarrier() ? RETURN : WITHDRAW);
}

void SIM_TacticalModule::SetMode(int newMode)
{
    if (newMode == mode)
        return;
    mode = newMode;
    EnterMode(newMode);
}

void SIM_TacticalModule::EnterMode(int newMode)
{
    switch (newMode) {
    case ATTACK:
        ship->throttle = 1.0f;
        AttackPlan();
        moveTimer = 0.0f;
        break;
    case WITHDRAW:
        moveTarget = nullptr;
        HeadForDeploymentZone();
        break;
    case RETURN:
        if (ship->GetVisual())
            ship->GetVisual()->docking = 0.0f;
        if (SIM_Ship* carrier = FindCarrier()) {
            SetDestination(carrier->x, carrier->y, 1.0f);
            PostComms(ship, SIM_CommsManager::COM_HEADINGFORCARRIER, 0.42f);
        }
        break;
    case RETREAT:
        ship->throttle = 1.0f;
        break;
    default:
        break;
    }
}

void SIM_TacticalModule::SetDestination(float x, float y, float throttle)
{
    ship->destinationX = x;
    ship->destinationY = y;
    ship->hasDestination = 1;
    ship->throttle = throttle;
}

void SIM_TacticalModule::Stop()
{
    ship->throttle = 0.0f;
    ship->hasDestination = 0;
}

void SIM_TacticalModule::HeadForDeploymentZone()
{
    if (!ship->fleet) {
        Stop();
        return;
    }
    const SIM_Fleet::Zone& z = ship->fleet->GetZone();
    const float left = static_cast<float>(std::min(z.left, z.right));
    const float right = static_cast<float>(std::max(z.left, z.right));
    const float top = static_cast<float>(std::min(z.top, z.bottom));
    const float bottom = static_cast<float>(std::max(z.top, z.bottom));
    SetDestination(std::clamp(ship->x, left, right), std::clamp(ship->y, top, bottom), 1.0f);
}

void SIM_TacticalModule::RandomPointInZone(float& x, float& y) const
{
    const SIM_Fleet::Zone& z = ship->fleet->GetZone();
    x = RandomRange(static_cast<float>(z.left), static_cast<float>(z.right));
    y = RandomRange(static_cast<float>(z.top), static_cast<float>(z.bottom));
}

void SIM_TacticalModule::HoldThink()
{
    if (!isFighter)
        Stop();
}

void SIM_TacticalModule::ZoneThink()
{
    const float d2 = DistanceSquared(ship->x, ship->y, ship->destinationX, ship->destinationY);
    if (!isFighter) {
        if (d2 < kArrivedSq)
            Stop();
        return;
    }
    // Fighters with nowhere to land circle over their own zone.
    ship->throttle = 0.25f;
    if ((d2 < kArrivedSq || moveTimer > 3000.0f) && ship->fleet) {
        float x = 0.0f, y = 0.0f;
        RandomPointInZone(x, y);
        ship->destinationX = x;
        ship->destinationY = y;
        ship->hasDestination = 1;
        moveTimer = 0.0f;
    }
}

bool SIM_TacticalModule::HasCarrierModule(const SIM_Ship* candidate) const
{
    if (!candidate)
        return false;
    for (const SIM_CarrierModule* bay : candidate->GetCarrierModules())
        if (bay->IsUsable())
            return true;
    return false;
}

void SIM_TacticalModule::Undock()
{
    // Out of the bay the ship decides afresh; a settled mind attacks.
    mode = ATTACK;
    planned = false;
    moveTimer = kPlanInterval + 1.0f;
    EvaluateMode();
}

SIM_Ship* SIM_TacticalModule::FindCarrier()
{
    carrierShip = nullptr;
    if (!isFighter || !ship->fleet)
        return nullptr;
    float best = kNoTargetCost;
    for (SIM_Ship* s : ship->fleet->GetLiveShips()) {
        if (s == ship || !IsOnField(s) || !HasCarrierModule(s))
            continue;
        const float d2 = DistanceSquared(ship->x, ship->y, s->x, s->y);
        if (d2 < best) {
            best = d2;
            carrierShip = s;
        }
    }
    return carrierShip;
}

void SIM_TacticalModule::ReturnThink()
{
    if (!carrierShip || carrierShip->IsDead() || !HasCarrierModule(carrierShip)) {
        if (!FindCarrier()) {
            SetMode(WITHDRAW);
            return;
        }
    }
    float bayX = carrierShip->x, bayY = carrierShip->y;
    for (const SIM_CarrierModule* bay : carrierShip->GetCarrierModules()) {
        if (bay->IsUsable()) {
            const Point p = bay->GetWorldPos();
            bayX = p.x;
            bayY = p.y;
            break;
        }
    }
    SetDestination(bayX, bayY, 1.0f);

    const float reach = std::clamp(ship->speed * SIM_BattleClock::GetInstance().frameStep * 4.0f, kDockReachMin,
                                   kDockReachMax);
    if (DistanceSquared(ship->x, ship->y, bayX, bayY) >= reach * reach)
        return;
    SIM_CarrierModule* best = nullptr;
    float bestScore = 0.0f;
    for (SIM_CarrierModule* bay : carrierShip->GetCarrierModules()) {
        if (!(bay->GetSupplies() > 0.0f))
            continue;
        const float score = bay->GetHealth() - std::min(static_cast<float>(bay->GetDocked().size()) * 0.1f, 1.0f);
        if (!best || score > bestScore) {
            best = bay;
            bestScore = score;
        }
    }
    if (!best) {
        SetMode(WITHDRAW);
        return;
    }
    mode = DOCKED;
    best->Dock(ship);
    PostComms(ship, SIM_CommsManager::COM_DOCKINGFORREPAIRS, 0.45f);
}

void SIM_TacticalModule::FormationThink()
{
    if (SIM_BattleClock::GetInstance().generalRetreat && ship->isPlayerShip) {
        SetMode(RETREAT);
        ship->throttle = 1.0f;
        return;
    }
    const SIM_ShipOrder* order = orders ? orders->GetOrder("FORMATION") : nullptr;
    SIM_Ship* leader = order ? order->targetShip : nullptr;
    if (!leader || leader->IsDead() || leader == ship) {
        // Without a leader the ship fights on its own.
        formation = false;
        return;
    }
    float x = leader->x + order->float1;
    float y = leader->y + order->float2;
    ClampIntoMap(x, y);
    ship->destinationX = x;
    ship->destinationY = y;
    ship->hasDestination = 1;
    const float toDest = AngleBetweenPoints(ship->x, ship->y, x, y);
    if (AngleDifference(ship->angle, toDest) <= 90.0f) {
        const float r2 = ship->radius * ship->radius;
        const float d2 = DistanceSquared(ship->x, ship->y, x, y);
        ship->throttle = r2 > 0.0f ? std::clamp(d2 / r2, 0.0f, 1.0f) : 1.0f;
    } else {
        ship->throttle = 0.0f; // turn first
    }
}

void SIM_TacticalModule::AttackThink()
{
    if (!EnemyShipsLeft()) {
        EvaluateMode();
        return;
    }
    SIM_Ship* leader = ship->squadron ? ship->squadron->GetLeader() : nullptr;
    if (stickTogether && !formation && leader && leader != ship && !leader->IsDead()) {
        const SIM_FighterSquadron::Offset o = ship->squadron->GetMemberOffset(ship);
        float x = 0.0f, y = 0.0f;
        leader->LocalToWorld(o.x, o.y, leader->sine, leader->cosine, x, y);
        SetDestination(x, y, 1.0f);
        return;
    }
    const float d2 = DistanceSquared(ship->x, ship->y, ship->destinationX, ship->destinationY);
    if (d2 < kArrivedSq || moveTimer > kPlanInterval)
        AttackPlan();
}

SIM_Ship* SIM_TacticalModule::FindMoveTarget(bool withPreference) const
{
    if (!enemyFleet)
        return nullptr;
    // Orders that want no class leave nothing to look for.
    if (withPreference && !attackCruisers && !attackFrigates && !attackFighters)
        return nullptr;
    SIM_Ship* best = nullptr;
    float bestCost = kNoTargetCost;
    int bestOrder = 0;
    // The cheapest ship; between equals the one the fleet lists first.
    auto consider = [&](SIM_Ship* s, int order) {
        if (!IsOnField(s))
            return;
        const int c = s->GetHullClass();
        if (withPreference) {
            const bool wanted = (c == 0 && attackCruisers) || (c == 1 && attackFrigates) || (c == 2 && attackFighters);
            if (!wanted)
                return;
        }
        const float priority = (c >= 0 && c < 3) ? attackPriority[c] : 0.0f;
        const float d2 = DistanceSquared(ship->x, ship->y, s->x, s->y);
        float cost = d2 + d2 * (1.0f - priority);
        if (!vulture && s->armed <= 0.0f)
            cost *= 2.0f;
        if (cost < bestCost || (best && cost == bestCost && order < bestOrder)) {
            bestCost = cost;
            best = s;
            bestOrder = order;
        }
    };

    // The cost is at least the squared distance times the smallest class
    // factor, so the nearest cells settle the search once that bound passes
    // the best cost found (with a margin for rounding).
    float leastFactor = 2.0f;
    for (float priority : attackPriority)
        leastFactor = std::min(leastFactor, 2.0f - priority);
    const float bound = leastFactor * 0.999f;
    SIM_ShipGrid::VisitNearestFirst(enemyFleet, ship->x, ship->y, consider, [&](float d2) {
        return leastFactor > 0.0f && d2 * bound > bestCost;
    });
    return best;
}

void SIM_TacticalModule::AttackPlan()
{
    const bool keep = IsOnField(moveTarget) && orders && orders->GetAttackPriorityForClass(moveTarget->GetHullClass()) > 0.0f;
    if (!keep) {
        SIM_Ship* previous = moveTarget;
        engageRange = 100.0f;
        moveTarget = FindMoveTarget(true);
        if (!moveTarget)
            moveTarget = FindMoveTarget(false);
        if (moveTarget) {
            engageRange = orders ? orders->GetAttackRangeForClass(moveTarget->GetHullClass()) : 300.0f;
            closeRange = engageRange * 0.5f;
            if (moveTarget != previous)
                PostComms(ship, SIM_CommsManager::COM_TARGETSELECTED, 0.1f);
        }
    }
    if (!moveTarget) {
        Stop();
        return;
    }

    const float d = DistanceBetweenPoints(ship->x, ship->y, moveTarget->x, moveTarget->y);
    const float a = AngleBetweenPoints(ship->x, ship->y, moveTarget->x, moveTarget->y) * kDegToRad;
    const float dirX = std::sin(a);
    const float dirY = -std::cos(a);
    float x = ship->x;
    float y = ship->y;
    if (d > engageRange) {
        x += dirX * (d - closeRange);
        y += dirY * (d - closeRange);
        SetDestination(x, y, 1.0f);
    } else if (d <= closeRange) {
        const float back = std::min(d - closeRange, -33.0f);
        x += dirX * back;
        y += dirY * back;
        SetDestination(x, y, 1.0f);
    } else if (isFighter) {
        const float angle = RandomRange(0.0f, 360.0f) * kDegToRad;
        const float dist = RandomRange(closeRange, engageRange);
        x = moveTarget->x + std::sin(angle) * dist;
        y = moveTarget->y - std::cos(angle) * dist;
        SetDestination(x, y, 1.0f);
    } else if (keepMoving) {
        x += RandomRange(-100.0f, 100.0f);
        y += RandomRange(-100.0f, 100.0f);
        const float dx = x - moveTarget->x;
        const float dy = y - moveTarget->y;
        const float dist = std::sqrt(dx * dx + dy * dy);
        const float pull = dist > engageRange ? engageRange : (dist < closeRange ? closeRange : dist);
        if (dist > 0.0f && pull != dist) {
            x = moveTarget->x + dx / dist * pull;
            y = moveTarget->y + dy / dist * pull;
        }
        SetDestination(x, y, 1.0f);
    } else {
        Stop();
    }

    if (ship->hasDestination) {
        x = ship->destinationX;
        y = ship->destinationY;
        ApplyEscort(x, y);
        ClampIntoMap(x, y);
        ship->destinationX = x;
        ship->destinationY = y;
    }
    planned = true;
    moveTimer = 0.0f;
}

void SIM_TacticalModule::ApplyEscort(float& destX, float& destY)
{
    const SIM_ShipOrder* escort = orders ? orders->GetOrder("ESCORT") : nullptr;
    const SIM_Ship* escorted = escort ? escort->targetShip : nullptr;
    if (!escorted || escorted->IsDead())
        return;
    float distance = escort->float1;
    float dx = destX - escorted->x;
    float dy = destY - escorted->y;
    NormaliseVector2(dx, dy);
    if (isFighter) {
        distance *= 0.5f;
        const float angle = RandomRange(0.0f, 360.0f) * kDegToRad;
        destX = escorted->x + dx * distance + std::sin(angle) * distance;
        destY = escorted->y + dy * distance - std::cos(angle) * distance;
        return;
    }
    destX = escorted->x + dx * distance;
    destY = escorted->y + dy * distance;
}

void SIM_TacticalModule::ClampIntoMap(float& x, float& y) const
{
    const SIM_BattleArea& map = SIM_BattleArea::Get();
    // Before a map is set up there is nothing to clamp into.
    if (map.MapWidth() <= 0.0f || map.MapHeight() <= 0.0f)
        return;
    const float m = ship ? ship->hullSize : 0.0f;
    x = SafeClamp(x, m, map.MapWidth() - m);
    y = SafeClamp(y, m, map.MapHeight() - m);
}
