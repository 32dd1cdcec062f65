#pragma once
#include "engine/CTexturedSprite.h"

class SIM_Ship;

// The electric crackle over a ship's silhouette while it suffers an ECM
// shock: a random tile of "ecmshock.dds" every 25 ms of battle time, masked
// by the hull picture. Its sound plays once per shock: the started flag
// clears when the shock ends, so a later shock plays it again.
class GUI_ECMShock {
public:
    static constexpr float kTileMs = 25.0f;

    explicit GUI_ECMShock(SIM_Ship* ship);
    virtual ~GUI_ECMShock() = default;

    void Start();
    // The shock is over: the next one starts afresh.
    void Stop() { started = 0; }
    void NextFrame();
    virtual void Draw();

    bool IsStarted() const { return started != 0; }
    float frameTimer = 0.0f;
    float time = 0.0f;
    float tileLeft = 0.0f, tileTop = 0.0f;

private:
    CTexturedSprite hullSprite;
    SIM_Ship* ship = nullptr;
    float size = 0.0f;
    unsigned char started = 0;
    unsigned char tutorialAsked = 0;
};

// The flash that swells around a ship firing a smart bomb, 500 ms long.
class GUI_SmartBombEffect {
public:
    static constexpr float kDurationMs = 500.0f;

    GUI_SmartBombEffect(SIM_Ship* ship, float radius);
    virtual ~GUI_SmartBombEffect() = default;
    void Restart();
    virtual void Draw();

    // Swell factor and alpha fraction at progress p (0..1).
    static float Swell(float p);
    static float AlphaFraction(float p);

    bool IsActive() const { return active != 0; }
    float time = 0.0f;
    float lastSide = 0.0f;

private:
    SIM_Ship* ship = nullptr;
    unsigned char active = 0;
    float radius = 0.0f;
};
