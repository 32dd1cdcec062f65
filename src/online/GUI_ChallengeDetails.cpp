#include "online/GUI_ChallengeDetails.h"

#include "app/Game.h"
#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_OneOpen.h"
#include "gui/GUI_Tutorial.h"
#include "gui/GUI_TutorialWindow.h"
#include "gui/GUI_WindowManager.h"
#include "online/GUI_ChallengeDetailsHistory.h"
#include "online/GUI_ChallengeList.h"
#include "online/GUI_PleaseWait.h"
#include "online/OnlineJob.h"
#include "online/GUI_ChallengeStrip.h"
#include "online/GUI_ChallengeThumbnail.h"
#include "online/GUI_Rating.h"
#include "online/GUI_RetaliationsList.h"
#include "online/SIM_ChallengeDatabase.h"
#include "online/SIM_Server.h"
#include "prep/GUI_DeploymentGUI.h"
#include "sim/SIM_ChallengeFile.h"
#include "sim/SIM_Scenario.h"

namespace {
// Every challenge read this run: the battle and its result windows may still
// point at an earlier one, so none is freed before exit.
std::vector<std::unique_ptr<SIM_Scenario>> g_scenarios;
} // namespace

// --- Data panel -------------------------------------------------------------

void GUI_ChallengeDetailsData::SetChallenge(const SIM_ChallengeRecord& r)
{
    static const char* kKeys[kRows] = {"CHALLENGE_DETAILS_FROM",    "CHALLENGE_DETAILS_TO",
                                       "CHALLENGE_LIST_TAUNT",      "CHALLENGE_LIST_MAP",
                                       "CHALLENGE_LIST_RACE",       "CHALLENGE_LIST_DATE",
                                       "CHALLENGE_DETAILS_VICTORIES", "CHALLENGE_DETAILS_ACCEPTANCES",
                                       "CHALLENGE_DETAILS_QLMID",   "CHALLENGE_DETAILS_PARENT"};
    const std::string values[kRows] = {r.sender,
                                       r.receiver,
                                       r.taunt,
                                       r.map,
                                       GUI_ChallengeStrip::RaceText(r.race),
                                       GUI_ChallengeStrip::FormatDate(r.day, r.month, r.year),
                                       std::to_string(r.timesBeaten),
                                       std::to_string(r.attempts),
                                       r.id,
                                       r.parentId};
    for (int i = 0; i < kRows; ++i) {
        m_labels[i] = std::string(GetString(kKeys[i])) + ":";
        m_values[i] = values[i];
    }
    // The taunt wraps in its column; the rows after it move down.
    m_values[2] = LibText::GetInstance().GetWrappedText(r.taunt, right - 10 - (left + 160));
    m_enjoyment = new GUI_Rating(GUI_Rating::ENJOYMENT);
    m_enjoyment->SetValue(r.rating);
    m_difficulty = new GUI_Rating(GUI_Rating::DIFFICULTY);
    m_difficulty->SetValue(r.difficulty);
    AddChild(m_enjoyment);
    AddChild(m_difficulty);
    m_enjoyment->SetRect(static_cast<float>(left + 200), static_cast<float>(bottom - 55), static_cast<float>(right - 10),
                         static_cast<float>(bottom - 35));
    m_difficulty->SetRect(static_cast<float>(left + 200), static_cast<float>(bottom - 33),
                          static_cast<float>(right - 10), static_cast<float>(bottom - 13));
    m_enjoymentLabel = GetString("CHALLENGE_DETAILS_ENJOYMENT");
    m_difficultyLabel = GetString("CHALLENGE_DETAILS_DIFFICULTY");
}

