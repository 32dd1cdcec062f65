#include "engine/BaseSprite.h"

#include "engine/D3DEngine.h"
#include "engine/QuadRunBatch.h"
#include "engine/SinCosTables.h"
#include "engine/GeometryHelpers.h"

#include <algorithm>
#include <cmath>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

BaseSprite::BaseSprite()
{
    static const float uv[4][2] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}};
    for (int i = 0; i < 4; ++i)
        m_vertices[i] = ScreenVertex{0.0f, 0.0f, 0.0f, 1.0f, 0xFFFFFFFFu, uv[i][0], uv[i][1]};
}

void BaseSprite::PlaceCentred(float x, float y)
{
    if (m_noRotate || m_angle == 0.0f) {
        PlaceRotatedSinCos(x, y, 0.0f, 1.0f);
        return;
    }
    float r = m_angle * 0.01745329238474369f;
    PlaceRotatedSinCos(x, y, std::sin(r), std::cos(r));
}

void BaseSprite::PlaceCentredFast(float x, float y)
{
    if (m_noRotate) {
        PlaceRotatedSinCos(x, y, 0.0f, 1.0f);
        return;
    }
    float s, c;
    // Angles far out of range would overflow the conversion.
    float a = std::isfinite(m_angle) ? FmodTurn(m_angle) : 0.0f;
    LookupSinCos(static_cast<int>(a), s, c);
    PlaceRotatedSinCos(x, y, s, c);
}

namespace {
// Inlined into the per-frame on-screen test: a call per sprite cost as much
// as the test itself.
inline void QuadBounds(const ScreenVertex v[4], float& minX, float& minY, float& maxX, float& maxY)
{
    minX = maxX = v[0].x;
    minY = maxY = v[0].y;
    for (int i = 1; i < 4; ++i) {
        minX = std::min(minX, v[i].x);
        maxX = std::max(maxX, v[i].x);
        minY = std::min(minY, v[i].y);
        maxY = std::max(maxY, v[i].y);
    }
}
} // namespace

void BaseSprite::Bounds(float& minX, float& minY, float& maxX, float& maxY) const
{
    QuadBounds(m_vertices, minX, minY, maxX, maxY);
}

bool BaseSprite::HitTest(float x, float y) const
{
    float minX, minY, maxX, maxY;
    Bounds(minX, minY, maxX, maxY);
    return x >= minX && x < maxX && y >= minY && y < maxY;
}

namespace {
// With the bound texture and blend; inside the interface's batch it joins the runs.
void DrawBoundQuad(const ScreenVertex quad[4])
{
    D3DEngine& engine = D3DEngine::GetInstance();
    IGraphicsDevice* device = engine.GetDevice();
    if (!device)
        return;
    QuadRunBatch& batch = QuadRunBatch::Shared();
    if (batch.TakesDirectQuads() && engine.IsPlainState()) {
        batch.Add(engine.GetCurrentTexture(), engine.IsAdditive(), quad);
        return;
    }
    QuadRunBatch::BeforeDirectDraw();
    device->DrawPrimitives(PrimitiveType::TriangleStrip, quad, 4);
}
} // namespace

void BaseSprite::Draw()
{
    DrawBoundQuad(m_vertices);
}

bool BaseSprite::ClipTo(const GRect& clip, ScreenVertex out[4]) const
{
    // Clipping works on the unrotated quad, as clip rectangles are for lists and panels.
    const ScreenVertex& tl = m_vertices[0];
    const ScreenVertex& br = m_vertices[3];
    float w = br.x - tl.x, h = br.y - tl.y;
    if (!(w > 0.0f) || !(h > 0.0f))
        return false;
    float l = std::max(tl.x, static_cast<float>(clip.left));
    float t = std::max(tl.y, static_cast<float>(clip.top));
    float r = std::min(br.x, static_cast<float>(clip.right));
    float b = std::min(br.y, static_cast<float>(clip.bottom));
    if (l >= r || t >= b)
        return false;
    float du = br.u - tl.u, dv = br.v - tl.v;
    float u0 = tl.u + du * (l - tl.x) / w, u1 = tl.u + du * (r - tl.x) / w;
    float v0 = tl.v + dv * (t - tl.y) / h, v1 = tl.v + dv * (b - tl.y) / h;
    const float xs[4] = {l, r, l, r}, ys[4] = {t, t, b, b};
    const float us[4] = {u0, u1, u0, u1}, vs[4] = {v0, v0, v1, v1};
    for (int i = 0; i < 4; ++i) {
        out[i] = m_vertices[i];
        out[i].x = xs[i];
        out[i].y = ys[i];
        out[i].u = us[i];
        out[i].v = vs[i];
    }
    return true;
}

