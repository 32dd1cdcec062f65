#pragma once
#include "engine/SmartTexture.h"
#include "platform/IGraphicsDevice.h"

#include <string>
#include <vector>

// Stages quads in memory and draws them with one call per texture run. A
// change of batch texture flushes first, so on-screen order is call order.
class GVertexBuffer {
public:
    static constexpr size_t kSpriteBatchVertices = 5000;

    GVertexBuffer() = default;
    virtual ~GVertexBuffer();
    GVertexBuffer(const GVertexBuffer&) = delete;
    GVertexBuffer& operator=(const GVertexBuffer&) = delete;

    void Init(size_t capacity, bool quads);
    bool Create();
    void Release();
    bool IsCreated() const { return m_created; }

    void AddVertices(const ScreenVertex* vertices, size_t count);
    // Flushes the staged quads when the name differs from the batch texture.
    void SetTexture(const std::string& name);
    const std::string& GetTextureName() const { return m_texture.GetName(); }
    void Flush();
    void FlushKeepTexture();

    size_t GetCapacity() const { return m_capacity; }
    size_t GetStagedCount() const { return m_count; }

    static void ReleaseAll();
    // The game's sprite batcher (5000 vertices), made on first use.
    static GVertexBuffer& SpriteBatch();

private:
    void Upload();
    void Draw();

    size_t m_capacity = 0;
    bool m_quads = true;
    bool m_registered = false;
    bool m_created = false;
    std::vector<ScreenVertex> m_staging;
    size_t m_count = 0;
    size_t m_writePos = 0;
    SmartTexture m_texture;
};
