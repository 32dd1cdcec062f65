#pragma once
#include <memory>
#include <vector>

#include "battle/BattleView.h"
#include "battle/GUI_ParticleEmmiter.h"
#include "engine/CTexturedSprite.h"

class QuadRunBatch;
class SIM_LightningGunModule;
class SIM_Plasma;
class SIM_PlasmaLauncherModule;
class SIM_Ship;

// The shots of a ship's lightning guns and plasma launchers: each gun's
// flickering arc from every turret (or the module) to where it strikes, and
// each launcher's torpedo, core and halo, with the particle trail of a
// fragmented one. Found once, with their pictures, when the ship's visual is
// built; the frame only reads the modules, additive, through the shared
// quad batch.
class WeaponShotDraws {
public:
    // "plasma.dds": standard core, standard halo, fragmented core,
    // fragmented halo, in a row.
    static constexpr int kPlasmaCells = 4;
    static constexpr float kStandardHaloScale = 2.5f;  // of the sprite size
    static constexpr float kFragmentedHaloScale = 6.0f;
    static constexpr uint8_t kFragmentedHaloAlpha = 0x40;
    // An arc's picture: eight flicker cells side by side, repeating along
    // the arc once per four widths of its length.
    static constexpr int kArcCells = 8;
    static constexpr float kArcRepeatWidths = 4.0f;
    // Past this many repeats an arc's picture is stretched to fit them: each
    // repeat is a quad, and the frame has room for few.
    static constexpr float kMaxArcRepeats = 6.0f;

    WeaponShotDraws();
    ~WeaponShotDraws();
    WeaponShotDraws(const WeaponShotDraws&) = delete;
    WeaponShotDraws& operator=(const WeaponShotDraws&) = delete;

    void Build(const SIM_Ship& ship);
    bool IsEmpty() const { return arcs.empty() && torpedoes.empty(); }
    // Some arc or torpedo shows: a load or two per weapon.
    bool AnyShowing() const;
    // Adds this frame's arcs (only while the ship is not hidden by its
    // cloak) and torpedoes; frameMs steps a fragmented torpedo's trail.
    void Draw(QuadRunBatch& batch, bool shipHidden, float frameMs);

    // The texture columns of a turret's arc cell: (flicker frame + turret) mod 8.
    static void ArcCell(int flickerFrame, int turret, float& u0, float& u1);
    // How many times the picture repeats along an arc of that length (at
    // most kMaxArcRepeats).
    static float ArcRepeats(float length, float beamWidth);
    // A torpedo's quads: the halos (three standard, one fragmented), then
    // the core. Returns how many were placed (0 when it is not live).
    static int TorpedoQuads(const SIM_Plasma& torpedo, const BattleView& view, ScreenVertex quads[4][4]);
    // False only when none of the trail's particles can be on the screen:
    // they stay within its reach of the torpedo.
    static bool TrailMayShow(const GUI_ParticleEmmiter::Reach& reach, const SIM_Plasma& torpedo,
                             const BattleView& view);

private:
    struct Arc {
        SIM_LightningGunModule* gun = nullptr;
        CTexturedSprite sprite;
    };
    struct Torpedo {
        SIM_PlasmaLauncherModule* launcher = nullptr;
        std::unique_ptr<GUI_ParticleEmmiter> trail; // fragmented only
        // How far the trail's particles can get from the emitter (its
        // config's, at the torpedo's speed).
        GUI_ParticleEmmiter::Reach trailReach;
        // The fuel the torpedo had when last drawn: more now is a new launch,
        // whose trail starts afresh.
        float lastFuel = -1.0f;
    };
    void DrawArcs(QuadRunBatch& batch, Arc& arc, const BattleView& view);
    static void StepTrail(Torpedo& entry, const SIM_Plasma& torpedo, const BattleView& view, float frameMs);

    std::vector<Arc> arcs;
    std::vector<Torpedo> torpedoes;
};
