#include "battle/GUI_BattleGUI.h"

#include <algorithm>
#include <cmath>

#include "app/Game.h"
#include "app/MusicTracks.h"
#include "battle/BattleSpeed.h"
#include "battle/BulletSprites.h"
#include "battle/CameraShake.h"
#include "battle/CloakImages.h"
#include "battle/MaskedQuadBatch.h"
#include "battle/Explosions.h"
#include "battle/GUI_DebrisPool.h"
#include "battle/BattleEffectSteps.h"
#include "battle/GUI_AsteroidField.h"
#include "battle/GUI_EffectLog.h"
#include "battle/GUI_ParticleEmmiter.h"
#include "battle/GUI_ParticleEmmiterGroup.h"
#include "battle/GUI_PostProcessor.h"
#include "battle/GUI_TerrainItem.h"
#include "battle/VisualRandom.h"
#include "battle/GUI_Map.h"
#include "battle/MissileRenderer.h"
#include "battle/GUI_Ship.h"
#include "battle/GUI_ShipDrawLists.h"
#include "battle/hud/BattleHud.h"
#include "battle/hud/GUI_ShipInspector.h"
#include "battle/hud/GUI_Score.h"
#include "battle/hud/GUI_StatsBrowser.h"
#include "battle/hud/GUI_SurvivalPostMortem.h"
#include "gui/GUI_ConfirmDialog.h"
#include "engine/CInput.h"
#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "engine/GFileHelpers.h"
#include "engine/QuadRunBatch.h"
#include "engine/TextureAtlas.h"
#include "gui/GUI_Cursor.h"
#include "gui/GUI_PreloadedTextures.h"
#include "gui/GUI_Tooltip.h"
#include "gui/GUI_Tutorial.h"
#include "gui/GUI_WindowManager.h"
#include "platform/HeapTrim.h"
#include "platform/KeyCodes.h"
#include "sim/SIM_Battle.h"
#include "sim/SIM_BattleStep.h"
#include "sim/SIM_CommsManager.h"
#include "sim/SIM_Fleet.h"
#include "sim/SIM_Options.h"
#include "sim/SIM_Race.h"
#include "sim/SIM_Scenario.h"
#include "sim/SIM_Ship.h"
#include "sim/ShipUpdateScheduler.h"
#include "sim/modules/SIM_GunProjectiles.h"
#include "sim/modules/SIM_TargetedModule.h"

namespace {

// The windows' pictures, loaded before the atlas is built so that the
// interface draws from its page from the first battle on; the window
// background is larger than the candidates and so named.
const char* const kWindowPictures[] = {"border_depth.dds", "tooltip.dds"};
const char* const kWindowBackground = "box_background.jpg";

const char* const kGraphicsOptions[] = {"CONTRAILS",   "FANCYBEAMS", "DEBRIS", "TURRETS", "RUNNINGLIGHTS",
                                        "REPAIRBOTS",  "ESCAPEPODS", "SHADERS", "CAMERASHAKE", "MOTIONBLUR",
                                        "HULKS",       "COMMS"};

const char* const kShaderFiles[] = {"data/shaders/shader.fx", "data/shaders/motionblur.fx", "data/shaders/depth.fx",
                                    "data/shaders/stencil.fx"};

} // namespace

GUI_BattleGUI::GUI_BattleGUI()
{
    // Ships built from now on get a visual this screen draws.
    GUI_Ship::InstallFactory();
    simClock.SetSoundsSource([]() -> SIM_SoundSink* { return screenInstance ? screenInstance->GetSounds() : nullptr; });
    simClock.SetBattleEndedHook([] {
        if (screenInstance)
            screenInstance->ApplyBattleSpeed();
        // The score boxes keep the strengths the battle ended on, as the
        // statistics' last sample does.
        const SIM_Battle& battle = SIM_Battle::GetInstance();
        GUI_Score::GetInstance().UpdateFigures(battle.GetPlayerFleet(), battle.GetEnemyFleet());
        BattleHud::OpenResultDialog();
    });
    SIM_ShipDestroyedSink::Install(this);
}

