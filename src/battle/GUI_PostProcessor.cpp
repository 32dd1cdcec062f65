#include "battle/GUI_PostProcessor.h"

#include <algorithm>
#include <cmath>

#include "battle/BattleView.h"
#include "battle/GUI_BattleGUI.h"
#include "battle/GUI_Map.h"
#include "engine/D3DEngine.h"
#include "engine/Effect.h"
#include "engine/GDebugLog.h"

namespace {

constexpr const char* kTarget1 = "rt_offscreen1";
constexpr const char* kTarget2 = "rt_offscreen2";
constexpr uint32_t kOpaqueBlack = 0xFF000000u;
// How far past the screen's share of a target the passes may read, in screen
// pixels: the motion blur's reach (16 along the camera's jump) and the copy's
// filter, with room to spare.
constexpr float kReadMarginPixels = 32.0f;

} // namespace

GUI_PostProcessor::GUI_PostProcessor()
{
    std::fill(std::begin(passes), std::end(passes), static_cast<int>(NONE));
    for (ScreenVertex& v : quad)
        v = ScreenVertex{0.0f, 0.0f, 0.0f, 1.0f, 0xFFFFFFFFu, 0.0f, 0.0f};
}

GUI_PostProcessor& GUI_PostProcessor::GetInstance()
{
    static GUI_PostProcessor instance;
    return instance;
}

int GUI_PostProcessor::ChooseBeginCode(const Frame& f)
{
    return f.scenarioShader || f.motionBlurOption ? TO_OFFSCREEN1 : NONE;
}

bool GUI_PostProcessor::BlursThisFrame(const Frame& f)
{
    return !f.paused && f.motionBlurOption && f.blurAmount * 0.5f > 0.0f && !f.following;
}

void GUI_PostProcessor::Append(int code)
{
    if (passCount >= kMaxPasses) {
        LOG_ERROR("Too much post processing attempted");
        return;
    }
    passes[passCount++] = code;
}

void GUI_PostProcessor::BuildPassList(const Frame& f)
{
    frame = f;
    std::fill(std::begin(passes), std::end(passes), static_cast<int>(NONE));
    passCount = 0;
    clearIsCovered = false;

    // The screen's share of the (larger) target: only where the frame was drawn.
    const float u = f.targetWidth > 0.0f ? f.screenWidth / f.targetWidth : 1.0f;
    const float v = f.targetHeight > 0.0f ? f.screenHeight / f.targetHeight : 1.0f;
    // The quad starts a row above the screen: on the back buffer the
    // rasteriser leaves a top edge running through a row's centres out, and
    // the screen's top row would keep whatever was there. Its texture
    // coordinates run on at the same rate, so every row reads what it did.
    const float top = f.screenHeight > 0.0f ? -1.0f : 0.0f;
    const float topV = f.screenHeight > 0.0f ? -v / f.screenHeight : 0.0f;
    const float xs[4] = {0.0f, f.screenWidth, 0.0f, f.screenWidth};
    const float ys[4] = {top, top, f.screenHeight, f.screenHeight};
    const float us[4] = {0.0f, u, 0.0f, u};
    const float vs[4] = {topV, topV, v, v};
    for (int i = 0; i < 4; ++i)
        quad[i] = ScreenVertex{xs[i], ys[i], 0.0f, 1.0f, 0xFFFFFFFFu, us[i], vs[i]};

    if (beginCode != TO_OFFSCREEN1)
        return;
    const bool blur = BlursThisFrame(f);
    if (blur && f.scenarioShader) {
        for (int code : {TO_OFFSCREEN2, BIND_OFFSCREEN1, SCENARIO_EFFECT, RESTORE_TARGET, CLEAR, BIND_OFFSCREEN2, BLUR})
            Append(code);
        clearIsCovered = CoversBackBuffer(f);
        return;
    }
    for (int code : {RESTORE_TARGET, CLEAR, BIND_OFFSCREEN1})
        Append(code);
    Append(blur ? BLUR : (f.scenarioShader ? SCENARIO_EFFECT : COPY));
    const int last = passes[passCount - 1];
    clearIsCovered = CoversBackBuffer(f) && (last == BLUR || last == COPY || (last == SCENARIO_EFFECT && f.scenarioCovers));
}

