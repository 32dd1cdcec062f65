// Next Turn with a battle waiting, through the real window: the turn's report
// over the dark backdrop, Resolve with the server down and no shipped fleets
// (the waiting window closes, the player is told, the battle stays), then
// Resolve against a server on this machine that names and sends the
// opponent: the worker fetches it and the deployment opens, once.
#include "CampaignWindowRoad.h"

#include "campaign/gui/GUI_Campaign.h"
#include "campaign/gui/GUI_CampaignBattleManager.h"
#include "campaign/gui/GUI_CampaignControlPanelBttm.h"
#include "campaign/gui/GUI_CampaignDeployment.h"
#include "campaign/gui/GUI_CampaignLoader.h"
#include "campaign/gui/GUI_CampaignLoaderStrip.h"
#include "campaign/gui/GUI_EndTurn.h"
#include "campaign/gui/GUI_EndTurnLog.h"
#include "campaign/gui/GUI_EndTurnStrip.h"
#include "campaign/gui/GUI_EndTurnSummary.h"
#include "campaign/gui/GUI_PendingBattle.h"
#include "campaign/sim/SIM_Campaign.h"
#include "campaign/sim/SIM_CampaignAIManager.h"
#include "campaign/sim/SIM_CampaignBattleManager.h"
#include "campaign/sim/SIM_CampaignEncounter.h"
#include "campaign/sim/SIM_CampaignOptions.h"
#include "campaign/sim/SIM_CampaignProgress.h"
#include "campaign/sim/SIM_CampaignStats.h"
#include "sim/SIM_DeployedFleet.h"
#include "engine/GFileHelpers.h"
#include "engine/GHashTable.h"
#include "engine/GHttpClient.h"
#include "engine/LibText.h"
#include "frontend/GUI_MainMenu.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_ConfirmDialog.h"
#include "gui/GUI_Message.h"
#include "gui/GUI_TextEditWindow.h"
#include "gui/GUI_WindowManager.h"
#include "online/GUI_PleaseWait.h"
#include "support/LoopbackHttpServer.h"
#include "support/TempDir.h"
#include "CampaignTestFleet.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>
#include <fstream>
#include <sstream>

namespace {

bool Pending(const SIM_CampaignEncounter* e)
{
    for (const auto& b : SIM_CampaignBattleManager::GetInstance().GetPending())
        if (b->encounter == e)
            return true;
    return false;
}

// Frames (with a little real time for the worker) until the list is no longer preparing.
void WaitForWorker()
{
    for (int i = 0; i < 3000 && GUI_EndTurn::GetOpen() && GUI_EndTurn::GetOpen()->GetBattles()->IsPreparing(); ++i) {
        RunGameFrames(1);
        SDL_Delay(2);
    }
    RunGameFrames(3);
}

std::string FirstPoolFleet()
{
    std::ifstream pool(CampaignDataPath("opponents/pool.txt"));
    std::string line;
    while (std::getline(pool, line)) {
        if (line.rfind("##,", 0) != 0)
            continue;
        const std::string id = line.substr(3, line.find(',', 3) - 3);
        std::ifstream file(CampaignDataPath("opponents/" + id + ".qlm"), std::ios::binary);
        std::stringstream bytes;
        bytes << file.rdbuf();
        if (!bytes.str().empty())
            return bytes.str();
    }
    return std::string();
}

} // namespace

