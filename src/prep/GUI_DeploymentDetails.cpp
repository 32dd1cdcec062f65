#include "prep/GUI_DeploymentDetails.h"

namespace {
const SIM_DeployedShip* g_shown = nullptr;
bool g_open = false;
const SIM_ShipDesign* g_design = nullptr;
} // namespace

void GUI_DeploymentDetails::Open(const SIM_DeployedShip* ship)
{
    g_shown = ship;
    g_open = ship != nullptr;
}

void GUI_DeploymentDetails::Close()
{
    g_shown = nullptr;
    g_open = false;
}

bool GUI_DeploymentDetails::IsOpen()
{
    return g_open;
}

const SIM_DeployedShip* GUI_DeploymentDetails::GetShown()
{
    return g_shown;
}

void GUI_DeploymentDetails::Refresh() {}

void GUI_DeploymentDetails::OpenShipDetails(const SIM_ShipDesign* design)
{
    g_design = design;
}

const SIM_ShipDesign* GUI_DeploymentDetails::GetShownDesign()
{
    return g_design;
}

void GUI_DeploymentDetails::CloseShipDetails()
{
    g_design = nullptr;
}
