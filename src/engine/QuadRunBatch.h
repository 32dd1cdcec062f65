#pragma once
#include "engine/TextureAtlas.h"
#include "platform/IGraphicsDevice.h"

#include <cstdint>
#include <vector>

// Collects textured quads between Begin and End and draws them in runs of
// the same texture and blend through the device's indexed quad path. A quad
// joins an earlier run of its state only when nothing drawn since that run
// with another state overlaps it on screen, so every pixel comes out as if
// the quads had been drawn one by one in call order. Overlap is judged on a
// 32-pixel screen grid, and within a cell on the bounding boxes of the last
// few runs' quads there, so that small quads side by side (escape pods)
// need not block each other; a near miss only costs an extra run. A picture on the
// texture atlas is drawn from its page, so overlapping quads of different
// pictures share a run. Normal and additive quads of one texture share a run
// too, drawn with premultiplied blending (a run of one kind keeps its own
// blend, and under an effect a mixed run is drawn in pieces of one kind).
// Outside Begin/End a quad is drawn at once.
class VisibleBoxes;

class QuadRunBatch {
public:
    QuadRunBatch();

    static constexpr int kCellSize = 32;

    // The batch the battle's ship layers draw through (inline: most quads
    // come through here, and a call per quad cost more than its guard).
    [[gnu::always_inline]] static QuadRunBatch& Shared()
    {
        static QuadRunBatch batch;
        return batch;
    }

    // The screen size bounds the overlap grid; quads beyond it share its
    // edge cells.
    void Begin(int screenWidth, int screenHeight);
    // Draws what is collected and stays open (a direct draw comes next).
    void Flush();
    void End();
    bool IsOpen() const { return m_open; }

    // Corners top-left, top-right, bottom-left, bottom-right.
    void Add(TextureHandle texture, bool additive, const ScreenVertex quad[4]);
    // `quadCount` quads one after another, each staged exactly as Add would
    // stage it (the texture looked up once).
    void AddQuads(TextureHandle texture, bool additive, const ScreenVertex* quads, size_t quadCount);
    // One side of a strip of quads: its left and right corners, in the
    // colour of both.
    struct StripEdge {
        float lx, ly, rx, ry;
        uint32_t colour;
    };
    // The quads between consecutive edges (a ribbon such as a trail), each
    // staged exactly as Add would stage it: corners near left, near right,
    // far left, far right from edge i to edge i + 1, coordinates `uv` (u0,
    // v0, u1, v1) u0 on the left and v0 on the near side, rhw 1.
    void AddStrip(TextureHandle texture, bool additive, const StripEdge* edges, size_t edgeCount,
                  const float uv[4]);
    // The corners of every quad of a strip with coordinates `uv`, their
    // places still to be filled in (rhw 1).
    static void StripCorners(const float uv[4], ScreenVertex corners[4])
    {
        corners[0] = {0.0f, 0.0f, 0.0f, 1.0f, 0u, uv[0], uv[1]};
        corners[1] = {0.0f, 0.0f, 0.0f, 1.0f, 0u, uv[2], uv[1]};
        corners[2] = {0.0f, 0.0f, 0.0f, 1.0f, 0u, uv[0], uv[3]};
        corners[3] = {0.0f, 0.0f, 0.0f, 1.0f, 0u, uv[2], uv[3]};
    }
    // The quad between two edges of a strip, with the coordinates of
    // `corners` (StripCorners) and depth z.
    static void StripQuad(const StripEdge& nearSide, const StripEdge& farSide, const ScreenVertex corners[4], float z,
                          ScreenVertex out[4])
    {
        out[0] = {nearSide.lx, nearSide.ly, z, 1.0f, nearSide.colour, corners[0].u, corners[0].v};
        out[1] = {nearSide.rx, nearSide.ry, z, 1.0f, nearSide.colour, corners[1].u, corners[1].v};
        out[2] = {farSide.lx, farSide.ly, z, 1.0f, farSide.colour, corners[2].u, corners[2].v};
        out[3] = {farSide.rx, farSide.ry, z, 1.0f, farSide.colour, corners[3].u, corners[3].v};
    }
    // Quads read with point sampling (text glyphs), `count` vertices of
    // them: they keep their own texture, as the atlas's tiles are made for
    // linear filtering. Quads given together (a line of text) are tested for
    // overlap as one.
    void AddPointSampled(TextureHandle texture, bool additive, const ScreenVertex* quads, size_t count);
    // Untextured quads, tested for overlap as one (markers on a map).
    void AddFilled(bool additive, const ScreenVertex* quads, size_t count);
    // An untextured line (rectangle outlines), drawn in runs of its own.
    void AddLine(bool additive, const ScreenVertex line[2]);

