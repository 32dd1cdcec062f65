// The crew's radio, giving the battle up (admit defeat, or the campaign's
// retreat with its countdown) and the survival score over a running battle.
#include "BattleHudFixture.h"

#include "battle/hud/GUI_Comms.h"
#include "battle/hud/GUI_LeaveBattle.h"
#include "battle/hud/GUI_RetreatTimer.h"
#include "battle/hud/GUI_ShipInspector.h"
#include "battle/hud/GUI_SurvivalScore.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_ConfirmDialog.h"
#include "engine/D3DEngine.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "platform/HeadlessGraphicsDevice.h"
#include "gui/GUI_Tooltip.h"
#include "sim/SIM_BattleClock.h"
#include "sim/SIM_CommsManager.h"
#include "sim/SIM_RetreatManager.h"

#include <algorithm>

namespace {

class CommsAndLeaveTest : public BattleHudTest {
protected:
    void TearDown() override
    {
        if (GUI_ConfirmDialog* open = GUI_ConfirmDialog::GetOpen())
            GUI_WindowManager::GetInstance().CloseWindow(open);
        GUI_LeaveBattle::SetRetreatDestinationQuery(nullptr);
        SIM_RetreatManager::GetInstance().Reset();
        SIM_CommsManager::GetInstance().Reset();
        SIM_BattleClock::GetInstance().ResetForBattle();
        BattleHudTest::TearDown();
    }
    static SIM_Ship* PlayerShip(size_t i) { return SIM_Battle::GetInstance().GetPlayerFleet()->GetAllShips()[i]; }
    // A line from that ship (or nobody), taken in arrival order.
    static void Say(SIM_Ship* ship)
    {
        SIM_CommsManager& comms = SIM_CommsManager::GetInstance();
        // Each line must rank with the one before it to be queued.
        comms.AddMessage(SIM_CommsManager::COM_SHIELDSDOWN, 1.0f, ship);
    }
    template <typename T>
    static bool ClickCentre(const T& r)
    {
        return ClickAt(static_cast<float>(r.left + r.right) / 2.0f, static_cast<float>(r.top + r.bottom) / 2.0f);
    }
};

TEST_F(CommsAndLeaveTest, CommsTypeOneCharacterPer6msAndKeepTwoLinesOfHistory)
{
    ASSERT_NO_FATAL_FAILURE(StartBattle());
    SIM_CommsManager::GetInstance().Reset();
    GUI_Comms::Open(false, kScreenW, false);
    EXPECT_EQ(GUI_Comms::GetOpen(), nullptr) << "comms off: no window";
    GUI_Comms::Open(true, kScreenW, true);
    GUI_Comms* comms = GUI_Comms::GetOpen();
    ASSERT_NE(comms, nullptr);
    EXPECT_EQ(comms->width, kScreenW - 400) << "survival leaves room for its score";
    GUI_Comms::Open(true, kScreenW, false);
    comms = GUI_Comms::GetOpen();
    EXPECT_EQ(comms->width, kScreenW - 300);
    EXPECT_EQ(comms->left, 150);
    EXPECT_EQ(comms->height, 44);

    SIM_Ship* speaker = PlayerShip(0);
    Say(speaker);
    comms->Advance(6.0f);
    EXPECT_FALSE(comms->HasCurrent()) << "exactly 6 ms is not yet a character";
    comms->Advance(0.5f);
    ASSERT_TRUE(comms->HasCurrent());
    EXPECT_EQ(comms->GetCurrent().ship.Get(), speaker);
    EXPECT_EQ(comms->GetTypedCount(), 0);
    const std::string text = comms->GetCurrent().text;
    ASSERT_FALSE(text.empty());
    ASSERT_LT(text.size(), 200u);
    comms->Advance(60.0f);
    EXPECT_EQ(comms->GetTypedCount(), 10);
    comms->Advance(0.0f);
    EXPECT_EQ(comms->GetTypedCount(), 10) << "a paused battle types nothing";
    // Short lines stay until 200 characters' time has gone by.
    comms->Advance(190.0f * 6.0f);
    EXPECT_EQ(comms->GetTypedCount(), 200);
    EXPECT_TRUE(comms->HasCurrent());
    comms->Advance(6.0f);
    EXPECT_FALSE(comms->HasCurrent());
    ASSERT_EQ(comms->GetHistory().size(), 1u);
    EXPECT_EQ(comms->GetHistory().front().text, text);

    // Three more: the history keeps the two newest, newest first.
    SIM_Ship* second = PlayerShip(1);
    for (SIM_Ship* ship : {second, speaker, static_cast<SIM_Ship*>(nullptr)}) {
        Say(ship);
        comms->Advance(6.5f);
        ASSERT_TRUE(comms->HasCurrent());
        comms->Advance(201.0f * 6.0f);
    }
    ASSERT_EQ(comms->GetHistory().size(), 2u);
    EXPECT_EQ(comms->GetHistory()[0].ship.Get(), nullptr);
    EXPECT_EQ(comms->GetHistory()[1].ship.Get(), speaker);

    // A line from nobody takes the click and does nothing; the one below it
    // centres on its speaker and inspects it.
    Say(second);
    comms->Advance(6.5f);
    ASSERT_TRUE(comms->HasCurrent());
    EXPECT_TRUE(ClickCentre(comms->GetHistoryBox(0)));
    EXPECT_EQ(GUI_ShipInspector::GetOpen(), nullptr);
    second->x = 777.0f;
    EXPECT_TRUE(ClickCentre(comms->GetCurrentBox()));
    EXPECT_EQ(GUI_ShipInspector::GetInspectedShip(), second);
    EXPECT_FLOAT_EQ(GUI_Map::GetInstance().centreX, 777.0f);
    EXPECT_EQ(SIM_CommsManager::GetInstance().GetInspectedShip(), second) << "the comms speak for it now";
    EXPECT_TRUE(ClickAt(static_cast<float>(comms->right - 5), static_cast<float>(comms->top + 5)))
        << "any click inside is taken";
}

TEST_F(CommsAndLeaveTest, TheNameColumnIsAsWideAsTheLongestSpeakersNameUpToTwoFifths)
{
    // At least the 90 pixels of old, at most two fifths of the strip (so
    // that the sample fleets' names fit whole on a 1024-wide screen).
    EXPECT_EQ(GUI_Comms::NameColumnWidth(40, 700), GUI_Comms::kNameWidth);
    EXPECT_EQ(GUI_Comms::NameColumnWidth(GUI_Comms::kNameWidth + 1, 700), GUI_Comms::kNameWidth + 1);
    EXPECT_EQ(GUI_Comms::NameColumnWidth(280, 700), 280);
    EXPECT_EQ(GUI_Comms::NameColumnWidth(281, 700), 280);

    // On screen: a ship named as the sample fleets name theirs widens the
    // column; its name is drawn whole inside it and the boxes follow it.
    ASSERT_NO_FATAL_FAILURE(StartBattle());
    SIM_Ship* speaker = PlayerShip(0);
    const std::string longName = "Federation Support Frigate 11";
    speaker->name = longName;
    GUI_Comms::Open(true, kScreenW, false);
    GUI_Comms* comms = GUI_Comms::GetOpen();
    ASSERT_NE(comms, nullptr);
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", GUI_Comms::kFontSize);
    const int nameWidth = text.GetTextWidth(longName);
    ASSERT_GT(nameWidth, GUI_Comms::kNameWidth);
    EXPECT_EQ(comms->GetNameWidth(), nameWidth);
    const int il = comms->GetInner().left;
    EXPECT_EQ(comms->GetCurrentBox().right, il + nameWidth + 6);
    EXPECT_EQ(comms->GetHistoryBox(1).right, il + nameWidth + 6);

    Say(speaker);
    comms->Advance(6.5f);
    ASSERT_TRUE(comms->HasCurrent());
    ASSERT_EQ(comms->GetTypedCount(), 0);
    SIM_BattleClock::GetInstance().scaledFrameTime = 0.0f;
    auto& device = *static_cast<HeadlessGraphicsDevice*>(D3DEngine::GetInstance().GetDevice());
    device.ClearDraws();
    DrawFrame();
    ASSERT_FALSE(device.GetDraws().empty());
    const auto& draw = device.GetDraws().back();
    const size_t letters = longName.size() - static_cast<size_t>(std::count(longName.begin(), longName.end(), ' '));
    EXPECT_EQ(draw.vertexCount, 4 * letters) << "one quad a letter, none cut";
    for (size_t i = 0; i < draw.vertices.size(); i += 4) {
        EXPECT_GE(draw.vertices[i].x, static_cast<float>(il) - 1.0f);
        EXPECT_LT(draw.vertices[i].x, static_cast<float>(il + nameWidth));
    }
}

TEST_F(CommsAndLeaveTest, AdmitDefeatHoldsTheBattleWhileAskingAndNoRestoresItsPause)
{
    ASSERT_NO_FATAL_FAILURE(StartBattle());
    GUI_LeaveBattle::Open(GUI_LeaveBattle::ADMIT_DEFEAT, kScreenW);
    GUI_LeaveBattle* leave = GUI_LeaveBattle::GetOpen();
    ASSERT_NE(leave, nullptr);
    EXPECT_EQ(leave->top, 0) << "no comms window above";
    EXPECT_EQ(leave->left, kScreenW / 2 - 125);
    EXPECT_EQ(leave->GetButton()->GetText(), GetString("BATTLE_ADMIT_DEFEAT"));
    GUI_Comms::Open(true, kScreenW, false);
    GUI_LeaveBattle::Open(GUI_LeaveBattle::ADMIT_DEFEAT, kScreenW);
    leave = GUI_LeaveBattle::GetOpen();
    EXPECT_EQ(leave->top, 40);

    GUI_BattleGUI& gui = GUI_BattleGUI::GetInstance();
    for (bool pausedBefore : {false, true}) {
        SCOPED_TRACE(pausedBefore);
        gui.paused = pausedBefore;
        EXPECT_TRUE(ClickCentre(*leave->GetButton()));
        GUI_ConfirmDialog* question = GUI_ConfirmDialog::GetOpen();
        ASSERT_NE(question, nullptr);
        EXPECT_EQ(question->GetQuestion(), GetString("ADMIT_DEFEAT_CONFIRM_TEXT"));
        EXPECT_TRUE(gui.paused) << "the battle holds while the question is open";
        EXPECT_TRUE(ClickCentre(*question->GetNoButton()));
        GUI_WindowManager::GetInstance().DeleteQueuedWindows();
        EXPECT_EQ(gui.paused, pausedBefore);
        EXPECT_EQ(gui.shipPicking, GUI_BattleGUI::STATE_RUNNING);
    }

    // Yes: the live view ends into the statistics and the window goes.
    gui.paused = false;
    gui.battleTime = 5000.0f;
    EXPECT_TRUE(ClickCentre(*leave->GetButton()));
    EXPECT_TRUE(ClickCentre(*GUI_ConfirmDialog::GetOpen()->GetYesButton()));
    GUI_WindowManager::GetInstance().DeleteQueuedWindows();
    EXPECT_EQ(gui.shipPicking, GUI_BattleGUI::STATE_STATISTICS);
    EXPECT_EQ(GUI_LeaveBattle::GetOpen(), nullptr);
    EXPECT_EQ(GUI_Comms::GetOpen(), nullptr);
    gui.shipPicking = GUI_BattleGUI::STATE_RUNNING;
    gui.paused = false;
}

TEST_F(CommsAndLeaveTest, RetreatNeedsADestinationAndCountsDownTwoMinutes)
{
    ASSERT_NO_FATAL_FAILURE(StartBattle());
    GUI_LeaveBattle::Open(GUI_LeaveBattle::RETREAT, kScreenW);
    GUI_LeaveBattle* leave = GUI_LeaveBattle::GetOpen();
    ASSERT_NE(leave, nullptr);
    EXPECT_EQ(leave->GetButton()->GetText(), GetString("BATTLE_RETREAT"));
    EXPECT_FALSE(leave->GetButton()->enabled) << "nowhere to go";
    ASSERT_NE(leave->GetButton()->GetTooltip(), nullptr);
    EXPECT_EQ(leave->GetButton()->GetTooltip()->GetLines().front(), GetString("BATTLE_RETREAT_NO_OPTION_TOOLTIP"));
    EXPECT_TRUE(ClickCentre(*leave->GetButton()));
    EXPECT_EQ(GUI_ConfirmDialog::GetOpen(), nullptr);

    GUI_LeaveBattle::SetRetreatDestinationQuery([] { return true; });
    GUI_LeaveBattle::Open(GUI_LeaveBattle::RETREAT, kScreenW);
    leave = GUI_LeaveBattle::GetOpen();
    ASSERT_TRUE(leave->GetButton()->enabled);
    GUI_BattleGUI& gui = GUI_BattleGUI::GetInstance();
    gui.paused = false;
    EXPECT_TRUE(ClickCentre(*leave->GetButton()));
    ASSERT_NE(GUI_ConfirmDialog::GetOpen(), nullptr);
    EXPECT_TRUE(gui.paused);
    EXPECT_TRUE(ClickCentre(*GUI_ConfirmDialog::GetOpen()->GetYesButton()));
    GUI_WindowManager::GetInstance().DeleteQueuedWindows();
    EXPECT_TRUE(SIM_RetreatManager::GetInstance().IsActive());
    EXPECT_FALSE(gui.paused) << "the battle goes on during the retreat";
    EXPECT_EQ(GUI_LeaveBattle::GetOpen(), nullptr);
    GUI_RetreatTimer* timer = GUI_RetreatTimer::GetOpen();
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->top, 44);
    EXPECT_EQ(timer->width, kScreenW - 300);

