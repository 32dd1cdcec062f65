#pragma once

// A short damped wobble of the battle camera that blasts start: the camera
// adds the offsets to its centre each time it places itself. It runs on
// battle time, so it holds still while the battle is paused.
class CameraShake {
public:
    static constexpr float kMsPerIntensity = 500.0f;
    static constexpr float kAmplitudePerIntensity = 7.0f; // world units
    static constexpr float kStartPeriod = 25.0f;          // ms
    static constexpr float kPeriodGrowth = 100.0f;        // ms more by the end

    static CameraShake& GetInstance();

    // Only while the battle's camera-shake option is on; a running shake restarts.
    void Start(float intensity);
    // dt: the battle frame's scaled milliseconds.
    void Update(float dt);
    void Reset();

    float duration = 0.0f;
    float elapsed = 0.0f;
    float baseAmplitude = 0.0f;
    float amplitude = 0.0f;
    float period = 0.0f;
    float phaseX = 0.0f;
    float phaseY = 0.0f;
    float offsetX = 0.0f;
    float offsetY = 0.0f;
    unsigned char active = 0;
};
