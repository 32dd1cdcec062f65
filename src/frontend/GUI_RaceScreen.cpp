#include "frontend/GUI_RaceScreen.h"

#include "app/APP_UsageMetrics.h"
#include "app/GUI_Sounds.h"
#include "app/Game.h"
#include "engine/D3DEngine.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "frontend/GUI_ChooseScenario.h"
#include "frontend/GUI_MenuChrome.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_FrameDrawing.h"
#include "gui/GUI_PreloadedTextures.h"
#include "gui/GUI_ScrollingWindow.h"
#include "gui/GUI_Tutorial.h"
#include "gui/GUI_WindowManager.h"
#include "platform/KeyCodes.h"
#include "sim/SIM_Options.h"
#include "sim/SIM_Race.h"

#include <algorithm>

namespace {
} // namespace

// ---- one race ------------------------------------------------------------------

GUI_RaceDetails::GUI_RaceDetails(SIM_Race& race) : m_race(race)
{
    m_select = new GUI_ButtonText("RACE_SELECT", OnSelect, reinterpret_cast<std::intptr_t>(this));
    m_select->SetTooltipString(GetString("RACE_SELECT_TOOLTIP"));
    AddButton(m_select);
    m_currentText = GetString("RACE_CURRENTLY_SELECTED");
    // A race still for sale in the shop cannot be chosen yet.
    if (race.IsLocked()) {
        m_selectable = false;
        m_select->SetTextKey("RACE_LOCKED");
        m_select->SetTooltipString(GetString("RACE_LOCKED_TOOLTIP"));
    }
    m_background.SetTexture("box_background.jpg");
    m_logo.SetTexture(race.GetLogo());
    raisesOnClick = false;
    RefreshButton();
}

void GUI_RaceDetails::RefreshButton()
{
    const bool current = SIM_Options::GetInstance().GetRaceName() == m_race.GetName();
    m_select->visible = !current;
    m_select->enabled = !current && m_selectable;
    m_select->SetRect(static_cast<float>(left + 20), static_cast<float>(bottom - 40), static_cast<float>(left + 180),
                      static_cast<float>(bottom - 20));
}

void GUI_RaceDetails::OnSelect(std::intptr_t row)
{
    auto* details = reinterpret_cast<GUI_RaceDetails*>(row);
    if (details && details->m_selectable)
        GUI_RaceScreen::SelectRace(details->m_race);
}

void GUI_RaceDetails::Draw()
{
    const float w = static_cast<float>(width), l = static_cast<float>(left);
    GUI_MenuChrome::DrawPanel(m_background, GRect{left, top, right, bottom});
    DrawPreloadedFrame(GUI_PreloadedTextures::kDialogClient, 32.0f, 1.0f, static_cast<float>(m_inner.left),
                       static_cast<float>(m_inner.top), static_cast<float>(m_inner.right),
                       static_cast<float>(m_inner.bottom));
    m_interlace.Draw(m_inner);
    RefreshButton();
    LibText& text = LibText::GetInstance();
    if (!m_select->visible) {
        text.SetFont("cwfont20.dds", 20.0f);
        text.SetText(TEXT_ALIGN_CENTRE, m_currentText, l, static_cast<float>(bottom - 45), 0xFFFFFFFFu, w);
        text.Render(-1);
    }
    const float logoX = static_cast<float>(right - 105), logoY = static_cast<float>((top + bottom) / 2);
    m_logo.SetSize(165.0f, 165.0f);
    m_logo.PlaceCentred(logoX, logoY);
    m_logo.Draw();
    D3DEngine::GetInstance().DrawRectFrame(
        GRect{static_cast<int>(logoX) - 83, static_cast<int>(logoY) - 83, static_cast<int>(logoX) + 83,
              static_cast<int>(logoY) + 83},
        0xFF808080u);
    DrawButtons();
    text.SetFont("cwfont20.dds", 20.0f);
    text.SetText(TEXT_ALIGN_LEFT, GetString(m_race.GetGuiName().c_str()), l + 15.0f,
                 static_cast<float>(m_inner.top + 5), 0xFFFFFFFFu, 0.0f);
    text.Render(-1);
    text.SetFont("zekton16.dds", 16.0f);
    const int wrap = static_cast<int>(logoX - 83.0f - 10.0f - (l + 15.0f));
    text.SetText(TEXT_ALIGN_LEFT, text.GetWrappedText(GetString(m_race.GetDescription().c_str()), wrap), l + 15.0f,
                 static_cast<float>(m_inner.top + 25), 0xFFFFFFFFu, 0.0f);
    text.Render(-1);
}

