#include "editors/GUI_ExplosionEditor.h"

#include "engine/CInput.h"
#include "engine/D3DEngine.h"
#include "engine/StrFormat.h"
#include "sim/SIM_ShipHull.h"

#include <algorithm>
#include <cmath>

GRect GUI_ExplosionEditor::RowRect(size_t index) const
{
    const int rowTop = top + 30 + static_cast<int>(index * kRowHeight);
    return GRect{left + 10, rowTop, right - 10, rowTop + static_cast<int>(kRowHeight)};
}

bool GUI_ExplosionEditor::OnViewLeftClick(float x, float y)
{
    if (!visible)
        return false;
    for (size_t i = 0; i < m_points.size(); ++i) {
        const float cx = kViewLeft + 2.0f * m_points[i].x, cy = kViewTop + 2.0f * m_points[i].y;
        if (std::fabs(x - cx) <= kMarkerSize * 0.5f && std::fabs(y - cy) <= kMarkerSize * 0.5f) {
            m_selected = static_cast<int>(i);
            m_dragging = true;
            m_grabX = (x - kViewLeft) - 2.0f * m_points[i].x;
            m_grabY = (y - kViewTop) - 2.0f * m_points[i].y;
        }
    }
    return false;
}

bool GUI_ExplosionEditor::OnLeftClick(float x, float y)
{
    if (!visible)
        return false;
    for (size_t i = 0; i < m_points.size(); ++i) {
        const GRect r = RowRect(i);
        if (x >= r.left && x < r.right && y >= r.top && y < r.bottom)
            m_selected = static_cast<int>(i);
    }
    return GUI_EditorBase::OnLeftClick(x, y);
}

void GUI_ExplosionEditor::StepDrag(float mouseX, float mouseY, bool leftDown)
{
    if (!m_dragging)
        return;
    if (!leftDown || m_selected < 0) {
        m_dragging = false;
        return;
    }
    Point& p = m_points[m_selected];
    p.x = std::clamp(((mouseX - kViewLeft) - m_grabX) / 2.0f, 0.0f, 256.0f);
    p.y = std::clamp(((mouseY - kViewTop) - m_grabY) / 2.0f, 0.0f, 256.0f);
}

void GUI_ExplosionEditor::DrawItems()
{
    D3DEngine& engine = D3DEngine::GetInstance();
    const int h = static_cast<int>(kMarkerSize * 0.5f);
    for (size_t i = 0; i < m_points.size(); ++i) {
        const int cx = static_cast<int>(kViewLeft + 2.0f * m_points[i].x);
        const int cy = static_cast<int>(kViewTop + 2.0f * m_points[i].y);
        const GRect marker{cx - h, cy - h, cx + h, cy + h};
        if (static_cast<int>(i) == m_selected) {
            engine.FillRect(GRect{marker.left - 8, marker.top - 8, marker.right + 8, marker.bottom + 8}, 0x40FFFFFFu);
            engine.FillRect(marker, 0xFFFF4040u);
        } else {
            engine.FillRect(marker, 0xC8FFFFFFu);
        }
    }
}

void GUI_ExplosionEditor::Draw()
{
    if (!visible)
        return;
    const CInput& input = CInput::GetInstance();
    StepDrag(input.GetMouseX(), input.GetMouseY(), input.IsLeftButtonDown());
    GUI_EditorBase::Draw();
    for (size_t i = 0; i < m_points.size(); ++i) {
        const GRect r = RowRect(i);
        if (static_cast<int>(i) == m_selected)
            D3DEngine::GetInstance().FillRect(r, 0x80FFFFFFu);
        const Point& p = m_points[i];
        DrawLabel(StrFormat("%.0f-%s %.0f,%.0f", p.time, p.name.c_str(), p.x, p.y), static_cast<float>(r.left),
                  static_cast<float>(r.top) + 2.0f, kRowTextSize);
    }
}

void GUI_ExplosionEditor::ReadSection(const SIM_ShipHull& hull)
{
    SetHull(hull);
    ReadValues(ReadRawValues(hull.GetFileName(), SectionName()));
}

void GUI_ExplosionEditor::ReadValues(const std::vector<std::string>& values)
{
    m_points.clear();
    m_selected = -1;
    m_dragging = false;
    for (const std::string& value : values) {
        std::vector<std::string> f = SplitFields(value);
        f.resize(std::max<size_t>(f.size(), 4));
        Point p;
        p.time = ToFloat(f[0]);
        p.x = ToFloat(f[1]);
        p.y = ToFloat(f[2]);
        p.name = f[3];
        m_points.push_back(std::move(p));
    }
}

void GUI_ExplosionEditor::WriteSection(std::string& out) const
{
    out += "[explosions]\n";
    for (size_t i = 0; i < m_points.size(); ++i) {
        const Point& p = m_points[i];
        out += StrFormat("%d = %.2f,%.2f,%.2f,", static_cast<int>(i), p.time, p.x, p.y) + p.name + "\n";
    }
    out += "\n";
}
