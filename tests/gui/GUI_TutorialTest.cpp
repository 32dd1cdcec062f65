// The lessons headless: their files, the seen list, the windows and their
// scripts, the clicks a lesson lets through, the actions it waits for, the
// battle pause and the highlight frames.
#include "engine/APP_UserFolders.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_Tutorial.h"
#include "gui/GUI_TutorialHighlighter.h"
#include "gui/GUI_TutorialWindow.h"
#include "gui/SimScript.h"

#include "DialogTestFixture.h"

#include <algorithm>

namespace {

int CountOf(const std::string& text, const std::string& part)
{
    int n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

// A control a lesson can point at and let clicks through to.
class Target : public GUI_BaseElement {
public:
    Target(const std::string& name, int l, int t, int r, int b)
    {
        SetRect(static_cast<float>(l), static_cast<float>(t), static_cast<float>(r), static_cast<float>(b));
        SetName(name);
    }
    bool OnLeftClick(float x, float y) override
    {
        if (!Contains(x, y))
            return false;
        ++clicks;
        return true;
    }
    int clicks = 0;
};

class TutorialTest : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        ASSERT_TRUE(APP_UserFolders::GetInstance().Create(m_files.File("user")));
        m_cwd = std::make_unique<ScopedChdir>(m_files.Path());
        GUI_Tutorial& tutorial = GUI_Tutorial::GetInstance();
        tutorial.Clear();
        ResetTutorialRestrictions(tutorial);
        tutorial.OnScreenChanged();
        tutorial.SetBattleLink(FakeBattle());
        GUI_TutorialHighlighter::GetInstance().SetClock(&m_clock);
    }
    void TearDown() override
    {
        GUI_TutorialWindow::CloseAll();
        GUI_WindowManager::GetInstance().DeleteQueuedWindows();
        GUI_Tutorial& tutorial = GUI_Tutorial::GetInstance();
        ResetTutorialRestrictions(tutorial);
        tutorial.SetBattleLink({});
        tutorial.Clear();
        GUI_TutorialHighlighter::GetInstance().SetClock(nullptr);
        m_cwd.reset();
        DialogTest::TearDown();
    }

    GUI_Tutorial::BattleLink FakeBattle()
    {
        GUI_Tutorial::BattleLink link;
        link.isRunning = [this] { return m_inBattle; };
        link.isPaused = [this] { return m_paused; };
        link.pauseAsKey = [this] { PlayerTogglesPause(); ++m_pauseKeys; };
        link.togglePauseQuietly = [this] { PlayerTogglesPause(); };
        return link;
    }
    // What the battle screen's own toggle does: it reports every change.
    void PlayerTogglesPause()
    {
        m_paused = !m_paused;
        GUI_Tutorial::GetInstance().NoteBattlePauseChanged(m_paused);
    }

    // Loads lesson rows given as their file's lines.
    void LoadLessons(const std::string& rows)
    {
        m_files.Write("data/tutorial.csv", "Heading lines are ignored.\n" + rows);
        GUI_Tutorial::GetInstance().Load();
    }
    std::string SeenFile() const { return m_files.Read("user/tutorial_seen.ini"); }
    static GUI_TutorialWindow* Open() { return GUI_TutorialWindow::GetFirst(); }
    static void Settle()
    {
        GUI_TutorialWindow::RunPendingScripts();
        GUI_WindowManager::GetInstance().DeleteQueuedWindows();
    }
    static std::vector<std::string> FrameNames()
    {
        std::vector<std::string> names;
        for (const auto& frame : GUI_TutorialHighlighter::GetInstance().GetFrames())
            names.push_back(frame.name);
        return names;
    }

    std::unique_ptr<ScopedChdir> m_cwd;
    bool m_inBattle = false;
    bool m_paused = false;
    int m_pauseKeys = 0;
};

