#pragma once
#include "platform/SdlWindow.h"
#include "support/TempDir.h"

#include <memory>
#include <string>

// A hidden window with the engine on a real OpenGL device, and an error log
// of its own. Open reports fatal test failures: wrap it in
// ASSERT_NO_FATAL_FAILURE.
class GLTestContext {
public:
    void Open(const std::string& title, int width, int height);
    void Close();

private:
    TempDir m_log;
    std::unique_ptr<SdlWindow> m_window;
};