GUI_BattleGUI::~GUI_BattleGUI()
{
    if (SIM_ShipDestroyedSink::Get() == this)
        SIM_ShipDestroyedSink::Install(nullptr);
    if (screenInstance == this)
        screenInstance = nullptr;
}

void GUI_BattleGUI::OnShipDestroyed(const SIM_Ship& ship)
{
    if (GUI_ShipInspector::GetInspectedShip() == &ship)
        GUI_ShipInspector::Close();
}

GUI_BattleGUI& GUI_BattleGUI::Make()
{
    static GUI_BattleGUI instance;
    screenInstance = &instance;
    return instance;
}

GUI_Sounds* GUI_BattleGUI::GetSounds() const
{
    return soundsOverride ? soundsOverride : Game::GetReadySounds();
}

void GUI_BattleGUI::SetClock(const IClock* clock)
{
    battleTimer = GTimer(clock);
}

void GUI_BattleGUI::ApplyBattleSpeed()
{
    if (GUI_Sounds* sounds = GetSounds())
        sounds->SetPitch(battleSpeed);
    BattleHud::ShowBattleSpeed(battleSpeed);
}

void GUI_BattleGUI::TogglePauseState()
{
    paused = !paused;
    GUI_Tutorial::GetInstance().NoteBattlePauseChanged(paused);
    GUI_Sounds* sounds = GetSounds();
    if (paused) {
        battleTimer.Pause();
        scaledFrameTime = 0.0f;
        frameStep = 0.0f;
        if (sounds)
            sounds->Pause();
    } else {
        battleTimer.Resume();
        frameStep = 1.0f;
        if (sounds)
            sounds->Resume();
    }
}

void GUI_BattleGUI::ReadGraphicsOptions()
{
    SIM_Options& options = SIM_Options::GetInstance();
    unsigned char* flags[] = {&contrails,  &fancyBeams, &debris,      &turretsOn,    &runningLights, &repairBots,
                              &escapePods, &shadersOn,  &cameraShake, &motionBlurOn, &hulks,         &commsOn};
    for (size_t i = 0; i < sizeof(flags) / sizeof(flags[0]); ++i)
        *flags[i] = options.GetValue(kGraphicsOptions[i]) != 0.0f ? 1 : 0;
    D3DEngine& engine = D3DEngine::GetInstance();
    engineCaps = engine.IsInitialised() && engine.HasShaders() ? 1 : 0;
}

void GUI_BattleGUI::LoadShader(int slot, const std::string& file)
{
    // Only effects we ship are loaded; a missing one leaves its slot empty.
    if (file.empty() || !(FileExists(file) || FileExists(file + ".frag")))
        return;
    effects[slot].Load(file);
}

void GUI_BattleGUI::RefillDrawLists()
{
    GUI_ShipDrawLists& lists = GUI_ShipDrawLists::GetInstance();
    lists.Clear();
    const SIM_Battle& battle = SIM_Battle::GetInstance();
    for (const SIM_Fleet* fleet : {battle.GetPlayerFleet(), battle.GetEnemyFleet()}) {
        if (!fleet)
            continue;
        for (SIM_Ship* ship : fleet->GetAllShips())
            lists.Add(ship);
    }
}

