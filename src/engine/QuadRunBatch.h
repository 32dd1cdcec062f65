#pragma once
#include "platform/IGraphicsDevice.h"

#include <cstdint>
#include <vector>

// Collects textured quads between Begin and End and draws them in runs of
// the same texture and blend through the device's indexed quad path. A quad
// joins an earlier run of its state only when nothing drawn since that run
// with another state overlaps it on screen, so every pixel comes out as if
// the quads had been drawn one by one in call order. Overlap is judged on a
// coarse screen grid: a near miss only costs an extra run. A picture on the
// texture atlas is drawn from its page, so overlapping quads of different
// pictures share a run. Outside Begin/End a quad is drawn at once.
class QuadRunBatch {
public:
    static constexpr int kCellSize = 32;

    // The batch the battle's ship layers draw through.
    static QuadRunBatch& Shared();

    // The screen size bounds the overlap grid; quads beyond it share its
    // edge cells.
    void Begin(int screenWidth, int screenHeight);
    // Draws what is collected and stays open (a direct draw comes next).
    void Flush();
    void End();
    bool IsOpen() const { return m_open; }

    // Corners top-left, top-right, bottom-left, bottom-right.
    void Add(TextureHandle texture, bool additive, const ScreenVertex quad[4]);
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

    // Runs drawn by the last Flush or End (tests and benchmarks).
    int GetLastRunCount() const { return m_lastRuns; }

private:
    struct Run {
        uint64_t key = 0;
        std::vector<ScreenVertex> vertices;
    };
    struct Cell {
        int last = -1;      // latest run touching the cell
        int lastOther = -1; // latest touching run whose state differs from that one's
    };

    static uint64_t Key(TextureHandle texture, bool additive)
    {
        return (static_cast<uint64_t>(additive ? 1 : 0) << 32) | texture;
    }
    static constexpr uint64_t kPointSampled = uint64_t{1} << 33;
    static constexpr uint64_t kLines = uint64_t{1} << 34;
    // Quads, or lines under kLines, of `count` vertices.
    void AddKeyed(uint64_t key, const ScreenVertex* vertices, size_t count);
    static void DrawRun(uint64_t key, const ScreenVertex* vertices, size_t count);
    void CellRange(const ScreenVertex* vertices, size_t count, int& x0, int& y0, int& x1, int& y1) const;
    int LatestRunOf(uint64_t key) const;

    bool m_open = false;
    int m_cols = 0;
    int m_rows = 0;
    std::vector<Cell> m_cells;
    std::vector<Run> m_runs; // kept between frames so that steady frames never allocate
    int m_runCount = 0;
    std::vector<std::pair<uint64_t, int>> m_latest; // per state, its latest run
    int m_lastRuns = 0;
    int m_interfaceDepth = 0;
};
