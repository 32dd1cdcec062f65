#pragma once
#include "engine/CTexturedSprite.h"
#include "engine/GLifetime.h"
#include "gui/GUI_Dialog.h"
#include "gui/GUI_Interlace.h"
#include "gui/GUI_OneOpen.h"

#include <string>
#include <vector>

class GUI_ButtonText;
class GUI_ScrollingWindow;
class SIM_CampaignShip;

// One captured ship: its hull, name, design and integrity.
class GUI_CampaignCaptureStrip : public GUI_WindowBase {
public:
    static constexpr int kHeight = 50;

    explicit GUI_CampaignCaptureStrip(SIM_CampaignShip* ship);
    void Draw() override;

    // Null once the prize is gone; the strip then shows nothing.
    SIM_CampaignShip* GetShip() const { return m_ship.Get(); }
    const std::string& GetIntegrityText() const { return m_integrity; }
    // "<label>: 46%" for 0.456.
    static std::string IntegrityText(float integrity);

private:
    GWatch<SIM_CampaignShip> m_ship;
    CTexturedSprite m_icon;
    std::string m_integrity;
};

// After a won battle that left enemy ships captured: the prizes, one strip
// each, and one button that hands them to the winning fleet and goes on to the
// end of the turn. Closing it any other way (Escape) does the same, so no
// prize is lost and the turn still goes on.
class GUI_CampaignCaptureManager : public GUI_Dialog, public GUI_OneOpen<GUI_CampaignCaptureManager> {
public:
    static constexpr int kWidth = 500;
    static constexpr int kHeight = 496;

    static GUI_CampaignCaptureManager* Open();
    // The campaign screen closes: the prizes join the fleet (and the save),
    // but the turn does not go on from here.
    static void CloseKeepingPrizes();

    ~GUI_CampaignCaptureManager() override;
    void Draw() override;
    void OnWheelUp() override;
    void OnWheelDown() override;

    void BuildStrips();
    void LayoutStrips();

    GUI_ButtonText* GetOkButton() const { return m_ok; }
    GUI_ScrollingWindow* GetScrollBar() const { return m_scroll; }
    const std::vector<GUI_CampaignCaptureStrip*>& GetStrips() const { return m_strips; }
    int GetShownCount() const { return m_shown; }

private:
    GUI_CampaignCaptureManager();
    static void OnCapture(std::intptr_t);
    // The prizes join the fleet and the turn goes on.
    static void HandOver();

    GUI_ButtonText* m_ok = nullptr;
    GUI_ScrollingWindow* m_scroll = nullptr;
    std::vector<GUI_CampaignCaptureStrip*> m_strips;
    int m_shown = 0;
    bool m_handedOver = false;
    GUI_Interlace m_interlace;
};
