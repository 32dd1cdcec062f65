#include "battle/ShipTurrets.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <iterator>
#include <limits>

#include "battle/GUI_Map.h"
#include "battle/hud/GUI_ShipInspector.h"
#include "engine/GeometryHelpers.h"
#include "engine/QuadRunBatch.h"
#include "sim/SIM_Race.h"
#include "sim/SIM_Ship.h"
#include "sim/SIM_ShipModuleType.h"
#include "sim/modules/SIM_TargetedModule.h"

void ShipTurrets::Build(const SIM_Ship& ship)
{
    turrets.clear();
    idleMs = 0.0f;
    const SIM_Race* race = ship.race;
    for (SIM_TargetedModule* weapon : ship.GetTurretWeapons()) {
        if (!weapon || weapon->turretSprite.empty() || !weapon->GetType() || !race)
            continue;
        const SIM_Race::Turret* turret = race->FindTurret(weapon->GetType()->GetConfigString("turret_sprite"));
        if (!turret)
            continue;
        Turret& draw = turrets.emplace_back();
        draw.weapon = weapon;
        draw.shotsSeen = weapon->shotsBegun;
        race->CreateTurretSprite(turret->name, draw.sprite, draw.wrecked);
    }
}

ShipTurrets::Turret::Turret()
{
    static_assert(std::size(decltype(sine){}) == SIM_TargetedModule::kMaxTurrets);
    static_assert(std::size(decltype(relativeSine){}) == SIM_TargetedModule::kMaxTurrets);
    std::fill(std::begin(sine), std::end(sine), std::numeric_limits<float>::quiet_NaN());
    std::fill(std::begin(cosine), std::end(cosine), std::numeric_limits<float>::quiet_NaN());
}

namespace {

// Degrees 0..360 of a bearing given by its sine and cosine.
float BearingOf(float sine, float cosine)
{
    float a = std::atan2(sine, cosine) * 57.2957795f;
    if (a < 0.0f)
        a += 360.0f;
    return a >= 360.0f ? a - 360.0f : a;
}

} // namespace

float ShipTurrets::Turret::DrawnAngle(size_t i, float shipAngle) const
{
    if (!settling)
        return BearingOf(sine[i], cosine[i]);
    float a = BearingOf(relativeSine[i], relativeCosine[i]) + shipAngle;
    if (a >= 360.0f)
        a -= 360.0f;
    else if (a < 0.0f)
        a += 360.0f;
    return a;
}

namespace {

// Track's work, inlined where the turrets are drawn: each frame's draw turns them first.
[[gnu::always_inline]] inline void TurnTurrets(std::vector<ShipTurrets::Turret>& turrets, const SIM_Ship& ship,
                                               float dtMs)
{
    const float shipSine = ship.sine, shipCosine = ship.cosine;
    for (ShipTurrets::Turret& turret : turrets) {
        const SIM_TargetedModule* weapon = turret.weapon;
        const size_t count = std::min(weapon->GetTurretCount(), size_t{SIM_TargetedModule::kMaxTurrets});
        const bool working = weapon->health > 0.0f;
        // A shot begun meanwhile left on its aim: no muzzle flash beside a
        // barrel pointing elsewhere.
        const bool shot = weapon->shotsBegun != turret.shotsSeen;
        turret.shotsSeen = weapon->shotsBegun;
        // As far as the tracking speed allows (degrees), the short way
        // round, clockwise when the aim lies exactly behind: as
        // RotateTowardsAngle turns, done on the bearings' sines and cosines.
        const float step = weapon->GetTrackingSpeed() / ShipTurrets::kTrackingDivisor * dtMs / 12.0f;
        if (step != turret.step) {
            turret.step = step;
            const float r = std::min(step, 180.0f) * 0.01745329238474369f;
            turret.stepSine = std::sin(r);
            turret.stepCosine = std::cos(r);
        }
        const bool turns = working && step > 0.0f;
        const bool aiming = weapon->GetTarget() != nullptr;
        const SIM_ShipModule::Point aim = weapon->GetTurretAim();
        for (size_t i = 0; i < count; ++i) {
            float& s = turret.sine[i];
            float& c = turret.cosine[i];
            // A new turret points along its ship.
            if (std::isnan(s)) {
                s = shipSine;
                c = shipCosine;
            }
            if (!working)
                continue;
            if (shot) {
                const float r = weapon->GetTurretAngle(i) * 0.01745329238474369f;
                s = std::sin(r);
                c = std::cos(r);
            }
            if (!turns)
                continue;
            // Toward the aim (AngleBetweenPoints' bearing), or along the ship.
            float goalSine = shipSine, goalCosine = shipCosine;
            if (aiming) {
                const SIM_ShipModule::Point& offset = weapon->turretOffsets[i];
                const SIM_ShipModule::Point p = ship.PlaceOnMap(offset.x, offset.y);
                if (!BearingOfWay(aim.x - p.x, aim.y - p.y, goalSine, goalCosine)) {
                    goalSine = 1.0f;
                    goalCosine = 0.0f;
                }
            }
            // The turn left: its cosine against the step's, its sine for the side.
            const float across = goalSine * c - goalCosine * s;
            const float along = goalCosine * c + goalSine * s;
            if (step >= 180.0f || along >= turret.stepCosine) {
                s = goalSine;
                c = goalCosine;
                continue;
            }
            const float side = across >= 0.0f ? turret.stepSine : -turret.stepSine;
            const float ns = s * turret.stepCosine + c * side;
            const float nc = c * turret.stepCosine - s * side;
            const float inverse = 1.0f / std::sqrt(ns * ns + nc * nc);
            s = ns * inverse;
            c = nc * inverse;
        }
        // Knocked out: from here on the turret keeps its bearing on the ship.
        if (!turret.settling && weapon->turretSettleTimer < 1.0f) {
            turret.settling = true;
            for (size_t i = 0; i < count; ++i) {
                const float s = turret.sine[i], c = turret.cosine[i];
                turret.relativeSine[i] = s * shipCosine - c * shipSine;
                turret.relativeCosine[i] = c * shipCosine + s * shipSine;
            }
        }
    }
}

} // namespace

