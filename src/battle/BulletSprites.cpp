#include "battle/BulletSprites.h"

#include <algorithm>
#include <cmath>

#include "engine/D3DEngine.h"
#include "engine/QuadRunBatch.h"
#include "sim/SIM_Ship.h"
#include "sim/modules/SIM_Bullet.h"
#include "sim/modules/SIM_BulletWeaponModule.h"
#include "sim/modules/SIM_GunProjectiles.h"
#include "sim/modules/SIM_KineticWeapon.h"

namespace {

const float kWholeCell[4] = {0.0f, 1.0f, 0.0f, 1.0f};

// Muzzles show on ships in the fight that no cloak hides.
bool ShowsMuzzles(const SIM_TargetedModule& weapon)
{
    const SIM_Ship* ship = weapon.GetShip();
    return ship && !ship->docked && ship->state == SIM_Ship::ACTIVE && weapon.turretSize > 0.0f &&
           SIM_GunProjectiles::IsShipVisible(ship);
}

// A muzzle's map position and heading: the turret's, or the module's itself.
void Muzzle(const SIM_TargetedModule& weapon, size_t turret, float& x, float& y, float& sine, float& cosine)
{
    const SIM_ShipModule::Point p =
        weapon.GetTurretCount() > 0 ? weapon.GetTurretWorldPos(turret) : weapon.GetWorldPos();
    x = p.x;
    y = p.y;
    const float a = weapon.GetTurretAngle(turret) * BattleView::kDegToRad;
    sine = std::sin(a);
    cosine = std::cos(a);
}

size_t MuzzleCount(const SIM_TargetedModule& weapon)
{
    return std::max(SIM_GunProjectiles::TurretsUsed(weapon), static_cast<size_t>(1));
}

// How far a kinetic turret's flash has faded, 0..1.
float FlashFraction(const SIM_KineticWeapon& weapon, size_t turret)
{
    if (!(weapon.fireInterval > 0.0f))
        return 1.0f;
    return std::clamp(weapon.turretFlash[turret] / weapon.fireInterval, 0.0f, 1.0f);
}

void BeginBatch(QuadRunBatch& batch, bool& own)
{
    own = !batch.IsOpen();
    if (own) {
        const D3DEngine& engine = D3DEngine::GetInstance();
        batch.Begin(engine.GetScreenWidth(), engine.GetScreenHeight());
    }
}

} // namespace

BulletSprites& BulletSprites::GetInstance()
{
    static BulletSprites instance;
    return instance;
}

void BulletSprites::Update()
{
    int live = 0;
    for (const SIM_BulletWeaponModule* weapon : SIM_BulletWeaponModule::GetAll())
        live += weapon->CountLive();
    liveCount = live;
}

void BulletSprites::Reset()
{
    blastTextures.clear();
    liveCount = 0;
}

bool BulletSprites::CollideInSpareTime()
{
    return SIM_GunProjectiles::CollideWithScenery();
}

bool BulletSprites::BulletQuad(const SIM_Bullet& bullet, const BattleView& view, ScreenVertex quad[4])
{
    if (!bullet.live || !(bullet.alpha > 0.0f))
        return false;
    PlaceHeadingQuad(view.ScreenX(bullet.x), view.ScreenY(bullet.y), bullet.width * view.zoom,
                     bullet.height * view.zoom, bullet.directionSine, bullet.directionCosine,
                     bullet.hasCell ? bullet.cell : kWholeCell, WhiteAlpha(bullet.alpha), quad);
    return view.Shows(quad);
}

bool BulletSprites::BlastQuad(const SIM_TargetedModule& weapon, size_t turret, const BattleView& view,
                              ScreenVertex quad[4])
{
    const float timer = weapon.turretFlash[turret];
    if (!(timer <= kBlastMs))
        return false;
    float x, y, s, c;
    Muzzle(weapon, turret, x, y, s, c);
    const float size = 2.0f * weapon.turretSize * view.zoom;
    PlaceHeadingQuad(view.ScreenX(x), view.ScreenY(y), size, size, s, c, kWholeCell,
                     WhiteAlpha(1.0f - timer / kBlastMs), quad);
    return view.Shows(quad);
}

namespace {

// A kinetic turret's muzzle while its flash shows: where, which way and how
// far faded (0..1).
bool KineticMuzzle(const SIM_KineticWeapon& weapon, size_t turret, float& x, float& y, float& s, float& c, float& f)
{
    if (!(weapon.turretFlash[turret] <= weapon.fireInterval))
        return false;
    f = FlashFraction(weapon, turret);
    Muzzle(weapon, turret, x, y, s, c);
    return true;
}

} // namespace

