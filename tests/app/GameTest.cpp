#include "app/Game.h"

#include "app/GUI_Sounds.h"
#include "battle/GUI_BattleGUI.h"
#include "editors/GUI_ScenarioEditor.h"
#include "engine/APP_UserFolders.h"
#include "engine/CInput.h"
#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "engine/GFileHelpers.h"
#include "engine/GHashTable.h"
#include "engine/GSafeFile.h"
#include "frontend/GUI_MainMenu.h"
#include "gui/GUI_ButtonBase.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_ConfirmDialog.h"
#include "gui/GUI_Tooltip.h"
#include "gui/GUI_Tutorial.h"
#include "gui/GUI_WindowManager.h"
#include "platform/HeadlessWindow.h"
#include "platform/KeyCodes.h"
#include "prep/GUI_ShipDesignGUI.h"
#include "sim/SIM_Options.h"
#include "support/NoLessons.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
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

// Every test starts the game afresh (headless, its own user folder) and shuts
// it down again, so the tests pass alone and in any order.
class GameTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(Start(1280, 720)); }
    void TearDown() override { Stop(); }

    bool Start(int desktopWidth, int desktopHeight)
    {
        m_user = std::make_unique<TempDir>();
        m_cwd = std::make_unique<ScopedChdir>(QLM_GAME_DIR);
        GameStartOptions options;
        options.userDir = m_user->Path();
        options.headless = true;
        options.desktopWidth = desktopWidth;
        options.desktopHeight = desktopHeight;
        options.seed = 7;
        m_started = Game::GetInstance().Init(options);
        if (m_started)
            DropAllLessons();
        m_debugAtStart = m_user->Read("debug/debug.txt");
        return m_started;
    }

    void Stop()
    {
        // Back to the main menu first, as a player leaves: the screen a test
        // visited lets go of its windows before the content goes.
        if (m_started)
            Game::GetInstance().SetMode(15);
        GUI_WindowManager& windows = GUI_WindowManager::GetInstance();
        while (windows.CloseTopModal()) {
        }
        windows.DeleteQueuedWindows();
        Game::GetInstance().Shutdown();
        Game::GetInstance().ResetForTests();
        m_cwd.reset();
        m_user.reset();
        m_started = false;
    }

    HeadlessWindow& Window()
    {
        auto* window = dynamic_cast<HeadlessWindow*>(Game::GetInstance().GetWindow());
        EXPECT_NE(window, nullptr);
        return *window;
    }

    std::unique_ptr<TempDir> m_user;
    std::unique_ptr<ScopedChdir> m_cwd;
    bool m_started = false;
    std::string m_debugAtStart;
};

} // namespace

TEST_F(GameTest, StartUpRunsInOrderAndMakesTheUserFolderTree)
{
    std::vector<std::string> lines = Lines(m_debugAtStart);
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
        EXPECT_TRUE(FolderExists(m_user->File(sub))) << sub;
    EXPECT_EQ(Game::GetInstance().GetUserPath(Game::SHIPS), m_user->File("ships"));
    EXPECT_EQ(Game::GetInstance().GetUserPath(Game::CHALLENGE_DATA), m_user->File("web/challengedata"));
}

TEST_F(GameTest, ALowDesktopWritesPrefsAtLeast768HighButTheScreenFitsTheDesktop)
{
    // prefs.ini keeps the size asked for; the sound system's default channel count goes with it.
    EXPECT_EQ(m_user->Read("prefs.ini"), "[prefs]\nwidth = 1280\nheight = 768\nwindowed = 0\nsound_channels = 512\n");
    // The warning about the small desktop goes to the error log.
    EXPECT_NE(m_user->Read("debug/errors.txt").find("Desktop Screen Resolution is below 768"), std::string::npos);

    struct Case {
        int desktopWidth, desktopHeight, prefsHeight, screenHeight;
    };
    for (const Case& c : {Case{1280, 720, 768, 720}, Case{1024, 600, 768, 600}, Case{1280, 768, 768, 768},
                          Case{1280, 1024, 1024, 1024}}) {
        SCOPED_TRACE(std::to_string(c.desktopWidth) + "x" + std::to_string(c.desktopHeight));
        Stop();
        ASSERT_TRUE(Start(c.desktopWidth, c.desktopHeight));
        EXPECT_NE(m_user->Read("prefs.ini").find("height = " + std::to_string(c.prefsHeight) + "\n"),
                  std::string::npos);
        // The whole game is on the desktop: the window, the frame and every menu button.
        EXPECT_EQ(Window().GetClientWidth(), c.desktopWidth);
        EXPECT_EQ(Window().GetClientHeight(), c.screenHeight);
        const D3DEngine& engine = D3DEngine::GetInstance();
        EXPECT_EQ(engine.GetScreenWidth(), c.desktopWidth);
        EXPECT_EQ(engine.GetScreenHeight(), c.screenHeight);
        Game::GetInstance().Frame(); // lays the menu out
        for (const GUI_ButtonBase* button : GUI_MainMenu::GetInstance().GetRow()) {
            if (!button->visible)
                continue;
            EXPECT_GE(button->top, 0);
            EXPECT_LE(button->bottom, c.screenHeight);
        }
        // The next start reads the same prefs.ini and fits it again.
        Stop();
        ASSERT_TRUE(Start(c.desktopWidth, c.desktopHeight));
        EXPECT_EQ(D3DEngine::GetInstance().GetScreenHeight(), c.screenHeight);
    }
}

