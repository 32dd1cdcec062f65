#include "sim/modules/SIM_Limpet.h"

#include <bit>
#include <cmath>
#include <cstdint>

#include "engine/GDebugLog.h"
#include "engine/GeometryHelpers.h"
#include "engine/RandomTables.h"
#include "sim/SIM_BattleClock.h"
#include "sim/SIM_Fleet.h"
#include "sim/SIM_Ship.h"
#include "sim/SIM_ShipGrid.h"
#include "sim/SIM_ShipHull.h"
#include "sim/modules/SIM_LimpetLauncherModule.h"

namespace {

constexpr float kDegToRad = 0.017453292f;

float Wrap360(float a)
{
    a = std::fmod(a, 360.0f);
    return a < 0.0f ? a + 360.0f : a;
}

} // namespace

SIM_Limpet::SIM_Limpet(SIM_LimpetLauncherModule* owner) : launcher(owner) {}

SIM_Limpet::~SIM_Limpet()
{
    // The fighter must not keep a limpet that is gone.
    if (state == STUCK && target)
        target->RemoveLimpet(this);
    if (state != FREE)
        --outCount;
    if (state == STUCK)
        --stuckCount;
}

void SIM_Limpet::SetState(int next)
{
    const bool wasOut = state != FREE, isOut = next != FREE;
    outCount += static_cast<int>(isOut) - static_cast<int>(wasOut);
    stuckCount += static_cast<int>(next == STUCK) - static_cast<int>(state == STUCK);
    state = next;
    if (launcher && wasOut != isOut)
        launcher->NoteLimpetOut(isOut ? 1 : -1);
}

void SIM_Limpet::Launch(float fromX, float fromY)
{
    launchTimer = 0.0f;
    SetState(LAUNCHING);
    angle = RandomFloat() * 360.0f;
    launchSin = std::sin(angle * kDegToRad);
    launchCos = std::cos(angle * kDegToRad);
    x = fromX;
    y = fromY;
    speed = 0.0f;
    target = nullptr;
    SIM_Ship* ship = launcher ? launcher->GetShip() : nullptr;
    enemyFleet = ship && ship->fleet ? ship->fleet->GetOpponent() : nullptr;
    QLM_ASSERT(enemyFleet != nullptr);
    if (launcher) {
        startLaunchSpeed = launcher->startLaunchSpeed;
        endLaunchSpeed = launcher->endLaunchSpeed;
        launchDuration = launcher->launchDuration;
        seekAcceleration = launcher->seekAcceleration;
        driftDeceleration = launcher->driftDeceleration;
        maxSeekSpeed = launcher->maxSeekSpeed;
        limpetSize = launcher->limpetSize;
        limpetWeight = launcher->limpetWeight;
        seekRangeSq = launcher->seekRange * launcher->seekRange;
        turnSpeed = launcher->limpetTurnSpeed;
    }
    scanTimer = 0.0f;
    attachX = RandomFloat() * 8.0f - 4.0f;
    attachY = RandomFloat() * 8.0f - 4.0f;
    animationTimer = 0.0f;
    animationFrame = 0;
}

void SIM_Limpet::PickDriftPoint()
{
    const SIM_Ship* ship = launcher ? launcher->GetShip() : nullptr;
    const float cx = ship ? ship->x : x;
    const float cy = ship ? ship->y : y;
    driftX = cx + RandomFloat() * 256.0f - 128.0f;
    driftY = cy + RandomFloat() * 256.0f - 128.0f;
}

void SIM_Limpet::Move(float distance)
{
    const uint32_t bits = std::bit_cast<uint32_t>(angle);
    if (bits != trigAngleBits) {
        trigAngleBits = bits;
        sine = std::sin(angle * kDegToRad);
        cosine = std::cos(angle * kDegToRad);
    }
    x += sine * distance;
    y -= cosine * distance;
}

void SIM_Limpet::AttachPoint(float& px, float& py) const
{
    target->LocalToWorld(attachX, attachY, target->sine, target->cosine, px, py);
}

void SIM_Limpet::Scan()
{
    if (!enemyFleet)
        return;
    SIM_Ship* best = nullptr;
    // A ship at or beyond the seek range could only ever be the nearest when
    // none is near enough, and then the scan finds nothing either way: the
    // bound starts at the seek range to pass such ships by unread.
    float bestD2 = std::min(seekRangeSq, kScanBoundSq);
    int bestOrder = 0;
    auto consider = [&](SIM_Ship* s, int order) {
        if (!s)
            return;
        // Distance first: it rules out most ships before their hull is read.
        const float d2 = DistanceSquared(x, y, s->x, s->y);
        if (!(d2 <= bestD2))
            return;
        if (s->docked || s->state == SIM_Ship::OFF_FIELD || s->state == SIM_Ship::RETREATED)
            return;
        if (s->GetHullClass() != SIM_ShipHull::FIGHTER || !(s->carriedLimpetWeight < limpetWeight))
            return;
        // Equal distances keep the ship the fleet lists first, grid or walk.
        if (d2 < bestD2 || (best && d2 == bestD2 && order < bestOrder)) {
            bestD2 = d2;
            best = s;
            bestOrder = order;
        }
    };
    const float reach = std::sqrt(std::min(seekRangeSq, kScanBoundSq));
    SIM_ShipGrid::VisitNear(enemyFleet, x, y, reach * 1.001f + 1.0f, consider);
    if (best && bestD2 < seekRangeSq)
        target = best;
}

