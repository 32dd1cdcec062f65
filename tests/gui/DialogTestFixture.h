#pragma once
#include "engine/CInput.h"
#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "engine/LibText.h"
#include "gui/GUI_Cursor.h"
#include "gui/GUI_Fader.h"
#include "gui/GUI_WindowBase.h"
#include "gui/GUI_WindowManager.h"
#include "platform/DdsImage.h"
#include "platform/HeadlessGraphicsDevice.h"
#include "platform/IClock.h"
#include "support/GameText.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

// A 1024x768 headless screen with the game fonts, an injected clock and a
// clean window manager; windows left open by a test are closed after it.
class DialogTest : public ::testing::Test {
protected:
    static constexpr int kScreenW = 1024;
    static constexpr int kScreenH = 768;

    void SetUp() override
    {
        GDebugLog::GetInstance().Open(m_files.File("log"));
        auto device = std::make_unique<HeadlessGraphicsDevice>(kScreenW, kScreenH);
        m_device = device.get();
        ASSERT_TRUE(D3DEngine::GetInstance().Init(std::move(device)));
        ASSERT_NO_FATAL_FAILURE(m_text.Open(m_files.Path()));
        CInput& input = CInput::GetInstance();
        input.Init();
        input.SetInputBlocked(false);
        input.HandleMouseMessage(MouseMessage::LeftUp);
        input.ReleaseAllKeys();
        input.Poll();
        GUI_Fader::GetInstance().Reset();
        GUI_Fader::GetInstance().SetClock(&m_clock);
        GUI_WindowManager::GetInstance().ClearMouseOver();
    }
    void TearDown() override
    {
        GUI_WindowManager& manager = GUI_WindowManager::GetInstance();
        while (!manager.GetTopLevelWindows().empty())
            delete manager.GetTopLevelWindows().back();
        manager.DeleteQueuedWindows();
        GUI_Cursor::GetInstance().ClearDraggedWindow();
        GUI_Fader::GetInstance().Reset();
        GUI_Fader::GetInstance().SetClock(nullptr);
        m_text.Close();
        D3DEngine::GetInstance().Release();
        D3DEngine::GetInstance().ClearTextureFolders();
        GDebugLog::GetInstance().Close();
    }

    static void MoveMouse(float x, float y)
    {
        CInput::GetInstance().SetCursorPosition(x, y);
        CInput::GetInstance().Poll();
    }
    // A click as the frame delivers it: through the window manager.
    static bool ClickAt(float x, float y)
    {
        MoveMouse(x, y);
        return GUI_WindowManager::GetInstance().DispatchClick();
    }
    static void HoldKey(int code, bool down)
    {
        CInput& input = CInput::GetInstance();
        if (down)
            input.QueueKeyDown(code, 0);
        else
            input.QueueKeyUp(code, 0);
        input.Poll();
    }
    static float CentreX(const GUI_BaseElement& e) { return static_cast<float>(e.left + e.right) / 2.0f; }
    static float CentreY(const GUI_BaseElement& e) { return static_cast<float>(e.top + e.bottom) / 2.0f; }

    TempDir m_files;
    GameText m_text;
    HeadlessGraphicsDevice* m_device = nullptr;
    ManualClock m_clock;
};
