#include "platform/HeadlessGraphicsDevice.h"

#include "platform/DdsImage.h"
#include "platform/FillMeter.h"

#include <cstdio>
#include <cstring>

namespace {

bool ReadableFile(const std::string& path)
{
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return false;
    std::fclose(f);
    return true;
}

// Vertices a primitive list really uses: whole primitives only.
size_t UsableVertices(PrimitiveType type, size_t count)
{
    switch (type) {
    case PrimitiveType::TriangleList: return count - count % 3;
    case PrimitiveType::TriangleStrip: return count >= 3 ? count : 0;
    case PrimitiveType::LineList: return count - count % 2;
    }
    return 0;
}

} // namespace

HeadlessGraphicsDevice::HeadlessGraphicsDevice(int width, int height, bool supportsShaders)
    : m_width(width > 0 ? width : 1), m_height(height > 0 ? height : 1),
      m_supportsShaders(supportsShaders)
{
    m_cache.Reset();
    SetViewport(0, 0, m_width, m_height);
}

void HeadlessGraphicsDevice::ResizeBackBuffer(int width, int height)
{
    if (width <= 0 || height <= 0)
        return;
    m_cache.Touched(0);
    m_width = width;
    m_height = height;
    if (m_cache.Target() == 0)
        SetViewport(0, 0, width, height);
}

TextureHandle HeadlessGraphicsDevice::CreateTexture(const TextureData& data)
{
    if (!ValidateTextureData(data, &m_lastError))
        return 0;
    Texture t;
    t.width = data.width;
    t.height = data.height;
    t.format = data.format;
    t.levels = static_cast<int>(data.levels.size());
    TextureHandle handle = m_nextTexture++;
    m_textures[handle] = t;
    ++m_cache.Stats().texturesCreated;
    return handle;
}

TextureHandle HeadlessGraphicsDevice::CreateRenderTarget(int width, int height)
{
    if (width <= 0 || height <= 0 || width > kMaxTextureSide || height > kMaxTextureSide) {
        m_lastError = "bad render target size " + std::to_string(width) + "x" + std::to_string(height);
        return 0;
    }
    Texture t;
    t.width = width;
    t.height = height;
    t.renderTarget = true;
    TextureHandle handle = m_nextTexture++;
    m_textures[handle] = t;
    ++m_cache.Stats().texturesCreated;
    return handle;
}

void HeadlessGraphicsDevice::DestroyTexture(TextureHandle texture)
{
    auto it = m_textures.find(texture);
    if (it == m_textures.end())
        return;
    if (m_cache.Target() == texture)
        SetRenderTarget(0);
    m_cache.Forget(texture);
    m_textures.erase(it);
    ++m_cache.Stats().texturesDestroyed;
}

bool HeadlessGraphicsDevice::GetTextureSize(TextureHandle texture, int& width, int& height) const
{
    auto it = m_textures.find(texture);
    if (it == m_textures.end())
        return false;
    width = it->second.width;
    height = it->second.height;
    return true;
}

bool HeadlessGraphicsDevice::IsRenderTarget(TextureHandle texture) const
{
    auto it = m_textures.find(texture);
    return it != m_textures.end() && it->second.renderTarget;
}

bool HeadlessGraphicsDevice::TargetSize(TextureHandle target, int& width, int& height) const
{
    if (target == 0) {
        width = m_width;
        height = m_height;
        return true;
    }
    if (!IsRenderTarget(target))
        return false;
    return GetTextureSize(target, width, height);
}

void HeadlessGraphicsDevice::Clear(uint32_t argb)
{
    m_lastClear = argb;
    int w = 0, h = 0;
    TargetSize(m_cache.Target(), w, h);
    m_cache.CountClear(argb, FillMeter::ClipOf(m_viewport, w, h));
}

void HeadlessGraphicsDevice::Present()
{
    m_cache.Touched(0);
    ++m_cache.Stats().presents;
}

