#pragma once
#include <cstdint>

#include "gui/GUI_WindowBase.h"

class GUI_GraphKeyButton;

// The legend under the time graph: two rows of six series buttons,
// delivered above, received below.
class GUI_GraphKey : public GUI_WindowBase {
public:
    static constexpr int kButtons = 12;
    static constexpr int kRowHeight = 20;

    // labelKeys/tooltipKeys/colours in series order.
    void Build(const char* const* labelKeys, const char* const* tooltipKeys, const uint32_t* colours);
    void Draw() override;

    GUI_GraphKeyButton* GetButton(int series) const { return m_buttons[series]; }
    bool IsOn(int series) const;

    bool changed = false;

private:
    GUI_GraphKeyButton* m_buttons[kButtons] = {};
};
