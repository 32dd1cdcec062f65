#include "engine/QuadRunBatch.h"

#include "engine/D3DEngine.h"
#include "engine/TextureAtlas.h"

#include <algorithm>
#include <cmath>

QuadRunBatch& QuadRunBatch::Shared()
{
    static QuadRunBatch batch;
    return batch;
}

void QuadRunBatch::Begin(int screenWidth, int screenHeight)
{
    if (m_open)
        End();
    // One border cell on every side holds whatever lies beyond the screen.
    m_cols = std::max(screenWidth, 1) / kCellSize + 3;
    m_rows = std::max(screenHeight, 1) / kCellSize + 3;
    m_cells.assign(static_cast<size_t>(m_cols) * static_cast<size_t>(m_rows), Cell{});
    m_runCount = 0;
    m_latest.clear();
    m_open = true;
}

int QuadRunBatch::LatestRunOf(uint64_t key) const
{
    for (const auto& entry : m_latest)
        if (entry.first == key)
            return entry.second;
    return -1;
}

void QuadRunBatch::CellRange(const ScreenVertex quad[4], int& x0, int& y0, int& x1, int& y1) const
{
    float minX = quad[0].x, maxX = quad[0].x, minY = quad[0].y, maxY = quad[0].y;
    for (int i = 1; i < 4; ++i) {
        minX = std::min(minX, quad[i].x);
        maxX = std::max(maxX, quad[i].x);
        minY = std::min(minY, quad[i].y);
        maxY = std::max(maxY, quad[i].y);
    }
    // Cell 1 starts at screen 0; anything not a plain number goes everywhere.
    auto cell = [](float v, int count, int fallback) {
        if (!std::isfinite(v))
            return fallback;
        const float c = std::floor(v / static_cast<float>(kCellSize)) + 1.0f;
        return static_cast<int>(std::clamp(c, 0.0f, static_cast<float>(count - 1)));
    };
    x0 = cell(minX, m_cols, 0);
    x1 = cell(maxX, m_cols, m_cols - 1);
    y0 = cell(minY, m_rows, 0);
    y1 = cell(maxY, m_rows, m_rows - 1);
}

void QuadRunBatch::Add(TextureHandle texture, bool additive, const ScreenVertex quad[4])
{
    // A picture on the atlas joins the runs of its neighbours' pictures.
    ScreenVertex onAtlas[4];
    if (const TextureHandle page = TextureAtlas::Shared().Map(texture, quad, onAtlas)) {
        texture = page;
        quad = onAtlas;
    }
    const uint64_t key = Key(texture, additive);
    if (!m_open) {
        DrawRun(key, quad, 4);
        return;
    }
    int x0, y0, x1, y1;
    CellRange(quad, x0, y0, x1, y1);
    // The latest run of another state that shares a cell with this quad:
    // the quad may not move in front of it.
    int barrier = -1;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            const Cell& c = m_cells[static_cast<size_t>(y * m_cols + x)];
            if (c.last < 0)
                continue;
            barrier = std::max(barrier, m_runs[static_cast<size_t>(c.last)].key != key ? c.last : c.lastOther);
        }
    int run = LatestRunOf(key);
    if (run < 0 || run <= barrier) {
        run = m_runCount++;
        if (static_cast<size_t>(run) >= m_runs.size())
            m_runs.emplace_back();
        m_runs[static_cast<size_t>(run)].key = key;
        m_runs[static_cast<size_t>(run)].vertices.clear();
        auto it = std::find_if(m_latest.begin(), m_latest.end(), [key](const auto& e) { return e.first == key; });
        if (it == m_latest.end())
            m_latest.emplace_back(key, run);
        else
            it->second = run;
    }
    std::vector<ScreenVertex>& vertices = m_runs[static_cast<size_t>(run)].vertices;
    vertices.insert(vertices.end(), quad, quad + 4);
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            Cell& c = m_cells[static_cast<size_t>(y * m_cols + x)];
            if (c.last >= 0 && m_runs[static_cast<size_t>(c.last)].key != key)
                c.lastOther = c.last;
            c.last = std::max(c.last, run);
        }
}

void QuadRunBatch::DrawRun(uint64_t key, const ScreenVertex* vertices, size_t count)
{
    D3DEngine& engine = D3DEngine::GetInstance();
    IGraphicsDevice* device = engine.GetDevice();
    if (!device || count == 0)
        return;
    if (key >> 32)
        engine.SetAdditiveBlend();
    else
        engine.SetNormalBlend();
    engine.SetTexture(static_cast<TextureHandle>(key & 0xFFFFFFFFu));
    device->DrawQuads(vertices, count);
}

void QuadRunBatch::Flush()
{
    m_lastRuns = 0;
    for (int i = 0; i < m_runCount; ++i) {
        const Run& run = m_runs[static_cast<size_t>(i)];
        if (run.vertices.empty())
            continue;
        DrawRun(run.key, run.vertices.data(), run.vertices.size());
        ++m_lastRuns;
    }
    m_runCount = 0;
    m_latest.clear();
    std::fill(m_cells.begin(), m_cells.end(), Cell{});
    D3DEngine::GetInstance().SetNormalBlend();
}

void QuadRunBatch::End()
{
    if (!m_open)
        return;
    Flush();
    m_open = false;
}
