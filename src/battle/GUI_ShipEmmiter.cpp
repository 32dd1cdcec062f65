#include "battle/GUI_ShipEmmiter.h"

#include <algorithm>

#include "battle/GUI_ParticleEmmiter.h"
#include "battle/VisualStep.h"
#include "sim/SIM_Ship.h"
#include "sim/modules/SIM_CamoflageShieldModule.h"

GUI_ShipEmmiter::GUI_ShipEmmiter(SIM_Ship* owner, const std::string& configName, float px, float py, float lifeMs,
                                 float minimumZoom, float dx, float dy)
    : x(px)
    , y(py)
    , ship(owner)
    , life(lifeMs)
{
    layer = 2;
    minZoom = minimumZoom;
    float wx = px, wy = py;
    if (ship)
        ship->LocalToWorld(px, py, ship->sine, ship->cosine, wx, wy);
    emitter.reset(GUI_ParticleEmmiter::Create(configName, wx, wy, dx, dy));
}

GUI_ShipEmmiter::~GUI_ShipEmmiter() = default;

float GUI_ShipEmmiter::Intensity(float emitterAge, float emitterLife)
{
    if (emitterLife <= 0.0f)
        return 1.0f;
    return std::clamp(2.0f * (1.0f - emitterAge / emitterLife), 0.0f, 1.0f);
}

void GUI_ShipEmmiter::Draw()
{
    if (finished || !emitter || !ship)
        return;
    for (const SIM_CamoflageShieldModule* cloak : ship->GetCloaks())
        if (cloak && cloak->GetCloakState() != SIM_CamoflageShieldModule::VISIBLE)
            return;
    float intensity = 1.0f;
    if (life != kEndless) {
        age += VisualStep::Current().ms;
        if (age > life) {
            finished = 1; // this frame still draws at full strength
        } else {
            // A moving ship trails more smoke; a still one still smoulders.
            emitter->rateScale = std::max(ship->speed, kMinSpeedInput);
            intensity = Intensity(age, life);
        }
    }
    ship->LocalToWorld(x, y, ship->sine, ship->cosine, emitter->x, emitter->y);
    if (minZoom > 0.0f) {
        if (!UpdateLodAlpha()) {
            emitter->Update();
            return;
        }
        emitter->alphaScale = lodAlpha * intensity;
    } else {
        emitter->alphaScale = intensity;
    }
    emitter->Draw();
}
