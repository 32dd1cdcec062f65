// A campaign brought to its end through the real window: the fleet manager
// opened from the bottom panel and a fleet found through it, then every
// planet made the player's and Next Turn pressed, the victory with its
// figures, and its button back to the title; then a campaign with no planet
// left ends in defeat the same way.
#include "CampaignTestFleet.h"
#include "CampaignWindowRoad.h"

#include "app/Game.h"
#include "campaign/gui/GUI_Campaign.h"
#include "campaign/gui/GUI_CampaignControlPanelBttm.h"
#include "campaign/gui/GUI_CampaignDefeat.h"
#include "campaign/gui/GUI_CampaignFleetDetails.h"
#include "campaign/gui/GUI_CampaignFleetManager.h"
#include "campaign/gui/GUI_CampaignManagerStrip.h"
#include "campaign/gui/GUI_CampaignMap.h"
#include "campaign/gui/GUI_CampaignStats.h"
#include "campaign/gui/GUI_CampaignVictory.h"
#include "campaign/gui/GUI_EndTurn.h"
#include "campaign/sim/SIM_Campaign.h"
#include "campaign/sim/SIM_CampaignBattleManager.h"
#include "campaign/sim/SIM_CampaignBattleOutcome.h"
#include "campaign/sim/SIM_CampaignCaptureManager.h"
#include "campaign/sim/SIM_CampaignProgress.h"
#include "campaign/sim/SIM_CampaignStats.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_IconButton.h"
#include "support/WindowInput.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

void SetEveryTerritory(int owner)
{
    for (SIM_CampaignEncounter* e : GUI_Campaign::GetInstance().GetDefinition()->GetEncounters())
        e->territory = owner;
}

// How much the dialog's rectangle changed between two pictures, on average.
double Change(const TextureData& before, const TextureData& after, const GUI_BaseElement& area)
{
    double sum = 0.0;
    int n = 0;
    for (int y = area.top + 20; y < area.bottom - 20; y += 40)
        for (int x = area.left + 20; x < area.right - 20; x += 40, ++n)
            sum += std::fabs(Brightness(after, x, y, 3) - Brightness(before, x, y, 3));
    return n ? sum / n : 0.0;
}

// Next Turn with the mouse; the ending dialog of the kind must open, look
// different from the map it covers, and its button, or Escape, must lead to
// the title: the ending is final whichever way the dialog is closed.
enum class Close { BY_CONTINUE, BY_ESCAPE };
template <typename Dialog>
void EndTurnAndLeave(const std::string& userDir, Close how)
{
    GUI_CampaignMap* map = GUI_CampaignMap::Get();
    const TextureData before = Screenshot(userDir);
    ClickCentre(map->GetBottomPanel()->GetNextTurnButton());
    Settle();
    // The turn's report comes first; the ending waits behind its Continue.
    ASSERT_EQ(Dialog::GetOpen(), nullptr);
    GUI_EndTurn* report = GUI_EndTurn::GetOpen();
    ASSERT_NE(report, nullptr);
    ClickCentre(report->GetContinueButton());
    Settle();
    EXPECT_EQ(GUI_EndTurn::GetOpen(), nullptr);
    Dialog* dialog = Dialog::GetOpen();
    ASSERT_NE(dialog, nullptr);
    ASSERT_NE(dialog->GetStats(), nullptr);
    EXPECT_EQ(dialog->GetStats()->GetValue(9), "1"); // the turns played
    const TextureData after = Screenshot(userDir);
    ASSERT_GT(after.width, 0);
    EXPECT_GT(Change(before, after, *dialog), 15.0);
    // The message box is darker than the panel around it.
    const GRect& m = dialog->GetMessageRect();
    EXPECT_LT(Brightness(after, m.right - 30, m.bottom - 12, 4),
              Brightness(after, m.right - 30, m.bottom + 150, 4) + 1.0);

    if (how == Close::BY_CONTINUE)
        ClickCentre(dialog->GetContinueButton());
    else
        PressKey(SDL_SCANCODE_ESCAPE);
    Settle();
    EXPECT_EQ(Dialog::GetOpen(), nullptr);
    EXPECT_EQ(Game::GetInstance().GetModeId(), GUI_Campaign::kMainMenu);
    EXPECT_EQ(GUI_Campaign::GetInstance().GetDefinition(), nullptr);
    EXPECT_EQ(GUI_CampaignMap::Get(), nullptr);
    SIM_CampaignProgress& progress = SIM_CampaignProgress::GetInstance();
    EXPECT_TRUE(progress.GetFleets().empty());
    EXPECT_EQ(progress.GetStats().Find("ships_built"), nullptr);
    EXPECT_TRUE(SIM_CampaignBattleManager::GetInstance().GetPending().empty());
    EXPECT_FALSE(SIM_CampaignCaptureManager::GetInstance().HasWaiting());
    EXPECT_EQ(SIM_CampaignCaptureManager::GetInstance().GetReceivingFleet(), nullptr);
}

} // namespace

