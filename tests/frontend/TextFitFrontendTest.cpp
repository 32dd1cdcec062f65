// Every text of the front-end screens and their windows fits its box, on a
// wide low screen and on a tall one, with the longest texts the shipped
// content gives them: every scenario's details, every race, every item of
// the shop, every lesson.
#include "frontend/FrontendGame.h"
#include "frontend/GUI_ChooseScenario.h"
#include "frontend/GUI_HighScoreTable.h"
#include "frontend/GUI_MainMenu.h"
#include "frontend/GUI_RaceScreen.h"
#include "frontend/GUI_Scenario.h"
#include "frontend/GUI_ScenarioAchievements.h"
#include "frontend/GUI_ScenarioDetails.h"
#include "frontend/GUI_Scenario_Anomalies.h"
#include "frontend/GUI_SupplyLimits.h"
#include "frontend/GUI_UnlockShop.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_ConfirmDialog.h"
#include "gui/GUI_Tutorial.h"
#include "gui/GUI_TutorialWindow.h"
#include "engine/GHttpClient.h"
#include "engine/LibText.h"
#include "online/OnlineStatus.h"
#include "platform/DdsImage.h"
#include "sim/SIM_HighScores.h"
#include "sim/SIM_Scenario.h"
#include "support/LoopbackHttpServer.h"
#include "support/TextFitGame.h"

#include <string>

namespace {

class TextFitFrontend : public TextFitGame {};

} // namespace

TEST_P(TextFitFrontend, TitleScenarioChoiceAndDetails)
{
    ExpectFits("title");
    GUI_MainMenu::AskToQuit();
    Frames(1);
    ExpectFits("quit question");
    while (GUI_WindowManager::GetInstance().CloseTopModal()) {
    }
    // Every medal earned, so that each scenario shows the three names.
    for (SIM_Scenario* scenario : SIM_Scenario::GetList())
        if (SIM_ScenarioScore* record = SIM_HighScores::GetInstance().GetScenarioRecord(scenario->GetName()))
            for (bool& beaten : record->beaten)
                beaten = true;
    Click(*GUI_MainMenu::GetInstance().GetBattleButton());
    SettleTransition();
    SettleRows();
    ExpectFits("scenario choice");
    for (GUI_Scenario* row : GUI_ChooseScenario::GetInstance().GetRows()) {
        SIM_Scenario* scenario = row->GetScenario();
        GUI_ScenarioDetails::Open(scenario);
        Frames(2);
        ExpectFits("details of " + scenario->GetName());
        GUI_ScenarioDetails* details = GUI_ScenarioDetails::GetOpen();
        ASSERT_NE(details, nullptr);
        if (details->GetAnomaliesButton()) {
            GUI_Scenario_Anomalies::Open(*scenario);
            Frames(1);
            ExpectFits("anomalies of " + scenario->GetName());
            GUI_WindowManager::GetInstance().CloseTopModal();
        }
        if (details->GetSupplyLimitsButton()) {
            Click(*details->GetSupplyLimitsButton());
            ExpectFits("supply limits of " + scenario->GetName());
            GUI_SupplyLimits::Close();
        }
        if (details->GetHighScoresButton()) {
            GUI_HighScoreTable::Open(scenario);
            Frames(2);
            ExpectFits("high scores of " + scenario->GetName());
            GUI_WindowManager::GetInstance().CloseTopModal();
        }
        Frames(1);
    }
}

