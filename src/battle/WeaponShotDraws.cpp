#include "battle/WeaponShotDraws.h"

#include <algorithm>
#include <cmath>

#include "battle/GUI_ParticleEmmiter.h"
#include "battle/SupportBeamDraws.h"
#include "engine/D3DEngine.h"
#include "engine/QuadRunBatch.h"
#include "engine/SmartTexture.h"
#include "sim/SIM_Ship.h"
#include "sim/modules/SIM_LightningGunModule.h"
#include "sim/modules/SIM_Plasma.h"
#include "sim/modules/SIM_PlasmaLauncherModule.h"

namespace {

SmartTexture& PlasmaSheet()
{
    static SmartTexture sheet;
    return sheet;
}

void PlasmaCell(int cell, float uv[4])
{
    const int c = std::clamp(cell, 0, WeaponShotDraws::kPlasmaCells - 1);
    uv[0] = static_cast<float>(c) / WeaponShotDraws::kPlasmaCells;
    uv[1] = static_cast<float>(c + 1) / WeaponShotDraws::kPlasmaCells;
    uv[2] = 0.0f;
    uv[3] = 1.0f;
}

void PlaceTurned(const SIM_Plasma& torpedo, const BattleView& view, float side, float degrees, int cell,
                 uint32_t colour, ScreenVertex quad[4])
{
    float uv[4];
    PlasmaCell(cell, uv);
    const float a = degrees * BattleView::kDegToRad;
    PlaceHeadingQuad(view.ScreenX(torpedo.x), view.ScreenY(torpedo.y), side, side, std::sin(a), std::cos(a), uv,
                     colour, quad);
}

} // namespace

WeaponShotDraws::WeaponShotDraws() = default;
WeaponShotDraws::~WeaponShotDraws() = default;

void WeaponShotDraws::Build(const SIM_Ship& ship)
{
    arcs.clear();
    torpedoes.clear();
    for (SIM_ShipModule* module : ship.GetModules()) {
        if (auto* gun = dynamic_cast<SIM_LightningGunModule*>(module)) {
            Arc& arc = arcs.emplace_back();
            arc.gun = gun;
            arc.sprite.SetTexture(gun->texture);
        } else if (auto* launcher = dynamic_cast<SIM_PlasmaLauncherModule*>(module)) {
            Torpedo& torpedo = torpedoes.emplace_back();
            torpedo.launcher = launcher;
            if (launcher->torpedo.style == SIM_Plasma::FRAGMENTED) {
                torpedo.trail.reset(GUI_ParticleEmmiter::Create("fragmented_plasma_torpedo", 0.0f, 0.0f, 0.0f, 0.0f));
                torpedo.trailReach = torpedo.trail->GetReach();
            }
            if (PlasmaSheet().GetName().empty())
                PlasmaSheet().SetName("plasma.dds");
        }
    }
}

bool WeaponShotDraws::AnyShowing() const
{
    for (const Arc& arc : arcs)
        if (arc.gun->IsArcActive())
            return true;
    for (const Torpedo& torpedo : torpedoes)
        if (torpedo.launcher->torpedo.live)
            return true;
    return false;
}

void WeaponShotDraws::ArcCell(int flickerFrame, int turret, float& u0, float& u1)
{
    const int cell = ((flickerFrame + turret) % kArcCells + kArcCells) % kArcCells;
    u0 = static_cast<float>(cell) / kArcCells;
    u1 = u0 + 1.0f / kArcCells;
}

float WeaponShotDraws::ArcRepeats(float length, float beamWidth)
{
    if (!(beamWidth > 0.0f))
        return 0.0f;
    return std::min(std::ceil(length / (beamWidth * kArcRepeatWidths)), kMaxArcRepeats);
}

int WeaponShotDraws::TorpedoQuads(const SIM_Plasma& torpedo, const BattleView& view, ScreenVertex quads[4][4])
{
    if (!torpedo.live)
        return 0;
    const float size = torpedo.spriteSize * view.zoom;
    if (torpedo.style == SIM_Plasma::FRAGMENTED) {
        // A wide faint halo at a new turn every frame, the core turned with the torpedo.
        PlaceTurned(torpedo, view, size * kFragmentedHaloScale, torpedo.haloAngles[0], torpedo.haloCell,
                    (uint32_t{kFragmentedHaloAlpha} << 24) | 0xFFFFFFu, quads[0]);
        PlaceTurned(torpedo, view, size, torpedo.angle, torpedo.coreCell, 0xFFFFFFFFu, quads[1]);
        return 2;
    }
    PlaceTurned(torpedo, view, size, torpedo.coreAngle, torpedo.coreCell, 0xFFFFFFFFu, quads[0]);
    for (int i = 0; i < 3; ++i)
        PlaceTurned(torpedo, view, size * kStandardHaloScale, torpedo.haloAngles[i], torpedo.haloCell, 0xFFFFFFFFu,
                    quads[i + 1]);
    return 4;
}

