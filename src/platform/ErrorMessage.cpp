#include "platform/ErrorMessage.h"

#include <SDL2/SDL.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
// A message box only makes sense where someone can see it and press OK: a
// test run (QLM_NO_ERROR_BOX, set by the test programs) has nobody to press it.
bool HasVisibleDisplay()
{
    if (const char* off = std::getenv("QLM_NO_ERROR_BOX"); off && *off)
        return false;
    const char* driver = SDL_WasInit(SDL_INIT_VIDEO) ? SDL_GetCurrentVideoDriver() : std::getenv("SDL_VIDEODRIVER");
    if (driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0))
        return false;
    return std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY");
}
} // namespace

void ShowErrorMessage(const std::string& title, const std::string& text)
{
    fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
    if (HasVisibleDisplay())
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, title.c_str(), text.c_str(), nullptr);
}