TEST_F(GameTest, ASecondStartInOneProcessKeepsItsFilesInItsOwnFolder)
{
    Stop();
    ASSERT_TRUE(Start(1280, 1024)); // tall enough: no warning either
    Game::GetInstance().Shutdown();  // the run time goes into the metrics file
    EXPECT_EQ(m_user->Read("debug/errors.txt"), "");
    EXPECT_TRUE(FileExists(m_user->File("sc.dat")));
    EXPECT_TRUE(FileExists(m_user->File("um.ini")));
}

TEST_F(GameTest, MainMenuTooltipsAreTheTextsOfTheirKeys)
{
    GUI_MainMenu& menu = GUI_MainMenu::GetInstance();
    const std::pair<const GUI_ButtonBase*, const char*> buttons[] = {
        {menu.GetBattleButton(), "MAINMENU_BATTLE"},   {menu.GetShipDesignButton(), "MAINMENU_SHIPDESIGN"},
        {menu.GetOptionsButton(), "MAINMENU_OPTIONS"}, {menu.GetChallengesButton(), "MAINMENU_CHALLENGES"},
        {menu.GetUnlocksButton(), "MAINMENU_UNLOCKS"}, {menu.GetManualButton(), "MAINMENU_MANUAL"},
        {menu.GetQuitButton(), "MAINMENU_QUIT"}};
    for (const auto& [button, owner] : buttons) {
        const std::string key = "TOOLTIP_" + std::string(owner);
        ASSERT_NE(button, nullptr) << owner;
        const GUI_Tooltip* tooltip = button->GetTooltip();
        ASSERT_NE(tooltip, nullptr) << key;
        ASSERT_FALSE(tooltip->GetLines().empty());
        // Every key has its text in data/strings.ini, and the text is what shows.
        EXPECT_NE(tooltip->GetLines()[0], key);
        EXPECT_STREQ(tooltip->GetLines()[0].c_str(), GetString(key.c_str()));
    }
}

TEST_F(GameTest, TheButtonBehindAQuestionLosesItsHover)
{
    Game& game = Game::GetInstance();
    game.Frame(); // lays the menu out
    GUI_ButtonBase* quit = GUI_MainMenu::GetInstance().GetQuitButton();
    Window().InjectMouseMove((quit->left + quit->right) / 2, (quit->top + quit->bottom) / 2);
    Window().PumpEvents();
    game.Frame();
    ASSERT_EQ(quit->hover, 1);

    game.OnKeyPress(KEY_ESCAPE); // the quit question, the mouse still on the button
    ASSERT_NE(GUI_ConfirmDialog::GetOpen(), nullptr);
    game.Frame();
    EXPECT_EQ(quit->hover, 0);
}

TEST_F(GameTest, TutorialDeploymentsAreCopiedOnce)
{
    std::string copy = m_user->File("deployments/tutorial1/deployed.txt");
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
    EXPECT_EQ(GUI_Sounds::GetInstance().GetMusicName(), "main_title.ogg");
    game.SetMode(1);
    EXPECT_EQ(GUI_Sounds::GetInstance().GetMusicName(), "setting_up_ships.ogg"); // the menu's music gives way
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
    EXPECT_EQ(file.rfind(m_user->File("screenshot_"), 0), 0u) << file;
    EXPECT_NE(file.find(".bmp"), std::string::npos);

    // Print Screen in the designer must not act as its Escape would.
    game.OnKeyPress(KEY_SYSRQ);
    EXPECT_EQ(game.GetModeId(), 1);
    game.Frame(); // the armed screenshot is written with the next present
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(m_user->Path()))
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

TEST_F(GameTest, FocusLossStopsFramesAndSoundsUnlessRunningInBackground)
{
    Game& game = Game::GetInstance();
    GUI_Sounds& sounds = GUI_Sounds::GetInstance();
    SIM_Options& options = SIM_Options::GetInstance();
    const float background = options.GetValue("RUNINBACKGROUND");
    // Inside the running loop, as the window's focus events arrive.
    std::vector<std::string> seen;
    game.SetFrameHook([&](int frame) {
        if (frame != 0)
            return;
        auto note = [&](const char* when) {
            seen.push_back(std::string(when) + (game.IsRunning() ? " running" : " stopped") +
                           (sounds.IsPaused() ? " paused" : " playing"));
        };
        options.SetValue("RUNINBACKGROUND", 0.0f);
        game.OnFocusChanged(false);
        note("lost");
        game.OnFocusChanged(true);
        note("back");
        options.SetValue("RUNINBACKGROUND", 1.0f);
        game.OnFocusChanged(false);
        note("lost in background");
        game.OnFocusChanged(true);
        options.SetValue("RUNINBACKGROUND", background);
    });
    game.Run(1);
    game.SetFrameHook(nullptr);
    EXPECT_EQ(seen, (std::vector<std::string>{"lost stopped paused", "back running playing",
                                              "lost in background running playing"}));
}