TEST_P(TextFitFrontend, EachMedalsNameStandsOnItsDarkPlaque)
{
    SIM_Scenario* scenario = SIM_Scenario::FindByName("scenario1");
    ASSERT_NE(scenario, nullptr);
    SIM_ScenarioScore* record = SIM_HighScores::GetInstance().GetScenarioRecord(scenario->GetName());
    ASSERT_NE(record, nullptr);
    for (bool& beaten : record->beaten)
        beaten = true;
    Click(*GUI_MainMenu::GetInstance().GetBattleButton());
    SettleTransition();
    GUI_ScenarioDetails::Open(scenario);
    Frames(1);
    ExpectFits("medals");
    const GUI_ScenarioAchievements* awards = GUI_ScenarioDetails::GetOpen()->GetAwards();
    ASSERT_NE(awards, nullptr);
    for (int level = 0; level < 3; ++level) {
        const GUI_Achievement* medal = awards->GetMedal(level);
        ASSERT_TRUE(medal->IsEarned());
        const TextFitCheck::Recorded* name = m_check.Find(medal->GetAwardName());
        ASSERT_NE(name, nullptr) << medal->GetAwardName();
        TextureData picture;
        std::vector<uint8_t> rgba;
        ASSERT_TRUE(ReadDdsFile("data/bitmaps/frontend/" + medal->GetMedalTexture(), picture, nullptr));
        ASSERT_TRUE(DecodeToRGBA(picture, 0, rgba));
        // The medal is 110 x 32 pixels of its texture, centred at (middle, top + 16).
        const int originX = (medal->left + medal->right) / 2 - 55, originY = medal->top;
        double brightness = 0.0;
        int count = 0, clear = 0;
        for (const TextLayoutRecorder::Line& line : name->laid.lines)
            for (int y = static_cast<int>(line.top); y < static_cast<int>(line.bottom); ++y)
                for (int x = static_cast<int>(line.left); x < static_cast<int>(line.right); ++x) {
                    const int tx = x - originX, ty = y - originY;
                    ASSERT_TRUE(tx >= 0 && tx < 110 && ty >= 0 && ty < 32) << "the name leaves its medal";
                    const uint8_t* p = &rgba[(static_cast<size_t>(ty) * picture.width + tx) * 4];
                    brightness += (p[0] + p[1] + p[2]) / 3.0;
                    clear += p[3] <= 200;
                    ++count;
                }
        ASSERT_GT(count, 0);
        EXPECT_EQ(clear, 0) << medal->GetAwardName() << ": the plaque is solid under the whole name";
        EXPECT_LT(brightness / count, 64.0) << medal->GetAwardName() << " stands on a dark plaque";
    }
}

TEST_P(TextFitFrontend, RacesOptionsAndTheShop)
{
    Click(*GUI_MainMenu::GetInstance().GetBattleButton());
    SettleTransition();
    Click(*GUI_ChooseScenario::GetInstance().GetChangeRaceButton());
    SettleTransition();
    ExpectFits("races");

    Game::GetInstance().SetMode(15);
    Click(*GUI_MainMenu::GetInstance().GetOptionsButton());
    SettleTransition();
    ExpectFits("options");

    Game::GetInstance().SetMode(15);
    SIM_HighScores::GetInstance().AddPoints(123456 - SIM_HighScores::GetInstance().GetPoints());
    Click(*GUI_MainMenu::GetInstance().GetUnlocksButton());
    SettleTransition();
    GUI_UnlockWindow* shop = GUI_UnlockWindow::GetOpen();
    ASSERT_NE(shop, nullptr);
    size_t longestTitle = 0;
    for (int tab : {GUI_UnlockWindow::TAB_MODULES, GUI_UnlockWindow::TAB_HULLS, GUI_UnlockWindow::TAB_RACES}) {
        shop->SetTab(tab);
        Frames(1);
        ExpectFits("shop tab " + std::to_string(tab));
        // Each item's details in turn: the longest names and statistics.
        const std::vector<GUI_UnlockIcon*> icons = shop->GetIcons();
        for (GUI_UnlockIcon* icon : icons) {
            shop->Select(icon);
            ExpectFits("shop item " + shop->GetItemName());
            // Our names fit the title's box whole, however many letters.
            EXPECT_EQ(shop->GetShownTitle(), shop->GetItemName());
            longestTitle = std::max(longestTitle, shop->GetItemName().size());
        }
    }
    EXPECT_GT(longestTitle, 23u) << "a name past the 23 letters a fixed cut kept";
    // Without points every locked item says why Unlock is off: the points
    // it still needs, or the race to unlock first.
    SIM_HighScores::GetInstance().AddPoints(-SIM_HighScores::GetInstance().GetPoints());
    shop->RefreshPoints();
    int refusals = 0;
    for (int tab : {GUI_UnlockWindow::TAB_MODULES, GUI_UnlockWindow::TAB_HULLS, GUI_UnlockWindow::TAB_RACES}) {
        shop->SetTab(tab);
        const std::vector<GUI_UnlockIcon*> icons = shop->GetIcons();
        for (GUI_UnlockIcon* icon : icons) {
            shop->Select(icon);
            if (shop->GetRefusalText().empty())
                continue;
            ++refusals;
            ExpectFits("why " + shop->GetItemName() + " cannot be unlocked");
        }
    }
    EXPECT_GT(refusals, 0);
}

