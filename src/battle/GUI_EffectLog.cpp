#include "battle/GUI_EffectLog.h"

#include <algorithm>

GUI_EffectLog& GUI_EffectLog::GetInstance()
{
    static GUI_EffectLog instance;
    return instance;
}

void GUI_EffectLog::Add(const GUI_EffectRecord& record)
{
    if (!enabled)
        return;
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
