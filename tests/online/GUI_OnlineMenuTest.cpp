// The online menu, the inbox and the new-messages popup as the player uses
// them, headless, against the game's own server: the name answers, the news
// once per UTC day, rows that follow the messages, and nothing that waits
// for a server that is not there.
#include "engine/GDebugLog.h"
#include "engine/GFileHelpers.h"
#include "engine/GHashTable.h"
#include "engine/GHttpClient.h"
#include "engine/LibText.h"
#include "frontend/FrontendGame.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_ScrollingWindow.h"
#include "gui/GUI_TextEditWindow.h"
#include "frontend/GUI_HighScoreTable.h"
#include "online/GUI_ChallengeDetailsHistory.h"
#include "online/GUI_ChallengeHistory.h"
#include "online/GUI_ChallengeList.h"
#include "online/GUI_ChallengeListClientWindow.h"
#include "online/GUI_ChallengeListWindow.h"
#include "online/GUI_Inbox.h"
#include "online/GUI_InternetNews.h"
#include "online/GUI_LoginNameWindow.h"
#include "online/GUI_LoginScreen.h"
#include "online/GUI_OnlineMessage.h"
#include "online/GUI_OnlineMessagePopup.h"
#include "online/GUI_OnlineMessagesScreen.h"
#include "online/OnlineCalendar.h"
#include "online/OnlineJob.h"
#include "online/OnlineMessageCheck.h"
#include "online/OnlineStatus.h"
#include "online/SIM_ChallengeDatabase.h"
#include "online/SIM_OnlineMessageManager.h"
#include "online/SIM_OnlineMessageRecord.h"
#include "online/SIM_Server.h"
#include "sim/SIM_Options.h"
#include "sim/SIM_Scenario.h"
#include "support/LocalChallengeServer.h"

#include <algorithm>
#include <cstdio>

namespace {
constexpr std::time_t kNoon = 1796644800; // 2026-12-07 12:00 UTC
constexpr std::time_t kDay = 24 * 3600;

class OnlineMenu : public FrontendGame {
protected:
    void SetUp() override
    {
        FrontendGame::SetUp();
        ASSERT_TRUE(local.Start());
        GetInternet().SetServerUrl(local.Url());
        OnlineCalendar::SetNowForTests(kNoon);
    }
    void TearDown() override
    {
        Game::GetInstance().SetMode(15);
        Frames(1);
        OnlineJob::JoinAll();
        GetInternet().SetServerUrl("");
        OnlineCalendar::SetNowForTests(0);
        std::remove(UserPath("web/qlmcdu").c_str());
        std::remove(UserPath("web/newsdate.ini").c_str());
    }
    static std::string UserPath(const std::string& name) { return Game::GetInstance().GetUserPath(Game::USER) + "/" + name; }
    // Answers in: the workers joined, then the frame that takes them in.
    static void Settle()
    {
        OnlineJob::JoinAll();
        Frames(1);
    }
    static void Open(int mode)
    {
        Game::GetInstance().SetMode(15);
        Frames(1);
        Game::GetInstance().SetMode(mode);
        Frames(1);
    }
    int Count(const std::string& prefix) const
    {
        const auto r = local.challenges.GetRequests();
        return static_cast<int>(
            std::count_if(r.begin(), r.end(), [&](const std::string& s) { return s.rfind(prefix, 0) == 0; }));
    }
    void AddMessages(int from, int to, const char* recipient = "Ann")
    {
        std::string text;
        ReadWholeFile(local.DataFile("messages.txt"), text);
        for (int id = from; id <= to; ++id)
            text += "##," + std::to_string(id) + ",2026-12-07," + recipient + ",Bob,\"note " + std::to_string(id) +
                    ", with a comma\"\n";
        WriteFileAtomically(local.DataFile("messages.txt"), text);
    }

    LocalChallengeServer local;
};
} // namespace

