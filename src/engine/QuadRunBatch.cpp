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

void QuadRunBatch::CellRange(const ScreenVertex* quad, size_t count, int& x0, int& y0, int& x1, int& y1) const
{
    float minX = quad[0].x, maxX = quad[0].x, minY = quad[0].y, maxY = quad[0].y;
    auto grow = [&](const ScreenVertex& v) {
        minX = std::min(minX, v.x);
        maxX = std::max(maxX, v.x);
        minY = std::min(minY, v.y);
        maxY = std::max(maxY, v.y);
    };
    // The single quad, by far the most common, unrolled.
    if (count == 4) {
        grow(quad[1]);
        grow(quad[2]);
        grow(quad[3]);
    } else {
        for (size_t i = 1; i < count; ++i)
            grow(quad[i]);
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
    AddKeyed(Key(texture, additive), quad, 4);
}

void QuadRunBatch::AddPointSampled(TextureHandle texture, bool additive, const ScreenVertex* quads, size_t count)
{
    AddKeyed(Key(texture, additive) | kPointSampled, quads, count - count % 4);
}

void QuadRunBatch::AddFilled(bool additive, const ScreenVertex* quads, size_t count)
{
    AddKeyed(Key(0, additive), quads, count - count % 4);
}

void QuadRunBatch::AddLine(bool additive, const ScreenVertex line[2])
{
    AddKeyed(Key(0, additive) | kLines, line, 2);
}

void QuadRunBatch::AddKeyed(uint64_t key, const ScreenVertex* quad, size_t count)
{
    if (count == 0)
        return;
    if (!m_open) {
        DrawRun(key, quad, count);
        return;
    }
    int x0, y0, x1, y1;
    CellRange(quad, count, x0, y0, x1, y1);
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
    vertices.insert(vertices.end(), quad, quad + count);
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
    if ((key >> 32) & 1)
        engine.SetAdditiveBlend();
    else
        engine.SetNormalBlend();
    engine.SetTexture(static_cast<TextureHandle>(key & 0xFFFFFFFFu));
    engine.ApplyState();
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
