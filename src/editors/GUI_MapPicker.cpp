#include "editors/GUI_MapPicker.h"

#include "editors/StripListRule.h"
#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "gui/GUI_ScrollingWindow.h"
#include "sim/SIM_ContentFiles.h"
#include "sim/SIM_Scenario.h"

#include <algorithm>

namespace {
GUI_MapPicker* g_open = nullptr;
constexpr uint32_t kFrame = 0x40FFFFFFu;

std::string BaseName(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}
} // namespace

GUI_MapPickerStrip::GUI_MapPickerStrip(std::string file) : m_file(std::move(file))
{
    raisesOnClick = false;
    const size_t dot = m_file.find_last_of('.');
    m_shown = dot == std::string::npos || dot == 0 ? m_file : m_file.substr(0, dot);
}

bool GUI_MapPickerStrip::OnLeftClick(float x, float y)
{
    if (!Contains(x, y))
        return false;
    if (GUI_MapPicker* picker = GUI_MapPicker::GetOpen())
        picker->Select(m_file);
    return true;
}

void GUI_MapPickerStrip::Draw()
{
    const GUI_MapPicker* picker = GUI_MapPicker::GetOpen();
    const bool chosen = picker && picker->GetSelectedBackdrop() == m_file;
    D3DEngine::GetInstance().FillRect(GRect{left + 2, top + 2, right - 2, bottom - 2},
                                      chosen ? 0x40FFFFFFu : 0x20FFFFFFu);
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    text.SetText(TEXT_ALIGN_LEFT, m_shown, static_cast<float>(left + 10), static_cast<float>(top), 0xFFFFFFFFu, 0.0f);
}

GUI_MapPicker::GUI_MapPicker(SIM_Scenario* scenario) : m_scenario(scenario)
{
    g_open = this;
    m_title = GetString("GUI_MAPPICKER_TITLE");
    for (const std::string& path : FindContentFiles(kBackdropMask))
        m_files.push_back(BaseName(path));
    std::sort(m_files.begin(), m_files.end());
    m_files.erase(std::unique(m_files.begin(), m_files.end()), m_files.end());
    QLM_ASSERT(!m_files.empty());
    m_scroll = new GUI_ScrollingWindow();
    AddChild(m_scroll);
}

GUI_MapPicker::~GUI_MapPicker()
{
    if (g_open == this)
        g_open = nullptr;
}

GUI_MapPicker* GUI_MapPicker::GetOpen()
{
    return g_open;
}

void GUI_MapPicker::Layout()
{
    const int side = height - 10;
    m_preview.SetSize(static_cast<float>(side), static_cast<float>(side));
    m_list = GRect{left, top + 30, right - height, bottom};
    m_scroll->SetRect(static_cast<float>(m_list.right - 20), static_cast<float>(m_list.top),
                      static_cast<float>(m_list.right - 5), static_cast<float>(m_list.bottom));
    BuildStrips();
    const std::string chosen = m_scenario ? m_scenario->GetBackdrop() : std::string();
    if (!chosen.empty())
        Select(chosen);
    else if (!m_files.empty())
        Select(m_files.front());
}

void GUI_MapPicker::BuildStrips()
{
    for (GUI_MapPickerStrip* strip : m_strips) {
        RemoveChild(strip);
        delete strip;
    }
    m_strips.clear();
    std::vector<const std::string*> listed;
    for (const std::string& file : m_files)
        if (IsListed(file))
            listed.push_back(&file);
    const StripListRule rule{m_list.top, 26, m_list.bottom - 26};
    rule.SetUpScroll(*m_scroll, static_cast<int>(listed.size()));
    for (int i = m_scroll->position, row = 0; i < static_cast<int>(listed.size()) && row < rule.Capacity(); ++i, ++row) {
        auto* strip = new GUI_MapPickerStrip(*listed[static_cast<size_t>(i)]);
        const int y = rule.TopOf(row);
        strip->SetRect(static_cast<float>(m_list.left), static_cast<float>(y), static_cast<float>(m_list.right - 25),
                       static_cast<float>(y + 26));
        AddChild(strip);
        m_strips.push_back(strip);
    }
}

void GUI_MapPicker::Select(const std::string& file)
{
    m_selected = file;
    m_preview.SetTexture(file);
}

void GUI_MapPicker::Draw()
{
    if (m_scroll->changed) {
        m_scroll->changed = false;
        BuildStrips();
    }
    D3DEngine& engine = D3DEngine::GetInstance();
    engine.DrawRectFrame(GRect{left, top, right, bottom}, kFrame);
    const float cx = static_cast<float>(m_list.right + 100), cy = static_cast<float>(top + bottom) / 2.0f;
    m_preview.PlaceCentred(cx, cy);
    m_preview.Draw();
    const int half = (height - 10) / 2;
    engine.DrawRectFrame(GRect{static_cast<int>(cx) - half, static_cast<int>(cy) - half, static_cast<int>(cx) + half,
                               static_cast<int>(cy) + half},
                         kFrame);
    DrawChildren();
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 20.0f);
    text.SetText(TEXT_ALIGN_LEFT, m_title, static_cast<float>(left + 10), static_cast<float>(top), 0xFFFFFFFFu, 0.0f);
    text.Render(-1);
}
