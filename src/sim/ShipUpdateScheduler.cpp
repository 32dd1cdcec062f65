#include "sim/ShipUpdateScheduler.h"

#include <algorithm>

#include "engine/GDebugLog.h"
#include "sim/SIM_BattleClock.h"
#include "sim/SIM_Fleet.h"
#include "sim/SIM_Prefetch.h"
#include "sim/SIM_Ship.h"
#include "sim/SIM_ShipGrid.h"
#include "sim/modules/SIM_ShipModule.h"

std::vector<SIM_Ship*>& GetLiveShips()
{
    // Never destroyed: ships and modules leave it in their destructors, also
    // when the battle frees them at exit after the other statics are gone.
    static auto* ships = new std::vector<SIM_Ship*>();
    return *ships;
}

std::vector<SIM_Ship*>& GetRemovalQueue()
{
    // Never destroyed: ships and modules leave it in their destructors, also
    // when the battle frees them at exit after the other statics are gone.
    static auto* queue = new std::vector<SIM_Ship*>();
    return *queue;
}

void QueueShipRemoval(SIM_Ship* ship)
{
    if (!ship)
        return;
    auto& queue = GetRemovalQueue();
    if (std::find(queue.begin(), queue.end(), ship) == queue.end())
        queue.push_back(ship);
}

ShipUpdateScheduler& ShipUpdateScheduler::GetInstance()
{
    static ShipUpdateScheduler instance;
    return instance;
}

ShipUpdateScheduler::ShipUpdateScheduler()
{
    for (int i = 0; i < kBuckets; ++i)
        m_buckets[i].index = i;
    ResetTimers();
}

void ShipUpdateScheduler::ResetTimers()
{
    // Staggered 20 ms apart so the buckets fire in different frames.
    for (int i = 0; i < kBuckets; ++i)
        m_buckets[i].timer = 20.0f * static_cast<float>(i);
}

void ShipUpdateScheduler::AddShip(SIM_Ship* ship)
{
    if (!ship) {
        LOG_ERROR("Scheduler asked to add a null ship");
        return;
    }
    ShipUpdateBucket& bucket = m_buckets[m_nextBucket];
    bucket.ships.push_back(ship);
    ship->bucket = m_nextBucket;
    for (SIM_ShipModule* module : ship->GetModules()) {
        if (module)
            module->SetThinkTime(&bucket.timer);
    }
    m_nextBucket = (m_nextBucket + 1) % kBuckets;
}

void ShipUpdateScheduler::Rebuild()
{
    Clear();
    for (SIM_Ship* ship : GetLiveShips())
        AddShip(ship);
}

void ShipUpdateScheduler::Clear()
{
    for (auto& bucket : m_buckets)
        bucket.ships.clear();
    m_nextBucket = 0;
}

void ShipUpdateScheduler::RemoveShip(SIM_Ship* ship)
{
    if (!ship)
        return;
    auto eraseFrom = [ship](ShipUpdateBucket& bucket) {
        auto it = std::find(bucket.ships.begin(), bucket.ships.end(), ship);
        if (it == bucket.ships.end())
            return false;
        bucket.ships.erase(it);
        return true;
    };
    if (ship->bucket >= 0 && ship->bucket < kBuckets && eraseFrom(m_buckets[ship->bucket]))
        return;
    for (auto& bucket : m_buckets) {
        if (eraseFrom(bucket))
            return;
    }
}

void ShipUpdateScheduler::TickBucket(int index)
{
    if (index < 0 || index >= kBuckets)
        return;
    ShipUpdateBucket& bucket = m_buckets[index];
    bucket.timer += SIM_BattleClock::GetInstance().scaledFrameTime;
    if (bucket.timer <= kThinkInterval)
        return;
    // Indexed: a think may add ships (reinforcements) to this bucket.
    for (size_t i = 0; i < bucket.ships.size(); ++i)
        bucket.ships[i]->Think();
    // At most one run per frame however long the frame was.
    while (bucket.timer > kThinkInterval)
        bucket.timer -= kThinkInterval;
}

void ShipUpdateScheduler::UpdateWorld()
{
    // The fleet-wide searches of this step look in the grid; each ship is
    // refiled as soon as it has moved, so later ships see it where it is.
    SIM_ShipGrid& grid = SIM_ShipGrid::GetInstance();
    grid.Open();
    const std::vector<SIM_Ship*>& live = GetLiveShips();
    if (!live.empty())
        PrefetchObject(live[0], SIM_Ship::kFrameBytes);
    if (live.size() > 1)
        PrefetchObject(live[1], SIM_Ship::kFrameBytes);
    for (size_t i = 0; i < live.size(); ++i) {
        // Two ships ahead their per-frame members, one ahead what those
        // point to, are on their way while this one moves.
        if (i + 2 < live.size())
            PrefetchObject(live[i + 2], SIM_Ship::kFrameBytes);
        if (i + 1 < live.size())
            live[i + 1]->PrefetchStepParts();
        SIM_Ship* ship = live[i];
        ship->FrameStep();
        grid.NoteMoved(ship);
    }

    for (int i = 0; i < kBuckets; ++i)
        TickBucket(i);
    grid.Close();

    // Taken out of the world only; the fleet keeps the ship until the battle
    // view is gone.
    auto& queue = GetRemovalQueue();
    for (size_t i = 0; i < queue.size(); ++i) {
        SIM_Ship* ship = queue[i];
        RemoveShip(ship);
        std::erase(GetLiveShips(), ship);
        if (ship->fleet)
            ship->fleet->RemoveLiveShip(ship);
    }
    queue.clear();
}