bool GUI_PostProcessor::CoversBackBuffer(const Frame& f)
{
    return f.backWidth > 0.0f && f.backHeight > 0.0f && f.screenWidth >= f.backWidth &&
           f.screenHeight >= f.backHeight;
}

GUI_PostProcessor::Frame GUI_PostProcessor::ReadFrame() const
{
    GUI_BattleGUI& gui = GUI_BattleGUI::GetInstance();
    const GUI_Map& map = GUI_Map::GetInstance();
    D3DEngine& engine = D3DEngine::GetInstance();
    Frame f;
    f.scenarioShader = gui.GetEffect(GUI_BattleGUI::FX_SCENARIO).IsLoaded();
    f.scenarioCovers = gui.GetEffect(GUI_BattleGUI::FX_SCENARIO).CoversItsQuad();
    f.motionBlurOption = gui.motionBlurOn != 0;
    f.paused = gui.paused;
    f.following = gui.cameraFollowMode == 1;
    f.blurAmount = map.motionBlur;
    f.blurDirection = map.motionBlurDirection;
    f.screenWidth = static_cast<float>(map.GetScreenWidth());
    f.screenHeight = static_cast<float>(map.GetScreenHeight());
    if (const IGraphicsDevice* device = engine.GetDevice()) {
        f.backWidth = static_cast<float>(device->GetBackBufferWidth());
        f.backHeight = static_cast<float>(device->GetBackBufferHeight());
    }
    int w = 0, h = 0;
    const TextureHandle target = engine.FindRenderTarget(kTarget1);
    if (target && engine.GetDevice() && engine.GetDevice()->GetTextureSize(target, w, h)) {
        f.targetWidth = static_cast<float>(w);
        f.targetHeight = static_cast<float>(h);
    }
    return f;
}

bool GUI_PostProcessor::HasTargets()
{
    D3DEngine& engine = D3DEngine::GetInstance();
    return engine.FindRenderTarget(kTarget1) && engine.FindRenderTarget(kTarget2);
}

bool GUI_PostProcessor::WillCoverBackBuffer() const
{
    // The end passes then either cover the back buffer whole or clear it.
    return ChooseBeginCode(ReadFrame()) == TO_OFFSCREEN1 && HasTargets();
}

void GUI_PostProcessor::BeginFrame()
{
    frame = ReadFrame();
    beginCode = ChooseBeginCode(frame);
    D3DEngine& engine = D3DEngine::GetInstance();
    if (beginCode == TO_OFFSCREEN1 && !HasTargets()) {
        // Without the targets the world stays on the back buffer: the end
        // passes would clear it away.
        LOG_ERROR_ONCE("GUI_PostProcessor: rt_offscreen1 or rt_offscreen2 not found");
        beginCode = NONE;
    }
    // The world goes straight to the back buffer: a clear the frame left to
    // us must happen now.
    if (beginCode != TO_OFFSCREEN1)
        engine.ClearPendingBackBuffer();
    RunPass(beginCode);
}

void GUI_PostProcessor::EndFrame()
{
    BuildPassList(ReadFrame());
    D3DEngine& engine = D3DEngine::GetInstance();
    engine.SetNormalBlend();
    for (int code : passes)
        RunPass(code);
    engine.ClearTextureCache();
}

void GUI_PostProcessor::RenderToOffscreen2()
{
    RunPass(TO_OFFSCREEN2);
}

void GUI_PostProcessor::DrawQuad()
{
    IGraphicsDevice* device = D3DEngine::GetInstance().GetDevice();
    if (!device)
        return;
    // A full-screen pass replaces what is there: no blending with it.
    device->SetAlphaBlend(false);
    device->DrawQuads(quad, 4);
    device->SetAlphaBlend(true);
}

bool GUI_PostProcessor::RunEffect(Effect& effect)
{
    const bool begun = effect.IsLoaded() && effect.Begin();
    DrawQuad();
    if (begun)
        effect.End();
    return begun;
}

