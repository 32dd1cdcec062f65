#pragma once
#include <vector>

class SIM_Ship;
class SIM_ShieldModule;
struct SIM_DamageEvent;

// The one shield of a ship: the pool of all its shield generators. Hits ask
// it first; disruption drains its stability, which regrows every frame.
class SIM_Shield {
public:
    enum State { COLLAPSED = 0, UP = 1, DISRUPTED = 2 };

    explicit SIM_Shield(SIM_Ship* owner);
    virtual ~SIM_Shield() = default;
    SIM_Shield(const SIM_Shield&) = delete;
    SIM_Shield& operator=(const SIM_Shield&) = delete;

    // Generators stay owned by the ship.
    void AddModule(SIM_ShieldModule* module);

    void Recalculate();
    // Every frame of an active ship, with the frame's battle time in ms.
    void Update(float frameTime);
    // The damage left for the armour; event may be null.
    float Absorb(SIM_DamageEvent* event, SIM_Ship* attacker, float damage, float penetration);
    // Support-beam points spread over the generators.
    void AddPoints(float amount);
    // Disruptor warheads.
    void Drain(float amount);
    bool IsPenetrated(float penetration) const;

    bool IsUp() const { return state == UP; }
    SIM_Ship* GetOwner() const { return owner; }
    const std::vector<SIM_ShieldModule*>& GetModules() const { return modules; }

    float startingPoints = 0.0f;
    float currentPoints = 0.0f;
    SIM_Ship* owner = nullptr;
    std::vector<SIM_ShieldModule*> modules;
    float strengthFraction = 0.0f;
    float resistance = 0.0f;
    float stability = 0.0f;
    int state = COLLAPSED;

private:
    SIM_ShieldModule* PickModule() const;
    bool IsPlayerOwned() const;
};
