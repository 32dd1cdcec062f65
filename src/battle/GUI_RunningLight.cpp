#include "battle/GUI_RunningLight.h"

#include <algorithm>
#include <cmath>

#include "battle/EffectTextures.h"
#include "battle/GUI_BattleGUI.h"
#include "battle/GUI_Map.h"
#include "battle/VisualStep.h"
#include "engine/GDebugLog.h"
#include "engine/GTokenizer.h"
#include "engine/QuadRunBatch.h"
#include "sim/SIM_Ship.h"

GUI_RunningLight::GUI_RunningLight(const std::string& line, SIM_Ship* owner, float phase)
    : ship(owner)
{
    kind = Kind::RUNNING_LIGHT;
    layer = 2;
    GTokenizer tok(line, ',');
    const float px = tok.NextFloat();
    const float py = tok.NextFloat();
    period = tok.NextFloat();
    size = tok.NextFloat();
    int frame = static_cast<int>(tok.NextFloat());
    QLM_ASSERT(frame >= 0 && frame < 4);
    frame = std::clamp(frame, 0, 3);
    localX = (px - 128.0f) / 256.0f * (ship ? ship->GetWidth() : 0.0f);
    localY = (py - 128.0f) / 256.0f * (ship ? ship->GetHeight() : 0.0f);
    sprite.SetFrame(frame, 4);
    // Turned with the ship, the centre stays within |x| + |y| of the ship's
    // and the quad within half its largest side of the centre.
    reach = std::fabs(localX) + std::fabs(localY) + 0.5f * std::fabs(size);
    timer = phase * period;
    if (timer > period)
        timer = 0.0f;
}

void GUI_RunningLight::Draw()
{
    Draw(AttachmentView::Of(ship));
}

void GUI_RunningLight::Draw(const AttachmentView& view)
{
    drewLastFrame = false;
    if (!view.lightsOn)
        return;
    timer += view.step.ms;
    const float p = period > 0.0f ? std::clamp(timer / period, 0.0f, 1.0f) : 1.0f;
    if (timer > period)
        timer = timer - period > period ? std::fmod(timer, period) : timer - period; // a catch-up may span periods
    const float s = view.zoom * size;
    lastSide = s * p;
    if (s < 1.0f || !(s * p > kMinPixels) || view.OutOfReach(reach))
        return;
    float wx, wy;
    ship->LocalToWorld(localX, localY, view.headingSine, view.headingCosine, wx, wy);
    sprite.SetSize(s * p, s * p);
    // Never turned: placed level, as PlaceCentred places an unturned sprite.
    sprite.PlaceRotatedSinCos((wx - view.cameraX) * view.zoom, (wy - view.cameraY) * view.zoom, 0.0f, 1.0f);
    if (!sprite.IsOnScreen())
        return;
    QuadRunBatch::Shared().Add(EffectTextures::Get(EffectTextures::RUNNING_LIGHT), true, sprite.m_vertices);
    drewLastFrame = true;
}
