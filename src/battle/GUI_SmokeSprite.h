#pragma once
#include <vector>

#include "battle/GUI_RenderObject.h"
#include "platform/IGraphicsDevice.h"

// One large, slowly turning puff of the smoke cloud a destroyed ship leaves:
// it waits out a delay, swells over the first twelfth of its life, holds
// for eight seconds and fades by the end of its 15 to 22 s life.
class GUI_SmokeSprite : public GUI_3DWorldObject {
public:
    enum State { WAITING = 0, SHOWING = 1, DEAD = 2 };

    GUI_SmokeSprite(float size, float spinRange, float delay, float x, float y);
    // Advances by ms and, when on screen, stages the quad; false once dead.
    bool Advance(float ms);
    // Fade 0..1 at the current time (showing only).
    float Fade() const;

    float elapsed = 0.0f;
    float spin = 0.0f;
    float fade = 0.0f;
    float baseSize = 0.0f;
    float quadScale = 1.0f;
    int frame = 0;
    float angle = 0.0f;
    float extraSize = 0.0f;
    float lifetime = 15000.0f;
    float maxAlpha = 72.0f;
    float delay = 0.0f;
    int state = WAITING;
    float screenSize = 0.0f;
    ScreenVertex quad[4];
};

void SpawnSmoke(float size, int count, float x, float y);
void AddSmokeSprite(float size, float scatter, float spinRange, float minDelay, float maxDelay, float x, float y);
void DrawSmokeSprites();
void ClearSmokeSprites();
std::vector<GUI_SmokeSprite>& GetSmokeSprites();
