#include "engine/QuadRunBatch.h"

#include "engine/D3DEngine.h"
#include "engine/TextureAtlas.h"
#include "engine/VisibleBoxes.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <limits>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {
#if defined(__SSE2__)
// x and y (or u and v) of a vertex in the low half.
__m128 Pair(const float* p)
{
    return _mm_castsi128_ps(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)));
}

void StorePair(float* p, __m128 pair)
{
    _mm_storel_epi64(reinterpret_cast<__m128i*>(p), _mm_castps_si128(pair));
}

// Constants read straight from memory by the instructions that use them.
alignas(16) constexpr uint32_t kMagnitude[4] = {0x7FFFFFFFu, 0x7FFFFFFFu, 0x7FFFFFFFu, 0x7FFFFFFFu};
alignas(16) constexpr float kInfinity[4] = {std::numeric_limits<float>::infinity(), std::numeric_limits<float>::infinity(),
                                            std::numeric_limits<float>::infinity(), std::numeric_limits<float>::infinity()};
alignas(16) constexpr float kMargins[4] = {-1.0f, -1.0f, 1.0f, 1.0f};

__m128 Constant(const float (&c)[4])
{
    return _mm_load_ps(c);
}

__m128 Constant(const uint32_t (&c)[4])
{
    return _mm_castsi128_ps(_mm_load_si128(reinterpret_cast<const __m128i*>(c)));
}

// The low half of `low` and the high half of `high`.
__m128 Halves(__m128 low, __m128 high)
{
    return _mm_castpd_ps(_mm_move_sd(_mm_castps_pd(high), _mm_castps_pd(low)));
}
#endif
} // namespace

QuadRunBatch::QuadRunBatch() : m_boxes(VisibleBoxes::Shared()), m_atlas(TextureAtlas::Shared()) {}

void QuadRunBatch::Begin(int screenWidth, int screenHeight)
{
    if (m_open)
        End();
    // One border cell on every side holds whatever lies beyond the screen.
    m_cols = std::max(screenWidth, 1) / kCellSize + 3;
    m_rows = std::max(screenHeight, 1) / kCellSize + 3;
    for (int i = 0; i < 4; ++i) {
        m_edgeCellIndex[i] = (i % 2 == 0 ? m_cols : m_rows) - 1;
        m_edgeCell[i] = static_cast<float>(m_edgeCellIndex[i]);
        m_edgeCellBefore[i] = m_edgeCell[i] - 1.0f;
    }
    m_cells.resize(static_cast<size_t>(m_cols) * static_cast<size_t>(m_rows));
    EmptyCells();
    m_runCount = 0;
    m_latest.clear();
    m_recentKey = m_newestKey = kNoKey;
    m_pending.clear();
    m_pendingRun = -1;
    m_paintRunCount = 0;
    m_paintWatched = false;
    m_paintChecks = 0;
    m_paintSplits = 0;
    m_paintGuards.clear();
    m_open = true;
}

int QuadRunBatch::LatestRunOf(uint64_t key) const
{
    for (const auto& entry : m_latest)
        if (entry.first == key)
            return entry.second;
    return -1;
}

void QuadRunBatch::EmptyCells()
{
    if (++m_stamp == 0) { // wrapped: no stale cell may match again
        std::fill(m_cells.begin(), m_cells.end(), Cell{});
        m_stamp = 1;
    }
}

// v - v is 0 for every finite v, not a number otherwise: a box with a corner
// that is not finite covers everything. The rasteriser snaps corners to a
// fraction of a pixel: boxes closer than that could share a pixel, so each
// keeps a pixel's margin.
template <class Vertex>
QuadRunBatch::Box QuadRunBatch::ScalarBoxOf(const Vertex* vertices, size_t count)
{
    const float inf = std::numeric_limits<float>::infinity();
    Box box{inf, inf, -inf, -inf};
    float finite = 0.0f;
    for (size_t i = 0; i < count; ++i) {
        const float x = vertices[i].x, y = vertices[i].y;
        finite += (x - x) + (y - y);
        box.x0 = std::min(box.x0, x);
        box.x1 = std::max(box.x1, x);
        box.y0 = std::min(box.y0, y);
        box.y1 = std::max(box.y1, y);
    }
    if (!(finite == 0.0f))
        return Box{-inf, -inf, inf, inf};
    return Box{box.x0 - kMargin, box.y0 - kMargin, box.x1 + kMargin, box.y1 + kMargin};
}

QuadRunBatch::Box QuadRunBatch::BoxOf(const ScreenVertex* vertices, size_t count)
{
    const float inf = std::numeric_limits<float>::infinity();
#if defined(__SSE2__)
    __m128 low = _mm_set1_ps(inf), high = _mm_set1_ps(-inf), finite = _mm_setzero_ps();
    for (size_t i = 0; i < count; ++i) {
        const __m128 p = Pair(&vertices[i].x);
        low = _mm_min_ps(low, p);
        high = _mm_max_ps(high, p);
        finite = _mm_add_ps(finite, _mm_sub_ps(p, p));
    }
    if ((_mm_movemask_ps(_mm_cmpeq_ps(finite, _mm_setzero_ps())) & 3) != 3)
        return Box{-inf, -inf, inf, inf};
    Box box;
    _mm_storeu_ps(&box.x0, _mm_add_ps(_mm_movelh_ps(low, high), _mm_setr_ps(-kMargin, -kMargin, kMargin, kMargin)));
    return box;
#else
    return ScalarBoxOf(vertices, count);
#endif
}

