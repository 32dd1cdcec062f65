#pragma once

class SIM_DeployedShip;
class SIM_ShipDesign;

// The deployment screen's details of one placed ship, and the design
// details box. The windows themselves arrive with the ship details; until
// then only which ship (or design) they would show is kept, so that
// selection and deletion keep their rules.
class GUI_DeploymentDetails {
public:
    static void Open(const SIM_DeployedShip* ship);
    static void Close();
    static bool IsOpen();
    static const SIM_DeployedShip* GetShown();
    // Rebuilds the open window after its ship's orders changed.
    static void Refresh();

    // The design details box (an unavailable design icon opens it).
    static void OpenShipDetails(const SIM_ShipDesign* design);
    static const SIM_ShipDesign* GetShownDesign();
    static void CloseShipDetails();
};
