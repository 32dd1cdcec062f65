#pragma once
#include <string>

#include "platform/ISoundSystem.h"
#include "sim/SIM_Ship.h"
#include "sim/modules/SIM_TargetedModule.h"


// What bullets, shells, lightning arcs and plasma torpedoes share: the one
// per-frame step of the projectiles that fly apart from their weapon, the
// scenery test of the spare frame time, the target's shield bubble, and the
// positioned one-shot firing sound.
class SIM_GunProjectiles {
public:
    using Point = SIM_ShipModule::Point;

    // Answers whether a screen point hits scenery: debris (the bullet flies
    // on) or, when asteroidsToo, an asteroid (an unguided bullet ends).
    // 0 nothing, 1 debris, 2 asteroid. Set by the battle screen; without one
    // (headless runs, tests) there is no scenery and nothing collides.
    using SceneryProbe = int (*)(float screenX, float screenY, bool asteroidsToo);
    enum SceneryHit { NO_SCENERY = 0, DEBRIS = 1, ASTEROID = 2 };

    // Once per battle frame after the ships' updates: every live bullet of
    // every bullet weapon, then every live kinetic shell.
    static void UpdateAll();
    // In spare frame time while the zoom is above 1.0: bullets against the
    // scenery, stopping at the first collision. True when one collided.
    static bool CollideWithScenery();

    static void SetSceneryProbe(SceneryProbe probe) { sceneryProbe = probe; }
    static SceneryProbe GetSceneryProbe() { return sceneryProbe; }

    // A salvo: the first shot leaves from turret 0 (or the module itself
    // without turrets), later turrets are queued at even steps of the fire
    // interval. Where the first shot leaves from.
    static Point QueueSalvo(SIM_TargetedModule& weapon);
    // Turrets a weapon fires from: at most the four its arrays hold.
    static size_t TurretsUsed(const SIM_TargetedModule& weapon);
    // A queued turret shot still fires: its turret exists and the weapon
    // still aims at the same live ship and hull point.
    static bool IsTurretShotDue(const SIM_TargetedModule& weapon, const SIM_TargetedModule::ShotRecord& record);

    // The target's shield bubble, for projectile purposes: the one its visual
    // draws (SIM_ShipVisual::HasShieldBubble), up or not there.
    static bool HasBubble(const SIM_Ship* ship);
    static float BubbleRadius(const SIM_Ship* ship);
    // Fired from within a shielded ship's bubble radius (up or not): such a
    // shot never meets that shield.
    static bool IsInsideShield(const SIM_Ship* ship, float x, float y);
    // A hull aim point (ship frame) on the map; the centre without one.
    // Inline: the weapons ask every frame.
    static Point AimPointOnMap(const SIM_Ship* ship, const Point* aimPoint)
    {
        Point p;
        if (!ship)
            return p;
        const float lx = aimPoint ? aimPoint->x : 0.0f;
        const float ly = aimPoint ? aimPoint->y : 0.0f;
        ship->LocalToWorld(lx, ly, ship->sine, ship->cosine, p.x, p.y);
        return p;
    }
    // No cloaking device, or every one fully visible.
    static bool IsShipVisible(const SIM_Ship* ship);
    // Neither dying, destroyed, retreated nor off the field.
    static bool IsHittable(const SIM_Ship* ship);

    // A weapon's firing sound at (x, y): silent when there is no sound
    // manager or name, the point is well off screen, or the sound played
    // too often lately. The channel, or kNoChannel.
    static SoundChannelId PlayShotSound(const std::string& sound, float volume, float x, float y);
    static void StopSound(SoundChannelId channel);

private:
    static inline SceneryProbe sceneryProbe = nullptr;
};
