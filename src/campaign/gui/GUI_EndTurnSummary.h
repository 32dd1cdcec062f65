#pragma once
#include "engine/GTimer.h"
#include "gui/GUI_Interlace.h"
#include "gui/GUI_WindowBase.h"

#include <string>

class IClock;

// The turn in five rows (crew, recruits, cash, income, territory), computed
// once when the dialog opens and typed out one character every 20 ms.
class GUI_EndTurnSummary : public GUI_WindowBase {
public:
    static constexpr int kRows = 5;
    static constexpr double kMsPerChar = 20.0;
    static constexpr int kRowStep = 18;
    static constexpr int kValueX = 250;
    // Labels and values keep this far from the box's sides and from each other.
    static constexpr int kInset = 10;

    explicit GUI_EndTurnSummary(const IClock* clock = nullptr);

    // The rows from the campaign as it stands; restarts the typing. The
    // summary has its rectangle first.
    void Build();
    void Draw() override;

    // Characters shown after that many milliseconds.
    static int CharsShown(double elapsedMs);
    // Labels and values in the order they are typed: label 1, value 1, label 2, ...
    const std::string& GetText(int i) const { return m_texts[i]; }
    // What the player sees typed so far (blanks are free, as in the renderer).
    std::string GetTypedText();
    // Where a row's value starts, from the summary's left edge.
    int GetValueX(int row) const { return m_valueX[row]; }

private:
    // A value too wide for the room right of its column moves left to end at
    // the box's inner edge, never onto its label.
    void PlaceValues();

    int m_valueX[kRows] = {kValueX, kValueX, kValueX, kValueX, kValueX};
    std::string m_texts[kRows * 2];
    GTimer m_timer;
    GUI_Interlace m_interlace;
};
