#pragma once
#include "engine/SmartTexture.h"
#include "platform/IGraphicsDevice.h"

// The stars over the battle backdrop, in three depths: 1000 faint points
// fixed on the map, 256 textured stars on planes behind it (parallax), and
// 256 fixed to the screen that slide with the camera's world movement. All
// are kept as plain numbers and drawn through the shared quad batch, so a
// device restore loses nothing; a build scatters them from the starfield's
// own generator (never the battle's), so the same map gets the same sky.
class GUI_Starfield {
public:
    static constexpr int kMapStars = 1000;
    static constexpr int kDepthStars = 256;
    static constexpr int kScreenStars = 256;

    static GUI_Starfield& GetInstance();

    void Build(float mapWidth, float mapHeight, float screenWidth, float screenHeight);
    bool IsBuilt() const { return built; }
    // view: the visible map rectangle's top-left, zoom and camera centre.
    void Draw(float viewLeft, float viewTop, float zoom, const float centre[2]);
    // The camera moved by (dx, dy) world units: screen stars slide the other
    // way, wrapping round the screen.
    void Scroll(float dx, float dy);

    struct Star {
        float x = 0.0f, y = 0.0f; // world units (map, depth) or pixels (screen)
        float size = 1.0f;        // pixels
        uint32_t colour = 0xFFFFFFFFu;
        float depth = 1.0f;
    };
    const Star& MapStar(int i) const { return mapStars[i]; }
    const Star& DepthStar(int i) const { return depthStars[i]; }
    const Star& ScreenStar(int i) const { return screenStars[i]; }
    // The screen position of a parallax star for a camera.
    static void DepthStarScreen(const Star& s, float zoom, const float centre[2], float screenWidth,
                                float screenHeight, float& x, float& y);

private:
    GUI_Starfield() : texture("star.dds") {}

    Star mapStars[kMapStars];
    // The map stars' places again, side by side: the per-frame cull reads
    // four at once.
    float mapStarX[kMapStars] = {};
    float mapStarY[kMapStars] = {};
    Star depthStars[kDepthStars];
    Star screenStars[kScreenStars];
    SmartTexture texture;
    // Room for a frame's textured star quads.
    ScreenVertex starQuads[4 * (kDepthStars + kScreenStars)];
    float screenWidth = 0.0f, screenHeight = 0.0f;
    float mapWidth = 0.0f, mapHeight = 0.0f;
    bool built = false;
};
