#pragma once
#include <cstdint>
#include <vector>

#include "engine/Effect.h"
#include "engine/QuadRunBatch.h"
#include "platform/IGraphicsDevice.h"

// Two-texture quads, mostly drawn additively: stage 0 is a mask (a hull silhouette,
// a flow pattern, a glow) whose alpha limits the quad, stage 1 the colour
// picture. ColourFromStage1 takes the colour from the second texture (splats,
// tractor bands, ECM crackle, smart-bomb flash); ColourFromStage0 keeps the
// first texture's colour and lets the second only shape the alpha (engine
// flames under their scrolling mask). Quads of one state collect into one
// draw; a new state or End hands what is collected to the shared quad batch
// while it collects, where it waits for the batch's runs and joins the
// other masked quads of its state (a ship's shield blast does not split the
// runs of the ships drawn after it), or else draws it at once.
class MaskedQuadBatch : private QuadRunBatch::Painter {
public:
    enum Mode { ColourFromStage1 = 0, ColourFromStage0 = 1 };
    static constexpr size_t kMaxQuads = 512;

    static MaskedQuadBatch& Shared();

    // mirror: patterns repeat beyond 0..1 (the second texture mirrored);
    // additive false: normal alpha blending (hull pieces cut by a mask).
    void Begin(Mode mode, bool mirror, bool additive = true);
    // Corners top-left, top-right, bottom-left, bottom-right.
    void Add(TextureHandle mask, TextureHandle colour, const ScreenVertex2 quad[4]);
    void End();
    // Draws keep the second texture bound (only they and the shaders that
    // bind their own read it), so that masked draws of one colour texture in
    // a row bind it once; the battle lets go of it after its world layers.
    static void ReleaseSecondStage();

    // Draw calls made through this batch since the last reset (tests, bench).
    int GetDrawCalls() const { return m_drawCalls; }
    void ResetCounters() { m_drawCalls = 0; }

private:
    MaskedQuadBatch();
    void Flush();
    // Mask and colour in a; mode, mirror and blend in b.
    State StateNow() const;
    // Draws in `state`: for the quad batch when these waited there, or at once.
    void Paint(const State& state, const ScreenVertex2* vertices, size_t count) override;

    Effect m_effect;
    std::vector<ScreenVertex2> m_vertices; // reserved once
    TextureHandle m_mask = 0;
    TextureHandle m_colour = 0;
    Mode m_mode = ColourFromStage1;
    bool m_mirror = false;
    bool m_additive = true;
    bool m_open = false;
    int m_drawCalls = 0;
};

// A quad of four corners with white vertex colour of this alpha and the
// second texture set covering (u0, v0)..(u1, v1).
void SetMaskedCorners(ScreenVertex2 quad[4], const ScreenVertex corners[4], uint8_t alpha, float u0, float v0,
                      float u1, float v1);
