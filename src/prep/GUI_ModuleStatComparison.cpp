#include "prep/GUI_ModuleStatComparison.h"

#include "app/APP_UsageMetrics.h"
#include "engine/GHashTable.h"
#include "engine/StrFormat.h"
#include "engine/TextHelpers.h"
#include "gui/GUI_CloseButton.h"
#include "gui/GUI_ScrollingWindow.h"
#include "gui/GUI_Tutorial.h"
#include "gui/GUI_WindowManager.h"
#include "prep/DesignerCommon.h"
#include "sim/SIM_ShipModuleType.h"

#include <algorithm>
#include <cstdlib>

namespace {
GUI_ModuleStatComparison* g_comparison = nullptr;
} // namespace

GUI_ModuleStatComparison* GUI_ModuleStatComparison::GetOpen()
{
    return g_comparison;
}

GUI_ModuleStatComparison* GUI_ModuleStatComparison::Open(SIM_ShipModuleType* type, const std::string& key,
                                                         int dataType, float multiplier)
{
    if (g_comparison) {
        g_comparison->visible = false;
        GUI_WindowManager::GetInstance().CloseWindow(g_comparison);
        g_comparison = nullptr;
    }
    if (!type)
        return nullptr;
    return new GUI_ModuleStatComparison(type, key, dataType, multiplier);
}

std::vector<GUI_ModuleStatComparison::Entry> GUI_ModuleStatComparison::BuildEntries(int sizeClass,
                                                                                     const std::string& key)
{
    std::vector<Entry> entries;
    float maximum = 0.0f;
    for (SIM_ShipModuleType* type : SIM_ShipModuleType::GetList()) {
        if (type->GetSize() != sizeClass || !type->GetConfig().HasKey(key.c_str()))
            continue;
        Entry e;
        e.name = GetString(type->GetGuiName().c_str());
        e.value = static_cast<float>(std::atof(type->GetConfig().GetString(key.c_str())));
        e.type = type;
        maximum = std::max(maximum, e.value);
        entries.push_back(e);
    }
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.value > b.value; });
    // With no value above 0 there is nothing to scale a bar by: no bars.
    for (Entry& e : entries)
        e.fraction = maximum > 0.0f ? std::max(0.0f, e.value / maximum) : 0.0f;
    return entries;
}

std::string GUI_ModuleStatComparison::FormatEntryValue(float value, int dataType, float multiplier)
{
    switch (dataType) {
    case SIM_ShipModuleType::DECIMAL:
        return FigureText(static_cast<double>(value));
    case SIM_ShipModuleType::DECIMAL_MULT:
        return FigureText(static_cast<double>(value * multiplier));
    case SIM_ShipModuleType::STRING:
        return std::string();
    default:
        return StrFormat("%d", static_cast<int>(value));
    }
}

