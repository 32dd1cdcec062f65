#include "battle/GUI_SplatManager.h"

#include <algorithm>
#include <cmath>

#include "battle/EffectTextures.h"
#include "battle/GUI_BattleGUI.h"
#include "battle/GUI_Map.h"
#include "battle/MaskedQuadBatch.h"
#include "battle/VisualRandom.h"
#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "sim/SIM_Ship.h"
#include "sim/SIM_ShipHull.h"

GUI_SplatManager::GUI_SplatManager(SIM_Ship* owner)
    : ship(owner)
{
    QLM_ASSERT(ship != nullptr);
    if (ship && ship->GetHull())
        hullSprite.SetTexture(ship->GetHull()->GetSprite());
    glows.reserve(16);
    radiation.reserve(16);
}

int GUI_SplatManager::RadiationTile(float value)
{
    return SheetCell(value, 4);
}

namespace {
// A new event on a key that has a patch restarts it; true when it did.
bool Restart(std::vector<GUI_SplatManager::Splat>& list, const GUI_SplatManager::Key& key)
{
    for (GUI_SplatManager::Splat& s : list) {
        if (s.key == key) {
            s.active = true;
            s.time = 0.0f;
            return true;
        }
    }
    return false;
}
} // namespace

void GUI_SplatManager::AddArmourGlow(float x, float y)
{
    const Key key{x, y};
    if (Restart(glows, key))
        return;
    Splat s;
    s.key = key;
    glows.push_back(s);
}

void GUI_SplatManager::AddRadiation(float x, float y)
{
    const Key key{x, y};
    if (Restart(radiation, key))
        return;
    Splat s;
    s.key = key;
    const int tile = RadiationTile(VisualFloat());
    const int column = tile % 2, row = tile / 2;
    s.u0 = column * 0.5f;
    s.v0 = row * 0.5f;
    s.u1 = (column + 1) * 0.5f;
    s.v1 = (row + 1) * 0.5f;
    s.fullSize = 16.0f + VisualFloat() * 48.0f;
    s.size = s.fullSize;
    radiation.push_back(s);
}

void GUI_SplatManager::Update(float dt)
{
    for (Splat& s : glows) {
        s.time += dt;
        const float t = std::clamp(s.time / kGlowMs, 0.0f, 1.0f);
        s.alpha = 1.0f - t;
        if (s.alpha > 0.0f)
            s.size = t * 48.0f + 2.0f;
        else
            s.active = false;
    }
    for (Splat& s : radiation) {
        s.time += dt;
        const float t = std::clamp(s.time / kRadiationMs, 0.0f, 1.0f);
        s.alpha = std::clamp(2.0f * std::sin(t * 3.1415927f), 0.0f, 1.0f);
        if (t < 1.0f)
            s.size = s.fullSize;
        else
            s.active = false;
    }
    auto gone = [](const Splat& s) { return !s.active; };
    glows.erase(std::remove_if(glows.begin(), glows.end(), gone), glows.end());
    radiation.erase(std::remove_if(radiation.begin(), radiation.end(), gone), radiation.end());
}

bool GUI_SplatManager::StageSplat(const Splat& s, ScreenVertex2 quad[4]) const
{
    const GUI_Map& map = GUI_Map::GetInstance();
    const float h = ZoomScale * s.size * 0.5f;
    float cx, cy;
    ship->LocalToWorld(s.key.x, s.key.y, ship->sine, ship->cosine, cx, cy);
    cx = (cx - map.cameraX) * ZoomScale;
    cy = (cy - map.cameraY) * ZoomScale;
    const float sn = ship->sine, cs = ship->cosine;
    const float ox[4] = {-h, h, -h, h}, oy[4] = {-h, -h, h, h};
    const float sw = static_cast<float>(map.GetScreenWidth()), sh = static_cast<float>(map.GetScreenHeight());
    const float width = ship->GetWidth() > 0.0f ? ship->GetWidth() : 1.0f;
    const float height = ship->GetHeight() > 0.0f ? ship->GetHeight() : width;
    const float uc = s.key.x / width + 0.5f, vc = s.key.y / height + 0.5f;
    const float e = s.size / width / 2.0f;
    ScreenVertex corners[4];
    bool inside = false;
    for (int k = 0; k < 4; ++k) {
        const float x = cx + ox[k] * cs - oy[k] * sn, y = cy + ox[k] * sn + oy[k] * cs;
        inside = inside || (x > 0.0f && x < sw && y > 0.0f && y < sh);
        corners[k] = {x, y, 0.0f, 1.0f, 0, uc + (ox[k] < 0 ? -e : e), vc + (oy[k] < 0 ? -e : e)};
    }
    if (!inside)
        return false;
    SetMaskedCorners(quad, corners, static_cast<uint8_t>(std::lround(std::clamp(s.alpha, 0.0f, 1.0f) * 255.0f)),
                     s.u0, s.v0, s.u1, s.v1);
    return true;
}

void GUI_SplatManager::Draw()
{
    Update(GUI_BattleGUI::GetInstance().scaledFrameTime);
    lastDrawn = 0;
    if (glows.empty() && radiation.empty())
        return;
    MaskedQuadBatch& masked = MaskedQuadBatch::Shared();
    masked.Begin(MaskedQuadBatch::ColourFromStage1, false);
    const TextureHandle hull = hullSprite.GetTextureForDraw();
    ScreenVertex2 quad[4];
    for (const Splat& s : glows) {
        if (StageSplat(s, quad)) {
            masked.Add(hull, EffectTextures::Get(EffectTextures::ARMOUR_GLOW), quad);
            ++lastDrawn;
        }
    }
    for (const Splat& s : radiation) {
        if (StageSplat(s, quad)) {
            masked.Add(hull, EffectTextures::Get(EffectTextures::RADIATION), quad);
            ++lastDrawn;
        }
    }
    masked.End();
}
