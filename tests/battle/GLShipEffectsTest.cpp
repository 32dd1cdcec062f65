// Ship effects drawn through OpenGL (offscreen) and looked at where they
// are: a moving ship's lit engines and con trails, a Korrath cruiser's
// structural bands between its sections, a kill's smoke, hulks and
// debris, a cloaked ship drawn from its image in "rt_ship", and limpets in
// flight and stuck to a fighter. Each is
// probed against the same still frame without the effect. Pictures from the
// texture atlas and cloaks from shared tiles are held to the frames drawn
// from the textures of their own.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "battle/CloakImages.h"
#include "battle/GUI_BattleGUI.h"
#include "battle/GUI_ConTrail.h"
#include "battle/GUI_DebrisPool.h"
#include "battle/GUI_Hulk.h"
#include "battle/GUI_Map.h"
#include "battle/GUI_Ship.h"
#include "battle/GUI_ShipDrawLists.h"
#include "battle/GUI_SmokeSprite.h"
#include "battle/GUI_TractorBeam.h"
#include "engine/D3DEngine.h"
#include "engine/TextureAtlas.h"
#include "sim/SIM_Battle.h"
#include "sim/SIM_BattleClock.h"
#include "sim/SIM_DeployedFleet.h"
#include "sim/SIM_Fleet.h"
#include "sim/SIM_Ship.h"
#include "sim/SIM_ShipHull.h"
#include "sim/SIM_ShipModuleType.h"
#include "sim/modules/SIM_CamoflageShieldModule.h"
#include "sim/modules/SIM_ECMBeamModule.h"
#include "sim/modules/SIM_ECMShockModule.h"
#include "sim/modules/SIM_LimpetLauncherModule.h"
#include "sim/modules/SIM_Missile.h"
#include "sim/modules/SIM_TargetedModule.h"
#include "sim/modules/SIM_PointDefenceModule.h"
#include "sim/modules/SIM_ShieldModule.h"
#include "sim/modules/SIM_ShieldSupportBeam.h"
#include "sim/modules/SIM_TargetPainterModule.h"
#include "sim/modules/SIM_TractorModule.h"
#include "sim/SIM_Shield.h"
#include "sim/ShippedBattleWorld.h"
#include "engine/GeometryHelpers.h"
#include "support/GLTestContext.h"
#include "support/ImageCompare.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

// The ship's first module of class T.
template <class T>
T* FindModule(const SIM_Ship* ship)
{
    for (SIM_ShipModule* m : ship->GetModules())
        if (auto* found = dynamic_cast<T*>(m))
            return found;
    return nullptr;
}

// Pixels whose brightness differs by more than `by` between two frames.
size_t Changed(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, int by)
{
    size_t n = 0;
    for (size_t i = 0; i + 3 < a.size() && i + 3 < b.size(); i += 4) {
        const int d = (a[i] + a[i + 1] + a[i + 2]) - (b[i] + b[i + 1] + b[i + 2]);
        if (d > by || -d > by)
            ++n;
    }
    return n;
}