#if defined(__SSE2__)
namespace {
// BoxOf for one quad, its corners two by two: top-left and top-right in
// `a`, bottom-left and bottom-right in `b`.
inline __m128 CornersBox(__m128 a, __m128 b)
{
    __m128 low = _mm_min_ps(a, b), high = _mm_max_ps(a, b);
    low = _mm_min_ps(low, _mm_movehl_ps(low, low));
    high = _mm_max_ps(high, _mm_movehl_ps(high, high));
    const __m128 extremes = _mm_movelh_ps(low, high);
    // Every corner finite: none is not a number, and no extreme is infinite.
    const __m128 size = _mm_and_ps(extremes, Constant(kMagnitude));
    if (_mm_movemask_ps(_mm_and_ps(_mm_cmpord_ps(a, b), _mm_cmplt_ps(size, Constant(kInfinity)))) != 0xF) {
        const float inf = std::numeric_limits<float>::infinity();
        return _mm_setr_ps(-inf, -inf, inf, inf);
    }
    return _mm_add_ps(extremes, Constant(kMargins));
}
} // namespace
#endif

inline QuadRunBatch::Box QuadRunBatch::QuadBox(const ScreenVertex quad[4])
{
#if defined(__SSE2__)
    static_assert(kMargin == 1.0f);
    Box box;
    _mm_storeu_ps(&box.x0, CornersBox(_mm_movelh_ps(Pair(&quad[0].x), Pair(&quad[1].x)),
                                      _mm_movelh_ps(Pair(&quad[2].x), Pair(&quad[3].x))));
    return box;
#else
    return BoxOf(quad, 4);
#endif
}

// QuadBox of the quad between two edges of a strip.
inline QuadRunBatch::Box QuadRunBatch::StripBox(const StripEdge& nearSide, const StripEdge& farSide)
{
#if defined(__SSE2__)
    static_assert(offsetof(StripEdge, ry) == offsetof(StripEdge, lx) + 3 * sizeof(float));
    Box box;
    _mm_storeu_ps(&box.x0, CornersBox(_mm_loadu_ps(&nearSide.lx), _mm_loadu_ps(&farSide.lx)));
    return box;
#else
    const ScreenVertex quad[4] = {{nearSide.lx, nearSide.ly, 0.0f, 1.0f, 0u, 0.0f, 0.0f},
                                  {nearSide.rx, nearSide.ry, 0.0f, 1.0f, 0u, 0.0f, 0.0f},
                                  {farSide.lx, farSide.ly, 0.0f, 1.0f, 0u, 0.0f, 0.0f},
                                  {farSide.rx, farSide.ry, 0.0f, 1.0f, 0u, 0.0f, 0.0f}};
    return BoxOf(quad, 4);
#endif
}

inline void QuadRunBatch::Grow(Box& box, const Box& by)
{
#if defined(__SSE2__)
    const __m128 a = _mm_loadu_ps(&box.x0), b = _mm_loadu_ps(&by.x0);
    _mm_storeu_ps(&box.x0, Halves(_mm_min_ps(a, b), _mm_max_ps(a, b)));
#else
    box = Box{std::min(box.x0, by.x0), std::min(box.y0, by.y0), std::max(box.x1, by.x1), std::max(box.y1, by.y1)};
#endif
}

bool QuadRunBatch::Overlap(const Box& a, const Box& b)
{
    return a.x0 <= b.x1 && b.x0 <= a.x1 && a.y0 <= b.y1 && b.y0 <= a.y1;
}

inline bool QuadRunBatch::MayReachPainted(const ScreenVertex quad[4], bool additive) const
{
    return Overlap(m_paintBox[additive], QuadBox(quad));
}

bool QuadRunBatch::MayReachPainted(const StripEdge* edges, size_t edgeCount, bool additive) const
{
    const Box& painted = m_paintBox[additive];
    for (size_t i = 0; i + 1 < edgeCount; ++i)
        if (Overlap(painted, StripBox(edges[i], edges[i + 1])))
            return true;
    return false;
}

#if defined(__SSE2__)
// CellRange's x0, y0, x1, y1. Truncation after the clamp to the one before
// the last cell gives what clamping after it would.
inline __m128i QuadRunBatch::Cells(const Box& box) const
{
    const __m128 f = _mm_mul_ps(_mm_loadu_ps(&box.x0), _mm_set1_ps(1.0f / static_cast<float>(kCellSize)));
    // min keeps f when f is not a number.
    const __m128i cell = _mm_add_epi32(_mm_cvttps_epi32(_mm_min_ps(_mm_load_ps(m_edgeCellBefore), f)), _mm_set1_epi32(1));
    // Below zero (or not a number): the first cell.
    return _mm_and_si128(cell, _mm_castps_si128(_mm_cmpge_ps(f, _mm_setzero_ps())));
}
#endif

inline void QuadRunBatch::CellRange(const Box& box, int& x0, int& y0, int& x1, int& y1) const
{
    // Cell 1 starts at screen 0; the border cells hold everything beyond.
    // Scaling by a power of two is exact, and truncation is the floor from
    // zero up, so this is floor(v / kCellSize) + 1 clamped to the grid.
#if defined(__SSE2__)
    alignas(16) int out[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(out), Cells(box));
    x0 = out[0];
    y0 = out[1];
    x1 = out[2];
    y1 = out[3];
#else
    auto cell = [](float v, float edge, int edgeIndex) {
        const float f = v * (1.0f / static_cast<float>(kCellSize));
        if (!(f >= 0.0f))
            return 0;
        if (f >= edge)
            return edgeIndex;
        return static_cast<int>(f) + 1;
    };
    x0 = cell(box.x0, m_edgeCell[0], m_edgeCellIndex[0]);
    y0 = cell(box.y0, m_edgeCell[1], m_edgeCellIndex[1]);
    x1 = cell(box.x1, m_edgeCell[2], m_edgeCellIndex[2]);
    y1 = cell(box.y1, m_edgeCell[3], m_edgeCellIndex[3]);
#endif
}

