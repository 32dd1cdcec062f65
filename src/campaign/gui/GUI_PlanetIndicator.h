#pragma once
#include <cstdint>

class GUI_Encounter;

// The half gauges beside a player's planet: threat on the left, loyalty on
// the right. A large pair shows close up and a small additive pair on the
// map; they cross-fade over the last 10 zoom units before the close-up zoom.
class GUI_PlanetIndicator {
public:
    enum Kind { CLOSE_UP = 0, MAP = 1 };
    enum Side { THREAT = 0, LOYALTY = 1 };
    static constexpr float kFadeSpan = 10.0f;
    static constexpr float kMaxAlpha = 220.0f;

    // 0xRRGGBB of a gauge's fill for its value.
    static uint32_t ColourFor(int side, float value);
    // The zoom at which a planet of that size is seen close up.
    static float CloseUpZoom(float mapIconSize, int screenHeight);
    // The gauge's alpha (0..220) at a zoom.
    static int AlphaAt(int kind, float zoom, float closeUpZoom);
    static void Draw(const GUI_Encounter& view, int side, int kind);
};
