#include "online/GUI_ChallengeListClientWindow.h"

#include "engine/GDebugLog.h"
#include "engine/GHashTable.h"
#include "engine/GSafeFile.h"
#include "gui/GUI_ScrollingWindow.h"
#include "online/GUI_ChallengeStrip.h"
#include "online/GUI_Rating.h"
#include "online/GUI_ColumnSortButton.h"
#include "online/GUI_PleaseWait.h"
#include "online/OnlineJob.h"
#include "online/OnlineStatus.h"
#include "online/SIM_ChallengeDatabase.h"
#include "online/SIM_Server.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace {
struct ColumnDef {
    int id;
    const char* key;
};
// In the order the columns stand, left to right.
const ColumnDef kColumnOrder[] = {
    {GUI_ChallengeListClientWindow::COL_ID, "CHALLENGE_LIST_ID"},
    {GUI_ChallengeListClientWindow::COL_SENDER, "CHALLENGE_LIST_SENDER"},
    {GUI_ChallengeListClientWindow::COL_TAUNT, "CHALLENGE_LIST_TAUNT"},
    {GUI_ChallengeListClientWindow::COL_MAP, "CHALLENGE_LIST_MAP"},
    {GUI_ChallengeListClientWindow::COL_RACE, "CHALLENGE_LIST_RACE"},
    {GUI_ChallengeListClientWindow::COL_DATE, "CHALLENGE_LIST_DATE"},
    {GUI_ChallengeListClientWindow::COL_BEATEN, "CHALLENGE_LIST_BEATEN"},
    {GUI_ChallengeListClientWindow::COL_ATTEMPTS, "CHALLENGE_LIST_ATTEMPTS"},
    {GUI_ChallengeListClientWindow::COL_DIFFICULTY, "CHALLENGE_LIST_DIFFICULTY"},
};

std::string Lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}
} // namespace

GUI_ChallengeListClientWindow::GUI_ChallengeListClientWindow()
{
    raisesOnClick = false;
    m_scroll = new GUI_ScrollingWindow();
    AddChild(m_scroll);
}

GUI_ChallengeListClientWindow::~GUI_ChallengeListClientWindow()
{
    // A refresh still running keeps its own share of the job; its list is dropped.
    if (m_job)
        GUI_PleaseWait::Close();
}

void GUI_ChallengeListClientWindow::BuildColumns()
{
    m_headerTop = top + 5;
    m_scroll->SetRect(static_cast<float>(right - 22), static_cast<float>(m_headerTop + 24),
                      static_cast<float>(right - 5), static_cast<float>(bottom - 5));
    Reload(false);
    int x = left + 5;
    for (int i = 0; i < kHeaders; ++i) {
        const ColumnDef& c = kColumnOrder[i];
        auto* header = new GUI_ColumnSortButton(c.key, c.id, [this](int column) { SortByColumn(column); });
        const int w = GUI_ChallengeStrip::kWidths[i];
        header->SetRect(static_cast<float>(x), static_cast<float>(m_headerTop), static_cast<float>(x + w - 1),
                        static_cast<float>(m_headerTop + 20));
        if (c.id == COL_BEATEN || c.id == COL_ATTEMPTS)
            header->SetTooltip(c.id == COL_BEATEN ? "CHALLENGE_LIST_BEATEN_TOOLTIP" : "CHALLENGE_LIST_ATTEMPTS_TOOLTIP");
        AddButton(header);
        m_headers[c.id] = header;
        x += w;
    }
    m_sortColumn = COL_NONE;
    m_descending = false;
    SortByColumn(COL_DATE);
}

bool GUI_ChallengeListClientWindow::LessByColumn(int column, const SIM_ChallengeRecord& a, const SIM_ChallengeRecord& b)
{
    switch (column) {
    case COL_ID: return a.id < b.id;
    case COL_SENDER: return a.sender < b.sender;
    case COL_TAUNT: return a.taunt < b.taunt;
    case COL_MAP: return a.map < b.map;
    case COL_RACE: return a.race < b.race;
    case COL_DATE:
        if (a.year != b.year)
            return a.year < b.year;
        if (a.month != b.month)
            return a.month < b.month;
        return a.day < b.day;
    case COL_BEATEN: return a.timesBeaten < b.timesBeaten;
    case COL_ATTEMPTS: return a.attempts < b.attempts;
    case COL_DIFFICULTY: return a.difficulty < b.difficulty;
    default: return false;
    }
}

void GUI_ChallengeListClientWindow::SortByColumn(int column)
{
    // The same header again reverses; another header starts ascending.
    m_descending = column == m_sortColumn ? !m_descending : false;
    m_sortColumn = column;
    for (GUI_ColumnSortButton* header : m_headers)
        if (header)
            header->selected = header->GetColumn() == column;
    std::stable_sort(m_records.begin(), m_records.end(),
                     [column](const SIM_ChallengeRecord* a, const SIM_ChallengeRecord* b) {
                         return LessByColumn(column, *a, *b);
                     });
    if (m_descending)
        std::reverse(m_records.begin(), m_records.end());
    RebuildRows();
}

