#include "online/GUI_ChallengeStrip.h"

#include "engine/CInput.h"
#include "engine/D3DEngine.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "engine/TextHelpers.h"
#include "gui/GUI_SubtleTextButton.h"
#include "gui/GUI_Tooltip.h"
#include "online/GUI_ChallengeDetails.h"
#include "online/GUI_ChallengeHistory.h"
#include "online/GUI_Rating.h"
#include "online/SIM_ChallengeRecord.h"
#include "sim/SIM_Race.h"

GUI_ChallengeStrip::GUI_ChallengeStrip(SIM_ChallengeRecord* record) : m_record(record)
{
    raisesOnClick = false;
    swallowsClicks = false;
    // Counts go into strings of their own size: no count is cut.
    m_attempts = std::to_string(record->attempts);
    m_beaten = std::to_string(record->timesBeaten);
    m_details = new GUI_SubtleTextButton("CHALLENGE_BUTTON_DETAILS", OnDetails, reinterpret_cast<std::intptr_t>(this));
    m_details->SetTooltip("TOOLTIP_CHALLENGE_DETAILS");
    m_history = new GUI_SubtleTextButton("CHALLENGE_BUTTON_HISTORY", OnHistory, reinterpret_cast<std::intptr_t>(this));
    m_history->SetTooltip("TOOLTIP_CHALLENGE_HISTORY");
    AddButton(m_details);
    AddButton(m_history);
    m_enjoyment = new GUI_Rating(GUI_Rating::ENJOYMENT);
    m_enjoyment->SetValue(record->rating);
    m_difficulty = new GUI_Rating(GUI_Rating::DIFFICULTY);
    m_difficulty->SetValue(record->difficulty);
    AddChild(m_enjoyment);
    AddChild(m_difficulty);

    LibText& text = LibText::GetInstance();
    // Measured in the font the strip is drawn in.
    text.SetFont("zekton16.dds", kFontSize);
    m_map = record->map.empty() ? "?" : text.FitText(record->map, kWidths[3] - 6, kMapLines);
    m_taunt = text.FitText(ShortTaunt(record->taunt), kWidths[2] - 6, kTauntLines);
    m_fullTaunt = record->taunt;
    m_receiver = text.FitText(record->receiver, kWidths[1], 1);
    m_sender = text.FitText(record->sender, kWidths[1], 1);
    m_race = RaceText(record->race);
    m_raceSize = text.FitLine(m_race, kWidths[4] - 6, kFontSize, kMinFontSize);
    text.SetFont("zekton16.dds", kFontSize);
    m_date = FormatDate(record->day, record->month, record->year);
    // The date and the counts keep to their narrow columns, smaller if need be.
    m_dateSize = text.FitLine(m_date, kWidths[5] - 6, kFontSize, kMinFontSize);
    m_beatenSize = text.FitLine(m_beaten, kWidths[6] - 6, kFontSize, kMinFontSize);
    m_attemptsSize = text.FitLine(m_attempts, kWidths[7] - 6, kFontSize, kMinFontSize);
    text.SetFont("zekton16.dds", kFontSize);
    m_id = record->id;
    m_tauntTooltip = new GUI_Tooltip(m_fullTaunt, 30);
}

GUI_ChallengeStrip::~GUI_ChallengeStrip()
{
    delete m_tauntTooltip;
}

std::string GUI_ChallengeStrip::FormatDate(int day, int month, int year)
{
    return IntToTwoDigitString(month) + "/" + IntToTwoDigitString(day) + "/" + IntToTwoDigitString(year);
}

std::string GUI_ChallengeStrip::RaceText(const std::string& race)
{
    // The record holds the race's id ("federation"); a race this game knows
    // shows by its name, any other as the server sent it.
    const SIM_Race* known = SIM_Race::Find(race, false);
    return known ? std::string(GetString(known->GetGuiName().c_str())) : race;
}

std::string GUI_ChallengeStrip::ShortTaunt(const std::string& taunt)
{
    if (taunt.size() < kMaxTaunt)
        return taunt;
    return taunt.substr(0, kMaxTaunt) + "...";
}

void GUI_ChallengeStrip::OnDetails(std::intptr_t strip)
{
    if (const SIM_ChallengeRecord* record = reinterpret_cast<GUI_ChallengeStrip*>(strip)->GetRecord())
        GUI_ChallengeDetails::Open(record);
}

