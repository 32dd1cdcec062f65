#pragma once
#include <vector>

#include "engine/ShockwaveQuad.h"

// The ring a destroyed ship sends out: it waits 400 ms, then grows, slowing,
// and fades in and out over its lifetime.
class GUI_ShockWave {
public:
    static constexpr float kDelayMs = 400.0f;

    GUI_ShockWave(float radius, float lifetime, float x, float y);
    virtual ~GUI_ShockWave() = default;
    // Advances by ms and draws; the wave dies past its lifetime.
    virtual void Draw();

    float elapsed = 0.0f;
    float radius = 0.0f;
    float lifetime = 0.0f;
    float x = 0.0f, y = 0.0f;
    ShockwaveQuad ring;
    unsigned char alive = 1;
    float currentRadius = 0.0f;
    float growthSpeed = 0.0f;
    float delay = kDelayMs;
    unsigned char started = 0;
    float fade = 0.0f;
    bool drawnLastFrame = false;
};

void SpawnShockWave(float radius, float lifetime, float x, float y);
void DrawShockWaves();
void ClearShockWaves();
std::vector<GUI_ShockWave>& GetShockWaves();
