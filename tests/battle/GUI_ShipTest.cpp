#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <vector>

#include "app/GUI_Sounds.h"
#include "battle/GUI_BattleGUI.h"
#include "battle/GUI_BattleGUI.h"
#include "battle/GUI_ECMShock.h"
#include "battle/GUI_EffectLog.h"
#include "battle/GUI_EscapePod.h"
#include "battle/GUI_ShockWave.h"
#include "battle/GUI_SmokeSprite.h"
#include "battle/GUI_Ship.h"
#include "battle/GUI_DamageSprite.h"
#include "battle/GUI_RepairBotSwarm.h"
#include "battle/GUI_ShipDrawLists.h"
#include "battle/GUI_ShipEffectHooks.h"
#include "battle/GUI_ShipEmmiter.h"
#include "battle/GUI_CamoflageShield.h"
#include "battle/GUI_Map.h"
#include "battle/EffectTestView.h"
#include "engine/QuadRunBatch.h"
#include "battle/GUI_ParticleEmmiter.h"
#include "battle/hud/GUI_DamageFeedbackManager.h"
#include "battle/hud/GUI_InspectorModuleIcon.h"
#include "battle/hud/GUI_ShipInspector.h"
#include "engine/CInput.h"
#include "engine/GHashTable.h"
#include "platform/NullSoundSystem.h"
#include "sim/SIM_BattleEffects.h"
#include "sim/SIM_BattleStep.h"
#include "sim/SIM_Ship.h"
#include "sim/ShipTestWorld.h"
#include "sim/modules/MissileTestWorld.h"
#include "sim/modules/ModuleTestWorld.h"
#include "sim/modules/SIM_ECMBeamModule.h"
#include "sim/modules/SIM_Missile.h"
#include "sim/modules/SIM_PointDefenceModule.h"
#include "sim/modules/SIM_TargetedModule.h"
#include "sim/modules/SupportWorld.h"
#include "sim/modules/SIM_ArmourModule.h"
#include "sim/modules/SIM_RepairModule.h"
#include "sim/SIM_Options.h"
#include "gui/GUI_Tutorial.h"
#include "gui/GUI_TutorialWindow.h"
#include "gui/TutorialDefinition.h"
#include "gui/GUI_WindowManager.h"
#include "support/TempDir.h"

namespace {

class ShipVisualTest : public ::testing::Test {
protected:
    ShipVisualTest()
    {
        GUI_Ship::InstallFactory();
        GUI_EffectLog::GetInstance().SetEnabled(true);
    }
    ~ShipVisualTest() override
    {
        SIM_ShipVisual::SetFactory(nullptr);
        GUI_EffectLog::GetInstance().SetEnabled(false);
        ClearShockWaves();
        ClearSmokeSprites();
        ClearEscapePods();
    }

    ShipTestWorld world;

    // The battle frame's part for the ship, then its drawing.
    static void RunFrames(SIM_Ship* ship, int frames)
    {
        for (int i = 0; i < frames; ++i) {
            SIM_BattleStep::RunShipFrame(ship);
            GUI_Ship::Of(ship)->Draw();
        }
    }
};

TEST_F(ShipVisualTest, ExplosionNamesMapToTypeNumbers)
{
    EXPECT_EQ(GUI_Ship::FindExplosionType("EXP_FRIGATE"), 0);
    EXPECT_EQ(GUI_Ship::FindExplosionType("EXP_MEDIUM2"), 8);
    EXPECT_EQ(GUI_Ship::FindExplosionType(" EXP_STARTBREAKUP"), GUI_Ship::kStartBreakup);
    EXPECT_EQ(GUI_Ship::FindExplosionType("EXP_CRUISER_PLUMECENTER"), 21);
    EXPECT_EQ(GUI_Ship::FindExplosionType("EXP_BOGUS"), GUI_Ship::kDefaultExplosion);
    EXPECT_EQ(GUI_Ship::FindExplosionType(""), GUI_Ship::kDefaultExplosion);
}

TEST_F(ShipVisualTest, DestructionLinesAreReadInHullOrderAndPlacedOnTheSprite)
{
    SIM_Ship* ship = world.Build("cruiser_bare", 0, 0);
    const auto& events = ship->GetVisual()->GetDestructionEvents();
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[0].type, 4);
    EXPECT_FLOAT_EQ(events[0].time, 0.0f);
    EXPECT_FLOAT_EQ(events[0].x, 0.0f);
    EXPECT_FLOAT_EQ(events[0].y, -0.25f * 80.0f); // (64 - 128) / 256 of the height
    EXPECT_EQ(events[1].type, 8);
    EXPECT_FLOAT_EQ(events[1].x, -0.25f * 100.0f);
    EXPECT_EQ(events[2].type, GUI_Ship::kDefaultExplosion); // unknown name
    EXPECT_EQ(events[3].type, GUI_Ship::kStartBreakup);
    EXPECT_FLOAT_EQ(events[3].time, 600.0f);
    for (const auto& e : events)
        EXPECT_FALSE(e.done);
}

TEST_F(ShipVisualTest, EventsFireByTimeAndEqualTimesInTheSameFrame)
{
    SIM_Ship* ship = world.Build("cruiser_bare", 0, 0);
    GUI_Ship* visual = GUI_Ship::Of(ship);
    ship->StartDying();
    ShipTestWorld::SetFrame(10.0f);
    visual->UpdateDestruction();
    EXPECT_EQ(visual->firedExplosionCount, 1);
    ShipTestWorld::SetFrame(280.0f);
    visual->UpdateDestruction(); // 290 ms
    EXPECT_EQ(visual->firedExplosionCount, 1);
    ShipTestWorld::SetFrame(10.0f);
    visual->UpdateDestruction(); // 300 ms: both lines at 300 fire
    EXPECT_EQ(visual->firedExplosionCount, 3);
    EXPECT_EQ(ship->state, static_cast<unsigned>(SIM_Ship::DYING));
}

TEST_F(ShipVisualTest, ALongFrameFiresEverythingAndKillsOnce)
{
    SIM_Ship* ship = world.Build("frigate_bare", 0, 0);
    GUI_Ship* visual = GUI_Ship::Of(ship);
    ship->StartDying();
    ShipTestWorld::SetFrame(5000.0f);
    visual->UpdateDestruction();
    EXPECT_EQ(ship->state, static_cast<unsigned>(SIM_Ship::DESTROYED));
    EXPECT_EQ(visual->firedExplosionCount, 1);
    visual->UpdateDestruction();
    EXPECT_EQ(visual->firedExplosionCount, 1);
}

