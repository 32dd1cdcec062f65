#pragma once
#include <string>

// Where the battle records what the player did (a scenario won or lost). The
// shell's usage metrics implement it; a headless run keeps its own tally.
class SIM_MetricsSink {
public:
    virtual ~SIM_MetricsSink() = default;
    virtual void SetEventFlag(const std::string& name) = 0;
};
