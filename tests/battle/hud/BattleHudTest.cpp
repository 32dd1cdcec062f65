// The windows over a running battle: the strip beside the mini-map, the
// mini-map itself, the score boxes and the floating damage texts.
#include "BattleHudFixture.h"

#include <algorithm>
#include <cmath>

#include "app/APP_UsageMetrics.h"
#include "battle/BattleSpeed.h"
#include "battle/hud/GUI_DamageFeedbackManager.h"
#include "battle/hud/GUI_MiniMap.h"
#include "battle/hud/GUI_Score.h"
#include "battle/hud/GUI_ShipNameOverlay.h"
#include "battle/hud/GUI_SurvivalScore.h"
#include "battle/hud/GUI_TopStrip.h"
#include "battle/hud/GUI_TopStripButton.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "sim/SIM_SurvivalMode.h"

namespace {

TEST_F(BattleHudTest, StripEndsOnTheBottomEdgeAndSpeedButtonsSitOnTheMiniMap)
{
    const int heights[] = {768, 720, 1080};
    for (int h : heights) {
        SCOPED_TRACE(h);
        GUI_MiniMap::Open(2400.0f, 1800.0f, h);
        GUI_MiniMap* map = GUI_MiniMap::GetOpen();
        ASSERT_NE(map, nullptr);
        // 150 wide, 1800 / 2400 x 150 = 112.5 high, window 112 + 40 on the bottom edge.
        EXPECT_EQ(map->bottom, h);
        EXPECT_EQ(map->top, h - 152);
        EXPECT_EQ(map->right, 170);
        EXPECT_FLOAT_EQ(map->GetPlotHeight(), 112.5f);
        GUI_TopStrip::Open(h);
        GUI_TopStrip* strip = GUI_TopStrip::GetOpen();
        ASSERT_NE(strip, nullptr);
        EXPECT_EQ(strip->GetButton(GUI_TopStrip::DAMAGE)->top, static_cast<int>(std::round(h - 135.71428f)));
        EXPECT_EQ(strip->GetButton(GUI_TopStrip::OVERLAY)->bottom, h);
        for (int b = GUI_TopStrip::DAMAGE; b <= GUI_TopStrip::OVERLAY; ++b)
            EXPECT_EQ(strip->GetButton(b)->left, 170);
        EXPECT_EQ(strip->GetButton(GUI_TopStrip::SLOWER)->left, 2);
        EXPECT_EQ(strip->GetButton(GUI_TopStrip::PAUSE)->left, 22);
        EXPECT_EQ(strip->GetButton(GUI_TopStrip::FASTER)->left, 145);
        EXPECT_EQ(strip->GetButton(GUI_TopStrip::FASTER)->top, map->top + 3);
        EXPECT_EQ(strip->GetButton(GUI_TopStrip::FASTER)->width, 20);
        EXPECT_TRUE(strip->GetButton(GUI_TopStrip::PAUSE)->silent);
        EXPECT_FALSE(strip->GetButton(GUI_TopStrip::GRID)->silent);
        BattleHud::CloseLiveWindows();
        EXPECT_EQ(GUI_TopStrip::GetOpen(), nullptr);
    }
    // A map without a size has no mini-map, and then the strip has no place.
    GUI_MiniMap::Open(0.0f, 1800.0f, 768);
    EXPECT_EQ(GUI_MiniMap::GetOpen(), nullptr);
    GUI_TopStrip::Open(768);
    EXPECT_EQ(GUI_TopStrip::GetOpen(), nullptr);
}

TEST_F(BattleHudTest, TheSpeedIsCaptionedAt16AndShrinksOnlyWhereItWouldTouchItsCaption)
{
    LibText& text = LibText::GetInstance();
    BattleHud::OpenLiveWindows(2400.0f, 1800.0f, kScreenW, kScreenH, false);
    GUI_MiniMap* map = GUI_MiniMap::GetOpen();
    ASSERT_NE(map, nullptr);
    // The label runs from 48 in to 30 short of the right edge; both texts
    // keep 5 from their edge and 4 between them.
    const int label = map->GetSpeedLabelWidth();
    ASSERT_EQ(label, GUI_MiniMap::kWindowWidth - 78);
    const int room = label - 14;
    const std::string caption = GetString("MINIMAP_SPEED");
    EXPECT_FLOAT_EQ(map->GetSpeedLabelFontSize(), 16.0f) << "\"1x\" at the start";
    int speeds = 0;
    for (float speed = 0.2f; speed < 4.05f; speed = NextBattleSpeed(speed, true)) {
        map->SetSpeedText(speed);
        const std::string shown = map->GetSpeedText();
        SCOPED_TRACE(shown);
        const float size = map->GetSpeedLabelFontSize();
        ++speeds;
        ASSERT_GE(size, 10.0f);
        if (size > 10.0f) {
            EXPECT_LE(text.MeasureText(caption, size) + text.MeasureText(shown, size), room);
        }
        if (size < 16.0f) {
            EXPECT_GT(text.MeasureText(caption, size + 1.0f) + text.MeasureText(shown, size + 1.0f), room);
        }
        if (speed >= 3.95f)
            break;
    }
    EXPECT_EQ(speeds, 15);
    // Never below 10, however long the caption.
    EXPECT_FLOAT_EQ(GUI_MiniMap::SpeedLabelFontSize(text, std::string(40, 'W'), "1.6x", label), 10.0f);
    BattleHud::CloseLiveWindows();
}

TEST_F(BattleHudTest, StripButtonsFlipTheBattleFlagsAndShowTheirHoverIcon)
{
    BattleHud::OpenLiveWindows(2400.0f, 1800.0f, kScreenW, kScreenH, false);
    GUI_TopStrip* strip = GUI_TopStrip::GetOpen();
    ASSERT_NE(strip, nullptr);
    GUI_BattleGUI& gui = GUI_BattleGUI::GetInstance();
    const unsigned char grid = gui.gridShown, damage = gui.damageTextsShown, overlay = gui.overlayShown;
    GUI_TopStripButton* gridButton = strip->GetButton(GUI_TopStrip::GRID);
    const float cx = static_cast<float>(gridButton->left + gridButton->right) / 2.0f;
    const float cy = static_cast<float>(gridButton->top + gridButton->bottom) / 2.0f;
    EXPECT_TRUE(ClickAt(cx, cy));
    EXPECT_NE(gui.gridShown, grid);
    EXPECT_TRUE(gridButton->ShowsHoverIcon());
    EXPECT_FALSE(strip->GetButton(GUI_TopStrip::OVERLAY)->ShowsHoverIcon());
    EXPECT_EQ(gridButton->GetCell(), 0);
    EXPECT_TRUE(ClickAt(cx, cy));
    EXPECT_EQ(gui.gridShown, grid) << "a second press restores the flag";
    GUI_TopStrip::OnDamageButton(0);
    GUI_TopStrip::OnDamageButton(0);
    GUI_TopStrip::OnOverlayButton(0);
    EXPECT_EQ(gui.damageTextsShown, damage);
    EXPECT_NE(gui.overlayShown, overlay);
    GUI_TopStrip::OnOverlayButton(0);
    GUI_TopStrip::OnCameraModeButton(0);
    GUI_TopStrip::OnCameraModeButton(0);
    EXPECT_EQ(gui.cameraFollowMode, 1) << "camera mode is set, never flipped";
    gui.cameraFollowMode = 0;

    // Faster, as clicked: the speed steps and the mini-map shows it.
    gui.paused = false;
    gui.battleSpeed = 1.0f;
    GUI_TopStripButton* faster = strip->GetButton(GUI_TopStrip::FASTER);
    EXPECT_TRUE(ClickAt(static_cast<float>(faster->left + 5), static_cast<float>(faster->top + 5)));
    EXPECT_NEAR(gui.battleSpeed, 1.2f, 1e-5f);
    EXPECT_EQ(GUI_MiniMap::GetOpen()->GetSpeedText(), "1.2x");
    gui.battleSpeed = 1.0f;
    gui.ApplyBattleSpeed();

    // Pause, as clicked: the same pause as the key, counted as a use.
    const APP_UsageEvent* counted = APP_UsageMetrics::GetInstance().FindEvent("pausetoggle");
    ASSERT_TRUE(counted == nullptr || !counted->flag);
    GUI_TopStripButton* pause = strip->GetButton(GUI_TopStrip::PAUSE);
    EXPECT_TRUE(ClickAt(static_cast<float>(pause->left + 5), static_cast<float>(pause->top + 5)));
    EXPECT_TRUE(gui.paused);
    counted = APP_UsageMetrics::GetInstance().FindEvent("pausetoggle");
    ASSERT_NE(counted, nullptr);
    EXPECT_TRUE(counted->flag);
    EXPECT_TRUE(ClickAt(static_cast<float>(pause->left + 5), static_cast<float>(pause->top + 5)));
    EXPECT_FALSE(gui.paused);
}

TEST_F(BattleHudTest, MiniMapRefreshesAQuarterOfItsIconsPerFrameAndPansTheCamera)
{
    ASSERT_NO_FATAL_FAILURE(StartBattle());
    GUI_Map& camera = GUI_Map::GetInstance();
    BattleHud::OpenLiveWindows(camera.mapWidth, camera.mapHeight, kScreenW, kScreenH, false);
    GUI_MiniMap* map = GUI_MiniMap::GetOpen();
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(map->GetSpeedText(), "1x");
    const auto& icons = map->GetIcons();
    // The player's ships are still to warp in: they have icons all the same.
    size_t ships = 0;
    for (const SIM_Fleet* fleet : {SIM_Battle::GetInstance().GetPlayerFleet(), SIM_Battle::GetInstance().GetEnemyFleet()})
        ships += fleet->GetAllShips().size();
    ASSERT_EQ(icons.size(), ships);
    ASSERT_GE(icons.size(), 5u);
    DrawFrame();
    EXPECT_FALSE(icons[0]->visible) << "not on the field yet";
    for (const GUI_MiniMap::Icon* icon : icons)
        icon->ship->state = SIM_Ship::ACTIVE;
    map->CreateShipIcons();
    for (size_t i = 0; i < icons.size(); ++i)
        EXPECT_EQ(icons[i]->list, static_cast<int>(i % 4));

    DrawFrame(); // the first draw places every icon
    for (const GUI_MiniMap::Icon* icon : icons) {
        EXPECT_TRUE(icon->visible);
        EXPECT_FLOAT_EQ(icon->x, icon->ship->x * map->GetScale() + static_cast<float>(map->GetPlot().left));
    }
    EXPECT_EQ(map->GetNextList(), 0);
    std::vector<float> before;
    for (const GUI_MiniMap::Icon* icon : icons) {
        before.push_back(icon->x);
        icon->ship->x += 100.0f;
    }
    DrawFrame(); // list 0 only
    for (size_t i = 0; i < icons.size(); ++i)
        EXPECT_EQ(icons[i]->x != before[i], icons[i]->list == 0) << i;
    EXPECT_EQ(map->GetNextList(), 1);
    // Off the map: the icon hides when its turn comes.
    icons[1]->ship->x = -10.0f;
    DrawFrame();
    EXPECT_FALSE(icons[1]->visible);
    // A destroyed ship's icon is gone after the next draw.
    const size_t count = icons.size();
    icons[0]->ship->state = SIM_Ship::DESTROYED;
    DrawFrame();
    EXPECT_EQ(map->GetIcons().size(), count - 1);

    // A click outside the camera's view jumps the camera there.
    const GRect view = map->ComputeViewRect();
    const GRect& plot = map->GetPlot();
    const float px = static_cast<float>(plot.right - 3), py = static_cast<float>(plot.bottom - 3);
    ASSERT_FALSE(px >= view.left && px < view.right && py >= view.top && py < view.bottom);
    EXPECT_TRUE(ClickAt(px, py));
    EXPECT_FLOAT_EQ(camera.centreX, (px - static_cast<float>(plot.left)) / map->GetScale());
    camera.SetCentre(0.0f, 0.0f);
    camera.ClampCamera();

    // Pressing inside the view and dragging pans; letting go ends it.
    DrawFrame();
    const GRect start = map->ComputeViewRect();
    SetLeftButton(true);
    EXPECT_TRUE(ClickAt(static_cast<float>(start.left + 2), static_cast<float>(start.top + 2)));
    EXPECT_TRUE(map->IsDragging());
    MoveMouse(static_cast<float>(start.left + 22), static_cast<float>(start.top + 12));
    DrawFrame();
    DrawFrame();
    EXPECT_GT(map->ComputeViewRect().left, start.left);
    EXPECT_GT(map->ComputeViewRect().top, start.top);
    SetLeftButton(false);
    MoveMouse(900.0f, 100.0f); // let go far outside the window
    DrawFrame();
    EXPECT_FALSE(map->IsDragging());
}

TEST_F(BattleHudTest, ASurvivalWaveReachesTheScoreWindowAndTheMiniMapShowsItsShips)
{
    ASSERT_TRUE(m_world.Headless().Start("survival1", kSampleFleet, 0, 7));
    GUI_Map& camera = GUI_Map::GetInstance();
    BattleHud::OpenLiveWindows(camera.mapWidth, camera.mapHeight, kScreenW, kScreenH, true);
    GUI_MiniMap* map = GUI_MiniMap::GetOpen();
    ASSERT_NE(map, nullptr);
    DrawFrame();
    const size_t before = map->GetIcons().size();
    const SIM_Fleet* enemy = SIM_Battle::GetInstance().GetEnemyFleet();
    const size_t enemiesBefore = enemy->GetAllShips().size();
    EXPECT_FALSE(GetSurvivalScore().IsNewWave());

    SIM_SurvivalMode::GetInstance().NextWave();
    const size_t arrived = enemy->GetAllShips().size() - enemiesBefore;
    ASSERT_GT(arrived, 0u) << "the next wave brings ships";
    EXPECT_TRUE(GetSurvivalScore().IsNewWave()) << "the score window is told";
    DrawFrame();
    ASSERT_EQ(map->GetIcons().size(), before + arrived) << "every ship of the wave has its icon";
    const SIM_Ship* newest = enemy->GetAllShips().back();
    const auto& icons = map->GetIcons();
    EXPECT_TRUE(std::any_of(icons.begin(), icons.end(),
                            [newest](const GUI_MiniMap::Icon* icon) { return icon->ship == newest; }));
    DrawFrame();
    EXPECT_EQ(map->GetIcons().size(), before + arrived) << "made once, not every frame";
}

TEST_F(BattleHudTest, ScoreBoxesAtATieAreBothGreenAndFiguresFreezeAtTheEnd)
{
    GUI_Score& score = GUI_Score::GetInstance();
    score.Layout(false, 1024);
    EXPECT_EQ(score.GetBox(0).left, 4);
    EXPECT_EQ(score.GetBox(1).left, 1024 - 4 - 140);
    EXPECT_EQ(score.GetBox(1).height, 80);
    SIM_Fleet player, enemy;
    player.SetStartingStrength(200.0f);
    enemy.SetStartingStrength(300.0f);
    score.UpdateFigures(&player, &enemy);
    EXPECT_TRUE(score.GetBox(1).leading) << "equal fractions: neither side trails";
    EXPECT_TRUE(score.GetBox(0).leading);
    EXPECT_EQ(GUI_Score::PercentText(score.GetFigures(0)), "100%");
    EXPECT_EQ(GUI_Score::StrengthText(score.GetFigures(1)), "300 / 300");
    SIM_Fleet empty;
    score.UpdateFigures(&player, &empty);
    EXPECT_TRUE(score.GetBox(0).leading);
    EXPECT_FALSE(score.GetBox(1).leading);
    EXPECT_EQ(GUI_Score::PercentText(score.GetFigures(1)), "0%");
    EXPECT_EQ(GUI_Score::StrengthText(score.GetFigures(1)), "0 / 0");
    score.UpdateFigures(&empty, &enemy);
    EXPECT_FALSE(score.GetBox(0).leading);
    EXPECT_TRUE(score.GetBox(1).leading);
    score.Layout(true, 1024);
    score.UpdateFigures(&player, &enemy);
    EXPECT_FALSE(score.ShowsSecondBox());
    EXPECT_FALSE(score.GetBox(0).leading) << "alone, the box is always red";

    ASSERT_NO_FATAL_FAILURE(StartBattle());
    score.Layout(false, 1024);
    score.Draw();
    SIM_Battle& battle = SIM_Battle::GetInstance();
    const float start = score.GetFigures(1).start;
    EXPECT_FLOAT_EQ(start, battle.GetEnemyFleet()->GetStartingStrength());
    battle.Victory();
    battle.GetEnemyFleet()->SetStartingStrength(start * 2.0f);
    score.Draw();
    EXPECT_FLOAT_EQ(score.GetFigures(1).start, start) << "after the end the figures stay";
}

TEST_F(BattleHudTest, DamageTextsRiseFadeAndEndWithTheirShip)
{
    ASSERT_NO_FATAL_FAILURE(StartBattle());
    GUI_DamageFeedbackManager& texts = GUI_DamageFeedbackManager::GetInstance();
    texts.Reset();
    SIM_Ship* ship = SIM_Battle::GetInstance().GetPlayerFleet()->GetAllShips().front();
    SIM_Ship* other = SIM_Battle::GetInstance().GetEnemyFleet()->GetAllShips().front();
    ship->state = other->state = SIM_Ship::ACTIVE;
    GUI_Map::GetInstance().SetCentre(ship->x, ship->y);

    ASSERT_TRUE(texts.Add(ship, 25.7f, 10.0f, 0.0f, false, 0.0f, 0.0f));
    const GUI_DamageFeedback& hull = texts.GetItem(0);
    EXPECT_EQ(hull.text, "Hull -25") << "hull wins over armour, truncated";
    EXPECT_EQ(hull.green, 245);
    ASSERT_TRUE(texts.Add(other, 0.0f, 0.0f, 0.0f, true, 0.0f, 0.0f));
    EXPECT_EQ(texts.GetItem(1).text, "No damage(lucky)");

    // The latest belongs to `other`: a pin for another ship forgets it.
    texts.SetLatestHitPosition(ship, 5.0f, 5.0f);
    texts.SetLatestHitPosition(other, 5.0f, 5.0f);
    EXPECT_FALSE(texts.GetItem(1).pinned);

    texts.Draw(false, 250.0f);
    EXPECT_FLOAT_EQ(hull.age, 0.0f) << "switched off, the texts do not age";
    texts.Draw(true, 250.0f);
    const float x0 = (ship->x - GUI_Map::GetInstance().cameraX) * ZoomScale;
    EXPECT_FLOAT_EQ(hull.screenX, x0);
    EXPECT_FLOAT_EQ(hull.screenY, (ship->y - GUI_Map::GetInstance().cameraY) * ZoomScale - 24.0f);
    EXPECT_EQ(hull.alpha, 255);
    EXPECT_EQ(GUI_DamageFeedback::AlphaAt(400.0f), 255);
    EXPECT_EQ(GUI_DamageFeedback::AlphaAt(450.0f), 127);
    EXPECT_EQ(GUI_DamageFeedback::AlphaAt(500.0f), 0);
    texts.Draw(true, 250.0f);
    EXPECT_TRUE(hull.active) << "500 ms is still its last frame";
    texts.Draw(true, 1.0f);
    EXPECT_FALSE(hull.active);

    // A ship that leaves the battle takes its text along at once.
    ASSERT_TRUE(texts.Add(ship, 1.0f, 0.0f, 0.0f, false, 0.0f, 0.0f));
    ship->state = SIM_Ship::DYING;
    texts.Draw(true, 1.0f);
    EXPECT_EQ(texts.CountActive(), 0);
    ship->state = SIM_Ship::ACTIVE;

    // A full pool shows nothing more.
    texts.Reset();
    for (int i = 0; i < GUI_DamageFeedbackManager::kPoolSize; ++i)
        ASSERT_TRUE(texts.Add(ship, 1.0f, 0.0f, 0.0f, false, 0.0f, 0.0f));
    EXPECT_FALSE(texts.Add(ship, 1.0f, 0.0f, 0.0f, false, 0.0f, 0.0f));
    texts.Reset();
}

TEST_F(BattleHudTest, NameLabelsShowOnlyInFramesThatAskForThem)
{
    ASSERT_NO_FATAL_FAILURE(StartBattle());
    SIM_Ship* ship = SIM_Battle::GetInstance().GetPlayerFleet()->GetAllShips().front();
    GUI_ShipNameOverlay* label = GUI_ShipNameOverlay::ForShip(ship);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(GUI_ShipNameOverlay::ForShip(ship), label);
    LibText::GetInstance().SetFont("zekton16.dds", 16.0f);
    EXPECT_EQ(label->width, LibText::GetInstance().GetTextWidth(ship->name) + 36);
    EXPECT_EQ(label->height, 22);
    label->ShowAt(300.0f, 200.0f);
    EXPECT_EQ(label->left, 300 - label->width / 2);
    EXPECT_EQ(label->top, 200 - 11);
    GUI_ShipNameOverlay::DrawAll();
    EXPECT_FALSE(label->IsShown()) << "drawn once, then it waits for the next ask";
    GUI_ShipNameOverlay::ForgetAll();
    EXPECT_TRUE(GUI_ShipNameOverlay::GetAll().empty());
}

} // namespace
