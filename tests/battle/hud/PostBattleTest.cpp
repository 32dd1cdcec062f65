// After the battle: the one result dialog, where its buttons lead, the
// statistics browser with its filters, and the challenge rating.
#include "BattleHudFixture.h"
#include "../../sim/modules/RecordingSounds.h"

#include <algorithm>

#include "app/Game.h"
#include "app/GUI_Sounds.h"
#include "battle/hud/GUI_GraphKey.h"
#include "battle/hud/GUI_GraphKeyButton.h"
#include "battle/hud/GUI_MiniMap.h"
#include "battle/hud/GUI_PieChart.h"
#include "battle/hud/GUI_PostMortem.h"
#include "battle/hud/GUI_PostMortemMessage.h"
#include "battle/hud/GUI_RateChallenge.h"
#include "battle/hud/GUI_RatingPicker.h"
#include "battle/hud/GUI_StatModulePicker.h"
#include "battle/hud/GUI_StatPickerIcon.h"
#include "battle/hud/GUI_StatShipPicker.h"
#include "battle/hud/GUI_Stat_TimeGraph.h"
#include "battle/hud/GUI_StatsBrowser.h"
#include "battle/hud/GUI_SurvivalPostMortem.h"
#include "gui/GUI_ConfirmDialog.h"
#include "sim/SIM_SurvivalMode.h"
#include "sim/SIM_HighScores.h"
#include "battle/hud/GUI_LeaveBattle.h"
#include "engine/D3DEngine.h"
#include "platform/HeadlessGraphicsDevice.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "engine/TextHelpers.h"
#include "gui/GUI_ButtonTab.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_Message.h"
#include "gui/GUI_ScrollingWindow.h"
#include "gui/GUI_TextEditWindow.h"
#include "gui/GUI_TitleBar.h"
#include "sim/SIM_FighterSquadron.h"
#include "sim/SIM_Scenario.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_ShipModuleType.h"
#include "sim/SIM_StatsDatabase.h"
#include "sim/SIM_Race.h"
#include "battle/hud/GUI_Score.h"
#include "engine/GFileHelpers.h"
#include "engine/GHttpClient.h"
#include "engine/GSafeFile.h"
#include "frontend/GUI_HighScoreTable.h"
#include "gui/GUI_ButtonBase.h"
#include "online/ChallengeServerReports.h"
#include "online/OnlineJob.h"
#include "online/OnlineStatus.h"
#include "gui/GUI_Tooltip.h"
#include "online/SIM_Server.h"
#include "online/SurvivalScorePoster.h"
#include "sim/SIM_ChallengeReportSink.h"
#include "sim/SIM_SurvivalScoreSink.h"
#include "support/LocalChallengeServer.h"
#include "support/TempDir.h"

