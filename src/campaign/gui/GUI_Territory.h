#pragma once
#include "engine/CTexturedSprite.h"

#include <cstdint>
#include <vector>

class GUI_Encounter;

// The soft disc around a planet that tells who holds it: green for the
// player, red for anyone else. Seen zoomed out, it fades away by zoom 12.
class GUI_Territory {
public:
    static constexpr float kRadiusPerIconSize = 1.25f;
    static constexpr int kFullAlpha = 33;
    static constexpr float kFadeStartZoom = 4.0f;
    static constexpr float kFadePerZoom = 0.125f;

    explicit GUI_Territory(const GUI_Encounter& view);
    ~GUI_Territory();

    void RefreshColour();
    void Draw();
    // The disc's alpha at a zoom (halved when its planet is dimmed); 0 is not drawn.
    static int AlphaAt(float zoom, bool selectable);
    uint32_t GetRGB() const { return m_rgb; }

    static void RefreshAllColours();
    static void DrawAll();

private:
    const GUI_Encounter& m_view;
    CTexturedSprite m_sprite;
    uint32_t m_rgb = 0xFFFFFFu;
    float m_radius = 0.0f;
};
