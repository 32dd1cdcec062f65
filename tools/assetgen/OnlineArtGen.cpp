// The online screens' pictures: the new-messages envelope.
#include "ArtCommon.h"
#include "AssetGen.h"

namespace {
using namespace art;

// A 64 x 32 envelope on a dark plate, its flap in the accent colour; the
// count is written over its body.
Image Envelope()
{
    Image img(64, 32, kClear);
    for (int y = 1; y <= 30; ++y)
        img.HLine(1, 62, y, Tint{kShadow.r, kShadow.g, kShadow.b, 0.85f});
    for (int y = 6; y <= 25; ++y)
        img.HLine(14, 49, y, kFillTop);
    img.Box(14, 6, 49, 25, kCyan);
    img.Stroke(15, 7, 31.5f, 18, 2.0f, kCyanBright);
    img.Stroke(48, 7, 31.5f, 18, 2.0f, kCyanBright);
    return img;
}

bool GenerateOnlineArt(const std::string& dataDir)
{
    return WriteAssetIfChanged(dataDir + "/bitmaps/frontend/messages.dds", Envelope().ToDds());
}
} // namespace

QLM_GENERATOR(online_art, GenerateOnlineArt);
