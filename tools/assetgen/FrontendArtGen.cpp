// The front end's pictures: the title screen (1024 and 2048 wide), the menu
// backdrop, a picture per scenario for its details, medals, scenario-type
// and lock badges, the shop's item frames and the slider knob. They share
// the interface palette: dark blue-grey panels, cyan light.
#include "ArtCommon.h"
#include "AssetGen.h"

#include "engine/GIniFile.h"
#include "engine/GRandom.h"
#include "platform/DdsImage.h"
#include "platform/ImageEncode.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#define STBTT_STATIC
#define STB_TRUETYPE_IMPLEMENTATION
#include <stb_truetype.h>

namespace {

using namespace art;

std::vector<uint8_t> ToRGBA(const Canvas& c)
{
    std::vector<uint8_t> px = ToneMapBGRA(c);
    for (size_t i = 0; i < px.size(); i += 4)
        std::swap(px[i], px[i + 2]);
    return px;
}

bool WriteCanvas(const std::string& path, const Canvas& c, ImageFileType type)
{
    std::string bytes;
    return EncodeImage(type, c.w, c.h, ToRGBA(c), bytes, 90) && WriteAssetIfChanged(path, bytes);
}

// A soft nebula drawn at half size and spread over the canvas: the wide
// title picture would take too long at full size on every build.
void HalfSizeNebula(Canvas& c, float cx, float cy, float radius, Tint colour, uint32_t seed)
{
    Canvas half(c.w / 2, c.h / 2);
    Nebula(half, cx / 2, cy / 2, radius / 2, colour.r, colour.g, colour.b, seed);
    for (int y = 0; y < c.h; ++y)
        for (int x = 0; x < c.w; ++x) {
            const float* p = &half.rgb[(static_cast<size_t>(std::min(y / 2, half.h - 1)) * half.w +
                                        std::min(x / 2, half.w - 1)) * 3];
            c.Add(x, y, p[0], p[1], p[2]);
        }
}

// The game's name in large letters with a cyan glow, centred on (cx, baseline).
void TitleText(Canvas& c, const char* text, float pixelHeight, int cx, int baseline)
{
    std::vector<unsigned char> ttf;
    for (const char* name : {"DejaVuSans-Bold.ttf", "DejaVuSans.ttf"}) {
        FILE* f = fopen((std::string("/usr/share/fonts/truetype/dejavu/") + name).c_str(), "rb");
        if (!f)
            continue;
        unsigned char buf[65536];
        for (size_t n; (n = fread(buf, 1, sizeof buf, f)) > 0;)
            ttf.insert(ttf.end(), buf, buf + n);
        fclose(f);
        break;
    }
    stbtt_fontinfo info;
    if (ttf.empty() || !stbtt_InitFont(&info, ttf.data(), 0))
        return; // the picture stays without its title rather than failing
    const float scale = stbtt_ScaleForPixelHeight(&info, pixelHeight);
    // Letters are drawn into a mask first, so the glow can be spread from it.
    std::vector<float> mask(static_cast<size_t>(c.w) * c.h, 0.0f);
    int width = 0;
    for (const char* p = text; *p; ++p) {
        int advance = 0, lsb = 0;
        stbtt_GetCodepointHMetrics(&info, *p, &advance, &lsb);
        width += static_cast<int>(advance * scale * 1.08f);
    }
    int x = cx - width / 2;
    for (const char* p = text; *p; ++p) {
        int w = 0, h = 0, xo = 0, yo = 0, advance = 0, lsb = 0;
        unsigned char* bmp = stbtt_GetCodepointBitmap(&info, scale, scale, *p, &w, &h, &xo, &yo);
        for (int yy = 0; bmp && yy < h; ++yy)
            for (int xx = 0; xx < w; ++xx) {
                const int px = x + xo + xx, py = baseline + yo + yy;
                if (px >= 0 && py >= 0 && px < c.w && py < c.h)
                    mask[static_cast<size_t>(py) * c.w + px] = bmp[yy * w + xx] / 255.0f;
            }
        stbtt_FreeBitmap(bmp, nullptr);
        stbtt_GetCodepointHMetrics(&info, *p, &advance, &lsb);
        x += static_cast<int>(advance * scale * 1.08f);
    }
    const int r = 10;
    const int top = std::max(0, baseline - static_cast<int>(pixelHeight) - r), bottom = std::min(c.h, baseline + r * 3);
    for (int y = top; y < bottom; ++y)
        for (int xx = 0; xx < c.w; ++xx) {
            float glow = 0.0f;
            for (int d = -r; d <= r; d += 2) {
                const int sx = xx + d, sy = y + d / 2;
                if (sx >= 0 && sx < c.w && sy >= 0 && sy < c.h)
                    glow += mask[static_cast<size_t>(y) * c.w + sx] + mask[static_cast<size_t>(sy) * c.w + xx];
            }
            glow /= static_cast<float>(2 * r + 2);
            const float m = mask[static_cast<size_t>(y) * c.w + xx];
            const float shade = 0.75f + 0.25f * static_cast<float>(y - top) / static_cast<float>(bottom - top);
            c.Add(xx, y, glow * 0.15f + m * 0.55f * shade, glow * 0.55f + m * 0.9f * shade, glow * 0.75f + m * 1.1f);
        }
}

void Planet(Canvas& c, float cx, float cy, float radius)
{
    for (int y = std::max(0, static_cast<int>(cy - radius - 120)); y < c.h; ++y)
        for (int x = 0; x < c.w; ++x) {
            const float d = std::sqrt((x - cx) * (x - cx) + (y - cy) * (y - cy));
            float* p = &c.rgb[(static_cast<size_t>(y) * c.w + x) * 3];
            if (d < radius) {
                const float rim = std::exp(-(radius - d) / 5.0f);
                const float band = 0.015f + 0.02f * Noise(x / 90.0f, y / 22.0f, 77);
                p[0] = band + rim * 0.2f;
                p[1] = band + rim * 0.6f;
                p[2] = band * 1.6f + rim;
            } else {
                const float glow = std::exp(-(d - radius) / 40.0f) * 0.3f;
                c.Add(x, y, glow * 0.15f, glow * 0.5f, glow * 0.9f);
            }
        }
}

// One title picture, wide and narrow: "<base>2048.bmp" and "<base>1024.bmp".
bool TitlePair(const std::string& dir, const std::string& base, Tint left, Tint right, uint32_t seed,
               const char* subtitle)
{
    Canvas wide(2048, 1024);
    HalfSizeNebula(wide, 700, 380, 700, left, 31);
    HalfSizeNebula(wide, 1400, 600, 650, right, 47);
    GRandom rnd(seed);
    Stars(wide, rnd, 9000);
    Planet(wide, 1024, 1900, 1150);
    TitleText(wide, "QUILLOMAR", 150.0f, 1024, 330);
    if (subtitle)
        TitleText(wide, subtitle, 60.0f, 1024, 480);
    // The narrow picture is the middle of the wide one.
    Canvas narrow(1024, 1024);
    for (int y = 0; y < 1024; ++y)
        std::copy_n(&wide.rgb[(static_cast<size_t>(y) * 2048 + 512) * 3], 1024 * 3,
                    &narrow.rgb[static_cast<size_t>(y) * 1024 * 3]);
    return WriteCanvas(dir + base + "2048.bmp", wide, ImageFileType::Bmp) &&
           WriteCanvas(dir + base + "1024.bmp", narrow, ImageFileType::Bmp);
}

// The title, and its campaign variant shown once the campaign is installed.
bool TitleScreens(const std::string& dir)
{
    return TitlePair(dir, "titlescreen", {0.50f, 0.16f, 0.45f, 1}, {0.10f, 0.32f, 0.62f, 1}, 6101, nullptr) &&
           TitlePair(dir, "campaign_title_", {0.55f, 0.30f, 0.10f, 1}, {0.12f, 0.40f, 0.50f, 1}, 6103, "CAMPAIGN");
}

// Behind every menu screen: a dim nebula under a faint hexagonal-ish grid.
bool MenuBackdrop(const std::string& dir)
{
    Canvas c(1024, 1024);
    HalfSizeNebula(c, 380, 420, 560, {0.10f, 0.22f, 0.40f, 1}, 13);
    HalfSizeNebula(c, 760, 700, 480, {0.22f, 0.10f, 0.30f, 1}, 17);
    GRandom rnd(6102);
    Stars(c, rnd, 2500);
    for (int y = 0; y < c.h; ++y)
        for (int x = 0; x < c.w; ++x)
            if (x % 64 == 0 || y % 64 == 0)
                c.Add(x, y, 0.01f, 0.035f, 0.05f);
    return WriteCanvas(dir + "menu_backdrop.jpg", c, ImageFileType::Jpeg);
}

// A scenario as seen from above: its colour of space, two fleets facing each
// other and, for some, a rock field between them.
Image ScenarioPicture(const std::string& name, const std::string& backdrop)
{
    uint32_t seed = 2166136261u;
    for (char ch : name)
        seed = (seed ^ static_cast<uint8_t>(ch)) * 16777619u;
    Tint tone{0.12f, 0.25f, 0.6f, 1};
    if (backdrop.find("red") != std::string::npos)
        tone = {0.6f, 0.14f, 0.12f, 1};
    else if (backdrop.find("dust") != std::string::npos)
        tone = {0.45f, 0.33f, 0.2f, 1};
    else if (backdrop.find("nebula") != std::string::npos)
        tone = {0.45f, 0.15f, 0.55f, 1};
    Canvas c(512, 512);
    Nebula(c, 256, 256, 360, tone.r, tone.g, tone.b, seed % 1000);
    GRandom rnd(seed);
    Stars(c, rnd, 900);
    if (name.find("survival") != std::string::npos || name.find("2") != std::string::npos)
        for (int i = 0; i < 60; ++i) { // rocks
            const float rx = 200 + rnd.NextFloat() * 112, ry = rnd.NextFloat() * 512, rr = 2 + rnd.NextFloat() * 6;
            for (int y = static_cast<int>(ry - rr); y <= static_cast<int>(ry + rr); ++y)
                for (int x = static_cast<int>(rx - rr); x <= static_cast<int>(rx + rr); ++x)
                    if ((x - rx) * (x - rx) + (y - ry) * (y - ry) < rr * rr)
                        c.Add(x, y, 0.12f, 0.1f, 0.08f);
        }
    Image img(512, 512);
    std::vector<uint8_t> rgba = ToRGBA(c);
    for (int y = 0; y < 512; ++y)
        for (int x = 0; x < 512; ++x) {
            const uint8_t* p = &rgba[(static_cast<size_t>(y) * 512 + x) * 4];
            img.Set(x, y, {p[0] / 255.0f, p[1] / 255.0f, p[2] / 255.0f, 1.0f});
        }
    for (int i = 0; i < 7; ++i) { // the two fleets: wedges pointing at each other
        const float y = 110.0f + i * 48.0f + rnd.NextFloat() * 20.0f;
        const float bx = 90.0f + rnd.NextFloat() * 40.0f, rx = 420.0f - rnd.NextFloat() * 40.0f;
        img.Stroke(bx - 9, y - 6, bx + 9, y, 3.0f, kCyanBright);
        img.Stroke(bx - 9, y + 6, bx + 9, y, 3.0f, kCyanBright);
        img.Stroke(rx + 9, y - 6, rx - 9, y, 3.0f, FromHex(0xFF7A5A));
        img.Stroke(rx + 9, y + 6, rx - 9, y, 3.0f, FromHex(0xFF7A5A));
    }
    return img;
}

bool ScenarioPictures(const std::string& dataDir, const std::string& dir)
{
    bool ok = true;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(dataDir + "/scenarios", ec)) {
        if (entry.path().extension() != ".txt")
            continue;
        GIniFile ini;
        if (!ini.Load("config", entry.path().string().c_str()))
            continue;
        const std::string icon = ini.GetString("icon"), name = ini.GetString("name");
        if (icon.empty() || icon.find('/') != std::string::npos || icon.find("..") != std::string::npos)
            continue;
        ok = WriteAssetIfChanged(dir + icon, ScenarioPicture(name, ini.GetString("backdrop")).ToDds()) && ok;
    }
    return ok;
}

