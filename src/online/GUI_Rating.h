#pragma once
#include "engine/BaseSprite.h"
#include "engine/SmartTexture.h"
#include "gui/GUI_WindowBase.h"

#include <string>

// Five stars showing an average rating of 0 to 5, the last one cut to its
// part; the tooltip gives the percentage. Display only.
class GUI_Rating : public GUI_WindowBase {
public:
    enum Kind { DIFFICULTY = 0, ENJOYMENT = 1 };
    static constexpr int kStars = 5;
    static constexpr float kStarSize = 12.0f;

    explicit GUI_Rating(Kind kind);
    ~GUI_Rating() override;

    void SetValue(float rating);
    void Draw() override;

    float GetFill(int star) const { return m_fill[star]; }
    const std::string& GetTooltipText() const { return m_tooltipText; }

private:
    Kind m_kind;
    float m_fill[kStars] = {0, 0, 0, 0, 0};
    SmartTexture m_full;
    SmartTexture m_empty;
    BaseSprite m_star;
    std::string m_tooltipText;
    class GUI_Tooltip* m_tooltip = nullptr;
};
