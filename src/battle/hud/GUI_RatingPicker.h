#pragma once
#include "engine/BaseSprite.h"
#include "engine/SmartTexture.h"
#include "gui/GUI_WindowBase.h"

// A row of five stars; a click on star n rates n (0 = not rated yet).
class GUI_RatingPicker : public GUI_WindowBase {
public:
    static constexpr int kStars = 5;
    static constexpr float kStarSize = 36.0f;

    GUI_RatingPicker();

    bool OnLeftClick(float x, float y) override;
    void Draw() override;
    void PlaceStars();

    int rating = 0;

private:
    SmartTexture m_full;
    SmartTexture m_empty;
    BaseSprite m_stars[kStars];
};
