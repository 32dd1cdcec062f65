// A mutated deployment through the fleet loader, against a scenario with
// limits. Totals must stay finite and within their bounds.
#include "FuzzContent.h"
#include "FuzzFiles.h"
#include "sim/SIM_DeployedFleet.h"
#include "sim/SIM_DeployedShip.h"
#include "sim/SIM_Scenario.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    LoadContentOnce();
    const std::string path = FuzzFile("deployment.txt", data, size);
    SIM_DeployedFleet fleet;
    fleet.Load(path, SIM_Scenario::FindByName("supply1"), false);
    fleet.ExceedsSupplyLimits(SIM_Scenario::FindByName("supply1"));
    fleet.HasDisabledModules(SIM_Scenario::FindByName("scenario1"));
    if (!std::isfinite(fleet.GetTotalCost()) || fleet.GetTotalShips() < 0)
        abort();
    for (const auto& ship : fleet.GetShips())
        if (ship->quantity < 1 || ship->quantity > SIM_DeployedShip::kMaxQuantity || !std::isfinite(ship->x) ||
            !std::isfinite(ship->y) || !std::isfinite(ship->angle))
            abort();
    return 0;
}
