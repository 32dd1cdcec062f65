#include "battle/GUI_Ship.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>

#include "app/GUI_Sounds.h"
#include "battle/Explosions.h"
#include "battle/GUI_BattleGUI.h"
#include "battle/GUI_BlastGlare.h"
#include "battle/BattleView.h"
#include "battle/GUI_Breakup.h"
#include "battle/GUI_CamoflageShield.h"
#include "battle/GUI_ConTrail.h"
#include "battle/GUI_DamageSprite.h"
#include "battle/GUI_ECMShock.h"
#include "battle/GUI_EffectLog.h"
#include "battle/GUI_EngineGlow.h"
#include "battle/GUI_EscapePod.h"
#include "battle/GUI_Hulk.h"
#include "battle/GUI_Map.h"
#include "battle/GUI_PowerGlow.h"
#include "battle/GUI_RepairBotSwarm.h"
#include "battle/GUI_RunningLight.h"
#include "battle/GUI_Shield.h"
#include "battle/GUI_ShipEmmiter.h"
#include "battle/GUI_ShockWave.h"
#include "battle/GUI_SmokeSprite.h"
#include "battle/GUI_SplatManager.h"
#include "battle/GUI_TractorBeam.h"
#include "battle/LimpetSprites.h"
#include "battle/ShipImage.h"
#include "battle/VisualRandom.h"
#include "battle/GUI_ShipDrawLists.h"
#include "battle/hud/GUI_DamageFeedbackManager.h"
#include "battle/hud/GUI_ShipNameOverlay.h"
#include "engine/GeometryHelpers.h"
#include "engine/CInput.h"
#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "engine/GTokenizer.h"
#include "engine/QuadRunBatch.h"
#include "engine/StrFormat.h"
#include "engine/TextHelpers.h"
#include "sim/SIM_BattleClock.h"
#include "sim/SIM_Fleet.h"
#include "sim/SIM_Options.h"
#include "sim/SIM_Race.h"
#include "sim/SIM_Shield.h"
#include "sim/SIM_Ship.h"
#include "sim/SIM_ShipGrid.h"
#include "sim/SIM_ShipHull.h"
#include "sim/SIM_ShipModuleType.h"
#include "sim/ShipUpdateScheduler.h"
#include "sim/modules/SIM_BeamWeaponModule.h"
#include "sim/modules/SIM_CamoflageShieldModule.h"
#include "sim/modules/SIM_LimpetLauncherModule.h"
#include "sim/modules/SIM_RepairModule.h"

namespace {

// The battle screen's frame time is the battle clock's, read here without
// the call that finds the screen.
float FrameTime()
{
    return SIM_BattleClock::GetInstance().scaledFrameTime;
}

std::vector<GUI_Ship*>& LiveVisuals()
{
    // Never destroyed: visuals freed by other statics at exit still leave it.
    static auto* list = new std::vector<GUI_Ship*>();
    return *list;
}

// 1..count, each equally likely.
int SoundNumber(int count)
{
    return SheetCell(VisualFloat(), count) + 1;
}

struct EmitterRow {
    const char* config;
    float life;
    float minZoom;
    bool jitter; // moved by -3..3 on x and y
};

// What each damage-location kind burns with.
const EmitterRow kLargeEmitters[] = {
    {"ship_emmiter_smoke_frigate", 15000.0f, 0.0f, false},
    {"ship_emmiter_flames_frigate", 15000.0f, 0.0f, false},
    {"ship_emmiter_flames_highlod", 15000.0f, 2.0f, false},
    {"ship_emmiter_smoke_frigate_highlod", 15000.0f, 2.0f, true},
    {"ship_emmiter_smoke_frigate_highlod", 15000.0f, 2.0f, true},
    {"ship_emmiter_smoke_frigate_highlod", 15000.0f, 2.0f, true},
};
const EmitterRow kSmallEmitters[] = {
    {"ship_emmiter_smoke_fighter", 10000.0f, 0.0f, false},
    {"ship_emmiter_flames_fighter", 10000.0f, 0.0f, false},
};
const EmitterRow kThinEmitters[] = {
    {"ship_emmiter_smoke_frigate_highlod", 30000.0f, 2.0f, false},
    {"ship_emmiter_flames_frigate_highlod", 22000.0f, 2.0f, false},
};

// Visuals with a cloak's shimmer, live now, in the order they were made.
std::vector<GUI_Ship*>& CloakedVisuals()
{
    static std::vector<GUI_Ship*> visuals;
    return visuals;
}

void ForgetCloaked(GUI_Ship* visual)
{
    auto& all = CloakedVisuals();
    all.erase(std::remove(all.begin(), all.end(), visual), all.end());
}

} // namespace

const std::vector<GUI_Ship*>& GUI_Ship::GetAll()
{
    return LiveVisuals();
}

bool GUI_Ship::AnyCamouflage()
{
    return !CloakedVisuals().empty();
}

const std::vector<GUI_Ship*>& GUI_Ship::GetCloaked()
{
    return CloakedVisuals();
}

void GUI_Ship::InstallFactory()
{
    SIM_ShipVisual::SetFactory(
        [](SIM_Ship* ship) -> std::unique_ptr<SIM_ShipVisual> { return std::make_unique<GUI_Ship>(ship); });
}

GUI_Ship* GUI_Ship::Of(const SIM_Ship* ship)
{
    return ship ? dynamic_cast<GUI_Ship*>(ship->GetVisual()) : nullptr;
}

GUI_Ship::GUI_Ship(SIM_Ship* owner)
    : SIM_ShipVisual(owner)
{
    // Ships out of view take turns at their catch-up frames.
    childLag = VisualLag(static_cast<unsigned>(LiveVisuals().size()));
    LiveVisuals().push_back(this);
}

GUI_Ship::~GUI_Ship()
{
    if (camouflage)
        ForgetCloaked(this);
    DeleteShipEmmiters();
    // The draw lists must never hold a ship whose visual is gone.
    GUI_ShipDrawLists::GetInstance().Remove(ship);
    GUI_ShipNameOverlay::ForgetShip(ship);
    auto& all = LiveVisuals();
    all.erase(std::remove(all.begin(), all.end(), this), all.end());
}

