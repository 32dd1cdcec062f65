#pragma once
#include <vector>

class SIM_Ship;

// Keeps cruisers and frigates apart: every 2000 ms of battle time it picks up
// to four neighbours whose hull radius its ship has entered, and every frame
// turns their overlap into a direction and a blend weight for the ship's move.
class SIM_CollisionAvoider {
public:
    static constexpr int kMaxNeighbours = 4;
    static constexpr float kRescanInterval = 2000.0f;

    explicit SIM_CollisionAvoider(SIM_Ship* owner);
    virtual ~SIM_CollisionAvoider();
    SIM_CollisionAvoider(const SIM_CollisionAvoider&) = delete;
    SIM_CollisionAvoider& operator=(const SIM_CollisionAvoider&) = delete;

    // Every frame, with the frame's battle time in ms.
    void Update(float frameTime);
    void Rescan();
    void Steer();

    // Forgets every avoider that watches this one (a fleet tearing down all
    // its ships at once).
    void ClearWatchers();

    SIM_Ship* GetOwner() const { return owner; }
    SIM_CollisionAvoider* GetNeighbour(int slot) const;
    float GetRadius() const { return radius; }
    float GetDirectionX() const { return directionX; }
    float GetDirectionY() const { return directionY; }
    float GetWeight() const { return weight; }
    float GetRescanTimer() const { return rescanTimer; }
    void SetRescanTimer(float value) { rescanTimer = value; }

    // Every live avoider in construction order.
    static const std::vector<SIM_CollisionAvoider*>& GetAll();

    // Its entry in the ship grid while the grid is built (-1: none).
    int gridSlot = -1;

private:
    void ForgetNeighbours();
    void RemoveWatcher(SIM_CollisionAvoider* watcher);
    void RemoveNeighbour(SIM_CollisionAvoider* neighbour);
    void ClearSlot(int slot);

    // What every frame reads, first.
    float rescanTimer = 0.0f;
    SIM_Ship* owner = nullptr;
    float radius = 0.0f;
    float directionX = 0.0f;
    float directionY = 0.0f;
    float weight = 0.0f;
    // Per slot, what the steering reads: the neighbour's ship and radius. An
    // empty slot holds the own ship and no radius, which is never inside.
    float neighbourRadius[kMaxNeighbours] = {};
    const SIM_Ship* neighbourShips[kMaxNeighbours] = {};
    std::vector<SIM_CollisionAvoider*> watchers;
    SIM_CollisionAvoider* neighbours[kMaxNeighbours] = {};
};