class GLShipEffects : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(m_gl.Open("ship effects", kWidth, kHeight));
        D3DEngine& engine = D3DEngine::GetInstance();
        engine.ClearTextureFolders();
        engine.LoadTextureFolder(std::string(QLM_GAME_DIR) + "/data/bitmaps");
        engine.CreateRenderTarget(512, 512, "rt_ship");
        GUI_BattleGUI::GetInstance().SetInjectedFrameTime(33.0f);
    }
    void TearDown() override
    {
        GUI_BattleGUI& gui = GUI_BattleGUI::GetInstance();
        if (gui.paused)
            gui.TogglePauseState();
        gui.SetInjectedFrameTime(-1.0f);
        gui.Leave();
        SIM_Battle::GetInstance().Clear();
        GUI_ShipDrawLists::GetInstance().Clear();
        GUI_Map::GetInstance().SetScreenSize(0, 0);
        SIM_BattleClock::GetInstance().ResetForBattle();
        m_gl.Close();
    }
    std::vector<uint8_t> Frame(const char* shot = nullptr)
    {
        D3DEngine& engine = D3DEngine::GetInstance();
        engine.ClearAndBeginScene();
        GUI_BattleGUI::GetInstance().Render();
        engine.EndScene();
        std::vector<uint8_t> rgba;
        EXPECT_TRUE(engine.GetDevice()->ReadPixels(0, 0, 0, kWidth, kHeight, rgba));
        engine.Flip();
        if (shot)
            if (const char* dir = std::getenv("QLM_TEST_SHOTS"))
                SavePng(std::string(dir) + "/" + shot, kWidth, kHeight, rgba);
        return rgba;
    }
    void StartSampleBattle(int difficulty = SIM_Scenario::EASY)
    {
        SIM_Scenario* scenario = SIM_Scenario::FindByName("scenario1");
        ASSERT_NE(scenario, nullptr);
        ASSERT_TRUE(StartBattleFromDeploymentFile(scenario, "data/sample deployment/deployed.txt", difficulty));
        GUI_BattleGUI& gui = GUI_BattleGUI::GetInstance();
        gui.Enter();
        gui.hudShown = 0;
        gui.shadersOn = 1;
    }
    // A cloaking raider on the field, an escort far away.
    void StartRaiderBattle(SIM_Ship*& raider)
    {
        SIM_Scenario* scenario = SIM_Scenario::FindByName("scenario1");
        ASSERT_NE(scenario, nullptr);
        SIM_DeployedFleet player, enemy;
        ASSERT_TRUE(ShippedBattleWorld::Add(player, "fed_ai_raider", 600.0f, 600.0f));
        ASSERT_TRUE(ShippedBattleWorld::Add(enemy, "kor_ai_escort", 2400.0f, 1600.0f));
        ASSERT_TRUE(SIM_Battle::GetInstance().Start(scenario, &player, &enemy, false));
        GUI_BattleGUI& gui = GUI_BattleGUI::GetInstance();
        gui.Enter();
        gui.hudShown = 0;
        raider = SIM_Battle::GetInstance().GetPlayerFleet()->GetAllShips().front();
        for (int frame = 0; frame < 60 && raider->state != SIM_Ship::ACTIVE; ++frame)
            Frame();
        ASSERT_EQ(raider->state, static_cast<unsigned>(SIM_Ship::ACTIVE));
    }
    // Our missile cruiser (point defence and a target painter), carrier
    // (shield support and a tractor), siege cruiser (ECM beam and shock) and
    // battlecruiser (a shield) apart on the field, an enemy escort far away.
    void StartSupportBattle(SIM_Ship*& cruiser, SIM_Ship*& escort, SIM_Ship*& siege, SIM_Ship*& shielded,
                            SIM_Ship*& enemy)
    {
        SIM_Scenario* scenario = SIM_Scenario::FindByName("scenario1");
        ASSERT_NE(scenario, nullptr);
        SIM_DeployedFleet player, other;
        ASSERT_TRUE(ShippedBattleWorld::Add(player, "fed_ai_missilecruiser", 600.0f, 600.0f));
        ASSERT_TRUE(ShippedBattleWorld::Add(player, "fed_ai_carrier", 600.0f, 1100.0f));
        ASSERT_TRUE(ShippedBattleWorld::Add(player, "fed_ai_siegecruiser", 600.0f, 1600.0f));
        ASSERT_TRUE(ShippedBattleWorld::Add(player, "fed_ai_battlecruiser", 1400.0f, 600.0f));
        ASSERT_TRUE(ShippedBattleWorld::Add(other, "kor_ai_escort", 3400.0f, 2600.0f));
        ASSERT_TRUE(SIM_Battle::GetInstance().Start(scenario, &player, &other, false));
        GUI_BattleGUI& gui = GUI_BattleGUI::GetInstance();
        gui.Enter();
        gui.hudShown = 0;
        const auto& ours = SIM_Battle::GetInstance().GetPlayerFleet()->GetAllShips();
        ASSERT_EQ(ours.size(), 4u);
        cruiser = ours[0];
        escort = ours[1];
        siege = ours[2];
        shielded = ours[3];
        enemy = SIM_Battle::GetInstance().GetEnemyFleet()->GetAllShips().front();
        auto arrived = [&ours] {
            return std::all_of(ours.begin(), ours.end(), [](const SIM_Ship* s) { return s->state == SIM_Ship::ACTIVE; });
        };
        for (int frame = 0; frame < 90 && !arrived(); ++frame)
            Frame();
        ASSERT_TRUE(arrived());
    }
    // The screen point of a world point at the current view.
    static void ToScreen(float x, float y, int& sx, int& sy)
    {
        const GUI_Map& map = GUI_Map::GetInstance();
        sx = static_cast<int>((x - map.cameraX) * ZoomScale);
        sy = static_cast<int>((y - map.cameraY) * ZoomScale);
    }
    // Pixels within `half` of (cx, cy) whose brightness differs by more than `by`.
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
    // Close up on (x, y): the zoom eases to 2 over the frames.
    void Look(float x, float y)
    {
        GUI_Map& map = GUI_Map::GetInstance();
        map.zoomTarget = std::min(2.0f, map.maxZoom);
        for (int frame = 0; frame < 2 || (ZoomScale != map.zoomTarget && frame < 400); ++frame) {
            map.SetCentre(x, y);
            Frame();
        }
    }

    GLTestContext m_gl;
    ShippedBattleWorld m_world;
};

TEST_F(GLShipEffects, AMovingShipShowsLitEnginesAndLeavesAConTrail)
{
    ASSERT_NO_FATAL_FAILURE(StartSampleBattle());
    GUI_BattleGUI& gui = GUI_BattleGUI::GetInstance();
    // A large ship under way whose trail has points behind it.
    SIM_Ship* mover = nullptr;
    for (int frame = 0; frame < 600 && !mover; ++frame) {
        Frame();
        for (GUI_Ship* visual : GUI_Ship::GetAll()) {
            SIM_Ship* ship = visual->GetShip();
            if (ship->state != SIM_Ship::ACTIVE || ship->IsFighter() || ship->speed < 0.3f * ship->maxSpeed ||
                visual->GetConTrails().empty() || visual->GetEngineGlows().empty())
                continue;
            if (visual->GetConTrails()[0]->GetTrail().CountActive() > 6)
                mover = ship;
        }
    }
    ASSERT_NE(mover, nullptr) << "no large ship got under way";
    Look(mover->x, mover->y);
    gui.TogglePauseState();
    const std::vector<uint8_t> lit = Frame("ship_engines_trails.png");
    gui.contrails = 0;
    const std::vector<uint8_t> noTrails = Frame();
    const float speed = mover->speed;
    mover->speed = 0.0f; // a ship at rest shows no glow
    const std::vector<uint8_t> dark = Frame();
    mover->speed = speed;
    gui.contrails = 1;
    EXPECT_GT(Changed(lit, noTrails, 30), 40u) << "the con trails should show behind the ship";
    EXPECT_GT(Changed(noTrails, dark, 30), 30u) << "the engines should glow";
}