TEST_F(TutorialTest, RowsAreReadFieldByFieldFromTheMainFileThenTheFolder)
{
    m_files.Write("data/tutorials/b.csv", "#,SECOND,From the folder,1,2,0,0,,,later\n");
    m_files.Write("data/tutorials/a.csv", "#,FIRST,\"A, quoted\",-1,35,2,1,LaunchTutorial(X),Highlight(Y) ,\"text, with commas\"  \n");
    LoadLessons("#,MAIN,Main title,10,-1,1,0\n not a row\n#\n");
    const auto& pending = GUI_Tutorial::GetInstance().GetPending();
    ASSERT_EQ(4u, pending.size());
    EXPECT_EQ("MAIN", pending[0]->name);
    EXPECT_EQ(10.0f, pending[0]->x);
    EXPECT_EQ(-1.0f, pending[0]->y);
    EXPECT_TRUE(pending[0]->hasOkButton);
    EXPECT_FALSE(pending[0]->modal);
    // Fields a short row lacks are empty.
    EXPECT_EQ("", pending[0]->closeScript);
    EXPECT_EQ("", pending[0]->text);
    // A bare marker is a row of empty fields, stored as it is.
    EXPECT_EQ("", pending[1]->name);
    // The folder's files follow in name order.
    EXPECT_EQ("FIRST", pending[2]->name);
    EXPECT_EQ("A, quoted", pending[2]->title);
    EXPECT_EQ(35.0f, pending[2]->y);
    EXPECT_TRUE(pending[2]->hasOkButton);
    EXPECT_TRUE(pending[2]->modal);
    EXPECT_EQ("LaunchTutorial(X)", pending[2]->closeScript);
    EXPECT_EQ("Highlight(Y)", pending[2]->openScript);
    EXPECT_EQ("text, with commas", pending[2]->text);
    EXPECT_EQ("SECOND", pending[3]->name);
    EXPECT_FALSE(pending[3]->shown);
}

TEST_F(TutorialTest, ALessonShowsOnceAndTheSeenFileKeepsItAcrossRuns)
{
    LoadLessons("#,AA,Title A,-1,-1,1,0,,,first\n#,TWICE,T,-1,-1,1,0,,,one\n#,TWICE,T,-1,-1,1,0,,,two\n#,B,B,0,0,1,0\n");
    GUI_Tutorial& tutorial = GUI_Tutorial::GetInstance();
    EXPECT_FALSE(tutorial.LaunchTutorial("aa")); // names are exact
    EXPECT_TRUE(tutorial.LaunchTutorial("AA"));
    EXPECT_FALSE(tutorial.LaunchTutorial("AA"));
    EXPECT_TRUE(tutorial.HasBeenShown("AA"));
    EXPECT_EQ("[seen]\nAA\n", SeenFile());

    // Two rows of one name show one after the other.
    ASSERT_TRUE(tutorial.LaunchTutorial("TWICE"));
    EXPECT_EQ("one", Open()->GetBodyText());
    ASSERT_TRUE(tutorial.LaunchTutorial("TWICE"));
    EXPECT_EQ("two", Open()->GetBodyText());
    EXPECT_FALSE(tutorial.LaunchTutorial("TWICE"));
    EXPECT_EQ("[seen]\nAA\nTWICE\nTWICE\n", SeenFile());

    // The next run: seen names stay shown, one-letter lines (a one-letter name is never remembered) and names of no
    // lesson are ignored, and the latter leave the file at the next launch.
    m_files.Write("user/tutorial_seen.ini", "[seen]\nx\nGHOST\nAA\nTWICE\n");
    tutorial.Load();
    EXPECT_TRUE(tutorial.HasBeenShown("AA"));
    EXPECT_FALSE(tutorial.LaunchTutorial("AA"));
    EXPECT_EQ(2u, tutorial.GetShown().size());
    ASSERT_TRUE(tutorial.LaunchTutorial("TWICE"));
    EXPECT_EQ("two", Open()->GetBodyText());
    EXPECT_EQ("[seen]\nAA\nTWICE\nTWICE\n", SeenFile());
}