void Disc(Image& img, float cx, float cy, float r, Tint c)
{
    for (int y = static_cast<int>(cy - r - 1); y <= static_cast<int>(cy + r + 1); ++y)
        for (int x = static_cast<int>(cx - r - 1); x <= static_cast<int>(cx + r + 1); ++x) {
            const float d = std::sqrt((x + 0.5f - cx) * (x + 0.5f - cx) + (y + 0.5f - cy) * (y + 0.5f - cy));
            const float cover = std::clamp(r - d + 0.5f, 0.0f, 1.0f);
            if (cover > 0.0f && x >= 0 && y >= 0 && x < img.width && y < img.height)
                img.Over(x, y, c, cover);
        }
}

// A medal 110 x 32 on a 128 x 32 texture: a ribbon with a round medal and a
// star; the empty one is only the outline.
// A medal 110 wide (of a 128-wide texture): a dark plaque rimmed in the
// metal between two struck discs. The level's name is written across the
// middle, so the plaque is where it goes and it reads white on dark.
Image Medal(Tint metal, bool empty)
{
    Image img(128, 32);
    if (!empty) {
        img.Stroke(20, 16, 90, 16, 24.0f, Blend(metal, kShadow, 0.3f));
        img.Stroke(20, 16, 90, 16, 20.0f, Tint{kShadow.r, kShadow.g, kShadow.b, 0.92f});
        for (const float cx : {9.0f, 101.0f}) {
            Disc(img, cx, 16.0f, 8.5f, Blend(metal, kShadow, 0.45f));
            Disc(img, cx, 16.0f, 7.0f, metal);
            Disc(img, cx, 16.0f, 3.0f, Blend(metal, {1, 1, 1, 1}, 0.6f));
        }
    } else {
        const float cx = 55.0f, cy = 16.0f;
        for (int i = 0; i < 48; ++i) {
            const float a = i * 0.1309f, b = a + 0.1309f;
            img.Stroke(cx + 12 * std::cos(a), cy + 12 * std::sin(a), cx + 12 * std::cos(b), cy + 12 * std::sin(b), 1.5f,
                       Tint{kSteel.r, kSteel.g, kSteel.b, 0.5f});
        }
    }
    return img;
}

