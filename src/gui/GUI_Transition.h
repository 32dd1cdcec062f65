#pragma once
#include "engine/Effect.h"
#include "engine/GTimer.h"
#include "engine/SmartTexture.h"
#include "platform/IGraphicsDevice.h"

#include <functional>

class IClock;
class SIM_Options;

// The wipe between two screens: the old screen's last frame is captured into
// "rt_transition" and wiped away over the new screen. One instance; the shell
// calls Start from every real mode change and Draw once a frame after the
// screen has drawn.
class GUI_Transition {
public:
    static constexpr float kDurationMs = 850.0f;
    static constexpr int kSlidingWipe = 0;
    static constexpr int kCircularWipe = 1;
    static constexpr const char* kTargetName = "rt_transition";
    static constexpr const char* kMaskTexture = "circular_wipe.dds";
    static constexpr const char* kMaskEffect = "data/shaders/transition_wipe";
    // Width of the soft edge that trails the sliding wipe.
    static constexpr float kSoftEdge = 64.0f;
    // The mask is clear inside this fraction of its half side and opaque
    // beyond the second; the art generator draws it from the same numbers.
    static constexpr float kMaskClear = 0.80f;
    static constexpr float kMaskOpaque = 0.96f;

    static GUI_Transition& GetInstance();
    virtual ~GUI_Transition() = default;

    // renderOldMode draws the screen being left once more, so that its last
    // frame can be captured; the shell passes its current mode's Render.
    void Start(const std::function<void()>& renderOldMode);
    bool CaptureScreen();
    bool IsEnabled() const;
    virtual void Draw();

    bool IsActive() const { return m_active; }
    int GetWipeKind() const { return m_wipeKind; }
    void SetWipeKind(int kind) { m_wipeKind = kind == kCircularWipe ? kCircularWipe : kSlidingWipe; }
    bool GetAlternate() const { return m_alternate; }
    void SetAlternate(bool on) { m_alternate = on; }
    float GetRadius() const { return m_radius; }

    // Injection points: a null clock is the system clock, null options the
    // player's options.
    void SetClock(const IClock* clock);
    void SetOptions(SIM_Options* options) { m_options = options; }
    // Back to idle with the sliding wipe next (tests and device resets).
    void Reset();

    // The geometry of one wipe frame at t, for drawing and for tests.
    static void BuildSlidingWipe(float t, float width, float height, ScreenVertex body[4], ScreenVertex edge[4]);
    // Half the side of the masked square around the screen centre; by t = 1
    // its transparent disc covers the whole screen.
    static float CircleHalfSide(float t, float radius);

private:
    GUI_Transition();
    GUI_Transition(const GUI_Transition&) = delete;
    GUI_Transition& operator=(const GUI_Transition&) = delete;

    void ComputeScreenMetrics();
    void DrawSlidingWipe(float t);
    void DrawCircularWipe(float t);
    void DrawMaskedSquare(float cx, float cy, float half);
    void DrawRingFallback(float cx, float cy, float half);
    void DrawScreenRect(float x0, float y0, float x1, float y1);

    GTimer m_timer;
    float m_duration = 0.0f;
    bool m_active = false;
    bool m_restartTimer = false;
    int m_wipeKind = kSlidingWipe;
    bool m_alternate = true;
    SmartTexture m_mask;
    Effect m_maskEffect;
    float m_uScale = 1.0f;
    float m_vScale = 1.0f;
    float m_radius = 0.0f;
    float m_width = 0.0f;
    float m_height = 0.0f;
    SIM_Options* m_options = nullptr;
    bool m_reportedMissingTarget = false;
    bool m_effectActive = false;
};
