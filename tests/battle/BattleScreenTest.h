#pragma once
// The battle screen on the recording device with a silent sound manager, and
// the shipped content to fight with; tests start a battle and drive frames.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/GUI_Sounds.h"
#include "battle/GUI_BattleGUI.h"
#include "battle/GUI_Map.h"
#include "battle/GUI_ShipDrawLists.h"
#include "engine/D3DEngine.h"
#include "gui/GUI_ConfirmDialog.h"
#include "gui/GUI_WindowManager.h"
#include "platform/HeadlessGraphicsDevice.h"
#include "platform/NullSoundSystem.h"
#include "sim/SIM_Battle.h"
#include "sim/SIM_BattleClock.h"
#include "sim/SIM_Scenario.h"
#include "sim/ShippedBattleWorld.h"

constexpr const char* kFleet = "data/sample deployment/deployed.txt";

class BattleScreenTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        D3DEngine::GetInstance().Init(std::make_unique<HeadlessGraphicsDevice>(1024, 768));
        GUI_Map::GetInstance().SetScreenSize(1024, 768);
        sounds = std::make_unique<GUI_Sounds>(std::make_unique<NullSoundSystem>(64),
                                              [](const std::string&) { return 1.0f; });
        gui().SetSounds(sounds.get());
        gui().SetInjectedFrameTime(16.666666f);
    }
    void TearDown() override
    {
        gui().SetLayerTrace(nullptr);
        gui().SetSounds(nullptr);
        gui().SetInjectedFrameTime(-1.0f);
        gui().overlayShown = 0;
        gui().hudShown = 1;
        gui().keyboardFocus = nullptr;
        if (GUI_ConfirmDialog* open = GUI_ConfirmDialog::GetOpen())
            GUI_WindowManager::GetInstance().CloseWindow(open);
        SIM_Battle::GetInstance().Clear();
        GUI_ShipDrawLists::GetInstance().Clear();
        GUI_Map::GetInstance().SetScreenSize(0, 0);
        D3DEngine::GetInstance().Release();
        // The clock is shared by every battle screen: no pause or speed leaks on.
        SIM_BattleClock::GetInstance().ResetForBattle();
    }
    static GUI_BattleGUI& gui() { return GUI_BattleGUI::GetInstance(); }

    bool Start(const char* scenarioName)
    {
        SIM_Scenario* scenario = SIM_Scenario::FindByName(scenarioName);
        return scenario && StartBattleFromDeploymentFile(scenario, kFleet, SIM_Scenario::EASY);
    }

    float BankFrequency() { return sounds->GetBank(GUI_Sounds::BANK_WEAPONS)->GetBaseFrequency(); }

    ShippedBattleWorld world;
    std::unique_ptr<GUI_Sounds> sounds;
};
