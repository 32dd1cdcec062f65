#pragma once
#include "engine/BaseSprite.h"

#include <vector>

class SIM_CampaignEncounter;
class GUI_CampaignMap;

// The small ships that travel up and down one wormhole when the map is
// zoomed in far: one per map unit of its length, at most 100, alternating
// in direction, each with its own speed and lateral offset.
class GUI_WormholeTraffic {
public:
    static constexpr int kMaxShips = 100;
    static constexpr float kMinZoom = 10.0f;
    static constexpr int kFrames = 16;
    static constexpr float kSpeed = 0.007f;

    struct Ship {
        BaseSprite sprite;
        float angle = 0.0f;     // degrees of travel
        int direction = 0;      // 0 from A to B, 1 back
        float progress = 0.0f;  // map units along the wormhole
        float speed = 1.0f;
        float offset = 0.0f;    // map units to the side
        int frame = 0;
    };

    GUI_WormholeTraffic(const SIM_CampaignEncounter* a, const SIM_CampaignEncounter* b);

    // Ships for a wormhole of that many map units between its planets' edges.
    static int CountFor(float length);
    // Frame of the 16-cell sheet for a random value in 0..1 (1 itself included).
    static int FrameFor(float r);
    void Draw(const GUI_CampaignMap& map, float frameMs);

    const std::vector<Ship>& GetShips() const { return m_ships; }
    float GetLength() const { return m_length; }

private:
    float m_start[2][2] = {};
    float m_length = 0.0f;
    float m_mid[2] = {};
    float m_bounds[2] = {};
    std::vector<Ship> m_ships;
};

// Every wormhole's traffic, in one batch; nothing below zoom 10.
void DrawWormholeTraffic(const GUI_CampaignMap& map);
