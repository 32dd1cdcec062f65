#pragma once
#include <memory>
#include <unordered_map>
#include <vector>

#include "battle/BattleView.h"
#include "battle/MissileSplineTrail.h"
#include "battle/TrailSimulation.h"
#include "engine/SmartTexture.h"

class QuadRunBatch;
class SIM_Missile;
class SIM_MissileModule;

// The missile layer: every missile of every launcher (and its decoys) with
// its trail, in four runs: rope trails, smoke puffs, bodies, then the engine
// flares added on top. The simulation flies the missiles and decides how
// long a trail keeps its launcher busy; the trails' points and puffs, and
// the flares' flicker, are this screen's own and never feed the battle.
class MissileRenderer {
public:
    static constexpr float kFlareGrowth = 0.16f;  // flare size per unit of fuel burnt
    static constexpr float kFlareMaxSize = 16.0f; // world units
    static constexpr float kFlickerMs = 20.0f;
    static constexpr float kFlareFadeShare = 0.05f; // of the fuel, left when the flare starts to fade
    static constexpr float kRopeWidth = 1.5f;
    static constexpr float kRopeSegment = 8.0f;

    // What the screen keeps of one missile between frames.
    // The scalars come first: the frame's walk reads them beside the rope's
    // own, rather than a line past the rope's points.
    struct Trails {
        unsigned flight = 0;
        bool wasLive = false;
        // Neither flying nor showing when last followed: nothing changes it
        // until the next launch, so the frame's walk looks no further.
        bool faded = false;
        int flareCell = 0;
        float flickerTimer = 0.0f;
        float flickerScale = 1.0f;
        std::unique_ptr<MissileSplineTrail> spline; // missiles with splines only
        TrailSimulation rope;
        bool Shows() const { return rope.HasActivePoint() || (spline && spline->IsActive()); }
    };

    static MissileRenderer& GetInstance();

    // Follows every missile one frame (frameMs: the battle's scaled frame
    // time) and draws the layer.
    void Draw(float frameMs);
    // Battle start and end: every missile is new.
    void Reset();

    // Null until the missile has been seen in flight.
    const Trails* Find(const SIM_Missile* missile) const;

    // A live missile's body and flare quads; false when nothing shows.
    static bool BodyQuad(const SIM_Missile& missile, const BattleView& view, ScreenVertex quad[4]);
    static bool FlareQuad(const SIM_Missile& missile, int cell, float flicker, const BattleView& view,
                          ScreenVertex quad[4]);

private:
    // The sine and cosine of a missile's heading, which its body and its
    // flare share.
    struct Turn {
        float sine, cosine;
    };
    static Turn TurnOf(const SIM_Missile& missile);
    static bool BodyQuad(const SIM_Missile& missile, Turn turn, const BattleView& view, ScreenVertex quad[4]);
    static bool FlareQuad(const SIM_Missile& missile, Turn turn, int cell, float flicker, const BattleView& view,
                          ScreenVertex quad[4]);

    MissileRenderer();
    Trails& TrailsOf(const SIM_Missile& missile);
    // The missile's trails one frame on; collects it (and its decoys) to draw.
    // known: the missile's trails if it has been seen in flight, set when it
    // is first seen.
    void Follow(const SIM_Missile& missile, float frameMs, Trails*& known);
    // Each launcher's missile's trails, in launcher order, so that the
    // frame's walk over the launchers needs no lookup.
    void MatchLaunchers();

    SmartTexture ropeTexture;
    SmartTexture flareTexture;
    SmartTexture puffTexture;
    SmartTexture bodyTexture;
    std::unordered_map<const SIM_Missile*, std::unique_ptr<Trails>> trails;
    // This frame's missiles and their trails, in launcher order (kept between
    // frames so that steady frames do not allocate).
    std::vector<std::pair<const SIM_Missile*, Trails*>> drawn;
    // The turns of this frame's live missiles, beside drawn.
    std::vector<Turn> turns;
    std::vector<const SIM_MissileModule*> launcherKeys;
    std::vector<Trails*> launcherTrails;
    // Per launcher: whether its last follow drew anything. A launcher the
    // simulation has put to sleep and that drew nothing has every trail
    // faded; following it again would change nothing, so the walk skips it.
    std::vector<unsigned char> launcherShowing;
};
