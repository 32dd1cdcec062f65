#include "frontend/GUI_HighScoreTable.h"

#include "app/APP_UsageMetrics.h"
#include "frontend/GUI_MenuChrome.h"
#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "engine/GFileHelpers.h"
#include "engine/GSafeFile.h"
#include "engine/GHashTable.h"
#include "engine/GTokenizer.h"
#include "engine/LibText.h"
#include "engine/TextHelpers.h"
#include "gui/GUI_FrameDrawing.h"
#include "gui/GUI_PreloadedTextures.h"
#include "gui/GUI_ScrollingWindow.h"
#include "gui/GUI_WindowManager.h"
#include "online/OnlineJob.h"
#include "online/SIM_Server.h"
#include "sim/SIM_Scenario.h"

#include <algorithm>
#include <sstream>

namespace {
constexpr size_t kMaxLine = 2048;
} // namespace

void GUI_HighScoreTable::Open(SIM_Scenario* scenario)
{
    CloseOpen();
    QLM_ASSERT(scenario != nullptr);
    if (scenario)
        SetOpen(new GUI_HighScoreTable(scenario));
}

std::vector<GUI_HighScoreTable::Record> GUI_HighScoreTable::ParseRecords(const std::string& text)
{
    std::vector<Record> records;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (line.size() > kMaxLine)
            line.resize(kMaxLine);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.compare(0, 2, "##") != 0)
            continue;
        GTokenizer fields(line, ',');
        fields.NextString();
        Record r;
        r.name = fields.NextString();
        r.score = fields.NextInt();
        r.third = fields.NextString();
        records.push_back(r);
    }
    return records;
}

GUI_HighScoreTable::GUI_HighScoreTable(SIM_Scenario* scenario) : GUI_Dialog(true), m_scenario(scenario)
{
    SetSize(450.0f, 500.0f);
    Centre();
    SetClientRect();
    m_scroll = new GUI_ScrollingWindow();
    m_scroll->SetRect(static_cast<float>(clientRight - 20), static_cast<float>(clientTop + 5),
                      static_cast<float>(clientRight - 2), static_cast<float>(clientBottom - 5));
    AddChild(m_scroll);
    SetTitleKeyString(scenario->GetGuiName());

    // The frame never waits for the server: the answer is polled each update.
    const std::string map = scenario->GetName();
    const std::string id = APP_UsageMetrics::GetInstance().GetId();
    m_job = OnlineJob::Start([map, id](SIM_Server& server, std::string&) { return server.GetSurvivalScores(map, id); });
    Poll();
    MakeEntries();
    GUI_WindowManager::GetInstance().AddModal(this);
}

GUI_HighScoreTable::~GUI_HighScoreTable()
{
    ForgetIfOpen(this);
}

void GUI_HighScoreTable::Poll()
{
    if (m_status != OnlineStatus::WAITING || !m_job || !m_job->IsDone())
        return;
    m_status = OnlineStatus::Of(*m_job);
    bool succeeded = false;
    std::string unused;
    OnlineJob::Collect(m_job, succeeded, unused);
    if (m_status != OnlineStatus::NONE)
        return;
    LoadRecords();
    if (m_records.empty())
        m_status = OnlineStatus::EMPTY;
    MakeEntries();
}

void GUI_HighScoreTable::LoadRecords()
{
    m_records.clear();
    std::string text;
    if (!ReadWholeFile(SIM_Server::GetInstance().GetHighScoresPath(), text)) {
        LOG_DEBUG("Failed to open list of high scores");
        return;
    }
    m_records = ParseRecords(text);
}

