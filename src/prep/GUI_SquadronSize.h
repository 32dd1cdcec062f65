#pragma once
#include "engine/GLifetime.h"
#include "gui/GUI_Dialog.h"
#include "gui/GUI_Interlace.h"
#include "gui/GUI_OneOpen.h"

#include <cstdint>
#include <string>

class GUI_DeploymentIcon;
class GUI_OptionsSlider;

// Sets how many fighters a placed squadron holds (1 to 16) with a slider;
// the fleet's totals follow at once. Modal, so its squadron stays on the map
// while it is open; it follows the icon and closes when the ship goes. One
// open at a time.
class GUI_SquadronSize : public GUI_Dialog, public GUI_OneOpen<GUI_SquadronSize> {
public:
    static constexpr int kWidth = 400;
    static constexpr int kHeight = 150;
    static constexpr int kMaxQuantity = 16;

    // 1 at the left end, 16 at the right end.
    static int QuantityFromSlider(float value);
    static float SliderFromQuantity(int quantity);

    explicit GUI_SquadronSize(GUI_DeploymentIcon* icon);
    ~GUI_SquadronSize() override;

    void Draw() override;
    void SetSliderValue(float value);

    GUI_OptionsSlider* GetSlider() const { return m_slider; }
    const std::string& GetValueText() const { return m_valueText; }
    GUI_DeploymentIcon* GetIcon() const { return m_icon.Get(); }

private:
    static void OnSliderMoved(std::intptr_t);

    GWatch<GUI_DeploymentIcon> m_icon;
    GUI_OptionsSlider* m_slider = nullptr;
    std::string m_valueText;
    GUI_Interlace m_interlace;
};

void OpenSquadronSizeForIcon(GUI_DeploymentIcon* icon);