TEST_F(ShipVisualTest, NoDestructionLinesKillAtOnce)
{
    SIM_Ship* fighter = world.Build("fighter_bare", 0, 0);
    EXPECT_TRUE(fighter->GetVisual()->GetDestructionEvents().empty());
    fighter->StartDying();
    ShipTestWorld::SetFrame(0.0f); // even a paused frame ends it
    fighter->GetVisual()->UpdateDestruction();
    EXPECT_EQ(fighter->state, static_cast<unsigned>(SIM_Ship::DESTROYED));
}

TEST_F(ShipVisualTest, OffFieldShipWarpsInAfterItsDelayAndDuration)
{
    SIM_Ship* ship = world.Build("cruiser_bare", 0, 0);
    ship->state = SIM_Ship::OFF_FIELD;
    GUI_Ship* visual = GUI_Ship::Of(ship);
    RunFrames(ship, 45); // 540 ms: shorter than any wait plus warp
    EXPECT_EQ(ship->state, static_cast<unsigned>(SIM_Ship::OFF_FIELD));
    EXPECT_TRUE(visual->IsWarpEffectRunning());
    RunFrames(ship, 25); // 840 ms: longer than the longest
    EXPECT_EQ(ship->state, static_cast<unsigned>(SIM_Ship::ACTIVE));
    EXPECT_FALSE(visual->IsWarpEffectRunning());
}

TEST_F(ShipVisualTest, AShipJumpingOutDoesNotWarpBackIn)
{
    SIM_Ship* ship = world.Build("cruiser_bare", 0, 0);
    ship->StartRetreatJump();
    RunFrames(ship, 100);
    EXPECT_EQ(ship->state, static_cast<unsigned>(SIM_Ship::OFF_FIELD));
}

TEST_F(ShipVisualTest, DrawRunsThePerFrameUpdateOnlyInBattleOrDying)
{
    SIM_Ship* ship = world.Build("cruiser_bare", 0, 0);
    ship->ApplyECMShock(20.0f, 1.0f);
    ship->docked = 1;
    RunFrames(ship, 2); // a docked ship draws and updates nothing
    EXPECT_TRUE(ship->ecmShocked);
    ship->docked = 0;
    RunFrames(ship, 2);
    EXPECT_FALSE(ship->ecmShocked);
}

TEST_F(ShipVisualTest, CountsDamageLocationsWithASpriteRectangle)
{
    SIM_Ship* ship = world.Build("cruiser_bare", 0, 0);
    EXPECT_EQ(ship->GetVisual()->CountDamageLocations(), 1);
}

TEST_F(ShipVisualTest, TheLastEventEndsInKillAndTheFinalBlastByClass)
{
    GUI_EffectLog& log = GUI_EffectLog::GetInstance();
    log.Clear();
    ClearShockWaves();
    ClearSmokeSprites();
    SIM_Ship* cruiser = world.Build("cruiser_bare", 0, 0);
    cruiser->StartDying();
    ShipTestWorld::SetFrame(5000.0f);
    cruiser->GetVisual()->UpdateDestruction();
    EXPECT_TRUE(cruiser->GetVisual()->IsKilled());
    EXPECT_EQ(cruiser->state, static_cast<unsigned>(SIM_Ship::DESTROYED));
    ASSERT_EQ(GetShockWaves().size(), 1u);
    EXPECT_FLOAT_EQ(GetShockWaves()[0].lifetime, 1000.0f);
    EXPECT_FLOAT_EQ(GetShockWaves()[0].radius, 3.0f * cruiser->GetWidth());
    EXPECT_EQ(GetSmokeSprites().size(), 18u); // nine large puffs and nine small
    ASSERT_FALSE(log.GetRecords().empty());
    EXPECT_EQ(log.GetRecords().back().name.rfind("data/sounds/explosion_destruction_cruiser", 0), 0u);

    log.Clear();
    ClearShockWaves();
    ClearSmokeSprites();
    ClearEscapePods();
    SIM_Ship* fighter = world.Build("fighter_bare", 0, 0);
    fighter->StartDying();
    fighter->GetVisual()->UpdateDestruction();
    EXPECT_EQ(fighter->state, static_cast<unsigned>(SIM_Ship::DESTROYED));
    EXPECT_TRUE(GetShockWaves().empty());
    EXPECT_TRUE(GetSmokeSprites().empty());
    EXPECT_TRUE(GetEscapePods().empty());
}

TEST_F(ShipVisualTest, HitsPlayTheImpactSoundOfTheHullClass)
{
    GUI_EffectLog& log = GUI_EffectLog::GetInstance();
    const struct {
        const char* design;
        const char* prefix;
    } cases[] = {{"cruiser_bare", "data/sounds/explosion_impact_cruiser"},
                 {"frigate_bare", "data/sounds/explosion_impact_frigate"},
                 {"fighter_bare", "data/sounds/explosion_impact_fighter"}};
    for (const auto& c : cases) {
        log.Clear();
        SIM_Ship* ship = world.Build(c.design, 0, 0);
        ship->GetVisual()->ShowHitEffects(SIM_ShipHull::Target{}, 5.0f, 0.0f, 0.0f);
        ASSERT_EQ(log.Count("sound"), 1u) << c.design;
        const std::string& name = log.GetRecords().back().name;
        EXPECT_EQ(name.rfind(c.prefix, 0), 0u) << name;
        EXPECT_EQ(name.substr(name.size() - 4), ".ogg");
    }
    EXPECT_EQ(log.GetRecords().back().name, "data/sounds/explosion_impact_fighter1.ogg");
}