void BaseSprite::DrawClipped(const GRect& clip)
{
    ScreenVertex v[4];
    if (!ClipTo(clip, v))
        return;
    DrawBoundQuad(v);
}

void BaseSprite::SetColour(uint8_t a, uint8_t r, uint8_t g, uint8_t b)
{
    SetColour((uint32_t(a) << 24) | (uint32_t(r) << 16) | (uint32_t(g) << 8) | uint32_t(b));
}

void BaseSprite::SetColour(uint32_t argb)
{
    for (auto& v : m_vertices)
        v.colour = argb;
}

void BaseSprite::SetUV(float left, float top, float right, float bottom)
{
    m_vertices[0].u = left;
    m_vertices[0].v = top;
    m_vertices[1].u = right;
    m_vertices[1].v = top;
    m_vertices[2].u = left;
    m_vertices[2].v = bottom;
    m_vertices[3].u = right;
    m_vertices[3].v = bottom;
}

void BaseSprite::SetFrame(int n, int count)
{
    int side = count > 0 ? static_cast<int>(std::lround(std::sqrt(static_cast<double>(count)))) : 1;
    side = std::max(side, 1);
    n = std::clamp(n, 0, side * side - 1);
    float size = 1.0f / static_cast<float>(side);
    float u = static_cast<float>(n % side) * size, v = static_cast<float>(n / side) * size;
    SetUV(u, v, u + size, v + size);
}

bool BaseSprite::IsOnScreen() const
{
    const D3DEngine& engine = D3DEngine::GetInstance();
    float sw = static_cast<float>(engine.GetScreenWidth()), sh = static_cast<float>(engine.GetScreenHeight());
    float margin = 0.0f;
    if (!m_noRotate && m_angle != 0.0f)
        margin = 1.5f * std::max(m_width, m_height);
#if defined(__SSE2__)
    // x and y side by side: one minimum and one maximum per corner.
    __m128 low, high;
    CornerBounds(m_vertices, low, high);
    const __m128 before = _mm_set_ps(0.0f, 0.0f, -margin, -margin);
    const __m128 beyond = _mm_set_ps(0.0f, 0.0f, sh + margin, sw + margin);
    const __m128 out = _mm_or_ps(_mm_cmplt_ps(high, before), _mm_cmpgt_ps(low, beyond));
    return (_mm_movemask_ps(out) & 3) == 0;
#else
    float minX, minY, maxX, maxY;
    QuadBounds(m_vertices, minX, minY, maxX, maxY);
    return !(maxX < -margin || minX > sw + margin || maxY < -margin || minY > sh + margin);
#endif
}

void BaseSprite::DrawFrameBounds() const
{
    float minX, minY, maxX, maxY;
    Bounds(minX, minY, maxX, maxY);
    D3DEngine::GetInstance().DrawRectFrame(
        GRect{static_cast<int>(std::floor(minX)), static_cast<int>(std::floor(minY)),
              static_cast<int>(std::ceil(maxX)), static_cast<int>(std::ceil(maxY))},
        m_vertices[0].colour);
}

void DrawAndClearSprites(std::vector<BaseSprite*>& sprites)
{
    for (BaseSprite* s : sprites)
        if (s)
            s->Draw();
    sprites.clear();
}
