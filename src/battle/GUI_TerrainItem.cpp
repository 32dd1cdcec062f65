#include "battle/GUI_TerrainItem.h"

#include <algorithm>
#include <cmath>
#include <list>

#include "battle/BattleView.h"
#include "battle/GUI_Map.h"
#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "engine/GTokenizer.h"
#include "engine/QuadRunBatch.h"
#include "sim/SIM_Scenario.h"

namespace {

std::list<GUI_TerrainItem*>& BackItems()
{
    static std::list<GUI_TerrainItem*> items;
    return items;
}

std::list<GUI_TerrainItem*>& FrontItems()
{
    static std::list<GUI_TerrainItem*> items;
    return items;
}

void DrawItems(std::list<GUI_TerrainItem*>& items)
{
    if (items.empty() || !D3DEngine::GetInstance().IsInitialised())
        return;
    QuadRunBatch& batch = QuadRunBatch::Shared();
    const GUI_Map& map = GUI_Map::GetInstance();
    const bool own = !batch.IsOpen();
    if (own)
        batch.Begin(map.GetScreenWidth(), map.GetScreenHeight());
    for (GUI_TerrainItem* item : items)
        item->Draw();
    if (own)
        batch.End();
}

} // namespace

GUI_TerrainItem::GUI_TerrainItem(const std::string& line)
{
    minZoom = 0.0f;
    maxZoom = -1.0f;
    GTokenizer fields(line, ',');
    worldX = fields.NextFloat();
    worldY = fields.NextFloat();
    depth = fields.NextFloat();
    std::string name = fields.NextString();
    name.erase(0, name.find_first_not_of(" \t"));
    name.erase(name.find_last_not_of(" \t") + 1);
    texture.SetName(name);
    angle = fields.NextFloat();
    uv[0] = fields.NextFloat();
    uv[2] = fields.NextFloat();
    uv[1] = fields.NextFloat();
    uv[3] = fields.NextFloat();
    width = fields.NextFloat();
    height = fields.NextFloat();
    alwaysDraw = fields.NextInt() != 0;
    pinned = fields.NextInt() != 0;
    (IsFront() ? FrontItems() : BackItems()).push_back(this);
}

GUI_TerrainItem::~GUI_TerrainItem()
{
    BackItems().remove(this);
    FrontItems().remove(this);
}

bool GUI_TerrainItem::Place(const float backdropUV[4], float sw, float sh)
{
    float w = width, h = height;
    if (!pinned) {
        w *= ZoomScale;
        h *= ZoomScale;
        Project();
    } else {
        // Fixed on the backdrop picture, sharing its parallax.
        const float du = (backdropUV[2] - backdropUV[0]) / sw, dv = (backdropUV[3] - backdropUV[1]) / sh;
        screenX = du != 0.0f ? (worldX / kBackdropTexels - backdropUV[0]) / du : 0.0f;
        screenY = dv != 0.0f ? (worldY / kBackdropTexels - backdropUV[1]) / dv : 0.0f;
    }
    const float a = angle * BattleView::kDegToRad;
    // The line's texture corners: (left, top), (right, top), (left, bottom), (right, bottom).
    PlaceHeadingQuad(screenX, screenY, w, h, std::sin(a), std::cos(a), uv, 0xFFFFFFFFu, quad);
    BattleView screen;
    screen.width = sw;
    screen.height = sh;
    return alwaysDraw || screen.Shows(quad);
}

void GUI_TerrainItem::Draw()
{
    const GUI_Map& map = GUI_Map::GetInstance();
    if (Place(map.backdropUV, static_cast<float>(map.GetScreenWidth()), static_cast<float>(map.GetScreenHeight())))
        QuadRunBatch::Shared().Add(texture.GetHandle(), false, quad);
}

void DeleteAllTerrain()
{
    while (!FrontItems().empty())
        delete FrontItems().front();
    while (!BackItems().empty())
        delete BackItems().front();
}

void BuildTerrain(const SIM_Scenario* scenario)
{
    DeleteAllTerrain();
    QLM_ASSERT(scenario != nullptr);
    if (!scenario)
        return;
    for (const std::string& line : scenario->GetTerrainLines())
        new GUI_TerrainItem(line); // joins its list, which owns it
}

void DrawBackTerrain()
{
    DrawItems(BackItems());
}

void DrawFrontTerrain()
{
    DrawItems(FrontItems());
}

int CountTerrain(bool front)
{
    return static_cast<int>((front ? FrontItems() : BackItems()).size());
}
