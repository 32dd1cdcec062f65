#include "battle/GUI_Map.h"

#include "app/APP_UsageMetrics.h"
#include "app/Game.h"
#include "battle/GUI_BattleGUI.h"
#include "battle/CameraShake.h"
#include "battle/GUI_Starfield.h"
#include "battle/NebulaLightning.h"
#include "engine/CInput.h"
#include "engine/D3DEngine.h"
#include "engine/QuadRunBatch.h"
#include "engine/GeometryHelpers.h"
#include "platform/KeyCodes.h"
#include "sim/SIM_Options.h"
#include "sim/SIM_Scenario.h"

#include <algorithm>

float ZoomScale = 1.0f;
float CameraCentre[2] = {0.0f, 0.0f};

GUI_Map& GUI_Map::Make()
{
    static GUI_Map instance;
    s_instance = &instance;
    return instance;
}

void GUI_Map::SetScreenSize(int width, int height)
{
    screenWidth = std::max(0, width);
    screenHeight = std::max(0, height);
}

namespace {
// Wherever the battle screen is part of the program, the simulation's map is
// this one (made on first use, as before).
const bool kAreaProvided = [] {
    SIM_BattleArea::SetProvider([]() -> SIM_BattleArea& { return GUI_Map::GetInstance(); });
    return true;
}();
} // namespace

void GUI_Map::SetUpForBattle(const SIM_Scenario* scenario)
{
    if (scenario) {
        mapWidth = scenario->GetMapSizeX();
        mapHeight = scenario->GetMapSizeY();
    }
    D3DEngine& engine = D3DEngine::GetInstance();
    if (engine.IsInitialised())
        SetScreenSize(engine.GetScreenWidth(), engine.GetScreenHeight());
    dragging = 0;
    dragStartMouse[0] = dragStartMouse[1] = 0.0f;
    motionBlur = 0.0f;
    // The last battle's shake says nothing of this one's centre.
    shakenCentre[0] = shakenCentre[1] = std::numeric_limits<float>::quiet_NaN();

    if (!HasScreen() || mapWidth <= 0.0f || mapHeight <= 0.0f) {
        // No screen to fill: the whole map is in view, as for the battle tools.
        minZoom = 1.0f;
        ZoomScale = zoomTarget = 1.0f;
        viewLeft = viewTop = 0.0f;
        viewRight = mapWidth;
        viewBottom = mapHeight;
        CameraCentre[0] = centreX = previousCentre[0] = mapWidth * 0.5f;
        CameraCentre[1] = centreY = previousCentre[1] = mapHeight * 0.5f;
        Publish();
        return;
    }

    const float sw = static_cast<float>(screenWidth);
    const float sh = static_cast<float>(screenHeight);
    const float r = sw / mapWidth;
    minZoom = r <= 1.0f ? SIM_Options::GetInstance().GetValue("OPTIONS_MINZOOM") : r;
    if (minZoom < sw / mapHeight)
        minZoom = sw / mapHeight;
    // A nonsense option must not give a zero or negative zoom.
    if (!(minZoom > 0.0f))
        minZoom = 1.0f;
    maxZoom = std::max(maxZoom, minZoom);
    ZoomScale = zoomTarget = minZoom;

    viewLeft = viewTop = viewRight = viewBottom = 0.0f;
    greatestLeft = mapWidth - sw;
    greatestTop = mapHeight - sh;

    backdrop.SetName(scenario ? scenario->GetBackdrop() : std::string());
    starfieldShown = (scenario && scenario->HasStarfield()) ? 1 : 0;
    backdropQuad.SetSize(sw, sh);
    backdropQuad.SetAngle(0.0f);
    backdropQuad.SetColour(0xFFFFFFFFu);
    backdropQuad.PlaceCentred(sw * 0.5f, sh * 0.5f);
    insetRect[0] = 10;
    insetRect[1] = 10;
    insetRect[2] = screenWidth - 10;
    insetRect[3] = screenHeight - 10;

    CameraCentre[0] = centreX = previousCentre[0] = static_cast<float>(screenWidth / 2);
    CameraCentre[1] = centreY = previousCentre[1] = static_cast<float>(screenHeight / 2);
    ClampCamera();
    GUI_Starfield::GetInstance().Build(mapWidth, mapHeight, sw, sh);

    if (scenario && GUI_BattleGUI::GetInstance().shadersOn) {
        NebulaLightning& lightning = GetNebulaLightning();
        lightning.LoadEffect();
        lightning.SetUp(scenario->GetLightningInterval(), scenario->GetLightningIntensity());
    }
}