// ---- the selector --------------------------------------------------------------

void GUI_RaceSelector::Open()
{
    Close();
    SetOpen(new GUI_RaceSelector());
}

void GUI_RaceSelector::Close()
{
    CloseOpen();
}

GUI_RaceSelector::GUI_RaceSelector() : GUI_Dialog(false)
{
    const int H = D3DEngine::GetInstance().GetScreenHeight();
    m_rowsShown = H <= 968 ? 3 : 4;
    SetSize(900.0f, H <= 968 ? 665.0f : 865.0f);
    Centre();
    SetClientRect();
    SetTitleKey("RACESELECTOR_TITLE");
    m_scroll = new GUI_ScrollingWindow();
    m_scroll->SetRect(static_cast<float>(right - 30), static_cast<float>(clientTop), static_cast<float>(right - 10),
                      static_cast<float>(clientBottom));
    AddChild(m_scroll);
    FillRows();
    GUI_WindowManager::GetInstance().BringToFront(this);
    GUI_Tutorial::GetInstance().LaunchTutorial("CHANGERACE");
    APP_UsageMetrics::GetInstance().SetEventFlag("raceselect");
}

GUI_RaceSelector::~GUI_RaceSelector()
{
    ForgetIfOpen(this);
}

void GUI_RaceSelector::FillRows()
{
    for (GUI_RaceDetails* row : m_rows) {
        RemoveChild(row);
        delete row;
    }
    m_rows.clear();
    const std::vector<SIM_Race*>& races = SIM_Race::GetList();
    const int races_n = static_cast<int>(races.size());
    const int first = std::clamp(m_scroll->position, 0, std::max(0, races_n - m_rowsShown));
    for (int i = first; i < races_n && static_cast<int>(m_rows.size()) < m_rowsShown; ++i)
        m_rows.push_back(new GUI_RaceDetails(*races[static_cast<size_t>(i)]));
    const int added = static_cast<int>(m_rows.size());
    m_scroll->contentSize = static_cast<float>(races_n);
    m_scroll->visibleSize = static_cast<float>(added);
    m_scroll->maximum = std::max(0, races_n - added);
    m_scroll->position = first;
    for (int k = 0; k < added; ++k) {
        GUI_RaceDetails* row = m_rows[static_cast<size_t>(k)];
        const int t = clientTop + kRowHeight * k;
        row->SetRect(static_cast<float>(clientLeft), static_cast<float>(t), static_cast<float>(clientRight - 30),
                     static_cast<float>(t + kRowHeight));
        row->SetInner(GRect{row->left + 10, row->top + 10, row->right - 10, row->bottom - 10});
        row->RefreshButton();
        AddChild(row);
    }
}

void GUI_RaceSelector::Draw()
{
    if (m_scroll->changed) {
        m_scroll->changed = false;
        FillRows();
    }
    GUI_Dialog::Draw();
    DrawChildren();
    LibText::GetInstance().Render(-1);
}

// ---- the screen ----------------------------------------------------------------

GUI_RaceScreen& GUI_RaceScreen::GetInstance()
{
    static GUI_RaceScreen instance;
    return instance;
}

GUI_RaceScreen::GUI_RaceScreen()
{
    m_back = new GUI_ButtonText("UNLOCKSHOP_MAIN_MENU", OnBack, 0);
    m_back->SetTooltipString(GetString("UNLOCKSHOP_MAIN_MENU_TOOLTIP"));
    AddButton(m_back);
}

void GUI_RaceScreen::SelectRace(SIM_Race& race)
{
    SIM_Options& options = SIM_Options::GetInstance();
    options.SetRaceName(race.GetName());
    options.Save();
    GUI_ChooseScenario::GetInstance().SetRaceTitle(GetString(race.GetGuiName().c_str()));
    GUI_MenuChrome::PlaySound(3);
}

void GUI_RaceScreen::OnBack(std::intptr_t)
{
    Game::GetInstance().SetMode(GetInstance().m_returnMode);
}

void GUI_RaceScreen::Enter()
{
    m_returnMode = 15;
    LayOutScreen(*m_back);
    GUI_RaceSelector::Open();
}

void GUI_RaceScreen::Leave()
{
    GUI_RaceSelector::Close();
}