void GUI_ChallengeStrip::OnHistory(std::intptr_t strip)
{
    GUI_ChallengeHistory::Open(reinterpret_cast<GUI_ChallengeStrip*>(strip)->m_id);
}

void GUI_ChallengeStrip::LayOut()
{
    int x = left;
    for (int i = 0; i < kColumns; ++i) {
        m_columns[i] = GRect{x, top, x + kWidths[i] - 1, bottom};
        x += kWidths[i];
    }
    // The sender's column also covers the id's.
    m_columns[1].left = left;
    const GRect& stars = m_columns[8];
    m_enjoyment->SetRect(static_cast<float>(stars.left + 2), static_cast<float>(top + 5),
                         static_cast<float>(stars.right - 2), static_cast<float>(top + 20));
    m_difficulty->SetRect(static_cast<float>(stars.left + 2), static_cast<float>(top + 30),
                          static_cast<float>(stars.right - 2), static_cast<float>(top + 45));
    const GRect& buttons = m_columns[9];
    m_details->SetRect(static_cast<float>(buttons.left + 2), static_cast<float>(top + 4), static_cast<float>(right),
                       static_cast<float>(top + 22));
    m_history->SetRect(static_cast<float>(buttons.left + 2), static_cast<float>(top + 25), static_cast<float>(right),
                       static_cast<float>(top + 46));
    m_laidOut = true;
}

void GUI_ChallengeStrip::QueueRatings()
{
    m_enjoyment->queued = true;
    m_difficulty->queued = true;
}

void GUI_ChallengeStrip::Draw()
{
    if (!m_laidOut)
        LayOut();
    D3DEngine& engine = D3DEngine::GetInstance();
    for (int i = 1; i < kColumns; ++i) {
        engine.FillRect(m_columns[i], 0x18FFFFFFu);
        engine.DrawRectFrame(m_columns[i], 0x30FFFFFFu);
    }
    GUIButtonList::Draw();
    m_details->LayoutText();
    m_history->LayoutText();
    DrawChildren();

    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", kFontSize);
    auto colLeft = [&](int i) { return static_cast<float>(m_columns[i].left + 3); };
    auto colWidth = [&](int i) { return static_cast<float>(m_columns[i].Width() - 6); };
    const float t = static_cast<float>(top);
    text.SetText(TEXT_ALIGN_LEFT, m_id, colLeft(0), t + 13.0f, 0xFFA0A0A0u, 0.0f);
    text.SetText(TEXT_ALIGN_CENTRE, m_sender, colLeft(1), t - 4.0f, 0xFFFFFFFFu, colWidth(1));
    text.SetText(TEXT_ALIGN_CENTRE, m_receiver, colLeft(1), t + 29.0f - 6.0f, 0xFFB0D0FFu, colWidth(1));
    text.SetText(TEXT_ALIGN_LEFT, m_taunt, colLeft(2), t, 0xFFFFFFFFu, colWidth(2));
    text.SetText(TEXT_ALIGN_LEFT, m_map, colLeft(3), t, 0xFFFFFFFFu, colWidth(3));
    // Smaller texts keep the line's middle.
    auto small = [&](const std::string& s, int column, float size) {
        text.SetFont("zekton16.dds", size);
        text.SetText(TEXT_ALIGN_LEFT, s, colLeft(column), t + 12.0f + (kFontSize - size) * 0.5f, 0xFFFFFFFFu, 0.0f);
    };
    small(m_race, 4, m_raceSize);
    small(m_date, 5, m_dateSize);
    small(m_beaten, 6, m_beatenSize);
    small(m_attempts, 7, m_attemptsSize);
    text.SetFont("zekton16.dds", kFontSize);

    const GRect& tauntRect = m_columns[2];
    const CInput& input = CInput::GetInstance();
    const float mx = input.GetMouseX(), my = input.GetMouseY();
    if (m_tauntTooltip && mx >= tauntRect.left && mx <= tauntRect.right && my >= tauntRect.top &&
        my <= tauntRect.bottom) {
        m_tauntTooltip->CheckShowTime();
        m_tauntTooltip->Draw();
    }
}