void GUI_Map::SetCentre(float x, float y)
{
    centreX = x;
    centreY = y;
    UpdateZoom();
    CameraCentre[0] = x;
    CameraCentre[1] = y;
    ClampCamera();
}

void GUI_Map::ZoomIn()
{
    ZoomScale = zoomTarget;
    zoomTarget = std::min(zoomTarget + kZoomStep, maxZoom);
    APP_UsageMetrics::GetInstance().SetEventFlag("battlezoom");
    Publish();
}

void GUI_Map::ZoomOut()
{
    ZoomScale = zoomTarget;
    zoomTarget = std::max(zoomTarget - kZoomStep, minZoom);
    APP_UsageMetrics::GetInstance().SetEventFlag("battlezoom");
    Publish();
}

void GUI_Map::UpdateZoom()
{
    if (ZoomScale < zoomTarget)
        ZoomScale = std::min(ZoomScale + kZoomEase, zoomTarget);
    else if (ZoomScale > zoomTarget)
        ZoomScale = std::max(ZoomScale - kZoomEase, zoomTarget);
    ZoomScale = std::clamp(ZoomScale, minZoom, std::max(minZoom, maxZoom));
    Publish();
}

void GUI_Map::ClampCamera()
{
    if (!HasScreen() || ZoomScale <= 0.0f) {
        Publish();
        return;
    }
    const CameraShake& shake = CameraShake::GetInstance();
    const float sx = shake.offsetX, sy = shake.offsetY;
    // A second clamp of the same centre (the mini map's, the key scroll's)
    // starts again from where it stood before the shake, so that no frame
    // is shaken twice.
    if (CameraCentre[0] == shakenCentre[0] && CameraCentre[1] == shakenCentre[1]) {
        CameraCentre[0] = unshakenCentre[0];
        CameraCentre[1] = unshakenCentre[1];
    }
    unshakenCentre[0] = CameraCentre[0];
    unshakenCentre[1] = CameraCentre[1];
    const float halfW = static_cast<float>(screenWidth / 2) / ZoomScale;
    const float halfH = static_cast<float>(screenHeight / 2) / ZoomScale;
    float left = CameraCentre[0] + sx - halfW;
    float top = CameraCentre[1] + sy - halfH;
    greatestLeft = mapWidth - static_cast<float>(screenWidth) / ZoomScale;
    greatestTop = mapHeight - static_cast<float>(screenHeight) / ZoomScale;
    if (left < 0.0f)
        left = 0.0f;
    if (top < 0.0f)
        top = 0.0f;
    if (left > greatestLeft)
        left = greatestLeft;
    if (top > greatestTop)
        top = greatestTop;
    // The shake moves the centre with the view for the frame, so that the
    // scenery projected from it (asteroids, terrain, the backdrop's
    // parallax, the grid) shakes with the ships; the centre the camera
    // steers by (centreX, centreY) stays put.
    CameraCentre[0] = left + halfW;
    CameraCentre[1] = top + halfH;
    shakenCentre[0] = CameraCentre[0];
    shakenCentre[1] = CameraCentre[1];
    viewLeft = left;
    viewTop = top;
    viewRight = left + 2.0f * halfW;
    viewBottom = top + 2.0f * halfH;
    Publish();
}

bool GUI_Map::StartDrag()
{
    const CInput& input = CInput::GetInstance();
    dragging = 1;
    dragStartMouse[0] = input.GetMouseX();
    dragStartMouse[1] = input.GetMouseY();
    dragStartCentre[0] = CameraCentre[0];
    dragStartCentre[1] = CameraCentre[1];
    return true;
}

void GUI_Map::AddJumpBlur()
{
    const float d = DistanceBetweenPoints(CameraCentre[0], CameraCentre[1], previousCentre[0], previousCentre[1]);
    motionBlur = std::clamp(motionBlur + d * 0.0625f * 0.05f, 0.0f, 1.0f);
}

