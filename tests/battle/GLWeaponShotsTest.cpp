// Every weapon class the content ships, fired on the battle screen (OpenGL,
// offscreen), leaves pixels where its shot is. Each shot is put in open
// space between its ship and its mark with the battle paused, and the still
// frame is compared with the same frame once the shot is gone: a class whose
// shot the screen never draws fails, and so does a shipped weapon class that
// this test does not know how to fire.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "battle/GLBattleFixture.h"
#include "battle/GUI_BattleGUI.h"
#include "battle/GUI_ECMShock.h"
#include "battle/GUI_Map.h"
#include "battle/GUI_Ship.h"
#include "battle/ShipTurrets.h"
#include "engine/GeometryHelpers.h"
#include "sim/SIM_Battle.h"
#include "sim/SIM_DeployedFleet.h"
#include "sim/SIM_Fleet.h"
#include "sim/SIM_Shield.h"
#include "sim/SIM_Ship.h"
#include "sim/SIM_ShipModuleType.h"
#include "sim/ShippedBattleWorld.h"
#include "sim/modules/SIM_BeamWeaponModule.h"
#include "sim/modules/SIM_BulletWeaponModule.h"
#include "sim/modules/SIM_ECMBeamModule.h"
#include "sim/modules/SIM_ECMShockModule.h"
#include "sim/modules/SIM_KineticWeapon.h"
#include "sim/modules/SIM_LightningGunModule.h"
#include "sim/modules/SIM_Limpet.h"
#include "sim/modules/SIM_LimpetLauncherModule.h"
#include "sim/modules/SIM_Missile.h"
#include "sim/modules/SIM_MissileModule.h"
#include "sim/modules/SIM_ModuleFactory.h"
#include "sim/modules/SIM_Plasma.h"
#include "sim/modules/SIM_PlasmaLauncherModule.h"
#include "sim/modules/SIM_PointDefenceModule.h"
#include "sim/modules/SIM_ShieldModule.h"
#include "sim/modules/SIM_ShieldSupportBeam.h"
#include "sim/modules/SIM_SmartBombModule.h"
#include "sim/modules/SIM_TargetPainterModule.h"
#include "sim/modules/SIM_TractorModule.h"
#include "support/ImageCompare.h"

namespace {

constexpr int kWidth = GLBattleFixture::kWidth;
constexpr int kHeight = GLBattleFixture::kHeight;
// Our ships and their mark stand this far apart: the shot's middle lies
// clear of both hulls (cruisers are 140 across).
constexpr float kReach = 300.0f;

template <class T>
T* FindModule(const SIM_Ship* ship)
{
    for (SIM_ShipModule* m : ship->GetModules())
        if (auto* found = dynamic_cast<T*>(m))
            return found;
    return nullptr;
}

SIM_ShipModule::Point From(const SIM_TargetedModule& module)
{
    return module.GetTurretCount() > 0 ? module.GetTurretWorldPos(0) : module.GetWorldPos();
}

class GLWeaponShots : public GLBattleFixture {
protected:
    GLWeaponShots() : GLBattleFixture("weapon shots") {}
    void TearDown() override
    {
        GUI_BattleGUI& gui = GUI_BattleGUI::GetInstance();
        if (gui.paused)
            gui.TogglePauseState();
        gui.Leave();
        GLBattleFixture::TearDown();
    }

