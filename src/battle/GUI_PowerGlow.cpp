#include "battle/GUI_PowerGlow.h"

#include <algorithm>
#include <cmath>

#include "battle/GUI_Map.h"
#include "battle/VisualStep.h"
#include "engine/QuadRunBatch.h"
#include "sim/SIM_Ship.h"
#include "sim/modules/SIM_CamoflageShieldModule.h"

GUI_PowerGlow::GUI_PowerGlow(SIM_Ship* owner, float glowSize, float glowPeriod, const std::string& texture, float px,
                             float py)
    : period(glowPeriod > 0.0f ? glowPeriod : 1000.0f), ship(owner)
{
    kind = Kind::POWER_GLOW;
    layer = 2;
    const float w = ship ? ship->GetWidth() : 0.0f;
    localX = (px - 128.0f) / 256.0f * w;
    localY = (py - 128.0f) / 256.0f * w;
    size = glowSize / 512.0f * w;
    sprite.SetTexture(texture);
    // Turned with the ship, the centre stays within |x| + |y| of the ship's
    // and the quad within its side of the centre.
    reach = std::fabs(localX) + std::fabs(localY) + std::fabs(size);
}

void GUI_PowerGlow::Draw()
{
    Draw(AttachmentView::Of(ship));
}

void GUI_PowerGlow::Draw(const AttachmentView& view)
{
    if (!view.glowsOn)
        return;
    timer += view.step.ms;
    float p = timer / period;
    if (p > 1.0f) {
        // A catch-up may cover more than one period.
        timer = timer - period > period ? std::fmod(timer, period) : timer - period;
        p = timer / period;
    }
    if (view.OutOfReach(reach))
        return;
    float wx, wy;
    ship->LocalToWorld(localX, localY, ship->sine, ship->cosine, wx, wy);
    const float zoom = view.zoom;
    sprite.SetSize(zoom * size, zoom * size);
    sprite.PlaceRotatedSinCos((wx - view.cameraX) * zoom, (wy - view.cameraY) * zoom, ship->sine, ship->cosine);
    if (!sprite.IsOnScreen())
        return;
    alpha = static_cast<int>(std::sin(std::clamp(p, 0.0f, 1.0f) * 3.14159265f) * 255.0f);
    sprite.SetColour(static_cast<uint8_t>(std::clamp(alpha, 0, 255)), 255, 255, 255);
    // Blended as the hull it lies on, not added.
    QuadRunBatch::Shared().Add(sprite.GetTextureForDraw(), false, sprite.m_vertices);
}
