#include "campaign/gui/GUI_ShipsLog.h"

#include "campaign/gui/CampaignPanelDrawing.h"
#include "campaign/sim/SIM_CampaignShip.h"
#include "campaign/sim/SIM_CampaignShipsLog.h"
#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "gui/GUI_OneOpen.h"
#include "gui/GUI_ScrollingWindow.h"
#include "gui/GUI_WindowManager.h"

#include <algorithm>

namespace {
const char* const kTitleKeys[5] = {"CAMP_LOGTITLE_CONSTRUCTION", "CAMP_LOGTITLE_REPAIR", "CAMP_LOGTITLE_HYPERSPACEJUMP",
                                   "CAMP_LOGTITLE_BATTLE", "CAMP_LOGTITLE_CAPTURED"};
} // namespace

void GUI_ShipsLogEntry::IconCell(int kind, float cell[4])
{
    const int k = std::clamp(kind, 0, 4);
    cell[0] = static_cast<float>(k % 4) * 0.25f;
    cell[1] = static_cast<float>(k / 4) * 0.5f;
    cell[2] = cell[0] + 0.25f;
    cell[3] = cell[1] + 0.5f;
}

GUI_ShipsLogEntry::GUI_ShipsLogEntry(const SIM_CampaignShipsLogEntry& entry)
    : m_turnText(entry.turnText), m_text(entry.text)
{
    m_title = GetString(kTitleKeys[std::clamp(entry.kind, 0, 4)]);
    m_icon.SetTexture("logicons.dds");
    m_icon.SetSize(50.0f, 50.0f);
    float cell[4];
    IconCell(entry.kind, cell);
    m_icon.SetUV(cell[0], cell[1], cell[2], cell[3]);
}

void GUI_ShipsLogEntry::Draw()
{
    const int bl = left + 2, bt = top + 2, br = right - 2, bb = bottom - 2;
    DrawOutlinedBox(static_cast<float>(bl), static_cast<float>(bt), static_cast<float>(br), static_cast<float>(bb),
                    0x20FFFFFFu, 0x00000000u);
    const float iconX = static_cast<float>(bl + 27);
    const float iconY = static_cast<float>(top + bottom) / 2.0f;
    m_icon.PlaceCentred(iconX, iconY);
    m_icon.Draw();
    DrawOutlinedBox(iconX - 25.0f, iconY - 25.0f, iconX + 25.0f, iconY + 25.0f, 0x00000000u, 0xFFC8C8C8u);
    LibText& text = LibText::GetInstance();
    const float textX = iconX + 25.0f + 10.0f;
    text.SetText(0, m_turnText, textX, static_cast<float>(top), 0xFFFFFFFFu, 0.0f);
    text.SetText(1, m_title, static_cast<float>(br - 200), static_cast<float>(top), 0xFFFFFFFFu, 190.0f);
    const int wrap = std::max(10, br - static_cast<int>(textX) - 10);
    text.SetText(0, text.GetWrappedText(m_text, wrap), textX, static_cast<float>(top + 20), 0xFFFFFFFFu,
                 static_cast<float>(wrap));
}

GUI_ShipsLog* GUI_ShipsLog::Open(SIM_CampaignShip* ship)
{
    CloseOpen();
    QLM_ASSERT(ship && ship->log);
    return ship && ship->log ? new GUI_ShipsLog(ship) : nullptr;
}

int GUI_ShipsLog::HeightFor(int entryCount)
{
    return 46 + 16 + GUI_ShipsLogEntry::kHeight * std::min(std::max(0, entryCount), kMaxRowsShown);
}

GUI_ShipsLog::GUI_ShipsLog(SIM_CampaignShip* ship) : GUI_Dialog(true), m_ship(ship)
{
    SetOpen(this);
    Follow(m_ship);
    const auto& entries = ship->log->GetEntries();
    SetSize(static_cast<float>(kWidth), static_cast<float>(HeightFor(static_cast<int>(entries.size()))));
    Centre();
    SetClientRect();
    m_scroll = AddClientScrollBar();
    for (const SIM_CampaignShipsLogEntry& e : entries)
        m_rows.push_back(new GUI_ShipsLogEntry(e));
    LayOut();
    RefreshTitle();
    draggable = true;
    GUI_WindowManager::GetInstance().BringToFront(this);
}

void GUI_ShipsLog::RefreshTitle()
{
    // The table trims its texts, so the space before the name is ours.
    if (const SIM_CampaignShip* ship = GetShip())
        SetTitle(std::string(GetString("CAMP_SHIPS_LOG_TITLE")) + " " + ship->name);
}

GUI_ShipsLog::~GUI_ShipsLog()
{
    ForgetIfOpen(this);
    // Rows not shown are not children: they go here.
    for (GUI_ShipsLogEntry* row : m_rows)
        if (row->GetParent() != this)
            delete row;
}

void GUI_ShipsLog::LayOut()
{
    for (GUI_ShipsLogEntry* row : m_rows) {
        RemoveChild(row);
        RemoveChildElement(row);
    }
    int y = clientTop;
    m_rowsShown = 0;
    for (size_t i = static_cast<size_t>(std::max(0, m_scroll->position)); i < m_rows.size(); ++i) {
        if (y > clientBottom - GUI_ShipsLogEntry::kHeight)
            break;
        m_rows[i]->SetRect(static_cast<float>(clientLeft), static_cast<float>(y), static_cast<float>(clientRight - 25),
                           static_cast<float>(y + GUI_ShipsLogEntry::kHeight));
        AddChild(m_rows[i]);
        AddChildElement(m_rows[i]);
        y += GUI_ShipsLogEntry::kHeight;
        ++m_rowsShown;
    }
    const int total = static_cast<int>(m_rows.size());
    m_scroll->maximum = std::max(0, total - std::min(total, kMaxRowsShown));
    m_scroll->contentSize = static_cast<float>(total);
    m_scroll->visibleSize = static_cast<float>(m_rowsShown);
    m_scroll->visible = m_scroll->maximum > 0;
}

void GUI_ShipsLog::OnWheelUp()
{
    m_scroll->ScrollUp();
}

void GUI_ShipsLog::OnWheelDown()
{
    m_scroll->ScrollDown();
}

void GUI_ShipsLog::Draw()
{
    if (!visible)
        return;
    if (m_scroll->changed) {
        m_scroll->changed = false;
        LayOut();
    }
    GUI_Dialog::Draw();
    DrawCampaignClientArea(m_interlace, clientLeft, clientTop, clientRight, clientBottom);
    LibText::GetInstance().SetFont("zekton16.dds", 16.0f);
    DrawChildren();
    LibText::GetInstance().Render();
}
