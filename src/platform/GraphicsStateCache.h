#pragma once
#include "platform/IGraphicsDevice.h"

// Render state as last issued to the device. Both the real and the headless
// device go through this, so they skip exactly the same redundant changes and
// count the same statistics.
class GraphicsStateCache {
public:
    static constexpr int kStages = 2;

    struct Sampler {
        TextureFilter filter = TextureFilter::Linear;
        TextureAddress address = TextureAddress::Clamp;
        bool operator==(const Sampler&) const = default;
    };

    // The device defaults: normal alpha blending and alpha test on, linear
    // clamped sampling, nothing bound, drawing to the back buffer.
    void Reset()
    {
        for (int i = 0; i < kStages; ++i) {
            m_textures[i] = 0;
            m_samplers[i] = Sampler{};
        }
        m_blend = BlendMode::Normal;
        m_alphaBlend = true;
        m_alphaTest = true;
        m_flatColour = false;
        m_target = 0;
        m_effect = 0;
    }

    static bool ValidStage(int stage) { return stage >= 0 && stage < kStages; }

    // Each setter returns true when the state really changes (the caller then
    // issues it) and counts it.
    bool SetTexture(int stage, TextureHandle texture)
    {
        if (!ValidStage(stage) || m_textures[stage] == texture)
            return false;
        m_textures[stage] = texture;
        ++m_stats.textureBinds;
        return true;
    }
    bool SetBlendMode(BlendMode mode)
    {
        if (m_blend == mode)
            return false;
        m_blend = mode;
        ++m_stats.blendChanges;
        return true;
    }
    bool SetAlphaBlend(bool on) { return Change(m_alphaBlend, on); }
    bool SetAlphaTest(bool on) { return Change(m_alphaTest, on); }
    bool SetFlatColour(bool on) { return Change(m_flatColour, on); }
    bool SetSampler(int stage, Sampler sampler)
    {
        if (!ValidStage(stage))
            return false;
        return Change(m_samplers[stage], sampler);
    }
    bool SetEffect(EffectHandle effect) { return Change(m_effect, effect); }
    bool SetRenderTarget(TextureHandle target)
    {
        if (m_target == target)
            return false;
        m_target = target;
        ++m_stats.renderTargetSwitches;
        return true;
    }

    // A destroyed texture must not stay "bound": a later bind of whatever
    // replaces it has to reach the device.
    void Forget(TextureHandle texture)
    {
        for (int i = 0; i < kStages; ++i)
            if (m_textures[i] == texture)
                m_textures[i] = 0;
        if (m_target == texture)
            m_target = 0;
    }
    void ForgetEffect(EffectHandle effect)
    {
        if (m_effect == effect)
            m_effect = 0;
    }

    TextureHandle Texture(int stage) const { return ValidStage(stage) ? m_textures[stage] : 0; }
    BlendMode Blend() const { return m_blend; }
    bool AlphaBlend() const { return m_alphaBlend; }
    bool AlphaTest() const { return m_alphaTest; }
    bool FlatColour() const { return m_flatColour; }
    Sampler SamplerState(int stage) const { return ValidStage(stage) ? m_samplers[stage] : Sampler{}; }
    TextureHandle Target() const { return m_target; }
    EffectHandle Effect() const { return m_effect; }

    GraphicsStats& Stats() { return m_stats; }
    const GraphicsStats& Stats() const { return m_stats; }
    void ResetStats() { m_stats = GraphicsStats{}; }

private:
    template <typename T>
    bool Change(T& current, const T& wanted)
    {
        if (current == wanted)
            return false;
        current = wanted;
        ++m_stats.stateChanges;
        return true;
    }

    TextureHandle m_textures[kStages] = {0, 0};
    Sampler m_samplers[kStages];
    BlendMode m_blend = BlendMode::Normal;
    bool m_alphaBlend = true;
    bool m_alphaTest = true;
    bool m_flatColour = false;
    TextureHandle m_target = 0;
    EffectHandle m_effect = 0;
    GraphicsStats m_stats;
};