void GUI_Ship::BuildAttachments()
{
    SIM_ShipVisual::BuildAttachments();
    const SIM_ShipHull* hull = ship ? ship->GetHull() : nullptr;
    if (!hull)
        return;
    hullSprite.SetSize(spriteWidth, spriteHeight);
    pickRadius = std::max(spriteWidth, spriteHeight);
    const float hover = std::max(0.25f * spriteWidth, 20.0f);
    hoverRadiusSq = hover * hover;

    const std::string sprite = hull->GetSprite();
    if (hull->GetClass() == SIM_ShipHull::FIGHTER) {
        // Fighters keep their picture in the left half of a sheet.
        textureName = (sprite.size() >= 4 ? sprite.substr(0, sprite.size() - 4) : sprite) + "_sprite.dds";
        hullSprite.SetTexture(textureName);
        hullSprite.SetUV(0.0f, 0.0f, 0.5f, 1.0f);
        damageTexture.SetName(textureName);
    } else {
        textureName = sprite;
        hullSprite.SetTexture(textureName);
        damageTexture.SetName(hull->GetDamageTexture());
    }

    ParseEngineGlows();
    BuildEffects(hull);
    BuildWeaponDraws();
    // The shield goes up once every module is in place, after this; a ship
    // with shield modules will have one.
    const SIM_Shield* simShield = ship->GetShield();
    if (simShield && !simShield->GetModules().empty())
        shield = std::make_unique<GUI_Shield>(ship);
    GUI_ShipDrawLists::GetInstance().Add(ship);
}

void GUI_Ship::ParseEngineGlows()
{
    if (glowCollection)
        RemoveFromParent(glowCollection.get());
    glowCollection.reset();
    engineGlows.clear();
    for (const std::string& line : ship->GetHull()->GetEngineGlows()) {
        GTokenizer tok(line, ',');
        const float px = tok.NextFloat();
        const float py = tok.NextFloat();
        const float w = tok.NextFloat();
        const float l = tok.NextFloat();
        const std::string texture = TrimWhitespace(tok.NextString());
        const std::string config = TrimWhitespace(tok.NextString());
        const bool batched = tok.NextFloat() != 0.0f;
        const float offsetScale = tok.NextFloat();
        if (texture.find(".dds") == std::string::npos)
            continue;
        engineGlows.push_back(
            std::make_unique<GUI_EngineGlow>(ship, texture, config, batched, offsetScale, px, py, w, l));
    }
    if (engineGlows.size() >= 2) {
        glowCollection = std::make_unique<GUI_EngineGlowCollection>();
        for (auto& glow : engineGlows)
            glowCollection->Add(glow.get());
        AddChild(glowCollection.get());
    } else if (engineGlows.size() == 1) {
        AddChild(engineGlows.front().get());
    }
    UpdateEmptyLayers();
    NoteOwnKinds();
    NoteParticleReach();
}

void GUI_Ship::BuildEffects(const SIM_ShipHull* hull)
{
    tractorBeams.reset();
    for (const SIM_ShipHull::Band& band : hull->GetBands()) {
        if (!tractorBeams)
            tractorBeams = std::make_unique<GUI_TractorBeamCollection>(this);
        for (int direction : {1, 0})
            tractorBeams->Add(std::make_unique<GUI_TractorBeam>(ship, band.width, direction, band.angle, band.x1,
                                                                band.y1, band.x2, band.y2));
    }
    powerGlows.clear();
    for (const std::string& line : hull->GetPulseGlows()) {
        GTokenizer tok(line, ',');
        const float px = std::strtof(TrimWhitespace(tok.NextString()).c_str(), nullptr);
        const float py = tok.NextFloat(), size = tok.NextFloat(), period = tok.NextFloat();
        const std::string texture = TrimWhitespace(tok.NextString());
        powerGlows.push_back(std::make_unique<GUI_PowerGlow>(ship, size, period, texture, px, py));
        AddChild(powerGlows.back().get());
    }
    // Con trails: x, y on the 256 grid, points, lifetime (ms), width, segment length.
    conTrails.clear();
    trailReachMs = 0.0f;
    for (const std::string& line : hull->GetContrails()) {
        GTokenizer tok(line, ',');
        const float x = (tok.NextFloat() - 128.0f) / 256.0f, y = (tok.NextFloat() - 128.0f) / 256.0f;
        const int points = static_cast<int>(tok.NextFloat());
        const float lifetime = tok.NextFloat(), width = tok.NextFloat(), segment = tok.NextFloat();
        trailReachMs = std::max(trailReachMs, lifetime);
        conTrails.push_back(std::make_unique<GUI_ConTrail>(ship, points, lifetime, width, segment, x, y));
        AddChild(conTrails.back().get());
    }
    runningLights.clear();
    const float phase = VisualFloat();
    for (const std::string& line : hull->GetRunningLights()) {
        runningLights.push_back(std::make_unique<GUI_RunningLight>(line, ship, phase));
        AddChild(runningLights.back().get());
    }
    splats.reset();
    if (!ship->GetArmourModules().empty())
        splats = std::make_unique<GUI_SplatManager>(ship);
    if (camouflage)
        ForgetCloaked(this);
    camouflage.reset();
    if (!ship->GetCloaks().empty()) {
        camouflage = std::make_unique<GUI_CamoflageShield>(this, ship);
        CloakedVisuals().push_back(this);
    }
    // Read from the options: ships are built before the screen takes its flags.
    SIM_Options& options = SIM_Options::GetInstance();
    hulks.clear();
    hulksReleased = false;
    if (!hull->GetHulkTexture().empty() && options.GetValue("HULKS") != 0.0f)
        hulks = BuildHulks(ship);
    breakup.reset();
    if (hull->GetClass() != SIM_ShipHull::FIGHTER)
        breakup = std::make_unique<GUI_Breakup>(ship, textureName, spriteWidth, spriteHeight);
    warp = std::make_unique<GUI_WarpEffect>(this);
    repairSwarms.clear();
    if (options.GetValue("REPAIRBOTS") != 0.0f) {
        for (SIM_RepairModule* module : ship->GetRepairModules()) {
            repairSwarms.push_back(std::make_unique<GUI_RepairBotSwarm>(this, module));
            AddChild(repairSwarms.back().get());
        }
    }
    UpdateEmptyLayers();
    NoteOwnKinds();
}

void GUI_Ship::BuildWeaponDraws()
{
    turrets.Build(*ship);
    beamDraws.clear();
    limpetLaunchers.clear();
    for (SIM_ShipModule* module : ship->GetModules()) {
        if (auto* beam = dynamic_cast<SIM_BeamWeaponModule*>(module)) {
            BeamDraw& draw = beamDraws.emplace_back();
            draw.beam = beam;
            draw.sprite.SetTexture(beam->beamTextures[0]);
            if (beam->hasGrain)
                draw.grain.SetTexture(beam->grainTexture);
            draw.blast.SetTexture(beam->blastTexture);
        } else if (auto* launcher = dynamic_cast<SIM_LimpetLauncherModule*>(module)) {
            limpetLaunchers.push_back(launcher);
            LimpetSprites::Load();
        }
    }
    hasLimpetLaunchers = !limpetLaunchers.empty();
    limpetsMayStick = ship->IsFighter();
    supportBeams.Build(*ship);
    weaponShots.Build(*ship);
    hasShotWeapons = !weaponShots.IsEmpty();
}

