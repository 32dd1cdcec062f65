#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "app/GUI_Sounds.h"
#include "battle/CameraShake.h"
#include "battle/GUI_BattleGUI.h"
#include "battle/GUI_BlastGlare.h"
#include "battle/GUI_Map.h"
#include "battle/GUI_Ship.h"
#include "battle/GUI_ShipDrawLists.h"
#include "engine/D3DEngine.h"
#include "engine/TextureAtlas.h"
#include "platform/HeadlessGraphicsDevice.h"
#include "platform/NullSoundSystem.h"
#include "sim/SIM_Battle.h"
#include "sim/SIM_BattleClock.h"
#include "sim/SIM_Fleet.h"
#include "sim/SIM_Scenario.h"
#include "sim/SIM_Ship.h"
#include "sim/ShippedBattleWorld.h"
#include "sim/modules/SIM_BulletWeaponModule.h"
#include "sim/modules/SIM_KineticWeapon.h"
#include "sim/modules/SIM_TargetedModule.h"
#include "battle/BattleScreenTest.h"
#include "sim/modules/RecordingSounds.h"
#include "support/LoopbackAudio.h"
#include "support/TempDir.h"

namespace {


TEST(GUI_BattleGUI, FrameTimeDrivesStepAndClockAndStopsWhilePaused)
{
    SIM_BattleClock::GetInstance().ResetForBattle();
    GUI_BattleGUI gui;
    gui.SetFrameTime(6.0f);
    EXPECT_FLOAT_EQ(gui.scaledFrameTime, 6.0f);
    EXPECT_FLOAT_EQ(gui.frameStep, 0.5f);
    EXPECT_FLOAT_EQ(gui.battleTime, 6.0f);
    gui.TogglePauseState();
    gui.SetFrameTime(6.0f);
    EXPECT_FLOAT_EQ(gui.scaledFrameTime, 0.0f);
    EXPECT_FLOAT_EQ(gui.battleTime, 6.0f);
    gui.TogglePauseState();
    EXPECT_FLOAT_EQ(gui.frameStep, 1.0f);
    gui.battleSpeed = 3.0f;
    gui.generalRetreat = true;
    gui.ResetForBattle();
    EXPECT_FLOAT_EQ(gui.battleTime, 0.0f);
    EXPECT_FLOAT_EQ(gui.battleSpeed, 1.0f);
    EXPECT_FALSE(gui.generalRetreat);
}

TEST(GUI_BattleGUI, RealFrameTimeIsScaledBySpeedTimesPointFourAndCapped)
{
    SIM_BattleClock::GetInstance().ResetForBattle();
    GUI_BattleGUI gui;
    gui.SetInjectedFrameTime(16.666666f);
    gui.BattleFrameTiming();
    EXPECT_NEAR(gui.scaledFrameTime, 6.6666f, 1e-3f);
    EXPECT_NEAR(gui.frameStep, 0.5555f, 1e-3f);
    EXPECT_NEAR(gui.realFrameStep, 1.3888f, 1e-3f);

    // A 100 ms hitch counts as 36 ms.
    gui.battleSpeed = 4.0f;
    gui.SetInjectedFrameTime(100.0f);
    gui.BattleFrameTiming();
    EXPECT_NEAR(gui.scaledFrameTime, 57.6f, 1e-3f);
    EXPECT_NEAR(gui.battleTime, 6.6666f + 57.6f, 1e-2f);

    // Paused: nothing at all moves.
    gui.TogglePauseState();
    const float before = gui.battleTime;
    gui.BattleFrameTiming();
    EXPECT_FLOAT_EQ(gui.battleTime, before);
    EXPECT_FLOAT_EQ(gui.scaledFrameTime, 0.0f);
    EXPECT_FLOAT_EQ(gui.frameStep, 0.0f);
}

TEST_F(BattleScreenTest, TheFrameStepsTheWorldBetweenTheLayersInOrder)
{
    ASSERT_TRUE(Start("scenario1"));
    gui().Enter();
    std::vector<std::string> steps;
    gui().SetLayerTrace([&steps](const char* step) { steps.push_back(step); });
    gui().overlayShown = 1;
    gui().RenderBattleFrame();

    auto at = [&steps](const char* name) {
        return std::find(steps.begin(), steps.end(), name) - steps.begin();
    };
    const std::vector<const char*> order = {"timing", "map",  "smoke",    "missiles", "world", "escapepods",
                                            "ships0", "ships1", "ships2", "teamtint", "bullets", "particles",
                                            "windows", "comms", "battle"};
    for (size_t i = 1; i < order.size(); ++i)
        EXPECT_LT(at(order[i - 1]), at(order[i])) << order[i - 1] << " before " << order[i];
    EXPECT_EQ(steps.back(), "battle");

    // Hiding the interface keeps the ships but drops the windows and tints.
    steps.clear();
    gui().hudShown = 0;
    gui().RenderBattleFrame();
    gui().hudShown = 1;
    EXPECT_EQ(at("windows"), static_cast<long>(steps.size()));
    EXPECT_EQ(at("labels"), static_cast<long>(steps.size()));
    EXPECT_EQ(at("teamtint"), static_cast<long>(steps.size()));
    EXPECT_LT(at("ships1"), static_cast<long>(steps.size()));

    // Once the battle has ended the names, scores and windows show with the
    // interface hidden too; the damage texts do not.
    steps.clear();
    gui().hudShown = 0;
    gui().shipPicking = GUI_BattleGUI::STATE_ENDED;
    gui().RenderBattleFrame();
    gui().shipPicking = GUI_BattleGUI::STATE_RUNNING;
    gui().hudShown = 1;
    EXPECT_LT(at("labels"), at("windows"));
    EXPECT_LT(at("windows"), static_cast<long>(steps.size()));
    EXPECT_EQ(at("damagetexts"), static_cast<long>(steps.size()));
}

TEST_F(BattleScreenTest, BattleFramesMoveTheClockShipsSchedulerAndComms)
{
    ASSERT_TRUE(Start("scenario1"));
    gui().Enter();
    SIM_Battle& battle = SIM_Battle::GetInstance();
    ASSERT_GT(GUI_ShipDrawLists::GetInstance().CountShips(), 0u);
    SIM_Ship* enemy = battle.GetEnemyFleet()->GetAllShips().front();
    const float startX = enemy->x, startY = enemy->y;
    for (int i = 0; i < 300; ++i)
        gui().Render();
    EXPECT_NEAR(gui().battleTime, 300 * 16.666666f * 0.4f, 1.0f);
    // The enemy is in battle from the start: its draw ran its update and it moved.
    EXPECT_GE(enemy->GetVisual()->updatesFromDraw, 299);
    EXPECT_TRUE(enemy->x != startX || enemy->y != startY);
    // Player ships warped in during those two seconds of battle time.
    const SIM_Ship* player = battle.GetPlayerFleet()->GetAllShips().front();
    EXPECT_EQ(player->state, static_cast<unsigned>(SIM_Ship::ACTIVE));

    // Paused: drawing goes on, the battle stands still.
    gui().TogglePauseState();
    const float clock = gui().battleTime;
    const float x = enemy->x;
    for (int i = 0; i < 10; ++i)
        gui().Render();
    EXPECT_FLOAT_EQ(gui().battleTime, clock);
    EXPECT_FLOAT_EQ(enemy->x, x);
    gui().TogglePauseState();
}

TEST_F(BattleScreenTest, ABlastInViewShakesTheCameraInTheFrameAndTheOptionStopsIt)
{
    ASSERT_TRUE(Start("scenario1"));
    gui().Enter();
    GUI_Map& map = GUI_Map::GetInstance();
    // Close up on the middle of the map, where no edge holds the camera.
    map.zoomTarget = std::min(4.0f, map.maxZoom);
    const float cx = map.mapWidth * 0.5f, cy = map.mapHeight * 0.5f;
    for (int i = 0; i < 400 && ZoomScale != map.zoomTarget; ++i) {
        map.SetCentre(cx, cy);
        gui().Render();
    }
    ASSERT_EQ(ZoomScale, map.zoomTarget);
    CameraShake::GetInstance().Reset();
    gui().Render();
    const float restX = map.cameraX, restY = map.cameraY;
    // The largest way the camera strays from rest over the next frames.
    auto strays = [&](int frames) {
        float most = 0.0f;
        for (int i = 0; i < frames; ++i) {
            gui().Render();
            most = std::max({most, std::fabs(map.cameraX - restX), std::fabs(map.cameraY - restY)});
        }
        return most;
    };
    ASSERT_LT(strays(3), 1e-3f) << "the camera rests";
    ASSERT_GT(GUI_BlastGlare::ShakeStrength(100.0f, cx, cy), 0.1f);
    SpawnBlastGlare(100.0f, cx, cy, nullptr);
    EXPECT_GT(strays(10), 1.0f) << "the blast shakes the view";
    // Half a second a unit of strength at most: it comes back to rest.
    strays(200);
    EXPECT_LT(strays(3), 1e-3f);
    gui().cameraShake = 0;
    SpawnBlastGlare(100.0f, cx, cy, nullptr);
    EXPECT_LT(strays(10), 1e-3f) << "not with camera shake off";
    gui().cameraShake = 1;
    ClearBlastGlares();
}

TEST_F(BattleScreenTest, EnterCentresOnTheStrongestPlayerShip)
{
    ASSERT_TRUE(Start("scenario1"));
    gui().cameraFollowMode = 1;
    gui().Enter();
    EXPECT_EQ(gui().cameraFollowMode, 0);
    EXPECT_EQ(gui().followedShip, nullptr);
    const SIM_Ship* strongest = SIM_Battle::GetInstance().GetPlayerFleet()->GetStrongestShip();
    ASSERT_NE(strongest, nullptr);
    EXPECT_FALSE(GUI_Map::GetInstance().IsOffScreen(strongest->x, strongest->y, 0.0f));
    EXPECT_FLOAT_EQ(gui().battleSpeed, 1.0f);
    EXPECT_FALSE(gui().paused);
}

TEST_F(BattleScreenTest, LeaveRestoresThePitchRecordsTheOutcomeAndFreesTheShips)
{
    ASSERT_TRUE(Start("tutorial1"));
    gui().Enter();
    gui().battleSpeed = 2.0f;
    gui().ApplyBattleSpeed();
    EXPECT_FLOAT_EQ(BankFrequency(), 2.0f * kNominalSoundRate);
    const int d = SIM_Battle::GetInstance().GetScenario()->GetDifficulty();
    ASSERT_FALSE(world.Scores().GetScenarioRecord("tutorial1")->beaten[d]);

    gui().Leave();
    EXPECT_FLOAT_EQ(BankFrequency(), kNominalSoundRate);
    // A tutorial counts as beaten whatever the outcome.
    EXPECT_TRUE(world.Scores().GetScenarioRecord("tutorial1")->beaten[d]);
    EXPECT_FALSE(SIM_Battle::GetInstance().IsStarted());
    EXPECT_EQ(GUI_ShipDrawLists::GetInstance().CountShips(), 0u);
    EXPECT_FLOAT_EQ(gui().battleTime, 0.0f);
}

TEST_F(BattleScreenTest, TheStatisticsViewDrawsOnlyTheInterface)
{
    ASSERT_TRUE(Start("scenario1"));
    gui().Enter();
    gui().EndBattleView();
    EXPECT_EQ(gui().shipPicking, GUI_BattleGUI::STATE_STATISTICS);
    std::vector<std::string> steps;
    gui().SetLayerTrace([&steps](const char* step) { steps.push_back(step); });
    const float clock = gui().battleTime;
    gui().Render();
    EXPECT_TRUE(steps.empty());
    EXPECT_FLOAT_EQ(gui().battleTime, clock);
}

TEST_F(BattleScreenTest, FortyShipsOfTwoHullsDrawTheirHullLayerInAHandfulOfRuns)
{
    // A screen big enough for forty cruisers side by side, with real textures.
    D3DEngine& engine = D3DEngine::GetInstance();
    engine.Release();
    auto owned = std::make_unique<HeadlessGraphicsDevice>(1920, 1200);
    HeadlessGraphicsDevice* device = owned.get();
    ASSERT_TRUE(engine.Init(std::move(owned)));
    engine.ClearTextureFolders();
    engine.LoadTextureFolder(std::string(QLM_GAME_DIR) + "/data/bitmaps");
    GUI_Map::GetInstance().SetScreenSize(1920, 1200);

    SIM_DeployedFleet player, enemy;
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(ShippedBattleWorld::Add(player, "fed_ai_battlecruiser", 500.0f, 500.0f, 1, i + 1));
        ASSERT_TRUE(ShippedBattleWorld::Add(enemy, "kor_ai_battlecruiser", 1500.0f, 500.0f, 1, i + 1));
    }
    ASSERT_TRUE(world.Headless().StartCustom(SIM_Scenario::FindByName("scenario2"), player, enemy, 3));
    gui().Enter();
    GUI_Map& map = GUI_Map::GetInstance();
    map.SetCentre(1200.0f, 1000.0f);
    map.Draw();
    // Player ships and enemy ships interleaved in the draw list order, on a
    // grid whose cells keep every cruiser apart from its neighbours.
    std::vector<SIM_Ship*> ships;
    const SIM_Battle& battle = SIM_Battle::GetInstance();
    for (int i = 0; i < 20; ++i) {
        ships.push_back(battle.GetPlayerFleet()->GetAllShips()[i]);
        ships.push_back(battle.GetEnemyFleet()->GetAllShips()[i]);
    }
    std::vector<TextureHandle> hulls;
    for (size_t i = 0; i < ships.size(); ++i) {
        SIM_Ship* ship = ships[i];
        ship->state = SIM_Ship::ACTIVE;
        ship->x = map.cameraX + 120.0f + 230.0f * static_cast<float>(i % 8);
        ship->y = map.cameraY + 120.0f + 230.0f * static_cast<float>(i / 8);
        const TextureHandle hull = GUI_Ship::Of(ship)->GetHullSprite().GetResolvedTexture();
        ASSERT_NE(hull, 0u);
        if (std::find(hulls.begin(), hulls.end(), hull) == hulls.end())
            hulls.push_back(hull);
    }
    ASSERT_EQ(hulls.size(), 2u);

