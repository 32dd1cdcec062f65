#pragma once
#include <string>

#include "battle/hud/HudWindow.h"
#include "gui/GUI_WindowBase.h"

// The campaign retreat's countdown under the top edge: two minutes of the
// retreat's own clock, counted down to 0:00:00 and never below; once the
// retreat is over it shows 0:00:00.
class GUI_RetreatTimer : public GUI_WindowBase, public HudSingleWindow<GUI_RetreatTimer> {
public:
    static constexpr int kHeight = 40;
    static constexpr float kRetreatMs = 120000.0f;

    static void Open();

    GUI_RetreatTimer(int screenWidth);
    ~GUI_RetreatTimer() override;

    void Draw() override;

    // "caption m:ss:hh" for that much of the retreat gone.
    static std::string FormatCountdown(const std::string& caption, float elapsedMs);
    const std::string& GetText() const { return m_text; }

private:
    std::string m_caption;
    float m_captionWidth = 0.0f;
    std::string m_text;
};
