#pragma once
#include <string>

// One battle-wide rule of a scenario: a multiplier (with an amount) or a flag.
struct SIM_Anomaly {
    enum Keyword {
        SHIELD_STRENGTH_MULTIPLIER = 0,
        ENGINE_SPEED_MULTIPLIER,
        WEAPON_RANGE_MULTIPLIER,
        ENGINES_REQUIRED,
        SHIELDS_INOPERABLE,
        FIGHTERS_INOPERABLE,
        CRUISERS_INOPERABLE,
        CLOAK_INOPERABLE,
        TRACTOR_INOPERABLE,
        REPAIR_INOPERABLE,
        KEYWORD_COUNT
    };
    static constexpr int kFirstFlag = ENGINES_REQUIRED;

    SIM_Anomaly() = default;
    SIM_Anomaly(const std::string& keyword, float amount, bool hasAmount)
        : keyword(keyword), amount(amount), hasAmount(hasAmount)
    {
    }

    std::string keyword;
    float amount = 0.0f;
    bool hasAmount = false;
};

// The keyword text of an index, or "" outside the table.
const char* GetAnomalyKeyword(int index);
// The table index of a keyword, -1 when it is none.
int FindAnomalyIndex(const std::string& keyword);
// Looks up every keyword's display name ("UI_" + keyword) in the string table.
void BuildAnomalyTable();
// The display name of a keyword; "" for a keyword that is none.
std::string FindAnomalyKeyword(const std::string& keyword);
// "ANOMALYDESC_" + keyword, with "<AMOUNT>" shown as a percentage change.
std::string GetAnomalyDescription(const SIM_Anomaly& anomaly);
