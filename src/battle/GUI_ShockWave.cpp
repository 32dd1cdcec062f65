#include "battle/GUI_ShockWave.h"

#include <algorithm>
#include <cmath>

#include "battle/EffectDrawing.h"
#include "battle/EffectTextures.h"
#include "battle/GUI_BattleGUI.h"
#include "battle/GUI_Map.h"
#include "engine/QuadRunBatch.h"

std::vector<GUI_ShockWave>& GetShockWaves()
{
    static auto* list = NewReservedList<GUI_ShockWave>(64);
    return *list;
}

GUI_ShockWave::GUI_ShockWave(float r, float life, float px, float py)
    : radius(r), lifetime(life), x(px), y(py)
{
    growthSpeed = lifetime > 0.0f ? radius / lifetime : 0.0f;
}

void GUI_ShockWave::Draw()
{
    drawnLastFrame = false;
    const float ms = GUI_BattleGUI::GetInstance().scaledFrameTime;
    elapsed += ms;
    if (!started) {
        if (!(elapsed > kDelayMs))
            return;
        started = 1;
        elapsed -= kDelayMs;
        return;
    }
    if (elapsed > lifetime) {
        alive = 0;
        return;
    }
    fade = std::sin(3.14159265f * std::clamp(elapsed / lifetime, 0.0f, 1.0f));
    currentRadius += growthSpeed * ms;
    growthSpeed *= 1.0f - ms * 0.0008f;
    const GUI_Map& map = GUI_Map::GetInstance();
    ring.SetSize(currentRadius * ZoomScale);
    ring.SetAlpha(static_cast<uint8_t>(std::clamp(fade, 0.0f, 1.0f) * 255.0f));
    ring.Place((x - map.cameraX) * ZoomScale, (y - map.cameraY) * ZoomScale);
    const TextureHandle texture = EffectTextures::Get(EffectTextures::SHOCKWAVE);
    QuadRunBatch& batch = QuadRunBatch::Shared();
    for (int i = 0; i < 4; ++i)
        if (ring.GetQuarter(i).IsOnScreen())
            batch.Add(texture, true, ring.GetQuarter(i).m_vertices);
    drawnLastFrame = true;
}

void SpawnShockWave(float radius, float lifetime, float x, float y)
{
    GetShockWaves().emplace_back(radius, lifetime, x, y);
}

void DrawShockWaves()
{
    auto& list = GetShockWaves();
    if (list.empty())
        return;
    {
        EffectBatchScope scope;
        for (GUI_ShockWave& wave : list)
            wave.Draw();
    }
    list.erase(std::remove_if(list.begin(), list.end(), [](const GUI_ShockWave& w) { return !w.alive; }), list.end());
}

void ClearShockWaves()
{
    GetShockWaves().clear();
}
