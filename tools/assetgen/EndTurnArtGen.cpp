// The picture behind the campaign's end-of-turn and deployment dialogs: a
// wide band of space, two dim nebulae and stars, 2048 x 1024 so that a 2048
// pixel wide screen shows it one texel per pixel. The nebulae are drawn at a
// quarter of the size and spread, which keeps every build quick.
#include "ArtCommon.h"
#include "AssetGen.h"

#include "engine/GRandom.h"
#include "platform/ImageEncode.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

using namespace art;

bool GenerateCampaignBackdrop(const std::string& dataDir)
{
    const int w = 2048, h = 1024, scale = 4;
    Canvas small(w / scale, h / scale);
    Nebula(small, 140.0f, 120.0f, 150.0f, 0.05f, 0.10f, 0.20f, 9301);
    Nebula(small, 380.0f, 150.0f, 130.0f, 0.12f, 0.05f, 0.14f, 9302);
    Canvas c(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const float* p = &small.rgb[(static_cast<size_t>(y / scale) * small.w + x / scale) * 3];
            c.Add(x, y, p[0], p[1], p[2]);
        }
    GRandom rnd(9303);
    Stars(c, rnd, 2600);
    std::vector<uint8_t> px = ToneMapBGRA(c);
    for (size_t i = 0; i < px.size(); i += 4)
        std::swap(px[i], px[i + 2]);
    std::string bytes;
    return EncodeImage(ImageFileType::Bmp, w, h, px, bytes) &&
           WriteAssetIfChanged(dataDir + "/bitmaps/campaign/campaign_backdrop.bmp", bytes);
}

} // namespace

QLM_GENERATOR(campaign_backdrop, GenerateCampaignBackdrop);
