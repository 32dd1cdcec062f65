#pragma once
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

#include "app/GUI_GameModeBase.h"
#include "app/GUI_Sounds.h"
#include "engine/BaseSprite.h"
#include "engine/Effect.h"
#include "engine/GTimer.h"
#include "gui/GUI_Callback.h"
#include "sim/SIM_BattleClock.h"
#include "sim/SIM_BattleStep.h"
#include "sim/SIM_ShipDestroyedSink.h"

class IClock;
class SIM_Ship;
class SIM_TargetedModule;

// The screen in which a battle is watched, and the one that drives the
// simulation: every drawn frame it measures the frame time, scales it by the
// battle speed (the game's frame pacer holds the frame), and runs the battle's
// frame step, drawing its layers between the step's phases. It also
// carries the values the simulation reads each frame, so battles run
// headless through SetFrameTime as well.
class GUI_BattleGUI : public GUI_GameModeBase, private SIM_BattleStep::Observer, private SIM_ShipDestroyedSink {
public:
    static constexpr float kSpeedScale = SIM_BattleClock::kSpeedScale;
    static constexpr float kZoomRepeatMs = 100.0f;
    static constexpr int kEffectSlots = 6;
    enum EffectSlot { FX_GENERAL = 0, FX_SPARE, FX_SCENARIO, FX_MOTIONBLUR, FX_DEPTH, FX_STENCIL };
    enum StateWord { STATE_RUNNING = 0, STATE_ENDED = 1, STATE_STATISTICS = 2 };

    // Asked for thousands of times a frame: once made, one load.
    static GUI_BattleGUI& GetInstance()
    {
        if (GUI_BattleGUI* gui = screenInstance) [[likely]]
            return *gui;
        return Make();
    }
    GUI_BattleGUI();
    ~GUI_BattleGUI() override;
    GUI_BattleGUI(const GUI_BattleGUI&) = delete;
    GUI_BattleGUI& operator=(const GUI_BattleGUI&) = delete;

    void Render() override;
    // Windows draw between the battle's layers, and only while the HUD shows.
    bool DrawsOwnInterfaceTail() const override { return true; }
    bool CoversBackBuffer() const override;
    void OnKeyDown(int code) override;
    void Update() override;
    void Enter() override;
    void Leave() override;
    // Spare-time work offered to the frame hold.
    bool DoIdleWork() override;
    // The windows over the battle take the mouse first.
    void OnLeftClick() override;
    void OnWheelUp() override;
    void OnWheelDown() override;

    // One frame of battle time: the scaled milliseconds (0 while paused)
    // drive every timer of the simulation.
    void SetFrameTime(float scaledMs) { simClock.SetFrameTime(scaledMs); }

    // Sound pitch follows the speed.
    void ApplyBattleSpeed();
    void TogglePauseState();
    // The ship under the mouse: followed when following is on, inspected
    // when it is the player's; a click on nothing ends the following.
    void PickShip();
    // Escape after the battle: on to the next screen (for a campaign battle,
    // the campaign's map with the result applied).
    void LeaveStatistics();
    // The player confirmed leaving a running battle.
    static void OnQuitConfirmed(std::intptr_t);
    // A yes/no question over the battle: a running battle pauses while it is
    // open and "no" resumes it. True when the question paused the battle.
    bool AskHoldingBattle(const char* textKey, const char* titleKey, GUI_Callback onYes);
    // What the last pick chose (null: nothing), for the windows that follow it.
    SIM_Ship* GetPickedShip() const { return pickedShip; }
    SIM_TargetedModule* GetPickedModule() const { return pickedModule; }
    // A new battle starts on a clean clock.
    void ResetForBattle() { simClock.ResetForBattle(); }

    void BattleFrameTiming();
    void RenderBattleFrame();
    void DrawInterfaceOnly();
    void ReadGraphicsOptions();
    void CentreOnStrongestShip();
    void EndBattleView();
    void ReleaseShaders();
    void ReloadShaders();

