#pragma once
#include <memory>
#include <string>

#include "battle/GUI_RenderObject.h"

class GUI_ParticleEmmiter;
class SIM_Ship;

// Smoke or flames rising from a damaged spot of a ship: a particle emitter
// held at a ship-local offset, burning at full strength for the first half
// of its life and fading out over the second, puffing faster as the ship
// moves faster. Hidden while the ship cloaks.
class GUI_ShipEmmiter : public GUI_RenderObject {
public:
    static constexpr float kEndless = -1.0f;
    // The emitter's spawn rate follows the ship's speed, never below this.
    static constexpr float kMinSpeedInput = 0.25f;

    GUI_ShipEmmiter(SIM_Ship* ship, const std::string& configName, float x, float y, float lifeMs, float minZoom,
                    float dx, float dy);
    ~GUI_ShipEmmiter() override;

    void Draw() override;
    // 1 for the first half of the life, then down to 0 at its end.
    static float Intensity(float age, float life);

    float x = 0.0f, y = 0.0f; // ship-local
    SIM_Ship* ship = nullptr;
    float life = kEndless;
    float age = 0.0f;
    unsigned char finished = 0;
    std::unique_ptr<GUI_ParticleEmmiter> emitter;
};
