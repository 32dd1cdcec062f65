#include "platform/SdlWindow.h"

#include <SDL2/SDL.h>

#include <algorithm>

namespace {

bool Fail(std::string* error, const std::string& what)
{
    if (error)
        *error = what + ": " + SDL_GetError();
    return false;
}

bool MapButton(uint8_t sdlButton, MouseButton& button)
{
    switch (sdlButton) {
    case SDL_BUTTON_LEFT: button = MouseButton::Left; return true;
    case SDL_BUTTON_RIGHT: button = MouseButton::Right; return true;
    case SDL_BUTTON_MIDDLE: button = MouseButton::Middle; return true;
    default: return false;
    }
}

} // namespace

std::unique_ptr<SdlWindow> SdlWindow::Create(const WindowSettings& settings, std::string* error)
{
    if (settings.width <= 0 || settings.height <= 0) {
        if (error)
            *error = "bad window size";
        return nullptr;
    }
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        Fail(error, "SDL video");
        return nullptr;
    }
    std::unique_ptr<SdlWindow> w(new SdlWindow());
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);

    Uint32 flags = SDL_WINDOW_OPENGL | (settings.hidden ? SDL_WINDOW_HIDDEN : SDL_WINDOW_SHOWN);
    if (settings.fullScreen)
        flags |= SDL_WINDOW_FULLSCREEN;
    // A fixed-border window: the game picks its sizes itself.
    w->m_window = SDL_CreateWindow(settings.title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                   settings.width, settings.height, flags);
    if (!w->m_window) {
        Fail(error, "SDL_CreateWindow");
        return nullptr; // the destructor stops the video subsystem again
    }
    w->m_context = SDL_GL_CreateContext(w->m_window);
    if (!w->m_context) {
        Fail(error, "SDL_GL_CreateContext");
        return nullptr;
    }
    SDL_GL_MakeCurrent(w->m_window, w->m_context);
    SDL_GL_SetSwapInterval(1);
    // Text fields read what the layout typed (SDL_TEXTINPUT), not raw keys.
    SDL_StartTextInput();
    w->m_cursors[0] = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW);
    w->m_cursors[1] = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_WAIT);
    w->m_cursors[2] = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_HAND);
    return w;
}

SdlWindow::~SdlWindow()
{
    for (SDL_Cursor*& c : m_cursors) {
        if (c)
            SDL_FreeCursor(c);
        c = nullptr;
    }
    if (m_context)
        SDL_GL_DeleteContext(m_context);
    if (m_window)
        SDL_DestroyWindow(m_window);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

int SdlWindow::PumpEvents()
{
    int n = 0;
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        Dispatch(e);
        ++n;
    }
    // SDL queues its quit together with the close: one not among these
    // events came from elsewhere (TERM) and counts.
    m_closeJustSent = false;
    return n;
}

void SdlWindow::Dispatch(const SDL_Event& e)
{
    IWindowListener ignore;
    IWindowListener& l = m_listener ? *m_listener : ignore;
    const bool afterClose = m_closeJustSent;
    m_closeJustSent = false;
    switch (e.type) {
    case SDL_QUIT:
        if (!afterClose)
            l.OnQuit();
        break;
    case SDL_WINDOWEVENT:
        if (e.window.event == SDL_WINDOWEVENT_FOCUS_GAINED)
            l.OnFocusChanged(true);
        else if (e.window.event == SDL_WINDOWEVENT_FOCUS_LOST)
            l.OnFocusChanged(false);
        else if (e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED)
            l.OnResized(e.window.data1, e.window.data2);
        else if (e.window.event == SDL_WINDOWEVENT_CLOSE) {
            m_closeJustSent = true;
            l.OnQuit();
        }
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        l.OnKey({int(e.key.keysym.scancode), e.type == SDL_KEYDOWN, e.key.repeat != 0, e.key.timestamp});
        break;
    case SDL_TEXTINPUT:
        l.OnTextInput(e.text.text);
        break;
    case SDL_MOUSEMOTION:
        l.OnMouseMove(e.motion.x, e.motion.y);
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        MouseButton b;
        if (MapButton(e.button.button, b)) {
            bool down = e.type == SDL_MOUSEBUTTONDOWN;
            l.OnMouseButton({b, down, down && e.button.clicks == 2, e.button.x, e.button.y});
        }
        break;
    }
    case SDL_MOUSEWHEEL: {
        int dy = e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y;
        if (dy != 0)
            l.OnMouseWheel(dy);
        break;
    }
    default:
        break;
    }
}

