#include "battle/BattleLauncher.h"

#include "app/Game.h"
#include "engine/GDebugLog.h"
#include "sim/SIM_Battle.h"
#include "sim/SIM_Scenario.h"

bool BattleLauncher::ParseRequest(const std::string& text, BattleLaunchRequest& out)
{
    const size_t colon = text.find(':');
    const std::string name = text.substr(0, colon);
    if (name.empty())
        return false;
    int difficulty = 0;
    if (colon != std::string::npos) {
        const std::string level = text.substr(colon + 1);
        if (level == "easy")
            difficulty = SIM_Scenario::EASY;
        else if (level == "medium")
            difficulty = SIM_Scenario::MEDIUM;
        else if (level == "hard")
            difficulty = SIM_Scenario::HARD;
        else
            return false;
    }
    out.scenario = name;
    out.difficulty = difficulty;
    return true;
}

bool BattleLauncher::Launch(const BattleLaunchRequest& request, const std::string& fleetFile)
{
    SIM_Scenario* scenario = SIM_Scenario::FindByName(request.scenario);
    if (!scenario) {
        LOG_ERROR("No such scenario for the battle: " + request.scenario);
        return false;
    }
    const std::string fleet = fleetFile.empty() ? std::string(kDefaultFleet) : fleetFile;
    if (!StartBattleFromDeploymentFile(scenario, fleet, request.difficulty))
        return false;
    Game::GetInstance().SetMode(0);
    return true;
}