void GUI_Ship::LocalToWorld(float lx, float ly, float& wx, float& wy) const
{
    ship->LocalToWorld(lx, ly, ship->sine, ship->cosine, wx, wy);
}

// ---- drawing --------------------------------------------------------------

void GUI_Ship::Draw()
{
    if (!ship || ship->docked)
        return;
    // Nothing a draw does moves the ship, the view or its step: the
    // attachments' view holds until the draw is over.
    struct DrawScope {
        GUI_Ship& ship;
        explicit DrawScope(GUI_Ship& s) : ship(s) { ship.inDraw = true; ship.childViewTaken = false; }
        ~DrawScope() { ship.inDraw = false; }
    } scope(*this);
    const float dt = FrameTime();
    hullDrawnThisFrame = false;
    PlanChildUpdate(dt);
    // Turrets turn only where they are drawn; meanwhile their time adds up.
    turrets.Wait(dt);
    switch (ship->state) {
    case SIM_Ship::OFF_FIELD:
        if (warp)
            warp->Update();
        return;
    case SIM_Ship::ACTIVE:
        DrawHull();
        DrawBeams();
        // A ship hidden by its cloak shows no support beams: its modules wait.
        if (supportBeams.AnyShowing() && !IsCamouflaged())
            supportBeams.Draw(QuadRunBatch::Shared());
        if (hasShotWeapons && weaponShots.AnyShowing())
            weaponShots.Draw(QuadRunBatch::Shared(), IsCamouflaged(), FrameTime());
        if (hasLimpetLaunchers)
            DrawFlyingLimpets();
        if (ship->ecmShocked && ecmShock)
            ecmShock->Draw();
        if (smartBomb)
            smartBomb->Draw();
        if (splats && !splats->IsIdle())
            splats->Draw();
        if (shield && !shield->IsIdle())
            shield->Draw();
        if (limpetsMayStick && SIM_Limpet::CountStuck() != 0 && !ship->GetLimpets().empty())
            DrawStuckLimpets();
        break;
    case SIM_Ship::DYING:
    case SIM_Ship::DESTROYED:
        // A dying ship's modules no longer run: its arcs and torpedoes would
        // stay where they were, frozen. Its limpets fly on by themselves.
        DrawDying();
        if (hasLimpetLaunchers)
            DrawFlyingLimpets();
        break;
    default:
        return;
    }
    DrawChildLayer(2);
}

// The launchers' limpets fly on whatever becomes of their ship. Out of
// line, as is the stuck limpets' draw: most ships have neither.
void GUI_Ship::DrawFlyingLimpets()
{
    if (SIM_Limpet::CountOut() == 0)
        return;
    for (const SIM_LimpetLauncherModule* launcher : limpetLaunchers)
        if (launcher->CountLimpetsOut() != 0)
            LimpetSprites::DrawFlying(*launcher);
}

void GUI_Ship::DrawStuckLimpets()
{
    LimpetSprites::DrawStuck(ship->GetLimpets());
}

float GUI_Ship::LazyMargin() const
{
    if (!particleReach.known)
        return std::numeric_limits<float>::infinity();
    // Speeds are per 12 ms; boosts and impulses may go past the top speed.
    return kLazyMargin + pickRadius + particleReach.At(1.5f * std::max(ship->maxSpeed, ship->speed));
}

float GUI_Ship::TrailMargin() const
{
    const float fastest = 1.5f * std::max(ship->maxSpeed, ship->speed) / 12.0f;
    return kLazyMargin + pickRadius + fastest * trailReachMs;
}

bool GUI_Ship::TrailsMayShow() const
{
    // Trails turned off are neither drawn nor laid.
    if (!GUI_BattleGUI::GetInstance().contrails)
        return false;
    const TrailSimulation::Screen screen = TrailSimulation::Screen::Current();
    for (const auto& trail : conTrails)
        if (trail->GetTrail().MayShowOnScreen(screen))
            return true;
    return false;
}

void GUI_Ship::NoteParticleReach()
{
    particleReach = GUI_ParticleEmmiter::Reach{};
    for (const auto& glow : engineGlows)
        if (const GUI_ParticleEmmiter* emitter = glow->GetEmitter())
            particleReach.Cover(emitter->GetReach());
    for (const auto& smoke : shipEmmiters)
        if (smoke->emitter)
            particleReach.Cover(smoke->emitter->GetReach());
}

void GUI_Ship::NoteOwnKinds()
{
    std::fill(std::begin(ownKinds), std::end(ownKinds), 0);
    ownChildren = 0;
    const auto note = [this](const GUI_RenderObject* child) {
        ++ownChildren;
        if (!child || child->layer < 0 || child->layer > 2)
            return;
        unsigned char bit = kOtherKinds;
        switch (child->kind) {
        case Kind::CON_TRAIL: bit = kTrailKind; break;
        case Kind::POWER_GLOW: bit = kGlowKind; break;
        case Kind::RUNNING_LIGHT: bit = kLightKind; break;
        default: break;
        }
        ownKinds[child->layer] |= bit;
    };
    // The children the ship adds itself.
    if (glowCollection)
        note(glowCollection.get());
    else if (engineGlows.size() == 1)
        note(engineGlows.front().get());
    for (const auto& glow : powerGlows)
        note(glow.get());
    for (const auto& trail : conTrails)
        note(trail.get());
    for (const auto& light : runningLights)
        note(light.get());
    for (const auto& swarm : repairSwarms)
        note(swarm.get());
    for (const auto& emitter : shipEmmiters)
        note(emitter.get());
}

inline bool GUI_Ship::HasPassingEffects() const
{
#ifndef NDEBUG
    const size_t own = (glowCollection || engineGlows.size() == 1 ? 1 : 0) + powerGlows.size() + conTrails.size() +
                       runningLights.size() + repairSwarms.size() + shipEmmiters.size();
    QLM_ASSERT(own == ownChildren);
#endif
    return GetChildren().size() > ownChildren;
}

