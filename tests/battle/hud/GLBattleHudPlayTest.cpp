// The battle's instruments through the real window, as a player uses them:
// a click on one of the player's ships opens the ship inspector, a click on
// a weapon's icon draws its range marker on the map (probed in screenshots),
// and admitting defeat answered with No leaves the pause as it was.
#include "app/Game.h"
#include "battle/BattleLauncher.h"
#include "battle/GUI_BattleGUI.h"
#include "battle/GUI_DebrisPool.h"
#include "battle/GUI_Map.h"
#include "battle/GUI_Ship.h"
#include "battle/hud/BattleHud.h"
#include "battle/hud/GUI_BattleModuleStats.h"
#include "battle/hud/GUI_InspectorModuleIcon.h"
#include "battle/hud/GUI_LeaveBattle.h"
#include "battle/hud/GUI_RangeMarker.h"
#include "battle/hud/GUI_ShipInspector.h"
#include "battle/hud/GUI_StatsBrowser.h"
#include "battle/hud/GUI_SurvivalPostMortem.h"
#include "engine/GFileHelpers.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_ConfirmDialog.h"
#include "gui/GUI_Message.h"
#include "gui/GUI_Tooltip.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "sim/SIM_SurvivalMode.h"
#include "sim/SIM_Battle.h"
#include "sim/SIM_CommsManager.h"
#include "sim/SIM_Ship.h"
#include "sim/modules/SIM_Bullet.h"
#include "sim/modules/SIM_BulletWeaponModule.h"
#include "sim/modules/SIM_TargetedModule.h"
#include "support/NoLessons.h"
#include "support/WindowInput.h"
#include "support/WindowedGame.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

class GLBattleHudPlay : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_game =
            std::make_unique<WindowedGame>(WindowedGameSetup{.seed = 5, .soundChannels = 32, .battleFrameMs = 16.0f});
        ASSERT_TRUE(m_game->Started());
    }
    void TearDown() override { m_game.reset(); }
    // A ship of the player's on the field, no fighter, with a turret weapon.
    static GUI_Ship* ArmedPlayerShip()
    {
        for (GUI_Ship* visual : GUI_Ship::GetAll()) {
            const SIM_Ship* ship = visual->GetShip();
            if (ship && ship->isPlayerShip && ship->state == SIM_Ship::ACTIVE && !ship->IsFighter() &&
                !ship->GetTurretWeapons().empty())
                return visual;
        }
        return nullptr;
    }
    template <typename T>
    static void Click(const T* e)
    {
        ClickAt((e->left + e->right) / 2, (e->top + e->bottom) / 2);
    }
    // Admit defeat, then No: the battle's pause must be what it was.
    void AdmitDefeatAndSayNo(bool pausedBefore)
    {
        GUI_BattleGUI& gui = GUI_BattleGUI::GetInstance();
        ASSERT_EQ(gui.paused, pausedBefore);
        const GUI_LeaveBattle* leave = GUI_LeaveBattle::GetOpen();
        ASSERT_NE(leave, nullptr);
        Click(leave->GetButton());
        GUI_ConfirmDialog* question = GUI_ConfirmDialog::GetOpen();
        ASSERT_NE(question, nullptr);
        EXPECT_TRUE(gui.paused) << "held while asking";
        Click(question->GetNoButton());
        RunGameFrames(2);
        EXPECT_EQ(GUI_ConfirmDialog::GetOpen(), nullptr);
        EXPECT_EQ(gui.paused, pausedBefore);
        EXPECT_EQ(gui.shipPicking, GUI_BattleGUI::STATE_RUNNING);
    }

    // scenario1's battle launched, paused, with an armed ship of ours
    // warped in and centred.
    GUI_Ship* LaunchAndCentreAnArmedShip()
    {
        BattleLaunchRequest request;
        request.scenario = "scenario1";
        request.seed = 5;
        if (!BattleLauncher::Launch(request, BattleLauncher::kDefaultFleet))
            return nullptr;
        GUI_Ship* visual = nullptr;
        for (int i = 0; i < 60 && !visual; ++i) {
            RunGameFrames(5);
            visual = ArmedPlayerShip();
        }
        if (!visual)
            return nullptr;
        PressKey(SDL_SCANCODE_P);
        BattleHud::CentreCameraOn(*visual->GetShip());
        RunGameFrames(60);
        return visual;
    }

    std::unique_ptr<WindowedGame> m_game;
};

