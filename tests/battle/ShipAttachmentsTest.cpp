// What hangs on a ship's visual: engine glows, power glows and running
// lights, damage patches with their repair bots, splats, the cloak and the
// warp-in, structural bands, ECM and smart-bomb flashes, the break-up and
// the plumes of a blast, each against its own numbers.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>

#include "EffectTestView.h"
#include "app/GUI_Sounds.h"
#include "battle/CameraShake.h"
#include "battle/Explosions.h"
#include "battle/GUI_BattleGUI.h"
#include "battle/GUI_BlastGlare.h"
#include "battle/GUI_Breakup.h"
#include "battle/GUI_CamoflageShield.h"
#include "battle/GUI_DamageSprite.h"
#include "battle/GUI_EffectLog.h"
#include "battle/GUI_ECMShock.h"
#include "battle/GUI_EngineGlow.h"
#include "battle/GUI_ExplosionPlume.h"
#include "battle/GUI_Hulk.h"
#include "battle/GUI_Map.h"
#include "battle/GUI_PowerGlow.h"
#include "battle/GUI_RepairBotSwarm.h"
#include "battle/GUI_RunningLight.h"
#include "battle/GUI_Ship.h"
#include "battle/GUI_ShipEffectHooks.h"
#include "battle/GUI_SplatManager.h"
#include "battle/GUI_TractorBeam.h"
#include "battle/VisualRandom.h"
#include "engine/QuadRunBatch.h"
#include "sim/ShipTestWorld.h"
#include "sim/SIM_BattleEffects.h"
#include "sim/SIM_RadiationManager.h"
#include "sim/modules/RecordingSounds.h"
#include "sim/modules/SIM_CamoflageShieldModule.h"
#include "sim/modules/SIM_RepairModule.h"

