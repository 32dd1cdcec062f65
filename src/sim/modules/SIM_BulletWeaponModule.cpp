#include "sim/modules/SIM_BulletWeaponModule.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "engine/GDebugLog.h"
#include "engine/StrFormat.h"
#include "sim/SIM_BattleClock.h"
#include "sim/SIM_Ship.h"
#include "sim/SIM_ShipModuleType.h"
#include "sim/modules/SIM_GunProjectiles.h"

namespace {

std::vector<SIM_BulletWeaponModule*>& Instances()
{
    // Never destroyed: modules leave it in their destructors, also when the
    // battle frees them at exit after the other statics are gone.
    static auto* list = new std::vector<SIM_BulletWeaponModule*>();
    return *list;
}

// The colour key is a decimal number of at most 63 characters.
int ReadColourIndex(const char* text)
{
    char buffer[64] = {};
    if (text)
        std::strncpy(buffer, text, sizeof(buffer) - 1);
    return static_cast<int>(std::strtol(buffer, nullptr, 10));
}

} // namespace

SIM_BulletWeaponModule::SIM_BulletWeaponModule(const SIM_ShipModuleType* moduleType, SIM_ShipOrders* shipOrders)
    : SIM_TargetedModule(moduleType, shipOrders)
{
    float speed = 0.0f, width = 0.0f, height = 0.0f;
    if (moduleType) {
        width = moduleType->GetConfigFloat("width", 0.0f);
        height = moduleType->GetConfigFloat("height", 0.0f);
        damage = moduleType->GetConfigFloat("damage", 0.0f);
        speed = moduleType->GetConfigFloat("speed", 0.0f);
        blastTexture = moduleType->GetConfigString("blasttexture");
        hasBlastTexture = !blastTexture.empty();
        sound = moduleType->GetConfigString("sound");
        soundVolume = moduleType->GetConfigFloat("soundvolume", 0.0f);
        colourIndex = ReadColourIndex(moduleType->GetConfigString("color"));
        if (std::string(moduleType->GetConfigString("payload")) == "RADIATION") {
            payload = PAYLOAD_RADIATION;
            radiationDecay = moduleType->GetConfigFloat("radiation_decay", 0.0f);
            radiationDamage = moduleType->GetConfigFloat("radiation_damage", 0.0f);
        }
    }
    for (SIM_Bullet& bullet : bullets)
        bullet.Init(this, speed, width, height);
    Instances().push_back(this);
}

SIM_BulletWeaponModule::~SIM_BulletWeaponModule()
{
    auto& list = Instances();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

const std::vector<SIM_BulletWeaponModule*>& SIM_BulletWeaponModule::GetAll()
{
    return Instances();
}

bool SIM_BulletWeaponModule::SheetCell(int colour, float uv[4])
{
    // Four narrow cells, two wide ones, then three narrow ones on the lower row.
    static const float kCells[9][4] = {
        {0.0f, 0.125f, 0.0f, 0.5f},  {0.125f, 0.25f, 0.0f, 0.5f}, {0.25f, 0.375f, 0.0f, 0.5f},
        {0.375f, 0.5f, 0.0f, 0.5f},  {0.5f, 0.75f, 0.0f, 0.5f},   {0.75f, 1.0f, 0.0f, 0.5f},
        {0.0f, 0.125f, 0.5f, 1.0f},  {0.125f, 0.25f, 0.5f, 1.0f}, {0.25f, 0.375f, 0.5f, 1.0f},
    };
    if (colour < 0 || colour >= 9)
        return false;
    std::copy(kCells[colour], kCells[colour] + 4, uv);
    return true;
}

void SIM_BulletWeaponModule::PostBuildInit()
{
    SIM_TargetedModule::PostBuildInit();
    CreateTurretSprite();
    highWater = 0;
}

void SIM_BulletWeaponModule::Fire()
{
    SIM_TargetedModule::Fire();
    RecordShot();
    const Point from = SIM_GunProjectiles::QueueSalvo(*this);
    LaunchBullet(true, from.x, from.y);
}

void SIM_BulletWeaponModule::FireTurret(const ShotRecord& record)
{
    if (!SIM_GunProjectiles::IsTurretShotDue(*this, record))
        return;
    const Point from = GetTurretWorldPos(static_cast<size_t>(record.value));
    LaunchBullet(false, from.x, from.y);
    turretFlash[record.value] = 0.0f;
}

bool SIM_BulletWeaponModule::LaunchBullet(bool tracked, float x, float y)
{
    int slot = -1;
    for (int i = 0; i < kPoolSize; ++i) {
        if (!bullets[i].live) {
            slot = i;
            break;
        }
    }
    if (slot < 0) {
        ++lostShots;
        LOG_DEBUG(StrFormat("%s:%s %d", "not enough bullets", "SIM_BulletWeaponModule", __LINE__));
        return false;
    }
    bullets[slot].Launch(!tracked, target, targetPoint, x, y);
    SIM_GunProjectiles::PlayShotSound(sound, soundVolume, x, y);
    highWater = std::max(highWater, slot + 1);
    return true;
}

int SIM_BulletWeaponModule::UpdateBullets()
{
    int live = 0;
    for (int i = 0; i < highWater; ++i) {
        if (bullets[i].live) {
            ++live;
            bullets[i].Update();
        }
    }
    return live;
}

bool SIM_BulletWeaponModule::CollideBullets()
{
    for (int i = 0; i < highWater; ++i)
        if (bullets[i].live && bullets[i].CollideWithScenery())
            return true;
    return false;
}

int SIM_BulletWeaponModule::CountLive() const
{
    int live = 0;
    for (int i = 0; i < highWater; ++i)
        live += bullets[i].live ? 1 : 0;
    return live;
}

void SIM_BulletWeaponModule::ApplyPayload(SIM_Ship* victim)
{
    QLM_ASSERT(victim != nullptr);
    if (!victim || payload != PAYLOAD_RADIATION)
        return;
    victim->AddRadiationDose(radiationDamage, radiationDecay);
}

void SIM_BulletWeaponModule::AdvanceBlasts(float frameTime)
{
    const size_t turrets = std::max(SIM_GunProjectiles::TurretsUsed(*this), static_cast<size_t>(1));
    for (size_t i = 0; i < turrets; ++i)
        if (turretFlash[i] <= kBlastTime)
            turretFlash[i] += frameTime;
}

void SIM_BulletWeaponModule::Update()
{
    SIM_TargetedModule::Update();
    if (target && targetPoint)
        aimPoint = SIM_GunProjectiles::AimPointOnMap(target, targetPoint);
    if (!ship || !SIM_GunProjectiles::IsShipVisible(ship))
        return;
    if (efficiency > 0.0f)
        ExpireShotRecords();
    if (hasBlastTexture && turretSize > 0.0f)
        AdvanceBlasts(SIM_BattleClock::GetInstance().scaledFrameTime);
}
