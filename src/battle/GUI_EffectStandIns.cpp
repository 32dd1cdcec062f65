#include "battle/GUI_EffectStandIns.h"

#include <algorithm>
#include <cmath>

#include "battle/CameraShake.h"
#include "battle/GUI_Map.h"

GUI_EffectLog& GUI_EffectLog::GetInstance()
{
    static GUI_EffectLog instance;
    return instance;
}

void GUI_EffectLog::Add(const GUI_EffectRecord& record)
{
    // Bounded: a long battle must not grow this without end.
    if (records.size() >= kMaxRecords)
        records.erase(records.begin(), records.begin() + static_cast<long>(kMaxRecords / 2));
    records.push_back(record);
}

size_t GUI_EffectLog::Count(const std::string& kind) const
{
    return static_cast<size_t>(
        std::count_if(records.begin(), records.end(), [&](const GUI_EffectRecord& r) { return r.kind == kind; }));
}

void SpawnDebris(int pieces, float size, bool heavy, float x, float y, float /*dx*/, float /*dy*/)
{
    GUI_EffectLog::GetInstance().Add({"debris", pieces, x, y, size, heavy ? 1.0f : 0.0f, {}});
}

void SpawnPlumes(GUI_Ship* /*parent*/, float x, float y)
{
    GUI_EffectLog::GetInstance().Add({"plumes", 0, x, y, 0.0f, 0.0f, {}});
}

void SpawnBlastGlare(float size, float x, float y, GUI_RenderObject* /*parent*/)
{
    GUI_EffectLog::GetInstance().Add({"blastglare", 0, x, y, size, 0.0f, {}});
    const GUI_Map& map = GUI_Map::GetInstance();
    if (!map.HasScreen() || map.IsOffScreen(x, y, 128.0f))
        return;
    const float sx = (x - map.cameraX) * ZoomScale, sy = (y - map.cameraY) * ZoomScale;
    const float w = static_cast<float>(map.GetScreenWidth());
    const float h = static_cast<float>(map.GetScreenHeight());
    const float d = std::sqrt((sx - w * 0.5f) * (sx - w * 0.5f) + (sy - h * 0.5f) * (sy - h * 0.5f));
    const float fall = d <= 400.0f ? 0.0f : std::clamp((d - 400.0f) / 400.0f, 0.0f, 1.0f);
    const float k = std::clamp(std::clamp(ZoomScale * 0.25f, 0.0f, 1.0f) * std::clamp(size / 64.0f, 0.0f, 1.0f) - fall,
                               0.0f, 1.0f) *
                    (1024.0f / w);
    if (k > 0.1f)
        CameraShake::GetInstance().Start(k);
}

void SpawnSmoke(float size, int count, float x, float y)
{
    GUI_EffectLog::GetInstance().Add({"smoke", count, x, y, size, 0.0f, {}});
}

void SpawnShockWave(float radius, float durationMs, float x, float y)
{
    GUI_EffectLog::GetInstance().Add({"shockwave", 0, x, y, radius, durationMs, {}});
}

void LaunchEscapePod(float x, float y, float heading, bool playerSide)
{
    GUI_EffectLog::GetInstance().Add({"escapepod", playerSide ? 1 : 0, x, y, 0.0f, heading, {}});
}
