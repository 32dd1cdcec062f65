#pragma once
#include "campaign/gui/GUI_CampaignScrollingPanel.h"

#include <vector>

class GUI_CampaignDesignIcon;
class GUI_FilterButton;
class SIM_CampaignEncounter;
class SIM_ShipDesign;

// The shipyard's two-column list of the player's designs of the campaign's
// race, led by the new-design icon; each says whether it can be built at
// this planet now. Three buttons above the list show or hide a hull class.
class GUI_CampaignDesignPicker : public GUI_CampaignScrollingPanel {
public:
    static constexpr int kIconSize = 64;
    static constexpr int kColumns = 2;
    static constexpr int kFilterSide = 21;
    // The filter buttons' strip above the list.
    static constexpr int kFilterStrip = 26;

    explicit GUI_CampaignDesignPicker(SIM_CampaignEncounter* encounter);
    ~GUI_CampaignDesignPicker() override;

    // Lays out the scroll bar, then lists the designs again.
    void Refresh();
    // Re-tests every icon (after a build or a squadron size change).
    void UpdateIcons();
    void ToggleFilter(int hullClass);
    void LayOut() override;

    static GUI_CampaignDesignPicker* GetOpen();
    // Designs a list of that height shows at once (the new-design icon takes a cell).
    static int CellCapacity(int listHeight);
    const std::vector<SIM_ShipDesign*>& GetDesigns() const { return m_designs; }
    const std::vector<GUI_CampaignDesignIcon*>& GetIcons() const { return m_icons; }
    GUI_FilterButton* GetFilterButton(int hullClass) const { return m_filterButtons[hullClass]; }
    bool GetFilter(int hullClass) const { return m_filters[hullClass]; }

protected:
    void DrawContent() override;

private:
    static void OnFilter(std::intptr_t hullClass);
    void RebuildList();

    std::vector<SIM_ShipDesign*> m_designs;
    std::vector<GUI_CampaignDesignIcon*> m_icons;
    SIM_CampaignEncounter* m_encounter;
    bool m_filters[3] = {true, true, true};
    GUI_FilterButton* m_filterButtons[3] = {};
};
