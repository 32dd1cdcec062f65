#pragma once
#include <memory>
#include <vector>

#include "engine/CTexturedSprite.h"
#include "sim/SIM_ShipHull.h"

class GUI_ParticleEmmiter;
class GUI_RepairBot;
class QuadRunBatch;
class SIM_Ship;

// A patch of the hull's damage texture laid over one damage location, with
// smoke and sparks from its emitter points. It fades in over 200 ms, stays
// until a repair finishes it, then fades out over 200 ms and is gone.
class GUI_DamageSprite {
public:
    enum State { FADING_IN = 0, SHOWN = 1, FADING_OUT = 2, GONE = 3 };
    static constexpr float kFadeMs = 200.0f;

    struct Emitter {
        std::unique_ptr<GUI_ParticleEmmiter> emitter;
        float offsetX = 0.0f, offsetY = 0.0f;
        bool scalable = true;
    };

    // combined: the damage picture is the right half of the texture.
    GUI_DamageSprite(const SIM_ShipHull::Target& location, SIM_Ship* ship, TextureHandle texture, bool combined,
                     float emitterA, float emitterB);
    virtual ~GUI_DamageSprite();

    // Advances by dt and stages the patch; false once gone.
    bool Update(float dt);
    void DrawEmitters();
    // The patch drawn into a square image of size pixels holding the ship.
    // At once, or collected in `batch` when one is given.
    void DrawInto(float size, float left = 0.0f, float top = 0.0f, QuadRunBatch* batch = nullptr);
    void FinishRepair();

    void AddFollower(GUI_RepairBot* bot);
    void RemoveFollower(GUI_RepairBot* bot);

    const SIM_ShipHull::Target& GetLocation() const { return *location; }
    int GetState() const { return state; }
    float GetTimer() const { return timer; }
    float GetFade() const { return fade; }
    const std::vector<Emitter>& GetEmitters() const { return emitters; }
    const CTexturedSprite& GetSprite() const { return sprite; }

private:
    void SetAlpha();

    CTexturedSprite sprite;
    TextureHandle texture = 0;
    const SIM_ShipHull::Target* location = nullptr;
    SIM_Ship* ship = nullptr;
    float timer = 0.0f;
    float fade = 0.0f;
    std::vector<Emitter> emitters;
    std::vector<GUI_RepairBot*> followers;
    int state = FADING_IN;
};
