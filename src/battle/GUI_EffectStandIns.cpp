#include "battle/GUI_EffectStandIns.h"

#include <algorithm>

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

void SpawnExplosion(int type, float x, float y, GUI_RenderObject* /*parent*/, float /*dx*/, float /*dy*/)
{
    GUI_EffectLog::GetInstance().Add({"explosion", type, x, y, 0.0f, 0.0f, {}});
}

void SpawnBlastGlare(float size, float x, float y, GUI_RenderObject* /*parent*/)
{
    GUI_EffectLog::GetInstance().Add({"blastglare", 0, x, y, size, 0.0f, {}});
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