void GUI_ChallengeListClientWindow::Reload(bool download)
{
    if (download) {
        // One refresh at a time; without a server the window says so at once.
        if (m_job)
            return;
        auto incoming = std::make_shared<SIM_ChallengeDatabase::Records>();
        m_job = GUI_PleaseWait::StartJob([incoming](SIM_Server& server, std::string&) {
            const std::string temp = SIM_Server::MakeTempFileName();
            std::string text;
            const bool ok = !temp.empty() && server.GetChallengeList(temp) &&
                            SIM_ChallengeDatabase::ReadListFile(temp, text);
            if (!temp.empty())
                std::remove(temp.c_str());
            if (ok)
                *incoming = SIM_ChallengeDatabase::ParseRecords(text);
            return ok;
        });
        m_incoming = incoming;
        Poll();
        return;
    }
    m_records.clear();
    DeleteRows();
    SIM_ChallengeDatabase& db = SIM_ChallengeDatabase::GetInstance();
    if (!db.IsLoaded())
        db.Load();
    m_records = db.GetRecords();
    RebuildRows();
}

void GUI_ChallengeListClientWindow::Poll()
{
    if (!m_job || !m_job->IsDone())
        return;
    OnlineStatus::Kind kind = OnlineStatus::Of(*m_job);
    m_job.reset();
    auto incoming = std::move(m_incoming);
    GUI_PleaseWait::Close();
    SIM_ChallengeDatabase& db = SIM_ChallengeDatabase::GetInstance();
    if (kind == OnlineStatus::NONE && incoming) {
        // The merge rebuilds no record: rows made before it stay valid until rebuilt here.
        db.MergeRecords(std::move(*incoming));
    } else if (kind == OnlineStatus::NONE) {
        kind = OnlineStatus::FAILED;
    }
    m_scroll->position = 0;
    Reload(false);
    m_sortColumn = COL_DATE;
    m_descending = false;
    SortByColumn(COL_DATE); // same column: turns to newest first
    if (kind == OnlineStatus::NONE && m_rows.empty())
        kind = OnlineStatus::EMPTY;
    // A refresh that failed leaves the list as it was, and says why.
    m_statusKey = kind == OnlineStatus::NONE ? "CHALLENGES_REFRESHED"
                                             : OnlineStatus::Key(kind, "", "CHALLENGES_NONE");
    m_statusText = GetString(m_statusKey.c_str());
}

void GUI_ChallengeListClientWindow::DeleteRows()
{
    for (GUI_ChallengeStrip* row : m_rows) {
        RemoveChild(row);
        delete row;
    }
    m_rows.clear();
}

bool GUI_ChallengeListClientWindow::Shows(SIM_ChallengeRecord& record, const std::string& userName) const
{
    if (!m_parentFilter.empty() && record.parentId != m_parentFilter)
        return false;
    if (filters[SHOW_LOCAL] && SIM_ChallengeDatabase::GetInstance().IsLocal(record))
        return true;
    if (filters[SHOW_ALL] && record.receiver == "all")
        return true;
    if (filters[SHOW_PERSONAL] && Lower(record.receiver) == Lower(userName))
        return true;
    return filters[SHOW_POSTED] && record.sender == userName;
}

void GUI_ChallengeListClientWindow::RebuildRows()
{
    DeleteRows();
    const std::string userName = SIM_Server::GetInstance().GetUserName();
    int y = m_headerTop + 20 + 2;
    int total = 0, shown = 0, match = 0;
    for (SIM_ChallengeRecord* record : m_records) {
        if (!Shows(*record, userName))
            continue;
        ++total;
        if (match >= m_scroll->position && y < bottom - kRowStep) {
            auto* strip = new GUI_ChallengeStrip(record);
            strip->QueueRatings();
            strip->SetRect(static_cast<float>(left + 5), static_cast<float>(y), static_cast<float>(right - 42),
                           static_cast<float>(y + kRowHeight));
            AddChild(strip);
            m_rows.push_back(strip);
            y += kRowStep;
            ++shown;
        }
        ++match;
    }
    m_scroll->contentSize = static_cast<float>(total);
    m_scroll->visibleSize = static_cast<float>(shown);
    m_scroll->maximum = std::max(0, total - shown);
}

void GUI_ChallengeListClientWindow::Draw()
{
    Poll();
    if (m_scroll->changed) {
        m_scroll->changed = false;
        RebuildRows();
    }
    DrawButtons();
    DrawChildren();
    // Every row's stars in a few runs, one texture at a time.
    GUI_Rating::DrawQueued();
}

void GUI_ChallengeListClientWindow::OnWheelUp()
{
    m_scroll->ScrollUp();
}

void GUI_ChallengeListClientWindow::OnWheelDown()
{
    m_scroll->ScrollDown();
}
