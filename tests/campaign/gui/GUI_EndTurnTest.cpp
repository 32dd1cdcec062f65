// After Next Turn: the end-turn dialog's summary typed out, its log lines,
// and the pending battles it resolves. A preparation that finds no opponent
// (no server and no shipped fleets, or a broken challenge file) closes the
// please-wait window, tells the player and leaves the battle to try again,
// uncounted; one that succeeds counts it and opens the deployment once.
#include "CampaignAttackGame.h"

#include "campaign/gui/GUI_CampaignBattleManager.h"
#include "campaign/gui/GUI_CampaignControlPanelBttm.h"
#include "campaign/gui/GUI_CampaignDeployment.h"
#include "campaign/gui/GUI_EndTurn.h"
#include "campaign/gui/GUI_EndTurnLog.h"
#include "campaign/gui/GUI_EndTurnStrip.h"
#include "campaign/gui/GUI_EndTurnSummary.h"
#include "campaign/gui/GUI_PendingBattle.h"
#include "campaign/sim/SIM_CampaignAIManager.h"
#include "campaign/sim/SIM_CampaignBattleManager.h"
#include "campaign/sim/SIM_CampaignBattlePreparation.h"
#include "campaign/sim/SIM_CampaignOpponentChooser.h"
#include "campaign/sim/SIM_CampaignOptions.h"
#include "campaign/sim/SIM_CampaignStats.h"
#include "engine/GHashTable.h"
#include "engine/GHttpClient.h"
#include "engine/GIniFile.h"
#include "engine/GSafeFile.h"
#include "engine/LibText.h"
#include "engine/TextHelpers.h"
#include "gui/GUI_Message.h"
#include "gui/GUI_ScrollingWindow.h"
#include "gui/GUI_WindowManager.h"
#include "online/GUI_PleaseWait.h"
#include "platform/IClock.h"
#include "sim/SIM_ChallengeFile.h"
#include "support/LoopbackHttpServer.h"
#include "support/TempDir.h"

