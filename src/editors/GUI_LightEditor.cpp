#include "editors/GUI_LightEditor.h"

#include "engine/CInput.h"
#include "engine/D3DEngine.h"
#include "engine/GIniFile.h"
#include "engine/RandomTables.h"
#include "engine/StrFormat.h"
#include "frontend/GUI_OptionsSlider.h"
#include "gui/GUI_ButtonBase.h"
#include "sim/SIM_ShipHull.h"

#include <SDL2/SDL_timer.h>
#include <algorithm>
#include <cmath>

namespace {
GUI_LightEditor* Self(std::intptr_t arg)
{
    return reinterpret_cast<GUI_LightEditor*>(arg);
}
const char* const kSliderKeys[3] = {"Light Size", "Light Interval", "Light Sprite"};
} // namespace

GUI_LightEditor::GUI_LightEditor()
{
    const auto self = reinterpret_cast<std::intptr_t>(this);
    for (int i = 0; i < 3; ++i) {
        m_sliders[i] = new GUI_OptionsSlider(kSliderKeys[i], 0.0f, [](std::intptr_t a) { Self(a)->FollowSliders(); }, self);
        AddChild(m_sliders[i]);
    }
    AddPanelButton("New Light", [](std::intptr_t a) { Self(a)->AddLight(); }, 10, 10, 210, 30);
    AddPanelButton("Frame Lights", [](std::intptr_t a) { Self(a)->ToggleFrames(); }, 10, 32, 210, 52);
    m_sprite.SetTexture("runninglight.dds");
}

int GUI_LightEditor::HitLight(float x, float y, size_t from) const
{
    for (size_t i = from; i < m_lights.size(); ++i) {
        if (std::fabs(x - (kViewLeft + m_lights[i].x)) <= kHitSize * 0.5f &&
            std::fabs(y - (kViewTop + m_lights[i].y)) <= kHitSize * 0.5f)
            return static_cast<int>(i);
    }
    return -1;
}

void GUI_LightEditor::FollowSliders()
{
    if (m_selected < 0)
        return;
    Light& l = m_lights[m_selected];
    l.size = m_sliders[0]->value * 8.0f;
    l.interval = m_sliders[1]->value * 400.0f;
    l.frame = std::min(3, static_cast<int>(m_sliders[2]->value * 4.0f));
}

bool GUI_LightEditor::OnViewLeftClick(float x, float y)
{
    if (!visible)
        return false;
    for (int i = HitLight(x, y, 0); i >= 0; i = HitLight(x, y, static_cast<size_t>(i) + 1)) {
        m_lights[i].dragging = true;
        m_selected = i;
    }
    if (m_selected >= 0) {
        const Light& l = m_lights[m_selected];
        m_sliders[0]->value = l.size / 8.0f;
        m_sliders[1]->value = l.interval / 400.0f;
        m_sliders[2]->value = l.frame * 0.25f;
    }
    return false;
}

bool GUI_LightEditor::OnViewRightClick(float x, float y)
{
    if (!visible)
        return false;
    const int hit = HitLight(x, y, 0);
    if (hit < 0)
        return false;
    m_lights.erase(m_lights.begin() + hit);
    // A removed light is no longer selected: the sliders must not change a
    // light that is gone.
    if (m_selected == hit)
        m_selected = -1;
    else if (m_selected > hit)
        --m_selected;
    return false;
}

void GUI_LightEditor::AddLight()
{
    Light l;
    l.x = 8.0f;
    l.y = 8.0f;
    if (m_selected >= 0) {
        l.interval = m_lights[m_selected].interval;
        l.size = m_lights[m_selected].size;
        l.frame = m_lights[m_selected].frame;
    } else {
        l.interval = 0.0f;
        l.size = 4.0f;
        l.frame = 0;
    }
    l.phaseMs = l.interval * RandomFloat();
    m_lights.push_back(l);
}

float GUI_LightEditor::Pulse(Light& light, float elapsedMs)
{
    light.phaseMs += elapsedMs;
    const float t = light.phaseMs * 0.4f;
    if (light.interval <= 0.0f) {
        light.phaseMs = 0.0f;
        return 1.0f;
    }
    const float b = std::clamp(t / light.interval, 0.0f, 1.0f);
    if (t >= light.interval)
        light.phaseMs = t - light.interval;
    return b;
}