Image TypeBadge(bool survival)
{
    Image img(32, 32);
    Disc(img, 16, 16, 15, kFillBottom);
    if (survival) { // a shield
        img.Stroke(9, 8, 23, 8, 2.5f, kCyan);
        img.Stroke(9, 8, 9, 17, 2.5f, kCyan);
        img.Stroke(23, 8, 23, 17, 2.5f, kCyan);
        img.Stroke(9, 17, 16, 25, 2.5f, kCyan);
        img.Stroke(23, 17, 16, 25, 2.5f, kCyan);
    } else { // crossed blades
        img.Stroke(8, 8, 24, 24, 2.5f, kCyanBright);
        img.Stroke(24, 8, 8, 24, 2.5f, kCyanBright);
    }
    return img;
}

// The shop's item frame: a bevelled square, cyan when it can be bought,
// brown when it cannot.
Image ItemFrame(Tint accent)
{
    Image img(64, 64);
    for (int i = 0; i < 3; ++i) {
        const Tint c = i == 1 ? accent : Blend(accent, kShadow, 0.6f);
        img.HLine(i, 63 - i, i, c);
        img.HLine(i, 63 - i, 63 - i, c);
        img.VLine(i, i, 63 - i, c);
        img.VLine(63 - i, i, 63 - i, c);
    }
    for (int y = 3; y < 61; ++y)
        img.HLine(3, 60, y, Tint{kFillBottom.r, kFillBottom.g, kFillBottom.b, 0.55f});
    return img;
}

