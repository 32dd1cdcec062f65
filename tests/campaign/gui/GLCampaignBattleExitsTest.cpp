// Every way out of a campaign battle through the real window settles it, and
// settles it the same on the map and in the save: the report's OK, Escape on
// the report, the report's statistics left by their map button or by Escape,
// a battle quit (Escape, Yes) and then the statistics' map button or Escape,
// a retreat, and the game closed in the middle of a battle and started again.
#include "CampaignTestFleet.h"
#include "CampaignBattleRoad.h"

#include "app/Game.h"
#include "battle/hud/GUI_StatsBrowser.h"
#include "campaign/gui/GUI_Campaign.h"
#include "campaign/gui/GUI_CampaignCaptureManager.h"
#include "campaign/gui/GUI_CampaignControlPanelTop.h"
#include "campaign/gui/GUI_CampaignLoader.h"
#include "campaign/gui/GUI_CampaignLoaderStrip.h"
#include "campaign/gui/GUI_CampaignPostMortem.h"
#include "campaign/gui/GUI_EndTurn.h"
#include "campaign/gui/GUI_EndTurnLog.h"
#include "campaign/gui/GUI_EndTurnStrip.h"
#include "campaign/gui/GUI_PendingBattle.h"
#include "campaign/sim/SIM_Campaign.h"
#include "campaign/sim/SIM_CampaignBattleManager.h"
#include "campaign/sim/SIM_CampaignEnemyFleet.h"
#include "campaign/sim/SIM_CampaignStats.h"
#include "engine/GHashTable.h"
#include "engine/GIniFile.h"
#include "engine/StrFormat.h"
#include "frontend/GUI_MainMenu.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_ConfirmDialog.h"
#include "sim/SIM_Battle.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <memory>
#include <ostream>

namespace {

// What a battle left of the attack, as the campaign holds it.
struct Settled {
    int fleetAt = -1; // the attacking fleet's planet; -1 once the fleet is gone
    int owner = -1;   // who holds the attacked planet
    bool held = false; // a battle still waits there (being fought or pending)
    int won = 0;
    int lost = 0;
    int retreated = 0;
    bool operator==(const Settled&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Settled& s)
{
    return out << "{fleet at " << s.fleetAt << ", owner " << s.owner << (s.held ? ", held" : "") << ", won "
               << s.won << ", lost " << s.lost << ", retreated " << s.retreated << "}";
}

int Stat(const char* name)
{
    const SIM_CampaignStats::Entry* e = SIM_CampaignProgress::GetInstance().GetStats().Find(name);
    return e ? e->count : 0;
}

Settled Read(int fleetId, int targetId)
{
    Settled s;
    const SIM_CampaignFleet* fleet = SIM_CampaignProgress::GetInstance().FindFleet(fleetId);
    s.fleetAt = fleet && fleet->location ? fleet->location->encounterId : -1;
    const SIM_CampaignEncounter* target = SIM_CampaignEncounter::FindByID(targetId);
    s.owner = target ? target->territory : -1;
    const SIM_CampaignBattleManager& battles = SIM_CampaignBattleManager::GetInstance();
    s.held = battles.GetCurrent() && battles.GetCurrent()->encounter == target;
    for (const auto& b : battles.GetPending())
        s.held = s.held || b->encounter == target;
    s.won = Stat("battles_won");
    s.lost = Stat("battles_lost");
    s.retreated = Stat("fleets_retreated");
    return s;
}

class GLCampaignBattleExits : public ::testing::Test {
protected:
    // A battlecruiser's fleet from home against an enemy neighbour: the
    // turn's report, Resolve, the ship deployed and the battle started.
    void StartBattle(uint64_t seed, const std::string& name)
    {
        m_play = std::make_unique<CampaignWindowGame>(seed);
        ASSERT_TRUE(m_play->Started());
        m_name = name;
        GUI_CampaignMap* map = CreateCampaignFromTitle(name);
        ASSERT_NE(map, nullptr);
        SIM_CampaignEncounter* home = map->GetCampaign()->GetHomeworldEncounter();
        ASSERT_NE(home, nullptr);
        m_homeId = home->encounterId;
        SIM_CampaignFleet* fleet = MakeTestFleet(home, "fed_ai_battlecruiser");
        m_fleetId = fleet->id;
        RunGameFrames(2);
        PullMapTo(map, home);
        SIM_CampaignEncounter* target = SendToEnemyNeighbour(map, home, fleet);
        ASSERT_NE(target, nullptr);
        m_targetId = target->encounterId;
        GUI_CampaignDeployment* deployment = ResolveNextTurnsBattle(map, target);
        ASSERT_NE(deployment, nullptr);
        const SIM_CampaignProgress& progress = SIM_CampaignProgress::GetInstance();
        m_turn = progress.turn;
        m_cash = progress.cash;
        ASSERT_TRUE(DeployAndFight(deployment, 1));
    }

