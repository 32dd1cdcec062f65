#pragma once
#include <cstdint>

#include "sim/SIM_MapObject.h"

class SIM_Fleet;
class SIM_LimpetLauncherModule;
class SIM_Ship;

// A small mine: after launch it drifts near its launcher's ship, hunts the
// nearest enemy fighter within its seek range, and sticks to it, adding its
// weight to the fighter until the fighter dies or sheds it.
class SIM_Limpet : public SIM_MapObject {
public:
    enum State { FREE = 0, LAUNCHING = 1, DRIFTING = 2, CHASING = 3, STUCK = 4 };
    static constexpr float kDriftScanInterval = 100.0f;
    static constexpr float kChaseScanInterval = 400.0f;
    static constexpr float kAnimationInterval = 20.0f;
    // A drift point nearer than this (squared) is replaced.
    static constexpr float kDriftArrivalSq = 400.0f;
    // Scan starts from this bound (squared).
    static constexpr float kScanBoundSq = 1000000.0f;

    explicit SIM_Limpet(SIM_LimpetLauncherModule* owner);
    ~SIM_Limpet() override;
    SIM_Limpet(const SIM_Limpet&) = delete;
    SIM_Limpet& operator=(const SIM_Limpet&) = delete;

    void Launch(float fromX, float fromY);
    // One frame of the state machine (launching, drifting, chasing, stuck).
    void Update() override;
    void Stick();
    // Shaken off its fighter (shock wave, docking): drifts and hunts again.
    void ShakeLoose();
    // The fighter it sticks to is dying: the limpet goes back to its launcher.
    void Release();
    // The fighter it names is being freed: forget it without touching it.
    void ForgetTarget(const SIM_Ship* gone);

    int GetState() const { return state; }
    // Every change of state goes here: the launcher counts the limpets out,
    // and so do these counts of the whole battle (the screen draws no
    // limpet, and looks at no ship for one, while they are 0).
    void SetState(int next);
    static int CountOut() { return outCount; }
    static int CountStuck() { return stuckCount; }
    SIM_Ship* GetTarget() const { return target; }
    float GetWeight() const { return limpetWeight; }
    float GetSpeed() const { return speed; }

    float attachX = 0.0f, attachY = 0.0f;
    float attachAngle = 0.0f;
    int state = FREE;
    float launchTimer = 0.0f;
    float launchSin = 0.0f, launchCos = 1.0f;
    SIM_LimpetLauncherModule* launcher = nullptr;
    float startLaunchSpeed = 0.0f, endLaunchSpeed = 0.0f, launchDuration = 0.0f;
    float seekAcceleration = 0.0f, driftDeceleration = 0.0f, maxSeekSpeed = 0.0f;
    float limpetSize = 0.0f, limpetWeight = 0.0f;
    float speed = 0.0f;
    SIM_Ship* target = nullptr;
    SIM_Fleet* enemyFleet = nullptr;
    float scanTimer = 0.0f;
    float seekRangeSq = 0.0f;
    float turnSpeed = 0.0f;
    float driftX = 0.0f, driftY = 0.0f;
    float animationTimer = 0.0f;
    int animationFrame = 0;
    // The sine and cosine of the heading whose bits trigAngleBits holds (all
    // ones, a NaN, until the first move): a steady heading keeps them.
    float sine = 0.0f, cosine = 1.0f;
    uint32_t trigAngleBits = ~0u;

private:
    static inline int outCount = 0;
    static inline int stuckCount = 0;

    void Scan();
    void PickDriftPoint();
    void AttachPoint(float& px, float& py) const;
    void Move(float distance);
    void UpdateDrifting(float frameTime, float frameStep);
    void UpdateChasing(float frameTime, float frameStep);
    void UpdateStuck();
};