TEST_F(GLBattleHudPlay, AShipThatDiesUnderTheInspectorTakesItAndItsWeaponFiguresAlong)
{
    GUI_Ship* visual = LaunchAndCentreAnArmedShip();
    ASSERT_NE(visual, nullptr);
    SIM_Ship* ship = visual->GetShip();
    ClickAt(static_cast<int>(visual->screenX), static_cast<int>(visual->screenY));
    ASSERT_EQ(GUI_ShipInspector::GetInspectedShip(), ship);
    const GUI_InspectorModuleIcon* weaponIcon = nullptr;
    for (const GUI_InspectorModuleIcon* icon : GUI_ShipInspector::GetOpen()->GetIcons())
        if (!weaponIcon && icon->GetKind() == GUI_InspectorModuleIcon::WEAPON)
            weaponIcon = icon;
    ASSERT_NE(weaponIcon, nullptr);
    Click(weaponIcon);
    ASSERT_NE(GUI_BattleModuleStats::GetOpen(), nullptr);
    ASSERT_NE(GetRangeMarker().GetModule(), nullptr);

    // It blows up while the battle runs on; wait for its end, not for frames.
    PressKey(SDL_SCANCODE_P);
    ship->StartDying();
    for (int i = 0; i < 600 && ship->state != SIM_Ship::DESTROYED; ++i)
        RunGameFrames(1);
    ASSERT_EQ(ship->state, static_cast<unsigned>(SIM_Ship::DESTROYED));
    RunGameFrames(2);
    EXPECT_EQ(GUI_ShipInspector::GetOpen(), nullptr);
    EXPECT_EQ(GUI_BattleModuleStats::GetOpen(), nullptr);
    EXPECT_EQ(GetRangeMarker().GetModule(), nullptr);
    EXPECT_EQ(SIM_CommsManager::GetInstance().GetInspectedShip(), nullptr);
}

TEST_F(GLBattleHudPlay, ABulletMeetsRestingDebrisInTheFramesSpareTime)
{
    ASSERT_NE(LaunchAndCentreAnArmedShip(), nullptr);
    // Close up: bullets meet scenery only while the zoom is above 1.
    GUI_Map& map = GUI_Map::GetInstance();
    map.zoomTarget = std::min(2.0f, map.maxZoom);
    for (int i = 0; i < 400 && ZoomScale != map.zoomTarget; ++i)
        RunGameFrames(1);
    ASSERT_GT(ZoomScale, 1.0f);
    ASSERT_FALSE(SIM_BulletWeaponModule::GetAll().empty());
    SIM_BulletWeaponModule* gun = SIM_BulletWeaponModule::GetAll().front();

    // A piece of debris at rest a quarter of the screen from the centre, and
    // a bullet standing on it (the battle is paused: neither moves).
    const float wx = map.cameraX + 256.0f / ZoomScale, wy = map.cameraY + 192.0f / ZoomScale;
    GUI_DebrisPool& pool = GetDebrisPools().second;
    GUI_Debris& piece = pool.Piece(pool.FindFreeSlot());
    piece.Birth(0.0f, 0.0f, 2.0f, 0, true, wx, wy);
    piece.resting = 1;
    SIM_Bullet& bullet = gun->bullets[0];
    bullet.live = true;
    bullet.x = wx;
    bullet.y = wy;
    bullet.speed = 0.0f;
    bullet.target = nullptr;
    bullet.guided = false;
    bullet.expiryDistance = bullet.fadeDistance = 1e6f;
    bullet.travelled = 0.0f;
    bullet.alpha = 1.0f;
    bullet.weapon = gun;
    gun->highWater = std::max(gun->highWater, 1);
    // The frame's spare time is the test's, as its frame time is: a loaded
    // frame has none, and the piece stays; the next, with its whole period
    // to spare, meets them.
    FramePacer& pacer = Game::GetInstance().GetFramePacer();
    pacer.SetInjectedSpareShare(0.0f);
    RunGameFrames(3);
    EXPECT_NE(piece.alive, 0) << "no spare time, no meeting";
    pacer.SetInjectedSpareShare(1.0f);
    RunGameFrames(1);
    EXPECT_EQ(piece.alive, 0) << "blown away by the bullet in the frame's spare time";
    bullet.live = false;
}

