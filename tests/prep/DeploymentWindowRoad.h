#pragma once
// The deployment screen through the real window, opened on the first
// scenario with a fleet of the test's own.
#include "app/Game.h"
#include "engine/APP_UserFolders.h"
#include "engine/GSafeFile.h"
#include "prep/GUI_DeploymentGUI.h"
#include "sim/SIM_Scenario.h"
#include "support/WindowRoad.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

// The fleet's file (the "deployed.txt" lines) written where the screen
// reads it, then the screen opened and settled past its wipe.
inline void OpenFirstScenarioWith(const std::string& deployed)
{
    const std::string folder = APP_UserFolders::GetInstance().Get(APP_UserFolders::DEPLOYMENTS) + "/scenario1";
    std::filesystem::create_directories(folder);
    ASSERT_TRUE(WriteFileAtomically(folder + "/deployed.txt", deployed));
    SIM_Scenario* scenario = SIM_Scenario::FindByName("scenario1");
    ASSERT_NE(scenario, nullptr);
    GUI_DeploymentGUI::Open(scenario, false, 15);
    SettleScreens();
    ASSERT_EQ(Game::GetInstance().GetModeId(), GUI_DeploymentGUI::kModeId);
}