TEST_F(ShipVisualTest, ShipsAreFiledByLayerAndLeaveTheListsWithTheirVisual)
{
    GUI_ShipDrawLists& lists = GUI_ShipDrawLists::GetInstance();
    lists.Clear();
    SIM_Ship* cruiser = world.Build("cruiser_bare", 0, 0);
    const auto& large = lists.GetList(GUI_ShipDrawLists::ListForLayer(1));
    EXPECT_NE(std::find(large.begin(), large.end(), cruiser), large.end());
    cruiser->GetVisual()->SetLayer(2);
    EXPECT_EQ(std::find(large.begin(), large.end(), cruiser), large.end());
    EXPECT_EQ(lists.GetList(1).back(), cruiser); // layer 2 is the second list
    EXPECT_EQ(GUI_ShipDrawLists::ListForLayer(0), 0);
    SIM_Ship* fighter = world.Build("fighter_bare", 0, 0);
    const int layer = fighter->GetVisual()->currentLayer;
    EXPECT_TRUE(layer == 0 || layer == 2);
    const size_t before = lists.CountShips();
    world.Destroy(fighter);
    EXPECT_EQ(lists.CountShips(), before - 1);
}

TEST_F(ShipVisualTest, HoverRadiusHasAFloorOfTwentyUnits)
{
    SIM_Ship* cruiser = world.Build("cruiser_bare", 0, 0);
    const float r = std::max(0.25f * cruiser->GetWidth(), 20.0f);
    EXPECT_FLOAT_EQ(GUI_Ship::Of(cruiser)->GetHoverRadiusSquared(), r * r);
    SIM_Ship* fighter = world.Build("fighter_bare", 0, 0);
    EXPECT_FLOAT_EQ(GUI_Ship::Of(fighter)->GetHoverRadiusSquared(), 400.0f);
}

} // namespace

