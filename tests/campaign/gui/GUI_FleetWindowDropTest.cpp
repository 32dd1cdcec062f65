// Ship tiles let go over fleet windows that overlap, on the whole game
// started headless: the window drawn on top takes a drop, and a tile pressed
// and let go where it was pressed only shows its ship.
#include "CampaignScreenGame.h"

#include "campaign/gui/GUI_CampaignFleetDetails.h"
#include "campaign/gui/GUI_CampaignShipDetails.h"
#include "campaign/gui/GUI_CampaignShipIcon.h"
#include "engine/GSafeFile.h"

#include <algorithm>
#include <filesystem>
#include <set>

namespace {

class FleetWindowDrop : public CampaignScreenGame {
protected:
    void SetUp() override
    {
        CampaignScreenGame::SetUp();
        StartCampaign("droptest");
        home = Homeworld();
        ASSERT_NE(home, nullptr);
        a = AddFleet(home);
        b = AddFleet(home);
        AddTestShip(b, "fed_ai_escort", "Second");
        ASSERT_TRUE(SIM_CampaignProgress::GetInstance().Save());
    }
    void TearDown() override { Quit(); }

    static void CentreOf(const GUI_BaseElement& e, int& x, int& y)
    {
        x = (e.left + e.right) / 2;
        y = (e.top + e.bottom) / 2;
    }
    // Pressed and let go at one point, the mouse never moving between.
    static void PressAndRelease(int x, int y)
    {
        MoveMouse(x, y);
        PressLeft(true);
        PressLeft(false);
        Frames(2);
    }
    // The save's fleet files, as they stand on disk.
    static std::string SavedFleets()
    {
        std::set<std::string> files;
        for (const auto& entry :
             std::filesystem::directory_iterator(SIM_CampaignProgress::GetInstance().GetSaveFolder() + "/fleets"))
            files.insert(entry.path().string());
        std::string all;
        for (const std::string& file : files) {
            std::string text;
            ReadWholeFile(file, text);
            all += file + "\n" + text;
        }
        return all;
    }
    // Escape takes the ship's window down, the top one.
    static void CloseShipDetails()
    {
        ASSERT_NE(GUI_CampaignShipDetails::GetOpen(), nullptr);
        PressKey(SDL_SCANCODE_ESCAPE);
        Frames(1);
        ASSERT_EQ(GUI_CampaignShipDetails::GetOpen(), nullptr);
    }

    SIM_CampaignEncounter* home = nullptr;
    SIM_CampaignFleet* a = nullptr;
    SIM_CampaignFleet* b = nullptr;
};

TEST_F(FleetWindowDrop, TheWindowOnTopTakesTheDropAndAClickOnATileMovesNothing)
{
    // A's window, then B's, which opens 50 pixels right of and below it: B's
    // first tile lies over A's window.
    GUI_CampaignFleetDetails* wa = GUI_CampaignFleetDetails::ShowForFleet(a);
    GUI_CampaignFleetDetails* wb = GUI_CampaignFleetDetails::ShowForFleet(b);
    Frames(1);
    ASSERT_EQ(wb->left - wa->left, GUI_CampaignFleetDetails::kCascade);
    GUI_CampaignShipIcon* tile = wb->GetIcons()[0];
    SIM_CampaignShip* ship = tile->GetShip();
    int x, y;
    CentreOf(*tile, x, y);
    ASSERT_TRUE(wa->Contains(static_cast<float>(x), static_cast<float>(y)));
    const std::string saved = SavedFleets();

    // A click on it shows the ship and moves nothing.
    PressAndRelease(x, y);
    ASSERT_NE(GUI_CampaignShipDetails::GetOpen(), nullptr);
    EXPECT_EQ(GUI_CampaignShipDetails::GetOpen()->GetShip(), ship);
    EXPECT_EQ(ship->fleet, b);
    EXPECT_EQ(a->GetShips().size(), 1u);
    EXPECT_EQ(b->GetShips().size(), 2u);
    EXPECT_TRUE(SavedFleets() == saved) << "nothing saved";
    CloseShipDetails();

    // Moved a little and let go over both windows: B, drawn on top, takes it
    // back, and shows the ship.
    Frames(1);
    tile = wb->GetIcons()[0];
    CentreOf(*tile, x, y);
    Drag(static_cast<float>(x), static_cast<float>(y), static_cast<float>(x + 3), static_cast<float>(y + 2), 2);
    EXPECT_EQ(ship->fleet, b);
    EXPECT_EQ(a->GetShips().size(), 1u);
    ASSERT_NE(GUI_CampaignShipDetails::GetOpen(), nullptr);
    EXPECT_EQ(GUI_CampaignShipDetails::GetOpen()->GetShip(), ship);
    EXPECT_TRUE(SavedFleets() == saved) << "nothing saved";
    CloseShipDetails();

    // Dropped on the part of A that B leaves in view: A takes it, and the
    // save has it there.
    Frames(1);
    tile = wb->GetIcons()[0];
    CentreOf(*tile, x, y);
    Drag(static_cast<float>(x), static_cast<float>(y), static_cast<float>(wa->left + 40),
         static_cast<float>(wa->top + 60));
    EXPECT_EQ(ship->fleet, a);
    EXPECT_EQ(a->GetShips().size(), 2u);
    EXPECT_TRUE(SavedFleets() != saved) << "the move is saved";
}

TEST_F(FleetWindowDrop, ATileTakenUpFromUnderAnotherWindowRaisesItsOwnAndStaysOnAClick)
{
    // A's window, then B's; A moved over B's top row and raised by a click
    // on its title, so that A covers the middle of B's first tile but not
    // its lower edge.
    GUI_CampaignFleetDetails* wa = GUI_CampaignFleetDetails::ShowForFleet(a);
    GUI_CampaignFleetDetails* wb = GUI_CampaignFleetDetails::ShowForFleet(b);
    wb->MoveTo(300.0f, 300.0f);
    Frames(1);
    GUI_CampaignShipIcon* tile = wb->GetIcons()[0];
    SIM_CampaignShip* ship = tile->GetShip();
    int x, y;
    CentreOf(*tile, x, y);
    wa->MoveTo(static_cast<float>(x - 200), static_cast<float>(y + 12 - (wa->bottom - wa->top)));
    Frames(1);
    ClickAt(wa->left + 100, wa->top + 15);
    Frames(1);
    const auto& stack = GUI_WindowManager::GetInstance().GetTopLevelWindows();
    ASSERT_EQ(stack.back(), wa);
    ASSERT_TRUE(wa->Contains(static_cast<float>(x), static_cast<float>(y)));
    const int pressY = tile->bottom - 8;
    ASSERT_FALSE(wa->Contains(static_cast<float>(x), static_cast<float>(pressY)));

    // Pressed where it shows and let go there: B comes up, keeps its ship
    // and shows it.
    PressAndRelease(x, pressY);
    EXPECT_GT(std::find(stack.begin(), stack.end(), wb), std::find(stack.begin(), stack.end(), wa));
    EXPECT_EQ(ship->fleet, b) << "a click moves nothing";
    EXPECT_EQ(a->GetShips().size(), 1u);
    ASSERT_NE(GUI_CampaignShipDetails::GetOpen(), nullptr);
    EXPECT_EQ(GUI_CampaignShipDetails::GetOpen()->GetShip(), ship);
    CloseShipDetails();
}

} // namespace
