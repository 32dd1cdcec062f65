#include "battle/MissileRenderer.h"

#include <algorithm>
#include <cmath>

#include "battle/VisualRandom.h"
#include "engine/D3DEngine.h"
#include "engine/QuadRunBatch.h"
#include "sim/SIM_ShipModuleType.h"
#include "sim/modules/SIM_Missile.h"
#include "sim/modules/SIM_MissileModule.h"

namespace {

constexpr int kFlareCells = 4;
constexpr int kRopeStyle = 1;

} // namespace

MissileRenderer::MissileRenderer()
    : ropeTexture("contrails.dds"), flareTexture("missile_flare.dds"), puffTexture("particles.dds"),
      bodyTexture("missile.dds")
{
}

MissileRenderer& MissileRenderer::GetInstance()
{
    static MissileRenderer instance;
    return instance;
}

void MissileRenderer::Reset()
{
    trails.clear();
    drawn.clear();
    turns.clear();
    launcherKeys.clear();
    launcherTrails.clear();
    launcherShowing.clear();
}

void MissileRenderer::MatchLaunchers()
{
    const std::vector<SIM_MissileModule*>& launchers = SIM_MissileModule::GetLaunchers();
    if (launchers.size() == launcherKeys.size() && std::equal(launchers.begin(), launchers.end(), launcherKeys.begin()))
        return;
    launcherKeys.assign(launchers.begin(), launchers.end());
    launcherTrails.resize(launchers.size());
    launcherShowing.assign(launchers.size(), 1);
    for (size_t i = 0; i < launchers.size(); ++i) {
        const auto it = trails.find(&launchers[i]->GetMissile());
        launcherTrails[i] = it == trails.end() ? nullptr : it->second.get();
    }
}

const MissileRenderer::Trails* MissileRenderer::Find(const SIM_Missile* missile) const
{
    const auto it = trails.find(missile);
    return it == trails.end() ? nullptr : it->second.get();
}

MissileRenderer::Trails& MissileRenderer::TrailsOf(const SIM_Missile& missile)
{
    std::unique_ptr<Trails>& slot = trails[&missile];
    if (!slot) {
        // Made once per missile object, which every launch reuses.
        slot = std::make_unique<Trails>();
        slot->rope.Init(kRopeStyle, 0.0f, static_cast<float>(TrailSimulation::kMaxPoints), kRopeWidth,
                        kRopeSegment);
        if (missile.trailMode == SIM_Missile::SPLINE)
            slot->spline = std::make_unique<MissileSplineTrail>();
        if (missile.moduleType) {
            // A strip of four flares; a number past it keeps to the strip.
            const int cell = static_cast<int>(missile.moduleType->GetConfigFloat("flareuvid", 0.0f));
            slot->flareCell = std::clamp(cell, 0, kFlareCells - 1);
        }
    }
    return *slot;
}

void MissileRenderer::Follow(const SIM_Missile& missile, float frameMs, Trails*& known)
{
    const bool shows = missile.IsLive() || (known && !known->faded && known->Shows());
    if (known)
        known->faded = !shows;
    if (shows) {
        if (!known)
            known = &TrailsOf(missile);
        Trails& t = *known;
        if (missile.IsLive() && (!t.wasLive || t.flight != missile.GetFlight())) {
            // A new flight: the trails start again from the launch point.
            t.flight = missile.GetFlight();
            t.rope.Reset();
            t.rope.SetDetached(false);
            // A trail without a fade time is gone as soon as it is laid.
            t.rope.SetLifetime(std::max(missile.trailFadeTime, 1.0f));
            if (t.spline)
                t.spline->Reset(missile.x, missile.y);
        }
        if (missile.IsLive()) {
            if (missile.trailMode == SIM_Missile::ROPE) {
                t.rope.SetHeadPosition(missile.x, missile.y);
                t.rope.AddAge(frameMs);
                t.rope.MoveHead(missile.angle, missile.x, missile.y);
            } else if (t.spline && missile.step > 0.0f) {
                t.spline->Update(missile.step, missile.x, missile.y, missile.angle, frameMs);
            }
            t.flickerTimer += frameMs;
            if (t.flickerTimer > kFlickerMs) {
                t.flickerTimer = 0.0f;
                t.flickerScale = VisualRange(0.84f, 1.0f);
            }
        } else {
            if (t.wasLive) {
                t.rope.SetDetached(true);
                if (t.spline)
                    t.spline->SetOrphaned();
            }
            t.rope.AddAge(frameMs);
        }
        t.wasLive = missile.IsLive();
        drawn.emplace_back(&missile, &t);
    }
    for (int i = 0; i < SIM_Missile::kDecoys; ++i) {
        if (const SIM_Missile* decoy = missile.GetDecoy(i)) {
            const auto it = trails.find(decoy);
            Trails* decoyTrails = it == trails.end() ? nullptr : it->second.get();
            Follow(*decoy, frameMs, decoyTrails);
        }
    }
}

MissileRenderer::Turn MissileRenderer::TurnOf(const SIM_Missile& missile)
{
    const float a = missile.angle * BattleView::kDegToRad;
    return {std::sin(a), std::cos(a)};
}

