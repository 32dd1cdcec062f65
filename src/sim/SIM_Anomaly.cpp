#include "sim/SIM_Anomaly.h"

#include "engine/GHashTable.h"
#include "engine/StrFormat.h"
#include "engine/TextHelpers.h"

namespace {
const char* const kKeywords[SIM_Anomaly::KEYWORD_COUNT] = {
    "SHIELD_STRENGTH_MULTIPLIER", "ENGINE_SPEED_MULTIPLIER", "WEAPON_RANGE_MULTIPLIER", "ENGINES_REQUIRED",
    "SHIELDS_INOPERABLE",         "FIGHTERS_INOPERABLE",     "CRUISERS_INOPERABLE",     "CLOAK_INOPERABLE",
    "TRACTOR_INOPERABLE",         "REPAIR_INOPERABLE",
};

struct AnomalyTable {
    std::string displayNames[SIM_Anomaly::KEYWORD_COUNT];
    bool built = false;
};

AnomalyTable& Table()
{
    static AnomalyTable table;
    return table;
}
} // namespace

const char* GetAnomalyKeyword(int index)
{
    if (index < 0 || index >= SIM_Anomaly::KEYWORD_COUNT)
        return "";
    return kKeywords[index];
}

int FindAnomalyIndex(const std::string& keyword)
{
    for (int i = 0; i < SIM_Anomaly::KEYWORD_COUNT; ++i)
        if (keyword == kKeywords[i])
            return i;
    return -1;
}

void BuildAnomalyTable()
{
    AnomalyTable& table = Table();
    for (int i = 0; i < SIM_Anomaly::KEYWORD_COUNT; ++i)
        table.displayNames[i] = GetString((std::string("UI_") + kKeywords[i]).c_str());
    table.built = true;
}

std::string FindAnomalyKeyword(const std::string& keyword)
{
    int index = FindAnomalyIndex(keyword);
    if (index < 0)
        return std::string();
    if (!Table().built)
        BuildAnomalyTable();
    return Table().displayNames[index];
}

std::string GetAnomalyDescription(const SIM_Anomaly& anomaly)
{
    std::string text = GetString(("ANOMALYDESC_" + anomaly.keyword).c_str());
    if (anomaly.hasAmount)
        ReplaceSubstring(text, "<AMOUNT>", StrFormat("%.0f", (1.0 - anomaly.amount) * 100.0));
    return text;
}