namespace {

TEST_F(ShipVisualTest, ADamagedSpotBurnsOnceWhateverTheHitsAndFadesInItsSecondHalf)
{
    SIM_Ship* ship = world.Build("cruiser_bare", 0, 0);
    GUI_Ship* visual = GUI_Ship::Of(ship);
    SIM_ShipHull::Target spot;
    spot.x = 10.0f;
    spot.named = 1;
    spot.name = "SHIP_EMMITER_LARGE";
    spot.hasRect = 1;
    visual->ShowHitEffects(spot, 30.0f, 0.0f, 1.0f);
    visual->ShowHitEffects(spot, 30.0f, 0.0f, 1.0f);
    EXPECT_EQ(visual->GetShipEmmiters().size(), 6u);
    EXPECT_EQ(visual->GetDamageSprites().size(), 1u);
    SIM_ShipHull::Target thin = spot;
    thin.x = -10.0f;
    thin.name = "SHIP_EMMITER_THIN";
    thin.hasRect = 0;
    visual->ShowHitEffects(thin, 5.0f, 0.0f, 0.0f);
    EXPECT_EQ(visual->GetShipEmmiters().size(), 8u);
    EXPECT_EQ(visual->GetDamageSprites().size(), 1u);
    visual->DeleteShipEmmiters();
    EXPECT_TRUE(visual->GetShipEmmiters().empty());

    EXPECT_FLOAT_EQ(GUI_ShipEmmiter::Intensity(7500.0f, 15000.0f), 1.0f);
    EXPECT_FLOAT_EQ(GUI_ShipEmmiter::Intensity(11250.0f, 15000.0f), 0.5f);
    EXPECT_FLOAT_EQ(GUI_ShipEmmiter::Intensity(15000.0f, 15000.0f), 0.0f);
}

TEST_F(ShipVisualTest, ExistingDamageMarksAShareOfTheFlaggedLocations)
{
    // The test cruiser has two locations, one with a damage sprite.
    GUI_Ship* whole = GUI_Ship::Of(world.Build("cruiser_bare", 0, 0));
    whole->ShowExistingDamage(1.0f);
    EXPECT_TRUE(whole->GetDamageSprites().empty());
    whole->ShowExistingDamage(0.6f); // 2 x 0.4 = 0.8: less than one
    EXPECT_TRUE(whole->GetDamageSprites().empty());
    GUI_Ship* wrecked = GUI_Ship::Of(world.Build("cruiser_bare", 0, 0));
    wrecked->ShowExistingDamage(0.0f);
    EXPECT_EQ(wrecked->GetDamageSprites().size(), 1u);
}

TEST_F(ShipVisualTest, DamageSmokePuffsFasterAsTheShipMovesFasterButNeverBelowAQuarter)
{
    SIM_Ship* ship = world.Build("cruiser_bare", 0, 0);
    GUI_Ship* visual = GUI_Ship::Of(ship);
    SIM_ShipHull::Target spot;
    spot.named = 1;
    spot.name = "SHIP_EMMITER_SMALL";
    visual->ShowHitEffects(spot, 5.0f, 0.0f, 1.0f);
    ASSERT_EQ(visual->GetShipEmmiters().size(), 2u);
    GUI_ShipEmmiter& smoke = *visual->GetShipEmmiters().front();
    ASSERT_NE(smoke.emitter, nullptr);
    ShipTestWorld::SetFrame(12.0f);
    ship->speed = 0.0f;
    smoke.Draw();
    EXPECT_FLOAT_EQ(smoke.emitter->rateScale, GUI_ShipEmmiter::kMinSpeedInput);
    ship->speed = 0.24f;
    smoke.Draw();
    EXPECT_FLOAT_EQ(smoke.emitter->rateScale, 0.25f);
    ship->speed = 1.75f;
    smoke.Draw();
    EXPECT_FLOAT_EQ(smoke.emitter->rateScale, 1.75f);
    // An endless emitter burns at its own rate whatever the speed.
    smoke.life = GUI_ShipEmmiter::kEndless;
    smoke.emitter->rateScale = 1.0f;
    smoke.Draw();
    EXPECT_FLOAT_EQ(smoke.emitter->rateScale, 1.0f);
    visual->DeleteShipEmmiters();
}

TEST_F(ShipVisualTest, EnginesOfferTheirDroneAShareOfTheHullWidthUnlessFarOffScreen)
{
    GUI_Sounds sounds(std::make_unique<NullSoundSystem>(64), [](const std::string&) { return 1.0f; });
    GUI_BattleGUI& gui = GUI_BattleGUI::GetInstance();
    gui.SetSounds(&sounds);
    GUI_Map& map = GUI_Map::GetInstance();
    map.viewLeft = map.viewTop = 0.0f;
    map.viewRight = map.viewBottom = 1000.0f;
    // The view centred on (500, 500) at zoom 4: a ship there is heard in full.
    sounds.SetBattleInfoProvider([] {
        GUI_SoundBattleInfo info;
        info.inBattle = true;
        info.viewCentreX = info.viewCentreY = 500.0f;
        info.zoom = 4.0f;
        info.screenWidth = 1024.0f;
        return info;
    });
    GUI_EngineDrones& drones = gui.GetDrones();
    drones.level[0] = drones.level[1] = 0.0f;
    GUI_Ship* cruiser = GUI_Ship::Of(world.Build("cruiser_bare", 500, 500));
    GUI_Ship* fighter = GUI_Ship::Of(world.Build("fighter_bare", 500, 500));
    cruiser->UpdateEngineSound();
    EXPECT_FLOAT_EQ(drones.level[1], 100.0f / 256.0f) << "the cruiser drone, a 256th of the width";
    EXPECT_FLOAT_EQ(drones.level[0], 0.0f);
    fighter->UpdateEngineSound();
    EXPECT_FLOAT_EQ(drones.level[0], 20.0f / 32.0f) << "the fighter drone, a 32nd of the width";

    // 300 units past the view's edge is still heard (by distance); beyond it not.
    drones.level[0] = drones.level[1] = 0.0f;
    SIM_Ship* far = world.Build("frigate_bare", 1300.0f, 500.0f);
    sounds.SetBattleInfoProvider([] {
        GUI_SoundBattleInfo info;
        info.inBattle = true;
        info.viewCentreX = 1300.0f;
        info.viewCentreY = 500.0f;
        info.zoom = 4.0f;
        return info;
    });
    GUI_Ship::Of(far)->UpdateEngineSound();
    EXPECT_FLOAT_EQ(drones.level[1], 60.0f / 256.0f);
    drones.level[1] = 0.0f;
    far->x = 1301.0f;
    GUI_Ship::Of(far)->UpdateEngineSound();
    EXPECT_FLOAT_EQ(drones.level[1], 0.0f);

    map.viewLeft = map.viewTop = map.viewRight = map.viewBottom = 0.0f;
    gui.SetSounds(nullptr);
}

TEST_F(ShipVisualTest, AHitsTextStaysAtTheImpactAndNotesLuckAndBlasts)
{
    GUI_DamageFeedbackManager& texts = GUI_DamageFeedbackManager::GetInstance();
    texts.Reset();
    const std::string lucky = std::string("(") + GetString("DAMFEED_LUCKY") + ")";
    auto endsWith = [](const std::string& text, const std::string& tail) {
        return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
    };

    // Shots too weak for the armour show a text only when one gets through
    // by luck, and every such text says so.
    SIM_Ship* armoured = world.Build("cruiser_armoured", 500, 500);
    ASSERT_GT(armoured->armourAverage, 0.0f);
    int luckyTexts = 0;
    for (int i = 0; i < 400; ++i) {
        armoured->TakeHit(nullptr, 1.0f, 0.0f, 0.0f, nullptr, false, 0.0f, 1.0f);
        if (const GUI_DamageFeedback* text = texts.GetLatest()) {
            EXPECT_TRUE(text->lucky);
            EXPECT_TRUE(endsWith(text->text, lucky)) << text->text;
            ++luckyTexts;
            texts.Reset();
        }
    }
    EXPECT_GT(luckyTexts, 0);
    EXPECT_LT(luckyTexts, 40) << "about 3 in 100 get through";
    // One that beats the armour is no luck.
    armoured->TakeHit(nullptr, 1.0f, armoured->armourAverage + 1.0f, 0.0f, nullptr, false, 0.0f, 1.0f);
    ASSERT_NE(texts.GetLatest(), nullptr);
    EXPECT_FALSE(texts.GetLatest()->lucky);
    texts.Reset();

    // A projectile's hook pins the text where it struck: the ship moves on,
    // the text stays.
    SIM_Ship* ship = world.Build("cruiser_shielded", 1000, 1000);
    SIM_BattleEffects::Set(&GUI_ShipEffectHooks::GetInstance());
    ship->TakeHit(nullptr, 1.0f, 0.0f, 0.0f, nullptr, false, 0.0f, 1.0f);
    const GUI_DamageFeedback* text = texts.GetLatest();
    ASSERT_NE(text, nullptr);
    SIM_BattleEffects::Get().ProjectileHitPosition(ship, 1040.0f, 990.0f);
    EXPECT_TRUE(text->pinned);
    EXPECT_FLOAT_EQ(text->pinnedX, 1040.0f);
    EXPECT_FLOAT_EQ(text->pinnedY, 990.0f);
    EXPECT_EQ(texts.GetLatest(), nullptr);
    // A missile on the bubble, and a beam crossing it, pin theirs too.
    ship->TakeHit(nullptr, 1.0f, 0.0f, 0.0f, nullptr, false, 0.0f, 1.0f);
    text = texts.GetLatest();
    SIM_BattleEffects::Get().MissileHitShield(ship, 960.0f, 1000.0f, false);
    EXPECT_TRUE(text->pinned);
    EXPECT_FLOAT_EQ(text->pinnedX, 960.0f);
    ship->TakeHit(nullptr, 1.0f, 0.0f, 0.0f, nullptr, false, 0.0f, 1.0f);
    text = texts.GetLatest();
    GUI_Ship::Of(ship)->ShowShieldImpact(1000.0f, 940.0f);
    EXPECT_TRUE(text->pinned);
    EXPECT_FLOAT_EQ(text->pinnedY, 940.0f);
    SIM_BattleEffects::Set(nullptr);
    texts.Reset();

    // A ship's detonation marks the texts of the ships it hurts.
    SIM_Ship* exploding = world.Build("cruiser_bare", 2000, 2000);
    SIM_Ship* victim = world.Build("cruiser_bare", 2050, 2000);
    exploding->Detonate();
    ASSERT_NE(texts.GetLatest(), nullptr);
    EXPECT_EQ(texts.GetLatest()->ship, victim);
    EXPECT_TRUE(endsWith(texts.GetLatest()->text, texts.GetShockwaveText())) << texts.GetLatest()->text;
    EXPECT_EQ(texts.GetShockwaveText(), std::string("(") + GetString("DAMFEED_SHOCKWAVE") + ")");
    texts.Reset();
}

} // namespace