void GUI_BattleGUI::Enter()
{
    D3DEngine& engine = D3DEngine::GetInstance();
    GUI_Map& map = GUI_Map::GetInstance();
    if (engine.IsInitialised() && !map.HasScreen())
        map.SetScreenSize(engine.GetScreenWidth(), engine.GetScreenHeight());
    screenWidth = static_cast<float>(map.GetScreenWidth());
    screenHeight = static_cast<float>(map.GetScreenHeight());
    screenQuad.SetSize(screenWidth, screenHeight);
    screenQuad.PlaceCentred(screenWidth * 0.5f, screenHeight * 0.5f);

    {
        const SIM_Scenario* scenario = SIM_Battle::GetInstance().GetScenario();
        BattleHud::OpenLiveWindows(map.mapWidth, map.mapHeight, map.GetScreenWidth(), map.GetScreenHeight(),
                                   scenario && scenario->GetType() == SIM_Scenario::SURVIVAL);
    }
    GUI_Sounds* sounds = GetSounds();
    if (sounds) {
        // Nothing of what played before the battle sounds on into it.
        sounds->StopAllBanks();
        sounds->StartEngineDrones(drones);
        sounds->SetBattleInfoProvider([this]() {
            GUI_SoundBattleInfo info;
            info.inBattle = true;
            info.viewCentreX = CameraCentre[0];
            info.viewCentreY = CameraCentre[1];
            info.zoom = ZoomScale;
            info.scaledFrameMs = scaledFrameTime;
            info.screenWidth = screenWidth > 0.0f ? screenWidth : 1024.0f;
            return info;
        });
    }
    BattleEffectSteps::Reset();
    GUI_EffectLog::GetInstance().Clear();
    ClearParticleEmmiters();
    ClearEmmiterGroupLists();
    CameraShake::GetInstance().Reset();
    BulletSprites::GetInstance().Reset();
    MissileRenderer::GetInstance().Reset();
    SeedVisualRandom(visualSeed);
    {
        // The scenario's scenery, from the visuals' own generator; only the
        // screen's bullets meet it.
        const SIM_Scenario* scenario = SIM_Battle::GetInstance().GetScenario();
        GUI_AsteroidField::GetInstance().Build(scenario ? scenario->GetAsteroidCount() : 0,
                                               scenario ? scenario->GetAsteroidTopX() : 0.0f,
                                               scenario ? scenario->GetAsteroidBottomX() : 0.0f, map.mapWidth,
                                               map.mapHeight);
        if (scenario)
            BuildTerrain(scenario);
        else
            DeleteAllTerrain();
        SIM_GunProjectiles::SetSceneryProbe(&BulletSprites::SceneryProbe);
    }
    // Once per run: the common explosions are built before they are needed.
    PrewarmExplosions();
    pickedShip = nullptr;
    pickedModule = nullptr;
    RefillDrawLists();

    battleTime = 0.0f;
    ReadGraphicsOptions();
    {
        const SIM_Battle& battle = SIM_Battle::GetInstance();
        const SIM_Scenario* scenario = battle.GetScenario();
        BattleHud::OpenBattleControls(commsOn != 0, battle.IsFromCampaign(), map.GetScreenWidth(),
                                      scenario && scenario->GetType() == SIM_Scenario::SURVIVAL);
    }

    battleTimer.Start();
    battleSpeed = 1.0f;
    paused = false;
    scaledFrameTime = 0.0f;
    zoomKeyRepeat = 0.0f;

    const SIM_Battle& battle = SIM_Battle::GetInstance();
    const SIM_Scenario* scenario = battle.GetScenario();
    if (shadersOn) {
        if (scenario && !scenario->GetShader().empty())
            LoadShader(FX_SCENARIO, scenario->GetShader());
        LoadShader(FX_GENERAL, kShaderFiles[0]);
        LoadShader(FX_MOTIONBLUR, kShaderFiles[1]);
        LoadShader(FX_DEPTH, kShaderFiles[2]);
        LoadShader(FX_STENCIL, kShaderFiles[3]);
    }
    CentreOnStrongestShip();
    // Every picture the battle has loaded by now (hulls, turrets, glows,
    // effects, scenery) shares the atlas, so neighbours of different
    // pictures draw in one run; it stays for the next battle.
    CloakImages::GetInstance().Reset();
    if (engine.IsInitialised()) {
        TextureAtlas::Shared().SetTargetRegion(CloakImages::kSide);
        TextureAtlas::Shared().Build(AtlasPictures());
        // The page's pictures were copied over: their pixels go back.
        HeapTrim::ReturnFreedMemory();
    }

    if (sounds && battle.GetEnemyRace())
        sounds->PlayMusic(battle.GetEnemyRace()->GetMusic(), false);
    if (scenario && scenario->GetType() == SIM_Scenario::SURVIVAL)
        GUI_Tutorial::GetInstance().LaunchTutorial("SURVIVAL");
    GUI_Tutorial::GetInstance().LaunchTutorial(scenario ? "BATTLESTART_" + scenario->GetName() : std::string());
}

