#pragma once
#include "engine/GRect.h"
#include "engine/GTimer.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

class IClock;

// The pulsing white frames a lesson puts around the controls it talks about.
// A frame is laid out once from its control's rectangle and drawn by the open
// lesson window, so frames show only while a lesson is up.
class GUI_TutorialHighlighter {
public:
    static constexpr int kBarThickness = 4;
    static constexpr double kPulseMs = 1000.0;

    struct Frame {
        std::string name;
        GRect rect;
    };
    // A screen area that is no widget (the deployment map) answers its
    // rectangle here; false while it is not on screen.
    using AreaProvider = std::function<bool(GRect&)>;

    static GUI_TutorialHighlighter& GetInstance();

    void Highlight(const std::string& name);
    void AddHighlight(const std::string& name, const GRect& rect);
    void CancelHighlight();
    void Draw();

    void SetArea(const std::string& name, AreaProvider provider);
    // True when a control or area of that name is there to be pointed at.
    bool CanPointAt(const std::string& name) const;

    bool IsActive() const { return m_active; }
    const std::vector<Frame>& GetFrames() const { return m_frames; }
    // The frame alpha after this long into a pulse: 127 at the start, full at
    // a quarter, none at three quarters.
    static int PulseAlpha(double pulseMs);
    int GetLastAlpha() const { return m_lastAlpha; }
    void SetClock(const IClock* clock) { m_timer = GTimer(clock); }

private:
    GUI_TutorialHighlighter() = default;

    GTimer m_timer;
    double m_pulseMs = 0.0;
    bool m_active = false;
    int m_lastAlpha = 0;
    std::vector<Frame> m_frames;
    std::map<std::string, AreaProvider> m_areas;
};
