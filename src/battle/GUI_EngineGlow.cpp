#include "battle/GUI_EngineGlow.h"

#include <algorithm>
#include <cmath>

#include "battle/EffectDrawing.h"
#include "battle/EffectTextures.h"
#include "battle/GUI_BattleGUI.h"
#include "battle/GUI_Map.h"
#include "sim/SIM_ShipVisual.h"
#include "battle/GUI_ParticleConfig.h"
#include "battle/GUI_ParticleEmmiter.h"
#include "battle/MaskedQuadBatch.h"
#include "battle/VisualRandom.h"
#include "battle/VisualStep.h"
#include "engine/D3DEngine.h"
#include "sim/SIM_Ship.h"
#include "sim/modules/SIM_CamoflageShieldModule.h"

namespace {

std::vector<GUI_EngineGlow*>& List(int drawLayer)
{
    return LayerLists<GUI_EngineGlow>::Of(drawLayer);
}

// The glows of large ships, whose flames are drawn masked.
std::vector<GUI_EngineGlow*>& MaskedList()
{
    // Never destroyed: a battle freed at exit still leaves this list.
    static auto* const list = new std::vector<GUI_EngineGlow*>();
    return *list;
}

// Whether the ship's visual shows what lies under its hull this frame.
bool ShowsUnderHull(const SIM_Ship* ship)
{
    if (ship->docked || (ship->state != SIM_Ship::ACTIVE && ship->state != SIM_Ship::DYING))
        return false;
    for (const SIM_CamoflageShieldModule* cloak : ship->GetCloaks())
        if (cloak->GetCloakState() != SIM_CamoflageShieldModule::VISIBLE)
            return false;
    return true;
}

// Trails out of view take turns at their catch-up frames.
unsigned NextTrailPhase()
{
    static unsigned count = 0;
    return count++;
}

float FrameMs()
{
    return GUI_BattleGUI::GetInstance().scaledFrameTime;
}

} // namespace

GUI_EngineGlow::GUI_EngineGlow(SIM_Ship* owner, const std::string& texture, const std::string& config, bool batched,
                               float scale, float px, float py, float width, float length)
    : offsetScale(scale)
    , ship(owner)
    , glowWidth(width)
    , glowLength(length)
    , trailLag(NextTrailPhase(), VisualLag::kTrailEvery)
{
    layer = 0;
    const float w = ship ? ship->GetWidth() : 0.0f, h = ship ? ship->GetHeight() : 0.0f;
    localX = (px - 128.0f) / 256.0f * w;
    localY = (py - 128.0f) / 256.0f * h;
    glowSprite.SetTexture(texture);
    maskedSprite.SetTexture(texture);
    if (batched) {
        const SIM_ShipVisual* visual = ship ? ship->GetVisual() : nullptr;
        SetLayer(visual ? visual->currentLayer : 0);
    } else {
        emitter.reset(GUI_ParticleEmmiter::Create(config, localX, localY, 0.0f, 0.0f));
        emitter->scale = glowWidth * 0.0625f;
        drawLayer = 1;
        MaskedList().push_back(this);
    }
}

GUI_EngineGlow::~GUI_EngineGlow()
{
    LeaveList();
    auto& masked = MaskedList();
    masked.erase(std::remove(masked.begin(), masked.end(), this), masked.end());
    if (parent)
        parent->RemoveFromParent(this);
}

void GUI_EngineGlow::LeaveList()
{
    LayerLists<GUI_EngineGlow>::Leave(this, drawLayer);
}

void GUI_EngineGlow::SetLayer(int newLayer)
{
    LeaveList();
    drawLayer = newLayer;
    LayerLists<GUI_EngineGlow>::File(this, drawLayer);
}

const std::vector<GUI_EngineGlow*>& GUI_EngineGlow::GetLayerList(int drawLayer)
{
    return List(drawLayer);
}