    EXPECT_EQ(GUI_RetreatTimer::FormatCountdown("R", 0.0f), "R 2:00:00");
    EXPECT_EQ(GUI_RetreatTimer::FormatCountdown("R", 61234.5f), "R 0:58:76");
    EXPECT_EQ(GUI_RetreatTimer::FormatCountdown("R", 119900.0f), "R 0:00:10");
    EXPECT_EQ(GUI_RetreatTimer::FormatCountdown("R", 120000.0f), "R 0:00:00");
    EXPECT_EQ(GUI_RetreatTimer::FormatCountdown("R", 250000.0f), "R 0:00:00");
    DrawFrame();
    EXPECT_EQ(timer->GetText(), GetString("CAMPAIGN_RETREAT_TIMER") + std::string(" 2:00:00"));
    // Once the retreat is done its clock reads 0 again, and the timer, still
    // up until the battle view goes, shows the end rather than two minutes.
    SIM_RetreatManager::GetInstance().Complete();
    ASSERT_EQ(GUI_RetreatTimer::GetOpen(), timer);
    DrawFrame();
    EXPECT_EQ(timer->GetText(), GetString("CAMPAIGN_RETREAT_TIMER") + std::string(" 0:00:00"));
}

TEST_F(CommsAndLeaveTest, SurvivalScoreClimbsFourAFrameNeverMoreThan200BehindAndStartsAtZero)
{
    GUI_SurvivalScore& score = GetSurvivalScore();
    score.Layout(kScreenW);
    EXPECT_EQ(score.left, kScreenW - 204);
    EXPECT_EQ(score.top, 4);
    EXPECT_EQ(score.width, 200);
    score.Count(1000);
    EXPECT_EQ(score.GetShown(), 800);
    score.Count(1000);
    EXPECT_EQ(score.GetShown(), 804);
    score.Count(806);
    EXPECT_EQ(score.GetShown(), 806) << "never past the target";
    score.Count(10);
    EXPECT_EQ(score.GetShown(), 10) << "a lower target at once";
    score.Count(1234567);
    EXPECT_EQ(score.GetScoreText(), "1,234,367");
    // A wave's arrival raises the new-wave flag and leaves the count alone.
    EXPECT_FALSE(score.IsNewWave());
    score.WaveArrived();
    EXPECT_TRUE(score.IsNewWave());
    EXPECT_EQ(score.GetScoreText(), "1,234,367");
    EXPECT_EQ(score.GetTitle(), GetString("SURVIVAL_SCORE_TITLE"));
    // The next battle counts from nothing, not from here.
    score.Layout(kScreenW);
    EXPECT_FALSE(score.IsNewWave());
    EXPECT_EQ(score.GetShown(), 0);
    score.Count(100);
    EXPECT_EQ(score.GetShown(), 4);
    EXPECT_EQ(score.GetScoreText(), "4");
}

} // namespace
