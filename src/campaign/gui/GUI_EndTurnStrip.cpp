#include "campaign/gui/GUI_EndTurnStrip.h"

#include "campaign/sim/SIM_CampaignAIManager.h"
#include "campaign/sim/SIM_CampaignEncounter.h"
#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "engine/StrFormat.h"

#include <algorithm>

GUI_EndTurnStrip::GUI_EndTurnStrip(SIM_CampaignEncounter* encounter) : m_encounter(encounter)
{
    QLM_ASSERT(encounter && encounter->ai);
    swallowsClicks = false;
    raisesOnClick = false;
    m_icon.SetTexture(encounter ? encounter->GetIcon() : std::string());
    m_icon.SetSize(48.0f, 48.0f);
    m_loyaltyLabel = GetString("ENDTURN_LOYALTY");
    m_threatLabel = GetString("ENDTURN_THREAT");
    BuildLines();
}

int GUI_EndTurnStrip::NaturalHeight(int rows)
{
    return std::max(62, 27 + 18 * rows);
}

int GUI_EndTurnStrip::TextRoom(int stripWidth)
{
    // Inset 2 each side, icon 5 + 48, gap 10, and 4 clear of the right edge.
    return stripWidth - 4 - 5 - 48 - 10 - 4;
}

std::string GUI_EndTurnStrip::LineText(const std::string& label, float change, const std::string& reason)
{
    return StrFormat(change > 0.0f ? "%s +%.2f%% %s" : "%s %.2f%% %s", label.c_str(), change * 100.0f, reason.c_str());
}

void GUI_EndTurnStrip::AddLines(const SIM_ReasonedValue& value, const std::string& label)
{
    if (!value.changed)
        return;
    for (const SIM_ReasonedChange& c : value.changes) {
        m_lines.push_back(LineText(label, c.amount, c.reason));
        m_colours.push_back(c.flag ? kGoodColour : kBadColour);
    }
}

void GUI_EndTurnStrip::BuildLines()
{
    m_lines.clear();
    m_colours.clear();
    if (m_encounter) {
        AddLines(m_encounter->loyalty, m_loyaltyLabel);
        if (m_encounter->ai)
            AddLines(m_encounter->ai->threat, m_threatLabel);
    }
    m_rows = m_lines;
    m_rowColours = m_colours;
    m_height = NaturalHeight(static_cast<int>(m_rows.size()));
}

void GUI_EndTurnStrip::WrapLines(int stripWidth)
{
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    const int room = TextRoom(stripWidth);
    m_rows.clear();
    m_rowColours.clear();
    std::string wrapped;
    for (size_t i = 0; i < m_lines.size(); ++i) {
        text.WrapText(m_lines[i], room, wrapped);
        size_t begin = 0;
        while (begin < wrapped.size()) {
            size_t end = wrapped.find('\n', begin);
            if (end == std::string::npos)
                end = wrapped.size();
            m_rows.push_back(wrapped.substr(begin, end - begin));
            m_rowColours.push_back(m_colours[i]);
            begin = end + 1;
        }
        // Without a font nothing wraps; the line stays whole.
        if (wrapped.empty()) {
            m_rows.push_back(m_lines[i]);
            m_rowColours.push_back(m_colours[i]);
        }
    }
    m_height = NaturalHeight(static_cast<int>(m_rows.size()));
}

void GUI_EndTurnStrip::Layout()
{
    m_inner = GRect{left + 2, top + 2, right - 2, bottom - 2};
    const float cx = static_cast<float>(m_inner.left + 5 + 24);
    m_icon.PlaceCentred(cx, static_cast<float>(m_inner.top + 5 + 24));
    m_textX = cx + 24.0f + 10.0f;
}

void GUI_EndTurnStrip::Draw()
{
    if (!visible || !m_encounter)
        return;
    D3DEngine::GetInstance().FillRect(m_inner, 0x40FFFFFFu);
    m_icon.Draw();
    LibText& text = LibText::GetInstance();
    text.SetText(TEXT_ALIGN_LEFT, GetString(m_encounter->GetGuiName().c_str()), m_textX,
                 static_cast<float>(m_inner.top), 0xFFFFFFFFu, 0.0f);
    float y = static_cast<float>(m_inner.top + 18);
    for (size_t i = 0; i < m_rows.size(); ++i, y += 18.0f)
        text.SetText(TEXT_ALIGN_LEFT, m_rows[i], m_textX, y, m_rowColours[i], 0.0f);
}
