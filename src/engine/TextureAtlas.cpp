#include "engine/TextureAtlas.h"

#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "engine/StrFormat.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numeric>
#include <unordered_set>

namespace {
// Within this of a whole texel, a sample lands where linear filtering's
// weights (8 bits of a texel) round to the one texel point sampling reads.
constexpr float kTexelSlack = 1e-3f;

// Every glyph of the interface's texts asks this twice a frame: below 2^22
// adding and taking away 1.5 * 2^23 gives the nearest whole number without a
// call. Its ties go to the even neighbour where std::round's go away from
// zero, but a value half-way is half a texel off either way.
bool Whole(float c)
{
    constexpr float kInline = 4194304.0f, kShift = 12582912.0f;
    if (std::abs(c) < kInline) {
        const float nearest = (c + kShift) - kShift;
        return std::abs(c - nearest) <= kTexelSlack;
    }
    return std::abs(c - std::round(c)) <= kTexelSlack;
}

// Pixel centres lie on whole coordinates: pixel i reads the texel at
// u * size = u0 * size + (i - x0) * scale, its centre when that is n + 0.5.
bool OnTexelCentres(float x0, float x1, float u0, float u1, float size)
{
    const float texels = (u1 - u0) * size;
    return std::abs((x1 - x0) - texels) <= kTexelSlack && Whole(u0 * size - x0 - 0.5f);
}
} // namespace

TextureAtlas& TextureAtlas::Shared()
{
    // Never destroyed: the device lets go of its pages at shutdown, which
    // can come after the statics of this file are gone.
    static auto* const atlas = new TextureAtlas();
    return *atlas;
}

std::vector<TextureAtlas::Placement> TextureAtlas::Pack(const std::vector<Size>& sizes, int pageSide, int maxPages)
{
    std::vector<Placement> placed(sizes.size());
    std::vector<size_t> order(sizes.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&sizes](size_t a, size_t b) { return sizes[a].height > sizes[b].height; });
    int page = 0, x = 0, y = 0, shelf = 0;
    for (size_t i : order) {
        const int w = sizes[i].width + 2 * kPadding;
        const int h = sizes[i].height + 2 * kPadding;
        if (sizes[i].width <= 0 || sizes[i].height <= 0 || w > pageSide || h > pageSide)
            continue;
        if (x + w > pageSide) {
            y += shelf;
            x = 0;
            shelf = 0;
        }
        if (y + h > pageSide) {
            ++page;
            x = y = shelf = 0;
        }
        if (page >= maxPages)
            break;
        placed[i] = {page, x + kPadding, y + kPadding};
        x += w;
        shelf = std::max(shelf, h);
    }
    return placed;
}

std::vector<std::string> TextureAtlas::Candidates()
{
    std::vector<std::string> names;
    for (const std::string& name : D3DEngine::GetInstance().GetLoadedTextureNames()) {
        int w = 0, h = 0;
        if (D3DEngine::GetInstance().GetTextureSize(name, w, h) && w <= kMaxPieceSide && h <= kMaxPieceSide)
            names.push_back(name);
    }
    return names;
}

