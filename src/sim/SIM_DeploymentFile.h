#pragma once
#include <string>
#include <vector>

class GSafeFile;
class SIM_DeployedFleet;
class SIM_DeployedShip;

// Writers of the deployed-fleet file. The deployment screen calls them over
// its icons' ship records; fleets round-trip through SIM_DeployedFleet::Load.

// One ship section. Drops the ship's untargeted ship-linked orders first.
std::string FormatDeployedShipRecord(int index, SIM_DeployedShip& ship);
void WriteDeployedShipRecord(int index, SIM_DeployedShip& ship, GSafeFile& file);

// The whole fleet, ships in list order (a "config" section only when the
// fleet has a name). Creates the file's folder; false when it can't be
// written, with the old file left whole.
bool WriteDeploymentFile(const std::string& filePath, SIM_DeployedFleet& fleet);
// The same for ships in the caller's order (the deployment screen's icons),
// with a "config" section only when fleetName is not empty.
bool WriteDeploymentFile(const std::string& filePath, const std::string& fleetName,
                         const std::vector<SIM_DeployedShip*>& ships);

// <user deployments folder>/<scenario name made safe>/<file name made safe>.
std::string GetDeploymentFilePath(const std::string& scenarioName, const std::string& fileName);
