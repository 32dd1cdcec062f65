#pragma once
#include "engine/CTexturedSprite.h"
#include "engine/GTimer.h"
#include "gui/GUI_WindowBase.h"

#include <string>

class IClock;

// A scenario's picture seen through a window that pans slowly across it,
// fading in from black and out again, once every 16 seconds.
class GUI_ScrollingScreenshot : public GUI_WindowBase {
public:
    static constexpr double kCycleMs = 16000.0;
    static constexpr float kPictureSide = 512.0f;

    explicit GUI_ScrollingScreenshot(const IClock* clock = nullptr);

    void SetPicture(const std::string& texture);
    void Restart() { m_timer.Start(); }
    void Draw() override;

    // Brightness 0..1 at t milliseconds into the cycle.
    static float Brightness(double t);
    const CTexturedSprite& GetSprite() const { return m_sprite; }

private:
    CTexturedSprite m_sprite;
    GTimer m_timer;
};
