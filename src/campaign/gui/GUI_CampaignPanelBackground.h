#pragma once
#include "engine/CTexturedSprite.h"

class GUI_BaseElement;

// The backdrop both campaign control panels stand on: "box_background.jpg"
// repeating every 1024 pixels under the depth frame.
class GUI_CampaignPanelBackground {
public:
    GUI_CampaignPanelBackground();
    void Draw(const GUI_BaseElement& panel);

private:
    CTexturedSprite m_sprite;
};
