#include "frontend/GUI_MainMenu.h"

#include "app/APP_UsageMetrics.h"
#include "app/GUI_Sounds.h"
#include "app/Game.h"
#include "app/MusicTracks.h"
#include "campaign/gui/GUI_CampaignLoader.h"
#include "engine/APP_ContentPackage.h"
#include "engine/D3DEngine.h"
#include "engine/GHashTable.h"
#include "engine/GDebugLog.h"
#include "engine/GFileHelpers.h"
#include "engine/GSystem.h"
#include "engine/LibText.h"
#include "frontend/GUI_TitleBackdrop.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_ConfirmDialog.h"
#include "gui/GUI_Message.h"
#include "gui/GUI_Tutorial.h"
#include "gui/GUI_WindowManager.h"
#include "online/GUI_OnlineMessagePopup.h"
#include "online/OnlineMessageCheck.h"
#include "online/SIM_AutoUpdater.h"
#include "online/SIM_Server.h"
#include "platform/KeyCodes.h"
#include "prep/GUI_ShipDesignGUI.h"

#include <algorithm>

namespace {
void QuitAnswered(std::intptr_t)
{
    Game::GetInstance().OnQuit();
}
} // namespace

GUI_MainMenu& GUI_MainMenu::GetInstance()
{
    static GUI_MainMenu instance;
    return instance;
}

GUI_ButtonText* GUI_MainMenu::MakeButton(const char* key, const char* tooltipKey, GUI_Callback callback)
{
    auto* button = new GUI_ButtonText(key, callback, 0);
    if (tooltipKey)
        button->SetTooltipString(GetString(tooltipKey), kTooltipDelay);
    AddButton(button);
    button->SetName(key);
    return button;
}

GUI_MainMenu::GUI_MainMenu()
{
    m_battle = MakeButton("MAINMENU_BATTLE", "TOOLTIP_MAINMENU_BATTLE", OnBattle);
    if (APP_ContentPackage::GetInstance().HasCampaign())
        m_campaign = MakeButton("CAMPAIGN_MAINMENU", "CAMPAIGN_MAINMENU_TOOLTIP", OnCampaign);
    m_shipDesign = MakeButton("MAINMENU_SHIPDESIGN", "TOOLTIP_MAINMENU_SHIPDESIGN", OnShipDesign);
    m_online = MakeButton("MAINMENU_ONLINE", "TOOLTIP_MAINMENU_ONLINE", OnOnline);
    m_options = MakeButton("MAINMENU_OPTIONS", "TOOLTIP_MAINMENU_OPTIONS", OnOptions);
    m_challenges = MakeButton("MAINMENU_CHALLENGES", "TOOLTIP_MAINMENU_CHALLENGES", OnChallenges);
    m_unlocks = MakeButton("MAINMENU_UNLOCKS", "TOOLTIP_MAINMENU_UNLOCKS", OnUnlocks);
    m_scenarioEditor = MakeButton("MAINMENU_SCENARIO_EDITOR", "TOOLTIP_MAINMENU_SCENARIO_EDITOR", OnScenarioEditor);
    if (Game::GetInstance().IsEditorEnabled())
        m_hullEditor = MakeButton("MAINMENU_HULLEDITOR", nullptr, OnHullEditor);
    m_manual = MakeButton("MAINMENU_MANUAL", "TOOLTIP_MAINMENU_MANUAL", OnManual);
    m_quit = MakeButton("MAINMENU_QUIT", "TOOLTIP_MAINMENU_QUIT", OnQuit);

    for (GUI_ButtonText* b : {m_battle, m_campaign, m_shipDesign, m_online, m_options, m_challenges, m_unlocks,
                              m_scenarioEditor, m_manual, m_quit, m_hullEditor})
        if (b)
            m_row.push_back(b);
    // The start-up switch from no screen runs no Enter: the first layout is ours.
    Enter();
    CheckForNewOnlineMessages();
}

std::vector<GUI_MainMenu::Slot> GUI_MainMenu::LayOutRow(int left, int right, int height,
                                                        const std::vector<int>& labelWidths)
{
    const size_t count = labelWidths.size();
    const float centre = static_cast<float>(left + right) * 0.5f;
    const float top = static_cast<float>(height - 32);
    // The thousand pixels from centre - 490 to centre + 510, shared by the
    // labels; wider only when a label would keep less than its least padding
    // and the screen has the room.
    float span = kRowSpan - 10.0f;
    std::vector<float> widths = GUI_ButtonText::ShareRow(labelWidths, span, 10.0f, GUI_ButtonText::kLabelPad);
    float labels = 0.0f;
    for (int w : labelWidths)
        labels += static_cast<float>(w);
    const float tight = labels + 10.0f * static_cast<float>(count - 1) + 2.0f * kMinLabelPad * static_cast<float>(count);
    if (count > 0 && tight > span) {
        span = std::max(span, std::min(static_cast<float>(right - left - 40), tight));
        widths = GUI_ButtonText::ShareRow(labelWidths, span, 10.0f, GUI_ButtonText::kLabelPad);
    }
    std::vector<Slot> slots;
    float x = centre + 10.0f - span * 0.5f;
    for (float w : widths) {
        slots.push_back({x, top, x + w, top + 20.0f});
        x += w + 10.0f;
    }
    return slots;
}

