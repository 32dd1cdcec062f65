#include "battle/BulletSprites.h"

#include "battle/GUI_DebrisPool.h"

#include "battle/GUI_BattleGUI.h"

#include "battle/GUI_AsteroidField.h"

#include <algorithm>
#include <cmath>

#include "battle/GUI_AsteroidField.h"
#include "battle/GUI_BattleGUI.h"
#include "battle/GUI_DebrisPool.h"
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
struct MuzzleAt {
    float x, y, sine, cosine;
};

SIM_ShipModule::Point MuzzlePlace(const SIM_TargetedModule& weapon, size_t turret)
{
    return weapon.GetTurretCount() > 0 ? weapon.GetTurretWorldPos(turret) : weapon.GetWorldPos();
}

MuzzleAt Muzzle(const SIM_TargetedModule& weapon, size_t turret, SIM_ShipModule::Point p)
{
    const float a = weapon.GetTurretAngle(turret) * BattleView::kDegToRad;
    return {p.x, p.y, std::sin(a), std::cos(a)};
}

MuzzleAt Muzzle(const SIM_TargetedModule& weapon, size_t turret)
{
    return Muzzle(weapon, turret, MuzzlePlace(weapon, turret));
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
    flyingKept = false;
}

bool BulletSprites::CollideInSpareTime()
{
    return SIM_GunProjectiles::CollideWithScenery();
}

