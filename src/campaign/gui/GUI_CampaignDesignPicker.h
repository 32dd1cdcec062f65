#pragma once
#include "gui/GUI_Interlace.h"
#include "gui/GUI_WindowBase.h"

#include <vector>

class GUI_CampaignDesignIcon;
class GUI_ScrollingWindow;
class SIM_CampaignEncounter;
class SIM_ShipDesign;

// The shipyard's two-column list of the player's designs of the campaign's
// race, led by the new-design icon; each says whether it can be built at
// this planet now.
class GUI_CampaignDesignPicker : public GUI_WindowBase {
public:
    static constexpr int kIconSize = 64;
    static constexpr int kColumns = 2;

    explicit GUI_CampaignDesignPicker(SIM_CampaignEncounter* encounter);
    ~GUI_CampaignDesignPicker() override;

    void Draw() override;
    void OnWheelUp() override;
    void OnWheelDown() override;
    // Lays out the scroll bar, then lists the designs again.
    void Refresh();
    // Re-tests every icon (after a build or a squadron size change).
    void UpdateIcons();
    void ToggleFilter(int hullClass);

    static GUI_CampaignDesignPicker* GetOpen();
    // Designs a panel of that height shows at once (the new-design icon takes a cell).
    static int CellCapacity(int panelHeight);
    const std::vector<SIM_ShipDesign*>& GetDesigns() const { return m_designs; }
    const std::vector<GUI_CampaignDesignIcon*>& GetIcons() const { return m_icons; }
    GUI_ScrollingWindow* GetScrollBar() const { return m_scroll; }

private:
    void RebuildList();
    void LayOut();

    std::vector<SIM_ShipDesign*> m_designs;
    std::vector<GUI_CampaignDesignIcon*> m_icons;
    SIM_CampaignEncounter* m_encounter;
    GUI_ScrollingWindow* m_scroll = nullptr;
    bool m_filters[3] = {true, true, true};
    GUI_Interlace m_interlace;
};