[[gnu::always_inline]] inline bool GUI_Ship::LayerIsIdle(int drawLayer, const AttachmentView& view) const
{
    // As the walk's visit treats each kind.
    const unsigned kinds = ownKinds[drawLayer];
    if ((kinds & kOtherKinds) || ((kinds & kTrailKind) && view.trailsOn) || ((kinds & kGlowKind) && view.glowsOn) ||
        ((kinds & kLightKind) && (view.lightsOn || lightsMayShow[drawLayer])))
        return false;
    return !HasPassingEffects();
}

void GUI_Ship::PlanChildUpdate(float dt)
{
    // A fighting ship waits, and so does a wreck (its smoke is gone, and
    // what it still burns hangs on it as passing effects): a dying one's
    // effects and a warping one's drawing follow every frame.
    const GUI_Map& map = GUI_Map::GetInstance();
    const bool fightingOrWreck = ship->state == SIM_Ship::ACTIVE || ship->state == SIM_Ship::DESTROYED;
    bool mayWait = fightingOrWreck && map.IsOffScreen(ship->x, ship->y, LazyMargin()) && !HasPassingEffects();
    // Within its con trails' reach it waits only while none of them may
    // show: a waiting ship's trails are not drawn.
    if (mayWait && !conTrails.empty() && !map.IsOffScreen(ship->x, ship->y, TrailMargin()))
        mayWait = !TrailsMayShow();
    childLag.Plan(VisualStep{dt, 1, dt}, mayWait);
}

// Inlined into the draws: a ship out of view, or with nothing in the
// layer, costs a test rather than a call; so does a layer with nothing to
// do under the view this draw has taken (most ships far from the view have
// only unlit lights in their top layer).
[[gnu::always_inline]] inline void GUI_Ship::DrawChildLayer(int drawLayer)
{
    if (childLag.IsWaiting() || IsLayerEmpty(drawLayer))
        return;
    if (inDraw && childViewTaken && LayerIsIdle(drawLayer, childView))
        return;
    WalkChildLayer(drawLayer);
}

void GUI_Ship::WalkChildLayer(int drawLayer)
{
    if (!inDraw || !childViewTaken) {
        childView.Take(ship, childLag.Span());
        childViewTaken = inDraw;
        if (LayerIsIdle(drawLayer, childView))
            return;
    }
    const AttachmentView& view = childView;
    // Children add to the shared batch; those that draw to the device
    // themselves flush it first.
    VisualStepScope scope(childLag.Span());
    // Trails and glows that the view turns off do nothing: they are passed
    // over unloaded. Most lights are off or far from the view; once a walk
    // has told this layer's lights so, later ones need not touch them.
    const bool clearLights = !view.lightsOn && lightsMayShow[drawLayer];
    const auto visit = [&view, clearLights](GUI_RenderObject* child, Kind childKind) {
        switch (childKind) {
        case Kind::CON_TRAIL:
            if (view.trailsOn)
                static_cast<GUI_ConTrail*>(child)->Draw(view);
            break;
        case Kind::POWER_GLOW:
            if (view.glowsOn)
                static_cast<GUI_PowerGlow*>(child)->Draw(view);
            break;
        case Kind::RUNNING_LIGHT:
            if (view.lightsOn)
                static_cast<GUI_RunningLight*>(child)->Draw(view);
            else if (clearLights)
                static_cast<GUI_RunningLight*>(child)->drewLastFrame = false;
            break;
        default: child->Draw(); break;
        }
    };
    const auto ahead = [&view](GUI_RenderObject* next, Kind nextKind) {
        switch (nextKind) {
        case Kind::CON_TRAIL:
            if (view.trailsOn)
                static_cast<const GUI_ConTrail*>(next)->PrefetchDraw();
            break;
        case Kind::POWER_GLOW:
            if (view.glowsOn)
                static_cast<const GUI_PowerGlow*>(next)->PrefetchDraw();
            break;
        case Kind::RUNNING_LIGHT:
            if (view.lightsOn)
                __builtin_prefetch(next);
            break;
        default: __builtin_prefetch(next); break;
        }
    };
    WalkChildren(drawLayer, visit, ahead);
    lightsMayShow[drawLayer] = view.lightsOn;
}

void GUI_Ship::AddQuad(CTexturedSprite& sprite, bool additive)
{
    QuadRunBatch::Shared().Add(sprite.GetTextureForDraw(), additive, sprite.m_vertices);
}

void GUI_Ship::DrawDying()
{
    if (hulksReleased && hulkFade < 1.0f) {
        // The hull fades out while the hulks appear.
        hulkFadeTime += FrameTime();
        hulkFade = std::min(hulkFadeTime / kHulkFadeMs, 1.0f);
        fade = std::clamp(1.0f - hulkFade, 0.0f, 1.0f);
        DrawHull();
        fade = 1.0f;
    }
    if (breakup && breakupStarted) {
        breakup->Draw();
        if (breakup->GetState() == GUI_Breakup::FINISHED)
            breakup.reset();
    } else if (!breakupStarted && ship->state == SIM_Ship::DYING && !hullDrawnThisFrame) {
        DrawHull();
    }
    // Plumes and the like under the ship still burn once the hull is gone.
    if (!hullDrawnThisFrame)
        DrawChildLayer(0);
}

// Inlined: most hulls of a frame leave at its first test.
[[gnu::always_inline]] inline bool GUI_Ship::PlaceHullSprite(bool unlessFar)
{
    const GUI_Map& map = GUI_Map::GetInstance();
    screenX = (ship->x - map.cameraX) * ZoomScale;
    screenY = (ship->y - map.cameraY) * ZoomScale;
    const float w = ZoomScale * spriteWidth, h = ZoomScale * spriteHeight;
    hullSprite.SetSize(w, h);
    if (unlessFar) {
        // Half the quad's diagonal, and the on-screen test's own margin for a turned sprite.
        float reach = 0.5f * (std::fabs(w) + std::fabs(h));
        if (hullSprite.GetAngle() != 0.0f)
            reach += 1.5f * std::max(std::fabs(w), std::fabs(h));
        // The attachments' view, when this draw has taken it, knows the same place.
        const float outside = inDraw && childViewTaken ? childView.outside : AttachmentView::Outside(screenX, screenY);
        if (AttachmentView::Beyond(outside, reach))
            return false;
    }
    hullSprite.PlaceRotatedSinCos(screenX, screenY, ship->sine, ship->cosine);
    return true;
}

