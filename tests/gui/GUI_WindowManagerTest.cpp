#include "engine/CInput.h"
#include "engine/D3DEngine.h"
#include "gui/GUI_ButtonBase.h"
#include "gui/GUI_CloseButton.h"
#include "gui/GUI_Cursor.h"
#include "gui/GUI_Tutorial.h"
#include "gui/GUI_WindowBase.h"
#include "gui/GUI_WindowManager.h"
#include "platform/HeadlessGraphicsDevice.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

std::vector<std::string> g_events;
int g_liveWindows = 0;

class TestWindow : public GUI_WindowBase {
public:
    TestWindow(std::string name, int l, int t, int r, int b, bool modal = false) : m_name(std::move(name)), m_modal(modal)
    {
        ++g_liveWindows;
        SetRect(static_cast<float>(l), static_cast<float>(t), static_cast<float>(r), static_cast<float>(b));
    }
    ~TestWindow() override
    {
        --g_liveWindows;
        g_events.push_back("deleted " + m_name);
    }
    void Draw() override
    {
        g_events.push_back("draw " + m_name);
        GUI_WindowBase::Draw();
    }
    bool IsModal() const override { return m_modal; }
    void OnSubjectGone() override { g_events.push_back("gone " + m_name); }
    void OnWheelUp() override { g_events.push_back("wheel " + m_name); }
    void OnDragEnd() override { g_events.push_back("dragend " + m_name); }

    // Registers as a dialog does: top of the z-order and, when modal, in the
    // list of windows that hold the input.
    TestWindow* Register()
    {
        GUI_WindowManager::GetInstance().AddWindow(this);
        if (m_modal)
            GUI_WindowManager::GetInstance().AddModal(this);
        return this;
    }

private:
    std::string m_name;
    bool m_modal;
};

class WindowManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        D3DEngine::GetInstance().Init(std::make_unique<HeadlessGraphicsDevice>(1024, 768));
        CInput::GetInstance().Init();
        CInput::GetInstance().SetInputBlocked(false);
        CInput::GetInstance().HandleMouseMessage(MouseMessage::LeftUp);
        g_events.clear();
        g_liveWindows = 0;
    }
    void TearDown() override
    {
        GUI_WindowManager& manager = GUI_WindowManager::GetInstance();
        EXPECT_TRUE(manager.GetTopLevelWindows().empty());
        EXPECT_TRUE(manager.GetModalWindows().empty());
        EXPECT_EQ(0u, manager.GetQueuedCount());
        EXPECT_EQ(nullptr, GUI_Cursor::GetInstance().GetDraggedWindow());
        EXPECT_EQ(0, g_liveWindows);
    }
    static void MoveMouse(float x, float y)
    {
        CInput::GetInstance().SetCursorPosition(x, y);
        CInput::GetInstance().Poll();
    }
    static void Click(float x, float y, bool expected = true)
    {
        MoveMouse(x, y);
        EXPECT_EQ(expected, GUI_WindowManager::GetInstance().DispatchClick());
    }
};

TEST_F(WindowManagerTest, ModalWindowSwallowsEveryClickOnTheScreen)
{
    TestWindow plain("plain", 500, 500, 700, 700);
    plain.Register();
    int clicks = 0;
    auto* button = new GUI_ButtonBase([](std::intptr_t arg) { ++*reinterpret_cast<int*>(arg); },
                                      reinterpret_cast<std::intptr_t>(&clicks));
    button->SetRect(550, 550, 600, 600);
    plain.AddButton(button);
    EXPECT_EQ(&plain, button->GetOwner());

    TestWindow dialog("dialog", 100, 100, 300, 300, true);
    dialog.Register();
    Click(560, 560);
    Click(5, 5);
    EXPECT_EQ(0, clicks);

    dialog.visible = false; // hidden modal still holds the input
    Click(560, 560);
    EXPECT_EQ(0, clicks);
}

TEST_F(WindowManagerTest, PlainWindowTakesClickInsideAndRisesToTheTop)
{
    TestWindow lower("lower", 0, 0, 200, 200);
    TestWindow upper("upper", 300, 300, 400, 400);
    lower.Register();
    upper.Register();
    Click(50, 50);
    EXPECT_EQ(&lower, GUI_WindowManager::GetInstance().GetTopLevelWindows().back());
    Click(250, 250, false);

    lower.swallowsClicks = false;
    lower.raisesOnClick = false;
    Click(50, 50, false);
}

