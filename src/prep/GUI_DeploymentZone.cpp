#include "prep/GUI_DeploymentZone.h"

#include "engine/D3DEngine.h"
#include "prep/GUI_DeploymentMap.h"
#include "sim/SIM_Scenario.h"

#include <cmath>

GUI_DeploymentZone& GUI_DeploymentZone::GetInstance()
{
    static GUI_DeploymentZone instance;
    return instance;
}

void GUI_DeploymentZone::SetFromScenario(const SIM_Scenario& scenario, bool enemyZone)
{
    const SIM_Scenario::Zone z = enemyZone ? scenario.GetAIDeployment() : scenario.GetPlayerDeployment();
    m_world = {z.left, z.top, z.right, z.bottom};
    MapToScreen();
}

void GUI_DeploymentZone::MapToScreen()
{
    const GUI_DeploymentMap& map = GUI_DeploymentMap::GetInstance();
    m_screen.left = static_cast<int>(map.MapToScreenX(static_cast<float>(m_world.left)));
    m_screen.top = static_cast<int>(map.MapToScreenY(static_cast<float>(m_world.top)));
    m_screen.right = static_cast<int>(map.MapToScreenX(static_cast<float>(m_world.right)));
    m_screen.bottom = static_cast<int>(map.MapToScreenY(static_cast<float>(m_world.bottom)));
}

void GUI_DeploymentZone::Draw() const
{
    D3DEngine& engine = D3DEngine::GetInstance();
    engine.FillRect(m_screen, 0x40C8C8C8u);
    engine.DrawRectFrame(m_screen, 0x90E68080u);
}

bool GUI_DeploymentZone::IsStrictlyInside(float x, float y) const
{
    return x > static_cast<float>(m_world.left) && x < static_cast<float>(m_world.right) &&
           y > static_cast<float>(m_world.top) && y < static_cast<float>(m_world.bottom);
}

bool GUI_DeploymentZone::IsFree(float x, float y, const OccupiedTest& occupied) const
{
    if (!IsStrictlyInside(x, y))
        return false;
    return !occupied || !occupied(static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y)));
}

GUI_DeploymentZone::Point GUI_DeploymentZone::Snap(float x, float y, Point previous,
                                                    const OccupiedTest& occupied) const
{
    if (!IsStrictlyInside(x, y))
        return {x, y};
    const float g = kGridSize;
    const float sx = std::round(x / g) * g;
    const float sy = std::round(y / g) * g;
    if (IsFree(sx, sy, occupied))
        return {sx, sy};
    for (int r = 1; r <= kMaxRings; ++r) {
        const float d = static_cast<float>(r) * g;
        const int cells = 2 * r + 1;
        // Top row, bottom row, left column, right column.
        for (int i = 0; i < cells; ++i)
            if (IsFree(sx - d + static_cast<float>(i) * g, sy - d, occupied))
                return {sx - d + static_cast<float>(i) * g, sy - d};
        for (int i = 0; i < cells; ++i)
            if (IsFree(sx - d + static_cast<float>(i) * g, sy + d, occupied))
                return {sx - d + static_cast<float>(i) * g, sy + d};
        for (int i = 0; i < cells; ++i)
            if (IsFree(sx - d, sy - d + static_cast<float>(i) * g, occupied))
                return {sx - d, sy - d + static_cast<float>(i) * g};
        for (int i = 0; i < cells; ++i)
            if (IsFree(sx + d, sy - d + static_cast<float>(i) * g, occupied))
                return {sx + d, sy - d + static_cast<float>(i) * g};
    }
    // A full zone: the ship stays where it was rather than on another one.
    return previous;
}
