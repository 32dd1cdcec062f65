// A folder where a player file belongs (made by hand, by a tool, by a bad
// copy) is never taken for the file nor replaced by it: every reader tells
// the log which file it could not use, and every save leaves the folder and
// what it holds as they were. Each file the game keeps for the player has a
// row here with the calls the game reads and writes it with.
#include "app/APP_Tips.h"
#include "app/APP_UsageMetrics.h"
#include "app/Game.h"
#include "engine/APP_UserFolders.h"
#include "engine/GHttpClient.h"
#include "engine/GIniFile.h"
#include "engine/GSafeFile.h"
#include "gui/GUI_Tutorial.h"
#include "online/GUI_InternetNews.h"
#include "online/SIM_AutoUpdater.h"
#include "online/SIM_OnlineMessageManager.h"
#include "online/SIM_Server.h"
#include "platform/IClock.h"
#include "sim/SIM_DefaultOrders.h"
#include "sim/SIM_DeployedFleet.h"
#include "sim/SIM_DeploymentFile.h"
#include "sim/SIM_HighScores.h"
#include "sim/SIM_Options.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_ShipHull.h"
#include "sim/SIM_ShipModuleType.h"
#include "support/ErrorLog.h"
#include "support/LoopbackHttpServer.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace {

// What the rows share: the player's folder and a server that answers every
// download, so that the downloads reach the point of replacing their file.
struct Place {
    std::string user;
    SIM_Server* server = nullptr;
    std::string File(const std::string& name) const { return user + "/" + name; }
};

struct PlayerFileRow {
    const char* file; // below the user folder
    std::function<void(Place&)> load;
    std::function<void(Place&)> save;
};

const ManualClock kClock(0.0);

const PlayerFileRow kRows[] = {
    {"config.txt", [](Place& p) { SIM_Options::GetInstance().Reload(p.File("config.txt")); },
     [](Place&) { SIM_Options::GetInstance().Save(); }},
    {"prefs.ini",
     [](Place& p) {
         GIniFile ini;
         ini.Load("prefs", p.File("prefs.ini").c_str());
     },
     [](Place&) { Game::GetInstance().SavePrefs(1024, 768, true); }},
    {"sc.dat", [](Place& p) { SIM_HighScores(p.user); }, [](Place& p) { SIM_HighScores(p.user).SaveHighScores(); }},
    {"unl.dat", [](Place& p) { SIM_HighScores(p.user); }, [](Place& p) { SIM_HighScores(p.user).SaveUnlocks(); }},
    {"um.ini", [](Place& p) { APP_UsageMetrics(p.user, &kClock, 7).Load(); },
     [](Place& p) { APP_UsageMetrics(p.user, &kClock, 7).Save(); }},
    // The id is read and, when there is none, written as the metrics start.
    {"met.ini", [](Place& p) { APP_UsageMetrics(p.user, &kClock, 7); },
     [](Place& p) { APP_UsageMetrics(p.user, &kClock, 8); }},
    {"tip_pos.ini", [](Place& p) { APP_Tips("data/tips.ini", p.user); },
     [](Place& p) { APP_Tips("data/tips.ini", p.user).SavePosition(); }},
    {"tutorial_seen.ini", [](Place&) { GUI_Tutorial::GetInstance().LoadSeenList(GUI_Tutorial::SeenListPath()); },
     [](Place&) { GUI_Tutorial::GetInstance().SaveSeenList(); }},
    {"web/oldmessages.txt", [](Place& p) { SIM_OnlineMessageManager(p.File("web/oldmessages.txt")); },
     [](Place& p) { SIM_OnlineMessageManager(p.File("web/oldmessages.txt")).MergeDownload(""); }},
    {"web/qlmcdu", [](Place& p) { p.server->GetUserName(); }, [](Place& p) { p.server->SaveUserName("Ann"); }},
    {"web/up", [](Place&) { SIM_AutoUpdater::GetInstance().IsCheckedToday(); },
     [](Place&) { SIM_AutoUpdater::GetInstance().WriteCheckDate(); }},
    {"web/newsdate.ini", [](Place&) { GUI_InternetNews::IsNewsDue(GUI_InternetNews::DatePath()); },
     [](Place&) { GUI_InternetNews::MarkNewsDay(GUI_InternetNews::DatePath()); }},
    // The downloaded files: each screen reads its file whole after the download.
    {"web/messages.txt",
     [](Place& p) {
         std::string text;
         ReadWholeFile(p.File("web/messages.txt"), text);
     },
     [](Place& p) { p.server->GetMyMessages(0, p.File("web/messages.txt")); }},
    {"web/highscores.txt",
     [](Place& p) {
         std::string text;
         ReadWholeFile(p.server->GetHighScoresPath(), text);
     },
     [](Place& p) { p.server->GetSurvivalScores("survival1", "0123456780"); }},
    {"web/news.txt",
     [](Place& p) {
         std::string text;
         ReadWholeFile(p.File("web/news.txt"), text);
     },
     [](Place& p) { p.server->DownloadNews(p.File("web/news.txt")); }},
    {"web/camp_chall.txt",
     [](Place&) {
         std::string text;
         ReadWholeFile(SIM_Server::CampaignListPath(), text);
     },
     [](Place& p) { p.server->GetCampaignOpponentList("federation", 0, 1000); }},
    // Files the player names: found by listing their folder.
    {"ships/cap.txt", [](Place&) { SIM_ShipDesign::LoadAll(); },
     [](Place& p) { SIM_ShipDesign::MakeEmptyWorkingCopy()->Write(p.File("ships/cap.txt")); }},
    {"orders/cap.txt", [](Place&) { SIM_DefaultOrders::LoadAll(); },
     [](Place&) {
         SIM_DefaultOrders orders;
         orders.SetDesignName("cap");
         orders.Write();
     }},
    {"deployments/scenario1/cap.txt",
     [](Place& p) {
         SIM_DeployedFleet fleet;
         fleet.Load(p.File("deployments/scenario1/cap.txt"), nullptr, true);
     },
     [](Place& p) {
         SIM_DeployedFleet fleet;
         WriteDeploymentFile(p.File("deployments/scenario1/cap.txt"), fleet);
     }},
};

