#include "platform/HeadlessWindow.h"

HeadlessWindow::HeadlessWindow(int width, int height, bool fullScreen)
    : m_width(width > 0 ? width : 1), m_height(height > 0 ? height : 1), m_fullScreen(fullScreen)
{
    m_modes = {{1920, 1080, 60}, {1280, 1024, 60}, {1024, 768, 60}};
}

int HeadlessWindow::PumpEvents()
{
    int delivered = 0;
    // Handlers may inject more; those wait for the next pump, like real events.
    size_t n = m_queue.size();
    for (size_t i = 0; i < n && !m_queue.empty(); ++i) {
        auto event = std::move(m_queue.front());
        m_queue.pop_front();
        IWindowListener ignore; // the event still changes the window's state
        event(m_listener ? *m_listener : ignore);
        ++delivered;
    }
    return delivered;
}

bool HeadlessWindow::SetIcon(int width, int height, const std::vector<uint8_t>& rgba)
{
    if (!IsWholeIcon(width, height, rgba))
        return false;
    m_iconWidth = width;
    m_iconHeight = height;
    m_icon = rgba;
    return true;
}

bool HeadlessWindow::SetClientSize(int width, int height)
{
    if (width <= 0 || height <= 0)
        return false;
    if (width == m_width && height == m_height)
        return true;
    m_width = width;
    m_height = height;
    m_queue.push_back([width, height](IWindowListener& l) { l.OnResized(width, height); });
    return true;
}

bool HeadlessWindow::SetFullScreen(bool fullScreen)
{
    m_fullScreen = fullScreen;
    return true;
}

void HeadlessWindow::GetMousePosition(int& x, int& y) const
{
    x = m_mouseX;
    y = m_mouseY;
}

bool HeadlessWindow::GetDesktopSize(int& width, int& height) const
{
    width = m_desktopWidth;
    height = m_desktopHeight;
    return true;
}

void HeadlessWindow::SetDesktop(int width, int height, std::vector<DisplayMode> modes)
{
    m_desktopWidth = width;
    m_desktopHeight = height;
    m_modes = std::move(modes);
}

void HeadlessWindow::InjectQuit()
{
    m_queue.push_back([](IWindowListener& l) { l.OnQuit(); });
}

void HeadlessWindow::InjectFocus(bool focused)
{
    m_queue.push_back([this, focused](IWindowListener& l) {
        m_focused = focused;
        l.OnFocusChanged(focused);
    });
}

void HeadlessWindow::InjectKey(int scancode, bool down, bool repeat, uint32_t timestampMs)
{
    WindowKeyEvent e{scancode, down, repeat, timestampMs};
    m_queue.push_back([e](IWindowListener& l) { l.OnKey(e); });
}

void HeadlessWindow::InjectText(const std::string& text)
{
    m_queue.push_back([text](IWindowListener& l) { l.OnTextInput(text); });
}

void HeadlessWindow::InjectMouseMove(int x, int y)
{
    m_queue.push_back([this, x, y](IWindowListener& l) {
        m_mouseX = x;
        m_mouseY = y;
        l.OnMouseMove(x, y);
    });
}

void HeadlessWindow::InjectMouseButton(MouseButton button, bool down, bool doubleClick)
{
    m_queue.push_back([this, button, down, doubleClick](IWindowListener& l) {
        l.OnMouseButton({button, down, doubleClick, m_mouseX, m_mouseY});
    });
}

void HeadlessWindow::InjectWheel(int delta)
{
    m_queue.push_back([delta](IWindowListener& l) { l.OnMouseWheel(delta); });
}
