#pragma once
#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "battle/BattleView.h"
#include "engine/SmartTexture.h"
#include "platform/IGraphicsDevice.h"

class SIM_Bullet;
class SIM_KineticWeapon;
class SIM_TargetedModule;

// The bullet layer: every bullet in flight from the simulation's lists,
// additive with the one bullet sheet, and the gun muzzles (a bullet weapon's
// blast; a kinetic gun's flash and streak, since its shells are never seen).
// The simulation moves the projectiles; this only counts and draws them and
// never feeds the battle.
class BulletSprites {
public:
    static constexpr float kBlastMs = 200.0f;

    static BulletSprites& GetInstance();

    // Counts the bullets the simulation holds in flight.
    void Update();
    // Bullets out of their muzzles, then (muzzles set) the muzzle effects.
    void Draw(bool muzzles);
    // Bullets still inside their muzzle: drawn before the ships cover them.
    void DrawAtMuzzle();
    // Loads the muzzle flash pictures of every gun in the battle, so that
    // the atlas built next holds them and the flashes join the bullets' run.
    static void LoadMuzzlePictures();
    // Spare frame time: bullets against scenery, only zoomed in past 1.0.
    // True when one collided.
    bool CollideInSpareTime();
    // The scenery a bullet meets at a screen point: resting debris (blown
    // away; the bullet flies on), else, when asteroidsToo, an asteroid.
    // Pictures only: a bullet that meets either was missing anyway.
    static int SceneryProbe(float screenX, float screenY, bool asteroidsToo);
    // Battle start and end: the weapons' blast textures are looked up anew.
    void Reset();

    int GetLiveCount() const { return liveCount; }

    // The quads, in screen pixels; false when nothing of it shows.
    static bool BulletQuad(const SIM_Bullet& bullet, const BattleView& view, ScreenVertex quad[4]);
    static bool BlastQuad(const SIM_TargetedModule& weapon, size_t turret, const BattleView& view,
                          ScreenVertex quad[4]);
    static bool KineticFlashQuad(const SIM_KineticWeapon& weapon, size_t turret, const BattleView& view,
                                 ScreenVertex quad[4]);
    static bool KineticStreakQuad(const SIM_KineticWeapon& weapon, size_t turret, const BattleView& view,
                                  ScreenVertex quad[4]);
    // False when no muzzle picture of a turret of that size at map (x, y)
    // can reach the screen, whatever its heading and fade.
    static constexpr float kMuzzleReach = 7.0f;
    static bool MuzzleMayShow(float x, float y, float turretSize, const BattleView& view);

private:
    BulletSprites() : sheet("bullets.dds") {}
    void DrawBullets(bool atMuzzle, const BattleView& view);
    // Draws the bullets still in their muzzles and keeps the quads of those
    // out of them for Draw: one walk over the pools a frame.
    void DrawAtMuzzleKeepingFlying(const BattleView& view);
    void DrawMuzzles(const BattleView& view);
    TextureHandle BlastTexture(const SIM_TargetedModule& weapon, const char* name);

    SmartTexture sheet;
    int liveCount = 0;
    // The quads of the bullets out of their muzzles, found by DrawAtMuzzle
    // for the next Draw: nothing moves between the two (the frame's step is
    // done), and a Draw for another view walks the pools itself.
    std::vector<ScreenVertex> flying;
    bool flyingKept = false;
    BattleView flyingView;
    // Each gun's blast picture, resolved the first time the gun shows one.
    std::unordered_map<const SIM_TargetedModule*, SmartTexture> blastTextures;
};
