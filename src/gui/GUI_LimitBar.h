#pragma once
#include "engine/CTexturedSprite.h"
#include "engine/GRect.h"
#include "engine/GTimer.h"
#include "gui/GUI_WindowBase.h"

#include <string>

class GUI_Tooltip;
class IClock;

// A quantity against its limit (fleet cost, pilots, supplies): a filled
// bar that flashes red at 2 Hz while the limit is exceeded.
class GUI_LimitBar : public GUI_WindowBase {
public:
    static constexpr double kBlinkMs = 250.0;

    explicit GUI_LimitBar(const IClock* clock = nullptr);
    ~GUI_LimitBar() override;

    void Update() override;
    // fraction = value / limit; drawn by the owner.
    void DrawFillBar(float fraction);
    // The same from the two numbers: a limit of 0 (or less) is exceeded by
    // any positive value and shows empty otherwise.
    void DrawFillBarFor(float value, float limit);
    static float FillFraction(float value, float limit);

    void SetTooltip(const std::string& text);
    GUI_Tooltip* GetTooltip() const { return m_tooltip; }
    // The fill rectangle of a fraction for the current rectangle.
    GRect FillRect(float fraction) const;
    bool IsBlinkOn() const { return m_blinkOn; }
    // Whether the last draw showed the red over-limit fill.
    bool DrewOverLimit() const { return m_drewOverLimit; }

    std::string label;

private:
    GUI_Tooltip* m_tooltip = nullptr;
    CTexturedSprite m_fill;
    CTexturedSprite m_overLimit;
    GTimer m_blinkTimer;
    double m_blinkBank = 0.0;
    bool m_blinkOn = true;
    bool m_drewOverLimit = false;
};
