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

    static constexpr float kFontSize = 20.0f;
    // A title too long for one line at kFontSize takes two lines, at the
    // largest size from kTwoLineSize down to kSmallestSize that holds it
    // whole; one that even that cannot hold is cut with "..." at the end.
    static constexpr float kTwoLineSize = 16.0f;
    static constexpr float kSmallestSize = 13.0f;
    // The room the bar leaves beside its text (30 before, 10 after), and
    // between its end and the window's right edge.
    static constexpr float kTextPad = 40.0f;

    // The owner sets the rectangle first: the text is fitted to it.
    void SetText(const std::string& text);
    const std::string& GetText() const { return m_text; }
    float GetBarWidth() const { return m_barWidth; }
    float GetTextSize() const { return m_size; }
    // The least window width whose title bar shows the text on one line.
    static int WidthForOneLine(const std::string& text);

    // A tab that heads a box of its own is drawn in its middle; a dialog's
    // stands at its left.
    void SetCentred(bool centred) { m_centred = centred; }
    // The left edge of the drawn tab (its left cap), in screen pixels.
    float GetTabLeft() const;

    void Draw() override;

private:
    BaseSprite m_leftCap;
    BaseSprite m_middle;
    BaseSprite m_rightCap;
    SmartTexture m_texture;
    float m_barWidth = 0.0f;
    float m_size = kFontSize;
    bool m_centred = false;
    std::string m_text;
};
