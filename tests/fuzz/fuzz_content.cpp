// Mutated content files through every loader: module types, hulls, designs,
// races, scenarios, deployed fleets, behaviour rows and default orders. The
// first byte picks the loader, the rest is the file. Run from the repository
// root so the real content is there to refer to.
#include "FuzzContent.h"
#include "FuzzFiles.h"
#include "engine/GSpreadsheet.h"
#include "sim/SIM_BehaviourType.h"
#include "sim/SIM_DefaultOrders.h"
#include "sim/SIM_DeployedFleet.h"
#include "sim/SIM_Race.h"
#include "sim/SIM_Scenario.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_ShipHull.h"
#include "sim/SIM_ShipModuleType.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {
const std::string kFile = "content.txt";
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    LoadContentOnce();
    if (size < 1)
        return 0;
    const int kind = data[0] % 8;
    std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::string file = FuzzFile(kFile, data + 1, size - 1);

    switch (kind) {
    case 0: {
        SIM_ShipModuleType type(file);
        break;
    }
    case 1: {
        SIM_ShipHull hull;
        hull.Read(file);
        break;
    }
    case 2: {
        SIM_ShipDesign design;
        design.Read(file);
        design.CalculateTotals();
        design.IsValid();
        break;
    }
    case 3: {
        SIM_Race race(file);
        race.GetNextCrewName();
        break;
    }
    case 4: {
        SIM_Scenario scenario;
        scenario.Load(file);
        scenario.GetEnemyFleetPath();
        break;
    }
    case 5: {
        SIM_DeployedFleet fleet;
        fleet.Load(file, SIM_Scenario::FindByName("scenario1"), false);
        fleet.ExceedsSupplyLimits(SIM_Scenario::FindByName("supply1"));
        break;
    }
    case 6: {
        GSpreadsheet sheet("");
        sheet.LoadFromText(text);
        for (const std::string& row : sheet.rows)
            SIM_BehaviourType behaviour(row);
        break;
    }
    default: {
        SIM_DefaultOrders orders;
        orders.Read(file);
        orders.ToText();
        break;
    }
    }
    return 0;
}
