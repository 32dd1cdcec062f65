#include "sim/SIM_DeploymentFile.h"

#include "engine/APP_UserFolders.h"
#include "engine/GDebugLog.h"
#include "engine/GFileHelpers.h"
#include "engine/GSafeFile.h"
#include "engine/StrFormat.h"
#include "sim/SIM_ContentFiles.h"
#include "sim/SIM_DeployedFleet.h"


std::string FormatDeployedShipRecord(int index, SIM_DeployedShip& ship)
{
    std::string text = StrFormat("[ship%d]\n", index);
    text += StrFormat("shipid = %d\n", ship.shipId);
    text += StrFormat("name = %s\n", OneLine(ship.name).c_str());
    text += StrFormat("design = %s\n", OneLine(ship.design).c_str());
    text += StrFormat("pos = %d,%d\n", TruncateToInt(ship.x), TruncateToInt(ship.y));
    text += StrFormat("quantity = %d\n", ship.quantity);
    text += StrFormat("angle = %d\n", TruncateToInt(ship.angle));
    text += ship.orders.SaveToText();
    text += "\n";
    return text;
}

void WriteDeployedShipRecord(int index, SIM_DeployedShip& ship, GSafeFile& file)
{
    file.Write(FormatDeployedShipRecord(index, ship));
}

bool WriteDeploymentFile(const std::string& filePath, SIM_DeployedFleet& fleet)
{
    std::vector<SIM_DeployedShip*> ships;
    for (const SIM_DeployedFleet::ShipPtr& ship : fleet.GetShips())
        ships.push_back(ship.get());
    return WriteDeploymentFile(filePath, fleet.GetFleetName(), ships);
}

bool WriteDeploymentFile(const std::string& filePath, const std::string& fleetName,
                         const std::vector<SIM_DeployedShip*>& ships)
{
    size_t slash = filePath.find_last_of('/');
    if (slash != std::string::npos && slash > 0)
        EnsureDirectoryExists(filePath.substr(0, slash));

    GSafeFile file(filePath);
    if (!file.IsOpen()) {
        LOG_ERROR(StrFormat("Failed attempting to write file: [%s]", filePath.c_str()));
        return false;
    }
    if (!fleetName.empty())
        file.Write(StrFormat("[config]\nfleetname = %s\n\n", OneLine(fleetName).c_str()));
    int index = 0;
    for (SIM_DeployedShip* ship : ships)
        if (ship)
            WriteDeployedShipRecord(index++, *ship, file);
    if (!file.Commit()) {
        LOG_ERROR(StrFormat("Failed attempting to write file: [%s]", filePath.c_str()));
        return false;
    }
    return true;
}

std::string GetDeploymentFilePath(const std::string& scenarioName, const std::string& fileName)
{
    const std::string root = APP_UserFolders::GetInstance().Get(APP_UserFolders::DEPLOYMENTS);
    return root + "/" + SanitiseFileName(scenarioName) + "/" + SanitiseFileName(fileName);
}