bool GUI_Ship::ShowsHullUnderlays() const
{
    if (!ship || ship->docked || IsCamouflaged())
        return false;
    const bool hulksFading = hulksReleased && hulkFade < 1.0f;
    switch (ship->state) {
    case SIM_Ship::ACTIVE: return true;
    case SIM_Ship::DYING: return hulksFading || !IsBreakupStarted();
    case SIM_Ship::DESTROYED: return hulksFading;
    default: return false;
    }
}

bool GUI_Ship::IsCamouflaged() const
{
    if (!camouflage)
        return false;
    for (const SIM_CamoflageShieldModule* cloak : ship->GetCloaks())
        if (cloak->GetCloakState() != SIM_CamoflageShieldModule::VISIBLE)
            return true;
    return false;
}

void GUI_Ship::DrawHull()
{
    if (!ship)
        return;
    hullDrawnThisFrame = true;
    const bool camouflaged = IsCamouflaged();
    if (camouflaged)
        camouflage->Draw();
    else
        DrawChildLayer(0);
    // Nothing below moves the hull's quad: one test serves both uses. A hull
    // surely off the screen is not placed (every use places it first).
    if (PlaceHullSprite(true) && hullSprite.IsOnScreen())
        DrawHullOnScreen(camouflaged);
    else
        DrawDamageSpriteEffects();
    UpdateEngineSound();
}

void GUI_Ship::UpdateEngineSound()
{
    if (GUI_Map::GetInstance().IsOffScreen(ship->x, ship->y, kEngineSoundMargin))
        return;
    const bool fighter = ship->IsFighter();
    const float volume = ship->GetWidth() * (fighter ? kFighterDroneShare : kCruiserDroneShare);
    if (!(volume > 0.0f))
        return;
    GUI_BattleGUI& gui = GUI_BattleGUI::GetInstance();
    if (GUI_Sounds* sounds = gui.GetSounds())
        sounds->AddDroneLevel(gui.GetDrones(), fighter ? 0 : 1, ship->x, ship->y, volume);
}

void GUI_Ship::DrawHullOnScreen(bool camouflaged)
{
    if (!camouflaged) {
        // The two sides differ a little in tone, so they read apart at a glance.
        const bool enemy = ship->IsEnemy();
        const float a = std::clamp(fade, 0.0f, 1.0f);
        hullSprite.SetColour(ShadeByte(a), enemy ? 255 : 215, enemy ? 210 : 232, enemy ? 196 : 255);
        AddQuad(hullSprite, false);
        hullSprite.SetColour(0xFFFFFFFFu);
        if (GUI_BattleGUI::GetInstance().turretsOn && fade >= 1.0f) {
            turrets.Draw(*ship, 255);
            ShipTurrets::DrawAimMarkers(*ship);
        }
        DrawDamageSprites();
    }
    DrawDamageSpriteEffects();
    const CInput& input = CInput::GetInstance();
    const float dx = input.GetMouseX() - screenX;
    const float dy = input.GetMouseY() - screenY;
    if (dx * dx + dy * dy < hoverRadiusSq) {
        GUI_ShipNameOverlay::ForShip(ship)->ShowAt(screenX, screenY - 24.0f); // just above the hull
    }
}

void GUI_Ship::DrawDamageSprites()
{
    if (damageSprites.empty())
        return;
    ++imageVersion; // the patches fade
    const float dt = FrameTime();
    bool anyGone = false;
    for (auto& sprite : damageSprites)
        anyGone = !sprite->Update(dt) || anyGone;
    if (anyGone) {
        damageSprites.erase(std::remove_if(damageSprites.begin(), damageSprites.end(),
                                           [](const std::unique_ptr<GUI_DamageSprite>& d) {
                                               return d->GetState() == GUI_DamageSprite::GONE;
                                           }),
                            damageSprites.end());
        damageMarksShown = static_cast<int>(damageSprites.size());
    }
}

inline void GUI_Ship::DrawDamageSpriteEffects()
{
    if (damageSprites.empty() || GUI_Map::GetInstance().IsOffScreen(ship->x, ship->y, kDamageEffectMargin))
        return;
    for (auto& sprite : damageSprites)
        sprite->DrawEmitters();
}

void GUI_Ship::DrawIntoImage(float side, float left, float top, QuadRunBatch* batch)
{
    D3DEngine& engine = D3DEngine::GetInstance();
    IGraphicsDevice* device = engine.GetDevice();
    if (!device)
        return;
    BaseSprite picture;
    picture.SetSize(side, side);
    picture.SetUV(0.0f, 0.0f, ship->IsFighter() ? 0.5f : 1.0f, 1.0f);
    picture.PlaceCentred(left + side * 0.5f, top + side * 0.5f);
    if (batch) {
        batch->Add(hullSprite.GetTextureForDraw(), false, picture.m_vertices);
    } else {
        engine.SetNormalBlend();
        engine.SetTexture(hullSprite.GetTextureForDraw());
        device->DrawQuads(picture.m_vertices, 4);
    }
    for (auto& sprite : damageSprites)
        sprite->DrawInto(side, left, top, batch);
    // The turrets go with the hull: a cloak fades them with it.
    if (GUI_BattleGUI::GetInstance().turretsOn)
        turrets.DrawLevel(*ship, side, left, top, batch ? *batch : QuadRunBatch::Shared());
}

uint64_t GUI_Ship::TakeImageKey()
{
    return GUI_BattleGUI::GetInstance().turretsOn ? turrets.LevelKey(*ship) : 0;
}

