#pragma once
#include "engine/GLifetime.h"
#include "gui/GUI_Dialog.h"
#include "gui/GUI_Interlace.h"
#include "gui/GUI_OneOpen.h"

#include <string>

class GUI_ButtonText;
class GUI_TextEditWindow;
class SIM_CampaignFleet;
class SIM_CampaignShip;

// A new name for a fleet (typed or drawn from the campaign's pool) or for a
// single ship (typed or drawn from its hull's name lists).
class GUI_FleetRename : public GUI_Dialog, public GUI_OneOpen<GUI_FleetRename> {
public:
    static constexpr int kWidth = 400;
    static constexpr int kHeight = 140;
    static constexpr int kMaxLength = 64;

    static GUI_FleetRename* Open(SIM_CampaignFleet* fleet);
    static GUI_FleetRename* OpenForShip(SIM_CampaignShip* ship);

    GUI_FleetRename(SIM_CampaignFleet* fleet, SIM_CampaignShip* ship);
    ~GUI_FleetRename() override;
    void Draw() override;

    GUI_TextEditWindow* GetField() const { return m_field; }
    GUI_ButtonText* GetOkButton() const { return m_ok; }
    GUI_ButtonText* GetRandomButton() const { return m_random; }
    // What is renamed: null once it is gone (the window closes then).
    SIM_CampaignFleet* GetFleet() const { return m_fleet.Get(); }
    SIM_CampaignShip* GetShip() const { return m_ship.Get(); }

private:
    static void OnOK(std::intptr_t);
    static void OnRandom(std::intptr_t);
    void Apply(const std::string& name);

    GUI_ButtonText* m_ok = nullptr;
    GUI_ButtonText* m_random = nullptr;
    GWatch<SIM_CampaignFleet> m_fleet;
    GWatch<SIM_CampaignShip> m_ship;
    bool m_forShip = false;
    GUI_TextEditWindow* m_field = nullptr;
    GUI_Interlace m_interlace;
};