TEST(GLEndTurnRoad, NextTurnReportsAFailedTryKeepsTheBattleAndTheServersFleetIsDeployedOnce)
{
    CampaignWindowGame play(7);
    ASSERT_TRUE(play.Started());

    GUI_CampaignMap* map = CreateCampaignFromTitle();
    ASSERT_NE(map, nullptr);
    SIM_CampaignEncounter* home = map->GetCampaign()->GetHomeworldEncounter();
    SIM_CampaignEncounter* enemy = EnemyNeighbour(home);
    ASSERT_NE(enemy, nullptr);
    // A fleet's name as long as the player may type it.
    SIM_CampaignFleet* attacker = MakeTestFleet(home);
    attacker->guiName = "The Unbroken Line Of The Outer Wormhole Watch Reserve";
    SendTestAttack(attacker, enemy);
    RunGameFrames(2);

    // Next Turn: the report, over black where the backdrop does not reach.
    ClickCentre(map->GetBottomPanel()->GetNextTurnButton());
    Settle();
    GUI_EndTurn* report = GUI_EndTurn::GetOpen();
    ASSERT_NE(report, nullptr);
    EXPECT_FALSE(report->GetContinueButton()->enabled);
    GUI_PendingBattle* strip = nullptr;
    for (GUI_PendingBattle* each : report->GetBattles()->GetStrips())
        if (each->GetBattle()->encounter == enemy)
            strip = each;
    ASSERT_NE(strip, nullptr);
    RunGameFrames(10);
    TextureData shot = Screenshot(play.UserDir());
    ASSERT_GT(shot.width, 0);
    EXPECT_LT(Brightness(shot, 6, 6, 4), 5.0) << "black above the backdrop's band";
    EXPECT_GT(Brightness(shot, (report->left + report->right) / 2, report->top + 4, 2), 40.0) << "the dialog's frame";
    // The strip's box and text stand out from the list's dark panel.
    EXPECT_GT(Brightness(shot, strip->GetInner().left + 14, strip->top + 8, 6), 20.0);
    // The long name stays inside its strip, cut with "...": the gap between
    // the battles and the log is as dark on the text's line as below it.
    LibText& text = LibText::GetInstance();
    text.SetFont(GUI_PendingBattle::kFont, GUI_PendingBattle::kFontSize);
    const std::string& shown = strip->GetShownText();
    ASSERT_LT(shown.size(), strip->GetText().size());
    EXPECT_EQ(shown.substr(shown.size() - 3), "...");
    EXPECT_LE(strip->GetInner().left + 10 + text.GetTextWidth(shown), strip->GetInner().right - 10);
    const int gapX = (report->clientLeft + report->clientRight) / 2;
    EXPECT_LT(std::fabs(Brightness(shot, gapX, strip->top + 8, 2) - Brightness(shot, gapX, strip->bottom - 4, 2)), 20.0)
        << "no text runs over the strip's end";

    // The server is down and no fleet ships with the game: nobody to fight.
    LoopbackSocket closed(false);
    GetInternet().SetServerUrl("http://127.0.0.1:" + std::to_string(closed.Port()));
    TempDir nothing;
    SetCampaignDataFolder(nothing.Path());
    ClickCentre(strip->GetResolveButton());
    WaitForWorker();
    SetCampaignDataFolder("campaign/data");
    EXPECT_FALSE(GUI_PleaseWait::IsOpen());
    ASSERT_EQ(GUI_EndTurn::GetOpen(), report);
    EXPECT_EQ(GUI_CampaignDeployment::GetOpen(), nullptr);
    ASSERT_NE(GUI_Message::GetOpen(), nullptr) << "the player is told";
    PressKey(SDL_SCANCODE_ESCAPE);
    EXPECT_EQ(GUI_Message::GetOpen(), nullptr);
    EXPECT_TRUE(Pending(enemy));
    EXPECT_TRUE(strip->GetResolveButton()->enabled);
    EXPECT_FALSE(report->GetContinueButton()->enabled);

    // A server on this machine names a fleet and sends its file.
    const std::string fleetFile = FirstPoolFleet();
    ASSERT_FALSE(fleetFile.empty());
    std::atomic<int> lists{0}, files{0};
    // The list is held back until the test has seen the waiting window (ten
    // seconds at most): however slow the frames, the fetch is still running.
    std::atomic<bool> answer{false};
    LoopbackHttpServer server;
    server.server.Get("/quillomar/server/qlm_campaign_getopponentlist.php",
                      [&](const httplib::Request&, httplib::Response& res) {
                          ++lists;
                          for (int i = 0; i < 1000 && !answer; ++i)
                              std::this_thread::sleep_for(std::chrono::milliseconds(10));
                          res.set_content("##,srv_endturn,\"qlm_base\"\n", "text/plain");
                      });
    server.server.Get("/quillomar/server/challenges/srv_endturn.qlm",
                      [&](const httplib::Request&, httplib::Response& res) {
                          ++files;
                          res.set_content(fleetFile, "application/octet-stream");
                      });
    ASSERT_TRUE(server.Start());
    GetInternet().SetServerUrl(server.Url());
    ClickCentre(strip->GetResolveButton());
    ASSERT_TRUE(GUI_PleaseWait::IsOpen()) << "the fetch runs behind the waiting window";
    // One cell of the running light is lit blue, the others grey.
    const GUI_PleaseWait* wait = GUI_PleaseWait::GetOpen();
    TextureData waiting = Screenshot(play.UserDir());
    ASSERT_GT(waiting.width, 0);
    EXPECT_EQ(LitPleaseWaitCells(waiting, *wait), 1);
    // A second press meanwhile is swallowed: one fetch, one deployment.
    ClickCentre(strip->GetResolveButton());
    answer = true;
    WaitForWorker();
    RunGameFrames(3);
    EXPECT_FALSE(GUI_PleaseWait::IsOpen());
    EXPECT_EQ(GUI_EndTurn::GetOpen(), nullptr);
    ASSERT_NE(GUI_CampaignDeployment::GetOpen(), nullptr);
    int deployments = 0;
    for (GUI_WindowBase* w : GUI_WindowManager::GetInstance().GetTopLevelWindows())
        deployments += dynamic_cast<GUI_CampaignDeployment*>(w) != nullptr;
    EXPECT_EQ(deployments, 1);
    EXPECT_EQ(lists.load(), 1);
    EXPECT_EQ(files.load(), 1);
    EXPECT_EQ(enemy->opponentName, "srv_endturn");
    EXPECT_FALSE(Pending(enemy));
    EXPECT_EQ(SIM_CampaignProgress::GetInstance().GetStats().Find("battles_fought")->count, 1);
    EXPECT_FALSE(GUI_CampaignDeployment::GetOpen()->GetEnemyFleet()->GetShips().empty());

    GetInternet().SetServerUrl("");
    GUI_Campaign::QuitCampaignToMenu();
    Settle();
}

