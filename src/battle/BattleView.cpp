#include "battle/BattleView.h"

#include <algorithm>
#include <bit>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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
#if defined(__SSE2__)
    // x and y side by side.
    __m128 low, high;
    CornerBounds(quad, low, high);
    const __m128 in = _mm_and_ps(_mm_cmpge_ps(high, _mm_setzero_ps()),
                                 _mm_cmple_ps(low, _mm_set_ps(0.0f, 0.0f, height, width)));
    return (_mm_movemask_ps(in) & 3) == 3;
#else
    float minX = quad[0].x, maxX = quad[0].x, minY = quad[0].y, maxY = quad[0].y;
    for (int i = 1; i < 4; ++i) {
        minX = std::min(minX, quad[i].x);
        maxX = std::max(maxX, quad[i].x);
        minY = std::min(minY, quad[i].y);
        maxY = std::max(maxY, quad[i].y);
    }
    return maxX >= 0.0f && minX <= width && maxY >= 0.0f && minY <= height;
#endif
}

void PlaceHeadingQuad(float x, float y, float w, float h, float sine, float cosine, const float uv[4],
                      uint32_t colour, ScreenVertex quad[4])
{
    // As a sprite turned by the heading: the picture's top leads.
    const float hw = w * 0.5f, hh = h * 0.5f;
#if defined(__SSE2__)
    // The four corners at once, each summed in the order of the loop below.
    __m128 top, bottom;
    TurnedCorners(x, y, hw, hh, sine, cosine, top, bottom);
    // z 0, rhw 1, the colour and u, as bits; v after them.
    const __m128i left = _mm_setr_epi32(0, 0x3F800000, static_cast<int>(colour), std::bit_cast<int>(uv[0]));
    const __m128i right = _mm_setr_epi32(0, 0x3F800000, static_cast<int>(colour), std::bit_cast<int>(uv[1]));
    const auto tail = [](ScreenVertex& vertex, __m128i zToU, float v) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(&vertex.z), zToU);
        vertex.v = v;
    };
    _mm_storel_pi(reinterpret_cast<__m64*>(&quad[0].x), top);
    tail(quad[0], left, uv[2]);
    _mm_storeh_pi(reinterpret_cast<__m64*>(&quad[1].x), top);
    tail(quad[1], right, uv[2]);
    _mm_storel_pi(reinterpret_cast<__m64*>(&quad[2].x), bottom);
    tail(quad[2], left, uv[3]);
    _mm_storeh_pi(reinterpret_cast<__m64*>(&quad[3].x), bottom);
    tail(quad[3], right, uv[3]);
#else
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
#endif
}

uint32_t WhiteAlpha(float alpha)
{
    const auto byte = static_cast<uint32_t>(std::clamp(alpha, 0.0f, 1.0f) * 255.0f);
    return (byte << 24) | 0x00FFFFFFu;
}