TEST_F(WindowManagerTest, HiddenWindowRefusesClicksInside)
{
    TestWindow window("w", 0, 0, 200, 200);
    window.visible = false;
    EXPECT_FALSE(window.OnLeftClick(10, 10));
    EXPECT_FALSE(window.OnRightClick(10, 10));
}

TEST_F(WindowManagerTest, UpperOverlappingWindowTakesClickAndHover)
{
    TestWindow lower("lower", 0, 0, 200, 200);
    TestWindow upper("upper", 100, 100, 300, 300);
    lower.Register();
    upper.Register();
    auto* lowerButton = new GUI_ButtonBase(nullptr, 0);
    auto* upperButton = new GUI_ButtonBase(nullptr, 0);
    lowerButton->SetRect(120, 120, 180, 180);
    upperButton->SetRect(120, 120, 180, 180);
    lower.AddButton(lowerButton);
    upper.AddButton(upperButton);

    MoveMouse(150, 150);
    GUI_WindowManager::GetInstance().UpdateWindows();
    EXPECT_EQ(1, upperButton->hover);
    EXPECT_EQ(0, lowerButton->hover);
    EXPECT_EQ(&upper, GUI_WindowManager::GetInstance().GetWindowUnderMouse());

    Click(150, 150);
    EXPECT_EQ(&upper, GUI_WindowManager::GetInstance().GetTopLevelWindows().back());

    MoveMouse(50, 50);
    GUI_WindowManager::GetInstance().UpdateWindows();
    EXPECT_EQ(0, upperButton->hover);
    EXPECT_EQ(&lower, GUI_WindowManager::GetInstance().GetWindowUnderMouse());
}

TEST_F(WindowManagerTest, ButtonsLoseTheirHoverWhenCoveredOrWhenAModalOpens)
{
    GUI_WindowManager& manager = GUI_WindowManager::GetInstance();
    TestWindow panel("panel", 0, 0, 200, 200);
    panel.Register();
    auto* button = new GUI_ButtonBase(nullptr, 0);
    button->SetRect(20, 20, 80, 80);
    panel.AddButton(button);
    MoveMouse(50, 50);
    manager.UpdateWindows();
    ASSERT_EQ(1, button->hover);

    {
        // A plain window opened over the button takes the mouse.
        TestWindow cover("cover", 0, 0, 100, 100);
        cover.Register();
        manager.UpdateWindows();
        EXPECT_EQ(0, button->hover);
        manager.RemoveWindow(&cover);
    }
    manager.UpdateWindows();
    ASSERT_EQ(1, button->hover);

    // A question away from the mouse holds the input: the panel waits unlit.
    TestWindow question("question", 500, 500, 700, 600, true);
    question.Register();
    manager.UpdateWindows();
    EXPECT_EQ(0, button->hover);
    manager.RemoveModal(&question);
    manager.RemoveWindow(&question);
    manager.RemoveWindow(&panel);
}

TEST_F(WindowManagerTest, DialogsAreDrawnAbovePlainWindowsWhateverTheZOrder)
{
    TestWindow dialog("dialog", 0, 0, 100, 100, true);
    TestWindow plain("plain", 0, 0, 100, 100);
    TestWindow hidden("hidden", 0, 0, 100, 100);
    GUI_WindowManager::GetInstance().AddWindow(&dialog);
    plain.Register();
    hidden.Register();
    hidden.visible = false;
    GUI_WindowManager::GetInstance().DrawWindows();
    EXPECT_EQ((std::vector<std::string>{"draw plain", "draw dialog"}), g_events);
}

TEST_F(WindowManagerTest, EscapeClosesTheTopmostModalFirst)
{
    GUI_WindowManager& manager = GUI_WindowManager::GetInstance();
    EXPECT_FALSE(manager.CloseTopModal());
    (new TestWindow("older", 0, 0, 100, 100, true))->Register();
    (new TestWindow("newer", 50, 50, 150, 150, true))->Register();
    EXPECT_TRUE(manager.IsModalOpen());
    EXPECT_TRUE(manager.CloseTopModal());
    EXPECT_EQ((std::vector<std::string>{"deleted newer"}), g_events);
    EXPECT_TRUE(manager.CloseTopModal());
    EXPECT_EQ((std::vector<std::string>{"deleted newer", "deleted older"}), g_events);
    EXPECT_FALSE(manager.IsModalOpen());
    EXPECT_FALSE(manager.CloseTopModal());
}

