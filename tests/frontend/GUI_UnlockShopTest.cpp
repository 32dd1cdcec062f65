#include "engine/GHashTable.h"
#include "engine/TextHelpers.h"
#include "frontend/FrontendGame.h"
#include "frontend/GUI_ChooseScenario.h"
#include "frontend/GUI_RaceScreen.h"
#include "frontend/GUI_UnlockShop.h"
#include "gui/GUI_ButtonTab.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_ScrollingWindow.h"
#include "gui/GUI_Tooltip.h"
#include "prep/GUI_DataItem.h"
#include "prep/GUI_HullData.h"
#include "sim/SIM_HighScores.h"
#include "sim/SIM_Options.h"
#include "sim/SIM_Race.h"
#include "sim/SIM_ShipHull.h"
#include "sim/SIM_ShipModuleType.h"
#include "sim/SIM_Unlockable.h"

#include <memory>

namespace {
class UnlockShop : public FrontendGame {
protected:
    // The shop's rules are checked on the tests' own items: the shipped
    // modules and hulls for sale are taken out of the shop meanwhile (the
    // second race stays, the hull tests need it); the content check covers
    // what the shipped items cost.
    void SetUp() override
    {
        FrontendGame::SetUp();
        for (SIM_Unlockable* item : SIM_Unlockable::GetList())
            if (item->IsLockable() && item->GetKind() != SIM_Unlockable::RACE) {
                item->SetLockable(false);
                m_shipped.push_back(item);
            }
    }

    void TearDown() override
    {
        // Leave the shop before the test's own items go.
        Game::GetInstance().SetMode(15);
        m_items.clear();
        for (SIM_Unlockable* item : m_shipped)
            item->SetLockable(true);
        FrontendGame::TearDown();
    }

    SIM_Unlockable* AddItem(const std::string& name, int kind, const void* owner, int cost)
    {
        auto item = std::make_unique<SIM_Unlockable>();
        item->Init(name, kind, owner);
        item->SetLockable(true);
        item->SetUnlockCost(cost);
        item->RefreshLocked();
        m_items.push_back(std::move(item));
        return m_items.back().get();
    }

    static GUI_UnlockWindow& Window()
    {
        GUI_UnlockWindow* window = GUI_UnlockWindow::GetOpen();
        EXPECT_NE(window, nullptr);
        return *window;
    }

    static void GivePoints(int points)
    {
        SIM_HighScores& scores = SIM_HighScores::GetInstance();
        scores.AddPoints(points - scores.GetPoints());
    }

    std::vector<std::unique_ptr<SIM_Unlockable>> m_items;
    std::vector<SIM_Unlockable*> m_shipped;
};
} // namespace

TEST_F(UnlockShop, LockedItemsComeFirstCheapestFirstAndItemsWithoutOwnerAreSkipped)
{
    const SIM_ShipModuleType* type = SIM_ShipModuleType::GetList().front();
    GivePoints(5);
    ASSERT_TRUE(SIM_HighScores::GetInstance().SpendUnlockPoints(5, "shoptest_owned"));
    AddItem("shoptest_owned", SIM_Unlockable::MODULE_TYPE, type, 5);
    for (int cost : {50, 10, 30, 20})
        AddItem("shoptest_" + std::to_string(cost), SIM_Unlockable::MODULE_TYPE, type, cost);
    AddItem("shoptest_orphan", SIM_Unlockable::MODULE_TYPE, nullptr, 1);

    Game::GetInstance().SetMode(10);
    GUI_UnlockWindow& window = Window();
    ASSERT_EQ(window.GetIcons().size(), 5u);
    const int expected[] = {10, 20, 30, 50, 5};
    for (size_t i = 0; i < 5; ++i)
        EXPECT_EQ(window.GetIcons()[i]->GetItem().GetUnlockCost(), expected[i]) << i;
    EXPECT_FALSE(window.GetIcons().back()->GetItem().IsLocked());
    // The item left out says why in the error log, with the assertion's line.
    const std::string errors = UserFile("debug/errors.txt");
    EXPECT_NE(errors.find("shoptest_orphan"), std::string::npos) << errors;
    EXPECT_NE(errors.find("Assertion failure:filename:GUI_UnlockShop.cpp"), std::string::npos) << errors;
    // The first icon is selected; with no points its frame is brown and the
    // button cannot be pressed.
    EXPECT_EQ(window.GetSelected(), window.GetIcons().front());
    EXPECT_EQ(window.GetIcons().front()->GetFrameTexture(), "square_box_brown.dds");
    EXPECT_FALSE(window.GetUnlockButton()->enabled);
    EXPECT_EQ(window.GetPriceText(), "10");

    // An empty tab: no selection, no price, nothing to press.
    Click(*window.GetTabButton(GUI_UnlockWindow::TAB_HULLS));
    EXPECT_EQ(window.GetTab(), GUI_UnlockWindow::TAB_HULLS);
    EXPECT_TRUE(window.GetIcons().empty());
    EXPECT_EQ(window.GetSelected(), nullptr);
    EXPECT_FALSE(window.GetUnlockButton()->enabled);
    EXPECT_EQ(window.GetPriceText(), "");
}