int QuadRunBatch::CellBarrier(const Cell& cell, uint64_t key, const Box& box) const
{
    if (StampOf(cell) != m_stamp)
        return -1;
    int barrier = -1;
    if (cell.last >= 0)
        barrier = KeyOf(cell.last) != key ? cell.last : cell.lastOther;
    for (int i = 0; i < cell.recentCount; ++i) {
        const int run = cell.recent[i];
        if (run > barrier && KeyOf(run) != key &&
            Overlap(i == cell.recentCount - 1 ? cell.newest : cell.older[i], box))
            barrier = run;
    }
    return barrier;
}

void QuadRunBatch::Fold(Cell& cell, int run) const
{
    // Keeps last the latest folded run and lastOther the latest folded run
    // whose texture differs from last's.
    if (cell.last < 0) {
        cell.last = run;
    } else if (run >= cell.last) {
        if (KeyOf(run) != KeyOf(cell.last))
            cell.lastOther = cell.last;
        cell.last = run;
    } else if (KeyOf(run) != KeyOf(cell.last)) {
        cell.lastOther = std::max(cell.lastOther, run);
    }
}

void QuadRunBatch::FoldOldest(Cell& cell) const
{
    Fold(cell, cell.recent[0]);
    std::copy(cell.recent + 1, cell.recent + kRecent, cell.recent);
    std::copy(cell.older + 1, cell.older + kRecent - 1, cell.older);
    --cell.recentCount;
}

// For a run that is not the newest to touch the cell.
inline void QuadRunBatch::Touch(Cell& cell, int run, const Box& box) const
{
    if (StampOf(cell) != m_stamp) {
        cell.last = cell.lastOther = -1;
        cell.recentCount = 0;
    } else {
        if (cell.recentCount == kRecent)
            FoldOldest(cell);
        cell.older[cell.recentCount - 1] = cell.newest;
    }
    cell.recent[cell.recentCount] = run;
    cell.newest = box;
    ++cell.recentCount;
    cell.tag = TagOf(run);
}

void QuadRunBatch::AddLookingUp(TextureHandle texture, bool additive, const ScreenVertex quad[4])
{
    const TextureAtlas::Tile* tile = m_atlas.TileOf(texture);
    if (!m_open) {
        if (tile && TextureAtlas::StaysInside(*tile, quad))
            DrawNow(Key(tile->page), additive, quad, 4, tile);
        else
            DrawNow(texture ? Key(texture) : Key(0, additive), additive, quad, 4, nullptr);
        return;
    }
    // A big quad of a mostly see-through picture (a planet, a hull, a glow)
    // is drawn over its picture's visible part only. Staged quads alone:
    // runs go out under the plain sampler the trim counts on.
    ScreenVertex trimmed[4];
    if (texture && m_boxes.Trim(texture, quad, trimmed))
        quad = trimmed;
    // A picture on the atlas joins the runs of its neighbours' pictures.
    // Textured quads of both kinds share runs; filled ones keep their kind.
    if (tile && !TextureAtlas::StaysInside(*tile, quad))
        tile = nullptr;
    const uint64_t key = tile ? Key(tile->page) : texture ? Key(texture) : Key(0, additive);
    StoreQuad(Stage(key, additive, QuadBox(quad), 4), quad, additive, tile);
}

[[gnu::always_inline]] inline void QuadRunBatch::StoreQuad(ScreenVertex* added, const ScreenVertex quad[4],
                                                           bool additive, const TextureAtlas::Tile* tile)
{
    const float z = additive ? 1.0f : 0.0f;
#if defined(__SSE2__)
    if (tile) { // coordinates moved onto the tile as they are stored
        const __m128 offset = Pair(&tile->u0), scale = Pair(&tile->du);
        for (int i = 0; i < 4; ++i) {
            _mm_storeu_ps(&added[i].x, _mm_loadu_ps(&quad[i].x));
            added[i].z = z;
            added[i].colour = quad[i].colour;
            StorePair(&added[i].u, _mm_add_ps(offset, _mm_mul_ps(Pair(&quad[i].u), scale)));
        }
        return;
    }
#endif
    for (int i = 0; i < 4; ++i) {
        added[i] = quad[i];
        added[i].z = z;
    }
    if (tile)
        TextureAtlas::MoveOntoTile(*tile, added, 4);
}

void QuadRunBatch::StageKeyed(uint64_t key, bool additive, const ScreenVertex quad[4], const TextureAtlas::Tile* tile)
{
    StoreQuad(Stage(key, additive, QuadBox(quad), 4), quad, additive, tile);
}

// Most quads join the newest run: they are staged here.
[[gnu::always_inline]] inline void QuadRunBatch::AddUntrimmed(TextureHandle texture, bool additive,
                                                              const ScreenVertex quad[4],
                                                              const TextureAtlas::Tile* tile)
{
    // A picture on the atlas joins the runs of its neighbours' pictures.
    // Textured quads of both kinds share runs; filled ones keep their kind.
    if (tile && !TextureAtlas::StaysInside(*tile, quad))
        tile = nullptr;
    const uint64_t key = tile ? Key(tile->page) : texture ? Key(texture) : Key(0, additive);
    // The newest run exists while its state is known. A quad that opens
    // its stretch of pending quads, or needs room, goes through Stage: with
    // no call but those last, this path keeps nothing across one.
    // While painted draws wait, a quad that may reach one is checked there.
    const int run = m_runCount - 1;
    if (key != m_newestKey || run != m_pendingRun || (m_paintWatched && MayReachPainted(quad, additive)))
        return StageKeyed(key, additive, quad, tile);
    Run& target = m_runs[static_cast<size_t>(run)];
    if (target.used + 4 > target.room)
        return StageKeyed(key, additive, quad, tile);
    target.holds[additive] = true;
    StoreQuad(target.vertices.data() + target.used, quad, additive, tile);
    target.used += 4;
}

