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

    explicit GUI_EndTurnSummary(const IClock* clock = nullptr);

    // The rows from the campaign as it stands; restarts the typing.
    void Build();
    void Draw() override;

    // Characters shown after that many milliseconds.
    static int CharsShown(double elapsedMs);
    // Labels and values in the order they are typed: label 1, value 1, label 2, ...
    const std::string& GetText(int i) const { return m_texts[i]; }
    // What the player sees typed so far (blanks are free, as in the renderer).
    std::string GetTypedText();

private:
    std::string m_texts[kRows * 2];
    GTimer m_timer;
    GUI_Interlace m_interlace;
};
