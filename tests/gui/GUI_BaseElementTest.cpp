#include "engine/CInput.h"
#include "engine/D3DEngine.h"
#include "gui/GUIButtonList.h"
#include "gui/GUI_BaseElement.h"
#include "gui/GUI_ButtonBase.h"
#include "gui/GUI_Tutorial.h"
#include "platform/HeadlessGraphicsDevice.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

class BaseElementTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        D3DEngine::GetInstance().Init(std::make_unique<HeadlessGraphicsDevice>(1024, 768));
        CInput::GetInstance().Init();
    }
    static void MoveMouse(float x, float y)
    {
        CInput::GetInstance().SetCursorPosition(x, y);
        CInput::GetInstance().Poll();
    }
};

std::vector<int> g_pressed;
void RecordPress(std::intptr_t argument)
{
    g_pressed.push_back(static_cast<int>(argument));
}

TEST_F(BaseElementTest, SetRectTruncatesCornersAndTakesSizesFromFloatDifferences)
{
    GUI_BaseElement element;
    element.SetRect(10.9f, 20.9f, 110.2f, 70.7f);
    EXPECT_EQ(10, element.left);
    EXPECT_EQ(20, element.top);
    EXPECT_EQ(110, element.right);
    EXPECT_EQ(70, element.bottom);
    EXPECT_EQ(99, element.width);
    EXPECT_EQ(49, element.height);
}

TEST_F(BaseElementTest, SetSizeThenMoveToUsesTheStoredSize)
{
    GUI_BaseElement element;
    element.SetRect(50, 50, 60, 60);
    element.SetSize(200, 100);
    EXPECT_EQ(60, element.right); // untouched until the next move
    element.MoveTo(0, 0);
    EXPECT_EQ(0, element.left);
    EXPECT_EQ(0, element.top);
    EXPECT_EQ(200, element.right);
    EXPECT_EQ(100, element.bottom);
}

TEST_F(BaseElementTest, CentreHalvesWithIntegerDivisionAndLeavesChildrenAlone)
{
    GUI_BaseElement element;
    GUI_BaseElement child;
    element.SetRect(0, 0, 301, 201);
    child.SetRect(5, 5, 15, 15);
    element.AddChildElement(&child);
    element.Centre();
    EXPECT_EQ(362, element.left);
    EXPECT_EQ(284, element.top);
    EXPECT_EQ(663, element.right);
    EXPECT_EQ(485, element.bottom);
    EXPECT_EQ(5, child.left);
}

TEST_F(BaseElementTest, ContainsIncludesTopLeftAndExcludesRightBottom)
{
    GUI_BaseElement element;
    element.SetRect(10, 20, 30, 40);
    EXPECT_TRUE(element.Contains(10, 20));
    EXPECT_TRUE(element.Contains(29.9f, 39.9f));
    EXPECT_FALSE(element.Contains(30, 25));
    EXPECT_FALSE(element.Contains(15, 40));
    EXPECT_FALSE(element.Contains(9.5f, 25)); // truncates toward zero: 9
}

TEST_F(BaseElementTest, ChildrenKeepTheirOffsetDownTheWholeTree)
{
    GUI_BaseElement parent;
    GUI_BaseElement child;
    GUI_BaseElement grandChild;
    parent.SetRect(100, 100, 300, 300);
    child.SetRect(120, 130, 170, 160);
    grandChild.SetRect(125, 135, 135, 145);
    child.AddChildElement(&grandChild);
    parent.AddChildElement(&child);

    parent.MoveTo(0, 0);
    EXPECT_EQ(20, child.left);
    EXPECT_EQ(30, child.top);
    EXPECT_EQ(50, child.width);
    EXPECT_EQ(70, child.right);
    EXPECT_EQ(25, grandChild.left);
    EXPECT_EQ(35, grandChild.top);

    parent.SetRect(10, 10, 50, 50);
    EXPECT_EQ(30, child.left);
    EXPECT_EQ(35, grandChild.left);

    parent.RemoveChildElement(&child);
    parent.RemoveChildElement(&child); // nothing left: harmless
    parent.MoveTo(500, 500);
    EXPECT_EQ(30, child.left);
}