TEST_F(TutorialTest, TheWindowIsSizedByItsTextCentredAndGetsItsOkButton)
{
    LoadLessons("#,EMPTY,Empty,-1,-1,1,0\n#,PLACED,Placed,30,40,0,0,,,short\n#,OFF,Off,5000,5000,0,0\n");
    GUI_Tutorial& tutorial = GUI_Tutorial::GetInstance();
    ASSERT_TRUE(tutorial.LaunchTutorial("EMPTY"));
    const GUI_TutorialWindow* window = Open();
    ASSERT_NE(window, nullptr);
    // 80 for the body at the least, plus title and margins.
    EXPECT_EQ(177, window->height);
    EXPECT_EQ(400, window->width);
    EXPECT_EQ(kScreenW / 2 - 200, window->left);
    EXPECT_EQ(kScreenH / 2 - 177 / 2, window->top);
    EXPECT_EQ("Empty", window->GetTitle());
    const GUI_ButtonText* ok = window->GetOkButton();
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok, GUI_BaseElement::FindByName("tutorialbutton"));
    EXPECT_EQ(window, GUI_BaseElement::FindByName("EMPTY"));
    EXPECT_EQ(window->left + 20, ok->left);
    EXPECT_EQ(window->right - 20, ok->right);
    EXPECT_EQ(window->bottom - 30, ok->top);
    EXPECT_EQ(window->bottom - 10, ok->bottom);

    // A new lesson replaces the open one.
    ASSERT_TRUE(tutorial.LaunchTutorial("PLACED"));
    Settle();
    ASSERT_EQ(1u, GUI_TutorialWindow::GetOpenWindows().size());
    window = Open();
    EXPECT_EQ(30, window->left);
    EXPECT_EQ(40, window->top);
    EXPECT_EQ(nullptr, window->GetOkButton());
    EXPECT_EQ(nullptr, GUI_BaseElement::FindByName("tutorialbutton"));
    EXPECT_EQ(nullptr, GUI_BaseElement::FindByName("EMPTY"));
    // Placed past the screen's edge, it still shows whole.
    ASSERT_TRUE(tutorial.LaunchTutorial("OFF"));
    EXPECT_EQ(kScreenW - 400, Open()->left);
    EXPECT_EQ(kScreenH - 177, Open()->top);
}

TEST_F(TutorialTest, OkAndEnterRunTheCloseScriptAfterTheWindowIsGoneEscapeDoesNot)
{
    LoadLessons("#,ONE,One,-1,-1,1,0,LaunchTutorial(TWO),WaitFor(ACTION)\n"
                "#,TWO,Two,-1,-1,1,0,LaunchTutorial(THREE)\n"
                "#,THREE,Three,-1,-1,0,0,LaunchTutorial(FOUR)\n"
                "#,FOUR,Four,-1,-1,1,0\n");
    GUI_Tutorial& tutorial = GUI_Tutorial::GetInstance();
    ASSERT_TRUE(tutorial.LaunchTutorial("ONE"));
    Settle();
    EXPECT_TRUE(tutorial.IsWaitingFor("ACTION"));
    // OK, clicked as the player clicks it.
    const GUI_ButtonText* ok = Open()->GetOkButton();
    EXPECT_TRUE(ClickAt(CentreX(*ok), CentreY(*ok)));
    Settle();
    ASSERT_NE(Open(), nullptr);
    EXPECT_EQ("TWO", Open()->GetLessonName());
    // Enter acknowledges the lesson, even one without an OK button.
    EXPECT_TRUE(GUI_TutorialWindow::CloseFirst());
    Settle();
    EXPECT_EQ("THREE", Open()->GetLessonName());
    EXPECT_EQ(nullptr, Open()->GetOkButton());
    EXPECT_TRUE(GUI_TutorialWindow::CloseFirst());
    Settle();
    EXPECT_EQ("FOUR", Open()->GetLessonName());
    // Escape: the restrictions go, the lesson goes, its script does not run.
    tutorial.blockButtons = true;
    ResetTutorialRestrictions(tutorial);
    EXPECT_TRUE(GUI_TutorialWindow::DismissFirst());
    Settle();
    EXPECT_EQ(nullptr, Open());
    EXPECT_FALSE(tutorial.blockButtons);
    EXPECT_TRUE(tutorial.IsWaitingFor(""));
    EXPECT_FALSE(GUI_TutorialWindow::CloseFirst());
    EXPECT_FALSE(GUI_TutorialWindow::DismissFirst());
}

