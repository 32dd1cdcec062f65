#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/BaseSprite.h"
#include "engine/ShockwaveQuad.h"
#include "engine/SmartTexture.h"

class SIM_Ship;

// One spark where a shot struck the shield: grows in its first quarter of
// life, fades in its last 30 %.
class GUI_ShieldImpact {
public:
    static constexpr float kLife = 400.0f;
    static constexpr float kSizeFactor = 3.0f;

    GUI_ShieldImpact(float size, float x, float y) { Restart(size, x, y); }
    void Restart(float size, float x, float y);
    // Advances by dt; adds its quad when on screen; true when it drew.
    bool Draw(float dt, TextureHandle texture);
    // The alpha byte at the present age.
    int AlphaByte() const;

    BaseSprite sprite;
    float worldX = 0.0f, worldY = 0.0f;
    unsigned char active = 0;
    float size = 0.0f;
    float life = kLife;
    float age = 0.0f;
};

// One spark of the collapse: waits its delay, then runs from the ring into
// the ship's centre in 500 ms, shrinking and brightening.
class GUI_ShieldCollapseParticle {
public:
    static constexpr float kTravelMs = 500.0f;
    void Update(float dt, TextureHandle texture);

    float startX = 0.0f, startY = 0.0f;
    float timer = 0.0f;
    float delay = 0.0f;
    float baseSize = 5.0f;
    BaseSprite sprite;
    int state = 0; // 0 waiting, 1 imploding, 2 done
    float travelX = 0.0f, travelY = 0.0f;
};

// A ship's energy shield: a faint bubble that flashes when the shield takes a
// hit, arcs that sweep the bubble where shots struck, impact sparks, and a
// collapse in which the bubble shrinks away while a ring of sparks implodes.
// Fixed pools (4 arcs, 25 impacts, 256 sparks); all drawn through the shared
// quad batch. Its randomness is the visuals' own.
class GUI_Shield {
public:
    static constexpr int kArcs = 4;
    static constexpr int kImpacts = 25;
    static constexpr int kMaxSparks = 256;
    static constexpr float kFlashMs = 1000.0f;
    static constexpr float kArcMs = 800.0f;
    static constexpr float kArcMergeDegrees = 45.0f;
    // Share of the scroll picture the sweep moves across in an arc's life.
    static constexpr float kSweepTravel = 0.5f;
    static constexpr float kCollapseMs = 1000.0f;
    static constexpr float kSoundMargin = 128.0f;
    static constexpr const char* kFailSound = "data/sounds/shields_fail.ogg";

    enum CollapseState { INTACT = 0, COLLAPSING = 1, COLLAPSED = 2 };

    struct BlastArc {
        float age = 0.0f;
        unsigned char active = 0;
        float angle = 0.0f;
        BaseSprite sprite;
    };

    explicit GUI_Shield(SIM_Ship* ship);
    virtual ~GUI_Shield();
    GUI_Shield(const GUI_Shield&) = delete;
    GUI_Shield& operator=(const GUI_Shield&) = delete;

    static const std::vector<GUI_Shield*>& GetAll();

    virtual void Draw();
    // Draw would neither draw nor age anything (a closed batch aside, which
    // it would open and close empty).
    bool IsIdle() const
    {
        if (collapseState == COLLAPSED)
            return true;
        if (collapseState != INTACT || (flashing && up) || impactsShowing)
            return false;
        for (const BlastArc& arc : arcs)
            if (arc.active)
                return false;
        return true;
    }
    void Flash();
    void AddBlast(float x, float y);
    void AddImpact(float size, float x, float y);
    void Collapse();
    // Down while the shield is disrupted: no flash shows, as no shot meets
    // the bubble. Back up with the shield, but never after a collapse.
    void SetUp(bool on);

    // The scroll picture's rows (v0..v1) under an arc at progress p, and the
    // arc's alpha: the sweep moves and fades with the arc's age.
    static void ArcSweepWindow(float p, float& v0, float& v1);
    static uint8_t ArcAlphaByte(float p);

    // The shorter way round between two headings, 0..180.
    static float AngleApart(float a, float b);

    const BlastArc& GetArc(int i) const { return arcs[i]; }
    const GUI_ShieldImpact* GetImpact(int i) const { return impacts[i].get(); }
    const GUI_ShieldCollapseParticle& GetSpark(int i) const { return sparks[i]; }
    int GetSparkCount() const { return sparkCount; }
    float GetRadius() const { return radius; }
    int GetCollapseState() const { return collapseState; }
    float GetCollapseTimer() const { return collapseTimer; }
    bool IsUp() const { return up != 0; }
    bool IsFlashing() const { return flashing != 0; }
    float GetFlashTimer() const { return flashTimer; }
    int GetFailSoundsPlayed() const { return failSoundsPlayed; }

private:
    void DrawIntact(float dt);
    void DrawCollapse(float dt);
    void DrawBubble(float sizeFactor, float t);
    void DrawArcs(float dt);
    void ImpactSweep(float dt);
    void PlayFailSound();
    void ShipScreenPoint(float& sx, float& sy) const;

    std::unique_ptr<GUI_ShieldImpact> impacts[kImpacts];
    float flashTimer = 0.0f;
    SIM_Ship* ship = nullptr;
    unsigned char flashing = 0;
    float radius = 0.0f;
    unsigned char up = 1;
    unsigned char impactsShowing = 0;
    BlastArc arcs[kArcs];
    ShockwaveQuad bubble;
    SmartTexture bubbleTexture;
    SmartTexture arcTexture;
    SmartTexture scrollTexture;
    int collapseState = INTACT;
    float collapseTimer = 0.0f;
    GUI_ShieldCollapseParticle sparks[kMaxSparks];
    float sparkOffsetX[kMaxSparks] = {};
    float sparkOffsetY[kMaxSparks] = {};
    int sparkCount = 0;
    int failSoundsPlayed = 0;
};
