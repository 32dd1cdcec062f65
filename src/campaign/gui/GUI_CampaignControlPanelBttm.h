#pragma once
#include "campaign/gui/GUI_CampaignPanelBackground.h"
#include "gui/GUI_WindowBase.h"

#include <cstdint>

class GUI_ButtonBase;
class GUI_ButtonText;
class GUI_IconButton;
class GUI_IconHoldButton;
class GUI_ToggleButton;

// The strip at the bottom of the campaign map: zoom, the four display
// toggles, Next Turn, Quit and the three manager windows.
class GUI_CampaignControlPanelBttm : public GUI_WindowBase {
public:
    GUI_CampaignControlPanelBttm();
    ~GUI_CampaignControlPanelBttm() override;

    void Draw() override;
    void Update() override;
    void CreateButtons();

    GUI_ButtonText* GetNextTurnButton() const { return m_nextTurn; }
    GUI_ButtonText* GetQuitButton() const { return m_quit; }
    GUI_IconHoldButton* GetZoomInButton() const { return m_zoomIn; }
    GUI_IconHoldButton* GetZoomOutButton() const { return m_zoomOut; }
    GUI_ToggleButton* GetToggle(int index) const { return m_toggles[index]; }
    // The fleet, income and recruitment managers' buttons, in that order.
    GUI_IconButton* GetManagerButton(int index) const { return m_managers[index]; }

    static void OnNextTurnButton(std::intptr_t);
    static void OnZoomInButton(std::intptr_t);
    static void OnZoomOutButton(std::intptr_t);
    static void ToggleMapLayer(std::intptr_t index);
    static void OnQuitButton(std::intptr_t);

private:
    GUI_CampaignPanelBackground m_background;
    GUI_IconHoldButton* m_zoomIn = nullptr;
    GUI_IconHoldButton* m_zoomOut = nullptr;
    GUI_ToggleButton* m_toggles[4] = {};
    GUI_ButtonText* m_nextTurn = nullptr;
    GUI_ButtonText* m_quit = nullptr;
    GUI_IconButton* m_managers[3] = {};
    const GUI_ButtonBase* m_lastHovered = nullptr;
};
