#include "engine/CInput.h"
#include "engine/D3DEngine.h"
#include "gui/GUI_BaseElement.h"
#include "gui/GUI_Tutorial.h"
#include "gui/GUI_WindowBase.h"
#include "gui/GUI_WindowManager.h"
#include "gui/SimScript.h"
#include "platform/HeadlessGraphicsDevice.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

std::vector<std::string> g_calls;

class ScriptTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_calls.clear();
        ResetTutorialRestrictions(GUI_Tutorial::GetInstance());
    }
    void TearDown() override { ResetTutorialRestrictions(GUI_Tutorial::GetInstance()); }

    // Records its name and the arguments the interpreter holds.
    void Record(const std::string& name)
    {
        m_script.RegisterFunction(name, [this, name] {
            std::string call = name + "(";
            for (int i = 0; i < m_script.GetArgumentCount(); ++i)
                call += (i ? "|" : "") + m_script.GetArgument(i);
            g_calls.push_back(call + ")");
        });
    }

    SimScript m_script;
};

TEST_F(ScriptTest, InstructionsRunInOrderWithTheirArguments)
{
    Record("First");
    Record("Second");
    m_script.Run("First(a, b ,c);  Second()  ;First(x)");
    EXPECT_EQ((std::vector<std::string>{"First(a|b|c)", "Second()", "First(x)"}), g_calls);
}

TEST_F(ScriptTest, QuotesKeepSemicolonsInsideOneInstruction)
{
    m_script.Run("WaitFor(\"ship;selected\");BlockButtons()");
    EXPECT_EQ("ship;selected", GUI_Tutorial::GetInstance().GetWaitFor());
    EXPECT_TRUE(GUI_Tutorial::GetInstance().blockButtons);
}

TEST_F(ScriptTest, ArgumentTextEndsAtTheLastParenthesisAndHoldsAtMostSix)
{
    Record("F");
    m_script.Run("F(f(x), y)");
    m_script.Run("F(1,2,3,4,5,6,7,8)");
    ASSERT_EQ(2u, g_calls.size());
    EXPECT_EQ("F(f(x)|y)", g_calls[0]);
    EXPECT_EQ("F(1|2|3|4|5|6)", g_calls[1]);
    EXPECT_EQ("", m_script.GetArgument(6));
}

TEST_F(ScriptTest, WithoutParenthesesTheWholeTextIsTheNameAndNoArgumentsAreLeft)
{
    Record("Plain");
    m_script.Run("WaitFor(old_event); Plain");
    EXPECT_EQ((std::vector<std::string>{"Plain()"}), g_calls);
    EXPECT_EQ("Plain", m_script.GetFunctionName());
    // An empty argument list waits for nothing, not the previous argument.
    m_script.Run("WaitFor()");
    EXPECT_EQ("", GUI_Tutorial::GetInstance().GetWaitFor());
}

TEST_F(ScriptTest, RegisteredFunctionsWinOverBuiltInsAndTheFirstRegistrationStays)
{
    m_script.RegisterFunction("WaitFor", [] { g_calls.push_back("screen WaitFor"); });
    m_script.RegisterFunction("WaitFor", [] { g_calls.push_back("second WaitFor"); });
    m_script.Run("WaitFor(event)");
    EXPECT_EQ((std::vector<std::string>{"screen WaitFor"}), g_calls);
    EXPECT_EQ("", GUI_Tutorial::GetInstance().GetWaitFor());
    // Names are exact: another case is the built-in.
    m_script.Run("waitfor(event)");
    EXPECT_EQ(1u, g_calls.size());
}

TEST_F(ScriptTest, UnknownAndEmptyScriptsDoNothing)
{
    m_script.Run("");
    m_script.Run(";;  ;");
    m_script.Run("NoSuchThing(1,2)");
    m_script.Run("(");
    m_script.Run(")(");
    EXPECT_TRUE(g_calls.empty());
    EXPECT_FALSE(GUI_Tutorial::GetInstance().blockButtons);
}

TEST_F(ScriptTest, HighlightGoesToTheHighlighterOnceItIsPluggedIn)
{
    m_script.Run("Highlight(FIGHT_BUTTON);CancelHighlight()");
    m_script.SetHighlighter([](const std::string& name) { g_calls.push_back("mark " + name); },
                            [] { g_calls.push_back("cancel"); });
    m_script.Run("Highlight(FIGHT_BUTTON);CancelHighlight()");
    EXPECT_EQ((std::vector<std::string>{"mark FIGHT_BUTTON", "cancel"}), g_calls);
}