TEST_F(WindowManagerTest, EscapeFollowsTheZOrderWhenAnOlderDialogWasRaised)
{
    GUI_WindowManager& manager = GUI_WindowManager::GetInstance();
    auto* older = (new TestWindow("older", 0, 0, 100, 100, true))->Register();
    (new TestWindow("newer", 200, 200, 300, 300, true))->Register();
    manager.BringToFront(older);
    EXPECT_TRUE(manager.CloseTopModal());
    EXPECT_EQ((std::vector<std::string>{"deleted older"}), g_events);
    EXPECT_TRUE(manager.CloseTopModal());
}

TEST_F(WindowManagerTest, WheelPrefersADialogUnderTheMouseOverAHigherPlainWindow)
{
    TestWindow dialog("dialog", 0, 0, 200, 200, true);
    TestWindow plain("plain", 0, 0, 200, 200);
    GUI_WindowManager& manager = GUI_WindowManager::GetInstance();
    manager.AddWindow(&dialog);
    plain.Register();
    MoveMouse(100, 100);
    manager.DispatchWheelUp();
    MoveMouse(500, 500);
    manager.DispatchWheelUp();
    EXPECT_EQ((std::vector<std::string>{"wheel dialog"}), g_events);

    dialog.visible = false;
    MoveMouse(100, 100);
    manager.DispatchWheelUp();
    EXPECT_EQ((std::vector<std::string>{"wheel dialog", "wheel plain"}), g_events);
}

TEST_F(WindowManagerTest, WheelGoesToTheWindowHoldingTheInputWhereverTheMouseIs)
{
    TestWindow first("first", 0, 0, 100, 100, true);
    TestWindow second("second", 0, 0, 100, 100, true);
    first.Register();
    second.Register();
    MoveMouse(900, 700);
    GUI_WindowManager::GetInstance().DispatchWheelUp();
    EXPECT_EQ((std::vector<std::string>{"wheel second"}), g_events);
}

TEST_F(WindowManagerTest, DraggingMovesTheWindowAndItsChildElements)
{
    TestWindow window("drag", 100, 100, 300, 250);
    window.draggable = true;
    window.Register();
    GUI_BaseElement label;
    label.SetRect(110, 120, 160, 140);
    window.AddChildElement(&label);

    MoveMouse(150, 110);
    CInput::GetInstance().HandleMouseMessage(MouseMessage::LeftDown);
    GUI_WindowManager::GetInstance().UpdateWindows();
    EXPECT_TRUE(window.IsDragging());
    EXPECT_EQ(&window, GUI_Cursor::GetInstance().GetDraggedWindow());

    MoveMouse(180, 110);
    GUI_WindowManager::GetInstance().UpdateWindows();
    EXPECT_EQ(130, window.left);
    EXPECT_EQ(100, window.top);
    EXPECT_EQ(200, window.width);
    EXPECT_EQ(150, window.height);
    EXPECT_EQ(330, window.right);
    EXPECT_EQ(140, label.left);
    EXPECT_EQ(50, label.width);

    CInput::GetInstance().HandleMouseMessage(MouseMessage::LeftUp);
    GUI_WindowManager::GetInstance().UpdateWindows();
    EXPECT_FALSE(window.IsDragging());
    EXPECT_EQ(nullptr, GUI_Cursor::GetInstance().GetDraggedWindow());
    EXPECT_EQ((std::vector<std::string>{"dragend drag"}), g_events);
    window.RemoveChildElement(&label);
}

TEST_F(WindowManagerTest, DestroyedDraggedWindowIsForgottenByTheCursor)
{
    auto* window = new TestWindow("drag", 0, 0, 100, 100);
    MoveMouse(10, 10);
    window->StartDrag();
    EXPECT_EQ(window, GUI_Cursor::GetInstance().GetDraggedWindow());
    delete window;
    EXPECT_EQ(nullptr, GUI_Cursor::GetInstance().GetDraggedWindow());
}