void GUI_Ship::DrawWarping(float p)
{
    float wx, wy;
    GUI_WarpEffect::PositionAt(p, ship->x, ship->y, ship->angle, wx, wy);
    const GUI_Map& map = GUI_Map::GetInstance();
    const uint8_t alpha = static_cast<uint8_t>(std::clamp(p, 0.0f, 1.0f) * 255.0f);
    CTexturedSprite& sprite = hullSprite;
    sprite.SetSize(ZoomScale * spriteWidth, ZoomScale * spriteHeight);
    sprite.PlaceRotatedSinCos((wx - map.cameraX) * ZoomScale, (wy - map.cameraY) * ZoomScale, ship->sine,
                              ship->cosine);
    if (!sprite.IsOnScreen())
        return;
    // Engines and other attachments show where the ship is drawn; the ship
    // itself stays where the simulation has it.
    const float realX = ship->x, realY = ship->y;
    ship->x = wx;
    ship->y = wy;
    DrawChildLayer(0);
    ship->x = realX;
    ship->y = realY;
    // The turrets arrive with the hull, at its alpha and place (in its
    // image when it has one).
    if (!damageSprites.empty()) {
        const float r = RenderShipImage(*this, ZoomScale * std::max(spriteWidth, spriteHeight));
        if (r > 0.0f) {
            D3DEngine& engine = D3DEngine::GetInstance();
            const float uv = r / 512.0f;
            BaseSprite image;
            image.SetSize(ZoomScale * std::max(spriteWidth, spriteHeight), ZoomScale * std::max(spriteWidth, spriteHeight));
            image.SetUV(0.0f, 0.0f, uv, uv);
            image.SetColour(alpha, 255, 255, 255);
            image.PlaceRotatedSinCos((wx - map.cameraX) * ZoomScale, (wy - map.cameraY) * ZoomScale, ship->sine,
                                     ship->cosine);
            engine.SetNormalBlend();
            engine.SetTexture(engine.FindRenderTarget("rt_ship"));
            if (IGraphicsDevice* device = engine.GetDevice())
                device->DrawQuads(image.m_vertices, 4);
            engine.ClearTextureCache();
            return;
        }
    }
    sprite.SetColour(alpha, 255, 255, 255);
    AddQuad(sprite, false);
    sprite.SetColour(0xFFFFFFFFu);
    if (GUI_BattleGUI::GetInstance().turretsOn) {
        ship->x = wx;
        ship->y = wy;
        turrets.Draw(*ship, alpha);
        ship->x = realX;
        ship->y = realY;
    }
}

void GUI_Ship::DrawBeams()
{
    const GUI_Map& map = GUI_Map::GetInstance();
    for (BeamDraw& draw : beamDraws) {
        const SIM_BeamWeaponModule* beam = draw.beam;
        if (!beam->IsBeamActive() || !(beam->beamWidth > 0.0f))
            continue;
        SIM_BeamWeaponModule::BeamSegment segments[SIM_TargetedModule::kMaxTurrets + 1];
        const int n = beam->GetBeamSegments(segments, SIM_TargetedModule::kMaxTurrets + 1);
        const float width = beam->beamWidth * ZoomScale;
        const uint32_t colour = (uint32_t{ShadeByte(beam->GetBeamAlpha())} << 24) | 0xFFFFFFu;
        draw.sprite.SetColour(colour);
        // The grain scrolls along the beam, one repeat per wrap of its offset;
        // it repeats at most once along a segment (two pieces), as the frame
        // can afford for every beam in view.
        const bool grain = beam->hasGrain && beam->grainScale > 0.0f;
        const float grainRepeat = kGrainRepeatScale * beam->grainScale;
        const float grainV0 = -beam->grainOffset / kGrainWrap;
        bool reachedEnd = false;
        for (int i = 0; i < n; ++i) {
            const SIM_BeamWeaponModule::BeamSegment& s = segments[i];
            const float ex = s.start.x + (s.end.x - s.start.x) * s.fraction;
            const float ey = s.start.y + (s.end.y - s.start.y) * s.fraction;
            reachedEnd = reachedEnd || (s.fraction >= 1.0f && i == n - 1);
            const float x1 = (s.start.x - map.cameraX) * ZoomScale, y1 = (s.start.y - map.cameraY) * ZoomScale;
            const float x2 = (ex - map.cameraX) * ZoomScale, y2 = (ey - map.cameraY) * ZoomScale;
            const float length = std::sqrt((x2 - x1) * (x2 - x1) + (y2 - y1) * (y2 - y1));
            if (length < 1.0f)
                continue;
            // A quad along the beam: its texture runs across the beam's width.
            draw.sprite.SetSize(width, length);
            const float sine = (x2 - x1) / length;
            const float cosine = -(y2 - y1) / length;
            draw.sprite.PlaceRotatedSinCos((x1 + x2) * 0.5f, (y1 + y2) * 0.5f, sine, cosine);
            if (!draw.sprite.IsOnScreen())
                continue;
            AddQuad(draw.sprite, true);
            if (grain)
                SupportBeamDraws::AddBeam(QuadRunBatch::Shared(), draw.grain.GetTextureForDraw(), x1, y1, x2, y2,
                                          width, colour, grainV0, std::min(length / ZoomScale / grainRepeat, 1.0f));
        }
        // A shield that stops the beam shows the blast where it meets it, once
        // the hit has landed.
        if (beam->shieldStops && beam->IsHit() && !beam->IsDamagePending() && reachedEnd) {
            const SIM_ShipModule::Point end = beam->BeamEndPoint();
            const float a = beam->shieldImpactAngle * BattleView::kDegToRad;
            draw.blast.SetSize(kBeamBlastWidths * width, kBeamBlastWidths * width);
            draw.blast.SetColour(colour);
            draw.blast.PlaceRotatedSinCos((end.x - map.cameraX) * ZoomScale, (end.y - map.cameraY) * ZoomScale,
                                          std::sin(a), std::cos(a));
            if (draw.blast.IsOnScreen())
                AddQuad(draw.blast, true);
        }
    }
}

void GUI_Ship::DrawTeamTint()
{
    if (!ship || ship->state != SIM_Ship::ACTIVE || ship->docked)
        return;
    PlaceHullSprite();
    if (!hullSprite.IsOnScreen())
        return;
    if (ship->IsEnemy())
        hullSprite.SetColour(128, 200, 32, 32);
    else
        hullSprite.SetColour(128, 32, 200, 32);
    AddQuad(hullSprite, false);
    hullSprite.SetColour(0xFFFFFFFFu);
}

bool GUI_Ship::IsMouseOver()
{
    const float side = ZoomScale * spriteWidth;
    pickRadius = std::sqrt(2.0f * side * side);
    const CInput& input = CInput::GetInstance();
    const float mx = input.GetMouseX(), my = input.GetMouseY();
    return mx > screenX - pickRadius && mx < screenX + pickRadius && my > screenY - pickRadius &&
           my < screenY + pickRadius;
}

SIM_TargetedModule* GUI_Ship::ModuleUnderMouse() const
{
    if (!ship)
        return nullptr;
    const GUI_Map& map = GUI_Map::GetInstance();
    const CInput& input = CInput::GetInstance();
    if (!(ZoomScale > 0.0f))
        return nullptr;
    // The turret's square on the screen is turretSize x zoom: on the map, turretSize.
    const float wx = input.GetMouseX() / ZoomScale + map.cameraX;
    const float wy = input.GetMouseY() / ZoomScale + map.cameraY;
    for (SIM_TargetedModule* weapon : ship->GetTurretWeapons())
        if (weapon && weapon->IsMouseOverTurret(wx, wy))
            return weapon;
    return nullptr;
}

// ---- layers ---------------------------------------------------------------

