#include "battle/AttachmentView.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

#include "battle/GUI_BattleGUI.h"
#include "battle/GUI_Map.h"
#include "battle/GUI_RunningLight.h"
#include "engine/D3DEngine.h"
#include "sim/SIM_Ship.h"
#include "sim/modules/SIM_CamoflageShieldModule.h"

float AttachmentView::Outside(float sx, float sy)
{
    // A point at no number keeps every sprite's own test.
    if (!std::isfinite(sx) || !std::isfinite(sy))
        return std::numeric_limits<float>::lowest();
    const D3DEngine& engine = D3DEngine::GetInstance();
    const float sw = static_cast<float>(engine.GetScreenWidth()), sh = static_cast<float>(engine.GetScreenHeight());
    return std::max(std::max(-sx, sx - sw), std::max(-sy, sy - sh));
}

AttachmentView AttachmentView::Of(const SIM_Ship* ship, const VisualStep& step)
{
    AttachmentView view;
    view.Take(ship, step);
    return view;
}

void AttachmentView::Take(const SIM_Ship* ship, const VisualStep& step)
{
    AttachmentView& view = *this;
    view = AttachmentView{};
    view.ship = ship;
    view.step = step;
    const GUI_Map& map = GUI_Map::GetInstance();
    view.zoom = ZoomScale;
    view.cameraX = map.cameraX;
    view.cameraY = map.cameraY;
    view.mapScreenWidth = static_cast<float>(map.GetScreenWidth());
    view.mapScreenHeight = static_cast<float>(map.GetScreenHeight());
    if (!ship)
        return;
    view.outside = Outside((ship->x - view.cameraX) * view.zoom, (ship->y - view.cameraY) * view.zoom);
    view.uncloaked = true;
    for (const SIM_CamoflageShieldModule* cloak : ship->GetCloaks())
        if (cloak && cloak->GetCloakState() != SIM_CamoflageShieldModule::VISIBLE)
            view.uncloaked = false;
    const GUI_BattleGUI& gui = GUI_BattleGUI::GetInstance();
    view.trailsOn = gui.contrails != 0 && ship->state != SIM_Ship::OFF_FIELD;
    view.glowsOn = ship->state == SIM_Ship::ACTIVE && view.uncloaked;
    view.lightsOn = gui.runningLights != 0 && !ship->IsDead() && ship->state != SIM_Ship::OFF_FIELD &&
                    ship->state != SIM_Ship::RETREATED &&
                    !map.IsOffScreen(ship->x, ship->y, GUI_RunningLight::kCullMargin);
    if (view.lightsOn) {
        // The ship keeps the same sine and cosine while its heading holds.
        if (std::bit_cast<uint32_t>(ship->angle) == ship->trigAngleBits) {
            view.headingSine = ship->sine;
            view.headingCosine = ship->cosine;
        } else {
            const float turn = ship->angle * (3.14159265358979f / 180.0f);
            view.headingSine = std::sin(turn);
            view.headingCosine = std::cos(turn);
        }
    }
}
