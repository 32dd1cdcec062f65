#include "battle/SupportBeamDraws.h"

#include <algorithm>
#include <cmath>

#include "battle/GUI_Map.h"
#include "battle/GUI_PostProcessor.h"
#include "engine/D3DEngine.h"
#include "engine/QuadRunBatch.h"
#include "sim/SIM_Ship.h"
#include "sim/SIM_ShipModuleType.h"
#include "sim/modules/SIM_ECMBeamModule.h"
#include "sim/modules/SIM_ECMShockModule.h"
#include "sim/modules/SIM_Missile.h"
#include "sim/modules/SIM_PointDefenceModule.h"
#include "sim/modules/SIM_ShieldSupportBeam.h"
#include "sim/modules/SIM_TargetPainterModule.h"
#include "sim/modules/SIM_TractorModule.h"

namespace {

constexpr float kTwoPi = 6.2831853f;

uint32_t White(float alpha)
{
    const auto a = static_cast<uint32_t>(std::clamp(alpha, 0.0f, 1.0f) * 255.0f + 0.5f);
    return (a << 24) | 0xFFFFFFu;
}

} // namespace

void SupportBeamDraws::Build(const SIM_Ship& ship)
{
    entries.clear();
    for (SIM_TargetedModule* module : ship.GetTurretWeapons()) {
        Entry entry;
        entry.module = module;
        if (auto* ecm = dynamic_cast<SIM_ECMBeamModule*>(module)) {
            entry.kind = Kind::ECM_BEAM;
            entry.sprite.SetTexture(ecm->beamTexture);
        } else if (auto* shock = dynamic_cast<SIM_ECMShockModule*>(module)) {
            entry.kind = Kind::ECM_SHOCK;
            entry.sprite.SetTexture(shock->beamTexture);
        } else if (auto* support = dynamic_cast<SIM_ShieldSupportBeam*>(module)) {
            entry.kind = Kind::SHIELD_SUPPORT;
            entry.sprite.SetTexture(support->beamSprite);
        } else if (auto* painter = dynamic_cast<SIM_TargetPainterModule*>(module)) {
            entry.kind = Kind::PAINTER;
            entry.sprite.SetTexture(painter->beamSprite);
        } else if (auto* defence = dynamic_cast<SIM_PointDefenceModule*>(module)) {
            entry.kind = Kind::POINT_DEFENCE;
            entry.sprite.SetTexture(defence->beamTexture);
        } else if (dynamic_cast<SIM_TractorModule*>(module)) {
            entry.kind = Kind::TRACTOR;
            const char* texture = module->GetType() ? module->GetType()->GetConfigString("texture") : nullptr;
            entry.sprite.SetTexture(texture ? texture : "");
        } else {
            continue;
        }
        entries.push_back(std::move(entry));
    }
}

uint8_t SupportBeamDraws::SupportPulseAlpha(const SIM_TargetedModule& module, int turret)
{
    const auto& support = static_cast<const SIM_ShieldSupportBeam&>(module);
    if (!(support.pulseDuration > 0.0f))
        return 255;
    const float offset = support.pulseOffsets[std::clamp(turret, 0, SIM_ShieldSupportBeam::kPulses - 1)];
    const float wave = 0.5f + 0.5f * std::sin((support.pulseTimer + offset) / support.pulseDuration * kTwoPi);
    // Between about half and full strength, each turret in its own phase.
    return static_cast<uint8_t>(140.0f + 115.0f * wave + 0.5f);
}

namespace {

// Asked for every entry of every ship drawn, each frame: inlined there.
[[gnu::always_inline]] inline bool Showing(const SupportBeamDraws::Entry& entry)
{
    using Kind = SupportBeamDraws::Kind;
    const SIM_TargetedModule* module = entry.module;
    switch (entry.kind) {
    case Kind::ECM_BEAM: {
        const auto* ecm = static_cast<const SIM_ECMBeamModule*>(module);
        return ecm->state == SIM_ECMBeamModule::BEAMING && ecm->missile && !(ecm->beamTimer > ecm->beamDuration);
    }
    case Kind::ECM_SHOCK:
        return static_cast<const SIM_ECMShockModule*>(module)->showing && module->target;
    case Kind::SHIELD_SUPPORT: {
        const auto* support = static_cast<const SIM_ShieldSupportBeam*>(module);
        return support->discharging && support->GetSupportedShip();
    }
    case Kind::PAINTER: {
        const auto* painter = static_cast<const SIM_TargetPainterModule*>(module);
        return painter->painting && painter->GetPaintedShip();
    }
    case Kind::POINT_DEFENCE: {
        const auto* defence = static_cast<const SIM_PointDefenceModule*>(module);
        return defence->state == SIM_PointDefenceModule::FIRING && defence->missile;
    }
    case Kind::TRACTOR: {
        const auto* tractor = static_cast<const SIM_TractorModule*>(module);
        return tractor->tractorState == SIM_TractorModule::HOLDING && module->target && tractor->enabled;
    }
    }
    return false;
}

} // namespace

