#pragma once
#include "engine/CTexturedSprite.h"
#include "engine/GLifetime.h"
#include "gui/GUI_Dialog.h"
#include "gui/GUI_Interlace.h"
#include "gui/GUI_OneOpen.h"

#include <string>

class GUI_ButtonText;
class SIM_CampaignShip;

// Asks before a campaign ship is broken up and shows what it brings back: a
// quarter of its design's cost, scaled by its integrity.
class GUI_ScrapShip : public GUI_Dialog, public GUI_OneOpen<GUI_ScrapShip> {
public:
    static constexpr int kWidth = 500;
    // The values start this far into the client area (the picture's 120
    // and the labels' 130); a long name widens the dialog past kWidth.
    static constexpr float kValuesLeft = 250.0f;
    static constexpr int kHeight = 200;

    static GUI_ScrapShip* Open(SIM_CampaignShip* ship);
    // trunc(integrity x cost x 0.25): a squadron's size does not count.
    static int ScrapValue(float integrity, float designCost);
    // Takes the ship out of its fleet (a fleet left empty goes), pays, counts,
    // forgets its log and saves. The windows showing it close first.
    // False (nothing changed) for the last ship of a fleet a pending battle counts on.
    static bool Scrap(SIM_CampaignShip* ship);

    explicit GUI_ScrapShip(SIM_CampaignShip* ship);
    ~GUI_ScrapShip() override;
    void Draw() override;

    int GetScrapValue() const { return m_value; }
    const std::string& GetRowValue(int row) const { return m_values[row]; }
    GUI_ButtonText* GetOkButton() const { return m_ok; }
    GUI_ButtonText* GetCancelButton() const { return m_cancel; }

private:
    static void OnOK(std::intptr_t);
    static void OnCancel(std::intptr_t);

    GWatch<SIM_CampaignShip> m_ship;
    GUI_ButtonText* m_ok = nullptr;
    GUI_ButtonText* m_cancel = nullptr;
    CTexturedSprite m_picture;
    std::string m_labels[5];
    std::string m_values[5];
    int m_value = 0;
    GUI_Interlace m_interlace;
};
