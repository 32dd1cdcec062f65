#pragma once
#include <limits>

#include "engine/BaseSprite.h"
#include "engine/SmartTexture.h"
#include "sim/SIM_BattleArea.h"

class SIM_Scenario;

// Pixels per world unit and the world point at the screen centre, published
// by the camera for every world-to-screen projection.
extern float ZoomScale;
extern float CameraCentre[2];

// The battle camera and map background: centre, zoom with its limits and
// easing, the visible world rectangle, dragging and scrolling, the motion
// blur that camera jumps leave, and the backdrop with parallax and the grid.
//
// Without a screen (headless battles) the whole map counts as visible.
// Final, so that the many calls of IsOffScreen through GUI_Map& need no
// check of which map they reach.
class GUI_Map final : public SIM_BattleArea {
public:
    static constexpr float kZoomStep = 0.1f;
    static constexpr float kZoomEase = 0.01f;
    static constexpr float kEdgeScrollBand = 12.0f;
    static constexpr unsigned kGridColour = 0x4002D23D;

    // Asked for thousands of times a frame: once made, one load.
    static GUI_Map& GetInstance()
    {
        if (GUI_Map* map = s_instance) [[likely]]
            return *map;
        return Make();
    }

    ~GUI_Map() override = default;

    void SetUpForBattle(const SIM_Scenario* scenario) override;
    // The screen the camera fills; the engine's back buffer at battle set-up.
    void SetScreenSize(int width, int height);
    void SetCentre(float x, float y);
    void ZoomIn();
    void ZoomOut();
    void UpdateZoom();
    void ClampCamera();
    virtual bool StartDrag();
    void AddJumpBlur();
    virtual void Draw();
    void DrawGrid();
    void DrawBackdropQuad();
    void EdgeScroll();
    void KeyScroll();

    // Outside the visible map rectangle grown by margin on every side.
    bool IsOffScreen(float x, float y, float margin) const override
    {
        return x < viewLeft - margin || x > viewRight + margin || y < viewTop - margin ||
               y > viewBottom + margin;
    }

    float MapWidth() const override { return mapWidth; }
    float MapHeight() const override { return mapHeight; }
    float CameraX() const override { return cameraX; }
    float CameraY() const override { return cameraY; }
    float Zoom() const override { return zoom; }

    int GetScreenWidth() const { return screenWidth; }
    int GetScreenHeight() const { return screenHeight; }
    bool HasScreen() const { return screenWidth > 0 && screenHeight > 0; }
    // The backdrop is drawn without blending over every pixel of the screen:
    // nothing under it shows, so what it covers needs no clear first.
    bool BackdropCoversScreen();

    float mapWidth = 0.0f, mapHeight = 0.0f;
    float cameraX = 0.0f, cameraY = 0.0f; // top-left of the view, map units
    float viewLeft = 0.0f, viewTop = 0.0f, viewRight = 0.0f, viewBottom = 0.0f;
    float centreX = 0.0f, centreY = 0.0f; // the centre the camera steers to
    // CameraCentre as the last clamp found it and as it left it, shaken
    // (not a number until a clamp: no centre matches it).
    float unshakenCentre[2] = {0.0f, 0.0f};
    float shakenCentre[2] = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::quiet_NaN()};
    float zoom = 1.0f;                    // mirrors ZoomScale for the simulation

    int insetRect[4] = {0, 0, 0, 0};
    float backdropUV[4] = {0.1f, 0.0f, 0.9f, 1.0f};
    unsigned char dragging = 0;
    float dragStartMouse[2] = {0.0f, 0.0f};
    float dragStartCentre[2] = {0.0f, 0.0f};
    float greatestLeft = 0.0f, greatestTop = 0.0f;
    SmartTexture backdrop;
    BaseSprite backdropQuad;
    TextureHandle opaqueChecked = 0; // the backdrop texture backdropOpaque was found for
    bool backdropOpaque = false;
    unsigned char starfieldShown = 1;
    float motionBlur = 0.0f;
    float zoomTarget = 1.0f;
    float previousCentre[2] = {0.0f, 0.0f};
    float maxZoom = 4.0f;
    float minZoom = 1.0f;
    float motionBlurDirection = 0.0f;

private:
    // An opaque picture at full alpha: drawn without blending.
    bool BackdropDrawnOpaque();
    // Copies the camera into the fields the simulation reads.
    void Publish();
    bool IsBattleMode() const;

    int screenWidth = 0;
    int screenHeight = 0;

    static GUI_Map& Make();
    inline static GUI_Map* s_instance = nullptr;
};
