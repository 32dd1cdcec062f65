#pragma once
#include "engine/CTexturedSprite.h"
#include "engine/GRect.h"
#include "gui/GUI_ButtonBase.h"

#include <string>

// A check box with a framed label; only the box takes clicks.
class GUI_CheckButton : public GUI_ButtonBase {
public:
    static constexpr size_t kMaxLabel = 63;
    static constexpr float kBoxSize = 34.0f;

    GUI_CheckButton(const char* labelKey, GUI_Callback callback, std::intptr_t argument);

    bool OnLeftClick(float x, float y) override;
    void Draw() override;

    const std::string& GetLabel() const { return m_label; }
    const GRect& GetLabelRect() const { return m_labelRect; }
    // The box is centred at (left + 37, top + 21).
    bool BoxContains(float x, float y) const;
    // The least width that holds the box and the whole label in its frame.
    static int WidthFor(const std::string& label);

    bool ticked = false;

private:
    std::string m_label;
    CTexturedSprite m_box;
    CTexturedSprite m_tick;
    GRect m_labelRect;
};