bool SupportBeamDraws::IsShowing(const Entry& entry)
{
    return Showing(entry);
}

bool SupportBeamDraws::AnyShowing() const
{
    for (const Entry& entry : entries)
        if (Showing(entry))
            return true;
    return false;
}

SupportBeamDraws::Look SupportBeamDraws::LookOf(const Entry& entry)
{
    Look look;
    if (!IsShowing(entry))
        return look;
    switch (entry.kind) {
    case Kind::ECM_BEAM: {
        const auto& ecm = static_cast<const SIM_ECMBeamModule&>(*entry.module);
        if (ecm.state != SIM_ECMBeamModule::BEAMING || !ecm.missile || ecm.beamTimer > ecm.beamDuration)
            break;
        look.on = true;
        look.endX = ecm.missile->x;
        look.endY = ecm.missile->y;
        look.width = ecm.beamWidth;
        look.colour = White(ecm.pulseAlpha);
        break;
    }
    case Kind::ECM_SHOCK: {
        const auto& shock = static_cast<const SIM_ECMShockModule&>(*entry.module);
        if (!shock.showing || !shock.GetTarget())
            break;
        look.on = true;
        look.endX = shock.aimPoint.x;
        look.endY = shock.aimPoint.y;
        look.width = shock.beamWidth;
        look.v0 = shock.scroll * 0.0078125f;
        look.repeat = kShockRepeat;
        break;
    }
    case Kind::SHIELD_SUPPORT: {
        const auto& support = static_cast<const SIM_ShieldSupportBeam&>(*entry.module);
        const SIM_Ship* fed = support.GetSupportedShip();
        if (!support.IsDischarging() || !fed)
            break;
        look.on = true;
        look.endX = fed->x;
        look.endY = fed->y;
        look.width = support.beamWidth;
        break;
    }
    case Kind::PAINTER: {
        const auto& painter = static_cast<const SIM_TargetPainterModule&>(*entry.module);
        const SIM_Ship* painted = painter.GetPaintedShip();
        if (!painter.IsPainting() || !painted)
            break;
        look.on = true;
        look.endX = painted->x;
        look.endY = painted->y;
        look.width = kPainterWidth;
        look.colour = painter.IsBlinkOn() ? 0xFFFFFFFFu : (uint32_t{kPainterDimAlpha} << 24) | 0xFFFFFFu;
        look.v0 = painter.GetTextureOffset();
        look.repeat = kPainterRepeat;
        break;
    }
    case Kind::TRACTOR: {
        const auto& tractor = static_cast<const SIM_TractorModule&>(*entry.module);
        if (!tractor.IsEnabled() || !tractor.GetHeldShip())
            break;
        look.on = true;
        look.endX = tractor.GetBeamEnd().x;
        look.endY = tractor.GetBeamEnd().y;
        look.width = kTractorWidth;
        look.v0 = tractor.GetTextureScroll() / 1000.0f;
        look.repeat = kTractorRepeat;
        break;
    }
    case Kind::POINT_DEFENCE: {
        const auto& defence = static_cast<const SIM_PointDefenceModule&>(*entry.module);
        if (defence.state != SIM_PointDefenceModule::FIRING || !defence.missile)
            break;
        look.on = true;
        look.endX = defence.missile->x;
        look.endY = defence.missile->y;
        look.width = defence.beamWidth;
        break;
    }
    }
    look.width = std::max(look.width, kMinWidth);
    return look;
}