    gui().TogglePauseState();
    size_t layerStart = 0, layerEnd = 0;
    gui().SetLayerTrace([&](const char* step) {
        if (std::string(step) == "ships1")
            layerStart = device->GetDraws().size();
        if (std::string(step) == "contrails2")
            layerEnd = device->GetDraws().size();
    });
    device->ClearDraws();
    engine.ClearAndBeginScene();
    gui().Render();
    engine.EndScene();

    // Both hull pictures and both races' turret sheets are on the atlas:
    // every hull and turret of the layer, whatever its picture, goes out in
    // one run from the atlas's page.
    TextureAtlas& atlas = TextureAtlas::Shared();
    std::vector<TextureHandle> turrets;
    size_t turretQuads = 0;
    for (SIM_Ship* ship : ships)
        for (const GUI_Ship::TurretDraw& turret : GUI_Ship::Of(ship)->GetTurretDraws()) {
            turretQuads += std::min<size_t>(turret.weapon->GetTurretCount(), SIM_TargetedModule::kMaxTurrets);
            if (std::find(turrets.begin(), turrets.end(), turret.sprite.GetResolvedTexture()) == turrets.end())
                turrets.push_back(turret.sprite.GetResolvedTexture());
        }
    ASSERT_EQ(turrets.size(), 2u);
    ASSERT_GT(turretQuads, 40u);
    for (TextureHandle t : {hulls[0], hulls[1], turrets[0], turrets[1]})
        EXPECT_TRUE(atlas.Contains(t));
    size_t layerQuads = 0;
    for (size_t i = layerStart; i < layerEnd; ++i) {
        const auto& draw = device->GetDraws()[i];
        EXPECT_EQ(std::find(hulls.begin(), hulls.end(), draw.texture), hulls.end()) << "no hull from its own texture";
        layerQuads += draw.vertexCount / 4;
    }
    // The ships' own glows and lights lie over and under their hulls: they
    // join the same run.
    EXPECT_EQ(layerEnd - layerStart, 1u) << "glows, hulls and turrets of both races in one run";
    EXPECT_GT(layerQuads, 40u + turretQuads) << "every hull and turret is drawn, and the glows";

