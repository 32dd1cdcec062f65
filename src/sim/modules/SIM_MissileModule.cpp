#include "sim/modules/SIM_MissileModule.h"

#include <algorithm>
#include <cstddef>

#include "sim/SIM_BattleArea.h"
#include "sim/SIM_BattleClock.h"
#include "sim/SIM_Ship.h"
#include "sim/SIM_ShipModuleType.h"
#include "sim/SIM_SoundSink.h"

namespace {

// Weapon sounds start fading beyond this distance.
constexpr float kSoundMinDistance = 64.0f;

std::vector<SIM_MissileModule*>& Launchers()
{
    // Never destroyed: modules leave it in their destructors, also at exit.
    static auto* list = new std::vector<SIM_MissileModule*>();
    return *list;
}

// Beside the launcher list, one byte per launcher: whether its missile still
// has anything to do. The frame walk reads these bytes and touches only the
// launchers that are awake, in list order as before; an idle missile's frame
// did nothing.
std::vector<unsigned char>& AwakeFlags()
{
    static auto* flags = new std::vector<unsigned char>();
    return *flags;
}

// Live, or a trail still fading, or a decoy doing either.
bool IsBusy(const SIM_Missile& missile)
{
    if (missile.live || missile.trailAlive)
        return true;
    for (int i = 0; i < SIM_Missile::kDecoys; ++i)
        if (const SIM_Missile* decoy = missile.GetDecoy(i))
            if (decoy->live || decoy->trailAlive)
                return true;
    return false;
}

} // namespace

SIM_MissileModule::SIM_MissileModule(const SIM_ShipModuleType* moduleType, SIM_ShipOrders* shipOrders)
    : SIM_TargetedModule(moduleType, shipOrders)
{
    if (moduleType) {
        sound = moduleType->GetConfigString("sound");
        soundVolume = moduleType->GetConfigFloat("soundvolume", 0.0f);
    }
    missile.home = this;
    slot = Launchers().size();
    Launchers().push_back(this);
    // Awake until its first frame finds it idle.
    AwakeFlags().push_back(1);
}

SIM_MissileModule::~SIM_MissileModule()
{
    auto& list = Launchers();
    auto& awake = AwakeFlags();
    if (slot < list.size() && list[slot] == this) {
        list.erase(list.begin() + static_cast<std::ptrdiff_t>(slot));
        awake.erase(awake.begin() + static_cast<std::ptrdiff_t>(slot));
        for (size_t i = slot; i < list.size(); ++i)
            list[i]->slot = i;
    }
}

void SIM_MissileModule::WakeMissile()
{
    auto& awake = AwakeFlags();
    if (slot < awake.size())
        awake[slot] = 1;
}

const std::vector<SIM_MissileModule*>& SIM_MissileModule::GetLaunchers()
{
    return Launchers();
}

const std::vector<unsigned char>& SIM_MissileModule::GetAwakeFlags()
{
    return AwakeFlags();
}

void SIM_MissileModule::UpdateMissiles()
{
    // By index: a missile's end may not add launchers, but stay safe if it does.
    auto& list = Launchers();
    auto& awake = AwakeFlags();
    for (size_t i = 0; i < list.size(); ++i) {
        if (!awake[i])
            continue;
        SIM_Missile& missile = list[i]->missile;
        missile.Process();
        awake[i] = IsBusy(missile) ? 1 : 0;
    }
}

void SIM_MissileModule::PostBuildInit()
{
    missile.ReadDefinition(this);
    SIM_TargetedModule::PostBuildInit();
    CreateTurretSprite();
    if (missile.warhead == SIM_Missile::SHIELD_DISRUPTOR || missile.warhead == SIM_Missile::ECMSHOCK)
        ignoresFighters = true;
}

void SIM_MissileModule::Update()
{
    SIM_TargetedModule::Update();
    // Keep the turrets on the target; the flight itself is UpdateMissiles'.
    if (ship && turretSize > 0.0f && target && targetPoint)
        target->LocalToWorld(targetPoint->x, targetPoint->y, target->sine, target->cosine, aimPoint.x, aimPoint.y);
}

void SIM_MissileModule::TakeDamage(float amount)
{
    LoseHitpoints(amount);
    efficiency = maxHitpoints > 0.0f ? hitpoints / maxHitpoints : 0.0f;
    RefreshHealth();
    if (hitpoints <= 0.0f)
        missile.DestroyWithEffect();
}

void SIM_MissileModule::Fire()
{
    // Still out: the reload stays complete and the launcher fires the moment it is free.
    if (!missile.IsFree() || !target)
        return;
    SIM_TargetedModule::Fire();
    RecordShot();
    const Point from = GetTurretCount() > 0 ? GetTurretWorldPos(0) : GetWorldPos();
    missile.Launch(target, targetPoint, from.x, from.y);
    PlayOneShot(sound, 0, soundVolume, from.x, from.y);
}

void SIM_MissileModule::PlayOneShot(const std::string& file, int bank, float volume, float x, float y)
{
    if (file.empty())
        return;
    SIM_SoundSink* sounds = SIM_BattleClock::GetInstance().GetSounds();
    if (!sounds || SIM_BattleArea::Get().IsOffScreen(x, y, 128.0f) || sounds->IsPlayedTooOften(file.c_str()))
        return;
    const float v = volume * sounds->GetEffectsVolume() * sounds->GetMasterVolume();
    sounds->PlaySound3D(file.c_str(), sounds->GetBank(bank), v, false, kSoundMinDistance, x, y);
    sounds->RememberRecent(file.c_str());
}