TEST_F(OnlineMenu, WithoutAServerTheMenuSaysSoAtOnce)
{
    GetInternet().SetServerUrl("");
    Open(GUI_LoginScreen::kModeId);
    GUI_LoginScreen& screen = GUI_LoginScreen::GetInstance();
    ASSERT_NE(screen.GetNewsWindow(), nullptr);
    EXPECT_TRUE(screen.GetNewsWindow()->IsOffline());
    EXPECT_EQ(screen.GetNewsWindow()->GetText(), GetString("ONLINE_NO_SERVER"));
    EXPECT_FALSE(FileExists(UserPath("web/newsdate.ini"))) << "no request went out, so the day stays open";

    GUI_LoginNameWindow* name = screen.GetNameWindow();
    EXPECT_EQ(name->GetStatus(), GUI_LoginNameWindow::NOT_SET);
    EXPECT_FALSE(name->GetSubmitButton()->enabled) << "an empty entry cannot be sent";
    name->GetEntry()->SetText("A");
    Frames(1);
    EXPECT_TRUE(name->GetSubmitButton()->enabled);
    Click(*name->GetSubmitButton());
    EXPECT_FALSE(name->IsSending());
    EXPECT_EQ(name->GetStatusText(), GetString("ONLINE_NO_SERVER"));
    EXPECT_FALSE(FileExists(UserPath("web/qlmcdu")));

    Open(GUI_OnlineMessagesScreen::kModeId);
    ASSERT_NE(GUI_Inbox::GetOpen(), nullptr);
    EXPECT_EQ(GUI_Inbox::GetOpen()->GetStatusKey(), "ONLINE_NO_SERVER");
    PressKey(SDL_SCANCODE_ESCAPE);
    EXPECT_EQ(Game::GetInstance().GetModeId(), 15);
}

TEST_F(OnlineMenu, TheNameIsKeptOnlyWhenTheServerTakesIt)
{
    WriteFileAtomically(local.DataFile("users.txt"), "7,Bob\n");
    Open(GUI_LoginScreen::kModeId);
    GUI_LoginNameWindow* name = GUI_LoginScreen::GetInstance().GetNameWindow();
    name->GetEntry()->SetText("Bob");
    name->OnSubmit();
    Settle();
    EXPECT_EQ(name->GetStatus(), GUI_LoginNameWindow::NOT_SET);
    EXPECT_EQ(name->GetStatusText(), "That name is taken") << "the server's own words";
    EXPECT_FALSE(FileExists(UserPath("web/qlmcdu")));

    name->GetEntry()->SetText("Ann");
    name->OnSubmit();
    Settle();
    EXPECT_EQ(name->GetStatus(), GUI_LoginNameWindow::ACCEPTED);
    EXPECT_EQ(name->GetStatusText(), GetString("INTERNET_USERNAME_ACCEPTED"));
    EXPECT_EQ(UserFile("web/qlmcdu"), "Ann");
    // A later refusal leaves the kept name alone.
    name->GetEntry()->SetText("Bob");
    name->OnSubmit();
    Settle();
    EXPECT_EQ(UserFile("web/qlmcdu"), "Ann");

    // 128 characters go out; 129 are refused before any request.
    const int before = Count("GET /quillomar/server/setusername.php");
    EXPECT_TRUE(SIM_Server::GetInstance().SetUserName(std::string(128, 'x')));
    EXPECT_FALSE(SIM_Server::GetInstance().SetUserName(std::string(129, 'x')));
    EXPECT_FALSE(SIM_Server::GetInstance().SetUserName(""));
    EXPECT_EQ(Count("GET /quillomar/server/setusername.php"), before + 1);
    EXPECT_EQ(name->GetEntry()->GetMaxLength(), 128);
}