    // The battle decided as the simulation decides it, and its report awaited.
    static GUI_CampaignPostMortem* EndBattle(bool won)
    {
        SIM_Battle& battle = SIM_Battle::GetInstance();
        if (won)
            battle.Victory();
        else
            battle.Defeat();
        FramesUntil([] { return GUI_CampaignPostMortem::GetOpen() != nullptr; }, 200);
        return GUI_CampaignPostMortem::GetOpen();
    }

    // Escape, and Yes to the question: the battle's statistics. The question
    // says what leaving costs here, and names the way that saves ships.
    static GUI_StatsBrowser* QuitBattle()
    {
        PressKey(SDL_SCANCODE_ESCAPE);
        GUI_ConfirmDialog* question = GUI_ConfirmDialog::GetOpen();
        if (!question)
            return nullptr;
        EXPECT_EQ(question->GetQuestion(), GetString("BATTLE_QUIT_CAMPAIGN_TEXT"));
        EXPECT_NE(question->GetQuestion().find(GetString("BATTLE_RETREAT")), std::string::npos);
        ClickCentre(question->GetYesButton());
        RunGameFrames(2);
        return GUI_StatsBrowser::GetOpen();
    }

    static std::string IncomeShown()
    {
        const GUI_CampaignControlPanelTop* top = GUI_CampaignControlPanelTop::GetOpen();
        return top ? top->Get(GUI_CampaignCounter::INCOME)->GetValue() : std::string("no counters");
    }

    Settled Expected(int result) const
    {
        switch (result) {
        case GUI_CampaignPostMortem::WON:
            return {m_targetId, SIM_CampaignEncounter::PLAYER, false, 1, 0, 0};
        case GUI_CampaignPostMortem::RETREATED:
            return {m_homeId, SIM_CampaignEncounter::ENEMY, false, 0, 0, 1};
        default:
            return {-1, SIM_CampaignEncounter::ENEMY, false, 0, 1, 0};
        }
    }

    // Back on the campaign with the battle settled as expected, the turn's
    // report open again (after the prizes of a win), the turn and the cash
    // as they were; then the same read back from the save.
    void ExpectSettled(int result)
    {
        const SIM_CampaignBattleManager& battles = SIM_CampaignBattleManager::GetInstance();
        ASSERT_TRUE(FramesUntil(
            [&] { return Game::GetInstance().GetModeId() == GUI_Campaign::kModeId && !battles.GetCurrent(); }, 600))
            << "the battle was left unsettled";
        Settle();
        if (GUI_CampaignCaptureManager* prizes = GUI_CampaignCaptureManager::GetOpen()) {
            EXPECT_EQ(result, GUI_CampaignPostMortem::WON);
            ClickCentre(prizes->GetOkButton());
            Settle();
        }
        EXPECT_EQ(Read(m_fleetId, m_targetId), Expected(result));
        const SIM_CampaignProgress& progress = SIM_CampaignProgress::GetInstance();
        EXPECT_EQ(progress.turn, m_turn);
        EXPECT_EQ(progress.cash, m_cash);
        GUI_EndTurn* report = GUI_EndTurn::GetOpen();
        ASSERT_NE(report, nullptr) << "the turn's report comes back after the battle";
        ASSERT_TRUE(report->GetContinueButton()->enabled);
        ClickCentre(report->GetContinueButton());
        Settle();
        ASSERT_NE(GUI_CampaignMap::Get(), nullptr);
        const std::string income = IncomeShown();

        GUI_Campaign::QuitCampaignToMenu();
        Settle();
        ASSERT_TRUE(GUI_Campaign::OpenCampaign(m_name));
        Settle();
        EXPECT_EQ(Read(m_fleetId, m_targetId), Expected(result)) << "in the save";
        EXPECT_EQ(IncomeShown(), income) << "the map counted the planet as a reload does";
        EXPECT_EQ(progress.turn, m_turn);
        EXPECT_EQ(progress.cash, m_cash);
        EXPECT_EQ(GUI_EndTurn::GetOpen(), nullptr) << "a settled turn opens on the map";
        GUI_Campaign::QuitCampaignToMenu();
        Settle();
    }

