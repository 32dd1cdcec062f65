#include "battle/hud/GUI_Stat_GraphLine.h"

#include <cmath>

void GUI_Stat_GraphLine::AppendSegments(std::vector<ScreenVertex>& out, uint32_t argb) const
{
    for (size_t i = 1; i < m_points.size(); ++i) {
        const Point& a = m_points[i - 1];
        const Point& b = m_points[i];
        const float dx = b.x - a.x;
        const float dy = b.y - a.y;
        const float len = std::sqrt(dx * dx + dy * dy);
        if (!(len > 0.0f))
            continue;
        const float nx = -dy / len * kWidth * 0.5f;
        const float ny = dx / len * kWidth * 0.5f;
        const ScreenVertex p0{a.x + nx, a.y + ny, 0.0f, 1.0f, argb, 0.0f, 0.0f};
        const ScreenVertex p1{a.x - nx, a.y - ny, 0.0f, 1.0f, argb, 0.0f, 0.0f};
        const ScreenVertex p2{b.x + nx, b.y + ny, 0.0f, 1.0f, argb, 0.0f, 0.0f};
        const ScreenVertex p3{b.x - nx, b.y - ny, 0.0f, 1.0f, argb, 0.0f, 0.0f};
        out.push_back(p0);
        out.push_back(p1);
        out.push_back(p2);
        out.push_back(p2);
        out.push_back(p1);
        out.push_back(p3);
    }
}
