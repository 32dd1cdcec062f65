// What the camera sees must never change a battle: the same battle run with
// every effect drawn (shaders, nebula lightning, overlays, extra explosions)
// and with as little drawn as possible ends the same way.
#include <gtest/gtest.h>

#include <memory>

#include "battle/Explosions.h"
#include "battle/GUI_BattleGUI.h"
#include "battle/GUI_EffectLog.h"
#include "battle/GUI_Map.h"
#include "battle/GUI_ParticleEmmiterGroup.h"
#include "battle/GUI_ShipDrawLists.h"
#include "battle/NebulaLightning.h"
#include "engine/D3DEngine.h"
#include "engine/GRandom.h"
#include "platform/HeadlessGraphicsDevice.h"
#include "sim/SIM_Battle.h"
#include "sim/SIM_BattleClock.h"
#include "sim/SIM_HeadlessBattle.h"
#include "sim/SIM_Scenario.h"
#include "sim/ShippedBattleWorld.h"

namespace {

struct Outcome {
    SIM_HeadlessBattle::Totals totals;
    float battleTime = 0.0f;
    size_t explosions = 0;
};

Outcome RunBattle(bool everything)
{
    D3DEngine::GetInstance().Init(std::make_unique<HeadlessGraphicsDevice>(800, 600, true));
    GUI_Map::GetInstance().SetScreenSize(800, 600);
    GUI_BattleGUI& gui = GUI_BattleGUI::GetInstance();
    gui.SetInjectedFrameTime(16.666666f);
    QlmSrand(11);
    SIM_Scenario* scenario = SIM_Scenario::FindByName("scenario1");
    EXPECT_TRUE(scenario && StartBattleFromDeploymentFile(scenario, "data/sample deployment/deployed.txt",
                                                          SIM_Scenario::MEDIUM));
    gui.Enter();
    gui.battleSpeed = 4.0f;
    gui.shadersOn = everything ? 1 : 0;
    gui.hudShown = everything ? 1 : 0;
    gui.overlayShown = everything ? 1 : 0;
    gui.cameraShake = everything ? 1 : 0;
    // The effects draw from their own random numbers and touch no ship.
    gui.debris = gui.contrails = gui.runningLights = gui.escapePods = gui.hulks = everything ? 1 : 0;
    GUI_EffectLog::GetInstance().SetEnabled(true);
    if (everything)
        GetNebulaLightning().SetUp(100.0f, 1.0f);
    else
        GetNebulaLightning().SetUp(0.0f, 0.0f);
    Outcome outcome;
    for (int frame = 0; frame < 2400 && !SIM_Battle::GetInstance().IsEnded(); ++frame) {
        if (everything && frame % 10 == 0)
            SpawnExplosion(Explosions::kSmall, nullptr, 500.0f, 500.0f, 0.0f, 0.0f);
        gui.RenderBattleFrame();
        if (everything)
            gui.DoIdleWork();
    }
    outcome.totals = SIM_HeadlessBattle::CollectTotals();
    outcome.battleTime = SIM_BattleClock::GetInstance().battleTime;
    outcome.explosions = GUI_EffectLog::GetInstance().Count("explosion");
    GUI_EffectLog::GetInstance().SetEnabled(false);
    gui.Leave();
    gui.SetInjectedFrameTime(-1.0f);
    GetNebulaLightning().SetUp(0.0f, 0.0f);
    SIM_Battle::GetInstance().Clear();
    GUI_ShipDrawLists::GetInstance().Clear();
    GUI_Map::GetInstance().SetScreenSize(0, 0);
    D3DEngine::GetInstance().Release();
    SIM_BattleClock::GetInstance().ResetForBattle();
    return outcome;
}

TEST(BattleDrawing, TheSameBattleEndsTheSameWhateverIsDrawn)
{
    ShippedBattleWorld world;
    const Outcome plain = RunBattle(false);
    const Outcome full = RunBattle(true);
    ASSERT_GT(plain.totals.hits[0] + plain.totals.hits[1], 0) << "the ships should fight";
    EXPECT_GT(full.explosions, plain.explosions);
    EXPECT_FLOAT_EQ(full.battleTime, plain.battleTime);
    for (int side = 0; side < 2; ++side) {
        EXPECT_EQ(full.totals.shots[side], plain.totals.shots[side]) << side;
        EXPECT_EQ(full.totals.hits[side], plain.totals.hits[side]) << side;
        EXPECT_EQ(full.totals.shipsLost[side], plain.totals.shipsLost[side]) << side;
        EXPECT_FLOAT_EQ(full.totals.damageDealt[side], plain.totals.damageDealt[side]) << side;
    }
    DeleteAllEmmiterGroups();
}

} // namespace