TEST_F(TutorialTest, ALessonOverAModalDialogTakesItsOwnClicksAndLeavesTheRestToTheDialog)
{
    LoadLessons("#,OVER,Over,-1,-1,1,0,,,a lesson shown over a picker\n");
    // A modal dialog filling the screen, as the hull picker does.
    auto* picker = new GUI_Dialog(true);
    picker->SetRect(0, 0, 1024, 768);
    GUI_WindowManager::GetInstance().AddModal(picker);
    ASSERT_TRUE(GUI_Tutorial::GetInstance().LaunchTutorial("OVER"));
    Settle();
    ASSERT_NE(Open(), nullptr);
    ASSERT_FALSE(Open()->IsModal());
    const GUI_ButtonText* ok = Open()->GetOkButton();
    ASSERT_NE(ok, nullptr);
    EXPECT_TRUE(ClickAt(CentreX(*ok), CentreY(*ok)));
    Settle();
    EXPECT_EQ(Open(), nullptr);
    // With the lesson gone the dialog is still the one that holds the clicks.
    EXPECT_TRUE(GUI_WindowManager::GetInstance().IsModalOpen());
    GUI_WindowManager::GetInstance().CloseWindow(picker);
    GUI_WindowManager::GetInstance().DeleteQueuedWindows();
}

TEST_F(TutorialTest, AnOpenScriptThatClosesOrReplacesItsOwnLessonRunsOnceTheWindowIsBuilt)
{
    LoadLessons("#,SELF,Self,-1,-1,1,0,,CloseWindow(SELF)\n"
                "#,HOP,Hop,-1,-1,1,0,,LaunchTutorial(LANDED)\n"
                "#,LANDED,Landed,-1,-1,1,0,,WaitFor(DONE)\n");
    GUI_Tutorial& tutorial = GUI_Tutorial::GetInstance();
    ASSERT_TRUE(tutorial.LaunchTutorial("SELF"));
    // Built whole; the script waits for the frame.
    ASSERT_NE(Open(), nullptr);
    EXPECT_TRUE(Open()->IsScriptPending());
    EXPECT_EQ(Open(), GUI_BaseElement::FindByName("SELF"));
    Settle();
    EXPECT_EQ(nullptr, Open());
    EXPECT_EQ(nullptr, GUI_BaseElement::FindByName("SELF"));

    ASSERT_TRUE(tutorial.LaunchTutorial("HOP"));
    Settle();
    ASSERT_EQ(1u, GUI_TutorialWindow::GetOpenWindows().size());
    EXPECT_EQ("LANDED", Open()->GetLessonName());
    EXPECT_TRUE(tutorial.IsWaitingFor("DONE"));
}

