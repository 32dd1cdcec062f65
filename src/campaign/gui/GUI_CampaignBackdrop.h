#pragma once
#include "engine/CTexturedSprite.h"

// The picture behind the end-turn and captured-ships dialogs and the campaign
// deployment: "campaign_backdrop.bmp" across the screen's width and half its
// height, shown at one texel per pixel on a 2048-pixel-wide screen; black
// around it where it does not reach.
class GUI_CampaignBackdrop {
public:
    static constexpr float kImageWidth = 2048.0f;

    static GUI_CampaignBackdrop& GetInstance();
    void Draw();
    // The share of the image shown across a screen of that width, 0..1.
    static float TexelShare(int screenWidth);

private:
    GUI_CampaignBackdrop() = default;
    CTexturedSprite m_sprite;
    bool m_made = false;
};
