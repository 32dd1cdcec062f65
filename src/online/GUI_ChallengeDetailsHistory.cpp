#include "online/GUI_ChallengeDetailsHistory.h"

#include "app/GUI_Sounds.h"
#include "engine/D3DEngine.h"
#include "engine/GHashTable.h"
#include "engine/GTokenizer.h"
#include "engine/LibText.h"
#include "engine/MarkedLines.h"
#include "gui/GUI_ScrollingWindow.h"
#include "online/GUI_ColumnSortButton.h"
#include "online/GUI_PleaseWait.h"
#include "online/OnlineJob.h"
#include "online/OnlineStatus.h"
#include "online/SIM_Server.h"

#include <algorithm>

GUI_ChallengeHistoryEntry::GUI_ChallengeHistoryEntry(const SIM_ChallengeHistoryItem* item) : m_filler(item == nullptr)
{
    raisesOnClick = false;
    swallowsClicks = false;
    if (item) {
        m_full[0] = item->date;
        m_full[1] = item->name;
        m_full[2] = item->outcome;
    }
}

void GUI_ChallengeHistoryEntry::Fit()
{
    if (m_fittedWidth == right - left)
        return;
    m_fittedWidth = right - left;
    const GRect cols[3] = {{left, top, left + 94, bottom}, {left + 95, top, left + 254, bottom},
                           {left + 255, top, right, bottom}};
    LibText& text = LibText::GetInstance();
    for (int i = 0; i < 3; ++i) {
        m_texts[i] = m_full[i];
        text.SetFont("zekton16.dds", kFontSize);
        m_sizes[i] = text.FitLine(m_texts[i], cols[i].Width() - kTextInset - 2, kFontSize, kMinFontSize);
        m_columns[i] = cols[i];
    }
    text.SetFont("zekton16.dds", kFontSize);
}

void GUI_ChallengeHistoryEntry::Draw()
{
    Fit();
    D3DEngine& engine = D3DEngine::GetInstance();
    LibText& text = LibText::GetInstance();
    for (int i = 0; i < 3; ++i) {
        engine.FillRect(m_columns[i], 0x18FFFFFFu);
        engine.DrawRectFrame(m_columns[i], 0x30FFFFFFu);
        if (m_filler)
            continue;
        // The server's texts keep to their columns: smaller, then cut.
        text.SetFont("zekton16.dds", m_sizes[i]);
        text.SetText(TEXT_ALIGN_LEFT, m_texts[i], static_cast<float>(m_columns[i].left + kTextInset),
                     static_cast<float>(top) + (kFontSize - m_sizes[i]) * 0.5f, 0xFFFFFFFFu, 0.0f);
    }
    text.SetFont("zekton16.dds", kFontSize);
}

GUI_ChallengeDetailsHistory::GUI_ChallengeDetailsHistory()
{
    raisesOnClick = false;
    m_scroll = new GUI_ScrollingWindow();
    AddChild(m_scroll);
}

GUI_ChallengeDetailsHistory::~GUI_ChallengeDetailsHistory()
{
    // The worker keeps its own share of the job and finishes into it alone.
    if (m_job)
        GUI_PleaseWait::Close();
}

std::vector<SIM_ChallengeHistoryItem> GUI_ChallengeDetailsHistory::ParseHistory(const std::string& text)
{
    std::vector<SIM_ChallengeHistoryItem> items;
    ForEachMarkedLine(text, kMaxLine, [&items](const std::string& line) {
        if (items.size() >= kMaxItems)
            return;
        GTokenizer t(line, ',');
        t.NextString();
        SIM_ChallengeHistoryItem item;
        item.date = t.NextString();
        item.name = t.NextString();
        item.outcome = t.NextString();
        items.push_back(item);
    });
    return items;
}

void GUI_ChallengeDetailsHistory::SetChallenge(const std::string& challengeId)
{
    m_challengeId = challengeId;
    m_sortColumn = DATE;
    m_descending = false;
    m_scroll->SetRect(static_cast<float>(right - 17), static_cast<float>(top + 4), static_cast<float>(right - 2),
                      static_cast<float>(bottom - 8));
    const int x0 = left + 4;
    const struct {
        const char* key;
        int column, from, to;
    } defs[3] = {{"CHALLENGE_HISTORY_DATE", DATE, x0, x0 + 94},
                 {"CHALLENGE_HISTORY_NAME", NAME, x0 + 95, x0 + 254},
                 {"CHALLENGE_HISTORY_OUTCOME", OUTCOME, x0 + 255, right - 20}};
    for (const auto& d : defs) {
        auto* header = new GUI_ColumnSortButton(d.key, d.column, [this](int column) { SortByColumn(column); });
        header->SetRect(static_cast<float>(d.from), static_cast<float>(top + 2), static_cast<float>(d.to),
                        static_cast<float>(top + 22));
        AddButton(header);
        m_headers[d.column] = header;
    }
    const std::string id = challengeId;
    auto parsed = std::make_shared<std::vector<SIM_ChallengeHistoryItem>>();
    m_job = GUI_PleaseWait::StartJob([id, parsed](SIM_Server& server, std::string&) {
        std::string text;
        if (!server.GetChallengeHistory(id, text))
            return false;
        *parsed = ParseHistory(text);
        return true;
    });
    m_parsed = parsed;
    Poll();
    RebuildRows();
}