TEST_F(TutorialTest, ALessonPointingAtAMissingControlIsSkippedWithOneLogLine)
{
    LoadLessons("#,LOST,Lost,-1,-1,1,0,LaunchTutorial(NEXT),Highlight(THERE);BlockButtons();AllowButton(NOT_THERE)\n"
                "#,NEXT,Next,-1,-1,1,0\n");
    GUI_Tutorial& tutorial = GUI_Tutorial::GetInstance();
    Target there("THERE", 10, 10, 50, 50);
    ASSERT_TRUE(tutorial.LaunchTutorial("LOST"));
    Settle();
    // Nothing of it ran: no frame, no blocking, no chain.
    EXPECT_EQ(nullptr, Open());
    EXPECT_FALSE(tutorial.blockButtons);
    EXPECT_TRUE(FrameNames().empty());
    EXPECT_FALSE(tutorial.HasBeenShown("LOST"));
    EXPECT_EQ("[seen]\n", SeenFile());
    // Its moment may come again; the log tells it once.
    ASSERT_TRUE(tutorial.LaunchTutorial("LOST"));
    Settle();
    EXPECT_EQ(nullptr, Open());
    EXPECT_EQ(1, CountOf(m_files.Read("log/debug/debug.txt"), "Tutorial lesson LOST skipped: no control named NOT_THERE"));
    // Once the control is there, the lesson shows.
    Target notThere("NOT_THERE", 60, 60, 90, 90);
    ASSERT_TRUE(tutorial.LaunchTutorial("LOST"));
    Settle();
    ASSERT_NE(Open(), nullptr);
    EXPECT_TRUE(tutorial.blockButtons);
    EXPECT_EQ(std::vector<std::string>{"THERE"}, FrameNames());
}

TEST_F(TutorialTest, BlockedButtonsLetOnlyTheAllowedControlsAndTheOkButtonTakeClicks)
{
    LoadLessons("#,GATE,Gate,600,400,1,0,CloseWindow(OTHER_WINDOW),BlockButtons();AllowButton(ALLOWED);AllowButton(tutorialbutton)\n");
    GUI_Tutorial& tutorial = GUI_Tutorial::GetInstance();
    Target allowed("ALLOWED", 10, 10, 50, 50);
    Target other("OTHER", 100, 10, 150, 50);
    auto* otherWindow = new GUI_WindowBase();
    otherWindow->SetName("OTHER_WINDOW");
    GUI_WindowManager::GetInstance().AddWindow(otherWindow);
    // Nothing allowed yet: every click is refused.
    tutorial.blockButtons = true;
    MoveMouse(20, 20);
    EXPECT_FALSE(tutorial.ClickAllowedElements());

    ASSERT_TRUE(tutorial.LaunchTutorial("GATE"));
    Settle();
    MoveMouse(120, 20);
    EXPECT_FALSE(tutorial.ClickAllowedElements());
    EXPECT_EQ(0, other.clicks);
    MoveMouse(20, 20);
    EXPECT_TRUE(tutorial.ClickAllowedElements());
    EXPECT_EQ(1, allowed.clicks);
    // The OK button, clicked through the tutorial; its close script closes
    // another window while the click is still running.
    const GUI_ButtonText* ok = Open()->GetOkButton();
    MoveMouse(CentreX(*ok), CentreY(*ok));
    EXPECT_TRUE(tutorial.ClickAllowedElements());
    EXPECT_EQ(nullptr, Open());
    EXPECT_EQ(nullptr, GUI_BaseElement::FindByName("OTHER_WINDOW"));
    // The button went with its window, and off the allowed list.
    EXPECT_EQ(std::vector<GUI_BaseElement*>{&allowed}, tutorial.GetAllowedElements());
    SimScript::GetInstance().Run("AllowButtons()");
    EXPECT_FALSE(tutorial.blockButtons);
    EXPECT_TRUE(tutorial.GetAllowedElements().empty());
}

