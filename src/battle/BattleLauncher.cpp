#include "battle/BattleLauncher.h"

#include "app/Game.h"
#include "engine/GDebugLog.h"
#include "sim/SIM_Battle.h"
#include "sim/SIM_DeployedFleet.h"
#include "sim/SIM_FleetLimits.h"
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

std::string BattleLauncher::CheckFleetFile(SIM_Scenario* scenario, const std::string& fleetFile, int difficulty)
{
    if (!scenario)
        return "no scenario";
    SIM_DeployedFleet fleet;
    // Read as the deployment screen reads it: forbidden ships are dropped.
    if (!fleet.LoadForRace(fleetFile, scenario, std::string()))
        return "the fleet file " + fleetFile + " cannot be read";
    const int previous = scenario->GetDifficulty();
    scenario->SetDifficulty(difficulty);
    const SIM_FleetLimits limits(*scenario, fleet);
    const int code = limits.CheckFleet();
    const std::string text = code == SIM_FleetLimits::AVAILABLE ? std::string() : limits.Describe(code);
    scenario->SetDifficulty(previous);
    return text;
}

bool BattleLauncher::Launch(const BattleLaunchRequest& request, const std::string& fleetFile, std::string* error)
{
    auto fail = [error](const std::string& text) {
        LOG_ERROR(text);
        if (error)
            *error = text;
        return false;
    };
    SIM_Scenario* scenario = SIM_Scenario::FindByName(request.scenario);
    if (!scenario)
        return fail("No such scenario for the battle: " + request.scenario);
    const std::string fleet = fleetFile.empty() ? std::string(kDefaultFleet) : fleetFile;
    const std::string refused = CheckFleetFile(scenario, fleet, request.difficulty);
    if (!refused.empty())
        return fail("Fleet refused for " + request.scenario + ": " + refused);
    const bool started = request.seed
                             ? StartSeededBattleFromDeploymentFile(scenario, fleet, request.difficulty, request.seed)
                             : StartBattleFromDeploymentFile(scenario, fleet, request.difficulty);
    if (!started)
        return fail("The battle could not start: see the error log");
    Game::GetInstance().SetMode(0);
    return true;
}
