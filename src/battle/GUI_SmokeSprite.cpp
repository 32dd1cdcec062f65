#include "battle/GUI_SmokeSprite.h"

#include <algorithm>
#include <cmath>

#include "battle/EffectDrawing.h"
#include "battle/EffectTextures.h"
#include "battle/GUI_BattleGUI.h"
#include "battle/GUI_Map.h"
#include "battle/VisualRandom.h"
#include "engine/GeometryHelpers.h"

namespace {

constexpr float kPi = 3.14159265f;
constexpr float kFadeInMs = 1000.0f;
constexpr float kHoldUntilMs = 8000.0f;
constexpr size_t kReserved = 512;

} // namespace

std::vector<GUI_SmokeSprite>& GetSmokeSprites()
{
    static std::vector<GUI_SmokeSprite>* list = NewReservedList<GUI_SmokeSprite>(kReserved);
    return *list;
}

GUI_SmokeSprite::GUI_SmokeSprite(float size, float spinRange, float wait, float px, float py)
    : baseSize(size), delay(wait)
{
    worldX = px;
    worldY = py;
    angle = VisualFloat() * 360.0f;
    spin = VisualRange(-spinRange, spinRange);
    extraSize = (VisualFloat() * 0.45f + 0.25f) * size;
    lifetime = VisualFloat() * 7000.0f + 15000.0f;
    maxAlpha = VisualFloat() * 108.0f + 72.0f;
    frame = SheetCell(VisualFloat(), 16);
    const float u0 = static_cast<float>(frame % 4) * 0.25f, v0 = static_cast<float>(frame / 4) * 0.25f;
    quad[0] = {0, 0, 0, 1, 0xFFFFFFFFu, u0, v0};
    quad[1] = {0, 0, 0, 1, 0xFFFFFFFFu, u0 + 0.25f, v0};
    quad[2] = {0, 0, 0, 1, 0xFFFFFFFFu, u0, v0 + 0.25f};
    quad[3] = {0, 0, 0, 1, 0xFFFFFFFFu, u0 + 0.25f, v0 + 0.25f};
}

float GUI_SmokeSprite::Fade() const
{
    if (elapsed < kFadeInMs)
        return elapsed / kFadeInMs;
    if (elapsed < kHoldUntilMs)
        return 1.0f;
    return 1.0f - (elapsed - kHoldUntilMs) / (lifetime - kHoldUntilMs);
}

bool GUI_SmokeSprite::Advance(float ms)
{
    if (state == DEAD)
        return false;
    elapsed += ms;
    if (state == WAITING) {
        if (!(elapsed > delay))
            return true;
        elapsed = 0.0f;
        state = SHOWING;
    }
    if (elapsed > kHoldUntilMs && (elapsed - kHoldUntilMs) / (lifetime - kHoldUntilMs) > 1.0f) {
        state = DEAD;
        return false;
    }
    fade = std::clamp(Fade(), 0.0f, 1.0f);
    const float swell = std::sin(std::clamp(elapsed / lifetime * 12.0f, 0.0f, 1.0f) * kPi * 0.5f);
    screenSize = (extraSize + baseSize) * swell * ZoomScale * quadScale;
    angle += ms * spin * std::max(std::cos(kPi * elapsed / lifetime), 0.1f);
    angle = FmodTurn(angle);
    if (angle < 0.0f)
        angle += 360.0f;
    return true;
}

void AddSmokeSprite(float size, float scatter, float spinRange, float minDelay, float maxDelay, float x, float y)
{
    const float px = x + VisualRange(-scatter, scatter);
    const float py = y + VisualRange(-scatter, scatter);
    GUI_SmokeSprite puff(size, spinRange, 0.0f, px, py);
    puff.quadScale = VisualRange(0.9f, 1.1f);
    puff.delay = VisualRange(minDelay, maxDelay);
    GetSmokeSprites().push_back(puff);
}

void SpawnSmoke(float size, int count, float x, float y)
{
    for (int i = 0; i < count; ++i)
        AddSmokeSprite(size, size * 0.25f, 0.05f, 0.0f, 300.0f, x, y);
    for (int i = 0; i < count; ++i)
        AddSmokeSprite(size / 5.0f, size * 0.5f, 0.1f, 200.0f, 2000.0f, x, y);
}

void DrawSmokeSprites()
{
    auto& list = GetSmokeSprites();
    if (list.empty())
        return;
    const float ms = GUI_BattleGUI::GetInstance().scaledFrameTime;
    const GUI_Map& map = GUI_Map::GetInstance();
    const TextureHandle texture = EffectTextures::Get(EffectTextures::SMOKE);
    EffectBatchScope scope;
    bool anyDead = false;
    for (GUI_SmokeSprite& puff : list) {
        if (!puff.Advance(ms)) {
            anyDead = true;
            continue;
        }
        if (puff.state != GUI_SmokeSprite::SHOWING)
            continue;
        const float h = puff.screenSize * 0.5f;
        if (map.IsOffScreen(puff.worldX, puff.worldY, h / std::max(ZoomScale, 0.01f)))
            continue;
        const uint32_t colour = (static_cast<uint32_t>(std::lround(puff.maxAlpha * puff.fade)) << 24) | 0x00FFFFFFu;
        PlaceTurnedQuad(puff.quad, (puff.worldX - map.cameraX) * ZoomScale, (puff.worldY - map.cameraY) * ZoomScale,
                        h, h, std::sin(puff.angle * 0.017453292f), std::cos(puff.angle * 0.017453292f), colour);
        scope.Batch().Add(texture, false, puff.quad);
    }
    if (anyDead)
        list.erase(std::remove_if(list.begin(), list.end(),
                                  [](const GUI_SmokeSprite& p) { return p.state == GUI_SmokeSprite::DEAD; }),
                   list.end());
}

void ClearSmokeSprites()
{
    GetSmokeSprites().clear();
}