TEST(ShipVisualTurrets, TurretsTurnWhereDrawnCatchUpOnTheTimeTheyWaitedMeetEachShotAndSettleOnTheShip)
{
    GUI_Ship::InstallFactory();
    {
        ModuleTestWorld world;
        EffectTestView view;
        EffectTestView::Look(-400.0f, -300.0f, 1.0f); // the ship at the origin mid-screen
        GUI_BattleGUI::GetInstance().turretsOn = 1;
        SIM_Ship* ship = world.Build("turretship", 0, 0);
        ship->state = SIM_Ship::ACTIVE;
        GUI_Ship* visual = GUI_Ship::Of(ship);
        ASSERT_NE(visual, nullptr);
        ASSERT_EQ(visual->GetTurretDraws().size(), 1u);
        const GUI_Ship::TurretDraw& turret = visual->GetTurretDraws()[0];
        SIM_TargetedModule* weapon = turret.weapon;
        ASSERT_FLOAT_EQ(weapon->GetTrackingSpeed(), 2.0f);
        // Aimed far off to the side (the turrets sit near the origin).
        weapon->SetTarget(world.Build("unarmed", 100000.0f, 0.0f, true));
        weapon->aimPoint = {100000.0f, 0.0f};
        ModuleTestWorld::SetFrame(24.0f);
        const float frame = SIM_BattleClock::GetInstance().scaledFrameTime;
        const float step = 2.0f / 1.5f * frame / 12.0f;
        visual->Draw();
        EXPECT_NEAR(turret.DrawnAngle(0, ship->angle), ship->angle + step, 1e-3f);
        visual->Draw();
        EXPECT_NEAR(turret.DrawnAngle(0, ship->angle), ship->angle + 2.0f * step, 1e-3f);
        for (int i = 0; i < 200; ++i)
            visual->Draw();
        EXPECT_NEAR(turret.DrawnAngle(0, ship->angle), 90.0f, 0.5f) << "on its aim, and it stays there";

        // Out of view a turret waits; back in view it has turned by all the
        // time it waited, this frame's included.
        weapon->aimPoint = {0.0f, 100000.0f};
        EffectTestView::Look(5000.0f, 5000.0f, 1.0f);
        for (int i = 0; i < 10; ++i)
            visual->Draw();
        EXPECT_NEAR(turret.DrawnAngle(0, ship->angle), 90.0f, 0.5f);
        EXPECT_NEAR(visual->GetTurretIdleMs(), 10.0f * frame, 1e-3f);
        const float waited = turret.DrawnAngle(0, ship->angle);
        EffectTestView::Look(-400.0f, -300.0f, 1.0f);
        visual->Draw();
        EXPECT_NEAR(turret.DrawnAngle(0, ship->angle), waited + 11.0f * step, 1e-3f);
        EXPECT_FLOAT_EQ(visual->GetTurretIdleMs(), 0.0f);

        // A shot puts the turrets on its aim at once, whatever they tracked.
        SIM_Ship* behind = world.Build("unarmed", -100000.0f, 0.0f, true);
        weapon->SetTarget(behind);
        weapon->Fire();
        visual->Draw();
        for (size_t i = 0; i < weapon->GetTurretCount(); ++i)
            EXPECT_FLOAT_EQ(turret.DrawnAngle(i, ship->angle), weapon->GetTurretAngle(i)) << i;
        EXPECT_NEAR(turret.DrawnAngle(0, ship->angle), 270.0f, 0.5f);

        // Knocked out: no more turning, and the turret keeps its bearing on
        // the turning ship while its working picture fades over the wreck.
        weapon->health = 0.0f;
        weapon->turretSettleTimer = 0.5f;
        const float before = turret.DrawnAngle(0, ship->angle);
        weapon->aimPoint = {0.0f, 100000.0f};
        visual->Draw();
        EXPECT_TRUE(turret.settling);
        EXPECT_NEAR(turret.DrawnAngle(0, ship->angle), before, 1e-3f);
        ship->SetAngle(ship->angle + 30.0f);
        visual->Draw();
        EXPECT_NEAR(turret.DrawnAngle(0, ship->angle), before + 30.0f, 1e-3f);
    }
    SIM_ShipVisual::SetFactory(nullptr);
}

TEST(ShipVisualTurrets, PointDefenceAndEcmBeamTurretsTurnTowardTheMissileTheyHold)
{
    GUI_Ship::InstallFactory();
    {
        MissileTestWorld world;
        world.AddModuleType("t_pd", "classname = SIM_PointDefenseModule\nslot_type = TURRET\ncategory = WEAPONS\n"
                                    "hitpoints = 20\nmax_range = 300\nfire_interval = 400\ntracking_speed = 6\n"
                                    "beam_duration = 150\nturretsize = 16\nturret_sprite = turret_laser\n");
        world.AddModuleType("t_ecm", "classname = SIM_ECMBeamModule\nslot_type = TURRET\ncategory = WEAPONS\n"
                                     "hitpoints = 20\nmax_range = 600\nbeam_duration = 1500\ntracking_speed = 6\n"
                                     "turretsize = 16\nturret_sprite = turret_laser\n");
        world.Design("pdturrets", "t_cruiser", {"engine", "crew", "", "t_pd"});
        world.Design("ecmturrets", "t_cruiser", {"engine", "crew", "", "t_ecm"});
        EffectTestView view;
        EffectTestView::Look(-400.0f, -300.0f, 1.0f);
        GUI_BattleGUI::GetInstance().turretsOn = 1;
        ModuleTestWorld::SetFrame(24.0f);
        // Missiles stand still below the ship: the turrets turn toward 180.
        SIM_Missile missile;
        missile.x = 0.0f;
        missile.y = 250.0f;
        missile.SetAngle(0.0f);
        for (const char* design : {"pdturrets", "ecmturrets"}) {
            SIM_Ship* ship = world.Build(design, 0, 0);
            GUI_Ship* visual = GUI_Ship::Of(ship);
            ASSERT_EQ(visual->GetTurretDraws().size(), 1u) << design;
            const GUI_Ship::TurretDraw& turret = visual->GetTurretDraws()[0];
            SIM_TargetedModule* module = turret.weapon;
            auto* pd = dynamic_cast<SIM_PointDefenceModule*>(module);
            auto* ecm = dynamic_cast<SIM_ECMBeamModule*>(module);
            // Shots that outlast the test: the missile here is no real one.
            if (pd) {
                pd->state = SIM_PointDefenceModule::FIRING;
                pd->missile = &missile;
                pd->beamDuration = 1e9f;
            } else {
                ASSERT_NE(ecm, nullptr);
                ecm->state = SIM_ECMBeamModule::BEAMING;
                ecm->missile = &missile;
                ecm->beamDuration = 1e9f;
            }
            for (int i = 0; i < 100; ++i) {
                SIM_BattleStep::RunShipFrame(ship);
                visual->Draw();
            }
            EXPECT_EQ(module->GetTarget(), ship) << design << ": the own ship stands as target";
            for (size_t i = 0; i < module->GetTurretCount(); ++i)
                EXPECT_NEAR(turret.DrawnAngle(i, ship->angle), 180.0f, 8.0f) << design << " turret " << i;
            // Without a missile the target goes and the turrets swing back along the ship.
            if (pd) {
                pd->state = SIM_PointDefenceModule::RELOADING;
                pd->missile = nullptr;
            } else {
                ecm->state = SIM_ECMBeamModule::IDLE;
                ecm->missile = nullptr;
            }
            SIM_BattleStep::RunShipFrame(ship);
            EXPECT_EQ(module->GetTarget(), nullptr) << design;
        }
    }
    SIM_ShipVisual::SetFactory(nullptr);
}