void QuadRunBatch::Add(TextureHandle texture, bool additive, const ScreenVertex quad[4])
{
    float det;
    if (!m_open || m_boxes.WorthTrimming(texture, quad, det))
        return AddLookingUp(texture, additive, quad);
    return AddUntrimmed(texture, additive, quad, m_atlas.TileOf(texture));
}

void QuadRunBatch::AddQuads(TextureHandle texture, bool additive, const ScreenVertex* quads, size_t quadCount)
{
    // While painted draws wait, quads that may reach them are looked at one
    // by one.
    if (!m_open || m_boxes.MayTrim(texture) ||
        (m_paintWatched && Overlap(m_paintBox[additive], BoxOf(quads, 4 * quadCount)))) {
        for (size_t i = 0; i < quadCount; ++i)
            Add(texture, additive, quads + 4 * i);
        return;
    }
    const TextureAtlas::Tile* tile = m_atlas.TileOf(texture);
    const uint64_t onTile = tile ? Key(tile->page) : 0;
    const uint64_t offTile = texture ? Key(texture) : Key(0, additive);
    size_t i = 0;
    while (i < quadCount) {
        const ScreenVertex* quad = quads + 4 * i;
        const bool inside = tile && TextureAtlas::StaysInside(*tile, quad);
        const uint64_t key = inside ? onTile : offTile;
        const int run = m_runCount - 1;
        if (key != m_newestKey || run != m_pendingRun) {
            StageKeyed(key, additive, quad, inside ? tile : nullptr);
            ++i;
            continue;
        }
        // The newest run is this key's and its stretch is open: the quads
        // that keep the key join it as Add would stage them, room for all
        // of them taken at once.
        Run& target = m_runs[static_cast<size_t>(run)];
        target.holds[additive] = true;
        const size_t used = target.used;
        ScreenVertex* added = Reserve(target, 4 * (quadCount - i));
        const ScreenVertex* begin = added;
        do {
            StoreQuad(added, quad, additive, inside ? tile : nullptr);
            added += 4;
            quad += 4;
            ++i;
        } while (i < quadCount && (!tile || TextureAtlas::StaysInside(*tile, quad) == inside));
        target.used = used + static_cast<size_t>(added - begin);
    }
}

void QuadRunBatch::AddPointSampled(TextureHandle texture, bool additive, const ScreenVertex* quads, size_t count)
{
    count -= count % 4;
    // Glyphs at their font's own size on whole pixels read the same texels
    // linearly filtered from the atlas page: they join its runs.
    if (m_aligned.size() < count)
        m_aligned.resize(count);
    if (const TextureHandle page = TextureAtlas::Shared().MapTexelAligned(texture, quads, count, m_aligned.data())) {
        AddKeyed(Key(page), additive, m_aligned.data(), count);
        return;
    }
    AddKeyed(Key(texture, additive) | kPointSampled, additive, quads, count - count % 4);
}

void QuadRunBatch::AddFilled(bool additive, const ScreenVertex* quads, size_t count)
{
    AddKeyed(Key(0, additive), additive, quads, count - count % 4);
}

void QuadRunBatch::AddLine(bool additive, const ScreenVertex line[2])
{
    AddKeyed(Key(0, additive) | kLines, additive, line, 2);
}

void QuadRunBatch::DrawNow(uint64_t key, bool additive, const ScreenVertex* vertices, size_t count,
                           const TextureAtlas::Tile* tile)
{
    if (!tile) {
        DrawKind(key, additive, vertices, count);
        return;
    }
    ScreenVertex onAtlas[4];
    std::copy(vertices, vertices + 4, onAtlas);
    TextureAtlas::MoveOntoTile(*tile, onAtlas, 4);
    DrawKind(key, additive, onAtlas, 4);
}

void QuadRunBatch::AddKeyed(uint64_t key, bool additive, const ScreenVertex* vertices, size_t count,
                            const TextureAtlas::Tile* tile)
{
    if (count == 0)
        return;
    if (!m_open) {
        DrawNow(key, additive, vertices, count, tile);
        return;
    }
    ScreenVertex* added = Stage(key, additive, BoxOf(vertices, count), count);
    // Lines carry no kind in their vertices.
    const bool lines = (key & kLines) != 0;
    const float z = additive ? 1.0f : 0.0f;
    for (size_t i = 0; i < count; ++i) {
        added[i] = vertices[i];
        if (!lines)
            added[i].z = z;
    }
    if (tile)
        TextureAtlas::MoveOntoTile(*tile, added, count);
}

