#include "battle/BattleView.h"

#include <algorithm>

#include "battle/GUI_Map.h"

BattleView BattleView::FromCamera()
{
    const GUI_Map& map = GUI_Map::GetInstance();
    BattleView view;
    view.cameraX = map.cameraX;
    view.cameraY = map.cameraY;
    view.zoom = ZoomScale;
    view.width = static_cast<float>(map.GetScreenWidth());
    view.height = static_cast<float>(map.GetScreenHeight());
    return view;
}

bool BattleView::Shows(const ScreenVertex quad[4]) const
{
    float minX = quad[0].x, maxX = quad[0].x, minY = quad[0].y, maxY = quad[0].y;
    for (int i = 1; i < 4; ++i) {
        minX = std::min(minX, quad[i].x);
        maxX = std::max(maxX, quad[i].x);
        minY = std::min(minY, quad[i].y);
        maxY = std::max(maxY, quad[i].y);
    }
    return maxX >= 0.0f && minX <= width && maxY >= 0.0f && minY <= height;
}

void PlaceHeadingQuad(float x, float y, float w, float h, float sine, float cosine, const float uv[4],
                      uint32_t colour, ScreenVertex quad[4])
{
    // As a sprite turned by the heading: the picture's top leads.
    const float hw = w * 0.5f, hh = h * 0.5f;
    const float dx[4] = {-hw, hw, -hw, hw};
    const float dy[4] = {-hh, -hh, hh, hh};
    const float us[4] = {uv[0], uv[1], uv[0], uv[1]};
    const float vs[4] = {uv[2], uv[2], uv[3], uv[3]};
    for (int i = 0; i < 4; ++i) {
        quad[i].x = x + dx[i] * cosine - dy[i] * sine;
        quad[i].y = y + dx[i] * sine + dy[i] * cosine;
        quad[i].z = 0.0f;
        quad[i].rhw = 1.0f;
        quad[i].colour = colour;
        quad[i].u = us[i];
        quad[i].v = vs[i];
    }
}

uint32_t WhiteAlpha(float alpha)
{
    const auto byte = static_cast<uint32_t>(std::clamp(alpha, 0.0f, 1.0f) * 255.0f);
    return (byte << 24) | 0x00FFFFFFu;
}
