#include "editors/GUI_DamageEditor.h"

#include "engine/CInput.h"
#include "engine/D3DEngine.h"
#include "engine/GIniFile.h"
#include "engine/StrFormat.h"
#include "platform/KeyCodes.h"
#include "sim/SIM_ShipHull.h"

#include <cmath>

namespace {
const char* const kTypes[4] = {"SHIP_EMMITER_LARGE", "SHIP_EMMITER_SMALL", "SHIP_EMMITER_THIN", "NONE"};
const char* const kModeCaptions[4] = {"Selecting Damage", "Editing Emitters", "Adding Damage", "Moving Offsets"};

GUI_DamageEditor* Self(std::intptr_t arg)
{
    return reinterpret_cast<GUI_DamageEditor*>(arg);
}

bool Inside(const GRect& r, float x, float y)
{
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

} // namespace

GUI_DamageEditor::GUI_DamageEditor()
{
    AddPanelButton("New Damage", [](std::intptr_t a) { Self(a)->SetMode(NEW_DAMAGE); }, 0, 10, 150, 30);
    AddPanelButton("Place Emmiters", [](std::intptr_t a) { Self(a)->SetMode(EMITTERS); }, 0, 30, 150, 50);
    AddPanelButton("Move Offsets", [](std::intptr_t a) { Self(a)->SetMode(MOVE); }, 0, 50, 150, 70);
    AddPanelButton("Select Damage", [](std::intptr_t a) { Self(a)->SetMode(SELECT); }, 0, 70, 150, 90);
    AddPanelButton("Sparks", [](std::intptr_t a) { Self(a)->SetConfig("damage_sprite_sparks"); }, 160, 10, 280, 30);
    AddPanelButton("Smoke", [](std::intptr_t a) { Self(a)->SetConfig("damage_sprite_smoke"); }, 160, 40, 280, 60);
    AddPanelButton("TempName", [](std::intptr_t a) { Self(a)->CycleType(); }, 160, 70, 280, 90);
}

void GUI_DamageEditor::SetMode(int mode)
{
    m_mode = mode;
    if (mode == NEW_DAMAGE)
        m_dragging = false;
}

void GUI_DamageEditor::CycleType()
{
    if (m_selected < 0)
        return;
    m_typeCursor = (m_typeCursor + 1) % 4;
    Point& p = m_points[m_selected];
    if (m_typeCursor == 3) {
        p.hasType = false;
        p.type.clear();
    } else {
        p.hasType = true;
        p.type = kTypes[m_typeCursor];
    }
}

float GUI_DamageEditor::ViewX(float worldX) const
{
    return worldX / m_width * 512.0f + 256.0f;
}

float GUI_DamageEditor::ViewY(float worldY) const
{
    return worldY / m_height * 512.0f + 256.0f;
}

GRect GUI_DamageEditor::ViewRect(const Point& p) const
{
    return GRect{static_cast<int>(p.left * 512.0f + kViewLeft), static_cast<int>(p.top * 512.0f + kViewTop),
                 static_cast<int>(p.right * 512.0f + kViewLeft), static_cast<int>(p.bottom * 512.0f + kViewTop)};
}

bool GUI_DamageEditor::OnViewLeftClick(float x, float y)
{
    if (!visible)
        return false;
    switch (m_mode) {
    case EMITTERS:
        for (Point& p : m_points) {
            if (!p.hasRect || !Inside(ViewRect(p), x, y))
                continue;
            const int px = static_cast<int>(x - kViewLeft) / 2, py = static_cast<int>(y - kViewTop) / 2;
            p.emitters.push_back({(px - 128.0f) / 256.0f * m_width, (py - 128.0f) / 256.0f * m_width, m_config});
        }
        break;
    case SELECT:
        if (InView(x, y)) {
            m_selected = -1;
            for (size_t i = 0; i < m_points.size() && m_selected < 0; ++i) {
                if (m_points[i].hasRect && Inside(ViewRect(m_points[i]), x, y))
                    m_selected = static_cast<int>(i);
            }
        }
        break;
    case NEW_DAMAGE:
        if (InView(x, y) && !m_dragging) {
            m_dragging = true;
            m_dragX = x - kViewLeft;
            m_dragY = y - kViewTop;
        }
        break;
    case MOVE:
        for (Point& p : m_points) {
            if (p.hasRect && Inside(ViewRect(p), x, y)) {
                p.x = m_width * ((x - kViewLeft) / 512.0f - 0.5f);
                p.y = m_height * ((y - kViewTop) / 512.0f - 0.5f);
                break;
            }
        }
        break;
    default: break;
    }
    return false;
}

bool GUI_DamageEditor::OnViewRightClick(float x, float y)
{
    if (!visible)
        return false;
    if (m_mode == EMITTERS) {
        for (Point& p : m_points) {
            for (size_t i = 0; i < p.emitters.size(); ++i) {
                const float vx = kViewLeft + p.emitters[i].x / m_width * 512.0f + 256.0f;
                const float vy = kViewTop + p.emitters[i].y / m_height * 512.0f + 256.0f;
                if (std::hypot(vx - x, vy - y) < kMarkerReach) {
                    p.emitters.erase(p.emitters.begin() + static_cast<long>(i));
                    return true;
                }
            }
        }
        return false;
    }
    if (m_mode == NEW_DAMAGE) {
        for (size_t i = 0; i < m_points.size(); ++i) {
            if (m_points[i].hasRect && Inside(ViewRect(m_points[i]), x, y)) {
                m_points.erase(m_points.begin() + static_cast<long>(i));
                // The selection must not slide onto the next point.
                if (m_selected == static_cast<int>(i))
                    m_selected = -1;
                else if (m_selected > static_cast<int>(i))
                    --m_selected;
                return true;
            }
        }
    }
    return false;
}

void GUI_DamageEditor::OnEditorKey(int key)
{
    if (key == KEY_U)
        m_showRects = !m_showRects;
}

void GUI_DamageEditor::StepDrag(float mouseX, float mouseY, bool leftDown)
{
    if (!m_dragging || m_mode != NEW_DAMAGE || leftDown)
        return;
    m_dragging = false;
    const float ex = mouseX - kViewLeft, ey = mouseY - kViewTop;
    if (!(ex > m_dragX && ey > m_dragY))
        return;
    Point p;
    p.hasRect = true;
    p.left = m_dragX / 512.0f;
    p.top = m_dragY / 512.0f;
    p.right = ex / 512.0f;
    p.bottom = ey / 512.0f;
    p.x = m_width * ((p.left + p.right) / 2.0f - 0.5f);
    p.y = m_height * ((p.top + p.bottom) / 2.0f - 0.5f);
    m_points.push_back(std::move(p));
}

void GUI_DamageEditor::DrawItems()
{
    // Every emitter's effect, at its marker, whatever else is hidden.
    m_preview.Begin(512.0f / m_width);
    for (const Point& p : m_points)
        for (const Emitter& e : p.emitters)
            m_preview.Show(e.config, static_cast<float>(static_cast<int>(kViewLeft + ViewX(e.x))),
                           static_cast<float>(static_cast<int>(kViewTop + ViewY(e.y))));
    m_preview.End();
    if (!m_showRects)
        return;
    const CInput& input = CInput::GetInstance();
    const float mx = input.GetMouseX(), my = input.GetMouseY();
    D3DEngine& engine = D3DEngine::GetInstance();
    for (size_t i = 0; i < m_points.size(); ++i) {
        const Point& p = m_points[i];
        if (!p.hasRect)
            continue;
        const GRect r = ViewRect(p);
        const bool lit = Inside(r, mx, my) || static_cast<int>(i) == m_selected;
        engine.FillRect(r, lit ? 0x9BFFFFFFu : 0x40FFFFFFu);
        engine.DrawRectFrame(r, lit ? 0xFFFFFFFFu : 0x80FFFFFFu);
    }
    for (const Point& p : m_points) {
        const float cx = kViewLeft + ViewX(p.x), cy = kViewTop + ViewY(p.y);
        engine.DrawLine(cx - 10.0f, cy, cx + 10.0f, cy, 0xFFFF8040u);
        engine.DrawLine(cx, cy - 10.0f, cx, cy + 10.0f, 0xFFFF8040u);
        for (const Emitter& e : p.emitters) {
            const int ex = static_cast<int>(kViewLeft + ViewX(e.x)), ey = static_cast<int>(kViewTop + ViewY(e.y));
            engine.DrawRectFrame(GRect{ex - 2, ey - 2, ex + 2, ey + 2}, 0xFFFFFFFFu);
        }
    }
    if (m_mode == NEW_DAMAGE && m_dragging) {
        const GRect r{static_cast<int>(kViewLeft + m_dragX), static_cast<int>(kViewTop + m_dragY),
                      static_cast<int>(mx), static_cast<int>(my)};
        engine.FillRect(r, 0x20FFFFFFu);
        engine.DrawRectFrame(r, 0xFFFFFFFFu);
    }
    StepDrag(mx, my, input.IsLeftButtonDown());
}

void GUI_DamageEditor::Draw()
{
    if (!visible)
        return;
    GUI_EditorBase::Draw();
    const float x = static_cast<float>(left) + 10.0f, t = static_cast<float>(top);
    DrawLabel(kModeCaptions[m_mode & 3], x, t + 110.0f);
    if (m_dragging)
        DrawLabel("Dragging", x, t + 130.0f);
    DrawLabel(m_config, x, t + 150.0f);
    DrawLabel("Temporary:", x, t + 170.0f);
    if (m_selected >= 0 && m_points[m_selected].hasType)
        DrawLabel(m_points[m_selected].type, static_cast<float>(left) + 130.0f, t + 170.0f);
}

void GUI_DamageEditor::ReadSection(const SIM_ShipHull& hull)
{
    SetHull(hull);
    // From the file in its own order: the hull's list is shuffled for aiming.
    ReadValues(ReadRawValues(hull.GetFileName(), SectionName()), hull.GetWidth(), hull.GetHeight());
}

void GUI_DamageEditor::ReadValues(const std::vector<std::string>& values, float width, float height)
{
    m_width = width > 0.0f ? width : 1.0f;
    m_height = height > 0.0f ? height : 1.0f;
    m_points.clear();
    m_selected = -1;
    m_dragging = false;
    for (const std::string& value : values) {
        const std::vector<std::string> f = SplitFields(value);
        if (f.size() < 4)
            continue;
        Point p;
        p.x = (ToFloat(f[0]) - 128.0f) / 256.0f * m_width;
        p.y = (ToFloat(f[1]) - 128.0f) / 256.0f * m_width;
        p.hasType = ParseLeadingInt(f[2].c_str()) != 0;
        p.hasRect = ParseLeadingInt(f[3].c_str()) != 0;
        size_t i = 4;
        if (p.hasRect && f.size() >= i + 4) {
            p.left = ToFloat(f[i]) / 256.0f;
            p.top = ToFloat(f[i + 1]) / 256.0f;
            p.right = ToFloat(f[i + 2]) / 256.0f;
            p.bottom = ToFloat(f[i + 3]) / 256.0f;
            i += 4;
        }
        if (p.hasType && i < f.size())
            p.type = f[i++];
        for (; i < f.size(); ++i) {
            Emitter e;
            float ex = 0.0f, ey = 0.0f;
            if (!SIM_ShipHull::ParseEmitterField(f[i], e.config, ex, ey))
                continue;
            e.x = (ex - 128.0f) / 256.0f * m_width;
            e.y = (ey - 128.0f) / 256.0f * m_width;
            p.emitters.push_back(std::move(e));
        }
        m_points.push_back(std::move(p));
    }
}

void GUI_DamageEditor::WriteSection(std::string& out) const
{
    out += "[targets]\n";
    auto X = [this](float v) { return v / m_width * 256.0f + 128.0f; };
    for (size_t i = 0; i < m_points.size(); ++i) {
        const Point& p = m_points[i];
        out += StrFormat("%d = %.2f,%.2f,%d,%d,", static_cast<int>(i), X(p.x), X(p.y), p.hasType ? 1 : 0,
                         p.hasRect ? 1 : 0);
        if (p.hasRect)
            out += StrFormat("%.2f,%.2f,%.2f,%.2f,", p.left * 256.0f, p.top * 256.0f, p.right * 256.0f,
                             p.bottom * 256.0f);
        if (p.hasType)
            out += p.type + ",";
        for (const Emitter& e : p.emitters)
            out += "(" + e.config + StrFormat("-%.2f-%.2f),", X(e.x), X(e.y));
        out += "\n";
    }
    out += "\n";
}
