#pragma once
#include <cstdint>
#include <limits>

#include "engine/CTexturedSprite.h"

class GUI_Ship;
class SIM_Ship;

// A cloaking ship drawn as a translucent, gently wobbling 5 x 5 mesh of its
// own picture (rendered first into "rt_ship"); only the 16 inner points of
// the mesh move, diagonally, by the cloak's shimmer.
class GUI_CamoflageShield {
public:
    static constexpr int kGrid = 6; // points per side

    GUI_CamoflageShield(GUI_Ship* visual, SIM_Ship* ship);
    virtual ~GUI_CamoflageShield() = default;

    void SetUVScale(float scale);
    void Update(float ms);
    virtual void Draw();
    // Places the mesh's bounds on the ship; false when off the screen. side:
    // the ship's width on the screen.
    bool Place(float& side);
    // The same, with the sine and cosine of the ship's heading.
    bool Place(float& side, float& sine, float& cosine);

    float GetPointX(int column, int row) const { return deformedX[row * kGrid + column]; }
    float GetPointY(int column, int row) const { return deformedY[row * kGrid + column]; }
    float intensity = 1.0f;
    float lastUVScale = 1.0f;

private:
    // Mesh coordinates spanning `span` of the image texture from (u0, v0).
    void SetImageUV(float u0, float v0, float span);

    CTexturedSprite sprite;
    GUI_Ship* visual = nullptr;
    SIM_Ship* ship = nullptr;
    ScreenVertex quads[25 * 4];
    float restX[kGrid * kGrid], restY[kGrid * kGrid];
    float deformedX[kGrid * kGrid], deformedY[kGrid * kGrid];
    float phases[kGrid * kGrid];
    // What the quads hold now: their picture's place (NaN: none yet) and
    // their colour.
    float uvLeft = std::numeric_limits<float>::quiet_NaN(), uvTop = 0.0f, uvSpan = 0.0f;
    uint32_t quadColour = 0xFFFFFFFFu;
};

// The arrival of a ship: after the simulation's short wait it slides in
// from 300 world units behind its place while it fades in. The timing is
// the simulation's own (the warp-in wait decides when a ship joins the
// battle); this only draws it.
class GUI_WarpEffect {
public:
    static constexpr float kDistance = 300.0f;

    explicit GUI_WarpEffect(GUI_Ship* visual);
    virtual ~GUI_WarpEffect() = default;
    // Draws the arriving ship at its progress; false while still waiting.
    virtual bool Update();
    // Where a ship at angle a and (x, y) is drawn at progress p.
    static void PositionAt(float p, float x, float y, float angle, float& wx, float& wy);
    float GetProgress() const { return progress; }

private:
    GUI_Ship* visual = nullptr;
    float progress = 0.0f;
};
