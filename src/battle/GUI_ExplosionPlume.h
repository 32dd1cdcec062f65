#pragma once
#include <memory>
#include <vector>

#include "battle/GUI_RenderObject.h"

class GUI_ParticleEmmiter;
class GUI_Ship;

// A burning streamer thrown out of a ship that blows up: it waits a moment,
// then travels outward on a curving path, slowing to a stop over its life,
// trailing a smoke and a burn emitter.
class GUI_ExplosionPlume : public GUI_RenderObject {
public:
    GUI_ExplosionPlume(float speedFactor, float heading, float x, float y);
    ~GUI_ExplosionPlume() override;
    void Draw() override;
    bool IsFinished() const;

    float x = 0.0f, y = 0.0f;
    float heading = 0.0f;
    float turn = 0.0f;
    float speed = 0.0f;
    float startSpeed = 0.0f;
    float elapsed = 0.0f;
    float life = 2800.0f;
    float delay = 0.0f;
    unsigned char started = 0;
    float scale = 1.0f;
    std::unique_ptr<GUI_ParticleEmmiter> smoke;
    std::unique_ptr<GUI_ParticleEmmiter> burn;
};

// The ring of plumes of one explosion, hung under the ship's visual.
void SpawnPlumes(GUI_Ship* parent, float x, float y);
// How many plumes a ship of visual size s throws before the random extra.
int PlumeBaseCount(float shipSize);
void PurgeFinishedPlumes();
void ClearPlumes();
const std::vector<GUI_ExplosionPlume*>& GetPlumes();