void GUI_BattleGUI::Leave()
{
    battleTime = 0.0f;
    if (GUI_Sounds* sounds = GetSounds())
        sounds->StopAllBanks();
    BattleHud::CloseAll();
    GUI_ShipDrawLists::GetInstance().Clear();
    CloakImages::GetInstance().Reset();
    BattleEffectSteps::Release();
    GUI_EffectLog::GetInstance().Clear();
    ClearParticleEmmiters();
    ClearEmmiterGroupLists();
    CameraShake::GetInstance().Reset();
    BulletSprites::GetInstance().Reset();
    MissileRenderer::GetInstance().Reset();
    GUI_AsteroidField::GetInstance().Clear();
    DeleteAllTerrain();
    SIM_GunProjectiles::SetSceneryProbe(nullptr);
    pickedShip = nullptr;
    pickedModule = nullptr;
    ReleaseShaders();
    followedShip = nullptr;
    cameraFollowMode = 0;
    if (GUI_Sounds* sounds = GetSounds()) {
        sounds->StopEngineDrones(drones);
        sounds->SetBattleInfoProvider(nullptr);
        sounds->Resume();
        sounds->SetPitch(1.0f);
    }
    SIM_Battle& battle = SIM_Battle::GetInstance();
    battle.RecordOutcome();
    // Nothing on screen names a ship any more: the battle may free them.
    battle.Clear();
    HeapTrim::ReturnFreedMemory();
    if (GUI_Sounds* sounds = GetSounds())
        sounds->PlayMusic(MusicTracks::kSettingUpShips, false);
}

void GUI_BattleGUI::EndBattleView()
{
    BattleHud::CloseLiveWindows();
    followedShip = nullptr;
    cameraFollowMode = 0;
    if (GUI_Sounds* sounds = GetSounds()) {
        // A beam still firing, the drones and the last blasts end with the
        // live view: the statistics are read in quiet.
        sounds->StopAllBanks();
        sounds->StopEngineDrones(drones);
        sounds->PlayMusic(MusicTracks::kSettingUpShips, false);
    }
    shipPicking = STATE_STATISTICS;
    hudShown = 1;
}

void GUI_BattleGUI::ReleaseShaders()
{
    for (Effect& effect : effects)
        effect.Release();
}

void GUI_BattleGUI::ReloadShaders()
{
    if (!D3DEngine::GetInstance().HasShaders())
        return;
    for (int slot : {FX_DEPTH, FX_GENERAL, FX_SPARE, FX_SCENARIO, FX_MOTIONBLUR, FX_STENCIL}) {
        if (!effects[slot].GetFileName().empty())
            effects[slot].Load(effects[slot].GetFileName());
    }
}

void GUI_BattleGUI::CentreOnStrongestShip()
{
    cameraFollowMode = 0;
    followedShip = nullptr;
    const SIM_Fleet* fleet = SIM_Battle::GetInstance().GetPlayerFleet();
    SIM_Ship* strongest = fleet ? fleet->GetStrongestShip() : nullptr;
    if (strongest)
        GUI_Map::GetInstance().SetCentre(strongest->x, strongest->y);
}

void GUI_BattleGUI::Update()
{
    GUI_WindowManager::GetInstance().UpdateWindows();
    // Now and then what the battle freed goes back to the system, so that a
    // long battle's memory does not stay at its busiest moment's. A busy
    // battle has no spare frame time, and the trim costs well under a
    // millisecond: it is done in the frame.
    const auto now = std::chrono::steady_clock::now();
    if (now - lastHeapTrim >= kHeapTrimInterval) {
        lastHeapTrim = now;
        HeapTrim::ReturnFreedMemory();
    }
}