void GUI_MainMenu::Enter()
{
    LayOut();
    m_challenges->enabled = SIM_Server::GetInstance().HasUserName();
    GUI_Sounds::GetInstance().PlayMusic(MusicTracks::kMainTitle, false);
    GUI_Tutorial::GetInstance().LaunchTutorial("WELCOME");
}

void GUI_MainMenu::LayOut()
{
    D3DEngine& engine = D3DEngine::GetInstance();
    const int w = engine.GetScreenWidth(), h = engine.GetScreenHeight();
    m_laidOutW = w;
    m_laidOutH = h;
    SetSize(static_cast<float>(w), static_cast<float>(h));
    MoveTo(0.0f, 0.0f);
    std::vector<int> labels;
    for (const GUI_ButtonText* button : m_row)
        labels.push_back(button->GetLabelWidth());
    const std::vector<Slot> slots = LayOutRow(left, right, h, labels);
    for (size_t i = 0; i < m_row.size(); ++i)
        m_row[i]->SetRect(slots[i].left, slots[i].top, slots[i].right, slots[i].bottom);
    m_chrome.LayOut(w, h);
}

void GUI_MainMenu::Leave()
{
    GUI_Sounds& sounds = GUI_Sounds::GetInstance();
    sounds.PlayMusic(MusicTracks::kSettingUpShips, false);
    sounds.StopAllBanks();
    GUI_OnlineMessagePopup::CloseOpen();
}

void GUI_MainMenu::Update()
{
    // The first screen of a start runs no Enter: follow a new screen size here.
    D3DEngine& engine = D3DEngine::GetInstance();
    if (engine.GetScreenWidth() != m_laidOutW || engine.GetScreenHeight() != m_laidOutH)
        LayOut();
    GUI_MenuChrome::UpdateWindowsThenButtons(*this);
    // Answers of the start-up requests arrive here, never holding a frame.
    PollNewOnlineMessages();
    std::string notice;
    if (SIM_AutoUpdater::GetInstance().TakeNotice(notice))
        ShowMessage(notice, "UPDATE_AVAILABLE_TITLE");
}

void GUI_MainMenu::Render()
{
    GUI_TitleBackdrop::GetInstance().Draw();
    LibText& text = LibText::GetInstance();
    if (text.FindFont("zekton16.dds")) {
        text.SetFont("zekton16.dds", 16.0f);
        text.SetText(TEXT_ALIGN_RIGHT, Game::GetInstance().GetVersionText(), 0.0f, 3.0f, 0xFFFFFFFFu,
                     static_cast<float>(D3DEngine::GetInstance().GetScreenWidth() - 10));
        text.Render(-1);
    }
    m_chrome.DrawBottomBar();
    DrawButtons();
}

void GUI_MainMenu::OnKeyDown(int code)
{
    GUI_GameModeBase::OnKeyDown(code);
    if (code != KEY_ESCAPE)
        return;
    if (!GUI_WindowManager::GetInstance().CloseTopModal())
        AskToQuit();
}

void GUI_MainMenu::OnLeftClick()
{
    if (GUI_WindowManager::GetInstance().DispatchClick())
        return;
    ClickButtons();
}

void GUI_MainMenu::AskToQuit()
{
    AskYesNo("QUIT_APP_CONFIRM_TEXT", "QUIT_APP_CONFIRM_TITLE", QuitAnswered, false);
}

void GUI_MainMenu::OnBattle(std::intptr_t)
{
    Game::GetInstance().SetMode(3);
}

void GUI_MainMenu::OnCampaign(std::intptr_t)
{
    GUI_CampaignLoader::Open();
}

void GUI_MainMenu::OnShipDesign(std::intptr_t)
{
    GUI_ShipDesignGUI::OpenFrom(GUI_ShipDesignGUI::RETURN_MAIN_MENU);
}

void GUI_MainMenu::OnOnline(std::intptr_t)
{
    Game::GetInstance().SetMode(4);
}

void GUI_MainMenu::OnOptions(std::intptr_t)
{
    Game::GetInstance().SetMode(7);
}

void GUI_MainMenu::OnChallenges(std::intptr_t)
{
    Game::GetInstance().SetMode(6);
}

void GUI_MainMenu::OnUnlocks(std::intptr_t)
{
    Game::GetInstance().SetMode(10);
}

void GUI_MainMenu::OnHullEditor(std::intptr_t)
{
    Game::GetInstance().SetMode(8);
}

void GUI_MainMenu::OnScenarioEditor(std::intptr_t)
{
    Game::GetInstance().SetMode(13);
}

bool GUI_MainMenu::OpenManual()
{
    // The manual opens beside the game, which keeps running; the player is
    // told when it cannot, not only the log.
    std::string whyNot;
    if (!FileExists(kManualFile)) {
        LOG_ERROR(std::string("Failed to open [") + kManualFile + "]: not in the game folder");
        ShowMessage(GetString("MANUAL_MISSING"), "MANUAL_TITLE");
        return false;
    }
    if (!OpenInShell(kManualFile, &whyNot)) {
        ShowMessage(std::string(GetString("MANUAL_NOT_OPENED")) + "\n" + whyNot, "MANUAL_TITLE");
        return false;
    }
    return true;
}

void GUI_MainMenu::OnManual(std::intptr_t)
{
    APP_UsageMetrics::GetInstance().SetEventFlag("manual");
    OpenManual();
}

void GUI_MainMenu::OnQuit(std::intptr_t)
{
    AskToQuit();
}
