#pragma once
#include <string>

// What scenarios and campaigns share: an identifier and a display key.
class SIM_ScenarioBase {
public:
    SIM_ScenarioBase() = default;
    virtual ~SIM_ScenarioBase() = default;

    std::string name;
    std::string guiname;
};