GUI_ModuleStatComparison::GUI_ModuleStatComparison(SIM_ShipModuleType* type, const std::string& key, int dataType,
                                                   float multiplier)
    : GUI_Dialog(true), m_type(type), m_key(key)
{
    g_comparison = this;
    m_scroller = new GUI_ScrollingWindow();
    AddChild(m_scroller);
    m_entries = BuildEntries(type->GetSize(), key);
    for (size_t i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].type == type)
            m_currentIndex = static_cast<int>(i);
    }
    const float header = topMargin + bottomMargin + 4.0f;
    const float wanted = std::min(header + static_cast<float>(m_entries.size() * kRowHeight),
                                  static_cast<float>(kMaxHeight));
    m_visibleRows = static_cast<int>((wanted - header) / kRowHeight);
    SetSize(static_cast<float>(kWidth), static_cast<float>(m_visibleRows * kRowHeight) + header);
    Centre();
    SetClientRect();
    m_scroller->SetRect(static_cast<float>(clientRight - 15), static_cast<float>(clientTop),
                        static_cast<float>(clientRight), static_cast<float>(clientBottom));
    AddChildElement(m_scroller);
    m_maxOffset = static_cast<int>(m_entries.size()) - m_visibleRows;
    m_scroller->maximum = std::max(0, m_maxOffset);
    m_scroller->contentSize = static_cast<float>(m_entries.size());
    m_scroller->visibleSize = static_cast<float>(m_visibleRows);
    for (Entry& e : m_entries)
        e.text = FormatEntryValue(e.value, dataType, multiplier);
    BuildStrips();
    ScrollToCurrent();
    SetTitle(designer::Text("MODULE_DATA_" + ToUpperString(key)));
    GUI_WindowManager::GetInstance().BringToFront(this);
    GUI_WindowManager::GetInstance().AddModal(this);
    draggable = true;
    if (GetCloseButton())
        GetCloseButton()->SetName("MODULECOMPARISON_CLOSE");
    APP_UsageMetrics::GetInstance().SetEventFlag("modstatcompare");
    APP_UsageMetrics::GetInstance().AddEventCount("modstatcompare", 1);
    GUI_Tutorial& tutorial = GUI_Tutorial::GetInstance();
    if (tutorial.IsWaitingFor("SHOWMODULECOMPARISON")) {
        tutorial.SetWaitFor("");
        tutorial.LaunchTutorial("SHIPDESIGN6");
    }
}

GUI_ModuleStatComparison::~GUI_ModuleStatComparison()
{
    if (g_comparison == this)
        g_comparison = nullptr;
    GUI_Tutorial& tutorial = GUI_Tutorial::GetInstance();
    if (tutorial.IsWaitingFor("CLOSEMODULECOMPARISON")) {
        tutorial.SetWaitFor("");
        tutorial.LaunchTutorial("SHIPDESIGN7");
    }
}

int GUI_ModuleStatComparison::GetOffset() const
{
    return m_scroller ? m_scroller->position : 0;
}

void GUI_ModuleStatComparison::BuildStrips()
{
    m_strips.clear();
    SetClientRect();
    int y = clientTop + 2;
    for (size_t i = static_cast<size_t>(std::max(0, GetOffset())); i < m_entries.size() && y < clientBottom - kRowHeight + 2;
         ++i) {
        m_strips.push_back(Strip{GRect{clientLeft + 2, y, m_scroller->left - 5, y + kRowHeight}, i,
                                 m_entries[i].type == m_type});
        y += kRowHeight;
    }
}

void GUI_ModuleStatComparison::ScrollToCurrent()
{
    if (m_maxOffset <= 0)
        return;
    m_scroller->position = std::clamp(m_currentIndex - m_visibleRows / 2, 0, m_maxOffset);
    BuildStrips();
}

void GUI_ModuleStatComparison::Draw()
{
    if (!visible)
        return;
    m_scroller->changed = false;
    GUI_Dialog::Draw();
    const GRect client{clientLeft, clientTop, clientRight, clientBottom};
    designer::DrawPanelBackdrop(client);
    m_interlace.Draw(client);
    // Rebuilt in place (no allocation): the strips follow a dragged dialog.
    BuildStrips();
    for (const Strip& s : m_strips) {
        const Entry& e = m_entries[s.entry];
        const GRect inner{s.rect.left + 2, s.rect.top + 2, s.rect.right - 2, s.rect.bottom - 2};
        designer::FillRect(inner.left, inner.top, inner.right, inner.bottom, 0x20FFFFFFu);
        const int barRight = inner.left + static_cast<int>(static_cast<float>(inner.Width()) * e.fraction);
        if (barRight > inner.left)
            designer::FillRect(inner.left, inner.top, barRight, inner.bottom, s.current ? 0x80FF0000u : 0x80000000u);
        designer::DrawText(e.name, static_cast<float>(s.rect.left + 10), static_cast<float>(s.rect.top));
        designer::DrawTextRight(e.text, static_cast<float>(s.rect.right - 10), static_cast<float>(s.rect.top));
    }
    DrawChildren();
}
