#include "prep/GUI_DataItem.h"

#include "engine/CInput.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "engine/StrFormat.h"
#include "engine/TextHelpers.h"
#include "gui/GUI_Cursor.h"
#include "gui/GUI_Tooltip.h"
#include "gui/GUI_WindowManager.h"
#include "prep/DesignerCommon.h"
#include "prep/GUI_ModuleStatComparison.h"
#include "sim/SIM_ShipModuleType.h"

#include <cstdlib>

GUI_DataItem::GUI_DataItem()
{
    SetName("GUI_DATAITEM");
    swallowsClicks = false;
    raisesOnClick = false;
}

GUI_DataItem::~GUI_DataItem()
{
    delete m_tooltip;
}

std::string GUI_DataItem::FormatValue(const SIM_ShipModuleType& type, const std::string& key, int dataType,
                                      float multiplier)
{
    const GIniFile& config = type.GetConfig();
    const char* raw = config.GetString(key.c_str());
    switch (dataType) {
    case SIM_ShipModuleType::INTEGER:
        return StrFormat("%d", std::atoi(raw));
    case SIM_ShipModuleType::STRING:
        return raw;
    case SIM_ShipModuleType::DECIMAL:
        return FigureText(std::atof(raw));
    case SIM_ShipModuleType::BOOL:
        return GetString(std::atoi(raw) != 0 ? "MODULE_DETAILS_BOOL_TRUE" : "MODULE_DETAILS_BOOL_FALSE");
    case SIM_ShipModuleType::DECIMAL_MULT:
        return FigureText(std::atof(raw) * static_cast<double>(multiplier));
    default:
        return raw;
    }
}

void GUI_DataItem::SetFromModuleData(SIM_ShipModuleType* type, const std::string& key, int dataType, float multiplier)
{
    m_type = type;
    m_key = key;
    m_dataType = dataType;
    m_multiplier = multiplier;
    m_shownWidth = -1;
    m_value = type ? FormatValue(*type, key, dataType, multiplier) : std::string();
    const std::string upper = ToUpperString(key);
    m_label = designer::Text("MODULE_DATA_" + upper);
    delete m_tooltip;
    m_tooltip = new GUI_Tooltip(designer::Text("MOD_" + upper + "_TOOLTIP"), 30);
}

void GUI_DataItem::SetText(const std::string& label, const std::string& value, const std::string& tooltip)
{
    m_label = label;
    m_value = value;
    m_shownWidth = -1;
    delete m_tooltip;
    m_tooltip = tooltip.empty() ? nullptr : new GUI_Tooltip(tooltip, 30);
}

bool GUI_DataItem::OnLeftClick(float x, float y)
{
    if (!m_type || !Contains(x, y))
        return false;
    GUI_ModuleStatComparison::Open(m_type, m_key, m_dataType, m_multiplier);
    return true;
}

void GUI_DataItem::Update()
{
    GUI_WindowManager& manager = GUI_WindowManager::GetInstance();
    if (!manager.IsMouseOverWindow() && IsMouseOver()) {
        if (m_tooltip)
            m_tooltip->CheckShowTime();
        if (m_type)
            GUI_Cursor::GetInstance().SetHand();
    }
    GUI_WindowBase::Update();
}

void GUI_DataItem::FitLabel()
{
    m_shownWidth = width;
    m_shownLabel = m_label;
    m_shownSize = 16.0f;
    LibText& text = LibText::GetInstance();
    if (!text.FindFont("zekton16.dds"))
        return;
    text.SetFont("zekton16.dds", 16.0f);
    // Label at 10 from the left, value at 5 from the right, 4 between them.
    const int room = width - 19 - text.GetTextWidth(m_value);
    // A long label ("Maximum range" beside a long value) is read smaller rather than cut;
    // only below the smallest readable size is it cut.
    while (m_shownSize > kSmallestLabelSize && text.MeasureText(m_label, m_shownSize) > room)
        m_shownSize -= 1.0f;
    text.SetFont("zekton16.dds", m_shownSize);
    m_shownLabel = text.FitText(m_label, room, 1);
}

void GUI_DataItem::Draw()
{
    if (!visible)
        return;
    if (IsMouseOver() && !GUI_WindowManager::GetInstance().IsModalOpen())
        designer::FillRect(left, top, right, bottom, 0x20FFFFFFu);
    if (m_shownWidth != width)
        FitLabel();
    // A smaller label stays centred on the row.
    designer::DrawText(m_shownLabel, static_cast<float>(left + 10), static_cast<float>(top - 3) + (16.0f - m_shownSize) * 0.5f,
                       0xFFFFFFFFu, m_shownSize);
    designer::DrawTextRight(m_value, static_cast<float>(right - 5), static_cast<float>(top - 3));
    if (m_tooltip)
        m_tooltip->Draw();
}

GUI_DataItem* AddModuleDataItem(SIM_ShipModuleType* type, const std::string& key, int dataType, float multiplier)
{
    auto* row = new GUI_DataItem();
    row->SetFromModuleData(type, key, dataType, multiplier);
    return row;
}

GUI_DataItem* AddTextDataItem(const std::string& label, const std::string& value, const std::string& tooltip)
{
    auto* row = new GUI_DataItem();
    row->SetText(label, value, tooltip);
    return row;
}