int BulletSprites::SceneryProbe(float screenX, float screenY, bool asteroidsToo)
{
    if (GUI_BattleGUI::GetInstance().debris) {
        GUI_DebrisPools& pools = GetDebrisPools();
        if (pools.first.HitTest(screenX, screenY) || pools.second.HitTest(screenX, screenY))
            return SIM_GunProjectiles::DEBRIS;
    }
    return GUI_AsteroidField::SceneryProbe(screenX, screenY, asteroidsToo);
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

namespace {

bool BlastQuadAt(const SIM_TargetedModule& weapon, float timer, const MuzzleAt& m, const BattleView& view,
                 ScreenVertex quad[4])
{
    const float size = 2.0f * weapon.turretSize * view.zoom;
    PlaceHeadingQuad(view.ScreenX(m.x), view.ScreenY(m.y), size, size, m.sine, m.cosine, kWholeCell,
                     WhiteAlpha(1.0f - timer / BulletSprites::kBlastMs), quad);
    return view.Shows(quad);
}

// A kinetic turret's flash shows while its timer is within the interval.
bool KineticFlashes(const SIM_KineticWeapon& weapon, size_t turret)
{
    return weapon.turretFlash[turret] <= weapon.fireInterval;
}

// f: how far the flash has faded (0..1).
bool KineticFlashQuadAt(const SIM_KineticWeapon& weapon, size_t turret, const MuzzleAt& m, float f,
                        const BattleView& view, ScreenVertex quad[4])
{
    const float s = m.sine, c = m.cosine;
    const float size = weapon.turretSize;
    const float ahead = 0.75f * size;
    const float u = static_cast<float>(weapon.flashFrames[turret] & 1) * 0.25f;
    const float uv[4] = {u, u + 0.25f, 0.0f, 1.0f};
    PlaceHeadingQuad(view.ScreenX(m.x + s * ahead), view.ScreenY(m.y - c * ahead), size * 0.5f * view.zoom,
                     size * view.zoom, s, c, uv, WhiteAlpha(1.0f - f), quad);
    return view.Shows(quad);
}

bool KineticStreakQuadAt(const SIM_KineticWeapon& weapon, size_t turret, const MuzzleAt& m, float f,
                         const BattleView& view, ScreenVertex quad[4])
{
    const float s = m.sine, c = m.cosine;
    const float size = weapon.turretSize;
    const float push = 4.0f * size * f;
    const float length = std::max(size, push);
    // Eight streak cells: four on the upper half of the picture's right
    // side, four below them.
    const int k = std::clamp(weapon.streakCells[turret], 0, 7);
    const float u = 0.5f + 0.125f * static_cast<float>(k % 4);
    const float v = k < 4 ? 0.0f : 0.5f;
    const float uv[4] = {u, u + 0.125f, v, v + 0.5f};
    PlaceHeadingQuad(view.ScreenX(m.x + s * push), view.ScreenY(m.y - c * push), size * 0.25f * view.zoom,
                     length * view.zoom, s, c, uv, WhiteAlpha(1.0f - f), quad);
    return view.Shows(quad);
}

} // namespace

bool BulletSprites::BlastQuad(const SIM_TargetedModule& weapon, size_t turret, const BattleView& view,
                              ScreenVertex quad[4])
{
    const float timer = weapon.turretFlash[turret];
    if (!(timer <= kBlastMs))
        return false;
    return BlastQuadAt(weapon, timer, Muzzle(weapon, turret), view, quad);
}

bool BulletSprites::KineticFlashQuad(const SIM_KineticWeapon& weapon, size_t turret, const BattleView& view,
                                     ScreenVertex quad[4])
{
    if (!KineticFlashes(weapon, turret))
        return false;
    const float f = FlashFraction(weapon, turret);
    return KineticFlashQuadAt(weapon, turret, Muzzle(weapon, turret), f, view, quad);
}

bool BulletSprites::KineticStreakQuad(const SIM_KineticWeapon& weapon, size_t turret, const BattleView& view,
                                      ScreenVertex quad[4])
{
    if (!KineticFlashes(weapon, turret))
        return false;
    const float f = FlashFraction(weapon, turret);
    return KineticStreakQuadAt(weapon, turret, Muzzle(weapon, turret), f, view, quad);
}

bool BulletSprites::MuzzleMayShow(float x, float y, float turretSize, const BattleView& view)
{
    // The streak reaches farthest: pushed out four sizes, with half its
    // length (two sizes at most) and half its width beyond that. A pixel
    // more covers the rounding.
    const float reach = kMuzzleReach * std::fabs(turretSize * view.zoom) + 1.0f;
    const float sx = view.ScreenX(x), sy = view.ScreenY(y);
    return !(sx < -reach || sy < -reach || sx > view.width + reach || sy > view.height + reach);
}

void BulletSprites::LoadMuzzlePictures()
{
    D3DEngine& engine = D3DEngine::GetInstance();
    for (const SIM_BulletWeaponModule* weapon : SIM_BulletWeaponModule::GetAll())
        if (weapon->hasBlastTexture)
            engine.FindTexture(weapon->blastTexture);
    for (const SIM_KineticWeapon* weapon : SIM_KineticWeapon::GetAll())
        if (!weapon->blastTexture.empty())
            engine.FindTexture(weapon->blastTexture);
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
    // Most muzzles that show are off the screen: their place rules them out
    // before their heading is turned.
    QuadRunBatch& batch = QuadRunBatch::Shared();
    ScreenVertex quad[4];
    for (const SIM_BulletWeaponModule* weapon : SIM_BulletWeaponModule::GetAll()) {
        if (!weapon->hasBlastTexture || !ShowsMuzzles(*weapon))
            continue;
        for (size_t t = 0, n = MuzzleCount(*weapon); t < n; ++t) {
            const float timer = weapon->turretFlash[t];
            if (!(timer <= kBlastMs))
                continue;
            const SIM_ShipModule::Point p = MuzzlePlace(*weapon, t);
            if (!MuzzleMayShow(p.x, p.y, weapon->turretSize, view))
                continue;
            if (BlastQuadAt(*weapon, timer, Muzzle(*weapon, t, p), view, quad))
                batch.Add(BlastTexture(*weapon, weapon->blastTexture.c_str()), true, quad);
        }
    }
    for (const SIM_KineticWeapon* weapon : SIM_KineticWeapon::GetAll()) {
        if (weapon->blastTexture.empty() || !ShowsMuzzles(*weapon))
            continue;
        for (size_t t = 0, n = MuzzleCount(*weapon); t < n; ++t) {
            if (!KineticFlashes(*weapon, t))
                continue;
            const SIM_ShipModule::Point p = MuzzlePlace(*weapon, t);
            if (!MuzzleMayShow(p.x, p.y, weapon->turretSize, view))
                continue;
            // The flash and the streak share the muzzle.
            const float f = FlashFraction(*weapon, t);
            const MuzzleAt m = Muzzle(*weapon, t, p);
            if (KineticFlashQuadAt(*weapon, t, m, f, view, quad))
                batch.Add(BlastTexture(*weapon, weapon->blastTexture.c_str()), true, quad);
            if (KineticStreakQuadAt(*weapon, t, m, f, view, quad))
                batch.Add(BlastTexture(*weapon, weapon->blastTexture.c_str()), true, quad);
        }
    }
}

void BulletSprites::DrawAtMuzzleKeepingFlying(const BattleView& view)
{
    QuadRunBatch& batch = QuadRunBatch::Shared();
    const TextureHandle texture = sheet.GetHandle();
    flying.clear();
    ScreenVertex quad[4];
    for (const SIM_BulletWeaponModule* weapon : SIM_BulletWeaponModule::GetAll()) {
        const int count = weapon->GetHighWater();
        for (int i = 0; i < count; ++i) {
            const SIM_Bullet& bullet = weapon->bullets[i];
            if (!BulletQuad(bullet, view, quad))
                continue;
            if (bullet.atMuzzle)
                batch.Add(texture, true, quad);
            else
                flying.insert(flying.end(), quad, quad + 4);
        }
    }
    flyingKept = true;
    flyingView = view;
}

namespace {
bool SameView(const BattleView& a, const BattleView& b)
{
    return a.cameraX == b.cameraX && a.cameraY == b.cameraY && a.zoom == b.zoom && a.width == b.width &&
           a.height == b.height;
}
} // namespace

void BulletSprites::DrawAtMuzzle()
{
    if (!D3DEngine::GetInstance().IsInitialised())
        return;
    QuadRunBatch& batch = QuadRunBatch::Shared();
    bool own = false;
    BeginBatch(batch, own);
    DrawAtMuzzleKeepingFlying(BattleView::FromCamera());
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
    if (flyingKept && SameView(view, flyingView))
        batch.AddQuads(sheet.GetHandle(), true, flying.data(), flying.size() / 4);
    else
        DrawBullets(false, view);
    flyingKept = false;
    if (muzzles)
        DrawMuzzles(view);
    if (own)
        batch.End();
}
