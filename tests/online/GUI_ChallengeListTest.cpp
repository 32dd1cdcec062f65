// The challenge screens as the player uses them, headless: which challenges
// show, how the table sorts and scrolls, what a row and the details say, and
// that no screen waits for a server that is not there or too slow.
#include "sim/SIM_Options.h"
#include "engine/GHttpClient.h"
#include "frontend/FrontendGame.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_CheckButton.h"
#include "gui/GUI_CloseButton.h"
#include "gui/GUI_ScrollingWindow.h"
#include "gui/GUI_SubtleTextButton.h"
#include "online/GUI_ChallengeDetails.h"
#include "online/GUI_ChallengeDetailsHistory.h"
#include "online/GUI_ChallengeHistory.h"
#include "online/GUI_ChallengeList.h"
#include "online/GUI_ChallengeListClientWindow.h"
#include "online/GUI_ChallengeListWindow.h"
#include "online/GUI_ChallengeStrip.h"
#include "online/GUI_ColumnSortButton.h"
#include "online/GUI_ChallengeThumbnail.h"
#include "online/GUI_NewChallengeEntry.h"
#include "engine/GFileHelpers.h"
#include "engine/ImageWrite.h"
#include "online/GUI_PleaseWait.h"
#include "engine/APP_ContentPackage.h"
#include "engine/LibText.h"
#include "engine/TextHelpers.h"
#include "gui/GUI_TextEditWindow.h"
#include "gui/GUI_Tutorial.h"
#include "gui/GUI_TutorialWindow.h"
#include "online/GUI_Rating.h"
#include "online/GUI_RetaliationsList.h"
#include "engine/GHashTable.h"
#include "online/OnlineJob.h"
#include "online/SIM_ChallengeDatabase.h"
#include "online/SIM_Server.h"
#include "prep/GUI_DeploymentGUI.h"
#include "sim/SIM_ChallengeFile.h"
#include "sim/SIM_DeployedFleet.h"
#include "sim/SIM_Scenario.h"
#include "support/LocalChallengeServer.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <sstream>
#include <thread>

namespace {
std::string Line(const std::string& id, const std::string& sender, const std::string& receiver, int year,
                 const std::string& parent = "")
{
    return "##," + id + "," + sender + "," + receiver + ",\"taunt " + id + "\",0,0,0,1.00,2.00,\"Arena\",20" +
           std::to_string(year) + "-1-1,\"federation\"," + parent + "\n";
}

class ChallengeScreens : public FrontendGame {
protected:
    void SetUp() override
    {
        FrontendGame::SetUp();
        GetInternet().SetServerUrl("");
        SetOptions(false, false, false, true);
        const std::string user = Game::GetInstance().GetUserPath(Game::USER);
        WriteFileAtomically(user + "/web/qlmcdu", "Ann");
        SIM_ChallengeDatabase::GetInstance().SetFolder(user + "/web/challenges");
    }
    void TearDown() override
    {
        Game::GetInstance().SetMode(15);
        Frames(1);
        OnlineJob::JoinAll();
        GetInternet().SetServerUrl("");
    }
    static void SetOptions(bool local, bool personal, bool posted, bool all)
    {
        SIM_Options& o = SIM_Options::GetInstance();
        o.SetValue("CHALLENGES_SHOWLOCAL", local);
        o.SetValue("CHALLENGES_SHOWPERSONAL", personal);
        o.SetValue("CHALLENGES_SHOWPOSTED", posted);
        o.SetValue("CHALLENGES_SHOWALL", all);
    }
    static void WriteList(const std::string& text)
    {
        SIM_ChallengeDatabase& db = SIM_ChallengeDatabase::GetInstance();
        db.Clear();
        WriteFileAtomically(db.GetPath(), text);
    }
    static GUI_ChallengeListClientWindow* OpenList()
    {
        Game::GetInstance().SetMode(GUI_ChallengeList::kModeId);
        Frames(2);
        GUI_ChallengeListWindow* w = GUI_ChallengeList::GetInstance().GetWindow();
        return w ? w->GetClient() : nullptr;
    }
    static std::vector<std::string> ShownIds(const GUI_ChallengeListClientWindow& list)
    {
        std::vector<std::string> ids;
        for (const GUI_ChallengeStrip* row : list.GetRows())
            ids.push_back(row->GetRecord()->id);
        return ids;
    }
};
} // namespace