TEST(ShipVisualTurrets, TheModuleTheInspectorHighlightsMarksItsAim)
{
    GUI_Ship::InstallFactory();
    {
        ModuleTestWorld world;
        EffectTestView view;
        EffectTestView::Look(-400.0f, -300.0f, 1.0f);
        SIM_Ship* ship = world.Build("turretship", 0, 0);
        GUI_Ship* visual = GUI_Ship::Of(ship);
        SIM_TargetedModule* weapon = visual->GetTurretDraws()[0].weapon;
        weapon->SetTarget(world.Build("unarmed", 300.0f, 0.0f, true));
        weapon->aimPoint = {150.0f, 100.0f};
        // The marker's vertices among the ship's quads.
        auto markers = [&] {
            view.Device().ClearDraws();
            QuadRunBatch& batch = QuadRunBatch::Shared();
            batch.Begin(EffectTestView::kWidth, EffectTestView::kHeight);
            visual->Draw();
            batch.End();
            std::vector<ScreenVertex> found;
            for (const auto& draw : view.Device().GetDraws())
                for (const ScreenVertex& v : draw.vertices)
                    if (v.colour == ShipTurrets::kAimMarkerColour)
                        found.push_back(v);
            return found;
        };
        weapon->selected = 1;
        EXPECT_TRUE(markers().empty()) << "no inspector, no mark";
        GUI_ShipInspector::Open(ship);
        ASSERT_EQ(GUI_ShipInspector::GetInspectedShip(), ship);
        const std::vector<ScreenVertex> marked = markers();
        ASSERT_EQ(marked.size(), 4u);
        float cx = 0.0f, cy = 0.0f;
        for (const ScreenVertex& v : marked) {
            cx += v.x * 0.25f;
            cy += v.y * 0.25f;
        }
        EXPECT_NEAR(cx, 150.0f + 400.0f, 0.5f) << "on the aim point";
        EXPECT_NEAR(cy, 100.0f + 300.0f, 0.5f);
        EXPECT_NEAR(marked[1].x - marked[0].x, ShipTurrets::kAimMarkerSize, 0.5f);
        weapon->selected = 0;
        EXPECT_TRUE(markers().empty()) << "only the highlighted module";

        // The inspector highlights the module whose icon the mouse rests on.
        GUI_InspectorModuleIcon* icon = nullptr;
        for (GUI_InspectorModuleIcon* each : GUI_ShipInspector::GetOpen()->GetIcons())
            if (each->GetModule() == weapon)
                icon = each;
        ASSERT_NE(icon, nullptr);
        CInput& input = CInput::GetInstance();
        input.SetCursorPosition(static_cast<float>(icon->left + icon->right) / 2.0f,
                                static_cast<float>(icon->top + icon->bottom) / 2.0f);
        input.Poll();
        GUI_WindowManager::GetInstance().DrawWindows();
        EXPECT_EQ(markers().size(), 4u) << "the hovered weapon's aim";
        input.SetCursorPosition(5.0f, 5.0f);
        input.Poll();
        GUI_WindowManager::GetInstance().DrawWindows();
        EXPECT_TRUE(markers().empty()) << "and no more once the mouse leaves it";

        weapon->selected = 1;
        weapon->SetTarget(nullptr);
        EXPECT_TRUE(markers().empty()) << "nor without a target";
        GUI_ShipInspector::Close();
        GUI_WindowManager::GetInstance().DeleteQueuedWindows();
    }
    SIM_ShipVisual::SetFactory(nullptr);
}

TEST(ShipVisualRepairBots, ARepairModuleGetsItsSwarmAndItsWorkEndsLongShownPatches)
{
    GUI_Ship::InstallFactory();
    SIM_Options& options = SIM_Options::GetInstance();
    const float bots = options.GetValue("REPAIRBOTS");
    {
        SupportWorld world;
        EffectTestView view;
        options.SetValue("REPAIRBOTS", 0.0f);
        EXPECT_TRUE(GUI_Ship::Of(world.Build("repairship", 0, 0))->GetRepairSwarms().empty()) << "the option off";
        options.SetValue("REPAIRBOTS", 1.0f);
        SIM_Ship* ship = world.Build("repairship", 400.0f, 300.0f);
        GUI_Ship* visual = GUI_Ship::Of(ship);
        auto* repair = ModuleTestWorld::FindModule<SIM_RepairModule>(ship);
        ASSERT_NE(repair, nullptr);
        ASSERT_EQ(visual->GetRepairSwarms().size(), 1u);
        GUI_RepairBotSwarm& swarm = *visual->GetRepairSwarms()[0];
        EXPECT_EQ(swarm.GetModule(), repair);

        // Two patches shown for longer than 400 ms, bots over them.
        SIM_ShipHull::Target spots[2];
        for (int i = 0; i < 2; ++i) {
            spots[i].hasRect = 1;
            spots[i].rectWidth = spots[i].rectHeight = 10.0f;
            spots[i].rectCentreX = 12.0f * static_cast<float>(i);
            visual->AddDamageSpriteOnce(spots[i], 0, 0);
            visual->GetDamageSprites()[i]->Update(200.0f);
            visual->GetDamageSprites()[i]->Update(401.0f);
        }
        EffectTestView::Step(16.0f);
        swarm.Draw();
        ASSERT_GT(swarm.GetActiveCount(), 0);
        auto fading = [&] {
            int n = 0;
            for (const auto& patch : visual->GetDamageSprites())
                n += patch->GetState() == GUI_DamageSprite::FADING_OUT ? 1 : 0;
            return n;
        };
        // The module mends a plate through the battle's hooks: a bot ends a
        // repair while more patches show than the ship's health warrants.
        SIM_BattleEffects::Set(&GUI_ShipEffectHooks::GetInstance());
        ModuleTestWorld::FindModule<SIM_ArmourModule>(ship)->TakeDamage(25.0f);
        ship->healthFraction = 1.0f;
        SupportWorld::Think(ship, 200.0f, 5);
        ASSERT_NE(repair->GetRepairTarget(), nullptr) << "at work";
        EXPECT_EQ(fading(), 1);
        SIM_BattleEffects::Set(nullptr);
        visual->DeleteDamageSprites();
    }
    options.SetValue("REPAIRBOTS", bots);
    SIM_ShipVisual::SetFactory(nullptr);
}