bool HeadlessGraphicsDevice::SetRenderTarget(TextureHandle target)
{
    int w = 0, h = 0;
    if (!TargetSize(target, w, h)) {
        m_lastError = "not a render target: " + std::to_string(target);
        return false;
    }
    if (m_cache.SetRenderTarget(target))
        SetViewport(0, 0, w, h); // a new target starts with its whole surface
    return true;
}

void HeadlessGraphicsDevice::SetViewport(int left, int top, int right, int bottom)
{
    m_viewport[0] = left;
    m_viewport[1] = top;
    m_viewport[2] = right;
    m_viewport[3] = bottom;
}

void HeadlessGraphicsDevice::GetViewport(int& left, int& top, int& right, int& bottom) const
{
    left = m_viewport[0];
    top = m_viewport[1];
    right = m_viewport[2];
    bottom = m_viewport[3];
}

void HeadlessGraphicsDevice::SetTexture(int stage, TextureHandle texture)
{
    if (texture != 0 && m_textures.count(texture) == 0)
        texture = 0; // a stale handle binds nothing rather than garbage
    m_cache.SetTexture(stage, texture);
}

void HeadlessGraphicsDevice::SetBlendMode(BlendMode mode) { m_cache.SetBlendMode(mode); }
void HeadlessGraphicsDevice::SetAlphaBlend(bool on) { m_cache.SetAlphaBlend(on); }
void HeadlessGraphicsDevice::SetAlphaTest(bool on) { m_cache.SetAlphaTest(on); }
void HeadlessGraphicsDevice::SetFlatColour(bool on) { m_cache.SetFlatColour(on); }

void HeadlessGraphicsDevice::SetSampler(int stage, TextureFilter filter, TextureAddress address)
{
    m_cache.SetSampler(stage, {filter, address});
}

void HeadlessGraphicsDevice::Record(PrimitiveType type, bool quads, bool twoTextures,
                                    const ScreenVertex* vertices, size_t stride, size_t count)
{
    m_cache.TouchedCurrent();
    GraphicsStats& stats = m_cache.Stats();
    ++stats.drawCalls;
    stats.verticesDrawn += static_cast<int>(count);
    int w = 0, h = 0;
    double pixels = 0;
    if (m_cache.CountsFill() && TargetSize(m_cache.Target(), w, h))
        pixels = FillMeter::Covered(type, quads, vertices, stride, count, FillMeter::ClipOf(m_viewport, w, h));
    stats.pixelsFilled += pixels;
    if (m_hashing) {
        const uint32_t state[] = {static_cast<uint32_t>(type), quads, twoTextures, static_cast<uint32_t>(count),
                                  m_cache.Texture(0), m_cache.Target(), static_cast<uint32_t>(m_cache.Blend()),
                                  m_cache.AlphaBlend(), m_cache.FlatColour(), m_cache.Effect()};
        HashBytes(state, sizeof(state));
        const auto* bytes = reinterpret_cast<const uint8_t*>(vertices);
        for (size_t i = 0; i < count; ++i)
            HashBytes(bytes + i * stride, stride);
    }
    if (m_draws.size() >= kMaxRecordedDraws)
        return;
    DrawRecord r;
    r.type = type;
    r.quads = quads;
    r.twoTextures = twoTextures;
    r.vertexCount = count;
    r.texture = m_cache.Texture(0);
    r.target = m_cache.Target();
    r.blend = m_cache.Blend();
    r.alphaBlend = m_cache.AlphaBlend();
    r.flatColour = m_cache.FlatColour();
    r.effect = m_cache.Effect();
    r.pixels = pixels;
    size_t kept = count < kMaxRecordedVertices ? count : kMaxRecordedVertices;
    r.vertices.resize(kept);
    const auto* bytes = reinterpret_cast<const uint8_t*>(vertices);
    for (size_t i = 0; i < kept; ++i)
        std::memcpy(&r.vertices[i], bytes + i * stride, sizeof(ScreenVertex));
    m_draws.push_back(std::move(r));
}

void HeadlessGraphicsDevice::HashBytes(const void* data, size_t size)
{
    const auto* bytes = static_cast<const uint8_t*>(data);
    for (size_t i = 0; i < size; ++i)
        m_hash = (m_hash ^ bytes[i]) * 1099511628211ull;
}