int QuadRunBatch::JoinOrStart(uint64_t key, const Box& box, int run)
{
    // The latest run of another state that may overlap these quads: they
    // may not move in front of it. Once that is at or past the state's own
    // latest run, the quads start a new one whatever the other cells hold.
    int barrier = -1;
    int x0 = 0, y0 = 0, x1 = -1, y1 = -1;
    if (run >= 0) {
        NotePending();
        CellRange(box, x0, y0, x1, y1);
    }
    for (int y = y0; y <= y1 && barrier < run; ++y)
        for (int x = x0; x <= x1 && barrier < run; ++x)
            barrier = std::max(barrier, CellBarrier(m_cells[static_cast<size_t>(y * m_cols + x)], key, box));
    if (run >= 0 && run > barrier)
        return run;
    run = m_runCount++;
    if (static_cast<size_t>(run) >= m_runs.size())
        m_runs.emplace_back();
    Run& fresh = m_runs[static_cast<size_t>(run)];
    fresh.key = key;
    fresh.holds[0] = fresh.holds[1] = false;
    fresh.used = 0;
    auto it = std::find_if(m_latest.begin(), m_latest.end(), [key](const auto& e) { return e.first == key; });
    if (it == m_latest.end())
        m_latest.emplace_back(key, run);
    else
        it->second = run;
    return run;
}

inline void QuadRunBatch::NoteIn(Cell& cell, int run, uint64_t tag, const Box& box) const
{
    if (cell.tag == tag) // most quads land where their own run was the last to touch
        Grow(cell.newest, box);
    else
        Touch(cell, run, box);
}

[[gnu::always_inline]] inline ScreenVertex* QuadRunBatch::Stage(uint64_t key, bool additive, const Box& box, size_t count)
{
    BeforeStaging(box, additive);
    // The newest run can have nothing of another state after it: quads of
    // its state join it without looking at the cells.
    int run = m_runCount - 1;
    if (key != m_newestKey) {
        run = key == m_recentKey ? m_recentRun : LatestRunOf(key);
        if (run < 0 || run != m_runCount - 1)
            run = JoinOrStart(key, box, run);
        m_recentKey = key;
        m_recentRun = run;
        // Else the newest run is still another state's.
        if (run == m_runCount - 1)
            m_newestKey = key;
    }
    PendFor(run, count, box);
    Run& target = m_runs[static_cast<size_t>(run)];
    target.holds[additive] = true;
    return Reserve(target, count);
}

[[gnu::always_inline]] inline void QuadRunBatch::NoteCells(int run, uint64_t tag, const Box& box, int x0, int y0,
                                                           int x1, int y1)
{
    Cell* row = m_cells.data() + (y0 * m_cols + x0);
    const int width = x1 - x0, height = y1 - y0;
    if ((width | height) == 0) { // the most common: inside one cell
        NoteIn(*row, run, tag, box);
    } else {
        for (int y = 0; y <= height; ++y, row += m_cols)
            for (int x = 0; x <= width; ++x)
                NoteIn(row[x], run, tag, box);
    }
}

[[gnu::always_inline]] inline void QuadRunBatch::NoteBox(int run, uint64_t tag, Box box)
{
#if defined(__SSE2__)
    // The first cell, and whether that is all, found without taking the
    // last ones out of the vector.
    const __m128i cells = Cells(box);
    const int x0 = _mm_cvtsi128_si32(cells), y0 = _mm_cvtsi128_si32(_mm_shuffle_epi32(cells, 0x55));
    Cell* first = m_cells.data() + (y0 * m_cols + x0);
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(cells, _mm_shuffle_epi32(cells, 0x4E))) == 0xFFFF) {
        if (first->tag == tag) { // the most common: inside one cell its run was the last to touch
            Grow(first->newest, box);
            return;
        }
        return NoteCellsApart(run, tag, box, x0, y0, x0, y0);
    }
    const int x1 = _mm_cvtsi128_si32(_mm_shuffle_epi32(cells, 0xAA));
    const int y1 = _mm_cvtsi128_si32(_mm_shuffle_epi32(cells, 0xFF));
    // The next most common: two by two cells at most, each last touched by
    // the run. Seen as two by two, a cell may come twice: growing its box
    // again changes nothing.
    const int across = x1 - x0, down = y1 - y0;
    if ((across | down) <= 1) {
        Cell* right = first + across;
        Cell* below = first + down * m_cols;
        Cell* last = below + across;
        if (first->tag == tag && right->tag == tag && below->tag == tag && last->tag == tag) {
            Grow(first->newest, box);
            Grow(right->newest, box);
            Grow(below->newest, box);
            Grow(last->newest, box);
            return;
        }
    }
    return NoteCellsApart(run, tag, box, x0, y0, x1, y1);
#else
    int x0, y0, x1, y1;
    CellRange(box, x0, y0, x1, y1);
    NoteCells(run, tag, box, x0, y0, x1, y1);
#endif
}

[[gnu::noinline]] void QuadRunBatch::NoteCellsApart(int run, uint64_t tag, Box box, int x0, int y0, int x1, int y1)
{
    NoteCells(run, tag, box, x0, y0, x1, y1);
}

[[gnu::always_inline]] inline void QuadRunBatch::PendFor(int run, size_t count, const Box& box)
{
    if (count == 4) {
        if (run != m_pendingRun)
            OpenPending(run);
        return;
    }
    ClosePending();
    const size_t first = m_runs[static_cast<size_t>(run)].used;
    m_pending.push_back(Pending{run, static_cast<uint32_t>(count), first, first + count, box});
}

void QuadRunBatch::ClosePending()
{
    if (m_pendingRun < 0)
        return;
    const size_t end = m_runs[static_cast<size_t>(m_pendingRun)].used;
    if (end > m_pendingFrom)
        m_pending.push_back(Pending{m_pendingRun, 4, m_pendingFrom, end, Box{}});
    m_pendingRun = -1;
}

void QuadRunBatch::OpenPending(int run)
{
    ClosePending();
    m_pendingRun = run;
    m_pendingFrom = m_runs[static_cast<size_t>(run)].used;
}

