#pragma once
#include <cstdint>
#include <string>

class SIM_Scenario;

// Starting a battle straight from the command line: "SCENARIO[:easy|medium|
// hard]" with the player's fleet from a deployed-fleet file.
struct BattleLaunchRequest {
    std::string scenario;
    int difficulty = 0; // 0 easy, 1 medium, 2 hard
    // Above 0: the battle starts from this seed, as the headless runner's
    // --seed does, and replays the runner's battle frame for frame.
    uint64_t seed = 0;
};

class BattleLauncher {
public:
    static constexpr const char* kDefaultFleet = "data/sample deployment/deployed.txt";

    // False (nothing changed) for an empty name or an unknown difficulty.
    static bool ParseRequest(const std::string& text, BattleLaunchRequest& out);
    // Sets the battle up and enters the battle screen (mode 0); false,
    // logged and told in error, when the scenario is unknown, the fleet does
    // not fit the scenario's cost, pilot and supply limits (as the deployment
    // screen would refuse it) or the battle cannot start.
    static bool Launch(const BattleLaunchRequest& request, const std::string& fleetFile,
                       std::string* error = nullptr);
    // The limits check alone: empty when the fleet file fits the scenario.
    static std::string CheckFleetFile(SIM_Scenario* scenario, const std::string& fleetFile, int difficulty);
};
