#pragma once
#include <cstdint>
#include <string>

// What the player achieved in one scenario: wins and best honour per
// difficulty (0 easy, 1 medium, 2 hard), and a survival scenario's best
// score, kept here whether or not it was posted online.
class SIM_ScenarioScore {
public:
    static constexpr int kDifficulties = 3;

    explicit SIM_ScenarioScore(std::string name) : scenarioName(std::move(name)) {}

    bool IsBeatenAtAll() const { return beaten[0] || beaten[1] || beaten[2]; }

    int32_t highestHonour[kDifficulties] = {0, 0, 0};
    int32_t bestSurvivalScore = 0;
    std::string scenarioName;
    bool beaten[kDifficulties] = {false, false, false};
    bool tutorial = false;
    bool survival = false;
};
