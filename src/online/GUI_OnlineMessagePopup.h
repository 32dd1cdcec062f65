#pragma once
#include "engine/CTexturedSprite.h"
#include "engine/GTimer.h"
#include "gui/GUI_OneOpen.h"
#include "gui/GUI_WindowBase.h"

#include <string>

class GUI_ButtonBase;
class IClock;

// The small envelope that rises from the bottom right corner when new
// messages came, with their number on it. A click opens the messages screen.
// At most one is on screen.
class GUI_OnlineMessagePopup : public GUI_WindowBase, public GUI_OneOpen<GUI_OnlineMessagePopup> {
public:
    static constexpr int kWidth = 64;
    static constexpr int kHeight = 32;
    static constexpr double kRiseMs = 800.0;
    static constexpr float kRise = 120.0f;

    // Replaces the open popup, if any.
    static GUI_OnlineMessagePopup* Show(int count, const IClock* clock = nullptr);
    static void Close();
    // Its top-left corner elapsedMs after it appeared on a w x h screen.
    static void PositionAt(double elapsedMs, int w, int h, float& x, float& y);

    ~GUI_OnlineMessagePopup() override;
    void Draw() override;
    const std::string& GetCountText() const { return m_countText; }

private:
    GUI_OnlineMessagePopup(int count, const IClock* clock);
    static void OnClick(std::intptr_t);

    CTexturedSprite m_sprite;
    std::string m_countText;
    GTimer m_timer;
    GUI_ButtonBase* m_button = nullptr;
};
