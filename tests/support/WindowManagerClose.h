#pragma once
// Closes a window as a window manager does: the WM_DELETE_WINDOW message of
// the window's WM_PROTOCOLS, sent through the X server. On a driver without
// X (the offscreen one) the events SDL makes of that message are pushed
// instead: the window's close, then SDL's quit for its last window.
#include <SDL2/SDL.h>

// True when the close went through the X server (the x11 video driver).
bool CloseAsWindowManager(SDL_Window* window);

// The message sent to an X window of any program on the display named by
// DISPLAY (the smoke runs close the game's window so); false when there is
// no X server or this build has no X library.
bool SendWmDeleteWindow(unsigned long xWindow);
