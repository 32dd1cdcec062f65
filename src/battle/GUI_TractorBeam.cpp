#include "battle/GUI_TractorBeam.h"

#include <algorithm>
#include <cmath>

#include "battle/EffectTextures.h"
#include "battle/GUI_BattleGUI.h"
#include "battle/GUI_Map.h"
#include "battle/GUI_Ship.h"
#include "battle/MaskedQuadBatch.h"
#include "sim/SIM_Ship.h"

GUI_TractorBeam::GUI_TractorBeam(SIM_Ship* owner, float widthFactor, int dir, float offset, float x1, float y1,
                                 float x2, float y2)
    : ship(owner), direction(dir), angleOffset(offset)
{
    layer = 0;
    const float w = ship ? ship->GetWidth() : 0.0f, h = ship ? ship->GetHeight() : 0.0f;
    centreX = w * (x1 + x2) * 0.5f;
    centreY = h * (y1 + y2) * 0.5f;
    length = w * std::sqrt((x2 - x1) * (x2 - x1) + (y2 - y1) * (y2 - y1));
    width = w * widthFactor;
    scroll = direction == 1 ? 1.0f : 0.0f;
    period = direction == 1 ? 500.0f : 600.0f;
    for (ScreenVertex2& v : quad)
        v = {0, 0, 0, 1, 0xFFFFFFFFu, 0, 0, 0, 0};
    quad[1].u2 = quad[3].u2 = 1.0f;
    quad[2].v2 = quad[3].v2 = 1.0f;
}

float GUI_TractorBeam::GetReach() const
{
    return std::sqrt(centreX * centreX + centreY * centreY) + 0.5f * std::sqrt(length * length + width * width);
}

void GUI_TractorBeam::Scroll(float ms)
{
    scroll += (direction == 1 ? -ms : ms) / period;
    // u runs along the band (the texture repeats), v across it.
    for (int k = 0; k < 4; ++k) {
        quad[k].u = scroll + ((k & 1) ? 0.5f : 0.0f);
        quad[k].v = (k & 2) ? 1.0f : 0.0f;
    }
}

void GUI_TractorBeam::Place()
{
    const GUI_Map& map = GUI_Map::GetInstance();
    float cx, cy;
    ship->LocalToWorld(centreX, centreY, ship->sine, ship->cosine, cx, cy);
    float angle = angleOffset + ship->angle;
    if (angle >= 360.0f)
        angle -= 360.0f;
    else if (angle < 0.0f)
        angle += 360.0f;
    sprite.SetSize(length * ZoomScale, width * ZoomScale);
    sprite.SetAngle(angle);
    sprite.PlaceCentred((cx - map.cameraX) * ZoomScale, (cy - map.cameraY) * ZoomScale);
    for (int k = 0; k < 4; ++k) {
        quad[k].x = sprite.m_vertices[k].x;
        quad[k].y = sprite.m_vertices[k].y;
    }
}

void GUI_TractorBeam::Draw()
{
    Place();
    const uint32_t alpha = static_cast<uint32_t>(std::lround(std::clamp(intensity, 0.0f, 1.0f) * 255.0f));
    for (ScreenVertex2& v : quad)
        v.colour = (alpha << 24) | 0x00FFFFFFu;
    Scroll(GUI_BattleGUI::GetInstance().scaledFrameTime);
    if (sprite.IsOnScreen())
        MaskedQuadBatch::Shared().Add(EffectTextures::Get(EffectTextures::TRACTOR_ALPHA),
                                      EffectTextures::Get(EffectTextures::TRACTOR_COLOUR), quad);
}

namespace {
std::vector<GUI_TractorBeamCollection*>& Collections()
{
    // Never destroyed: a battle freed at exit still leaves this list.
    static auto* const list = new std::vector<GUI_TractorBeamCollection*>();
    return *list;
}
} // namespace

GUI_TractorBeamCollection::GUI_TractorBeamCollection(const GUI_Ship* owner)
    : visual(owner)
{
    layer = 0;
    Collections().push_back(this);
}

GUI_TractorBeamCollection::~GUI_TractorBeamCollection()
{
    auto& list = Collections();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

void GUI_TractorBeamCollection::DrawAll()
{
    bool any = false;
    for (GUI_TractorBeamCollection* bands : Collections())
        any = any || (bands->active && !bands->beams.empty());
    if (!any)
        return;
    MaskedQuadBatch& masked = MaskedQuadBatch::Shared();
    masked.Begin(MaskedQuadBatch::ColourFromStage1, true);
    for (GUI_TractorBeamCollection* bands : Collections())
        bands->Draw();
    masked.End();
}

void GUI_TractorBeamCollection::Add(std::unique_ptr<GUI_TractorBeam> beam)
{
    reach = std::max(reach, beam->GetReach());
    if (!visual)
        visual = GUI_Ship::Of(beam->GetShip());
    beams.push_back(std::move(beam));
}

void GUI_TractorBeamCollection::Activate(float battleTime)
{
    active = 1;
    fadingIn = 1;
    startTime = battleTime;
}

float GUI_TractorBeamCollection::IntensityAt(float battleTime)
{
    if (!fadingIn)
        return 1.0f;
    const float t = std::clamp((battleTime - startTime) / kFadeInMs, 0.0f, 1.0f);
    if (t >= 1.0f)
        fadingIn = 0;
    return t;
}

void GUI_TractorBeamCollection::Draw()
{
    if (!active || beams.empty())
        return;
    const SIM_Ship* ship = beams.front()->GetShip();
    // Most ships of a big battle are out of view; their bands' flow is not
    // seen, so it need not be kept.
    if (GUI_Map::GetInstance().IsOffScreen(ship->x, ship->y, reach))
        return;
    // The bands lie under the hull: they show exactly when it does (not
    // through a cloak, not over a break-up's flying pieces).
    if (!visual || !visual->ShowsHullUnderlays())
        return;
    const float t = IntensityAt(GUI_BattleGUI::GetInstance().battleTime);
    for (auto& beam : beams) {
        beam->intensity = t;
        beam->Draw();
    }
}
