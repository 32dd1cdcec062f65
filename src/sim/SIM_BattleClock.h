#pragma once

#include <algorithm>

#include "engine/GTimer.h"

class SIM_SoundSink;

// The battle's clock and the few screen-owned switches the simulation reads
// each frame. The battle screen shares these fields rather than copying them,
// so the headless runner and the screen step the same clock. The screen also
// hands in the sound manager; without one (tools, tests) battles are silent.
class SIM_BattleClock {
public:
    static SIM_BattleClock& GetInstance()
    {
        static SIM_BattleClock instance;
        return instance;
    }

    // Battle time of a frame that took realMs on the wall: long frames are cut
    // to the timer's cap first, so a stall never becomes a leap. The screen
    // and the headless runner both scale their frames here.
    static constexpr float kSpeedScale = 0.4f;
    static float ScaleFrame(float realMs, float speed)
    {
        return std::min(realMs, GTimer::kMaxLastElapsedMs) * speed * kSpeedScale;
    }

    // One frame of battle time: the scaled milliseconds (0 while paused)
    // drive every timer of the simulation.
    void SetFrameTime(float scaledMs)
    {
        scaledFrameTime = paused ? 0.0f : scaledMs;
        frameStep = scaledFrameTime / 12.0f;
        battleTime += scaledFrameTime;
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

    using SoundsSource = SIM_SoundSink* (*)();
    void SetSoundsSource(SoundsSource source) { soundsSource = source; }
    SIM_SoundSink* GetSounds() const { return soundsSource ? soundsSource() : nullptr; }

    // The screen's answer to the battle's end (speed back to normal, the
    // result dialog); none without a screen.
    using EndedHook = void (*)();
    void SetBattleEndedHook(EndedHook hook) { endedHook = hook; }
    void NotifyBattleEnded() const
    {
        if (endedHook)
            endedHook();
    }

    float scaledFrameTime = 0.0f;   // ms of battle time this frame
    float frameStep = 0.0f;         // scaledFrameTime / 12
    float battleTime = 0.0f;        // accumulated battle ms
    float battleSpeed = 1.0f;       // 0.2 .. 4.0
    unsigned char shipPicking = 0;  // the battle's state word: 0 running, 1 ended, 2 statistics
    bool paused = false;
    bool generalRetreat = false;    // every player ship heads home
    unsigned char commsOn = 1;      // comms are queued only while set

private:
    SoundsSource soundsSource = nullptr;
    EndedHook endedHook = nullptr;
};
