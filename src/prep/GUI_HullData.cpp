#include "prep/GUI_HullData.h"

#include "engine/GDebugLog.h"
#include "engine/GHashTable.h"
#include "engine/StrFormat.h"
#include "gui/GUI_ScrollingWindow.h"
#include "prep/GUI_DataItem.h"
#include "sim/SIM_ShipHull.h"

#include <algorithm>

GUI_HullData::~GUI_HullData() = default;

void GUI_HullData::SetHull(SIM_ShipHull* hull)
{
    QLM_ASSERT(hull != nullptr);
    m_hull = hull;
    DeleteChildren();
    m_scroller = nullptr;
    m_rows.clear();
    m_bonusRows.clear();
    if (!hull)
        return;
    auto add = [this](const char* label, const std::string& value, const char* tooltip) {
        GUI_DataItem* row = AddTextDataItem(label ? GetString(label) : "", value, tooltip ? GetString(tooltip) : "");
        m_rows.push_back(row);
        AddChild(row);
    };
    add("HULLPICKER_COST", StrFormat("%.2f", static_cast<double>(hull->GetCost())), "HULLPICKER_COST_TOOLTIP");
    add("HULLPICKER_POWERPRODUCED", StrFormat("%.2f", static_cast<double>(hull->GetPowerProduced())),
        "HULLPICKER_POWERPRODUCED_TOOLTIP");
    add("HULLPICKER_LENGTH", StrFormat("%d %s", static_cast<int>(hull->GetHeight()), GetString("HULLPICKER_METERS")),
        "HULLPICKER_LENGTH_TOOLTIP");
    add("HULLPICKER_MODULES", StrFormat("%d", hull->CountSlotsOfType(SIM_ShipHull::STANDARD)),
        "HULLPICKER_MODULES_TOOLTIP");
    add("HULLPICKER_HARDPOINTS", StrFormat("%d", hull->CountSlotsOfType(SIM_ShipHull::TURRET)),
        "HULLPICKER_HARDPOINTS_TOOLTIP");
    add(nullptr, "", nullptr);
    add("HULLPICKER_BONUSES_TITLE", "", nullptr);
    m_scroller = new GUI_ScrollingWindow();
    const int bonuses = static_cast<int>(hull->GetBonuses().size());
    m_scroller->contentSize = static_cast<float>(bonuses);
    m_scroller->visibleSize = static_cast<float>(kVisibleBonuses);
    m_scroller->maximum = std::max(0, bonuses - kVisibleBonuses);
    m_scroller->visible = m_scroller->maximum > 0;
    AddChild(m_scroller);
    BuildBonusRows();
}

void GUI_HullData::BuildBonusRows()
{
    for (GUI_DataItem* row : m_bonusRows) {
        m_rows.erase(std::remove(m_rows.begin(), m_rows.end(), row), m_rows.end());
        delete row;
    }
    m_bonusRows.clear();
    if (!m_hull || !m_scroller)
        return;
    const auto& bonuses = m_hull->GetBonuses();
    for (size_t i = static_cast<size_t>(std::max(0, m_scroller->position));
         i < bonuses.size() && m_bonusRows.size() < static_cast<size_t>(kVisibleBonuses); ++i) {
        GUI_DataItem* row = AddTextDataItem(m_hull->GetBonusDescription(bonuses[i]), "", "");
        m_rows.push_back(row);
        m_bonusRows.push_back(row);
        AddChild(row);
    }
}

void GUI_HullData::Draw()
{
    if (!visible)
        return;
    if (m_scroller && m_scroller->changed) {
        BuildBonusRows();
        m_scroller->changed = false;
    }
    int y = top;
    for (GUI_DataItem* row : m_rows) {
        row->SetRect(static_cast<float>(left), static_cast<float>(y), static_cast<float>(right),
                     static_cast<float>(y + kRowHeight));
        y += kRowHeight;
    }
    if (m_scroller)
        m_scroller->SetRect(static_cast<float>(right - 15), static_cast<float>(bottom - 62), static_cast<float>(right - 3),
                            static_cast<float>(bottom - 2));
    DrawChildren();
}
