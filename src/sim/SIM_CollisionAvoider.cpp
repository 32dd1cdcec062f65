#include "sim/SIM_CollisionAvoider.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#if defined(__SSE__)
#include <xmmintrin.h>
#endif

#include "engine/GeometryHelpers.h"
#include "engine/Lanes4.h"
#include "engine/RandomTables.h"
#include "sim/SIM_Ship.h"
#include "sim/SIM_ShipGrid.h"

namespace {

std::vector<SIM_CollisionAvoider*>& AvoiderList()
{
    // Never destroyed: ships and modules leave it in their destructors, also
    // when the battle frees them at exit after the other statics are gone.
    static auto* list = new std::vector<SIM_CollisionAvoider*>();
    return *list;
}

} // namespace

SIM_CollisionAvoider::SIM_CollisionAvoider(SIM_Ship* ownerShip)
    : owner(ownerShip)
{
    radius = owner ? owner->hullSize : 0.0f;
    for (int i = 0; i < kMaxNeighbours; ++i)
        ClearSlot(i);
    AvoiderList().push_back(this);
    SIM_ShipGrid::GetInstance().Invalidate();
    // Random phase so that the rescans of different ships fall on different frames.
    rescanTimer = RandomFloat() * kRescanInterval;
}

SIM_CollisionAvoider::~SIM_CollisionAvoider()
{
    ClearWatchers();
    auto& list = AvoiderList();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    SIM_ShipGrid::GetInstance().Forget(this);
}

const std::vector<SIM_CollisionAvoider*>& SIM_CollisionAvoider::GetAll()
{
    return AvoiderList();
}

SIM_CollisionAvoider* SIM_CollisionAvoider::GetNeighbour(int slot) const
{
    return (slot < 0 || slot >= kMaxNeighbours) ? nullptr : neighbours[slot];
}

// Both directions are unlinked: the avoiders watching this one lose their
// slot, and this one leaves its neighbours' watcher lists, so neither side is
// left pointing at the other once one of them goes.
void SIM_CollisionAvoider::ClearWatchers()
{
    for (SIM_CollisionAvoider* watcher : watchers) {
        if (watcher)
            watcher->RemoveNeighbour(this);
    }
    watchers.clear();
    ForgetNeighbours();
}

void SIM_CollisionAvoider::ForgetNeighbours()
{
    for (int i = 0; i < kMaxNeighbours; ++i) {
        if (neighbours[i])
            neighbours[i]->RemoveWatcher(this);
        ClearSlot(i);
    }
}

void SIM_CollisionAvoider::RemoveWatcher(SIM_CollisionAvoider* watcher)
{
    watchers.erase(std::remove(watchers.begin(), watchers.end(), watcher), watchers.end());
}

void SIM_CollisionAvoider::RemoveNeighbour(SIM_CollisionAvoider* neighbour)
{
    for (int i = 0; i < kMaxNeighbours; ++i) {
        if (neighbours[i] == neighbour)
            ClearSlot(i);
    }
}

void SIM_CollisionAvoider::ClearSlot(int slot)
{
    neighbours[slot] = nullptr;
    neighbourShips[slot] = owner;
    neighbourRadius[slot] = 0.0f;
}

void SIM_CollisionAvoider::Update(float frameTime)
{
    rescanTimer += frameTime;
    if (rescanTimer > kRescanInterval)
        Rescan();
    Steer();
}

void SIM_CollisionAvoider::Rescan()
{
    rescanTimer = 0.0f;
    ForgetNeighbours();
    if (!owner)
        return;

    // The first avoiders of the list whose radius this ship is inside.
    auto inside = [this](const SIM_CollisionAvoider* other) {
        if (other == this || !other->owner)
            return false;
        const float d2 = DistanceSquared(owner->x, owner->y, other->owner->x, other->owner->y);
        return d2 < other->radius * other->radius;
    };
    int filled = 0;
    auto take = [&](SIM_CollisionAvoider* other) {
        neighbours[filled] = other;
        neighbourShips[filled] = other->owner;
        neighbourRadius[filled] = other->radius;
        ++filled;
        other->watchers.push_back(this);
    };
    const SIM_ShipGrid& grid = SIM_ShipGrid::GetInstance();
    if (grid.IsOpen()) {
        // Kept between calls so that a rescan never allocates.
        static std::vector<std::pair<int, SIM_CollisionAvoider*>> found;
        found.clear();
        grid.ForEachAvoiderNear(owner->x, owner->y, grid.GetMaxAvoiderRadius() * 1.001f + 1.0f,
                                [&](SIM_CollisionAvoider* other, int order) {
                                    if (inside(other))
                                        found.emplace_back(order, other);
                                });
        std::sort(found.begin(), found.end());
        for (size_t i = 0; i < found.size() && filled < kMaxNeighbours; ++i)
            take(found[i].second);
        return;
    }
    for (SIM_CollisionAvoider* other : AvoiderList()) {
        if (filled >= kMaxNeighbours)
            break;
        if (inside(other))
            take(other);
    }
}

void SIM_CollisionAvoider::Steer()
{
    directionX = 0.0f;
    directionY = 0.0f;
    weight = 0.0f;
    if (!owner)
        return;

    // Read once: the stores below could otherwise alias them.
    const float ownX = owner->x, ownY = owner->y;
    // The four slots side by side; an empty one is never inside.
    alignas(16) float otherX[kMaxNeighbours], otherY[kMaxNeighbours];
    for (int i = 0; i < kMaxNeighbours; ++i) {
        otherX[i] = neighbourShips[i]->x;
        otherY[i] = neighbourShips[i]->y;
    }
    const Floats4 ox = Load4(otherX), oy = Load4(otherY), radius4 = Load4(neighbourRadius);
    const Floats4 sx = Splat4(ownX), sy = Splat4(ownY);
    const Floats4 zero = Splat4(0.0f), one = Splat4(1.0f);
    const Floats4 dx = ox - sx, dy = oy - sy;
    const Floats4 d2 = dx * dx + dy * dy;
    const Floats4 r2 = radius4 * radius4;
    const Ints4 in = d2 < r2;
    if (Bits4(in) == 0)
        return;
    // Each lane takes the steps one neighbour alone would, bit for bit;
    // lanes outside are worked out too, then dropped.
    Floats4 f = one - d2 / r2;
    // Four neighbours at full overlap take over the heading entirely.
    const Floats4 push4 = f * Splat4(0.25f);
    f = Select4(f < zero, zero, Select4(one < f, one, f));
    Floats4 awayX = sx - ox, awayY = sy - oy;
    const Floats4 length = Sqrt4(awayX * awayX + awayY * awayY);
    // Two ships on one spot: no direction to normalise.
    const Ints4 apart = ~(length <= zero);
    awayX = Select4(apart, awayX / length, awayX);
    awayY = Select4(apart, awayY / length, awayY);
    // Lanes outside add +0, which leaves each sum as it was: the sums start
    // at +0 and a sum that starts there is never -0.
    alignas(16) float push[kMaxNeighbours], pushX[kMaxNeighbours], pushY[kMaxNeighbours];
    Store4(push, Select4(in, push4, zero));
    Store4(pushX, Select4(in, awayX * f, zero));
    Store4(pushY, Select4(in, awayY * f, zero));
    // The sums in slot order, as one neighbour at a time adds them.
    float sumWeight = 0.0f, sumX = 0.0f, sumY = 0.0f;
    for (int i = 0; i < kMaxNeighbours; ++i) {
        sumWeight += push[i];
        sumX += pushX[i];
        sumY += pushY[i];
    }
    weight = sumWeight;
    directionX = sumX;
    directionY = sumY;
}