    std::unique_ptr<CampaignWindowGame> m_play;
    std::string m_name;
    int m_homeId = -1;
    int m_fleetId = -1;
    int m_targetId = -1;
    int m_turn = 0;
    int m_cash = 0;
};

TEST_F(GLCampaignBattleExits, AWonBattleLeftByTheReportsOK)
{
    ASSERT_NO_FATAL_FAILURE(StartBattle(11, "won"));
    GUI_CampaignPostMortem* report = EndBattle(true);
    ASSERT_NE(report, nullptr);
    EXPECT_TRUE(report->PlayerWon());
    ClickCentre(report->GetOKButton());
    ExpectSettled(GUI_CampaignPostMortem::WON);
}

TEST_F(GLCampaignBattleExits, EscapeOnTheReportAppliesItsResult)
{
    ASSERT_NO_FATAL_FAILURE(StartBattle(12, "escreport"));
    ASSERT_NE(EndBattle(true), nullptr);
    PressKey(SDL_SCANCODE_ESCAPE);
    EXPECT_EQ(GUI_CampaignPostMortem::GetOpen(), nullptr);
    EXPECT_NE(Game::GetInstance().GetModeId(), GUI_Campaign::kMainMenu);
    ExpectSettled(GUI_CampaignPostMortem::WON);
}

TEST_F(GLCampaignBattleExits, TheReportsStatisticsLeftByTheMapButton)
{
    ASSERT_NO_FATAL_FAILURE(StartBattle(13, "statsmap"));
    GUI_CampaignPostMortem* report = EndBattle(false);
    ASSERT_NE(report, nullptr);
    ClickCentre(report->GetViewStatsButton());
    RunGameFrames(2);
    GUI_StatsBrowser* stats = GUI_StatsBrowser::GetOpen();
    ASSERT_NE(stats, nullptr);
    EXPECT_TRUE(Read(m_fleetId, m_targetId).held) << "nothing applied while the statistics show";
    ClickCentre(stats->GetMapButton());
    ExpectSettled(GUI_CampaignPostMortem::LOST);
}

TEST_F(GLCampaignBattleExits, ARetreatsStatisticsLeftByEscape)
{
    ASSERT_NO_FATAL_FAILURE(StartBattle(14, "statsesc"));
    GUI_CampaignPostMortem* report = RetreatToTheReport();
    ASSERT_NE(report, nullptr) << "the retreat did not end the battle";
    ClickCentre(report->GetViewStatsButton());
    RunGameFrames(2);
    ASSERT_NE(GUI_StatsBrowser::GetOpen(), nullptr);
    // Escape goes to the map with the retreat applied, never to the main menu.
    PressKey(SDL_SCANCODE_ESCAPE);
    EXPECT_NE(Game::GetInstance().GetModeId(), GUI_Campaign::kMainMenu);
    ExpectSettled(GUI_CampaignPostMortem::RETREATED);
}

TEST_F(GLCampaignBattleExits, AQuitBattleLeftByTheMapButtonIsLost)
{
    ASSERT_NO_FATAL_FAILURE(StartBattle(15, "quitmap"));
    GUI_StatsBrowser* stats = QuitBattle();
    ASSERT_NE(stats, nullptr);
    ASSERT_NE(stats->GetMapButton(), nullptr);
    ClickCentre(stats->GetMapButton());
    ExpectSettled(GUI_CampaignPostMortem::LOST);
}

TEST_F(GLCampaignBattleExits, AQuitBattleLeftByEscapeIsLost)
{
    ASSERT_NO_FATAL_FAILURE(StartBattle(16, "quitesc"));
    ASSERT_NE(QuitBattle(), nullptr);
    PressKey(SDL_SCANCODE_ESCAPE);
    EXPECT_NE(Game::GetInstance().GetModeId(), GUI_Campaign::kMainMenu);
    ExpectSettled(GUI_CampaignPostMortem::LOST);
}

TEST_F(GLCampaignBattleExits, AGameClosedMidBattleOffersTheBattleFirstOnLoad)
{
    ASSERT_NO_FATAL_FAILURE(StartBattle(17, "closed"));
    // The enemy drawn for the battle is in the save before a shot is fired.
    const std::string opponent = SIM_CampaignBattleManager::GetInstance().GetCurrent()->opponent;
    ASSERT_FALSE(opponent.empty());
    GIniFile attacks;
    attacks.Load("attacks", (SIM_CampaignProgress::GetInstance().GetSaveFolder() + "/progress.txt").c_str());
    EXPECT_EQ(attacks.GetString("0"),
              StrFormat("%d,%d,%d,%s", m_targetId, m_fleetId, m_homeId, opponent.c_str()));
    // The window closed (a TERM arrives the same way).
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    PushSdlEvent(quit);
    RunGameFrames(1);
    ASSERT_TRUE(m_play->Restart());
    Settle();

    // Loaded from the title: the turn's report with the battle, before the map.
    ClickCentre(GUI_MainMenu::GetInstance().GetCampaignButton());
    GUI_CampaignLoader* loader = GUI_CampaignLoader::GetOpen();
    ASSERT_NE(loader, nullptr);
    GUI_CampaignLoaderStrip* strip = nullptr;
    for (GUI_CampaignLoaderStrip* s : loader->GetStrips())
        if (s->GetFolderName() == m_name)
            strip = s;
    ASSERT_NE(strip, nullptr);
    ClickCentre(strip->GetLoadButton());
    Settle();
    ASSERT_EQ(Game::GetInstance().GetModeId(), GUI_Campaign::kModeId);
    GUI_EndTurn* report = GUI_EndTurn::GetOpen();
    ASSERT_NE(report, nullptr) << "the battle waits before the map";
    const SIM_CampaignProgress& progress = SIM_CampaignProgress::GetInstance();
    EXPECT_EQ(progress.turn, m_turn) << "no second turn step";
    EXPECT_EQ(progress.cash, m_cash) << "no second income";
    EXPECT_FALSE(report->GetContinueButton()->enabled);
    GUI_PendingBattle* battle = nullptr;
    for (GUI_PendingBattle* s : report->GetBattles()->GetStrips())
        if (s->GetBattle()->encounter->encounterId == m_targetId)
            battle = s;
    ASSERT_NE(battle, nullptr);
    EXPECT_TRUE(Read(m_fleetId, m_targetId).held);
    EXPECT_EQ(battle->GetBattle()->opponent, opponent);
    // The turn's reports came back with it: the homeworld's loyalty at least.
    ASSERT_FALSE(report->GetLog()->GetStrips().empty());
    EXPECT_FALSE(report->GetLog()->GetStrips()[0]->GetLines().empty());

    // Fought again, to its end, against the same enemy.
    ClickCentre(battle->GetResolveButton());
    ASSERT_TRUE(FramesUntil([] { return GUI_CampaignDeployment::GetOpen() != nullptr; }, 1000));
    const SIM_PendingBattle* again = SIM_CampaignBattleManager::GetInstance().GetCurrent();
    ASSERT_TRUE(again && again->enemyFleet);
    EXPECT_EQ(again->enemyFleet->GetChallengeID(), opponent);
    ASSERT_TRUE(DeployAndFight(GUI_CampaignDeployment::GetOpen(), 1));
    GUI_CampaignPostMortem* result = EndBattle(false);
    ASSERT_NE(result, nullptr);
    ClickCentre(result->GetOKButton());
    ExpectSettled(GUI_CampaignPostMortem::LOST);
}

} // namespace
