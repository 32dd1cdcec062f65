#include "battle/EffectDrawing.h"

#include <cmath>

#include "engine/D3DEngine.h"

EffectBatchScope::EffectBatchScope()
    : batch(QuadRunBatch::Shared())
{
    const D3DEngine& engine = D3DEngine::GetInstance();
    if (!batch.IsOpen() && engine.IsInitialised()) {
        batch.Begin(engine.GetScreenWidth(), engine.GetScreenHeight());
        opened = true;
    }
}

EffectBatchScope::~EffectBatchScope()
{
    if (opened)
        batch.End();
}

void PlaceTurnedQuad(ScreenVertex quad[4], float cx, float cy, float hw, float hh, float s, float c, uint32_t colour)
{
    const float ox[4] = {-hw, hw, -hw, hw}, oy[4] = {-hh, -hh, hh, hh};
    for (int k = 0; k < 4; ++k) {
        quad[k].x = cx + ox[k] * c - oy[k] * s;
        quad[k].y = cy + ox[k] * s + oy[k] * c;
        quad[k].z = 0.0f;
        quad[k].rhw = 1.0f;
        quad[k].colour = colour;
    }
}

uint32_t WhiteWithAlpha(float a)
{
    const float clamped = a < 0.0f ? 0.0f : (a > 1.0f ? 1.0f : a);
    return (static_cast<uint32_t>(clamped * 255.0f) << 24) | 0x00FFFFFFu;
}

bool BlastPush(float p, float strength, float radiusSq, float bx, float by, float x, float y, float& pushX,
               float& pushY)
{
    const float dx = x - bx, dy = y - by;
    const float d2 = dx * dx + dy * dy;
    if (d2 > radiusSq)
        return false;
    float f = 1.0f - d2 / radiusSq;
    f = f < 0.0f ? 0.0f : (f > 1.0f ? 1.0f : f);
    const float speed = f * p * strength;
    const float g = std::atan2(dx, -dy); // 0 up the screen, clockwise
    pushX = std::sin(g) * speed;
    pushY = -std::cos(g) * speed;
    return true;
}

bool DecayPush(float step, float& pushX, float& pushY)
{
    if (pushX * pushX + pushY * pushY < 0.004f)
        return false;
    pushX -= step * 0.04f * pushX;
    pushY -= step * 0.04f * pushY;
    return true;
}