    // The interface draws through the batch between these: sprites, texts
    // and filled rectangles drawn the ordinary way join it, and the engine
    // holds texture and blend changes back until a run or a direct draw
    // needs them. Nests; a plain Begin inside ends it.
    void BeginInterface(int screenWidth, int screenHeight);
    void EndInterface();
    // True while quads drawn the ordinary way join the batch.
    bool TakesDirectQuads() const { return m_open && m_interfaceDepth > 0; }
    // Collects the interface's quads for the life of the scope (nothing
    // without a device).
    class InterfaceScope {
    public:
        InterfaceScope();
        ~InterfaceScope();
        InterfaceScope(const InterfaceScope&) = delete;
        InterfaceScope& operator=(const InterfaceScope&) = delete;

    private:
        bool m_opened = false;
    };
    // Called before anything draws past the batch or changes what its runs
    // do not carry (sampler, flat colour, effect, viewport, target): while
    // the interface collects, what it holds goes out first and the engine's
    // texture and blend reach the device. Does nothing otherwise.
    static void BeforeDirectDraw();

    // Draws of another kind that wait in the batch (two-texture quads
    // under their own program): the painter draws them when asked.
    class Painter {
    public:
        struct State {
            uint64_t a = 0, b = 0;
            bool operator==(const State&) const = default;
        };
        virtual void Paint(const State& state, const ScreenVertex2* vertices, size_t count) = 0;

    protected:
        ~Painter() = default;
    };
    // Triangles that `painter` draws in its `state` over everything staged
    // so far, additively or not. They wait for the runs to go out and share
    // a draw with the others of their state; a quad staged later that may
    // reach them first draws everything waiting (kMaxPaintSplits). Waiting draws of another
    // state that may overlap keep their order. Additive draws add the same
    // to a pixel in any order, so an additive quad or painted draw may pass
    // an additive one. False (nothing taken) unless the batch collects,
    // outside the interface: the caller then draws them itself.
    bool AddPainted(Painter& painter, const Painter::State& state, bool additive, const ScreenVertex2* vertices,
                    size_t count);
    // Painted draws wait for at most this many quads checked against them
    // (those that meet the box of everything waiting; a check costs more
    // than joining a run): then they go out with the runs.
    static constexpr size_t kPaintWaitBudget = 256;
    // Each time painted draws go out before their layer ends, the runs
    // split around them: a layer splits at most this often, and past that
    // what is painted waits for the layer's end, drawn over what came after
    // it there. Beyond a handful, the splits are crowds of ships over one
    // another's blasts, where the order no longer reads and the draws would
    // grow with the crowd.
    static constexpr int kMaxPaintSplits = 6;
    // Times the painted draws went out early since Begin (tests, benchmarks).
    int GetPaintSplitCount() const { return m_paintSplits; }
    // Painted draws waiting, in their order (tests and benchmarks).
    int GetPaintedRunCount() const { return m_paintRunCount; }

    // Whether a quad staged and not yet drawn may cover some of the screen
    // box (x0, y0)-(x1, y1). A draw past the batch that none covers may go
    // out first, leaving the staged quads to join later ones.
    // Past kCoverLookBudget quads staged and not yet placed in the overlap
    // grid, the answer is yes.
    bool MayCover(float x0, float y0, float x1, float y1);
    static constexpr size_t kCoverLookBudget = 256;
    // Runs drawn by the last Flush or End (tests and benchmarks).
    int GetLastRunCount() const { return m_lastRuns; }

private:
    struct Run {
        uint64_t key = 0;
        bool holds[2] = {}; // holds normal quads, additive quads
        // The first `used` hold the run's quads; the rest is room kept
        // between frames.
        std::vector<ScreenVertex> vertices;
        size_t used = 0;
        size_t room = 0; // vertices.size()
    };
    static constexpr int kRecent = 4;
    struct Box {
        float x0, y0, x1, y1;
    };
    // The runs that touched a cell: the latest few with the box of their
    // quads there, and the older ones folded into two run numbers.
    struct Cell {
        // The batch's stamp above the newest recent run: one comparison
        // finds a quad's run still the last to touch the cell. The cell is
        // empty unless the stamp matches the batch's.
        uint64_t tag = 0;
        Box newest; // the box of the newest recent run's quads here
        int recentCount = 0;
        int last = -1;      // latest folded run
        int lastOther = -1; // latest folded run whose texture differs from that one's
        int recent[kRecent]; // oldest first
        Box older[kRecent - 1]; // the boxes of the others, oldest first
    };

