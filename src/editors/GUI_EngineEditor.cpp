#include "editors/GUI_EngineEditor.h"

#include "engine/CInput.h"
#include "engine/D3DEngine.h"
#include "engine/GIniFile.h"
#include "engine/StrFormat.h"
#include "frontend/GUI_OptionsSlider.h"
#include "sim/SIM_ShipHull.h"

#include <cmath>

namespace {
struct GlowType {
    const char* texture;
    const char* debris;
    bool noDebris;
    float factor;
};
const GlowType kTypes[6] = {
    {"engineglow.dds", "engine_debris", false, 1.0f},         {"allianceengineglow.dds", "alliance_engine_debris", false, 0.5f},
    {"tribe_engineglow.dds", "engine_debris", false, 1.0f},   {"imperialengineglow.dds", "engine_debris", false, 1.0f},
    {"imperialengineglow.dds", "", true, 1.0f},               {"swarm_engineglow.dds", "engine_debris", false, 1.0f},
};

GUI_EngineEditor* Self(std::intptr_t arg)
{
    return reinterpret_cast<GUI_EngineEditor*>(arg);
}
} // namespace

GUI_EngineEditor::GUI_EngineEditor()
{
    AddPanelButton("New Engine Glow", [](std::intptr_t a) { Self(a)->AddGlow(); }, 0, 10, 150, 30);
    AddPanelButton("Change Type", [](std::intptr_t a) { Self(a)->ChangeType(); }, 0, 40, 150, 60);
    const auto self = reinterpret_cast<std::intptr_t>(this);
    m_width = new GUI_OptionsSlider("Width", 0.0f, [](std::intptr_t a) { Self(a)->FollowSliders(); }, self);
    m_height = new GUI_OptionsSlider("Height", 0.0f, [](std::intptr_t a) { Self(a)->FollowSliders(); }, self);
    m_width->SetRect(left + 10.0f, top + 70.0f, left + 210.0f, top + 115.0f);
    m_height->SetRect(left + 10.0f, top + 120.0f, left + 210.0f, top + 165.0f);
    AddChild(m_width);
    AddChild(m_height);
}

void GUI_EngineEditor::OnEditorKey(int)
{
    if (visible)
        ClickButtons();
}

int GUI_EngineEditor::HitGlow(float x, float y) const
{
    for (size_t i = 0; i < m_glows.size(); ++i) {
        const Glow& g = m_glows[i];
        const float cx = kViewLeft + 2.0f * g.x, cy = kViewTop + 2.0f * g.y;
        if (std::fabs(x - cx) <= g.viewWidth * 0.5f && std::fabs(y - cy) <= g.viewHeight * 0.5f)
            return static_cast<int>(i);
    }
    return -1;
}

void GUI_EngineEditor::SetSlidersFrom(const Glow& g)
{
    m_height->value = (g.viewHeight - 10.0f) / 90.0f;
    m_width->value = (g.viewWidth - 10.0f) / 90.0f;
}

void GUI_EngineEditor::FollowSliders()
{
    if (m_selected < 0)
        return;
    m_glows[m_selected].viewWidth = m_width->value * 90.0f + 10.0f;
    m_glows[m_selected].viewHeight = m_height->value * 90.0f + 10.0f;
}

bool GUI_EngineEditor::OnViewLeftClick(float x, float y)
{
    if (!visible)
        return false;
    const int hit = HitGlow(x, y);
    if (hit < 0)
        return false;
    m_selected = hit;
    SetSlidersFrom(m_glows[hit]);
    m_dragging = true;
    m_grabX = (x - kViewLeft) - 2.0f * m_glows[hit].x;
    m_grabY = (y - kViewTop) - 2.0f * m_glows[hit].y;
    return true;
}

bool GUI_EngineEditor::OnViewRightClick(float x, float y)
{
    if (!visible)
        return false;
    const int hit = HitGlow(x, y);
    if (hit < 0)
        return false;
    m_glows.erase(m_glows.begin() + hit);
    if (m_selected == hit) {
        m_selected = -1;
        m_dragging = false;
    } else if (m_selected > hit) {
        --m_selected;
    }
    return true;
}

void GUI_EngineEditor::AddGlow()
{
    Glow g;
    g.x = 250.0f;
    g.y = 250.0f;
    g.texture = kTypes[0].texture;
    g.debris = kTypes[0].debris;
    g.viewWidth = m_defaultWidth * 0.5f * 512.0f / m_hullWidth;
    g.viewHeight = m_defaultHeight * 0.5f * 512.0f / m_hullWidth;
    g.sprite = std::make_shared<CTexturedSprite>();
    g.sprite->SetTexture(g.texture);
    m_glows.push_back(std::move(g));
    m_selected = static_cast<int>(m_glows.size()) - 1;
    SetSlidersFrom(m_glows.back());
}