void GUI_PostProcessor::ClearReadPart(bool screenCovered)
{
    D3DEngine& engine = D3DEngine::GetInstance();
    IGraphicsDevice* device = engine.GetDevice();
    // Only the part the passes read: the rest of the (larger) target is never
    // shown. The viewport stays, so the world's draws past it cost nothing.
    if (frame.screenWidth > 0.0f && frame.screenHeight > 0.0f && frame.targetWidth > 0.0f &&
        frame.targetHeight > 0.0f) {
        // The world lies on the target pixel for pixel; the passes' offsets
        // are in the target's texture units scaled to the screen.
        const float sx = std::max(1.0f, frame.targetWidth / frame.screenWidth);
        const float sy = std::max(1.0f, frame.targetHeight / frame.screenHeight);
        const int right = static_cast<int>(std::ceil(frame.screenWidth + kReadMarginPixels * sx));
        const int bottom = static_cast<int>(std::ceil(frame.screenHeight + kReadMarginPixels * sy));
        const int readRight = std::min(right, static_cast<int>(frame.targetWidth));
        const int readBottom = std::min(bottom, static_cast<int>(frame.targetHeight));
        s_readRight = static_cast<float>(readRight);
        s_readBottom = static_cast<float>(readBottom);
        if (screenCovered) {
            // The backdrop will replace the screen's part: only the margin
            // past it, which the world draws into and the passes read,
            // needs clearing.
            const int sw = static_cast<int>(frame.screenWidth), sh = static_cast<int>(frame.screenHeight);
            if (readRight > sw) {
                engine.SetViewport(sw, 0, readRight, readBottom);
                device->Clear(kOpaqueBlack);
            }
            if (readBottom > sh) {
                engine.SetViewport(0, sh, std::min(sw, readRight), readBottom);
                device->Clear(kOpaqueBlack);
            }
            engine.SetViewport(0, 0, readRight, readBottom);
            return;
        }
        engine.SetViewport(0, 0, readRight, readBottom);
    }
    device->Clear(kOpaqueBlack);
}

void GUI_PostProcessor::RunPass(int code)
{
    D3DEngine& engine = D3DEngine::GetInstance();
    IGraphicsDevice* device = engine.GetDevice();
    if (!device)
        return;
    switch (code) {
    case TO_OFFSCREEN1:
        savedBackBuffer = true;
        if (engine.SetRenderTarget(kTarget1))
            ClearReadPart(GUI_Map::GetInstance().BackdropCoversScreen());
        break;
    case TO_OFFSCREEN2:
        // Cleared only in the frames that draw into it: a full-target fill
        // whose output no other frame reads.
        if (engine.SetRenderTarget(kTarget2))
            ClearReadPart(false);
        break;
    case BIND_OFFSCREEN1:
    case BIND_OFFSCREEN2:
        engine.ClearTextureCache();
        engine.SetTexture(engine.FindRenderTarget(code == BIND_OFFSCREEN1 ? kTarget1 : kTarget2));
        break;
    case SCENARIO_EFFECT: {
        Effect& effect = GUI_BattleGUI::GetInstance().GetEffect(GUI_BattleGUI::FX_SCENARIO);
        // A scenario's shader may place things on the screen: where the
        // frame ends in the target's texture coordinates.
        if (effect.IsLoaded()) {
            effect.SetFloat("uvscalex", quad[3].u);
            effect.SetFloat("uvscaley", quad[3].v);
        }
        RunEffect(effect);
        break;
    }
    case RESTORE_TARGET:
        if (savedBackBuffer)
            engine.SetRenderTarget("");
        savedBackBuffer = false;
        break;
    case BLUR: {
        Effect& blur = GUI_BattleGUI::GetInstance().GetEffect(GUI_BattleGUI::FX_MOTIONBLUR);
        const float d = frame.blurDirection * BattleView::kDegToRad;
        if (blur.IsLoaded()) {
            blur.SetFloat("bluroffsetx", frame.screenWidth > 0.0f ? std::sin(d) / frame.screenWidth : 0.0f);
            blur.SetFloat("bluroffsety", frame.screenHeight > 0.0f ? std::cos(d) / frame.screenHeight : 0.0f);
            blur.SetFloat("blurintensity", std::clamp(frame.blurAmount * 0.5f, 0.0f, 1.0f));
        }
        RunEffect(blur);
        break;
    }
    case COPY:
        DrawQuad();
        break;
    case CLEAR:
        if (!clearIsCovered)
            device->Clear(kOpaqueBlack);
        break;
    default:
        break;
    }
}
