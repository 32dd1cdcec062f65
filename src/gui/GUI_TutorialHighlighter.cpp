#include "gui/GUI_TutorialHighlighter.h"

#include "engine/D3DEngine.h"
#include "gui/GUI_BaseElement.h"

#include <algorithm>
#include <cmath>
#include <numbers>

GUI_TutorialHighlighter& GUI_TutorialHighlighter::GetInstance()
{
    static GUI_TutorialHighlighter instance;
    return instance;
}

void GUI_TutorialHighlighter::SetArea(const std::string& name, AreaProvider provider)
{
    if (provider)
        m_areas[name] = std::move(provider);
    else
        m_areas.erase(name);
}

bool GUI_TutorialHighlighter::CanPointAt(const std::string& name) const
{
    if (auto it = m_areas.find(name); it != m_areas.end()) {
        GRect rect;
        return it->second(rect);
    }
    return GUI_BaseElement::FindByName(name) != nullptr;
}

void GUI_TutorialHighlighter::Highlight(const std::string& name)
{
    if (name.empty())
        return;
    if (auto it = m_areas.find(name); it != m_areas.end()) {
        GRect rect;
        if (it->second(rect))
            AddHighlight(name, rect);
        return;
    }
    // A copy: nothing here names elements, but the walk must not depend on it.
    const std::vector<GUI_BaseElement*> named = GUI_BaseElement::GetNamedElements();
    for (const GUI_BaseElement* element : named) {
        if (element->GetName() == name)
            AddHighlight(name, GRect{element->left, element->top, element->right, element->bottom});
    }
}

void GUI_TutorialHighlighter::AddHighlight(const std::string& name, const GRect& rect)
{
    m_timer.Start();
    m_pulseMs = 0.0;
    m_active = true;
    m_frames.push_back({name, rect});
}

void GUI_TutorialHighlighter::CancelHighlight()
{
    m_active = false;
    m_frames.clear();
}

int GUI_TutorialHighlighter::PulseAlpha(double pulseMs)
{
    const double t = std::clamp(pulseMs / kPulseMs, 0.0, 1.0);
    return static_cast<int>((std::sin(2.0 * std::numbers::pi * t) + 1.0) * 0.5 * 255.0);
}

void GUI_TutorialHighlighter::Draw()
{
    if (!m_active)
        return;
    m_timer.Update();
    m_pulseMs += m_timer.GetTotalMs();
    m_timer.Start();
    const double read = m_pulseMs;
    if (m_pulseMs >= kPulseMs)
        m_pulseMs = std::fmod(m_pulseMs, kPulseMs);
    m_lastAlpha = PulseAlpha(read);
    const uint32_t colour = (static_cast<uint32_t>(m_lastAlpha) << 24) | 0x00FFFFFFu;
    D3DEngine& engine = D3DEngine::GetInstance();
    engine.SetNormalBlend();
    engine.SetTexture(0);
    const int b = kBarThickness;
    for (const Frame& frame : m_frames) {
        const GRect& r = frame.rect;
        // Top and bottom bars span the whole width; the sides fit between them.
        engine.FillRect(GRect{r.left, r.top, r.right, r.top + b}, colour);
        engine.FillRect(GRect{r.left, r.bottom - b, r.right, r.bottom}, colour);
        engine.FillRect(GRect{r.left, r.top + b, r.left + b, r.bottom - b}, colour);
        engine.FillRect(GRect{r.right - b, r.top + b, r.right, r.bottom - b}, colour);
    }
}