TEST(ShipVisualTurrets, TheShipsImageHoldsItsTurretsLevelAndATurretWithoutASizeShowsNone)
{
    GUI_Ship::InstallFactory();
    {
        ModuleTestWorld world;
        world.AddModuleType("t_sizeless", "classname = SIM_BeamWeaponModule\nslot_type = TURRET\ncategory = WEAPONS\n"
                                          "hitpoints = 20\nmax_range = 600\nfire_interval = 1000\ntracking_speed = 2\n"
                                          "damage = 40\nturretsize = 0\nturret_sprite = turret_laser\n"
                                          "texture = beam.dds\nbeamwidth = 6\nbeam_duration = 600\n");
        world.Design("sizeless", "t_cruiser", {"engine", "crew", "", "t_sizeless"});
        EffectTestView view;
        EffectTestView::Look(-400.0f, -300.0f, 1.0f);
        GUI_BattleGUI::GetInstance().turretsOn = 1;
        auto collect = [&](const std::function<void(QuadRunBatch&)>& draw) {
            view.Device().ClearDraws();
            QuadRunBatch& batch = QuadRunBatch::Shared();
            batch.Begin(EffectTestView::kWidth, EffectTestView::kHeight);
            draw(batch);
            batch.End();
            std::vector<ScreenVertex> vertices;
            for (const auto& d : view.Device().GetDraws())
                vertices.insert(vertices.end(), d.vertices.begin(), d.vertices.end());
            return vertices;
        };
        // The turrets point along the ship as it heads 30 degrees; then it
        // turns to 80 and they keep their bearing: 50 degrees off its line.
        SIM_Ship* ship = world.Build("turretship", 0, 0);
        GUI_Ship* visual = GUI_Ship::Of(ship);
        ship->SetAngle(30.0f);
        collect([&](QuadRunBatch&) { visual->DrawWarping(1.0f); });
        ship->SetAngle(80.0f);
        const std::vector<ScreenVertex> screen = collect([&](QuadRunBatch&) { visual->DrawWarping(1.0f); });
        const float side = 2.0f * ship->GetWidth(), left = 10.0f, top = 20.0f;
        const std::vector<ScreenVertex> image =
            collect([&](QuadRunBatch& batch) { visual->DrawIntoImage(side, left, top, &batch); });
        const SIM_TargetedModule* weapon = visual->GetTurretDraws()[0].weapon;
        ASSERT_EQ(weapon->GetTurretCount(), 3u);
        ASSERT_EQ(screen.size(), 4u + 4u * 3u);
        ASSERT_EQ(image.size(), screen.size()) << "the hull and its three turrets";
        const float h = -80.0f * 0.01745329238474369f;
        for (size_t t = 0; t < 3; ++t) {
            SCOPED_TRACE(t);
            const ScreenVertex* on = &screen[4 + 4 * t];
            const ScreenVertex* in = &image[4 + 4 * t];
            auto centre = [](const ScreenVertex* q, bool y) {
                return 0.25f * (y ? q[0].y + q[1].y + q[2].y + q[3].y : q[0].x + q[1].x + q[2].x + q[3].x);
            };
            // At its place on the level ship, twice the size (the image is
            // two pixels a unit)...
            EXPECT_NEAR(centre(in, false), left + side * 0.5f + 2.0f * weapon->turretOffsets[t].x, 0.01f);
            EXPECT_NEAR(centre(in, true), top + side * 0.5f + 2.0f * weapon->turretOffsets[t].y, 0.01f);
            // ...and turned as on the screen less the ship's heading.
            for (int k = 0; k < 4; ++k) {
                const float dx = on[k].x - centre(on, false), dy = on[k].y - centre(on, true);
                const float lx = dx * std::cos(h) - dy * std::sin(h), ly = dx * std::sin(h) + dy * std::cos(h);
                EXPECT_NEAR(in[k].x - centre(in, false), 2.0f * lx, 0.02f) << k;
                EXPECT_NEAR(in[k].y - centre(in, true), 2.0f * ly, 0.02f) << k;
            }
        }
        GUI_BattleGUI::GetInstance().turretsOn = 0;
        EXPECT_EQ(collect([&](QuadRunBatch& batch) { visual->DrawIntoImage(side, left, top, &batch); }).size(), 4u)
            << "turrets switched off: the hull alone";
        GUI_BattleGUI::GetInstance().turretsOn = 1;

        // A turret of size 0 is drawn nowhere.
        SIM_Ship* bare = world.Build("sizeless", 0, 0);
        GUI_Ship* bareVisual = GUI_Ship::Of(bare);
        ASSERT_EQ(bareVisual->GetTurretDraws().size(), 1u);
        EXPECT_FLOAT_EQ(bareVisual->GetTurretDraws()[0].weapon->turretSize, 0.0f);
        EXPECT_EQ(collect([&](QuadRunBatch&) { bareVisual->DrawWarping(1.0f); }).size(), 4u);
        EXPECT_EQ(collect([&](QuadRunBatch& batch) { bareVisual->DrawIntoImage(side, left, top, &batch); }).size(), 4u);
    }
    SIM_ShipVisual::SetFactory(nullptr);
}

