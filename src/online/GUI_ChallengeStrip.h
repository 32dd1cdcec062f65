#pragma once
#include "engine/GLifetime.h"
#include "engine/GRect.h"
#include "gui/GUI_WindowBase.h"

#include <string>

class GUI_Rating;
class GUI_SubtleTextButton;
class GUI_Tooltip;
class SIM_ChallengeRecord;

// One row of a challenge table: the record's texts, copied when the row is
// built, its two ratings and the DETAILS and HISTORY buttons.
class GUI_ChallengeStrip : public GUI_WindowBase {
public:
    static constexpr int kColumns = 10;
    static constexpr int kWidths[kColumns] = {40, 100, 324, 100, 80, 74, 40, 40, 70, 101};
    static constexpr size_t kMaxTaunt = 128;
    // Texts from the server fit their columns: the taunt and the map wrap
    // at blanks into these many lines, each name keeps to one; the race, the
    // date and the counts keep to one line, drawn smaller where need be.
    static constexpr int kTauntLines = 2;
    static constexpr int kMapLines = 2;
    static constexpr float kFontSize = 16.0f;
    static constexpr float kMinFontSize = 8.0f;

    explicit GUI_ChallengeStrip(SIM_ChallengeRecord* record);
    ~GUI_ChallengeStrip() override;
    void Draw() override;

    // The date as the table shows it: month/day/year, two digits each.
    static std::string FormatDate(int day, int month, int year);
    // A race as the RACE column shows it: a known race by its name.
    static std::string RaceText(const std::string& race);
    // The taunt as the TAUNT column shows it.
    static std::string ShortTaunt(const std::string& taunt);

    // Null once the list has dropped the record (the rows are rebuilt then).
    SIM_ChallengeRecord* GetRecord() const { return m_record.Get(); }
    const std::string& GetMapText() const { return m_map; }
    const std::string& GetTauntText() const { return m_taunt; }
    const std::string& GetRaceText() const { return m_race; }
    const std::string& GetSenderText() const { return m_sender; }
    const std::string& GetDateText() const { return m_date; }
    const std::string& GetBeatenText() const { return m_beaten; }
    const std::string& GetAttemptsText() const { return m_attempts; }
    float GetRaceSize() const { return m_raceSize; }
    float GetDateSize() const { return m_dateSize; }
    float GetBeatenSize() const { return m_beatenSize; }
    float GetAttemptsSize() const { return m_attemptsSize; }
    GUI_SubtleTextButton* GetDetailsButton() const { return m_details; }
    GUI_SubtleTextButton* GetHistoryButton() const { return m_history; }
    // The table draws the stars of all its rows together (GUI_Rating::DrawQueued).
    void QueueRatings();
    GUI_Rating* GetEnjoyment() const { return m_enjoyment; }

private:
    void LayOut();
    static void OnDetails(std::intptr_t strip);
    static void OnHistory(std::intptr_t strip);

    GWatch<SIM_ChallengeRecord> m_record;
    std::string m_id, m_sender, m_receiver, m_taunt, m_map, m_race, m_date, m_beaten, m_attempts, m_fullTaunt;
    GUI_SubtleTextButton* m_details = nullptr;
    GUI_SubtleTextButton* m_history = nullptr;
    GUI_Rating* m_enjoyment = nullptr;
    GUI_Rating* m_difficulty = nullptr;
    GRect m_columns[kColumns];
    float m_raceSize = kFontSize, m_dateSize = kFontSize, m_beatenSize = kFontSize, m_attemptsSize = kFontSize;
    bool m_laidOut = false;
    GUI_Tooltip* m_tauntTooltip = nullptr;
};
