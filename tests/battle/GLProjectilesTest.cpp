// A real battle drawn through OpenGL (offscreen), held still where its
// projectiles fly: a bullet in open space must light the pixels it covers,
// and a missile its body, its flare and the rope of smoke behind it,
// compared with the same view of the map alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "battle/GLBattleFixture.h"
#include "battle/GUI_BattleGUI.h"
#include "battle/GUI_Map.h"
#include "battle/GUI_Shield.h"
#include "battle/GUI_Ship.h"
#include "battle/GUI_ShipDrawLists.h"
#include "battle/GUI_ShipEffectHooks.h"
#include "battle/MissileRenderer.h"
#include "engine/D3DEngine.h"
#include "sim/SIM_Battle.h"
#include "sim/SIM_BattleClock.h"
#include "sim/SIM_BattleEffects.h"
#include "sim/SIM_Fleet.h"
#include "sim/SIM_Shield.h"
#include "sim/SIM_Ship.h"
#include "sim/ShippedBattleWorld.h"
#include "sim/modules/SIM_BeamWeaponModule.h"
#include "sim/modules/SIM_BulletWeaponModule.h"
#include "sim/modules/SIM_GunProjectiles.h"
#include "sim/modules/SIM_MissileModule.h"
#include "support/GLTestContext.h"
#include "support/ImageCompare.h"