// An enemy of a skirmish is there from the start, bands lit: past their
// fade-in they glow between the Korrath cruiser's sections, over the ship.
TEST_F(GLShipEffects, AnEnemyKorrathCruiserOfASkirmishShowsItsBandsBetweenItsSections)
{
    ASSERT_NO_FATAL_FAILURE(StartSampleBattle(SIM_Scenario::HARD));
    GUI_BattleGUI& gui = GUI_BattleGUI::GetInstance();
    GUI_Ship* cruiser = nullptr;
    for (SIM_Ship* ship : SIM_Battle::GetInstance().GetEnemyFleet()->GetAllShips())
        if (GUI_Ship* visual = GUI_Ship::Of(ship); visual && visual->GetTractorBeams() && !cruiser)
            cruiser = visual;
    ASSERT_NE(cruiser, nullptr) << "the hard Korrath fleet brings a cruiser with bands";
    SIM_Ship* ship = cruiser->GetShip();
    EXPECT_EQ(ship->state, SIM_Ship::ACTIVE) << "an enemy of a skirmish is there from the start";
    GUI_TractorBeamCollection* bands = cruiser->GetTractorBeams();
    ASSERT_TRUE(bands->IsActive()) << "no warp-in will end to switch them on";
    const float lit = gui.battleTime + GUI_TractorBeamCollection::kFadeInMs + 50.0f;
    while (gui.battleTime < lit) {
        GUI_Map::GetInstance().SetCentre(ship->x, ship->y);
        Frame();
    }
    ASSERT_EQ(ship->state, SIM_Ship::ACTIVE);
    gui.TogglePauseState();
    GUI_Map::GetInstance().SetCentre(ship->x, ship->y);
    const std::vector<uint8_t> shown = Frame("ship_bands.png");
    // Switched on again this instant: drawn at no strength at all.
    bands->Activate(gui.battleTime);
    const std::vector<uint8_t> unlit = Frame();
    auto at = [](const std::vector<uint8_t>& rgba, float x, float y) {
        const int px = std::clamp(static_cast<int>(x), 0, kWidth - 1), py = std::clamp(static_cast<int>(y), 0, kHeight - 1);
        return &rgba[(static_cast<size_t>(py) * kWidth + static_cast<size_t>(px)) * 4];
    };
    // Each of its two lines drawn flowing one way and the other.
    ASSERT_EQ(bands->GetBeams().size(), 4u);
    EXPECT_FLOAT_EQ(bands->GetBeams()[0]->GetPeriod(), 500.0f);
    EXPECT_FLOAT_EQ(bands->GetBeams()[1]->GetPeriod(), 600.0f);
    for (const auto& beam : bands->GetBeams()) {
        // The band's centre line on the screen: from the middle of its
        // starting edge to the middle of its far one; its middle half lies
        // well inside the hull.
        const ScreenVertex2* q = beam->quad;
        const float ax = (q[0].x + q[2].x) * 0.5f, ay = (q[0].y + q[2].y) * 0.5f;
        const float bx = (q[1].x + q[3].x) * 0.5f, by = (q[1].y + q[3].y) * 0.5f;
        const float wx = q[2].x - q[0].x, wy = q[2].y - q[0].y;
        constexpr int samples = 21;
        int glowing = 0, hull = 0;
        for (int i = 0; i < samples; ++i) {
            const float t = 0.25f + 0.5f * static_cast<float>(i) / (samples - 1);
            const float x = ax + (bx - ax) * t, y = ay + (by - ay) * t;
            const uint8_t* on = at(shown, x, y);
            const uint8_t* off = at(unlit, x, y);
            const int dr = on[0] - off[0], dg = on[1] - off[1], db = on[2] - off[2];
            glowing += dg >= 30 && db >= 30 && dr < dg ? 1 : 0;
            // Beside the band, a band's width away, the hull's rust on both sides.
            const uint8_t* left = at(unlit, x - wx, y - wy);
            const uint8_t* right = at(unlit, x + wx, y + wy);
            hull += left[0] > left[2] + 20 && right[0] > right[2] + 20 ? 1 : 0;
        }
        EXPECT_GE(glowing * 4, samples * 3) << "the band's colour reaches the screen between the sections";
        EXPECT_GE(hull * 4, samples * 3) << "the band lies over the cruiser, its sections on both sides";
    }
}

