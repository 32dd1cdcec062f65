#pragma once
#include <cstdint>
#include <vector>

#include "gui/GUI_WindowBase.h"
#include "platform/IGraphicsDevice.h"

class GUI_Tooltip;

// One coloured slice of a pie, over whole degrees clockwise from straight
// up, with a tooltip naming its figure and share while the mouse is over it.
class GUI_PieSegment : public GUI_WindowBase {
public:
    GUI_PieSegment(int startDegrees, int endDegrees, uint32_t argb, const char* labelKey, float radius, float cx,
                   float cy);
    ~GUI_PieSegment() override;

    void Draw() override;
    void Update() override;

    // Degrees clockwise from up of the point seen from the centre, 0..360.
    static float AngleOf(float dx, float dy);
    bool IsUnder(float x, float y) const;
    // The centre, then one rim point per whole degree, start..end inclusive.
    int GetFanVertexCount() const { return m_fanCount; }
    // Appends the slice as a triangle list (the pie draws all in one go).
    void AppendTriangles(std::vector<ScreenVertex>& out) const;
    GUI_Tooltip* GetTooltip() const { return m_tooltip; }
    int GetStart() const { return m_start; }
    int GetEnd() const { return m_end; }

private:
    std::vector<ScreenVertex> m_fan;
    int m_fanCount = 0;
    GUI_Tooltip* m_tooltip = nullptr;
    int m_start;
    int m_end;
    float m_radius;
    float m_cx;
    float m_cy;
};
