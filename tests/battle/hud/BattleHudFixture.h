#pragma once
// A battle of the shipped content on a 1024x768 headless screen with the
// game's fonts, for the battle's windows. Every window and the battle go
// after each test.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "../../sim/ShippedBattleWorld.h"
#include "battle/GUI_BattleGUI.h"
#include "battle/GUI_Map.h"
#include "battle/hud/BattleHud.h"
#include "engine/CInput.h"
#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "gui/GUI_Cursor.h"
#include "gui/GUI_WindowBase.h"
#include "gui/GUI_WindowManager.h"
#include "platform/HeadlessGraphicsDevice.h"
#include "sim/SIM_Battle.h"
#include "sim/SIM_Fleet.h"
#include "sim/SIM_Ship.h"
#include "support/GameText.h"
#include "support/TempDir.h"

class BattleHudTest : public ::testing::Test {
protected:
    static constexpr int kScreenW = 1024;
    static constexpr int kScreenH = 768;
    static constexpr const char* kSampleFleet = "data/sample deployment/deployed.txt";

    void SetUp() override
    {
        GDebugLog::GetInstance().Open(m_log.File("log"));
        ASSERT_TRUE(D3DEngine::GetInstance().Init(std::make_unique<HeadlessGraphicsDevice>(kScreenW, kScreenH)));
        ASSERT_NO_FATAL_FAILURE(m_text.Open(QLM_GAME_DIR, false));
        CInput& input = CInput::GetInstance();
        input.Init();
        input.SetInputBlocked(false);
        input.HandleMouseMessage(MouseMessage::LeftUp);
        input.Poll();
        GUI_Map::GetInstance().SetScreenSize(kScreenW, kScreenH);
        GUI_WindowManager::GetInstance().ClearMouseOver();
    }
    void TearDown() override
    {
        BattleHud::CloseAll();
        GUI_WindowManager& manager = GUI_WindowManager::GetInstance();
        manager.DeleteQueuedWindows();
        while (!manager.GetTopLevelWindows().empty())
            delete manager.GetTopLevelWindows().back();
        GUI_Cursor::GetInstance().ClearDraggedWindow();
        SIM_Battle::GetInstance().Clear();
        GUI_Map::GetInstance().SetScreenSize(0, 0);
        m_text.Close();
        D3DEngine::GetInstance().Release();
        D3DEngine::GetInstance().ClearTextureFolders();
        GDebugLog::GetInstance().Close();
    }

    // The sample fleet against scenario1's easy AI fleet.
    void StartBattle()
    {
        ASSERT_TRUE(m_world.Headless().Start("scenario1", kSampleFleet, 0, 7));
    }
    static void MoveMouse(float x, float y)
    {
        CInput::GetInstance().SetCursorPosition(x, y);
        CInput::GetInstance().Poll();
    }
    static bool ClickAt(float x, float y)
    {
        MoveMouse(x, y);
        return GUI_WindowManager::GetInstance().DispatchClick();
    }
    static void SetLeftButton(bool down)
    {
        CInput::GetInstance().HandleMouseMessage(down ? MouseMessage::LeftDown : MouseMessage::LeftUp);
        CInput::GetInstance().Poll();
    }
    static void DrawFrame()
    {
        D3DEngine& engine = D3DEngine::GetInstance();
        engine.ClearAndBeginScene();
        GUI_WindowManager::GetInstance().UpdateWindows();
        GUI_WindowManager::GetInstance().DrawWindows();
        engine.EndScene();
    }

    TempDir m_log;
    ShippedBattleWorld m_world;
    GameText m_text;
};
