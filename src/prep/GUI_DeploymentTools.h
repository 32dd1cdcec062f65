#pragma once
#include <string>

class GUI_DeploymentIcon;
class SIM_BehaviourType;
class SIM_DeployedShip;

// The deployment screen's placement state that icons, menus and the screen
// share: whether the fleet changed since it was last saved or loaded, and
// the order waiting for the player to pick the ship it refers to.
class GUI_DeploymentTools {
public:
    static GUI_DeploymentTools& GetInstance();

    // Gives the selected ships a group order ("ESCORT", "FORMATION",
    // "CO_OPERATIVE"); the first two then wait for their ship to be picked.
    // Nothing happens while a dialog holds the input.
    void ApplyGroupOrder(const std::string& orderName);
    // Aims the selected ships' waiting order at the target.
    void ApplyPick(SIM_DeployedShip* target);
    // The icon clicked while an order waits for its ship; ends the pick.
    void Pick(GUI_DeploymentIcon* icon);
    void StartPick(const SIM_BehaviourType* behaviour);

    bool fleetChanged = false;
    int pickMode = 0;
    const SIM_BehaviourType* pickBehaviour = nullptr;
};

// The lines from every selected ship to the pointer while a pick waits.
void DrawDeploymentSelection();
