#pragma once
#include <string>

#include "battle/GUI_RenderObject.h"
#include "engine/SmartTexture.h"
#include "platform/IGraphicsDevice.h"

class SIM_Scenario;

// A decorative picture of the scenario (planet, station, nebula piece) on
// or behind the battle map, from one terrain line: "x, y, depth, texture,
// angle, u-left, v-top, u-right, v-bottom, width, height, always draw,
// pinned". Depth up to 1.0 draws behind the world, deeper than that in front.
// A pinned item sits on the backdrop picture (its position in texels of a
// 1024-texel backdrop) and keeps its size in pixels.
class GUI_TerrainItem : public GUI_RenderObject, public GUI_3DWorldObject {
public:
    static constexpr float kBackdropTexels = 1024.0f;

    explicit GUI_TerrainItem(const std::string& line);
    ~GUI_TerrainItem() override;

    // Places the item for the camera; false when it stays undrawn.
    bool Place(const float backdropUV[4], float screenWidth, float screenHeight);
    void Draw() override;

    bool IsFront() const { return depth > 1.0f; }
    const ScreenVertex* GetQuad() const { return quad; }

    SmartTexture texture;
    float angle = 0.0f;
    float uv[4] = {0.0f, 1.0f, 0.0f, 1.0f};
    float width = 0.0f, height = 0.0f;
    bool alwaysDraw = false;
    bool pinned = false;

private:
    ScreenVertex quad[4] = {};
};

// Every item of the scenario, rebuilt at each battle start.
void BuildTerrain(const SIM_Scenario* scenario);
void DeleteAllTerrain();
void DrawBackTerrain();
void DrawFrontTerrain();
int CountTerrain(bool front);
