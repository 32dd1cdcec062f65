// The second battle HUD's art: the fleet overlay's sheet (the health bar
// strip and the scroll, expand and collapse arrows), the range marker's dot
// and the aim marker's ring. White pictures: their users colour them.
#include "ArtCommon.h"
#include "AssetGen.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

using namespace art;

// A filled triangle test in cell units (0..1).
bool InTriangle(float x, float y, float ax, float ay, float bx, float by, float cx, float cy)
{
    const auto edge = [](float px, float py, float qx, float qy, float sx, float sy) {
        return (qx - px) * (sy - py) - (qy - py) * (sx - px);
    };
    const float e0 = edge(ax, ay, bx, by, x, y), e1 = edge(bx, by, cx, cy, x, y), e2 = edge(cx, cy, ax, ay, x, y);
    return (e0 >= 0 && e1 >= 0 && e2 >= 0) || (e0 <= 0 && e1 <= 0 && e2 <= 0);
}

void White(float rgba[4], float alpha)
{
    rgba[0] = rgba[1] = rgba[2] = 1.0f;
    rgba[3] = std::clamp(alpha, 0.0f, 1.0f);
}

// Regions: the bar strip at u 0..0.5, v 0..0.5; up and down arrows at u
// 0.5..1 in the top two quarters; collapse (left) and expand (right)
// chevrons in the bottom half, plain then lit.
void FleetOverlaySheet(float u, float v, float rgba[4])
{
    if (u < 0.5f && v < 0.5f) {
        const float x = u / 0.5f;
        // Bright in the middle, soft at the sides, thin gaps every segment.
        const float across = 1.0f - std::pow(std::fabs(x - 0.5f) * 2.0f, 3.0f);
        const float segment = std::fmod(v / 0.5f * 14.0f, 1.0f) < 0.12f ? 0.55f : 1.0f;
        White(rgba, across * segment);
        return;
    }
    if (u >= 0.5f && v < 0.5f) {
        const float x = (u - 0.5f) / 0.5f, y = std::fmod(v, 0.25f) / 0.25f;
        const bool up = v < 0.25f;
        const bool inside = up ? InTriangle(x, y, 0.5f, 0.2f, 0.2f, 0.8f, 0.8f, 0.8f)
                               : InTriangle(x, y, 0.5f, 0.8f, 0.2f, 0.2f, 0.8f, 0.2f);
        White(rgba, inside ? 1.0f : 0.0f);
        return;
    }
    const int cell = static_cast<int>(u / 0.25f);
    const float x = std::fmod(u, 0.25f) / 0.25f, y = (v - 0.5f) / 0.5f;
    const bool lit = cell >= 2;
    const bool left = cell % 2 == 0;
    const bool inside = left ? InTriangle(x, y, 0.2f, 0.5f, 0.8f, 0.3f, 0.8f, 0.7f)
                             : InTriangle(x, y, 0.8f, 0.5f, 0.2f, 0.3f, 0.2f, 0.7f);
    White(rgba, inside ? 1.0f : (lit ? 0.25f : 0.0f));
}

void RangeDot(float u, float v, float rgba[4])
{
    const float d = std::hypot(u - 0.5f, v - 0.5f) * 2.0f;
    White(rgba, 1.0f - Smooth(0.5f, 1.0f, d));
}

// A ring with four ticks pointing in: the mark on a highlighted module's aim.
void AimMarker(float u, float v, float rgba[4])
{
    const float dx = u - 0.5f, dy = v - 0.5f;
    const float d = std::hypot(dx, dy) * 2.0f;
    const float ring = 1.0f - Smooth(0.0f, 0.08f, std::fabs(d - 0.78f));
    const bool onAxis = std::fabs(dx) < 0.035f || std::fabs(dy) < 0.035f;
    const float tick = onAxis && d > 0.35f && d < 0.78f ? 1.0f : 0.0f;
    White(rgba, std::max(ring, tick));
}

bool GenerateFleetOverlayArt(const std::string& dataDir)
{
    return WriteDrawnPictures(dataDir + "/bitmaps/gui/", {
                                                            {"fleet_overlay_icon.dds", 128, 128, FleetOverlaySheet},
                                                            {"range_marker.dds", 32, 32, RangeDot},
                                                            {"aim_marker.dds", 32, 32, AimMarker},
                                                        });
}

} // namespace

QLM_GENERATOR(fleet_overlay_art, GenerateFleetOverlayArt);
