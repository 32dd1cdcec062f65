#pragma once
#include "gui/GUI_Interlace.h"
#include "gui/GUI_WindowBase.h"

#include <memory>
#include <string>

class GUI_OptionsSlider;
class GUI_Tooltip;

// How many fighters the shipyard puts in the squadron it builds: 1 at the
// slider's left end, 16 at its right end. Shown only for fighter designs,
// its caption left of the slider.
class GUI_ShipyardQuantity : public GUI_WindowBase {
public:
    static constexpr int kMaxQuantity = 16;
    static constexpr float kFontSize = 16.0f;
    // The caption stands left of the slider's track, clear of it.
    static constexpr int kCaptionLeft = 12;
    static constexpr int kCaptionGap = 6;

    GUI_ShipyardQuantity();
    ~GUI_ShipyardQuantity() override;

    void Draw() override;
    void Update() override;

    // 1 + trunc(15 x value).
    static int QuantityFromSlider(float value);
    void SetSliderValue(float value);

    static GUI_ShipyardQuantity* GetOpen();
    int GetQuantity() const { return m_quantity; }
    const std::string& GetCaption() const { return m_caption; }
    GUI_OptionsSlider* GetSlider() const { return m_slider; }

private:
    static void OnSliderMoved(std::intptr_t);
    // Where the slider starts: right of the widest caption.
    int SliderLeft() const;

    GUI_OptionsSlider* m_slider = nullptr;
    std::unique_ptr<GUI_Tooltip> m_tooltip;
    int m_quantity = kMaxQuantity;
    std::string m_label;
    std::string m_caption;
    GUI_Interlace m_interlace;
    int m_laidOutLeft = -1;
    int m_laidOutRight = -1;
    int m_sliderLeft = 0;
};