    // Our battlecruiser, carrier, missile cruiser and siege cruiser far
    // apart, an enemy escort to fire at; held still once all have arrived,
    // then paused.
    void StartBattle()
    {
        SIM_DeployedFleet player, enemy;
        ASSERT_TRUE(ShippedBattleWorld::Add(player, "fed_ai_battlecruiser", 400.0f, 400.0f));
        ASSERT_TRUE(ShippedBattleWorld::Add(player, "fed_ai_carrier", 400.0f, 1300.0f));
        ASSERT_TRUE(ShippedBattleWorld::Add(player, "fed_ai_missilecruiser", 1300.0f, 400.0f));
        ASSERT_TRUE(ShippedBattleWorld::Add(player, "fed_ai_siegecruiser", 1300.0f, 1300.0f));
        ASSERT_TRUE(ShippedBattleWorld::Add(enemy, "kor_ai_escort", 2200.0f, 1700.0f));
        ASSERT_TRUE(SIM_Battle::GetInstance().Start(SIM_Scenario::FindByName("scenario1"), &player, &enemy, false));
        GUI_BattleGUI& gui = GUI_BattleGUI::GetInstance();
        gui.Enter();
        gui.hudShown = 0;
        ships = SIM_Battle::GetInstance().GetPlayerFleet()->GetAllShips();
        ASSERT_EQ(ships.size(), 4u);
        mark = SIM_Battle::GetInstance().GetEnemyFleet()->GetAllShips().front();
        all = ships;
        all.push_back(mark);
        auto arrived = [this] {
            return std::all_of(all.begin(), all.end(), [](const SIM_Ship* s) { return s->state == SIM_Ship::ACTIVE; });
        };
        for (int frame = 0; frame < 120 && !arrived(); ++frame) {
            HoldStill();
            Frame(true);
        }
        ASSERT_TRUE(arrived());
        HoldStill();
        gui.TogglePauseState();
    }
    void HoldStill()
    {
        for (SIM_Ship* ship : all) {
            ship->speed = 0.0f;
            ship->maxSpeed = 0.0f;
            ship->turnRate = 0.0f;
        }
    }
    // The mark kReach to the right of the shooter.
    void MarkBeside(const SIM_Ship* shooter)
    {
        mark->x = shooter->x + kReach;
        mark->y = shooter->y;
    }
    void MarkAway()
    {
        mark->x = 2200.0f;
        mark->y = 1700.0f;
    }
    // Close up on (x, y): the zoom eases to 2 over the frames.
    void Look(float x, float y)
    {
        GUI_Map& map = GUI_Map::GetInstance();
        map.zoomTarget = std::min(2.0f, map.maxZoom);
        for (int frame = 0; frame < 2 || (ZoomScale != map.zoomTarget && frame < 400); ++frame) {
            map.SetCentre(x, y);
            Frame(true);
        }
    }
    static void ToScreen(float x, float y, int& sx, int& sy)
    {
        const GUI_Map& map = GUI_Map::GetInstance();
        sx = static_cast<int>((x - map.cameraX) * ZoomScale);
        sy = static_cast<int>((y - map.cameraY) * ZoomScale);
    }
    static size_t ChangedNear(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, int cx, int cy, int half,
                              int by)
    {
        size_t n = 0;
        for (int y = std::max(cy - half, 0); y <= std::min(cy + half, kHeight - 1); ++y)
            for (int x = std::max(cx - half, 0); x <= std::min(cx + half, kWidth - 1); ++x) {
                const size_t i = (static_cast<size_t>(y) * kWidth + static_cast<size_t>(x)) * 4;
                const int d = (a[i] + a[i + 1] + a[i + 2]) - (b[i] + b[i + 1] + b[i + 2]);
                n += d > by || -d > by ? 1 : 0;
            }
        return n;
    }

    // Looks at (x, y), shows the shot, draws, takes it away, draws again:
    // the pixels within `half` of the point that the shot changed.
    size_t ShotPixels(const std::string& name, float x, float y, int half, const std::function<void()>& show,
                      const std::function<void()>& hide)
    {
        Look(x, y);
        show();
        const std::vector<uint8_t> with = Frame(true);
        hide();
        const std::vector<uint8_t> without = Frame(true);
        if (const char* dir = std::getenv("QLM_TEST_SHOTS"))
            SavePng(std::string(dir) + "/shot_" + name + ".png", kWidth, kHeight, with);
        int sx = 0, sy = 0;
        ToScreen(x, y, sx, sy);
        return ChangedNear(with, without, sx, sy, half, 30);
    }