    // In tight ranks each ship's engine glows (added under its hull) and
    // lights (added over it) overlap the neighbours' hulls: the layer still
    // goes out in one run and one blend state.
    for (size_t i = 0; i < ships.size(); ++i) {
        ships[i]->x = map.cameraX + 200.0f + 50.0f * static_cast<float>(i % 8);
        ships[i]->y = map.cameraY + 200.0f + 40.0f * static_cast<float>(i / 8);
    }
    device->ClearDraws();
    engine.ClearAndBeginScene();
    gui().Render();
    engine.EndScene();
    std::vector<BlendMode> blends;
    size_t rankedQuads = 0;
    for (size_t i = layerStart; i < layerEnd; ++i) {
        const auto& draw = device->GetDraws()[i];
        if (std::find(blends.begin(), blends.end(), draw.blend) == blends.end())
            blends.push_back(draw.blend);
        rankedQuads += draw.vertexCount / 4;
    }
    EXPECT_EQ(layerEnd - layerStart, 1u);
    EXPECT_EQ(blends, std::vector<BlendMode>{BlendMode::Premultiplied});
    // Power glows take their hull's blend now; what joins the run is told by
    // the count: the glows and lights ride along with every hull and turret.
    EXPECT_GT(rankedQuads, 40u + turretQuads) << "glows and hulls share the runs";

