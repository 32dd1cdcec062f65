#include "support/WindowManagerClose.h"

#include <gtest/gtest.h>

#include <cstring>

#ifdef QLM_TEST_X11
#include <SDL2/SDL_syswm.h>
#include <X11/Xlib.h>

namespace {
void SendOn(Display* display, Window window)
{
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    // A round trip: on the window's own connection the message is queued
    // there before this returns.
    XSync(display, False);
}
} // namespace
#endif

bool CloseAsWindowManager(SDL_Window* window)
{
#ifdef QLM_TEST_X11
    const char* driver = SDL_GetCurrentVideoDriver();
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (driver && std::strcmp(driver, "x11") == 0 && SDL_GetWindowWMInfo(window, &info) &&
        info.subsystem == SDL_SYSWM_X11) {
        SendOn(info.info.x11.display, info.info.x11.window);
        return true;
    }
#endif
    SDL_Event close{};
    close.type = SDL_WINDOWEVENT;
    close.window.windowID = SDL_GetWindowID(window);
    close.window.event = SDL_WINDOWEVENT_CLOSE;
    EXPECT_EQ(SDL_PushEvent(&close), 1) << SDL_GetError();
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    EXPECT_EQ(SDL_PushEvent(&quit), 1) << SDL_GetError();
    return false;
}

bool SendWmDeleteWindow(unsigned long xWindow)
{
#ifdef QLM_TEST_X11
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return false;
    SendOn(display, static_cast<Window>(xWindow));
    XCloseDisplay(display);
    return true;
#else
    (void)xWindow;
    return false;
#endif
}
