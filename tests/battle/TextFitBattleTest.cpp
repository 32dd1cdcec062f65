// Every text of the battle screen fits its box on a wide low screen and on a
// tall one: the instruments while the fleets fight (ships named as long as
// the shipped designs name them), the ship inspector, the admit-defeat
// question, the result and the statistics; and a survival battle's score
// and result.
#include "battle/BattleLauncher.h"
#include "battle/GUI_BattleGUI.h"
#include "battle/hud/BattleHud.h"
#include "battle/hud/GUI_BattleModuleStats.h"
#include "battle/hud/GUI_LeaveBattle.h"
#include "battle/hud/GUI_PostMortem.h"
#include "battle/hud/GUI_ShipInspector.h"
#include "battle/hud/GUI_StatsBrowser.h"
#include "battle/hud/GUI_SurvivalPostMortem.h"
#include "engine/GFileHelpers.h"
#include "engine/FramePacer.h"
#include "engine/GSafeFile.h"
#include "gui/GUI_ButtonTab.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_ConfirmDialog.h"
#include "sim/SIM_Battle.h"
#include "sim/SIM_DeployedFleet.h"
#include "sim/SIM_Fleet.h"
#include "sim/SIM_Ship.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/modules/SIM_TargetedModule.h"
#include "support/TextFitGame.h"

#include <string>

namespace {

class TextFitBattle : public TextFitGame {
protected:
    void TearDown() override
    {
        GUI_BattleGUI::GetInstance().SetInjectedFrameTime(-1.0f);
        TextFitGame::TearDown();
    }

    // The sample fleet of a scenario with each ship named as the deployment
    // screen names the tenth and later ships: its design's name and number.
    std::string LongNamedFleet(const std::string& sampleFile)
    {
        std::string text;
        EXPECT_TRUE(ReadWholeFile(sampleFile, text)) << sampleFile;
        std::string out, line;
        std::string design;
        int number = 10;
        std::vector<std::string> lines;
        for (size_t at = 0; at <= text.size();) {
            size_t end = text.find('\n', at);
            if (end == std::string::npos)
                end = text.size();
            lines.push_back(text.substr(at, end - at));
            at = end + 1;
        }
        // The design comes after the name in a record: look ahead for it.
        for (size_t i = 0; i < lines.size(); ++i) {
            if (lines[i].rfind("name =", 0) == 0) {
                for (size_t j = i + 1; j < lines.size() && !lines[j].empty() && lines[j][0] != '['; ++j)
                    if (lines[j].rfind("design =", 0) == 0)
                        design = lines[j].substr(lines[j].find('=') + 2);
                const SIM_ShipDesign* found = SIM_ShipDesign::Find(design);
                out += "name = " + (found ? found->GetGuiName() : design) + " " + std::to_string(number++) + "\n";
            } else {
                out += lines[i] + "\n";
            }
        }
        const std::string path = m_user->Path() + "/longnames.txt";
        EXPECT_TRUE(WriteFileAtomically(path, out));
        return path;
    }

    // Runs the battle at top speed until one of the player's ships is on
    // the field and its first turret weapon has fired: the fleets have met.
    // Every frame is a display frame of battle time, whatever the machine
    // (on the wall clock a fast build draws 650 frames while the ships are
    // still warping in). The limit is two minutes of battle at that speed.
    static bool RunUntilFighting()
    {
        GUI_BattleGUI& gui = GUI_BattleGUI::GetInstance();
        gui.SetInjectedFrameTime(static_cast<float>(FramePacer::kFrameMs));
        gui.battleSpeed = 4.0f;
        for (int i = 0; i < 4500 && !SIM_Battle::GetInstance().IsEnded() && !FightingShip(); ++i)
            Frames(1);
        return FightingShip() != nullptr;
    }

