#include "battle/GUI_Starfield.h"

#include <cmath>
#if defined(__SSE2__)
#include <xmmintrin.h>
#endif

#include "battle/BattleView.h"
#include "engine/D3DEngine.h"
#include "engine/GRandom.h"
#include "engine/QuadRunBatch.h"

namespace {

uint32_t WhiteAt(float alpha255)
{
    return (static_cast<uint32_t>(std::lround(alpha255)) << 24) | 0x00FFFFFFu;
}

void Square(float x, float y, float size, uint32_t colour, ScreenVertex q[4])
{
    const float h = size * 0.5f;
    q[0] = {x - h, y - h, 0.0f, 1.0f, colour, 0.0f, 0.0f};
    q[1] = {x + h, y - h, 0.0f, 1.0f, colour, 1.0f, 0.0f};
    q[2] = {x - h, y + h, 0.0f, 1.0f, colour, 0.0f, 1.0f};
    q[3] = {x + h, y + h, 0.0f, 1.0f, colour, 1.0f, 1.0f};
}

} // namespace

GUI_Starfield& GUI_Starfield::GetInstance()
{
    static GUI_Starfield instance;
    return instance;
}

void GUI_Starfield::Build(float mw, float mh, float sw, float sh)
{
    mapWidth = mw;
    mapHeight = mh;
    screenWidth = sw;
    screenHeight = sh;
    // The sky of a map size is always the same.
    GRandom random(0x57A25u + static_cast<uint64_t>(mw) * 7919u + static_cast<uint64_t>(mh));
    auto r = [&random]() { return random.NextFloat(); };
    for (Star& s : mapStars) {
        s.colour = WhiteAt(std::round(r() * 156.0f + 64.0f));
        s.x = r() * mw;
        s.y = r() * mh;
        s.size = 1.0f;
    }
    for (int i = 0; i < kMapStars; ++i) {
        mapStarX[i] = mapStars[i].x;
        mapStarY[i] = mapStars[i].y;
    }
    const float cx = mw * 0.5f, cy = mh * 0.5f;
    for (Star& s : depthStars) {
        s.depth = r() * 0.375f + 0.125f;
        s.x = cx - cx / s.depth + r() * 2.0f * cx / s.depth;
        s.y = cy - cy / s.depth + r() * 2.0f * cy / s.depth;
        s.size = r() * 6.0f + 2.0f;
        s.colour = WhiteAt((r() * 0.4f + 0.5f) * 255.0f);
    }
    for (Star& s : screenStars) {
        s.size = r() * 3.0f + 1.0f;
        s.x = r() * sw;
        s.y = r() * sh;
        s.colour = WhiteAt((r() * 0.5f + 0.5f) * 255.0f);
    }
    built = true;
}

void GUI_Starfield::DepthStarScreen(const Star& s, float zoom, const float centre[2], float sw, float sh, float& x,
                                    float& y)
{
    x = s.depth * zoom * (s.x - centre[0]) + sw * 0.5f;
    y = sh * 0.5f + s.depth * zoom * (s.y - centre[1]);
}

void GUI_Starfield::Scroll(float dx, float dy)
{
    for (Star& s : screenStars) {
        s.y -= dy;
        s.x -= dx;
        if (s.x > screenWidth)
            s.x -= screenWidth;
        else if (s.x < 0.0f)
            s.x += screenWidth;
        if (s.y > screenHeight)
            s.y -= screenHeight;
        else if (s.y < 0.0f)
            s.y += screenHeight;
    }
}

void GUI_Starfield::Draw(float viewLeft, float viewTop, float zoom, const float centre[2])
{
    D3DEngine& engine = D3DEngine::GetInstance();
    if (!engine.IsInitialised())
        return;
    const float sw = static_cast<float>(engine.GetScreenWidth()), sh = static_cast<float>(engine.GetScreenHeight());
    if (!built)
        Build(mapWidth, mapHeight, sw, sh);
    QuadRunBatch& batch = QuadRunBatch::Shared();
    const bool own = !batch.IsOpen();
    if (own)
        batch.Begin(static_cast<int>(sw), static_cast<int>(sh));
    ScreenVertex q[4];
    // The map's faint points: one pixel each, untextured. Few show: the
    // cull goes before the rounding down, which moves no point across an
    // edge (the screen's sides are whole pixels).
    const auto mapStar = [&](int i) {
        const Star& s = mapStars[i];
        const float x = std::floor((s.x - viewLeft) * zoom), y = std::floor((s.y - viewTop) * zoom);
        q[0] = {x, y, 0.0f, 1.0f, s.colour, 0.0f, 0.0f};
        q[1] = {x + 1.0f, y, 0.0f, 1.0f, s.colour, 0.0f, 0.0f};
        q[2] = {x, y + 1.0f, 0.0f, 1.0f, s.colour, 0.0f, 0.0f};
        q[3] = {x + 1.0f, y + 1.0f, 0.0f, 1.0f, s.colour, 0.0f, 0.0f};
        batch.Add(0, false, q);
    };
#if defined(__SSE2__)
    static_assert(kMapStars % 4 == 0);
    const __m128 left = _mm_set1_ps(viewLeft), top = _mm_set1_ps(viewTop), scale = _mm_set1_ps(zoom);
    const __m128 width = _mm_set1_ps(sw), height = _mm_set1_ps(sh), zero = _mm_setzero_ps();
    for (int i = 0; i < kMapStars; i += 4) {
        const __m128 x = _mm_mul_ps(_mm_sub_ps(_mm_loadu_ps(mapStarX + i), left), scale);
        const __m128 y = _mm_mul_ps(_mm_sub_ps(_mm_loadu_ps(mapStarY + i), top), scale);
        // A lane set: that star is off the screen (a NaN stays on, as it did).
        const __m128 off = _mm_or_ps(_mm_or_ps(_mm_cmplt_ps(x, zero), _mm_cmplt_ps(y, zero)),
                                     _mm_or_ps(_mm_cmpge_ps(x, width), _mm_cmpge_ps(y, height)));
        const int shown = ~_mm_movemask_ps(off) & 0xF;
        for (int lane = 0; lane < 4; ++lane)
            if (shown & (1 << lane))
                mapStar(i + lane);
    }
#else
    for (int i = 0; i < kMapStars; ++i) {
        const float x = (mapStarX[i] - viewLeft) * zoom, y = (mapStarY[i] - viewTop) * zoom;
        if (x < 0.0f || y < 0.0f || x >= sw || y >= sh)
            continue;
        mapStar(i);
    }
#endif
    const TextureHandle star = texture.GetHandle();
    // The textured stars of both layers go to the batch together.
    ScreenVertex* next = starQuads;
    for (const Star& s : depthStars) {
        float x, y;
        DepthStarScreen(s, zoom, centre, sw, sh, x, y);
        if (x < -s.size || y < -s.size || x > sw + s.size || y > sh + s.size)
            continue;
        Square(x, y, s.size, s.colour, next);
        next += 4;
    }
    for (const Star& s : screenStars) {
        Square(s.x, s.y, s.size, s.colour, next);
        next += 4;
    }
    batch.AddQuads(star, false, starQuads, static_cast<size_t>(next - starQuads) / 4);
    if (own)
        batch.End();
}