int TextureAtlas::Build(const std::vector<std::string>& names)
{
    // The next battle over the same pictures keeps the pages it has, and so
    // does one that only adds a few (a muzzle flash first fired late in the
    // last battle): llvmpipe can keep a destroyed page's memory until some
    // later draw happens to let go of it, minutes on, so a new page would
    // cost a second one.
    if (m_regionSide == m_builtRegionSide && !m_pages.empty() && AddsAtMost(names, kMaxUntiledNames))
        return GetTileCount();
    Release();
    m_names = names;
    D3DEngine& engine = D3DEngine::GetInstance();
    IGraphicsDevice* device = engine.GetDevice();
    if (!device)
        return 0;

    struct Piece {
        std::string name;
        TextureHandle source = 0;
    };
    std::vector<Piece> pieces;
    std::vector<Size> sizes;
    for (const std::string& name : names) {
        const TextureHandle source = engine.FindTexture(name);
        Size size;
        if (!source || !device->GetTextureSize(source, size.width, size.height))
            continue;
        if (size.width > kMaxNamedPieceSide || size.height > kMaxNamedPieceSide)
            continue;
        if (std::any_of(pieces.begin(), pieces.end(), [source](const Piece& p) { return p.source == source; }))
            continue;
        pieces.push_back({name, source});
        sizes.push_back(size);
    }
    const int side = std::min(kPageSide, device->GetMaxTextureSide());
    // The target's region packs as the last piece (its size sorts it first).
    std::vector<Size> packed = sizes;
    if (m_regionSide > 0)
        packed.push_back({m_regionSide, m_regionSide});
    std::vector<Placement> placed = Pack(packed, side, kMaxPages);
    m_builtRegionSide = m_regionSide;
    m_region = m_regionSide > 0 ? placed.back() : Placement{};
    ++m_regionCopies; // new pages: nothing is copied there yet
    placed.resize(sizes.size());

    std::vector<TextureData> pages;
    for (size_t i = 0; i < pieces.size(); ++i) {
        const Placement& p = placed[i];
        if (p.page < 0)
            continue;
        if (static_cast<size_t>(p.page) >= pages.size())
            pages.resize(static_cast<size_t>(p.page) + 1);
        TextureData& page = pages[static_cast<size_t>(p.page)];
        page.width = std::max(page.width, p.x + sizes[i].width + kPadding);
        page.height = std::max(page.height, p.y + sizes[i].height + kPadding);
    }
    if (m_region.page >= 0) {
        if (static_cast<size_t>(m_region.page) >= pages.size())
            pages.resize(static_cast<size_t>(m_region.page) + 1);
        TextureData& page = pages[static_cast<size_t>(m_region.page)];
        page.width = std::max(page.width, m_region.x + m_regionSide + kPadding);
        page.height = std::max(page.height, m_region.y + m_regionSide + kPadding);
    }
    for (TextureData& page : pages) {
        page.format = PixelFormat::BGRA8;
        page.levels.assign(1, std::vector<uint8_t>(static_cast<size_t>(page.width) * static_cast<size_t>(page.height) * 4, 0));
    }

    // Copy each picture with its edge pixels repeated into the padding.
    std::vector<int> pieceOfTile;
    std::vector<int> tilePage;
    for (size_t i = 0; i < pieces.size(); ++i) {
        const Placement& p = placed[i];
        if (p.page < 0)
            continue;
        TextureData data;
        if (!engine.ReadTextureData(pieces[i].name, data) || data.format != PixelFormat::BGRA8 ||
            data.levels.size() != 1 || data.width != sizes[i].width || data.height != sizes[i].height)
            continue;
        TextureData& page = pages[static_cast<size_t>(p.page)];
        const uint8_t* src = data.levels[0].data();
        uint8_t* dst = page.levels[0].data();
        for (int y = -kPadding; y < data.height + kPadding; ++y) {
            const int sy = std::clamp(y, 0, data.height - 1);
            const uint8_t* srcRow = src + static_cast<size_t>(sy) * static_cast<size_t>(data.width) * 4;
            uint8_t* dstRow = dst + (static_cast<size_t>(p.y + y) * static_cast<size_t>(page.width) + static_cast<size_t>(p.x)) * 4;
            std::memcpy(dstRow, srcRow, static_cast<size_t>(data.width) * 4);
            for (int k = 1; k <= kPadding; ++k) {
                std::memcpy(dstRow - 4 * k, srcRow, 4);
                std::memcpy(dstRow + (static_cast<size_t>(data.width) + static_cast<size_t>(k) - 1) * 4,
                            srcRow + (static_cast<size_t>(data.width) - 1) * 4, 4);
            }
        }
        pieceOfTile.push_back(static_cast<int>(i));
        tilePage.push_back(p.page);
    }

    for (const TextureData& page : pages) {
        const TextureHandle handle = page.width > 0 ? device->CreateTexture(page) : 0;
        if (!handle && page.width > 0)
            engine.LogResult("Creating a texture atlas page");
        m_pages.push_back(handle);
    }
    for (size_t t = 0; t < pieceOfTile.size(); ++t) {
        const size_t i = static_cast<size_t>(pieceOfTile[t]);
        const TextureData& page = pages[static_cast<size_t>(tilePage[t])];
        Tile tile;
        tile.page = m_pages[static_cast<size_t>(tilePage[t])];
        if (!tile.page)
            continue;
        const float w = static_cast<float>(page.width), h = static_cast<float>(page.height);
        tile.u0 = static_cast<float>(placed[i].x) / w;
        tile.v0 = static_cast<float>(placed[i].y) / h;
        tile.du = static_cast<float>(sizes[i].width) / w;
        tile.dv = static_cast<float>(sizes[i].height) / h;
        tile.width = static_cast<float>(sizes[i].width);
        tile.height = static_cast<float>(sizes[i].height);
        const TextureHandle source = pieces[i].source;
        if (source >= m_tileOf.size())
            m_tileOf.resize(static_cast<size_t>(source) + 1, -1);
        m_tileOf[source] = static_cast<int>(m_tiles.size());
        m_tiles.push_back(tile);
    }
    if (m_region.page >= 0) {
        const TextureData& page = pages[static_cast<size_t>(m_region.page)];
        m_targetTile.page = m_pages[static_cast<size_t>(m_region.page)];
        m_targetTile.u0 = static_cast<float>(m_region.x) / static_cast<float>(page.width);
        m_targetTile.v0 = static_cast<float>(m_region.y) / static_cast<float>(page.height);
    }
    LOG_DEBUG(StrFormat("Texture atlas: %d pictures on %d pages", GetTileCount(), GetPageCount()));
    return GetTileCount();
}

