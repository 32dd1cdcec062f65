#pragma once
#include "engine/CTexturedSprite.h"
#include "gui/GUI_Interlace.h"
#include "gui/GUI_OneOpen.h"
#include "gui/GUI_WindowBase.h"

#include <string>
#include <vector>

class GUI_DeployedShipModuleIcon;
class SIM_CampaignShip;
class SIM_ShipDesign;

// The box under the deployment details: the design's hull picture, its
// shield, armour and hit-point figures, and one icon per fitted module (a
// click describes the module). For a campaign ship the icons are the ship's
// own modules with their integrity. One open at a time.
class GUI_DeploymentShipDetails : public GUI_WindowBase, public GUI_OneOpen<GUI_DeploymentShipDetails> {
public:
    static constexpr int kWidth = 188;
    static constexpr int kHeight = 293;
    static constexpr int kIconSize = 32;
    static constexpr int kIconsPerRow = 5;

    struct Defence {
        float shields = 0.0f;
        float armour = 0.0f; // mean per module
        float hitpoints = 0.0f;
    };

    // campaignShip: the ship whose modules are shown (null: the design's).
    GUI_DeploymentShipDetails(int x, int y, const SIM_CampaignShip* campaignShip = nullptr);
    ~GUI_DeploymentShipDetails() override;

    // Shield points (stacked), the armour mean over all modules (0 for a
    // design without modules) and the modules' hit points.
    static Defence ComputeDefence(const SIM_ShipDesign& design);

    void SetDesign(const SIM_ShipDesign* design);
    void Update() override;
    void Draw() override;

    const SIM_ShipDesign* GetDesign() const { return m_design; }
    const SIM_CampaignShip* GetCampaignShip() const { return m_campaignShip; }
    const Defence& GetDefence() const { return m_defence; }
    const std::vector<std::string>& GetRows() const { return m_rows; }
    const std::vector<GUI_DeployedShipModuleIcon*>& GetIcons() const { return m_icons; }

private:
    void BuildIcons();

    const SIM_ShipDesign* m_design = nullptr;
    const SIM_CampaignShip* m_campaignShip = nullptr;
    Defence m_defence;
    std::vector<std::string> m_rows;
    std::vector<GUI_DeployedShipModuleIcon*> m_icons;
    CTexturedSprite m_blueprint;
    GUI_Interlace m_pattern;
};
