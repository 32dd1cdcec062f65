#pragma once
#include "engine/GRect.h"
#include "platform/IGraphicsDevice.h"

#include <vector>

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

    void PlaceRotatedSinCos(float x, float y, float sine, float cosine);
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
