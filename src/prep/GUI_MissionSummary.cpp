#include "prep/GUI_MissionSummary.h"

#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "engine/StrFormat.h"
#include "gui/GUI_DialogLayout.h"
#include "gui/GUI_WindowManager.h"
#include "sim/SIM_Anomaly.h"
#include "sim/SIM_Scenario.h"

namespace {
GUI_MissionSummary* g_open = nullptr;
} // namespace

GUI_MissionSummary* GUI_MissionSummary::GetOpen()
{
    return g_open;
}

GUI_MissionSummary::GUI_MissionSummary(const SIM_Scenario& scenario) : GUI_Dialog(true)
{
    g_open = this;
    for (const SIM_Anomaly& anomaly : scenario.GetAnomalies())
        m_anomalies.push_back(GetAnomalyDescription(anomaly));
    m_costLabel = GetString("GUI_CHOOSESCENARIO_FLEETCOST");
    m_costValue = StrFormat("%d", scenario.GetFleetCostLimit());
    m_pilotLabel = GetString("GUI_CHOOSESCENARIO_PILOTSLIMIT");
    m_pilotValue = StrFormat("%d", scenario.GetPilotLimit());
    const int height = 20 * static_cast<int>(m_anomalies.size()) + 120;
    SetRect(0.0f, 0.0f, static_cast<float>(kWidth), static_cast<float>(height));
    Centre();
    SetRect(static_cast<float>(left), static_cast<float>(top), static_cast<float>(left + kWidth),
            static_cast<float>(top + height));
    SetTitle(GetString(scenario.guiname.c_str()));
}

GUI_MissionSummary::~GUI_MissionSummary()
{
    if (g_open == this)
        g_open = nullptr;
}

void GUI_MissionSummary::Draw()
{
    if (!visible)
        return;
    GUI_Dialog::Draw();
    DrawClientPanel(*this);
    m_interlace.Draw(GRect{clientLeft, clientTop, clientRight, clientBottom});
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    const float x = static_cast<float>(clientLeft) + 10.0f;
    float y = static_cast<float>(clientTop);
    const float valueX = static_cast<float>(clientRight) - 200.0f;
    text.SetText(TEXT_ALIGN_LEFT, m_costLabel, x, y, 0xFFFFFFFFu, 300.0f);
    text.SetText(TEXT_ALIGN_RIGHT, m_costValue, valueX, y, 0xFFFFFFFFu, 180.0f);
    y += 20.0f;
    text.SetText(TEXT_ALIGN_LEFT, m_pilotLabel, x, y, 0xFFFFFFFFu, 300.0f);
    text.SetText(TEXT_ALIGN_RIGHT, m_pilotValue, valueX, y, 0xFFFFFFFFu, 180.0f);
    for (const std::string& line : m_anomalies) {
        y += 20.0f;
        text.SetText(TEXT_ALIGN_LEFT, line, x, y, 0xFFFFFFFFu, static_cast<float>(clientRight - clientLeft - 20));
    }
    text.Render(-1);
}

void OpenMissionSummary(const SIM_Scenario& scenario)
{
    if (g_open)
        GUI_WindowManager::GetInstance().CloseWindow(g_open);
    new GUI_MissionSummary(scenario);
}

void CloseMissionSummary()
{
    if (g_open && !GUI_WindowManager::GetInstance().IsQueuedForDelete(g_open))
        GUI_WindowManager::GetInstance().CloseWindow(g_open);
}