TEST_F(OnlineMenu, NewsIsFetchedOncePerUtcDay)
{
    WriteFileAtomically(local.DataFile("news.txt"), "Welcome, pilots\r\nsecond line\n");
    Open(GUI_LoginScreen::kModeId);
    Settle();
    EXPECT_EQ(GUI_LoginScreen::GetInstance().GetNewsWindow()->GetText(), "Welcome, pilots");
    // The same day later: an empty window and no request.
    OnlineCalendar::SetNowForTests(kNoon + 12 * 3600 - 1);
    Open(GUI_LoginScreen::kModeId);
    Settle();
    EXPECT_EQ(GUI_LoginScreen::GetInstance().GetNewsWindow()->GetText(), "");
    EXPECT_EQ(Count("GET /quillomar/server/news.txt"), 1);
    // A stored date ahead of the clock (set back) is not due.
    OnlineCalendar::SetNowForTests(kNoon - kDay);
    Open(GUI_LoginScreen::kModeId);
    Settle();
    EXPECT_EQ(Count("GET /quillomar/server/news.txt"), 1);
    // The next UTC day asks again. A server out of reach is told as a
    // failed fetch, information for the debug log and no error, and does
    // not use the day up: the next visit that day asks again.
    const std::string seventh = "[newsdate]\nday = 7\nmonth = 12\nyear = 2026\n\n";
    EXPECT_EQ(UserFile("web/newsdate.ini"), seventh);
    OnlineCalendar::SetNowForTests(kNoon + 12 * 3600);
    GDebugLog& log = GDebugLog::GetInstance();
    const int errors = log.GetErrorCount();
    {
        LoopbackSocket refusing(false);
        ASSERT_GT(refusing.Port(), 0);
        GetInternet().SetServerUrl(refusing.Url());
        Open(GUI_LoginScreen::kModeId);
        Settle();
    }
    GetInternet().SetServerUrl(local.Url());
    EXPECT_EQ(GUI_LoginScreen::GetInstance().GetNewsWindow()->GetStatus(), OnlineStatus::FAILED);
    EXPECT_EQ(GUI_LoginScreen::GetInstance().GetNewsWindow()->GetText(), GetString("ONLINE_NO_ANSWER"));
    EXPECT_EQ(UserFile("web/newsdate.ini"), seventh);
    EXPECT_EQ(log.GetErrorCount(), errors) << "a server out of reach is no fault";
    EXPECT_NE(UserFile("debug/debug.txt").find("Internet: no answer from the server, HttpSendRequest() Failed [7]"),
              std::string::npos);
    // A server without a news file answered: no news today, no error, and
    // the day is used up as by news that came.
    std::remove(local.DataFile("news.txt").c_str());
    Open(GUI_LoginScreen::kModeId);
    Settle();
    EXPECT_EQ(Count("GET /quillomar/server/news.txt"), 2);
    EXPECT_EQ(GUI_LoginScreen::GetInstance().GetNewsWindow()->GetStatus(), OnlineStatus::EMPTY);
    EXPECT_EQ(GUI_LoginScreen::GetInstance().GetNewsWindow()->GetText(), GetString("INTERNET_NEWS_NONE"));
    EXPECT_EQ(log.GetErrorCount(), errors) << "a server without news is no fault";
    const std::string eighth = "[newsdate]\nday = 8\nmonth = 12\nyear = 2026\n\n";
    EXPECT_EQ(UserFile("web/newsdate.ini"), eighth);
    Open(GUI_LoginScreen::kModeId);
    Settle();
    EXPECT_EQ(Count("GET /quillomar/server/news.txt"), 2);
    WriteFileAtomically(local.DataFile("news.txt"), "Third day\n");
    OnlineCalendar::SetNowForTests(kNoon + 12 * 3600 + kDay);
    Open(GUI_LoginScreen::kModeId);
    Settle();
    EXPECT_EQ(Count("GET /quillomar/server/news.txt"), 3);
    EXPECT_EQ(GUI_LoginScreen::GetInstance().GetNewsWindow()->GetText(), "Third day");
    EXPECT_EQ(UserFile("web/newsdate.ini"), "[newsdate]\nday = 9\nmonth = 12\nyear = 2026\n\n");
    Open(GUI_LoginScreen::kModeId);
    Settle();
    EXPECT_EQ(Count("GET /quillomar/server/news.txt"), 3);

    Click(*GUI_LoginScreen::GetInstance().GetMessagesButton());
    EXPECT_EQ(Game::GetInstance().GetModeId(), GUI_OnlineMessagesScreen::kModeId);
}