bool GUI_EngineGlow::FarOutOfView() const
{
    // The flame reaches no further from the ship's centre than the ship's
    // size and its own length (flicker stays under 1). The map is a plain
    // GUI_Map: its own test, without the virtual call.
    const float reach = std::max(ship->GetWidth(), ship->GetHeight()) + glowLength + glowWidth;
    return GUI_Map::GetInstance().GUI_Map::IsOffScreen(ship->x, ship->y, reach);
}

bool GUI_EngineGlow::Locate()
{
    spritePlaced = false;
    visible = 1;
    throttle = ship && ship->maxSpeed > 0.0f ? std::clamp(ship->speed / ship->maxSpeed, 0.0f, 1.0f) : 0.0f;
    if (throttle <= 0.0f) {
        visible = 0;
        return false;
    }
    const GUI_Map& map = GUI_Map::GetInstance();
    ship->LocalToWorld(localX, localY, ship->sine, ship->cosine, worldX, worldY);
    screenX = (worldX - map.cameraX) * ZoomScale;
    screenY = (worldY - map.cameraY) * ZoomScale;
    if (emitter) {
        const float d = -0.5f * glowLength * offsetScale;
        emitter->x = worldX - d * ship->sine;
        emitter->y = worldY + d * ship->cosine;
        emitter->rotation = ship->angle;
    }
    return true;
}

void GUI_EngineGlow::PlaceSprite()
{
    const float k = GetFlickerScale();
    CTexturedSprite& sprite = drawLayer == 1 ? maskedSprite : glowSprite;
    sprite.SetSize(ZoomScale * glowWidth * k, ZoomScale * glowLength * k);
    sprite.PlaceRotatedSinCos(screenX, screenY, ship->sine, ship->cosine);
    spritePlaced = true;
}

bool GUI_EngineGlow::Update()
{
    if (!Locate())
        return false;
    PlaceSprite();
    return true;
}

inline bool GUI_EngineGlow::MayBeOnScreen() const
{
    // The placed quad's corners lie within half its width plus half its
    // length of the centre, and the on-screen test widens the screen by at
    // most one and a half times its larger side; twice the sides and a
    // relative slack leave rounding far behind.
    const float k = GetFlickerScale();
    const float w = std::fabs(ZoomScale * glowWidth * k), h = std::fabs(ZoomScale * glowLength * k);
    const D3DEngine& engine = D3DEngine::GetInstance();
    const float sw = static_cast<float>(engine.GetScreenWidth()), sh = static_cast<float>(engine.GetScreenHeight());
    const float reach = w + h + 1.5f * std::max(w, h) + 1.0f + 1e-3f * (std::fabs(screenX) + std::fabs(screenY));
    return !(screenX + reach < 0.0f || screenX - reach > sw || screenY + reach < 0.0f || screenY - reach > sh);
}

bool GUI_EngineGlow::FlameOnScreen()
{
    if (!spritePlaced) {
        if (!MayBeOnScreen())
            return false;
        PlaceSprite();
    }
    return maskedSprite.IsOnScreen();
}

void GUI_EngineGlow::UpdateFlicker()
{
    flickerTimer += FrameMs();
    if (flickerTimer > kFlickerStepMs) {
        flickerPrevious = flickerTarget;
        flickerTarget = VisualRange(0.9f, 1.0f);
        flickerTimer = 0.0f;
    }
}

void GUI_EngineGlow::DrawMasked()
{
    UpdateFlicker();
    maskScroll -= FrameMs() / 500.0f;
    ScreenVertex2 quad[4];
    const uint8_t alpha = static_cast<uint8_t>(throttle * 255.0f);
    SetMaskedCorners(quad, maskedSprite.m_vertices, alpha, 0.0f, maskScroll, 1.0f, maskScroll + 0.5f);
    for (int i = 0; i < 4; ++i) {
        quad[i].u = (i & 1) ? 1.0f : 0.0f;
        quad[i].v = (i & 2) ? 1.0f : 0.0f;
    }
    MaskedQuadBatch::Shared().Add(maskedSprite.GetTextureForDraw(), EffectTextures::Get(EffectTextures::ENGINE_COLOURS),
                                  quad);
}

