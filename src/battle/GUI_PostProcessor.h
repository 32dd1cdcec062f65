#pragma once
#include "platform/IGraphicsDevice.h"

class Effect;

// Puts the battle's world on the screen through at most two full-screen
// passes: the scenario's own shader and a motion blur along the camera's
// last jump. When either may run this frame, the world is drawn into
// "rt_offscreen1" and the passes copy it to the back buffer; otherwise the
// world goes straight to the back buffer and nothing runs. The targets are
// looked up by name each frame, so the ones a device restore makes are used.
class GUI_PostProcessor {
public:
    // How far right and down, in pixels, what the world draws may still be
    // read this frame: the end passes read a margin past the screen. 0
    // until the passes first cleared their part.
    static float ReadRight() { return s_readRight; }
    static float ReadBottom() { return s_readBottom; }
    enum Pass {
        TO_OFFSCREEN1 = 0, // remember the target, draw into rt_offscreen1, clear it black
        TO_OFFSCREEN2 = 1,
        BIND_OFFSCREEN1 = 2,
        BIND_OFFSCREEN2 = 3,
        SCENARIO_EFFECT = 4,
        RESTORE_TARGET = 5,
        BLUR = 6,
        COPY = 7,
        CLEAR = 8,
        NONE = 9,
    };
    static constexpr int kMaxPasses = 7;

    // What decides this frame's passes.
    struct Frame {
        bool scenarioShader = false; // loaded
        bool scenarioCovers = false; // and writes every pixel of its quad
        bool motionBlurOption = false;
        bool paused = false;
        bool following = false;      // the camera follows a ship
        float blurAmount = 0.0f;     // the camera's, 0..1
        float blurDirection = 0.0f;  // degrees
        float screenWidth = 0.0f, screenHeight = 0.0f;
        float targetWidth = 0.0f, targetHeight = 0.0f;
        float backWidth = 0.0f, backHeight = 0.0f;
    };

    static GUI_PostProcessor& GetInstance();
    static bool CoversBackBuffer(const Frame& f);

    // The battle frame's two ends, reading the battle screen and camera.
    void BeginFrame();
    void EndFrame();
    // This frame's world goes through the targets and the end passes cover
    // or clear the back buffer: the frame need not clear it first.
    bool WillCoverBackBuffer() const;

    static int ChooseBeginCode(const Frame& frame);
    static bool BlursThisFrame(const Frame& frame);
    void BuildPassList(const Frame& frame);
    void RunPass(int code);
    void RenderToOffscreen2();

    int GetBeginCode() const { return beginCode; }
    int GetPassCount() const { return passCount; }
    bool ClearIsCovered() const { return clearIsCovered; }
    int GetPass(int i) const { return i >= 0 && i < kMaxPasses ? passes[i] : NONE; }
    const ScreenVertex* GetQuad() const { return quad; }

private:
    GUI_PostProcessor();
    Frame ReadFrame() const;
    void Append(int code);
    void DrawQuad();
    bool RunEffect(Effect& effect);
    // screenCovered: what will be drawn first replaces the screen's part of
    // the target, so only the margin past it is cleared.
    void ClearReadPart(bool screenCovered);
    static bool HasTargets();

    int beginCode = NONE;
    int passes[kMaxPasses];
    int passCount = 0;
    ScreenVertex quad[4];
    Frame frame;
    bool savedBackBuffer = false;
    // The back buffer's clear is skipped when the frame's last pass is our own
    // copy or blur over all of it with blending off: it would change no pixel.
    bool clearIsCovered = false;

private:
    static inline float s_readRight = 0.0f;
    static inline float s_readBottom = 0.0f;
};