#include <SDL2/SDL.h>

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace {

class EndTurn : public CampaignAttackGame {
protected:
    EndTurn() : CampaignAttackGame("endturntest") {}
    void TearDown() override
    {
        SIM_CampaignOpponentChooser::SetListSource(nullptr);
        SIM_CampaignBattlePreparation::SetDownloader(nullptr);
        SetCampaignDataFolder("campaign/data");
        if (GUI_Message* message = GUI_Message::GetOpen())
            GUI_WindowManager::GetInstance().CloseWindow(message);
        Quit();
    }

    void AttackAndEndTurn()
    {
        AttackAndNextTurn(AddFleet(home));
        Frames(2);
    }

    GUI_PendingBattle* StripAt(const SIM_CampaignEncounter* e)
    {
        GUI_EndTurn* dialog = GUI_EndTurn::GetOpen();
        if (!dialog)
            return nullptr;
        for (GUI_PendingBattle* strip : dialog->GetBattles()->GetStrips())
            if (strip->GetBattle() && strip->GetBattle()->encounter == e)
                return strip;
        return nullptr;
    }

    // Presses Resolve and runs frames until the worker is done with it.
    void ResolveAndWait(GUI_PendingBattle* strip)
    {
        Click(*strip->GetResolveButton());
        WaitForWorker();
    }
    static void WaitForWorker()
    {
        // A quick worker may already have deployed, closing the dialog.
        for (int i = 0; i < 2000 && GUI_EndTurn::GetOpen() && GUI_EndTurn::GetOpen()->GetBattles()->IsPreparing(); ++i) {
            Frames(1);
            SDL_Delay(1);
        }
        Frames(2);
    }

    static int Fought()
    {
        const SIM_CampaignStats::Entry* s = SIM_CampaignProgress::GetInstance().GetStats().Find("battles_fought");
        return s && s->count > 0 ? s->count : 0;
    }

    static bool IsPending(const SIM_CampaignEncounter* e)
    {
        for (const auto& b : SIM_CampaignBattleManager::GetInstance().GetPending())
            if (b->encounter == e)
                return true;
        return false;
    }

    // A failed try: no waiting window, a message, the battle back in the list
    // and open to another press, nothing counted and no way past the dialog.
    void ExpectKeptForRetry(GUI_PendingBattle* strip)
    {
        EXPECT_FALSE(GUI_PleaseWait::IsOpen());
        ASSERT_NE(GUI_EndTurn::GetOpen(), nullptr);
        EXPECT_FALSE(GUI_EndTurn::GetOpen()->GetBattles()->IsPreparing());
        EXPECT_EQ(GUI_CampaignDeployment::GetOpen(), nullptr);
        ASSERT_NE(GUI_Message::GetOpen(), nullptr);
        EXPECT_EQ(GUI_Message::GetOpen()->GetText(), GetString("CAMPAIGN_NO_OPPONENT"));
        GUI_WindowManager::GetInstance().CloseWindow(GUI_Message::GetOpen());
        Frames(1);
        EXPECT_TRUE(IsPending(enemy));
        EXPECT_EQ(SIM_CampaignBattleManager::GetInstance().GetCurrent(), nullptr);
        EXPECT_EQ(Fought(), 0);
        EXPECT_FALSE(strip->IsResolved());
        EXPECT_TRUE(strip->GetResolveButton()->enabled);
        EXPECT_FALSE(GUI_EndTurn::GetOpen()->GetContinueButton()->enabled);
    }
};

TEST_F(EndTurn, TheSummaryIsTypedOutAndTheLogWritesEachChange)
{
    SIM_CampaignProgress& progress = SIM_CampaignProgress::GetInstance();
    progress.crew = 12345;
    progress.cash = 1234567;
    ManualClock clock(1000.0);
    GUI_EndTurnSummary summary(&clock);
    summary.Build();
    EXPECT_EQ(summary.GetText(0), GetString("CAMPAIGN_ENDTURN_CREW"));
    EXPECT_EQ(summary.GetText(1), std::string("12,345 ") + GetString("CAMPAIGN_ENDTURN_CREW"));
    EXPECT_EQ(summary.GetText(3),
              "+" + FormatThousands(GetCampaignCrewPerTurn()) + " " + GetString("CAMPAIGN_ENDTURN_RECRUITS"));
    EXPECT_EQ(summary.GetText(5), "1,234,567 CR");
    EXPECT_EQ(summary.GetText(7), "+" + FormatThousands(static_cast<long long>(GetCampaignIncomePerTurn())) + " CR");
    char territory[64];
    snprintf(territory, sizeof territory, "%.0f%% ", progress.GetConquestRatio() * 100.0f);
    EXPECT_EQ(summary.GetText(9), territory + std::string(GetString("CAMPAIGN_ENDTURN_CONTROLLED")));

    // One character every 20 ms, from the first label on through the values.
    EXPECT_EQ(summary.GetTypedText(), "");
    clock.Advance(19.9);
    EXPECT_EQ(summary.GetTypedText(), "");
    clock.Advance(0.1);
    EXPECT_EQ(summary.GetTypedText(), summary.GetText(0).substr(0, 1));
    clock.Set(1000.0 + 20.0 * (summary.GetText(0).size() + 2));
    EXPECT_EQ(summary.GetTypedText(), summary.GetText(0) + summary.GetText(1).substr(0, 2));
    // Blanks cost nothing: the glyph after one comes with it.
    clock.Set(1000.0 + 20.0 * (summary.GetText(0).size() + 7));
    EXPECT_EQ(summary.GetTypedText(), summary.GetText(0) + "12,345 C");
    std::string all;
    for (int i = 0; i < 2 * GUI_EndTurnSummary::kRows; ++i)
        all += summary.GetText(i);
    clock.Advance(1e6);
    EXPECT_EQ(summary.GetTypedText(), all);

    // Log lines: a sign only for a rise, two decimals of a per cent.
    EXPECT_EQ(GUI_EndTurnStrip::LineText("Loyalty", 0.05f, "a factory"), "Loyalty +5.00% a factory");
    EXPECT_EQ(GUI_EndTurnStrip::LineText("Threat", 0.0f, "calm"), "Threat 0.00% calm");
    EXPECT_EQ(GUI_EndTurnStrip::LineText("Threat", -0.025f, "won"), "Threat -2.50% won");
    EXPECT_EQ(GUI_EndTurnStrip::NaturalHeight(0), 62);
    EXPECT_EQ(GUI_EndTurnStrip::NaturalHeight(1), 62);
    EXPECT_EQ(GUI_EndTurnStrip::NaturalHeight(2), 63);
    EXPECT_EQ(GUI_EndTurnStrip::NaturalHeight(3), 81);

    // A planet whose loyalty and threat moved gets a strip, its lines in
    // order, green where it went the player's way; the strips fill the pane.
    for (SIM_CampaignEncounter* e : SIM_CampaignEncounter::GetAll())
        ClearReasonedChanges(e->loyalty), ClearReasonedChanges(e->ai->threat);
    home->loyalty.value = 0.5f;
    home->ai->threat.value = 0.5f;
    AddReasonedChange(0.05f, "liked", true, home->loyalty);
    const std::string reason = "their spies report every move our fleets make along the border worlds";
    home->ai->AddThreatChange(0.1f, reason, false);
    GUI_EndTurn* dialog = GUI_EndTurn::Open();
    Frames(1);
    ASSERT_EQ(dialog->GetLog()->GetStrips().size(), 1u);
    const GUI_EndTurnStrip* strip = dialog->GetLog()->GetStrips()[0];
    EXPECT_EQ(strip->GetEncounter(), home);
    ASSERT_EQ(strip->GetLines().size(), 2u);
    EXPECT_EQ(strip->GetLines()[0], std::string(GetString("ENDTURN_LOYALTY")) + " +5.00% liked");
    EXPECT_EQ(strip->GetColours()[0], GUI_EndTurnStrip::kGoodColour);
    EXPECT_EQ(strip->GetColours()[1], GUI_EndTurnStrip::kBadColour);
    // A long reason wraps onto rows of its own colour, each inside the text
    // column, which ends 4 px short of the strip's inner edge; the strip
    // grows by 18 px a row, so every word is read.
    const int width = static_cast<int>(strip->right - strip->left);
    const int room = GUI_EndTurnStrip::TextRoom(width);
    EXPECT_EQ(static_cast<int>(strip->GetTextX()) + room, static_cast<int>(strip->right) - 6);
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    ASSERT_GT(text.GetTextWidth(strip->GetLines()[1]), room) << "the reason must be too long for one row";
    const std::vector<std::string>& rows = strip->GetRows();
    ASSERT_GE(rows.size(), 3u);
    EXPECT_EQ(rows[0], strip->GetLines()[0]);
    EXPECT_EQ(strip->GetRowColours()[0], GUI_EndTurnStrip::kGoodColour);
    std::string joined;
    for (size_t i = 1; i < rows.size(); ++i) {
        EXPECT_LE(text.GetTextWidth(rows[i]), room) << rows[i];
        EXPECT_EQ(strip->GetRowColours()[i], GUI_EndTurnStrip::kBadColour);
        joined += (i > 1 ? " " : "") + rows[i];
    }
    EXPECT_EQ(joined, strip->GetLines()[1]);
    // Greedy: the next row's first word would not have fitted on the row before.
    const std::string& second = rows[2];
    EXPECT_GT(text.GetTextWidth(rows[1] + " " + second.substr(0, second.find(' '))), room);
    EXPECT_EQ(strip->GetHeight(), GUI_EndTurnStrip::NaturalHeight(static_cast<int>(rows.size())));
    EXPECT_EQ(strip->top, dialog->GetLog()->GetArea().top);
    EXPECT_EQ(strip->bottom, dialog->GetLog()->GetArea().bottom);
    // No battle: the list says so and Continue is open.
    EXPECT_EQ(dialog->GetBattles()->GetNoBattlesText(), GetString("CAMPAIGN_BATTLES_NONE"));
    EXPECT_EQ(dialog->GetBattles()->GetScrollBar(), nullptr);
    EXPECT_TRUE(dialog->GetContinueButton()->enabled);
    Click(*dialog->GetContinueButton());
    SettleTransition();
    Frames(2);
    EXPECT_EQ(GUI_EndTurn::GetOpen(), nullptr);
    EXPECT_FALSE(home->loyalty.changed) << "the turn's changes are read once";
}

TEST_F(EndTurn, TheTurnsReportOutlivesTheBattlesFoughtFromIt)
{
    for (SIM_CampaignEncounter* e : SIM_CampaignEncounter::GetAll())
        ClearReasonedChanges(e->loyalty), ClearReasonedChanges(e->ai->threat);
    home->loyalty.value = 0.5f;
    AddReasonedChange(0.05f, "liked", true, home->loyalty);
    GUI_EndTurn::Open();
    Frames(1);
    ASSERT_EQ(GUI_EndTurn::GetOpen()->GetLog()->GetStrips().size(), 1u);
    // A battle's deployment takes the report down, and its end opens it again.
    GUI_EndTurn::CloseLater();
    Frames(2);
    ASSERT_EQ(GUI_EndTurn::GetOpen(), nullptr);
    GUI_EndTurn* again = GUI_EndTurn::Open();
    Frames(1);
    ASSERT_EQ(again->GetLog()->GetStrips().size(), 1u) << "the report is whole again";
    EXPECT_EQ(again->GetLog()->GetStrips()[0]->GetEncounter(), home);
    // Continue reads it for the last time.
    Click(*again->GetContinueButton());
    SettleTransition();
    Frames(2);
    EXPECT_TRUE(home->loyalty.changes.empty());
    EXPECT_FALSE(SIM_CampaignBattleManager::GetInstance().IsTurnEndOpen());
    GUI_EndTurn::Open();
    Frames(1);
    EXPECT_TRUE(GUI_EndTurn::GetOpen()->GetLog()->GetStrips().empty());
    GUI_EndTurn::CloseOpen();
}

TEST_F(EndTurn, ASaveOpenedAgainWithItsReportWaitingShowsTheSameReports)
{
    // The turn's end with a battle: the report waits, its Reports pane full.
    AttackAndEndTurn();
    GUI_EndTurn* report = GUI_EndTurn::GetOpen();
    ASSERT_NE(report, nullptr);
    ASSERT_NE(StripAt(enemy), nullptr);
    const auto reports = [](const GUI_EndTurn* dialog) {
        std::vector<std::pair<int, std::vector<std::string>>> out;
        for (const GUI_EndTurnStrip* strip : dialog->GetLog()->GetStrips())
            out.emplace_back(strip->GetEncounter()->encounterId, strip->GetLines());
        return out;
    };
    const auto before = reports(report);
    ASSERT_FALSE(before.empty());
    std::vector<uint32_t> colours;
    for (const GUI_EndTurnStrip* strip : report->GetLog()->GetStrips())
        colours.insert(colours.end(), strip->GetColours().begin(), strip->GetColours().end());

    // Left and opened again: the same report, planet by planet and line by line.
    Quit();
    ASSERT_TRUE(GUI_Campaign::OpenCampaign("endturntest"));
    SettleTransition();
    Frames(2);
    report = GUI_EndTurn::GetOpen();
    ASSERT_NE(report, nullptr) << "the report waits before the map";
    EXPECT_EQ(reports(report), before);
    std::vector<uint32_t> coloursAgain;
    for (const GUI_EndTurnStrip* strip : report->GetLog()->GetStrips())
        coloursAgain.insert(coloursAgain.end(), strip->GetColours().begin(), strip->GetColours().end());
    EXPECT_EQ(coloursAgain, colours) << "in the player's favour or not, as before";

    // Once the turn's end is over, a save holds no report.
    GUI_EndTurn::CloseOpen();
    SIM_CampaignBattleManager::GetInstance().Clear();
    SIM_CampaignEncounter::ClearAllChangeLogs();
    ASSERT_TRUE(SIM_CampaignProgress::GetInstance().Save());
    std::string saved;
    ASSERT_TRUE(ReadWholeFile(SIM_CampaignProgress::GetInstance().GetSaveFolder() + "/progress.txt", saved));
    EXPECT_EQ(saved.find("changed = "), std::string::npos);
}

TEST_F(EndTurn, QuittingTheGameWithTheReportOpenLeavesCleanly)
{
    // The report still open at exit closes with the campaign screen, after
    // the map's planet views have gone: it must not reach for them.
    GUI_EndTurn::Open();
    Frames(1);
    ASSERT_NE(GUI_EndTurn::GetOpen(), nullptr);
    // As the game ends on a closed window: its shutdown, then the exit.
    EXPECT_EXIT(
        {
            Game::GetInstance().Shutdown();
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(EndTurn, AFailedPreparationKeepsTheBattleUncountedAndASuccessDeploysOnce)
{
    AttackAndEndTurn();
    GUI_EndTurn* dialog = GUI_EndTurn::GetOpen();
    ASSERT_NE(dialog, nullptr) << "Next Turn opens the end-turn dialog";
    GUI_PendingBattle* strip = StripAt(enemy);
    ASSERT_NE(strip, nullptr);
    EXPECT_EQ(strip->GetText(), "First Fleet " + std::string(GetString("CAMPAIGN_PENDINGBATTLE_ATTACKS")) + " " +
                                    GetString(enemy->GetGuiName().c_str()));
    EXPECT_FALSE(dialog->GetContinueButton()->enabled);
    EXPECT_EQ(strip->top, dialog->GetBattles()->GetListArea().top);
    EXPECT_EQ(strip->bottom - strip->top, 60);

    // No server and no shipped fleets: nobody to fight.
    TempDir nothing;
    SetCampaignDataFolder(nothing.Path());
    SIM_CampaignOpponentChooser::SetListSource([](const std::string&, float, float, std::string&) {
        SDL_Delay(300);
        return false;
    });
    Click(*strip->GetResolveButton());
    // Meanwhile the waiting window holds the keys and the way past the dialog.
    ASSERT_TRUE(GUI_PleaseWait::IsOpen());
    PressKey(SDL_SCANCODE_ESCAPE);
    EXPECT_TRUE(GUI_PleaseWait::IsOpen());
    EXPECT_EQ(GUI_ConfirmDialog::GetOpen(), nullptr);
    EXPECT_FALSE(dialog->GetContinueButton()->enabled);
    WaitForWorker();
    ExpectKeptForRetry(strip);
    SetCampaignDataFolder("campaign/data");

    // The server names a fleet whose file arrives broken.
    SIM_CampaignOpponentChooser::SetListSource([](const std::string&, float, float, std::string& text) {
        text = "##,broken_fleet,\"qlm_base\"\n";
        return true;
    });
    SIM_CampaignBattlePreparation::SetDownloader([](const std::string& id) {
        return WriteFileAtomically(SIM_ChallengeFile::ChallengePath(id), "not a challenge");
    });
    ResolveAndWait(strip);
    ExpectKeptForRetry(strip);
    std::remove(SIM_ChallengeFile::ChallengePath("broken_fleet").c_str());

    // Offline with the shipped fleets: prepared, counted, deployed once; the
    // planet keeps its own name and picture.
    const std::string name = enemy->GetGuiName(), icon = enemy->GetIcon();
    SIM_CampaignOpponentChooser::SetListSource(nullptr);
    SIM_CampaignBattlePreparation::SetDownloader(nullptr);
    ResolveAndWait(strip);
    Frames(2);
    EXPECT_FALSE(GUI_PleaseWait::IsOpen());
    EXPECT_EQ(GUI_EndTurn::GetOpen(), nullptr) << "the deployment takes the dialog's place";
    ASSERT_NE(GUI_CampaignDeployment::GetOpen(), nullptr);
    int deployments = 0;
    for (GUI_WindowBase* w : GUI_WindowManager::GetInstance().GetTopLevelWindows())
        deployments += dynamic_cast<GUI_CampaignDeployment*>(w) != nullptr;
    EXPECT_EQ(deployments, 1);
    EXPECT_EQ(Fought(), 1);
    EXPECT_FALSE(IsPending(enemy));
    ASSERT_NE(SIM_CampaignBattleManager::GetInstance().GetCurrent(), nullptr);
    EXPECT_EQ(SIM_CampaignBattleManager::GetInstance().GetCurrent()->encounter, enemy);
    EXPECT_FALSE(enemy->opponentName.empty());
    EXPECT_EQ(enemy->GetGuiName(), name);
    EXPECT_EQ(enemy->GetIcon(), icon);
    EXPECT_EQ(enemy->GetChallengeId(), "") << "a campaign battle is no online challenge";
    EXPECT_FALSE(GUI_CampaignMap::Get()->visible) << "the map waits behind the deployment";
    GUI_CampaignDeployment::CloseOpen();
    Frames(1);
    EXPECT_TRUE(GUI_CampaignMap::Get()->visible);
}

TEST_F(EndTurn, CancellingThePreparationPutsTheBattleBackAtOnceAndStopsItsDownload)
{
    AttackAndEndTurn();
    GUI_EndTurn* dialog = GUI_EndTurn::GetOpen();
    ASSERT_NE(dialog, nullptr);
    GUI_PendingBattle* strip = StripAt(enemy);
    ASSERT_NE(strip, nullptr);
    // The server names a fleet and holds its file until the gate opens.
    std::mutex mutex;
    std::condition_variable gate;
    bool open = false;
    std::atomic<int> asked{0}, answered{0};
    LoopbackHttpServer server;
    server.server.Get("/quillomar/server/challenges/held_fleet.qlm",
                      [&](const httplib::Request&, httplib::Response& res) {
                          ++asked;
                          std::unique_lock<std::mutex> lock(mutex);
                          gate.wait_for(lock, std::chrono::seconds(60), [&] { return open; });
                          res.set_content("not a challenge", "text/plain");
                          ++answered;
                      });
    ASSERT_TRUE(server.Start());
    const std::string url = GetInternet().GetServerUrl();
    GetInternet().SetServerUrl(server.Url());
    SIM_CampaignOpponentChooser::SetListSource([](const std::string&, float, float, std::string& text) {
        text = "##,held_fleet,\"qlm_base\"\n";
        return true;
    });
    const auto release = [&] {
        {
            std::lock_guard<std::mutex> lock(mutex);
            open = true;
        }
        gate.notify_all();
    };

    Click(*strip->GetResolveButton());
    GUI_PleaseWait* wait = GUI_PleaseWait::GetOpen();
    ASSERT_NE(wait, nullptr);
    ASSERT_NE(wait->GetCancelButton(), nullptr) << "the wait has its Cancel, as every other wait";
    for (int i = 0; i < 5000 && asked.load() == 0; ++i)
        SDL_Delay(1);
    ASSERT_EQ(asked.load(), 1) << "the fleet's file was asked for";
    Click(*wait->GetCancelButton());
    Frames(1);
    // At once: the box gone, the battle back in the list and open to another
    // press, nothing counted, nothing said, no way past the dialog.
    EXPECT_FALSE(GUI_PleaseWait::IsOpen());
    EXPECT_TRUE(IsPending(enemy));
    EXPECT_EQ(SIM_CampaignBattleManager::GetInstance().GetCurrent(), nullptr);
    EXPECT_FALSE(strip->IsResolved());
    EXPECT_TRUE(strip->GetResolveButton()->enabled);
    EXPECT_FALSE(dialog->GetContinueButton()->enabled);
    // The download stops without the server's answer; the worker is joined.
    for (int i = 0; i < 5000 && dialog->GetBattles()->IsPreparing(); ++i) {
        Frames(1);
        SDL_Delay(1);
    }
    EXPECT_FALSE(dialog->GetBattles()->IsPreparing());
    EXPECT_EQ(answered.load(), 0) << "the request stopped before the server ever answered";
    release();
    EXPECT_EQ(GUI_Message::GetOpen(), nullptr) << "a cancel is no failure to tell";
    EXPECT_EQ(Fought(), 0);
    EXPECT_EQ(GUI_CampaignDeployment::GetOpen(), nullptr);
    EXPECT_FALSE(dialog->GetContinueButton()->enabled);

    // Pressed again, with the shipped fleets, it is prepared and deployed.
    GetInternet().SetServerUrl(url);
    SIM_CampaignOpponentChooser::SetListSource(nullptr);
    ResolveAndWait(strip);
    EXPECT_EQ(Fought(), 1);
    ASSERT_NE(GUI_CampaignDeployment::GetOpen(), nullptr);
    GUI_CampaignDeployment::CloseOpen();
    Frames(1);
}

TEST_F(EndTurn, TheListShowsThreeStripsAtATimeAndTellsEachKindOfBattle)
{
    // Every AI attack stands: none is futile and there is no cap.
    GetCampaignOptions().LoadFromText("config", "[config]\nfutile_attacks_threshold = 0\n");
    std::vector<SIM_CampaignEncounter*> others;
    for (SIM_CampaignEncounter* e : GUI_Campaign::GetInstance().GetDefinition()->GetEncounters())
        if (e != home && e->territory != SIM_CampaignEncounter::PLAYER)
            others.push_back(e);
    ASSERT_GE(others.size(), 5u);
    SIM_CampaignEncounter* source = others[4];
    SIM_CampaignBattleManager& manager = SIM_CampaignBattleManager::GetInstance();
    // A held planet with one fleet, home with two, a held planet with none.
    others[0]->territory = SIM_CampaignEncounter::PLAYER;
    SIM_CampaignFleet* single = AddFleet(others[0]);
    single->guiName = "Lone Guard";
    AddFleet(home);
    AddFleet(home);
    others[1]->territory = SIM_CampaignEncounter::PLAYER;
    manager.AddAIAttack(others[0], source);
    manager.AddAIAttack(home, source);
    manager.AddAIAttack(others[1], source);
    for (SIM_CampaignEncounter* target : {others[2], others[3]}) {
        SIM_CampaignFleet* f = AddFleet(home);
        f->SetLocation(target);
        manager.AddPlayerAttack(target, f);
    }
    manager.ProcessEndOfTurn();
    ReloadCampaignOptions();
    ASSERT_EQ(manager.GetPending().size(), 5u);

    static int detailsOpened = 0;
    static SIM_CampaignEncounter* detailsOf = nullptr;
    auto* const openDetails = GUI_PendingBattle::openConquestDetails;
    GUI_PendingBattle::openConquestDetails = [](SIM_CampaignEncounter* e) {
        ++detailsOpened;
        detailsOf = e;
    };
    GUI_EndTurn* dialog = GUI_EndTurn::Open();
    Frames(1);
    GUI_CampaignBattleManager* list = dialog->GetBattles();
    const auto& strips = list->GetStrips();
    ASSERT_EQ(strips.size(), 5u);
    const std::string name0 = GetString(others[0]->GetGuiName().c_str());
    EXPECT_EQ(strips[0]->GetText(), "Lone Guard " + std::string(GetString("CAMPAIGN_PENDINGBATTLE_DEFENDS")) + " " + name0);
    EXPECT_EQ(strips[1]->GetText(), std::string(GetString("CAMPAIGN_PENDINGBATTLE_DEFENDS_MULTIPLE")) + " " +
                                        GetString(home->GetGuiName().c_str()));
    EXPECT_EQ(strips[2]->GetText(), std::string(GetString("CAMPAIGN_PENDINGBATTLE_AICONQUEST")) + " " +
                                        GetString(others[1]->GetGuiName().c_str()));
    EXPECT_EQ(strips[2]->GetResolveButton()->GetText(), GetString("CAMPAIGN_RESOLVE_AICONQUEST"));
    EXPECT_TRUE(strips[2]->IsResolved()) << "a conquest needs no fight";
    EXPECT_FALSE(strips[0]->IsResolved());
    EXPECT_FALSE(dialog->GetContinueButton()->enabled);

    // 186 pixels of list: a strip is placed while its top is above the
    // bottom less 60, so three show and the bar scrolls over two more.
    const GRect& area = list->GetListArea();
    ASSERT_EQ(area.bottom - area.top, 186);
    EXPECT_EQ(list->GetShownCount(), 3);
    EXPECT_EQ(strips[2]->top, area.top + 120);
    EXPECT_EQ(strips[2]->right, area.right - 25);
    EXPECT_EQ(strips[3]->GetParent(), nullptr);
    ASSERT_NE(list->GetScrollBar(), nullptr);
    EXPECT_EQ(list->GetScrollBar()->maximum, 2);
    list->GetScrollBar()->position = 2;
    list->GetScrollBar()->changed = true;
    Frames(1);
    EXPECT_EQ(strips[2]->top, area.top);
    EXPECT_EQ(strips[4]->top, area.top + 120);
    EXPECT_EQ(strips[1]->GetParent(), nullptr);

    // The conquest's button opens its details, as often as it is pressed.
    Click(*strips[2]->GetResolveButton());
    Click(*strips[2]->GetResolveButton());
    EXPECT_EQ(detailsOpened, 2);
    EXPECT_EQ(detailsOf, others[1]);
    GUI_PendingBattle::openConquestDetails = openDetails;

    // The conquest leaves the list with the dialog; the fights stay.
    GUI_EndTurn::CloseOpen();
    Frames(1);
    ASSERT_EQ(manager.GetPending().size(), 4u);
    for (const auto& b : manager.GetPending())
        EXPECT_NE(b->kind, SIM_PendingBattle::AI_CONQUEST);
    manager.Clear();
}

} // namespace