TEST(GLCampaignEnding, FleetManagerFindsAFleetThenEveryPlanetHeldWinsTheCampaign)
{
    CampaignWindowGame play(3);
    ASSERT_TRUE(play.Started());
    OpenNewCampaign("won");
    GUI_CampaignMap* map = GUI_CampaignMap::Get();
    SIM_CampaignEncounter* home = map->GetCampaign()->GetHomeworldEncounter();
    SIM_CampaignFleet* fleet = MakeTestFleet(home);
    SIM_CampaignProgress::GetInstance().GetStats().AddToStat("ships_built", 1);
    RunGameFrames(2);

    // The fleet manager's button, then the fleet's row: its window opens.
    GUI_CampaignControlPanelBttm* panel = map->GetBottomPanel();
    ClickCentre(panel->GetManagerButton(0));
    GUI_CampaignFleetManager* manager = GUI_CampaignFleetManager::GetOpen();
    ASSERT_NE(manager, nullptr);
    ASSERT_EQ(manager->GetStrips().size(), 1u);
    ClickCentre(manager->GetStrips()[0].get());
    Settle();
    EXPECT_NE(GUI_CampaignFleetDetails::FindForFleet(fleet), nullptr);
    // The button again closes the manager.
    ClickCentre(panel->GetManagerButton(0));
    EXPECT_EQ(GUI_CampaignFleetManager::GetOpen(), nullptr);

    // A prize still waits for the fleet when the campaign ends.
    SIM_CampaignBattleOutcome outcome;
    SIM_BattleShipResult survivor;
    survivor.shipId = 3;
    survivor.design = "kor_ai_escort";
    outcome.enemyShips.push_back(survivor);
    SIM_CampaignCaptureManager::GetInstance().CollectCaptures(fleet, outcome);
    ASSERT_TRUE(SIM_CampaignCaptureManager::GetInstance().HasWaiting());

    SetEveryTerritory(SIM_CampaignEncounter::PLAYER);
    EndTurnAndLeave<GUI_CampaignVictory>(play.UserDir(), Close::BY_CONTINUE);
    // Nothing of the ended campaign is reached any more (AddressSanitizer).
    SIM_CampaignCaptureManager::GetInstance().AddCapturedShipToFleet();
    RunGameFrames(2);
}

TEST(GLCampaignEnding, NoPlanetLeftLosesTheCampaign)
{
    CampaignWindowGame play(4);
    ASSERT_TRUE(play.Started());
    OpenNewCampaign("lost");
    SetEveryTerritory(SIM_CampaignEncounter::ENEMY);
    EndTurnAndLeave<GUI_CampaignDefeat>(play.UserDir(), Close::BY_CONTINUE);
}

// Escape on the ending is its Continue, won or lost: nothing of the
// campaign is left standing behind a closed dialog.
TEST(GLCampaignEnding, EscapeOnTheEndingEndsTheCampaignAsContinueDoes)
{
    CampaignWindowGame play(5);
    ASSERT_TRUE(play.Started());
    OpenNewCampaign("wonescape");
    SetEveryTerritory(SIM_CampaignEncounter::PLAYER);
    EndTurnAndLeave<GUI_CampaignVictory>(play.UserDir(), Close::BY_ESCAPE);
    OpenNewCampaign("lostescape");
    SetEveryTerritory(SIM_CampaignEncounter::ENEMY);
    EndTurnAndLeave<GUI_CampaignDefeat>(play.UserDir(), Close::BY_ESCAPE);
}