    // Headless and test runs hand in each frame's real milliseconds instead
    // of measuring them; below 0: measure.
    void SetInjectedFrameTime(float ms) { injectedFrameMs = ms; }
    float GetInjectedFrameTime() const { return injectedFrameMs; }
    // The clock the battle timers read (null: the machine's).
    void SetClock(const IClock* clock);
    // The sound manager the screen talks to; null picks the program's own
    // once the game runs (tools and tests without one stay silent).
    void SetSounds(GUI_Sounds* manager) { soundsOverride = manager; }
    GUI_Sounds* GetSounds() const;
    // The two engine drones: ships offer their levels while they draw.
    GUI_EngineDrones& GetDrones() { return drones; }
    // Records the name of each layer step as the frame runs (tests).
    void SetLayerTrace(std::function<void(const char*)> trace) { layerTrace = std::move(trace); }
    Effect& GetEffect(int slot) { return effects[slot >= 0 && slot < kEffectSlots ? slot : 0]; }
    // What the battle puts on the atlas page as it starts: every candidate
    // picture loaded by then, the windows' pictures (loaded now) and their
    // background.
    static std::vector<std::string> AtlasPictures();

private:
    // Declared first: the shared fields below refer into it.
    SIM_BattleClock& simClock = SIM_BattleClock::GetInstance();
    // The one screen the simulation's sounds go through.
    static inline GUI_BattleGUI* screenInstance = nullptr;
    static GUI_BattleGUI& Make();

public:
    // The simulation's clock and switches, shared with it (not copies).
    float& scaledFrameTime = simClock.scaledFrameTime;
    float& frameStep = simClock.frameStep;
    float& battleTime = simClock.battleTime;
    float& battleSpeed = simClock.battleSpeed;
    unsigned char& shipPicking = simClock.shipPicking;
    bool& paused = simClock.paused;
    bool& generalRetreat = simClock.generalRetreat;
    float closeUp = 0.0f;           // gates the drawing of missiles by launchers

    // Graphics flags, copied from the options at each battle start.
    unsigned char contrails = 1;
    unsigned char fancyBeams = 1;
    unsigned char debris = 1;
    unsigned char turretsOn = 1;    // turrets and muzzle blasts drawn
    unsigned char runningLights = 1;
    unsigned char repairBots = 0;   // REPAIRBOTS option
    unsigned char escapePods = 1;
    unsigned char shadersOn = 1;
    unsigned char engineCaps = 1;
    unsigned char cameraShake = 1;
    unsigned char motionBlurOn = 1;
    unsigned char hulks = 1;
    unsigned char& commsOn = simClock.commsOn;

    float realFrameStep = 0.0f;     // unscaled ms / 12 (camera scrolling)
    float zoomKeyRepeat = 0.0f;
    unsigned char gridShown = 0;
    unsigned char hudShown = 1;
    unsigned char overlayShown = 0;
    unsigned char damageTextsShown = 1;
    BaseSprite screenQuad;
    float screenWidth = 0.0f;
    float screenHeight = 0.0f;
    float frameHoldSpare = 0.0f;    // share of the last frame the hold had to spare
    int cameraFollowMode = 0;
    SIM_Ship* followedShip = nullptr;
    // Seeds the visuals' own generator at each battle start.
    uint64_t visualSeed = 1;

private:
    void Trace(const char* step)
    {
        if (layerTrace)
            layerTrace(step);
    }
    void ZoomKeyRepeat(float elapsedMs);
    void LoadShader(int slot, const std::string& file);
    void OnPhase(SIM_BattleStep::Phase phase) override;
    // A destroyed ship takes the inspector showing it (and what hangs on it) along.
    void OnShipDestroyed(const SIM_Ship& ship) override;
    void DrawBackLayers();
    void DrawFrontLayers();
    void DrawShips();
    void DrawShipLayer(int layer, bool tint);
    void DrawWindowsAndTooltips();
    void RefillDrawLists();

    Effect effects[kEffectSlots];
    GTimer battleTimer;
    float injectedFrameMs = -1.0f;
    int idleAlternation = 0;
    static constexpr std::chrono::seconds kHeapTrimInterval{10};
    std::chrono::steady_clock::time_point lastHeapTrim{};
    GUI_Sounds* soundsOverride = nullptr;
    GUI_EngineDrones drones;
    SIM_Ship* pickedShip = nullptr;
    SIM_TargetedModule* pickedModule = nullptr;
    std::function<void(const char*)> layerTrace;
};