// A hull naming a race the game has not loaded is still sold (no race holds
// it back), and the error log says what is wrong with it.
TEST_F(UnlockShop, AHullWhoseRaceIsMissingIsSoldWithALine)
{
    SIM_ShipHull stray; // names no race
    ASSERT_EQ(SIM_Race::Find(stray.GetRaceName(), false), nullptr);
    AddItem("shoptest_stray_hull", SIM_Unlockable::HULL, &stray, 1);
    GivePoints(1);
    Game::GetInstance().SetMode(10);
    Click(*Window().GetTabButton(GUI_UnlockWindow::TAB_HULLS));
    ASSERT_EQ(Window().GetIcons().size(), 1u);
    EXPECT_FALSE(Window().GetIcons().front()->IsRaceLocked());
    EXPECT_TRUE(Window().GetUnlockButton()->enabled);
    const std::string errors = UserFile("debug/errors.txt");
    EXPECT_NE(errors.find("shoptest_stray_hull"), std::string::npos) << errors;
    EXPECT_NE(errors.find("Assertion failure:filename:GUI_UnlockShop.cpp"), std::string::npos) << errors;
    Game::GetInstance().SetMode(15);
}

TEST_F(UnlockShop, PagesHoldFiveRowsOfSixAndAScrollStepSkipsARow)
{
    const SIM_ShipModuleType* type = SIM_ShipModuleType::GetList().front();
    for (int i = 0; i < 40; ++i)
        AddItem("shoptest_page_" + std::to_string(i), SIM_Unlockable::MODULE_TYPE, type, 100 + i);
    Game::GetInstance().SetMode(10);
    GUI_UnlockWindow& window = Window();
    ASSERT_EQ(window.GetIcons().size(), 40u);
    EXPECT_EQ(window.GetVisibleRows(), 5);
    EXPECT_EQ(window.GetPage().size(), 30u);
    EXPECT_EQ(window.GetScrollBar()->maximum, 7 - 5);
    const GUI_UnlockIcon* first = window.GetPage()[0];
    EXPECT_EQ(first->left, window.GetIconPanel().left + 10);
    EXPECT_EQ(first->top, window.GetIconPanel().top + 35);
    EXPECT_EQ(window.GetPage()[6]->top, first->top + 64);
    // A scroll selects the new page's first icon, even when the one chosen
    // before is still on the page.
    window.Select(window.GetPage()[8]);
    window.GetScrollBar()->ScrollDown();
    Frames(1);
    EXPECT_EQ(window.GetPage().front(), window.GetIcons()[6]);
    EXPECT_EQ(window.GetPage().size(), 30u);
    EXPECT_EQ(window.GetSelected(), window.GetIcons()[6]);
}

