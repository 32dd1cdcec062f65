// Closes an X window as a window manager does (WM_DELETE_WINDOW), for the
// smoke runs: wm_close WINDOW_ID (decimal or 0x hex, as xdotool prints it).
#include "support/WindowManagerClose.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    char* end = nullptr;
    const unsigned long window = argc == 2 ? std::strtoul(argv[1], &end, 0) : 0;
    if (window == 0 || !end || *end) {
        std::fprintf(stderr, "usage: wm_close WINDOW_ID\n");
        return 2;
    }
    if (!SendWmDeleteWindow(window)) {
        std::fprintf(stderr, "wm_close: no X display (DISPLAY) or no X library in this build\n");
        return 1;
    }
    return 0;
}
