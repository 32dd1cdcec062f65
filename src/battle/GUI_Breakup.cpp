#include "battle/GUI_Breakup.h"

#include <algorithm>
#include <cmath>

#include "battle/EffectTextures.h"
#include "battle/GUI_BattleGUI.h"
#include "battle/GUI_Map.h"
#include "battle/MaskedQuadBatch.h"
#include "battle/VisualRandom.h"
#include "sim/SIM_Ship.h"
#include "engine/GeometryHelpers.h"

namespace {
constexpr float kDegToRad = 0.017453292519943295f;
} // namespace

GUI_Breakup::GUI_Breakup(SIM_Ship* owner, const std::string& texture, float width, float height)
    : ship(owner)
{
    hull.SetTexture(texture);
    grid = static_cast<int>(width * 0.0625f);
    if (grid < 1) {
        grid = 0;
        return;
    }
    const float n = static_cast<float>(grid);
    pieces.reserve(static_cast<size_t>(grid * grid));
    for (int row = 0; row < grid; ++row) {
        for (int col = 0; col < grid; ++col) {
            Piece p;
            p.u0 = col / n;
            p.u1 = (col + 1) / n;
            p.v0 = row / n;
            p.v1 = (row + 1) / n;
            p.offsetX = ((col + 0.5f) / n - 0.5f) * width;
            p.offsetY = ((row + 0.5f) / n - 0.5f) * height;
            p.baseWidth = p.width = width / n;
            p.baseHeight = p.height = height / n;
            p.spin = VisualFloat() * 8.0f - 4.0f;
            const float f = VisualFloat() * 1.1f + 0.1f;
            const float a = VisualFloat() * 360.0f * kDegToRad;
            p.vx = f * std::sin(a);
            p.vy = -f * std::cos(a);
            p.breakDelay = VisualFloat() * 250.0f;
            p.fadeTime = VisualFloat() * 1800.0f;
            const int cell = SheetCell(VisualFloat(), 4);
            p.mu0 = static_cast<float>(cell % 2) * 0.5f;
            p.mv0 = static_cast<float>(cell / 2) * 0.5f;
            pieces.push_back(p);
        }
    }
}

void GUI_Breakup::Start()
{
    state = pieces.empty() ? FINISHED : BREAKING;
    elapsed = 0.0f;
}

void GUI_Breakup::Update(float ms, float d)
{
    if (state != BREAKING)
        return;
    elapsed += ms;
    bool anyLeft = false;
    for (Piece& p : pieces) {
        if (!p.released) {
            ship->LocalToWorld(p.offsetX, p.offsetY, ship->sine, ship->cosine, p.x, p.y);
            p.heading = ship->angle;
            if (p.breakDelay < elapsed) {
                p.released = true;
                p.fadeElapsed = 0.0f;
            }
            anyLeft = true;
            continue;
        }
        p.fadeElapsed += ms;
        const float f = 1.0f - (p.fadeTime > 0.0f ? std::clamp(p.fadeElapsed / p.fadeTime, 0.0f, 1.0f) : 1.0f);
        p.width = p.baseWidth * f;
        p.height = p.baseHeight * f;
        p.alpha = f;
        p.spin -= d * p.spin * 0.02f;
        p.x += p.vx * d;
        p.y += p.vy * d;
        p.heading = FmodTurn(p.heading + p.spin * d);
        if (p.heading < 0.0f)
            p.heading += 360.0f;
        anyLeft = anyLeft || p.alpha > 0.0f;
    }
    if (!anyLeft)
        state = FINISHED;
}

void GUI_Breakup::Draw()
{
    const GUI_BattleGUI& gui = GUI_BattleGUI::GetInstance();
    Update(gui.scaledFrameTime, gui.frameStep);
    if (state != BREAKING)
        return;
    const GUI_Map& map = GUI_Map::GetInstance();
    MaskedQuadBatch& masked = MaskedQuadBatch::Shared();
    masked.Begin(MaskedQuadBatch::ColourFromStage1, false, false);
    const TextureHandle mask = EffectTextures::Get(EffectTextures::BREAKUP_ALPHA);
    const TextureHandle colour = hull.GetTextureForDraw();
    for (const Piece& p : pieces) {
        if (!(p.alpha > 0.0f))
            continue;
        const float hw = p.width * ZoomScale * 0.5f, hh = p.height * ZoomScale * 0.5f;
        const float sx = (p.x - map.cameraX) * ZoomScale, sy = (p.y - map.cameraY) * ZoomScale;
        const float r = p.heading * kDegToRad, s = std::sin(r), c = std::cos(r);
        const float cx[4] = {-hw, hw, -hw, hw}, cy[4] = {-hh, -hh, hh, hh};
        ScreenVertex corners[4];
        const float mu[4] = {p.mu0, p.mu0 + 0.5f, p.mu0, p.mu0 + 0.5f};
        const float mv[4] = {p.mv0, p.mv0, p.mv0 + 0.5f, p.mv0 + 0.5f};
        for (int k = 0; k < 4; ++k)
            corners[k] = {sx + cx[k] * c - cy[k] * s, sy + cx[k] * s + cy[k] * c, 0.0f, 1.0f, 0, mu[k], mv[k]};
        ScreenVertex2 quad[4];
        SetMaskedCorners(quad, corners, static_cast<uint8_t>(std::clamp(p.alpha, 0.0f, 1.0f) * 255.0f), p.u0, p.v0,
                         p.u1, p.v1);
        masked.Add(mask, colour, quad);
    }
    masked.End();
}
