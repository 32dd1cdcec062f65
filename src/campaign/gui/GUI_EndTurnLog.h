#pragma once
#include "engine/GRect.h"
#include "gui/GUI_Interlace.h"
#include "gui/GUI_TitleBar.h"
#include "gui/GUI_WindowBase.h"

#include <vector>

class GUI_EndTurnStrip;
class GUI_ScrollingWindow;

// The right half of the end-turn dialog: a strip per planet whose loyalty or
// threat moved this turn. The strips shown share out the spare height.
class GUI_EndTurnLog : public GUI_WindowBase {
public:
    GUI_EndTurnLog();
    ~GUI_EndTurnLog() override;

    void Fill();
    void LayoutStrips();
    void Draw() override;
    void OnWheelUp() override;
    void OnWheelDown() override;

    const std::vector<GUI_EndTurnStrip*>& GetStrips() const { return m_strips; }
    GUI_ScrollingWindow* GetScrollBar() const { return m_scroll; }
    const GRect& GetArea() const { return m_area; }

private:
    GUI_TitleBar m_titleBar;
    GUI_Interlace m_interlace;
    GRect m_area{};
    std::vector<GUI_EndTurnStrip*> m_strips;
    GUI_ScrollingWindow* m_scroll = nullptr;
};
