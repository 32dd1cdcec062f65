#pragma once
#include "gui/GUI_Interlace.h"
#include "gui/GUI_WindowBase.h"

class GUI_ScrollingWindow;

// A campaign list panel of 64-pixel tiles with its scroll bar: the wheel
// scrolls it, and a scroll lays the tiles out again before they are drawn.
class GUI_CampaignScrollingPanel : public GUI_WindowBase {
public:
    GUI_CampaignScrollingPanel();

    void Draw() override;
    void OnWheelUp() override;
    void OnWheelDown() override;
    virtual void LayOut() = 0;

    GUI_ScrollingWindow* GetScrollBar() const { return m_scroll; }

protected:
    // What the panel shows over its background.
    virtual void DrawContent() = 0;
    // The scroll bar along the right edge, 10 pixels in from top and bottom.
    void PlaceScrollBar();

    GUI_ScrollingWindow* m_scroll = nullptr;

private:
    GUI_Interlace m_interlace;
};
