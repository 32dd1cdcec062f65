// The daily update question as a player meets it, through the real window:
// the game starts with an online name and a server that names a newer
// version, asks once beside the frame, and the main menu shows the server's
// words in a box that stays on the 1024 x 768 screen however long they are,
// and closes by its button.
#include "engine/GFileHelpers.h"
#include "engine/GHttpClient.h"
#include "engine/GSafeFile.h"
#include "frontend/GUI_MainMenu.h"
#include "gui/GUI_CloseButton.h"
#include "gui/GUI_Message.h"
#include "online/OnlineJob.h"
#include "online/SIM_AutoUpdater.h"
#include "support/LocalChallengeServer.h"
#include "support/WindowInput.h"
#include "support/WindowedGame.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {
// The game started again with the server set for its start-up only, and
// the check's answer taken in.
bool RestartWithServer(WindowedGame& play, const LocalChallengeServer& local)
{
    GetInternet().SetServerUrl(local.Url());
    const bool started = play.Restart();
    OnlineJob::JoinAll();
    RunGameFrames(2);
    GetInternet().SetServerUrl("");
    return started;
}

int Asked(const LocalChallengeServer& local)
{
    const auto r = local.challenges.GetRequests();
    return static_cast<int>(std::count_if(r.begin(), r.end(), [](const std::string& s) {
        return s.rfind("GET /quillomar/server/getlatestpatch.php?", 0) == 0;
    }));
}
} // namespace

TEST(GLUpdateNotice, ANewerVersionIsToldAtStartInABoxThatStaysOnScreen)
{
    LocalChallengeServer local;
    ASSERT_TRUE(local.Start());
    std::string words;
    for (int i = 0; words.size() < 2000; ++i)
        words += "change" + std::to_string(i) + " ";
    words.resize(2000);
    ASSERT_TRUE(WriteFileAtomically(local.DataFile("latest.txt"), "146," + words + "\n"));

    WindowedGame play({.seed = 3, .noLessons = true});
    ASSERT_TRUE(play.Started());
    RunGameFrames(2);
    EXPECT_EQ(Asked(local), 0) << "no server was set at the first start";
    // The player's online name and the server, then the next start.
    play.User().Write("web/qlmcdu", "Ann");
    ASSERT_TRUE(RestartWithServer(play, local));

    // Asked once, for this version; the day is kept.
    EXPECT_EQ(Asked(local), 1);
    const auto requests = local.challenges.GetRequests();
    ASSERT_FALSE(requests.empty());
    EXPECT_NE(requests.back().find("&username=Ann&version=145"), std::string::npos) << requests.back();
    EXPECT_TRUE(FileExists(play.User().File("web/up")));
    EXPECT_FALSE(FileExists(play.User().File("patches"))) << "nothing is downloaded";

    // The main menu shows the server's words, cut to a box on the screen.
    ASSERT_EQ(Game::GetInstance().GetModeId(), 15);
    GUI_Message* notice = GUI_Message::GetOpen();
    ASSERT_NE(notice, nullptr);
    EXPECT_NE(notice->GetText().find(words.substr(0, 40)), std::string::npos);
    EXPECT_EQ(notice->GetShownText().substr(notice->GetShownText().size() - 3), "...");
    EXPECT_GE(notice->top, 0);
    EXPECT_LE(notice->bottom, 768);
    const GUI_CloseButton* close = notice->GetCloseButton();
    ASSERT_NE(close, nullptr);
    EXPECT_GE(close->top, 0);
    EXPECT_LE(close->bottom, 768);

    // On screen: the box's title bar and its text are drawn, the menu's
    // dark backdrop shows below the box.
    TextureData shot = Screenshot(play.UserDir());
    ASSERT_GT(shot.width, 0);
    EXPECT_GT(CountLitIn(shot, *close, 150), 10) << "the close button is drawn";
    const int textTop = notice->clientTop + 10, textBottom = notice->clientBottom - 10;
    EXPECT_GT(CountLit(shot, notice->clientLeft + 10, textTop, notice->clientRight - 10, textBottom, 200), 2000)
        << "the server's words are drawn inside the box";

    // Its button closes it, as a player clicks it.
    ClickCentre(close);
    RunGameFrames(2);
    EXPECT_EQ(GUI_Message::GetOpen(), nullptr);

    // The same day again: no second question, no notice.
    ASSERT_TRUE(RestartWithServer(play, local));
    EXPECT_EQ(Asked(local), 1);
    EXPECT_EQ(GUI_Message::GetOpen(), nullptr);
}
