#pragma once
#include <string>

#include "battle/AttachmentView.h"
#include "battle/GUI_RenderObject.h"
#include "engine/BaseSprite.h"

class SIM_Ship;

// A navigation light on a hull that swells from nothing to full size once
// per period. All lights of one ship share a phase, so they blink together
// while ships blink out of step with each other.
class GUI_RunningLight : public GUI_RenderObject {
public:
    static constexpr float kCullMargin = 300.0f;
    static constexpr float kMinPixels = 2.0f;

    // line: "px, py, period, size, frame" (px, py on the 256 grid).
    GUI_RunningLight(const std::string& line, SIM_Ship* ship, float phase);
    void Draw() override;
    void Draw(const AttachmentView& view);

    float timer = 0.0f;
    // Whether the last Draw put a quad out, and its side in pixels.
    bool drewLastFrame = false;
    float lastSide = 0.0f;

private:
    float localX = 0.0f, localY = 0.0f;
    SIM_Ship* ship = nullptr;
    float period = 1000.0f;
    float size = 0.0f;
    // How far from the ship's centre the quad may reach, in map units.
    float reach = 0.0f;
    BaseSprite sprite;
};
