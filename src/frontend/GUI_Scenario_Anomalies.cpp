#include "frontend/GUI_Scenario_Anomalies.h"

#include "frontend/GUI_MenuChrome.h"
#include "engine/D3DEngine.h"
#include "engine/LibText.h"
#include "gui/GUI_FrameDrawing.h"
#include "gui/GUI_PreloadedTextures.h"
#include "gui/GUI_WindowManager.h"
#include "sim/SIM_Scenario.h"

void GUI_Scenario_Anomalies::Open(const SIM_Scenario& scenario)
{
    CloseOpen();
    SetOpen(new GUI_Scenario_Anomalies(scenario));
}

GUI_Scenario_Anomalies::GUI_Scenario_Anomalies(const SIM_Scenario& scenario) : GUI_Dialog(true)
{
    const int w = D3DEngine::GetInstance().GetScreenWidth(), h = D3DEngine::GetInstance().GetScreenHeight();
    // A description longer than the window is wide goes on over more lines;
    // the window grows by a line's 20 pixels for each.
    SetRect(static_cast<float>(w / 2 - 275), 0.0f, static_cast<float>(w / 2 + 275), 100.0f);
    SetClientRect();
    LibText& text = LibText::GetInstance();
    const bool measurable = text.FindFont("zekton16.dds") != nullptr;
    if (measurable)
        text.SetFont("zekton16.dds", 16.0f);
    for (const SIM_Anomaly& a : scenario.GetAnomalies()) {
        const std::string description = GetAnomalyDescription(a);
        const std::string wrapped = measurable ? text.GetWrappedText(description, clientRight - clientLeft - 20) : description;
        for (size_t begin = 0; begin <= wrapped.size();) {
            size_t end = wrapped.find('\n', begin);
            if (end == std::string::npos)
                end = wrapped.size();
            m_lines.push_back(wrapped.substr(begin, end - begin));
            begin = end + 1;
        }
    }
    const int height = 20 * static_cast<int>(m_lines.size()) + 80;
    SetRect(static_cast<float>(w / 2 - 275), static_cast<float>(h / 2 - height / 2), static_cast<float>(w / 2 + 275),
            static_cast<float>(h / 2 - height / 2 + height));
    SetClientRect();
    SetTitleKey("SPATIAL_ANOMALIES_TITLE");
    GUI_WindowManager::GetInstance().AddModal(this);
}

GUI_Scenario_Anomalies::~GUI_Scenario_Anomalies()
{
    ForgetIfOpen(this);
}

void GUI_Scenario_Anomalies::Draw()
{
    GUI_Dialog::Draw();
    GUI_MenuChrome::DrawClientArea(*this, m_interlace);
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    float y = static_cast<float>(clientTop);
    for (const std::string& line : m_lines) {
        text.SetText(TEXT_ALIGN_LEFT, line, static_cast<float>(clientLeft + 10), y, 0xFFFFFFFFu, 0.0f);
        y += 20.0f;
    }
    text.Render(-1);
}
