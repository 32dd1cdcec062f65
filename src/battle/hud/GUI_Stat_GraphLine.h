#pragma once
#include <cstdint>
#include <vector>

#include "platform/IGraphicsDevice.h"

class GUI_GraphKeyButton;

// One polyline of the time graph. It does not draw itself: the graph
// collects every shown line into one batch of quads.
class GUI_Stat_GraphLine {
public:
    static constexpr float kWidth = 2.0f;
    static constexpr uint32_t kHighlightColour = 0xFFFFFFFFu;

    struct Point {
        float x, y;
    };

    void SetColour(int r, int g, int b, int a) { m_argb = (uint32_t(a) << 24) | (uint32_t(r) << 16) | (uint32_t(g) << 8) | uint32_t(b); }
    uint32_t GetColour() const { return m_argb; }
    void Clear() { m_points.clear(); }
    void AddPoint(float x, float y) { m_points.push_back(Point{x, y}); }
    const std::vector<Point>& GetPoints() const { return m_points; }
    // Appends two triangles per segment, widened across the segment.
    void AppendSegments(std::vector<ScreenVertex>& out, uint32_t argb) const;

    GUI_GraphKeyButton* keyButton = nullptr;
    bool highlighted = false;
    bool visible = true;

private:
    std::vector<Point> m_points;
    uint32_t m_argb = 0xFFFFFFFFu;
};
