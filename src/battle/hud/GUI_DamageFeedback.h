#pragma once
#include <string>

class SIM_Ship;

// One floating text over a hit ship: the damage to its hull, armour or
// shield (or that it was unharmed). It rises 48 pixels over 500 ms of
// battle time and fades out over the last 100 ms.
class GUI_DamageFeedback {
public:
    static constexpr float kLifeMs = 500.0f;
    static constexpr float kRisePixels = 48.0f;
    static constexpr float kFadeStart = 0.8f;
    static constexpr float kOffScreenMargin = 100.0f;

    virtual ~GUI_DamageFeedback() = default;

    void Start(SIM_Ship* ship, const std::string& text, int r, int g, int b, bool lucky, float offsetX, float offsetY);
    // Ages by dt ms of battle time and lays the text out; false when it
    // ended (its time is up or its ship left the battle).
    virtual bool Draw(float dtMs);
    // Opacity 0..255 at an age.
    static int AlphaAt(float ageMs);
    static float RiseAt(float ageMs) { return ageMs / kLifeMs * kRisePixels; }

    bool active = false;
    std::string text;
    SIM_Ship* ship = nullptr;
    float offsetX = 0.0f;
    float offsetY = 0.0f;
    float age = 0.0f;
    bool lucky = false;
    int red = 255, green = 255, blue = 255, alpha = 255;
    bool pinned = false;
    float pinnedX = 0.0f;
    float pinnedY = 0.0f;
    float screenX = 0.0f;
    float screenY = 0.0f;
};