bool GUI_Map::IsBattleMode() const
{
    return Game::GetInstance().GetMode() == &GUI_BattleGUI::GetInstance();
}

void GUI_Map::EdgeScroll()
{
    const CInput& input = CInput::GetInstance();
    if (!Game::GetInstance().HasFocus() || input.IsLeftButtonDown() || ZoomScale <= 0.0f)
        return;
    const float step = GUI_BattleGUI::GetInstance().realFrameStep * 4.0f / ZoomScale;
    const float mx = input.GetMouseX(), my = input.GetMouseY();
    if (mx < kEdgeScrollBand)
        centreX -= step;
    if (mx > static_cast<float>(screenWidth) - kEdgeScrollBand)
        centreX += step;
    if (my < kEdgeScrollBand)
        centreY -= step;
    if (my > static_cast<float>(screenHeight) - kEdgeScrollBand)
        centreY += step;
}

void GUI_Map::KeyScroll()
{
    GUI_BattleGUI& gui = GUI_BattleGUI::GetInstance();
    if (gui.keyboardFocus || ZoomScale <= 0.0f)
        return;
    const CInput& input = CInput::GetInstance();
    const float step = gui.realFrameStep * 4.0f / ZoomScale;
    if (input.IsKeyDown(KEY_LEFT) || input.IsKeyDown(KEY_A))
        centreX -= step;
    if (input.IsKeyDown(KEY_RIGHT) || input.IsKeyDown(KEY_D))
        centreX += step;
    if (input.IsKeyDown(KEY_UP) || input.IsKeyDown(KEY_W))
        centreY -= step;
    if (input.IsKeyDown(KEY_DOWN) || input.IsKeyDown(KEY_S))
        centreY += step;
    ClampCamera();
}

void GUI_Map::Draw()
{
    if (!HasScreen())
        return;
    const float startCentre[2] = {CameraCentre[0], CameraCentre[1]};
    const CInput& input = CInput::GetInstance();
    if (dragging) {
        centreX = (dragStartMouse[0] - input.GetMouseX()) / ZoomScale + dragStartCentre[0];
        centreY = (dragStartMouse[1] - input.GetMouseY()) / ZoomScale + dragStartCentre[1];
        if (!input.IsLeftButtonDown())
            dragging = 0;
    }
    const bool battleMode = IsBattleMode();
    if (battleMode) {
        EdgeScroll();
        KeyScroll();
        const float halfW = static_cast<float>(screenWidth) * 0.5f / ZoomScale;
        const float halfH = static_cast<float>(screenHeight) * 0.5f / ZoomScale;
        centreX = std::clamp(centreX, halfW, std::max(halfW, mapWidth - halfW));
        centreY = std::clamp(centreY, halfH, std::max(halfH, mapHeight - halfH));
    }
    UpdateZoom();
    CameraCentre[0] = centreX;
    CameraCentre[1] = centreY;
    ClampCamera();

    GUI_BattleGUI& gui = GUI_BattleGUI::GetInstance();
    if (CameraCentre[0] == previousCentre[0] && CameraCentre[1] == previousCentre[1]) {
        motionBlur -= gui.frameStep * 0.05f;
    } else {
        motionBlurDirection = AngleBetweenPoints(previousCentre[0], previousCentre[1], CameraCentre[0], CameraCentre[1]);
        motionBlur += gui.frameStep * 0.05f;
    }
    motionBlur = std::clamp(motionBlur, 0.0f, 1.0f);
    previousCentre[0] = CameraCentre[0];
    previousCentre[1] = CameraCentre[1];

    D3DEngine& engine = D3DEngine::GetInstance();
    if (!engine.IsInitialised())
        return;
    backdrop.Bind();
    const float sw = static_cast<float>(screenWidth), sh = static_cast<float>(screenHeight);
    const float k = sh / sw * 0.8f * 0.5f;
    const float du = mapWidth > 0.0f ? (CameraCentre[0] / mapWidth - 0.5f) * 2.0f * 0.1f : 0.0f;
    const float dv = mapHeight > 0.0f ? (CameraCentre[1] / mapHeight - 0.5f) * 2.0f * 0.1f : 0.0f;
    backdropUV[0] = 0.1f + du;
    backdropUV[1] = 0.5f - k + dv;
    backdropUV[2] = 0.9f + du;
    backdropUV[3] = 0.5f + k + dv;
    backdropQuad.SetUV(backdropUV[0], backdropUV[1], backdropUV[2], backdropUV[3]);
    engine.SetNormalBlend();

    NebulaLightning& lightning = GetNebulaLightning();
    bool effectBegun = false;
    if (gui.shadersOn) {
        lightning.Update(gui.scaledFrameTime);
        if (lightning.intensity > 0.0f && lightning.effect.IsLoaded()) {
            lightning.effect.SetFloat("intensity", lightning.intensity);
            effectBegun = lightning.effect.Begin();
        }
    }
    DrawBackdropQuad();
    if (effectBegun)
        lightning.effect.End();

    if (gui.gridShown && battleMode)
        DrawGrid();
    engine.SetNormalBlend();
    if (starfieldShown) {
        GUI_Starfield& stars = GUI_Starfield::GetInstance();
        stars.Draw(viewLeft, viewTop, ZoomScale, CameraCentre);
        // The screen's stars slide with the camera, unless it follows a ship.
        if (gui.cameraFollowMode != 1 && !gui.paused)
            stars.Scroll(CameraCentre[0] - startCentre[0], CameraCentre[1] - startCentre[1]);
    }
}

