#pragma once
#include <array>
#include <string>
#include <vector>

#include "sim/modules/SIM_KineticShell.h"
#include "sim/modules/SIM_TargetedModule.h"

// Fires heavy shells. The hit roll comes before anything is launched: a
// lost roll is a miss and nothing flies, a won one launches a shell that
// always arrives. Later turrets of a salvo only flash and sound.
class SIM_KineticWeapon : public SIM_TargetedModule {
public:
    static constexpr int kPoolSize = 4;
    // The muzzle flash alternates its two frames this often.
    static constexpr float kFlashFrameTime = 30.0f;

    SIM_KineticWeapon(const SIM_ShipModuleType* type, SIM_ShipOrders* orders);
    ~SIM_KineticWeapon() override;

    void PostBuildInit() override;
    void Update() override;
    void Fire() override;
    void FireTurret(const ShotRecord& record) override;

    // Sound, then (tracked only) the roll and a shell; true when a shell flies.
    bool LaunchShell(bool tracked, float x, float y);
    // Every live shell of this weapon one frame on.
    void UpdateShells();

    static const std::vector<SIM_KineticWeapon*>& GetAll();
    int CountLive() const;

    std::array<SIM_KineticShell, kPoolSize> shells;
    int highWater = 0;
    std::string sound;
    float soundVolume = 0.0f;
    float damage = 0.0f;
    std::string blastTexture;
    int flashFrames[kMaxTurrets] = {0, 1, 0, 1};
    int streakCells[kMaxTurrets] = {};
    float flashFrameTimer = 0.0f;
    // Won rolls lost because all four shells were in flight.
    int lostShots = 0;

private:
    void AdvanceMuzzle(float frameTime);
};