TEST_F(UnlockShop, AModuleShowsOneRowPerStatisticInTwoColumnsAndAHullItsFigures)
{
    // The module type with the most statistics, so that the right column is used.
    SIM_ShipModuleType* type = nullptr;
    for (SIM_ShipModuleType* t : SIM_ShipModuleType::GetList())
        if (!type || t->GetDataItems().size() > type->GetDataItems().size())
            type = t;
    ASSERT_GT(type->GetDataItems().size(), 10u);
    SIM_ShipHull* hull = SIM_ShipHull::GetList().front();
    AddItem("shoptest_stats", SIM_Unlockable::MODULE_TYPE, type, 1);
    AddItem("shoptest_hull", SIM_Unlockable::HULL, hull, 1);
    Game::GetInstance().SetMode(10);
    GUI_UnlockWindow& window = Window();
    ASSERT_EQ(window.GetSelected()->GetItem().GetName(), "shoptest_stats");
    const std::vector<GUI_DataItem*>& rows = window.GetDataRows();
    ASSERT_EQ(rows.size(), type->GetDataItems().size());
    EXPECT_EQ(window.GetHullPanel(), nullptr);
    const GRect& details = window.GetDetailsPanel();
    const int m = (details.left + details.right) / 2;
    const int firstY = details.top + 72 + 36;
    for (size_t i = 0; i < rows.size(); ++i) {
        const bool left = i < 10;
        const int row = static_cast<int>(left ? i : i - 10);
        EXPECT_EQ(rows[i]->GetModuleType(), type);
        EXPECT_EQ(rows[i]->GetParent(), &window) << i;
        EXPECT_EQ(rows[i]->left, left ? details.left + 2 : m + 2) << i;
        EXPECT_EQ(rows[i]->right, left ? m - 2 : details.right - 2) << i;
        EXPECT_EQ(rows[i]->top, firstY + row * 20) << i;
        EXPECT_EQ(rows[i]->bottom - rows[i]->top, 18) << i;
    }
    EXPECT_EQ(rows[0]->GetValue(), GUI_DataItem::FormatValue(*type, type->GetDataItems()[0].statName,
                                                              type->GetDataItems()[0].kind,
                                                              type->GetDataItems()[0].multiplier));

    // The hulls tab: the statistics rows go, the hull's figures come over the rows' area.
    Click(*window.GetTabButton(GUI_UnlockWindow::TAB_HULLS));
    ASSERT_NE(window.GetSelected(), nullptr);
    EXPECT_TRUE(window.GetDataRows().empty());
    GUI_HullData* panel = window.GetHullPanel();
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->GetHull(), hull);
    EXPECT_EQ(panel->GetParent(), &window);
    EXPECT_EQ(panel->left, details.left + 5);
    EXPECT_EQ(panel->top, firstY);
    EXPECT_EQ(panel->right, details.right - 5);
    EXPECT_EQ(panel->bottom, firstY + 10 * 20);
    EXPECT_FALSE(panel->GetRows().empty());
    // Back on the modules: the panel is gone with the selection it showed.
    Click(*window.GetTabButton(GUI_UnlockWindow::TAB_MODULES));
    EXPECT_EQ(window.GetHullPanel(), nullptr);
    EXPECT_EQ(window.GetDataRows().size(), type->GetDataItems().size());
}

