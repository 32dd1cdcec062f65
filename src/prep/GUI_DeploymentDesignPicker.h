#pragma once
#include "engine/CTexturedSprite.h"
#include "gui/GUI_ButtonBase.h"
#include "gui/GUI_WindowBase.h"

#include <vector>

class GUI_ScrollingWindow;
class GUI_ShipIcon;

// One of the picker's three hull-class filters (on: the class is listed).
class GUI_FilterButton : public GUI_ButtonBase {
public:
    explicit GUI_FilterButton(int hullClass);
    void Draw() override;

    int hullClass;
    bool on = true;

private:
    CTexturedSprite m_on;
    CTexturedSprite m_off;
};

// The column of designs beside the map: a square per design of the
// player's race (the enemy's in AI-fleet editing), filtered by hull class,
// plus the new-design and (with a choice of races) change-race buttons.
class GUI_DeploymentDesignPicker : public GUI_WindowBase {
public:
    static constexpr int kWidth = 89;
    static constexpr int kIconSide = 64;
    static constexpr int kFilterSide = 21;

    GUI_DeploymentDesignPicker(int left, int screenHeight);
    ~GUI_DeploymentDesignPicker() override;

    bool OnLeftClick(float x, float y) override;
    bool OnRightClick(float x, float y) override;
    void Draw() override;
    void Update() override;
    void ClearHover() override;

    void Rebuild();
    void Layout();
    void ToggleFilter(int hullClass);
    void ScrollBy(int rows);
    void RefreshShipIconAvailability();

    const std::vector<GUI_ShipIcon*>& GetDesignIcons() const { return m_icons; }
    const std::vector<GUI_ShipIcon*>& GetVisibleIcons() const { return m_visible; }
    GUI_ShipIcon* GetNewDesignButton() const { return m_newDesign; }
    GUI_ShipIcon* GetChangeRaceButton() const { return m_changeRace; }
    GUI_FilterButton* GetFilterButton(int hullClass) const { return m_filters[hullClass]; }
    bool GetFilter(int hullClass) const { return m_filterOn[hullClass]; }
    int GetFirstRow() const { return m_firstRow; }
    int GetMaxRow() const { return m_maxRow; }
    GUI_ScrollingWindow* GetScrollBar() const { return m_scroll; }
    static GUI_DeploymentDesignPicker* GetOpen();

private:
    static void OnFilter(std::intptr_t hullClass);
    void DeleteIcons();

    std::vector<GUI_ShipIcon*> m_icons;
    std::vector<GUI_ShipIcon*> m_visible;
    GUI_ShipIcon* m_newDesign = nullptr;
    GUI_ShipIcon* m_changeRace = nullptr;
    GUI_FilterButton* m_filters[3] = {nullptr, nullptr, nullptr};
    bool m_filterOn[3] = {true, true, true};
    int m_firstRow = 0;
    int m_maxRow = 0;
    GUI_ScrollingWindow* m_scroll = nullptr;
};

// True when some design of the picker can be placed now.
bool AnyShipIconAvailable();