bool GUI_Ship::OverlapsAnotherShip() const
{
    auto overlaps = [this](const SIM_Ship* other) {
        if (other == ship || other->state != SIM_Ship::ACTIVE || other->docked)
            return false;
        const float dx = other->x - ship->x, dy = other->y - ship->y;
        const float w = other->GetWidth();
        return dx * dx + dy * dy < w * w;
    };
    const SIM_ShipGrid& grid = SIM_ShipGrid::GetInstance();
    if (grid.IsOpen()) {
        // Every ship on the field is in a fleet's live list, so in the grid.
        bool found = false;
        grid.ForEachNear(nullptr, ship->x, ship->y, grid.GetMaxShipWidth() * 1.001f + 1.0f,
                         [&](const SIM_Ship* other, int) { found = found || overlaps(other); });
        return found;
    }
    for (const SIM_Ship* other : SIM_Ship::GetAllShips())
        if (overlaps(other))
            return true;
    return false;
}

void GUI_Ship::ApplyPendingLayer()
{
    if (!ship || pendingLayer == currentLayer)
        return;
    const float width = ship->GetWidth();
    if (GUI_Map::GetInstance().IsOffScreen(ship->x, ship->y, width) || !OverlapsAnotherShip())
        SetLayer(pendingLayer);
}

void GUI_Ship::SetLayer(int newLayer)
{
    if (newLayer == currentLayer || newLayer < 0 || newLayer > 2)
        return;
    GUI_ShipDrawLists::GetInstance().Move(ship, currentLayer, newLayer);
    // Fighters' glows and trails are drawn in bulk with their layer.
    for (auto& glow : engineGlows)
        if (glow->GetDrawLayer() != 1)
            glow->SetLayer(newLayer);
    for (auto& trail : conTrails)
        trail->SetLayer(newLayer);
    SIM_ShipVisual::SetLayer(newLayer);
}

// ---- destruction ----------------------------------------------------------

void GUI_Ship::OnDestructionEvent(const DestructionEvent& event)
{
    float wx, wy;
    LocalToWorld(event.x, event.y, wx, wy);
    SpawnExplosion(event.type, this, wx, wy, 0.0f, 0.0f);
    const int hullClass = ship->GetHullClass();
    if (hullClass == SIM_ShipHull::CRUISER)
        PlayImpactSound();
    if (hullClass == SIM_ShipHull::CRUISER || hullClass == SIM_ShipHull::FRIGATE) {
        // The visuals' own numbers: effects must not draw on the combat's tables.
        const float heading = VisualRange(0.0f, 360.0f);
        if (GUI_BattleGUI::GetInstance().escapePods)
            LaunchEscapePod(ship->x, ship->y, heading, !ship->IsEnemy());
    }
}

void GUI_Ship::OnBreakupStarted()
{
    if (breakup && breakup->GetState() == GUI_Breakup::IDLE)
        breakup->Start();
    if (!hulks.empty()) {
        ReleaseHulks(hulks, ship);
        hulksReleased = true;
        hulkFade = 0.0f;
        hulkFadeTime = 0.0f;
    }
}

void GUI_Ship::OnDestroyed()
{
    // A hull whose timeline has no break-up (fighters) leaves its wreck now.
    if (!hulksReleased)
        OnBreakupStarted();
    const float w = ship->GetWidth();
    switch (ship->GetHullClass()) {
    case SIM_ShipHull::CRUISER:
        SpawnSmoke(0.7f * w, 9, ship->x, ship->y);
        SpawnShockWave(3.0f * w, 1000.0f, ship->x, ship->y);
        PlaySoundAtShip(StrFormat("data/sounds/explosion_destruction_cruiser%d.ogg", SoundNumber(2)));
        break;
    case SIM_ShipHull::FRIGATE:
        SpawnShockWave(3.0f * w, 400.0f, ship->x, ship->y);
        SpawnSmoke(0.8f * w, 3, ship->x, ship->y);
        PlaySoundAtShip(StrFormat("data/sounds/explosion_destruction_frigate%d.ogg", SoundNumber(2)));
        break;
    default:
        PlaySoundAtShip(StrFormat("data/sounds/explosion_destruction_fighter%d.ogg", SoundNumber(3)));
        break;
    }
}

void GUI_Ship::PlayImpactSound()
{
    switch (ship->GetHullClass()) {
    case SIM_ShipHull::CRUISER:
        PlaySoundAtShip(StrFormat("data/sounds/explosion_impact_cruiser%d.ogg", SoundNumber(4)));
        break;
    case SIM_ShipHull::FRIGATE:
        PlaySoundAtShip(StrFormat("data/sounds/explosion_impact_frigate%d.ogg", SoundNumber(2)));
        break;
    default:
        PlaySoundAtShip("data/sounds/explosion_impact_fighter1.ogg");
        break;
    }
}

void GUI_Ship::PlaySoundAtShip(const std::string& file)
{
    GUI_EffectLog::GetInstance().Add({"sound", 0, ship->x, ship->y, 0.0f, 0.0f, file});
    if (GUI_Map::GetInstance().IsOffScreen(ship->x, ship->y, kSoundMargin))
        return;
    if (GUI_Sounds* sounds = GUI_BattleGUI::GetInstance().GetSounds())
        sounds->PlayBattleSound(file.c_str(), GUI_Sounds::BANK_EXPLOSIONS, 1.0f, 64.0f, ship->x, ship->y);
}

// ---- calls from the simulation ---------------------------------------------

void GUI_Ship::DeleteShipEmmiters()
{
    for (auto& emitter : shipEmmiters)
        RemoveFromParent(emitter.get());
    shipEmmiters.clear();
    NoteOwnKinds();
    NoteParticleReach();
    SIM_ShipVisual::DeleteShipEmmiters();
}

void GUI_Ship::DeleteDamageSprites()
{
    damageSprites.clear();
    ++imageVersion;
    damageMarksShown = 0;
    SIM_ShipVisual::DeleteDamageSprites();
}