void GUI_EngineEditor::ChangeType()
{
    if (m_selected < 0)
        return;
    Glow& g = m_glows[m_selected];
    g.type = (g.type + 1) % 6;
    g.texture = kTypes[g.type].texture;
    g.debris = kTypes[g.type].debris;
    g.noDebris = kTypes[g.type].noDebris;
    g.factor = kTypes[g.type].factor;
    if (g.sprite)
        g.sprite->SetTexture(g.texture);
}

void GUI_EngineEditor::StepDrag(float mouseX, float mouseY, bool leftDown)
{
    if (!leftDown) {
        m_dragging = false;
        return;
    }
    if (!m_dragging || m_selected < 0)
        return;
    m_glows[m_selected].x = ((mouseX - kViewLeft) - m_grabX) / 2.0f;
    m_glows[m_selected].y = ((mouseY - kViewTop) - m_grabY) / 2.0f;
}

void GUI_EngineEditor::DrawItems()
{
    const CInput& input = CInput::GetInstance();
    StepDrag(input.GetMouseX(), input.GetMouseY(), input.IsLeftButtonDown());
    if (m_selected >= 0) {
        m_defaultWidth = m_glows[m_selected].viewWidth * 0.5f;
        m_defaultHeight = m_glows[m_selected].viewHeight * 0.5f;
    }
    for (size_t i = 0; i < m_glows.size(); ++i) {
        Glow& g = m_glows[i];
        const float cx = kViewLeft + 2.0f * g.x, cy = kViewTop + 2.0f * g.y;
        if (g.sprite) {
            g.sprite->SetSize(g.viewWidth, g.viewHeight);
            g.sprite->PlaceCentred(cx, cy);
            g.sprite->Draw();
        }
        if (static_cast<int>(i) == m_selected) {
            const int hw = static_cast<int>(g.viewWidth * 0.5f), hh = static_cast<int>(g.viewHeight * 0.5f);
            D3DEngine::GetInstance().DrawRectFrame(GRect{int(cx) - hw, int(cy) - hh, int(cx) + hw, int(cy) + hh},
                                                   0xFFFFFF40u);
        }
    }
}

void GUI_EngineEditor::Draw()
{
    if (!visible)
        return;
    m_width->SetRect(left + 10.0f, top + 70.0f, left + 210.0f, top + 115.0f);
    m_height->SetRect(left + 10.0f, top + 120.0f, left + 210.0f, top + 165.0f);
    m_width->visible = m_height->visible = m_selected >= 0;
    GUI_EditorBase::Draw();
    FollowSliders();
}

void GUI_EngineEditor::ReadSection(const SIM_ShipHull& hull)
{
    SetHull(hull);
    ReadValues(ReadRawValues(hull.GetFileName(), SectionName()), hull.GetWidth());
}

void GUI_EngineEditor::ReadValues(const std::vector<std::string>& values, float hullWidth)
{
    m_hullWidth = hullWidth > 0.0f ? hullWidth : 1.0f;
    m_glows.clear();
    m_selected = -1;
    m_dragging = false;
    for (const std::string& value : values) {
        std::vector<std::string> f = SplitFields(value);
        f.resize(std::max<size_t>(f.size(), 8));
        Glow g;
        g.x = ToFloat(f[0]);
        g.y = ToFloat(f[1]);
        g.viewWidth = ToFloat(f[2]) * 512.0f / m_hullWidth;
        g.viewHeight = ToFloat(f[3]) * 512.0f / m_hullWidth;
        g.texture = f[4];
        g.debris = f[5];
        g.noDebris = ParseLeadingInt(f[6].c_str()) != 0;
        g.factor = ToFloat(f[7]);
        g.sprite = std::make_shared<CTexturedSprite>();
        g.sprite->SetTexture(g.texture);
        m_glows.push_back(std::move(g));
    }
}

void GUI_EngineEditor::WriteSection(std::string& out) const
{
    out += "[engineglows]\n";
    for (size_t i = 0; i < m_glows.size(); ++i) {
        const Glow& g = m_glows[i];
        out += StrFormat("%d = %.2f,%.2f,%.2f,%.2f,", static_cast<int>(i), g.x, g.y, g.viewWidth * m_hullWidth / 512.0f,
                         g.viewHeight * m_hullWidth / 512.0f);
        out += g.texture + "," + g.debris + ",";
        out += StrFormat("%d,%.2f\n", g.noDebris ? 1 : 0, g.factor);
    }
    out += "\n";
}