// Before any test that brings messages: the inbox's empty case needs none held.
TEST_F(OnlineMenu, EveryOnlineScreenSaysNoServerAFailedFetchAndNothingToShowAlike)
{
    WriteFileAtomically(UserPath("web/qlmcdu"), "Ann");
    SIM_ChallengeDatabase::GetInstance().SetFolder(UserPath("web/challenges"));
    for (const char* filter : GUI_ChallengeListWindow::kFilterOptions)
        SIM_Options::GetInstance().SetValue(filter, 1.0f);
    WriteFileAtomically(local.DataFile("news.txt"), "");
    LoopbackSocket refusing(false);
    ASSERT_GT(refusing.Port(), 0);
    const struct {
        const char* name;
        std::string url;
        OnlineStatus::Kind kind;
    } cases[] = {{"no server set up", "", OnlineStatus::NO_SERVER},
                 {"a server set on a port that refuses", "http://127.0.0.1:" + std::to_string(refusing.Port()),
                  OnlineStatus::FAILED},
                 {"a server with nothing to show", local.Url(), OnlineStatus::EMPTY}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        GetInternet().SetServerUrl(c.url);
        std::remove(UserPath("web/newsdate.ini").c_str());
        // What the screen says when it has nothing of its own to show.
        auto expect = [&c](const char* emptyKey) { return std::string(OnlineStatus::Key(c.kind, "", emptyKey)); };

        // Messages: every visit says the same, however fast the failure.
        for (int visit = 1; visit <= 2; ++visit) {
            Open(GUI_OnlineMessagesScreen::kModeId);
            Settle();
            ASSERT_NE(GUI_Inbox::GetOpen(), nullptr);
            EXPECT_EQ(GUI_Inbox::GetOpen()->GetStatusKey(), expect("MESSAGES_NONE")) << "visit " << visit;
        }

        // The online menu: the news, and a name sent with the mouse.
        Open(GUI_LoginScreen::kModeId);
        Settle();
        GUI_InternetNews* news = GUI_LoginScreen::GetInstance().GetNewsWindow();
        const bool arrived = c.kind == OnlineStatus::EMPTY;
        EXPECT_EQ(news->GetStatus(), c.kind);
        EXPECT_EQ(news->GetText(), GetString(expect("INTERNET_NEWS_NONE").c_str()));
        EXPECT_EQ(FileExists(UserPath("web/newsdate.ini")), arrived) << "only news that came uses the day up";
        GUI_LoginNameWindow* name = GUI_LoginScreen::GetInstance().GetNameWindow();
        name->GetEntry()->SetText("Ann");
        Frames(1);
        Click(*name->GetSubmitButton());
        Settle();
        EXPECT_EQ(name->GetStatusText(), GetString(arrived ? "INTERNET_USERNAME_ACCEPTED" : expect("").c_str()));

        // The challenge list's refresh, a challenge's history, the survival table.
        Open(GUI_ChallengeList::kModeId);
        GUI_ChallengeListWindow* list = GUI_ChallengeList::GetInstance().GetWindow();
        ASSERT_NE(list, nullptr);
        Click(*list->GetRefreshButton());
        Settle();
        EXPECT_EQ(list->GetClient()->GetStatusKey(), expect("CHALLENGES_NONE"));
        {
            // Drawn inside its box, left of the filters, above Refresh.
            LibText& text = LibText::GetInstance();
            text.SetFont("zekton16.dds", 16.0f);
            const std::string& shown = list->GetShownStatus();
            EXPECT_FALSE(shown.empty());
            EXPECT_LE(text.GetTextWidth(shown), GUI_ChallengeListWindow::kStatusWidth);
            EXPECT_LE(list->bottom - GUI_ChallengeListWindow::kStatusTop + text.GetWrappedTextHeight(shown, 10000),
                      list->GetRefreshButton()->top);
        }
        GUI_ChallengeHistory::Open("1");
        Settle();
        ASSERT_NE(GUI_ChallengeHistory::GetOpen(), nullptr);
        EXPECT_EQ(GUI_ChallengeHistory::GetOpen()->GetTable()->GetStatusKey(), expect("CHALLENGE_HISTORY_EMPTY"));
        GUI_ChallengeHistory::Close();
        GUI_HighScoreTable::Open(SIM_Scenario::FindByName("survival1"));
        Settle();
        ASSERT_NE(GUI_HighScoreTable::GetOpen(), nullptr);
        EXPECT_EQ(GUI_HighScoreTable::GetOpen()->GetStatus(), c.kind);
        while (GUI_WindowManager::GetInstance().CloseTopModal()) {
        }
        Frames(1);
    }
}