TEST_F(GLBattleHudPlay, ShipClickInspectsWeaponClickDrawsItsRangeAndNoKeepsThePause)
{
    Game& game = Game::GetInstance();
    BattleLaunchRequest request;
    request.scenario = "scenario1";
    request.seed = 5;
    ASSERT_TRUE(BattleLauncher::Launch(request, BattleLauncher::kDefaultFleet));
    ASSERT_EQ(game.GetModeId(), 0);
    GUI_BattleGUI& gui = GUI_BattleGUI::GetInstance();
    GUI_Ship* visual = nullptr;
    for (int i = 0; i < 60 && !visual; ++i) {
        RunGameFrames(5);
        visual = ArmedPlayerShip();
    }
    ASSERT_NE(visual, nullptr) << "a ship of ours warped in";
    ASSERT_NE(GUI_LeaveBattle::GetOpen(), nullptr);

    // Paused with the ship in the middle of the screen, the camera settled.
    PressKey(SDL_SCANCODE_P);
    ASSERT_TRUE(gui.paused);
    BattleHud::CentreCameraOn(*visual->GetShip());
    RunGameFrames(60);
    const int sx = static_cast<int>(visual->screenX), sy = static_cast<int>(visual->screenY);
    ASSERT_GT(sx, 200);
    ASSERT_LT(sx, 820);
    ASSERT_GT(sy, 150);
    ASSERT_LT(sy, 600);
    ClickAt(sx, sy);
    GUI_ShipInspector* inspector = GUI_ShipInspector::GetOpen();
    ASSERT_NE(inspector, nullptr) << "a click on our ship opens the inspector";
    ASSERT_NE(GUI_ShipInspector::GetInspectedShip(), nullptr);
    EXPECT_TRUE(GUI_ShipInspector::GetInspectedShip()->isPlayerShip);

    const GUI_InspectorModuleIcon* weaponIcon = nullptr;
    for (const GUI_InspectorModuleIcon* icon : inspector->GetIcons())
        if (!weaponIcon && icon->GetKind() == GUI_InspectorModuleIcon::WEAPON)
            weaponIcon = icon;
    ASSERT_NE(weaponIcon, nullptr);
    MoveMouse(600, 20);
    const TextureData before = Screenshot(m_game->UserDir());
    ASSERT_FALSE(before.levels.empty());
    // The inspector itself is on the screen: its panel is not black.
    EXPECT_GT(Brightness(before, inspector->left + 250, inspector->top + 6, 3), 20.0);

    Click(weaponIcon);
    auto* weapon = static_cast<SIM_TargetedModule*>(weaponIcon->GetModule());
    ASSERT_EQ(GetRangeMarker().GetModule(), weapon);
    ASSERT_NE(GUI_BattleModuleStats::GetOpen(), nullptr);
    MoveMouse(600, 20);
    const TextureData after = Screenshot(m_game->UserDir());

    // The ring's dots that fall on open map light up where the marker says.
    const GUI_RangeMarker& marker = GetRangeMarker();
    const float radius = weapon->maxRange * ZoomScale;
    const int dots = GUI_RangeMarker::DotCount(radius);
    int probed = 0, lit = 0;
    for (int i = 0; i < dots; ++i) {
        const float a = static_cast<float>(i) * 360.0f / static_cast<float>(dots) * 3.14159265f / 180.0f;
        const int x = static_cast<int>(marker.GetCentreX() + std::cos(a) * radius);
        const int y = static_cast<int>(marker.GetCentreY() - std::sin(a) * radius);
        if (x < 60 || x > 960 || y < 100 || y > 600)
            continue; // clear of every window
        ++probed;
        if (Brightness(after, x, y, 1) > Brightness(before, x, y, 1) + 90.0)
            ++lit;
    }
    ASSERT_GT(probed, 0) << "part of the ring on open map (radius " << radius << ")";
    EXPECT_GE(lit * 4, probed * 3) << lit << " of " << probed << " dots";
    // Off the ring, half way to the centre on the diagonal, nothing changed.
    const int ox = static_cast<int>(marker.GetCentreX() + radius * 0.35f);
    const int oy = static_cast<int>(marker.GetCentreY() - radius * 0.35f);
    EXPECT_NEAR(Brightness(after, ox, oy, 1), Brightness(before, ox, oy, 1), 30.0);

    // The same icon again: the marker goes.
    Click(weaponIcon);
    EXPECT_EQ(GetRangeMarker().GetModule(), nullptr);

    AdmitDefeatAndSayNo(true);
    PressKey(SDL_SCANCODE_P);
    AdmitDefeatAndSayNo(false);
}

} // namespace