TEST_F(ScriptTest, BlockAllowAndAllowButtonsDriveTheTutorial)
{
    GUI_BaseElement a, b, other;
    a.SetName("SCRIPT_TEST_BUTTON");
    b.SetName("SCRIPT_TEST_BUTTON");
    other.SetName("SCRIPT_TEST_OTHER");
    GUI_Tutorial& tutorial = GUI_Tutorial::GetInstance();

    m_script.Run("BlockButtons();AllowButton(SCRIPT_TEST_BUTTON)");
    EXPECT_TRUE(tutorial.blockButtons);
    EXPECT_TRUE(tutorial.IsAllowed(&a));
    EXPECT_TRUE(tutorial.IsAllowed(&b));
    EXPECT_FALSE(tutorial.IsAllowed(&other));

    m_script.Run("AllowButtons()");
    EXPECT_FALSE(tutorial.blockButtons);
    EXPECT_TRUE(tutorial.GetAllowedElements().empty());
}

int g_liveWindows = 0;

class ScriptedWindow : public GUI_WindowBase {
public:
    ScriptedWindow(const std::string& name, std::string onClick) : m_onClick(std::move(onClick))
    {
        ++g_liveWindows;
        SetRect(10, 10, 110, 110);
        SetName(name);
        GUI_WindowManager::GetInstance().AddWindow(this);
    }
    ~ScriptedWindow() override { --g_liveWindows; }
    bool OnLeftClick(float x, float y) override
    {
        if (!Contains(x, y))
            return false;
        SimScript::GetInstance().Run(m_onClick);
        // Still alive here: the close waits for the dispatch to end.
        g_calls.push_back(GetName() + " survived its click");
        return true;
    }

private:
    std::string m_onClick;
};

class CloseWindowTest : public ScriptTest {
protected:
    void SetUp() override
    {
        ScriptTest::SetUp();
        ASSERT_TRUE(D3DEngine::GetInstance().Init(std::make_unique<HeadlessGraphicsDevice>(800, 600)));
        CInput::GetInstance().Init();
        CInput::GetInstance().SetInputBlocked(false);
        g_liveWindows = 0;
    }
    void TearDown() override
    {
        EXPECT_EQ(0u, GUI_WindowManager::GetInstance().GetQueuedCount());
        EXPECT_TRUE(GUI_WindowManager::GetInstance().GetTopLevelWindows().empty());
        D3DEngine::GetInstance().Release();
        ScriptTest::TearDown();
    }
};

TEST_F(CloseWindowTest, ClosesTheNamedWindowAndIgnoresUnknownNames)
{
    new ScriptedWindow("SCRIPT_TEST_WINDOW", "");
    ASSERT_EQ(1, g_liveWindows);
    m_script.Run("CloseWindow(NOT_THERE)");
    EXPECT_EQ(1, g_liveWindows);
    m_script.Run("CloseWindow(SCRIPT_TEST_WINDOW)");
    EXPECT_EQ(0, g_liveWindows);
    EXPECT_EQ(nullptr, GUI_BaseElement::FindByName("SCRIPT_TEST_WINDOW"));
}

TEST_F(CloseWindowTest, AWindowClosingItselfFromItsOwnClickGoesAfterTheDispatch)
{
    new ScriptedWindow("SCRIPT_TEST_SELF", "CloseWindow(SCRIPT_TEST_SELF)");
    CInput::GetInstance().SetCursorPosition(50, 50);
    CInput::GetInstance().Poll();
    EXPECT_TRUE(GUI_WindowManager::GetInstance().DispatchClick());
    EXPECT_EQ((std::vector<std::string>{"SCRIPT_TEST_SELF survived its click"}), g_calls);
    GUI_WindowManager::GetInstance().DeleteQueuedWindows();
    EXPECT_EQ(0, g_liveWindows);
}

TEST_F(CloseWindowTest, APlainElementIsNotTornOutOfItsOwner)
{
    GUI_BaseElement part;
    part.SetName("SCRIPT_TEST_PART");
    m_script.Run("CloseWindow(SCRIPT_TEST_PART)");
    EXPECT_EQ(&part, GUI_BaseElement::FindByName("SCRIPT_TEST_PART"));
}

} // namespace
