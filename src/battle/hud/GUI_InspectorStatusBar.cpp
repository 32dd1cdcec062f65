#include "battle/hud/GUI_InspectorStatusBar.h"

#include <algorithm>

#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "engine/GHashTable.h"
#include "gui/GUI_Tooltip.h"
#include "sim/SIM_Shield.h"
#include "sim/SIM_Ship.h"

namespace {
struct KindSpec {
    uint32_t colour;
    const char* tooltipKey;
};
const KindSpec kKinds[] = {
    {0xE12E7EA8u, "SHIPINSPECTOR_SHIELD_TOOLTIP"},
    {0xE1C56303u, "SHIPINSPECTOR_ARMOR_TOOLTIP"},
    {0xE1219321u, "SHIPINSPECTOR_INTEGRITY_TOOLTIP"},
    {0xE1D1D1D1u, "SHIPINSPECTOR_STABILITY_TOOLTIP"},
};
const KindSpec& Spec(int kind)
{
    return kKinds[kind >= 0 && kind <= GUI_InspectorStatusBar::STABILITY ? kind : 0];
}
} // namespace

GUI_InspectorStatusBar::GUI_InspectorStatusBar(SIM_Ship* ship, int kind, float l, float t, float r, float b)
    : m_ship(ship), m_kind(kind)
{
    QLM_ASSERT(ship != nullptr);
    SetRect(l, t, r, b);
    m_tooltip = new GUI_Tooltip(GetString(TooltipKeyOf(kind)), 30);
}

GUI_InspectorStatusBar::~GUI_InspectorStatusBar()
{
    delete m_tooltip;
}

uint32_t GUI_InspectorStatusBar::ColourOf(int kind)
{
    return Spec(kind).colour;
}

const char* GUI_InspectorStatusBar::TooltipKeyOf(int kind)
{
    return Spec(kind).tooltipKey;
}

float GUI_InspectorStatusBar::ValueOf(const SIM_Ship& ship, int kind)
{
    const SIM_Shield* shield = ship.GetShield();
    switch (kind) {
    case SHIELD:
        return shield && shield->state == SIM_Shield::UP ? shield->strengthFraction : 0.0f;
    case ARMOUR:
        return ship.armourFraction;
    case INTEGRITY:
        return ship.healthFraction;
    default:
        // A disrupted shield still shows what stability it has left.
        if (!shield || (shield->state != SIM_Shield::UP && shield->state != SIM_Shield::DISRUPTED) ||
            !(shield->startingPoints > 0.0f))
            return 0.0f;
        return std::clamp(shield->stability / shield->startingPoints, 0.0f, 1.0f);
    }
}

float GUI_InspectorStatusBar::Value() const
{
    return m_ship ? std::clamp(ValueOf(*m_ship, m_kind), 0.0f, 1.0f) : 0.0f;
}

void GUI_InspectorStatusBar::Draw()
{
    D3DEngine& engine = D3DEngine::GetInstance();
    const GRect bar{left, top, right, bottom};
    engine.FillRect(bar, kBackground);
    const int filled = left + static_cast<int>(static_cast<float>(width) * Value());
    if (filled > left)
        engine.FillRect(GRect{left, top, filled, bottom}, ColourOf(m_kind));
    engine.DrawRectFrame(bar, kFrame);
    if (IsMouseOver())
        m_tooltip->visibility = 1.0f;
    m_tooltip->Draw();
}