    static uint32_t StampOf(const Cell& cell) { return static_cast<uint32_t>(cell.tag >> 32); }
    uint64_t TagOf(int run) const { return (static_cast<uint64_t>(m_stamp) << 32) | static_cast<uint32_t>(run); }

    static uint64_t Key(TextureHandle texture) { return texture; }
    // Runs that do not mix kinds carry theirs in the key.
    static uint64_t Key(TextureHandle texture, bool additive)
    {
        return (static_cast<uint64_t>(additive ? 1 : 0) << 32) | texture;
    }
    static constexpr uint64_t kPointSampled = uint64_t{1} << 33;
    static constexpr uint64_t kLines = uint64_t{1} << 34;
    // A vertex's z tells an additive quad (1) from a normal one (0).
    static bool Adds(const ScreenVertex& v) { return v.z >= 0.5f; }
    // Quads, or lines under kLines, of `count` vertices; with a tile, their
    // coordinates are moved onto it as they are stored.
    void AddKeyed(uint64_t key, bool additive, const ScreenVertex* vertices, size_t count,
                  const TextureAtlas::Tile* tile = nullptr);
    // Outside Begin/End: drawn at once.
    static void DrawNow(uint64_t key, bool additive, const ScreenVertex* vertices, size_t count,
                        const TextureAtlas::Tile* tile);
    // The run the quads in `box` join (a new one when something of another
    // state between may cover them); returns room for their `count` vertices
    // in it. Four vertices are one quad, any other count one group.
    ScreenVertex* Stage(uint64_t key, bool additive, const Box& box, size_t count);
    // Stage's search when the state's latest run is not the newest: that
    // run, or a new one if something of another state in the cells may
    // cover the box.
    int JoinOrStart(uint64_t key, const Box& box, int run);
    // The cells are read only when a quad may join a run that is not the
    // newest, and most layers end before one does: what is staged is noted
    // in them only then, in the order it was staged, so that they read as if
    // every quad had been noted at once. Pending: the boxes of the vertices
    // [first, end) of a run, `group` vertices each. A group (a stretch of
    // its own) keeps the box it was staged with: a thousand markers are
    // not measured twice.
    struct Pending {
        int run;
        uint32_t group;
        size_t first, end;
        Box box;
    };
    // Quads about to be staged in `run` (`count` vertices at once, in
    // `box`) join its open stretch of pending quads, or, as a group, a
    // stretch of their own.
    void PendFor(int run, size_t count, const Box& box);
    void OpenPending(int run);
    void ClosePending();
    // Notes everything pending in the cells.
    void NotePending();
    // Notes a quad of `run` (its tag `tag`) in the cells x0..x1, y0..y1.
    void NoteCells(int run, uint64_t tag, const Box& box, int x0, int y0, int x1, int y1);
    // Room for `count` more vertices in the run.
    static ScreenVertex* Reserve(Run& run, size_t count);
    // AddStrip's quads one by one through Add.
    void AddStripByQuads(TextureHandle texture, bool additive, const StripEdge* edges, size_t edgeCount,
                         const float uv[4]);
    static void DrawRun(const Run& run);
    // Vertices of one kind, with their blend and texture.
    static void DrawKind(uint64_t key, bool additive, const ScreenVertex* vertices, size_t count);
    static void DrawVertices(uint64_t key, const ScreenVertex* vertices, size_t count);
    static constexpr float kMargin = 1.0f;
    static Box BoxOf(const ScreenVertex* vertices, size_t count);
    template <class Vertex>
    static Box ScalarBoxOf(const Vertex* vertices, size_t count);
    static Box QuadBox(const ScreenVertex quad[4]);
    static Box StripBox(const StripEdge& nearSide, const StripEdge& farSide);
    static bool Overlap(const Box& a, const Box& b);
    uint64_t KeyOf(int run) const { return m_runs[static_cast<size_t>(run)].key; }
    void EmptyCells();
    void CellRange(const Box& box, int& x0, int& y0, int& x1, int& y1) const;
#if defined(__SSE2__)
    __m128i Cells(const Box& box) const;
#endif
    int CellBarrier(const Cell& cell, uint64_t key, const Box& box) const;
    void Fold(Cell& cell, int run) const;
    void Touch(Cell& cell, int run, const Box& box) const;
    void NoteIn(Cell& cell, int run, uint64_t tag, const Box& box) const;