// A survival battle given up with the mouse, by a player without an online
// name: its report opens with the score, which becomes the best in sc.dat;
// the disabled Post says why when hovered, and a click on it does nothing.
// Escape then opens the statistics, and Escape again leaves them.
TEST_F(GLBattleHudPlay, AdmittingDefeatInSurvivalReportsTheScoreAndPostWantsAName)
{
    BattleLaunchRequest request;
    request.scenario = "survival1";
    request.seed = 5;
    ASSERT_TRUE(BattleLauncher::Launch(request, BattleLauncher::kDefaultFleet));
    ASSERT_EQ(Game::GetInstance().GetModeId(), 0);
    RunGameFrames(10);
    DropAllLessons(); // the survival lessons are another test's
    SIM_SurvivalMode::GetInstance().AddScore(2622.0f);
    const GUI_LeaveBattle* leave = GUI_LeaveBattle::GetOpen();
    ASSERT_NE(leave, nullptr);
    Click(leave->GetButton());
    ASSERT_NE(GUI_ConfirmDialog::GetOpen(), nullptr);
    Click(GUI_ConfirmDialog::GetOpen()->GetYesButton());
    RunGameFrames(2);
    EXPECT_TRUE(SIM_Battle::GetInstance().IsEnded());
    EXPECT_EQ(GUI_ConfirmDialog::GetOpen(), nullptr);
    EXPECT_EQ(GUI_StatsBrowser::GetOpen(), nullptr);
    GUI_SurvivalPostMortem* report = GUI_SurvivalPostMortem::GetOpen();
    ASSERT_NE(report, nullptr);
    EXPECT_EQ(report->GetScoreText(), "2,622");
    EXPECT_EQ(report->GetBestText(), "2,622");
    EXPECT_NE(m_game->User().Read("sc.dat").find("best_survival_score = 2622"), std::string::npos);

    // The figures are drawn at the right of their lines, in the report.
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    const int figure = text.GetTextWidth("2,622");
    const TextureData shown = Screenshot(m_game->UserDir());
    EXPECT_GT(CountLit(shown, report->right - 20 - figure, report->top + 90, report->right - 20, report->bottom - 44, 200),
              2 * figure)
        << "both lines' figures";
    // Post is drawn disabled beside View statistics.
    const GUI_ButtonText* post = report->GetPostOnlineButton();
    EXPECT_FALSE(post->enabled);
    EXPECT_LT(CountLitIn(shown, *post, 200), CountLitIn(shown, *report->GetViewStatsButton(), 200));

    // Hovered, it says why; clicked, nothing is posted.
    MoveMouse((post->left + post->right) / 2, (post->top + post->bottom) / 2);
    RunGameFrames(GUI_ButtonBase::kTooltipDelay + 5);
    ASSERT_NE(post->GetTooltip(), nullptr);
    EXPECT_EQ(post->GetTooltip()->GetLines().front(), GetString("SURVIVAL_POSTONLINE_NO_NAME_TOOLTIP"));
    EXPECT_GT(post->GetTooltip()->visibility, 0.0f);
    Click(post);
    EXPECT_FALSE(report->IsPosting());
    EXPECT_EQ(GUI_Message::GetOpen(), nullptr);
    EXPECT_EQ(GUI_SurvivalPostMortem::GetOpen(), report);
    // Given up, not fallen: the report says so.
    EXPECT_TRUE(report->IsGivenUp());
    EXPECT_EQ(report->GetBodyText().find("fallen"), std::string::npos) << report->GetBodyText();

    // Escape goes on to the statistics, never to a bare battle view; the
    // next Escape leaves them.
    PressKey(SDL_SCANCODE_ESCAPE);
    RunGameFrames(2);
    EXPECT_EQ(GUI_SurvivalPostMortem::GetOpen(), nullptr);
    ASSERT_NE(GUI_StatsBrowser::GetOpen(), nullptr);
    EXPECT_EQ(Game::GetInstance().GetModeId(), 0);
    PressKey(SDL_SCANCODE_ESCAPE);
    RunGameFrames(2);
    EXPECT_EQ(GUI_StatsBrowser::GetOpen(), nullptr);
    EXPECT_EQ(Game::GetInstance().GetModeId(), 15);
}
