#pragma once
#include "platform/IGraphicsDevice.h"

#include <cstdint>
#include <string>
#include <vector>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Copies of small loaded textures packed into shared pages, so that quads of
// different pictures can go out in one run. A quad whose coordinates stay
// inside its picture is drawn from the page with its coordinates moved onto
// the picture's tile; any other quad keeps its own texture. Every tile has
// its edge pixels repeated around it, so linear filtering at a tile's border
// reads what clamping to the picture's edge read before. Only single-level
// BGRA pictures go in (what the copy would change stays out). The pages
// belong to the device: they go with it and are built again after a restore.
class TextureAtlas {
public:
    static constexpr int kPadding = 2;
    static constexpr int kMaxPieceSide = 512;       // of the candidates
    static constexpr int kMaxNamedPieceSide = 1024; // of pictures named besides them
    static constexpr int kPageSide = 4096;
    static constexpr int kMaxPages = 4;
    // Names a Build may add to those the pages were built from and still
    // keep the pages (see Build).
    static constexpr int kMaxUntiledNames = 8;

    static TextureAtlas& Shared();

    struct Size {
        int width = 0;
        int height = 0;
    };
    struct Placement {
        int page = -1; // -1: did not fit
        int x = 0;     // the picture's first pixel, inside its padding
        int y = 0;
    };
    // Shelf packing, tallest first (ties in the order given); each piece
    // takes its padding on every side. Pieces wider or higher than a page
    // (padding included) and pieces past the last page stay unplaced.
    static std::vector<Placement> Pack(const std::vector<Size>& sizes, int pageSide, int maxPages);

    // Packs the named textures, loaded through the engine and read again
    // from their files; names that do not qualify are left out. Returns the
    // number of pictures placed. Replaces what was built before, unless its
    // pages are still there and were built from these names, or from all of
    // them but at most kMaxUntiledNames (those draw from their own textures).
    int Build(const std::vector<std::string>& names);
    // Every loaded picture of at most kMaxPieceSide that may go in, in the
    // engine's load order.
    static std::vector<std::string> Candidates();
    // Builds again from the last names (after the engine dropped every texture).
    int Rebuild();
    // Destroys the pages; Rebuild can bring them back.
    void Release();
    // Destroys the pages and forgets the names.
    void Clear();

    // Keeps an empty side x side region on a page, built with the next Build,
    // for copies of a render target's images (0: none).
    void SetTargetRegion(int side) { m_regionSide = side; }
    // Copies the top-left width x height block of `target` onto the region:
    // until ForgetTarget, quads reading `target` inside that block are drawn
    // from the page. False (nothing mapped) when there is no room for it.
    bool CopyTarget(TextureHandle target, int width, int height);
    // The same without copying: the region still holds that block, as the
    // copy count tells (nothing since copied over it and no page rebuilt).
    bool MapTarget(TextureHandle target, int width, int height);
    // Grows with every copy onto the region and every build of the pages.
    uint64_t GetRegionCopies() const { return m_regionCopies; }
    void ForgetTarget();

    // The page to draw the quad from, its coordinates moved onto the tile in
    // `out`; 0 (and `out` untouched) when the texture has no tile or the
    // quad reads outside its picture.
    TextureHandle Map(TextureHandle texture, const ScreenVertex quad[4], ScreenVertex out[4]) const
    {
        if (texture >= m_tileOf.size() || m_tileOf[texture] < 0)
            return 0;
        return MapToTile(m_tiles[static_cast<size_t>(m_tileOf[texture])], quad, out);
    }

    // As Map for `count` vertices of point-sampled quads (glyphs): only when
    // every quad shows its picture upright at its own size with pixel centres
    // on texel centres, where linear filtering reads the very texels point
    // sampling read.
    TextureHandle MapTexelAligned(TextureHandle texture, const ScreenVertex* quads, size_t count, ScreenVertex* out) const;

    int GetPageCount() const { return static_cast<int>(m_pages.size()); }
    int GetTileCount() const { return static_cast<int>(m_tiles.size()); }
    bool Contains(TextureHandle texture) const { return texture < m_tileOf.size() && m_tileOf[texture] >= 0; }

    // Coordinates this close outside a picture still read only its repeated edge.
    static constexpr float kEdgeSlack = 1e-4f;
    // Where a picture sits on its page: coordinates u, v of the picture
    // read u0 + u * du, v0 + v * dv there.
    struct Tile {
        TextureHandle page = 0;
        float u0 = 0.0f, v0 = 0.0f, du = 1.0f, dv = 1.0f;
        // The largest coordinates that still read what the tile holds of
        // the source, the slack included.
        float uLimit = 1.0f + kEdgeSlack, vLimit = 1.0f + kEdgeSlack;
        float width = 0.0f, height = 0.0f; // the picture's texels (0: not a picture)
    };
    // Null when the texture has no tile.
    const Tile* TileOf(TextureHandle texture) const
    {
        if (texture >= m_tileOf.size() || m_tileOf[texture] < 0)
            return nullptr;
        return &m_tiles[static_cast<size_t>(m_tileOf[texture])];
    }
    // Whether the quad reads only inside its picture, so that its tile can
    // stand in for it. Inline, four corners at once: every staged quad asks.
    static bool StaysInside(const Tile& tile, const ScreenVertex quad[4])
    {
#if defined(__SSE2__)
        auto uv = [quad](int i) {
            return _mm_castsi128_ps(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(&quad[i].u)));
        };
        const __m128 a = _mm_movelh_ps(uv(0), uv(1)), b = _mm_movelh_ps(uv(2), uv(3));
        const __m128 limit = _mm_castsi128_ps(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(&tile.uLimit)));
        // A lane that is not a number makes min give b's and max a's, so
        // either way it reaches an ordered comparison and fails it.
        const __m128 low = _mm_min_ps(a, b), high = _mm_max_ps(b, a);
        const __m128 in = _mm_and_ps(_mm_cmpge_ps(low, _mm_set1_ps(-kEdgeSlack)),
                                     _mm_cmple_ps(high, _mm_movelh_ps(limit, limit)));
        return _mm_movemask_ps(in) == 0xF;
#else
        for (int i = 0; i < 4; ++i)
            if (!(quad[i].u >= -kEdgeSlack && quad[i].u <= tile.uLimit && quad[i].v >= -kEdgeSlack &&
                  quad[i].v <= tile.vLimit))
                return false;
        return true;
#endif
    }
    // Moves a picture's coordinates onto its tile, in place.
    static void MoveOntoTile(const Tile& tile, ScreenVertex* vertices, size_t count)
    {
        for (size_t i = 0; i < count; ++i) {
            vertices[i].u = tile.u0 + vertices[i].u * tile.du;
            vertices[i].v = tile.v0 + vertices[i].v * tile.dv;
        }
    }

private:
    // Whether `names` holds every name the pages were built from and at most
    // `added` others.
    bool AddsAtMost(const std::vector<std::string>& names, int added) const;
    static TextureHandle MapToTile(const Tile& tile, const ScreenVertex quad[4], ScreenVertex out[4]);

    std::vector<std::string> m_names;
    std::vector<TextureHandle> m_pages;
    std::vector<Tile> m_tiles;
    std::vector<int> m_tileOf; // by source handle
    int m_regionSide = 0;
    int m_builtRegionSide = 0;
    Placement m_region;  // on the page, when built
    Tile m_targetTile;   // the region, as the target's tile
    TextureHandle m_copiedTarget = 0;
    uint64_t m_regionCopies = 0;
    bool MapOrCopyTarget(TextureHandle target, int width, int height, bool copy);
};
