#pragma once
// A real battle drawn through OpenGL (offscreen) at 640 x 480 with the game's
// pictures, frames of 33 ms; a frame is read back as RGBA rows, top first.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "battle/GUI_BattleGUI.h"
#include "battle/GUI_Map.h"
#include "battle/GUI_ShipDrawLists.h"
#include "engine/D3DEngine.h"
#include "sim/SIM_Battle.h"
#include "sim/SIM_BattleClock.h"
#include "sim/ShippedBattleWorld.h"
#include "support/GLTestContext.h"

class GLBattleFixture : public ::testing::Test {
public:
    static constexpr int kWidth = 640;
    static constexpr int kHeight = 480;

protected:
    explicit GLBattleFixture(const char* title) : m_title(title) {}
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(m_gl.Open(m_title, kWidth, kHeight));
        D3DEngine::GetInstance().ClearTextureFolders();
        D3DEngine::GetInstance().LoadTextureFolder(std::string(QLM_GAME_DIR) + "/data/bitmaps");
        GUI_BattleGUI::GetInstance().SetInjectedFrameTime(33.0f);
    }
    void TearDown() override
    {
        GUI_BattleGUI::GetInstance().SetInjectedFrameTime(-1.0f);
        SIM_Battle::GetInstance().Clear();
        GUI_ShipDrawLists::GetInstance().Clear();
        GUI_Map::GetInstance().SetScreenSize(0, 0);
        SIM_BattleClock::GetInstance().ResetForBattle();
        m_gl.Close();
    }
    // The battle's frame, or the map alone; the back buffer is cleared first
    // only where the game's frame would clear it.
    std::vector<uint8_t> Frame(bool battle)
    {
        D3DEngine& engine = D3DEngine::GetInstance();
        engine.ClearAndBeginScene(!(battle && GUI_BattleGUI::GetInstance().CoversBackBuffer()));
        if (battle)
            GUI_BattleGUI::GetInstance().Render();
        else
            GUI_Map::GetInstance().Draw();
        engine.EndScene();
        std::vector<uint8_t> rgba;
        EXPECT_TRUE(engine.GetDevice()->ReadPixels(0, 0, 0, kWidth, kHeight, rgba));
        engine.Flip();
        return rgba;
    }

    const char* m_title;
    GLTestContext m_gl;
    ShippedBattleWorld m_world;
};