void GUI_BattleGUI::OnLeftClick()
{
    if (hudShown && GUI_WindowManager::GetInstance().DispatchClick())
        return;
    if (shipPicking != STATE_RUNNING)
        return;
    GUI_Map::GetInstance().StartDrag();
    if (hudShown)
        PickShip();
}

void GUI_BattleGUI::OnWheelUp()
{
    if (shipPicking == STATE_STATISTICS) {
        GUI_WindowManager::GetInstance().DispatchWheelUp();
        return;
    }
    if (SIM_Options::GetInstance().GetValue("INVERTZOOM") == 0.0f)
        GUI_Map::GetInstance().ZoomOut();
    else
        GUI_Map::GetInstance().ZoomIn();
}

void GUI_BattleGUI::OnWheelDown()
{
    if (shipPicking == STATE_STATISTICS) {
        GUI_WindowManager::GetInstance().DispatchWheelDown();
        return;
    }
    if (SIM_Options::GetInstance().GetValue("INVERTZOOM") == 0.0f)
        GUI_Map::GetInstance().ZoomIn();
    else
        GUI_Map::GetInstance().ZoomOut();
}

namespace {
// "No" (or closing the question) takes back the pause the question made.
void ResumeAfterQuitQuestion(std::intptr_t)
{
    GUI_BattleGUI& gui = GUI_BattleGUI::GetInstance();
    if (gui.paused)
        gui.TogglePauseState();
}
} // namespace

bool GUI_BattleGUI::AskHoldingBattle(const char* textKey, const char* titleKey, GUI_Callback onYes)
{
    AskYesNo(textKey, titleKey, onYes, false);
    // The question holds a running battle; a paused one stays paused
    // whatever the answer.
    if (paused)
        return false;
    TogglePause();
    GUI_ConfirmDialog::SetOpenedFromBattle(&ResumeAfterQuitQuestion);
    return true;
}

void GUI_BattleGUI::OnKeyDown(int code)
{
    if (keyboardFocus) {
        GUI_GameModeBase::OnKeyDown(code);
        return;
    }
    switch (code) {
    case KEY_ESCAPE:
        if (shipPicking == STATE_RUNNING) {
            // A campaign battle left goes to the map as lost, with every ship.
            AskHoldingBattle(SIM_Battle::GetInstance().IsFromCampaign() ? "BATTLE_QUIT_CAMPAIGN_TEXT"
                                                                         : "BATTLE_QUIT_CONFIRM_TEXT",
                             "BATTLE_QUIT_CONFIRM_TITLE", &GUI_BattleGUI::OnQuitConfirmed);
            hudShown = 1;
        } else {
            LeaveStatistics();
        }
        break;
    case KEY_MINUS:
    case KEY_SUBTRACT:
        BattleSpeedDown();
        break;
    case KEY_EQUALS:
    case KEY_ADD:
        BattleSpeedUp();
        break;
    case KEY_U:
        hudShown = hudShown ? 0 : 1;
        break;
    case KEY_O:
        overlayShown = overlayShown ? 0 : 1;
        break;
    case KEY_P:
        TogglePause();
        break;
    case KEY_PRIOR:
        GUI_Map::GetInstance().ZoomIn();
        break;
    case KEY_NEXT:
        GUI_Map::GetInstance().ZoomOut();
        break;
    default:
        break;
    }
}

void GUI_BattleGUI::OnQuitConfirmed(std::intptr_t)
{
    // A survival battle is only ever given up: that is its defeat, and its
    // report shows the score (kept as the best when it is) and offers the post.
    SIM_Battle& battle = SIM_Battle::GetInstance();
    if (BattleHud::EndsInSurvivalReport() && battle.IsStarted() && !battle.IsEnded()) {
        GUI_SurvivalPostMortem::SetGivenUp(true);
        battle.Defeat();
        return;
    }
    GetInstance().EndBattleView();
    GUI_StatsBrowser::Open();
    GUI_Tutorial::GetInstance().LaunchTutorial("STATISTICS");
}

