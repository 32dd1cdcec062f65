#pragma once
#include "engine/BaseSprite.h"
#include "engine/GRect.h"
#include "gui/GUI_WindowBase.h"

class GUI_ScrollButton;

// The vertical scroll bar that lists and text panels embed: two square
// arrows, a track with a thumb sized by how much of the content shows, and a
// position (0..maximum) the owner reads. The owner sets maximum, content
// size and visible size in its own units (rows or pixels).
class GUI_ScrollingWindow : public GUI_WindowBase {
public:
    static constexpr uint32_t kTrackColour = 0xFF0C0C0Cu;
    static constexpr uint32_t kThumbColour = 0xFF969696u;
    static constexpr uint32_t kThumbHoverColour = 0xFFD2D2D2u;
    static constexpr float kMinThumbHeight = 6.0f;

    GUI_ScrollingWindow();

    bool OnLeftClick(float x, float y) override;
    void Draw() override;
    void OnWheelUp() override { ScrollUp(); }
    void OnWheelDown() override { ScrollDown(); }

    void ScrollUp();
    void ScrollDown();

    // Lays out arrows, thumb and page areas for the current values (Draw
    // does this too); also ends a thumb drag when the button is up.
    void Layout();

    GUI_ScrollButton* GetUpArrow() const { return m_up; }
    GUI_ScrollButton* GetDownArrow() const { return m_down; }
    const GRect& GetPageUpArea() const { return m_pageUp; }
    const GRect& GetPageDownArea() const { return m_pageDown; }
    float GetThumbLength() const { return m_thumbLength; }
    const BaseSprite& GetThumb() const { return m_thumb; }
    bool IsDraggingThumb() const { return m_draggingThumb; }

    bool changed = false;
    int position = 0;
    int maximum = 0;
    float contentSize = 0.0f;
    float visibleSize = 0.0f;

private:
    void DragThumb();
    void SetPosition(int newPosition);

    GUI_ScrollButton* m_up = nullptr;
    GUI_ScrollButton* m_down = nullptr;
    BaseSprite m_thumb;
    float m_thumbLength = 0.0f;
    GRect m_pageUp;
    GRect m_pageDown;
    bool m_draggingThumb = false;
    float m_dragOffset = 0.0f;
};
