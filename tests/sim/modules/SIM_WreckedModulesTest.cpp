// A module at 0 hit points does nothing: every module class, each put
// where a working one acts, acts only while it works. The exceptions the
// design asks for are held too: a wrecked engine gives a quarter of its
// thrust, a wrecked shield generator goes on recharging, and the ship's
// movement brain (never fitted, never a wreck to the player) keeps thinking.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>

#include "MissileTestWorld.h"
#include "sim/SIM_Shield.h"
#include "sim/SIM_Ship.h"
#include "sim/modules/SIM_ArmourModule.h"
#include "sim/modules/SIM_CamoflageShieldModule.h"
#include "sim/modules/SIM_CarrierModule.h"
#include "sim/modules/SIM_ECMBeamModule.h"
#include "sim/modules/SIM_EngineModule.h"
#include "sim/modules/SIM_Missile.h"
#include "sim/modules/SIM_MissileModule.h"
#include "sim/modules/SIM_PointDefenceModule.h"
#include "sim/modules/SIM_PowerModule.h"
#include "sim/modules/SIM_RepairModule.h"
#include "sim/modules/SIM_ShieldModule.h"
#include "sim/modules/SIM_ShieldSupportBeam.h"
#include "sim/modules/SIM_SmartBombModule.h"
#include "sim/modules/SIM_StaticModule.h"
#include "sim/modules/SIM_TacticalModule.h"
#include "sim/modules/SIM_TargetPainterModule.h"
#include "sim/modules/SIM_TractorModule.h"

namespace {

// The missile world plus the support modules and guns.
class WreckWorld : public MissileTestWorld {
public:
    WreckWorld()
    {
        const std::string gun = "slot_type = STANDARD\ncategory = WEAPONS\nhitpoints = 20\nmin_range = 0\n"
                                "max_range = 600\ntracking_speed = 2\nfire_interval = 1000\ndamage = 10\nspeed = 10\n";
        AddModuleType("w_gun", "classname = SIM_BulletWeaponModule\n" + gun);
        AddModuleType("w_cannon", "classname = SIM_KineticWeapon\n" + gun);
        AddModuleType("w_arc", "classname = SIM_LightningGunModule\n" + gun + "beam_duration = 200\n");
        AddModuleType("w_plasma", "classname = SIM_PlasmaLauncherModule\n" + gun + "fuel = 1000\nturnspeed = 4\n");
        AddModuleType("w_painter", "classname = SIM_TargetPainterModule\n" + gun + "beam_duration = 2500\n");
        AddModuleType("w_support", "classname = SIM_ShieldSupportBeam\n" + gun +
                                       "pulseduration = 800\nssb_beamrate = 20\nssb_rechargerate = 5\n"
                                       "capacitorsize = 200\nmincaptodischarge = 50\n");
        AddModuleType("w_tractor", "classname = SIM_TractorModule\nslot_type = STANDARD\ncategory = WEAPONS\n"
                                   "hitpoints = 30\nbeamweight = 5\nbeampower = 100\npowerusage = 0.05\n"
                                   "powerrecharge = 0.02\nrange = 300\n");
        AddModuleType("w_repair", "classname = SIM_RepairModule\nslot_type = STANDARD\nhitpoints = 50\n"
                                  "peace_interval = 0\nrepair_rate = 1\nrepair_type = ANY\nmaxrepairsupplies = 100\n");
        AddModuleType("w_bay", "classname = SIM_CarrierModule\nslot_type = STANDARD\nhitpoints = 60\nrepair_rate = 1\n"
                               "maxrepairsupplies = 50\n");
        AddModuleType("w_booster", "classname = SIM_TargetBoosterModule\nslot_type = STANDARD\nhitpoints = 10\n"
                                   "targetboost = 0.5\n");
        AddModuleType("w_ecmshield", "classname = SIM_ECMShieldModule\nslot_type = STANDARD\nhitpoints = 10\n"
                                     "ecm_strength = 1000\n");
        for (const char* module : {"w_gun", "w_cannon", "w_arc", "w_plasma", "w_painter", "w_support", "w_tractor",
                                   "w_repair", "w_bay", "w_booster", "w_ecmshield", "smartbomb"})
            Design(std::string("x_") + module, "t_cruiser", {"engine", "crew", module, ""});
        Design("x_power", "t_cruiser", {"engine", "power", "crew", ""});
        Design("x_shieldbox", "t_cruiser", {"engine", "shield", "crew", ""});
    }
};

void Wreck(SIM_ShipModule* module)
{
    ASSERT_NE(module, nullptr);
    module->TakeDamage(1e6f);
    ASSERT_FLOAT_EQ(module->GetHitpoints(), 0.0f);
    ASSERT_FLOAT_EQ(module->GetHealth(), 0.0f);
}

void ThinkOnce(SIM_ShipModule* module, float dt)
{
    static float step = 0.0f;
    step = dt;
    module->SetThinkTime(&step);
    module->Think();
}

class WreckedModulesTest : public ::testing::Test {
protected:
    WreckedModulesTest() { ModuleTestWorld::SetFrame(12.0f); }

