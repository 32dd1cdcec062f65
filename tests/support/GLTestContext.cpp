#include "support/GLTestContext.h"

#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "platform/GraphicsDeviceFactory.h"

#include <gtest/gtest.h>

void GLTestContext::Open(const std::string& title, int width, int height)
{
    GDebugLog::GetInstance().Open(m_log.Path());
    std::string error;
    WindowSettings settings;
    settings.title = title;
    settings.width = width;
    settings.height = height;
    settings.hidden = true;
    m_window = SdlWindow::Create(settings, &error);
    ASSERT_TRUE(m_window) << error;
    auto device = CreateGraphicsDevice(*m_window, &error);
    ASSERT_TRUE(device) << error;
    ASSERT_TRUE(D3DEngine::GetInstance().Init(std::move(device)));
}

void GLTestContext::Close()
{
    // The device goes while its context is still there.
    D3DEngine::GetInstance().Release();
    D3DEngine::GetInstance().ClearTextureFolders();
    m_window.reset();
    GDebugLog::GetInstance().Close();
}