TEST_F(OnlineMenu, TheInboxFollowsTheMessagesAndARowGoesAfterItsClick)
{
    WriteFileAtomically(UserPath("web/qlmcdu"), "Ann");
    AddMessages(1, 2);
    AddMessages(3, 3, "Cid");
    GUI_OnlineMessagePopup::Show(2);
    Open(GUI_OnlineMessagesScreen::kModeId);
    EXPECT_EQ(GUI_OnlineMessagePopup::GetOpen(), nullptr) << "the messages it announced are on screen";
    Settle();
    GUI_Inbox* inbox = GUI_Inbox::GetOpen();
    ASSERT_NE(inbox, nullptr);
    ASSERT_EQ(inbox->GetRows().size(), 2u);
    EXPECT_EQ(inbox->GetRows()[0]->GetRecord()->text, "note 1, with a comma");
    EXPECT_EQ(inbox->GetScrollBar()->maximum, 0);

    // The click only marks the row; it goes at the next draw.
    GUI_OnlineMessage* first = inbox->GetRows()[0];
    Click(*first->GetDeleteButton());
    ASSERT_EQ(inbox->GetRows().size(), 1u);
    EXPECT_EQ(inbox->GetRows()[0]->GetRecord()->id, 2);
    OnlineJob::JoinAll();
    EXPECT_EQ(Count("GET /quillomar/server/deletemessage.php?&user=Ann&id="), 1);
    EXPECT_NE(local.challenges.GetRequests().back().find("&msgid=1"), std::string::npos);

    // More than fit: as many rows as the list has room for, the rest by scrolling.
    AddMessages(4, 13);
    Open(GUI_OnlineMessagesScreen::kModeId);
    Settle();
    inbox = GUI_Inbox::GetOpen();
    const int room = static_cast<int>(inbox->GetRows().size());
    ASSERT_GE(room, 6);
    const int total = static_cast<int>(SIM_OnlineMessageManager::GetInstance().GetAll().size());
    EXPECT_EQ(total, 11);
    EXPECT_EQ(inbox->GetScrollBar()->maximum, total - room);
    inbox->GetScrollBar()->position = total - room;
    inbox->GetScrollBar()->changed = true;
    Frames(1);
    EXPECT_EQ(inbox->GetRows().back()->GetRecord()->id, 13);

    // Blocking Bob empties the list at once.
    Click(*inbox->GetRows()[0]->GetBlockButton());
    EXPECT_TRUE(inbox->GetRows().empty());
    EXPECT_EQ(inbox->GetScrollBar()->maximum, 0);

    Click(*inbox->GetChallengesButton());
    EXPECT_EQ(Game::GetInstance().GetModeId(), 6);
}

