#pragma once
#include <array>
#include <string>
#include <vector>

#include "sim/modules/SIM_Bullet.h"
#include "sim/modules/SIM_TargetedModule.h"

// Fires fast, small pooled bullets from the module (or each of its turrets)
// at its target. The first turret's shot rolls to hit; the others follow it
// as delayed shots that never hit and are never counted as misses.
class SIM_BulletWeaponModule : public SIM_TargetedModule {
public:
    static constexpr int kPoolSize = 64;
    // A muzzle blast shows this long after a turret fires.
    static constexpr float kBlastTime = 200.0f;
    enum Payload { PAYLOAD_NONE = 0, PAYLOAD_RADIATION = 1 };

    SIM_BulletWeaponModule(const SIM_ShipModuleType* type, SIM_ShipOrders* orders);
    ~SIM_BulletWeaponModule() override;

    void PostBuildInit() override;
    void Update() override;
    void Fire() override;
    void FireTurret(const ShotRecord& record) override;

    // A free slot flies from (x, y) at the target; false when all 64 fly.
    bool LaunchBullet(bool tracked, float x, float y);
    // Moves every live bullet below the high-water count; how many were live.
    int UpdateBullets();
    // True at the first bullet that meets scenery.
    bool CollideBullets();
    // After a hit that reached the hull.
    void ApplyPayload(SIM_Ship* victim);

    // The bullet sheet's cell for a colour index (u0, u1, v0, v1); false for
    // an index without a cell.
    static bool SheetCell(int colour, float uv[4]);
    // Every bullet weapon of the battle, in construction order.
    static const std::vector<SIM_BulletWeaponModule*>& GetAll();

    const std::array<SIM_Bullet, kPoolSize>& GetBullets() const { return bullets; }
    int GetHighWater() const { return highWater; }
    int CountLive() const;

    float damage = 0.0f;
    std::array<SIM_Bullet, kPoolSize> bullets;
    std::string sound;
    float soundVolume = 0.0f;
    int colourIndex = 0;
    std::string blastTexture;
    bool hasBlastTexture = false;
    int highWater = 0;
    int payload = PAYLOAD_NONE;
    float radiationDecay = 0.0f;
    float radiationDamage = 0.0f;
    // Shots lost because all 64 bullets were in flight.
    int lostShots = 0;

private:
    void AdvanceBlasts(float frameTime);
};
