#pragma once
#include "engine/BaseSprite.h"

#include <cstdint>
#include <vector>

class GUI_CampaignMap;

// The stars behind the campaign map: 500 fixed to the map, which scroll with
// it, and 200 near ones around the screen centre that only show zoomed in.
class GUI_CampaignMapStars {
public:
    static constexpr int kMapStars = 500;
    static constexpr int kNearStars = 200;
    static constexpr float kNearStarsZoom = 4.0f;

    struct Star {
        bool onMap = true;
        float x = 0.0f, y = 0.0f, size = 1.0f;
        int alpha = 255;
        BaseSprite sprite;
    };

    GUI_CampaignMapStars();
    void DrawAll(const GUI_CampaignMap& map);
    const std::vector<Star>& GetStars() const { return m_stars; }
    // How many stars the last draw queued.
    int GetDrawnCount() const { return m_drawn; }

private:
    std::vector<Star> m_stars;
    int m_drawn = 0;
};
