// Every text of the battle screen fits its box on a wide low screen and on a
// tall one: the instruments while the fleets fight (ships named as long as
// the shipped designs name them), the ship inspector, the admit-defeat
// question, the result and the statistics; and a survival battle's score
// and result.
#include "battle/BattleLauncher.h"
#include "battle/GUI_BattleGUI.h"
#include "battle/hud/BattleHud.h"
#include "battle/hud/GUI_LeaveBattle.h"
#include "battle/hud/GUI_PostMortem.h"
#include "battle/hud/GUI_StatsBrowser.h"
#include "battle/hud/GUI_SurvivalPostMortem.h"
#include "engine/GFileHelpers.h"
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

    // Runs the battle until the fleets have met (or a few thousand frames).
    static void RunUntilFighting()
    {
        SIM_Battle& battle = SIM_Battle::GetInstance();
        for (int i = 0; i < 3000 && !battle.IsEnded(); ++i) {
            Frames(1);
            if (i > 600 && i % 50 == 0)
                break;
        }
    }

    static SIM_Ship* FirstPlayerShip()
    {
        const SIM_Fleet* fleet = SIM_Battle::GetInstance().GetPlayerFleet();
        if (fleet)
            for (SIM_Ship* ship : fleet->GetLiveShips())
                if (ship->state == SIM_Ship::ACTIVE && !ship->IsFighter())
                    return ship;
        return nullptr;
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
    GUI_BattleGUI& gui = GUI_BattleGUI::GetInstance();
    gui.battleSpeed = 4.0f;
    RunUntilFighting();
    RestMouse();
    ExpectFits("battle");

    PressKey(SDL_SCANCODE_P);
    SIM_Ship* ship = FirstPlayerShip();
    ASSERT_NE(ship, nullptr);
    SIM_TargetedModule* weapon = ship->GetTurretWeapons().empty() ? nullptr : ship->GetTurretWeapons().front();
    BattleHud::PickedShip(ship, weapon);
    Frames(1);
    ExpectFits("ship inspector");

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
    GUI_BattleGUI::GetInstance().battleSpeed = 4.0f;
    RunUntilFighting();
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
