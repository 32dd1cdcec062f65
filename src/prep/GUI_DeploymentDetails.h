#pragma once
#include "engine/GLifetime.h"
#include "engine/GRect.h"
#include "gui/GUI_Interlace.h"
#include "gui/GUI_OneOpen.h"
#include "gui/GUI_TitleBar.h"
#include "gui/GUI_WindowBase.h"

#include <string>
#include <vector>

class GUI_BehaviourStrip;
class GUI_ScrollingWindow;
class SIM_CampaignShip;
class SIM_DeployedShip;
class SIM_ShipDesign;

// The deployment screen's column for the selected placed ship: its name,
// the row that adds an order and one row per standing order (scrolled when
// they don't fit above the design box). One open at a time.
class GUI_DeploymentDetails : public GUI_WindowBase, public GUI_OneOpen<GUI_DeploymentDetails> {
public:
    static constexpr int kWidth = 220;
    static constexpr float kPlainRow = 21.5f;
    static constexpr float kPlainAdvance = 24.0f;
    static constexpr float kParameterRow = 43.0f;
    static constexpr float kRowGap = 2.0f;

    static void Open(SIM_DeployedShip* ship);
    // Where the window stands outside the deployment screen (the campaign's
    // deployment gives its own place); an empty area leaves it unplaced.
    static void SetOuterArea(int left, int top, int bottom);
    static void Close();
    static bool IsOpen();
    static SIM_DeployedShip* GetShown();
    // Rebuilds the open window (before its next update or draw) after its
    // ship's orders changed; safe from inside one of its rows' clicks.
    static void Refresh();

    // The design box under the order list (an unavailable design icon opens
    // it on its own).
    static void OpenShipDetails(const SIM_ShipDesign* design);
    // The box for a campaign ship: its own modules with their integrity,
    // in the corner the campaign deployment gives.
    static void OpenShipDetails(const SIM_CampaignShip* campaignShip);
    // Bottom-left corner of the box outside the deployment screen (the
    // campaign deployment's picker); left 0 and bottom 0 for none.
    static void SetShipDetailsCorner(int left, int bottom);
    static const SIM_ShipDesign* GetShownDesign();
    static void CloseShipDetails();

    explicit GUI_DeploymentDetails(SIM_DeployedShip* ship);
    ~GUI_DeploymentDetails() override;

    void Rebuild();
    void Update() override;
    void Draw() override;
    void OnWheelUp() override;
    void OnWheelDown() override;

    // Null once the record is gone (the window closes then).
    SIM_DeployedShip* GetShip() const { return m_ship.Get(); }
    const SIM_ShipDesign* GetDesign() const { return m_design; }
    const std::vector<GUI_BehaviourStrip*>& GetStrips() const { return m_strips; }
    GUI_BehaviourStrip* GetAddStrip() const { return m_addStrip; }
    GUI_ScrollingWindow* GetScrollWindow() const { return m_scroll; }
    const GRect& GetContentRect() const { return m_content; }
    const std::string& GetTitle() const { return m_title; }
    int GetScrollPosition() const { return m_scrollPosition; }
    void SetScrollPosition(int position);

private:
    GWatch<SIM_DeployedShip> m_ship;
    const SIM_ShipDesign* m_design = nullptr;
    std::vector<GUI_BehaviourStrip*> m_strips;
    GUI_BehaviourStrip* m_addStrip = nullptr;
    GUI_ScrollingWindow* m_scroll = nullptr;
    GUI_WindowBase* m_behaviourPanel = nullptr;
    GUI_TitleBar m_titleBar;
    std::string m_title;
    GRect m_content;
    GUI_Interlace m_interlace;
    int m_scrollPosition = 0;
    bool m_dirty = false;
};
