#include "gui/GUI_Transition.h"

#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "sim/SIM_Options.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr uint32_t kOpaqueWhite = 0xFFFFFFFFu;
constexpr int kRingSegments = 64; // a multiple of 8, so the square's corners are vertices

ScreenVertex MakeVertex(float x, float y, uint32_t colour, float u, float v)
{
    return ScreenVertex{x, y, 0.0f, 1.0f, colour, u, v};
}

uint32_t WhiteWithAlpha(float alpha)
{
    const auto a = static_cast<uint32_t>(std::lround(std::clamp(alpha, 0.0f, 1.0f) * 255.0f));
    return (a << 24) | 0x00FFFFFFu;
}

} // namespace

GUI_Transition& GUI_Transition::GetInstance()
{
    static GUI_Transition instance;
    return instance;
}

GUI_Transition::GUI_Transition() : m_mask(kMaskTexture) {}

void GUI_Transition::SetClock(const IClock* clock)
{
    m_timer = GTimer(clock);
}

void GUI_Transition::Reset()
{
    m_active = false;
    m_restartTimer = false;
    m_duration = 0.0f;
    m_wipeKind = kSlidingWipe;
    m_reportedMissingTarget = false;
}

bool GUI_Transition::IsEnabled() const
{
    SIM_Options& options = m_options ? *m_options : SIM_Options::GetInstance();
    return options.GetValue("TRANSITIONS") > 0.0f;
}

void GUI_Transition::ComputeScreenMetrics()
{
    D3DEngine& engine = D3DEngine::GetInstance();
    m_width = static_cast<float>(engine.GetScreenWidth());
    m_height = static_cast<float>(engine.GetScreenHeight());
    // The copy stretches the whole screen over the whole target, whatever its
    // size, so the captured frame always spans the target's full coordinates.
    m_uScale = 1.0f;
    m_vScale = 1.0f;
    m_radius = std::sqrt((m_width / 2.0f) * (m_width / 2.0f) + (m_height / 2.0f) * (m_height / 2.0f));
}

void GUI_Transition::Start(const std::function<void()>& renderOldMode)
{
    ComputeScreenMetrics();
    // Off: no capture either, so the old screen is not drawn for nothing.
    if (!IsEnabled())
        return;
    D3DEngine& engine = D3DEngine::GetInstance();
    // A change asked for in the middle of a frame captures that frame as it is.
    const bool sceneWasOpen = engine.IsSceneOpen();
    if (!sceneWasOpen)
        engine.ClearAndBeginScene();
    if (renderOldMode)
        renderOldMode();
    CaptureScreen();
    if (!sceneWasOpen)
        engine.EndScene();
    m_duration = kDurationMs;
    m_active = true;
    m_restartTimer = true;
    m_reportedMissingTarget = false;
}

bool GUI_Transition::CaptureScreen()
{
    D3DEngine& engine = D3DEngine::GetInstance();
    IGraphicsDevice* device = engine.GetDevice();
    const TextureHandle target = engine.FindRenderTarget(kTargetName);
    if (!device || !target || !device->CopyBackBufferTo(target)) {
        LOG_ERROR("Failed copying transition buffer");
        return false;
    }
    return true;
}

void GUI_Transition::Draw()
{
    if (!m_active)
        return;
    if (m_restartTimer) {
        m_timer.Start();
        m_restartTimer = false;
    }
    m_timer.Update();
    const float t = m_duration > 0.0f ? std::max(0.0f, static_cast<float>(m_timer.GetTotalMs()) / m_duration) : 2.0f;
    if (t > 1.0f) {
        m_active = false;
        if (m_wipeKind == kCircularWipe)
            m_wipeKind = kSlidingWipe;
        else if (m_alternate)
            m_wipeKind = kCircularWipe;
        return;
    }
    D3DEngine& engine = D3DEngine::GetInstance();
    const TextureHandle target = engine.FindRenderTarget(kTargetName);
    if (!target || !engine.GetDevice()) {
        // Without the target there is nothing captured: drawing would cover
        // the new screen with blank quads.
        if (!m_reportedMissingTarget)
            LOG_ERROR("Failed to set render target");
        m_reportedMissingTarget = true;
        return;
    }
    engine.SetNormalBlend();
    engine.SetTexture(target);
    // The captured frame is drawn opaque: the back buffer's alpha is no
    // coverage. Without shaders the fixed pipeline draws it as it is.
    if (engine.HasShaders() && m_maskEffect.GetFileName().empty())
        m_maskEffect.Load(kMaskEffect);
    // Begin reloads the effect after the engine dropped it (device reset).
    m_effectActive = engine.HasShaders() && m_maskEffect.Begin();
    if (m_effectActive)
        m_maskEffect.SetFloat("uUseMask", 0.0f);
    if (m_wipeKind == kSlidingWipe)
        DrawSlidingWipe(t);
    else
        DrawCircularWipe(t);
    if (m_effectActive)
        m_maskEffect.End();
    m_effectActive = false;
}