namespace {

// A text laid out in lines, read back as one.
std::string Unwrapped(std::string text)
{
    std::replace(text.begin(), text.end(), '\n', ' ');
    return text;
}

int CountReports()
{
    int reports = 0;
    for (GUI_WindowBase* window : GUI_WindowManager::GetInstance().GetTopLevelWindows())
        reports += dynamic_cast<GUI_PostMortem*>(window) ? 1 : 0;
    return reports;
}

// Every button's label is drawn at full size inside its button.
template <class Dialog>
void ExpectLabelsFit(const Dialog& dialog)
{
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    for (GUI_ButtonBase* button : dialog.GetButtons()) {
        auto* labelled = dynamic_cast<GUI_ButtonText*>(button);
        if (labelled && labelled->visible) {
            EXPECT_LE(text.GetTextWidth(labelled->GetText()), labelled->width - 6) << labelled->GetText();
        }
    }
}

class PostBattleTest : public BattleHudTest {
protected:
    // Runs the battle to its end the way tools and tests do.
    void RunToEnd()
    {
        ASSERT_NO_FATAL_FAILURE(StartBattle());
        ASSERT_TRUE(m_world.Headless().Run(16.6666f * 4.0f * 0.4f, 20.0f * 60.0f * 1000.0f));
    }
    // Ends the battle as a survival battle does: its own report opens.
    GUI_SurvivalPostMortem* EndAsSurvival()
    {
        SIM_Scenario* scenario = SIM_Battle::GetInstance().GetScenario();
        const int type = scenario->GetType();
        scenario->SetType(SIM_Scenario::SURVIVAL);
        SIM_Battle::GetInstance().Defeat();
        scenario->SetType(type);
        return GUI_SurvivalPostMortem::GetOpen();
    }
    template <class Element>
    static void Press(Element* button)
    {
        ASSERT_NE(button, nullptr);
        ClickAt(static_cast<float>(button->left + 3), static_cast<float>(button->top + 3));
    }
};

// A picker filled by hand.
class HandPicker : public GUI_StatPicker {
public:
    void Fill(int count)
    {
        for (int i = 0; i < count; ++i)
            AddIcon(reinterpret_cast<const void*>(static_cast<std::intptr_t>(i + 1)), "icon", "none.dds");
        FinishFill();
    }
};

TEST(PostBattleReport, QuitLeadsToTheUnlockShopOnlyAfterAWonBattleThatWasNoChallenge)
{
    EXPECT_EQ(GUI_PostMortem::QuitMode(true, false), 10);
    EXPECT_EQ(GUI_PostMortem::QuitMode(true, true), 2);
    EXPECT_EQ(GUI_PostMortem::QuitMode(false, false), 2);
    EXPECT_EQ(GUI_PostMortem::QuitMode(false, true), 2);
    EXPECT_EQ(FormatThousands(1234567), "1,234,567");
}

TEST_F(PostBattleTest, ABattleRunToItsEndOpensExactlyOneReportAndItsStatistics)
{
    ASSERT_NO_FATAL_FAILURE(RunToEnd());
    SIM_Battle& battle = SIM_Battle::GetInstance();
    EXPECT_EQ(CountReports(), 1);
    GUI_PostMortem* report = GUI_PostMortem::GetOpen();
    ASSERT_NE(report, nullptr);
    EXPECT_EQ(GUI_WindowManager::GetInstance().GetTopModal(), report);
    EXPECT_EQ(report->IsVictory(), battle.GetLost() == SIM_Battle::WON);
    EXPECT_EQ(report->GetPointsText(), FormatThousands(battle.GetPointsEarned()));
    EXPECT_EQ(report->height, GUI_PostMortem::kHeight);
    EXPECT_EQ(report->GetRateButton(), nullptr) << "no challenge, no rating";
    EXPECT_FALSE(report->GetUnlockedLabel().empty());
    ExpectLabelsFit(*report);
    {
        // Either way out fits the quit button at full size.
        LibText& text = LibText::GetInstance();
        text.SetFont("zekton16.dds", 16.0f);
        for (const char* key : {"POSTMORTEM_QUIT_VICTORY", "POSTMORTEM_QUIT_DEFEAT"})
            EXPECT_LE(text.GetTextWidth(GetString(key)), report->GetQuitButton()->width - 6) << key;
    }
    // The statistics end on the strengths the battle ended on: the score
    // boxes' final figures.
    const std::vector<SIM_StrengthSample> samples = SIM_StatsDatabase::GetInstance().GetSamples();
    ASSERT_FALSE(samples.empty());
    const GUI_Score& score = GUI_Score::GetInstance();
    EXPECT_EQ(samples.back().playerStrength, static_cast<uint32_t>(score.GetFigures(0).current));
    EXPECT_EQ(samples.back().enemyStrength, static_cast<uint32_t>(score.GetFigures(1).current));
    EXPECT_GT(samples.back().playerStrength + samples.back().enemyStrength, 0u);
    // The battle runs on behind the report, its clock with it; the player
    // reads the report a while (as long again as the battle lasted).
    const float endTime = GUI_BattleGUI::GetInstance().battleTime;
    EXPECT_FLOAT_EQ(battle.GetEndTime(), endTime);
    while (GUI_BattleGUI::GetInstance().battleTime < 2.0f * endTime)
        m_world.Headless().Frame(100.0f);
    // Ending again (a second end check) replaces, never stacks, and keeps
    // the end's time.
    battle.EndBattle();
    EXPECT_EQ(SIM_StatsDatabase::GetInstance().GetSamples().size(), samples.size()) << "one closing sample";
    EXPECT_FLOAT_EQ(battle.GetEndTime(), endTime);
    EXPECT_EQ(CountReports(), 1);
    report = GUI_PostMortem::GetOpen();

    // "View statistics": the report goes, the browser opens on the pies.
    BattleHud::OpenLiveWindows(2400.0f, 1800.0f, kScreenW, kScreenH, false);
    Press(report->GetViewStatsButton());
    GUI_WindowManager::GetInstance().DeleteQueuedWindows();
    EXPECT_EQ(GUI_PostMortem::GetOpen(), nullptr);
    EXPECT_EQ(CountReports(), 0);
    EXPECT_EQ(GUI_MiniMap::GetOpen(), nullptr) << "the live view's windows go with it";
    EXPECT_EQ(GUI_BattleGUI::GetInstance().shipPicking, GUI_BattleGUI::STATE_STATISTICS);
    GUI_StatsBrowser* browser = GUI_StatsBrowser::GetOpen();
    ASSERT_NE(browser, nullptr);
    EXPECT_FALSE(browser->IsModal());
    GUI_Stat_TimeGraph* graph = browser->GetGraph();
    ASSERT_NE(graph, nullptr);
    EXPECT_EQ(graph->GetMode(), GUI_Stat_TimeGraph::MODE_PIE);
    EXPECT_TRUE(graph->GetPie(true)->visible);
    EXPECT_TRUE(graph->GetShipPicker(true)->visible);
    EXPECT_FALSE(graph->GetModulePicker(true)->visible);
    // Not a campaign battle: main menu and deployment, no map.
    EXPECT_EQ(browser->GetMapButton(), nullptr);
    ASSERT_NE(browser->GetMainMenuButton(), nullptr);
    EXPECT_EQ(browser->GetDeploymentButton()->left, browser->left + 166);
    // The time axis spans the battle, not the clock that ran on after it.
    EXPECT_FLOAT_EQ(graph->GetBucketWidth(), endTime / 100.0f);

    // The battle had damage on both sides: both pies have slices.
    EXPECT_FALSE(graph->GetPie(true)->GetSegments().empty());
    EXPECT_FALSE(graph->GetPie(false)->GetSegments().empty());
    EXPECT_FLOAT_EQ(graph->GetScale(), StatSeriesTable::ScaleFor(graph->GetTable().Largest()));
    for (int s = 0; s < StatSeriesTable::kSeries; ++s)
        EXPECT_EQ(graph->GetLine(s).GetPoints().size(), 100u);
    // Both strength lines end on the final figures at the axis's end: the
    // lowest line ends at the height its own final figure gives.
    float playerHp[GUI_Stat_TimeGraph::kBuckets], enemyHp[GUI_Stat_TimeGraph::kBuckets];
    const float hpScale = StatSeriesTable::ScaleFor(
        GUI_Stat_TimeGraph::AverageHitPoints(samples, graph->GetBucketWidth(), playerHp, enemyHp));
    const GRect& plot = graph->GetPlot();
    for (bool player : {true, false}) {
        const auto& points = graph->GetHpLine(player).GetPoints();
        ASSERT_FALSE(points.empty());
        EXPECT_FLOAT_EQ(points.back().x, static_cast<float>(plot.right - 1)) << (player ? "player" : "enemy");
        const float last = static_cast<float>(player ? samples.back().playerStrength : samples.back().enemyStrength);
        EXPECT_NEAR(points.back().y,
                    static_cast<float>(plot.bottom) - last / hpScale * static_cast<float>(plot.Height() - 2) - 2.0f,
                    0.01f)
            << (player ? "player" : "enemy");
    }
}

// Escape on either report (the window manager's top modal takes it) goes on
// to the statistics: never a bare battle view whose next Escape leaves them
// unseen.
TEST_F(PostBattleTest, EscapeOnAReportGoesOnToTheStatistics)
{
    ASSERT_NO_FATAL_FAILURE(StartBattle());
    SIM_Battle::GetInstance().Victory();
    ASSERT_NE(GUI_PostMortem::GetOpen(), nullptr);
    EXPECT_TRUE(GUI_WindowManager::GetInstance().CloseTopModal());
    GUI_WindowManager::GetInstance().DeleteQueuedWindows();
    EXPECT_EQ(GUI_PostMortem::GetOpen(), nullptr);
    EXPECT_NE(GUI_StatsBrowser::GetOpen(), nullptr);
    EXPECT_EQ(GUI_BattleGUI::GetInstance().shipPicking, GUI_BattleGUI::STATE_STATISTICS);
    BattleHud::CloseAll();
    GUI_WindowManager::GetInstance().DeleteQueuedWindows();

    ASSERT_NO_FATAL_FAILURE(StartBattle());
    ASSERT_NE(EndAsSurvival(), nullptr);
    EXPECT_TRUE(GUI_WindowManager::GetInstance().CloseTopModal());
    GUI_WindowManager::GetInstance().DeleteQueuedWindows();
    EXPECT_EQ(GUI_SurvivalPostMortem::GetOpen(), nullptr);
    EXPECT_NE(GUI_StatsBrowser::GetOpen(), nullptr);
    EXPECT_EQ(GUI_BattleGUI::GetInstance().shipPicking, GUI_BattleGUI::STATE_STATISTICS);
}

TEST_F(PostBattleTest, SurvivalAndCampaignBattlesEndTheirOwnWay)
{
    ASSERT_NO_FATAL_FAILURE(StartBattle());
    SIM_Battle& battle = SIM_Battle::GetInstance();
    GUI_SurvivalPostMortem* survival = EndAsSurvival();
    EXPECT_EQ(CountReports(), 0) << "a survival battle never opens the ordinary report";
    ASSERT_NE(survival, nullptr);
    ExpectLabelsFit(*survival);
    // Without an online name there is no one to post as: the button is off
    // and says why, and the report says where the score is kept.
    TempDir user;
    SIM_Server::GetInstance().SetUserFolder(user.Path());
    ASSERT_FALSE(SIM_Server::GetInstance().HasUserName());
    GUI_SurvivalPostMortem::Open();
    survival = GUI_SurvivalPostMortem::GetOpen();
    SIM_SurvivalScoreSink::Install(&SurvivalScorePoster::GetInstance());
    EXPECT_FALSE(survival->GetPostOnlineButton()->enabled);
    ASSERT_NE(survival->GetPostOnlineButton()->GetTooltip(), nullptr);
    EXPECT_EQ(survival->GetPostOnlineButton()->GetTooltip()->GetLines().front(),
              GetString("SURVIVAL_POSTONLINE_NO_NAME_TOOLTIP"));
    EXPECT_EQ(Unwrapped(survival->GetBodyText()), GetString("SURVIVAL_POSTMORTEM_TEXT_NO_NAME"));
    Press(survival->GetPostOnlineButton());
    EXPECT_FALSE(survival->IsPosting());
    EXPECT_EQ(GUI_Message::GetOpen(), nullptr);
    // With a name: nowhere to post (no server) is told as that, not as a
    // server that failed to answer, and the report stays.
    ASSERT_TRUE(SIM_Server::GetInstance().SaveUserName("Ann"));
    GUI_SurvivalPostMortem::Open();
    survival = GUI_SurvivalPostMortem::GetOpen();
    EXPECT_TRUE(survival->GetPostOnlineButton()->enabled);
    EXPECT_EQ(Unwrapped(survival->GetBodyText()), GetString("SURVIVAL_POSTMORTEM_TEXT"));
    // A survival battle given up says so, not that the fleet fell; the next
    // report is a fallen fleet's again.
    GUI_SurvivalPostMortem::SetGivenUp(true);
    GUI_SurvivalPostMortem::Open();
    EXPECT_EQ(Unwrapped(GUI_SurvivalPostMortem::GetOpen()->GetBodyText()),
              GetString("SURVIVAL_POSTMORTEM_TEXT_GIVEN_UP"));
    GUI_SurvivalPostMortem::Open();
    survival = GUI_SurvivalPostMortem::GetOpen();
    EXPECT_EQ(Unwrapped(survival->GetBodyText()), GetString("SURVIVAL_POSTMORTEM_TEXT"));
    Press(survival->GetPostOnlineButton());
    ASSERT_NE(GUI_Message::GetOpen(), nullptr);
    EXPECT_EQ(GUI_Message::GetOpen()->GetText(), GetString("ONLINE_NO_SERVER"));
    EXPECT_FALSE(survival->IsPosting());
    GUI_WindowManager::GetInstance().CloseWindow(GUI_Message::GetOpen());
    GUI_WindowManager::GetInstance().DeleteQueuedWindows();
    // A server that refuses the connection: told on the frame after.
    {
        LoopbackSocket refusing(false);
        GetInternet().SetServerUrl("http://127.0.0.1:" + std::to_string(refusing.Port()));
        Press(survival->GetPostOnlineButton());
        GetInternet().SetServerUrl("");
    }
    EXPECT_TRUE(survival->IsPosting());
    EXPECT_EQ(GUI_Message::GetOpen(), nullptr);
    OnlineJob::JoinAll();
    DrawFrame();
    SIM_SurvivalScoreSink::Install(nullptr);
    EXPECT_FALSE(survival->IsPosting());
    ASSERT_NE(GUI_Message::GetOpen(), nullptr);
    EXPECT_EQ(GUI_Message::GetOpen()->GetText(), GetString("SURVIVAL_POST_FAILED"));
    EXPECT_EQ(GUI_SurvivalPostMortem::GetOpen(), survival);
    GUI_WindowManager::GetInstance().CloseWindow(GUI_Message::GetOpen());
    GUI_WindowManager::GetInstance().DeleteQueuedWindows();
    SIM_Server::GetInstance().SetUserFolder("");
    Press(survival->GetViewStatsButton());
    GUI_WindowManager::GetInstance().DeleteQueuedWindows();
    EXPECT_EQ(GUI_SurvivalPostMortem::GetOpen(), nullptr);
    ASSERT_NE(GUI_StatsBrowser::GetOpen(), nullptr);
    EXPECT_EQ(GUI_StatsBrowser::GetOpen()->GetGraph()->GetMode(), GUI_Stat_TimeGraph::MODE_PIE);
    BattleHud::CloseAll();
    GUI_WindowManager::GetInstance().DeleteQueuedWindows();

    // A campaign battle's statistics lead back to the map only.
    SIM_Battle::GetInstance().Clear();
    SIM_DeployedFleet player, enemy;
    ASSERT_TRUE(ShippedBattleWorld::Add(player, "fed_ai_gunboat", 300, 300));
    ASSERT_TRUE(ShippedBattleWorld::Add(enemy, "kor_ai_gunboat", 2000, 300));
    ASSERT_TRUE(m_world.Headless().StartCustom(SIM_Scenario::FindByName("scenario1"), player, enemy, 3));
    ASSERT_TRUE(battle.IsFromCampaign());
    battle.Victory();
    ASSERT_NE(GUI_PostMortem::GetOpen(), nullptr) << "the ordinary report stands in for the campaign's";
    GUI_BattleGUI::GetInstance().battleTime = 1000.0f;
    GUI_StatsBrowser::Open();
    GUI_StatsBrowser* browser = GUI_StatsBrowser::GetOpen();
    ASSERT_NE(browser->GetMapButton(), nullptr);
    EXPECT_EQ(browser->GetMainMenuButton(), nullptr);
    EXPECT_EQ(browser->GetDeploymentButton(), nullptr);
    EXPECT_EQ(browser->GetMapButton()->left, browser->left + 166);
    BattleHud::CloseAll();
    GUI_WindowManager::GetInstance().DeleteQueuedWindows();
    SIM_Battle::GetInstance().Clear();
}

// The client panel of a result dialog covers the whole dialog: its title
// strip is drawn after it, on top, for the ordinary and the survival report.
TEST_F(PostBattleTest, TheResultTitlesAreDrawnAfterTheirPanels)
{
    ASSERT_NO_FATAL_FAILURE(StartBattle());
    D3DEngine& engine = D3DEngine::GetInstance();
    auto* device = dynamic_cast<HeadlessGraphicsDevice*>(engine.GetDevice());
    ASSERT_NE(device, nullptr);
    const TextureHandle title = engine.FindTexture("dialog_titlebar.dds");
    const TextureHandle panel = engine.FindTexture("dialog_client.dds");
    ASSERT_NE(title, 0u);
    ASSERT_NE(panel, 0u);
    auto expectTitleOnTop = [&](GUI_Dialog& dialog) {
        device->ClearDraws();
        dialog.Draw();
        int lastTitle = -1, lastPanel = -1;
        const auto& draws = device->GetDraws();
        for (size_t i = 0; i < draws.size(); ++i) {
            if (draws[i].texture == title)
                lastTitle = static_cast<int>(i);
            if (draws[i].texture == panel)
                lastPanel = static_cast<int>(i);
        }
        EXPECT_GE(lastPanel, 0) << dialog.GetTitle();
        EXPECT_GT(lastTitle, lastPanel) << dialog.GetTitle();
    };
    SIM_Battle::GetInstance().Defeat();
    ASSERT_NE(GUI_PostMortem::GetOpen(), nullptr);
    expectTitleOnTop(*GUI_PostMortem::GetOpen());
    GUI_PostMortem::Close();
    GUI_SurvivalPostMortem* survival = EndAsSurvival();
    ASSERT_NE(survival, nullptr);
    expectTitleOnTop(*survival);
}

// A survival battle ends only when the player gives up (or is beaten):
// Admit defeat and Escape's quit make it a defeat whose report shows the
// score and the best one, kept in sc.dat; a lower score keeps the best. A
// skirmish given up still goes straight to its statistics.
TEST_F(PostBattleTest, GivingUpASurvivalBattleOpensItsReportAndKeepsTheBestScore)
{
    SIM_Battle& battle = SIM_Battle::GetInstance();
    SIM_HighScores& scores = m_world.Headless().GetScores();
    ASSERT_TRUE(m_world.Headless().Start("survival1", kSampleFleet, 0, 7));
    ASSERT_TRUE(battle.IsSurvival());
    SIM_SurvivalMode::GetInstance().AddScore(1234.0f);
    GUI_LeaveBattle::Open(GUI_LeaveBattle::ADMIT_DEFEAT, kScreenW);
    Press(GUI_LeaveBattle::GetOpen()->GetButton());
    ASSERT_NE(GUI_ConfirmDialog::GetOpen(), nullptr);
    Press(GUI_ConfirmDialog::GetOpen()->GetYesButton());
    GUI_WindowManager::GetInstance().DeleteQueuedWindows();
    EXPECT_TRUE(battle.IsEnded());
    EXPECT_EQ(battle.GetLost(), SIM_Battle::LOST);
    EXPECT_EQ(GUI_StatsBrowser::GetOpen(), nullptr);
    GUI_SurvivalPostMortem* report = GUI_SurvivalPostMortem::GetOpen();
    ASSERT_NE(report, nullptr);
    EXPECT_EQ(report->GetScoreText(), "1,234");
    EXPECT_EQ(report->GetBestText(), "1,234");
    EXPECT_EQ(scores.GetScenarioRecord("survival1")->bestSurvivalScore, 1234);
    std::string saved;
    ASSERT_TRUE(ReadWholeFile(scores.ScoresPath(), saved));
    const size_t section = saved.find("[survival1]\n");
    ASSERT_NE(section, std::string::npos);
    EXPECT_EQ(saved.find("best_survival_score = ", section), saved.find("best_survival_score = 1234\n", section));
    EXPECT_NE(saved.find("best_survival_score = 1234\n", section), std::string::npos);
    DrawFrame();
    BattleHud::CloseAll();
    GUI_WindowManager::GetInstance().DeleteQueuedWindows();

    // Escape's quit, with a lower score: reported, the best stays.
    ASSERT_TRUE(m_world.Headless().Start("survival1", kSampleFleet, 0, 7));
    SIM_SurvivalMode::GetInstance().AddScore(500.0f);
    GUI_BattleGUI::OnQuitConfirmed(0);
    report = GUI_SurvivalPostMortem::GetOpen();
    ASSERT_NE(report, nullptr);
    EXPECT_EQ(report->GetScoreText(), "500");
    EXPECT_EQ(report->GetBestText(), "1,234");
    EXPECT_EQ(scores.GetScenarioRecord("survival1")->bestSurvivalScore, 1234);
    BattleHud::CloseAll();
    GUI_WindowManager::GetInstance().DeleteQueuedWindows();

    ASSERT_NO_FATAL_FAILURE(StartBattle());
    GUI_BattleGUI::OnQuitConfirmed(0);
    EXPECT_FALSE(battle.IsEnded());
    EXPECT_EQ(GUI_SurvivalPostMortem::GetOpen(), nullptr);
    EXPECT_EQ(GUI_PostMortem::GetOpen(), nullptr);
    EXPECT_NE(GUI_StatsBrowser::GetOpen(), nullptr);
}

TEST_F(PostBattleTest, FiltersRebuildOnceAndOnlyWhenTheyChange)
{
    ASSERT_NO_FATAL_FAILURE(RunToEnd());
    GUI_BattleGUI::GetInstance().EndBattleView();
    GUI_PostMortem::Close();
    GUI_StatsBrowser::Open();
    GUI_Stat_TimeGraph* graph = GUI_StatsBrowser::GetOpen()->GetGraph();
    const int built = graph->GetRebuildCount();
    DrawFrame();
    DrawFrame();
    EXPECT_EQ(graph->GetRebuildCount(), built) << "no change, no rebuild";

    // The sample fleet: two frigates and a squadron of three fighters.
    GUI_StatShipPicker* ours = graph->GetShipPicker(true);
    const SIM_Fleet* fleet = SIM_Battle::GetInstance().GetPlayerFleet();
    ASSERT_EQ(fleet->GetSquadrons().size(), 1u);
    const SIM_FighterSquadron* squadron = fleet->GetSquadrons().front();
    ASSERT_EQ(squadron->GetMembers().size(), 3u);
    ASSERT_EQ(ours->GetIcons().size(), 3u);
    GUI_StatPickerIcon* squadronIcon = ours->GetIcons().back();
    EXPECT_EQ(squadronIcon->GetObject(), squadron->GetMembers().front());
    EXPECT_TRUE(ours->IsSelected(squadron->GetMembers()[2])) << "one icon stands for all its fighters";

    const float deliveredBefore = graph->GetTable().totals[5] + graph->GetTable().totals[0];
    Press(squadronIcon);
    EXPECT_TRUE(ours->changed);
    EXPECT_FALSE(ours->IsSelected(squadron->GetMembers()[2]));
    DrawFrame();
    EXPECT_EQ(graph->GetRebuildCount(), built + 1);
    EXPECT_FALSE(ours->changed);
    float fightersDelivered = 0.0f;
    for (const SIM_DamageEvent& e : SIM_StatsDatabase::GetInstance().GetEvents())
        if (e.attacker && e.attacker->squadron == squadron && e.target)
            fightersDelivered += e.moduleDamage + (e.flag == 0 ? e.damage : 0.0f);
    EXPECT_NEAR(graph->GetTable().totals[5] + graph->GetTable().totals[0], deliveredBefore - fightersDelivered,
                1e-2f * std::max(1.0f, deliveredBefore));

    // Tabs change what shows without touching the figures...
    Press(graph->GetTab(GUI_Stat_TimeGraph::MODE_TIME));
    EXPECT_EQ(graph->GetMode(), GUI_Stat_TimeGraph::MODE_TIME);
    EXPECT_FALSE(graph->GetPie(true)->visible);
    EXPECT_EQ(graph->GetRebuildCount(), built + 1);
    DrawFrame();
    EXPECT_GT(graph->GetBatchVertexCount(), 0u) << "all shown lines in one batch";
    // ...and a series switched off leaves the batch, without rescaling.
    const float scale = graph->GetScale();
    const size_t withAll = graph->GetBatchVertexCount();
    Press(graph->GetKey()->GetButton(5));
    EXPECT_FALSE(graph->GetKey()->IsOn(5));
    MoveMouse(5.0f, 5.0f);
    DrawFrame();
    EXPECT_EQ(graph->GetBatchVertexCount(), withAll - withAll / 12);
    EXPECT_FLOAT_EQ(graph->GetScale(), scale);

    // By weapon, the weapon pickers are the filter: the figures follow.
    Press(graph->GetTab(GUI_Stat_TimeGraph::MODE_MODULE));
    EXPECT_EQ(graph->GetRebuildCount(), built + 3);
    EXPECT_TRUE(graph->GetModulePicker(true)->visible);
    EXPECT_FALSE(graph->GetShipPicker(true)->visible);
    const auto& weapons = graph->GetModulePicker(true)->GetIcons();
    for (size_t i = 0; i < weapons.size(); ++i)
        for (size_t j = i + 1; j < weapons.size(); ++j)
            EXPECT_NE(weapons[i]->GetObject(), weapons[j]->GetObject()) << "each weapon type once";
    for (const GUI_StatPickerIcon* icon : weapons)
        EXPECT_EQ(static_cast<const SIM_ShipModuleType*>(icon->GetObject())->GetCategory(), SIM_ShipModuleType::WEAPONS);
}

TEST_F(PostBattleTest, PickerShowsWhatFitsAndScrollsTheRest)
{
    HandPicker picker;
    picker.SetRect(10.0f, 100.0f, 90.0f, 640.0f); // 540 high
    picker.Fill(12);
    EXPECT_EQ(picker.GetPlacedCount(), 9);
    EXPECT_EQ(picker.GetIcons()[8]->top, 100 + 480);
    EXPECT_EQ(picker.GetScroll()->maximum, 3);
    EXPECT_FALSE(picker.changed);
    picker.GetScroll()->ScrollDown();
    picker.Draw();
    EXPECT_EQ(picker.GetIcons()[1]->top, 100);
    EXPECT_EQ(picker.GetIcons()[1]->GetParent(), &picker);
    EXPECT_EQ(picker.GetIcons()[0]->GetParent(), nullptr) << "scrolled out";
    EXPECT_TRUE(picker.GetIcons()[1]->OnLeftClick(15.0f, 105.0f));
    EXPECT_TRUE(picker.changed);
    EXPECT_FALSE(picker.HasObjectSelected(picker.GetIcons()[1]->GetObject()));
    EXPECT_FALSE(picker.GetIcons()[1]->OnLeftClick(200.0f, 105.0f)) << "a click outside does nothing";
}

std::string g_messageTo;
std::string g_message;
int g_messages = 0;
bool g_messageGoesOut = false;
bool FakeMessage(const std::string& to, const std::string& text)
{
    ++g_messages;
    g_messageTo = to;
    g_message = text;
    return g_messageGoesOut;
}

bool g_sendResult = false;
int g_sends = 0;
int g_sentDifficulty = 0;
bool FakeSend(const std::string&, int difficulty, int)
{
    ++g_sends;
    g_sentDifficulty = difficulty;
    return g_sendResult;
}

TEST_F(PostBattleTest, ARatingCountsOnlyWhenTheServerTookIt)
{
    ASSERT_NO_FATAL_FAILURE(StartBattle());
    SIM_Scenario* scenario = SIM_Battle::GetInstance().GetScenario();
    scenario->SetChallengeFleet(true);
    SIM_Battle::GetInstance().Victory();
    GUI_PostMortem* report = GUI_PostMortem::GetOpen();
    ASSERT_NE(report, nullptr);
    scenario->SetChallengeFleet(false);
    EXPECT_EQ(report->height, GUI_PostMortem::kChallengeHeight);
    EXPECT_TRUE(report->GetUnlockedLabel().empty()) << "challenges earn no points";
    ASSERT_NE(report->GetRetaliateButton(), nullptr);
    EXPECT_TRUE(report->GetRetaliateButton()->enabled);
    // One message to the challenge's author; an empty one cannot be sent.
    GUI_PostMortemMessage* message = report->GetMessageWindow();
    ASSERT_NE(message, nullptr);
    EXPECT_EQ(report->height, 320);
    EXPECT_EQ(message->top, report->clientTop + 90);
    EXPECT_EQ(message->bottom, report->clientTop + 210);
    EXPECT_GE(report->GetRetaliateButton()->top, message->bottom);
    EXPECT_LE(report->GetRetaliateButton()->bottom, report->GetQuitButton()->top);
    {
        // The race's message keeps to two lines, which end above the prompt.
        LibText& text = LibText::GetInstance();
        text.SetFont("zekton16.dds", 16.0f);
        EXPECT_LE(report->top + GUI_PostMortem::kRaceMessageTop + text.GetWrappedTextHeight("one\ntwo", 1000),
                  message->top);
        EXPECT_GT(report->top + GUI_PostMortem::kRaceMessageTop + text.GetWrappedTextHeight("one\ntwo\nthree", 1000),
                  message->top)
            << "a third line would reach it, so it is cut";
        const std::string raw = report->GetRaceMessage();
        ASSERT_FALSE(raw.empty());
        EXPECT_EQ(Unwrapped(report->GetShownRaceMessage()), raw) << "the game's own message is shown whole";
        // Every message a race of the game has fits whole in those lines.
        for (const SIM_Race* race : SIM_Race::GetList()) {
            std::string file;
            ASSERT_TRUE(ReadWholeFile(race->GetFileName(), file)) << race->GetFileName();
            size_t at = 0;
            int messages = 0;
            while ((at = file.find("\nmsg = ", at)) != std::string::npos) {
                at += 7;
                std::string msg = file.substr(at, file.find('\n', at) - at);
                while (!msg.empty() && (msg.back() == ' ' || msg.back() == '\r'))
                    msg.pop_back();
                ++messages;
                const std::string fitted = text.FitText(msg, report->width - 40, GUI_PostMortem::kChallengeMessageLines);
                EXPECT_EQ(Unwrapped(fitted), msg) << race->GetName();
            }
            EXPECT_GT(messages, 0) << race->GetName();
        }
    }
    ExpectLabelsFit(*report);
    GUI_PostMortemMessage::SetSender(FakeMessage);
    DrawFrame();
    EXPECT_FALSE(message->GetSendButton()->enabled);
    Press(message->GetSendButton());
    EXPECT_EQ(g_messages, 0);
    message->GetField()->SetText("good game");
    DrawFrame();
    ASSERT_TRUE(message->GetSendButton()->enabled);
    EXPECT_STREQ(message->GetStatusKey(), "") << "nothing said before a send";
    // Refused: the player is told, and may send it again.
    g_messageGoesOut = false;
    {
        // Send is heard as a thing accepted, not as a button's click.
        auto recording = std::make_unique<RecordingSounds>();
        RecordingSounds* heard = recording.get();
        GUI_Sounds sounds(std::move(recording), [](const std::string&) { return 1.0f; });
        sounds.LoadSounds();
        heard->played.clear(); // the title music
        GUI_BattleGUI::GetInstance().SetSounds(&sounds);
        Press(message->GetSendButton());
        GUI_BattleGUI::GetInstance().SetSounds(nullptr);
        EXPECT_EQ(heard->played, std::vector<std::string>{"data/sounds/gui_accepted.ogg"});
    }
    EXPECT_EQ(g_messages, 1);
    EXPECT_TRUE(message->IsActive());
    EXPECT_STREQ(message->GetStatusKey(), "POSTMORTEM_MESSAGE_NO_ANSWER");
    DrawFrame();
    EXPECT_TRUE(message->GetSendButton()->enabled);
    // Taken: the line says so and the window takes no more.
    g_messageGoesOut = true;
    Press(message->GetSendButton());
    EXPECT_EQ(g_messages, 2);
    EXPECT_EQ(g_message, "good game");
    EXPECT_EQ(g_messageTo, scenario->GetStringMember());
    EXPECT_FALSE(message->IsActive());
    EXPECT_STREQ(message->GetStatusKey(), "POSTMORTEM_MESSAGE_SENT");
    EXPECT_EQ(message->GetStatusText(), GetString("POSTMORTEM_MESSAGE_SENT"));
    Press(message->GetSendButton());
    EXPECT_EQ(g_messages, 2) << "one message per report";
    {
        // Each line keeps left of the Send button's place on its row.
        LibText& text = LibText::GetInstance();
        text.SetFont("zekton16.dds", 16.0f);
        for (const char* key : {"POSTMORTEM_MESSAGE_SENT", "POSTMORTEM_MESSAGE_NO_SERVER",
                                "POSTMORTEM_MESSAGE_NO_ANSWER", "POSTMORTEM_MESSAGE_CANCELLED"})
            EXPECT_LE(message->left + 10 + text.GetTextWidth(GetString(key)), message->GetSendButton()->left - 4)
                << key;
    }
    GUI_PostMortemMessage::SetSender(nullptr);

    // Retaliation cannot be posted yet: the attempt fails and the button stays.
    Press(report->GetRetaliateButton());
    EXPECT_FALSE(report->IsRetaliated());
    EXPECT_TRUE(report->GetRetaliateButton()->enabled);

    GUI_RateChallenge::SetSender(FakeSend);
    Press(report->GetRateButton());
    GUI_RateChallenge* rating = GUI_RateChallenge::GetOpen();
    ASSERT_NE(rating, nullptr);
    EXPECT_FALSE(rating->GetSubmitButton()->enabled);
    GUI_RatingPicker* difficulty = rating->GetDifficulty();
    EXPECT_GE(static_cast<float>(difficulty->top), rating->top + GUI_TitleBar::kBarHeight) << "the stars sit under the title";
    // Star 3 then star 1: the rating is 1.
    ClickAt(static_cast<float>(difficulty->left + 18 + 72), static_cast<float>(difficulty->top + 18));
    ClickAt(static_cast<float>(difficulty->left + 18), static_cast<float>(difficulty->top + 18));
    EXPECT_EQ(difficulty->rating, 1);
    DrawFrame();
    EXPECT_FALSE(rating->GetSubmitButton()->enabled) << "one row rated is not enough";
    GUI_RatingPicker* enjoyment = rating->GetEnjoyment();
    ClickAt(static_cast<float>(enjoyment->left + 18 + 4 * 36), static_cast<float>(enjoyment->top + 18));
    EXPECT_EQ(enjoyment->rating, 5);
    DrawFrame();
    ASSERT_TRUE(rating->GetSubmitButton()->enabled);

    g_sendResult = false;
    Press(rating->GetSubmitButton());
    GUI_WindowManager::GetInstance().DeleteQueuedWindows();
    EXPECT_EQ(g_sends, 1);
    EXPECT_EQ(g_sentDifficulty, 1);
    EXPECT_EQ(GUI_RateChallenge::GetOpen(), nullptr);
    EXPECT_FALSE(report->IsRated()) << "a failed request leaves the rating open";
    EXPECT_TRUE(report->GetRateButton()->enabled);

    report->OnRatingSent(true);
    EXPECT_TRUE(report->IsRated());
    EXPECT_FALSE(report->GetRateButton()->enabled);
    GUI_RateChallenge::SetSender(nullptr);
    // Offline (no server configured), the real request fails at once.
    EXPECT_FALSE(SIM_Server::GetInstance().RateChallenge("abc", 3, 3));
}

// Against the game's own server, with the player's files in a folder of the test's.
class PostBattleOnline : public PostBattleTest {
protected:
    void SetUp() override
    {
        PostBattleTest::SetUp();
        // No screen runs here: a switch only records the mode.
        Game::GetInstance().ResetForTests();
        EnsureDirectoryExists(m_user.File("web/challenges"));
        SIM_Server::GetInstance().SetUserFolder(m_user.Path());
        SIM_Server::GetInstance().SetIdentity("Ann", "42");
        ASSERT_TRUE(SIM_Server::GetInstance().SaveUserName("Ann"));
        ASSERT_TRUE(m_local.Start());
        GetInternet().SetServerUrl(m_local.Url());
    }
    void TearDown() override
    {
        SIM_ChallengeReportSink::Install(nullptr);
        OnlineJob::JoinAll();
        GetInternet().SetServerUrl("");
        SIM_Server::GetInstance().SetIdentity("", "");
        SIM_Server::GetInstance().SetUserFolder("");
        // The screen switch below set a mode no screen ran; nothing is left to leave.
        Game::GetInstance().ResetForTests();
        PostBattleTest::TearDown();
    }
    std::vector<std::string> Requests(const std::string& script) const
    {
        std::vector<std::string> found;
        for (const std::string& r : m_local.challenges.GetRequests())
            if (r.find(script) != std::string::npos)
                found.push_back(r);
        return found;
    }

