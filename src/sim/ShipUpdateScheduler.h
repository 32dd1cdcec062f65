#pragma once
#include <cstddef>
#include <vector>

class SIM_Ship;

// One of the ten think groups. Modules keep a pointer to their ship's bucket
// and read its timer as the time elapsed since their last think.
struct ShipUpdateBucket {
    float timer = 0.0f;          // ms of battle time since the bucket last ran
    int index = 0;               // 0..9
    std::vector<SIM_Ship*> ships;
};

// Every ship taking part in the battle, in the order they joined. Walks that
// may see ships join (reinforcements) go by index and re-read the size.
std::vector<SIM_Ship*>& GetLiveShips();
// Ships destroyed during the current frame; emptied at the end of the world step.
std::vector<SIM_Ship*>& GetRemovalQueue();
// Queues a ship for removal at the end of the frame (once).
void QueueShipRemoval(SIM_Ship* ship);

// Moves the world once per battle frame and spreads ship thinking over ten
// buckets that each fire every 200 ms of battle time, 20 ms apart.
class ShipUpdateScheduler {
public:
    static constexpr int kBuckets = 10;
    static constexpr float kThinkInterval = 200.0f;

    static ShipUpdateScheduler& GetInstance();

    ShipUpdateScheduler();
    virtual ~ShipUpdateScheduler() = default;
    ShipUpdateScheduler(const ShipUpdateScheduler&) = delete;
    ShipUpdateScheduler& operator=(const ShipUpdateScheduler&) = delete;

    void AddShip(SIM_Ship* ship);
    // Refills the buckets from the live-ship list; the timers keep running.
    void Rebuild();
    // Drops a ship from whatever bucket holds it.
    void RemoveShip(SIM_Ship* ship);
    void TickBucket(int bucket);
    void UpdateWorld();
    // Empties the buckets (the battle's ships are going away).
    void Clear();

    ShipUpdateBucket& GetBucket(int index) { return m_buckets[static_cast<size_t>(ClampIndex(index))]; }
    const ShipUpdateBucket& GetBucket(int index) const { return m_buckets[static_cast<size_t>(ClampIndex(index))]; }
    int GetNextBucket() const { return m_nextBucket; }
    // Back to the construction state (timers 0, 20 .. 180); for tests and tools.
    void ResetTimers();

private:
    static int ClampIndex(int index) { return index < 0 ? 0 : (index >= kBuckets ? kBuckets - 1 : index); }

    ShipUpdateBucket m_buckets[kBuckets];
    int m_nextBucket = 0;
};