TEST_F(TutorialTest, AnActionTheLessonWaitsForOpensTheNextLessonAndEndsTheWait)
{
    LoadLessons("#,ASK,Ask,-1,-1,1,0,,WaitFor(DRAGSHIP)\n#,ADDED_NEW_SHIP,Added,-1,-1,1,0\n#,SELF_NAMED,S,0,0,1,0\n");
    GUI_Tutorial& tutorial = GUI_Tutorial::GetInstance();
    // Nothing awaited: only the empty event matches.
    EXPECT_TRUE(tutorial.IsWaitingFor(""));
    EXPECT_FALSE(tutorial.ReportEvent("DRAGSHIP", "ADDED_NEW_SHIP"));
    ASSERT_TRUE(tutorial.LaunchTutorial("ASK"));
    Settle();
    EXPECT_TRUE(tutorial.IsWaitingFor("DRAGSHIP"));
    EXPECT_FALSE(tutorial.IsWaitingFor("DRAGSHIP "));
    EXPECT_FALSE(tutorial.IsWaitingFor("dragship"));
    EXPECT_FALSE(tutorial.ReportEvent("SELECTSHIP", "ADDED_NEW_SHIP"));
    EXPECT_TRUE(tutorial.ReportEvent("DRAGSHIP", "ADDED_NEW_SHIP"));
    EXPECT_EQ("ADDED_NEW_SHIP", Open()->GetLessonName());
    EXPECT_EQ("", tutorial.GetWaitFor());
    EXPECT_FALSE(tutorial.ReportEvent("DRAGSHIP", "ADDED_NEW_SHIP"));
    // A new wait replaces the old; an event names its own lesson by default.
    tutorial.SetWaitFor("OLD");
    tutorial.SetWaitFor("SELF_NAMED");
    EXPECT_FALSE(tutorial.ReportEvent("OLD"));
    EXPECT_TRUE(tutorial.ReportEvent("SELF_NAMED"));
    EXPECT_EQ("SELF_NAMED", Open()->GetLessonName());
}

TEST_F(TutorialTest, ALessonResumesOnlyTheBattleItPausedItself)
{
    LoadLessons("#,L1,One,-1,-1,1,0\n#,L2,Two,-1,-1,1,0\n#,L3,Three,-1,-1,1,0\n#,L4,Four,-1,-1,1,0\n#,L5,Five,-1,-1,1,0\n");
    GUI_Tutorial& tutorial = GUI_Tutorial::GetInstance();
    // Outside a battle nothing is paused.
    ASSERT_TRUE(tutorial.LaunchTutorial("L1"));
    EXPECT_EQ(0, m_pauseKeys);
    EXPECT_FALSE(tutorial.IsBattlePausedByTutorial());
    GUI_TutorialWindow::CloseFirst();

    // A lesson over a running battle pauses it as the pause key does, and OK resumes it.
    m_inBattle = true;
    ASSERT_TRUE(tutorial.LaunchTutorial("L2"));
    EXPECT_TRUE(m_paused);
    EXPECT_EQ(1, m_pauseKeys);
    EXPECT_TRUE(tutorial.IsBattlePausedByTutorial());
    GUI_TutorialWindow::CloseFirst();
    EXPECT_FALSE(m_paused);
    EXPECT_FALSE(tutorial.IsBattlePausedByTutorial());

    // The player resumes and pauses again while a lesson is up: that pause is
    // the player's, and OK leaves it.
    ASSERT_TRUE(tutorial.LaunchTutorial("L3"));
    PlayerTogglesPause();
    PlayerTogglesPause();
    ASSERT_TRUE(m_paused);
    GUI_TutorialWindow::CloseFirst();
    EXPECT_TRUE(m_paused);

    // Opened over the player's pause, a lesson claims nothing.
    ASSERT_TRUE(tutorial.LaunchTutorial("L4"));
    EXPECT_EQ(2, m_pauseKeys);
    GUI_TutorialWindow::CloseFirst();
    EXPECT_TRUE(m_paused);

    // Escape leaves the lesson's pause in place.
    PlayerTogglesPause();
    ASSERT_TRUE(tutorial.LaunchTutorial("L5"));
    EXPECT_TRUE(m_paused);
    GUI_TutorialWindow::DismissFirst();
    EXPECT_TRUE(m_paused);
}