void GUI_Transition::BuildSlidingWipe(float t, float width, float height, ScreenVertex body[4], ScreenVertex edge[4])
{
    const float edgeX = width * (1.0f - 2.0f * t);
    const float uEdge = width > 0.0f ? edgeX / width : 0.0f;
    body[0] = MakeVertex(-0.5f, -0.5f, kOpaqueWhite, 0.0f, 0.0f);
    body[1] = MakeVertex(edgeX - 0.5f, -0.5f, kOpaqueWhite, uEdge, 0.0f);
    body[2] = MakeVertex(-0.5f, height - 0.5f, kOpaqueWhite, 0.0f, 1.0f);
    body[3] = MakeVertex(edgeX - 0.5f, height - 0.5f, kOpaqueWhite, uEdge, 1.0f);

    // The soft edge continues the old frame, fading out; cut at the screen's
    // right side so that its texture coordinates stay inside the capture.
    const float x0 = edgeX;
    const float x1 = std::min(edgeX + kSoftEdge, width);
    const float alphaRight = 1.0f - std::max(0.0f, x1 - edgeX) / kSoftEdge;
    const uint32_t left = kOpaqueWhite;
    const uint32_t right = WhiteWithAlpha(alphaRight);
    const float u0 = width > 0.0f ? x0 / width : 0.0f;
    const float u1 = width > 0.0f ? x1 / width : 0.0f;
    edge[0] = MakeVertex(x0 - 0.5f, -0.5f, left, u0, 0.0f);
    edge[1] = MakeVertex(x1 - 0.5f, -0.5f, right, u1, 0.0f);
    edge[2] = MakeVertex(x0 - 0.5f, height - 0.5f, left, u0, 1.0f);
    edge[3] = MakeVertex(x1 - 0.5f, height - 0.5f, right, u1, 1.0f);
}

float GUI_Transition::CircleHalfSide(float t, float radius)
{
    // A little beyond the corners at t = 1, so no rim of the old frame stays.
    return std::clamp(t, 0.0f, 1.0f) * radius * 1.02f / kMaskClear;
}

void GUI_Transition::DrawSlidingWipe(float t)
{
    ScreenVertex quads[8];
    BuildSlidingWipe(t, m_width, m_height, quads, quads + 4);
    for (int i = 0; i < 8; ++i) {
        quads[i].u *= m_uScale;
        quads[i].v *= m_vScale;
    }
    IGraphicsDevice* device = D3DEngine::GetInstance().GetDevice();
    const float edgeX = m_width * (1.0f - 2.0f * t);
    if (edgeX > 0.0f)
        device->DrawQuads(quads, 4);
    if (edgeX > -kSoftEdge && edgeX < m_width)
        device->DrawQuads(quads + 4, 4);
}

void GUI_Transition::DrawScreenRect(float x0, float y0, float x1, float y1)
{
    if (x1 <= x0 || y1 <= y0)
        return;
    const float w = m_width > 0.0f ? m_width : 1.0f;
    const float h = m_height > 0.0f ? m_height : 1.0f;
    ScreenVertex v[4] = {
        MakeVertex(x0 - 0.5f, y0 - 0.5f, kOpaqueWhite, x0 / w * m_uScale, y0 / h * m_vScale),
        MakeVertex(x1 - 0.5f, y0 - 0.5f, kOpaqueWhite, x1 / w * m_uScale, y0 / h * m_vScale),
        MakeVertex(x0 - 0.5f, y1 - 0.5f, kOpaqueWhite, x0 / w * m_uScale, y1 / h * m_vScale),
        MakeVertex(x1 - 0.5f, y1 - 0.5f, kOpaqueWhite, x1 / w * m_uScale, y1 / h * m_vScale),
    };
    D3DEngine::GetInstance().GetDevice()->DrawQuads(v, 4);
}