TEST_F(WindowManagerTest, CloseButtonFreesItsDialogOnlyAfterTheClickDispatch)
{
    auto* dialog = (new TestWindow("dialog", 100, 100, 400, 300, true))->Register();
    auto* close = new GUI_CloseButton();
    close->SetRect(364, 108, 392, 136);
    dialog->AddButton(close);
    auto* child = new TestWindow("child", 120, 150, 200, 200);
    dialog->AddChild(child);
    GUI_Tutorial::GetInstance().AllowButton(close);
    GUI_Tutorial::GetInstance().AllowButton(dialog);

    Click(370, 120);
    EXPECT_EQ(0, g_liveWindows);
    EXPECT_EQ((std::vector<std::string>{"deleted dialog", "deleted child"}), g_events);
    EXPECT_TRUE(GUI_Tutorial::GetInstance().GetAllowedElements().empty());
}

struct CloseRequest {
    GUI_WindowBase* self = nullptr;
    GUI_WindowBase* other = nullptr;
    bool selfAliveDuringCallback = false;
};

TEST_F(WindowManagerTest, AnswerThatClosesItselfAndAnotherWindowIsSafeDuringDispatch)
{
    CloseRequest request;
    auto* other = (new TestWindow("other", 0, 0, 500, 500, true))->Register();
    auto* dialog = (new TestWindow("question", 100, 100, 300, 300, true))->Register();
    request.self = dialog;
    request.other = other;
    auto* yes = new GUI_ButtonBase(
        [](std::intptr_t arg) {
            auto* req = reinterpret_cast<CloseRequest*>(arg);
            GUI_WindowManager& manager = GUI_WindowManager::GetInstance();
            manager.CloseWindow(req->self);
            manager.CloseWindow(req->self); // twice: still one deletion
            manager.CloseWindow(req->other);
            req->selfAliveDuringCallback = g_liveWindows == 2;
        },
        reinterpret_cast<std::intptr_t>(&request));
    yes->SetRect(150, 250, 250, 280);
    dialog->AddButton(yes);

    Click(200, 260);
    EXPECT_TRUE(request.selfAliveDuringCallback);
    EXPECT_EQ(0, g_liveWindows);
}

TEST_F(WindowManagerTest, ChildButtonClosingItsParentDuringTheWalkIsSafe)
{
    auto* panel = (new TestWindow("panel", 0, 0, 400, 400))->Register();
    auto* child = new TestWindow("child", 10, 10, 200, 200);
    panel->AddChild(child);
    auto* button = new GUI_ButtonBase(
        [](std::intptr_t arg) {
            GUI_WindowManager::GetInstance().CloseWindow(reinterpret_cast<GUI_WindowBase*>(arg));
        },
        reinterpret_cast<std::intptr_t>(panel));
    button->SetRect(20, 20, 60, 60);
    child->AddButton(button);
    Click(30, 30);
    EXPECT_EQ(0, g_liveWindows);
}

TEST_F(WindowManagerTest, EscapeTwiceInsideOneDispatchClosesTwoDifferentDialogs)
{
    (new TestWindow("older", 0, 0, 100, 100, true))->Register();
    auto* newer = (new TestWindow("newer", 200, 200, 400, 400, true))->Register();
    auto* button = new GUI_ButtonBase(
        [](std::intptr_t) {
            GUI_WindowManager& manager = GUI_WindowManager::GetInstance();
            EXPECT_TRUE(manager.CloseTopModal());
            EXPECT_TRUE(manager.CloseTopModal());
            EXPECT_FALSE(manager.CloseTopModal());
            EXPECT_EQ(2, g_liveWindows); // both wait for the end of the click
        },
        0);
    button->SetRect(250, 250, 300, 300);
    newer->AddButton(button);
    Click(260, 260);
    EXPECT_EQ(0, g_liveWindows);
    EXPECT_EQ((std::vector<std::string>{"deleted newer", "deleted older"}), g_events);
}

TEST_F(WindowManagerTest, QueuedWindowDeletedByItsOwnerIsForgottenByTheQueue)
{
    GUI_WindowManager& manager = GUI_WindowManager::GetInstance();
    auto* window = (new TestWindow("w", 0, 0, 10, 10))->Register();
    manager.QueueDelete(window);
    manager.QueueDelete(window);
    EXPECT_EQ(1u, manager.GetQueuedCount());
    delete window;
    EXPECT_EQ(0u, manager.GetQueuedCount());
    manager.UpdateWindows();
    EXPECT_EQ(0, g_liveWindows);

    auto* parent = (new TestWindow("parent", 0, 0, 10, 10))->Register();
    auto* child = new TestWindow("child", 0, 0, 5, 5);
    parent->AddChild(child);
    manager.QueueDelete(parent);
    manager.QueueDelete(child); // goes with its parent first
    manager.UpdateWindows();
    EXPECT_EQ(0, g_liveWindows);
}

