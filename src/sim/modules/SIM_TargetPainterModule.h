#pragma once
#include <cstdint>
#include <string>

#include "sim/modules/SIM_TargetedModule.h"

// Marks an enemy ship for a set time; missiles favour a painted ship. While
// painting it keeps its target. It remembers the ship it marked and clears
// the mark there, whatever the current target has become.
class SIM_TargetPainterModule : public SIM_TargetedModule {
public:
    static constexpr float kBlinkInterval = 15.0f;

    SIM_TargetPainterModule(const SIM_ShipModuleType* type, SIM_ShipOrders* orders);
    ~SIM_TargetPainterModule() override;

    void PostBuildInit() override;
    void Think() override;
    void Update() override;
    void Fire() override;
    void ReleaseHolds() override { StopPainting(); }

    void StopPainting();

    bool IsPainting() const { return painting; }
    SIM_Ship* GetPaintedShip() const { return painted; }
    float GetPaintTime() const { return paintTime; }
    float GetPaintDuration() const { return paintDuration; }
    bool IsBlinkOn() const { return blinkOn; }
    float GetTextureOffset() const { return textureOffset; }

    std::string beamSprite;
    float blinkTimer = 0.0f;
    bool blinkOn = false;
    float paintTime = 0.0f;
    bool painting = false;
    float paintDuration = 0.0f;
    float textureOffset = 0.0f;

private:
    bool IsOwnShipVisible() const;
    SIM_Ship* painted = nullptr;
    // The beam's flicker is looks only: it takes nothing from the combat tables.
    uint32_t flickerSeed = 0x9E3779B9u;
};
