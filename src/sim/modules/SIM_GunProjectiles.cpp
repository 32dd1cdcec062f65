#include "sim/modules/SIM_GunProjectiles.h"

#include <algorithm>

#include "engine/GeometryHelpers.h"
#include "sim/SIM_BattleArea.h"
#include "sim/SIM_BattleClock.h"
#include "sim/SIM_Shield.h"
#include "sim/SIM_Ship.h"
#include "sim/SIM_ShipVisual.h"
#include "sim/SIM_SoundSink.h"
#include "sim/modules/SIM_BulletWeaponModule.h"
#include "sim/modules/SIM_CamoflageShieldModule.h"
#include "sim/modules/SIM_KineticWeapon.h"

namespace {

// Weapon sounds start fading beyond this distance.
constexpr float kSoundMinDistance = 64.0f;
// Sounds of points further off screen than this are not played.
constexpr float kSoundMargin = 128.0f;

} // namespace

void SIM_GunProjectiles::UpdateAll()
{
    for (SIM_BulletWeaponModule* weapon : SIM_BulletWeaponModule::GetAll())
        weapon->UpdateBullets();
    for (SIM_KineticWeapon* weapon : SIM_KineticWeapon::GetAll())
        weapon->UpdateShells();
}

bool SIM_GunProjectiles::CollideWithScenery()
{
    if (!sceneryProbe || !(SIM_BattleArea::Get().Zoom() > 1.0f))
        return false;
    for (SIM_BulletWeaponModule* weapon : SIM_BulletWeaponModule::GetAll())
        if (weapon->CollideBullets())
            return true;
    return false;
}

size_t SIM_GunProjectiles::TurretsUsed(const SIM_TargetedModule& weapon)
{
    return std::min(weapon.GetTurretCount(), static_cast<size_t>(SIM_TargetedModule::kMaxTurrets));
}

SIM_GunProjectiles::Point SIM_GunProjectiles::QueueSalvo(SIM_TargetedModule& weapon)
{
    const size_t turrets = TurretsUsed(weapon);
    if (turrets == 0)
        return weapon.GetWorldPos();
    const float delay = weapon.fireInterval / static_cast<float>(turrets);
    for (size_t i = 1; i < turrets; ++i)
        weapon.AddShotRecord(static_cast<int>(i), delay * static_cast<float>(i));
    return weapon.GetTurretWorldPos(0);
}

bool SIM_GunProjectiles::IsTurretShotDue(const SIM_TargetedModule& weapon,
                                         const SIM_TargetedModule::ShotRecord& record)
{
    return record.target && !record.target->IsDead() && record.target == weapon.target &&
           record.targetPoint == weapon.targetPoint && record.value >= 0 &&
           static_cast<size_t>(record.value) < TurretsUsed(weapon);
}

bool SIM_GunProjectiles::HasBubble(const SIM_Ship* ship)
{
    return ship && ship->GetVisual() && ship->GetVisual()->HasShieldBubble();
}

float SIM_GunProjectiles::BubbleRadius(const SIM_Ship* ship)
{
    return ship && ship->GetVisual() ? ship->GetVisual()->GetShieldBubbleRadius() : 0.0f;
}

bool SIM_GunProjectiles::IsInsideShield(const SIM_Ship* ship, float x, float y)
{
    if (!ship || !ship->GetShield())
        return false;
    const float r = BubbleRadius(ship);
    return DistanceSquared(ship->x, ship->y, x, y) < r * r;
}

bool SIM_GunProjectiles::IsShipVisible(const SIM_Ship* ship)
{
    for (const SIM_CamoflageShieldModule* cloak : ship->GetCloaks())
        if (cloak->IsEnabled() && cloak->GetCloakState() != SIM_CamoflageShieldModule::VISIBLE)
            return false;
    return true;
}

bool SIM_GunProjectiles::IsHittable(const SIM_Ship* ship)
{
    return ship && !ship->IsDead() && ship->state != SIM_Ship::OFF_FIELD && ship->state != SIM_Ship::RETREATED;
}

SoundChannelId SIM_GunProjectiles::PlayShotSound(const std::string& sound, float volume, float x, float y)
{
    if (sound.empty())
        return kNoChannel;
    SIM_SoundSink* sounds = SIM_BattleClock::GetInstance().GetSounds();
    if (!sounds || SIM_BattleArea::Get().IsOffScreen(x, y, kSoundMargin) || sounds->IsPlayedTooOften(sound.c_str()))
        return kNoChannel;
    const float v = volume * sounds->GetEffectsVolume() * sounds->GetMasterVolume();
    const SoundChannelId channel = sounds->PlaySound3D(sound.c_str(), sounds->GetBank(SIM_SoundSink::BANK_WEAPONS), v,
                                                       false, kSoundMinDistance, x, y);
    sounds->RememberRecent(sound.c_str());
    return channel;
}

void SIM_GunProjectiles::StopSound(SoundChannelId channel)
{
    if (channel == kNoChannel)
        return;
    if (SIM_SoundSink* sounds = SIM_BattleClock::GetInstance().GetSounds())
        sounds->StopChannel(channel);
}
