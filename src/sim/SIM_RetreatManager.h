#pragma once

// The player's retreat from a battle. Once ordered, the player's ships with
// engines head off the map and jump out; the retreat completes when none is
// left to wait for, or after 120000 timer units (48 s of battle time), and
// every player ship still on the field is lost.
class SIM_RetreatManager {
public:
    static constexpr float kTimerRate = 2.5f;
    static constexpr float kTimeLimit = 120000.0f;

    static SIM_RetreatManager& GetInstance();

    // The leave-battle window's order: every player ship heads home.
    void Begin();
    // Battle set-up: no retreat under way.
    void Reset();
    // Every battle frame, from the battle's update.
    void Update();
    // Ends the retreat and the battle.
    void Complete();

    bool IsActive() const { return active != 0; }
    float GetTimer() const { return timer; }

private:
    unsigned char active = 0;
    float timer = 0.0f;
};