// A turn's report read, the campaign left and loaded: the next turn's report
// tells of that turn alone. The report used to wait in the save after
// Continue, so the load brought it back under the next one.
TEST(GLEndTurnRoad, AReportReadThenQuitAndLoadIsNotToldAgainWithTheNextTurn)
{
    CampaignWindowGame play(11);
    ASSERT_TRUE(play.Started());
    GUI_CampaignMap* map = CreateCampaignFromTitle("twice");
    ASSERT_NE(map, nullptr);
    ClickCentre(map->GetBottomPanel()->GetNextTurnButton());
    Settle();
    ASSERT_NE(GUI_EndTurn::GetOpen(), nullptr);
    ASSERT_FALSE(GUI_EndTurn::GetOpen()->GetLog()->GetStrips().empty()) << "the first turn moves loyalties";
    ASSERT_TRUE(GUI_EndTurn::GetOpen()->GetContinueButton()->enabled) << "no battle in the first turn";
    ClickCentre(GUI_EndTurn::GetOpen()->GetContinueButton());
    Settle();
    ASSERT_EQ(GUI_EndTurn::GetOpen(), nullptr);

    // Quit -> Yes, Campaign, the campaign's Load.
    ClickCentre(GUI_CampaignMap::Get()->GetBottomPanel()->GetQuitButton());
    ASSERT_NE(GUI_ConfirmDialog::GetOpen(), nullptr);
    ClickCentre(GUI_ConfirmDialog::GetOpen()->GetYesButton());
    Settle();
    ASSERT_EQ(Game::GetInstance().GetModeId(), GUI_Campaign::kMainMenu);
    ClickCentre(GUI_MainMenu::GetInstance().GetCampaignButton());
    GUI_CampaignLoader* loader = GUI_CampaignLoader::GetOpen();
    ASSERT_NE(loader, nullptr);
    GUI_CampaignLoaderStrip* saved = nullptr;
    for (GUI_CampaignLoaderStrip* s : loader->GetStrips())
        if (s->GetFolderName() == "twice")
            saved = s;
    ASSERT_NE(saved, nullptr);
    ClickCentre(saved->GetLoadButton());
    Settle();
    ASSERT_EQ(Game::GetInstance().GetModeId(), GUI_Campaign::kModeId);
    EXPECT_EQ(GUI_EndTurn::GetOpen(), nullptr) << "the report was read: the map, not the report";
    for (const SIM_CampaignEncounter* e : SIM_CampaignEncounter::GetAll()) {
        EXPECT_TRUE(e->loyalty.changes.empty()) << e->planetName;
        EXPECT_TRUE(e->ai->threat.changes.empty()) << e->planetName;
    }

    // The next turn: each planet's loyalty once, held or not held, never both.
    map = GUI_CampaignMap::Get();
    ASSERT_NE(map, nullptr);
    ClickCentre(map->GetBottomPanel()->GetNextTurnButton());
    Settle();
    GUI_EndTurn* report = GUI_EndTurn::GetOpen();
    ASSERT_NE(report, nullptr);
    ASSERT_FALSE(report->GetLog()->GetStrips().empty());
    const std::string held = GetString("LOYALTY_REASON_CONTROLLED_BY_PLAYER");
    const std::string notHeld = GetString("LOYALTY_REASON_NOTCONTROLLED_BY_PLAYER");
    for (const GUI_EndTurnStrip* strip : report->GetLog()->GetStrips()) {
        const SIM_CampaignEncounter* e = strip->GetEncounter();
        std::vector<std::string> reasons;
        for (const SIM_ReasonedChange& c : e->loyalty.changes)
            reasons.push_back(c.reason);
        const auto count = [&](const std::string& r) { return std::count(reasons.begin(), reasons.end(), r); };
        for (const std::string& r : reasons)
            EXPECT_EQ(count(r), 1) << e->planetName << ": " << r;
        EXPECT_EQ(count(held) + count(notHeld), 1) << e->planetName;
        if (e->territory == SIM_CampaignEncounter::PLAYER)
            EXPECT_EQ(count(notHeld), 0) << e->planetName;
        std::vector<std::string> lines = strip->GetLines();
        std::sort(lines.begin(), lines.end());
        EXPECT_EQ(std::adjacent_find(lines.begin(), lines.end()), lines.end()) << e->planetName;
    }

    GUI_Campaign::QuitCampaignToMenu();
    Settle();
}
