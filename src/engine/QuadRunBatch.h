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
    static void DrawRun(uint64_t key, const ScreenVertex* vertices, size_t count);
    void CellRange(const ScreenVertex quad[4], int& x0, int& y0, int& x1, int& y1) const;
    int LatestRunOf(uint64_t key) const;

    bool m_open = false;
    int m_cols = 0;
    int m_rows = 0;
    std::vector<Cell> m_cells;
    std::vector<Run> m_runs; // kept between frames so that steady frames never allocate
    int m_runCount = 0;
    std::vector<std::pair<uint64_t, int>> m_latest; // per state, its latest run
    int m_lastRuns = 0;
};