void GUI_LightEditor::StepDrag(float mouseX, float mouseY, bool leftDown)
{
    for (Light& l : m_lights) {
        if (!l.dragging)
            continue;
        if (!leftDown) {
            l.dragging = false;
            continue;
        }
        l.x = mouseX - kViewLeft;
        l.y = mouseY - kViewTop;
    }
}

void GUI_LightEditor::DrawItems()
{
    const CInput& input = CInput::GetInstance();
    StepDrag(input.GetMouseX(), input.GetMouseY(), input.IsLeftButtonDown());
    const double now = SDL_GetTicks();
    const float elapsed = m_lastMs < 0.0 ? 0.0f : static_cast<float>(now - m_lastMs);
    m_lastMs = now;
    const float scale = m_scale;
    for (size_t i = 0; i < m_lights.size(); ++i) {
        Light& l = m_lights[i];
        const float b = Pulse(l, elapsed);
        const float side = l.size * b * scale;
        m_sprite.SetSize(side, side);
        m_sprite.SetFrame(l.frame, 4);
        m_sprite.PlaceCentred(kViewLeft + l.x, kViewTop + l.y);
        m_sprite.Draw();
        if (m_frameLights) {
            const int h = std::max(1, static_cast<int>(side * 0.5f));
            const int cx = static_cast<int>(kViewLeft + l.x), cy = static_cast<int>(kViewTop + l.y);
            D3DEngine::GetInstance().DrawRectFrame(GRect{cx - h, cy - h, cx + h, cy + h},
                                                   static_cast<int>(i) == m_selected ? 0x80FFFFFFu : 0x40FFFFFFu);
        }
    }
}

void GUI_LightEditor::Draw()
{
    if (!visible)
        return;
    const bool selected = m_selected >= 0;
    for (int i = 0; i < 3; ++i) {
        m_sliders[i]->SetRect(left + 10.0f, top + 10.0f + 50.0f * i, left + 210.0f, top + 55.0f + 50.0f * i);
        m_sliders[i]->visible = selected;
    }
    const float y = top + (selected ? 160.0f : 10.0f);
    if (m_buttons.size() >= 2) {
        m_buttons[0]->SetRect(left + 10.0f, y, left + 210.0f, y + 20.0f);
        m_buttons[1]->SetRect(left + 10.0f, y + 22.0f, left + 210.0f, y + 42.0f);
    }
    GUI_EditorBase::Draw();
    FollowSliders();
    if (selected) {
        const Light& l = m_lights[m_selected];
        DrawLabel(StrFormat("%.2f", l.size), left + 220.0f, top + 10.0f);
        DrawLabel(StrFormat("%.2f", l.interval), left + 220.0f, top + 60.0f);
        DrawLabel(StrFormat("%d", l.frame), left + 220.0f, top + 110.0f);
    }
}

void GUI_LightEditor::ReadSection(const SIM_ShipHull& hull)
{
    SetHull(hull);
    m_scale = hull.GetWidth() > 0.0f ? 512.0f / hull.GetWidth() : 1.0f;
    ReadValues(ReadRawValues(hull.GetFileName(), SectionName()));
}

void GUI_LightEditor::ReadValues(const std::vector<std::string>& values)
{
    m_lights.clear();
    m_selected = -1;
    for (const std::string& value : values) {
        std::vector<std::string> f = SplitFields(value);
        f.resize(std::max<size_t>(f.size(), 5));
        Light l;
        l.x = 2.0f * ToFloat(f[0]);
        l.y = 2.0f * ToFloat(f[1]);
        l.interval = ToFloat(f[2]);
        l.size = ToFloat(f[3]);
        l.frame = ParseLeadingInt(f[4].c_str());
        l.phaseMs = l.interval * RandomFloat();
        m_lights.push_back(l);
    }
}

void GUI_LightEditor::WriteSection(std::string& out) const
{
    out += "[runninglights]\n";
    for (size_t i = 0; i < m_lights.size(); ++i) {
        const Light& l = m_lights[i];
        out += StrFormat("%d = %.2f,%.2f,%.2f,%.2f,%d\n", static_cast<int>(i), l.x / 2.0f, l.y / 2.0f, l.interval,
                         l.size, l.frame);
    }
    out += "\n";
}