void HeadlessGraphicsDevice::DrawPrimitives(PrimitiveType type, const ScreenVertex* vertices, size_t count)
{
    size_t n = vertices ? UsableVertices(type, count) : 0;
    if (n > 0)
        Record(type, false, false, vertices, sizeof(ScreenVertex), n);
}

void HeadlessGraphicsDevice::DrawQuads(const ScreenVertex* vertices, size_t count)
{
    size_t n = vertices ? count - count % 4 : 0;
    if (n > 0)
        Record(PrimitiveType::TriangleList, true, false, vertices, sizeof(ScreenVertex), n);
}

void HeadlessGraphicsDevice::DrawPrimitives2(PrimitiveType type, const ScreenVertex2* vertices, size_t count)
{
    size_t n = vertices ? UsableVertices(type, count) : 0;
    // The two layouts share their first 28 bytes, so the record keeps those.
    if (n > 0)
        Record(type, false, true, reinterpret_cast<const ScreenVertex*>(vertices), sizeof(ScreenVertex2), n);
}

EffectHandle HeadlessGraphicsDevice::LoadEffect(const std::string& path)
{
    if (!m_supportsShaders) {
        m_lastError = "no shader support for effect " + path;
        return 0;
    }
    if (!ReadableFile(path + ".frag")) {
        m_lastError = "cannot read effect " + path + ".frag";
        return 0;
    }
    EffectHandle handle = m_nextEffect++;
    m_effects[handle].path = path;
    return handle;
}

void HeadlessGraphicsDevice::DestroyEffect(EffectHandle effect)
{
    m_cache.ForgetEffect(effect);
    m_effects.erase(effect);
}

void HeadlessGraphicsDevice::SetEffect(EffectHandle effect)
{
    if (effect != 0 && m_effects.count(effect) == 0)
        effect = 0;
    m_cache.SetEffect(effect);
}

void HeadlessGraphicsDevice::SetEffectFloat(EffectHandle effect, const char* name, float value)
{
    auto it = m_effects.find(effect);
    if (it == m_effects.end() || !name)
        return;
    it->second.floats[name] = value;
}

bool HeadlessGraphicsDevice::GetEffectFloat(EffectHandle effect, const std::string& name, float& value) const
{
    auto it = m_effects.find(effect);
    if (it == m_effects.end())
        return false;
    auto f = it->second.floats.find(name);
    if (f == it->second.floats.end())
        return false;
    value = f->second;
    return true;
}

bool HeadlessGraphicsDevice::ReadPixels(TextureHandle target, int x, int y, int width, int height,
                                        std::vector<uint8_t>& rgba)
{
    int tw = 0, th = 0;
    if (!TargetSize(target, tw, th) || x < 0 || y < 0 || width <= 0 || height <= 0 ||
        width > tw - x || height > th - y) {
        m_lastError = "read outside the target";
        return false;
    }
    rgba.assign(static_cast<size_t>(width) * height * 4, 0);
    for (size_t i = 3; i < rgba.size(); i += 4)
        rgba[i] = 255;
    return true;
}

bool HeadlessGraphicsDevice::CopyTargetRegion(TextureHandle source, int x, int y, int width, int height,
                                              TextureHandle dest, int destX, int destY)
{
    const auto from = m_textures.find(source);
    const auto to = m_textures.find(dest);
    if (from == m_textures.end() || !from->second.renderTarget || to == m_textures.end() ||
        !BlockInside(x, y, width, height, from->second.width, from->second.height) ||
        !BlockInside(destX, destY, width, height, to->second.width, to->second.height)) {
        m_lastError = "bad region copy";
        return false;
    }
    m_cache.Touched(dest);
    ++m_regionCopies;
    return true;
}

bool HeadlessGraphicsDevice::CopyBackBufferTo(TextureHandle target)
{
    if (!IsRenderTarget(target)) {
        m_lastError = "copy target is not a render target";
        return false;
    }
    m_cache.Touched(target);
    return true;
}
