#include "sim/modules/SIM_PlasmaLauncherModule.h"

#include <algorithm>

#include "sim/SIM_BattleClock.h"
#include "sim/SIM_Ship.h"
#include "sim/SIM_ShipModuleType.h"
#include "sim/modules/SIM_GunProjectiles.h"

namespace {

std::vector<SIM_PlasmaLauncherModule*>& Instances()
{
    // Never destroyed, for the same reason as the other weapon lists.
    static auto* list = new std::vector<SIM_PlasmaLauncherModule*>();
    return *list;
}

} // namespace

SIM_PlasmaLauncherModule::SIM_PlasmaLauncherModule(const SIM_ShipModuleType* moduleType,
                                                   SIM_ShipOrders* shipOrders)
    : SIM_TargetedModule(moduleType, shipOrders)
{
    if (moduleType) {
        sound = moduleType->GetConfigString("sound");
        soundVolume = moduleType->GetConfigFloat("soundvolume", 0.0f);
    }
    Instances().push_back(this);
}

SIM_PlasmaLauncherModule::~SIM_PlasmaLauncherModule()
{
    auto& list = Instances();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

const std::vector<SIM_PlasmaLauncherModule*>& SIM_PlasmaLauncherModule::GetAll()
{
    return Instances();
}

void SIM_PlasmaLauncherModule::PostBuildInit()
{
    SIM_TargetedModule::PostBuildInit();
    CreateTurretSprite();
    torpedo.ReadDefinition(this, type);
}

void SIM_PlasmaLauncherModule::Fire()
{
    if (torpedo.live)
        return;
    SIM_TargetedModule::Fire();
    RecordShot();
    if (!target)
        return;
    const Point pos = GetWorldPos();
    torpedo.Launch(target, targetPoint, pos.x, pos.y);
    SIM_GunProjectiles::PlayShotSound(sound, soundVolume, pos.x, pos.y);
}

void SIM_PlasmaLauncherModule::Update()
{
    SIM_TargetedModule::Update();
    torpedo.Update();
    torpedo.Animate(SIM_BattleClock::GetInstance().scaledFrameTime);
    if (!ship || !SIM_GunProjectiles::IsShipVisible(ship))
        return;
    if (target && targetPoint)
        aimPoint = SIM_GunProjectiles::AimPointOnMap(target, targetPoint);
}

void SIM_PlasmaLauncherModule::TakeDamage(float amount)
{
    SIM_TargetedModule::TakeDamage(amount);
    efficiency = maxHitpoints > 0.0f ? hitpoints / maxHitpoints : 0.0f;
    // A wrecked launcher loses its torpedo in flight.
    if (health <= 0.0f)
        torpedo.live = false;
}