void GUI_HighScoreTable::MakeEntries()
{
    for (GUI_HighScoreEntry* e : m_entries) {
        RemoveChild(e);
        delete e;
    }
    m_entries.clear();
    const std::string me = SIM_Server::GetInstance().GetUserName();
    int y = clientTop + 4;
    for (size_t i = static_cast<size_t>(std::max(0, m_scroll->position)); i < m_records.size(); ++i) {
        if (y >= clientBottom - 25)
            break;
        const Record& r = m_records[i];
        auto* entry = new GUI_HighScoreEntry(static_cast<int>(i) + 1, r.name, r.score, r.third, !me.empty() && r.name == me);
        entry->SetRect(static_cast<float>(clientLeft + 4), static_cast<float>(y + 1), static_cast<float>(clientRight - 25),
                       static_cast<float>(y + 23));
        AddChild(entry);
        m_entries.push_back(entry);
        y += 25;
    }
    const int shown = static_cast<int>(m_entries.size());
    m_scroll->contentSize = static_cast<float>(m_records.size());
    m_scroll->visibleSize = static_cast<float>(shown);
    m_scroll->maximum = std::max(0, static_cast<int>(m_records.size()) - shown);
}

void GUI_HighScoreTable::Update()
{
    Poll();
    GUI_Dialog::Update();
}

void GUI_HighScoreTable::Draw()
{
    if (m_scroll->changed) {
        m_scroll->changed = false;
        MakeEntries();
    }
    GUI_Dialog::Draw();
    GUI_MenuChrome::DrawClientArea(*this, m_interlace);
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    DrawChildren();
    if (m_status != OnlineStatus::NONE) {
        if (m_statusFor != m_status) {
            m_statusFor = m_status;
            m_statusText = text.GetWrappedText(OnlineStatus::Text(m_status, "HIGHSCORES_LOADING", "HIGHSCORES_NONE"),
                                               clientRight - clientLeft - 35);
        }
        text.SetText(TEXT_ALIGN_CENTRE, m_statusText, static_cast<float>(clientLeft), static_cast<float>(clientTop + 10),
                     0xFFFFFFFFu, static_cast<float>(clientRight - clientLeft - 25));
    }
    text.Render(-1);
}

GUI_HighScoreEntry::GUI_HighScoreEntry(int rank, const std::string& name, int score, const std::string& third, bool own)
    : m_rank(std::to_string(rank)), m_name(name), m_score(FormatThousands(score)), m_third(third), m_own(own)
{
    raisesOnClick = false;
}

void GUI_HighScoreEntry::FitName()
{
    m_fittedWidth = width;
    LibText& text = LibText::GetInstance();
    // The score ends at left + 250, right-aligned: the name stops a gap before
    // its first digit. A player's name may be 128 characters.
    const int scoreLeft = kScoreX + kScoreWidth - text.GetTextWidth(m_score);
    m_nameRoom = std::max(0, scoreLeft - kNameGap - kNameX);
    m_shownName = text.FitText(m_name, m_nameRoom, 1);
}

void GUI_HighScoreEntry::Draw()
{
    if (m_fittedWidth != width)
        FitName();
    D3DEngine& engine = D3DEngine::GetInstance();
    const GRect r{left, top, right, bottom};
    engine.FillRect(r, m_own ? kOwnFill : kOtherFill);
    engine.DrawRectFrame(r, 0x40FFFFFFu);
    LibText& text = LibText::GetInstance();
    const float y = static_cast<float>(top), l = static_cast<float>(left);
    text.SetText(TEXT_ALIGN_LEFT, m_rank, l + 5.0f, y, 0xFFFFFFFFu, 0.0f);
    text.SetText(TEXT_ALIGN_LEFT, m_shownName, l + static_cast<float>(kNameX), y, 0xFFFFFFFFu,
                 static_cast<float>(m_nameRoom));
    text.SetText(TEXT_ALIGN_RIGHT, m_score, l + static_cast<float>(kScoreX), y, 0xFFFFFFFFu,
                 static_cast<float>(kScoreWidth));
    text.SetText(TEXT_ALIGN_RIGHT, m_third, l + 250.0f, y, 0xFFFFFFFFu, 120.0f);
}