TEST_F(ChallengeScreens, FiltersFollowTheirCaseRulesAndEachMatchShowsOnce)
{
    WriteList(Line("1", "Bob", "all", 9) + Line("2", "Bob", "All", 9) + Line("3", "Bob", "ANN", 9) +
              Line("4", "Ann", "all", 9) + Line("5", "ANN", "Cid", 9) + Line("6", "Bob", "Cid", 9));
    GUI_ChallengeListClientWindow* list = OpenList();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(ShownIds(*list), (std::vector<std::string>{"1", "4"})) << "only the word all in lower case is open";

    GUI_ChallengeListWindow* window = GUI_ChallengeList::GetInstance().GetWindow();
    window->ToggleFilter(GUI_ChallengeListClientWindow::SHOW_PERSONAL);
    window->ToggleFilter(GUI_ChallengeListClientWindow::SHOW_POSTED);
    EXPECT_EQ(ShownIds(*list), (std::vector<std::string>{"1", "3", "4"}))
        << "a receiver in another case is personal; a sender in another case is not the player";
    window->ToggleFilter(GUI_ChallengeListClientWindow::SHOW_ALL);
    EXPECT_EQ(ShownIds(*list), (std::vector<std::string>{"3", "4"}));
    // Every toggle is in config.txt at once.
    EXPECT_NE(UserFile("config.txt").find("CHALLENGES_SHOWALL = 0"), std::string::npos) << UserFile("config.txt");
    EXPECT_NE(UserFile("config.txt").find("CHALLENGES_SHOWPERSONAL = 1"), std::string::npos);
    for (int i = 0; i < 4; ++i)
        window->GetClient()->filters[i] = false;
    list->RebuildRows();
    EXPECT_TRUE(list->GetRows().empty()) << "with every filter off the table is empty";
}

TEST_F(ChallengeScreens, HeadersSortAndTheTableScrollsByMatches)
{
    std::string text;
    for (int i = 1; i <= 20; ++i)
        text += Line(std::to_string(i), "Bob", "all", i % 3 == 0 ? 10 : 9);
    text += Line("21", "Bob", "Cid", 11); // filtered out: never counted
    WriteList(text);
    GUI_ChallengeListClientWindow* list = OpenList();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->GetRows().front()->GetRecord()->id, "1") << "a fresh table keeps the list's order";
    EXPECT_EQ(list->GetSortColumn(), GUI_ChallengeListClientWindow::COL_DATE);
    EXPECT_TRUE(list->GetHeader(GUI_ChallengeListClientWindow::COL_DATE)->selected);
    // Every title keeps inside its header ("Won" and "Tried" never run together),
    // at full size where it fits.
    LibText& font = LibText::GetInstance();
    for (int c = 0; c < GUI_ChallengeListClientWindow::kHeaders; ++c) {
        GUI_ColumnSortButton* header = list->GetHeader(c);
        const int room = header->right - header->left - 2 * GUI_ColumnSortButton::kInset;
        const std::string& shown = header->GetShownTitle();
        font.SetFont("zekton16.dds", header->GetShownSize());
        EXPECT_LE(font.GetTextWidth(shown), room) << shown;
        EXPECT_EQ(shown, header->GetTitle()) << "whole at the sizes the headers need";
        font.SetFont("zekton16.dds", GUI_ColumnSortButton::kFontSize);
        EXPECT_EQ(header->GetShownSize() < GUI_ColumnSortButton::kFontSize, font.GetTextWidth(shown) > room) << shown;
    }
    font.SetFont("zekton16.dds", 16.0f);

    const int shown = static_cast<int>(list->GetRows().size());
    ASSERT_GT(shown, 0);
    ASSERT_LT(shown, 20);
    EXPECT_EQ(list->GetScrollBar()->maximum, 20 - shown);
    list->GetScrollBar()->position = 20 - shown;
    list->RebuildRows();
    EXPECT_EQ(list->GetRows().back()->GetRecord()->id, "20");
    EXPECT_EQ(static_cast<int>(list->GetRows().size()), shown);

    // DATE is current: the first click turns it to newest first.
    list->GetHeader(GUI_ChallengeListClientWindow::COL_DATE)->Press();
    EXPECT_EQ(list->GetScrollBar()->position, 20 - shown) << "sorting keeps the scroll position";
    list->GetScrollBar()->position = 0;
    list->RebuildRows();
    EXPECT_EQ(list->GetRows().front()->GetRecord()->year, 10);
    // Another header sorts ascending; ids compare as text.
    list->GetHeader(GUI_ChallengeListClientWindow::COL_ID)->Press();
    EXPECT_EQ(ShownIds(*list).front(), "1");
    EXPECT_EQ(ShownIds(*list)[1], "10");
    EXPECT_TRUE(list->GetHeader(GUI_ChallengeListClientWindow::COL_ID)->selected);
    EXPECT_FALSE(list->GetHeader(GUI_ChallengeListClientWindow::COL_DATE)->selected);
    list->GetHeader(GUI_ChallengeListClientWindow::COL_ID)->Press();
    EXPECT_EQ(ShownIds(*list).front(), "9");

    // A filter toggled goes back to the top.
    list->GetScrollBar()->position = 3;
    GUI_ChallengeList::GetInstance().GetWindow()->ToggleFilter(GUI_ChallengeListClientWindow::SHOW_LOCAL);
    EXPECT_EQ(list->GetScrollBar()->position, 0);
}