void ShipTurrets::Track(const SIM_Ship& ship, float dtMs)
{
    TurnTurrets(turrets, ship, dtMs);
}

template <class Place>
inline void ShipTurrets::Stage(const SIM_Ship& ship, uint8_t alpha, float scale, QuadRunBatch& batch, Place place)
{
    TurnTurrets(turrets, ship, idleMs);
    idleMs = 0.0f;
    const float shown = static_cast<float>(alpha) / 255.0f;
    for (Turret& turret : turrets) {
        const SIM_TargetedModule* weapon = turret.weapon;
        if (!(weapon->turretSize > 0.0f))
            continue;
        const float size = weapon->turretSize * scale;
        const bool wrecked = weapon->health <= 0.0f;
        const float settle = weapon->turretSettleTimer;
        // Wrecked: the wrecked picture, with the working one fading out over
        // it while the weapon settles.
        const bool fading = wrecked && settle > 0.0f && settle < 1.0f;
        CTexturedSprite& first = wrecked ? turret.wrecked : turret.sprite;
        first.SetSize(size, size);
        if (alpha != 255)
            first.SetColour(alpha, 255, 255, 255);
        if (fading) {
            turret.sprite.SetSize(size, size);
            turret.sprite.SetColour(ShadeByte(settle * shown), 255, 255, 255);
        }
        const TextureHandle firstTexture = first.GetTextureForDraw();
        const size_t count = std::min(weapon->GetTurretCount(), size_t{SIM_TargetedModule::kMaxTurrets});
        for (size_t i = 0; i < count; ++i) {
            if (!place(turret, i, first))
                continue;
            batch.Add(firstTexture, false, first.m_vertices);
            if (fading) {
                place(turret, i, turret.sprite);
                batch.Add(turret.sprite.GetTextureForDraw(), false, turret.sprite.m_vertices);
            }
        }
        if (fading || alpha != 255)
            turret.sprite.SetColour(0xFFFFFFFFu);
        if (alpha != 255)
            turret.wrecked.SetColour(0xFFFFFFFFu);
    }
}

void ShipTurrets::Draw(const SIM_Ship& ship, uint8_t alpha)
{
    const GUI_Map& map = GUI_Map::GetInstance();
    const float zoom = ZoomScale, camX = map.cameraX, camY = map.cameraY;
    const float shipSine = ship.sine, shipCosine = ship.cosine;
    // As GUI_Map::IsOffScreen with the margin: beyond it no turret's picture
    // reaches the screen.
    const float left = map.viewLeft - kOffScreenMargin, right = map.viewRight + kOffScreenMargin;
    const float top = map.viewTop - kOffScreenMargin, bottom = map.viewBottom + kOffScreenMargin;
    Stage(ship, alpha, zoom, QuadRunBatch::Shared(), [&](const Turret& turret, size_t i, CTexturedSprite& picture) {
        // As GetTurretWorldPos places a turret in range on its ship.
        const SIM_ShipModule::Point& offset = turret.weapon->turretOffsets[i];
        const SIM_ShipModule::Point p = ship.PlaceOnMap(offset.x, offset.y);
        if (p.x < left || p.x > right || p.y < top || p.y > bottom)
            return false;
        float sine = turret.sine[i], cosine = turret.cosine[i];
        if (turret.settling) {
            const float rs = turret.relativeSine[i], rc = turret.relativeCosine[i];
            sine = rs * shipCosine + rc * shipSine;
            cosine = rc * shipCosine - rs * shipSine;
        }
        picture.PlaceRotatedSinCos((p.x - camX) * zoom, (p.y - camY) * zoom, sine, cosine);
        return true;
    });
}