TEST(ShipVisualTurrets, ATurretMoreThan32UnitsOutsideTheViewIsNotDrawn)
{
    GUI_Ship::InstallFactory();
    {
        ModuleTestWorld world;
        EffectTestView view;
        EffectTestView::Look(0.0f, 0.0f, 1.0f);
        GUI_BattleGUI::GetInstance().turretsOn = 1;
        SIM_Ship* ship = world.Build("turretship", 400.0f, 300.0f);
        ship->SetAngle(0.0f);
        GUI_Ship* visual = GUI_Ship::Of(ship);
        const SIM_TargetedModule* weapon = visual->GetTurretDraws()[0].weapon;
        ASSERT_EQ(weapon->GetTurretCount(), 3u);
        const float oy = weapon->turretOffsets[0].y;
        for (size_t i = 1; i < 3; ++i)
            ASSERT_FLOAT_EQ(weapon->turretOffsets[i].y, oy) << "the turrets in one row";
        auto vertices = [&] {
            view.Device().ClearDraws();
            QuadRunBatch& batch = QuadRunBatch::Shared();
            batch.Begin(EffectTestView::kWidth, EffectTestView::kHeight);
            visual->DrawWarping(1.0f);
            batch.End();
            size_t n = 0;
            for (const auto& d : view.Device().GetDraws())
                n += d.vertices.size();
            return n;
        };
        // Their row 31 units above the view: drawn; 33: not, the hull still is.
        ship->y = -31.0f - oy;
        EXPECT_EQ(vertices(), 4u + 4u * 3u);
        ship->y = -33.0f - oy;
        EXPECT_EQ(vertices(), 4u);
    }
    SIM_ShipVisual::SetFactory(nullptr);
}

TEST(ShipVisualTurrets, AWarpingShipBringsItsTurretsAtItsFade)
{
    GUI_Ship::InstallFactory();
    {
        ModuleTestWorld world;
        EffectTestView view;
        EffectTestView::Look(-400.0f, -300.0f, 1.0f);
        SIM_Ship* ship = world.Build("turretship", 0, 0);
        ship->state = SIM_Ship::OFF_FIELD;
        GUI_Ship* visual = GUI_Ship::Of(ship);
        ASSERT_EQ(visual->GetTurretDraws().size(), 1u);
        const size_t turrets = visual->GetTurretDraws()[0].weapon->GetTurretCount();
        ASSERT_EQ(turrets, 3u);
        // Every vertex the arriving ship draws at progress 0.5.
        auto drawn = [&] {
            view.Device().ClearDraws();
            QuadRunBatch& batch = QuadRunBatch::Shared();
            batch.Begin(EffectTestView::kWidth, EffectTestView::kHeight);
            visual->DrawWarping(0.5f);
            batch.End();
            std::vector<ScreenVertex> vertices;
            for (const auto& draw : view.Device().GetDraws())
                vertices.insert(vertices.end(), draw.vertices.begin(), draw.vertices.end());
            return vertices;
        };
        GUI_BattleGUI::GetInstance().turretsOn = 0;
        const size_t hullOnly = drawn().size();
        EXPECT_EQ(hullOnly, 4u);
        GUI_BattleGUI::GetInstance().turretsOn = 1;
        const std::vector<ScreenVertex> all = drawn();
        ASSERT_EQ(all.size(), hullOnly + 4 * turrets) << "the turrets come in with the hull";
        for (const ScreenVertex& v : all)
            EXPECT_EQ(v.colour >> 24, 127u) << "at the warp's fade";
        // Where the warp draws the hull, not where the ship will stand.
        float wx, wy;
        GUI_WarpEffect::PositionAt(0.5f, ship->x, ship->y, ship->angle, wx, wy);
        for (size_t i = hullOnly; i < all.size(); ++i)
            EXPECT_LT(std::hypot(all[i].x - (wx + 400.0f), all[i].y - (wy + 300.0f)), 80.0f) << i;
    }
    SIM_ShipVisual::SetFactory(nullptr);
}

TEST_F(ShipVisualTest, AnEcmShockOffersItsLessonHalfASecondInAndCentresTheCameraOnTheShip)
{
    TempDir dir;
    GUI_Tutorial& tutorial = GUI_Tutorial::GetInstance();
    tutorial.Clear();
    tutorial.LoadDefinitionFile(dir.Write("lessons.csv", "heading\n#,ECMSHOCKED,ECM shock,-1,-1,1,0,,,\"Shocked.\"\n"));
    std::vector<std::pair<float, float>> centred;
    GUI_Tutorial::BattleLink link;
    link.centreCamera = [&centred](float x, float y) { centred.emplace_back(x, y); };
    tutorial.SetBattleLink(link);

    // The shock's clock is set by hand: no frame time is added.
    float& frameTime = GUI_BattleGUI::GetInstance().scaledFrameTime;
    const float savedFrameTime = frameTime;
    frameTime = 0.0f;
    SIM_Ship* ship = world.Build("cruiser_bare", 300, 200);
    ship->ApplyECMShock(5000.0f, 1.0f);
    GUI_ECMShock* shock = GUI_Ship::Of(ship)->GetECMShock();
    ASSERT_NE(shock, nullptr);
    shock->time = 500.0f;
    shock->Draw();
    EXPECT_TRUE(centred.empty()) << "not before half a second";
    shock->time = 500.5f;
    shock->Draw();
    ASSERT_EQ(centred.size(), 1u);
    EXPECT_EQ(centred[0], std::make_pair(ship->x, ship->y));
    // The lesson that opens is the ECM shock's own, by its name.
    ASSERT_NE(GUI_TutorialWindow::GetFirst(), nullptr);
    EXPECT_EQ(GUI_TutorialWindow::GetFirst()->GetLessonName(), "ECMSHOCKED");
    // Once shown, a later shock leaves the camera where the player has it.
    if (TutorialDefinition* lesson = tutorial.FindPending("ECMSHOCKED"))
        lesson->shown = true;
    shock->Start();
    shock->time = 600.0f;
    shock->Draw();
    EXPECT_EQ(centred.size(), 1u);

    frameTime = savedFrameTime;
    GUI_TutorialWindow::CloseAll();
    GUI_WindowManager::GetInstance().DeleteQueuedWindows();
    tutorial.SetBattleLink({});
    tutorial.Clear();
}