// The race's picture in the shop: its logo on a plate, from the race file's
// "unlock_texture".
bool RaceShopPictures(const std::string& dataDir, const std::string& dir)
{
    bool ok = true;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(dataDir + "/races", ec)) {
        if (entry.path().extension() != ".txt")
            continue;
        GIniFile ini;
        if (!ini.Load("config", entry.path().string().c_str()))
            continue;
        const std::string name = ini.GetString("unlock_texture");
        if (name.empty() || name.find('/') != std::string::npos)
            continue;
        Image img = ItemFrame(kCyan);
        const bool warlike = std::string(ini.GetString("name")) != "federation";
        const Tint mark = warlike ? FromHex(0xFF7A5A) : kCyanBright;
        img.Stroke(18, 46, 32, 14, 4.0f, mark);
        img.Stroke(46, 46, 32, 14, 4.0f, mark);
        img.Stroke(22, 36, 42, 36, 3.0f, mark);
        ok = WriteAssetIfChanged(dir + name, img.ToDds()) && ok;
    }
    return ok;
}

bool GenerateFrontendArt(const std::string& dataDir)
{
    const std::string dir = dataDir + "/bitmaps/frontend/";
    bool ok = TitleScreens(dir);
    ok = MenuBackdrop(dir) && ok;
    ok = ScenarioPictures(dataDir, dir) && ok;
    ok = RaceShopPictures(dataDir, dir) && ok;
    const struct {
        const char* name;
        Image image;
    } pieces[] = {
        {"achieve_bronze.dds", Medal(FromHex(0xC8823C), false)},
        {"achieve_silver.dds", Medal(FromHex(0xC8D2DC), false)},
        {"achieve_gold.dds", Medal(FromHex(0xF0C83C), false)},
        {"achieve_empty.dds", Medal(kSteel, true)},
        {"scenario_skirmish.dds", TypeBadge(false)},
        {"scenario_survival.dds", TypeBadge(true)},
    };
    for (const auto& p : pieces)
        ok = WriteAssetIfChanged(dir + p.name, p.image.ToDds()) && ok;
    return ok;
}

} // namespace

QLM_GENERATOR(frontend_art, GenerateFrontendArt);
