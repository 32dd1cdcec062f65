#pragma once
#include "platform/GraphicsStateCache.h"
#include "platform/IGraphicsDevice.h"

#include <map>
#include <string>
#include <vector>

// A graphics device without a GPU: it keeps texture sizes, applies and counts
// state changes exactly like the OpenGL device, records draws and reads back
// black pixels. Tests and the headless smoke runs draw through it.
class HeadlessGraphicsDevice : public IGraphicsDevice {
public:
    struct DrawRecord {
        PrimitiveType type = PrimitiveType::TriangleList;
        bool quads = false;
        bool twoTextures = false;
        size_t vertexCount = 0;
        TextureHandle texture = 0; // stage 0
        TextureHandle target = 0;
        BlendMode blend = BlendMode::Normal;
        bool alphaBlend = true;
        bool flatColour = false;
        EffectHandle effect = 0;
        double pixels = 0; // covered, when fill is counted
        std::vector<ScreenVertex> vertices; // the first kMaxRecordedVertices
    };
    static constexpr size_t kMaxRecordedDraws = 4096;
    static constexpr size_t kMaxRecordedVertices = 64;

    HeadlessGraphicsDevice(int width, int height, bool supportsShaders = false);

    bool IsHeadless() const override { return true; }
    int GetBackBufferWidth() const override { return m_width; }
    int GetBackBufferHeight() const override { return m_height; }
    void ResizeBackBuffer(int width, int height) override;
    bool SupportsShaders() const override { return m_supportsShaders; }

    TextureHandle CreateTexture(const TextureData& data) override;
    TextureHandle CreateRenderTarget(int width, int height) override;
    void DestroyTexture(TextureHandle texture) override;
    bool GetTextureSize(TextureHandle texture, int& width, int& height) const override;

    void Clear(uint32_t argb) override;
    void Present() override;
    bool SetRenderTarget(TextureHandle target) override;
    void SetViewport(int left, int top, int right, int bottom) override;

    void SetTexture(int stage, TextureHandle texture) override;
    void SetBlendMode(BlendMode mode) override;
    void SetAlphaBlend(bool on) override;
    void SetAlphaTest(bool on) override;
    void SetFlatColour(bool on) override;
    void SetSampler(int stage, TextureFilter filter, TextureAddress address) override;

    void DrawPrimitives(PrimitiveType type, const ScreenVertex* vertices, size_t count) override;
    void DrawQuads(const ScreenVertex* vertices, size_t count) override;
    void DrawPrimitives2(PrimitiveType type, const ScreenVertex2* vertices, size_t count) override;

    // With shader support on, an effect loads when its "<path>.frag" file can
    // be read (the vertex file is optional, as on the real device).
    EffectHandle LoadEffect(const std::string& path) override;
    void DestroyEffect(EffectHandle effect) override;
    void SetEffect(EffectHandle effect) override;
    void SetEffectFloat(EffectHandle effect, const char* name, float value) override;
    EffectHandle GetCurrentEffect() const override { return m_cache.Effect(); }

    bool ReadPixels(TextureHandle target, int x, int y, int width, int height,
                    std::vector<uint8_t>& rgba) override;
    bool CopyBackBufferTo(TextureHandle target) override;
    bool CopyTargetRegion(TextureHandle source, int x, int y, int width, int height, TextureHandle dest,
                          int destX, int destY) override;

    const GraphicsStats& GetStats() const override { return m_cache.Stats(); }
    void ResetStats() override { m_cache.ResetStats(); }
    void SetFillCounting(bool on) override { m_cache.SetFillCounting(on); }
    std::string GetLastError() const override { return m_lastError; }

    // Inspection for tests.
    const std::vector<DrawRecord>& GetDraws() const { return m_draws; }
    void ClearDraws() { m_draws.clear(); }
    const GraphicsStateCache& GetState() const { return m_cache; }
    size_t GetTextureCount() const { return m_textures.size(); }
    bool IsRenderTarget(TextureHandle texture) const;
    bool GetEffectFloat(EffectHandle effect, const std::string& name, float& value) const;
    uint32_t GetLastClearColour() const { return m_lastClear; }
    void GetViewport(int& left, int& top, int& right, int& bottom) const;
    int GetRegionCopies() const { return m_regionCopies; }
    // A running hash of every draw's state and vertices, bit for bit: two
    // builds that should draw the same frames can be compared by it.
    void SetDrawHashing(bool on)
    {
        m_hashing = on;
        m_hash = kHashSeed;
    }
    // The hash of the draws since the last take (or since hashing began).
    uint64_t TakeDrawHash()
    {
        const uint64_t hash = m_hash;
        m_hash = kHashSeed;
        return hash;
    }

private:
    static constexpr uint64_t kHashSeed = 14695981039346656037ull; // FNV-1a's offset basis
    void HashBytes(const void* data, size_t size);
    struct Texture {
        int width = 0;
        int height = 0;
        PixelFormat format = PixelFormat::BGRA8;
        int levels = 1;
        bool renderTarget = false;
    };
    struct Effect {
        std::string path;
        std::map<std::string, float> floats;
    };

    bool TargetSize(TextureHandle target, int& width, int& height) const;
    void Record(PrimitiveType type, bool quads, bool twoTextures, const ScreenVertex* vertices,
                size_t stride, size_t count);

    int m_width;
    int m_height;
    bool m_supportsShaders;
    GraphicsStateCache m_cache;
    std::map<TextureHandle, Texture> m_textures;
    std::map<EffectHandle, Effect> m_effects;
    TextureHandle m_nextTexture = 1;
    EffectHandle m_nextEffect = 1;
    std::vector<DrawRecord> m_draws;
    std::string m_lastError;
    uint32_t m_lastClear = 0;
    int m_viewport[4] = {0, 0, 0, 0};
    int m_regionCopies = 0;
    bool m_hashing = false;
    uint64_t m_hash = kHashSeed;
};
