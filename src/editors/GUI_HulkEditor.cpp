#include "editors/GUI_HulkEditor.h"

#include "engine/CInput.h"
#include "engine/D3DEngine.h"
#include "engine/StrFormat.h"
#include "sim/SIM_ShipHull.h"

namespace {
const char* const kModeNames[4] = {"Standard", "Smoke", "Blue Sparks", "Hulks"};
const char* const kConfigs[3] = {"hulk_emmiter", "hulk_smoke_emmiter", "hulk_emmiter_bluesparks"};

GUI_HulkEditor* Self(std::intptr_t arg)
{
    return reinterpret_cast<GUI_HulkEditor*>(arg);
}
} // namespace

const char* GUI_HulkEditor::ConfigForMode(int mode)
{
    return mode >= 0 && mode < 3 ? kConfigs[mode] : "";
}

GUI_HulkEditor::GUI_HulkEditor()
{
    AddPanelButton("HULLEDITOR_HULKEMMITER_STANDARD", [](std::intptr_t a) { Self(a)->SetMode(STANDARD); }, 0, 40, 180, 60);
    AddPanelButton("HULLEDITOR_HULKEMMITER_SMOKE", [](std::intptr_t a) { Self(a)->SetMode(SMOKE); }, 0, 70, 180, 90);
    AddPanelButton("HULLEDITOR_HULKEMMITER_BLUESPARKS", [](std::intptr_t a) { Self(a)->SetMode(BLUE_SPARKS); }, 0, 100,
                   180, 120);
    AddPanelButton("HULLEDITOR_HULKEMMITER_HULKS", [](std::intptr_t a) { Self(a)->SetMode(BOXES); }, 0, 130, 180, 150);
}

bool GUI_HulkEditor::OnViewLeftClick(float x, float y)
{
    if (!visible)
        return false;
    if (m_mode == BOXES) {
        if (InView(x, y)) {
            m_dragging = true;
            m_startX = x;
            m_startY = y;
        }
        return false;
    }
    const float vx = x - kViewLeft, vy = y - kViewTop;
    for (Box& box : m_boxes) {
        if (box.Contains(vx, vy))
            box.emitters.push_back({vx, vy, kConfigs[m_mode]});
    }
    return false;
}

bool GUI_HulkEditor::OnViewRightClick(float x, float y)
{
    if (!visible || m_mode != BOXES)
        return false;
    const float vx = x - kViewLeft, vy = y - kViewTop;
    for (size_t i = 0; i < m_boxes.size(); ++i) {
        if (m_boxes[i].Contains(vx, vy)) {
            m_boxes.erase(m_boxes.begin() + static_cast<long>(i));
            return true;
        }
    }
    return false;
}

void GUI_HulkEditor::StepDrag(float mouseX, float mouseY, bool leftDown)
{
    if (!m_dragging || leftDown)
        return;
    m_dragging = false;
    if (mouseX - m_startX > kMinBoxSide && mouseY - m_startY > kMinBoxSide) {
        Box box;
        box.left = m_startX - kViewLeft;
        box.right = mouseX - kViewLeft;
        box.top = m_startY - kViewTop;
        box.bottom = mouseY - kViewTop;
        m_boxes.push_back(std::move(box));
    }
}

void GUI_HulkEditor::DrawItems()
{
    const CInput& input = CInput::GetInstance();
    const float mx = input.GetMouseX(), my = input.GetMouseY();
    StepDrag(mx, my, input.IsLeftButtonDown());
    D3DEngine& engine = D3DEngine::GetInstance();
    auto drawBox = [&engine](float l, float t, float r, float b) {
        const GRect rect{static_cast<int>(l), static_cast<int>(t), static_cast<int>(r), static_cast<int>(b)};
        engine.FillRect(rect, 0x20FFFFFFu);
        engine.DrawRectFrame(rect, 0x40FFFFFFu);
    };
    for (const Box& box : m_boxes)
        drawBox(kViewLeft + box.left, kViewTop + box.top, kViewLeft + box.right, kViewTop + box.bottom);
    if (m_dragging)
        drawBox(m_startX, m_startY, mx, my);
    if (m_mode == BOXES)
        return;
    for (const Box& box : m_boxes) {
        for (const Emitter& e : box.emitters) {
            const int x = static_cast<int>(kViewLeft + e.x), y = static_cast<int>(kViewTop + e.y);
            engine.DrawRectFrame(GRect{x - 2, y - 2, x + 2, y + 2},
                                 e.config == "hulk_smoke_emmiter" ? 0xFF80FF80u : 0xFFFFFFFFu);
        }
    }
}

void GUI_HulkEditor::Draw()
{
    if (!visible)
        return;
    GUI_EditorBase::Draw();
    DrawLabel(kModeNames[m_mode & 3], static_cast<float>(left) + 10.0f, static_cast<float>(top) + 10.0f);
}

void GUI_HulkEditor::ReadSection(const SIM_ShipHull& hull)
{
    SetHull(hull);
    ReadValues(ReadRawValues(hull.GetFileName(), SectionName()));
}

void GUI_HulkEditor::ReadValues(const std::vector<std::string>& values)
{
    m_boxes.clear();
    m_dragging = false;
    for (const std::string& value : values) {
        Box box;
        if (SIM_HulkLine::Parse(value, box))
            m_boxes.push_back(std::move(box));
    }
}

void GUI_HulkEditor::WriteSection(std::string& out) const
{
    out += "[hulks]\n";
    for (size_t i = 0; i < m_boxes.size(); ++i)
        out += StrFormat("%d = ", static_cast<int>(i)) + m_boxes[i].Format() + "\n";
    out += "\n";
}