    // A ship off the screen draws nothing but still runs its frame update
    // (counted without the atlas, by the hulls' own textures).
    atlas.Clear();
    SIM_Ship* away = ships[7];
    const int updates = away->GetVisual()->updatesFromDraw;
    away->x = map.cameraX - 1000.0f;
    device->ClearDraws();
    engine.ClearAndBeginScene();
    gui().Render();
    engine.EndScene();
    size_t hullQuads = 0;
    for (size_t i = layerStart; i < layerEnd; ++i) {
        const auto& draw = device->GetDraws()[i];
        if (std::find(hulls.begin(), hulls.end(), draw.texture) != hulls.end())
            hullQuads += draw.vertexCount / 4;
    }
    EXPECT_EQ(hullQuads, 39u);
    EXPECT_EQ(away->GetVisual()->updatesFromDraw, updates + 1);
    engine.ClearTextureFolders();
}

TEST_F(BattleScreenTest, TheGunsMuzzleFlashesAreOnTheAtlasFromTheBattlesStart)
{
    // Flashes first loaded mid-battle kept their own textures: each frame's
    // muzzles then went out in draws of their own beside the bullets' run.
    D3DEngine& engine = D3DEngine::GetInstance();
    engine.Release();
    ASSERT_TRUE(engine.Init(std::make_unique<HeadlessGraphicsDevice>(1280, 720)));
    engine.ClearTextureFolders();
    engine.LoadTextureFolder(std::string(QLM_GAME_DIR) + "/data/bitmaps");
    TextureAtlas& atlas = TextureAtlas::Shared();
    atlas.Clear();
    SIM_DeployedFleet player, enemy;
    ASSERT_TRUE(ShippedBattleWorld::Add(player, "fed_ai_gunboat", 500.0f, 500.0f, 1, 1));
    ASSERT_TRUE(ShippedBattleWorld::Add(enemy, "fed_ai_escort", 1500.0f, 500.0f, 1, 2));
    ASSERT_TRUE(world.Headless().StartCustom(SIM_Scenario::FindByName("scenario2"), player, enemy, 3));
    gui().Enter();

    std::vector<std::string> flashes;
    for (const SIM_BulletWeaponModule* weapon : SIM_BulletWeaponModule::GetAll())
        if (weapon->hasBlastTexture)
            flashes.push_back(weapon->blastTexture);
    for (const SIM_KineticWeapon* weapon : SIM_KineticWeapon::GetAll())
        if (!weapon->blastTexture.empty())
            flashes.push_back(weapon->blastTexture);
    ASSERT_NE(std::find(flashes.begin(), flashes.end(), "blast_pulse.dds"), flashes.end());
    ASSERT_NE(std::find(flashes.begin(), flashes.end(), "blast_kinetic.dds"), flashes.end());
    for (const std::string& name : flashes)
        EXPECT_TRUE(atlas.Contains(engine.FindTexture(name))) << name;
    atlas.Clear();
    engine.ClearTextureFolders();
}

