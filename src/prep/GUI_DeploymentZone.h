#pragma once
#include "engine/GRect.h"

#include <functional>

class SIM_Scenario;

// The part of the map a fleet is placed in: the scenario's player zone (the
// enemy zone while AI fleets are edited) in world units and on screen, and
// the 96-unit grid dropped ships snap to.
class GUI_DeploymentZone {
public:
    static constexpr float kGridSize = 96.0f;
    static constexpr int kMaxRings = 99;

    struct Point {
        float x = 0.0f;
        float y = 0.0f;
    };
    // True when another ship already stands on the (rounded) world point.
    using OccupiedTest = std::function<bool(int x, int y)>;

    static GUI_DeploymentZone& GetInstance();

    // Takes the zone from the scenario and maps it to the screen through the
    // deployment map.
    void SetFromScenario(const SIM_Scenario& scenario, bool enemyZone);
    void SetWorldRect(const GRect& world) { m_world = world; }
    void MapToScreen();
    void Draw() const;

    bool IsStrictlyInside(float x, float y) const;
    // A drop at (x, y): outside the zone it stays where it is; inside it
    // snaps to the nearest free grid point, searching rings of cells around
    // it. With no free cell at all the ship keeps its previous position.
    Point Snap(float x, float y, Point previous, const OccupiedTest& occupied) const;

    const GRect& GetWorldRect() const { return m_world; }
    const GRect& GetScreenRect() const { return m_screen; }

private:
    bool IsFree(float x, float y, const OccupiedTest& occupied) const;

    GRect m_screen;
    GRect m_world;
};
