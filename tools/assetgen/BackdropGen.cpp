// The title backdrop: a deep-space field of stars over two soft nebulae and a
// planet's limb, drawn from a fixed seed so every build makes the same picture.
#include "ArtCommon.h"
#include "AssetGen.h"

#include "engine/GRandom.h"
#include "platform/DdsImage.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

using art::Canvas;
using art::Fbm;

void PlanetLimb(Canvas& c, float cx, float cy, float radius)
{
    for (int y = 0; y < c.h; ++y)
        for (int x = 0; x < c.w; ++x) {
            float d = std::sqrt((x - cx) * (x - cx) + (y - cy) * (y - cy));
            float* p = &c.rgb[(static_cast<size_t>(y) * c.w + x) * 3];
            if (d < radius) {
                // the night side hides what lies behind it; a thin lit rim
                float rim = std::exp(-(radius - d) / 6.0f);
                float surface = 0.02f + 0.03f * Fbm(x / 60.0f, y / 60.0f, 99);
                p[0] = surface + rim * 0.25f;
                p[1] = surface + rim * 0.55f;
                p[2] = surface * 1.5f + rim * 0.9f;
            } else {
                float glow = std::exp(-(d - radius) / 28.0f) * 0.35f;
                p[0] += glow * 0.2f;
                p[1] += glow * 0.5f;
                p[2] += glow * 0.9f;
            }
        }
}

bool GenerateTitleBackdrop(const std::string& dataDir)
{
    const int side = 1024;
    Canvas c(side, side);
    GRandom rnd(20261207);
    art::Nebula(c, 300, 340, 420, 0.55f, 0.18f, 0.45f, 11);
    art::Nebula(c, 760, 560, 380, 0.10f, 0.35f, 0.60f, 23);
    art::Stars(c, rnd, 4200);
    PlanetLimb(c, 860, 1320, 620);

    const std::vector<uint8_t> bgra = art::ToneMapBGRA(c);
    return WriteAssetIfChanged(dataDir + "/bitmaps/backdrops/title_backdrop.dds", WriteDdsBGRA(side, side, bgra.data()));
}

} // namespace

QLM_GENERATOR(title_backdrop, GenerateTitleBackdrop);