// The folder and the file inside it, as they must stay.
bool FolderStands(const std::string& path)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    return fs::is_directory(fs::symlink_status(path, ec)) && fs::is_regular_file(path + "/inside.txt", ec);
}

} // namespace

TEST(FolderInPlayerFilePlace, EveryReaderTellsTheFileAndNoSaveReplacesTheFolder)
{
    ScopedChdir cwd(QLM_GAME_DIR);
    TempDir user;
    ASSERT_TRUE(APP_UserFolders::GetInstance().Create(user.Path()));
    for (const PlayerFileRow& row : kRows)
        user.Write(std::string(row.file) + "/inside.txt", "the player's own\n");

    LoopbackHttpServer http;
    http.server.Get(".*", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("response,true\n", "text/plain");
    });
    ASSERT_TRUE(http.Start());
    GHttpClient client;
    client.SetServerUrl(http.Url() + "/");
    SIM_Server server(&client);
    server.SetUserFolder(user.Path());
    SIM_Server::GetInstance().SetUserFolder(user.Path());
    Place place{user.Path(), &server};

    for (const PlayerFileRow& row : kRows) {
        SCOPED_TRACE(row.file);
        const std::string path = user.File(row.file);
        GSafeFile::ForgetRefusedFiles();
        {
            ScopedErrorLog log;
            row.load(place);
            EXPECT_NE(log.Text().find(path), std::string::npos) << "the reader is silent about " << path << "\n"
                                                                << log.Text();
        }
        EXPECT_TRUE(FolderStands(path)) << "removed by the load";
        row.save(place);
        EXPECT_TRUE(FolderStands(path)) << "replaced by the save";
    }
    SIM_Server::GetInstance().SetUserFolder(std::string());
    GSafeFile::ForgetRefusedFiles();
    SIM_DefaultOrders::FreeAll();
    SIM_ShipDesign::FreeAll();
    SIM_ShipHull::FreeAll();
    SIM_ShipModuleType::FreeAll();
}
