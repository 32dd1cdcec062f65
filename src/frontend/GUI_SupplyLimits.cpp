#include "frontend/GUI_SupplyLimits.h"

#include "frontend/GUI_MenuChrome.h"
#include "engine/CInput.h"
#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "gui/GUI_Cursor.h"
#include "gui/GUI_FrameDrawing.h"
#include "gui/GUI_PreloadedTextures.h"
#include "gui/GUI_ScrollingWindow.h"
#include "gui/GUI_Tooltip.h"
#include "gui/GUI_Tutorial.h"
#include "gui/GUI_WindowManager.h"
#include "sim/SIM_Scenario.h"
#include "sim/SIM_ShipModuleType.h"

#include <algorithm>

namespace {
GUI_SupplyLimits::FleetCounter g_counter;
GUI_SupplyLimits::StripClickHandler g_clickHandler;
bool g_atLeftEdge = false;
} // namespace

// ---- one line ------------------------------------------------------------------

GUI_SupplyLimitStrip::GUI_SupplyLimitStrip(const SIM_ShipModuleType& type, int limit, int mode)
    : m_type(type), m_name(GetString(type.GetGuiName().c_str())), m_limit(limit), m_mode(mode)
{
    GUI_MenuChrome::SetModuleIcon(m_icon, type);
    m_limitText = std::to_string(limit) + " " + GetString(limit == 1 ? "SUPPLY_UNIT" : "SUPPLY_UNITS");
    raisesOnClick = false;
    Refresh();
}

GUI_SupplyLimitStrip::~GUI_SupplyLimitStrip()
{
    delete m_tooltip;
}

float GUI_SupplyLimitStrip::UsageFraction(int count, int limit)
{
    if (limit > 0)
        return static_cast<float>(count) / static_cast<float>(limit);
    // Nothing is allowed: none used is fine, any use is over the top.
    return count > 0 ? 2.0f : 0.0f;
}

void GUI_SupplyLimitStrip::Refresh()
{
    if (m_mode != GUI_SupplyLimits::MODE_DEPLOYMENT)
        return;
    const int count = GUI_SupplyLimits::CountInFleet(m_type.GetName());
    m_fraction = UsageFraction(count, m_limit);
    m_inUseText = std::to_string(count) + " " + GetString("SUPPLIES_INUSE");
    delete m_tooltip;
    m_tooltip = new GUI_Tooltip(GetString(IsOverLimit(count, m_limit) ? "SUPPLIES_NOTENOUGH_TOOLTIP"
                                                                       : "SUPPLIES_OK_TOOLTIP"),
                                20);
}

bool GUI_SupplyLimitStrip::OnLeftClick(float x, float y)
{
    if (m_mode != GUI_SupplyLimits::MODE_DEPLOYMENT || !Contains(x, y))
        return GUI_WindowBase::OnLeftClick(x, y);
    GUI_MenuChrome::PlaySound(0);
    GUI_SupplyLimits::OnStripClicked(m_type.GetName());
    return true;
}

void GUI_SupplyLimitStrip::Update()
{
    if (m_mode == GUI_SupplyLimits::MODE_DEPLOYMENT && IsMouseOver())
        GUI_Cursor::GetInstance().SetHand();
    GUI_WindowBase::Update();
}

void GUI_SupplyLimitStrip::Draw()
{
    D3DEngine& engine = D3DEngine::GetInstance();
    const bool deployment = m_mode == GUI_SupplyLimits::MODE_DEPLOYMENT;
    const bool over = IsMouseOver();
    if (deployment) {
        const int w = static_cast<int>(static_cast<float>(width) * std::clamp(m_fraction, 0.0f, 1.0f));
        engine.FillRect(GRect{left, top, left + w, bottom}, m_fraction > 1.0f ? 0x30FF4040u : 0x20FFFFFFu);
    }
    engine.DrawRectFrame(GRect{left, top, right, bottom}, deployment && over ? 0x80FFFFFFu : 0x30FFFFFFu);
    const float side = static_cast<float>(height - 6);
    m_icon.SetSize(side, side);
    m_icon.PlaceCentred(static_cast<float>(left + 4) + side * 0.5f, static_cast<float>(bottom - 4) - side * 0.5f);
    m_icon.Draw();
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    const float x = static_cast<float>(left + 4) + side + 4.0f, t = static_cast<float>(top);
    text.SetText(TEXT_ALIGN_LEFT, m_name, x, t, 0xFFFFFFFFu, 0.0f);
    text.SetText(TEXT_ALIGN_LEFT, m_limitText, x, t + 16.0f, 0xFFFFFFFFu, 0.0f);
    if (deployment)
        text.SetText(TEXT_ALIGN_RIGHT, m_inUseText, static_cast<float>(right - 200), t + 16.0f, 0xFFFFFFFFu, 190.0f);
    if (m_tooltip) {
        if (over) {
            m_tooltip->SetAnchor(CInput::GetInstance().GetMouseX(), CInput::GetInstance().GetMouseY());
            m_tooltip->CheckShowTime();
        } else {
            m_tooltip->visibility = 0.0f;
        }
        m_tooltip->Draw();
    }
}

// ---- the list window -----------------------------------------------------------

void GUI_SupplyLimits::SetFleetCounter(FleetCounter counter)
{
    g_counter = std::move(counter);
}

int GUI_SupplyLimits::CountInFleet(const std::string& moduleType)
{
    return g_counter ? g_counter(moduleType) : 0;
}

void GUI_SupplyLimits::SetStripClickHandler(StripClickHandler handler)
{
    g_clickHandler = std::move(handler);
}

