#include "editors/GUI_AnomalyEditor.h"

#include "editors/GUI_AnomalyPicker.h"
#include "editors/StripListRule.h"
#include "engine/D3DEngine.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_ScrollingWindow.h"
#include "sim/SIM_Scenario.h"

namespace {
GUI_AnomalyEditor* g_open = nullptr;
} // namespace

GUI_AnomalyStrip::GUI_AnomalyStrip(SIM_Scenario* scenario, size_t index) : m_index(index)
{
    raisesOnClick = false;
    if (scenario && index < scenario->GetAnomalies().size())
        m_description = GetAnomalyDescription(scenario->GetAnomalies()[index]);
    m_delete = new GUI_ButtonText("ANOMALY_DELETE", OnDelete, reinterpret_cast<std::intptr_t>(this));
    m_delete->SetTooltip("ANOMALY_DELETE_TOOLTIP");
    AddButton(m_delete);
}

void GUI_AnomalyStrip::SetRect(float l, float t, float r, float b)
{
    GUI_WindowBase::SetRect(l, t, r, b);
    m_delete->SetRect(r - 100, b - 25, r - 10, b - 5);
    // Left of the button; wrapped once here, not every frame.
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    m_wrapped = text.GetWrappedText(m_description, right - 110 - (left + 10));
}

void GUI_AnomalyStrip::OnDelete(std::intptr_t strip)
{
    if (g_open)
        g_open->DeleteAnomaly(reinterpret_cast<GUI_AnomalyStrip*>(strip)->m_index);
}

void GUI_AnomalyStrip::Draw()
{
    D3DEngine::GetInstance().FillRect(GRect{left + 2, top + 2, right - 2, bottom - 2}, 0x20FFFFFFu);
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    text.SetText(TEXT_ALIGN_LEFT, m_wrapped, static_cast<float>(left + 10),
                 static_cast<float>(top + 2), 0xFFFFFFFFu, 0.0f);
    DrawButtons();
}

GUI_AnomalyEditor::GUI_AnomalyEditor(SIM_Scenario* scenario) : m_scenario(scenario)
{
    g_open = this;
    m_title = GetString("SCENARIO_EDITOR_ANOMALY_TITLE");
    m_scroll = new GUI_ScrollingWindow();
    AddChild(m_scroll);
    m_add = new GUI_ButtonText("SCENARIO_ANOMALY_ADD", OnAdd, 0);
    m_add->SetTooltip("SCENARIO_ANOMALY_ADD_TOOLTTP");
    AddButton(m_add);
}

GUI_AnomalyEditor::~GUI_AnomalyEditor()
{
    if (g_open == this)
        g_open = nullptr;
}

GUI_AnomalyEditor* GUI_AnomalyEditor::GetOpen()
{
    return g_open;
}

void GUI_AnomalyEditor::OnAdd(std::intptr_t)
{
    if (g_open)
        GUI_AnomalyPicker::Open(g_open->m_scenario);
}

void GUI_AnomalyEditor::Layout()
{
    m_scroll->SetRect(static_cast<float>(right - 20), static_cast<float>(top + 30), static_cast<float>(right - 4),
                      static_cast<float>(bottom - 34));
    m_add->SetRect(static_cast<float>(left + 10), static_cast<float>(bottom - 30), static_cast<float>(left + 110),
                   static_cast<float>(bottom - 10));
    Refresh();
}

void GUI_AnomalyEditor::Refresh()
{
    m_refreshPending = false;
    for (GUI_AnomalyStrip* strip : m_strips) {
        RemoveChild(strip);
        delete strip;
    }
    m_strips.clear();
    const int count = m_scenario ? static_cast<int>(m_scenario->GetAnomalies().size()) : 0;
    const StripListRule rule{top + 24, 40, bottom - 75};
    rule.SetUpScroll(*m_scroll, count);
    for (int i = m_scroll->position, row = 0; i < count && row < rule.Capacity(); ++i, ++row) {
        auto* strip = new GUI_AnomalyStrip(m_scenario, static_cast<size_t>(i));
        const int y = rule.TopOf(row);
        strip->SetRect(static_cast<float>(left + 4), static_cast<float>(y), static_cast<float>(right - 24),
                       static_cast<float>(y + 40));
        AddChild(strip);
        m_strips.push_back(strip);
    }
}

void GUI_AnomalyEditor::DeleteAnomaly(size_t index)
{
    // Until the strips are rebuilt their indices may be stale.
    if (m_refreshPending)
        return;
    if (m_scenario && m_scenario->RemoveAnomaly(index))
        m_refreshPending = true;
}

void GUI_AnomalyEditor::Update()
{
    if (m_refreshPending)
        Refresh();
    GUI_WindowBase::Update();
}

void GUI_AnomalyEditor::Draw()
{
    if (m_scroll->changed || m_refreshPending) {
        m_scroll->changed = false;
        Refresh();
    }
    D3DEngine::GetInstance().DrawRectFrame(GRect{left, top, right, bottom}, 0x40FFFFFFu);
    DrawChildren();
    DrawButtons();
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 20.0f);
    text.SetText(TEXT_ALIGN_LEFT, m_title, static_cast<float>(left + 10), static_cast<float>(top), 0xFFFFFFFFu, 0.0f);
    text.Render(-1);
}
