#pragma once
#include <cstdint>

#include "platform/IGraphicsDevice.h"

// Where a battle quad lands: the camera's top-left world corner, its zoom and
// the screen it fills.
struct BattleView {
    // Degrees to radians, as the battle's visuals turn things.
    static constexpr float kDegToRad = 0.01745329238474369f;

    float cameraX = 0.0f, cameraY = 0.0f;
    float zoom = 1.0f;
    float width = 0.0f, height = 0.0f;

    static BattleView FromCamera();
    float ScreenX(float worldX) const { return (worldX - cameraX) * zoom; }
    float ScreenY(float worldY) const { return (worldY - cameraY) * zoom; }
    // The quad's bounding box overlaps the screen.
    bool Shows(const ScreenVertex quad[4]) const;
    // A map point outside the visible map rectangle grown by margin units.
    bool IsOffScreen(float x, float y, float margin) const
    {
        const float right = cameraX + (zoom > 0.0f ? width / zoom : 0.0f);
        const float bottom = cameraY + (zoom > 0.0f ? height / zoom : 0.0f);
        return x < cameraX - margin || x > right + margin || y < cameraY - margin || y > bottom + margin;
    }
};

// A w x h quad centred at (x, y), its top edge turned to the heading
// (sine, cosine), texture cell uv = {u0, u1, v0, v1}, one colour.
void PlaceHeadingQuad(float x, float y, float w, float h, float sine, float cosine, const float uv[4],
                      uint32_t colour, ScreenVertex quad[4]);
// White at alpha 0..1, truncated to a byte.
uint32_t WhiteAlpha(float alpha);
