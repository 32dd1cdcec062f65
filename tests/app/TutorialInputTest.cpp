// The shell hands Escape, Enter and clicks to the lessons before the screen,
// and a new screen takes the lessons of the old one away.
#include "app/Game.h"
#include "engine/CInput.h"
#include "gui/GUI_ConfirmDialog.h"
#include "gui/GUI_Tutorial.h"
#include "gui/GUI_TutorialHighlighter.h"
#include "gui/GUI_TutorialWindow.h"
#include "gui/GUI_WindowManager.h"
#include "platform/KeyCodes.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

constexpr int kMainMenu = 15;
constexpr int kOptions = 7;

class TutorialInputTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_cwd = std::make_unique<ScopedChdir>(QLM_GAME_DIR);
        GameStartOptions options;
        options.userDir = m_user.Path();
        options.headless = true;
        options.seed = 7;
        ASSERT_TRUE(Game::GetInstance().Init(options));
        // The title is built once per process and welcomes the player as it
        // is built; a later start in the same process finds it built, so the
        // welcome comes here as the first start brings it (a lesson shows once).
        GUI_Tutorial::GetInstance().LaunchTutorial("WELCOME");
    }
    void TearDown() override
    {
        Game& game = Game::GetInstance();
        game.SetMode(kMainMenu);
        GUI_WindowManager& windows = GUI_WindowManager::GetInstance();
        while (windows.CloseTopModal()) {
        }
        windows.DeleteQueuedWindows();
        game.Shutdown();
        game.ResetForTests();
        m_cwd.reset();
    }
    static std::string Lesson()
    {
        const GUI_TutorialWindow* window = GUI_TutorialWindow::GetFirst();
        return window ? window->GetLessonName() : std::string();
    }

    TempDir m_user;
    std::unique_ptr<ScopedChdir> m_cwd;
};

TEST_F(TutorialInputTest, EscapeAndEnterReachTheLessonBeforeTheScreen)
{
    Game& game = Game::GetInstance();
    GUI_Tutorial& tutorial = GUI_Tutorial::GetInstance();
    // A new player is welcomed on the title; Enter acknowledges the lesson
    // and goes no further.
    ASSERT_EQ("WELCOME", Lesson());
    game.Frame();
    EXPECT_FALSE(GUI_TutorialHighlighter::GetInstance().GetFrames().empty());
    game.OnKeyPress(KEY_RETURN);
    EXPECT_EQ("", Lesson());
    EXPECT_EQ(kMainMenu, game.GetModeId());

    // Escape closes the lesson, lifts its restrictions and stops there: the
    // title does not ask to quit.
    ASSERT_TRUE(tutorial.LaunchTutorial("BEATAGAIN"));
    tutorial.blockButtons = true;
    tutorial.SetWaitFor("SOMETHING");
    game.OnKeyPress(KEY_ESCAPE);
    EXPECT_EQ("", Lesson());
    EXPECT_FALSE(tutorial.blockButtons);
    EXPECT_EQ("", tutorial.GetWaitFor());
    EXPECT_EQ(nullptr, GUI_ConfirmDialog::GetOpen());
    // With no lesson open the key reaches the screen again.
    game.OnKeyPress(KEY_ESCAPE);
    EXPECT_NE(nullptr, GUI_ConfirmDialog::GetOpen());
}

TEST_F(TutorialInputTest, BlockedButtonsKeepClicksFromTheScreen)
{
    Game& game = Game::GetInstance();
    GUI_Tutorial& tutorial = GUI_Tutorial::GetInstance();
    game.OnKeyPress(KEY_RETURN); // the welcome
    game.Frame();
    tutorial.blockButtons = true;
    // The Options button of the title, clicked while nothing is allowed.
    const GUI_BaseElement* options = GUI_BaseElement::FindByName("MAINMENU_OPTIONS");
    ASSERT_NE(options, nullptr);
    CInput::GetInstance().SetCursorPosition(static_cast<float>(options->left + options->right) / 2.0f,
                                            static_cast<float>(options->top + options->bottom) / 2.0f);
    CInput::GetInstance().Poll();
    game.OnLeftClick();
    game.OnRightClick();
    for (int i = 0; i < 5; ++i)
        game.Frame();
    EXPECT_EQ(kMainMenu, game.GetModeId());
    // Allowed, it works.
    tutorial.AllowButton(const_cast<GUI_BaseElement*>(options));
    game.OnLeftClick();
    for (int i = 0; i < 200 && game.GetModeId() != kOptions; ++i)
        game.Frame();
    EXPECT_EQ(kOptions, game.GetModeId());
    ResetTutorialRestrictions(tutorial);
}

TEST_F(TutorialInputTest, ANewScreenTakesTheOldScreensLessonAndFramesButKeepsTheWait)
{
    Game& game = Game::GetInstance();
    GUI_Tutorial& tutorial = GUI_Tutorial::GetInstance();
    game.Frame();
    ASSERT_EQ("WELCOME", Lesson());
    tutorial.SetWaitFor("LATER");
    game.SetMode(kOptions);
    game.Frame();
    EXPECT_NE("WELCOME", Lesson());
    EXPECT_TRUE(tutorial.HasBeenShown("WELCOME"));
    EXPECT_TRUE(tutorial.IsWaitingFor("LATER"));
    ResetTutorialRestrictions(tutorial);
}

} // namespace