TEST_F(WindowManagerTest, ClicksDuringTheScreenFadeReachNoWindow)
{
    TestWindow window("w", 0, 0, 200, 200);
    window.Register();
    CInput::GetInstance().SetInputBlocked(true);
    Click(500, 500, true);
    CInput::GetInstance().SetInputBlocked(false);
    Click(500, 500, false);
}

TEST_F(WindowManagerTest, RightClicksGoToChildWindowsOnly)
{
    struct RightWindow : TestWindow {
        using TestWindow::TestWindow;
        bool OnRightClick(float x, float y) override { return Contains(x, y); }
    };
    TestWindow parent("parent", 0, 0, 300, 300);
    parent.Register();
    auto* child = new RightWindow("child", 10, 10, 50, 50);
    parent.AddChild(child);
    MoveMouse(20, 20);
    EXPECT_TRUE(GUI_WindowManager::GetInstance().DispatchRightClick());
    MoveMouse(200, 200);
    EXPECT_FALSE(GUI_WindowManager::GetInstance().DispatchRightClick());
    parent.DeleteChildren();
    EXPECT_TRUE(parent.GetChildren().empty());
}

} // namespace

namespace {
struct Subject {
    GLifetime lifetime;
};
} // namespace

// A window that follows a thing is hidden, told and deleted by the first
// walk after the thing goes, before any draw, click or wheel reaches it; a
// pane's subject closes the window it sits in; windows following nothing, or
// something else, stay.
TEST_F(WindowManagerTest, AWindowClosesBeforeItActsAgainOnceWhatItFollowsIsGone)
{
    GUI_WindowManager& manager = GUI_WindowManager::GetInstance();
    auto fleet = std::make_unique<Subject>();
    auto ship = std::make_unique<Subject>();
    auto* details = (new TestWindow("details", 0, 0, 200, 200))->Register();
    details->Follow(GWatch<Subject>(fleet.get()));
    auto* log = (new TestWindow("log", 300, 0, 500, 200, true))->Register();
    auto* pane = new TestWindow("pane", 310, 10, 400, 100);
    log->AddChild(pane);
    pane->Follow(ship->lifetime);
    TestWindow other("other", 600, 0, 700, 200);
    other.Register();
    other.Follow(GWatch<Subject>(ship.get()));
    other.StopFollowing();
    EXPECT_FALSE(details->HasLostSubject());
    EXPECT_FALSE(log->HasLostSubject());

    fleet.reset();
    EXPECT_TRUE(details->HasLostSubject());
    g_events.clear();
    manager.DrawWindows();
    EXPECT_EQ(g_events, (std::vector<std::string>{"gone details", "deleted details", "draw other", "draw log"}));

    // Freed through its pane, the log never sees the click or the wheel meant for it.
    ship.reset();
    g_events.clear();
    Click(350, 50, false);
    EXPECT_EQ(g_events, (std::vector<std::string>{"gone log", "deleted log", "deleted pane"}));
    g_events.clear();
    manager.DispatchWheelUp();
    manager.UpdateWindows();
    EXPECT_TRUE(g_events.empty());
    EXPECT_EQ(manager.GetTopLevelWindows(), std::vector<GUI_WindowBase*>{&other});
    EXPECT_EQ(1, g_liveWindows);

    // Inside a walk the window is hidden and told at once, and goes when the walk ends.
    auto planet = std::make_unique<Subject>();
    auto* yard = (new TestWindow("yard", 0, 0, 100, 100))->Register();
    yard->Follow(planet->lifetime);
    planet->lifetime.End();
    g_events.clear();
    {
        GUI_WindowManager::BusyScope walk(manager);
        EXPECT_FALSE(manager.CloseTopModal()) << "Escape finds no dialog once the yard has gone";
        EXPECT_FALSE(yard->visible);
        EXPECT_TRUE(manager.IsQueuedForDelete(yard));
        manager.CloseWindowsWithoutSubject();
        EXPECT_EQ(g_events, std::vector<std::string>{"gone yard"}) << "told once";
    }
    EXPECT_EQ(g_events, (std::vector<std::string>{"gone yard", "deleted yard"}));
}
