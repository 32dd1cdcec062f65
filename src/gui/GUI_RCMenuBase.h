#pragma once
#include "engine/CTexturedSprite.h"
#include "gui/GUI_WindowBase.h"

#include <string>

class GUI_ButtonBase;

// Base of the right-click pop-up menus: a framed box with a caption and a
// column of item buttons. A click outside closes it and still reaches the
// windows below. One menu is open at a time.
class GUI_RCMenuBase : public GUI_WindowBase {
public:
    static constexpr int kRowHeight = 20;
    static constexpr int kRowStep = 24;

    GUI_RCMenuBase();
    ~GUI_RCMenuBase() override;

    bool OnLeftClick(float x, float y) override;
    void Draw() override;
    bool IsModal() const override { return true; }

    void AddItem(GUI_ButtonBase* button);
    // Wrapped to the menu's width; a caption of several lines makes the menu
    // taller and its items go below it (set it before adding them).
    void SetCaption(const std::string& text);
    const std::string& GetCaption() const { return m_caption; }

    static GUI_RCMenuBase* GetOpen();
    // Top-left corner of a menu that size opened at the pointer: 16 pixels to
    // its right, its top 27 above it, wholly on a screen of that size.
    static void PlaceBesidePointer(float mouseX, float mouseY, int screenWidth, int screenHeight, int menuWidth,
                                   int menuHeight, float& x, float& y);

    // The subclass sets the first row below its caption.
    int nextRowY = 0;

protected:
    std::string m_caption;
    int m_captionExtra = 0; // pixels the caption takes past its first line
    CTexturedSprite m_background;
};
