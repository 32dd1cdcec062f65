#include "engine/MainWindow.h"

#include "engine/GDebugLog.h"
#include "platform/DdsImage.h"
#include "platform/ErrorMessage.h"
#include "platform/HeadlessWindow.h"
#include "platform/SdlWindow.h"

#include <SDL2/SDL.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
std::string g_lastWindowError;
} // namespace

std::unique_ptr<IWindow> CreateMainWindow(const MainWindowOptions& options)
{
    int w = options.width > 0 ? options.width : kDefaultWindowWidth;
    int h = options.height > 0 ? options.height : kDefaultWindowHeight;
    if (options.headless) {
        auto window = std::make_unique<HeadlessWindow>(w, h, options.fullScreen);
        window->SetTitle(kMainWindowTitle);
        SetMainWindowIcon(*window);
        return window;
    }
    WindowSettings settings;
    settings.title = kMainWindowTitle;
    settings.width = w;
    settings.height = h;
    settings.fullScreen = options.fullScreen;
    settings.hidden = true;
    std::unique_ptr<SdlWindow> window = SdlWindow::Create(settings, &g_lastWindowError);
    if (!window)
        FatalErrorBox("CreateWindow");
    SetMainWindowIcon(*window);
    return window;
}

bool SetMainWindowIcon(IWindow& window, const std::string& path)
{
    TextureData picture;
    std::string error;
    std::vector<uint8_t> rgba;
    if (!ReadDdsFile(path, picture, &error) || !DecodeToRGBA(picture, 0, rgba)) {
        LOG_ERROR("Window icon " + path + ": " + (error.empty() ? "unreadable" : error));
        return false;
    }
    if (!window.SetIcon(picture.width, picture.height, rgba)) {
        LOG_ERROR("Window icon " + path + ": the window refused a picture of its size");
        return false;
    }
    return true;
}

std::string FatalErrorText(const std::string& context)
{
    std::string reason = g_lastWindowError;
    if (reason.empty()) {
        const char* sdl = SDL_GetError();
        reason = sdl && *sdl ? sdl : (errno ? std::strerror(errno) : "unknown error");
    }
    return context + ": " + reason;
}

void FatalErrorBox(const std::string& context)
{
    std::string text = FatalErrorText(context);
    ShowErrorMessage("Failed to CreateWindow", text);
    LOG_ERROR(context);
    LOG_DEBUG(text);
    GDebugLog::GetInstance().Close();
    std::exit(EXIT_FAILURE);
}
