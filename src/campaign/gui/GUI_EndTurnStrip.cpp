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

int GUI_EndTurnStrip::NaturalHeight(int lines)
{
    return std::max(62, 27 + 18 * lines);
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
    m_height = NaturalHeight(static_cast<int>(m_lines.size()));
}

void GUI_EndTurnStrip::Layout()
{
    m_inner = GRect{left + 2, top + 2, right - 2, bottom - 2};
    const float cx = static_cast<float>(m_inner.left + 5 + 24);
    m_icon.PlaceCentred(cx, static_cast<float>(m_inner.top + 5 + 24));
    m_textX = cx + 24.0f + 10.0f;
    // A long reason is cut at the strip's edge rather than run out of it.
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    const int room = m_inner.right - 4 - static_cast<int>(m_textX);
    m_shown = m_lines;
    for (std::string& line : m_shown)
        text.TruncateToWidth(line, room);
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
    for (size_t i = 0; i < m_shown.size(); ++i, y += 18.0f)
        text.SetText(TEXT_ALIGN_LEFT, m_shown[i], m_textX, y, m_colours[i], 0.0f);
}