void GUI_Transition::DrawCircularWipe(float t)
{
    const float cx = m_width / 2.0f;
    const float cy = m_height / 2.0f;
    const float half = CircleHalfSide(t, m_radius);
    const float x0 = std::clamp(cx - half, 0.0f, m_width);
    const float x1 = std::clamp(cx + half, 0.0f, m_width);
    const float y0 = std::clamp(cy - half, 0.0f, m_height);
    const float y1 = std::clamp(cy + half, 0.0f, m_height);
    // Four plain bands around the masked square, then the square itself.
    DrawScreenRect(0.0f, 0.0f, m_width, y0);
    DrawScreenRect(0.0f, y1, m_width, m_height);
    DrawScreenRect(0.0f, y0, x0, y1);
    DrawScreenRect(x1, y0, m_width, y1);
    DrawMaskedSquare(cx, cy, half);
}

void GUI_Transition::DrawMaskedSquare(float cx, float cy, float half)
{
    if (half <= 0.0f)
        return;
    D3DEngine& engine = D3DEngine::GetInstance();
    IGraphicsDevice* device = engine.GetDevice();
    const TextureHandle mask = m_mask.GetHandle();
    if (!m_effectActive || !mask) {
        DrawRingFallback(cx, cy, half);
        return;
    }
    const float w = m_width > 0.0f ? m_width : 1.0f;
    const float h = m_height > 0.0f ? m_height : 1.0f;
    const float xs[2] = {cx - half, cx + half};
    const float ys[2] = {cy - half, cy + half};
    ScreenVertex2 v[4];
    for (int i = 0; i < 4; ++i) {
        const float x = xs[i & 1];
        const float y = ys[i >> 1];
        v[i] = ScreenVertex2{x - 0.5f, y - 0.5f, 0.0f, 1.0f, kOpaqueWhite, x / w * m_uScale, y / h * m_vScale,
                             static_cast<float>(i & 1), static_cast<float>(i >> 1)};
    }
    m_maskEffect.SetFloat("uUseMask", 1.0f);
    device->SetTexture(1, mask);
    device->DrawPrimitives2(PrimitiveType::TriangleStrip, v, 4);
    // Stage 1 off again for everyone else.
    device->SetTexture(1, 0);
    m_maskEffect.SetFloat("uUseMask", 0.0f);
}

void GUI_Transition::DrawRingFallback(float cx, float cy, float half)
{
    // Without a second texture stage the old frame is drawn as a ring between
    // the disc and the square: a hard edge instead of the soft mask.
    const float r = half * (kMaskClear + kMaskOpaque) / 2.0f;
    const float w = m_width > 0.0f ? m_width : 1.0f;
    const float h = m_height > 0.0f ? m_height : 1.0f;
    ScreenVertex v[2 * (kRingSegments + 1)];
    for (int k = 0; k <= kRingSegments; ++k) {
        const float a = 6.2831853f * static_cast<float>(k) / kRingSegments;
        const float c = std::cos(a);
        const float s = std::sin(a);
        const float toSide = half / std::max(std::fabs(c), std::fabs(s));
        const float ix = cx + r * c, iy = cy + r * s;
        const float ox = cx + toSide * c, oy = cy + toSide * s;
        v[2 * k] = MakeVertex(ix - 0.5f, iy - 0.5f, kOpaqueWhite, ix / w * m_uScale, iy / h * m_vScale);
        v[2 * k + 1] = MakeVertex(ox - 0.5f, oy - 0.5f, kOpaqueWhite, ox / w * m_uScale, oy / h * m_vScale);
    }
    D3DEngine::GetInstance().GetDevice()->DrawPrimitives(PrimitiveType::TriangleStrip, v, 2 * (kRingSegments + 1));
}
