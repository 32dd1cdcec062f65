#include "battle/MaskedQuadBatch.h"

#include "engine/D3DEngine.h"
#include "engine/QuadRunBatch.h"
#include "engine/TextureAtlas.h"

MaskedQuadBatch& MaskedQuadBatch::Shared()
{
    static MaskedQuadBatch batch;
    return batch;
}

MaskedQuadBatch::MaskedQuadBatch()
{
    m_vertices.reserve(kMaxQuads * 6);
}

void MaskedQuadBatch::Begin(Mode mode, bool mirror, bool additive)
{
    if (m_open)
        End();
    m_mode = mode;
    m_mirror = mirror;
    m_additive = additive;
    m_open = true;
}

void MaskedQuadBatch::Add(TextureHandle mask, TextureHandle colour, const ScreenVertex2 quad[4])
{
    if (!m_open)
        Begin(m_mode, m_mirror, m_additive);
    // A clamped mask on the atlas is read from its page, which the quad runs
    // around this draw keep bound (a repeating one keeps its own texture).
    ScreenVertex2 onPage[4];
    if (!m_mirror) {
        ScreenVertex corners[4], moved[4];
        for (int i = 0; i < 4; ++i)
            corners[i] = {quad[i].x, quad[i].y, quad[i].z, quad[i].rhw, quad[i].colour, quad[i].u, quad[i].v};
        if (const TextureHandle page = TextureAtlas::Shared().Map(mask, corners, moved)) {
            for (int i = 0; i < 4; ++i) {
                onPage[i] = quad[i];
                onPage[i].u = moved[i].u;
                onPage[i].v = moved[i].v;
            }
            mask = page;
            quad = onPage;
        }
    }
    if ((mask != m_mask || colour != m_colour) && !m_vertices.empty())
        Flush();
    if (m_vertices.size() + 6 > kMaxQuads * 6)
        Flush();
    m_mask = mask;
    m_colour = colour;
    // Two triangles per quad so that a run of quads is one list.
    m_vertices.push_back(quad[0]);
    m_vertices.push_back(quad[1]);
    m_vertices.push_back(quad[2]);
    m_vertices.push_back(quad[2]);
    m_vertices.push_back(quad[1]);
    m_vertices.push_back(quad[3]);
}

void MaskedQuadBatch::End()
{
    Flush();
    m_open = false;
}

QuadRunBatch::Painter::State MaskedQuadBatch::StateNow() const
{
    return State{(static_cast<uint64_t>(m_mask) << 32) | m_colour,
                 static_cast<uint64_t>(m_mode) | (m_mirror ? 2u : 0u) | (m_additive ? 4u : 0u)};
}

void MaskedQuadBatch::Flush()
{
    if (m_vertices.empty())
        return;
    const State state = StateNow();
    QuadRunBatch& quads = QuadRunBatch::Shared();
    if (D3DEngine::GetInstance().GetDevice() && quads.IsOpen()) {
        // While the quad batch collects, these wait there and go out after
        // the quads under them.
        if (quads.AddPainted(*this, state, m_additive, m_vertices.data(), m_vertices.size())) {
            m_vertices.clear();
            return;
        }
        // The interface's quads go out first.
        quads.Flush();
    }
    Paint(state, m_vertices.data(), m_vertices.size());
    m_vertices.clear();
}

void MaskedQuadBatch::Paint(const State& state, const ScreenVertex2* vertices, size_t count)
{
    D3DEngine& engine = D3DEngine::GetInstance();
    IGraphicsDevice* device = engine.GetDevice();
    if (!device || count == 0)
        return;
    const auto mask = static_cast<TextureHandle>(state.a >> 32);
    const auto colour = static_cast<TextureHandle>(state.a & 0xFFFFFFFFu);
    const bool fromFirst = (state.b & 1u) != 0, mirror = (state.b & 2u) != 0, additive = (state.b & 4u) != 0;
    if (m_effect.GetFileName().empty())
        m_effect.Load("data/shaders/masked");
    const bool shaded = m_effect.Begin();
    // Without the shader a real device would show the bare mask: skip. The
    // recording device still records the draw.
    if (shaded || device->IsHeadless()) {
        if (shaded) {
            m_effect.SetFloat("uColourFromFirst", fromFirst ? 1.0f : 0.0f);
            m_effect.SetFloat("uMirror", mirror ? 1.0f : 0.0f);
        }
        if (additive)
            engine.SetAdditiveBlend();
        else
            engine.SetNormalBlend();
        engine.SetTexture(mask);
        device->SetTexture(1, colour);
        // Repeating patterns (flames, flows) run past 0..1 on both stages.
        const TextureAddress address = mirror ? TextureAddress::Wrap : TextureAddress::Clamp;
        device->SetSampler(0, TextureFilter::Linear, address);
        device->SetSampler(1, TextureFilter::Linear, address);
        device->DrawPrimitives2(PrimitiveType::TriangleList, vertices, count);
        ++m_drawCalls;
        device->SetSampler(0, TextureFilter::Linear, TextureAddress::Clamp);
        if (shaded)
            m_effect.End();
    }
}

void MaskedQuadBatch::ReleaseSecondStage()
{
    if (IGraphicsDevice* device = D3DEngine::GetInstance().GetDevice())
        device->SetTexture(1, 0);
}

void SetMaskedCorners(ScreenVertex2 quad[4], const ScreenVertex corners[4], uint8_t alpha, float u0, float v0,
                      float u1, float v1)
{
    const uint32_t colour = (static_cast<uint32_t>(alpha) << 24) | 0x00FFFFFFu;
    const float us[4] = {u0, u1, u0, u1};
    const float vs[4] = {v0, v0, v1, v1};
    for (int i = 0; i < 4; ++i) {
        quad[i].x = corners[i].x;
        quad[i].y = corners[i].y;
        quad[i].z = 0.0f;
        quad[i].rhw = 1.0f;
        quad[i].colour = colour;
        quad[i].u = corners[i].u;
        quad[i].v = corners[i].v;
        quad[i].u2 = us[i];
        quad[i].v2 = vs[i];
    }
}
