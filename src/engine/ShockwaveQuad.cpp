#include "engine/ShockwaveQuad.h"

#include <cmath>

ShockwaveQuad::ShockwaveQuad()
{
    SetAngle(0.0f);
}

void ShockwaveQuad::SetSize(float size)
{
    m_size = size;
    for (auto& q : m_quarters)
        q.SetSize(size * 0.5f, size * 0.5f);
}

void ShockwaveQuad::SetAngle(float degrees)
{
    m_angle = degrees;
    for (int i = 0; i < 4; ++i)
        m_quarters[i].SetAngle(degrees + 90.0f * static_cast<float>(i));
}

void ShockwaveQuad::SetAlpha(uint8_t alpha)
{
    for (auto& q : m_quarters)
        q.SetColour((uint32_t(alpha) << 24) | 0xFFFFFFu);
}

void ShockwaveQuad::Place(float x, float y)
{
    // Quarter i sits up-left of the centre, then turned with its sprite.
    const float off = m_size * 0.25f;
    for (auto& q : m_quarters) {
        float r = q.GetAngle() * 0.01745329238474369f;
        float s = std::sin(r), c = std::cos(r);
        float qx = x + (-off) * c - (-off) * s;
        float qy = y + (-off) * s + (-off) * c;
        // The quarter turns by the same sine and cosine: placed with them
        // instead of working them out again.
        if (q.GetAngle() == 0.0f)
            q.PlaceCentred(qx, qy);
        else
            q.PlaceRotatedSinCos(qx, qy, s, c);
    }
}

void ShockwaveQuad::Draw()
{
    m_texture.Bind();
    for (auto& q : m_quarters)
        q.Draw();
}