void GUI_ChallengeDetailsData::Draw()
{
    D3DEngine& engine = D3DEngine::GetInstance();
    const GRect area{left, top, right, bottom};
    engine.FillRect(area, 0x80000000u);
    m_interlace.Draw(area);
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    int y = top;
    const int valueWidth = right - 10 - (left + 160);
    for (int i = 0; i < kRows; ++i) {
        const int h = i == 2 ? std::max(17, text.GetWrappedTextHeight(m_values[i], valueWidth)) : 17;
        engine.FillRect(GRect{left + 2, y, right - 2, y + h}, i % 2 ? 0x14FFFFFFu : 0x0AFFFFFFu);
        text.SetText(TEXT_ALIGN_LEFT, m_labels[i], static_cast<float>(left + 10), static_cast<float>(y), 0xFFB0C4DEu,
                     0.0f);
        text.SetText(TEXT_ALIGN_LEFT, m_values[i], static_cast<float>(left + 160), static_cast<float>(y), 0xFFFFFFFFu,
                     static_cast<float>(valueWidth));
        y += h;
    }
    text.SetText(TEXT_ALIGN_LEFT, m_enjoymentLabel, static_cast<float>(left + 10), static_cast<float>(bottom - 57),
                 0xFFB0C4DEu, 0.0f);
    text.SetText(TEXT_ALIGN_LEFT, m_difficultyLabel, static_cast<float>(left + 10), static_cast<float>(bottom - 35),
                 0xFFB0C4DEu, 0.0f);
    DrawChildren();
}

// --- The window -------------------------------------------------------------

GUI_ChallengeDetails* GUI_ChallengeDetails::Open(const SIM_ChallengeRecord* record)
{
    QLM_ASSERT(record);
    CloseOpen();
    if (!record)
        return nullptr;
    return SetOpen(new GUI_ChallengeDetails(*record));
}

void GUI_ChallengeDetails::Close()
{
    CloseOpen();
}

SIM_Scenario* GUI_ChallengeDetails::GetChallengeScenario()
{
    return g_scenarios.empty() ? nullptr : g_scenarios.back().get();
}

GUI_ChallengeDetails::GUI_ChallengeDetails(const SIM_ChallengeRecord& record) : GUI_Dialog(true), m_record(record)
{
    sideMargin = 12.0f;
    SetSize(1024.0f, 684.0f);
    Centre();
    SetClientRect();
    SetTitle(std::string(GetString("CHALLENGE_DETAILS_TITLE")) + " (" + record.id + ")");
    GUI_WindowManager::GetInstance().AddModal(this);

    m_data = new GUI_ChallengeDetailsData();
    m_data->SetRect(static_cast<float>(clientLeft), static_cast<float>(clientTop), static_cast<float>(clientLeft + 350),
                    static_cast<float>(clientTop + 300));
    m_data->SetChallenge(m_record);
    AddChild(m_data);

    m_retaliations = new GUI_RetaliationsList();
    m_retaliations->SetRect(static_cast<float>(clientLeft), static_cast<float>(m_data->bottom + 5),
                            static_cast<float>(clientRight), static_cast<float>(clientBottom));
    m_retaliations->SetChallenge(m_record.id);
    AddChild(m_retaliations);

    m_thumbnail = new GUI_ChallengeThumbnail();
    m_thumbnail->SetRect(static_cast<float>(m_data->right + 10), static_cast<float>(clientTop),
                         static_cast<float>(m_data->right + 276), static_cast<float>(m_data->bottom));
    m_thumbnail->SetChallenge(m_record.id);
    AddChild(m_thumbnail);

    m_history = new GUI_ChallengeDetailsHistory();
    m_history->SetRect(static_cast<float>(m_thumbnail->right + 10), static_cast<float>(clientTop),
                       static_cast<float>(clientRight), static_cast<float>(m_data->bottom));
    AddChild(m_history);
    m_history->SetChallenge(m_record.id);

    m_fileOnDisk = SIM_ChallengeDatabase::GetInstance().IsLocal(m_record);
    m_fight = new GUI_ButtonText(m_fileOnDisk ? "CHALLENGE_BUTTON_FIGHT" : "CHALLENGE_BUTTON_DOWNLOAD", OnFight, 0);
    m_fight->SetTooltip("TOOLTIP_CHALLENGE_ACCEPT");
    m_fight->SetName("CHALLENGE_DETAILS_FIGHT");
    const float buttonTop = static_cast<float>(m_retaliations->top + 8);
    m_fight->SetRect(static_cast<float>(right - 400), buttonTop, static_cast<float>(right - 210), buttonTop + 20.0f);
    AddButton(m_fight);
    const std::string me = SIM_Server::GetInstance().GetUserName();
    if (me == m_record.sender || me == m_record.receiver) {
        m_delete = new GUI_ButtonText("CHALLENGE_BUTTON_DELETE", OnDelete, 0);
        m_delete->SetTooltip("TOOLTIP_CHALLENGE_DELETE");
        m_delete->SetRect(static_cast<float>(right - 200), buttonTop, static_cast<float>(right - 10),
                          buttonTop + 20.0f);
        AddButton(m_delete);
    }
    drawButtons = false;
    GUI_Tutorial::GetInstance().LaunchTutorial("CHALLENGE_DETAILS");
}