    void FoldOldest(Cell& cell) const;
    // Add's general path (a quad that may be trimmed, or outside Begin/End).
    void AddLookingUp(TextureHandle texture, bool additive, const ScreenVertex quad[4]);
    // Add past the trim, its texture's tile (if any) looked up.
    void AddUntrimmed(TextureHandle texture, bool additive, const ScreenVertex quad[4],
                      const TextureAtlas::Tile* tile);
    // A quad of its key through Stage.
    void StageKeyed(uint64_t key, bool additive, const ScreenVertex quad[4], const TextureAtlas::Tile* tile);
    // A quad's vertices into its room in a run, moved onto the tile if any.
    static void StoreQuad(ScreenVertex* added, const ScreenVertex quad[4], bool additive,
                          const TextureAtlas::Tile* tile);
    // CellRange and NoteCells in one, the box by value so that the call
    // for more than one cell can be the caller's last.
    void NoteBox(int run, uint64_t tag, Box box);
    // NoteCells out of line, for NoteBox's less common cases.
    void NoteCellsApart(int run, uint64_t tag, Box box, int x0, int y0, int x1, int y1);
    static void Grow(Box& box, const Box& by);
    int LatestRunOf(uint64_t key) const;

    // Painted draws waiting, each of one painter and state, in their order.
    struct PaintRun {
        Painter* painter = nullptr;
        Painter::State state;
        bool additive = false;
        std::vector<ScreenVertex2> vertices; // kept between frames
        Box box{}; // of every group in it
    };
    std::vector<PaintRun> m_paintRuns;
    int m_paintRunCount = 0;
    // Some of them are checked against the quads staged (none past the
    // layer's splits).
    bool m_paintWatched = false;
    // The boxes of the painted groups waiting, and for normal and for
    // additive quads the box of those they may not pass: a quad staged that
    // may reach one draws what waits first.
    struct Guard {
        Box box;
        bool additive;
    };
    std::vector<Guard> m_paintGuards;
    Box m_paintBox[2]{};
    // Quads checked against what waits since it began to wait.
    size_t m_paintChecks = 0;
    int m_paintSplits = 0;
    bool Reaches(const Box& box, bool additive) const;
    // Whether the quad may reach what waits: its box meets theirs all
    // together (the quick test a quad joining the newest run makes).
    bool MayReachPainted(const ScreenVertex quad[4], bool additive) const;
    bool MayReachPainted(const StripEdge* edges, size_t edgeCount, bool additive) const;
    // A quad in `box` is about to be staged: what waits under it (or what
    // has waited past the budget) goes out.
    void BeforeStaging(const Box& box, bool additive)
    {
        if (m_paintWatched &&
            (m_paintChecks >= kPaintWaitBudget || (++m_paintChecks, Reaches(box, additive)))) {
            ++m_paintSplits;
            Flush();
        }
    }
    static Box PaintedBox(const ScreenVertex2* vertices, size_t count);
    void DrawPainted();

    bool m_open = false;
    int m_cols = 0;
    int m_rows = 0;
    // The last column and row, as CellRange clamps to them.
    alignas(16) float m_edgeCell[4] = {};
    alignas(16) int m_edgeCellIndex[4] = {};
    alignas(16) float m_edgeCellBefore[4] = {}; // the ones before them
    std::vector<Cell> m_cells;
    uint32_t m_stamp = 0; // bumped by each flush: empties every cell at once
    std::vector<Run> m_runs; // kept between frames so that steady frames never allocate
    int m_runCount = 0;
    std::vector<std::pair<uint64_t, int>> m_latest; // per state, its latest run
    // The state of the last quad added and its latest run: streaks of one
    // state skip the search of m_latest.
    static constexpr uint64_t kNoKey = ~uint64_t{0};
    uint64_t m_recentKey = kNoKey;
    int m_recentRun = -1;
    // The state whose latest run is the newest run (the last quad's, when
    // that joined the newest run).
    uint64_t m_newestKey = kNoKey;
    std::vector<Pending> m_pending; // closed stretches, oldest first
    // The open stretch: the quads of this run from vertex m_pendingFrom on.
    int m_pendingRun = -1;
    size_t m_pendingFrom = 0;

    int m_lastRuns = 0;
    int m_interfaceDepth = 0;
    std::vector<ScreenVertex> m_aligned; // glyphs moved onto the atlas page
    const VisibleBoxes& m_boxes; // looked up once: Add runs for every quad
    const TextureAtlas& m_atlas;
};