namespace {

constexpr int kWidth = GLBattleFixture::kWidth;
constexpr int kHeight = GLBattleFixture::kHeight;

// Nothing of any ship within this many units of the point.
bool InOpenSpace(float x, float y, float clearance)
{
    const SIM_Battle& battle = SIM_Battle::GetInstance();
    for (const SIM_Fleet* fleet : {battle.GetPlayerFleet(), battle.GetEnemyFleet()}) {
        if (!fleet)
            continue;
        for (const SIM_Ship* ship : fleet->GetAllShips()) {
            const float r = ship->radius + clearance;
            if ((ship->x - x) * (ship->x - x) + (ship->y - y) * (ship->y - y) < r * r)
                return false;
        }
    }
    return true;
}

const SIM_Bullet* BulletInOpenSpace()
{
    for (const SIM_BulletWeaponModule* weapon : SIM_BulletWeaponModule::GetAll())
        for (int i = 0; i < weapon->GetHighWater(); ++i) {
            const SIM_Bullet& b = weapon->bullets[i];
            if (b.live && !b.atMuzzle && b.alpha >= 1.0f && b.width >= 4.0f && InOpenSpace(b.x, b.y, 30.0f))
                return &b;
        }
    return nullptr;
}

// A rope-trailed missile well into its flight, its head in open space.
const SIM_Missile* MissileWithRope()
{
    for (SIM_MissileModule* launcher : SIM_MissileModule::GetLaunchers()) {
        const SIM_Missile& m = launcher->GetMissile();
        const MissileRenderer::Trails* trails = MissileRenderer::GetInstance().Find(&m);
        if (!m.IsLive() || m.trailMode != SIM_Missile::ROPE || !trails || !m.hasFlare)
            continue;
        int points = 0;
        for (int i = 0; i < 8; ++i)
            points += trails->rope.IsActive(i) ? 1 : 0;
        if (points == 8 && InOpenSpace(m.x, m.y, 40.0f) && InOpenSpace(trails->rope.GetX(6), trails->rope.GetY(6), 30.0f))
            return &m;
    }
    return nullptr;
}

int Brightness(const std::vector<uint8_t>& rgba, int x, int y)
{
    const size_t i = (static_cast<size_t>(y) * kWidth + static_cast<size_t>(x)) * 4;
    return rgba[i] + rgba[i + 1] + rgba[i + 2];
}

// The largest lift over the map alone within a small square around (x, y).
int Lift(const std::vector<uint8_t>& shot, const std::vector<uint8_t>& map, float fx, float fy, int reach = 1)
{
    int best = -1000;
    for (int dy = -reach; dy <= reach; ++dy)
        for (int dx = -reach; dx <= reach; ++dx) {
            const int x = static_cast<int>(fx) + dx, y = static_cast<int>(fy) + dy;
            if (x >= 0 && y >= 0 && x < kWidth && y < kHeight)
                best = std::max(best, Brightness(shot, x, y) - Brightness(map, x, y));
        }
    return best;
}

class GLProjectiles : public GLBattleFixture {
protected:
    GLProjectiles() : GLBattleFixture("projectiles") {}
    // Holds the battle still over (x, y): the map alone, then the battle.
    void LookAt(float x, float y, std::vector<uint8_t>& map, std::vector<uint8_t>& shot)
    {
        GUI_BattleGUI& gui = GUI_BattleGUI::GetInstance();
        GUI_Map::GetInstance().SetCentre(x, y);
        gui.TogglePauseState();
        Frame(true); // the camera settles on its new centre
        map = Frame(false);
        shot = Frame(true);
        gui.TogglePauseState();
    }
    // Our battlecruiser and a Korrath one, in reach of each other: their
    // pulse cannons cannot pierce each other's shields.
    void StartBattlecruiserDuel()
    {
        SIM_DeployedFleet player, enemy;
        ASSERT_TRUE(ShippedBattleWorld::Add(player, "fed_ai_battlecruiser", 600.0f, 600.0f));
        ASSERT_TRUE(ShippedBattleWorld::Add(enemy, "kor_ai_battlecruiser", 1100.0f, 600.0f));
        ASSERT_TRUE(m_world.Headless().StartCustom(SIM_Scenario::FindByName("scenario2"), player, enemy, 3));
        GUI_BattleGUI& gui = GUI_BattleGUI::GetInstance();
        gui.Enter();
        gui.hudShown = 0;
    }
    static float ScreenX(float x) { return (x - GUI_Map::GetInstance().cameraX) * ZoomScale; }
    static float ScreenY(float y) { return (y - GUI_Map::GetInstance().cameraY) * ZoomScale; }
};

TEST_F(GLProjectiles, BulletsAndMissilesWithTheirRopesShowInFlight)
{
    SIM_Scenario* scenario = SIM_Scenario::FindByName("scenario1");
    ASSERT_NE(scenario, nullptr);
    // The hard fleet brings missile cruisers.
    ASSERT_TRUE(StartBattleFromDeploymentFile(scenario, "data/sample deployment/deployed.txt", SIM_Scenario::HARD));
    GUI_BattleGUI& gui = GUI_BattleGUI::GetInstance();
    gui.Enter();
    gui.hudShown = 0;

    const SIM_Bullet* bullet = nullptr;
    for (int frame = 0; frame < 6000 && !bullet; ++frame) {
        Frame(true);
        bullet = BulletInOpenSpace();
    }
    ASSERT_NE(bullet, nullptr) << "no bullet flew clear of the ships";
    std::vector<uint8_t> map, shot;
    LookAt(bullet->x, bullet->y, map, shot);
    if (const char* dir = std::getenv("QLM_TEST_SHOTS"))
        SavePng(std::string(dir) + "/battle_bullet.png", kWidth, kHeight, shot);
    EXPECT_GT(Lift(shot, map, ScreenX(bullet->x), ScreenY(bullet->y)), 120) << "the bullet's hot core";
    // Beside the bullet, a bullet's length away across its flight, nothing.
    const float side = (bullet->height + 2.0f) * ZoomScale;
    EXPECT_LT(Lift(shot, map, ScreenX(bullet->x) + bullet->directionCosine * side,
                   ScreenY(bullet->y) + bullet->directionSine * side, 0),
              30);

    const SIM_Missile* missile = nullptr;
    for (int frame = 0; frame < 6000 && !missile; ++frame) {
        Frame(true);
        missile = MissileWithRope();
    }
    ASSERT_NE(missile, nullptr) << "no missile flew with its rope clear of the ships";
    LookAt(missile->x, missile->y, map, shot);
    if (const char* dir = std::getenv("QLM_TEST_SHOTS"))
        SavePng(std::string(dir) + "/battle_missile.png", kWidth, kHeight, shot);
    EXPECT_GT(Lift(shot, map, ScreenX(missile->x), ScreenY(missile->y)), 60) << "the missile's body";
    const float a = missile->angle * 0.017453292f;
    const float back = missile->length * 0.5f;
    EXPECT_GT(Lift(shot, map, ScreenX(missile->x - std::sin(a) * back), ScreenY(missile->y + std::cos(a) * back)),
              120)
        << "its flare";
    const MissileRenderer::Trails* trails = MissileRenderer::GetInstance().Find(missile);
    ASSERT_NE(trails, nullptr);
    int lit = 0;
    for (int i = 3; i < 7; ++i)
        lit += Lift(shot, map, ScreenX(trails->rope.GetX(i)), ScreenY(trails->rope.GetY(i))) > 20 ? 1 : 0;
    EXPECT_GE(lit, 3) << "the rope behind it";
}

// The screen's hooks, noting the first bullet turned away by a shield.
class DeflectionWatch : public GUI_ShipEffectHooks {
public:
    void ProjectileShieldImpact(SIM_Ship* ship, float size, float x, float y) override
    {
        GUI_ShipEffectHooks::ProjectileShieldImpact(ship, size, x, y);
        if (ship_ || !ShotByABullet(ship, x, y))
            return;
        ship_ = ship;
        x_ = x;
        y_ = y;
    }
    SIM_Ship* ship_ = nullptr;
    float x_ = 0.0f, y_ = 0.0f;

private:
    // A deflected bullet flies on unguided from where it met the bubble
    // (a kinetic shell ends at its target and is no bullet).
    static bool ShotByABullet(const SIM_Ship* ship, float x, float y)
    {
        for (const SIM_BulletWeaponModule* weapon : SIM_BulletWeaponModule::GetAll())
            for (int i = 0; i < weapon->GetHighWater(); ++i) {
                const SIM_Bullet& b = weapon->bullets[i];
                if (b.live && b.target == ship && !b.guided && (b.x - x) * (b.x - x) + (b.y - y) * (b.y - y) < 400.0f)
                    return true;
            }
        return false;
    }
};

TEST_F(GLProjectiles, ABulletStoppedByAShieldLeavesASparkOnTheBubble)
{
    ASSERT_NO_FATAL_FAILURE(StartBattlecruiserDuel());
    GUI_BattleGUI& gui = GUI_BattleGUI::GetInstance();
    DeflectionWatch watch;
    SIM_BattleEffects::Set(&watch);
    for (int frame = 0; frame < 6000 && !watch.ship_; ++frame)
        Frame(true);
    SIM_BattleEffects::Set(&GUI_ShipEffectHooks::GetInstance());
    ASSERT_NE(watch.ship_, nullptr) << "no shield turned a bullet away";
    GUI_Shield* shield = GUI_Ship::Of(watch.ship_)->GetShield();
    ASSERT_NE(shield, nullptr);
    const GUI_ShieldImpact* impact = nullptr;
    for (int i = 0; i < GUI_Shield::kImpacts && !impact; ++i)
        if (shield->GetImpact(i) && shield->GetImpact(i)->active && shield->GetImpact(i)->worldX == watch.x_ &&
            shield->GetImpact(i)->worldY == watch.y_)
            impact = shield->GetImpact(i);
    ASSERT_NE(impact, nullptr);
    // Let it grow to full size (a quarter of its life), watching it.
    GUI_Map::GetInstance().SetCentre(watch.x_, watch.y_);
    for (int frame = 0; frame < 60 && impact->age < 0.25f * GUI_ShieldImpact::kLife; ++frame)
        Frame(true);
    ASSERT_TRUE(impact->active);
    gui.TogglePauseState();
    Frame(true);
    const std::vector<uint8_t> with = Frame(true);
    // The same still frame without the spark.
    const_cast<GUI_ShieldImpact*>(impact)->active = 0;
    const std::vector<uint8_t> without = Frame(true);
    gui.TogglePauseState();
    if (const char* dir = std::getenv("QLM_TEST_SHOTS"))
        SavePng(std::string(dir) + "/battle_shield_impact.png", kWidth, kHeight, with);
    EXPECT_GT(Lift(with, without, ScreenX(watch.x_), ScreenY(watch.y_), 2), 60) << "the spark on the bubble";
    const float side = ZoomScale * impact->size;
    EXPECT_LT(Lift(with, without, ScreenX(watch.x_) + 2.0f * side, ScreenY(watch.y_), 0), 10)
        << "nothing two spark sizes away";

    // A shot through the bubble there instead: the blast arc's sweep lights
    // the bubble's rim toward the hit, and only there.
    gui.shadersOn = 1;
    gui.TogglePauseState();
    shield->Flash();
    shield->AddBlast(watch.x_, watch.y_);
    Frame(true);
    const std::vector<uint8_t> arc = Frame(true);
    for (int i = 0; i < GUI_Shield::kArcs; ++i)
        const_cast<GUI_Shield::BlastArc&>(shield->GetArc(i)).active = 0;
    const std::vector<uint8_t> noArc = Frame(true);
    gui.TogglePauseState();
    if (const char* dir = std::getenv("QLM_TEST_SHOTS"))
        SavePng(std::string(dir) + "/battle_shield_arc.png", kWidth, kHeight, arc);
    const SIM_Ship* ship = watch.ship_;
    const float a = std::atan2(watch.x_ - ship->x, ship->y - watch.y_);
    const float rim = 0.9f * shield->GetRadius();
    EXPECT_GT(Lift(arc, noArc, ScreenX(ship->x + rim * std::sin(a)), ScreenY(ship->y - rim * std::cos(a)), 4), 40)
        << "the arc on the rim toward the hit";
    EXPECT_LT(Lift(arc, noArc, ScreenX(ship->x - rim * std::sin(a)), ScreenY(ship->y + rim * std::cos(a)), 4), 5)
        << "nothing on the far side";
}

// The screen's hooks, counting the shield marks shots leave on some ships.
class ShieldMarkCount : public GUI_ShipEffectHooks {
public:
    void ProjectileShieldImpact(SIM_Ship* ship, float size, float x, float y) override
    {
        GUI_ShipEffectHooks::ProjectileShieldImpact(ship, size, x, y);
        marks += Watched(ship) ? 1 : 0;
    }
    void ProjectileShieldBlast(SIM_Ship* ship, float x, float y) override
    {
        GUI_ShipEffectHooks::ProjectileShieldBlast(ship, x, y);
        marks += Watched(ship) ? 1 : 0;
    }
    bool Watched(const SIM_Ship* ship) const { return std::find(ships.begin(), ships.end(), ship) != ships.end(); }
    std::vector<const SIM_Ship*> ships;
    int marks = 0;
};

TEST_F(GLProjectiles, ADisruptedShieldIsNeitherDrawnNorMetByShots)
{
    ASSERT_NO_FATAL_FAILURE(StartBattlecruiserDuel());
    GUI_BattleGUI& gui = GUI_BattleGUI::GetInstance();
    SIM_Ship* const fed = SIM_Battle::GetInstance().GetPlayerFleet()->GetAllShips().front();
    SIM_Ship* const kor = SIM_Battle::GetInstance().GetEnemyFleet()->GetAllShips().front();
    ASSERT_TRUE(fed->GetShield() && kor->GetShield() && GUI_Ship::Of(kor)->GetShield());

    // Both shields disrupted and held so while the two fight: the bubbles
    // are down, and no shot stops at them or marks them.
    ShieldMarkCount count;
    count.ships = {fed, kor};
    SIM_BattleEffects::Set(&count);
    auto hold = [](SIM_Ship* ship) {
        SIM_Shield* shield = ship->GetShield();
        if (shield->IsUp())
            shield->Drain(shield->stability + 1.0f);
        shield->stability = 0.0f;
    };
    int hits = 0;
    for (int frame = 0; frame < 6000 && hits < 20; ++frame) {
        if (fed->state == SIM_Ship::ACTIVE && kor->state == SIM_Ship::ACTIVE) {
            hold(fed);
            hold(kor);
        }
        Frame(true);
        hits = fed->GetStats().hitsTaken + kor->GetStats().hitsTaken;
    }
    SIM_BattleEffects::Set(&GUI_ShipEffectHooks::GetInstance());
    ASSERT_GE(hits, 20) << "the two never traded shots";
    ASSERT_EQ(kor->GetShield()->state, SIM_Shield::DISRUPTED);
    EXPECT_FALSE(SIM_GunProjectiles::HasBubble(kor) || SIM_GunProjectiles::HasBubble(fed));
    EXPECT_EQ(count.marks, 0) << "shots stopped at bubbles that were down";

    // On the screen: a hit taken whole flashes an up bubble round its rim,
    // and nothing round a disrupted one. (The shots in flight are put out:
    // one landing on the shield once it is up would flash it too.)
    GUI_Shield* shield = GUI_Ship::Of(kor)->GetShield();
    for (SIM_Ship* ship : {fed, kor})
        for (SIM_ShipModule* module : ship->GetModules())
            if (auto* beam = dynamic_cast<SIM_BeamWeaponModule*>(module)) {
                beam->beamActive = false;
                beam->damagePending = false;
            }
    for (SIM_BulletWeaponModule* weapon : SIM_BulletWeaponModule::GetAll())
        for (SIM_Bullet& bullet : weapon->bullets)
            bullet.live = false;
    gui.TogglePauseState();
    for (int frame = 0; frame < 30; ++frame) {
        GUI_Map::GetInstance().SetCentre(kor->x, kor->y);
        Frame(true);
    }
    auto rimLit = [&](const std::vector<uint8_t>& with, const std::vector<uint8_t>& without) {
        const GUI_Map& map = GUI_Map::GetInstance();
        const float cx = (kor->x - map.cameraX) * ZoomScale, cy = (kor->y - map.cameraY) * ZoomScale;
        const float rim = shield->GetRadius() * 0.93f * ZoomScale;
        int lit = 0;
        for (int k = 0; k < 24; ++k) {
            const float a = static_cast<float>(k) * 15.0f * 0.017453292f;
            const int x = static_cast<int>(cx + rim * std::sin(a)), y = static_cast<int>(cy - rim * std::cos(a));
            if (x < 0 || y < 0 || x >= kWidth || y >= kHeight)
                continue;
            lit += Brightness(with, x, y) > Brightness(without, x, y) + 15 ? 1 : 0;
        }
        return lit;
    };
    const std::vector<uint8_t> quiet = Frame(true);
    GUI_Ship::Of(kor)->ShowShieldImpact(kor->x, kor->y);
    const std::vector<uint8_t> down = Frame(true);
    EXPECT_EQ(rimLit(down, quiet), 0) << "a disrupted bubble showed";
    // Its stability back: the shield comes up, and its bubble with it.
    kor->GetShield()->stability = kor->GetShield()->startingPoints - 0.01f;
    kor->GetShield()->Update(1.0f);
    ASSERT_TRUE(kor->GetShield()->IsUp());
    EXPECT_TRUE(SIM_GunProjectiles::HasBubble(kor));
    const std::vector<uint8_t> before = Frame(true);
    GUI_Ship::Of(kor)->ShowShieldImpact(kor->x, kor->y);
    const std::vector<uint8_t> up = Frame(true);
    gui.TogglePauseState();
    if (const char* dir = std::getenv("QLM_TEST_SHOTS"))
        SavePng(std::string(dir) + "/battle_shield_back_up.png", kWidth, kHeight, up);
    EXPECT_GT(rimLit(up, before), 12) << "the bubble back up flashes";
}

} // namespace
