#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The one vertex layout of every 2D draw: pre-transformed screen position,
// reciprocal W, ARGB colour (0xAARRGGBB) and one texture coordinate pair.
struct ScreenVertex {
    float x, y, z, rhw;
    uint32_t colour;
    float u, v;
};
static_assert(sizeof(ScreenVertex) == 28, "screen vertex must stay 28 bytes");

// The two-texture variant (a second coordinate pair for stage 1).
struct ScreenVertex2 {
    float x, y, z, rhw;
    uint32_t colour;
    float u, v;
    float u2, v2;
};
static_assert(sizeof(ScreenVertex2) == 36, "two-texture vertex must stay 36 bytes");

using TextureHandle = uint32_t; // 0 = no texture (or, for render targets, the back buffer)
using EffectHandle = uint32_t;  // 0 = the fixed pipeline

enum class PixelFormat { BGRA8, DXT1, DXT3, DXT5 };
// Premultiplied draws normal and additive quads in one state: the quad
// program premultiplies the colour by its alpha, and a vertex whose z is at
// least 0.5 adds (its alpha weighs nothing of what lies under it). Every
// channel of the target, alpha included, comes out as with Normal or
// Additive. Meant for the fixed program only: effects do not premultiply.
enum class BlendMode { Normal, Additive, Premultiplied };
enum class TextureFilter { Linear, Point };
enum class TextureAddress { Clamp, Wrap };
enum class PrimitiveType { TriangleList, TriangleStrip, LineList };

// Raw pixel levels of one texture, largest first. BGRA8 levels hold
// width*height*4 bytes; DXT levels hold their compressed blocks.
struct TextureData {
    int width = 0;
    int height = 0;
    PixelFormat format = PixelFormat::BGRA8;
    std::vector<std::vector<uint8_t>> levels;
};

// What the headless device counts, so tests can check batching and state caching.
struct GraphicsStats {
    int drawCalls = 0;
    int verticesDrawn = 0;
    int textureBinds = 0;
    int blendChanges = 0;
    int stateChanges = 0; // every other render-state change
    int clears = 0;
    int presents = 0;
    int renderTargetSwitches = 0;
    int flushes = 0; // queued drawing handed to the rasteriser before a switch or present
    int texturesCreated = 0;
    int texturesDestroyed = 0;
    // Pixels covered by draws and clears (within the viewport and target),
    // counted only while fill counting is on: what the rasteriser shades.
    double pixelsFilled = 0.0;
};

// True when a width x height block at (x, y) lies inside a texture of the
// given size (written so that no sum can overflow).
inline bool BlockInside(int x, int y, int width, int height, int textureWidth, int textureHeight)
{
    return x >= 0 && y >= 0 && width > 0 && height > 0 && width <= textureWidth - x && height <= textureHeight - y;
}

// The graphics device the engine draws through. Positions are screen pixels
// with pixel centres on integers, as the game's layout code expects: a quad
// from (9.5, 9.5) to (19.5, 19.5) covers exactly pixels 10..19.
class IGraphicsDevice {
public:
    virtual ~IGraphicsDevice() = default;

    virtual bool IsHeadless() const = 0;
    virtual int GetBackBufferWidth() const = 0;
    virtual int GetBackBufferHeight() const = 0;
    // Follows a window resize or a new video mode.
    virtual void ResizeBackBuffer(int width, int height) = 0;
    virtual bool SupportsShaders() const = 0;

    // Textures and render targets.
    virtual TextureHandle CreateTexture(const TextureData& data) = 0;
    virtual TextureHandle CreateRenderTarget(int width, int height) = 0;
    virtual void DestroyTexture(TextureHandle texture) = 0;
    virtual bool GetTextureSize(TextureHandle texture, int& width, int& height) const = 0;

    // Frame.
    virtual void Clear(uint32_t argb) = 0;
    virtual void Present() = 0;
    // 0 selects the back buffer. False when the handle is not a render target.
    virtual bool SetRenderTarget(TextureHandle target) = 0;
    virtual void SetViewport(int left, int top, int right, int bottom) = 0;

    // State (implementations skip redundant changes).
    virtual void SetTexture(int stage, TextureHandle texture) = 0;
    virtual void SetBlendMode(BlendMode mode) = 0;
    virtual void SetAlphaBlend(bool on) = 0;
    virtual void SetAlphaTest(bool on) = 0;
    // Flat colour: texels give only their alpha, the colour is the vertex
    // colour alone (silhouettes of a sprite).
    virtual void SetFlatColour(bool on) = 0;
    virtual void SetSampler(int stage, TextureFilter filter, TextureAddress address) = 0;

    // Drawing. Quads are four vertices each (top-left, top-right, bottom-left,
    // bottom-right) drawn as two triangles; count is in vertices.
    virtual void DrawPrimitives(PrimitiveType type, const ScreenVertex* vertices, size_t count) = 0;
    virtual void DrawQuads(const ScreenVertex* vertices, size_t count) = 0;
    virtual void DrawPrimitives2(PrimitiveType type, const ScreenVertex2* vertices, size_t count) = 0;

    // Effects: GLSL programs loaded from a file pair "<path>.vert"/"<path>.frag"
    // (or one file with both stages); 0 when loading fails (logged).
    virtual EffectHandle LoadEffect(const std::string& path) = 0;
    virtual void DestroyEffect(EffectHandle effect) = 0;
    virtual void SetEffect(EffectHandle effect) = 0;
    virtual void SetEffectFloat(EffectHandle effect, const char* name, float value) = 0;
    // The effect draws go through now; 0 for the fixed program.
    virtual EffectHandle GetCurrentEffect() const = 0;

    // Read-back, rows top-down, 4 bytes a pixel in RGBA order. target 0 is the back buffer.
    virtual bool ReadPixels(TextureHandle target, int x, int y, int width, int height,
                            std::vector<uint8_t>& rgba) = 0;
    // Copies the back buffer into a render target of any size (stretched).
    virtual bool CopyBackBufferTo(TextureHandle target) = 0;
    // Copies a width x height block of a render target from (x, y) into
    // another texture at (destX, destY), texel for texel, rows top-down in
    // both. False (nothing copied) when the source is not a render target or
    // either block leaves its texture.
    virtual bool CopyTargetRegion(TextureHandle source, int x, int y, int width, int height, TextureHandle dest,
                                  int destX, int destY) = 0;

    virtual const GraphicsStats& GetStats() const = 0;
    virtual void ResetStats() = 0;
    // Off by default: counting the covered pixels walks every vertex drawn.
    virtual void SetFillCounting(bool on) = 0;

    // Why the last failing call (texture, render target, effect) failed, for
    // the caller to log; the platform layer does not log by itself.
    virtual std::string GetLastError() const { return {}; }

    // The widest and highest texture the device accepts.
    virtual int GetMaxTextureSide() const { return 16384; }
};