void QuadRunBatch::NotePending()
{
    ClosePending();
    for (const Pending& stretch : m_pending) {
        const uint64_t tag = TagOf(stretch.run);
        const ScreenVertex* vertices = m_runs[static_cast<size_t>(stretch.run)].vertices.data();
        if (stretch.group == 4) {
            for (size_t i = stretch.first; i < stretch.end; i += 4)
                NoteBox(stretch.run, tag, QuadBox(vertices + i));
        } else {
            NoteBox(stretch.run, tag, stretch.box);
        }
    }
    m_pending.clear();
}

[[gnu::always_inline]] inline ScreenVertex* QuadRunBatch::Reserve(Run& run, size_t count)
{
    if (run.used + count > run.room) {
        run.vertices.resize(std::max(run.room * 2, std::max<size_t>(run.used + count, 64)));
        run.room = run.vertices.size();
    }
    ScreenVertex* added = run.vertices.data() + run.used;
    run.used += count;
    return added;
}

void QuadRunBatch::AddStripByQuads(TextureHandle texture, bool additive, const StripEdge* edges, size_t edgeCount,
                                   const float uv[4])
{
    ScreenVertex corners[4], quad[4];
    StripCorners(uv, corners);
    for (size_t i = 0; i + 1 < edgeCount; ++i) {
        StripQuad(edges[i], edges[i + 1], corners, 0.0f, quad);
        Add(texture, additive, quad);
    }
}

#if defined(__SSE2__)
namespace {
// The quads between edges first..end of a strip into `out`, each as
// StripQuad builds it.
void StoreStripQuads(ScreenVertex* out, const QuadRunBatch::StripEdge* edges, size_t first, size_t end,
                     const ScreenVertex corners[4], float z)
{
    static_assert(sizeof(ScreenVertex) == 7 * sizeof(float) && offsetof(ScreenVertex, colour) == 4 * sizeof(float));
    // What every quad shares (z, rhw, the coordinates) is laid down whole,
    // seven stores a quad, and the places and colours over it: the same
    // bytes as StripQuad's, in about two thirds of the instructions.
    ScreenVertex shared[4];
    for (int k = 0; k < 4; ++k)
        shared[k] = {0.0f, 0.0f, z, 1.0f, 0u, corners[k].u, corners[k].v};
    const float* t = &shared[0].x;
    const __m128 t0 = _mm_loadu_ps(t), t1 = _mm_loadu_ps(t + 4), t2 = _mm_loadu_ps(t + 8),
                 t3 = _mm_loadu_ps(t + 12), t4 = _mm_loadu_ps(t + 16), t5 = _mm_loadu_ps(t + 20),
                 t6 = _mm_loadu_ps(t + 24);
    __m128 nearSide = _mm_loadu_ps(&edges[first].lx);
    uint32_t nearColour = edges[first].colour;
    float* o = &out->x;
    for (size_t i = first; i < end; ++i, o += 28) {
        const __m128 farSide = _mm_loadu_ps(&edges[i + 1].lx);
        const uint32_t farColour = edges[i + 1].colour;
        _mm_storeu_ps(o, t0);
        _mm_storeu_ps(o + 4, t1);
        _mm_storeu_ps(o + 8, t2);
        _mm_storeu_ps(o + 12, t3);
        _mm_storeu_ps(o + 16, t4);
        _mm_storeu_ps(o + 20, t5);
        _mm_storeu_ps(o + 24, t6);
        _mm_storel_pi(reinterpret_cast<__m64*>(o), nearSide);
        _mm_storeh_pi(reinterpret_cast<__m64*>(o + 7), nearSide);
        _mm_storel_pi(reinterpret_cast<__m64*>(o + 14), farSide);
        _mm_storeh_pi(reinterpret_cast<__m64*>(o + 21), farSide);
        std::memcpy(o + 4, &nearColour, sizeof nearColour);
        std::memcpy(o + 11, &nearColour, sizeof nearColour);
        std::memcpy(o + 18, &farColour, sizeof farColour);
        std::memcpy(o + 25, &farColour, sizeof farColour);
        nearSide = farSide;
        nearColour = farColour;
    }
}
} // namespace
#endif

void QuadRunBatch::AddStrip(TextureHandle texture, bool additive, const StripEdge* edges, size_t edgeCount,
                            const float uv[4])
{
    if (edgeCount < 2)
        return;
    // Drawn at once, or pictures whose big quads may be trimmed: quad by quad.
    if (!m_open || (texture && m_boxes.MayTrim(texture))) {
        AddStripByQuads(texture, additive, edges, edgeCount, uv);
        return;
    }
    // Every quad reads the same coordinates: one judgement serves them all,
    // and they are moved onto the atlas once.
    ScreenVertex corners[4];
    StripCorners(uv, corners);
    const TextureAtlas::Tile* tile = m_atlas.TileOf(texture);
    if (tile && !TextureAtlas::StaysInside(*tile, corners))
        tile = nullptr;
    const uint64_t key = tile ? Key(tile->page) : texture ? Key(texture) : Key(0, additive);
    if (tile)
        TextureAtlas::MoveOntoTile(*tile, corners, 4);
    const float z = additive ? 1.0f : 0.0f;
    auto store = [&](ScreenVertex* out, size_t i) { StripQuad(edges[i], edges[i + 1], corners, z, out); };
    const size_t quads = edgeCount - 1;
    size_t i = 0;
    // Until the strip's run is the newest, each quad looks for its run;
    // while painted draws wait, a strip that may reach them has each quad
    // checked there.
    const bool check = m_paintWatched && MayReachPainted(edges, edgeCount, additive);
    for (; i < quads && (key != m_newestKey || check); ++i)
        store(Stage(key, additive, StripBox(edges[i], edges[i + 1]), 4), i);
    if (i == quads)
        return;
    // Then nothing of another state comes between: the rest join that run.
    const int run = m_runCount - 1;
    if (run != m_pendingRun)
        OpenPending(run);
    Run& target = m_runs[static_cast<size_t>(run)];
    target.holds[additive] = true;
    ScreenVertex* added = Reserve(target, (quads - i) * 4);
#if defined(__SSE2__)
    StoreStripQuads(added, edges, i, quads, corners, z);
#else
    for (; i < quads; ++i, added += 4)
        store(added, i);
#endif
}

