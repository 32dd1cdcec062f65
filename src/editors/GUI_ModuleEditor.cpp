#include "editors/GUI_ModuleEditor.h"

#include "engine/CInput.h"
#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "engine/StrFormat.h"
#include "platform/KeyCodes.h"
#include "sim/SIM_ShipHull.h"

#include <cmath>

namespace {
// The buttons are as wide as their longest label ("Slots / hardpoints") needs.
constexpr float kButtonRight = 190.0f;

GUI_ModuleEditor* Self(std::intptr_t arg)
{
    return reinterpret_cast<GUI_ModuleEditor*>(arg);
}

// "(x-y)" or the older bare "x-y"; a leading minus belongs to x.
bool ParsePointField(const std::string& field, float& a, float& b)
{
    std::string f = field;
    if (!f.empty() && f.front() == '(')
        f.erase(0, 1);
    if (!f.empty() && f.back() == ')')
        f.pop_back();
    const size_t dash = f.find('-', 1);
    if (f.empty() || dash == std::string::npos)
        return false;
    a = GUI_EditorBase::ToFloat(f.substr(0, dash));
    b = GUI_EditorBase::ToFloat(f.substr(dash + 1));
    return true;
}
} // namespace

GUI_ModuleEditor::GUI_ModuleEditor()
{
    AddPanelButton("HULLEDITOR_TOGGLESLOT", [](std::intptr_t a) { Self(a)->ToggleSelectedType(); }, 10, 10, kButtonRight, 30);
    AddPanelButton("HULLEDITOR_CREATESLOT", [](std::intptr_t a) { Self(a)->CreateSlot(); }, 10, 40, kButtonRight, 60);
    AddPanelButton("HULLEDITOR_EDITMODE", [](std::intptr_t a) { Self(a)->ToggleMode(); }, 10, 70, kButtonRight, 90);
    m_square.SetTexture("square_box.dds");
    m_hex.SetTexture("hex_box.dds");
    for (CTexturedSprite* s : {&m_square, &m_hex}) {
        s->SetSize(kSlotSize, kSlotSize);
        s->SetColour(0xC8FFFFFFu);
    }
}

void GUI_ModuleEditor::Draw()
{
    if (!visible)
        return;
    GUI_EditorBase::Draw();
    DrawLabel(m_mode == 0 ? "Editing Modules" : "Editing Hardpoints", static_cast<float>(left) + 10.0f,
              static_cast<float>(top) + 90.0f);
}

int GUI_ModuleEditor::HitSlot(float x, float y) const
{
    for (size_t i = 0; i < m_slots.size(); ++i) {
        const float cx = kViewLeft + m_slots[i].x, cy = kViewTop + m_slots[i].y;
        if (std::fabs(x - cx) <= kSlotSize * 0.5f && std::fabs(y - cy) <= kSlotSize * 0.5f)
            return static_cast<int>(i);
    }
    return -1;
}

bool GUI_ModuleEditor::OnViewLeftClick(float x, float y)
{
    if (!visible)
        return false;
    if (m_mode == 0) {
        const int hit = HitSlot(x, y);
        if (hit < 0)
            return false;
        m_selected = hit;
        m_dragging = true;
        m_pressX = x;
        m_pressY = y;
        m_grabX = (x - kViewLeft) - m_slots[hit].x;
        m_grabY = (y - kViewTop) - m_slots[hit].y;
        return true;
    }
    if (m_selected >= 0 && InView(x, y)) {
        m_slots[m_selected].hardpoints.push_back({x - kViewLeft, y - kViewTop});
        return true;
    }
    return false;
}

bool GUI_ModuleEditor::OnViewRightClick(float x, float y)
{
    if (!visible)
        return false;
    if (m_mode == 1) {
        if (m_selected < 0)
            return false;
        auto& points = m_slots[m_selected].hardpoints;
        const Point pointer{x - kViewLeft, y - kViewTop};
        const Point* nearest = nullptr;
        float best = 0.0f;
        for (const Point& p : points) {
            const float d = std::hypot(p.x - pointer.x, p.y - pointer.y);
            if (!nearest || d < best) {
                nearest = &p;
                best = d;
            }
        }
        if (!nearest || best >= kHardpointReach)
            return false;
        const Point victim = *nearest;
        std::erase(points, victim);
        return true;
    }
    const int hit = HitSlot(x, y);
    if (hit < 0)
        return false;
    m_slots.erase(m_slots.begin() + hit);
    m_selected = -1;
    m_dragging = false;
    return true;
}

