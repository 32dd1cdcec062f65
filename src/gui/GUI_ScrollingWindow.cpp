#include "gui/GUI_ScrollingWindow.h"

#include "engine/CInput.h"
#include "engine/D3DEngine.h"
#include "gui/GUI_ScrollButton.h"

#include <algorithm>
#include <cmath>

namespace {

bool InRect(const GRect& r, float x, float y)
{
    const int px = static_cast<int>(x);
    const int py = static_cast<int>(y);
    return px >= r.left && px < r.right && py >= r.top && py < r.bottom;
}

} // namespace

GUI_ScrollingWindow::GUI_ScrollingWindow()
{
    m_up = new GUI_ScrollButton(GUI_ScrollButton::kUp, "gui_scrollup.dds", "gui_scrollup_h.dds");
    m_down = new GUI_ScrollButton(GUI_ScrollButton::kDown, "gui_scrolldown.dds", "gui_scrolldown_h.dds");
    AddButton(m_up);
    AddButton(m_down);
}

void GUI_ScrollingWindow::ScrollUp()
{
    if (position - 1 < 0)
        return;
    --position;
    changed = true;
    GUI_ScrollButton::PlayScrollClick();
}

void GUI_ScrollingWindow::ScrollDown()
{
    if (position + 1 > maximum)
        return;
    ++position;
    changed = true;
    GUI_ScrollButton::PlayScrollClick();
}

void GUI_ScrollingWindow::SetPosition(int newPosition)
{
    const int clamped = std::clamp(newPosition, 0, std::max(0, maximum));
    if (clamped != position) {
        position = clamped;
        changed = true;
    }
}

void GUI_ScrollingWindow::DragThumb()
{
    if (!m_draggingThumb)
        return;
    const CInput& input = CInput::GetInstance();
    const float w = static_cast<float>(width);
    const float track = static_cast<float>(height) - 2.0f * w;
    // Nothing to scroll or no track to drag along: the drag has no meaning.
    if (!input.IsLeftButtonDown() || contentSize <= 0.0f || track <= 0.0f) {
        m_draggingThumb = false;
        return;
    }
    const float low = static_cast<float>(top) + w;
    const float high = std::max(low, static_cast<float>(bottom) - w - m_thumb.GetHeight());
    const float y = std::clamp(input.GetMouseY() - m_dragOffset, low, high);
    const float fraction = (y - low) / track;
    SetPosition(static_cast<int>(fraction * contentSize));
}

void GUI_ScrollingWindow::Layout()
{
    DragThumb();
    const float w = static_cast<float>(width);
    m_up->SetRect(static_cast<float>(left), static_cast<float>(top), static_cast<float>(right),
                  static_cast<float>(top) + w);
    m_down->SetRect(static_cast<float>(left), static_cast<float>(bottom) - w, static_cast<float>(right),
                    static_cast<float>(bottom));
    const float track = static_cast<float>(height) - 2.0f * w;
    if (contentSize <= 0.0f || track <= 0.0f) {
        m_pageUp = GRect{};
        m_pageDown = GRect{};
        m_thumbLength = 0.0f;
        m_thumb.SetSize(0.0f, 0.0f);
        return;
    }
    const float ratio = std::min(1.0f, std::max(0.0f, visibleSize) / contentSize);
    m_thumbLength = track * ratio;
    m_thumb.SetSize(std::max(0.0f, w - 4.0f), std::max(kMinThumbHeight, m_thumbLength - 4.0f));
    const float trackTop = static_cast<float>(top) + w;
    const float centreY = trackTop + track * (static_cast<float>(position) / contentSize) + m_thumbLength / 2.0f;
    m_thumb.PlaceCentred(static_cast<float>(right) - w / 2.0f, centreY);
    const int trackBottom = bottom - width;
    m_pageUp = GRect{left, top + width, right, std::min(trackBottom, static_cast<int>(centreY))};
    const int thumbLower = static_cast<int>(centreY + m_thumb.GetHeight() / 2.0f);
    m_pageDown = GRect{left, std::min(trackBottom, thumbLower), right, trackBottom};
}

bool GUI_ScrollingWindow::OnLeftClick(float x, float y)
{
    if (!visible)
        return false;
    if (ClickButtons())
        return true;
    Layout();
    if (InRect(m_pageUp, x, y)) {
        ScrollUp();
        return true;
    }
    if (InRect(m_pageDown, x, y)) {
        ScrollDown();
        return true;
    }
    if (contentSize > 0.0f && m_thumb.HitTest(x, y)) {
        m_draggingThumb = true;
        m_dragOffset = y - (m_thumb.m_vertices[0].y + m_thumb.m_vertices[3].y) / 2.0f;
    }
    return false;
}

void GUI_ScrollingWindow::Draw()
{
    if (!visible)
        return;
    Layout();
    D3DEngine& engine = D3DEngine::GetInstance();
    engine.FillRect(GRect{left, top + width, right, bottom - width}, kTrackColour);
    DrawButtons();
    if (contentSize <= 0.0f || m_thumbLength <= 0.0f)
        return;
    const CInput& input = CInput::GetInstance();
    const bool over = m_thumb.HitTest(input.GetMouseX(), input.GetMouseY());
    m_thumb.SetColour(over ? kThumbHoverColour : kThumbColour);
    engine.SetTexture(0);
    m_thumb.Draw();
}
