#include "gui/GUI_FrameDrawing.h"

#include "engine/BaseSprite.h"
#include "engine/D3DEngine.h"
#include "gui/GUI_PreloadedTextures.h"

#include <algorithm>
#include <cmath>

namespace {

unsigned int g_frameRGB = 0xFFFFFFu;

void DrawCell(BaseSprite& quad, float cx, float cy, float w, float h, float u0, float v0, float u1, float v1)
{
    if (!(w > 0.0f) || !(h > 0.0f))
        return;
    quad.SetSize(w, h);
    quad.SetUV(u0, v0, u1, v1);
    quad.PlaceCentred(cx, cy);
    quad.Draw();
}

} // namespace

void SetFrameColour(unsigned char red, unsigned char green, unsigned char blue)
{
    g_frameRGB = (static_cast<unsigned int>(red) << 16) | (static_cast<unsigned int>(green) << 8) | blue;
}

unsigned int GetFrameColourRGB()
{
    return g_frameRGB;
}

void DrawTexturedFrame(float corner, float alpha, float left, float top, float right, float bottom)
{
    const float a = std::clamp(alpha, 0.0f, 1.0f);
    const auto a8 = static_cast<uint32_t>(std::lround(a * 255.0f));
    BaseSprite quad;
    quad.SetColour((a8 << 24) | g_frameRGB);

    const float w = right - left;
    const float h = bottom - top;
    // Corners never overlap: a frame smaller than two corners shrinks them.
    const float c = std::max(0.0f, std::min({corner, w / 2.0f, h / 2.0f}));
    if (!(c > 0.0f))
        return;
    const float half = c / 2.0f;
    DrawCell(quad, left + half, top + half, c, c, 0.0f, 0.0f, 0.25f, 0.25f);
    DrawCell(quad, right - half, top + half, c, c, 0.75f, 0.0f, 1.0f, 0.25f);
    DrawCell(quad, left + half, bottom - half, c, c, 0.0f, 0.75f, 0.25f, 1.0f);
    DrawCell(quad, right - half, bottom - half, c, c, 0.75f, 0.75f, 1.0f, 1.0f);

    const float innerW = w - 2.0f * c;
    const float innerH = h - 2.0f * c;
    const float midX = (left + right) / 2.0f;
    const float midY = (top + bottom) / 2.0f;
    DrawCell(quad, midX, top + half, innerW, c, 0.25f, 0.0f, 0.75f, 0.25f);
    DrawCell(quad, midX, bottom - half, innerW, c, 0.25f, 0.75f, 0.75f, 1.0f);
    DrawCell(quad, left + half, midY, c, innerH, 0.0f, 0.25f, 0.25f, 0.75f);
    DrawCell(quad, right - half, midY, c, innerH, 0.75f, 0.25f, 1.0f, 0.75f);
}

void DrawPreloadedFrame(int index, float corner, float alpha, float left, float top, float right, float bottom)
{
    D3DEngine& engine = D3DEngine::GetInstance();
    engine.SetNormalBlend();
    GUI_PreloadedTextures::GetInstance().Bind(index);
    DrawTexturedFrame(corner, alpha, left, top, right, bottom);
}

void DrawNamedFrame(const std::string& textureName, float corner, float alpha, float left, float top, float right,
                    float bottom)
{
    D3DEngine& engine = D3DEngine::GetInstance();
    engine.SetNormalBlend();
    engine.SetTextureByName(textureName);
    DrawTexturedFrame(corner, alpha, left, top, right, bottom);
}
