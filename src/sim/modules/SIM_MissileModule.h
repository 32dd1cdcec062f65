#pragma once
#include <string>
#include <vector>

#include "sim/modules/SIM_Missile.h"
#include "sim/modules/SIM_TargetedModule.h"

// A launcher holding exactly one missile: it fires again only once that
// missile, its trail and its armed decoys are all gone. Knocked out while its
// missile flies, it destroys that missile.
class SIM_MissileModule : public SIM_TargetedModule {
public:
    SIM_MissileModule(const SIM_ShipModuleType* type, SIM_ShipOrders* orders);
    ~SIM_MissileModule() override;

    void PostBuildInit() override;
    void Update() override;
    void TakeDamage(float amount) override;
    void Fire() override;

    SIM_Missile& GetMissile() { return missile; }
    const SIM_Missile& GetMissile() const { return missile; }

    // Every launcher of the battle, in construction order (the screen walks it to draw).
    static const std::vector<SIM_MissileModule*>& GetLaunchers();
    // Beside that list, one byte per launcher: zero while its missile, trail
    // and decoys have nothing to do (nothing flies until the next launch).
    static const std::vector<unsigned char>& GetAwakeFlags();
    // The battle frame's flight of every missile and decoy. Called once per
    // frame by the battle's step, before the world update, whether or not
    // anything is drawn.
    static void UpdateMissiles();

    // A one-shot battle sound at a map point, skipped off screen (margin 128)
    // or when played too often. bank: 0 weapons, 1 explosions.
    static void PlayOneShot(const std::string& file, int bank, float volume, float x, float y);

    // Its missile (or a decoy of it) was launched: the frame walk flies it
    // again until it, its trail and its decoys are all done.
    void WakeMissile();

    SIM_Missile missile;
    std::string sound;
    float soundVolume = 0.0f;

private:
    size_t slot = 0; // place in the launcher list and its awake flags
};
