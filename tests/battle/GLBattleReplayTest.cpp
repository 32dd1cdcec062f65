// The same scenario, fleets, seed and frame times give the same battle whether
// the battle screen steps it through a real window or the headless runner
// does, wherever the camera looks: every ship ends in the same place with the
// same hitpoints, and the statistics hold the same hits.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "battle/GUI_BattleGUI.h"
#include "battle/GUI_Map.h"
#include "battle/GUI_Ship.h"
#include "engine/D3DEngine.h"
#include "sim/SIM_Battle.h"
#include "sim/SIM_BattleClock.h"
#include "sim/SIM_Fleet.h"
#include "sim/SIM_HeadlessBattle.h"
#include "sim/SIM_Ship.h"
#include "sim/SIM_StatsDatabase.h"
#include "sim/ShippedBattleWorld.h"
#include "support/GLTestContext.h"

namespace {

constexpr const char* kFleet = "data/sample deployment/deployed.txt";
constexpr float kFrameMs = 16.67f;
constexpr float kSpeed = 4.0f;
constexpr int kMaxFrames = 4500;

// Everything the battle decided, exactly: floats are printed with all their bits.
struct Fingerprint {
    std::string text;
    int frames = 0;
    int events = 0;
    int shipsLost = 0;
};

Fingerprint Take(int frames)
{
    Fingerprint print;
    print.frames = frames;
    std::ostringstream out;
    out.precision(9);
    const SIM_Battle& battle = SIM_Battle::GetInstance();
    out << "ended " << battle.IsEnded() << " outcome " << SIM_HeadlessBattle::OutcomeName() << " time "
        << SIM_BattleClock::GetInstance().battleTime << "\n";
    for (const SIM_Fleet* fleet : {battle.GetPlayerFleet(), battle.GetEnemyFleet()}) {
        for (const SIM_Ship* ship : fleet->GetAllShips()) {
            out << ship->name << " state " << ship->state << " at " << ship->x << "," << ship->y << " angle "
                << ship->angle << " hp " << ship->currentHitPoints << " shots " << ship->GetStats().shotsFired
                << "\n";
            print.shipsLost += ship->IsDead() ? 1 : 0;
        }
    }
    for (const SIM_DamageEvent& e : SIM_StatsDatabase::GetInstance().GetEvents()) {
        out << e.time << " " << e.damage << " " << e.moduleDamage << " " << (e.target ? e.target->name : "-")
            << "\n";
        ++print.events;
    }
    print.text = out.str();
    return print;
}

class GLBattleReplay : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(m_gl.Open("replay", 640, 480));
        D3DEngine::GetInstance().ClearTextureFolders();
        D3DEngine::GetInstance().LoadTextureFolder(std::string(QLM_GAME_DIR) + "/data/bitmaps");
    }
    void TearDown() override
    {
        GUI_BattleGUI::GetInstance().SetInjectedFrameTime(-1.0f);
        SIM_Battle::GetInstance().Clear();
        GUI_Ship::InstallFactory();
        GUI_Map::GetInstance().SetScreenSize(0, 0);
        m_gl.Close();
    }

    // The runner's way: no screen, no visuals but the simulation's own.
    Fingerprint RunHeadless(const char* scenario, uint64_t seed)
    {
        SIM_ShipVisual::SetFactory(nullptr);
        EXPECT_TRUE(m_world.Headless().Start(scenario, kFleet, SIM_Scenario::EASY, seed));
        int frames = 0;
        for (; frames < kMaxFrames && !SIM_Battle::GetInstance().IsEnded(); ++frames)
            SIM_HeadlessBattle::Frame(SIM_BattleClock::ScaleFrame(kFrameMs, kSpeed));
        return Take(frames);
    }

    // The player's way: the battle screen drawn into the window every frame,
    // the camera where the screen puts it or held in the map's corner (most
    // ships then out of view, their visuals updated only now and then).
    Fingerprint RunOnScreen(const char* scenario, uint64_t seed, bool cameraInCorner = false)
    {
        GUI_BattleGUI& gui = GUI_BattleGUI::GetInstance();
        GUI_Ship::InstallFactory();
        EXPECT_TRUE(StartSeededBattleFromDeploymentFile(SIM_Scenario::FindByName(scenario), kFleet,
                                                        SIM_Scenario::EASY, seed));
        gui.SetInjectedFrameTime(kFrameMs);
        gui.Enter();
        gui.battleSpeed = kSpeed;
        D3DEngine& engine = D3DEngine::GetInstance();
        int frames = 0;
        m_waitingShips = 0;
        for (; frames < kMaxFrames && !SIM_Battle::GetInstance().IsEnded(); ++frames) {
            if (cameraInCorner)
                GUI_Map::GetInstance().SetCentre(0.0f, 0.0f);
            engine.ClearAndBeginScene();
            gui.Render();
            for (const GUI_Ship* visual : GUI_Ship::GetAll())
                m_waitingShips += visual->AreChildrenDeferred() ? 1 : 0;
            engine.EndScene();
            engine.Flip();
        }
        EXPECT_NE(GUI_Ship::Of(SIM_Battle::GetInstance().GetPlayerFleet()->GetAllShips().front()), nullptr)
            << "the screen's ships have the screen's visuals";
        Fingerprint print = Take(frames);
        gui.Leave();
        return print;
    }

    GLTestContext m_gl;
    ShippedBattleWorld m_world;
    int m_waitingShips = 0; // ship frames whose visual update waited
};

TEST_F(GLBattleReplay, TheScreenAndTheRunnerFightTheSameBattle)
{
    // The nebula's lightning flickers over the screen's backdrop all the while.
    for (const char* scenario : {"scenario1", "nebula1"}) {
        const Fingerprint headless = RunHeadless(scenario, 7);
        const Fingerprint screen = RunOnScreen(scenario, 7);
        EXPECT_GT(headless.events, 20) << scenario;
        EXPECT_GT(headless.shipsLost, 0) << scenario;
        EXPECT_EQ(screen.frames, headless.frames) << scenario;
        EXPECT_EQ(screen.text, headless.text) << scenario;
        // Where the camera looks changes which visuals wait, never the battle.
        const Fingerprint corner = RunOnScreen(scenario, 7, true);
        EXPECT_GT(m_waitingShips, 100) << scenario;
        EXPECT_EQ(corner.frames, headless.frames) << scenario;
        EXPECT_EQ(corner.text, headless.text) << scenario;
    }
}

} // namespace