TEST_F(ChallengeScreens, ARowShowsItsRecordAsCopiedTexts)
{
    SIM_ChallengeRecord r(Line("7", "Bob", "all", 9));
    r.map.clear();
    r.taunt = "lines of the taunt wrap in their column and never run over into the map column next to it, "
              "however much is said";
    r.race = "federation";
    r.sender = std::string(128, 'S');
    r.attempts = 100000;
    r.timesBeaten = 123456;
    r.day = 7;
    r.month = 3;
    r.year = 9;
    GUI_ChallengeStrip strip(&r);
    EXPECT_EQ(strip.GetMapText(), "?");
    {
        // Texts from the server keep to their columns, broken only at blanks.
        LibText& text = LibText::GetInstance();
        text.SetFont("zekton16.dds", GUI_ChallengeStrip::kFontSize);
        const std::string taunt = strip.GetTauntText();
        EXPECT_EQ(std::count(taunt.begin(), taunt.end(), '\n'), GUI_ChallengeStrip::kTauntLines - 1) << taunt;
        std::istringstream in(taunt);
        for (std::string line; std::getline(in, line);) {
            EXPECT_LE(text.GetTextWidth(line), GUI_ChallengeStrip::kWidths[2] - 6) << line;
            EXPECT_NE(r.taunt.find(line.substr(0, line.find("..."))), std::string::npos) << line;
        }
        EXPECT_EQ(taunt.substr(taunt.size() - 3), "...") << "the rest is in the tooltip";
        EXPECT_EQ(strip.GetRaceText(), GetString("RACE_FEDERATION")) << "the race by its name, not its id";
        EXPECT_EQ(strip.GetSenderText().find('\n'), std::string::npos);
        EXPECT_LE(text.GetTextWidth(strip.GetSenderText()), GUI_ChallengeStrip::kWidths[1]);
    }
    // Narrow columns: the race, the date and the counts are drawn smaller, whole, inside them.
    LibText& text = LibText::GetInstance();
    const struct {
        std::string shown;
        float size;
        int column;
    } narrow[4] = {{strip.GetRaceText(), strip.GetRaceSize(), 4},
                   {strip.GetDateText(), strip.GetDateSize(), 5},
                   {strip.GetBeatenText(), strip.GetBeatenSize(), 6},
                   {strip.GetAttemptsText(), strip.GetAttemptsSize(), 7}};
    for (const auto& n : narrow) {
        text.SetFont("zekton16.dds", n.size);
        EXPECT_LE(text.GetTextWidth(n.shown), GUI_ChallengeStrip::kWidths[n.column] - 6) << n.shown;
        text.SetFont("zekton16.dds", n.size + 1.0f);
        EXPECT_GT(text.GetTextWidth(n.shown), GUI_ChallengeStrip::kWidths[n.column] - 6) << "as large as fits";
    }
    EXPECT_EQ(strip.GetDateText(), "03/07/09");
    EXPECT_EQ(strip.GetAttemptsText(), "100000");
    EXPECT_EQ(strip.GetBeatenText(), "123456");
    // A race this game does not know shows as it came; a long map wraps in its column.
    r.race = "zorgon";
    r.map = "The Very Long Nebula of Forgotten Fleets and Broken Moons";
    GUI_ChallengeStrip other(&r);
    EXPECT_EQ(other.GetRaceText(), "zorgon");
    text.SetFont("zekton16.dds", GUI_ChallengeStrip::kFontSize);
    const std::string map = other.GetMapText();
    EXPECT_EQ(std::count(map.begin(), map.end(), '\n'), GUI_ChallengeStrip::kMapLines - 1) << map;
    EXPECT_LE(text.GetTextWidth(map), GUI_ChallengeStrip::kWidths[3] - 6) << "never over the race: " << map;
    EXPECT_EQ(map.substr(map.size() - 3), "...");
    EXPECT_EQ(GUI_ChallengeStrip::ShortTaunt(std::string(128, 'u')), std::string(128, 'u') + "...");
    EXPECT_EQ(GUI_ChallengeStrip::FormatDate(25, 12, 10), "12/25/10");

    GUI_Rating stars(GUI_Rating::DIFFICULTY);
    stars.SetValue(2.5f);
    EXPECT_FLOAT_EQ(stars.GetFill(1), 1.0f);
    EXPECT_NEAR(stars.GetFill(2), 0.5f, 1e-5f) << "the third star is cut in half";
    EXPECT_EQ(stars.GetFill(3), 0.0f);
    EXPECT_NE(stars.GetTooltipText().find("[50%]"), std::string::npos);
    stars.SetValue(7.0f);
    EXPECT_EQ(stars.GetFill(4), 1.0f);
    EXPECT_NE(stars.GetTooltipText().find("[100%]"), std::string::npos);
    stars.SetValue(-1.0f);
    EXPECT_EQ(stars.GetFill(0), 0.0f);
}