namespace {

class ShipAttachments : public ::testing::Test {
protected:
    ShipAttachments()
    {
        GUI_Ship::InstallFactory();
        SeedVisualRandom(9);
        EffectTestView::Look(0.0f, 0.0f, 1.0f);
    }
    ~ShipAttachments() override
    {
        SIM_ShipVisual::SetFactory(nullptr);
        GUI_BattleGUI::GetInstance().runningLights = 1;
        ClearPlumes();
    }
    EffectTestView view;
    ShipTestWorld world;
};

TEST_F(ShipAttachments, EngineGlowsFollowTheThrottleAndFlickerBetweenNinetyAndAHundredPercent)
{
    SIM_Ship* ship = world.Build("cruiser_bare", 400.0f, 300.0f);
    ship->maxSpeed = 2.0f;
    ship->speed = 0.0f;
    GUI_EngineGlow glow(ship, "glow.dds", "", false, 1.0f, 128.0f, 128.0f, 10.0f, 30.0f);
    EXPECT_FALSE(glow.Update()) << "a ship standing still shows no glow";
    ship->speed = 1.0f;
    ASSERT_TRUE(glow.Update());
    EXPECT_FLOAT_EQ(glow.GetThrottle(), 0.5f);
    EXPECT_FLOAT_EQ(glow.GetWorldX(), 400.0f) << "128, 128 is the ship's centre";
    EXPECT_FLOAT_EQ(glow.GetSprite().GetWidth(), 10.0f);
    ship->speed = 5.0f;
    glow.Update();
    EXPECT_FLOAT_EQ(glow.GetThrottle(), 1.0f);

    EffectTestView::Step(50.0f);
    glow.UpdateFlicker();
    EXPECT_FLOAT_EQ(glow.GetFlickerScale(), 1.0f);
    EffectTestView::Step(51.0f);
    glow.UpdateFlicker(); // past 100 ms: a new target
    EXPECT_FLOAT_EQ(glow.flickerPrevious, 1.0f);
    EXPECT_GE(glow.flickerTarget, 0.9f);
    EXPECT_LE(glow.flickerTarget, 1.0f);
    EXPECT_FLOAT_EQ(glow.flickerTimer, 0.0f);
    glow.flickerTimer = 50.0f;
    EXPECT_FLOAT_EQ(glow.GetFlickerScale(), 0.5f + 0.5f * glow.flickerTarget);
}

TEST_F(ShipAttachments, BatchedGlowsLeaveTheirLayerListWithADeadShip)
{
    SIM_Ship* ship = world.Build("fighter_bare", 400.0f, 300.0f);
    ship->maxSpeed = 1.0f;
    ship->speed = 1.0f;
    auto* glow = new GUI_EngineGlow(ship, "glow.dds", "", true, 1.0f, 128.0f, 200.0f, 4.0f, 10.0f);
    const int layer = glow->GetDrawLayer();
    ASSERT_TRUE(layer == 0 || layer == 2);
    const auto& list = GUI_EngineGlow::GetLayerList(layer);
    EXPECT_EQ(std::count(list.begin(), list.end(), glow), 1);
    glow->SetLayer(2 - layer);
    EXPECT_EQ(std::count(list.begin(), list.end(), glow), 0);
    ship->deadFlag = 1;
    GUI_EngineGlow::DrawLayerBatch(2 - layer);
    EXPECT_EQ(glow->GetDrawLayer(), -1);
    delete glow;
}

TEST_F(ShipAttachments, PowerGlowsPulseAndRunningLightsSwellAboveTwoPixels)
{
    SIM_Ship* ship = world.Build("cruiser_bare", 400.0f, 300.0f);
    GUI_PowerGlow pulse(ship, 64.0f, 1000.0f, "pulse.dds", 128.0f, 128.0f);
    EffectTestView::Step(500.0f);
    view.Device().ClearDraws();
    pulse.Draw();
    QuadRunBatch::Shared().Flush();
    EXPECT_EQ(pulse.GetAlpha(), 255);
    // Blended over the hull as the hull is, not added to it.
    ASSERT_EQ(view.Device().GetDraws().size(), 1u);
    EXPECT_EQ(view.Device().GetDraws()[0].blend, BlendMode::Normal);
    EffectTestView::Step(500.0f);
    pulse.Draw();
    EXPECT_EQ(pulse.GetAlpha(), 0);

    // Size 4: at zoom 0.2 it never draws; at zoom 1 only while p > 0.5.
    GUI_RunningLight light("128,128,1000,4,0", ship, 0.0f);
    EffectTestView::Look(0.0f, 0.0f, 0.2f);
    for (int i = 0; i < 10; ++i) {
        EffectTestView::Step(100.0f);
        light.Draw();
        EXPECT_FALSE(light.drewLastFrame);
    }
    EffectTestView::Look(0.0f, 0.0f, 1.0f);
    light.timer = 0.0f;
    for (int i = 1; i <= 10; ++i) {
        EffectTestView::Step(100.0f);
        light.Draw();
        EXPECT_EQ(light.drewLastFrame, i > 5) << i;
    }
    GUI_BattleGUI::GetInstance().runningLights = 0;
    light.timer = 900.0f;
    light.Draw();
    EXPECT_FALSE(light.drewLastFrame);
    // 300 units beyond the view is too far to bother.
    GUI_BattleGUI::GetInstance().runningLights = 1;
    ship->x = 800.0f + 301.0f;
    light.timer = 900.0f;
    light.Draw();
    EXPECT_FALSE(light.drewLastFrame);
}

TEST_F(ShipAttachments, TheShipsDrawPutsOutALightThatShoneOnceTheLightsAreTurnedOff)
{
    SIM_Ship* ship = world.Build("cruiser_bare", 400.0f, 300.0f);
    GUI_Ship* visual = GUI_Ship::Of(ship);
    ASSERT_NE(visual, nullptr);
    GUI_RunningLight light("128,128,1000,40,0", ship, 0.0f);
    visual->AddChild(&light);
    EffectTestView::Step(50.0f);
    light.timer = 900.0f;
    visual->Draw();
    ASSERT_TRUE(light.drewLastFrame);
    GUI_BattleGUI::GetInstance().runningLights = 0;
    visual->Draw();
    EXPECT_FALSE(light.drewLastFrame);
    GUI_BattleGUI::GetInstance().runningLights = 1;
    visual->Draw();
    EXPECT_TRUE(light.drewLastFrame);
    visual->RemoveFromParent(&light);
}

TEST_F(ShipAttachments, AShipFarOutOfViewStillDrawsAPassingEffectInItsTopLayerEveryFrame)
{
    SIM_Ship* ship = world.Build("cruiser_bare", 400.0f, 300.0f);
    GUI_Ship* visual = GUI_Ship::Of(ship);
    ASSERT_NE(visual, nullptr);
    // Not one of the ship's own attachments: an explosion or a glare on it.
    struct Effect : GUI_RenderObject {
        int draws = 0;
        void Draw() override { ++draws; }
    } effect;
    effect.layer = 2;
    visual->AddChild(&effect);
    EffectTestView::Step(50.0f);
    ship->x = 20400.0f; // far beyond the view, its lights' reach and the lazy margin
    for (int frame = 0; frame < 8; ++frame)
        visual->Draw();
    EXPECT_EQ(effect.draws, 8);
    visual->RemoveFromParent(&effect);
}

TEST_F(ShipAttachments, ARunningLightAtTheHullsEdgeShowsWhileTheShipsCentreIsOffTheScreen)
{
    SIM_Ship* ship = world.Build("cruiser_bare", 400.0f, 300.0f);
    ship->SetAngle(0.0f);
    const float w = ship->GetWidth();
    ASSERT_GT(w, 40.0f);
    // 0 on the 256 grid: half the hull's width left of its centre.
    GUI_RunningLight light("0,128,1000,4,0", ship, 0.0f);
    EffectTestView::Step(50.0f);
    ship->x = 800.0f + 0.25f * w; // a quarter width past the right edge
    light.timer = 900.0f;         // 950 of 1000 ms: 3.8 pixels
    light.Draw();
    EXPECT_TRUE(light.drewLastFrame);
    // The light's own quad just past the edge.
    ship->x = 800.0f + 0.5f * w + 2.0f;
    light.timer = 900.0f;
    light.Draw();
    EXPECT_FALSE(light.drewLastFrame);
    ship->x = 800.0f + 0.5f * w + 1.8f;
    light.timer = 900.0f;
    light.Draw();
    EXPECT_TRUE(light.drewLastFrame);
}

TEST_F(ShipAttachments, AShipListsViewsReadTheFrameAsEachViewWouldAloneAndLetGoAfter)
{
    SIM_Ship* ship = world.Build("cruiser_bare", 400.0f, 300.0f);
    const GUI_Map& map = GUI_Map::GetInstance();
    const float edge = map.viewRight + GUI_RunningLight::kCullMargin;
    const float past = std::nextafter(edge, edge + 1.0f);
    const auto bits = [](float v) { return std::bit_cast<uint32_t>(v); };
    for (const float x : {400.0f, edge, past, -5000.0f, std::numeric_limits<float>::quiet_NaN()}) {
        ship->x = x;
        const AttachmentView alone = AttachmentView::Of(ship);
        AttachmentView::FrameScope frame;
        const AttachmentView shared = AttachmentView::Of(ship);
        EXPECT_EQ(bits(shared.outside), bits(alone.outside)) << x;
        EXPECT_EQ(shared.zoom, alone.zoom);
        EXPECT_EQ(shared.cameraX, alone.cameraX);
        EXPECT_EQ(shared.cameraY, alone.cameraY);
        EXPECT_EQ(shared.mapScreenWidth, alone.mapScreenWidth);
        EXPECT_EQ(shared.mapScreenHeight, alone.mapScreenHeight);
        EXPECT_EQ(shared.trailsOn, alone.trailsOn);
        EXPECT_EQ(shared.glowsOn, alone.glowsOn);
        EXPECT_EQ(shared.lightsOn, alone.lightsOn) << x;
        EXPECT_EQ(bits(shared.headingSine), bits(alone.headingSine));
        EXPECT_EQ(bits(shared.headingCosine), bits(alone.headingCosine));
        // The lights' margin holds its edge and no more.
        if (x == edge) {
            EXPECT_TRUE(shared.lightsOn);
        }
        if (x == past) {
            EXPECT_FALSE(shared.lightsOn);
        }
        if (std::isnan(x)) {
            EXPECT_EQ(shared.outside, std::numeric_limits<float>::lowest());
        }
    }
    // Once the list is drawn, views read the camera and switches afresh.
    ship->x = 400.0f;
    {
        AttachmentView::FrameScope frame;
        EXPECT_TRUE(AttachmentView::Of(ship).lightsOn);
    }
    GUI_BattleGUI::GetInstance().runningLights = 0;
    EffectTestView::Look(100.0f, 0.0f, 1.0f);
    const AttachmentView later = AttachmentView::Of(ship);
    EXPECT_FALSE(later.lightsOn);
    EXPECT_EQ(later.cameraX, map.cameraX);
    EXPECT_EQ(later.outside, -300.0f); // 300 pixels in from the left edge
}

TEST_F(ShipAttachments, DamagePatchesFadeInStayAndFadeOutAfterARepair)
{
    SIM_Ship* ship = world.Build("cruiser_bare", 400.0f, 300.0f);
    SIM_ShipHull::Target where;
    where.hasRect = 1;
    where.rectWidth = where.rectHeight = 20.0f;
    where.extraPoints.push_back({5.0f, 5.0f});
    auto* patch = new GUI_DamageSprite(where, ship, 0, false, 0.0f, 0.0f);
    ASSERT_EQ(patch->GetEmitters().size(), 2u);
    EXPECT_TRUE(patch->GetEmitters()[0].scalable);
    EXPECT_FALSE(patch->GetEmitters()[1].scalable) << "sparks keep their own rate";
    EXPECT_TRUE(patch->Update(100.0f));
    EXPECT_FLOAT_EQ(patch->GetFade(), 0.5f);
    EXPECT_EQ(patch->GetSprite().m_vertices[0].colour >> 24, 128u);
    patch->Update(100.0f);
    EXPECT_EQ(patch->GetState(), GUI_DamageSprite::SHOWN);
    EXPECT_FLOAT_EQ(patch->GetTimer(), 0.0f);

    patch->Update(400.0f);
    patch->FinishRepair();
    EXPECT_TRUE(patch->Update(100.0f));
    EXPECT_FALSE(patch->Update(100.0f)) << "200 ms after the repair it is gone";
    EXPECT_EQ(patch->GetState(), GUI_DamageSprite::GONE);
    delete patch;

    // A second hit at a location with a patch adds none.
    GUI_Ship* visual = GUI_Ship::Of(ship);
    visual->AddDamageSpriteOnce(where, 0, 0);
    visual->AddDamageSpriteOnce(where, 0, 0);
    ASSERT_EQ(visual->GetDamageSpriteCount(), 1);
    // Bots only fly to fully shown patches, and forget a patch that is deleted.
    GUI_RepairBot bot(visual);
    bot.PickTarget();
    EXPECT_EQ(bot.GetTarget(), nullptr);
    EXPECT_TRUE(visual->GetDamageSprites()[0]->Update(200.0f));
    bot.PickTarget();
    ASSERT_EQ(bot.GetTarget(), visual->GetDamageSprites()[0].get());
    visual->DeleteDamageSprites();
    EXPECT_EQ(bot.GetTarget(), nullptr);
}

TEST_F(ShipAttachments, RepairBotsCountTwicePatchesTimesEfficiencyUpToEight)
{
    EXPECT_EQ(GUI_RepairBotSwarm::ActiveBotCount(3, 1.0f), 6);
    EXPECT_EQ(GUI_RepairBotSwarm::ActiveBotCount(5, 1.0f), 8);
    EXPECT_EQ(GUI_RepairBotSwarm::ActiveBotCount(3, 0.5f), 3);
    EXPECT_EQ(GUI_RepairBotSwarm::ActiveBotCount(1, 0.49f), 0);
}

TEST_F(ShipAttachments, TheSwarmFollowsThePatchesWhileSuppliesLastAndEndsOnlyLongShownRepairs)
{
    SIM_Ship* ship = world.Build("cruiser_bare", 400.0f, 300.0f);
    GUI_Ship* visual = GUI_Ship::Of(ship);
    SIM_RepairModule module(nullptr);
    module.maxSupplies = module.supplies = 10.0f;
    GUI_RepairBotSwarm swarm(visual, &module);
    SIM_ShipHull::Target spots[3];
    for (int i = 0; i < 3; ++i) {
        spots[i].hasRect = 1;
        spots[i].rectWidth = spots[i].rectHeight = 10.0f;
        spots[i].rectCentreX = 10.0f * static_cast<float>(i);
        visual->AddDamageSpriteOnce(spots[i], 0, 0);
        visual->GetDamageSprites()[i]->Update(200.0f); // fully shown, its clock at 0
    }
    EffectTestView::Step(16.0f);
    swarm.Draw();
    ASSERT_EQ(swarm.GetActiveCount(), 6);
    for (int i = 0; i < GUI_RepairBotSwarm::kBots; ++i)
        EXPECT_EQ(swarm.GetBot(i)->GetTarget() != nullptr, i < 6) << i;

    auto fading = [&] {
        int n = 0;
        for (const auto& patch : visual->GetDamageSprites())
            n += patch->GetState() == GUI_DamageSprite::FADING_OUT ? 1 : 0;
        return n;
    };
    for (const auto& patch : visual->GetDamageSprites())
        patch->Update(400.0f);
    swarm.LaunchBot();
    EXPECT_EQ(fading(), 0) << "shown for 400 ms is not yet enough";
    for (const auto& patch : visual->GetDamageSprites())
        patch->Update(1.0f);
    swarm.LaunchBot();
    EXPECT_EQ(fading(), 1) << "one repair ends at a time";

    module.supplies = 0.0f;
    swarm.Draw();
    EXPECT_EQ(swarm.GetActiveCount(), 0) << "no supplies, no swarm";
    EXPECT_NE(swarm.GetBot(0)->GetTarget(), nullptr) << "the bots keep their targets";
    visual->DeleteDamageSprites();
}

TEST_F(ShipAttachments, TheSimulationsHooksReachTheShipsVisual)
{
    SIM_Ship* ship = world.Build("cruiser_bare", 400.0f, 300.0f);
    GUI_Ship* visual = GUI_Ship::Of(ship);
    GUI_ShipEffectHooks& hooks = GUI_ShipEffectHooks::GetInstance();
    hooks.SmartBombDetonated(ship, 80.0f);
    ASSERT_NE(visual->GetSmartBomb(), nullptr);
    EXPECT_TRUE(visual->GetSmartBomb()->IsActive());
    hooks.ShowRadiation(ship, 4.0f, 6.0f, 0.0f, 0.0f, 3.0f);
    ASSERT_NE(visual->GetSplats(), nullptr);
    ASSERT_EQ(visual->GetSplats()->GetRadiation().size(), 1u);
    EXPECT_FLOAT_EQ(visual->GetSplats()->GetRadiation()[0].key.x, 4.0f);
    SIM_ShipHull::Target spot;
    spot.hasRect = 1;
    visual->AddDamageSpriteOnce(spot, 0, 0);
    hooks.FighterRepaired(ship);
    EXPECT_EQ(visual->GetDamageSpriteCount(), 0) << "mended in its bay: the marks go";
}

TEST_F(ShipAttachments, ARadiationBurnShowsAsAHitWhereTheGlowWasBeforeItMovesOn)
{
    SIM_Ship* ship = world.Build("cruiser_bare", 400.0f, 300.0f);
    GUI_Ship* visual = GUI_Ship::Of(ship);
    GUI_EffectLog& log = GUI_EffectLog::GetInstance();
    log.Clear();
    log.SetEnabled(true);
    SIM_BattleEffects::Set(&GUI_ShipEffectHooks::GetInstance());
    struct Unhook {
        ~Unhook() { SIM_BattleEffects::Set(nullptr); }
    } unhook;
    SIM_RadiationManager* radiation = ship->GetRadiationManager();
    radiation->AddRadiation(8.0f, 0.5f); // burns 4, 2, then 1
    const auto explosionsSince = [&log](size_t from, float& x, float& y) {
        int count = 0;
        for (size_t i = from; i < log.GetRecords().size(); ++i)
            if (log.GetRecords()[i].kind == "explosion") {
                x = log.GetRecords()[i].x;
                y = log.GetRecords()[i].y;
                ++count;
            }
        return count;
    };
    const auto worldOf = [ship](const SIM_ShipModule::Point* p, float& x, float& y) {
        const SIM_ShipHull::Target& at = ship->DamageLocationAt(p);
        ship->LocalToWorld(at.x, at.y, ship->sine, ship->cosine, x, y);
    };

    radiation->Step();
    EXPECT_EQ(visual->hitEffectCount, 1) << "the first burn shows where its glow starts";
    const SIM_ShipModule::Point* first = radiation->GetLastEffectPoint();
    ASSERT_NE(first, nullptr);
    size_t before = log.GetRecords().size();
    radiation->Step();
    EXPECT_EQ(visual->hitEffectCount, 2);
    const SIM_ShipModule::Point* second = radiation->GetLastEffectPoint();
    ASSERT_NE(second, first) << "the glow moves to the next aim point";
    float ex = 0.0f, ey = 0.0f, fx = 0.0f, fy = 0.0f, sx = 0.0f, sy = 0.0f;
    ASSERT_GE(explosionsSince(before, ex, ey), 3) << "a hit's explosions";
    worldOf(first, fx, fy);
    worldOf(second, sx, sy);
    ASSERT_GT(std::hypot(fx - sx, fy - sy), 1.0f);
    EXPECT_NEAR(ex, fx, 1e-3f) << "at the point the glow left";
    EXPECT_NEAR(ey, fy, 1e-3f);
    ASSERT_NE(visual->GetSplats(), nullptr);
    ASSERT_FALSE(visual->GetSplats()->GetRadiation().empty());
    EXPECT_FLOAT_EQ(visual->GetSplats()->GetRadiation().back().key.x, second->x) << "the glow itself moved on";
    EXPECT_FLOAT_EQ(visual->GetSplats()->GetRadiation().back().key.y, second->y);

    // Spent doses show nothing.
    radiation->Step();
    const int hits = visual->hitEffectCount;
    radiation->Step();
    EXPECT_EQ(visual->hitEffectCount, hits);
    log.SetEnabled(false);
    log.Clear();
}

TEST_F(ShipAttachments, SplatsRestartByCentreAndLiveTheirSpans)
{
    SIM_Ship* ship = world.Build("cruiser_armoured", 400.0f, 300.0f);
    GUI_SplatManager splats(ship);
    splats.AddArmourGlow(5.0f, -5.0f);
    splats.Update(200.0f);
    splats.AddArmourGlow(5.0f, -5.0f);
    ASSERT_EQ(splats.GetGlows().size(), 1u);
    EXPECT_FLOAT_EQ(splats.GetGlows()[0].time, 0.0f) << "the same centre restarts its glow";
    splats.Update(125.0f);
    EXPECT_FLOAT_EQ(splats.GetGlows()[0].size, 0.5f * 48.0f + 2.0f);
    EXPECT_FLOAT_EQ(splats.GetGlows()[0].alpha, 0.5f);
    splats.Update(125.0f);
    EXPECT_TRUE(splats.GetGlows().empty());

    splats.AddRadiation(0.0f, 0.0f);
    splats.Update(450.0f);
    ASSERT_EQ(splats.GetRadiation().size(), 1u);
    EXPECT_FLOAT_EQ(splats.GetRadiation()[0].alpha, 1.0f);
    EXPECT_GE(splats.GetRadiation()[0].size, 16.0f);
    EXPECT_LT(splats.GetRadiation()[0].size, 64.0f);
    splats.Update(449.0f);
    EXPECT_EQ(splats.GetRadiation().size(), 1u);
    splats.Update(1.0f);
    EXPECT_TRUE(splats.GetRadiation().empty());

    EXPECT_EQ(GUI_SplatManager::RadiationTile(1.0f), 3) << "a value of exactly 1 stays on the sheet";
    EXPECT_EQ(GUI_SplatManager::RadiationTile(0.0f), 0);
    EXPECT_EQ(GUI_SplatManager::RadiationTile(0.74f), 2);

    // A splat whose corners are all off screen is skipped.
    splats.AddArmourGlow(0.0f, 0.0f);
    ship->x = -1000.0f;
    splats.Draw();
    EXPECT_EQ(splats.GetLastDrawnCount(), 0);
    ship->x = 400.0f;
    splats.AddArmourGlow(0.0f, 0.0f);
    splats.Draw();
    EXPECT_EQ(splats.GetLastDrawnCount(), 1);
}

TEST_F(ShipAttachments, TheWarpSlidesInFromThreeHundredUnitsBehindAndThrowsOnlyTheDrawing)
{
    float x, y;
    GUI_WarpEffect::PositionAt(0.0f, 0.0f, 0.0f, 0.0f, x, y);
    EXPECT_FLOAT_EQ(y, 300.0f);
    GUI_WarpEffect::PositionAt(0.5f, 0.0f, 0.0f, 0.0f, x, y);
    EXPECT_NEAR(y, 300.0f * (1.0f - std::sin(3.14159265f / 4.0f)), 0.01f);
    GUI_WarpEffect::PositionAt(1.0f, 10.0f, 20.0f, 90.0f, x, y);
    EXPECT_FLOAT_EQ(x, 10.0f);
    EXPECT_NEAR(y, 20.0f, 1e-4f);

    SIM_Ship* ship = world.Build("cruiser_bare", 400.0f, 300.0f);
    ship->state = SIM_Ship::OFF_FIELD;
    SIM_ShipVisual* visual = ship->GetVisual();
    visual->StartWarpEffect();
    EXPECT_GE(visual->GetWarpDelay(), 50.0f);
    EXPECT_LE(visual->GetWarpDelay(), 100.0f);
    EXPECT_GE(visual->GetWarpDuration(), 500.0f);
    EXPECT_LE(visual->GetWarpDuration(), 700.0f);
    GUI_WarpEffect& warp = *GUI_Ship::Of(ship)->GetWarpEffect();
    EXPECT_FALSE(warp.Update()) << "waiting out the delay";
    EffectTestView::Step(visual->GetWarpDelay() + visual->GetWarpDuration() * 0.5f);
    visual->UpdateWarpIn();
    EXPECT_TRUE(warp.Update());
    EXPECT_NEAR(warp.GetProgress(), 0.5f, 1e-3f);
    EXPECT_FLOAT_EQ(ship->x, 400.0f) << "the ship stays where the simulation has it";
    EXPECT_FLOAT_EQ(ship->y, 300.0f);
}

TEST_F(ShipAttachments, TheCloakMeshMovesOnlyItsInnerPointsDiagonally)
{
    SIM_Ship* ship = world.Build("cruiser_bare", 400.0f, 300.0f);
    GUI_CamoflageShield cloak(GUI_Ship::Of(ship), ship);
    cloak.Update(123.0f);
    for (int r = 0; r < GUI_CamoflageShield::kGrid; ++r) {
        for (int c = 0; c < GUI_CamoflageShield::kGrid; ++c) {
            const float rx = c * 0.2f - 0.5f, ry = r * 0.2f - 0.5f;
            const float dx = cloak.GetPointX(c, r) - rx, dy = cloak.GetPointY(c, r) - ry;
            EXPECT_FLOAT_EQ(dx, dy);
            if (r == 0 || c == 0 || r == 5 || c == 5) {
                EXPECT_FLOAT_EQ(dx, 0.0f);
            }
        }
    }
    cloak.SetUVScale(0.5f);
    EXPECT_FLOAT_EQ(cloak.lastUVScale, 0.5f);
}

TEST_F(ShipAttachments, TractorBandsAreMeasuredOnTheHullAndFadeInOverOneSecond)
{
    SIM_Ship* ship = world.Build("cruiser_bare", 400.0f, 300.0f);
    const float w = ship->GetWidth();
    GUI_TractorBeam band(ship, 0.1f, 0, 0.0f, -0.5f, 0.0f, 0.5f, 0.0f);
    EXPECT_FLOAT_EQ(band.GetLength(), w);
    EXPECT_FLOAT_EQ(band.GetWidth(), 0.1f * w);
    GUI_TractorBeam reverse(ship, 0.1f, 1, 350.0f, -0.5f, 0.0f, 0.5f, 0.0f);
    EXPECT_FLOAT_EQ(reverse.GetPeriod(), 500.0f);
    EXPECT_FLOAT_EQ(band.GetPeriod(), 600.0f);
    band.Scroll(300.0f);
    reverse.Scroll(250.0f);
    EXPECT_FLOAT_EQ(band.GetScroll(), 0.5f);
    EXPECT_FLOAT_EQ(reverse.GetScroll(), 0.5f) << "from 1.0 the other way";
    ship->angle = 20.0f;
    reverse.Place();
    EXPECT_FLOAT_EQ(reverse.GetAngle(), 10.0f);

    GUI_TractorBeamCollection bands;
    bands.Activate(1000.0f);
    EXPECT_FLOAT_EQ(bands.IntensityAt(1500.0f), 0.5f);
    EXPECT_FLOAT_EQ(bands.IntensityAt(2000.0f), 1.0f);
    EXPECT_FLOAT_EQ(bands.IntensityAt(1200.0f), 1.0f) << "faded in for good";

    // A ship farther off the screen than its bands reach places none of them;
    // nearer, its band may show and flows on.
    auto owned = std::make_unique<GUI_TractorBeam>(ship, 0.1f, 0, 0.0f, -0.5f, 0.0f, 0.5f, 0.0f);
    GUI_TractorBeam* only = owned.get();
    const float reach = only->GetReach();
    EXPECT_FLOAT_EQ(reach, 0.5f * std::sqrt(w * w + 0.01f * w * w)) << "a centred band reaches half its diagonal";
    GUI_TractorBeamCollection lit;
    lit.Add(std::move(owned));
    lit.Activate(0.0f);
    ship->state = SIM_Ship::ACTIVE;
    ship->angle = 0.0f;
    ship->sine = 0.0f;
    ship->cosine = 1.0f;
    ship->y = 300.0f;
    EffectTestView::Step(60.0f);
    ship->x = EffectTestView::kWidth + reach + 1.0f;
    GUI_TractorBeamCollection::DrawAll();
    EXPECT_FLOAT_EQ(only->GetScroll(), 0.0f);
    ship->x = EffectTestView::kWidth + reach - 1.0f;
    GUI_TractorBeamCollection::DrawAll();
    EXPECT_FLOAT_EQ(only->GetScroll(), 0.1f);
}

// The bands lie under the hull and show exactly when it does: not from
// inside a carrier, not through a cloak, not over the pieces of a break-up,
// but over the hull fading out under its released wreck.
TEST_F(ShipAttachments, TractorBandsShowExactlyWhileTheHullDoes)
{
    const auto bandsOf = [](SIM_Ship* ship) {
        auto lit = std::make_unique<GUI_TractorBeamCollection>();
        lit->Add(std::make_unique<GUI_TractorBeam>(ship, 0.1f, 0, 0.0f, -0.5f, 0.0f, 0.5f, 0.0f));
        lit->Activate(0.0f);
        return lit;
    };
    // A band that is drawn flows on; one that is not stays where it was.
    const auto drawn = [](const GUI_TractorBeamCollection& bands) {
        const float before = bands.GetBeams().front()->GetScroll();
        EffectTestView::Step(60.0f);
        GUI_TractorBeamCollection::DrawAll();
        return bands.GetBeams().front()->GetScroll() != before;
    };

    SIM_Ship* cloaked = world.Build("cruiser_cloaked", 400.0f, 300.0f);
    ASSERT_FALSE(cloaked->GetCloaks().empty());
    SIM_CamoflageShieldModule* cloak = cloaked->GetCloaks().front();
    cloak->cloakState = SIM_CamoflageShieldModule::VISIBLE;
    const auto cloakedBands = bandsOf(cloaked);
    EXPECT_TRUE(drawn(*cloakedBands)) << "in battle, uncloaked";
    cloak->cloakState = SIM_CamoflageShieldModule::FADING_OUT;
    EXPECT_FALSE(drawn(*cloakedBands)) << "the cloak hides the hull and what lies under it";
    cloak->cloakState = SIM_CamoflageShieldModule::VISIBLE;
    cloaked->docked = 1;
    EXPECT_FALSE(drawn(*cloakedBands)) << "inside a carrier";
    cloaked->docked = 0;
    cloaked->state = SIM_Ship::RETREATED;
    EXPECT_FALSE(drawn(*cloakedBands)) << "gone from the field";
    cloaked->state = SIM_Ship::ACTIVE;
    EXPECT_TRUE(drawn(*cloakedBands));

    // Breaks up at once, dies a second later and leaves a wreck.
    GUI_BattleGUI::GetInstance().hulks = 1;
    SIM_Ship* breaker = world.Build("breaker_bare", 400.0f, 300.0f);
    GUI_Ship* visual = GUI_Ship::Of(breaker);
    ASSERT_FALSE(visual->GetUnreleasedHulks().empty()) << "the hull leaves a wreck";
    const auto bands = bandsOf(breaker);
    breaker->StartDying();
    EXPECT_TRUE(drawn(*bands)) << "dying, before the hull cracks";
    ShipTestWorld::SetFrame(10.0f);
    visual->UpdateDestruction();
    ASSERT_TRUE(visual->IsBreakupStarted());
    ASSERT_TRUE(visual->AreHulksReleased());
    ASSERT_EQ(breaker->state, static_cast<unsigned>(SIM_Ship::DYING));
    EXPECT_TRUE(drawn(*bands)) << "the hull fades out over its wreck";
    // Past the wreck's fade-in the pieces of the break-up are all there is.
    for (int i = 0; i < 40 && visual->GetHulkFade() < 1.0f; ++i)
        visual->Draw();
    ASSERT_GE(visual->GetHulkFade(), 1.0f);
    EXPECT_FALSE(drawn(*bands)) << "broken up";
    ShipTestWorld::SetFrame(2000.0f);
    visual->UpdateDestruction();
    ASSERT_EQ(breaker->state, static_cast<unsigned>(SIM_Ship::DESTROYED));
    EXPECT_FALSE(drawn(*bands)) << "destroyed";
    ClearHulks();
}

TEST_F(ShipAttachments, TheEcmCrackleSoundsAgainOnALaterShockAndTheSmartBombSwells)
{
    SIM_Ship* ship = world.Build("cruiser_bare", 400.0f, 300.0f);
    // What reaches the speakers, not what was asked for.
    auto recording = std::make_unique<RecordingSounds>();
    const RecordingSounds& rec = *recording;
    GUI_Sounds sounds(std::move(recording), [](const std::string&) { return 1.0f; });
    GUI_BattleGUI& gui = GUI_BattleGUI::GetInstance();
    gui.SetSounds(&sounds);
    struct Unplug {
        ~Unplug() { GUI_BattleGUI::GetInstance().SetSounds(nullptr); }
    } unplug;
    const auto crackles = [&rec] {
        return std::count_if(rec.played.begin(), rec.played.end(),
                             [](const std::string& file) { return file.ends_with("ecmshock.ogg"); });
    };
    GUI_ECMShock shock(ship);
    shock.Start();
    shock.Start();
    EXPECT_EQ(crackles(), 1) << "heard once a shock";
    shock.Stop();
    shock.Start();
    EXPECT_EQ(crackles(), 2) << "the shock ended, so the next one is heard";
    EffectTestView::Step(26.0f);
    const float left = shock.tileLeft;
    shock.frameTimer = 0.0f;
    shock.Draw();
    EXPECT_NE(shock.tileLeft, left) << "a new tile every 25 ms";
    EXPECT_LE(shock.tileLeft, 0.5f);

    EXPECT_FLOAT_EQ(GUI_SmartBombEffect::Swell(0.0f), 0.5f);
    EXPECT_NEAR(GUI_SmartBombEffect::Swell(90.0f / 95.0f), 1.0f, 1e-5f);
    EXPECT_NEAR(GUI_SmartBombEffect::Swell(1.0f), 0.996f, 1e-3f);
    EXPECT_FLOAT_EQ(GUI_SmartBombEffect::AlphaFraction(0.125f), 0.5f);
    EXPECT_FLOAT_EQ(GUI_SmartBombEffect::AlphaFraction(0.5f), 1.0f);
    EXPECT_NEAR(GUI_SmartBombEffect::AlphaFraction(0.9f), 0.5f, 1e-5f);
    GUI_SmartBombEffect bomb(ship, 50.0f);
    bomb.Restart();
    EffectTestView::Step(250.0f);
    bomb.Draw();
    EXPECT_TRUE(bomb.IsActive());
    EffectTestView::Step(250.0f);
    bomb.Draw();
    EXPECT_FALSE(bomb.IsActive()) << "500 ms a flash";
}

TEST_F(ShipAttachments, TheBreakUpCutsSixteenUnitPiecesThatAllGoWithinTheirDelays)
{
    SIM_Ship* ship = world.Build("cruiser_bare", 400.0f, 300.0f);
    GUI_Breakup tiny(ship, "x.dds", 15.0f, 15.0f);
    EXPECT_EQ(tiny.GetGridSize(), 0);
    EXPECT_TRUE(tiny.GetPieces().empty());
    GUI_Breakup breakup(ship, "x.dds", 64.0f, 64.0f);
    ASSERT_EQ(breakup.GetGridSize(), 4);
    ASSERT_EQ(breakup.GetPieces().size(), 16u);
    EXPECT_FLOAT_EQ(breakup.GetPieces()[0].offsetX, -24.0f);
    EXPECT_FLOAT_EQ(breakup.GetPieces()[0].baseWidth, 16.0f);
    breakup.Start();
    // Before breaking off a piece turns and moves with the ship.
    ship->angle = 90.0f;
    ship->sine = 1.0f;
    ship->cosine = 0.0f;
    breakup.Update(0.0f, 0.0f);
    EXPECT_FLOAT_EQ(breakup.GetPieces()[0].heading, 90.0f);
    EXPECT_NEAR(breakup.GetPieces()[0].x, 400.0f + 24.0f, 1e-3f);
    breakup.Update(250.0f, 250.0f / 12.0f);
    for (const GUI_Breakup::Piece& p : breakup.GetPieces())
        EXPECT_TRUE(p.released);
    for (int i = 0; i < 20 && breakup.GetState() == GUI_Breakup::BREAKING; ++i)
        breakup.Update(100.0f, 100.0f / 12.0f);
    EXPECT_EQ(breakup.GetState(), GUI_Breakup::FINISHED) << "all faded within 1800 ms more";
}

TEST_F(ShipAttachments, PlumesComeByShipSizeAndAlternateUnderAndOverTheShip)
{
    EXPECT_EQ(PlumeBaseCount(7.9f), 0);
    EXPECT_EQ(PlumeBaseCount(24.0f), 3);
    EXPECT_EQ(PlumeBaseCount(48.0f), 6);
    SIM_Ship* ship = world.Build("cruiser_bare", 400.0f, 300.0f);
    GUI_Ship* visual = GUI_Ship::Of(ship);
    SpawnPlumes(visual, 400.0f, 300.0f);
    const auto& plumes = GetPlumes();
    const int base = PlumeBaseCount(visual->GetHullWidth());
    ASSERT_GE(static_cast<int>(plumes.size()), base);
    EXPECT_LT(static_cast<int>(plumes.size()), base + std::max(1, base / 3));
    for (size_t i = 0; i < plumes.size(); ++i) {
        EXPECT_EQ(plumes[i]->layer, i % 2 == 0 ? 0 : 2);
        EXPECT_EQ(plumes[i]->GetParent(), visual);
        if (plumes[i]->scale < 1.0f) {
            EXPECT_FLOAT_EQ(plumes[i]->minZoom, 4.0f - plumes[i]->scale * 4.0f);
        }
    }
    // At the end of its life a plume stands still.
    GUI_ExplosionPlume& plume = *plumes[0];
    plume.started = 1;
    plume.elapsed = plume.life;
    const float x = plume.x;
    EffectTestView::Step(16.0f);
    plume.Draw();
    EXPECT_FLOAT_EQ(plume.x, x);
    EXPECT_FLOAT_EQ(plume.speed, 0.0f);

    // An explosion of type 14 on the ship throws them, a 17 hangs a glare a
    // third of the ship wide on it, an 18 one an eighth wide at its point.
    ClearPlumes();
    SpawnExplosion(14, visual, 410.0f, 290.0f, 0.0f, 0.0f);
    ASSERT_GE(static_cast<int>(plumes.size()), base);
    EXPECT_EQ(plumes[0]->GetParent(), visual);
    EXPECT_FLOAT_EQ(plumes[0]->x, 410.0f);
    ClearBlastGlares();
    SpawnExplosion(17, visual, 410.0f, 290.0f, 0.0f, 0.0f);
    SpawnExplosion(18, visual, 410.0f, 290.0f, 0.0f, 0.0f);
    const auto& glares = GetBlastGlares();
    ASSERT_EQ(glares.size(), 2u);
    EXPECT_EQ(glares[0]->GetParent(), visual);
    EXPECT_FLOAT_EQ(glares[0]->size, ship->GetWidth() / 3.0f * 3.0f);
    EXPECT_FLOAT_EQ(glares[0]->x, ship->x);
    EXPECT_FLOAT_EQ(glares[1]->size, ship->GetWidth() * 0.125f * 3.0f);
    EXPECT_FLOAT_EQ(glares[1]->x, 410.0f);
    ClearBlastGlares();
    CameraShake::GetInstance().Reset();
}

} // namespace
