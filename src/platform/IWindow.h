#pragma once
#include <cstdint>
#include <string>
#include <vector>

enum class MouseButton { Left, Right, Middle };
enum class SystemCursor { Arrow, Wait, Hand };

// A key as the window system reports it; the input manager maps the SDL
// scancode to the game's key codes.
struct WindowKeyEvent {
    int scancode = 0;
    bool down = true;
    bool repeat = false;        // made by the window system's auto-repeat
    uint32_t timestampMs = 0;
};

struct WindowMouseButtonEvent {
    MouseButton button = MouseButton::Left;
    bool down = true;
    bool doubleClick = false;   // the second press of a double click
    int x = 0;
    int y = 0;
};

struct DisplayMode {
    int width = 0;
    int height = 0;
    int refreshRate = 0;        // Hz, 0 when unknown
    bool operator==(const DisplayMode&) const = default;
};

// What the window delivers, one call per event, from PumpEvents on the main
// thread. Every handler is optional.
class IWindowListener {
public:
    virtual ~IWindowListener() = default;
    virtual void OnQuit() {}
    virtual void OnFocusChanged(bool /*focused*/) {}
    virtual void OnKey(const WindowKeyEvent& /*event*/) {}
    // What the keys typed, as the system's keyboard layout made it (UTF-8),
    // in order with the key events.
    virtual void OnTextInput(const std::string& /*text*/) {}
    virtual void OnMouseMove(int /*x*/, int /*y*/) {}
    virtual void OnMouseButton(const WindowMouseButtonEvent& /*event*/) {}
    // Positive: away from the player (forward); one notch is 1.
    virtual void OnMouseWheel(int /*delta*/) {}
    virtual void OnResized(int /*width*/, int /*height*/) {}
};

// Icon pixels that a window takes: a positive size of at most kMaxIconSide a
// side and exactly four bytes a pixel.
constexpr int kMaxIconSide = 256;
inline bool IsWholeIcon(int width, int height, const std::vector<uint8_t>& rgba)
{
    return width > 0 && height > 0 && width <= kMaxIconSide && height <= kMaxIconSide &&
           rgba.size() == static_cast<size_t>(width) * static_cast<size_t>(height) * 4;
}

// The one main window of the game and its GL context.
class IWindow {
public:
    virtual ~IWindow() = default;

    virtual bool IsHeadless() const = 0;
    // The listener is not owned; null stops delivery.
    virtual void SetListener(IWindowListener* listener) = 0;
    // Delivers every waiting event; the count delivered.
    virtual int PumpEvents() = 0;
    virtual void SwapBuffers() = 0;

    virtual void Show() = 0;
    virtual void SetTitle(const std::string& title) = 0;
    // The picture the desktop shows for the window (title bar, task list):
    // width x height pixels of 8-bit RGBA, rows top first. False when the
    // pixels do not match the size or the system refuses them.
    virtual bool SetIcon(int width, int height, const std::vector<uint8_t>& rgba) = 0;
    virtual int GetClientWidth() const = 0;
    virtual int GetClientHeight() const = 0;
    virtual bool SetClientSize(int width, int height) = 0;
    virtual bool IsFullScreen() const = 0;
    virtual bool SetFullScreen(bool fullScreen) = 0;
    virtual bool HasFocus() const = 0;
    virtual void SetCursor(SystemCursor cursor) = 0;
    // The cursor in client pixels.
    virtual void GetMousePosition(int& x, int& y) const = 0;

    virtual bool GetDesktopSize(int& width, int& height) const = 0;
    // Distinct sizes of the first display, largest first.
    virtual std::vector<DisplayMode> GetDisplayModes() const = 0;
};
