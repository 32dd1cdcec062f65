// Every text of the online screens fits its box on a wide low screen and on
// a tall one: with the game's own server answering, the online menu with its
// news, the messages screen, the wait for the server and the count of new
// messages; offline, the challenge list with a challenge
// on every shipped map and race, a challenge's details and history, and a
// new challenge.
#include "engine/GHttpClient.h"
#include "engine/GSafeFile.h"
#include "online/GUI_ChallengeDetails.h"
#include "online/GUI_ChallengeHistory.h"
#include "online/GUI_ChallengeList.h"
#include "online/GUI_ChallengeListClientWindow.h"
#include "online/GUI_ChallengeListWindow.h"
#include "online/GUI_ChallengeStrip.h"
#include "online/GUI_Inbox.h"
#include "online/GUI_LoginScreen.h"
#include "online/GUI_NewChallengeEntry.h"
#include "online/GUI_OnlineMessagePopup.h"
#include "online/GUI_OnlineMessagesScreen.h"
#include "online/GUI_PleaseWait.h"
#include "online/OnlineCalendar.h"
#include "online/OnlineJob.h"
#include "online/SIM_ChallengeDatabase.h"
#include "online/SIM_ChallengeRecord.h"
#include "platform/IClock.h"
#include "sim/SIM_Options.h"
#include "sim/SIM_Race.h"
#include "sim/SIM_Scenario.h"
#include "support/LocalChallengeServer.h"
#include "support/TextFitGame.h"

#include <string>

namespace {

constexpr std::time_t kNoon = 1796644800; // 2026-12-07 12:00 UTC

class TextFitOnline : public TextFitGame {
protected:
    void SetUp() override
    {
        TextFitGame::SetUp();
        ASSERT_TRUE(m_server.Start());
        GetInternet().SetServerUrl(m_server.Url());
        OnlineCalendar::SetNowForTests(kNoon);
        const std::string user = Game::GetInstance().GetUserPath(Game::USER);
        ASSERT_TRUE(WriteFileAtomically(user + "/web/qlmcdu", "Admiral"));
        SIM_ChallengeDatabase::GetInstance().SetFolder(user + "/web/challenges");
        SIM_Options& options = SIM_Options::GetInstance();
        options.SetValue("CHALLENGES_SHOWLOCAL", 1.0f);
        options.SetValue("CHALLENGES_SHOWPERSONAL", 1.0f);
        options.SetValue("CHALLENGES_SHOWPOSTED", 1.0f);
        options.SetValue("CHALLENGES_SHOWALL", 1.0f);
    }
    void TearDown() override
    {
        Game::GetInstance().SetMode(15);
        Frames(1);
        OnlineJob::JoinAll();
        GetInternet().SetServerUrl("");
        OnlineCalendar::SetNowForTests(0);
        TextFitGame::TearDown();
    }
    static void Settle()
    {
        for (int i = 0; i < 3; ++i) {
            OnlineJob::JoinAll();
            Frames(1);
        }
    }

    // A challenge on every shipped map for every race, in the list's own format.
    static std::string EveryMapAndRace()
    {
        std::string text;
        int id = 100;
        for (const SIM_Scenario* scenario : SIM_Scenario::GetList())
            for (const SIM_Race* race : SIM_Race::GetList())
                text += "##," + std::to_string(id++) + ",Admiral,all,\"Come and try\",0,3,12,1.00,2.00,\"" +
                        scenario->GetName() + "\",2026-12-7,\"" + race->GetName() + "\",\n";
        return text;
    }

    LocalChallengeServer m_server;
    ManualClock m_clock{1000.0}; // outlives every window shown with it
};

} // namespace

TEST_P(TextFitOnline, MenuNewsAndMessages)
{
    Game::GetInstance().SetMode(GUI_LoginScreen::kModeId);
    Settle();
    SettleTransition();
    RestMouse();
    ExpectFits("online menu");
    Game::GetInstance().SetMode(GUI_OnlineMessagesScreen::kModeId);
    Settle();
    SettleTransition();
    RestMouse();
    ExpectFits("messages");
    // What shows over any screen: the wait for the server, and the count of
    // new messages (three figures) rising from the corner.
    GUI_PleaseWait::Open();
    Frames(1);
    ExpectFits("please wait");
    GUI_PleaseWait::Close();
    ASSERT_NE(GUI_OnlineMessagePopup::Show(999, &m_clock), nullptr);
    m_clock.Advance(GUI_OnlineMessagePopup::kRiseMs);
    Frames(1);
    ExpectFits("new messages");
    GUI_OnlineMessagePopup::Close();
}

TEST_P(TextFitOnline, ChallengesTheirDetailsAndANewOne)
{
    // The list as the last visit kept it, with no server to refresh it.
    GetInternet().SetServerUrl("");
    SIM_ChallengeDatabase& db = SIM_ChallengeDatabase::GetInstance();
    db.Clear();
    ASSERT_TRUE(WriteFileAtomically(db.GetPath(), EveryMapAndRace()));
    Game::GetInstance().SetMode(GUI_ChallengeList::kModeId);
    Settle();
    SettleTransition();
    RestMouse();
    ExpectFits("challenge list");
    GUI_ChallengeListWindow* window = GUI_ChallengeList::GetInstance().GetWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_FALSE(window->GetClient()->GetRows().empty()) << db.GetRecords().size() << " records";
    const GUI_ChallengeStrip* row = window->GetClient()->GetRows().front();
    GUI_ChallengeDetails::Open(row->GetRecord());
    Settle();
    RestMouse();
    ExpectFits("challenge details");
    CloseModals();
    GUI_ChallengeHistory::Open(row->GetRecord()->id);
    Settle();
    RestMouse();
    ExpectFits("challenge history");
    CloseModals();
    GUI_NewChallengeEntry::OpenNewChallenge();
    Settle();
    RestMouse();
    ExpectFits("new challenge");
    CloseModals();
}

INSTANTIATE_TEXT_FIT_SIZES(TextFitOnline);