TEST_F(ChallengeScreens, WithoutAServerNothingWaitsAndTheListStays)
{
    const std::string text = Line("1", "Bob", "all", 9);
    WriteList(text);
    GUI_ChallengeListClientWindow* list = OpenList();
    ASSERT_NE(list, nullptr);
    ClickAt((GUI_ChallengeList::GetInstance().GetWindow()->GetRefreshButton()->left +
             GUI_ChallengeList::GetInstance().GetWindow()->GetRefreshButton()->right) / 2,
            (GUI_ChallengeList::GetInstance().GetWindow()->GetRefreshButton()->top +
             GUI_ChallengeList::GetInstance().GetWindow()->GetRefreshButton()->bottom) / 2);
    EXPECT_FALSE(GUI_PleaseWait::IsOpen());
    EXPECT_FALSE(list->IsRefreshing());
    EXPECT_EQ(list->GetStatusKey(), "ONLINE_NO_SERVER");
    EXPECT_EQ(ShownIds(*list), std::vector<std::string>{"1"});
    // The rows' stars wait for the table, which draws them all each frame.
    EXPECT_TRUE(list->GetRows()[0]->GetEnjoyment()->queued);
    list->GetRows()[0]->Draw();
    EXPECT_EQ(GUI_Rating::GetQueuedCount(), 2u);
    list->Draw();
    EXPECT_EQ(GUI_Rating::GetQueuedCount(), 0u);
    std::string after;
    ReadWholeFile(SIM_ChallengeDatabase::GetInstance().GetPath(), after);
    EXPECT_EQ(after, text);

    // Details: Download cannot reach anything and says so; the window stays.
    GUI_ChallengeDetails* details = GUI_ChallengeDetails::Open(list->GetRows()[0]->GetRecord());
    ASSERT_NE(details, nullptr);
    EXPECT_EQ(details->GetFightButton()->GetText(), GetString("CHALLENGE_BUTTON_DOWNLOAD"));
    EXPECT_EQ(details->GetDeleteButton(), nullptr) << "Ann neither sent nor received it";
    EXPECT_FALSE(details->Fight());
    EXPECT_EQ(details->GetStatusKey(), "ONLINE_NO_SERVER");
    EXPECT_EQ(Game::GetInstance().GetModeId(), GUI_ChallengeList::kModeId);
    EXPECT_EQ(details->GetHistoryPanel()->GetStatusKey(), "ONLINE_NO_SERVER");
    // The history's word for it wraps whole into the panel, 10 in a side.
    GUI_ChallengeDetailsHistory* history = details->GetHistoryPanel();
    const std::string& shown = history->GetShownStatus();
    LibText& lib = LibText::GetInstance();
    lib.SetFont("zekton16.dds", 16.0f);
    const int room = history->right - history->left - 2 * GUI_ChallengeDetailsHistory::kStatusInset;
    ASSERT_GT(lib.GetTextWidth(GetString("ONLINE_NO_SERVER")), room) << "one line would not do";
    EXPECT_EQ(shown, lib.GetWrappedText(GetString("ONLINE_NO_SERVER"), room));
    EXPECT_GE(std::count(shown.begin(), shown.end(), '\n'), 1);
    EXPECT_LT(std::count(shown.begin(), shown.end(), '\n'), GUI_ChallengeDetailsHistory::kStatusLines);
}

// A player who holds no challenge yet sees the server's list on the first
// visit, without a hunt for Refresh; once some are held, the server is asked
// only through Refresh.
TEST_F(ChallengeScreens, AFirstVisitWithNothingHeldFetchesTheListAtOnce)
{
    LocalChallengeServer local;
    ASSERT_TRUE(local.Start());
    GHttpClient http;
    http.SetServerUrl(local.Url());
    SIM_Server bob(&http);
    bob.SetIdentity("Bob", "2");
    ASSERT_TRUE(bob.AddChallenge("all", "come and see", "Arena", ""));
    GetInternet().SetServerUrl(local.Url());
    WriteList("");
    const auto asked = [&local] {
        const auto r = local.challenges.GetRequests();
        return std::count_if(r.begin(), r.end(), [](const std::string& line) {
            return line.rfind("GET /quillomar/server/getmychaldemo.php", 0) == 0;
        });
    };
    GUI_ChallengeListClientWindow* list = OpenList();
    ASSERT_NE(list, nullptr);
    for (int i = 0; i < 1000 && list->IsRefreshing(); ++i) {
        Frames(1);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    EXPECT_EQ(asked(), 1);
    EXPECT_EQ(ShownIds(*list), std::vector<std::string>{"1"});
    EXPECT_EQ(list->GetStatusKey(), "CHALLENGES_REFRESHED");
    Game::GetInstance().SetMode(15);
    Frames(1);
    list = OpenList();
    ASSERT_NE(list, nullptr);
    EXPECT_FALSE(list->IsRefreshing());
    EXPECT_EQ(asked(), 1) << "what is held shows without a request";
    EXPECT_EQ(ShownIds(*list), std::vector<std::string>{"1"});
}

// The lesson about a challenge's details points at their buttons: it goes
// when the details window goes, whichever way it closes.
TEST_F(ChallengeScreens, TheChallengeLessonGoesWithItsDetailsWindow)
{
    WriteList(Line("1", "Bob", "all", 9));
    GUI_ChallengeListClientWindow* list = OpenList();
    ASSERT_NE(list, nullptr);
    ASSERT_FALSE(list->GetRows().empty());
    GUI_Tutorial& tutorial = GUI_Tutorial::GetInstance();
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round == 0 ? "its close button" : "Escape");
        tutorial.Clear();
        tutorial.LoadDefinitionFile("data/tutorials/online.csv");
        GUI_ChallengeDetails* details = GUI_ChallengeDetails::Open(list->GetRows()[0]->GetRecord());
        ASSERT_NE(details, nullptr);
        Frames(2);
        ASSERT_NE(GUI_TutorialWindow::GetFirst(), nullptr);
        ASSERT_EQ(GUI_TutorialWindow::GetFirst()->GetLessonName(), "CHALLENGE_DETAILS");
        if (round == 0) {
            const GUI_CloseButton* close = details->GetCloseButton();
            ASSERT_NE(close, nullptr);
            ClickAt((close->left + close->right) / 2, (close->top + close->bottom) / 2);
        } else {
            // The lesson takes the first Escape, as every lesson does; the
            // details window goes at its own.
            GUI_TutorialWindow::DismissFirst();
            tutorial.Clear();
            tutorial.LoadDefinitionFile("data/tutorials/online.csv");
            ASSERT_TRUE(tutorial.LaunchTutorial("CHALLENGE_DETAILS"));
            Frames(2);
            ASSERT_NE(GUI_TutorialWindow::GetFirst(), nullptr);
            GUI_ChallengeDetails::Close();
        }
        Frames(2);
        EXPECT_EQ(GUI_ChallengeDetails::GetOpen(), nullptr);
        EXPECT_TRUE(GUI_TutorialWindow::GetOpenWindows().empty()) << "the lesson stayed up";
    }
    DropAllLessons();
}

