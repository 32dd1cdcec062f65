#pragma once
#include "platform/IWindow.h"

#include <memory>
#include <string>

struct SDL_Window;
struct SDL_Cursor;
union SDL_Event;

struct WindowSettings {
    std::string title;
    int width = 1280;
    int height = 1024;
    bool fullScreen = false;
    bool hidden = false; // shown later with Show
};

// The SDL window with an OpenGL 3.3 core context (EGL under the offscreen
// driver). SDL's video subsystem is started by Create and stopped with the
// last window.
class SdlWindow : public IWindow {
public:
    // Null, with SDL's reason in error, when the window or context fails.
    static std::unique_ptr<SdlWindow> Create(const WindowSettings& settings, std::string* error);
    ~SdlWindow() override;
    SdlWindow(const SdlWindow&) = delete;
    SdlWindow& operator=(const SdlWindow&) = delete;

    bool IsHeadless() const override { return false; }
    void SetListener(IWindowListener* listener) override { m_listener = listener; }
    int PumpEvents() override;
    void SwapBuffers() override;

    void Show() override;
    void SetTitle(const std::string& title) override;
    bool SetIcon(int width, int height, const std::vector<uint8_t>& rgba) override;
    int GetClientWidth() const override;
    int GetClientHeight() const override;
    bool SetClientSize(int width, int height) override;
    bool IsFullScreen() const override;
    bool SetFullScreen(bool fullScreen) override;
    bool HasFocus() const override;
    void SetCursor(SystemCursor cursor) override;
    // The cursor last asked for (a display without cursors shows none).
    SystemCursor GetCursor() const { return m_cursor; }
    void GetMousePosition(int& x, int& y) const override;

    bool GetDesktopSize(int& width, int& height) const override;
    std::vector<DisplayMode> GetDisplayModes() const override;

    // Hands one SDL event to the listener (PumpEvents uses it; tests too).
    // The close of the last window comes from SDL as a window close at once
    // followed by a quit of its own: the listener hears one OnQuit for both.
    void Dispatch(const SDL_Event& event);
    SDL_Window* GetSdlWindow() const { return m_window; }

private:
    SdlWindow() = default;

    SDL_Window* m_window = nullptr;
    void* m_context = nullptr;
    SDL_Cursor* m_cursors[3] = {nullptr, nullptr, nullptr};
    SystemCursor m_cursor = SystemCursor::Arrow;
    IWindowListener* m_listener = nullptr;
    // The last event dispatched was a window close: a quit right after it is
    // SDL's echo of that close, not a second one.
    bool m_closeJustSent = false;
};
