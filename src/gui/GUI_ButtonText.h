#pragma once
#include "engine/CTexturedSprite.h"
#include "gui/GUI_ButtonBase.h"

#include <algorithm>
#include <string>
#include <vector>

// A labelled button on a three-slice skin: two 32-pixel caps and a stretched
// middle taken from the quarters of a 128-pixel-wide texture.
class GUI_ButtonText : public GUI_ButtonBase {
public:
    static constexpr float kSkinHeight = 34.0f;

    GUI_ButtonText(const char* textKey, GUI_Callback callback, std::intptr_t argument);
    static GUI_ButtonText* GUI_ButtonTextFromString(const std::string& textKey, GUI_Callback callback,
                                                    std::intptr_t argument);

    void Draw() override;
    // The skin, as tall as kSkinHeight around the rectangle's middle.
    GRect GetTextBox() const override;

    // The room a label keeps at each side inside its skin.
    static constexpr int kLabelPad = 12;

    // The label's width in the button's font (0 before the fonts are loaded).
    int GetLabelWidth() const;
    // A width of at least `least` that holds the label and its padding.
    int WidthToFit(int least) const { return std::max(least, GetLabelWidth() + 2 * kLabelPad); }
    // Widths for a row of labelled buttons sharing `span` pixels with `gap`
    // between them: equal shares when every label fits its share with `pad`
    // on each side; else each label's own width and an equal share of what
    // is left (less than nothing when the labels alone are wider).
    static std::vector<float> ShareRow(const std::vector<int>& labelWidths, float span, float gap, float pad);

    // A choice made: the button stays lit (skin and label at full strength)
    // even while it is disabled, so that it reads as chosen rather than as
    // unavailable.
    bool chosen = false;

    void SetTextKey(const char* key);
    void SetTextString(const std::string& text) { m_text = text; }
    const std::string& GetText() const { return m_text; }

protected:
    // The skin the current state draws with; tabs add their selected skin.
    virtual CTexturedSprite& PickSkin();
    void DrawSkin(CTexturedSprite& skin, uint32_t colour);
    void DrawLabel();

    std::string m_text;
    CTexturedSprite m_normal;
    CTexturedSprite m_hover;
    // Labels of buttons made from a key string are flushed at once instead of
    // with the rest of the frame's text.
    bool m_flushLabel = false;
};
