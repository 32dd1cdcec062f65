#pragma once
#include "app/GUI_GameModeBase.h"

// Stand-in screen until the battle view is built. It already carries the
// values the simulation reads each frame, so battles run headless.
class GUI_BattleGUI : public GUI_GameModeBase {
public:
    static GUI_BattleGUI& GetInstance()
    {
        static GUI_BattleGUI instance;
        return instance;
    }
    GUI_BattleGUI() = default;

    // One frame of battle time: the scaled milliseconds (0 while paused)
    // drive every timer of the simulation.
    void SetFrameTime(float scaledMs)
    {
        scaledFrameTime = paused ? 0.0f : scaledMs;
        frameStep = scaledFrameTime / 12.0f;
        battleTime += scaledFrameTime;
    }

    // Speed display and sound pitch follow the speed in the full screen.
    void ApplyBattleSpeed() {}

    void TogglePauseState()
    {
        paused = !paused;
        if (paused) {
            scaledFrameTime = 0.0f;
            frameStep = 0.0f;
        } else {
            frameStep = 1.0f;
        }
    }

    // A new battle starts on a clean clock.
    void ResetForBattle()
    {
        scaledFrameTime = 0.0f;
        frameStep = 0.0f;
        battleTime = 0.0f;
        battleSpeed = 1.0f;
        paused = false;
        generalRetreat = false;
        shipPicking = 0;
    }

    float scaledFrameTime = 0.0f;   // ms of battle time this frame
    float frameStep = 0.0f;         // scaledFrameTime / 12
    float battleTime = 0.0f;        // accumulated battle ms (the battle clock)
    float battleSpeed = 1.0f;       // 0.2 .. 4.0
    unsigned char shipPicking = 0;  // after the end, clicking a ship inspects it
    unsigned char commsOn = 1;      // comms are queued only while set
    bool paused = false;
    bool generalRetreat = false;    // every player ship heads home
    unsigned char turretsOn = 1;    // turrets and muzzle blasts drawn
    unsigned char repairBots = 0;   // REPAIRBOTS option
    float closeUp = 0.0f;           // gates the drawing of missiles by launchers
};