TEST_F(OnlineMenu, ThePopupRisesOnceAndLeadsToTheMessages)
{
    float x, y;
    GUI_OnlineMessagePopup::PositionAt(0.0, 1280, 800, x, y);
    EXPECT_EQ(x, 1200.0f);
    EXPECT_EQ(y, 840.0f);
    GUI_OnlineMessagePopup::PositionAt(400.0, 1280, 800, x, y);
    EXPECT_EQ(y, 780.0f);
    GUI_OnlineMessagePopup::PositionAt(800.0, 1280, 800, x, y);
    EXPECT_EQ(y, 720.0f);
    GUI_OnlineMessagePopup::PositionAt(5000.0, 1280, 800, x, y);
    EXPECT_EQ(y, 720.0f) << "it rests at H - 80";

    GUI_OnlineMessagePopup* first = GUI_OnlineMessagePopup::Show(3);
    GUI_OnlineMessagePopup* second = GUI_OnlineMessagePopup::Show(12);
    Frames(1);
    EXPECT_EQ(GUI_OnlineMessagePopup::GetOpen(), second);
    const auto& windows = GUI_WindowManager::GetInstance().GetTopLevelWindows();
    EXPECT_EQ(std::count_if(windows.begin(), windows.end(),
                            [](GUI_WindowBase* w) { return dynamic_cast<GUI_OnlineMessagePopup*>(w) != nullptr; }),
              1);
    (void)first;
    EXPECT_EQ(second->GetCountText(), "12");
    // Clicked once it has risen into view.
    for (int i = 0; i < 200 && second->top > 800 - 80; ++i) {
        SDL_Delay(5);
        Frames(1);
    }
    Click(*second);
    EXPECT_EQ(GUI_OnlineMessagePopup::GetOpen(), nullptr);
    EXPECT_EQ(Game::GetInstance().GetModeId(), GUI_OnlineMessagesScreen::kModeId);
    Settle();

    // The main menu's own look: new messages raise the popup with their number...
    WriteFileAtomically(UserPath("web/qlmcdu"), "Ann");
    AddMessages(20, 21);
    Open(15);
    CheckForNewOnlineMessages();
    Settle();
    ASSERT_NE(GUI_OnlineMessagePopup::GetOpen(), nullptr);
    EXPECT_EQ(GUI_OnlineMessagePopup::GetOpen()->GetCountText(), "2");
    // They stay new until a download brings the next batch: a look that
    // cannot reach the server, or has no name to ask with, still shows them.
    const std::string asking = "GET /quillomar/server/getmymessages.php";
    const int asked = Count(asking);
    LoopbackSocket refusing(false);
    ASSERT_GT(refusing.Port(), 0);
    const struct {
        const char* name;
        std::string url;
        bool named;
    } keepNew[] = {{"no server set up", "", true},
                   {"a server on a port that refuses", "http://127.0.0.1:" + std::to_string(refusing.Port()), true},
                   {"no online name", local.Url(), false}};
    for (const auto& c : keepNew) {
        SCOPED_TRACE(c.name);
        GUI_OnlineMessagePopup::Close();
        GetInternet().SetServerUrl(c.url);
        if (c.named)
            WriteFileAtomically(UserPath("web/qlmcdu"), "Ann");
        else
            std::remove(UserPath("web/qlmcdu").c_str());
        Open(15);
        CheckForNewOnlineMessages();
        Settle();
        EXPECT_EQ(SIM_OnlineMessageManager::GetInstance().GetNewCount(), 2);
        ASSERT_NE(GUI_OnlineMessagePopup::GetOpen(), nullptr);
        EXPECT_EQ(GUI_OnlineMessagePopup::GetOpen()->GetCountText(), "2");
    }
    EXPECT_EQ(Count(asking), asked) << "no request went out without a server or a name";
    GUI_OnlineMessagePopup::Close();
    GetInternet().SetServerUrl(local.Url());
    WriteFileAtomically(UserPath("web/qlmcdu"), "Ann");
    // ...unless the player reached them another way before the answer came.
    AddMessages(22, 22);
    Open(15);
    CheckForNewOnlineMessages();
    Game::GetInstance().SetMode(GUI_OnlineMessagesScreen::kModeId);
    Settle();
    EXPECT_EQ(GUI_Inbox::GetOpen()->GetRows().back()->GetRecord()->id, 22);
    Open(15);
    Frames(1);
    EXPECT_EQ(GUI_OnlineMessagePopup::GetOpen(), nullptr);
}