GUI_ChallengeDetails::~GUI_ChallengeDetails()
{
    // A download nobody will take in needs no box.
    if (m_job)
        GUI_PleaseWait::Close();
    // The lesson points at this window's buttons.
    GUI_TutorialWindow::CloseLesson("CHALLENGE_DETAILS");
    ForgetIfOpen(this);
}

void GUI_ChallengeDetails::Draw()
{
    if (!visible)
        return;
    GUI_Dialog::Draw();
    DrawChildren();
    DrawButtons();
    LibText& text = LibText::GetInstance();
    if (!m_statusKey.empty())
        text.SetText(TEXT_ALIGN_LEFT, m_statusText,
                     static_cast<float>(clientLeft + 250), static_cast<float>(m_retaliations->top + 8), 0xFFFF6060u,
                     static_cast<float>(right - 420 - (clientLeft + 250)));
    text.Render(-1);
}

bool GUI_ChallengeDetails::Fight()
{
    const std::string id = m_record.id;
    if (id.empty()) {
        LOG_ERROR("File ID for challenge is empty");
        return false;
    }
    if (m_job)
        return false;
    if (!m_fileOnDisk) {
        m_job = GUI_PleaseWait::StartJob([id](SIM_Server& server, std::string&) { return server.DownloadChallenge(id); });
        Poll();
        return false;
    }
    SIM_ChallengeFile& file = SIM_ChallengeFile::GetInstance();
    if (!file.HasRequiredContent(id)) {
        SetStatus("CHALLENGE_MISSING_CONTENT", " " + file.GetMissingContent(id));
        return false;
    }
    auto scenario = std::make_unique<SIM_Scenario>(SIM_Scenario::Unlisted{});
    scenario->SetChallengeFleet(true);
    scenario->SetChallengeFile(id);
    if (!file.Read(*scenario, id)) {
        SetStatus("CHALLENGE_UNREADABLE");
        return false;
    }
    g_scenarios.push_back(std::move(scenario));
    // The switch leaves this screen, which closes this window after the click.
    GUI_DeploymentGUI::Open(g_scenarios.back().get(), false, GUI_ChallengeList::kModeId);
    return true;
}

void GUI_ChallengeDetails::Poll()
{
    bool ok = false, cancelled = false;
    std::string text;
    const bool unanswered = m_job && m_job->WasUnanswered();
    if (!GUI_PleaseWait::FinishJob(m_job, ok, text, cancelled))
        return;
    if (!ok) {
        if (unanswered)
            LOG_DEBUG("Failed to download Challenge File: the game server did not answer");
        else if (!cancelled)
            LOG_ERROR("Failed to download Challenge File");
        SetStatus(cancelled                             ? "ONLINE_CANCELLED"
                  : SIM_Server::GetInstance().IsOnline() ? "CHALLENGE_DOWNLOAD_FAILED"
                                                         : "ONLINE_NO_SERVER");
        return;
    }
    m_fileOnDisk = true;
    m_fight->SetTextKey("CHALLENGE_BUTTON_FIGHT");
    // Download goes on to the fight in one press.
    Fight();
}

void GUI_ChallengeDetails::SetStatus(const char* key, const std::string& extra)
{
    m_statusKey = key;
    m_statusText = GetString(key) + extra;
}

void GUI_ChallengeDetails::Delete()
{
    // The window closes whether or not the server agrees; the list screen
    // waits for the answer and drops the row when it says yes.
    GUI_ChallengeList::GetInstance().StartDelete(m_record.id);
    Close();
}

void GUI_ChallengeDetails::OnFight(std::intptr_t)
{
    if (GUI_ChallengeDetails* open = GetOpen())
        open->Fight();
}

void GUI_ChallengeDetails::OnDelete(std::intptr_t)
{
    if (GUI_ChallengeDetails* open = GetOpen())
        open->Delete();
}
