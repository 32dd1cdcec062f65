#pragma once
#include "gui/GUI_BaseElement.h"

#include <string>
#include <vector>

// Hover help owned by a button (or another widget): shown after the mouse has
// rested on its owner for `delay` frames, drawn beside the mouse, at most one
// per frame.
class GUI_Tooltip : public GUI_BaseElement {
public:
    static constexpr int kMaxWidth = 240;

    GUI_Tooltip(const std::string& text, int delay);
    ~GUI_Tooltip() override;

    // Only queues; DrawQueued draws the first queued tooltip that shows.
    void Draw() override;
    static void DrawQueued();
    static size_t GetQueuedCount();

    void AddLine(const std::string& text);
    // One line in place of whatever it said (texts that change as they show).
    void SetText(const std::string& text);
    void SetTextString(const std::string& text) { AddLine(text); }
    void CheckShowTime();
    bool DrawIfShown();
    void Layout();
    void PlaceAtMouse();
    void SetAnchor(float x, float y)
    {
        anchorX = x;
        anchorY = y;
    }

    const std::vector<std::string>& GetLines() const { return m_lines; }
    int GetDelay() const { return m_delay; }

    float visibility = 0.0f;
    float alpha = 0.0f;
    float anchorX = 0.0f;
    float anchorY = 0.0f;

private:
    std::vector<std::string> m_lines;
    int m_delay;
    bool m_laidOut = false;
};