// The sample fleet's first frigate and fighter, every ship of the battle,
// and the map corner farthest from all of them.
struct DroneScene {
    SIM_Ship* frigate = nullptr;
    SIM_Ship* fighter = nullptr;
    std::vector<const SIM_Ship*> all;

    DroneScene()
    {
        const SIM_Battle& battle = SIM_Battle::GetInstance();
        for (const SIM_Fleet* fleet : {battle.GetPlayerFleet(), battle.GetEnemyFleet()})
            for (SIM_Ship* ship : fleet->GetAllShips()) {
                all.push_back(ship);
                const bool ours = fleet == battle.GetPlayerFleet();
                if (ours && ship->IsFighter() && !fighter)
                    fighter = ship;
                if (ours && !ship->IsFighter() && !frigate)
                    frigate = ship;
            }
    }
    // Frames until both are on the field (they warp in first).
    bool WaitForBoth(GUI_BattleGUI& gui) const
    {
        for (int frame = 0; frame < 2000 && !(frigate->state == SIM_Ship::ACTIVE && fighter->state == SIM_Ship::ACTIVE);
             ++frame)
            gui.RenderBattleFrame();
        return frigate->state == SIM_Ship::ACTIVE && fighter->state == SIM_Ship::ACTIVE;
    }
    // Centres the camera on the emptiest corner; the distance from where it
    // came to rest (inside the map) to the nearest ship.
    float LookAtEmptySpace(GUI_BattleGUI& gui) const
    {
        GUI_Map& map = GUI_Map::GetInstance();
        float bestX = 0.0f, bestY = 0.0f, bestGap = -1.0f;
        for (float cx : {0.0f, map.MapWidth()})
            for (float cy : {0.0f, map.MapHeight()}) {
                const float gap = Nearest(cx, cy);
                if (gap > bestGap) {
                    bestGap = gap;
                    bestX = cx;
                    bestY = cy;
                }
            }
        map.SetCentre(bestX, bestY);
        gui.RenderBattleFrame();
        return Nearest(CameraCentre[0], CameraCentre[1]);
    }
    float Nearest(float x, float y) const
    {
        float nearest = 1e9f;
        for (const SIM_Ship* ship : all)
            nearest = std::min(nearest, std::hypot(ship->x - x, ship->y - y));
        return nearest;
    }
};