    std::vector<SIM_Ship*> ships; // battlecruiser, carrier, missile cruiser, siege cruiser
    std::vector<SIM_Ship*> all;
    SIM_Ship* mark = nullptr;
};

TEST_F(GLWeaponShots, EveryShippedWeaponClassFiredOnTheScreenLeavesPixelsWhereItsShotIs)
{
    ASSERT_NO_FATAL_FAILURE(StartBattle());
    SIM_Ship* const battlecruiser = ships[0];
    SIM_Ship* const carrier = ships[1];
    SIM_Ship* const missileCruiser = ships[2];
    SIM_Ship* const siege = ships[3];
    SIM_Missile still; // a missile that does not fly, for the anti-missile beams

    // Per class: fire it and count the pixels its shot changed.
    std::map<std::string, std::function<size_t()>> shots;
    shots["SIM_BeamWeaponModule"] = [&] {
        auto* laser = FindModule<SIM_BeamWeaponModule>(battlecruiser);
        if (!laser)
            return size_t{0};
        MarkBeside(battlecruiser);
        const SIM_ShipModule::Point from = From(*laser);
        return ShotPixels("beam", (from.x + mark->x) * 0.5f, (from.y + mark->y) * 0.5f, 6,
                          [&] {
                              laser->SetTarget(mark);
                              laser->Fire();
                              laser->convergence = false;
                              laser->converging = false;
                              laser->beamAge = laser->beamTime * 0.5f; // grown and faded in
                          },
                          [&] { laser->beamActive = false; });
    };
    shots["SIM_LightningGunModule"] = [&] {
        auto* gun = FindModule<SIM_LightningGunModule>(siege);
        if (!gun)
            return size_t{0};
        MarkBeside(siege);
        const SIM_ShipModule::Point from = From(*gun);
        return ShotPixels("lightning", (from.x + mark->x) * 0.5f, (from.y + mark->y) * 0.5f, 6,
                          [&] {
                              gun->SetTarget(mark);
                              gun->Fire();
                              gun->arcTimer = gun->arcDuration * 0.5f; // full strength
                          },
                          [&] { gun->arcActive = false; });
    };
    shots["SIM_PlasmaLauncherModule"] = [&] {
        auto* launcher = FindModule<SIM_PlasmaLauncherModule>(carrier);
        if (!launcher)
            return size_t{0};
        MarkBeside(carrier);
        const float x = carrier->x + kReach * 0.5f, y = carrier->y;
        return ShotPixels("plasma", x, y, 4,
                          [&] {
                              launcher->SetTarget(mark);
                              launcher->Fire();
                              launcher->torpedo.x = x;
                              launcher->torpedo.y = y;
                          },
                          [&] { launcher->torpedo.live = false; });
    };
    shots["SIM_BulletWeaponModule"] = [&] {
        auto* gun = FindModule<SIM_BulletWeaponModule>(battlecruiser);
        if (!gun)
            return size_t{0};
        MarkBeside(battlecruiser);
        const float x = battlecruiser->x + kReach * 0.5f, y = battlecruiser->y;
        SIM_Bullet* bullet = nullptr;
        return ShotPixels("bullet", x, y, 3,
                          [&] {
                              gun->SetTarget(mark);
                              gun->Fire();
                              for (int i = 0; i < gun->GetHighWater() && !bullet; ++i)
                                  if (gun->bullets[i].live)
                                      bullet = &gun->bullets[i];
                              if (!bullet)
                                  return;
                              bullet->x = x;
                              bullet->y = y;
                              bullet->atMuzzle = false;
                          },
                          [&] {
                              if (bullet)
                                  bullet->live = false;
                          });
    };
    shots["SIM_KineticWeapon"] = [&] {
        auto* gun = FindModule<SIM_KineticWeapon>(carrier);
        if (!gun || gun->GetTurretCount() == 0)
            return size_t{0};
        MarkBeside(carrier);
        const SIM_ShipModule::Point at = gun->GetTurretWorldPos(0);
        // The flash and its streak ahead of the muzzle, within a few turret sizes.
        const int half = static_cast<int>(2.0f * gun->turretSize * 2.0f);
        return ShotPixels("kinetic", at.x, at.y, half,
                          [&] {
                              gun->SetTarget(mark);
                              gun->Fire();
                          },
                          [&] {
                              for (float& timer : gun->turretFlash)
                                  timer = 1e9f;
                          });
    };
    shots["SIM_MissileModule"] = [&] {
        auto* launcher = FindModule<SIM_MissileModule>(missileCruiser);
        if (!launcher)
            return size_t{0};
        MarkBeside(missileCruiser);
        const float x = missileCruiser->x + kReach * 0.5f, y = missileCruiser->y;
        SIM_Missile& missile = launcher->GetMissile();
        return ShotPixels("missile", x, y, 4,
                          [&] {
                              launcher->SetTarget(mark);
                              launcher->Fire();
                              missile.x = x;
                              missile.y = y;
                          },
                          [&] { missile.live = false; });
    };
    shots["SIM_LimpetLauncher"] = [&] {
        auto* launcher = FindModule<SIM_LimpetLauncherModule>(siege);
        if (!launcher)
            return size_t{0};
        const float x = siege->x + kReach * 0.5f, y = siege->y;
        SIM_Limpet& limpet = launcher->GetLimpet(0);
        return ShotPixels("limpet", x, y, 3,
                          [&] {
                              limpet.Launch(x, y);
                              limpet.SetState(SIM_Limpet::DRIFTING);
                          },
                          [&] { limpet.SetState(SIM_Limpet::FREE); });
    };
    shots["SIM_SmartBombModule"] = [&] {
        auto* bomb = FindModule<SIM_SmartBombModule>(carrier);
        if (!bomb)
            return size_t{0};
        // Its blast swells around the whole ship.
        const int half = static_cast<int>(bomb->maxRange * 0.5f * 2.0f);
        return ShotPixels("smartbomb", carrier->x, carrier->y, half,
                          [&] {
                              bomb->Detonate();
                              if (GUI_SmartBombEffect* effect = GUI_Ship::Of(carrier)->GetSmartBomb())
                                  effect->time = 0.5f * GUI_SmartBombEffect::kDurationMs;
                          },
                          [&] {
                              if (GUI_SmartBombEffect* effect = GUI_Ship::Of(carrier)->GetSmartBomb())
                                  effect->time = GUI_SmartBombEffect::kDurationMs;
                          });
    };
    shots["SIM_ECMBeamModule"] = [&] {
        auto* ecm = FindModule<SIM_ECMBeamModule>(siege);
        if (!ecm)
            return size_t{0};
        const SIM_ShipModule::Point from = From(*ecm);
        still.x = siege->x + kReach;
        still.y = siege->y;
        return ShotPixels("ecm_beam", (from.x + still.x) * 0.5f, (from.y + still.y) * 0.5f, 6,
                          [&] {
                              ecm->beamDuration = 1e9f;
                              ecm->state = SIM_ECMBeamModule::BEAMING;
                              ecm->missile = &still;
                              ecm->pulseTime = ecm->pulsePeriod * 0.5f; // the pulse at its height
                          },
                          [&] {
                              ecm->state = SIM_ECMBeamModule::IDLE;
                              ecm->missile = nullptr;
                          });
    };
    shots["SIM_PointDefenseModule"] = [&] {
        auto* pd = FindModule<SIM_PointDefenceModule>(missileCruiser);
        if (!pd)
            return size_t{0};
        const SIM_ShipModule::Point from = From(*pd);
        still.x = from.x + kReach;
        still.y = from.y;
        return ShotPixels("point_defence", (from.x + still.x) * 0.5f, from.y, 6,
                          [&] {
                              pd->beamDuration = 1e9f;
                              pd->state = SIM_PointDefenceModule::FIRING;
                              pd->missile = &still;
                          },
                          [&] {
                              pd->state = SIM_PointDefenceModule::RELOADING;
                              pd->missile = nullptr;
                          });
    };
    shots["SIM_ECMShockModule"] = [&] {
        auto* shock = FindModule<SIM_ECMShockModule>(siege);
        if (!shock)
            return size_t{0};
        MarkBeside(siege);
        const SIM_ShipModule::Point from = From(*shock);
        return ShotPixels("ecm_shock", (from.x + mark->x) * 0.5f, (from.y + mark->y) * 0.5f, 6,
                          [&] {
                              shock->SetTarget(mark);
                              shock->aimPoint = {mark->x, mark->y};
                              shock->showing = true;
                          },
                          [&] {
                              shock->showing = false;
                              shock->SetTarget(nullptr);
                          });
    };
    shots["SIM_TargetPainterModule"] = [&] {
        auto* painter = FindModule<SIM_TargetPainterModule>(missileCruiser);
        if (!painter)
            return size_t{0};
        MarkBeside(missileCruiser);
        const SIM_ShipModule::Point from = From(*painter);
        return ShotPixels("painter", (from.x + mark->x) * 0.5f, (from.y + mark->y) * 0.5f, 6,
                          [&] {
                              painter->SetTarget(mark);
                              painter->Fire();
                          },
                          [&] { painter->StopPainting(); });
    };
    shots["SIM_TractorModule"] = [&] {
        auto* tractor = FindModule<SIM_TractorModule>(carrier);
        if (!tractor)
            return size_t{0};
        MarkBeside(carrier);
        const SIM_ShipModule::Point from = From(*tractor);
        return ShotPixels("tractor", (from.x + mark->x) * 0.5f, (from.y + mark->y) * 0.5f, 8,
                          [&] {
                              tractor->SetTarget(mark);
                              tractor->tractorState = SIM_TractorModule::HOLDING;
                              tractor->beamEnd = {mark->x, mark->y};
                          },
                          [&] {
                              tractor->tractorState = SIM_TractorModule::IDLE;
                              tractor->SetTarget(nullptr);
                          });
    };
    shots["SIM_ShieldSupportBeam"] = [&] {
        auto* support = FindModule<SIM_ShieldSupportBeam>(carrier);
        SIM_Shield* shield = battlecruiser->GetShield();
        if (!support || !shield)
            return size_t{0};
        // Our battlecruiser, its shield weakened, beside the carrier.
        battlecruiser->x = carrier->x + kReach;
        battlecruiser->y = carrier->y;
        for (SIM_ShieldModule* m : shield->GetModules())
            m->points = m->maxPoints * 0.5f;
        shield->Recalculate();
        const SIM_ShipModule::Point from = From(*support);
        const size_t pixels =
            ShotPixels("shield_support", (from.x + battlecruiser->x) * 0.5f, (from.y + battlecruiser->y) * 0.5f, 6,
                       [&] {
                           support->SetTarget(battlecruiser);
                           support->Fire();
                       },
                       [&] { support->StopDischarge(); });
        for (SIM_ShieldModule* m : shield->GetModules())
            m->points = m->maxPoints;
        shield->Recalculate();
        battlecruiser->x = 400.0f;
        battlecruiser->y = 400.0f;
        return pixels;
    };

    // The weapon classes the content ships: every module type whose class is
    // a targeted module.
    std::set<std::string> shipped;
    for (const SIM_ShipModuleType* type : SIM_ShipModuleType::GetList()) {
        SIM_ModuleFactory::Built built = SIM_ModuleFactory::Create(type, nullptr);
        if (dynamic_cast<SIM_TargetedModule*>(built.module.get()))
            shipped.insert(type->GetClassName());
    }
    EXPECT_GE(shipped.size(), 14u);
    for (const std::string& name : shipped) {
        SCOPED_TRACE(name);
        auto shot = shots.find(name);
        ASSERT_NE(shot, shots.end()) << "a shipped weapon class this test cannot fire";
        EXPECT_GT(shot->second(), 8u) << name << " fired, and its shot left no pixels";
        MarkAway();
    }
}

TEST_F(GLWeaponShots, NoArcOrTorpedoOfADyingShipStaysOnTheScreen)
{
    ASSERT_NO_FATAL_FAILURE(StartBattle());
    SIM_Ship* const carrier = ships[1];
    SIM_Ship* const siege = ships[3];
    auto* gun = FindModule<SIM_LightningGunModule>(siege);
    auto* launcher = FindModule<SIM_PlasmaLauncherModule>(carrier);
    ASSERT_TRUE(gun && launcher);

    // The siege cruiser's arc at full strength, then its ship starts dying
    // with the arc still on: the gun no longer runs, so the arc would stand
    // there, frozen, for the rest of the battle.
    MarkBeside(siege);
    const SIM_ShipModule::Point from = From(*gun);
    const float mx = (from.x + mark->x) * 0.5f, my = (from.y + mark->y) * 0.5f;
    Look(mx, my);
    gun->SetTarget(mark);
    gun->Fire();
    gun->arcTimer = gun->arcDuration * 0.5f;
    const std::vector<uint8_t> arc = Frame(true);
    siege->StartDying();
    ASSERT_TRUE(gun->IsArcActive() && gun->GetTarget() == mark);
    const std::vector<uint8_t> dying = Frame(true);
    gun->arcActive = false;
    const std::vector<uint8_t> none = Frame(true);
    int sx = 0, sy = 0;
    ToScreen(mx, my, sx, sy);
    EXPECT_GT(ChangedNear(arc, none, sx, sy, 6, 30), 8u) << "the arc while its ship lives";
    EXPECT_EQ(ChangedNear(dying, none, sx, sy, 6, 30), 0u) << "no arc once its ship is dying";

    // The carrier's torpedo in flight, then the carrier dies.
    MarkBeside(carrier);
    const float tx = carrier->x + kReach * 0.5f, ty = carrier->y;
    Look(tx, ty);
    launcher->SetTarget(mark);
    launcher->Fire();
    ASSERT_TRUE(launcher->torpedo.live);
    launcher->torpedo.x = tx;
    launcher->torpedo.y = ty;
    const std::vector<uint8_t> flying = Frame(true);
    carrier->StartDying();
    const std::vector<uint8_t> orphan = Frame(true);
    launcher->torpedo.live = false;
    const std::vector<uint8_t> gone = Frame(true);
    ToScreen(tx, ty, sx, sy);
    EXPECT_GT(ChangedNear(flying, gone, sx, sy, 4, 30), 8u) << "the torpedo while its ship lives";
    EXPECT_EQ(ChangedNear(orphan, gone, sx, sy, 4, 30), 0u) << "no torpedo once its ship is dying";
}

TEST_F(GLWeaponShots, AConvergingBeamsTurretsPointWhereItsBeamsMeet)
{
    ASSERT_NO_FATAL_FAILURE(StartBattle());
    SIM_Ship* const battlecruiser = ships[0];
    auto* laser = FindModule<SIM_BeamWeaponModule>(battlecruiser);
    ASSERT_NE(laser, nullptr);
    ASSERT_TRUE(laser->convergence) << "the shipped cruiser laser converges";
    ASSERT_GE(laser->GetTurretCount(), 2u);
    const ShipTurrets::Turret* drawn = nullptr;
    for (const GUI_Ship::TurretDraw& turret : GUI_Ship::Of(battlecruiser)->GetTurretDraws())
        if (turret.weapon == laser)
            drawn = &turret;
    ASSERT_NE(drawn, nullptr);
    // Two turrets far apart across the ship, so that their two aims part plainly.
    laser->turretOffsets.resize(2);
    laser->turretOffsets[0] = {-40.0f, 0.0f};
    laser->turretOffsets[1] = {40.0f, 0.0f};

    // The mark dead ahead, well past twice the hull size: the shot converges.
    const float ahead = 4.0f * battlecruiser->hullSize;
    mark->x = battlecruiser->x + ahead * battlecruiser->sine;
    mark->y = battlecruiser->y - ahead * battlecruiser->cosine;
    Look(battlecruiser->x, battlecruiser->y);
    laser->SetTarget(mark);
    laser->Fire();
    ASSERT_TRUE(laser->IsBeamActive() && laser->converging);
    Frame(true);
    // Shown without its beams, so that only the barrels are compared.
    laser->beamActive = false;
    const std::vector<uint8_t> meeting = Frame(true);
    const SIM_ShipModule::Point aim = laser->GetAimPoint();
    size_t skewed = 0;
    for (size_t i = 0; i < std::min(laser->GetTurretCount(), size_t{SIM_TargetedModule::kMaxTurrets}); ++i) {
        const SIM_ShipModule::Point p = laser->GetTurretWorldPos(i);
        const float toMeeting = AngleBetweenPoints(p.x, p.y, laser->convergePoint.x, laser->convergePoint.y);
        const float toMark = AngleBetweenPoints(p.x, p.y, aim.x, aim.y);
        EXPECT_LT(AngleDifference(drawn->DrawnAngle(i, battlecruiser->angle), toMeeting), 1.0f) << "turret " << i;
        skewed += AngleDifference(toMeeting, toMark) > 10.0f ? 1 : 0;
    }
    ASSERT_EQ(skewed, 2u) << "both turrets lie off the ship's axis, where the two aims part";

    // The next shot does not converge: the barrels point at the mark, and
    // the pictures of the turrets turn with them.
    laser->convergence = false;
    laser->Fire();
    ASSERT_FALSE(laser->converging);
    Frame(true);
    laser->beamActive = false;
    const std::vector<uint8_t> straight = Frame(true);
    size_t turned = 0;
    for (size_t i = 0; i < std::min(laser->GetTurretCount(), size_t{SIM_TargetedModule::kMaxTurrets}); ++i) {
        const SIM_ShipModule::Point p = laser->GetTurretWorldPos(i);
        EXPECT_LT(AngleDifference(drawn->DrawnAngle(i, battlecruiser->angle),
                                  AngleBetweenPoints(p.x, p.y, laser->GetAimPoint().x, laser->GetAimPoint().y)),
                  1.0f)
            << "turret " << i;
        int sx = 0, sy = 0;
        ToScreen(p.x, p.y, sx, sy);
        const int half = static_cast<int>(laser->turretSize * ZoomScale * 0.5f);
        turned += ChangedNear(meeting, straight, sx, sy, half, 30) > 6 ? 1 : 0;
    }
    EXPECT_EQ(turned, 2u) << "the turret pictures point elsewhere";
    laser->convergence = true;
}

TEST_F(GLWeaponShots, ABeamIsDrawnAtItsWidthWithItsGrainScrollingAndABlastWhereAShieldStopsIt)
{
    ASSERT_NO_FATAL_FAILURE(StartBattle());
    SIM_Ship* const battlecruiser = ships[0];
    auto* laser = FindModule<SIM_BeamWeaponModule>(battlecruiser);
    ASSERT_NE(laser, nullptr);
    ASSERT_TRUE(laser->hasGrain) << "the shipped lasers have grain";
    MarkBeside(battlecruiser);
    laser->SetTarget(mark);
    laser->Fire();
    laser->hit = true; // a shield stops only a hit
    laser->converging = false;
    laser->beamAge = laser->beamTime * 0.5f; // grown, faded in, its hit landed
    ASSERT_TRUE(laser->IsBeamActive());
    const SIM_ShipModule::Point from = From(*laser);
    const SIM_ShipModule::Point end = laser->BeamEndPoint();
    const float mx = (from.x + end.x) * 0.5f, my = (from.y + end.y) * 0.5f;
    Look(mx, my);
    int sx = 0, sy = 0;

    // The grain lies along the beam and moves with its offset: half a wrap
    // on, the grain's pattern along the beam has moved.
    const std::vector<uint8_t> grained = Frame(true);
    laser->hasGrain = false;
    const std::vector<uint8_t> plain = Frame(true);
    laser->hasGrain = true;
    laser->grainOffset += 0.5f * GUI_Ship::kGrainWrap;
    const std::vector<uint8_t> scrolled = Frame(true);
    ToScreen(mx, my, sx, sy);
    EXPECT_GT(ChangedNear(grained, plain, sx, sy, 40, 6), 8u) << "the grain along the beam";
    EXPECT_GT(ChangedNear(grained, scrolled, sx, sy, 40, 6), 8u) << "the grain scrolled";

    // A shield that stops the beam: the blast at its end once the hit has
    // landed, not while it is pending.
    Look(end.x, end.y);
    laser->shieldStops = false;
    const std::vector<uint8_t> through = Frame(true);
    laser->shieldStops = true;
    laser->shieldImpactAngle = 10.0f;
    const std::vector<uint8_t> stopped = Frame(true);
    const float age = laser->beamAge;
    laser->beamAge = laser->fireDelay * 0.5f; // the beam still reaching out, its hit pending
    laser->damagePending = true;
    laser->damageTarget = mark;
    const std::vector<uint8_t> pending = Frame(true);
    laser->shieldStops = false;
    const std::vector<uint8_t> pendingThrough = Frame(true);
    laser->damagePending = false;
    laser->beamAge = age;
    if (const char* dir = std::getenv("QLM_TEST_SHOTS"))
        SavePng(std::string(dir) + "/shot_beam_blast.png", kWidth, kHeight, stopped);
    ToScreen(end.x, end.y, sx, sy);
    const int blast = static_cast<int>(GUI_Ship::kBeamBlastWidths * laser->beamWidth * ZoomScale * 0.5f);
    EXPECT_GT(ChangedNear(stopped, through, sx, sy, blast, 30), 20u) << "the blast where the shield stops it";
    EXPECT_EQ(ChangedNear(pending, pendingThrough, sx, sy, blast, 30), 0u) << "no blast before the hit lands";

    // The beam's quad is as wide as its "beamwidth", a narrow one too.
    laser->beamWidth = 2.0f;
    Frame(true);
    const GUI_Ship::BeamDraw* drawn = nullptr;
    for (const GUI_Ship::BeamDraw& draw : GUI_Ship::Of(battlecruiser)->GetBeamDraws())
        if (draw.beam == laser)
            drawn = &draw;
    ASSERT_NE(drawn, nullptr);
    EXPECT_FLOAT_EQ(drawn->sprite.GetWidth(), 2.0f * ZoomScale);
}

} // namespace