void QuadRunBatch::DrawKind(uint64_t key, bool additive, const ScreenVertex* vertices, size_t count)
{
    D3DEngine& engine = D3DEngine::GetInstance();
    IGraphicsDevice* device = engine.GetDevice();
    if (!device || count == 0)
        return;
    if (additive)
        engine.SetAdditiveBlend();
    else
        engine.SetNormalBlend();
    engine.SetTexture(static_cast<TextureHandle>(key & 0xFFFFFFFFu));
    engine.ApplyState();
    DrawVertices(key, vertices, count);
}

void QuadRunBatch::DrawVertices(uint64_t key, const ScreenVertex* vertices, size_t count)
{
    IGraphicsDevice* device = D3DEngine::GetInstance().GetDevice();
    if (key & kLines) {
        device->DrawPrimitives(PrimitiveType::LineList, vertices, count);
        return;
    }
    if (key & kPointSampled) {
        // Runs are only ever collected under the plain linear sampler.
        device->SetSampler(0, TextureFilter::Point, TextureAddress::Clamp);
        device->DrawQuads(vertices, count);
        device->SetSampler(0, TextureFilter::Linear, TextureAddress::Clamp);
        return;
    }
    device->DrawQuads(vertices, count);
}

void QuadRunBatch::DrawRun(const Run& run)
{
    D3DEngine& engine = D3DEngine::GetInstance();
    IGraphicsDevice* device = engine.GetDevice();
    if (!device || run.used == 0)
        return;
    engine.SetTexture(static_cast<TextureHandle>(run.key & 0xFFFFFFFFu));
    const ScreenVertex* vertices = run.vertices.data();
    const size_t count = run.used;
    // Premultiplied blending serves a run of one kind as well, so a run that
    // follows a mixed one keeps it. An effect's program does not premultiply:
    // under one a mixed run goes out in pieces of one kind, in their order.
    // Lines carry no kind in their vertices and always set their own blend.
    const bool mixed = run.holds[0] && run.holds[1];
    if (!(run.key & kLines) && device->GetCurrentEffect() == 0 && (mixed || engine.IsPremultiplied())) {
        engine.SetPremultipliedBlend();
        engine.ApplyState();
        DrawVertices(run.key, vertices, count);
        return;
    }
    if (run.key & kLines) {
        DrawKind(run.key, run.holds[1], vertices, count);
        return;
    }
    for (size_t first = 0; first < count;) {
        const bool adds = Adds(vertices[first]);
        size_t end = first + 4;
        while (end < count && Adds(vertices[end]) == adds)
            end += 4;
        DrawKind(run.key, adds, vertices + first, end - first);
        first = end;
    }
}

bool QuadRunBatch::MayCover(float x0, float y0, float x1, float y1)
{
    if (m_runCount == 0 && m_paintRunCount == 0)
        return false;
    if (!(x0 <= x1 && y0 <= y1))
        return true; // not a number: assume the worst
    const Box box{x0, y0, x1, y1};
    if (m_paintWatched && Reaches(box, false))
        return true;
    // The quads not yet noted in the cells are looked at one by one, newest
    // first: what a draw past the batch lies on was mostly staged just
    // before it. Noting them all would cost more than the draws it saves;
    // past the budget the answer is yes.
    size_t budget = kCoverLookBudget;
    const auto covers = [&](int run, size_t first, size_t end) {
        const ScreenVertex* vertices = m_runs[static_cast<size_t>(run)].vertices.data();
        for (size_t i = end; i >= first + 4;) {
            i -= 4;
            if (budget == 0)
                return true;
            --budget;
            if (Overlap(QuadBox(vertices + i), box))
                return true;
        }
        return false;
    };
    if (m_pendingRun >= 0 && covers(m_pendingRun, m_pendingFrom, m_runs[static_cast<size_t>(m_pendingRun)].used))
        return true;
    for (auto it = m_pending.rbegin(); it != m_pending.rend(); ++it) {
        if (it->group != 4) { // a group's box was kept
            if (budget == 0)
                return true;
            --budget;
            if (Overlap(it->box, box))
                return true;
        } else if (covers(it->run, it->first, it->end)) {
            return true;
        }
    }
    // Those noted in the cells.
    int cx0, cy0, cx1, cy1;
    CellRange(box, cx0, cy0, cx1, cy1);
    for (int y = cy0; y <= cy1; ++y) {
        for (int x = cx0; x <= cx1; ++x) {
            const Cell& cell = m_cells[static_cast<size_t>(y * m_cols + x)];
            if (StampOf(cell) != m_stamp)
                continue;
            if (cell.last >= 0) // folded runs keep no box
                return true;
            for (int i = 0; i < cell.recentCount; ++i)
                if (Overlap(i == cell.recentCount - 1 ? cell.newest : cell.older[i], box))
                    return true;
        }
    }
    return false;
}

