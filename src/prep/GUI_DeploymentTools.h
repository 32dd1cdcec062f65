#pragma once
#include <string>

class GUI_DeploymentIcon;

// The deployment screen's placement state that icons, menus and the screen
// share: whether the fleet changed since it was last saved or loaded, and
// the group order waiting for the player to pick the ship it refers to.
class GUI_DeploymentTools {
public:
    static GUI_DeploymentTools& GetInstance();

    // Gives the selected ships a group order ("ESCORT", "FORMATION",
    // "CO_OPERATIVE"). Group orders arrive with the order tools; until then
    // the request is only counted.
    void ApplyGroupOrder(const std::string& orderName);
    // The icon clicked while a group order waits for its ship.
    void Pick(GUI_DeploymentIcon* icon);

    bool fleetChanged = false;
    int pickMode = 0;
    int groupOrderRequests = 0;
    std::string lastGroupOrder;
};
