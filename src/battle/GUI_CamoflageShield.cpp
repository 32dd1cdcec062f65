#include "battle/GUI_CamoflageShield.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

#include "battle/CloakImages.h"
#include "battle/GUI_BattleGUI.h"
#include "battle/GUI_Map.h"
#include "battle/GUI_Ship.h"
#include "battle/ShipImage.h"
#include "battle/VisualRandom.h"
#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "engine/QuadRunBatch.h"
#include "sim/SIM_Ship.h"
#include "sim/modules/SIM_CamoflageShieldModule.h"

namespace {
constexpr float kTwoPi = 6.283185307179586f;
constexpr float kDegToRad = 0.01745329238474369f;

const SIM_CamoflageShieldModule* Cloak(const SIM_Ship* ship)
{
    return ship && !ship->GetCloaks().empty() ? ship->GetCloaks().front() : nullptr;
}

// The sine and cosine of the ship's heading: the ship's own while the
// heading holds (worked out the same way), else worked out here.
void HeadingTurn(const SIM_Ship& ship, float& sine, float& cosine)
{
    if (std::bit_cast<uint32_t>(ship.angle) == ship.trigAngleBits) {
        sine = ship.sine;
        cosine = ship.cosine;
        return;
    }
    const float h = ship.angle * kDegToRad;
    sine = std::sin(h);
    cosine = std::cos(h);
}
} // namespace

GUI_CamoflageShield::GUI_CamoflageShield(GUI_Ship* owner, SIM_Ship* s)
    : visual(owner), ship(s)
{
    QLM_ASSERT(ship != nullptr);
    for (int row = 0; row < kGrid; ++row) {
        for (int col = 0; col < kGrid; ++col) {
            const int i = row * kGrid + col;
            restX[i] = deformedX[i] = col * 0.2f - 0.5f;
            restY[i] = deformedY[i] = row * 0.2f - 0.5f;
            phases[i] = VisualFloat() * kTwoPi;
        }
    }
    for (ScreenVertex& v : quads)
        v = {0, 0, 0, 1, 0xFFFFFFFFu, 0, 0};
    SetUVScale(1.0f);
}

void GUI_CamoflageShield::SetUVScale(float scale)
{
    lastUVScale = scale;
    SetImageUV(0.0f, 0.0f, scale);
}

void GUI_CamoflageShield::SetImageUV(float left, float top, float span)
{
    // A cloak's picture keeps its place in the image from frame to frame.
    if (left == uvLeft && top == uvTop && span == uvSpan)
        return;
    uvLeft = left;
    uvTop = top;
    uvSpan = span;
    for (int r = 0; r < 5; ++r) {
        for (int c = 0; c < 5; ++c) {
            ScreenVertex* q = &quads[(r * 5 + c) * 4];
            const float u0 = left + c * span / 5.0f, u1 = left + (c + 1) * span / 5.0f;
            const float v0 = top + r * span / 5.0f, v1 = top + (r + 1) * span / 5.0f;
            q[0].u = u0; q[0].v = v0;
            q[1].u = u1; q[1].v = v0;
            q[2].u = u0; q[2].v = v1;
            q[3].u = u1; q[3].v = v1;
        }
    }
}

void GUI_CamoflageShield::Update(float ms)
{
    const SIM_CamoflageShieldModule* cloak = Cloak(ship);
    intensity = cloak ? cloak->GetShimmer() : 0.0f;
    // The border points stay at rest (as made), and nothing reads their
    // phases: only the inner ones move.
    for (int row = 1; row < kGrid - 1; ++row) {
        for (int col = 1; col < kGrid - 1; ++col) {
            const int i = row * kGrid + col;
            phases[i] += ms / 100.0f;
            if (phases[i] > kTwoPi)
                phases[i] -= kTwoPi;
            const float d = std::cos(phases[i]) * intensity * 0.02f;
            deformedX[i] = restX[i] + d;
            deformedY[i] = restY[i] + d;
        }
    }
}

bool GUI_CamoflageShield::Place(float& side)
{
    float sine, cosine;
    return Place(side, sine, cosine);
}

bool GUI_CamoflageShield::Place(float& side, float& sine, float& cosine)
{
    const GUI_Map& map = GUI_Map::GetInstance();
    side = ship->GetWidth() * ZoomScale;
    const float cx = (ship->x - map.cameraX) * ZoomScale, cy = (ship->y - map.cameraY) * ZoomScale;
    // A mesh surely off the screen is not turned and placed: its corners lie
    // within a side of its centre, the on-screen test widens the screen by
    // at most one and a half sides, and the slack covers rounding.
    const D3DEngine& engine = D3DEngine::GetInstance();
    const float sw = static_cast<float>(engine.GetScreenWidth()), sh = static_cast<float>(engine.GetScreenHeight());
    const float reach = 2.5f * std::fabs(side) + 1.0f + 1e-3f * (std::fabs(cx) + std::fabs(cy) + std::fabs(side));
    if (cx + reach < 0.0f || cx - reach > sw || cy + reach < 0.0f || cy - reach > sh)
        return false;
    sprite.SetSize(side, side);
    sprite.SetAngle(ship->angle);
    HeadingTurn(*ship, sine, cosine);
    // As PlaceCentred turns it: level at angle 0.
    const bool level = ship->angle == 0.0f;
    sprite.PlaceRotatedSinCos(cx, cy, level ? 0.0f : sine, level ? 1.0f : cosine);
    return sprite.IsOnScreen();
}