float GUI_EngineGlow::TrailReach() const
{
    if (!(reachScale == emitter->scale)) {
        reachScale = emitter->scale;
        reach = emitter->GetReach();
    }
    if (!reach.known)
        return -1.0f; // no end known: never waits
    // Speeds are per 12 ms, with room for boosts.
    return reach.At(1.5f * std::max(ship->maxSpeed, ship->speed));
}

void GUI_EngineGlow::EmitterStep()
{
    if (!visible || !emitter)
        return;
    const GUI_Map& map = GUI_Map::GetInstance();
    if (!map.GUI_Map::IsOffScreen(emitter->x, emitter->y, 0.0f) || FlameOnScreen()) {
        trailLag.Plan(VisualStep::Current(), false);
        VisualStepScope scope(trailLag.Span());
        emitter->rateScale = throttle;
        emitter->Draw();
        return;
    }
    // Out of view, a trail none of whose particles can reach the view
    // steps only now and then.
    const float reach = TrailReach();
    if (!trailLag.Plan(VisualStep::Current(),
                       reach >= 0.0f && map.GUI_Map::IsOffScreen(emitter->x, emitter->y, reach)))
        return;
    VisualStepScope scope(trailLag.Span());
    emitter->Update();
}

void GUI_EngineGlow::Draw()
{
    if (drawLayer != 1)
        return;
    Update();
    EmitterStep();
}

void GUI_EngineGlow::DrawMaskedFlames()
{
    auto& list = MaskedList();
    if (list.empty())
        return;
    MaskedQuadBatch& masked = MaskedQuadBatch::Shared();
    masked.Begin(MaskedQuadBatch::ColourFromStage0, true);
    for (GUI_EngineGlow* glow : list) {
        if (glow->ship && !glow->FarOutOfView() && ShowsUnderHull(glow->ship) && glow->Update() &&
            glow->maskedSprite.IsOnScreen())
            glow->DrawMasked();
    }
    masked.End();
}

void GUI_EngineGlowCollection::Draw()
{
    // A masked flame is drawn by the battle frame, which places its sprite
    // itself; here the sprite only tells whether the trail shows, so it is
    // placed only when it could.
    for (GUI_EngineGlow* glow : glows) {
        if (glow->drawLayer == 1 && glow->emitter)
            glow->Locate();
        else
            glow->Update();
    }
    for (GUI_EngineGlow* glow : glows)
        glow->EmitterStep();
}

void GUI_EngineGlow::RefreshAlpha()
{
    UpdateFlicker();
    glowSprite.SetColour(static_cast<uint8_t>(throttle * 255.0f), 255, 255, 255);
}

void GUI_EngineGlow::DrawLayerBatch(int drawLayer)
{
    auto& list = List(drawLayer);
    if (list.empty())
        return;
    EffectBatchScope scope;
    TextureHandle texture = 0;
    bool anyDead = false;
    for (GUI_EngineGlow* glow : list) {
        if (glow->FarOutOfView() || !glow->Update() || !glow->glowSprite.IsOnScreen())
            continue;
        SIM_Ship* ship = glow->ship;
        if (ship->IsDead()) {
            anyDead = true;
            continue;
        }
        if (ship->state == SIM_Ship::OFF_FIELD || ship->state == SIM_Ship::RETREATED || ship->docked)
            continue;
        glow->RefreshAlpha();
        // The whole layer draws with the texture of its first glow.
        if (!texture)
            texture = glow->glowSprite.GetTextureForDraw();
        scope.Batch().Add(texture, true, glow->glowSprite.m_vertices);
    }
    if (anyDead) {
        for (auto it = list.begin(); it != list.end();) {
            if ((*it)->ship->IsDead()) {
                (*it)->drawLayer = -1;
                it = list.erase(it);
            } else {
                ++it;
            }
        }
    }
}
