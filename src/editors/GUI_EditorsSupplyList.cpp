#include "editors/GUI_EditorsSupplyList.h"

#include "editors/StripListRule.h"
#include "engine/D3DEngine.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "frontend/GUI_SupplyLimitEditor.h"
#include "frontend/GUI_SupplyLimits.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_ScrollingWindow.h"
#include "sim/SIM_Scenario.h"
#include "sim/SIM_ShipModuleType.h"

#include <algorithm>

namespace {
GUI_EditorsSupplyList* g_open = nullptr;
} // namespace

GUI_EditorsSupplyList::GUI_EditorsSupplyList(SIM_Scenario* scenario) : m_scenario(scenario)
{
    g_open = this;
    m_title = GetString("EDITOR_SUPPLYLIST_TITLE");
    m_scroll = new GUI_ScrollingWindow();
    AddChild(m_scroll);
    m_edit = new GUI_ButtonText("EDITOR_SUPPLIES_EDIT", OnEdit, 0);
    m_edit->SetTooltip("EDITOR_SUPPLIES_EDIT_TOOLTIP");
    AddButton(m_edit);
    GUI_SupplyLimitEditor::SetSavedCallback(OnLimitsSaved);
}

GUI_EditorsSupplyList::~GUI_EditorsSupplyList()
{
    for (GUI_SupplyLimitStrip* strip : m_strips) {
        RemoveChild(strip);
        delete strip;
    }
    if (g_open == this) {
        g_open = nullptr;
        GUI_SupplyLimitEditor::SetSavedCallback(nullptr);
    }
}

GUI_EditorsSupplyList* GUI_EditorsSupplyList::GetOpen()
{
    return g_open;
}

void GUI_EditorsSupplyList::OnEdit(std::intptr_t)
{
    if (g_open)
        GUI_SupplyLimitEditor::Open(g_open->m_scenario);
}

void GUI_EditorsSupplyList::OnLimitsSaved()
{
    if (g_open)
        g_open->Refresh();
}

void GUI_EditorsSupplyList::Layout()
{
    m_scroll->SetRect(static_cast<float>(right - 20), static_cast<float>(top + 30), static_cast<float>(right - 4),
                      static_cast<float>(bottom - 34));
    m_edit->SetRect(static_cast<float>(left + 10), static_cast<float>(bottom - 30), static_cast<float>(left + 110),
                    static_cast<float>(bottom - 10));
    Refresh();
}

void GUI_EditorsSupplyList::Refresh()
{
    for (GUI_SupplyLimitStrip* strip : m_strips) {
        RemoveChild(strip);
        delete strip;
    }
    m_strips.clear();
    if (m_scenario)
        for (const SIM_Scenario::SupplyLimit& entry : m_scenario->GetSupplyLimits())
            if (const SIM_ShipModuleType* type = SIM_ShipModuleType::Find(entry.moduleType))
                m_strips.push_back(new GUI_SupplyLimitStrip(*type, entry.limit, GUI_SupplyLimits::MODE_SCENARIO));
    Place();
}

void GUI_EditorsSupplyList::Place()
{
    // Every strip is kept; only those that fit from the scroll position on
    // are children (drawn and clicked).
    for (GUI_SupplyLimitStrip* strip : m_strips)
        RemoveChild(strip);
    const StripListRule rule{top + 24, 40, bottom - 70};
    rule.SetUpScroll(*m_scroll, static_cast<int>(m_strips.size()));
    for (int i = m_scroll->position, row = 0; i < static_cast<int>(m_strips.size()) && row < rule.Capacity();
         ++i, ++row) {
        GUI_SupplyLimitStrip* strip = m_strips[static_cast<size_t>(i)];
        const int y = rule.TopOf(row);
        strip->SetRect(static_cast<float>(left + 4), static_cast<float>(y), static_cast<float>(right - 24),
                       static_cast<float>(y + 38));
        AddChild(strip);
    }
}

size_t GUI_EditorsSupplyList::CountShown() const
{
    return static_cast<size_t>(std::count_if(m_childWindows.begin(), m_childWindows.end(), [this](GUI_WindowBase* w) {
        return std::find(m_strips.begin(), m_strips.end(), w) != m_strips.end();
    }));
}

void GUI_EditorsSupplyList::Draw()
{
    if (m_scroll->changed) {
        m_scroll->changed = false;
        Place();
    }
    D3DEngine::GetInstance().DrawRectFrame(GRect{left, top, right, bottom}, 0x40FFFFFFu);
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 20.0f);
    text.SetText(TEXT_ALIGN_LEFT, m_title, static_cast<float>(left + 10), static_cast<float>(top), 0xFFFFFFFFu, 0.0f);
    text.Render(-1);
    DrawChildren();
    DrawButtons();
    text.Render(-1);
}
