#include "battle/GUI_ECMShock.h"

#include <algorithm>
#include <cmath>

#include "app/GUI_Sounds.h"
#include "battle/EffectTextures.h"
#include "battle/GUI_BattleGUI.h"
#include "battle/GUI_Map.h"
#include "battle/MaskedQuadBatch.h"
#include "battle/VisualRandom.h"
#include "engine/GDebugLog.h"
#include "gui/GUI_Tutorial.h"
#include "sim/SIM_Ship.h"
#include "sim/SIM_ShipHull.h"

namespace {

constexpr float kDegToRad = 0.017453292519943295f;
const char* const kSound = "data/sounds/ecmshock.ogg";

void DrawMaskedQuad(TextureHandle mask, TextureHandle colour, ScreenVertex2 quad[4])
{
    MaskedQuadBatch& masked = MaskedQuadBatch::Shared();
    masked.Begin(MaskedQuadBatch::ColourFromStage1, false);
    masked.Add(mask, colour, quad);
    masked.End();
}

} // namespace

GUI_ECMShock::GUI_ECMShock(SIM_Ship* owner)
    : ship(owner)
{
    QLM_ASSERT(ship != nullptr);
    if (ship && ship->GetHull())
        hullSprite.SetTexture(ship->GetHull()->GetSprite());
    size = ship ? std::max(ship->GetWidth(), ship->GetHeight()) : 0.0f;
    frameTimer = VisualFloat() * kTileMs;
    NextFrame();
}

void GUI_ECMShock::NextFrame()
{
    frameTimer -= kTileMs;
    tileLeft = VisualFloat() * 0.5f;
    tileTop = VisualFloat() * 0.5f;
}

void GUI_ECMShock::Start()
{
    if (started)
        return;
    started = 1;
    time = 0.0f;
    tutorialAsked = 0;
    GUI_Sounds* sounds = GUI_BattleGUI::GetInstance().GetSounds();
    // The throttled play remembers the sound itself.
    if (sounds)
        sounds->PlayBattleSound(kSound, GUI_Sounds::BANK_EXPLOSIONS, 1.0f, 64.0f, ship->x, ship->y);
}

void GUI_ECMShock::Draw()
{
    const float dt = GUI_BattleGUI::GetInstance().scaledFrameTime;
    time += dt;
    // Half a second into a shock the lesson about it is offered, once a shock.
    if (!tutorialAsked && time > 500.0f) {
        tutorialAsked = 1;
        GUI_Tutorial::GetInstance().LaunchECMShockTutorial(ship->x, ship->y);
    }
    const GUI_Map& map = GUI_Map::GetInstance();
    const float side = size * ZoomScale, h = side * 0.5f;
    const float sx = (ship->x - map.cameraX) * ZoomScale, sy = (ship->y - map.cameraY) * ZoomScale;
    hullSprite.SetSize(side, side);
    hullSprite.SetAngle(ship->angle);
    hullSprite.PlaceCentred(sx, sy);
    if (!hullSprite.IsOnScreen())
        return;
    frameTimer += dt;
    while (frameTimer > kTileMs)
        NextFrame();
    const float s = ship->sine, c = ship->cosine;
    const float ox[4] = {-h, h, -h, h}, oy[4] = {-h, -h, h, h};
    ScreenVertex corners[4];
    for (int k = 0; k < 4; ++k)
        corners[k] = {sx + ox[k] * c - oy[k] * s, sy + ox[k] * s + oy[k] * c, 0, 1, 0, (k & 1) ? 1.0f : 0.0f,
                      (k & 2) ? 1.0f : 0.0f};
    ScreenVertex2 quad[4];
    SetMaskedCorners(quad, corners, 255, tileLeft, tileTop, tileLeft + 0.5f, tileTop + 0.5f);
    DrawMaskedQuad(hullSprite.GetTextureForDraw(), EffectTextures::Get(EffectTextures::ECM_SHOCK), quad);
}

// ---- smart bomb ----------------------------------------------------------------

GUI_SmartBombEffect::GUI_SmartBombEffect(SIM_Ship* owner, float r)
    : ship(owner), radius(r)
{
}

void GUI_SmartBombEffect::Restart()
{
    time = 0.0f;
    active = 1;
}

float GUI_SmartBombEffect::Swell(float p)
{
    return 0.5f + 0.5f * (std::sin((p * 190.0f - 90.0f) * kDegToRad) + 1.0f) / 2.0f;
}

float GUI_SmartBombEffect::AlphaFraction(float p)
{
    float f;
    if (p < 0.25f)
        f = 4.0f * p;
    else if (p <= 0.8f)
        f = 1.0f;
    else
        f = 1.0f - (p - 0.8f) / 0.2f;
    return std::clamp(f, 0.0f, 1.0f);
}

void GUI_SmartBombEffect::Draw()
{
    if (!active)
        return;
    time += GUI_BattleGUI::GetInstance().scaledFrameTime;
    if (time >= kDurationMs) {
        active = 0;
        return;
    }
    const float p = std::clamp(time / kDurationMs, 0.0f, 1.0f);
    const float side = ZoomScale * 2.0f * radius * Swell(p);
    lastSide = side;
    float sx, sy;
    ship->GetScreenPosition(sx, sy);
    CTexturedSprite placement;
    BaseSprite& sprite = placement;
    sprite.SetSize(side, side);
    sprite.SetAngle(ship->angle);
    sprite.PlaceCentred(sx, sy);
    if (!sprite.IsOnScreen())
        return;
    const float m = 0.41f * p;
    const float mu[4] = {m, 1.0f - m, m, 1.0f - m}, mv[4] = {m, m, 1.0f - m, 1.0f - m};
    ScreenVertex corners[4];
    for (int k = 0; k < 4; ++k)
        corners[k] = {sprite.m_vertices[k].x, sprite.m_vertices[k].y, 0, 1, 0, mu[k], mv[k]};
    ScreenVertex2 quad[4];
    SetMaskedCorners(quad, corners, static_cast<uint8_t>(std::lround(AlphaFraction(p) * 255.0f)), 0.0f, 0.0f, 1.0f,
                     1.0f);
    DrawMaskedQuad(EffectTextures::Get(EffectTextures::SMART_BOMB_ALPHA),
                   EffectTextures::Get(EffectTextures::SMART_BOMB_COLOUR), quad);
}