TEST_F(UnlockShop, UnlockingSpendsThePointsWritesUnlDatAndOpensTheRacesHulls)
{
    SIM_Race* korrath = SIM_Race::Find("korrath");
    ASSERT_NE(korrath, nullptr);
    ASSERT_TRUE(korrath->GetUnlockable()->IsLocked());
    const SIM_ShipHull* hull = SIM_ShipHull::FindFirstForRace("korrath");
    ASSERT_NE(hull, nullptr);
    AddItem("shoptest_korrath_hull", SIM_Unlockable::HULL, hull, 5);
    const int price = korrath->GetUnlockable()->GetUnlockCost();
    ASSERT_GE(price, 1000); // shown with a thousands separator
    auto expectReason = [](const GUI_UnlockWindow& window, const std::string& reason) {
        EXPECT_EQ(window.GetRefusalText(), reason);
        ASSERT_NE(window.GetUnlockButton()->GetTooltip(), nullptr);
        EXPECT_EQ(window.GetUnlockButton()->GetTooltip()->GetLines().front(),
                  reason.empty() ? GetString("UNLOCK_SELECTED_TOOLTIP") : reason);
    };
    std::string raceFirst = GetString("UNLOCK_NEEDS_RACE");
    ReplaceSubstring(raceFirst, "<RACE>", "Korrath");
    // Short of points by 1,001 (the figure with its separator): the disabled button says so.
    std::string short1001 = GetString("UNLOCK_NEEDS_POINTS");
    ReplaceSubstring(short1001, "<POINTS>", "1,001");
    ASSERT_GE(price, 1001);
    GivePoints(price - 1001);
    Game::GetInstance().SetMode(10);
    GUI_UnlockWindow& window = Window();
    Click(*window.GetTabButton(GUI_UnlockWindow::TAB_RACES));
    ASSERT_EQ(window.GetItemName(), "Korrath");
    EXPECT_FALSE(window.GetUnlockButton()->enabled);
    expectReason(window, short1001);
    // The hull of a race still for sale names the race first, points short or not.
    Click(*window.GetTabButton(GUI_UnlockWindow::TAB_HULLS));
    ASSERT_EQ(window.GetIcons().size(), 1u);
    expectReason(window, raceFirst);

    GivePoints(price + 60);
    Click(*window.GetTabButton(GUI_UnlockWindow::TAB_HULLS));
    ASSERT_EQ(window.GetIcons().size(), 1u);
    // The race is still for sale: the hull cannot be bought, points or not.
    EXPECT_TRUE(window.GetIcons()[0]->IsRaceLocked());
    EXPECT_EQ(window.GetIcons()[0]->GetFrameTexture(), "square_box_brown.dds");
    EXPECT_FALSE(window.GetUnlockButton()->enabled);
    expectReason(window, raceFirst);

    Click(*window.GetTabButton(GUI_UnlockWindow::TAB_RACES));
    ASSERT_EQ(window.GetIcons().size(), 1u);
    EXPECT_EQ(window.GetItemName(), "Korrath");
    EXPECT_EQ(window.GetPriceText(), FormatThousands(price));
    EXPECT_NE(window.GetPriceText().find(','), std::string::npos);
    ASSERT_TRUE(window.GetUnlockButton()->enabled);
    expectReason(window, "");
    Click(*window.GetUnlockButton());
    EXPECT_EQ(SIM_HighScores::GetInstance().GetPoints(), 60);
    EXPECT_FALSE(korrath->GetUnlockable()->IsLocked());
    EXPECT_NE(UserFile("unl.dat").find("korrath"), std::string::npos);
    EXPECT_EQ(window.GetPointsText(), "60");
    EXPECT_FALSE(window.GetUnlockButton()->visible); // already unlocked

    Click(*window.GetTabButton(GUI_UnlockWindow::TAB_HULLS));
    EXPECT_FALSE(window.GetIcons()[0]->IsRaceLocked());
    EXPECT_TRUE(window.GetUnlockButton()->enabled);
    expectReason(window, "");

    // The race screen now lets the player pick the race, and remembers it.
    Game::GetInstance().SetMode(11);
    GUI_RaceSelector* selector = GUI_RaceSelector::GetOpen();
    ASSERT_NE(selector, nullptr);
    GUI_RaceDetails* row = nullptr;
    for (GUI_RaceDetails* r : selector->GetRows())
        if (&r->GetRace() == korrath)
            row = r;
    ASSERT_NE(row, nullptr);
    Frames(1);
    ASSERT_TRUE(row->GetSelectButton()->enabled);
    Click(*row->GetSelectButton());
    EXPECT_EQ(SIM_Options::GetInstance().GetRaceName(), "korrath");
    EXPECT_NE(UserFile("config.txt").find("race = korrath"), std::string::npos);
    EXPECT_EQ(GUI_ChooseScenario::GetInstance().GetRaceTitle(), "Korrath");
    Frames(1);
    EXPECT_FALSE(row->GetSelectButton()->visible);
    for (GUI_RaceDetails* r : selector->GetRows()) {
        if (r != row) {
            EXPECT_TRUE(r->GetSelectButton()->visible);
        }
    }
    GUI_RaceScreen::SelectRace(*SIM_Race::Find("federation"));
}

TEST_F(UnlockShop, EscapeAndTheBackButtonLeaveForTheMainMenu)
{
    Game::GetInstance().SetMode(10);
    PressKey(SDL_SCANCODE_ESCAPE);
    EXPECT_EQ(Game::GetInstance().GetModeId(), 15);
    EXPECT_EQ(GUI_UnlockWindow::GetOpen(), nullptr);
    Game::GetInstance().SetMode(10);
    Click(*GUI_UnlockShop::GetInstance().GetBackButton());
    EXPECT_EQ(Game::GetInstance().GetModeId(), 15);
}
