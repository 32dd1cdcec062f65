#include "prep/GUI_ShipDesignSummaryStrip.h"

#include "engine/GHashTable.h"
#include "gui/GUI_Tooltip.h"
#include "prep/DesignerCommon.h"

#include <algorithm>
#include <string>

GUI_ShipDesignSummaryStrip::GUI_ShipDesignSummaryStrip(const char* labelKey, bool withTooltip)
    : label(GetString(labelKey))
{
    if (withTooltip)
        m_tooltip = new GUI_Tooltip(designer::Text(std::string(labelKey) + "_TOOLTIP"), 30);
    swallowsClicks = false;
    raisesOnClick = false;
}

GUI_ShipDesignSummaryStrip::~GUI_ShipDesignSummaryStrip()
{
    delete m_tooltip;
}

int GUI_ShipDesignSummaryStrip::BarRight() const
{
    const float f = std::clamp(fraction, 0.0f, 1.0f);
    return left + kBarStart + static_cast<int>(static_cast<float>(width - kBarStart) * f);
}

void GUI_ShipDesignSummaryStrip::Update()
{
    GUI_WindowBase::Update();
    if (m_tooltip && IsMouseOver())
        m_tooltip->CheckShowTime();
}

void GUI_ShipDesignSummaryStrip::Draw()
{
    if (!visible)
        return;
    if (barShown && BarRight() > left + kBarStart)
        designer::FillRect(left + kBarStart, top, BarRight(), bottom, warning ? kRed : kGreen);
    designer::DrawText(label, static_cast<float>(left + 10), static_cast<float>(top - 3));
    designer::DrawText(value, static_cast<float>(left + 160), static_cast<float>(top - 3));
    if (m_tooltip)
        m_tooltip->Draw();
}
