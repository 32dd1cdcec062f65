#pragma once
#include <vector>

#include "sim/modules/SIM_ShipModule.h"

class SIM_Ship;

// The lingering damage of radiation hits on one ship. Each dose burns on
// every think of the ship and shrinks by its decay until it falls below 1.
class SIM_RadiationManager {
public:
    static constexpr float kMinDose = 1.0f;

    struct Dose {
        float amount = 0.0f;
        float decay = 0.0f;
        bool active = true;
    };

    explicit SIM_RadiationManager(SIM_Ship* owner) : ship(owner) {}

    // The first burn is damage x decay.
    void AddRadiation(float damage, float decay);
    // From the ship's think: burns every dose once.
    void Step();

    const std::vector<Dose>& GetDoses() const { return doses; }
    const SIM_ShipModule::Point* GetLastEffectPoint() const { return lastEffectPoint; }

private:
    SIM_Ship* ship = nullptr;
    std::vector<Dose> doses;
    const SIM_ShipModule::Point* lastEffectPoint = nullptr;
};