void SdlWindow::SwapBuffers()
{
    SDL_GL_SwapWindow(m_window);
}

void SdlWindow::Show()
{
    SDL_ShowWindow(m_window);
    SDL_RaiseWindow(m_window);
}

void SdlWindow::SetTitle(const std::string& title)
{
    SDL_SetWindowTitle(m_window, title.c_str());
}

bool SdlWindow::SetIcon(int width, int height, const std::vector<uint8_t>& rgba)
{
    if (!m_window || !IsWholeIcon(width, height, rgba))
        return false;
    // The surface only borrows the pixels; SDL copies them for the window.
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint8_t*>(rgba.data()), width, height, 32,
                                                              width * 4, SDL_PIXELFORMAT_RGBA32);
    if (!surface)
        return false;
    SDL_SetWindowIcon(m_window, surface);
    SDL_FreeSurface(surface);
    return true;
}

int SdlWindow::GetClientWidth() const
{
    int w = 0, h = 0;
    SDL_GL_GetDrawableSize(m_window, &w, &h);
    return w;
}

int SdlWindow::GetClientHeight() const
{
    int w = 0, h = 0;
    SDL_GL_GetDrawableSize(m_window, &w, &h);
    return h;
}

bool SdlWindow::SetClientSize(int width, int height)
{
    if (width <= 0 || height <= 0)
        return false;
    if (IsFullScreen()) {
        SDL_DisplayMode mode;
        if (SDL_GetWindowDisplayMode(m_window, &mode) != 0)
            return false;
        mode.w = width;
        mode.h = height;
        if (SDL_SetWindowDisplayMode(m_window, &mode) != 0)
            return false;
    }
    SDL_SetWindowSize(m_window, width, height);
    // The window keeps its old corner otherwise: one made taller than the
    // display would stay above its top edge, title and all.
    const int display = std::max(0, SDL_GetWindowDisplayIndex(m_window));
    SDL_SetWindowPosition(m_window, SDL_WINDOWPOS_CENTERED_DISPLAY(display), SDL_WINDOWPOS_CENTERED_DISPLAY(display));
    return true;
}

bool SdlWindow::IsFullScreen() const
{
    return (SDL_GetWindowFlags(m_window) & SDL_WINDOW_FULLSCREEN) != 0;
}

bool SdlWindow::SetFullScreen(bool fullScreen)
{
    return SDL_SetWindowFullscreen(m_window, fullScreen ? SDL_WINDOW_FULLSCREEN : 0) == 0;
}

bool SdlWindow::HasFocus() const
{
    return (SDL_GetWindowFlags(m_window) & SDL_WINDOW_INPUT_FOCUS) != 0;
}

void SdlWindow::SetCursor(SystemCursor cursor)
{
    if (cursor == m_cursor)
        return;
    m_cursor = cursor;
    SDL_Cursor* c = m_cursors[int(cursor)];
    if (c)
        SDL_SetCursor(c);
}

void SdlWindow::GetMousePosition(int& x, int& y) const
{
    x = 0;
    y = 0;
    SDL_GetMouseState(&x, &y);
}

bool SdlWindow::GetDesktopSize(int& width, int& height) const
{
    SDL_DisplayMode mode;
    int display = std::max(0, SDL_GetWindowDisplayIndex(m_window));
    if (SDL_GetDesktopDisplayMode(display, &mode) != 0)
        return false;
    width = mode.w;
    height = mode.h;
    return true;
}

std::vector<DisplayMode> SdlWindow::GetDisplayModes() const
{
    std::vector<DisplayMode> modes;
    int display = std::max(0, SDL_GetWindowDisplayIndex(m_window));
    int count = SDL_GetNumDisplayModes(display);
    for (int i = 0; i < count; ++i) {
        SDL_DisplayMode m;
        if (SDL_GetDisplayMode(display, i, &m) != 0 || m.w <= 0 || m.h <= 0)
            continue; // the offscreen driver lists a 0x0 mode
        // One entry per size: the highest rate (SDL lists it first).
        bool known = std::any_of(modes.begin(), modes.end(),
                                 [&](const DisplayMode& d) { return d.width == m.w && d.height == m.h; });
        if (!known)
            modes.push_back({m.w, m.h, m.refresh_rate});
    }
    std::stable_sort(modes.begin(), modes.end(), [](const DisplayMode& a, const DisplayMode& b) {
        return a.width != b.width ? a.width > b.width : a.height > b.height;
    });
    return modes;
}
