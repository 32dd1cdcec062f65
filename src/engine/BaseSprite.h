#pragma once
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include "engine/GRect.h"
#include "platform/IGraphicsDevice.h"

#include <vector>

#if defined(__SSE2__)
// The corners of a 2hw x 2hh rectangle about (x, y) turned by the sine and
// cosine, each summed as x + dx cos - dy sin and y + dx sin + dy cos: x and y
// of top-left and top-right in `top`, of bottom-left and bottom-right in
// `bottom`.
inline void TurnedCorners(float x, float y, float hw, float hh, float sine, float cosine, __m128& top,
                          __m128& bottom)
{
    const __m128 dx = _mm_setr_ps(-hw, hw, -hw, hw), dy = _mm_setr_ps(-hh, -hh, hh, hh);
    const __m128 c = _mm_set1_ps(cosine), s = _mm_set1_ps(sine);
    const __m128 xs = _mm_sub_ps(_mm_add_ps(_mm_set1_ps(x), _mm_mul_ps(dx, c)), _mm_mul_ps(dy, s));
    const __m128 ys = _mm_add_ps(_mm_add_ps(_mm_set1_ps(y), _mm_mul_ps(dx, s)), _mm_mul_ps(dy, c));
    top = _mm_unpacklo_ps(xs, ys);
    bottom = _mm_unpackhi_ps(xs, ys);
}

// The least and the greatest x and y of a quad's corners, x and y side by
// side in the low lanes. The operand order keeps std::min's and std::max's
// answer, NaN included.
inline void CornerBounds(const ScreenVertex quad[4], __m128& low, __m128& high)
{
    const auto corner = [quad](int i) {
        return _mm_castsi128_ps(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(&quad[i].x)));
    };
    low = high = corner(0);
    for (int i = 1; i < 4; ++i) {
        low = _mm_min_ps(corner(i), low);
        high = _mm_max_ps(corner(i), high);
    }
}
#endif

// A screen-space quad (corners top-left, top-right, bottom-left,
// bottom-right) with a size, an angle in degrees (clockwise on screen) and
// texture corners. It draws with whatever texture is bound.
class BaseSprite {
public:
    BaseSprite();
    virtual ~BaseSprite() = default;

    virtual bool HitTest(float x, float y) const;
    virtual void PlaceCentred(float x, float y);
    virtual void PlaceCentredFast(float x, float y);
    virtual void Draw();
    virtual void DrawClipped(const GRect& clip);

    // Inline: most quads of a frame are placed here, many from tight loops.
    void PlaceRotatedSinCos(float x, float y, float sine, float cosine)
    {
        const float hw = m_width * 0.5f, hh = m_height * 0.5f;
#if defined(__SSE2__)
        // The four corners at once, each summed as written out below.
        __m128 top, bottom;
        TurnedCorners(x, y, hw, hh, sine, cosine, top, bottom);
        _mm_storel_pi(reinterpret_cast<__m64*>(&m_vertices[0].x), top);
        _mm_storeh_pi(reinterpret_cast<__m64*>(&m_vertices[1].x), top);
        _mm_storel_pi(reinterpret_cast<__m64*>(&m_vertices[2].x), bottom);
        _mm_storeh_pi(reinterpret_cast<__m64*>(&m_vertices[3].x), bottom);
#else
        // Written out: the four corners share their products, and storing
        // into the vertices can no longer make the compiler reload the inputs.
        const float wc = hw * cosine, ws = hw * sine, hc = hh * cosine, hs = hh * sine;
        const float nwc = -hw * cosine, nws = -hw * sine, nhc = -hh * cosine, nhs = -hh * sine;
        ScreenVertex* v = m_vertices;
        v[0].x = x + nwc - nhs; v[0].y = y + nws + nhc;
        v[1].x = x + wc - nhs;  v[1].y = y + ws + nhc;
        v[2].x = x + nwc - hs;  v[2].y = y + nws + hc;
        v[3].x = x + wc - hs;   v[3].y = y + ws + hc;
#endif
    }
    void SetColour(uint8_t a, uint8_t r, uint8_t g, uint8_t b);
    void SetColour(uint32_t argb);
    void SetUV(float left, float top, float right, float bottom);
    void SetFrame(int n, int count);
    bool IsOnScreen() const;
    void DrawFrameBounds() const;

    void SetSize(float width, float height)
    {
        m_width = width;
        m_height = height;
    }
    void SetAngle(float degrees) { m_angle = degrees; }
    void SetNoRotate(bool on) { m_noRotate = on; }
    float GetWidth() const { return m_width; }
    float GetHeight() const { return m_height; }
    float GetAngle() const { return m_angle; }

    ScreenVertex m_vertices[4];

protected:
    // Clipped copy of the quad; false when nothing of it is inside.
    bool ClipTo(const GRect& clip, ScreenVertex out[4]) const;
    void Bounds(float& minX, float& minY, float& maxX, float& maxY) const;

    float m_width = 0.0f;
    float m_height = 0.0f;
    float m_angle = 0.0f;
    bool m_noRotate = false;
};

// Draws every sprite of the list, then empties it (the sprites are not owned).
void DrawAndClearSprites(std::vector<BaseSprite*>& sprites);
