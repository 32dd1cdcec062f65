#include "sim/SIM_CollisionAvoider.h"

#include <algorithm>

#include "engine/GeometryHelpers.h"
#include "engine/RandomTables.h"
#include "sim/SIM_MapObject.h"
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
        neighbours[i] = nullptr;
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
            neighbours[i] = nullptr;
    }
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
        neighbours[filled++] = other;
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
    for (int i = 0; i < kMaxNeighbours; ++i) {
        const SIM_CollisionAvoider* other = neighbours[i];
        if (!other || !other->owner)
            continue;
        const float otherX = other->owner->x, otherY = other->owner->y;
        const float d2 = DistanceSquared(ownX, ownY, otherX, otherY);
        const float r2 = other->radius * other->radius;
        if (!(d2 < r2))
            continue;
        float f = 1.0f - d2 / r2;
        // Four neighbours at full overlap take over the heading entirely.
        weight += f * 0.25f;
        f = std::clamp(f, 0.0f, 1.0f);
        float awayX = ownX - otherX;
        float awayY = ownY - otherY;
        NormaliseVector2(awayX, awayY);
        directionX += awayX * f;
        directionY += awayY * f;
    }
}