TEST_F(GLShipEffects, AKillLeavesSmokeHulksAndDebris)
{
    ASSERT_NO_FATAL_FAILURE(StartSampleBattle());
    GUI_BattleGUI& gui = GUI_BattleGUI::GetInstance();
    gui.battleSpeed = 4.0f;
    // Fight until a large ship has broken up and its hulks are out.
    const GUI_Hulk* wreck = nullptr;
    for (int frame = 0; frame < 12000 && !wreck; ++frame) {
        Frame();
        for (const auto& hulk : GetHulks())
            if (hulk->visible && hulk->kind != 2 && !GetSmokeSprites().empty())
                wreck = hulk.get();
    }
    ASSERT_NE(wreck, nullptr) << "no large ship was destroyed";
    gui.battleSpeed = 1.0f;
    // Two seconds of battle time: the blast's fire dies down, the smoke gathers.
    for (int frame = 0; frame < 150; ++frame)
        Frame();
    Look(wreck->x, wreck->y);
    gui.TogglePauseState();
    const std::vector<uint8_t> all = Frame("ship_kill.png");
    ClearSmokeSprites();
    const std::vector<uint8_t> noSmoke = Frame();
    ClearHulks();
    const std::vector<uint8_t> noHulks = Frame();
    GetDebrisPools().first.Reset();
    GetDebrisPools().second.Reset();
    const std::vector<uint8_t> noDebris = Frame();
    EXPECT_GT(Changed(all, noSmoke, 12), 200u) << "smoke should hang where the ship died";
    EXPECT_GT(Changed(noSmoke, noHulks, 30), 100u) << "hulks should lie where the ship died";
    EXPECT_GT(Changed(noHulks, noDebris, 30), 10u) << "debris should lie around";
}

TEST_F(GLShipEffects, ACloakedShipIsDrawnTranslucentFromItsImage)
{
    SIM_Ship* raider = nullptr;
    ASSERT_NO_FATAL_FAILURE(StartRaiderBattle(raider));
    GUI_BattleGUI& gui = GUI_BattleGUI::GetInstance();
    ASSERT_FALSE(raider->GetCloaks().empty());
    ASSERT_NE(GUI_Ship::Of(raider)->GetCamouflage(), nullptr);
    SIM_CamoflageShieldModule* cloak = raider->GetCloaks().front();
    gui.TogglePauseState();
    Look(raider->x, raider->y);
    cloak->cloakState = SIM_CamoflageShieldModule::VISIBLE;
    const std::vector<uint8_t> plain = Frame("ship_uncloaked.png");
    // Cloaked, the simulation holds it at a tenth of its visibility.
    cloak->cloakState = SIM_CamoflageShieldModule::CLOAKED;
    const std::vector<uint8_t> cloaked = Frame("ship_cloaked.png");
    raider->docked = 1; // drawn not at all
    const std::vector<uint8_t> gone = Frame();
    raider->docked = 0;
    cloak->cloakState = SIM_CamoflageShieldModule::VISIBLE;

    // The ship's image went through "rt_ship".
    D3DEngine& engine = D3DEngine::GetInstance();
    std::vector<uint8_t> image;
    ASSERT_TRUE(engine.GetDevice()->ReadPixels(engine.FindRenderTarget("rt_ship"), 0, 0, 64, 64, image));
    size_t opaque = 0;
    for (size_t i = 3; i < image.size(); i += 4)
        opaque += image[i] > 128 ? 1 : 0;
    EXPECT_GT(opaque, 100u) << "the hull drawn into the ship image";
    // A tenth visible differs both from the plain hull and from nothing at all.
    EXPECT_GT(Changed(plain, cloaked, 20), 100u);
    EXPECT_GT(Changed(cloaked, gone, 6), 100u);
}

TEST_F(GLShipEffects, AShipFadingIntoItsCloakFadesWithItsTurrets)
{
    SIM_Ship* raider = nullptr;
    ASSERT_NO_FATAL_FAILURE(StartRaiderBattle(raider));
    GUI_BattleGUI& gui = GUI_BattleGUI::GetInstance();
    const auto& turrets = GUI_Ship::Of(raider)->GetTurretDraws();
    ASSERT_FALSE(turrets.empty());
    SIM_CamoflageShieldModule* cloak = raider->GetCloaks().front();
    gui.TogglePauseState();
    Look(raider->x, raider->y);
    // Paused on the way out: the ship still shows at eight tenths.
    cloak->cloakState = SIM_CamoflageShieldModule::FADING_OUT;
    cloak->visibility = 0.8f;
    ASSERT_TRUE(GUI_Ship::Of(raider)->IsCamouflaged());
    gui.turretsOn = 1;
    Frame();
    const std::vector<uint8_t> with = Frame("cloaking_with_turrets.png");
    gui.turretsOn = 0;
    const std::vector<uint8_t> without = Frame("cloaking_without_turrets.png");
    gui.turretsOn = 1;
    cloak->cloakState = SIM_CamoflageShieldModule::VISIBLE;
    for (const ShipTurrets::Turret& turret : turrets) {
        for (size_t i = 0; i < turret.weapon->GetTurretCount(); ++i) {
            const SIM_ShipModule::Point p = turret.weapon->GetTurretWorldPos(i);
            int sx = 0, sy = 0;
            ToScreen(p.x, p.y, sx, sy);
            const int half = static_cast<int>(turret.weapon->turretSize * ZoomScale * 0.25f);
            EXPECT_GT(ChangedNear(with, without, sx, sy, half, 24), static_cast<size_t>(half * half))
                << turret.weapon->GetType()->GetName() << " turret " << i;
        }
    }
}

} // namespace