void QuadRunBatch::Flush()
{
    m_lastRuns = 0;
    for (int i = 0; i < m_runCount; ++i) {
        const Run& run = m_runs[static_cast<size_t>(i)];
        if (run.used == 0)
            continue;
        DrawRun(run);
        ++m_lastRuns;
    }
    DrawPainted();
    m_runCount = 0;
    m_latest.clear();
    m_recentKey = m_newestKey = kNoKey;
    m_pending.clear();
    m_pendingRun = -1;
    EmptyCells();
    D3DEngine::GetInstance().SetNormalBlend();
}

void QuadRunBatch::End()
{
    if (!m_open)
        return;
    if (m_interfaceDepth > 0) {
        // The device is left as the interface's last draw set it.
        BeforeDirectDraw();
        m_open = false;
        m_interfaceDepth = 0;
        D3DEngine::GetInstance().SetDeferStateChanges(false);
        return;
    }
    Flush();
    m_open = false;
}

void QuadRunBatch::BeginInterface(int screenWidth, int screenHeight)
{
    if (TakesDirectQuads()) {
        ++m_interfaceDepth;
        return;
    }
    Begin(screenWidth, screenHeight);
    m_interfaceDepth = 1;
    D3DEngine::GetInstance().SetDeferStateChanges(true);
}

void QuadRunBatch::EndInterface()
{
    if (!TakesDirectQuads())
        return;
    if (m_interfaceDepth > 1)
        --m_interfaceDepth;
    else
        End();
}

QuadRunBatch::InterfaceScope::InterfaceScope()
{
    const D3DEngine& engine = D3DEngine::GetInstance();
    if (!engine.IsInitialised())
        return;
    Shared().BeginInterface(engine.GetScreenWidth(), engine.GetScreenHeight());
    m_opened = true;
}

QuadRunBatch::InterfaceScope::~InterfaceScope()
{
    if (m_opened)
        Shared().EndInterface();
}

void QuadRunBatch::BeforeDirectDraw()
{
    QuadRunBatch& batch = Shared();
    if (!batch.TakesDirectQuads())
        return;
    D3DEngine& engine = D3DEngine::GetInstance();
    if (batch.m_runCount > 0) {
        // The runs leave their own texture and blend behind: put back what
        // the caller set.
        const TextureHandle texture = engine.GetCurrentTexture();
        const bool additive = engine.IsAdditive();
        batch.Flush();
        engine.SetTexture(texture);
        if (additive)
            engine.SetAdditiveBlend();
        else
            engine.SetNormalBlend();
    }
    engine.ApplyState();
}

QuadRunBatch::Box QuadRunBatch::PaintedBox(const ScreenVertex2* vertices, size_t count)
{
    // Few vertices, rarely: the plain loop serves.
    return ScalarBoxOf(vertices, count);
}

bool QuadRunBatch::Reaches(const Box& box, bool additive) const
{
    if (!Overlap(m_paintBox[additive], box))
        return false;
    for (const Guard& guard : m_paintGuards)
        if (!(additive && guard.additive) && Overlap(guard.box, box))
            return true;
    return false;
}

bool QuadRunBatch::AddPainted(Painter& painter, const Painter::State& state, bool additive,
                              const ScreenVertex2* vertices, size_t count)
{
    if (!m_open || m_interfaceDepth > 0)
        return false;
    if (count == 0)
        return true;
    const Box box = PaintedBox(vertices, count);
    // The latest waiting draw of this painter and state takes them, unless
    // one of another state after it may overlap them (and both are not
    // additive).
    int join = -1;
    for (int i = m_paintRunCount - 1; i >= 0; --i) {
        const PaintRun& run = m_paintRuns[static_cast<size_t>(i)];
        if (run.painter == &painter && run.state == state && run.additive == additive) {
            join = i;
            break;
        }
        // Past the layer's splits the order among them gives way too, so
        // that they stay a draw a state.
        if (m_paintSplits < kMaxPaintSplits && !(additive && run.additive) && Overlap(run.box, box))
            break;
    }
    if (join < 0) {
        join = m_paintRunCount++;
        if (static_cast<size_t>(join) >= m_paintRuns.size())
            m_paintRuns.emplace_back();
        PaintRun& fresh = m_paintRuns[static_cast<size_t>(join)];
        fresh.painter = &painter;
        fresh.state = state;
        fresh.additive = additive;
        fresh.vertices.clear();
        fresh.box = box;
    } else {
        Grow(m_paintRuns[static_cast<size_t>(join)].box, box);
    }
    std::vector<ScreenVertex2>& into = m_paintRuns[static_cast<size_t>(join)].vertices;
    into.insert(into.end(), vertices, vertices + count);
    if (m_paintGuards.empty()) {
        const float inf = std::numeric_limits<float>::infinity();
        m_paintBox[0] = m_paintBox[1] = Box{inf, inf, -inf, -inf};
    }
    // Past the layer's splits nothing is checked against it: it waits for
    // the end.
    if (m_paintSplits >= kMaxPaintSplits)
        return true;
    m_paintWatched = true;
    Grow(m_paintBox[0], box);
    if (!additive)
        Grow(m_paintBox[1], box);
    m_paintGuards.push_back(Guard{box, additive});
    return true;
}

void QuadRunBatch::DrawPainted()
{
    const int count = m_paintRunCount;
    m_paintRunCount = 0;
    m_paintWatched = false;
    m_paintChecks = 0;
    m_paintGuards.clear();
    for (int i = 0; i < count; ++i) {
        const PaintRun& run = m_paintRuns[static_cast<size_t>(i)];
        run.painter->Paint(run.state, run.vertices.data(), run.vertices.size());
    }
}
