#pragma once
#include "engine/BaseSprite.h"
#include "engine/SmartTexture.h"

#include <string>

// One texture drawn four times, turned a quarter each time around a centre:
// the texture holds one quarter of a ring and the four sprites close it.
class ShockwaveQuad {
public:
    ShockwaveQuad();

    void SetTexture(const std::string& name) { m_texture.SetName(name); }
    void SetSize(float size);
    void SetAngle(float degrees);
    void SetAlpha(uint8_t alpha);
    void Place(float x, float y);
    void Draw();

    float GetSize() const { return m_size; }
    float GetAngle() const { return m_angle; }
    const BaseSprite& GetQuarter(int i) const { return m_quarters[i & 3]; }

private:
    float m_size = 0.0f;
    float m_angle = 0.0f;
    BaseSprite m_quarters[4];
    SmartTexture m_texture;
};
