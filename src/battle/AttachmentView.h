#pragma once
#include "battle/VisualStep.h"

class SIM_Ship;

// What the attachments of one ship read while its children are walked:
// taken once per walk instead of once per attachment, and with it how far
// the ship is from the screen, so that an attachment that cannot reach the
// screen does only the updates later frames read.
struct AttachmentView {
    const SIM_Ship* ship = nullptr;
    VisualStep step;
    float zoom = 1.0f;
    float cameraX = 0.0f, cameraY = 0.0f;
    float mapScreenWidth = 0.0f, mapScreenHeight = 0.0f; // the battle map's screen
    // How many pixels the ship's centre lies outside the screen (at most 0
    // when inside).
    float outside = 0.0f;
    bool trailsOn = false;  // con trails shown and the ship on the field
    bool glowsOn = false;   // a fighting ship with no cloak at work
    bool lightsOn = false;  // running lights shown, the ship alive on the field and near the view
    bool uncloaked = false; // no cloak of the ship at work
    // The turn of the ship's heading as the ship's own LocalToWorld takes it
    // from the angle; read only with the lights on.
    float headingSine = 0.0f, headingCosine = 1.0f;

    // The view of the current frame, under the catch-up in force.
    static AttachmentView Of(const SIM_Ship* ship) { return Of(ship, VisualStep::Current()); }
    static AttachmentView Of(const SIM_Ship* ship, const VisualStep& step);
    // Becomes Of(ship, step) in place (no copy of the view).
    void Take(const SIM_Ship* ship, const VisualStep& step);
    // True when nothing within `reach` map units of the ship's centre can
    // touch the screen; a little slack covers the rounding of quad corners.
    bool OutOfReach(float reach) const { return Beyond(outside, reach * zoom); }

    // How many pixels the screen point lies outside the screen the sprites
    // test themselves on (at most 0 inside; far below when not a number).
    static float Outside(float screenX, float screenY);
    static bool Beyond(float outside, float pixels) { return outside > pixels * 1.01f + 2.0f; }

private:
    // What the views of one frame share, each as Take reads it.
    struct Frame {
        float zoom, cameraX, cameraY;
        float mapScreenWidth, mapScreenHeight;
        float screenWidth, screenHeight; // the engine's, as Outside reads them
        bool contrails, runningLights;
        // The map's view grown by the lights' margin, as IsOffScreen grows it.
        float lightsLeft, lightsRight, lightsTop, lightsBottom;
        static Frame Read();
    };

public:
    // While one is open, every view taken reads what all views of the frame
    // share (camera, screens, switches) as they were when it opened: nothing
    // a ship's draw does changes them. Scopes nest.
    class FrameScope {
    public:
        FrameScope();
        ~FrameScope();
        FrameScope(const FrameScope&) = delete;
        FrameScope& operator=(const FrameScope&) = delete;

    private:
        Frame frame;
        const Frame* outer;
    };

private:
    static const Frame* openFrame;
    void Take(const SIM_Ship* ship, const VisualStep& step, const Frame& frame);
};