void SIM_Limpet::Update()
{
    const float frameTime = SIM_BattleClock::GetInstance().scaledFrameTime;
    const float frameStep = SIM_BattleClock::GetInstance().frameStep;
    animationTimer += frameTime;
    if (animationTimer > kAnimationInterval) {
        animationTimer = 0.0f;
        animationFrame = (animationFrame + 1) % 4;
    }
    switch (state) {
    case LAUNCHING: {
        launchTimer += frameTime;
        float f = launchDuration > 0.0f ? launchTimer / launchDuration : 1.0f;
        if (f >= 1.0f) {
            f = 1.0f;
            SetState(DRIFTING);
            scanTimer = kDriftScanInterval;
            PickDriftPoint();
        }
        speed = startLaunchSpeed + (endLaunchSpeed - startLaunchSpeed) * f;
        x += launchSin * speed * frameStep;
        y -= launchCos * speed * frameStep;
        break;
    }
    case DRIFTING:
        UpdateDrifting(frameTime, frameStep);
        break;
    case CHASING:
        UpdateChasing(frameTime, frameStep);
        break;
    case STUCK:
        UpdateStuck();
        break;
    default:
        break;
    }
}

void SIM_Limpet::UpdateDrifting(float frameTime, float frameStep)
{
    scanTimer += frameTime;
    while (scanTimer >= kDriftScanInterval) {
        Scan();
        scanTimer -= kDriftScanInterval;
    }
    if (target) {
        SetState(CHASING);
        scanTimer = 0.0f;
    } else if (DistanceSquared(x, y, driftX, driftY) < kDriftArrivalSq) {
        PickDriftPoint();
    }
    const float turn = turnSpeed * frameStep * 0.25f;
    angle = TurnTowards(angle, HeadingTowards(driftX, driftY, turn, sine, cosine, trigAngleBits), turn);
    Move(speed * frameStep);
    speed = std::max(speed - driftDeceleration, endLaunchSpeed);
}

void SIM_Limpet::UpdateChasing(float frameTime, float frameStep)
{
    scanTimer += frameTime;
    while (scanTimer >= kChaseScanInterval) {
        Scan();
        scanTimer -= kChaseScanInterval;
    }
    QLM_ASSERT(target != nullptr);
    if (!target || target->IsDead() || target->docked) {
        target = nullptr;
        SetState(DRIFTING);
        return;
    }
    speed = std::min(speed + seekAcceleration * frameTime, maxSeekSpeed);
    const float stepLength = speed * frameStep;
    float px = 0.0f, py = 0.0f;
    AttachPoint(px, py);
    const float turn = turnSpeed * frameStep;
    angle = TurnTowards(angle, HeadingTowards(px, py, turn, sine, cosine, trigAngleBits), turn);
    if (DistanceSquared(x, y, px, py) < stepLength * stepLength) {
        x = px;
        y = py;
        attachAngle = Wrap360(angle - target->angle);
        Stick();
    } else {
        Move(stepLength);
    }
}

void SIM_Limpet::UpdateStuck()
{
    if (!target)
        return;
    if (target->IsDead()) {
        Release();
        return;
    }
    AttachPoint(x, y);
    angle = Wrap360(target->angle + attachAngle);
}

void SIM_Limpet::Stick()
{
    QLM_ASSERT(target != nullptr);
    if (!target)
        return;
    SetState(STUCK);
    AttachPoint(x, y);
    target->AttachLimpet(this);
    if (launcher)
        launcher->RecordHit(); // a limpet that sticks is the launcher's hit
}

void SIM_Limpet::ShakeLoose()
{
    SetState(DRIFTING);
    target = nullptr;
    scanTimer = 0.0f;
    launchTimer = 0.0f;
    animationTimer = 0.0f;
}

void SIM_Limpet::Release()
{
    if (state == STUCK && target)
        target->RemoveLimpet(this);
    SetState(FREE);
    target = nullptr;
    if (launcher)
        launcher->RefreshAutoTarget();
}

void SIM_Limpet::ForgetTarget(const SIM_Ship* gone)
{
    if (target == gone) {
        target = nullptr;
        if (state == STUCK || state == CHASING)
            SetState(state == STUCK ? FREE : DRIFTING);
    }
}
