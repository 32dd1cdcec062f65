#pragma once
// The whole game started headless on the deployment screen of "scenario1",
// with helpers that click, hold keys and place ships as a player would.
#include "app/Game.h"
#include "engine/APP_UserFolders.h"
#include "engine/GFileHelpers.h"
#include "engine/GSafeFile.h"
#include "engine/TextureAtlas.h"
#include "gui/GUI_WindowManager.h"
#include "platform/HeadlessWindow.h"
#include "prep/GUI_DeploymentGUI.h"
#include "prep/GUI_DeploymentIcon.h"
#include "prep/GUI_DeploymentMap.h"
#include "sim/SIM_Scenario.h"
#include "sim/SIM_ShipDesign.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include "sim/SIM_Options.h"

#include <algorithm>
#include <filesystem>
#include <string>

class DeploymentTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_user = new TempDir;
        s_cwd = new ScopedChdir(QLM_GAME_DIR);
        GameStartOptions options;
        options.userDir = s_user->Path();
        options.headless = true;
        options.desktopWidth = 1280;
        options.desktopHeight = 1024;
        options.seed = 7;
        s_started = Game::GetInstance().Init(options);
    }
    static void TearDownTestSuite()
    {
        Game::GetInstance().Shutdown();
        Game::GetInstance().ResetForTests();
        delete s_cwd;
        delete s_user;
    }

    void SetUp() override
    {
        ASSERT_TRUE(s_started);
        // A battle an earlier test fought leaves its atlas page for the next
        // battle, which merges the screen's draws into runs: each test starts
        // as the game does, before any battle.
        TextureAtlas::Shared().Clear();
        Game::GetInstance().SetMode(15);
        while (GUI_WindowManager::GetInstance().CloseTopModal()) {
        }
        scenario = SIM_Scenario::FindByName("scenario1");
        ASSERT_NE(scenario, nullptr);
        scenario->SetDifficulty(SIM_Scenario::EASY);
        SIM_Options::GetInstance().SetDifficulty(SIM_Scenario::EASY); // the player's last choice too
        std::filesystem::remove_all(DeploymentFolder());
        frigate = SIM_ShipDesign::Find("fed_sample_frigate");
        support = SIM_ShipDesign::Find("fed_sample_support");
        fighter = SIM_ShipDesign::Find("fed_sample_fighter");
        ASSERT_TRUE(frigate && support && fighter);
        Enter(false);
    }
    void TearDown() override { Game::GetInstance().SetMode(15); }

    static std::string DeploymentFolder()
    {
        return APP_UserFolders::GetInstance().Get(APP_UserFolders::DEPLOYMENTS) + "/scenario1";
    }
    GUI_DeploymentGUI& Screen() { return GUI_DeploymentGUI::GetInstance(); }
    void Enter(bool editingAI)
    {
        // The screen is entered from another one.
        Game::GetInstance().SetMode(15);
        GUI_DeploymentGUI::Open(scenario, editingAI, 15);
        Frames(1);
    }
    HeadlessWindow& Window() { return *dynamic_cast<HeadlessWindow*>(Game::GetInstance().GetWindow()); }
    void Frames(int n)
    {
        for (int i = 0; i < n; ++i) {
            Window().PumpEvents();
            Game::GetInstance().Frame();
        }
    }
    void Click(float x, float y, bool doubleClick = false)
    {
        Window().InjectMouseMove(static_cast<int>(x), static_cast<int>(y));
        Window().InjectMouseButton(MouseButton::Left, true, doubleClick);
        Window().InjectMouseButton(MouseButton::Left, false);
        Frames(2);
    }
    void Hold(int scancode, bool down)
    {
        Window().InjectKey(scancode, down);
        Frames(1);
    }
    // A ship of the design put down at a map point, as a drag would.
    GUI_DeploymentIcon* Place(const SIM_ShipDesign* design, float mapX, float mapY)
    {
        const GUI_DeploymentMap& map = GUI_DeploymentMap::GetInstance();
        Screen().PlaceShip(design, map.MapToScreenX(mapX), map.MapToScreenY(mapY));
        GUI_DeploymentIcon* icon = GetCurrentDeploymentIcon();
        if (!icon)
            return nullptr;
        icon->SetMapPosition(mapX, mapY);
        DropDraggedDeploymentIcons();
        ProcessPendingIconDeletions();
        const auto& icons = GetDeploymentIcons();
        return std::find(icons.begin(), icons.end(), icon) != icons.end() ? icon : nullptr;
    }
    static std::string Read(const std::string& path)
    {
        std::string text;
        ReadWholeFile(path, text);
        return text;
    }

    inline static TempDir* s_user = nullptr;
    inline static ScopedChdir* s_cwd = nullptr;
    inline static bool s_started = false;
    SIM_Scenario* scenario = nullptr;
    const SIM_ShipDesign* frigate = nullptr;
    const SIM_ShipDesign* support = nullptr;
    const SIM_ShipDesign* fighter = nullptr;
};