TEST_F(ChallengeScreens, DetailsOfferDeleteToSenderAndReceiverAndReplaceEachOther)
{
    WriteList(Line("1", "Ann", "all", 9) + Line("2", "Bob", "Ann", 9) + Line("3", "Bob", "all", 9, "1"));
    GUI_ChallengeListClientWindow* list = OpenList();
    ASSERT_NE(list, nullptr);
    const auto& records = SIM_ChallengeDatabase::GetInstance().GetRecords();
    ASSERT_EQ(records.size(), 3u);
    GUI_ChallengeDetails* first = GUI_ChallengeDetails::Open(records[0]);
    EXPECT_NE(first->GetDeleteButton(), nullptr);
    EXPECT_EQ(first->GetDataPanel()->GetValue(5), "01/01/09");
    EXPECT_EQ(first->GetDataPanel()->GetLabel(0), std::string(GetString("CHALLENGE_DETAILS_FROM")) + ":");
    // Its retaliations: only the direct answer.
    std::vector<std::string> answers;
    for (const GUI_ChallengeStrip* row : first->GetRetaliations()->GetList()->GetRows())
        answers.push_back(row->GetRecord()->id);
    EXPECT_EQ(answers, std::vector<std::string>{"3"});

    GUI_ChallengeDetails* second = GUI_ChallengeDetails::Open(records[1]);
    Frames(1);
    EXPECT_EQ(GUI_ChallengeDetails::GetOpen(), second);
    EXPECT_NE(second->GetDeleteButton(), nullptr) << "its receiver may delete it";
    size_t detailsOpen = 0;
    for (GUI_WindowBase* w : GUI_WindowManager::GetInstance().GetModalWindows())
        detailsOpen += dynamic_cast<GUI_ChallengeDetails*>(w) != nullptr;
    EXPECT_EQ(detailsOpen, 1u);
}