    static SIM_Ship* FightingShip()
    {
        const SIM_Fleet* fleet = SIM_Battle::GetInstance().GetPlayerFleet();
        if (fleet)
            for (SIM_Ship* ship : fleet->GetLiveShips())
                if (ship->state == SIM_Ship::ACTIVE && !ship->IsFighter() && !ship->GetTurretWeapons().empty() &&
                    ship->GetTurretWeapons().front()->GetStatistics().shotsFired > 0)
                    return ship;
        return nullptr;
    }

    // The text was laid out, whole, in the frame checked last.
    bool Shown(const std::string& text) const
    {
        for (const TextFitCheck::Recorded& recorded : m_check.Texts())
            if (recorded.text == text)
                return true;
        return false;
    }
};

} // namespace

TEST_P(TextFitBattle, InstrumentsResultAndStatistics)
{
    BattleLaunchRequest request;
    request.scenario = "scenario1";
    request.seed = 5;
    ASSERT_TRUE(BattleLauncher::Launch(request, LongNamedFleet("data/sample deployment/deployed.txt")));
    DropAllLessons();
    ASSERT_TRUE(RunUntilFighting()) << "no ship of the player fired within two minutes of battle";
    RestMouse();
    ExpectFits("battle");

    PressKey(SDL_SCANCODE_P);
    SIM_Ship* ship = FightingShip();
    ASSERT_NE(ship, nullptr);
    SIM_TargetedModule* weapon = ship->GetTurretWeapons().front();
    BattleHud::PickedShip(ship, weapon);
    Frames(1);
    ExpectFits("ship inspector");
    // The inspector and the weapon's statistics were drawn in that frame.
    EXPECT_EQ(GUI_ShipInspector::GetInspectedShip(), ship);
    const GUI_BattleModuleStats* stats = GUI_BattleModuleStats::GetOpen();
    ASSERT_NE(stats, nullptr);
    EXPECT_EQ(stats->GetModule(), weapon);
    EXPECT_TRUE(Shown(stats->GetTitle())) << stats->GetTitle();
    for (int row = 0; row < GUI_BattleModuleStats::kRows; ++row) {
        EXPECT_TRUE(Shown(stats->GetLabel(row))) << stats->GetLabel(row);
        EXPECT_TRUE(Shown(stats->GetValue(row))) << stats->GetValue(row);
    }
    EXPECT_NE(stats->GetValue(0), "0") << "the weapon has fired";

    const GUI_LeaveBattle* leave = GUI_LeaveBattle::GetOpen();
    ASSERT_NE(leave, nullptr);
    Click(*leave->GetButton());
    ExpectFits("admit defeat question");
    CloseModals();

    // The battle won: the result with its points, then the statistics.
    SIM_Battle::GetInstance().SetLost(SIM_Battle::WON);
    SIM_Battle::GetInstance().EndBattle();
    Frames(2);
    GUI_PostMortem* report = GUI_PostMortem::GetOpen();
    ASSERT_NE(report, nullptr);
    RestMouse();
    ExpectFits("result");
    Click(*report->GetViewStatsButton());
    ASSERT_NE(GUI_StatsBrowser::GetOpen(), nullptr);
    RestMouse();
    ExpectFits("statistics");
}

TEST_P(TextFitBattle, SurvivalScoreAndResult)
{
    BattleLaunchRequest request;
    request.scenario = "survival1";
    request.seed = 5;
    ASSERT_TRUE(BattleLauncher::Launch(request, LongNamedFleet("data/sample deployment/survival1.txt")));
    DropAllLessons();
    ASSERT_TRUE(RunUntilFighting()) << "no ship of the player fired within two minutes of battle";
    RestMouse();
    ExpectFits("survival battle");

    SIM_Battle::GetInstance().SetLost(SIM_Battle::LOST);
    SIM_Battle::GetInstance().EndBattle();
    Frames(2);
    ASSERT_NE(GUI_SurvivalPostMortem::GetOpen(), nullptr);
    RestMouse();
    ExpectFits("survival result");
}

INSTANTIATE_TEXT_FIT_SIZES(TextFitBattle);