namespace {

TEST_F(GLShipEffects, ACloakImageIsDrawnAgainOnlyWhenItChanges)
{
    SIM_Ship* raider = nullptr;
    ASSERT_NO_FATAL_FAILURE(StartRaiderBattle(raider));
    GUI_BattleGUI& gui = GUI_BattleGUI::GetInstance();
    SIM_CamoflageShieldModule* cloak = raider->GetCloaks().front();
    gui.TogglePauseState();
    Look(raider->x, raider->y);
    cloak->cloakState = SIM_CamoflageShieldModule::CLOAKED;
    cloak->visibility = 0.6f;
    D3DEngine& engine = D3DEngine::GetInstance();
    const TextureHandle target = engine.CreateRenderTarget(CloakImages::kSide, CloakImages::kSide, "rt_cloak");
    ASSERT_NE(target, 0u);
    TextureAtlas& atlas = TextureAtlas::Shared();
    atlas.SetTargetRegion(CloakImages::kSide);
    atlas.Rebuild();
    IGraphicsDevice& device = *engine.GetDevice();
    auto paintTarget = [&] {
        const TextureHandle previous = engine.GetRenderTargetHandle();
        ASSERT_TRUE(engine.SetRenderTargetHandle(target));
        device.Clear(0xFFFF0000u);
        engine.SetRenderTargetHandle(previous);
    };
    auto targetPixel = [&](int x, int y) {
        std::vector<uint8_t> rgba;
        EXPECT_TRUE(device.ReadPixels(target, x, y, 1, 1, rgba));
        return rgba.size() == 4 ? (uint32_t{rgba[3]} << 24 | uint32_t{rgba[0]} << 16 | uint32_t{rgba[1]} << 8 | rgba[2])
                                : 0u;
    };
    const std::vector<uint8_t> first = Frame();
    ASSERT_EQ(CloakImages::GetInstance().GetTiles().size(), 0u) << "forgotten after the layer";

    // Nothing changed: the target is not drawn into again (the paint stays)
    // and the frame reads the atlas's copy as before.
    paintTarget();
    const std::vector<uint8_t> same = Frame();
    EXPECT_LE(Changed(first, same, 3), 10u);
    EXPECT_EQ(targetPixel(CloakImages::kBorder + 2, CloakImages::kBorder + 2), 0xFFFF0000u);

    // A new damage patch: its tile alone is drawn again, cleared first,
    // and the frame is what a drawing from nothing gives.
    GUI_Ship* visual = GUI_Ship::Of(raider);
    SIM_ShipHull::Target spot;
    spot.hasRect = 1;
    spot.rectWidth = spot.rectHeight = 20.0f;
    visual->AddDamageSpriteOnce(spot, 0.0f, 0.0f);
    const std::vector<uint8_t> patched = Frame("cloak_tile_redrawn.png");
    EXPECT_NE(targetPixel(CloakImages::kBorder + 2, CloakImages::kBorder + 2), 0xFFFF0000u) << "its tile was drawn";
    EXPECT_EQ(targetPixel(CloakImages::kSide - 2, CloakImages::kSide - 2), 0xFFFF0000u) << "nothing else was";
    EXPECT_EQ(targetPixel(0, 0), 0u) << "the tile's border cleared";
    CloakImages::GetInstance().Reset();
    const std::vector<uint8_t> fromNothing = Frame();
    EXPECT_LE(Changed(patched, fromNothing, 3), 10u);
    EXPECT_EQ(targetPixel(CloakImages::kSide - 2, CloakImages::kSide - 2), 0u) << "a full drawing clears it all";
    cloak->cloakState = SIM_CamoflageShieldModule::VISIBLE;
    visual->DeleteDamageSprites();
}

TEST_F(GLShipEffects, AtlasPicturesAndSharedCloakImagesLookAsTheirOwnTexturesDid)
{
    SIM_Ship* raider = nullptr;
    ASSERT_NO_FATAL_FAILURE(StartRaiderBattle(raider));
    GUI_BattleGUI& gui = GUI_BattleGUI::GetInstance();
    SIM_CamoflageShieldModule* cloak = raider->GetCloaks().front();
    cloak->cloakState = SIM_CamoflageShieldModule::VISIBLE;
    gui.TogglePauseState();
    Look(raider->x, raider->y);
    TextureAtlas& atlas = TextureAtlas::Shared();
    ASSERT_TRUE(atlas.Contains(GUI_Ship::Of(raider)->GetHullSprite().GetResolvedTexture()));

    // Enlarged (zoom 2) and reduced (zoom 1, a 256-pixel picture on 140
    // pixels): the hull from the atlas and from its own texture.
    GUI_Map& map = GUI_Map::GetInstance();
    for (float zoom : {2.0f, 1.0f}) {
        map.zoomTarget = zoom;
        for (int frame = 0; frame < 400 && ZoomScale != zoom; ++frame)
            Frame();
        ASSERT_FLOAT_EQ(ZoomScale, zoom);
        atlas.Rebuild();
        const std::vector<uint8_t> fromAtlas = Frame(zoom > 1.0f ? "hull_from_atlas.png" : nullptr);
        atlas.Release();
        const std::vector<uint8_t> own = Frame(zoom > 1.0f ? "hull_from_own_texture.png" : nullptr);
        raider->docked = 1;
        const std::vector<uint8_t> none = Frame();
        raider->docked = 0;
        EXPECT_GT(Changed(own, none, 30), zoom > 1.0f ? 3000u : 700u) << "the hull is in view";
        EXPECT_LE(Changed(fromAtlas, own, 6), 20u) << "zoom " << zoom;
        // The hull's middle, pixel for pixel.
        const size_t centre = (static_cast<size_t>(kHeight / 2) * kWidth + kWidth / 2) * 4;
        for (size_t i = centre; i < centre + 4; ++i)
            EXPECT_NEAR(fromAtlas[i], own[i], 2);
    }

    // Cloaked: the image drawn into "rt_ship" mid-layer, then into a tile
    // of "rt_cloak" before the layer.
    cloak->cloakState = SIM_CamoflageShieldModule::CLOAKED;
    atlas.Rebuild();
    const std::vector<uint8_t> ownImage = Frame("cloak_from_rt_ship.png");
    D3DEngine& engine = D3DEngine::GetInstance();
    ASSERT_NE(engine.CreateRenderTarget(CloakImages::kSide, CloakImages::kSide, "rt_cloak"), 0u);
    IGraphicsDevice& device = *engine.GetDevice();
    atlas.SetTargetRegion(0);
    atlas.Rebuild();
    device.ResetStats();
    const std::vector<uint8_t> sharedImage = Frame("cloak_from_rt_cloak.png");
    const int bindsFromTarget = device.GetStats().textureBinds;
    // The tiles copied onto the atlas page: the mesh reads the same texels
    // there and joins the page's runs.
    atlas.SetTargetRegion(CloakImages::kSide);
    atlas.Rebuild();
    device.ResetStats();
    const std::vector<uint8_t> fromPage = Frame("cloak_from_atlas.png");
    EXPECT_LT(device.GetStats().textureBinds, bindsFromTarget);
    int worst = 0;
    for (size_t i = 0; i < fromPage.size() && i < sharedImage.size(); ++i)
        worst = std::max(worst, std::abs(static_cast<int>(fromPage[i]) - static_cast<int>(sharedImage[i])));
    EXPECT_LE(worst, 1) << "the page's copy of the tile reads as the tile did";
    raider->docked = 1;
    const std::vector<uint8_t> gone = Frame();
    raider->docked = 0;
    EXPECT_GT(Changed(ownImage, gone, 6), 100u) << "the cloaked ship shows faintly";
    EXPECT_LE(Changed(sharedImage, ownImage, 3), 10u);
    std::vector<uint8_t> tile;
    ASSERT_TRUE(engine.GetDevice()->ReadPixels(engine.FindRenderTarget("rt_cloak"), 0, 0, 64, 64, tile));
    size_t opaque = 0;
    for (size_t i = 3; i < tile.size(); i += 4)
        opaque += tile[i] > 128 ? 1 : 0;
    EXPECT_GT(opaque, 100u) << "the hull drawn into its tile";
    EXPECT_EQ(tile[3], 0u) << "the tile's cleared border";
}

TEST_F(GLShipEffects, SupportBeamsShowAndPointDefenceTurretsTurnTowardTheMissileTheyShoot)
{
    SIM_Ship *cruiser = nullptr, *escort = nullptr, *siege = nullptr, *shielded = nullptr, *enemy = nullptr;
    ASSERT_NO_FATAL_FAILURE(StartSupportBattle(cruiser, escort, siege, shielded, enemy));
    GUI_BattleGUI& gui = GUI_BattleGUI::GetInstance();
    auto* painter = FindModule<SIM_TargetPainterModule>(cruiser);
    auto* pd = FindModule<SIM_PointDefenceModule>(cruiser);
    auto* support = FindModule<SIM_ShieldSupportBeam>(escort);
    auto* ecm = FindModule<SIM_ECMBeamModule>(siege);
    ASSERT_TRUE(painter && pd && support && ecm);
    // Held where they are: the pictures compared differ only by what a test changes.
    auto holdStill = [](SIM_Ship* ship) {
        ship->speed = 0.0f;
        ship->maxSpeed = 0.0f;
        ship->turnRate = 0.0f;
    };
    for (SIM_Ship* ship : {cruiser, escort, siege, shielded, enemy})
        holdStill(ship);
    gui.TogglePauseState();
    int sx = 0, sy = 0;

    // The painter marks a ship beside ours: a line of light between them.
    enemy->x = cruiser->x + 120.0f;
    enemy->y = cruiser->y - 90.0f;
    Look(cruiser->x + 60.0f, cruiser->y - 45.0f);
    const std::vector<uint8_t> plain = Frame();
    painter->SetTarget(enemy);
    painter->Fire();
    ASSERT_TRUE(painter->IsPainting() && painter->IsBlinkOn());
    const std::vector<uint8_t> painted = Frame("beam_painter.png");
    const SIM_ShipModule::Point from = painter->GetTurretCount() ? painter->GetTurretWorldPos(0) : painter->GetWorldPos();
    ToScreen((from.x + enemy->x) * 0.5f, (from.y + enemy->y) * 0.5f, sx, sy);
    EXPECT_GT(ChangedNear(painted, plain, sx, sy, 12, 30), 20u) << "the painter's beam halfway to its mark";
    painter->blinkOn = false;
    const std::vector<uint8_t> dim = Frame();
    EXPECT_GT(ChangedNear(painted, dim, sx, sy, 12, 30), 10u) << "dimmer while its blink is off";
    painter->StopPainting();
    enemy->x = 3400.0f;
    enemy->y = 2600.0f;

    // Shield support feeds the battlecruiser's weakened shield.
    SIM_Shield* shield = shielded->GetShield();
    ASSERT_NE(shield, nullptr);
    for (SIM_ShieldModule* m : shield->GetModules())
        m->points = m->maxPoints * 0.5f;
    shield->Recalculate();
    escort->x = shielded->x;
    escort->y = shielded->y + 300.0f;
    Look(shielded->x, shielded->y + 150.0f);
    const std::vector<uint8_t> unfed = Frame("beam_shield_unfed.png");
    support->SetTarget(shielded);
    support->Fire();
    ASSERT_TRUE(support->IsDischarging());
    const std::vector<uint8_t> fed = Frame("beam_shield_support.png");
    {
        // 70 units out from its turret toward the fed ship's centre: clear of
        // both hulls and outside the shield's glow, only the beam is there.
        const SIM_ShipModule::Point p = support->GetTurretCount() ? support->GetTurretWorldPos(0) : support->GetWorldPos();
        const float dx = shielded->x - p.x, dy = shielded->y - p.y, d = std::hypot(dx, dy);
        ASSERT_GT(d, 200.0f);
        ToScreen(p.x + dx / d * 70.0f, p.y + dy / d * 70.0f, sx, sy);
        EXPECT_GT(ChangedNear(fed, unfed, sx, sy, 3, 30), 4u) << "the support beam between the ships";
    }
    support->StopDischarge();
    for (SIM_ShieldModule* m : shield->GetModules())
        m->points = m->maxPoints;
    shield->Recalculate();
    escort->y = shielded->y + 600.0f;

    // The carrier's tractor holds a ship beside it.
    auto* tractor = FindModule<SIM_TractorModule>(escort);
    ASSERT_NE(tractor, nullptr);
    enemy->x = escort->x + 220.0f;
    enemy->y = escort->y;
    Look(escort->x + 110.0f, escort->y);
    const std::vector<uint8_t> loose = Frame();
    tractor->SetTarget(enemy);
    tractor->tractorState = SIM_TractorModule::HOLDING;
    tractor->beamEnd = {enemy->x, enemy->y};
    const std::vector<uint8_t> held = Frame("beam_tractor.png");
    ToScreen(escort->x + 110.0f, escort->y, sx, sy);
    EXPECT_GT(ChangedNear(held, loose, sx, sy, 16, 30), 20u) << "the tractor beam on the held ship";
    tractor->tractorState = SIM_TractorModule::IDLE;
    tractor->SetTarget(nullptr);
    enemy->x = 3400.0f;
    enemy->y = 2600.0f;

    // The ECM beam on a missile ahead of the siege cruiser; point defence on
    // one behind our cruiser. (Neither missile flies: their shots last.)
    SIM_Missile ahead, behind;
    ahead.x = siege->x;
    ahead.y = siege->y - 180.0f;
    Look(siege->x, siege->y - 90.0f);
    const std::vector<uint8_t> quiet = Frame();
    ecm->beamDuration = 1e9f;
    ecm->state = SIM_ECMBeamModule::BEAMING;
    ecm->missile = &ahead;
    ecm->pulseTime = ecm->pulsePeriod * 0.5f; // the pulse at its height
    const std::vector<uint8_t> jammed = Frame("beam_ecm.png");
    ToScreen(siege->x, siege->y - 90.0f, sx, sy);
    EXPECT_GT(ChangedNear(jammed, quiet, sx, sy, 16, 30), 20u) << "the ECM beam reaches the missile";
    ecm->state = SIM_ECMBeamModule::IDLE;
    ecm->missile = nullptr;

    // The ECM shock's beam on a ship beside the siege cruiser.
    auto* shock = FindModule<SIM_ECMShockModule>(siege);
    ASSERT_NE(shock, nullptr);
    enemy->x = siege->x + 200.0f;
    enemy->y = siege->y - 60.0f;
    Look(siege->x + 100.0f, siege->y - 30.0f);
    const std::vector<uint8_t> unshocked = Frame();
    shock->SetTarget(enemy);
    shock->aimPoint = {enemy->x, enemy->y};
    shock->showing = true;
    const std::vector<uint8_t> shocked = Frame("beam_ecm_shock.png");
    const SIM_ShipModule::Point shockFrom = shock->GetWorldPos();
    ToScreen((shockFrom.x + enemy->x) * 0.5f, (shockFrom.y + enemy->y) * 0.5f, sx, sy);
    EXPECT_GT(ChangedNear(shocked, unshocked, sx, sy, 16, 30), 20u) << "the shock's beam on its target";
    shock->showing = false;
    shock->SetTarget(nullptr);
    enemy->x = 3400.0f;
    enemy->y = 2600.0f;

    // Point defence turrets along the ship, then turned onto a missile
    // behind it by the frames it shoots, the beam then put out so that only
    // the turrets differ.
    Look(cruiser->x, cruiser->y);
    for (int i = 0; i < 3; ++i)
        Frame();
    const std::vector<uint8_t> along = Frame("turrets_along.png");
    const GUI_Ship::TurretDraw* drawn = nullptr;
    for (const GUI_Ship::TurretDraw& turret : GUI_Ship::Of(cruiser)->GetTurretDraws())
        if (turret.weapon == pd)
            drawn = &turret;
    ASSERT_NE(drawn, nullptr);
    ASSERT_GT(pd->GetTurretCount(), 0u);
    behind.x = cruiser->x - 300.0f * cruiser->sine;
    behind.y = cruiser->y + 300.0f * cruiser->cosine;
    pd->beamDuration = 1e9f;
    pd->state = SIM_PointDefenceModule::FIRING;
    pd->missile = &behind;
    gui.TogglePauseState();
    for (int i = 0; i < 120; ++i) {
        for (SIM_Ship* ship : {cruiser, escort, siege, shielded, enemy})
            holdStill(ship);
        Frame(i == 119 ? "turrets_turning.png" : nullptr);
    }
    gui.TogglePauseState();
    EXPECT_EQ(pd->GetTarget(), cruiser);
    const SIM_ShipModule::Point turretAt = pd->GetTurretWorldPos(0);
    const float toMissile = AngleBetweenPoints(turretAt.x, turretAt.y, behind.x, behind.y);
    EXPECT_LT(AngleDifference(drawn->DrawnAngle(0, cruiser->angle), toMissile), 5.0f) << "turned onto the missile";
    pd->state = SIM_PointDefenceModule::RELOADING;
    pd->missile = nullptr;
    Look(cruiser->x, cruiser->y);
    const std::vector<uint8_t> turned = Frame("turrets_turned.png");
    ToScreen(turretAt.x, turretAt.y, sx, sy);
    const int half = static_cast<int>(pd->turretSize * ZoomScale * 0.5f);
    EXPECT_GT(ChangedNear(turned, along, sx, sy, half, 30), 12u) << "the turret picture turned round";
}

TEST_F(GLShipEffects, LimpetsFlyWithAGlowBehindThemAndRideTheFightersTheyStickTo)
{
    SIM_Scenario* scenario = SIM_Scenario::FindByName("scenario1");
    ASSERT_NE(scenario, nullptr);
    SIM_DeployedFleet player, enemy;
    ASSERT_TRUE(ShippedBattleWorld::Add(player, "fed_ai_siegecruiser", 600.0f, 600.0f));
    ASSERT_TRUE(ShippedBattleWorld::Add(enemy, "kor_ai_interceptor", 1000.0f, 600.0f, 12));
    ASSERT_TRUE(SIM_Battle::GetInstance().Start(scenario, &player, &enemy, false));
    GUI_BattleGUI& gui = GUI_BattleGUI::GetInstance();
    gui.Enter();
    gui.hudShown = 0;
    auto* launcher = FindModule<SIM_LimpetLauncherModule>(SIM_Battle::GetInstance().GetPlayerFleet()->GetAllShips()[0]);
    ASSERT_NE(launcher, nullptr);
    // Fight until one limpet hunts (drifting or chasing) while another rides a fighter.
    SIM_Limpet* flying = nullptr;
    SIM_Limpet* stuck = nullptr;
    for (int frame = 0; frame < 3000 && !(flying && stuck); ++frame) {
        Frame();
        flying = stuck = nullptr;
        for (int i = 0; i < SIM_LimpetLauncherModule::kLimpets; ++i) {
            SIM_Limpet& limpet = launcher->GetLimpet(i);
            if (limpet.state == SIM_Limpet::DRIFTING || limpet.state == SIM_Limpet::CHASING)
                flying = &limpet;
            else if (limpet.state == SIM_Limpet::STUCK)
                stuck = &limpet;
        }
    }
    ASSERT_NE(flying, nullptr) << "no limpet hunted";
    ASSERT_NE(stuck, nullptr) << "no limpet stuck to a fighter";
    gui.TogglePauseState();

    // At zoom 2 the limpet is 12 pixels, its glow 21, centred 8.4 behind it.
    Look(flying->x, flying->y);
    int sx = 0, sy = 0;
    ToScreen(flying->x, flying->y, sx, sy);
    const float heading = flying->angle * 0.017453292f;
    const int gx = sx - static_cast<int>(std::lround(std::sin(heading) * 14.0f));
    const int gy = sy + static_cast<int>(std::lround(std::cos(heading) * 14.0f));
    const int state = flying->state;
    const float launchTimer = flying->launchTimer;
    const std::vector<uint8_t> hunting = Frame("limpet_hunting.png");
    // Launching, it shows its body only; free again, nothing.
    flying->launchTimer = 0.0f;
    flying->SetState(SIM_Limpet::LAUNCHING);
    const std::vector<uint8_t> launching = Frame();
    flying->SetState(SIM_Limpet::FREE);
    const std::vector<uint8_t> gone = Frame();
    flying->SetState(state);
    flying->launchTimer = launchTimer;
    EXPECT_GT(ChangedNear(launching, gone, sx, sy, 3, 30), 8u) << "the body where the limpet is";
    EXPECT_EQ(ChangedNear(launching, gone, gx, gy, 1, 30), 0u) << "nothing behind a launching limpet";
    EXPECT_GT(ChangedNear(hunting, launching, gx, gy, 1, 30), 4u) << "the glow behind a hunting one";

    Look(stuck->x, stuck->y);
    ToScreen(stuck->x, stuck->y, sx, sy);
    const std::vector<uint8_t> riding = Frame("limpet_stuck.png");
    stuck->SetState(SIM_Limpet::FREE);
    const std::vector<uint8_t> shed = Frame();
    stuck->SetState(SIM_Limpet::STUCK);
    EXPECT_GT(ChangedNear(riding, shed, sx, sy, 4, 20), 8u) << "the limpet on its fighter";
}

} // namespace