TEST_F(ChallengeScreens, ClosingWindowsWhileTheirDownloadRunsIsSafe)
{
    LoopbackHttpServer server;
    server.server.Get("/quillomar/server/getchallengehistory.php", [](const httplib::Request&, httplib::Response& res) {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        res.set_content("##,2009-01-02,Zed,Victory\n##,2009-01-01,Amy,Defeat\n", "text/plain");
    });
    ASSERT_TRUE(server.Start());
    GetInternet().SetServerUrl(server.Url());
    WriteList(Line("1", "Bob", "all", 9));
    GUI_ChallengeListClientWindow* list = OpenList();
    ASSERT_NE(list, nullptr);

    // Closed at once: the worker finishes into its own buffer, which goes with it.
    GUI_ChallengeDetails::Open(list->GetRows()[0]->GetRecord());
    EXPECT_TRUE(GUI_PleaseWait::IsOpen());
    GUI_ChallengeDetails::Close();
    Frames(1);
    EXPECT_FALSE(GUI_PleaseWait::IsOpen());
    GUI_ChallengeHistory::Open("1");
    Game::GetInstance().SetMode(15);
    Frames(1);
    OnlineJob::JoinAll();
    Frames(1);

    // Left open, the history arrives in the file's order; the headers sort it.
    OpenList();
    GUI_ChallengeHistory* history = GUI_ChallengeHistory::Open("1");
    for (int i = 0; i < 500 && history->GetTable()->IsDownloading(); ++i) {
        Frames(1);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    GUI_ChallengeDetailsHistory* table = history->GetTable();
    ASSERT_EQ(table->GetItems().size(), 2u);
    EXPECT_FALSE(GUI_PleaseWait::IsOpen());
    EXPECT_EQ(table->GetItems()[0].name, "Zed");
    EXPECT_GT(table->GetRows().size(), 2u) << "empty lines fill the table";
    EXPECT_TRUE(table->GetRows()[2]->IsFiller());
    EXPECT_EQ(table->GetScrollBar()->maximum, 0);
    table->SortByColumn(GUI_ChallengeDetailsHistory::DATE); // current column: descending
    EXPECT_EQ(table->GetItems()[0].name, "Zed");
    table->SortByColumn(GUI_ChallengeDetailsHistory::NAME);
    EXPECT_EQ(table->GetItems()[0].name, "Amy");
}

TEST_F(ChallengeScreens, ARefreshShowsNewestFirstAndFightMeetsTheMirroredFleet)
{
    LocalChallengeServer local;
    ASSERT_TRUE(local.Start());
    GetInternet().SetServerUrl(local.Url());
    // Ann posts a one-ship fleet on the first scenario.
    SIM_Scenario* scenario = SIM_Scenario::GetFirst();
    ASSERT_NE(scenario, nullptr);
    SIM_DeployedFleet fleet;
    auto ship = std::make_shared<SIM_DeployedShip>();
    ship->design = "fed_sample_cruiser";
    ship->name = "Meridian";
    ship->x = 300.0f;
    ship->y = 400.0f;
    ship->angle = 90.0f;
    ship->shipId = 1;
    ASSERT_TRUE(fleet.AddShip(ship));
    GHttpClient http;
    http.SetServerUrl(local.Url());
    SIM_Server ann(&http);
    ann.SetIdentity("Ann", "1");
    ASSERT_TRUE(ann.AddChallenge("all", "come on", "Arena", ""));
    SIM_ChallengeFile writer;
    ASSERT_TRUE(WriteFileAtomically(local.DataFile("challenges/1.qlm"),
                                    writer.WriteToBytes(fleet, "all", "come on", "Ann", *scenario)));

    WriteList(Line("50", "Old", "all", 9));
    GUI_ChallengeListClientWindow* list = OpenList();
    ASSERT_NE(list, nullptr);
    list->Reload(true);
    for (int i = 0; i < 1000 && list->IsRefreshing(); ++i) {
        Frames(1);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    EXPECT_EQ(ShownIds(*list), (std::vector<std::string>{"1", "50"})) << "newest first";
    EXPECT_TRUE(list->IsDescending());
    EXPECT_EQ(list->GetStatusKey(), "CHALLENGES_REFRESHED");

    GUI_ChallengeDetails* details = GUI_ChallengeDetails::Open(list->GetRows()[0]->GetRecord());
    // Download: the file comes beside the frame, then the same press goes on to the fight.
    EXPECT_FALSE(details->Fight());
    for (int i = 0; i < 1000 && Game::GetInstance().GetModeId() != GUI_DeploymentGUI::kModeId; ++i) {
        Frames(1);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    Frames(1);
    EXPECT_FALSE(GUI_PleaseWait::IsOpen());
    ASSERT_EQ(Game::GetInstance().GetModeId(), GUI_DeploymentGUI::kModeId);
    GUI_DeploymentGUI& deployment = GUI_DeploymentGUI::GetInstance();
    EXPECT_EQ(deployment.GetReturnMode(), GUI_ChallengeList::kModeId);
    EXPECT_TRUE(deployment.GetScenario()->IsChallengeFleet());
    ASSERT_NE(deployment.GetEnemyFleet(), nullptr);
    ASSERT_EQ(deployment.GetEnemyFleet()->GetShips().size(), 1u);
    const auto& enemy = *deployment.GetEnemyFleet()->GetShips()[0];
    EXPECT_FLOAT_EQ(enemy.x, scenario->GetMapSizeX() - 300.0f) << "the sender's fleet faces the player";
    EXPECT_FLOAT_EQ(enemy.y, 400.0f);
    EXPECT_FLOAT_EQ(enemy.angle, 270.0f);
    EXPECT_FALSE(GUI_ChallengeDetails::GetOpen()) << "leaving the list closed the details";
}

TEST_F(ChallengeScreens, DeleteFromTheDetailsClosesThemAndDropsTheRowAfterTheClick)
{
    LocalChallengeServer local;
    ASSERT_TRUE(local.Start());
    GetInternet().SetServerUrl(local.Url());
    GHttpClient http;
    http.SetServerUrl(local.Url());
    SIM_Server ann(&http);
    ann.SetIdentity("Ann", "1");
    ASSERT_TRUE(ann.AddChallenge("all", "mine", "Arena", ""));
    ASSERT_TRUE(ann.AddChallenge("all", "mine too", "Arena", ""));
    WriteList("");
    GUI_ChallengeListClientWindow* list = OpenList();
    ASSERT_NE(list, nullptr);
    list->Reload(true);
    for (int i = 0; i < 1000 && list->IsRefreshing(); ++i) {
        Frames(1);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    ASSERT_EQ(list->GetRows().size(), 2u);
    GUI_ChallengeDetails* details = GUI_ChallengeDetails::Open(list->GetRows()[0]->GetRecord());
    ASSERT_NE(details->GetDeleteButton(), nullptr) << "Ann sent it";
    const std::string id = details->GetRecord().id;
    for (int i = 0; i < 1000 && details->GetHistoryPanel()->IsDownloading(); ++i) {
        Frames(1);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    // Through the window manager, as the player's click comes.
    Click(*details->GetDeleteButton());
    Frames(1);
    EXPECT_EQ(GUI_ChallengeDetails::GetOpen(), nullptr) << "the window goes at once; the answer comes later";
    for (int i = 0; i < 1000 && GUI_ChallengeList::GetInstance().IsDeleting(); ++i) {
        Frames(1);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    Frames(1);
    ASSERT_EQ(list->GetRows().size(), 1u);
    EXPECT_NE(list->GetRows()[0]->GetRecord()->id, id);
    EXPECT_EQ(UserFile("web/challenges/challengelist.txt").find("##," + id + ","), std::string::npos);
}

TEST_F(ChallengeScreens, ARetaliationAnswersItsChallengerAndARefusalLeavesSubmitOn)
{
    SIM_Scenario answered{SIM_Scenario::Unlisted{}};
    answered.SetChallengeFleet(true);
    answered.SetChallengeFile("77");
    answered.SetStringMember("Cid");
    SIM_DeployedFleet fleet;
    GUI_NewChallengeEntry::SetSource(&fleet, SIM_Scenario::GetFirst());
    bool hookCalled = false;
    static bool* s_called = nullptr;
    s_called = &hookCalled;
    GUI_NewChallengeEntry::SetRetaliationPostedHook([](bool) { *s_called = true; });

    GUI_NewChallengeEntry* window = GUI_NewChallengeEntry::OpenRetaliation(&answered);
    EXPECT_EQ(window->GetSendToAllBox(), nullptr);
    EXPECT_EQ(window->GetReceiverEntry()->GetText(), "Cid");
    std::string taunt = GetString("RETALIATE_DEFAULT_TAUNT");
    ReplaceSubstring(taunt, "<CHALLENGEID>", "77");
    EXPECT_EQ(window->GetTauntEntry()->GetText(), taunt);
    EXPECT_EQ(window->height, APP_ContentPackage::GetInstance().GetPackages().size() > 1
                                  ? 268 + 35 * static_cast<int>(APP_ContentPackage::GetInstance().GetPackages().size() - 1)
                                  : 260);

    // No server: refused in red, nothing counts, SUBMIT can be pressed again.
    window->Submit();
    // One line of the status box, however long the reason.
    LibText& font = LibText::GetInstance();
    font.SetFont("zekton16.dds", 16.0f);
    EXPECT_EQ(window->GetStatus(),
              font.FitText(GetString("ONLINE_NO_SERVER"), GUI_NewChallengeEntry::kStatusWidth - 20, 1));
    EXPECT_EQ(window->GetStatus().find('\n'), std::string::npos);
    EXPECT_EQ(window->GetStatusColour(), GUI_NewChallengeEntry::kRefusedColour);
    EXPECT_FALSE(window->IsPosted());
    EXPECT_TRUE(window->CanSubmit());
    EXPECT_FALSE(hookCalled) << "a retaliation that never reached the server is not marked done";

    // A new challenge to nobody cannot be sent until it goes to all.
    GUI_NewChallengeEntry* fresh = GUI_NewChallengeEntry::OpenNewChallenge();
    Frames(1);
    EXPECT_EQ(GUI_NewChallengeEntry::GetOpen(), fresh);
    EXPECT_FALSE(fresh->CanSubmit());
    fresh->ToggleSendToAll();
    EXPECT_TRUE(fresh->CanSubmit());
    GUI_NewChallengeEntry::SetSource(nullptr, nullptr);
    GUI_NewChallengeEntry::SetRetaliationPostedHook(nullptr);
    GUI_NewChallengeEntry::Close();
}

TEST_F(ChallengeScreens, ATryAfterTheServerGrantedAnIdSendsTheFileUnderThatId)
{
    // The server's upload script: the first upload is held until the player
    // cancels it, the second fails, the third goes through.
    LocalChallengeServer local;
    std::mutex mutex;
    std::condition_variable changed;
    int uploads = 0;
    bool held = false, released = false;
    local.loopback.server.set_pre_routing_handler([&](const httplib::Request& req, httplib::Response& res) {
        if (req.path != "/quillomar/server/postchallenge.php")
            return httplib::Server::HandlerResponse::Unhandled;
        std::unique_lock<std::mutex> lock(mutex);
        ++uploads;
        if (uploads == 1) {
            held = true;
            changed.notify_all();
            changed.wait(lock, [&] { return released; });
        }
        if (uploads > 2)
            return httplib::Server::HandlerResponse::Unhandled;
        res.status = 500;
        return httplib::Server::HandlerResponse::Handled;
    });
    struct Release {
        std::mutex& m;
        std::condition_variable& c;
        bool& r;
        ~Release()
        {
            std::lock_guard<std::mutex> lock(m);
            r = true;
            c.notify_all();
        }
    } release{mutex, changed, released};
    ASSERT_TRUE(local.Start());
    GetInternet().SetServerUrl(local.Url());
    SIM_DeployedFleet fleet;
    GUI_NewChallengeEntry::SetSource(&fleet, SIM_Scenario::GetFirst());
    GUI_NewChallengeEntry* window = GUI_NewChallengeEntry::OpenNewChallenge();
    window->ToggleSendToAll();

    // Cancelled while the file goes up: the server has granted the id already.
    window->Submit();
    {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait(lock, [&] { return held; });
    }
    ASSERT_NE(GUI_PleaseWait::GetOpen(), nullptr);
    Click(*GUI_PleaseWait::GetOpen()->GetCancelButton());
    EXPECT_EQ(GUI_PleaseWait::GetOpen(), nullptr);
    OnlineJob::JoinAll();
    {
        std::lock_guard<std::mutex> lock(mutex);
        released = true;
        changed.notify_all();
    }
    Frames(1);
    const std::string id = window->GetGrantedId();
    ASSERT_FALSE(id.empty());
    EXPECT_EQ(window->GetStatus(), GetString("ONLINE_CANCELLED"));
    EXPECT_FALSE(window->IsPosted());
    EXPECT_TRUE(window->CanSubmit());
    EXPECT_FALSE(window->GetTauntEntry()->enabled) << "the server holds the taunt it was given";
    window->ToggleSendToAll();
    EXPECT_TRUE(window->IsSendToAll()) << "and the receiver";

    // The upload fails: the id stays, SUBMIT is on again.
    window->Submit();
    OnlineJob::JoinAll();
    Frames(1);
    EXPECT_EQ(window->GetStatus(), GetString("CHALLENGE_STATUS_FAILED_UPLOAD"));
    EXPECT_EQ(window->GetStatusColour(), GUI_NewChallengeEntry::kUploadFailedColour);
    EXPECT_EQ(window->GetGrantedId(), id);
    ASSERT_TRUE(window->CanSubmit());

    // The third try goes through, under the same id.
    window->Submit();
    OnlineJob::JoinAll();
    Frames(1);
    EXPECT_TRUE(window->IsPosted());
    EXPECT_EQ(window->GetStatus(), GetString("CHALLENGE_STATUS_POSTED"));
    {
        std::lock_guard<std::mutex> lock(mutex);
        EXPECT_EQ(uploads, 3);
    }
    const auto requests = local.challenges.GetRequests();
    EXPECT_NE(std::find_if(requests.begin(), requests.end(),
                           [&id](const std::string& r) {
                               return r.rfind("POST /quillomar/server/postchallenge.php " + id + " ", 0) == 0;
                           }),
              requests.end())
        << "the file went up under the id the first try was granted";
    EXPECT_EQ(std::count_if(requests.begin(), requests.end(),
                            [](const std::string& r) { return r.rfind("GET /quillomar/server/addchal136.php", 0) == 0; }),
              1)
        << "one challenge on the server, not one per try";
    std::string list;
    ReadWholeFile(local.DataFile("challengelist.txt"), list);
    EXPECT_EQ(std::count(list.begin(), list.end(), '\n'), 1) << list;
    EXPECT_TRUE(FileExists(local.DataFile("challenges/" + id + ".qlm")));
    GUI_NewChallengeEntry::SetSource(nullptr, nullptr);
    GUI_NewChallengeEntry::Close();
}

TEST(ChallengeThumbnail, APictureFromAnotherPlayerIsSizedUpBeforeItIsDecoded)
{
    TempDir dir;
    auto picture = [&](const std::string& name, int w, int h) {
        std::vector<uint8_t> rgba(static_cast<size_t>(w) * h * 4, 0x80);
        EXPECT_TRUE(WriteJpeg(dir.File(name), w, h, rgba));
        return dir.File(name);
    };
    EXPECT_TRUE(GUI_ChallengeThumbnail::IsAcceptable(picture("fits.jpg", 256, 256)));
    EXPECT_FALSE(GUI_ChallengeThumbnail::IsAcceptable(picture("wide.jpg", 257, 256)));
    EXPECT_FALSE(GUI_ChallengeThumbnail::IsAcceptable(picture("tall.jpg", 256, 257)));
    // A small picture padded past the byte limit is refused unread.
    std::string bytes;
    ASSERT_TRUE(ReadWholeFile(picture("padded.jpg", 16, 16), bytes));
    bytes.resize(GUI_ChallengeThumbnail::kMaxFileBytes + 1, '\0');
    EXPECT_FALSE(GUI_ChallengeThumbnail::IsAcceptable(dir.Write("big.jpg", bytes)));
    bytes.resize(GUI_ChallengeThumbnail::kMaxFileBytes);
    EXPECT_TRUE(GUI_ChallengeThumbnail::IsAcceptable(dir.Write("limit.jpg", bytes)));
    EXPECT_FALSE(GUI_ChallengeThumbnail::IsAcceptable(dir.Write("page.jpg", "<html>404</html>")));
    EXPECT_FALSE(GUI_ChallengeThumbnail::IsAcceptable(dir.File("missing.jpg")));
}

// A row whose record the list has dropped (deleted on the server, trimmed)
// shows no details: it reads the record through a watch, not a pointer.
TEST_F(ChallengeScreens, ARowWhoseRecordWasDroppedOpensNothing)
{
    WriteList(Line("1", "Ann", "all", 9) + Line("2", "Bob", "all", 9));
    GUI_ChallengeListClientWindow* list = OpenList();
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->GetRows().size(), 2u);
    GUI_ChallengeStrip* row = list->GetRows()[0];
    const std::string id = row->GetRecord()->id;
    ASSERT_TRUE(SIM_ChallengeDatabase::GetInstance().RemoveLocal(id));
    EXPECT_EQ(row->GetRecord(), nullptr);
    row->GetDetailsButton()->Press();
    EXPECT_EQ(GUI_ChallengeDetails::GetOpen(), nullptr);
    EXPECT_NE(list->GetRows()[1]->GetRecord(), nullptr) << "the other record stays";
}

