#include "sim/SIM_MapObject.h"

#include <cmath>

#include "sim/SIM_BattleArea.h"

namespace {
constexpr float kDegToRad = 3.14159265358979f / 180.0f;
}

void SIM_MapObject::LocalToWorld(float localX, float localY, float& worldX, float& worldY) const
{
    LocalToWorld(localX, localY, std::sin(angle * kDegToRad), std::cos(angle * kDegToRad), worldX, worldY);
}

void SIM_MapObject::GetScreenPosition(float& screenX, float& screenY) const
{
    const SIM_BattleArea& map = SIM_BattleArea::Get();
    screenX = (x - map.CameraX()) * map.Zoom();
    screenY = (y - map.CameraY()) * map.Zoom();
}

void NormaliseVector2(float& x, float& y)
{
    const float length = std::sqrt(x * x + y * y);
    if (length <= 0.0f)
        return;
    x /= length;
    y /= length;
}