bool MissileRenderer::BodyQuad(const SIM_Missile& missile, const BattleView& view, ScreenVertex quad[4])
{
    return missile.IsLive() && BodyQuad(missile, TurnOf(missile), view, quad);
}

bool MissileRenderer::BodyQuad(const SIM_Missile& missile, Turn turn, const BattleView& view, ScreenVertex quad[4])
{
    if (!missile.IsLive())
        return false;
    static const float kWhole[4] = {0.0f, 1.0f, 0.0f, 1.0f};
    PlaceHeadingQuad(view.ScreenX(missile.x), view.ScreenY(missile.y), missile.width * view.zoom,
                     missile.length * view.zoom, turn.sine, turn.cosine, kWhole, 0xFFFFFFFFu, quad);
    return view.Shows(quad);
}

bool MissileRenderer::FlareQuad(const SIM_Missile& missile, int cell, float flicker, const BattleView& view,
                                ScreenVertex quad[4])
{
    return missile.IsLive() && FlareQuad(missile, TurnOf(missile), cell, flicker, view, quad);
}

bool MissileRenderer::FlareQuad(const SIM_Missile& missile, Turn turn, int cell, float flicker,
                                const BattleView& view, ScreenVertex quad[4])
{
    if (!missile.IsLive() || !missile.hasFlare || !(missile.fuel > 0.0f))
        return false;
    const float burnt = missile.fuel - missile.fuelLeft;
    const float size = std::min(burnt * kFlareGrowth, kFlareMaxSize) * view.zoom * flicker;
    if (!(size > 0.0f))
        return false;
    const float left = missile.fuelLeft / missile.fuel;
    const float alpha = left >= kFlareFadeShare ? 1.0f : left / kFlareFadeShare;
    const float s = turn.sine, c = turn.cosine;
    // Half the missile's length behind it.
    const float back = missile.length * 0.5f;
    const float u = static_cast<float>(std::clamp(cell, 0, kFlareCells - 1)) / kFlareCells;
    const float uv[4] = {u, u + 1.0f / kFlareCells, 0.0f, 1.0f};
    PlaceHeadingQuad(view.ScreenX(missile.x - s * back), view.ScreenY(missile.y + c * back), size, size, s, c, uv,
                     WhiteAlpha(alpha), quad);
    return view.Shows(quad);
}

void MissileRenderer::Draw(float frameMs)
{
    drawn.clear();
    MatchLaunchers();
    // By index: following a missile neither adds nor removes launchers.
    const std::vector<SIM_MissileModule*>& launchers = SIM_MissileModule::GetLaunchers();
    const std::vector<unsigned char>& awake = SIM_MissileModule::GetAwakeFlags();
    for (size_t i = 0; i < launcherKeys.size(); ++i) {
        if (!awake[i] && !launcherShowing[i])
            continue;
        const size_t before = drawn.size();
        Follow(launchers[i]->GetMissile(), frameMs, launcherTrails[i]);
        launcherShowing[i] = drawn.size() != before ? 1 : 0;
    }
    if (drawn.empty() || !D3DEngine::GetInstance().IsInitialised())
        return;

    const BattleView view = BattleView::FromCamera();
    QuadRunBatch& batch = QuadRunBatch::Shared();
    const bool own = !batch.IsOpen();
    if (own)
        batch.Begin(static_cast<int>(view.width), static_cast<int>(view.height));
    const TextureHandle rope = ropeTexture.GetHandle();
    // The view every rope's box is tested against, read once.
    const TrailSimulation::Screen screen = TrailSimulation::Screen::Current();
    for (const auto& [missile, t] : drawn) {
        if (missile->trailMode != SIM_Missile::ROPE)
            continue;
        if (t->rope.MayShowOnScreen(screen))
            t->rope.Draw(rope, false);
        else
            t->rope.SkipDraw();
    }
    const TextureHandle puffs = puffTexture.GetHandle();
    for (const auto& [missile, t] : drawn)
        if (missile->trailMode == SIM_Missile::SPLINE && t->spline)
            t->spline->Draw(view, frameMs, batch, puffs);
    ScreenVertex quad[4];
    // A live missile's turn is worked out with its body and kept for its
    // flare; the others' entries are left as they were and not read.
    turns.resize(drawn.size());
    const TextureHandle body = bodyTexture.GetHandle();
    for (size_t i = 0; i < drawn.size(); ++i) {
        const SIM_Missile& missile = *drawn[i].first;
        if (!missile.IsLive())
            continue;
        turns[i] = TurnOf(missile);
        if (BodyQuad(missile, turns[i], view, quad))
            batch.Add(body, false, quad);
    }
    const TextureHandle flare = flareTexture.GetHandle();
    for (size_t i = 0; i < drawn.size(); ++i) {
        const auto& [missile, t] = drawn[i];
        if (missile->IsLive() && FlareQuad(*missile, turns[i], t->flareCell, t->flickerScale, view, quad))
            batch.Add(flare, true, quad);
    }
    if (own)
        batch.End();
    D3DEngine::GetInstance().SetNormalBlend();
}
