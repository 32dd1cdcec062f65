#include "app/Game.h"

#include "app/APP_UserFolders.h"
#include "app/GUI_StandInMode.h"
#include "battle/GUI_BattleGUI.h"
#include "engine/CInput.h"
#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "engine/GFileHelpers.h"
#include "engine/GSafeFile.h"
#include "editors/GUI_ScenarioEditor.h"
#include "frontend/GUI_MainMenu.h"
#include "gui/GUI_ButtonBase.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_ConfirmDialog.h"
#include "gui/GUI_Tutorial.h"
#include "platform/HeadlessWindow.h"
#include "platform/KeyCodes.h"
#include "prep/GUI_ShipDesignGUI.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <sstream>
#include <vector>

namespace {

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

// Index of the first line that starts with the text, or -1.
int FindLine(const std::vector<std::string>& lines, const std::string& start)
{
    for (size_t i = 0; i < lines.size(); ++i)
        if (lines[i].rfind(start, 0) == 0)
            return static_cast<int>(i);
    return -1;
}

// One headless start-up for the whole program: the game is a singleton.
class GameTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_user = new TempDir;
        s_cwd = new ScopedChdir(QLM_GAME_DIR);
        GameStartOptions options;
        options.userDir = s_user->Path();
        options.headless = true;
        options.desktopWidth = 1280;
        options.desktopHeight = 720;
        options.seed = 7;
        s_started = Game::GetInstance().Init(options);
        s_debugAtStart = s_user->Read("debug/debug.txt");
    }

    static void TearDownTestSuite()
    {
        Game::GetInstance().Shutdown();
        Game::GetInstance().ResetForTests();
        delete s_cwd;
        delete s_user;
    }

    void SetUp() override
    {
        ASSERT_TRUE(s_started);
        Game::GetInstance().SetMode(15);
    }

    static TempDir* s_user;
    static ScopedChdir* s_cwd;
    static bool s_started;
    static std::string s_debugAtStart;
};

TempDir* GameTest::s_user = nullptr;
ScopedChdir* GameTest::s_cwd = nullptr;
bool GameTest::s_started = false;
std::string GameTest::s_debugAtStart;

} // namespace

TEST_F(GameTest, StartUpRunsInOrderAndMakesTheUserFolderTree)
{
    std::vector<std::string> lines = Lines(s_debugAtStart);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], "----DEBUG FILE----");
    const char* order[] = {"QLM Debug File. App version Demo 1.45", "Desktop resolution is 1280 x 720",
                           "Initialising Direct3D", "Initialising global vertex buffer", "creating render targets",
                           "success in initialising 3D"};
    int last = -1;
    for (const char* step : order) {
        int at = FindLine(lines, step);
        EXPECT_GT(at, last) << step;
        last = at;
    }
    for (const char* sub : {"web", "web/challenges", "web/challengedata", "deployments", "ships", "orders",
                            "custom_scenarios", "campaignprogress", "campaigncaptureddesigns"})
        EXPECT_TRUE(FolderExists(s_user->File(sub))) << sub;
    EXPECT_EQ(Game::GetInstance().GetUserPath(Game::SHIPS), s_user->File("ships"));
    EXPECT_EQ(Game::GetInstance().GetUserPath(Game::CHALLENGE_DATA), s_user->File("web/challengedata"));
}

TEST_F(GameTest, ALowDesktopWritesPrefsAtLeast768HighAndFullScreen)
{
    EXPECT_EQ(s_user->Read("prefs.ini"), "[prefs]\nwidth = 1280\nheight = 768\nwindowed = 0\nsound_channels = 64\n");
    // The warning about the small desktop goes to the error log.
    EXPECT_NE(s_user->Read("debug/errors.txt").find("Desktop Screen Resolution is below 768"), std::string::npos);
}

TEST_F(GameTest, TutorialDeploymentsAreCopiedOnce)
{
    std::string copy = s_user->File("deployments/tutorial1/deployed.txt");
    ASSERT_TRUE(FileExists(copy));
    WriteFileAtomically(copy, "changed by the player");
    Game::GetInstance().CopyTutorialDeployments();
    std::string text;
    ReadWholeFile(copy, text);
    EXPECT_EQ(text, "changed by the player");
}

TEST(GameRenderTargets, SidesGrowInPowersOfTwo)
{
    EXPECT_EQ(Game::RenderTargetSide(1600), 2048);
    EXPECT_EQ(Game::RenderTargetSide(900), 1024);
    EXPECT_EQ(Game::RenderTargetSide(1024), 1024);
    EXPECT_EQ(Game::RenderTargetSide(768), 1024);
    EXPECT_EQ(Game::RenderTargetSide(2560), 4096);
    EXPECT_EQ(Game::RenderTargetSide(1600 + 448), 2048);
}

TEST_F(GameTest, UnknownAndBattleIdsSelectTheBattleScreen)
{
    Game& game = Game::GetInstance();
    for (int id : {0, 5, 16, -3, 99}) {
        game.SetMode(id);
        EXPECT_EQ(game.GetMode(), &GUI_BattleGUI::GetInstance()) << id;
        EXPECT_EQ(game.GetModeId(), id);
    }
}