TEST_F(BaseElementTest, FindByNameFollowsTheOrderOfLatestNaming)
{
    GUI_BaseElement first;
    GUI_BaseElement second;
    first.SetName("FIGHT_BUTTON");
    second.SetName("FIGHT_BUTTON");
    EXPECT_EQ(&first, GUI_BaseElement::FindByName("FIGHT_BUTTON"));
    EXPECT_EQ(nullptr, GUI_BaseElement::FindByName("fight_button"));
    EXPECT_EQ(nullptr, GUI_BaseElement::FindByName("FIGHT_BUTTO"));

    first.SetName("OTHER");
    EXPECT_EQ(&second, GUI_BaseElement::FindByName("FIGHT_BUTTON"));
    first.SetName("FIGHT_BUTTON");
    EXPECT_EQ(&second, GUI_BaseElement::FindByName("FIGHT_BUTTON"));
    const auto& named = GUI_BaseElement::GetNamedElements();
    ASSERT_EQ(2u, named.size());
    EXPECT_EQ(&second, named[0]);
    EXPECT_EQ(&first, named[1]);
}

TEST_F(BaseElementTest, DestroyedElementsLeaveTheRegistryAndTheTutorialList)
{
    {
        auto element = std::make_unique<GUI_BaseElement>();
        element->SetName("TEMP");
        GUI_Tutorial::GetInstance().AllowButton(element.get());
        GUI_Tutorial::GetInstance().AllowButton(element.get());
        EXPECT_EQ(element.get(), GUI_BaseElement::FindByName("TEMP"));
    }
    EXPECT_EQ(nullptr, GUI_BaseElement::FindByName("TEMP"));
    EXPECT_TRUE(GUI_BaseElement::GetNamedElements().empty());
    EXPECT_TRUE(GUI_Tutorial::GetInstance().GetAllowedElements().empty());
}

TEST_F(BaseElementTest, ClickButtonsGivesOverlappingClicksToTheFirstAddedVisibleButton)
{
    g_pressed.clear();
    GUIButtonList list;
    auto* first = new GUI_ButtonBase(RecordPress, 1);
    auto* second = new GUI_ButtonBase(RecordPress, 2);
    auto* hidden = new GUI_ButtonBase(RecordPress, 3);
    first->SetRect(0, 0, 100, 100);
    second->SetRect(50, 50, 150, 150);
    hidden->SetRect(200, 200, 300, 300);
    hidden->visible = false;
    list.AddButton(first);
    list.AddButton(second);
    list.AddButton(hidden);
    list.AddButton(nullptr); // reported, not added
    EXPECT_EQ(3u, list.GetButtons().size());

    MoveMouse(75, 75);
    EXPECT_TRUE(list.ClickButtons());
    MoveMouse(120, 120);
    EXPECT_TRUE(list.ClickButtons());
    MoveMouse(250, 250);
    EXPECT_FALSE(list.ClickButtons());
    EXPECT_EQ((std::vector<int>{1, 2}), g_pressed);

    list.DeleteButtons();
    EXPECT_TRUE(list.GetButtons().empty());
}

TEST_F(BaseElementTest, TutorialOffersClicksOnlyToAllowedElements)
{
    g_pressed.clear();
    GUIButtonList list;
    auto* allowed = new GUI_ButtonBase(RecordPress, 7);
    auto* blocked = new GUI_ButtonBase(RecordPress, 8);
    allowed->SetRect(0, 0, 50, 50);
    blocked->SetRect(60, 0, 110, 50);
    list.AddButton(allowed);
    list.AddButton(blocked);
    GUI_Tutorial& tutorial = GUI_Tutorial::GetInstance();
    tutorial.blockButtons = true;
    tutorial.AllowButton(allowed);
    MoveMouse(80, 10);
    EXPECT_FALSE(tutorial.ClickAllowedElements());
    MoveMouse(10, 10);
    EXPECT_TRUE(tutorial.ClickAllowedElements());
    EXPECT_EQ((std::vector<int>{7}), g_pressed);
    EXPECT_FALSE(tutorial.LaunchTutorial("SHIPDESIGN"));

    list.DeleteButton(allowed);
    EXPECT_FALSE(tutorial.IsAllowed(allowed));
    tutorial.SetWaitFor("CLOSEORDERDETAILS");
    ResetTutorialRestrictions(tutorial);
    EXPECT_FALSE(tutorial.blockButtons);
    EXPECT_TRUE(tutorial.GetWaitFor().empty());
}

} // namespace