    TempDir m_user;
    LocalChallengeServer m_local;
};

TEST_F(PostBattleOnline, ASurvivalScorePostedLeadsToTheMapsTableWithIt)
{
    ASSERT_NO_FATAL_FAILURE(StartBattle());
    SIM_Scenario* scenario = SIM_Battle::GetInstance().GetScenario();
    GUI_SurvivalPostMortem* survival = EndAsSurvival();
    ASSERT_NE(survival, nullptr);
    SIM_SurvivalScoreSink::Install(&SurvivalScorePoster::GetInstance());
    Press(survival->GetPostOnlineButton());
    SIM_SurvivalScoreSink::Install(nullptr);
    ASSERT_TRUE(survival->IsPosting());
    OnlineJob::JoinAll();
    DrawFrame();
    GUI_WindowManager::GetInstance().DeleteQueuedWindows();
    EXPECT_EQ(GUI_SurvivalPostMortem::GetOpen(), nullptr);
    EXPECT_EQ(GUI_Message::GetOpen(), nullptr) << "nothing went wrong";
    EXPECT_EQ(Game::GetInstance().GetModeId(), GUI_PostMortem::kDeploymentMode);
    GUI_HighScoreTable* table = GUI_HighScoreTable::GetOpen();
    ASSERT_NE(table, nullptr) << "the map's table opens over the deployment screen";
    EXPECT_EQ(table->GetTitle(), GetString(scenario->GetGuiName().c_str()));
    OnlineJob::JoinAll();
    ASSERT_EQ(Requests("getsurvivalscores.php").size(), 1u);
    EXPECT_NE(Requests("getsurvivalscores.php")[0].find("map=" + scenario->GetName()), std::string::npos);
    DrawFrame();
    ASSERT_EQ(table->GetStatus(), OnlineStatus::NONE);
    ASSERT_EQ(table->GetRecords().size(), 1u);
    EXPECT_EQ(table->GetRecords()[0].name, "Ann") << "the score just posted is in it";
}

TEST_F(PostBattleOnline, AWonChallengeIsReportedBeforeItsResultBoxOffersAnything)
{
    SIM_ChallengeReportSink::Install(&ChallengeServerReports::GetInstance());
    ASSERT_NO_FATAL_FAILURE(StartBattle());
    // The challenge as the server holds it.
    ASSERT_TRUE(SIM_Server::GetInstance().AddChallenge("all", "come on", "Arena", ""));
    const std::string id = SIM_Server::GetInstance().GetRequestParam();
    SIM_Scenario* scenario = SIM_Battle::GetInstance().GetScenario();
    scenario->SetChallengeFleet(true);
    scenario->SetChallengeFile(id);
    scenario->SetStringMember("Bob");
    SIM_Battle::GetInstance().Victory();
    scenario->SetChallengeFleet(false);
    scenario->SetChallengeFile("");
    GUI_PostMortem* report = GUI_PostMortem::GetOpen();
    ASSERT_NE(report, nullptr);
    OnlineJob::JoinAll();
    // With the result box still open, the server has counted the victory.
    ASSERT_EQ(Requests("challenge_victory.php").size(), 1u);
    EXPECT_NE(Requests("challenge_victory.php")[0].find("qlmid=" + id), std::string::npos);
    std::string history;
    ReadWholeFile(m_local.DataFile("history/" + id + ".txt"), history);
    EXPECT_NE(history.find(",Victory"), std::string::npos) << history;
    // A message from the box follows it.
    GUI_PostMortemMessage* message = report->GetMessageWindow();
    message->GetField()->SetText("good game");
    DrawFrame();
    // Not sent (no server answered): the box is offered again, text and all.
    GetInternet().SetServerUrl("");
    Press(message->GetSendButton());
    OnlineJob::JoinAll();
    DrawFrame();
    EXPECT_TRUE(message->IsActive());
    EXPECT_EQ(message->GetField()->GetText(), "good game");
    EXPECT_TRUE(Requests("sendmessage.php").empty());
    GetInternet().SetServerUrl(m_local.Url());
    Press(message->GetSendButton());
    OnlineJob::JoinAll();
    DrawFrame();
    EXPECT_FALSE(message->IsActive()) << "sent once, the box is done";
    const auto all = m_local.challenges.GetRequests();
    const auto victory = std::find_if(all.begin(), all.end(),
                                      [](const std::string& r) { return r.find("challenge_victory.php") != std::string::npos; });
    const auto sent = std::find_if(all.begin(), all.end(),
                                   [](const std::string& r) { return r.find("sendmessage.php") != std::string::npos; });
    ASSERT_NE(sent, all.end());
    EXPECT_LT(victory, sent);
    // Leaving the battle screen does not report it again.
    SIM_Battle::GetInstance().RecordOutcome();
    OnlineJob::JoinAll();
    EXPECT_EQ(Requests("challenge_victory.php").size(), 1u);
    scenario->SetStringMember("");
}

// Last in the file: the press leaves the game's current screen set to the
// challenge list (never entered here, as no screen is running).
TEST_F(PostBattleTest, MainMenuAfterAnOnlineChallengeLeadsBackToTheChallengeList)
{
    ASSERT_NO_FATAL_FAILURE(StartBattle());
    SIM_Scenario* scenario = SIM_Battle::GetInstance().GetScenario();
    scenario->SetChallengeFile("c42");
    GUI_BattleGUI::GetInstance().battleTime = 1000.0f;
    GUI_StatsBrowser::Open();
    GUI_StatsBrowser* browser = GUI_StatsBrowser::GetOpen();
    ASSERT_NE(browser, nullptr);
    Press(browser->GetMainMenuButton());
    GUI_WindowManager::GetInstance().DeleteQueuedWindows();
    scenario->SetChallengeFile("");
    EXPECT_EQ(Game::GetInstance().GetModeId(), 6);
    EXPECT_EQ(GUI_StatsBrowser::GetOpen(), nullptr) << "leaving the battle closes its windows";
}

} // namespace