TEST_F(GameTest, SwitchingCallsLeaveThenEnterOnlyOnChange)
{
    Game& game = Game::GetInstance();
    GUI_ShipDesignGUI& designer = GUI_ShipDesignGUI::GetInstance();
    GUI_ScenarioEditor& editor = GUI_ScenarioEditor::GetInstance();
    game.SetMode(1);
    int designerEnters = designer.enterCount, designerLeaves = designer.leaveCount;
    int editorEnters = editor.enterCount;

    game.SetMode(13);
    EXPECT_EQ(designer.leaveCount, designerLeaves + 1);
    EXPECT_EQ(editor.enterCount, editorEnters + 1);

    game.SetMode(13); // the same screen again: neither runs
    EXPECT_EQ(editor.enterCount, editorEnters + 1);
    EXPECT_EQ(designer.enterCount, designerEnters);
}

TEST_F(GameTest, PrintScreenArmsAScreenshotAndNeverReachesTheScreen)
{
    Game& game = Game::GetInstance();
    game.SetMode(1);
    std::string file = game.SaveScreenshot();
    EXPECT_EQ(file.rfind(s_user->File("screenshot_"), 0), 0u) << file;
    EXPECT_NE(file.find(".bmp"), std::string::npos);

    // Print Screen in the designer must not act as its Escape would.
    game.OnKeyPress(KEY_SYSRQ);
    EXPECT_EQ(game.GetModeId(), 1);
    game.Frame(); // the armed screenshot is written with the next present
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(s_user->Path()))
        count += entry.path().filename().string().rfind("screenshot_", 0) == 0;
    EXPECT_GE(count, 1);
}

TEST_F(GameTest, EscapeWithNoModalWindowReachesTheScreen)
{
    Game& game = Game::GetInstance();
    game.SetMode(1);
    GUI_Tutorial::GetInstance().blockButtons = true;
    game.OnKeyPress(KEY_ESCAPE);
    // The tutorial restrictions are reset first, then the stand-in goes home.
    EXPECT_FALSE(GUI_Tutorial::GetInstance().blockButtons);
    EXPECT_EQ(game.GetModeId(), 15);
}

TEST_F(GameTest, EscapeOnTheMainMenuAsksBeforeQuittingAndEscapeAgainCancels)
{
    Game& game = Game::GetInstance();
    game.OnKeyPress(KEY_ESCAPE);
    ASSERT_NE(GUI_ConfirmDialog::GetOpen(), nullptr);
    EXPECT_FALSE(game.IsQuitting());
    game.OnKeyPress(KEY_ESCAPE); // closes the question, not the game
    game.Frame();
    EXPECT_EQ(GUI_ConfirmDialog::GetOpen(), nullptr);
    EXPECT_FALSE(game.IsQuitting());
    EXPECT_EQ(game.GetModeId(), 15);
}

// Clicks through the window: the mouse moves to a widget's centre and the
// left button goes down and up, then a frame runs.
static void ClickAt(HeadlessWindow& window, const GUI_BaseElement& element)
{
    int x = (element.left + element.right) / 2, y = (element.top + element.bottom) / 2;
    window.InjectMouseMove(x, y);
    window.InjectMouseButton(MouseButton::Left, true);
    window.InjectMouseButton(MouseButton::Left, false);
    window.PumpEvents();
    Game::GetInstance().Frame();
}

TEST_F(GameTest, QuitWithTheMouseAsksAndYesEndsTheGame)
{
    Game& game = Game::GetInstance();
    auto* window = dynamic_cast<HeadlessWindow*>(game.GetWindow());
    ASSERT_NE(window, nullptr);
    game.Frame(); // lays the menu out
    const GUI_ButtonBase* quit = GUI_MainMenu::GetInstance().GetQuitButton();
    ClickAt(*window, *quit);
    GUI_ConfirmDialog* question = GUI_ConfirmDialog::GetOpen();
    ASSERT_NE(question, nullptr);
    EXPECT_FALSE(game.IsQuitting());

    ClickAt(*window, *question->GetYesButton());
    EXPECT_TRUE(game.IsQuitting());
}

TEST_F(GameTest, KeysFromTheWindowReachTheScreenOnce)
{
    Game& game = Game::GetInstance();
    auto* window = dynamic_cast<HeadlessWindow*>(game.GetWindow());
    ASSERT_NE(window, nullptr);
    game.SetMode(1);
    window->InjectKey(SDL_SCANCODE_ESCAPE, true, false, 10);
    window->InjectKey(SDL_SCANCODE_ESCAPE, true, true, 20); // the window system's own repeat
    window->InjectKey(SDL_SCANCODE_ESCAPE, false, false, 30);
    window->PumpEvents();
    game.Frame();
    // One Escape leaves the designer; a second would have asked to quit.
    EXPECT_EQ(game.GetModeId(), 15);
    EXPECT_EQ(GUI_ConfirmDialog::GetOpen(), nullptr);
}

TEST_F(GameTest, RestoringTheDeviceRebuildsWhatTheFrameNeeds)
{
    Game& game = Game::GetInstance();
    ASSERT_TRUE(game.RestoreDevice());
    EXPECT_NE(D3DEngine::GetInstance().FindRenderTarget("rt_transition"), 0u);
    game.Frame();
    EXPECT_GT(D3DEngine::GetInstance().GetDevice()->GetStats().drawCalls, 0);
}

TEST_F(GameTest, FocusLossStopsFramesUnlessRunningInBackground)
{
    Game& game = Game::GetInstance();
    game.OnFocusChanged(false);
    EXPECT_FALSE(game.IsRunning());
    game.OnFocusChanged(true);
    EXPECT_TRUE(game.IsRunning());
}
