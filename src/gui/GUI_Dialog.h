#pragma once
#include "engine/CTexturedSprite.h"
#include "gui/GUI_TitleBar.h"
#include "gui/GUI_WindowBase.h"

#include <string>

class GUI_CloseButton;
class GUI_Interlace;
class GUI_ScrollingWindow;

// Base of every dialog: a modal, framed window on a tiled background with a
// title bar (its drag handle), an optional close button in the top-right
// corner and a client rectangle inside fixed margins. It registers itself at
// the top of the window manager's z-order; close it through the manager.
class GUI_Dialog : public GUI_WindowBase {
public:
    static constexpr float kCornerSize = 32.0f;
    static constexpr int kCloseButtonSize = 28;
    static constexpr int kCloseButtonInset = 8;

    explicit GUI_Dialog(bool withCloseButton);
    ~GUI_Dialog() override;

    void Draw() override;
    void Centre() override;
    void SetRect(float left, float top, float right, float bottom) override;
    bool IsModal() const override { return true; }
    void StartDrag() override;
    virtual void MoveTo(float x, float y);
    virtual void SetClientRect();

    void SetTitle(const std::string& text);
    void SetTitleKey(const char* key);
    void SetTitleKeyString(const std::string& key);
    const std::string& GetTitle() const { return m_title; }

    GUI_CloseButton* GetCloseButton() const { return m_closeButton; }
    GUI_TitleBar& GetTitleBar() { return m_titleBar; }
    // The background and "border_depth.dds" when empty; else only this frame.
    void SetFrameTexture(const std::string& name) { m_frameTexture = name; }
    const std::string& GetFrameTexture() const { return m_frameTexture; }

    int clientLeft = 0;
    int clientTop = 0;
    int clientRight = 0;
    int clientBottom = 0;
    float sideMargin = 16.0f;
    float topMargin = 46.0f;
    float bottomMargin = 16.0f;
    // Off when the subclass draws the buttons itself.
    bool drawButtons = true;

protected:
    void DrawTitleBar();
    // The client area as notices fill it: the panel, the scan lines and a
    // white text in "zekton16.dds", word-wrapped 10 pixels in from its edges.
    void DrawClientText(GUI_Interlace& interlace, const std::string& text);
    void PlaceTitleBar();
    // A scroll bar 15 pixels wide down the client area's right edge, 5 in
    // from its top, right and bottom.
    GUI_ScrollingWindow* AddClientScrollBar();

    GUI_CloseButton* m_closeButton = nullptr;
    std::string m_title;
    std::string m_frameTexture;
    GUI_TitleBar m_titleBar;
    CTexturedSprite m_background;
};
