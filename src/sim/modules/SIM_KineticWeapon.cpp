#include "sim/modules/SIM_KineticWeapon.h"

#include <algorithm>
#include <limits>

#include "engine/GDebugLog.h"
#include "engine/GeometryHelpers.h"
#include "engine/RandomTables.h"
#include "sim/SIM_BattleClock.h"
#include "sim/SIM_Ship.h"
#include "sim/SIM_ShipModuleType.h"
#include "sim/modules/SIM_GunProjectiles.h"

namespace {

std::vector<SIM_KineticWeapon*>& Instances()
{
    // Never destroyed, for the same reason as the other weapon lists.
    static auto* list = new std::vector<SIM_KineticWeapon*>();
    return *list;
}

} // namespace

SIM_KineticWeapon::SIM_KineticWeapon(const SIM_ShipModuleType* moduleType, SIM_ShipOrders* shipOrders)
    : SIM_TargetedModule(moduleType, shipOrders)
{
    float speed = 0.0f;
    if (moduleType) {
        sound = moduleType->GetConfigString("sound");
        soundVolume = moduleType->GetConfigFloat("soundvolume", 0.0f);
        damage = moduleType->GetConfigFloat("damage", 0.0f);
        speed = moduleType->GetConfigFloat("speed", 0.0f);
        blastTexture = moduleType->GetConfigString("blasttexture");
    }
    for (SIM_KineticShell& shell : shells) {
        shell.weapon = this;
        shell.speed = speed;
        shell.damage = damage;
        shell.armourPenetration = armourPenetration;
        shell.shieldPenetration = shieldPenetration;
    }
    // The flash shows while a turret's timer is within the fire interval:
    // turrets that have not fired start past any interval, not at 1000 ms,
    // or slow guns would flash at the start of every battle.
    for (float& timer : turretFlash)
        timer = std::numeric_limits<float>::max();
    Instances().push_back(this);
}

SIM_KineticWeapon::~SIM_KineticWeapon()
{
    auto& list = Instances();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

const std::vector<SIM_KineticWeapon*>& SIM_KineticWeapon::GetAll()
{
    return Instances();
}

void SIM_KineticWeapon::PostBuildInit()
{
    SIM_TargetedModule::PostBuildInit();
    CreateTurretSprite();
    highWater = 0;
}

void SIM_KineticWeapon::Fire()
{
    SIM_TargetedModule::Fire();
    RecordShot();
    flashFrameTimer = 0.0f;
    turretFlash[0] = 0.0f;
    streakCells[0] = static_cast<int>(RandomRange(0.0f, 8.0f));
    const Point from = SIM_GunProjectiles::QueueSalvo(*this);
    LaunchShell(true, from.x, from.y);
    for (size_t i = 1; i < SIM_GunProjectiles::TurretsUsed(*this); ++i)
        streakCells[i] = static_cast<int>(RandomFloat() * 8.0f);
}

void SIM_KineticWeapon::FireTurret(const ShotRecord& record)
{
    if (!SIM_GunProjectiles::IsTurretShotDue(*this, record))
        return;
    const Point from = GetTurretWorldPos(static_cast<size_t>(record.value));
    LaunchShell(false, from.x, from.y);
    turretFlash[record.value] = 0.0f;
}

bool SIM_KineticWeapon::LaunchShell(bool tracked, float x, float y)
{
    SIM_GunProjectiles::PlayShotSound(sound, soundVolume, x, y);
    if (!tracked || !target)
        return false;
    const float distance = DistanceBetweenPoints(x, y, aimPoint.x, aimPoint.y);
    if (!RandomChance(HitChance(target))) {
        RecordMiss(damage);
        NoteMiss(target);
        return false;
    }
    for (int i = 0; i < kPoolSize; ++i) {
        if (shells[i].live)
            continue;
        shells[i].Launch(target, targetPoint, distance, x, y);
        highWater = std::max(highWater, i + 1);
        return true;
    }
    ++lostShots;
    LOG_DEBUG("Not enough shells");
    return false;
}

void SIM_KineticWeapon::UpdateShells()
{
    for (int i = 0; i < highWater; ++i)
        if (shells[i].live)
            shells[i].Update();
}

int SIM_KineticWeapon::CountLive() const
{
    int live = 0;
    for (const SIM_KineticShell& shell : shells)
        live += shell.live ? 1 : 0;
    return live;
}

void SIM_KineticWeapon::AdvanceMuzzle(float frameTime)
{
    flashFrameTimer += frameTime;
    if (flashFrameTimer > kFlashFrameTime) {
        flashFrameTimer = 0.0f;
        for (int& frame : flashFrames)
            frame ^= 1;
    }
    const size_t turrets = std::max(SIM_GunProjectiles::TurretsUsed(*this), static_cast<size_t>(1));
    for (size_t i = 0; i < turrets; ++i)
        if (turretFlash[i] <= fireInterval)
            turretFlash[i] += frameTime;
}

void SIM_KineticWeapon::Update()
{
    SIM_TargetedModule::Update();
    if (!ship || !SIM_GunProjectiles::IsShipVisible(ship))
        return;
    if (efficiency > 0.0f)
        ExpireShotRecords();
    if (turretSize > 0.0f)
        AdvanceMuzzle(SIM_BattleClock::GetInstance().scaledFrameTime);
}
