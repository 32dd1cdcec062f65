#pragma once
#include "sim/SIM_Scenario.h"

// Stand-in for the battle camera: the map size and visible rectangle the
// simulation reads. The drawing side arrives with the battle view.
class GUI_Map {
public:
    static GUI_Map& GetInstance()
    {
        static GUI_Map instance;
        return instance;
    }

    void SetUpForBattle(const SIM_Scenario* scenario)
    {
        if (scenario) {
            mapWidth = scenario->GetMapSizeX();
            mapHeight = scenario->GetMapSizeY();
        }
        viewLeft = 0.0f;
        viewTop = 0.0f;
        viewRight = mapWidth;
        viewBottom = mapHeight;
        cameraX = 0.0f;
        cameraY = 0.0f;
        centreX = mapWidth * 0.5f;
        centreY = mapHeight * 0.5f;
    }

    // Outside the visible map rectangle grown by margin on every side.
    bool IsOffScreen(float x, float y, float margin) const
    {
        return x < viewLeft - margin || x > viewRight + margin || y < viewTop - margin ||
               y > viewBottom + margin;
    }

    float mapWidth = 0.0f, mapHeight = 0.0f;
    float cameraX = 0.0f, cameraY = 0.0f; // top-left of the view, map units
    float viewLeft = 0.0f, viewTop = 0.0f, viewRight = 0.0f, viewBottom = 0.0f;
    float centreX = 0.0f, centreY = 0.0f;
    float zoom = 1.0f; // map units to screen pixels
};
