#pragma once
#include "platform/IWindow.h"

#include <deque>
#include <functional>

// A window with no display: tests inject events, which PumpEvents delivers in
// order, and read back what the game asked of the window.
class HeadlessWindow : public IWindow {
public:
    HeadlessWindow(int width = 1280, int height = 1024, bool fullScreen = false);

    bool IsHeadless() const override { return true; }
    void SetListener(IWindowListener* listener) override { m_listener = listener; }
    int PumpEvents() override;
    void SwapBuffers() override { ++m_swaps; }

    void Show() override { m_shown = true; }
    void SetTitle(const std::string& title) override { m_title = title; }
    bool SetIcon(int width, int height, const std::vector<uint8_t>& rgba) override;
    int GetClientWidth() const override { return m_width; }
    int GetClientHeight() const override { return m_height; }
    bool SetClientSize(int width, int height) override;
    bool IsFullScreen() const override { return m_fullScreen; }
    bool SetFullScreen(bool fullScreen) override;
    bool HasFocus() const override { return m_focused; }
    void SetCursor(SystemCursor cursor) override { m_cursor = cursor; }
    void GetMousePosition(int& x, int& y) const override;

    bool GetDesktopSize(int& width, int& height) const override;
    std::vector<DisplayMode> GetDisplayModes() const override { return m_modes; }

    // Injection; delivered at the next PumpEvents.
    void InjectQuit();
    void InjectFocus(bool focused);
    void InjectKey(int scancode, bool down, bool repeat = false, uint32_t timestampMs = 0);
    void InjectText(const std::string& text);
    void InjectMouseMove(int x, int y);
    void InjectMouseButton(MouseButton button, bool down, bool doubleClick = false);
    void InjectWheel(int delta);
    void SetDesktop(int width, int height, std::vector<DisplayMode> modes);

    // Inspection.
    int GetSwapCount() const { return m_swaps; }
    bool IsShown() const { return m_shown; }
    const std::string& GetTitle() const { return m_title; }
    // The icon last set (0 x 0 while none was).
    int GetIconWidth() const { return m_iconWidth; }
    int GetIconHeight() const { return m_iconHeight; }
    const std::vector<uint8_t>& GetIconPixels() const { return m_icon; }
    SystemCursor GetCursor() const { return m_cursor; }
    size_t PendingEvents() const { return m_queue.size(); }

private:
    std::deque<std::function<void(IWindowListener&)>> m_queue;
    IWindowListener* m_listener = nullptr;
    int m_width;
    int m_height;
    bool m_fullScreen;
    bool m_focused = true;
    bool m_shown = false;
    int m_mouseX = 0;
    int m_mouseY = 0;
    int m_swaps = 0;
    int m_desktopWidth = 1920;
    int m_desktopHeight = 1080;
    std::vector<DisplayMode> m_modes;
    std::string m_title;
    int m_iconWidth = 0;
    int m_iconHeight = 0;
    std::vector<uint8_t> m_icon;
    SystemCursor m_cursor = SystemCursor::Arrow;
};