namespace {

// A turret's bearing relative to its ship (the ship drawn level).
inline void LevelBearing(const ShipTurrets::Turret& turret, size_t i, float shipSine, float shipCosine, float& sine,
                         float& cosine)
{
    if (turret.settling) {
        sine = turret.relativeSine[i];
        cosine = turret.relativeCosine[i];
        return;
    }
    const float s = turret.sine[i], c = turret.cosine[i];
    sine = s * shipCosine - c * shipSine;
    cosine = c * shipCosine + s * shipSine;
}

inline void MixKey(uint64_t& key, float value)
{
    key = (key ^ std::bit_cast<uint32_t>(value)) * 1099511628211ull;
}

} // namespace

void ShipTurrets::DrawLevel(const SIM_Ship& ship, float side, float left, float top, QuadRunBatch& batch)
{
    const float width = ship.GetWidth() > 0.0f ? ship.GetWidth() : 1.0f;
    const float f = side / width;
    const float cx = left + side * 0.5f, cy = top + side * 0.5f;
    const float shipSine = ship.sine, shipCosine = ship.cosine;
    Stage(ship, 255, f, batch, [&](const Turret& turret, size_t i, CTexturedSprite& picture) {
        const SIM_ShipModule::Point& offset = turret.weapon->turretOffsets[i];
        float sine, cosine;
        LevelBearing(turret, i, shipSine, shipCosine, sine, cosine);
        picture.PlaceRotatedSinCos(cx + offset.x * f, cy + offset.y * f, sine, cosine);
        return true;
    });
}

uint64_t ShipTurrets::LevelKey(const SIM_Ship& ship)
{
    TurnTurrets(turrets, ship, idleMs);
    idleMs = 0.0f;
    const float shipSine = ship.sine, shipCosine = ship.cosine;
    uint64_t key = 14695981039346656037ull;
    for (const Turret& turret : turrets) {
        const SIM_TargetedModule* weapon = turret.weapon;
        if (!(weapon->turretSize > 0.0f))
            continue;
        // What Stage reads to choose and shade the pictures.
        MixKey(key, weapon->health <= 0.0f ? 1.0f : 0.0f);
        MixKey(key, weapon->turretSettleTimer);
        const size_t count = std::min(weapon->GetTurretCount(), size_t{SIM_TargetedModule::kMaxTurrets});
        for (size_t i = 0; i < count; ++i) {
            float sine, cosine;
            LevelBearing(turret, i, shipSine, shipCosine, sine, cosine);
            MixKey(key, sine);
            MixKey(key, cosine);
        }
    }
    return key;
}

void ShipTurrets::DrawAimMarkers(const SIM_Ship& ship)
{
    // Only the inspector highlights a module, and only on the ship it shows.
    if (GUI_ShipInspector::GetInspectedShip() != &ship)
        return;
    // Never destroyed: the sprite list it joins may go first at exit.
    static auto* shared = new CTexturedSprite();
    CTexturedSprite& marker = *shared;
    const GUI_Map& map = GUI_Map::GetInstance();
    for (const SIM_TargetedModule* weapon : ship.GetTurretWeapons()) {
        if (!weapon || !weapon->selected || !weapon->GetTarget())
            continue;
        if (marker.GetTextureName().empty())
            marker.SetTexture(kAimMarkerTexture);
        const float size = kAimMarkerSize;
        marker.SetSize(size, size);
        marker.SetColour(kAimMarkerColour);
        marker.PlaceCentred((weapon->GetAimPoint().x - map.cameraX) * ZoomScale,
                            (weapon->GetAimPoint().y - map.cameraY) * ZoomScale);
        QuadRunBatch::Shared().Add(marker.GetTextureForDraw(), false, marker.m_vertices);
    }
}

