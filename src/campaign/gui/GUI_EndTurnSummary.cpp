#include "campaign/gui/GUI_EndTurnSummary.h"

#include "campaign/gui/CampaignPanelDrawing.h"
#include "campaign/gui/GUI_Campaign.h"
#include "campaign/sim/SIM_CampaignProgress.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "engine/StrFormat.h"
#include "engine/TextHelpers.h"

#include <algorithm>
#include <cmath>

GUI_EndTurnSummary::GUI_EndTurnSummary(const IClock* clock) : m_timer(clock)
{
    swallowsClicks = false;
    raisesOnClick = false;
}

int GUI_EndTurnSummary::CharsShown(double elapsedMs)
{
    return elapsedMs <= 0.0 ? 0 : static_cast<int>(std::floor(elapsedMs / kMsPerChar));
}

void GUI_EndTurnSummary::Build()
{
    const SIM_CampaignProgress& progress = SIM_CampaignProgress::GetInstance();
    m_texts[0] = GetString("CAMPAIGN_ENDTURN_CREW");
    m_texts[1] = StrFormat("%s %s", FormatThousands(progress.crew).c_str(), GetString("CAMPAIGN_ENDTURN_CREW"));
    m_texts[2] = GetString("CAMPAIGN_ENDTURN_RECRUIT");
    m_texts[3] = StrFormat("+%s %s", FormatThousands(GetCampaignCrewPerTurn()).c_str(),
                           GetString("CAMPAIGN_ENDTURN_RECRUITS"));
    m_texts[4] = GetString("CAMPAIGN_ENDTURN_CASH");
    m_texts[5] = StrFormat("%s CR", FormatThousands(progress.cash).c_str());
    m_texts[6] = GetString("CAMPAIGN_ENDTURN_INCOME");
    m_texts[7] = StrFormat("+%s CR", FormatThousands(static_cast<long long>(GetCampaignIncomePerTurn())).c_str());
    m_texts[8] = GetString("CAMPAIGN_ENDTURN_TERRITORY");
    m_texts[9] = StrFormat("%.0f%% %s", progress.GetConquestRatio() * 100.0f, GetString("CAMPAIGN_ENDTURN_CONTROLLED"));
    for (std::string& t : m_texts)
        if (t.size() > 127)
            t.resize(127);
    PlaceValues();
    m_timer.Start();
}

void GUI_EndTurnSummary::PlaceValues()
{
    LibText& text = LibText::GetInstance();
    const bool measured = text.FindFont("zekton16.dds") != nullptr;
    if (measured)
        text.SetFont("zekton16.dds", 16.0f);
    const int inner = (right - left) - kInset;
    for (int row = 0; row < kRows; ++row) {
        m_valueX[row] = kValueX;
        if (!measured || right <= left)
            continue;
        const int labelEnd = kInset + text.GetTextWidth(m_texts[row * 2]);
        const int width = text.GetTextWidth(m_texts[row * 2 + 1]);
        if (kValueX + width > inner)
            m_valueX[row] = std::max(inner - width, labelEnd + kInset);
    }
}

std::string GUI_EndTurnSummary::GetTypedText()
{
    m_timer.Update();
    // The renderer counts drawn glyphs; a blank takes no time of its own.
    size_t budget = static_cast<size_t>(CharsShown(m_timer.GetTotalMs()));
    std::string out;
    for (const std::string& t : m_texts)
        for (char c : t) {
            if (c != ' ') {
                if (budget == 0)
                    return out;
                --budget;
            }
            out += c;
        }
    return out;
}

void GUI_EndTurnSummary::Draw()
{
    if (!visible)
        return;
    DrawCampaignClientArea(m_interlace, left, top, right, bottom);
    LibText& text = LibText::GetInstance();
    text.Render();
    text.SetFont("zekton16.dds", 16.0f);
    for (int row = 0; row < kRows; ++row) {
        const float y = static_cast<float>(top + 10 + kRowStep * row);
        const int valueX = left + m_valueX[row];
        text.SetText(TEXT_ALIGN_LEFT, m_texts[row * 2], static_cast<float>(left + kInset), y, 0xFFFFFFFFu,
                     static_cast<float>(valueX - kInset - (left + kInset)));
        text.SetText(TEXT_ALIGN_LEFT, m_texts[row * 2 + 1], static_cast<float>(valueX), y, 0xFFFFFFFFu,
                     static_cast<float>(right - kInset - valueX));
    }
    m_timer.Update();
    text.Render(CharsShown(m_timer.GetTotalMs()));
}