void SupportBeamDraws::Draw(QuadRunBatch& batch)
{
    const GUI_Map& map = GUI_Map::GetInstance();
    const float zoom = ZoomScale, camX = map.cameraX, camY = map.cameraY;
    for (Entry& entry : entries) {
        const Look look = LookOf(entry);
        if (!look.on)
            continue;
        const SIM_TargetedModule& module = *entry.module;
        const float ex = (look.endX - camX) * zoom, ey = (look.endY - camY) * zoom;
        const TextureHandle texture = entry.sprite.GetTextureForDraw();
        const bool support = entry.kind == Kind::SHIELD_SUPPORT;
        const size_t turrets = std::min(module.GetTurretCount(), size_t{SIM_TargetedModule::kMaxTurrets});
        const size_t beams = turrets > 0 ? turrets : 1;
        for (size_t i = 0; i < beams; ++i) {
            const SIM_ShipModule::Point p = turrets > 0 ? module.GetTurretWorldPos(i) : module.GetWorldPos();
            const float span =
                look.repeat > 0.0f ? std::hypot(look.endX - p.x, look.endY - p.y) * look.repeat : 0.0f;
            uint32_t colour = look.colour;
            if (support)
                colour = (uint32_t{SupportPulseAlpha(module, static_cast<int>(i))} << 24) | 0xFFFFFFu;
            AddBeam(batch, texture, (p.x - camX) * zoom, (p.y - camY) * zoom, ex, ey, look.width * zoom, colour,
                    look.v0, span);
        }
    }
}

int SupportBeamDraws::AddPieces(QuadRunBatch& batch, TextureHandle texture, float x1, float y1, float x2, float y2,
                                float width, uint32_t colour, float v0, float span, float u0, float u1)
{
    const float half = width * 0.5f;
    const float dx = x2 - x1, dy = y2 - y1;
    const float length = std::sqrt(dx * dx + dy * dy);
    if (!(length >= 1.0f) || !(width > 0.0f))
        return 0;
    // Across the beam, half its width each way.
    const float nx = -dy / length * half, ny = dx / length * half;
    // A long beam that crosses the screen lies mostly off it: its pieces
    // wholly off the screen, and off the margin right and below it that the
    // end passes read, are left out, the rest staged together, in one call
    // to the batch.
    const D3DEngine& engine = D3DEngine::GetInstance();
    const float far = std::max(static_cast<float>(engine.GetScreenWidth()), GUI_PostProcessor::ReadRight());
    const float low = std::max(static_cast<float>(engine.GetScreenHeight()), GUI_PostProcessor::ReadBottom());
    const float acrossX = std::fabs(nx), acrossY = std::fabs(ny);
    ScreenVertex quads[4 * kMaxPieces];
    int added = 0;
    auto piece = [&](float f0, float f1, float va, float vb) {
        const float ax = x1 + dx * f0, ay = y1 + dy * f0, bx = x1 + dx * f1, by = y1 + dy * f1;
        if (std::max(ax, bx) + acrossX < 0.0f || std::min(ax, bx) - acrossX > far ||
            std::max(ay, by) + acrossY < 0.0f || std::min(ay, by) - acrossY > low)
            return;
        ScreenVertex* quad = quads + 4 * added;
        quad[0] = {ax - nx, ay - ny, 0.0f, 1.0f, colour, u0, va};
        quad[1] = {ax + nx, ay + ny, 0.0f, 1.0f, colour, u1, va};
        quad[2] = {bx - nx, by - ny, 0.0f, 1.0f, colour, u0, vb};
        quad[3] = {bx + nx, by + ny, 0.0f, 1.0f, colour, u1, vb};
        ++added;
    };
    if (!(span > 0.0f) || !std::isfinite(span) || !std::isfinite(v0)) {
        piece(0.0f, 1.0f, 0.0f, 1.0f);
    } else {
        // Repeats past the most pieces allowed are stretched to fit them.
        const float repeats = std::min(span, static_cast<float>(kMaxPieces - 1));
        const float start = v0 - std::floor(v0); // 0..1
        const float end = start + repeats;
        int laid = 0;
        for (float from = start; from < end && laid < kMaxPieces; ++laid) {
            const float cell = std::floor(from);
            const float to = std::min(cell + 1.0f, end);
            piece((from - start) / repeats, (to - start) / repeats, from - cell, to - cell);
            from = to;
        }
    }
    if (added > 0)
        batch.AddQuads(texture, true, quads, static_cast<size_t>(added));
    return added;
}
