#include "editors/GUI_AnomalyPicker.h"

#include "editors/GUI_AnomalyEditor.h"
#include "editors/StripListRule.h"
#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "engine/LibText.h"
#include "frontend/GUI_MenuChrome.h"
#include "frontend/GUI_OptionsSlider.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_ScrollingWindow.h"
#include "gui/GUI_WindowManager.h"
#include "sim/SIM_Scenario.h"

#include <algorithm>
#include <cstdio>

namespace {
} // namespace

GUI_AnomalyPickerStrip::GUI_AnomalyPickerStrip(SIM_Anomaly& candidate) : m_candidate(candidate)
{
    raisesOnClick = false;
    m_label = FindAnomalyKeyword(candidate.keyword);
    m_add = new GUI_ButtonText("ANOMALY_ADD", OnAdd, reinterpret_cast<std::intptr_t>(this));
    m_add->SetTooltip("ANOMALY_ADD_TOOLTIP");
    AddButton(m_add);
    if (candidate.hasAmount) {
        m_slider = new GUI_OptionsSlider("", std::clamp(candidate.amount, 0.0f, 1.0f), nullptr);
        AddChild(m_slider);
    }
    ReadSlider();
}

void GUI_AnomalyPickerStrip::SetRect(float l, float t, float r, float b)
{
    GUI_WindowBase::SetRect(l, t, r, b);
    const float il = l + 2, it = t + 2, ir = r - 2, ib = b - 2;
    m_add->SetRect(ir - 110, ib - 22, ir - 4, ib - 2);
    if (m_slider)
        m_slider->SetRect(il + 200, it - 5, il + 350, ib);
}

void GUI_AnomalyPickerStrip::ReadSlider()
{
    if (!m_slider || (m_slider->value == m_candidate.amount && !m_amountText.empty()))
        return;
    m_candidate.amount = m_slider->value;
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.0f%%", static_cast<double>(m_candidate.amount * 100.0f));
    m_amountText = buffer;
}

void GUI_AnomalyPickerStrip::OnAdd(std::intptr_t strip)
{
    auto* self = reinterpret_cast<GUI_AnomalyPickerStrip*>(strip);
    self->ReadSlider();
    if (GUI_AnomalyPicker* open = GUI_AnomalyPicker::GetOpen())
        open->Add(self->m_candidate);
}

void GUI_AnomalyPickerStrip::Draw()
{
    ReadSlider();
    const GRect inner{left + 2, top + 2, right - 2, bottom - 2};
    D3DEngine::GetInstance().FillRect(inner, 0x40FFFFFFu);
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    text.SetText(TEXT_ALIGN_LEFT, m_label, static_cast<float>(inner.left + 10), static_cast<float>(inner.top),
                 0xFFFFFFFFu, 0.0f);
    if (m_slider)
        text.SetText(TEXT_ALIGN_LEFT, m_amountText, static_cast<float>(m_slider->right + 10),
                     static_cast<float>(inner.top), 0xFFFFFFFFu, 0.0f);
    DrawChildren();
    DrawButtons();
}

std::vector<SIM_Anomaly> GUI_AnomalyPicker::Candidates(const SIM_Scenario& scenario)
{
    std::vector<SIM_Anomaly> list;
    for (int i = 0; i < SIM_Anomaly::KEYWORD_COUNT; ++i) {
        const std::string keyword = GetAnomalyKeyword(i);
        const bool has = std::any_of(scenario.GetAnomalies().begin(), scenario.GetAnomalies().end(),
                                     [&](const SIM_Anomaly& a) { return a.keyword == keyword; });
        if (has)
            continue;
        const bool multiplier = i < SIM_Anomaly::kFirstFlag;
        list.emplace_back(keyword, multiplier ? 1.0f : 0.0f, multiplier);
    }
    return list;
}

void GUI_AnomalyPicker::Open(SIM_Scenario* scenario)
{
    CloseOpen();
    QLM_ASSERT(scenario != nullptr);
    if (scenario)
        SetOpen(new GUI_AnomalyPicker(scenario));
}

GUI_AnomalyPicker::GUI_AnomalyPicker(SIM_Scenario* scenario)
    : GUI_Dialog(true), m_scenario(scenario), m_candidates(Candidates(*scenario))
{
    SetSize(680.0f, 310.0f);
    Centre();
    SetClientRect();
    SetTitleKey("EDITOR_ANOMALY_PICKER");
    m_scroll = new GUI_ScrollingWindow();
    m_scroll->SetRect(static_cast<float>(clientRight - 20), static_cast<float>(clientTop),
                      static_cast<float>(clientRight - 4), static_cast<float>(clientBottom));
    AddChild(m_scroll);
    GUI_WindowManager::GetInstance().AddModal(this);
    BuildStrips();
}

GUI_AnomalyPicker::~GUI_AnomalyPicker()
{
    ForgetIfOpen(this);
}

void GUI_AnomalyPicker::BuildStrips()
{
    for (GUI_AnomalyPickerStrip* strip : m_strips) {
        RemoveChild(strip);
        delete strip;
    }
    m_strips.clear();
    const int count = static_cast<int>(m_candidates.size());
    const StripListRule rule{clientTop, 40, clientBottom - 40};
    rule.SetUpScroll(*m_scroll, count);
    for (int i = m_scroll->position, row = 0; i < count && row < rule.Capacity(); ++i, ++row) {
        auto* strip = new GUI_AnomalyPickerStrip(m_candidates[static_cast<size_t>(i)]);
        const int y = rule.TopOf(row);
        strip->SetRect(static_cast<float>(clientLeft), static_cast<float>(y), static_cast<float>(clientRight - 30),
                       static_cast<float>(y + 40));
        AddChild(strip);
        m_strips.push_back(strip);
    }
}

void GUI_AnomalyPicker::Add(const SIM_Anomaly& candidate)
{
    if (m_scenario)
        m_scenario->AddAnomaly(candidate);
    if (GUI_AnomalyEditor* editor = GUI_AnomalyEditor::GetOpen())
        editor->Refresh();
    // The click is still walking this dialog: the manager deletes it after.
    CloseOpen();
}

void GUI_AnomalyPicker::Draw()
{
    if (m_scroll->changed) {
        m_scroll->changed = false;
        BuildStrips();
    }
    GUI_Dialog::Draw();
    GUI_MenuChrome::DrawClientArea(*this, m_interlace, 16.0f);
    DrawChildren();
    LibText::GetInstance().Render(-1);
}