TEST_F(BattleScreenTest, EngineDronesSwellWithTheShipsInViewAndFallSilentWithoutThem)
{
    auto recording = std::make_unique<RecordingSounds>();
    RecordingSounds* rec = recording.get();
    GUI_Sounds heard(std::move(recording), [](const std::string&) { return 1.0f; });
    gui().SetSounds(&heard);
    ASSERT_TRUE(Start("scenario1"));
    gui().Enter();
    const GUI_EngineDrones& drones = gui().GetDrones();
    ASSERT_NE(drones.channel[0], kNoChannel);
    ASSERT_NE(drones.channel[1], kNoChannel);
    EXPECT_TRUE(rec->looping);
    const DroneScene scene;
    ASSERT_NE(scene.frigate, nullptr);
    ASSERT_NE(scene.fighter, nullptr);
    GUI_Map& map = GUI_Map::GetInstance();

    // Silent while the fleet warps in; over the fleet in battle the larger
    // ships' drone and the fighters' both sound.
    map.SetCentre(scene.frigate->x, scene.frigate->y);
    gui().RenderBattleFrame();
    ASSERT_NE(scene.frigate->state, SIM_Ship::ACTIVE);
    EXPECT_FLOAT_EQ(rec->volumes[drones.channel[1]], 0.0f);
    ASSERT_TRUE(scene.WaitForBoth(gui()));
    map.SetCentre(scene.frigate->x, scene.frigate->y);
    gui().RenderBattleFrame();
    EXPECT_GT(rec->volumes[drones.channel[1]], 0.0f);
    map.SetCentre(scene.fighter->x, scene.fighter->y);
    gui().RenderBattleFrame();
    EXPECT_GT(rec->volumes[drones.channel[0]], 0.0f);

    // Over empty space, more than half a screen from every ship: silence.
    ASSERT_GT(scene.LookAtEmptySpace(gui()), 0.5f * 1024.0f) << "no empty corner on this map";
    EXPECT_FLOAT_EQ(rec->volumes[drones.channel[0]], 0.0f);
    EXPECT_FLOAT_EQ(rec->volumes[drones.channel[1]], 0.0f);
    gui().SetSounds(sounds.get());
}