void GUI_SupplyLimits::OnStripClicked(const std::string& moduleType)
{
    if (g_clickHandler)
        g_clickHandler(moduleType);
}

void GUI_SupplyLimits::SetAtLeftEdge(bool on)
{
    g_atLeftEdge = on;
}

void GUI_SupplyLimits::Open(SIM_Scenario* scenario, int mode)
{
    Close();
    QLM_ASSERT(scenario != nullptr);
    if (scenario)
        SetOpen(new GUI_SupplyLimits(scenario, mode));
}

void GUI_SupplyLimits::Close()
{
    CloseOpen();
}

void GUI_SupplyLimits::RefreshStrips()
{
    if (GUI_SupplyLimits* open = GetOpen())
        for (GUI_SupplyLimitStrip* s : open->m_strips)
            s->Refresh();
}

GUI_SupplyLimits::GUI_SupplyLimits(SIM_Scenario* scenario, int mode) : GUI_Dialog(true), m_scenario(scenario), m_mode(mode)
{
    D3DEngine& engine = D3DEngine::GetInstance();
    const int W = engine.GetScreenWidth(), H = engine.GetScreenHeight();
    for (const SIM_Scenario::SupplyLimit& entry : scenario->GetSupplyLimits()) {
        // Limits of module types this game does not know are kept but not shown.
        if (const SIM_ShipModuleType* type = SIM_ShipModuleType::Find(entry.moduleType, false))
            m_strips.push_back(new GUI_SupplyLimitStrip(*type, entry.limit, mode));
    }
    const int n = static_cast<int>(scenario->GetSupplyLimits().size());
    int h = 40 * (mode == MODE_DEPLOYMENT ? n : n / 2) + 70;
    while (h > H - 100)
        h -= 40;
    if (mode == MODE_DEPLOYMENT) {
        m_columns = W > 1500 ? 2 : 1;
        const int w = 290 * m_columns + 40;
        const int x = g_atLeftEdge ? 0 : W - w;
        SetRect(static_cast<float>(x), static_cast<float>(H / 2 - h / 2), static_cast<float>(x + w),
                static_cast<float>(H / 2 - h / 2 + h));
    } else {
        m_columns = 2;
        SetSize(620.0f, static_cast<float>(h));
        Centre();
    }
    SetClientRect();
    SetTitleKey("SUPPLY_LIMIT_TITLE");
    GUI_WindowManager::GetInstance().BringToFront(this);
    if (IsModal())
        GUI_WindowManager::GetInstance().AddModal(this);
    SetName("SUPPLYLIMITS");

    const int visibleRows = (clientBottom - clientTop - 8) / 40;
    const int rows = (static_cast<int>(m_strips.size()) + m_columns - 1) / m_columns;
    if (rows > visibleRows) {
        m_scroll = new GUI_ScrollingWindow();
        m_scroll->SetRect(static_cast<float>(clientRight - 20), static_cast<float>(clientTop + 4),
                          static_cast<float>(clientRight - 4), static_cast<float>(clientBottom - 4));
        AddChild(m_scroll);
    }
    LayOutStrips();
    if (mode == MODE_DEPLOYMENT)
        GUI_Tutorial::GetInstance().LaunchTutorial("SUPPLYLIMITS_DEPLOY");
}

GUI_SupplyLimits::~GUI_SupplyLimits()
{
    ForgetIfOpen(this);
    for (GUI_SupplyLimitStrip* s : m_strips) {
        RemoveChild(s);
        delete s;
    }
}

void GUI_SupplyLimits::LayOutStrips()
{
    for (GUI_SupplyLimitStrip* s : m_strips)
        RemoveChild(s);
    const int l = clientLeft + 4, xr = m_scroll ? clientRight - 24 : clientRight - 4;
    const int m = (l + xr) / 2;
    int y = clientTop + 4;
    const int skip = (m_scroll ? m_scroll->position : 0) * m_columns;
    int visibleRows = 0;
    for (size_t i = static_cast<size_t>(skip); i < m_strips.size() && y <= clientBottom - 44; ++i) {
        GUI_SupplyLimitStrip* s = m_strips[i];
        AddChild(s);
        const bool second = m_columns == 2 && (i - static_cast<size_t>(skip)) % 2 == 1;
        if (m_columns == 1)
            s->SetRect(static_cast<float>(l), static_cast<float>(y), static_cast<float>(xr), static_cast<float>(y + 38));
        else if (!second)
            s->SetRect(static_cast<float>(l), static_cast<float>(y), static_cast<float>(m - 2), static_cast<float>(y + 38));
        else
            s->SetRect(static_cast<float>(m + 2), static_cast<float>(y), static_cast<float>(xr), static_cast<float>(y + 38));
        if (m_columns == 1 || second || i + 1 == m_strips.size()) {
            y += 40;
            ++visibleRows;
        }
    }
    if (m_scroll) {
        const int rows = (static_cast<int>(m_strips.size()) + m_columns - 1) / m_columns;
        m_scroll->contentSize = static_cast<float>(rows);
        m_scroll->visibleSize = static_cast<float>(visibleRows);
        m_scroll->maximum = std::max(0, rows - visibleRows);
    }
}

void GUI_SupplyLimits::Draw()
{
    if (m_scroll && m_scroll->changed) {
        m_scroll->changed = false;
        LayOutStrips();
    }
    GUI_Dialog::Draw();
    GUI_MenuChrome::DrawClientArea(*this, m_interlace);
    DrawChildren();
    LibText::GetInstance().Render(-1);
}