void GUI_BattleGUI::LeaveStatistics()
{
    // A campaign battle is never left unsettled: it goes back to the map with its result.
    if (SIM_Battle::GetInstance().IsFromCampaign()) {
        GUI_StatsBrowser::LeaveForCampaign();
        return;
    }
    BattleHud::CloseAll();
    const SIM_Scenario* scenario = SIM_Battle::GetInstance().GetScenario();
    // The mode switch runs the screen transition.
    Game::GetInstance().SetMode(scenario && !scenario->GetChallengeId().empty() ? 6 : 15);
}

void GUI_BattleGUI::PickShip()
{
    const CInput& input = CInput::GetInstance();
    const float mx = input.GetMouseX(), my = input.GetMouseY();
    float best = 9999.0f;
    GUI_Ship* bestVisual = nullptr;
    for (GUI_Ship* visual : GUI_Ship::GetAll()) {
        const SIM_Ship* ship = visual->GetShip();
        if (!ship || ship->IsDead() || !visual->IsMouseOver())
            continue;
        const float d = std::sqrt((mx - visual->screenX) * (mx - visual->screenX) +
                                  (my - visual->screenY) * (my - visual->screenY));
        if (d < visual->pickRadius && d < best) {
            best = d;
            bestVisual = visual;
        }
    }
    pickedShip = nullptr;
    pickedModule = nullptr;
    if (!bestVisual) {
        BattleHud::PickedShip(nullptr, nullptr);
        cameraFollowMode = 0;
        followedShip = nullptr;
        // A click on open space blows away a resting piece of debris under it.
        if (debris && !GetDebrisPools().first.HitTest(mx, my))
            GetDebrisPools().second.HitTest(mx, my);
        return;
    }
    SIM_Ship* ship = bestVisual->GetShip();
    if (best < ZoomScale * bestVisual->GetHullWidth() * 0.5f) {
        pickedShip = ship;
        if (ship->isPlayerShip) {
            if (GUI_Sounds* sounds = GetSounds())
                sounds->PlayGuiSound(0);
        }
        if (cameraFollowMode == 1)
            followedShip = ship;
    }
    if (ship->isPlayerShip) {
        pickedModule = bestVisual->ModuleUnderMouse();
        if (pickedModule) {
            if (GUI_Sounds* sounds = GetSounds())
                sounds->PlayGuiSound(0);
        }
    }
    // Only the player's ships are inspected.
    BattleHud::PickedShip(pickedShip && pickedShip->isPlayerShip ? pickedShip : nullptr, pickedModule);
}

bool GUI_BattleGUI::CoversBackBuffer() const
{
    return shipPicking != STATE_STATISTICS && shadersOn && GUI_PostProcessor::GetInstance().WillCoverBackBuffer();
}

void GUI_BattleGUI::Render()
{
    if (shipPicking == STATE_STATISTICS)
        DrawInterfaceOnly();
    else
        RenderBattleFrame();
}

void GUI_BattleGUI::DrawWindowsAndTooltips()
{
    GUI_GameModeBase::DrawInterfaceTail(true);
}

void GUI_BattleGUI::DrawInterfaceOnly()
{
    GUI_Map::GetInstance().Draw();
    DrawWindowsAndTooltips();
}

// ---- the frame ------------------------------------------------------------

void GUI_BattleGUI::BattleFrameTiming()
{
    if (paused)
        return;
    float elapsed;
    if (injectedFrameMs >= 0.0f) {
        elapsed = std::min(injectedFrameMs, GTimer::kMaxLastElapsedMs);
        realFrameStep = injectedFrameMs / static_cast<float>(GTimer::kStepMs);
    } else {
        battleTimer.Update();
        realFrameStep = battleTimer.GetFrameStep();
        elapsed = battleTimer.GetLastElapsedMs();
    }
    SetFrameTime(SIM_BattleClock::ScaleFrame(elapsed, battleSpeed));
    // The game's pacer holds every screen's frame after the present; the
    // battle only reads how much of the last one was left over.
    frameHoldSpare = Game::GetInstance().GetFramePacer().GetSpareShare();
    ZoomKeyRepeat(elapsed);
}