void GUI_CamoflageShield::Draw()
{
    const GUI_Map& map = GUI_Map::GetInstance();
    float s = 0.0f, sn = 0.0f, cs = 1.0f;
    if (!Place(s, sn, cs))
        return;
    const float cx = (ship->x - map.cameraX) * ZoomScale, cy = (ship->y - map.cameraY) * ZoomScale;
    // The image drawn before the layer when there is one; else into "rt_ship" now.
    const CloakImages::Tile* tile = CloakImages::GetInstance().Find(*visual, s);
    const float r = tile ? tile->side : RenderShipImage(*visual, s);
    if (r <= 0.0f)
        return;
    if (tile) {
        lastUVScale = std::clamp(r / 512.0f, 0.0f, 1.0f);
        const float targetSide = static_cast<float>(CloakImages::kSide);
        SetImageUV(static_cast<float>(tile->x) / targetSide, static_cast<float>(tile->y) / targetSide, r / targetSide);
    } else {
        SetUVScale(std::clamp(r / 512.0f, 0.0f, 1.0f));
    }
    Update(GUI_BattleGUI::GetInstance().scaledFrameTime);
    const SIM_CamoflageShieldModule* cloak = Cloak(ship);
    const float a = cloak ? cloak->GetVisibility() : 1.0f;
    const uint32_t colour = (static_cast<uint32_t>(std::clamp(a, 0.0f, 1.0f) * 255.0f) << 24) | 0x00FFFFFFu;
    // Each grid point once on the screen, x and y side by side; up to four
    // quads share it.
    struct Point {
        float x, y;
    };
    Point screen[kGrid * kGrid];
    for (int i = 0; i < kGrid * kGrid; ++i) {
        const float gx = deformedX[i], gy = deformedY[i];
        screen[i] = {cx + gx * s * cs - gy * s * sn, cy + gx * s * sn + gy * s * cs};
    }
    // The colour changes only while the cloak fades.
    const bool recolour = colour != quadColour;
    quadColour = colour;
    for (int row = 0; row < 5; ++row) {
        for (int col = 0; col < 5; ++col) {
            ScreenVertex* q = &quads[(row * 5 + col) * 4];
            const Point* top = &screen[row * kGrid + col];
            const Point* bottom = top + kGrid;
            std::memcpy(&q[0].x, &top[0], sizeof(Point));
            std::memcpy(&q[1].x, &top[1], sizeof(Point));
            std::memcpy(&q[2].x, &bottom[0], sizeof(Point));
            std::memcpy(&q[3].x, &bottom[1], sizeof(Point));
            if (recolour)
                for (int k = 0; k < 4; ++k)
                    q[k].colour = colour;
        }
    }
    if (tile) {
        // Joins the layer's runs: the batch keeps what overlaps in order.
        QuadRunBatch::Shared().AddQuads(tile->target, false, quads, 25);
        return;
    }
    D3DEngine& engine = D3DEngine::GetInstance();
    engine.SetNormalBlend();
    engine.SetTexture(engine.FindRenderTarget("rt_ship"));
    if (IGraphicsDevice* device = engine.GetDevice())
        device->DrawQuads(quads, 100);
    engine.ClearTextureCache();
}

// ---- warp-in ---------------------------------------------------------------------

GUI_WarpEffect::GUI_WarpEffect(GUI_Ship* owner)
    : visual(owner)
{
}

void GUI_WarpEffect::PositionAt(float p, float x, float y, float angle, float& wx, float& wy)
{
    const float e = std::sin(p * 3.14159265f / 2.0f);
    const float a = angle * kDegToRad;
    wx = x - kDistance * std::sin(a) * (1.0f - e);
    wy = y + kDistance * std::cos(a) * (1.0f - e);
}

bool GUI_WarpEffect::Update()
{
    if (!visual->IsWarpEffectRunning())
        return false;
    const float t = visual->GetWarpTime() - visual->GetWarpDelay();
    if (!(t >= 0.0f))
        return false;
    const float duration = visual->GetWarpDuration();
    progress = duration > 0.0f ? std::clamp(t / duration, 0.0f, 1.0f) : 1.0f;
    visual->DrawWarping(progress);
    return true;
}
