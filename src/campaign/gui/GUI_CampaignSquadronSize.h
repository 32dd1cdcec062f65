#pragma once
#include "engine/GLifetime.h"
#include "gui/GUI_Dialog.h"
#include "gui/GUI_Interlace.h"
#include "gui/GUI_OneOpen.h"

#include <string>

class GUI_OptionsSlider;
class SIM_CampaignShip;

// Sets how many fighters a campaign squadron keeps. Fighters are built, not
// conjured: the slider reaches from 1 to the squadron's size now.
class GUI_CampaignSquadronSize : public GUI_Dialog, public GUI_OneOpen<GUI_CampaignSquadronSize> {
public:
    static constexpr int kWidth = 400;
    static constexpr int kHeight = 150;

    static GUI_CampaignSquadronSize* Open(SIM_CampaignShip* ship);
    // 1 at the left end, the cap at the right end.
    static int QuantityFromSlider(float value, int cap);

    explicit GUI_CampaignSquadronSize(SIM_CampaignShip* ship);
    ~GUI_CampaignSquadronSize() override;
    void Draw() override;
    void SetSliderValue(float value);
    int GetCap() const { return m_cap; }
    GUI_OptionsSlider* GetSlider() const { return m_slider; }
    const std::string& GetValueText() const { return m_text; }

private:
    static void OnSliderMoved(std::intptr_t);

    GWatch<SIM_CampaignShip> m_ship;
    GUI_OptionsSlider* m_slider = nullptr;
    int m_cap = 1;
    std::string m_text;
    GUI_Interlace m_interlace;
};
