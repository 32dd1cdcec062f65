#pragma once
#include "platform/IWindow.h"

#include <memory>
#include <string>

constexpr const char* kMainWindowTitle = "Quillomar Demo";
constexpr int kDefaultWindowWidth = 1280;
constexpr int kDefaultWindowHeight = 1024;
// The window's icon, drawn by the asset generator.
constexpr const char* kMainWindowIconFile = "data/bitmaps/window_icon.dds";

struct MainWindowOptions {
    int width = 0;  // 0: the default size
    int height = 0;
    bool fullScreen = false;
    bool headless = false; // no display at all (tests, smoke runs)
};

// The game's one window, created hidden until the start-up shows it. A window
// that cannot be made ends the program through FatalErrorBox("CreateWindow").
std::unique_ptr<IWindow> CreateMainWindow(const MainWindowOptions& options);

// Gives the window the icon picture of a DDS file (relative to the working
// folder). A missing or unreadable file is logged and the window keeps the
// system's icon; false then.
bool SetMainWindowIcon(IWindow& window, const std::string& path = kMainWindowIconFile);

// Shows the last system error in a box captioned "Failed to CreateWindow" (on
// stderr when there is no display), logs the context and ends the process
// with a non-zero exit code.
[[noreturn]] void FatalErrorBox(const std::string& context);

// The box text: the context and the last SDL or system error (for tests).
std::string FatalErrorText(const std::string& context);
