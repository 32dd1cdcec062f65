#include "battle/GUI_ConTrail.h"

#include <algorithm>

#include "battle/EffectDrawing.h"
#include "battle/EffectTextures.h"
#include "battle/GUI_BattleGUI.h"
#include "battle/GUI_Map.h"
#include "battle/VisualStep.h"
#include "sim/SIM_ShipVisual.h"
#include "engine/D3DEngine.h"
#include "sim/SIM_Race.h"
#include "sim/SIM_Ship.h"

namespace {

std::vector<GUI_ConTrail*>& List(int drawLayer)
{
    return LayerLists<GUI_ConTrail>::Of(drawLayer);
}

TextureHandle TrailTexture()
{
    return EffectTextures::Get(EffectTextures::CONTRAILS);
}

bool Enabled()
{
    return GUI_BattleGUI::GetInstance().contrails != 0;
}

} // namespace

GUI_ConTrail::GUI_ConTrail(SIM_Ship* owner, int pointCount, float lifetime, float width, float segmentLength,
                           float fx, float fy)
    : ship(owner)
{
    kind = Kind::CON_TRAIL;
    layer = 0;
    lodAlpha = 1.0f;
    offsetX = fx * (ship ? ship->GetWidth() : 0.0f);
    offsetY = fy * (ship ? ship->GetHeight() : 0.0f);
    const int style = ship && ship->race ? ship->race->GetContrailId() : 1;
    trail.Init(style, 0.0f, static_cast<float>(pointCount), width, segmentLength);
    trail.SetLifetime(lifetime);
    const SIM_ShipVisual* visual = ship ? ship->GetVisual() : nullptr;
    SetLayer(visual ? visual->currentLayer : 1);
}

GUI_ConTrail::~GUI_ConTrail()
{
    LeaveList();
}

void GUI_ConTrail::LeaveList()
{
    LayerLists<GUI_ConTrail>::Leave(this, drawLayer);
}

void GUI_ConTrail::SetLayer(int newLayer)
{
    LeaveList();
    drawLayer = newLayer;
    LayerLists<GUI_ConTrail>::File(this, drawLayer);
}

const std::vector<GUI_ConTrail*>& GUI_ConTrail::GetLayerList(int drawLayer)
{
    return List(drawLayer);
}

void GUI_ConTrail::Draw()
{
    Draw(AttachmentView::Of(ship));
}

void GUI_ConTrail::Draw(const AttachmentView& view)
{
    // A ship still warping in is drawn away from its place: no trail yet.
    if (!view.trailsOn)
        return;
    float hx, hy;
    ship->LocalToWorld(offsetX, offsetY, ship->sine, ship->cosine, hx, hy);
    // The first sight and catch-ups are rare: out of line, so that the
    // common frame keeps to a few registers.
    if (firstFrame | (view.step.frames > 1)) [[unlikely]] {
        if (firstFrame) {
            firstFrame = 0;
            previousX = hx;
            previousY = hy;
            return;
        }
        CatchUp(view.step, hx, hy);
    }
    trail.SetHeadPosition(hx, hy);
    trail.AddAge(view.step.lastMs);
    trail.MoveHead(ship->angle, hx, hy);
    previousX = hx;
    previousY = hy;
    if (drawLayer == 1)
        DrawOwn(view);
}

// A catch-up lays the frames it covers before the current one along a line
// from the last head.
void GUI_ConTrail::CatchUp(const VisualStep& span, float hx, float hy)
{
    const float frameMs = span.EarlierFrameMs();
    for (int j = 1; j < span.frames; ++j) {
        const float t = static_cast<float>(j) / static_cast<float>(span.frames);
        const float x = previousX + (hx - previousX) * t, y = previousY + (hy - previousY) * t;
        trail.SetHeadPosition(x, y);
        trail.AddAge(frameMs);
        trail.MoveHead(ship->angle, x, y);
    }
}

void GUI_ConTrail::DrawOwn(const AttachmentView& view)
{
    D3DEngine::GetInstance().SetNormalBlend();
    if (trail.MayShowOnScreen({view.cameraX, view.cameraY, view.zoom, view.mapScreenWidth, view.mapScreenHeight}))
        trail.Draw(TrailTexture(), false);
    else
        trail.SkipDraw();
}

void GUI_ConTrail::DrawLayerList(int drawLayer)
{
    if (!Enabled())
        return;
    auto& list = List(drawLayer);
    if (list.empty())
        return;
    const GUI_Map& map = GUI_Map::GetInstance();
    const TrailSimulation::Screen screen = TrailSimulation::Screen::Current();
    const TextureHandle texture = TrailTexture();
    EffectBatchScope scope;
    bool anyDead = false;
    for (GUI_ConTrail* trail : list) {
        SIM_Ship* ship = trail->ship;
        if (!ship || ship->IsDead()) {
            anyDead = true;
            continue;
        }
        if (ship->docked || ship->state == SIM_Ship::OFF_FIELD || ship->state == SIM_Ship::RETREATED)
            continue;
        if (map.IsOffScreen(ship->x, ship->y, kCullMargin))
            continue;
        if (trail->trail.MayShowOnScreen(screen))
            trail->trail.Draw(texture, false);
        else
            trail->trail.SkipDraw();
    }
    if (anyDead) {
        // A dead ship's trails stay with its visual but leave the sweep.
        for (auto it = list.begin(); it != list.end();) {
            GUI_ConTrail* trail = *it;
            if (!trail->ship || trail->ship->IsDead()) {
                trail->drawLayer = -1;
                it = list.erase(it);
            } else {
                ++it;
            }
        }
    }
}