TextureHandle TextureAtlas::MapTexelAligned(TextureHandle texture, const ScreenVertex* quads, size_t count,
                                            ScreenVertex* out) const
{
    if (texture >= m_tileOf.size() || m_tileOf[texture] < 0 || count % 4 != 0)
        return 0;
    const Tile& tile = m_tiles[static_cast<size_t>(m_tileOf[texture])];
    if (!(tile.width > 0.0f))
        return 0;
    for (size_t i = 0; i < count; i += 4) {
        const ScreenVertex* q = quads + i;
        if (q[0].y != q[1].y || q[2].y != q[3].y || q[0].x != q[2].x || q[1].x != q[3].x ||
            q[0].u != q[2].u || q[1].u != q[3].u || q[0].v != q[1].v || q[2].v != q[3].v ||
            !OnTexelCentres(q[0].x, q[1].x, q[0].u, q[1].u, tile.width) ||
            !OnTexelCentres(q[0].y, q[2].y, q[0].v, q[2].v, tile.height) || !MapToTile(tile, q, out + i))
            return 0;
    }
    return tile.page;
}

bool TextureAtlas::AddsAtMost(const std::vector<std::string>& names, int added) const
{
    const std::unordered_set<std::string> given(names.begin(), names.end());
    const std::unordered_set<std::string> built(m_names.begin(), m_names.end());
    return given.size() <= built.size() + static_cast<size_t>(added) &&
           std::all_of(built.begin(), built.end(), [&given](const std::string& n) { return given.count(n) > 0; });
}

int TextureAtlas::Rebuild()
{
    if (m_names.empty())
        return 0;
    const std::vector<std::string> names = m_names;
    return Build(names);
}

bool TextureAtlas::CopyTarget(TextureHandle target, int width, int height)
{
    return MapOrCopyTarget(target, width, height, true);
}

bool TextureAtlas::MapTarget(TextureHandle target, int width, int height)
{
    return MapOrCopyTarget(target, width, height, false);
}

bool TextureAtlas::MapOrCopyTarget(TextureHandle target, int width, int height, bool copy)
{
    ForgetTarget();
    IGraphicsDevice* device = D3DEngine::GetInstance().GetDevice();
    int targetWidth = 0, targetHeight = 0, pageWidth = 0, pageHeight = 0;
    if (!device || !target || m_region.page < 0 || !m_targetTile.page || width > m_regionSide ||
        height > m_regionSide || !device->GetTextureSize(target, targetWidth, targetHeight) ||
        !device->GetTextureSize(m_targetTile.page, pageWidth, pageHeight))
        return false;
    if (copy) {
        ++m_regionCopies;
        if (!device->CopyTargetRegion(target, 0, 0, width, height, m_targetTile.page, m_region.x, m_region.y))
            return false;
    }
    // Coordinates on the target map onto the page at the target's scale;
    // only the copied block may be read there.
    m_targetTile.du = static_cast<float>(targetWidth) / static_cast<float>(pageWidth);
    m_targetTile.dv = static_cast<float>(targetHeight) / static_cast<float>(pageHeight);
    m_targetTile.uLimit = static_cast<float>(width) / static_cast<float>(targetWidth) + kEdgeSlack;
    m_targetTile.vLimit = static_cast<float>(height) / static_cast<float>(targetHeight) + kEdgeSlack;
    if (target >= m_tileOf.size())
        m_tileOf.resize(static_cast<size_t>(target) + 1, -1);
    if (m_tileOf[target] >= 0) // a picture's source handle: never a target
        return false;
    m_tileOf[target] = static_cast<int>(m_tiles.size());
    m_tiles.push_back(m_targetTile);
    m_copiedTarget = target;
    return true;
}

void TextureAtlas::ForgetTarget()
{
    if (!m_copiedTarget)
        return;
    m_tileOf[m_copiedTarget] = -1;
    m_tiles.pop_back();
    m_copiedTarget = 0;
}

void TextureAtlas::Release()
{
    IGraphicsDevice* device = D3DEngine::GetInstance().GetDevice();
    for (TextureHandle page : m_pages)
        if (device && page)
            device->DestroyTexture(page);
    m_pages.clear();
    m_tiles.clear();
    m_tileOf.clear();
    m_region = Placement{};
    m_targetTile = Tile{};
    m_copiedTarget = 0;
    ++m_regionCopies;
}

void TextureAtlas::Clear()
{
    Release();
    m_names.clear();
}

TextureHandle TextureAtlas::MapToTile(const Tile& tile, const ScreenVertex quad[4], ScreenVertex out[4])
{
    if (!StaysInside(tile, quad))
        return 0;
    // Copied and moved in one pass (a copy alone was a library call).
    for (int i = 0; i < 4; ++i) {
        out[i] = quad[i];
        out[i].u = tile.u0 + quad[i].u * tile.du;
        out[i].v = tile.v0 + quad[i].v * tile.dv;
    }
    return tile.page;
}