bool BulletSprites::KineticFlashQuad(const SIM_KineticWeapon& weapon, size_t turret, const BattleView& view,
                                     ScreenVertex quad[4])
{
    float x, y, s, c, f;
    if (!KineticMuzzle(weapon, turret, x, y, s, c, f))
        return false;
    const float size = weapon.turretSize;
    const float ahead = 0.75f * size;
    const float u = static_cast<float>(weapon.flashFrames[turret] & 1) * 0.25f;
    const float uv[4] = {u, u + 0.25f, 0.0f, 1.0f};
    PlaceHeadingQuad(view.ScreenX(x + s * ahead), view.ScreenY(y - c * ahead), size * 0.5f * view.zoom,
                     size * view.zoom, s, c, uv, WhiteAlpha(1.0f - f), quad);
    return view.Shows(quad);
}

bool BulletSprites::KineticStreakQuad(const SIM_KineticWeapon& weapon, size_t turret, const BattleView& view,
                                      ScreenVertex quad[4])
{
    float x, y, s, c, f;
    if (!KineticMuzzle(weapon, turret, x, y, s, c, f))
        return false;
    const float size = weapon.turretSize;
    const float push = 4.0f * size * f;
    const float length = std::max(size, push);
    // Eight streak cells: four on the upper half of the picture's right
    // side, four below them.
    const int k = std::clamp(weapon.streakCells[turret], 0, 7);
    const float u = 0.5f + 0.125f * static_cast<float>(k % 4);
    const float v = k < 4 ? 0.0f : 0.5f;
    const float uv[4] = {u, u + 0.125f, v, v + 0.5f};
    PlaceHeadingQuad(view.ScreenX(x + s * push), view.ScreenY(y - c * push), size * 0.25f * view.zoom,
                     length * view.zoom, s, c, uv, WhiteAlpha(1.0f - f), quad);
    return view.Shows(quad);
}

TextureHandle BulletSprites::BlastTexture(const SIM_TargetedModule& weapon, const char* name)
{
    SmartTexture& texture = blastTextures[&weapon];
    if (texture.GetName() != name)
        texture.SetName(name);
    return texture.GetHandle();
}

void BulletSprites::DrawBullets(bool atMuzzle, const BattleView& view)
{
    QuadRunBatch& batch = QuadRunBatch::Shared();
    const TextureHandle texture = sheet.GetHandle();
    ScreenVertex quad[4];
    for (const SIM_BulletWeaponModule* weapon : SIM_BulletWeaponModule::GetAll()) {
        const int count = weapon->GetHighWater();
        for (int i = 0; i < count; ++i) {
            const SIM_Bullet& bullet = weapon->bullets[i];
            if (bullet.atMuzzle == atMuzzle && BulletQuad(bullet, view, quad))
                batch.Add(texture, true, quad);
        }
    }
}

void BulletSprites::DrawMuzzles(const BattleView& view)
{
    QuadRunBatch& batch = QuadRunBatch::Shared();
    ScreenVertex quad[4];
    for (const SIM_BulletWeaponModule* weapon : SIM_BulletWeaponModule::GetAll()) {
        if (!weapon->hasBlastTexture || !ShowsMuzzles(*weapon))
            continue;
        for (size_t t = 0, n = MuzzleCount(*weapon); t < n; ++t)
            if (BlastQuad(*weapon, t, view, quad))
                batch.Add(BlastTexture(*weapon, weapon->blastTexture.c_str()), true, quad);
    }
    for (const SIM_KineticWeapon* weapon : SIM_KineticWeapon::GetAll()) {
        if (weapon->blastTexture.empty() || !ShowsMuzzles(*weapon))
            continue;
        for (size_t t = 0, n = MuzzleCount(*weapon); t < n; ++t) {
            if (KineticFlashQuad(*weapon, t, view, quad))
                batch.Add(BlastTexture(*weapon, weapon->blastTexture.c_str()), true, quad);
            if (KineticStreakQuad(*weapon, t, view, quad))
                batch.Add(BlastTexture(*weapon, weapon->blastTexture.c_str()), true, quad);
        }
    }
}

void BulletSprites::DrawAtMuzzle()
{
    if (!D3DEngine::GetInstance().IsInitialised())
        return;
    QuadRunBatch& batch = QuadRunBatch::Shared();
    bool own = false;
    BeginBatch(batch, own);
    DrawBullets(true, BattleView::FromCamera());
    if (own)
        batch.End();
}

void BulletSprites::Draw(bool muzzles)
{
    if (!D3DEngine::GetInstance().IsInitialised())
        return;
    QuadRunBatch& batch = QuadRunBatch::Shared();
    bool own = false;
    BeginBatch(batch, own);
    const BattleView view = BattleView::FromCamera();
    DrawBullets(false, view);
    if (muzzles)
        DrawMuzzles(view);
    if (own)
        batch.End();
}
