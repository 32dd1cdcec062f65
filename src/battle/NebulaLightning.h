#pragma once
#include "engine/Effect.h"

// Flashes of the nebula behind the battle: bursts of one to five flashes at
// random intervals, fed to the backdrop shader as its "intensity".
class NebulaLightning {
public:
    static constexpr const char* kEffectFile = "data/shaders/nebulalightning.fx";

    void SetUp(float lightningInterval, float lightningStrength);
    // dt: the battle frame's scaled milliseconds.
    void Update(float dt);
    void LoadEffect();

    Effect effect;
    float idleTime = 0.0f;
    float flashTime = 0.0f;
    float intensity = 0.0f;
    float interval = 0.0f;
    float strength = 0.0f;
    int state = 0; // 0 waiting, 1 flashing
    float flashLength = 0.0f;
    float wait = 0.0f;
    int flashCount = 1;
    int flashesDone = 0;
};

NebulaLightning& GetNebulaLightning();
