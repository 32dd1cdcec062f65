#pragma once
#include <cstdint>

#include "gui/GUI_WindowBase.h"

class GUI_Tooltip;
class SIM_Ship;

// One of the ship inspector's four thin bars: shield, armour, hull
// integrity or shield stability, each a share from 0 to 1.
class GUI_InspectorStatusBar : public GUI_WindowBase {
public:
    enum Kind { SHIELD = 0, ARMOUR = 1, INTEGRITY = 2, STABILITY = 3 };
    static constexpr uint32_t kBackground = 0xFF000000u;
    static constexpr uint32_t kFrame = 0x80C8C8C8u;

    GUI_InspectorStatusBar(SIM_Ship* ship, int kind, float left, float top, float right, float bottom);
    ~GUI_InspectorStatusBar() override;

    void Draw() override;

    // The share the bar shows now.
    float Value() const;
    static float ValueOf(const SIM_Ship& ship, int kind);
    static uint32_t ColourOf(int kind);
    static const char* TooltipKeyOf(int kind);
    int GetKind() const { return m_kind; }
    GUI_Tooltip* GetTooltip() const { return m_tooltip; }

private:
    SIM_Ship* m_ship;
    int m_kind;
    GUI_Tooltip* m_tooltip = nullptr;
};
