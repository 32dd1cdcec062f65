// The captured-ships dialog used headless through the real game: the prizes
// of a won battle listed one strip each, scrolled when they do not fit, and
// handed to the winning fleet by the button (or by Escape, so none is lost),
// after which the turn goes on to its end-of-turn dialog.
#include "CampaignScreenGame.h"

#include "campaign/gui/GUI_CampaignCaptureManager.h"
#include "campaign/gui/GUI_CampaignHooks.h"
#include "campaign/sim/SIM_CampaignBattleOutcome.h"
#include "campaign/sim/SIM_CampaignCaptureManager.h"
#include "campaign/sim/SIM_CampaignShipsLog.h"
#include "campaign/sim/SIM_CampaignStats.h"
#include "engine/GHashTable.h"
#include "gui/GUI_ScrollingWindow.h"

namespace {

// The campaign screen's hooks, counting the end-of-turn openings.
class EndTurnSpy : public GUI_CampaignHooks {
public:
    void OpenEndTurnDialog() override { ++endTurns; }
    int endTurns = 0;
};

class CampaignCaptures : public CampaignScreenGame {
protected:
    void SetUp() override
    {
        CampaignScreenGame::SetUp();
        StartCampaign("capturetest");
        ASSERT_NE(Homeworld(), nullptr);
        fleet = AddFleet(Homeworld());
        SIM_CampaignScreenHooks::Install(&spy);
    }
    void TearDown() override
    {
        SIM_CampaignCaptureManager::GetInstance().Clear();
        if (!left)
            Quit();
    }

    // A won battle that left `count` enemy escorts alive, ids 1..count.
    void WinWithSurvivors(int count)
    {
        SIM_CampaignBattleOutcome outcome;
        for (int i = 1; i <= count; ++i) {
            SIM_BattleShipResult r;
            r.shipId = i;
            r.design = "fed_ai_escort";
            r.name = "Prize " + std::to_string(i);
            SIM_BattleModuleResult damaged;
            damaged.slot = 0;
            damaged.integrity = 0.5f;
            r.modules.push_back(damaged);
            outcome.enemyShips.push_back(r);
        }
        SIM_BattleShipResult sunk;
        sunk.shipId = 99;
        sunk.design = "fed_ai_escort";
        sunk.destroyed = true;
        outcome.enemyShips.push_back(sunk);
        SIM_CampaignCaptureManager::GetInstance().CollectCaptures(fleet, outcome);
    }

    SIM_CampaignFleet* fleet = nullptr;
    EndTurnSpy spy;
    bool left = false;
};

TEST_F(CampaignCaptures, PrizesAreListedScrolledAndJoinTheWinningFleetOnOK)
{
    const std::string label = GetString("CAMPAIGN_CAPTURE_INTEGRITY");
    EXPECT_EQ(GUI_CampaignCaptureStrip::IntegrityText(0.456f), label + ": 46%");
    EXPECT_EQ(GUI_CampaignCaptureStrip::IntegrityText(0.454f), label + ": 45%");

    WinWithSurvivors(10);
    ASSERT_EQ(SIM_CampaignCaptureManager::GetInstance().GetWaiting().size(), 10u);
    SIM_CampaignScreenHooks::Get().OpenCapturesDialog();
    Frames(1);
    GUI_CampaignCaptureManager* dialog = GUI_CampaignCaptureManager::GetOpen();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->width, 500);
    EXPECT_EQ(dialog->height, 496);
    // 400 pixels of client area: eight strips of 50 fit, two wait below.
    ASSERT_EQ(dialog->GetStrips().size(), 10u);
    EXPECT_EQ(dialog->GetShownCount(), 8);
    EXPECT_EQ(dialog->GetScrollBar()->maximum, 2);
    EXPECT_EQ(dialog->GetStrips()[0]->GetShip()->name, "Prize 1");
    EXPECT_EQ(dialog->GetStrips()[0]->top, dialog->clientTop);
    EXPECT_EQ(dialog->GetStrips()[7]->top, dialog->clientBottom - 50);
    dialog->OnWheelDown();
    Frames(1);
    EXPECT_EQ(dialog->GetStrips()[1]->top, dialog->clientTop);
    EXPECT_EQ(dialog->GetStrips()[0]->GetParent(), nullptr);
    EXPECT_EQ(spy.endTurns, 0);

    const size_t before = fleet->GetShips().size();
    Click(*dialog->GetOkButton());
    Frames(2);
    EXPECT_EQ(GUI_CampaignCaptureManager::GetOpen(), nullptr);
    EXPECT_FALSE(SIM_CampaignCaptureManager::GetInstance().HasWaiting());
    ASSERT_EQ(fleet->GetShips().size(), before + 10);
    SIM_CampaignShip* prize = fleet->GetShips()[before];
    EXPECT_EQ(prize->name, "Prize 1");
    EXPECT_LT(prize->integrity, 1.0f);
    EXPECT_EQ(prize->log->GetEntries().back().kind, SIM_CampaignShipsLog::CAPTURED);
    EXPECT_EQ(SIM_CampaignProgress::GetInstance().GetStats().Find("ships_captured")->count, 10);
    // The turn goes on exactly once.
    EXPECT_EQ(spy.endTurns, 1);
}

TEST_F(CampaignCaptures, EscapeDoesNotThrowThePrizesAwayAndTheTurnStillGoesOn)
{
    WinWithSurvivors(2);
    GUI_CampaignCaptureManager::Open();
    Frames(1);
    ASSERT_NE(GUI_CampaignCaptureManager::GetOpen(), nullptr);
    const size_t before = fleet->GetShips().size();
    PressKey(SDL_SCANCODE_ESCAPE);
    Frames(1);
    EXPECT_EQ(GUI_CampaignCaptureManager::GetOpen(), nullptr);
    EXPECT_EQ(fleet->GetShips().size(), before + 2);
    EXPECT_EQ(spy.endTurns, 1);

    // Opened again over an open one: one dialog, and nothing handed over twice.
    WinWithSurvivors(1);
    GUI_CampaignCaptureManager::Open();
    GUI_CampaignCaptureManager::Open();
    Frames(1);
    EXPECT_EQ(spy.endTurns, 1);
    Click(*GUI_CampaignCaptureManager::GetOpen()->GetOkButton());
    Frames(1);
    EXPECT_EQ(fleet->GetShips().size(), before + 3);
    EXPECT_EQ(spy.endTurns, 2);
}

TEST_F(CampaignCaptures, LeavingTheCampaignWithPrizesShownKeepsThemInTheSave)
{
    WinWithSurvivors(1);
    GUI_CampaignCaptureManager::Open();
    Frames(1);
    const std::string fleetFile = fleet->GetFilePath();
    Quit();
    left = true;
    EXPECT_EQ(GUI_CampaignCaptureManager::GetOpen(), nullptr);
    EXPECT_EQ(spy.endTurns, 0) << "the turn does not go on on the main menu";
    std::string text;
    ASSERT_TRUE(ReadWholeFile(fleetFile, text));
    EXPECT_NE(text.find("Prize 1"), std::string::npos);
}

} // namespace
