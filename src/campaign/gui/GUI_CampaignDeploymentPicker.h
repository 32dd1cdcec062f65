#pragma once
#include "campaign/gui/GUI_CampaignScrollingPanel.h"

#include <string>
#include <utility>
#include <vector>

class GUI_CampaignShipIcon;
class GUI_DeploymentIcon;
class SIM_CampaignFleet;
class SIM_CampaignShip;

// The column of campaign ships still to be placed for a battle, two tiles a
// row; a placed ship's tile waits aside until its map icon is removed.
class GUI_CampaignDeploymentPicker : public GUI_CampaignScrollingPanel {
public:
    static constexpr int kColumns = 2;
    static constexpr int kCell = 64;

    explicit GUI_CampaignDeploymentPicker(const std::vector<SIM_CampaignFleet*>& fleets);
    ~GUI_CampaignDeploymentPicker() override;

    void LayOut() override;
    static int RowsThatFit(int panelHeight);

    // The tile goes to the placed list, remembering the map icon of its ship.
    void MarkPlaced(GUI_CampaignShipIcon* icon, GUI_DeploymentIcon* mapIcon);
    // The tile of the removed map icon back at the end of the list; false
    // when no placed tile remembers it.
    bool PutIconBack(const GUI_DeploymentIcon* mapIcon);
    GUI_CampaignShipIcon* FindAvailable(int shipId, const std::string& name) const;

    const std::vector<GUI_CampaignShipIcon*>& GetAvailable() const { return m_available; }
    size_t GetPlacedCount() const { return m_placed.size(); }

protected:
    void DrawContent() override;

private:
    std::vector<GUI_CampaignShipIcon*> m_available;
    std::vector<std::pair<GUI_CampaignShipIcon*, GUI_DeploymentIcon*>> m_placed;
};