bool GUI_BattleGUI::DoIdleWork()
{
    // Explosion groups and spare-time bullet collisions take turns; a turn
    // with nothing to do hands its time to the other job.
    BulletSprites& bullets = BulletSprites::GetInstance();
    const bool bulletsTurn = (++idleAlternation & 1) == 0;
    if (bulletsTurn && bullets.GetLiveCount() > 0 && bullets.CollideInSpareTime())
        return true;
    if (TopUpExplosionGroups())
        return true;
    return !bulletsTurn && bullets.GetLiveCount() > 0 && bullets.CollideInSpareTime();
}

void GUI_BattleGUI::ZoomKeyRepeat(float elapsedMs)
{
    const CInput& input = CInput::GetInstance();
    const bool in = input.IsKeyDown(KEY_PRIOR);
    const bool out = input.IsKeyDown(KEY_NEXT);
    if (!in && !out) {
        zoomKeyRepeat = 0.0f;
        return;
    }
    zoomKeyRepeat += elapsedMs;
    if (zoomKeyRepeat > kZoomRepeatMs) {
        if (in)
            GUI_Map::GetInstance().ZoomIn();
        else
            GUI_Map::GetInstance().ZoomOut();
        zoomKeyRepeat -= kZoomRepeatMs;
    }
}

std::vector<std::string> GUI_BattleGUI::AtlasPictures()
{
    D3DEngine& engine = D3DEngine::GetInstance();
    for (int i = 0; i < GUI_PreloadedTextures::kCount; ++i)
        engine.FindTexture(GUI_PreloadedTextures::GetTextureName(i));
    for (const char* name : kWindowPictures)
        engine.FindTexture(name);
    BulletSprites::LoadMuzzlePictures();
    std::vector<std::string> names = TextureAtlas::Candidates();
    if (engine.FindTexture(kWindowBackground) && std::find(names.begin(), names.end(), kWindowBackground) == names.end())
        names.emplace_back(kWindowBackground);
    return names;
}

void GUI_BattleGUI::DrawShipLayer(int layer, bool tint)
{
    // Each layer's quads go out in runs of one texture and blend.
    GUI_ShipDrawLists& lists = GUI_ShipDrawLists::GetInstance();
    QuadRunBatch& batch = QuadRunBatch::Shared();
    const D3DEngine& engine = D3DEngine::GetInstance();
    const int list = GUI_ShipDrawLists::ListForLayer(layer);
    if (!tint)
        CloakImages::GetInstance().Prepare(list);
    batch.Begin(engine.GetScreenWidth(), engine.GetScreenHeight());
    if (tint)
        lists.DrawTintList(list);
    else
        lists.DrawList(list);
    batch.End();
    CloakImages::GetInstance().Forget();
}

void GUI_BattleGUI::DrawShips()
{
    // Every ship in view offers its engine drone a level: the view they
    // are heard from is asked for once.
    const GUI_Sounds::BattleInfoHold heardFrom(GetSounds());
    // Con trails and engine glows of the fighter layers draw in bulk.
    Trace("contrails0");
    BattleEffectSteps::DrawFighterTrails(0);
    Trace("engineglows0");
    BattleEffectSteps::DrawFighterGlows(0);
    Trace("ships0");
    DrawShipLayer(0, false);
    Trace("underlays1");
    BattleEffectSteps::DrawLargeShipUnderlays();
    Trace("ships1");
    DrawShipLayer(1, false);
    Trace("contrails2");
    BattleEffectSteps::DrawFighterTrails(2);
    Trace("engineglows2");
    BattleEffectSteps::DrawFighterGlows(2);
    Trace("ships2");
    DrawShipLayer(2, false);
    if (hudShown && overlayShown) {
        Trace("teamtint");
        for (int layer : {0, 1, 2})
            DrawShipLayer(layer, true);
    }
}