void GUI_ChallengeDetailsHistory::Poll()
{
    if (!m_job || !m_job->IsDone())
        return;
    const OnlineStatus::Kind kind = OnlineStatus::Of(*m_job);
    m_items.clear();
    if (kind == OnlineStatus::NONE && m_parsed)
        m_items = std::move(*m_parsed);
    m_parsed.reset();
    m_job.reset();
    GUI_PleaseWait::Close();
    m_statusKey = OnlineStatus::Key(kind == OnlineStatus::NONE && m_items.empty() ? OnlineStatus::EMPTY : kind, "",
                                    "CHALLENGE_HISTORY_EMPTY");
    m_statusText.clear();
    if (!m_statusKey.empty()) {
        LibText& text = LibText::GetInstance();
        text.SetFont("zekton16.dds", 16.0f);
        m_statusText = text.FitText(GetString(m_statusKey.c_str()), right - left - 2 * kStatusInset, kStatusLines);
    }
    // The file's order until a header is clicked.
    RebuildRows();
}

void GUI_ChallengeDetailsHistory::SortByColumn(int column)
{
    m_descending = column == m_sortColumn ? !m_descending : false;
    m_sortColumn = column;
    for (GUI_ColumnSortButton* header : m_headers)
        if (header)
            header->selected = header->GetColumn() == column;
    auto key = [column](const SIM_ChallengeHistoryItem& item) -> const std::string& {
        return column == NAME ? item.name : column == OUTCOME ? item.outcome : item.date;
    };
    if (column >= DATE && column <= OUTCOME)
        std::stable_sort(m_items.begin(), m_items.end(),
                         [&key](const SIM_ChallengeHistoryItem& a, const SIM_ChallengeHistoryItem& b) {
                             return key(a) < key(b);
                         });
    if (m_descending)
        std::reverse(m_items.begin(), m_items.end());
    m_scroll->position = 0;
    RebuildRows();
}

void GUI_ChallengeDetailsHistory::DeleteRows()
{
    for (GUI_ChallengeHistoryEntry* row : m_rows) {
        RemoveChild(row);
        delete row;
    }
    m_rows.clear();
}

void GUI_ChallengeDetailsHistory::RebuildRows()
{
    DeleteRows();
    int y = top + 24;
    int shown = 0;
    auto addRow = [&](const SIM_ChallengeHistoryItem* item) {
        auto* row = new GUI_ChallengeHistoryEntry(item);
        row->SetRect(static_cast<float>(left + 4), static_cast<float>(y), static_cast<float>(right - 20),
                     static_cast<float>(y + kRowHeight));
        AddChild(row);
        m_rows.push_back(row);
        y += kRowStep;
    };
    for (size_t i = 0; i < m_items.size(); ++i) {
        if (static_cast<int>(i) < m_scroll->position)
            continue;
        if (y >= bottom - 30)
            break;
        addRow(&m_items[i]);
        ++shown;
    }
    while (y < bottom - 30)
        addRow(nullptr);
    const int total = static_cast<int>(m_items.size());
    m_scroll->contentSize = static_cast<float>(total);
    m_scroll->visibleSize = static_cast<float>(shown);
    m_scroll->maximum = std::max(0, total - shown);
}

void GUI_ChallengeDetailsHistory::Draw()
{
    Poll();
    if (m_scroll->changed) {
        m_scroll->changed = false;
        RebuildRows();
    }
    const GRect area{left, top, right, bottom};
    D3DEngine::GetInstance().FillRect(area, 0x80000000u);
    m_interlace.Draw(area);
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    DrawButtons();
    DrawChildren();
    if (!m_statusKey.empty())
        text.SetText(TEXT_ALIGN_CENTRE, m_statusText, static_cast<float>(left + kStatusInset),
                     static_cast<float>(top + 60), 0xFFFFC040u, static_cast<float>(right - left - 2 * kStatusInset));
    text.Render(-1);
}

void GUI_ChallengeDetailsHistory::OnWheelUp()
{
    if (!IsMouseOver() || m_scroll->position <= 0)
        return;
    m_scroll->ScrollUp();
    GUI_Sounds::GetInstance().PlayGuiSound(0);
}

void GUI_ChallengeDetailsHistory::OnWheelDown()
{
    if (!IsMouseOver() || m_scroll->position >= m_scroll->maximum)
        return;
    m_scroll->ScrollDown();
    GUI_Sounds::GetInstance().PlayGuiSound(0);
}
