// The main window's icon: a ship's arrowhead climbing out of a cyan orbit on
// a rounded dark tile, in the interface's palette. Drawn at 64 x 64, the
// largest size a desktop asks of a window; it reads at 16 x 16 as well.
#include "ArtCommon.h"
#include "AssetGen.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

using namespace art;

// Signed distance to a rounded square of half side `half` and corner `radius`.
float RoundedSquare(float x, float y, float half, float radius)
{
    const float qx = std::fabs(x) - half + radius, qy = std::fabs(y) - half + radius;
    const float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
    return outside + std::min(std::max(qx, qy), 0.0f) - radius;
}

// Signed distance to the triangle a, b, c (negative inside).
float Triangle(float px, float py, float ax, float ay, float bx, float by, float cx, float cy)
{
    const float ex[3] = {bx - ax, cx - bx, ax - cx}, ey[3] = {by - ay, cy - by, ay - cy};
    const float vx[3] = {px - ax, px - bx, px - cx}, vy[3] = {py - ay, py - by, py - cy};
    float best = 1e9f, sign = 1.0f;
    int inside = 0;
    for (int i = 0; i < 3; ++i) {
        const float t = std::clamp((vx[i] * ex[i] + vy[i] * ey[i]) / (ex[i] * ex[i] + ey[i] * ey[i]), 0.0f, 1.0f);
        best = std::min(best, std::hypot(vx[i] - ex[i] * t, vy[i] - ey[i] * t));
        inside += ex[i] * vy[i] - ey[i] * vx[i] > 0.0f ? 1 : -1;
    }
    if (inside == 3 || inside == -3)
        sign = -1.0f;
    return sign * best;
}

// Source-over on premultiplied colour; the picture is divided back at the end.
void Over(float rgba[4], Tint c, float cover)
{
    const float a = std::clamp(cover, 0.0f, 1.0f) * c.a;
    rgba[0] = rgba[0] * (1.0f - a) + c.r * a;
    rgba[1] = rgba[1] * (1.0f - a) + c.g * a;
    rgba[2] = rgba[2] * (1.0f - a) + c.b * a;
    rgba[3] = rgba[3] * (1.0f - a) + a;
}

// u, v in 0..1; one unit is 64 pixels, so an edge 1/64 wide is one pixel.
void WindowIcon(float u, float v, float rgba[4])
{
    const float px = 1.0f / 64.0f;
    const float x = u - 0.5f, y = v - 0.5f;
    rgba[0] = rgba[1] = rgba[2] = rgba[3] = 0.0f;

    // The tile: a bevel of light above, dark below, a cyan-grey rim.
    const float tile = RoundedSquare(x, y, 0.47f, 0.12f);
    const float inTile = 1.0f - Smooth(-px, px, tile);
    Over(rgba, Blend(kFillTop, kFillBottom, v), inTile);
    Over(rgba, kEdge, inTile * (1.0f - Smooth(0.0f, 2.0f * px, std::fabs(tile + 1.5f * px))));
    Over(rgba, kBevelLight,
         v < 0.5f ? inTile * 0.6f * (1.0f - Smooth(0.0f, px, std::fabs(tile + 3.5f * px))) : 0.0f);

    // The orbit: a tilted ring behind the ship, brightest at its near side.
    const float ox = x, oy = (y - 0.12f) * 2.4f;
    const float ring = std::fabs(std::hypot(ox, oy) - 0.33f);
    const float ringCover = (1.0f - Smooth(0.5f * px, 2.0f * px, ring)) * inTile;
    Over(rgba, Blend(kCyan, kCyanBright, std::clamp(y * 3.0f + 0.5f, 0.0f, 1.0f)), ringCover);

    // The ship: an arrowhead pointing up and right, with a notch at its tail.
    const float hull = std::max(Triangle(x, y, 0.27f, -0.30f, -0.24f, 0.02f, 0.02f, 0.26f),
                                -Triangle(x, y, -0.05f, 0.06f, -0.30f, 0.34f, 0.06f, 0.02f));
    const float glow = std::hypot(x + 0.12f, y - 0.15f);
    Over(rgba, kCyanBright, (1.0f - Smooth(0.0f, 0.16f, glow)) * 0.8f * inTile);
    Over(rgba, kShadow, 1.0f - Smooth(0.0f, 2.5f * px, hull - 1.0f * px));
    const float shade = std::clamp(0.5f + (x - y) * 0.9f, 0.0f, 1.0f);
    Over(rgba, Blend(kSteel, FromHex(0xE8F0FA), shade), 1.0f - Smooth(-px, 0.0f, hull));
    // A cockpit light near the nose.
    Over(rgba, kCyan, 1.0f - Smooth(0.6f * px, 1.6f * px, std::hypot(x - 0.11f, y + 0.14f)));
    if (rgba[3] > 0.0f)
        for (int i = 0; i < 3; ++i)
            rgba[i] /= rgba[3];
}

bool GenerateWindowIcon(const std::string& dataDir)
{
    return WriteDrawnPictures(dataDir + "/bitmaps/", {{"window_icon.dds", 64, 64, WindowIcon}});
}

} // namespace

QLM_GENERATOR(window_icon, GenerateWindowIcon);
