#include "frontend/GUI_Scenario.h"

#include "app/GUI_Sounds.h"
#include "engine/CInput.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "frontend/GUI_MenuChrome.h"
#include "frontend/GUI_ScenarioDetails.h"
#include "gui/GUI_Cursor.h"
#include "gui/GUI_FrameDrawing.h"
#include "gui/GUI_IconButton.h"
#include "gui/GUI_PreloadedTextures.h"
#include "gui/GUI_Tooltip.h"
#include "gui/GUI_WindowManager.h"
#include "sim/SIM_HighScores.h"
#include "sim/SIM_Scenario.h"

#include <algorithm>

namespace {
const GUI_Scenario* g_lastHovered = nullptr;
const IClock* g_clock = nullptr;
} // namespace

void GUI_Scenario::SetClock(const IClock* clock)
{
    g_clock = clock;
}

const GUI_Scenario* GUI_Scenario::GetLastHovered()
{
    return g_lastHovered;
}

GUI_Scenario::GUI_Scenario(SIM_Scenario* scenario)
    : m_scenario(scenario), m_name(GetString(scenario->GetGuiName().c_str())),
      m_available(SIM_HighScores::GetInstance().IsScenarioAvailable(scenario->GetName())), m_timer(g_clock)
{
    SetSize(415.0f, 30.0f);
    SetName("scenario_" + scenario->GetName());
    const bool survival = scenario->GetType() == SIM_Scenario::SURVIVAL;
    const char* texture = survival ? "scenario_survival.dds" : "scenario_skirmish.dds";
    m_icon = new GUI_IconButton(nullptr, 0, texture, texture);
    m_icon->silent = true;
    m_icon->SetTooltipString(GetString(survival ? "SCENARIO_TYPE_SURVIVAL" : "SCENARIO_TYPE_SKIRMISH"));
    AddButton(m_icon);
    m_tooltip = new GUI_Tooltip(GetString(m_available ? "SCENARIO_UNLOCKED_TOOLTIP" : "SCENARIO_LOCKED_TOOLTIP"), 30);
    raisesOnClick = false;
}

GUI_Scenario::~GUI_Scenario()
{
    if (g_lastHovered == this)
        g_lastHovered = nullptr;
    delete m_tooltip;
}

void GUI_Scenario::Animate(float delayMs)
{
    m_delay = delayMs;
    m_state = WAITING;
    m_timer.Start();
}

bool GUI_Scenario::OnLeftClick(float x, float y)
{
    // A row that has not appeared yet is not there to be clicked.
    if (m_state == WAITING || !Contains(x, y))
        return false;
    if (!m_available) {
        GUI_MenuChrome::PlaySound(5);
        return true;
    }
    GUI_MenuChrome::PlaySound(0);
    GUI_ScenarioDetails::Open(m_scenario);
    return true;
}

void GUI_Scenario::ClearHover()
{
    m_hovered = false;
    m_tooltip->visibility = 0.0f;
}

void GUI_Scenario::Update()
{
    ClearHover();
    GUI_WindowManager& manager = GUI_WindowManager::GetInstance();
    if (manager.IsMouseOverWindow() || m_state == WAITING)
        return;
    const bool inside = IsMouseOver();
    if (inside && m_available) {
        m_hovered = true;
        if (g_lastHovered != this) {
            g_lastHovered = this;
            GUI_MenuChrome::PlaySound(2);
        }
        GUI_Cursor::GetInstance().SetHand();
    }
    if (inside) {
        m_tooltip->SetAnchor(CInput::GetInstance().GetMouseX(), CInput::GetInstance().GetMouseY());
        m_tooltip->CheckShowTime();
    }
    GUI_WindowBase::Update();
}

void GUI_Scenario::DrawRow(float fraction)
{
    m_visibleWidth = static_cast<int>(static_cast<float>(width) * fraction);
    const float l = static_cast<float>(left), t = static_cast<float>(top);
    const float r = l + static_cast<float>(m_visibleWidth), b = static_cast<float>(bottom);
    const GUI_ScenarioDetails* details = GUI_ScenarioDetails::GetOpen();
    const bool shownInDetails = details && details->GetScenario() == m_scenario;
    const bool lit = shownInDetails || (m_state == SHOWN && m_hovered);
    DrawPreloadedFrame(lit ? GUI_PreloadedTextures::kHighlight : GUI_PreloadedTextures::kHighlightBlack, 8.0f, 0.2f,
                       l, t, r, b);
    const float cy = static_cast<float>((top + bottom) / 2);
    if (m_visibleWidth > 30) {
        m_icon->SetRect(l + 8.0f, cy - 8.0f, l + 24.0f, cy + 8.0f);
        DrawButtons();
    }
    const uint32_t colour = m_available ? 0xFFFFFFFFu : kFadedColour;
    LibText& text = LibText::GetInstance();
    if (m_state == SHOWN)
        text.SetText(TEXT_ALIGN_LEFT, m_name, l + 30.0f, t + 4.0f, colour, 0.0f);
    else if (m_visibleWidth - 30 > 20)
        text.SetText(TEXT_ALIGN_LEFT, text.GetWrappedText(m_name, m_visibleWidth - 30), l + 30.0f, t + 4.0f, colour,
                     0.0f);
}

void GUI_Scenario::Draw()
{
    if (!visible)
        return;
    m_timer.Update();
    const double t = m_timer.GetTotalMs();
    if (m_state == WAITING) {
        m_visibleWidth = 0;
        if (t >= m_delay) {
            m_state = GROWING;
            m_timer.Start();
        }
        return;
    }
    if (m_state == GROWING) {
        const float f = std::clamp(static_cast<float>(t) / kSweepMs, 0.0f, 1.0f);
        if (f >= 1.0f) {
            m_state = SHOWN;
            m_timer.Start();
        } else {
            DrawRow(f);
            return;
        }
    }
    DrawRow(1.0f);
    m_tooltip->Draw();
}