TEST_F(BattleScreenTest, TheEngineDronesAreHeardInTheMixOverTheFleetOnly)
{
    auto system = LoopbackAudio::Open(64);
    if (!system)
        GTEST_SKIP() << "OpenAL Soft without loopback support";
    OpenALSoundSystem* device = system.get();
    // No music: the drones are what is heard.
    GUI_Sounds heard(std::move(system), [](const std::string& key) { return key == "OPTIONS_MUSIC" ? 0.0f : 1.0f; });
    heard.RefreshVolumes();
    gui().SetSounds(&heard);
    ASSERT_TRUE(Start("scenario1"));
    // The drones' sounds are the built game's.
    ScopedChdir inGame(QLM_GAME_DIR);
    gui().Enter();
    const DroneScene scene;
    ASSERT_NE(scene.frigate, nullptr);
    ASSERT_TRUE(scene.WaitForBoth(gui()));
    auto level = [&] {
        heard.Update();
        return LoopbackAudio::Rms(LoopbackAudio::Render(*device, 4410, 1024));
    };
    GUI_Map::GetInstance().SetCentre(scene.frigate->x, scene.frigate->y);
    gui().RenderBattleFrame();
    const double overFleet = level();
    ASSERT_GT(scene.LookAtEmptySpace(gui()), 0.5f * 1024.0f);
    level(); // what was still sounding when the volume fell
    const double overNothing = level();
    EXPECT_GT(overFleet, 0.002);
    EXPECT_LT(overNothing, 0.1 * overFleet) << overNothing << " vs " << overFleet;
    gui().Leave();
    gui().SetSounds(sounds.get());
}

TEST_F(BattleScreenTest, EveryBattleSoundStopsAtEnterAtTheEndOfTheLiveViewAndAtLeave)
{
    auto recording = std::make_unique<RecordingSounds>();
    RecordingSounds* rec = recording.get();
    GUI_Sounds heard(std::move(recording), [](const std::string&) { return 1.0f; });
    gui().SetSounds(&heard);
    // A looping sound on each of the five banks: only a stop ends it.
    const auto loopOnEveryBank = [&heard] {
        std::vector<SoundChannelId> playing;
        for (int bank = 0; bank < GUI_Sounds::BANK_COUNT; ++bank)
            playing.push_back(heard.PlaySound("data/sounds/gui_beep1.ogg", heard.GetBank(bank), 1.0f, true));
        return playing;
    };
    const auto allStopped = [rec](const std::vector<SoundChannelId>& channels) {
        for (SoundChannelId ch : channels)
            if (ch == kNoChannel || !rec->IsStopped(ch))
                return false;
        return true;
    };
    ASSERT_TRUE(Start("scenario1"));
    const std::vector<SoundChannelId> beforeTheBattle = loopOnEveryBank();
    gui().Enter();
    EXPECT_TRUE(allStopped(beforeTheBattle));
    const GUI_EngineDrones& drones = gui().GetDrones();
    ASSERT_NE(drones.channel[0], kNoChannel);
    EXPECT_FALSE(rec->IsStopped(drones.channel[0])) << "the drones start after the silence";
    const SoundChannelId drone = drones.channel[1];

    // A beam still firing when the live view ends is cut there.
    const std::vector<SoundChannelId> fighting = loopOnEveryBank();
    gui().EndBattleView();
    EXPECT_TRUE(allStopped(fighting));
    EXPECT_TRUE(rec->IsStopped(drone));
    EXPECT_EQ(drones.channel[1], kNoChannel);

    const std::vector<SoundChannelId> statistics = loopOnEveryBank();
    gui().Leave();
    EXPECT_TRUE(allStopped(statistics));
    gui().SetSounds(sounds.get());
}

} // namespace
