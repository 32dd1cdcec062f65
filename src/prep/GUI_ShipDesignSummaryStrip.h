#pragma once
#include "gui/GUI_WindowBase.h"

#include <string>

class GUI_Tooltip;

// One figure of a design: label, value and an optional budget bar that is
// green, or red when the budget is exceeded.
class GUI_ShipDesignSummaryStrip : public GUI_WindowBase {
public:
    static constexpr int kBarStart = 150;
    static constexpr uint32_t kGreen = 0x8010B410u;
    static constexpr uint32_t kRed = 0x80B41010u;

    explicit GUI_ShipDesignSummaryStrip(const char* labelKey, bool withTooltip = false);
    ~GUI_ShipDesignSummaryStrip() override;
    void Draw() override;
    void Update() override;
    // The filled bar's right edge for the current rectangle and fraction.
    int BarRight() const;

    std::string label;
    std::string value;
    float fraction = 0.0f;
    bool warning = false;
    bool barShown = false;
    GUI_Tooltip* GetTooltip() const { return m_tooltip; }

private:
    GUI_Tooltip* m_tooltip = nullptr;
};