// The survival table with the longest texts a server may send: a name of
// 128 characters beside a six-figure score. The name is a player's text, so
// it may be cut, and only it; a short one is drawn whole.
TEST_P(TextFitFrontend, HighScoresWithTheLongestNames)
{
    std::string longest;
    while (longest.size() < 128)
        longest += "WMmw";
    longest.resize(128);
    LoopbackHttpServer server;
    server.server.Get("/quillomar/server/getsurvivalscores.php", [&](const httplib::Request&, httplib::Response& res) {
        res.set_content("##," + longest + ",999999,federation\n##,Ann,999999,korrath\n", "text/plain");
    });
    ASSERT_TRUE(server.Start());
    GetInternet().SetServerUrl(server.Url() + "/");
    GUI_HighScoreTable::Open(SIM_Scenario::FindByName("survival1"));
    GetInternet().SetServerUrl("");
    GUI_HighScoreTable* table = GUI_HighScoreTable::GetOpen();
    ASSERT_NE(table, nullptr);
    for (int i = 0; i < 500 && table->GetStatus() == OnlineStatus::WAITING; ++i) {
        SDL_Delay(5);
        Frames(1);
    }
    ASSERT_EQ(table->GetEntries().size(), 2u);
    const std::string where = "high scores at " + std::to_string(GetParam().width);
    for (const std::string& fault : m_check.CheckFrame(where))
        if (fault.find("is cut short from \"" + longest.substr(0, 20)) == std::string::npos)
            ADD_FAILURE() << fault;
    const GUI_HighScoreEntry* first = table->GetEntries()[0];
    const std::string& shown = first->GetShownName();
    ASSERT_GT(shown.size(), 3u);
    EXPECT_EQ(shown.substr(shown.size() - 3), "...");
    EXPECT_EQ(longest.compare(0, shown.size() - 3, shown, 0, shown.size() - 3), 0);
    // Cut only as far as it must: one more letter would not fit its room.
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    EXPECT_LE(text.GetTextWidth(shown), first->GetNameRoom());
    EXPECT_GT(text.GetTextWidth(longest.substr(0, shown.size() - 2) + "..."), first->GetNameRoom());
    EXPECT_EQ(table->GetEntries()[1]->GetShownName(), "Ann");
    const TextFitCheck::Recorded* name = m_check.Find(shown);
    const TextFitCheck::Recorded* score = m_check.Find("999,999");
    ASSERT_TRUE(name && score);
    EXPECT_LT(name->laid.lines[0].right + TextFitCheck::kGap, score->laid.lines[0].left);
    GUI_WindowManager::GetInstance().CloseTopModal();
    Frames(1);
}

TEST_P(TextFitFrontend, EveryLesson)
{
    // Each lesson's window over the title: it is the same window on any screen.
    GUI_Tutorial& tutorial = GUI_Tutorial::GetInstance();
    tutorial.Load();
    std::vector<TutorialDefinition> lessons;
    for (const auto& lesson : tutorial.GetPending())
        lessons.push_back(*lesson);
    DropAllLessons();
    ASSERT_GT(lessons.size(), 10u);
    for (TutorialDefinition& lesson : lessons) {
        lesson.openScript.clear(); // its pointers need the screen it belongs to
        GUI_TutorialWindow::Open(&lesson);
        Frames(1);
        ExpectFits("lesson " + lesson.name);
        DropAllLessons();
    }
}

INSTANTIATE_TEXT_FIT_SIZES(TextFitFrontend);