// Last: its message id is above every other test's.
TEST_F(OnlineMenu, WordsFromOtherPlayersAndTheServerKeepInsideTheirBoxes)
{
    // A row: a message of nearly 2,000 characters (the longest line a
    // download keeps), and a sender and a date far wider than their columns.
    WriteFileAtomically(UserPath("web/qlmcdu"), "Ann");
    std::string text;
    for (int i = 0; text.size() < 1900; ++i)
        text += "word" + std::to_string(i) + " ";
    text.resize(1900);
    WriteFileAtomically(local.DataFile("messages.txt"), "##,900," + std::string(30, '7') + ",Ann," +
                                                             std::string(50, 'B') + ",\"" + text + "\"\n");
    Open(GUI_OnlineMessagesScreen::kModeId);
    Settle();
    GUI_Inbox* inbox = GUI_Inbox::GetOpen();
    ASSERT_NE(inbox, nullptr);
    GUI_OnlineMessage* row = nullptr;
    for (GUI_OnlineMessage* r : inbox->GetRows())
        if (r->GetRecord()->id == 900)
            row = r;
    ASSERT_NE(row, nullptr);
    LibText& font = LibText::GetInstance();
    font.SetFont("zekton16.dds", 16.0f);
    const int column = GUI_OnlineMessage::kColumnWidth - 2 * GUI_OnlineMessage::kTextInset;
    for (const std::string* shown : {&row->GetDateText(), &row->GetSenderText()}) {
        EXPECT_EQ(shown->find('\n'), std::string::npos) << *shown;
        EXPECT_LE(font.GetTextWidth(*shown), column) << *shown;
        EXPECT_EQ(shown->substr(shown->size() - 3), "...");
    }
    const std::string& message = row->GetMessageText();
    const int lines = 1 + static_cast<int>(std::count(message.begin(), message.end(), '\n'));
    EXPECT_EQ(lines, GUI_OnlineMessage::MessageLines()) << "as many lines as the row holds";
    EXPECT_LE(font.GetWrappedTextHeight(message, 10000), GUI_OnlineMessage::kHeight - 4) << "never over the next row";
    EXPECT_GT(font.GetWrappedTextHeight(message + "\nx", 10000), GUI_OnlineMessage::kHeight - 4)
        << "and no line fewer than it holds";
    EXPECT_LE(font.GetTextWidth(message), row->GetMessageWidth());
    EXPECT_EQ(row->GetMessageWidth(), (row->right - 2) - (row->left + 2 + 2 * GUI_OnlineMessage::kColumnWidth) - 20);
    EXPECT_EQ(message.substr(message.size() - 3), "...");
    EXPECT_EQ(message.substr(0, 6), "word0 ");

    // The name window: the server's refusal, however long, wraps inside the window.
    LoopbackHttpServer refusing;
    const std::string reason = "That name cannot be taken because " + std::string(40, 'x') + " " + text.substr(0, 600);
    refusing.server.Get("/quillomar/server/setusername.php", [&reason](const httplib::Request&, httplib::Response& res) {
        res.set_content("response,false\nmessage," + reason + "\n", "text/plain");
    });
    ASSERT_TRUE(refusing.Start());
    GetInternet().SetServerUrl(refusing.Url());
    Open(GUI_LoginScreen::kModeId);
    GUI_LoginNameWindow* name = GUI_LoginScreen::GetInstance().GetNameWindow();
    name->GetEntry()->SetText("Zed");
    Frames(1);
    Click(*name->GetSubmitButton());
    Settle();
    EXPECT_EQ(name->GetStatusText(), reason) << "the server's own words";
    // The entry from 97 to 74 pixels above the window's bottom, the words 5 under it.
    EXPECT_EQ(name->GetEntry()->top, name->bottom - 97);
    EXPECT_EQ(name->GetEntry()->bottom, name->bottom - 74);
    EXPECT_EQ(name->bottom - GUI_LoginNameWindow::kStatusTop, name->GetEntry()->bottom + 5);
    const std::string& shown = name->GetShownStatus();
    font.SetFont("zekton16.dds", 16.0f);
    EXPECT_LE(font.GetTextWidth(shown), name->width - 40);
    EXPECT_LE(name->bottom - GUI_LoginNameWindow::kStatusTop + font.GetWrappedTextHeight(shown, 10000),
              name->clientBottom);
    EXPECT_GT(std::count(shown.begin(), shown.end(), '\n'), 0) << "wrapped, not cut to a line";
    EXPECT_EQ(shown.substr(0, 33), reason.substr(0, 33));
    EXPECT_EQ(shown.substr(shown.size() - 3), "...");
    GetInternet().SetServerUrl(local.Url());
}