void GUI_Ship::ShowHitEffects(const SIM_ShipHull::Target& location, float damage, float dx, float dy)
{
    SIM_ShipVisual::ShowHitEffects(location, damage, dx, dy);
    if (!ship)
        return;
    float wx, wy;
    LocalToWorld(location.x, location.y, wx, wy);
    if (ship->GetHullClass() == SIM_ShipHull::CRUISER) {
        if (damage > 20.0f && VisualChance(0.25f)) {
            SpawnExplosion(9, this, wx, wy, dx, dy);
            SpawnExplosion(8, this, wx, wy, dx, dy);
        } else {
            SpawnExplosion(7, this, wx, wy, dx, dy);
            SpawnExplosion(4, this, wx, wy, dx, dy);
            SpawnExplosion(6, this, wx, wy, dx, dy);
        }
    } else {
        if (VisualChance(0.25f))
            SpawnExplosion(16, this, wx, wy, dx, dy);
        SpawnExplosion(7, this, wx, wy, dx, dy);
        SpawnExplosion(4, this, wx, wy, dx, dy);
        SpawnExplosion(6, this, wx, wy, dx, dy);
    }
    PlayImpactSound();
    if (location.named)
        AddDamageEmitters(location, dx, dy);
    // The battle decided the glare (and its push); only its picture is ours.
    if (hitGlareDue)
        SpawnBlastGlare(0.25f * spriteWidth, wx, wy, this);
    if (location.hasRect)
        AddDamageSpriteOnce(location, dx, dy);
}

void GUI_Ship::AddDamageEmitters(const SIM_ShipHull::Target& location, float dx, float dy)
{
    for (const auto& emitter : shipEmmiters)
        if (emitter->x == location.x && emitter->y == location.y)
            return;
    const EmitterRow* rows = nullptr;
    size_t count = 0;
    if (location.name == "SHIP_EMMITER_LARGE") {
        rows = kLargeEmitters;
        count = std::size(kLargeEmitters);
    } else if (location.name == "SHIP_EMMITER_SMALL") {
        rows = kSmallEmitters;
        count = std::size(kSmallEmitters);
    } else if (location.name == "SHIP_EMMITER_THIN") {
        rows = kThinEmitters;
        count = std::size(kThinEmitters);
    }
    for (size_t i = 0; i < count; ++i) {
        float x = location.x, y = location.y;
        if (rows[i].jitter) {
            x += VisualFloat() * 6.0f - 3.0f;
            y += VisualFloat() * 6.0f - 3.0f;
        }
        // Each kind's first emitter sits exactly on the location: a second
        // hit there finds it.
        auto emitter = std::make_unique<GUI_ShipEmmiter>(ship, rows[i].config, x, y, rows[i].life, rows[i].minZoom, dx,
                                                         dy);
        AddChild(emitter.get());
        shipEmmiters.push_back(std::move(emitter));
    }
    emitterCount = static_cast<int>(shipEmmiters.size());
    UpdateEmptyLayers();
    NoteOwnKinds();
    NoteParticleReach();
}

void GUI_Ship::AddDamageSpriteOnce(const SIM_ShipHull::Target& location, float dx, float dy)
{
    for (const auto& sprite : damageSprites)
        if (&sprite->GetLocation() == &location)
            return;
    damageSprites.push_back(std::make_unique<GUI_DamageSprite>(location, ship, damageTexture.GetHandle(),
                                                               ship->IsFighter(), dx, dy));
    ++imageVersion;
    damageMarksShown = static_cast<int>(damageSprites.size());
}

void GUI_Ship::AddDamageSprite(const SIM_ShipHull::Target& location)
{
    damageSprites.push_back(
        std::make_unique<GUI_DamageSprite>(location, ship, damageTexture.GetHandle(), ship->IsFighter(), 0.0f, 0.0f));
    ++imageVersion;
    damageMarksShown = static_cast<int>(damageSprites.size());
    AddDamageEmitters(location, 0.0f, 0.0f);
}

GUI_DamageSprite* GUI_Ship::PickDamageSprite()
{
    int shown = 0;
    for (const auto& sprite : damageSprites)
        shown += sprite->GetState() == GUI_DamageSprite::SHOWN ? 1 : 0;
    if (shown == 0)
        return nullptr;
    int pick = VisualInt() % shown;
    for (const auto& sprite : damageSprites) {
        if (sprite->GetState() != GUI_DamageSprite::SHOWN)
            continue;
        if (pick-- == 0)
            return sprite.get();
    }
    return nullptr;
}

void GUI_Ship::ShowExistingDamage(float healthFraction)
{
    const SIM_ShipHull* hull = ship ? ship->GetHull() : nullptr;
    QLM_ASSERT(hull != nullptr);
    if (!hull)
        return;
    int n = static_cast<int>(static_cast<float>(hull->GetTargets().size()) * (1.0f - healthFraction));
    for (const SIM_ShipHull::Target& location : hull->GetTargets()) {
        if (n < 1)
            break;
        if (!location.hasRect)
            continue;
        AddDamageSprite(location);
        --n;
    }
}

void GUI_Ship::ShowShieldImpact(float x, float y)
{
    SIM_ShipVisual::ShowShieldImpact(x, y);
    if (!shield)
        return;
    shield->Flash();
    // A hit the shield took as a whole (at the ship's centre) only flashes;
    // a shot that crossed the bubble also marks where.
    if (x != ship->x || y != ship->y) {
        shield->AddBlast(x, y);
        shield->AddImpact(kBeamImpactSize, x, y);
        // A beam's damage text stays where the beam met the bubble.
        GUI_DamageFeedbackManager::GetInstance().SetLatestHitPosition(ship, x, y);
    }
}

void GUI_Ship::ShowShieldCollapse()
{
    SIM_ShipVisual::ShowShieldCollapse();
    if (shield)
        shield->Collapse();
}

void GUI_Ship::SetShieldEffect(bool on)
{
    SIM_ShipVisual::SetShieldEffect(on);
    if (shield)
        shield->SetUp(HasShieldBubble());
}

void GUI_Ship::ShowArmourSpark(float x, float y)
{
    SIM_ShipVisual::ShowArmourSpark(x, y);
    if (splats)
        splats->AddArmourGlow(x, y);
}

void GUI_Ship::ShowRadiationSplat(float x, float y)
{
    if (!splats)
        splats = std::make_unique<GUI_SplatManager>(ship);
    splats->AddRadiation(x, y);
}

void GUI_Ship::ShowECMShock()
{
    if (!ecmShock)
        ecmShock = std::make_unique<GUI_ECMShock>(ship);
    ecmShock->Start();
}

void GUI_Ship::StopSound()
{
    if (ecmShock)
        ecmShock->Stop();
}

void GUI_Ship::ShowSmartBomb(float strength)
{
    if (!smartBomb)
        smartBomb = std::make_unique<GUI_SmartBombEffect>(ship, strength);
    smartBomb->Restart();
}

void GUI_Ship::ActivateTractorBeams()
{
    if (tractorBeams)
        tractorBeams->Activate(GUI_BattleGUI::GetInstance().battleTime);
}
