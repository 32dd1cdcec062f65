#include "engine/GVertexBuffer.h"

#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "engine/QuadRunBatch.h"

#include <algorithm>
#include <cstring>

namespace {
std::vector<GVertexBuffer*>& Registry()
{
    // Never destroyed: statics holding instances may outlive it at exit.
    static auto* list = new std::vector<GVertexBuffer*>();
    return *list;
}
} // namespace

GVertexBuffer::~GVertexBuffer()
{
    if (m_registered) {
        auto& list = Registry();
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
}

void GVertexBuffer::Init(size_t capacity, bool quads)
{
    m_quads = quads;
    m_capacity = quads ? capacity / 4 * 4 : capacity;
    if (m_capacity == 0) {
        LOG_ERROR("Vertex Buffer creation failure");
        m_capacity = 4;
    }
    m_count = 0;
    Create();
    if (!m_registered) {
        Registry().push_back(this);
        m_registered = true;
    }
}

bool GVertexBuffer::Create()
{
    // The staging array is the whole buffer: it is sized once and survives
    // device resets, so drawing never allocates.
    if (m_staging.size() != m_capacity)
        m_staging.assign(m_capacity, ScreenVertex{0.0f, 0.0f, 0.0f, 1.0f, 0xFFFFFFFFu, 0.0f, 0.0f});
    m_writePos = 0;
    m_created = true;
    return true;
}

void GVertexBuffer::Release()
{
    // Staged vertices would refer to textures that are gone.
    m_count = 0;
    m_writePos = 0;
    m_created = false;
}

void GVertexBuffer::AddVertices(const ScreenVertex* vertices, size_t count)
{
    if (!vertices || m_capacity == 0)
        return;
    if (!m_created)
        Create();
    // Batches bigger than the whole buffer go through in buffer-sized slices.
    while (count > 0) {
        if (m_count + count > m_capacity && m_count > 0)
            Flush();
        size_t n = std::min(count, m_capacity - m_count);
        std::memcpy(&m_staging[m_count], vertices, n * sizeof(ScreenVertex));
        m_count += n;
        vertices += n;
        count -= n;
    }
}

void GVertexBuffer::SetTexture(const std::string& name)
{
    if (name == m_texture.GetName())
        return;
    if (m_count > 0)
        Flush();
    m_texture.SetName(name);
}

void GVertexBuffer::Flush()
{
    if (m_count == 0) {
        m_texture.SetName(std::string());
        return;
    }
    m_texture.Bind();
    Upload();
    Draw();
}

void GVertexBuffer::FlushKeepTexture()
{
    if (m_count == 0)
        return;
    Upload();
    Draw();
}

void GVertexBuffer::Upload()
{
    // The device copies from our array; only the ring position is kept.
    if (m_writePos + m_count > m_capacity)
        m_writePos = 0;
    m_writePos += m_count;
}

void GVertexBuffer::Draw()
{
    D3DEngine& engine = D3DEngine::GetInstance();
    IGraphicsDevice* device = engine.GetDevice();
    QuadRunBatch& runs = QuadRunBatch::Shared();
    if (device && m_quads && runs.TakesDirectQuads() && engine.IsPlainState()) {
        for (size_t i = 0; i + 4 <= m_count; i += 4)
            runs.Add(engine.GetCurrentTexture(), engine.IsAdditive(), &m_staging[i]);
    } else if (device) {
        QuadRunBatch::BeforeDirectDraw();
        if (m_quads)
            device->DrawQuads(m_staging.data(), m_count / 4 * 4);
        else
            device->DrawPrimitives(PrimitiveType::TriangleList, m_staging.data(), m_count / 3 * 3);
    }
    m_count = 0;
}

void GVertexBuffer::ReleaseAll()
{
    for (GVertexBuffer* b : Registry())
        b->Release();
}

GVertexBuffer& GVertexBuffer::SpriteBatch()
{
    static GVertexBuffer batch;
    if (!batch.m_registered)
        batch.Init(kSpriteBatchVertices, true);
    return batch;
}