void WeaponShotDraws::DrawArcs(QuadRunBatch& batch, Arc& arc, const BattleView& view)
{
    const SIM_LightningGunModule& gun = *arc.gun;
    const TextureHandle texture = arc.sprite.GetTextureForDraw();
    const uint32_t colour = WhiteAlpha(gun.alpha);
    const size_t turrets = std::min(gun.GetTurretCount(), size_t{SIM_TargetedModule::kMaxTurrets});
    const size_t count = turrets > 0 ? turrets : 1;
    for (size_t i = 0; i < count; ++i) {
        const SIM_ShipModule::Point from = turrets > 0 ? gun.GetTurretWorldPos(i) : gun.GetWorldPos();
        const SIM_ShipModule::Point end = gun.ArcEnd(from.x, from.y);
        const float length = std::hypot(end.x - from.x, end.y - from.y);
        float u0, u1;
        ArcCell(gun.flickerFrame, static_cast<int>(i), u0, u1);
        SupportBeamDraws::AddBeam(batch, texture, view.ScreenX(from.x), view.ScreenY(from.y), view.ScreenX(end.x),
                                  view.ScreenY(end.y), gun.beamWidth * view.zoom, colour, 0.0f,
                                  ArcRepeats(length, gun.beamWidth), u0, u1);
    }
}

void WeaponShotDraws::Draw(QuadRunBatch& batch, bool shipHidden, float frameMs)
{
    const BattleView view = BattleView::FromCamera();
    if (!shipHidden)
        for (Arc& arc : arcs)
            if (arc.gun->IsArcActive() && arc.gun->GetTarget())
                DrawArcs(batch, arc, view);
    for (Torpedo& entry : torpedoes) {
        const SIM_Plasma& torpedo = entry.launcher->torpedo;
        if (!torpedo.live)
            continue;
        // Its widest halo's corner reaches no farther than this.
        const bool quadsOff = view.IsOffScreen(torpedo.x, torpedo.y, torpedo.spriteSize * kFragmentedHaloScale);
        if (!quadsOff) {
            ScreenVertex quads[4][4];
            const int n = TorpedoQuads(torpedo, view, quads);
            const TextureHandle texture = n > 0 ? PlasmaSheet().GetHandle() : 0;
            for (int i = 0; i < n; ++i)
                if (view.Shows(quads[i]))
                    batch.Add(texture, true, quads[i]);
        }
        if (entry.trail)
            StepTrail(entry, torpedo, view, frameMs);
    }
}

bool WeaponShotDraws::TrailMayShow(const GUI_ParticleEmmiter::Reach& reach, const SIM_Plasma& torpedo,
                                   const BattleView& view)
{
    if (!reach.known || !(view.zoom > 0.0f))
        return true;
    // A particle is placed on whole pixels: a pixel more of margin.
    return !view.IsOffScreen(torpedo.x, torpedo.y, reach.At(std::fabs(torpedo.speed)) + 1.0f / view.zoom);
}

void WeaponShotDraws::StepTrail(Torpedo& entry, const SIM_Plasma& torpedo, const BattleView& view, float frameMs)
{
    if (torpedo.fuelLeft > entry.lastFuel)
        entry.trail->Restart(torpedo.x, torpedo.y, 0.0f, 0.0f);
    entry.lastFuel = torpedo.fuelLeft;
    entry.trail->x = torpedo.x;
    entry.trail->y = torpedo.y;
    // The trail keeps its flow out of view, but while none of its particles
    // can reach the view they are stepped without being placed (a particle
    // off the screen neither shows nor turns either way).
    const bool place = D3DEngine::GetInstance().IsInitialised() && TrailMayShow(entry.trailReach, torpedo, view);
    entry.trail->Advance(frameMs, frameMs / 12.0f, place);
}
