#pragma once
#include "platform/FillMeter.h"
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
        for (Clean& c : m_clean)
            c = Clean{};
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

    // A clear that repeats the last one on a target nothing was drawn into
    // since changes no pixel, so the devices skip it: true when the clear of
    // the current target with this colour over this rectangle must reach
    // the device, and then it is noted. The last clears of a few targets are
    // kept (the back buffer and the targets a frame passes through).
    bool ClearChangesPixels(uint32_t argb, const FillMeter::Clip& rect)
    {
        Clean* slot = nullptr;
        for (Clean& c : m_clean) {
            if (c.valid && c.target == m_target) {
                if (c.colour == argb && rect.left >= c.rect.left && rect.top >= c.rect.top &&
                    rect.right <= c.rect.right && rect.bottom <= c.rect.bottom)
                    return false;
                slot = &c;
                break;
            }
        }
        if (!slot) {
            slot = &m_clean[0];
            for (Clean& c : m_clean) {
                if (!c.valid) {
                    slot = &c;
                    break;
                }
                if (c.age < slot->age)
                    slot = &c;
            }
        }
        *slot = Clean{true, m_target, argb, rect, ++m_clearCount};
        return true;
    }
    // A clear of the current target over `rect`: false when it changes no
    // pixel and is to be skipped; otherwise counted (and its fill).
    bool CountClear(uint32_t argb, const FillMeter::Clip& rect)
    {
        if (!ClearChangesPixels(argb, rect))
            return false;
        ++m_stats.clears;
        if (m_countFill)
            m_stats.pixelsFilled += rect.Area();
        return true;
    }
    // Anything drawn or copied into a target, or a present (the back buffer's
    // pixels are undefined after a swap), spoils what its last clear left.
    void Touched(TextureHandle target)
    {
        for (Clean& c : m_clean)
            if (c.target == target)
                c.valid = false;
    }
    void TouchedCurrent() { Touched(m_target); }

    // A destroyed texture must not stay "bound": a later bind of whatever
    // replaces it has to reach the device.
    void Forget(TextureHandle texture)
    {
        Touched(texture);
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
    void SetFillCounting(bool on) { m_countFill = on; }
    bool CountsFill() const { return m_countFill; }

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
    struct Clean {
        bool valid = false;
        TextureHandle target = 0;
        uint32_t colour = 0;
        FillMeter::Clip rect;
        unsigned age = 0; // the oldest gives way to a new target
    };
    static constexpr int kCleanTargets = 4;

    GraphicsStats m_stats;
    bool m_countFill = false;
    Clean m_clean[kCleanTargets];
    unsigned m_clearCount = 0;
};