void GUI_ModuleEditor::OnEditorKey(int key)
{
    if (m_selected < 0)
        return;
    Slot& s = m_slots[m_selected];
    switch (key) {
    case KEY_UP: s.y -= 1.0f; break;
    case KEY_LEFT: s.x -= 1.0f; break;
    case KEY_RIGHT: s.x += 1.0f; break;
    case KEY_DOWN: s.y += 1.0f; break;
    default: break;
    }
}

void GUI_ModuleEditor::ToggleSelectedType()
{
    if (m_selected >= 0)
        m_slots[m_selected].type = 1 - m_slots[m_selected].type;
}

void GUI_ModuleEditor::CreateSlot()
{
    QLM_ASSERT(m_hull != nullptr);
    if (m_hull)
        m_slots.push_back(Slot{});
}

void GUI_ModuleEditor::StepDrag(float mouseX, float mouseY, bool leftDown)
{
    if (!m_dragging)
        return;
    if (!leftDown) {
        m_dragging = false;
        return;
    }
    if (m_selected < 0)
        return;
    if (std::hypot(mouseX - m_pressX, mouseY - m_pressY) <= kDragThreshold)
        return;
    // Past the threshold once, the slot follows the pointer from then on.
    m_pressX = m_pressY = -1000.0f;
    m_slots[m_selected].x = mouseX - kViewLeft - m_grabX;
    m_slots[m_selected].y = mouseY - kViewTop - m_grabY;
}

void GUI_ModuleEditor::DrawItems()
{
    const CInput& input = CInput::GetInstance();
    StepDrag(input.GetMouseX(), input.GetMouseY(), input.IsLeftButtonDown());
    D3DEngine& engine = D3DEngine::GetInstance();
    for (size_t i = 0; i < m_slots.size(); ++i) {
        const Slot& s = m_slots[i];
        const float cx = kViewLeft + s.x, cy = kViewTop + s.y;
        CTexturedSprite& sprite = s.type == 1 ? m_hex : m_square;
        sprite.PlaceCentred(cx, cy);
        sprite.Draw();
        if (static_cast<int>(i) == m_selected) {
            const int h = static_cast<int>(kSlotSize * 0.5f);
            engine.DrawRectFrame(GRect{int(cx) - h, int(cy) - h, int(cx) + h, int(cy) + h}, 0xFFFFFF40u);
        }
        for (const Point& p : s.hardpoints) {
            const float hx = kViewLeft + p.x, hy = kViewTop + p.y;
            engine.DrawLine(cx, cy, hx, hy, 0xC0FFC040u);
            engine.FillRect(GRect{int(hx) - 2, int(hy) - 2, int(hx) + 2, int(hy) + 2}, 0xC8FFFFFFu);
        }
    }
}

void GUI_ModuleEditor::ReadSection(const SIM_ShipHull& hull)
{
    SetHull(hull);
    ReadValues(ReadRawValues(hull.GetFileName(), SectionName()));
}

void GUI_ModuleEditor::ReadValues(const std::vector<std::string>& values)
{
    m_slots.clear();
    m_selected = -1;
    m_dragging = false;
    for (const std::string& value : values) {
        const std::vector<std::string> f = SplitFields(value);
        if (f.size() < 2)
            continue;
        // Picture units straight to view pixels: a save that edits nothing
        // gives back the same positions whatever the hull's proportions.
        Slot s;
        s.x = ToFloat(f[0]) * 2.0f;
        s.y = ToFloat(f[1]) * 2.0f;
        const std::string type = f.size() > 2 ? f[2] : std::string();
        if (type == "TURRET")
            s.type = 1;
        else if (type != "STANDARD")
            LOG_ERROR(StrFormat("Unknown ship slot type [%s]", type.c_str()));
        for (size_t i = 3; i < f.size(); ++i) {
            float a = 0.0f, b = 0.0f;
            if (ParsePointField(f[i], a, b))
                s.hardpoints.push_back({a * 2.0f, b * 2.0f});
        }
        m_slots.push_back(std::move(s));
    }
}

void GUI_ModuleEditor::WriteSection(std::string& out) const
{
    out += "[slots]\n";
    for (size_t i = 0; i < m_slots.size(); ++i) {
        const Slot& s = m_slots[i];
        out += StrFormat("%d = %.2f,%.2f,", static_cast<int>(i), s.x / 2.0f, s.y / 2.0f);
        out += s.type == 1 ? "TURRET," : "STANDARD,";
        for (const Point& p : s.hardpoints)
            out += StrFormat("(%.2f-%.2f),", p.x / 2.0f, p.y / 2.0f);
        out += "\n";
    }
    out += "\n";
}
