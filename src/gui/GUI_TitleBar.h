#pragma once
#include "engine/BaseSprite.h"
#include "engine/SmartTexture.h"
#include "gui/GUI_WindowBase.h"

#include <string>

// The tab-shaped strip at the top of a dialog; its length follows its text.
class GUI_TitleBar : public GUI_WindowBase {
public:
    static constexpr float kBarHeight = 42.0f;
    static constexpr float kCapWidth = 20.0f;

    GUI_TitleBar();

    // The owner sets the rectangle first: the text is shortened to fit it.
    void SetText(const std::string& text);
    const std::string& GetText() const { return m_text; }
    float GetBarWidth() const { return m_barWidth; }

    void Draw() override;

private:
    BaseSprite m_leftCap;
    BaseSprite m_middle;
    BaseSprite m_rightCap;
    SmartTexture m_texture;
    float m_barWidth = 0.0f;
    std::string m_text;
};
