#pragma once
#include "platform/GraphicsStateCache.h"
#include "platform/IGraphicsDevice.h"

#include <functional>
#include <map>
#include <memory>
#include <string>

// The graphics device on OpenGL 3.3 core. It draws the game's pre-transformed
// screen vertices through one streamed vertex buffer and a small shader that
// stands in for the fixed pipeline (texture times vertex colour, alpha test).
// Render targets are framebuffer textures stored top row first, like loaded
// images, so a target drawn as a texture appears upright.
//
// Effects: "<path>.frag" (required) and "<path>.vert" (optional; the built-in
// vertex stage otherwise), GLSL 3.30. A fragment stage receives vColour,
// vUV0 and vUV1, samples uTex0/uTex1 and writes one vec4; its float uniforms
// are set by name through SetEffectFloat.
//
// The GL context must be current whenever the device is used or destroyed.
class GLGraphicsDevice : public IGraphicsDevice {
public:
    // Queued pixels, as a share of the back buffer, that are handed to the
    // rasteriser at once rather than at the next switch or present. Every
    // hand-over wakes each of llvmpipe's threads, which costs the submitting
    // thread more than the overlap gains below a screen and a half.
    static constexpr double kFlushShareOfScreen = 1.5;

    struct Options {
        // Upload DXT levels as they are when the driver can; otherwise (or
        // when off) they are decoded to RGBA first.
        bool compressedUpload = true;
    };

    // Null, with the reason in error, when the shaders or buffers cannot be made.
    static std::unique_ptr<GLGraphicsDevice> Create(int width, int height, std::string* error);
    static std::unique_ptr<GLGraphicsDevice> Create(int width, int height, const Options& options,
                                                    std::string* error);
    ~GLGraphicsDevice() override;
    GLGraphicsDevice(const GLGraphicsDevice&) = delete;
    GLGraphicsDevice& operator=(const GLGraphicsDevice&) = delete;

    // Called by Present to show the frame (the window's buffer swap).
    void SetPresentCallback(std::function<void()> present) { m_present = std::move(present); }
    bool UsesCompressedUpload() const { return m_compressedUpload; }
    std::string GetRendererName() const;

    bool IsHeadless() const override { return false; }
    int GetBackBufferWidth() const override { return m_width; }
    int GetBackBufferHeight() const override { return m_height; }
    void ResizeBackBuffer(int width, int height) override;
    bool SupportsShaders() const override { return true; }

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
    int GetMaxTextureSide() const override;

private:
    struct Texture {
        unsigned tex = 0;
        unsigned fbo = 0;
        int width = 0;
        int height = 0;
        bool renderTarget = false;
    };
    struct Program {
        unsigned id = 0;
        int targetSize = -1, flipY = -1, tex0 = -1, tex1 = -1, useTexture = -1, alphaTest = -1, flatColour = -1,
            premultiply = -1;
        std::map<std::string, int> floats;
    };

    GLGraphicsDevice(int width, int height);
    bool Init(const Options& options, std::string* error);
    bool BuildProgram(const std::string& vertex, const std::string& fragment, Program& out);
    const Texture* FindTexture(TextureHandle texture) const;
    bool TargetSize(TextureHandle target, int& width, int& height) const;
    void ApplyViewport();
    void UseCurrentProgram();
    void ApplySampler(int stage);
    void Draw(unsigned mode, const void* vertices, size_t stride, size_t count, bool twoTextures, bool quads);
    void SetVertexLayout(size_t stride, size_t offset, bool twoTextures);
    void UploadLevel(const TextureData& data, int level, int width, int height);
    void QueueFill(double pixels);

    int m_width;
    int m_height;
    int m_viewport[4] = {0, 0, 0, 0};
    GraphicsStateCache m_cache;
    std::map<TextureHandle, Texture> m_textures;
    std::map<EffectHandle, Program> m_effects;
    TextureHandle m_nextTexture = 1;
    EffectHandle m_nextEffect = 1;
    Program m_fixed;
    unsigned m_vao = 0;
    // Vertices stream through one buffer per frame in flight, taken in turn
    // at each present and reused once its fence says the frame is drawn:
    // nothing is re-allocated per frame (orphaning a buffer makes a software
    // driver allocate and free its storage every frame, and the heap grows).
    static constexpr int kStreamBuffers = 3;
    void AdvanceStreamBuffer();
    unsigned m_vbos[kStreamBuffers] = {0, 0, 0};
    size_t m_vboCapacities[kStreamBuffers] = {0, 0, 0};
    void* m_fences[kStreamBuffers] = {nullptr, nullptr, nullptr}; // GLsync of the frame that last used each
    int m_stream = 0;
    unsigned m_quadIndices = 0;
    unsigned m_samplers[GraphicsStateCache::kStages] = {0, 0};
    size_t m_vboOffset = 0;
    double m_queuedPixels = 0.0; // drawn since the rasteriser last got work
    bool m_compressedUpload = false;
    std::function<void()> m_present;
    std::string m_lastError;
};