void GUI_BattleGUI::RenderBattleFrame()
{
    Trace("timing");
    BattleFrameTiming();
    if (shadersOn) {
        Trace("postprocess-begin");
        GUI_PostProcessor::GetInstance().BeginFrame();
    }

    GUI_Map& map = GUI_Map::GetInstance();
    if (cameraFollowMode == 1 && followedShip)
        map.SetCentre(followedShip->x, followedShip->y);
    SIM_BattleStep::RunFrame(this);
}

void GUI_BattleGUI::OnPhase(SIM_BattleStep::Phase phase)
{
    switch (phase) {
    case SIM_BattleStep::BEFORE_WORLD:
        DrawBackLayers();
        Trace("world");
        break;
    case SIM_BattleStep::AFTER_SHIPS:
        DrawFrontLayers();
        break;
    case SIM_BattleStep::BEFORE_COMMS:
        Trace("comms");
        break;
    case SIM_BattleStep::BEFORE_BATTLE:
        Trace("battle");
        break;
    }
}

void GUI_BattleGUI::DrawBackLayers()
{
    Trace("map");
    GUI_Map::GetInstance().Draw();
    // Terrain and asteroids draw here once they exist.
    Trace("terrain-back");
    DrawBackTerrain();
    Trace("asteroids-back");
    GUI_AsteroidField::GetInstance().DrawBack();
    Trace("camerashake");
    CameraShake::GetInstance().Update(scaledFrameTime);
    Trace("smoke");
    BattleEffectSteps::DrawSmoke();
    if (hulks) {
        Trace("hulks");
        BattleEffectSteps::DrawHulks();
    }
    Trace("shockwaves");
    BattleEffectSteps::DrawShockWaves();
    if (debris) {
        Trace("debris2");
        BattleEffectSteps::DrawDebris(2);
    }
    Trace("missiles");
    MissileRenderer::GetInstance().Draw(scaledFrameTime);
}

void GUI_BattleGUI::DrawFrontLayers()
{
    D3DEngine& engine = D3DEngine::GetInstance();
    // Bullets still in their muzzles lie under the ships that fire them.
    BulletSprites::GetInstance().DrawAtMuzzle();
    Trace("escapepods");
    BattleEffectSteps::DrawEscapePods();
    DrawShips();
    engine.SetNormalBlend();
    Trace("bullets");
    BulletSprites::GetInstance().Update();
    BulletSprites::GetInstance().Draw(turretsOn != 0);
    engine.SetNormalBlend();
    Trace("plumes");
    BattleEffectSteps::PurgePlumes();
    Trace("particles");
    {
        QuadRunBatch& batch = QuadRunBatch::Shared();
        if (engine.IsInitialised())
            batch.Begin(engine.GetScreenWidth(), engine.GetScreenHeight());
        DrawParticleEmmiters();
        DrawOrphanEmmiterGroups();
        if (batch.IsOpen())
            batch.End();
        engine.SetNormalBlend();
    }
    ReleaseFinishedEmmiterGroups();
    if (debris) {
        Trace("debris1");
        BattleEffectSteps::DrawDebris(1);
    }
    Trace("asteroids-front");
    GUI_AsteroidField::GetInstance().DrawFront();
    Trace("terrain-front");
    DrawFrontTerrain();
    MaskedQuadBatch::ReleaseSecondStage();
    if (shadersOn) {
        Trace("postprocess-end");
        GUI_PostProcessor::GetInstance().EndFrame();
    }
    {
        // The damage texts and name labels share runs with the windows.
        QuadRunBatch::InterfaceScope batched;
        if (hudShown) {
            Trace("damagetexts");
            BattleHud::DrawOverlays(damageTextsShown != 0, scaledFrameTime);
        }
        if (hudShown || shipPicking == STATE_ENDED) {
            Trace("labels");
            BattleHud::DrawLabels();
            Trace("windows");
            DrawWindowsAndTooltips();
        }
    }
    if (GUI_Sounds* sounds = GetSounds())
        sounds->RefreshDroneVolume(drones);
    Trace("purge");
    BattleEffectSteps::PurgeAfterFrame();
}
