#pragma once
#include "engine/CTexturedSprite.h"
#include "gui/GUI_Interlace.h"
#include "gui/GUI_WindowBase.h"

#include <vector>

class GUI_CampaignModuleIcon;
class GUI_CampaignShipSummary;
class SIM_CampaignShip;
class SIM_ShipDesign;

// The hull picture, the summary and the module grid of one design, or of one
// built ship with each module's integrity. The shipyard and the ship details
// window are made of it.
class GUI_CampaignDesignDetails : public GUI_WindowBase {
public:
    static constexpr int kPictureSize = 128;
    static constexpr int kColumns = 5;
    static constexpr int kDesignCells = 25;
    static constexpr uint32_t kIntactColour = 0x4020C820u;
    static constexpr uint32_t kDamagedColour = 0x40C82020u;

    GUI_CampaignDesignDetails();
    ~GUI_CampaignDesignDetails() override;

    // Places the picture and the summary in the panel (once it has its rectangle).
    void LayOut();
    void SetDesign(SIM_ShipDesign* design, SIM_CampaignShip* ship);
    void Draw() override;

    // Cells of the grid: a ship rounds its modules up to whole rows, a design
    // alone always shows five rows.
    static int CellCount(int moduleCount, bool forShip);

    GUI_CampaignShipSummary* GetSummary() const { return m_summary; }
    SIM_ShipDesign* GetDesign() const { return m_design; }
    const std::vector<GUI_CampaignModuleIcon*>& GetModuleIcons() const { return m_icons; }

private:
    void RebuildModuleGrid();

    SIM_CampaignShip* m_ship = nullptr;
    SIM_ShipDesign* m_design = nullptr;
    CTexturedSprite m_picture;
    GUI_CampaignShipSummary* m_summary = nullptr;
    std::vector<GUI_CampaignModuleIcon*> m_icons;
    GUI_Interlace m_interlace;
};