    // A fresh place for each case, far from the others' ships and missiles.
    float NextPlace()
    {
        place += 5000.0f;
        return place;
    }
    // An enemy missile in flight at (x, y), its launcher just beside it.
    void EnemyMissileAt(float x, float y)
    {
        SIM_Ship* launcherShip = world.Build("d_m_explosive", x, y, true);
        SIM_Ship* victim = world.Build("bigtarget", x, y + 1500.0f);
        auto* launcher = ModuleTestWorld::FindModule<SIM_MissileModule>(launcherShip);
        launcher->SetTarget(victim);
        launcher->Fire();
        ASSERT_TRUE(launcher->GetMissile().IsLive());
    }

    WreckWorld world;
    float place = 0.0f;
};

} // namespace

TEST_F(WreckedModulesTest, AModuleOfEveryClassActsWhileItWorksAndDoesNothingOnceWrecked)
{
    // Each case: true when the module acted. It must act working and not wrecked.
    std::map<std::string, std::function<bool(bool)>> cases;

    // Every weapon that fires through the targeted module's reload: a shot
    // is due and the target in range.
    for (const char* design : {"gunship", "x_w_gun", "x_w_cannon", "x_w_arc", "x_w_plasma", "d_m_explosive",
                               "d_limpets", "d_ecmshock", "x_w_painter"}) {
        cases[design] = [this, design](bool wrecked) {
            const float y = NextPlace();
            SIM_Ship* target = world.Build("bigtarget", 300.0f, y, true);
            SIM_Ship* shooter = world.Build(design, 0.0f, y);
            auto* weapon = ModuleTestWorld::FindModule<SIM_TargetedModule>(shooter);
            EXPECT_NE(weapon, nullptr) << design;
            if (!weapon)
                return false;
            weapon->SetTarget(target);
            if (wrecked)
                Wreck(weapon);
            weapon->reloadProgress = 1e9f;
            const unsigned before = weapon->shotsBegun;
            weapon->Update();
            return weapon->shotsBegun != before;
        };
    }
    cases["painter's mark"] = [this](bool wrecked) {
        // A mark already made is let go when the painter is wrecked.
        const float y = NextPlace();
        SIM_Ship* target = world.Build("bigtarget", 300.0f, y, true);
        auto* painter = ModuleTestWorld::FindModule<SIM_TargetPainterModule>(world.Build("x_w_painter", 0.0f, y));
        painter->SetTarget(target);
        painter->Fire();
        EXPECT_TRUE(painter->IsPainting());
        if (wrecked)
            Wreck(painter);
        ThinkOnce(painter, 200.0f);
        return painter->IsPainting() && target->painterCount == 1;
    };
    cases["shield support"] = [this](bool wrecked) {
        const float y = NextPlace();
        SIM_Ship* supporter = world.Build("x_w_support", 0.0f, y);
        SIM_Ship* friendShip = world.Build("x_shieldbox", 200.0f, y);
        for (SIM_ShieldModule* m : friendShip->GetShield()->GetModules())
            m->points = m->maxPoints * 0.5f;
        friendShip->GetShield()->Recalculate();
        auto* beam = ModuleTestWorld::FindModule<SIM_ShieldSupportBeam>(supporter);
        if (wrecked)
            Wreck(beam);
        beam->retargetTimer = 2001.0f;
        ThinkOnce(beam, 200.0f);
        beam->SetTarget(friendShip);
        beam->reloadProgress = 1e9f;
        beam->Update();
        return beam->IsDischarging();
    };
    cases["point defence"] = [this](bool wrecked) {
        const float y = NextPlace();
        SIM_Ship* ship = world.Build("d_pd", 0.0f, y);
        EnemyMissileAt(100.0f, y);
        auto* pd = ModuleTestWorld::FindModule<SIM_PointDefenceModule>(ship);
        if (wrecked)
            Wreck(pd);
        pd->state = SIM_PointDefenceModule::READY;
        ThinkOnce(pd, 200.0f);
        return pd->GetState() == SIM_PointDefenceModule::FIRING;
    };
    cases["ECM beam"] = [this](bool wrecked) {
        const float y = NextPlace();
        SIM_Ship* ship = world.Build("d_ecmbeam", 0.0f, y);
        EnemyMissileAt(100.0f, y);
        auto* ecm = ModuleTestWorld::FindModule<SIM_ECMBeamModule>(ship);
        if (wrecked)
            Wreck(ecm);
        ThinkOnce(ecm, 200.0f);
        return ecm->GetState() == SIM_ECMBeamModule::BEAMING;
    };
    cases["smart bomb"] = [this](bool wrecked) {
        const float y = NextPlace();
        SIM_Ship* ship = world.Build("x_smartbomb", 0.0f, y);
        for (int i = 0; i < 3; ++i)
            EnemyMissileAt(60.0f * static_cast<float>(i) - 60.0f, y + 100.0f);
        auto* bomb = ModuleTestWorld::FindModule<SIM_SmartBombModule>(ship);
        if (wrecked)
            Wreck(bomb);
        bomb->chargeTimer = 1001.0f;
        ThinkOnce(bomb, 200.0f);
        return bomb->IsDetonating();
    };
    cases["tractor"] = [this](bool wrecked) {
        const float y = NextPlace();
        SIM_Ship* tug = world.Build("x_w_tractor", 0.0f, y);
        world.Build("frigate", 200.0f, y, true);
        auto* tractor = ModuleTestWorld::FindModule<SIM_TractorModule>(tug);
        if (wrecked)
            Wreck(tractor);
        tractor->beamPower = tractor->GetMaxBeamPower() * 0.5f;
        ThinkOnce(tractor, 200.0f);
        const bool charged = tractor->GetBeamPower() > tractor->GetMaxBeamPower() * 0.5f;
        tractor->beamPower = tractor->GetMaxBeamPower();
        tractor->grabTimer = 1001.0f;
        ThinkOnce(tractor, 200.0f);
        EXPECT_EQ(charged, tractor->IsHolding()) << "it charges exactly when it grabs";
        return tractor->IsHolding();
    };
    cases["cloak"] = [this](bool wrecked) {
        // Full power, nothing in range: a working cloak starts to hide the
        // ship; a cloaked ship whose cloak is wrecked comes back into view.
        const float y = NextPlace();
        SIM_Ship* ship = world.Build("cloakship", 0.0f, y);
        auto* cloak = ModuleTestWorld::FindModule<SIM_CamoflageShieldModule>(ship);
        if (wrecked)
            Wreck(cloak);
        cloak->cloakPower = cloak->GetMaxCloakPower();
        ThinkOnce(cloak, 200.0f);
        const bool hides = cloak->GetCloakState() == SIM_CamoflageShieldModule::FADING_OUT;
        cloak->cloakState = SIM_CamoflageShieldModule::CLOAKED;
        ThinkOnce(cloak, 200.0f);
        const bool stays = cloak->GetCloakState() == SIM_CamoflageShieldModule::CLOAKED;
        EXPECT_EQ(hides, stays) << "a wrecked cloak lets a hidden ship fade in";
        return hides;
    };
    cases["repair"] = [this](bool wrecked) {
        const float y = NextPlace();
        SIM_Ship* ship = world.Build("x_w_repair", 0.0f, y);
        auto* repair = ModuleTestWorld::FindModule<SIM_RepairModule>(ship);
        SIM_EngineModule* engine = ModuleTestWorld::FindModule<SIM_EngineModule>(ship);
        engine->TakeDamage(5.0f);
        const float hurt = engine->GetHitpoints();
        if (wrecked)
            Wreck(repair);
        for (int i = 0; i < 5; ++i)
            ThinkOnce(repair, 200.0f);
        return engine->GetHitpoints() > hurt;
    };
    cases["carrier bay"] = [this](bool wrecked) {
        const float y = NextPlace();
        SIM_Ship* carrier = world.Build("x_w_bay", 0.0f, y);
        SIM_Ship* fighter = world.Build("fighter", 0.0f, y);
        auto* bay = ModuleTestWorld::FindModule<SIM_CarrierModule>(carrier);
        SIM_EngineModule* engine = ModuleTestWorld::FindModule<SIM_EngineModule>(fighter);
        engine->TakeDamage(5.0f);
        const float hurt = engine->GetHitpoints();
        bay->Dock(fighter);
        if (wrecked)
            Wreck(bay);
        ThinkOnce(bay, 200.0f);
        return engine->GetHitpoints() > hurt;
    };
    // Modules the ship reads: what it reads of a wreck is nothing.
    cases["scanner"] = [this](bool wrecked) {
        SIM_Ship* ship = world.Build("standins", 0.0f, NextPlace());
        if (wrecked)
            Wreck(ModuleTestWorld::FindModule<SIM_PDScannerModule>(ship));
        ship->RecalculateStats();
        return ship->scannerAccuracyTotal > 0.0f;
    };
    cases["target booster"] = [this](bool wrecked) {
        SIM_Ship* ship = world.Build("x_w_booster", 0.0f, NextPlace());
        if (wrecked)
            Wreck(ModuleTestWorld::FindModule<SIM_TargetBoosterModule>(ship));
        ship->RecalculateStats();
        return ship->targetBoostTotal > 0.0f;
    };
    cases["ECM shield"] = [this](bool wrecked) {
        // Strength 1000 holds all but the least chance of a shock (0.02).
        SIM_Ship* ship = world.Build("x_w_ecmshield", 0.0f, NextPlace());
        if (wrecked)
            Wreck(ModuleTestWorld::FindModule<SIM_ECMShieldModule>(ship));
        int resisted = 0;
        for (int i = 0; i < 50; ++i) {
            ship->ecmShocked = 0;
            ship->ApplyECMShock(3000.0f, 1.0f);
            resisted += ship->ecmShocked ? 0 : 1;
        }
        return resisted > 25;
    };
    cases["armour"] = [this](bool wrecked) {
        SIM_Ship* ship = world.Build("plainbox", 0.0f, NextPlace());
        if (wrecked)
            Wreck(ModuleTestWorld::FindModule<SIM_ArmourModule>(ship));
        ship->RecalculateStats();
        return ship->armourSum > 0.0f;
    };

    for (auto& [name, acts] : cases) {
        EXPECT_TRUE(acts(false)) << name << " should act while it works";
        EXPECT_FALSE(acts(true)) << name << " should do nothing once wrecked";
    }

    // Power and crew modules do nothing in battle at any health: wrecking
    // them changes none of the ship's values but its hit points.
    for (const char* design : {"x_power", "gunship"}) {
        SIM_Ship* ship = world.Build(design, 0.0f, NextPlace());
        ship->RecalculateStats();
        const float speed = ship->maxSpeed, turn = ship->turnRate, armed = ship->armed;
        SIM_ShipModule* plain = design == std::string("x_power")
                                    ? static_cast<SIM_ShipModule*>(ModuleTestWorld::FindModule<SIM_PowerModule>(ship))
                                    : ModuleTestWorld::FindModule<SIM_CrewModule>(ship);
        Wreck(plain);
        ship->RecalculateStats();
        EXPECT_FLOAT_EQ(ship->maxSpeed, speed) << design;
        EXPECT_FLOAT_EQ(ship->turnRate, turn) << design;
        EXPECT_FLOAT_EQ(ship->armed, armed) << design;
    }
}

TEST_F(WreckedModulesTest, WreckedEnginesShieldGeneratorsAndTheShipsBrainKeepTheirDesignedWork)
{
    // An engine of thrust 100 at health 0 still gives 25.
    SIM_Ship* ship = world.Build("plainbox", 0.0f, NextPlace());
    auto* engine = ModuleTestWorld::FindModule<SIM_EngineModule>(ship);
    Wreck(engine);
    EXPECT_FLOAT_EQ(engine->GetCurrentThrust(), 25.0f);

    // A wrecked shield generator that is up goes on recharging: 0.01 a ms.
    auto* shield = ModuleTestWorld::FindModule<SIM_ShieldModule>(ship);
    shield->points = 50.0f;
    Wreck(shield);
    ThinkOnce(shield, 200.0f);
    EXPECT_FLOAT_EQ(shield->points, 52.0f);

    // The movement brain is no fitted module: a wreck of it still thinks.
    SIM_TacticalModule* brain = ship->tacticalModule;
    ASSERT_NE(brain, nullptr);
    Wreck(brain);
    const float before = brain->moveTimer;
    ThinkOnce(brain, 200.0f);
    EXPECT_FLOAT_EQ(brain->moveTimer, before + 200.0f);
}
