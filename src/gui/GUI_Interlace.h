#pragma once
#include "engine/BaseSprite.h"
#include "engine/GRect.h"
#include "engine/GTimer.h"

class IClock;

// The scan-line overlay of dialog client areas: faint lines every 3 pixels
// with a brighter one sweeping down. The area is fixed at the first draw.
class GUI_Interlace {
public:
    static constexpr int kLineSpacing = 3;
    static constexpr double kSweepStepMs = 50.0;

    explicit GUI_Interlace(const IClock* clock = nullptr);
    virtual ~GUI_Interlace() = default;

    virtual void Draw(const GRect& rect);
    // Draws over an area that may move: the lines follow it, and the sweep
    // starts again only when it moved, never merely for being drawn.
    void DrawOver(const GRect& area);

    void SetArea(int left, int top, int right, int bottom);
    bool IsAreaSet() const { return m_areaSet; }
    const GRect& GetArea() const { return m_area; }
    // Lines the current area holds.
    int GetLineCount() const;
    // The index of the bright line at the last draw.
    int GetBrightLine() const { return m_brightLine; }
    void SetClock(const IClock* clock);

private:
    bool m_areaSet = false;
    GTimer m_timer;
    GRect m_area;
    BaseSprite m_line;
    float m_centreX = 0.0f;
    int m_brightLine = 0;
};
