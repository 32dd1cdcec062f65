#pragma once
#include "engine/GLifetime.h"
#include "gui/GUI_Dialog.h"
#include "gui/GUI_OneOpen.h"

class GUI_ButtonText;
class GUI_CampaignDesignDetails;
class SIM_CampaignShip;

// One campaign ship: its hull, figures and every module with its
// integrity, with scrap, rename and log buttons. One open at a time.
class GUI_CampaignShipDetails : public GUI_Dialog, public GUI_OneOpen<GUI_CampaignShipDetails> {
public:
    static GUI_CampaignShipDetails* Open(SIM_CampaignShip* ship);
    // 262 wide; 370 high plus a 44-pixel row per five fitted modules.
    static int HeightFor(int moduleCount);

    explicit GUI_CampaignShipDetails(SIM_CampaignShip* ship);
    ~GUI_CampaignShipDetails() override;
    void Draw() override;

    // Null once the ship is gone (the window closes at the next frame).
    SIM_CampaignShip* GetShip() const { return m_ship.Get(); }
    GUI_ButtonText* GetScrapButton() const { return m_scrap; }
    GUI_ButtonText* GetLogButton() const { return m_log; }
    GUI_ButtonText* GetRenameButton() const { return m_rename; }
    GUI_CampaignDesignDetails* GetDetails() const { return m_details; }

private:
    static void OnScrap(std::intptr_t);
    static void OnRename(std::intptr_t);
    static void OnLog(std::intptr_t);

    GUI_CampaignDesignDetails* m_details = nullptr;
    GWatch<SIM_CampaignShip> m_ship;
    GUI_ButtonText* m_rename = nullptr;
    GUI_ButtonText* m_scrap = nullptr;
    GUI_ButtonText* m_log = nullptr;
};
