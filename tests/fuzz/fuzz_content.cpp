// Mutated content files through every loader: module types, hulls, designs,
// races, scenarios, deployed fleets, behaviour rows and default orders. The
// first byte picks the loader, the rest is the file. Run from the repository
// root so the real content is there to refer to.
#include "engine/GSafeFile.h"
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
#include <unistd.h>

namespace {
std::string g_file;

void LoadContentOnce()
{
    static bool loaded = false;
    if (loaded)
        return;
    loaded = true;
    SIM_Scenario::LoadAll();
    SIM_BehaviourType::LoadAll();
    SIM_Race::LoadAll();
    SIM_ShipModuleType::LoadAll();
    SIM_ShipHull::LoadAll();
    SIM_ShipDesign::LoadAll();
    // The content stays loaded for every input and goes at exit.
    atexit([] {
        SIM_ShipDesign::FreeAll();
        SIM_ShipHull::FreeAll();
        SIM_ShipModuleType::FreeAll();
        SIM_Race::FreeAll();
        SIM_BehaviourType::FreeAll();
        SIM_Scenario::FreeAll();
        unlink(g_file.c_str());
    });
    g_file = "/tmp/qlm_fuzz_content_" + std::to_string(getpid()) + ".txt";
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    LoadContentOnce();
    if (size < 1)
        return 0;
    const int kind = data[0] % 8;
    std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    if (!WriteFileAtomically(g_file, text))
        return 0;

    switch (kind) {
    case 0: {
        SIM_ShipModuleType type(g_file);
        break;
    }
    case 1: {
        SIM_ShipHull hull;
        hull.Read(g_file);
        break;
    }
    case 2: {
        SIM_ShipDesign design;
        design.Read(g_file);
        design.CalculateTotals();
        design.IsValid();
        break;
    }
    case 3: {
        SIM_Race race(g_file);
        race.GetNextCrewName();
        break;
    }
    case 4: {
        SIM_Scenario scenario;
        scenario.Load(g_file);
        scenario.GetEnemyFleetPath();
        break;
    }
    case 5: {
        SIM_DeployedFleet fleet;
        fleet.Load(g_file, SIM_Scenario::FindByName("scenario1"), false);
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
        orders.Read(g_file);
        orders.ToText();
        break;
    }
    }
    return 0;
}