bool GUI_Map::BackdropDrawnOpaque()
{
    D3DEngine& engine = D3DEngine::GetInstance();
    const TextureHandle texture = backdrop.GetHandle();
    if (texture != opaqueChecked) {
        opaqueChecked = texture;
        backdropOpaque = texture != 0 && engine.IsTextureOpaque(backdrop.GetName());
    }
    return backdropOpaque && engine.GetDevice() && (backdropQuad.m_vertices[0].colour >> 24) == 0xFFu;
}

bool GUI_Map::BackdropCoversScreen()
{
    if (!BackdropDrawnOpaque() || !HasScreen())
        return false;
    float left = backdropQuad.m_vertices[0].x, right = left;
    float top = backdropQuad.m_vertices[0].y, bottom = top;
    for (const ScreenVertex& v : backdropQuad.m_vertices) {
        left = std::min(left, v.x);
        right = std::max(right, v.x);
        top = std::min(top, v.y);
        bottom = std::max(bottom, v.y);
    }
    return left <= 0.0f && top <= 0.0f && right >= static_cast<float>(screenWidth) &&
           bottom >= static_cast<float>(screenHeight);
}

void GUI_Map::DrawBackdropQuad()
{
    // An opaque picture at full alpha blends to itself: without blending the
    // same pixels cost the rasteriser no read of what lies under them.
    if (!BackdropDrawnOpaque()) {
        backdropQuad.Draw();
        return;
    }
    IGraphicsDevice* device = D3DEngine::GetInstance().GetDevice();
    QuadRunBatch::BeforeDirectDraw();
    device->SetAlphaBlend(false);
    device->DrawPrimitives(PrimitiveType::TriangleStrip, backdropQuad.m_vertices, 4);
    device->SetAlphaBlend(true);
}

void GUI_Map::DrawGrid()
{
    D3DEngine& engine = D3DEngine::GetInstance();
    engine.SetAdditiveBlend();
    engine.SetTexture(0);
    const float depth = 0.85f;
    const float sw = static_cast<float>(screenWidth), sh = static_cast<float>(screenHeight);
    for (float x = static_cast<float>(static_cast<int>(-0.15f * mapWidth)); x < mapWidth / depth; x += 64.0f) {
        const float px = (x - CameraCentre[0]) * ZoomScale * depth + sw * 0.5f;
        if (px > 0.0f && px < sw)
            engine.DrawLine(px, 0.0f, px, sh, kGridColour);
    }
    for (float y = static_cast<float>(static_cast<int>(-0.15f * mapHeight)); y < mapHeight / depth; y += 64.0f) {
        const float py = (y - CameraCentre[1]) * ZoomScale * depth + sh * 0.5f;
        if (py > 0.0f && py < sh)
            engine.DrawLine(0.0f, py, sw, py, kGridColour);
    }
}

void GUI_Map::Publish()
{
    zoom = ZoomScale;
    cameraX = viewLeft;
    cameraY = viewTop;
}
