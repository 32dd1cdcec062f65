#include "battle/GUI_DamageSprite.h"

#include <algorithm>
#include <cmath>

#include "battle/GUI_Map.h"
#include "battle/GUI_ParticleEmmiter.h"
#include "battle/GUI_RepairBotSwarm.h"
#include "engine/D3DEngine.h"
#include "engine/QuadRunBatch.h"
#include "sim/SIM_Ship.h"
#include "sim/modules/SIM_CamoflageShieldModule.h"

namespace {
// Each emitter point of a location smokes and sparks.
const char* const kSmoke = "damage_sprite_smoke";
const char* const kSparks = "damage_sprite_sparks";
} // namespace

GUI_DamageSprite::GUI_DamageSprite(const SIM_ShipHull::Target& where, SIM_Ship* owner, TextureHandle handle,
                                   bool combined, float a, float b)
    : texture(handle), location(&where), ship(owner)
{
    sprite.SetSize(where.rectWidth, where.rectHeight);
    float u0 = where.left, u1 = where.right;
    if (combined) {
        u0 = u0 * 0.5f + 0.5f;
        u1 = u1 * 0.5f + 0.5f;
    }
    sprite.SetUV(u0, where.top, u1, where.bottom);
    SetAlpha();
    emitters.reserve(where.extraPoints.size() * 2);
    for (const SIM_ShipHull::Point& p : where.extraPoints) {
        for (const char* config : {kSmoke, kSparks}) {
            Emitter e;
            e.emitter.reset(GUI_ParticleEmmiter::Create(config, 0.0f, 0.0f, a, b));
            e.offsetX = p.x;
            e.offsetY = p.y;
            e.scalable = std::string(config) != kSparks;
            emitters.push_back(std::move(e));
        }
    }
}

GUI_DamageSprite::~GUI_DamageSprite()
{
    state = GONE;
    // Bots flying here must not keep a pointer to a freed patch.
    for (GUI_RepairBot* bot : followers)
        bot->ForgetTarget();
    followers.clear();
}

void GUI_DamageSprite::AddFollower(GUI_RepairBot* bot)
{
    if (std::find(followers.begin(), followers.end(), bot) == followers.end())
        followers.push_back(bot);
}

void GUI_DamageSprite::RemoveFollower(GUI_RepairBot* bot)
{
    followers.erase(std::remove(followers.begin(), followers.end(), bot), followers.end());
}

void GUI_DamageSprite::SetAlpha()
{
    sprite.SetColour(static_cast<uint8_t>(std::lround(std::clamp(fade, 0.0f, 1.0f) * 255.0f)), 255, 255, 255);
}

void GUI_DamageSprite::FinishRepair()
{
    state = FADING_OUT;
    timer = 0.0f;
}

bool GUI_DamageSprite::Update(float dt)
{
    switch (state) {
    case FADING_IN:
        timer += dt;
        fade = std::clamp(timer / kFadeMs, 0.0f, 1.0f);
        SetAlpha();
        if (fade >= 1.0f) {
            timer = 0.0f;
            state = SHOWN;
        }
        break;
    case SHOWN:
        timer += dt;
        break;
    case FADING_OUT:
        timer += dt;
        fade = 1.0f - std::clamp(timer / kFadeMs, 0.0f, 1.0f);
        SetAlpha();
        if (fade <= 0.0f) {
            state = GONE;
            return false;
        }
        break;
    default:
        return false;
    }
    sprite.SetAngle(ship->angle);
    for (Emitter& e : emitters) {
        float wx, wy;
        ship->LocalToWorld(e.offsetX, e.offsetY, ship->sine, ship->cosine, wx, wy);
        e.emitter->x = wx;
        e.emitter->y = wy;
    }
    const GUI_Map& map = GUI_Map::GetInstance();
    float cx, cy;
    ship->LocalToWorld(location->rectCentreX, location->rectCentreY, ship->sine, ship->cosine, cx, cy);
    sprite.SetSize(location->rectWidth * ZoomScale, location->rectHeight * ZoomScale);
    sprite.PlaceRotatedSinCos((cx - map.cameraX) * ZoomScale, (cy - map.cameraY) * ZoomScale, ship->sine,
                              ship->cosine);
    if (sprite.IsOnScreen())
        QuadRunBatch::Shared().Add(texture, false, sprite.m_vertices);
    return true;
}

void GUI_DamageSprite::DrawEmitters()
{
    bool cloaked = false;
    for (const SIM_CamoflageShieldModule* cloak : ship->GetCloaks())
        cloaked = cloaked || cloak->GetCloakState() != SIM_CamoflageShieldModule::VISIBLE;
    const float intensity = std::max(ship->speed, 0.25f);
    for (Emitter& e : emitters) {
        if (cloaked)
            e.emitter->rateScale = 0.0f;
        else
            e.emitter->rateScale = e.scalable ? intensity : 1.0f;
        e.emitter->Draw();
    }
}

void GUI_DamageSprite::DrawInto(float size, float left, float top, QuadRunBatch* batch)
{
    const float width = ship->GetWidth() > 0.0f ? ship->GetWidth() : 1.0f;
    const float f = size / width;
    sprite.SetAngle(0.0f);
    sprite.SetSize(f * location->rectWidth, f * location->rectHeight);
    sprite.PlaceCentred(left + f * location->rectCentreX + size * 0.5f, top + f * location->rectCentreY + size * 0.5f);
    if (batch) {
        batch->Add(texture, false, sprite.m_vertices);
        return;
    }
    D3DEngine& engine = D3DEngine::GetInstance();
    engine.SetNormalBlend();
    engine.SetTexture(texture);
    if (IGraphicsDevice* device = engine.GetDevice())
        device->DrawQuads(sprite.m_vertices, 4);
}
