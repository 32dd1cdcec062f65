#include "sim/SIM_BattleArea.h"

#include "sim/SIM_Scenario.h"

SIM_BattleArea& SIM_BattleArea::Get()
{
    if (provider)
        return provider();
    static SIM_BattleArea headless;
    return headless;
}

void SIM_BattleArea::SetUpForBattle(const SIM_Scenario* scenario)
{
    // No scenario: the size stays as it was.
    if (scenario) {
        width = scenario->GetMapSizeX();
        height = scenario->GetMapSizeY();
    }
}

bool SIM_BattleArea::IsOffScreen(float x, float y, float margin) const
{
    return x < -margin || x > width + margin || y < -margin || y > height + margin;
}
