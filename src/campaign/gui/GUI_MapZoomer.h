#pragma once
#include "engine/GTimer.h"

#include <string>

class GUI_CampaignMap;
class GUI_Encounter;
class IClock;

// Animates the map onto one planet and back: idle -> zooming in (600 ms) ->
// zoomed in (the view stays locked on the planet) -> zooming out (600 ms) ->
// idle. The view from before the first zoom-in is kept to return to.
class GUI_MapZoomer {
public:
    static constexpr double kDurationMs = 600.0;
    static constexpr float kCloseUpSpan = 512.0f;
    static constexpr int kShortScreen = 852;
    static constexpr int kShortScreenMargin = 340;
    enum State { IDLE = 0, ZOOMING_IN = 1, ZOOMED_IN = 2, ZOOMING_OUT = 3 };

    struct Rect {
        float left = 0.0f, top = 0.0f, right = 0.0f, bottom = 0.0f;
    };

    GUI_MapZoomer(GUI_CampaignMap& map, const IClock* clock = nullptr);

    void ZoomTo(GUI_Encounter* element);
    void ZoomOut();
    void Update();
    // Back onto a planet by name at once, without the animation.
    bool RestoreTarget(const std::string& encounterName);
    // Pixels a close-up planet spans on a screen of this height.
    static float CloseUpSpan(int screenHeight);
    void SetClock(const IClock* clock) { m_timer = GTimer(clock); }

    State state = IDLE;
    Rect saved;
    Rect target;
    Rect start;
    GUI_Encounter* targetElement = nullptr;
    float targetZoom = 0.0f;

private:
    void Apply(const Rect& r);

    GUI_CampaignMap& m_map;
    GTimer m_timer;
    bool m_snap = false;
};
