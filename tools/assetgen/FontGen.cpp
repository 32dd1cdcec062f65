// The interface fonts: glyph grids drawn from DejaVu into white-with-alpha
// textures (vertex colour tints them) plus their advance tables.
#include "AssetGen.h"

#include "platform/DdsImage.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#define STBTT_STATIC
#define STB_TRUETYPE_IMPLEMENTATION
#include <stb_truetype.h>

namespace fontgen {

constexpr int kGridSide = 10;
constexpr int kCells = 256;
constexpr const char* kFontDir = "/usr/share/fonts/truetype/dejavu/";

struct FontSpec {
    const char* textureName;
    const char* ttfFiles[2]; // first that exists wins
    int pixelSize;           // em size at the font's base size
    int cellSize;
    int spacing; // what the renderer adds after every glyph of this font
};

const FontSpec kFonts[] = {
    {"zekton16.dds", {"DejaVuSans-Bold.ttf", "DejaVuSans.ttf"}, 16, 24, 1},
    {"cwfont20.dds", {"DejaVuSansCondensed-Bold.ttf", "DejaVuSans-Bold.ttf"}, 20, 32, 2},
};

// The character each grid cell shows (0 for an empty cell); the renderer maps
// characters to cells with the same rule.
int CellCodepoint(int cell)
{
    switch (cell) {
    case 92: return 0x00A3; // pound sign
    case 93: return '%';
    case 94: return 0x20AC; // euro sign
    default: break;
    }
    if (cell == '%' - 33)
        return '%'; // unreachable through the map, but never left blank
    if (cell >= 0 && cell < 92)
        return cell + 33;
    return 0;
}

bool ReadFile(const std::string& path, std::vector<unsigned char>& out)
{
    FILE* f = fopen(path.c_str(), "rb");
    if (!f)
        return false;
    unsigned char buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0)
        out.insert(out.end(), buf, buf + n);
    fclose(f);
    return !out.empty();
}

void DrawGlyph(const stbtt_fontinfo& info, float scale, int baseline, int codepoint, int cellX, int cellY,
               int cellSize, int stride, std::vector<uint8_t>& alpha)
{
    int w = 0, h = 0, xoff = 0, yoff = 0;
    unsigned char* bmp = stbtt_GetCodepointBitmap(&info, scale, scale, codepoint, &w, &h, &xoff, &yoff);
    if (!bmp)
        return;
    // Glyphs that reach left of the pen (j, y) are moved in rather than cut.
    int left = std::max(xoff, 0);
    for (int y = 0; y < h; ++y) {
        int ty = baseline + yoff + y;
        if (ty < 0 || ty >= cellSize)
            continue;
        for (int x = 0; x < w; ++x) {
            int tx = left + x;
            if (tx >= cellSize)
                break;
            uint8_t& a = alpha[static_cast<size_t>(cellY + ty) * stride + cellX + tx];
            a = std::max(a, bmp[y * w + x]);
        }
    }
    stbtt_FreeBitmap(bmp, nullptr);
}

bool GenerateFont(const FontSpec& spec, const std::string& dataDir)
{
    std::vector<unsigned char> ttf;
    for (const char* file : spec.ttfFiles)
        if (ReadFile(std::string(kFontDir) + file, ttf))
            break;
    stbtt_fontinfo info;
    if (ttf.empty() || !stbtt_InitFont(&info, ttf.data(), stbtt_GetFontOffsetForIndex(ttf.data(), 0))) {
        fprintf(stderr, "fonts: no usable DejaVu font for %s\n", spec.textureName);
        return false;
    }
    const float scale = stbtt_ScaleForMappingEmToPixels(&info, static_cast<float>(spec.pixelSize));
    int ascent = 0, descent = 0, gap = 0;
    stbtt_GetFontVMetrics(&info, &ascent, &descent, &gap);
    const int baseline = static_cast<int>(std::lround(ascent * scale));

    const int side = spec.cellSize * kGridSide;
    std::vector<uint8_t> alpha(static_cast<size_t>(side) * side, 0);
    std::string advances(kCells * 4, '\0');
    for (int cell = 0; cell < kGridSide * kGridSide; ++cell) {
        int cp = CellCodepoint(cell);
        if (!cp || !stbtt_FindGlyphIndex(&info, cp))
            continue;
        int adv = 0, lsb = 0;
        stbtt_GetCodepointHMetrics(&info, cp, &adv, &lsb);
        // The renderer's own spacing comes on top, so it is taken out here to
        // keep the font's natural letter spacing.
        int32_t advance = std::max<int32_t>(1, static_cast<int32_t>(std::lround(adv * scale)) - spec.spacing);
        for (int b = 0; b < 4; ++b)
            advances[cell * 4 + b] = static_cast<char>((static_cast<uint32_t>(advance) >> (8 * b)) & 0xFF);
        DrawGlyph(info, scale, baseline, cp, (cell % kGridSide) * spec.cellSize, (cell / kGridSide) * spec.cellSize,
                  spec.cellSize, side, alpha);
    }

    std::vector<uint8_t> bgra(alpha.size() * 4);
    for (size_t i = 0; i < alpha.size(); ++i) {
        bgra[i * 4 + 0] = 255;
        bgra[i * 4 + 1] = 255;
        bgra[i * 4 + 2] = 255;
        bgra[i * 4 + 3] = alpha[i];
    }
    std::string name = spec.textureName;
    return WriteAssetIfChanged(dataDir + "/bitmaps/fonts/" + name, WriteDdsBGRA(side, side, bgra.data())) &&
           WriteAssetIfChanged(dataDir + "/fonts/" + name + ".dat", advances);
}

} // namespace fontgen

bool GenerateGameFonts(const std::string& dataDir)
{
    bool ok = true;
    for (const auto& spec : fontgen::kFonts)
        ok = fontgen::GenerateFont(spec, dataDir) && ok;
    return ok;
}

QLM_GENERATOR(fonts, GenerateGameFonts);