TEST_F(TutorialTest, AModalLessonTakesEveryClickAPlainOneOnlyItsOwn)
{
    LoadLessons("#,MODAL,Modal,0,0,1,1\n#,PLAIN,Plain,0,0,1,0\n");
    GUI_Tutorial& tutorial = GUI_Tutorial::GetInstance();
    ASSERT_TRUE(tutorial.LaunchTutorial("MODAL"));
    EXPECT_TRUE(Open()->IsModal());
    EXPECT_TRUE(GUI_WindowManager::GetInstance().IsModalOpen());
    EXPECT_TRUE(ClickAt(900, 700));
    // Dimmed: the full-screen quad is drawn before the frame.
    m_device->ClearDraws();
    Open()->Draw();
    ASSERT_FALSE(m_device->GetDraws().empty());
    const auto& first = m_device->GetDraws().front();
    ASSERT_FALSE(first.vertices.empty());
    EXPECT_EQ(GUI_TutorialWindow::kOverlayColour, first.vertices.front().colour);
    ASSERT_TRUE(tutorial.LaunchTutorial("PLAIN"));
    Settle();
    EXPECT_FALSE(GUI_WindowManager::GetInstance().IsModalOpen());
    EXPECT_FALSE(ClickAt(900, 700));
    EXPECT_TRUE(ClickAt(100, 100));
}

TEST_F(TutorialTest, FramesGoAroundEveryControlOfTheNameAndPulseOnceASecond)
{
    GUI_TutorialHighlighter& highlighter = GUI_TutorialHighlighter::GetInstance();
    Target a("TWIN", 10, 20, 110, 60);
    Target b("TWIN", 200, 20, 300, 60);
    bool mapShown = true;
    highlighter.SetArea("DEPLOYMENT_MAP", [&mapShown](GRect& out) {
        out = GRect{300, 0, 1000, 700};
        return mapShown;
    });
    LoadLessons("#,POINT,Point,0,400,1,0,,Highlight(TWIN);Highlight(DEPLOYMENT_MAP);Highlight(NOBODY_HAS_IT_BUT_SKIPPED)\n"
                "#,POINT2,Point,0,400,1,0,,Highlight(TWIN);Highlight();Highlight(DEPLOYMENT_MAP)\n");
    GUI_Tutorial& tutorial = GUI_Tutorial::GetInstance();
    ASSERT_TRUE(tutorial.LaunchTutorial("POINT"));
    Settle();
    EXPECT_EQ(nullptr, Open()); // the third control is nowhere
    ASSERT_TRUE(tutorial.LaunchTutorial("POINT2"));
    Settle();
    ASSERT_NE(Open(), nullptr);
    EXPECT_EQ((std::vector<std::string>{"TWIN", "TWIN", "DEPLOYMENT_MAP"}), FrameNames());
    EXPECT_EQ(200, highlighter.GetFrames()[1].rect.left);
    EXPECT_EQ(1000, highlighter.GetFrames()[2].rect.right);

    // Four bars a frame, 4 pixels thick, drawn under the lesson.
    m_device->ClearDraws();
    highlighter.Draw();
    EXPECT_EQ(12u, m_device->GetDraws().size());
    EXPECT_EQ(127, highlighter.GetLastAlpha());
    m_clock.Advance(250.0);
    highlighter.Draw();
    EXPECT_EQ(255, highlighter.GetLastAlpha());
    m_clock.Advance(500.0);
    highlighter.Draw();
    EXPECT_EQ(0, highlighter.GetLastAlpha());
    // Past a second the phase holds at its end for one draw, then starts over.
    m_clock.Advance(500.0);
    highlighter.Draw();
    EXPECT_EQ(127, highlighter.GetLastAlpha());
    highlighter.Draw();
    EXPECT_EQ(255, highlighter.GetLastAlpha());
    // A new highlight restarts every frame's pulse.
    highlighter.Highlight("TWIN");
    highlighter.Draw();
    EXPECT_EQ(127, highlighter.GetLastAlpha());

    mapShown = false;
    EXPECT_FALSE(highlighter.CanPointAt("DEPLOYMENT_MAP"));
    // Escape cancels every frame.
    ResetTutorialRestrictions(tutorial);
    EXPECT_FALSE(highlighter.IsActive());
    EXPECT_TRUE(highlighter.GetFrames().empty());
    highlighter.SetArea("DEPLOYMENT_MAP", nullptr);
}

} // namespace
