#include "battle/hud/GUI_DamageFeedback.h"

#include <algorithm>

#include "battle/GUI_Map.h"
#include "engine/GDebugLog.h"
#include "engine/LibText.h"
#include "sim/SIM_Ship.h"

void GUI_DamageFeedback::Start(SIM_Ship* forShip, const std::string& newText, int r, int g, int b, bool isLucky,
                               float ox, float oy)
{
    QLM_ASSERT(forShip != nullptr);
    ship = forShip;
    text = newText;
    red = r;
    green = g;
    blue = b;
    alpha = 255;
    lucky = isLucky;
    offsetX = ox;
    offsetY = oy;
    age = 0.0f;
    active = forShip != nullptr;
    pinned = false;
}

int GUI_DamageFeedback::AlphaAt(float ageMs)
{
    const float t = ageMs / kLifeMs;
    float fraction = t > kFadeStart ? 1.0f - (t - kFadeStart) * 5.0f : 1.0f;
    fraction = std::clamp(fraction, 0.0f, 1.0f);
    return static_cast<int>(fraction * 255.0f);
}

bool GUI_DamageFeedback::Draw(float dtMs)
{
    // A ship that left the battle (or was never set) takes its text along.
    if (!ship || ship->state != SIM_Ship::ACTIVE) {
        active = false;
        return false;
    }
    age += dtMs;
    if (age > kLifeMs) {
        active = false;
        return false;
    }
    float x, y;
    if (pinned) {
        x = pinnedX;
        y = pinnedY;
    } else {
        x = ship->x + offsetX * ship->cosine - offsetY * ship->sine;
        y = ship->y + offsetX * ship->sine + offsetY * ship->cosine;
    }
    const GUI_Map& map = GUI_Map::GetInstance();
    if (map.IsOffScreen(x, y, kOffScreenMargin))
        return true;
    screenX = (x - map.cameraX) * ZoomScale;
    screenY = (y - map.cameraY) * ZoomScale - RiseAt(age);
    alpha = AlphaAt(age);
    const uint32_t argb = (uint32_t(alpha) << 24) | (uint32_t(red) << 16) | (uint32_t(green) << 8) | uint32_t(blue);
    LibText::GetInstance().SetText(TEXT_ALIGN_LEFT, text, screenX, screenY, argb, 0.0f);
    return true;
}
