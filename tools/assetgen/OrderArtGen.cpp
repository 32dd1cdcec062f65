// The order sliders' pictures: the knob and the bar it runs along.
#include "ArtCommon.h"
#include "AssetGen.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

using namespace art;

// A round knob with a bright rim, lit from the top left.
Image DragButton()
{
    const int side = 32;
    Image img(side, side);
    const float c = side / 2.0f, r = side / 2.0f - 2.0f;
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            const float dx = x + 0.5f - c, dy = y + 0.5f - c;
            const float d = std::hypot(dx, dy);
            const float cover = std::clamp(r + 0.5f - d, 0.0f, 1.0f);
            if (cover <= 0.0f)
                continue;
            const float light = std::clamp(0.5f - (dx + dy) / (4.0f * r), 0.0f, 1.0f);
            Tint t = Blend(kFillBottom, kSteel, light);
            if (d > r - 2.5f)
                t = kCyanBright;
            img.Over(x, y, t, cover);
        }
    return img;
}

// A dark groove with a cyan edge; stretched to any length.
Image SliderBar()
{
    const int w = 128, h = 16;
    Image img(w, h);
    img.Box(1, 3, w - 2, h - 4, kShadow);
    img.HLine(1, w - 2, 3, kEdge);
    img.HLine(1, w - 2, h - 4, kCyan);
    img.HLine(2, w - 3, h / 2, kBevelLight);
    return img;
}

bool GenerateOrderArt(const std::string& dataDir)
{
    const std::string gui = dataDir + "/bitmaps/gui/";
    const std::string knob = DragButton().ToDds();
    const std::string bar = SliderBar().ToDds();
    return !knob.empty() && !bar.empty() && WriteAssetIfChanged(gui + "gui_dragbutton.dds", knob) &&
           WriteAssetIfChanged(gui + "gui_sliderbar.dds", bar);
}

} // namespace

QLM_GENERATOR(order_art, GenerateOrderArt);
