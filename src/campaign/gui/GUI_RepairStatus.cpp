#include "campaign/gui/GUI_RepairStatus.h"

#include "engine/D3DEngine.h"
#include "engine/GHashTable.h"
#include "engine/GRect.h"
#include "engine/LibText.h"

#include <algorithm>

GUI_RepairStatus::GUI_RepairStatus(Kind kind)
    : m_kind(kind),
      m_label(GetString(kind == HULL ? "REPAIRSTATUS_HULL" : "REPAIRSTATUS_ARMOR")),
      m_colour(kind == HULL ? 0xFF219321u : 0xFFC56303u)
{
    m_segment.SetTexture("campaign_repair_status.dds");
    claimsMouse = false;
}

int GUI_RepairStatus::LitSegments(float value, int trackWidth)
{
    const int all = static_cast<int>(static_cast<float>(trackWidth) / kSegmentWidth);
    // Cut, not rounded: the gauge is full only for a whole ship.
    return std::clamp(static_cast<int>(std::clamp(value, 0.0f, 1.0f) * static_cast<float>(all)), 0, all);
}

void GUI_RepairStatus::Draw()
{
    if (!visible)
        return;
    D3DEngine& engine = D3DEngine::GetInstance();
    engine.FillRect(GRect{left, top, right, bottom}, 0xC0000000u);
    const GRect track{right - 357, top + 5, right - 5, bottom - 2};
    engine.FillRect(track, 0xFF101010u);
    const int lit = LitSegments(m_value, track.Width());
    m_segment.SetSize(kSegmentWidth, static_cast<float>(track.Height()));
    m_segment.SetColour(m_colour);
    for (int i = 0; i < lit; ++i) {
        m_segment.PlaceCentred(static_cast<float>(track.left) + kSegmentWidth * (static_cast<float>(i) + 0.5f),
                               static_cast<float>(track.top + track.bottom) * 0.5f);
        m_segment.Draw();
    }
    engine.DrawRectFrame(track, 0x80FFFFFFu);
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    text.SetText(0, m_label, static_cast<float>(left + 5), static_cast<float>(top), 0xFFFFFFFFu, 0.0f);
}
