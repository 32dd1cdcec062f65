#pragma once
#include "engine/CTexturedSprite.h"

class GUI_CampaignMap;

// A faint hexagon grid over the whole map, one texture repeat every 8 map
// units; it stays at alpha 49 and goes at once from zoom 12 on.
class GUI_HexPattern {
public:
    static constexpr uint32_t kColour = 0x31BEBEFFu;
    static constexpr float kUnitsPerRepeat = 8.0f;

    GUI_HexPattern();
    // False when the pattern is not drawn at that zoom.
    static bool ShownAt(float zoom);
    void Draw(const GUI_CampaignMap& map);

private:
    CTexturedSprite m_sprite;
};
