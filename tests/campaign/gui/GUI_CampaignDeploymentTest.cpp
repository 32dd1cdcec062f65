// A campaign battle from the Next Turn button to the fight: the turn's report,
// the deployment dialog with its picker, the fight button that waits for every
// ship, the layout kept for the next battle, and the result taken back.
#include "CampaignAttackGame.h"
#include "support/RecordedQuads.h"

#include "campaign/gui/GUI_CampaignControlPanelBttm.h"
#include "campaign/gui/GUI_CampaignBattleManager.h"
#include "campaign/gui/GUI_CampaignDeployment.h"
#include "campaign/gui/GUI_EndTurn.h"
#include "campaign/gui/GUI_PendingBattle.h"
#include "campaign/gui/GUI_CampaignDeploymentPicker.h"
#include "campaign/gui/GUI_CampaignPostMortem.h"
#include "campaign/gui/GUI_CampaignShipIcon.h"
#include "campaign/sim/SIM_CampaignBattleManager.h"
#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "engine/GFileHelpers.h"
#include "engine/GHttpClient.h"
#include "engine/GHashTable.h"
#include "engine/GSafeFile.h"
#include "gui/GUI_TitleBar.h"
#include "gui/GUI_ConfirmDialog.h"
#include "gui/GUI_Message.h"
#include "online/GUI_PleaseWait.h"
#include "online/OnlineJob.h"
#include "online/SIM_Server.h"
#include "platform/HeadlessGraphicsDevice.h"
#include "prep/GUI_BehaviourEditor.h"
#include "prep/GUI_DeployedShipModuleIcon.h"
#include "prep/GUI_DeploymentDetails.h"
#include "prep/GUI_DeploymentMap.h"
#include "prep/GUI_RangeBehaviorEditor.h"
#include "prep/GUI_DeploymentIcon.h"
#include "prep/GUI_DeploymentShipDetails.h"
#include "prep/GUI_DeploymentZone.h"
#include "sim/SIM_Battle.h"
#include "sim/SIM_BehaviourType.h"
#include "sim/SIM_DeployedFleet.h"
#include "sim/SIM_Fleet.h"
#include "support/LoopbackHttpServer.h"

#include <chrono>
#include <cmath>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <vector>

#include <SDL2/SDL.h>

namespace {

class CampaignDeployment : public CampaignAttackGame {
protected:
    CampaignDeployment() : CampaignAttackGame("deploytest") {}
    void TearDown() override
    {
        // Leaving drops an upload still waiting; its worker ends with it.
        Quit();
        GetInternet().SetServerUrl("");
        OnlineJob::JoinAll();
        SIM_Server::GetInstance().SetIdentity("", "");
    }

    // A fleet of two at home sent against the enemy neighbour, then Next Turn
    // and Resolve in the turn's report; true once the deployment is open.
    bool AttackAndDeploy()
    {
        fleet = AddFleet(home);
        AddTestShip(fleet, "fed_ai_escort", "Steadfast");
        AttackAndNextTurn(fleet);
        GUI_EndTurn* report = GUI_EndTurn::GetOpen();
        if (!report)
            return false;
        for (GUI_PendingBattle* strip : report->GetBattles()->GetStrips())
            if (strip->GetBattle()->encounter == enemy)
                Click(*strip->GetResolveButton());
        for (int i = 0; i < 500 && !GUI_CampaignDeployment::GetOpen(); ++i) {
            Frames(1);
            SDL_Delay(2);
        }
        Frames(1);
        return GUI_CampaignDeployment::GetOpen() != nullptr;
    }

    // Drags every tile in the picker onto its own cell of the zone.
    static void PlaceAll(GUI_CampaignDeployment* dialog)
    {
        const GRect& zone = GUI_DeploymentZone::GetInstance().GetScreenRect();
        int n = 0;
        while (!dialog->GetPicker()->GetAvailable().empty() && n < 20) {
            const GUI_CampaignShipIcon* tile = dialog->GetPicker()->GetAvailable().front();
            const float tx = (zone.left + zone.right) * 0.5f;
            const float ty = zone.top + 30.0f + 40.0f * n++;
            Drag((tile->left + tile->right) * 0.5f, (tile->top + tile->bottom) * 0.5f, tx, ty);
        }
    }

    // Past the loading screen, then the campaign's report of a lost battle
    // back to the map.
    static void LoseTheBattle()
    {
        PressKey(SDL_SCANCODE_SPACE);
        SettleTransition();
        ASSERT_TRUE(GUI_CampaignPostMortem::Open(GUI_CampaignPostMortem::LOST));
        Frames(1);
        ClickAt(GUI_CampaignPostMortem::GetOpen()->left + 40, GUI_CampaignPostMortem::GetOpen()->bottom - 30);
        SettleTransition();
        Frames(2);
    }

    SIM_CampaignFleet* fleet = nullptr;
};

TEST_F(CampaignDeployment, TheDialogFillsTheScreenBesideItsSquareMap)
{
    EXPECT_EQ(GUI_CampaignDeployment::MapSide(1024, 768), 704);
    EXPECT_EQ(GUI_CampaignDeployment::MapSide(1280, 800), 739);
    EXPECT_EQ(GUI_CampaignDeploymentPicker::RowsThatFit(64), 0);
    EXPECT_EQ(GUI_CampaignDeploymentPicker::RowsThatFit(128), 1);
    EXPECT_EQ(GUI_CampaignDeploymentPicker::RowsThatFit(129), 2);
}

TEST_F(CampaignDeployment, FightWaitsForEveryShipAndTheLayoutComesBack)
{
    ASSERT_TRUE(AttackAndDeploy());
    GUI_CampaignDeployment* dialog = GUI_CampaignDeployment::GetOpen();
    EXPECT_EQ(dialog->width, GUI_CampaignDeployment::MapSide(kWidth, kHeight) + 320);
    // The planet's name is a tab over the middle of the dialog's top, 300 wide and 42 high.
    Frames(1);
    const GUI_TitleBar& tab = dialog->GetTitleBar();
    const int cx = (dialog->left + dialog->right) / 2;
    EXPECT_EQ(tab.left, cx - 150);
    EXPECT_EQ(tab.right, cx + 150);
    EXPECT_EQ(tab.top, dialog->top);
    EXPECT_EQ(tab.bottom, dialog->top + 42);
    ASSERT_EQ(dialog->GetPicker()->GetAvailable().size(), 2u);
    EXPECT_FALSE(dialog->GetFightButton()->enabled);
    EXPECT_FALSE(dialog->GetEnemyFleet()->GetShips().empty());

    // One tile let go over the picker goes straight back; on the map it stays.
    const GUI_CampaignShipIcon* tile = dialog->GetPicker()->GetAvailable().front();
    ClickAt((tile->left + tile->right) / 2, (tile->top + tile->bottom) / 2);
    Frames(2);
    EXPECT_EQ(dialog->GetPicker()->GetAvailable().size(), 2u);
    PlaceAll(dialog);
    EXPECT_TRUE(dialog->GetPicker()->GetAvailable().empty());
    EXPECT_EQ(dialog->GetPlayerFleet()->GetShips().size(), 2u);
    EXPECT_TRUE(dialog->GetFightButton()->enabled);

    // Delete takes the selected ship back: the fight waits again, its tile last.
    GUI_DeploymentIcon* placed = GetDeploymentIcons().front();
    const int removedId = placed->GetShip()->shipId;
    ClickAt(static_cast<int>(placed->screenX), static_cast<int>(placed->screenY));
    Frames(1);
    PressKey(SDL_SCANCODE_DELETE);
    Frames(2);
    ASSERT_EQ(dialog->GetPicker()->GetAvailable().size(), 1u);
    EXPECT_EQ(dialog->GetPicker()->GetAvailable().back()->GetShip()->id, removedId);
    EXPECT_FALSE(dialog->GetFightButton()->enabled);
    PlaceAll(dialog);
    ASSERT_TRUE(dialog->GetFightButton()->enabled);

    // The layout of this fleet is written at the fight and read back next time.
    std::vector<std::pair<float, float>> positions;
    for (const auto& ship : dialog->GetPlayerFleet()->GetShips())
        positions.push_back({ship->x, ship->y});
    ASSERT_TRUE(dialog->SaveLastDeployment());
    const std::string path = GUI_CampaignDeployment::LastDeploymentPath(fleet->id);
    EXPECT_TRUE(FileExists(path));
    SIM_PendingBattle* battle = SIM_CampaignBattleManager::GetInstance().GetCurrent();
    GUI_CampaignDeployment* again = GUI_CampaignDeployment::Open(battle);
    Frames(1);
    ASSERT_NE(again, nullptr);
    EXPECT_TRUE(again->GetPicker()->GetAvailable().empty());
    EXPECT_TRUE(again->GetFightButton()->enabled);
    ASSERT_EQ(again->GetPlayerFleet()->GetShips().size(), positions.size());
    for (const auto& ship : again->GetPlayerFleet()->GetShips()) {
        bool found = false;
        for (const auto& p : positions)
            found = found || (std::abs(p.first - ship->x) < 1.0f && std::abs(p.second - ship->y) < 1.0f);
        EXPECT_TRUE(found) << ship->name;
    }

    // Fight: the battle runs with the campaign's ships against copies of the
    // challenge's, and the dialog goes with the campaign screen.
    Click(*again->GetFightButton());
    SettleTransition();
    Frames(2);
    const SIM_Battle& fought = SIM_Battle::GetInstance();
    EXPECT_TRUE(fought.IsStarted());
    EXPECT_TRUE(fought.IsFromCampaign());
    ASSERT_NE(fought.GetPlayerFleet(), nullptr);
    EXPECT_EQ(fought.GetPlayerFleet()->GetAllShips().size(), 2u);
    EXPECT_EQ(GUI_CampaignDeployment::GetOpen(), nullptr);
    // Past the loading screen into the battle.
    PressKey(SDL_SCANCODE_SPACE);
    SettleTransition();
    Frames(2);
    EXPECT_EQ(Game::GetInstance().GetModeId(), 0);

    // The campaign's report applies the result and leads back to the map.
    ASSERT_TRUE(GUI_CampaignPostMortem::Open(GUI_CampaignPostMortem::WON));
    Frames(1);
    ASSERT_NE(GUI_CampaignPostMortem::GetOpen(), nullptr);
    ClickAt(GUI_CampaignPostMortem::GetOpen()->left + 40, GUI_CampaignPostMortem::GetOpen()->bottom - 30);
    SettleTransition();
    Frames(2);
    EXPECT_EQ(Game::GetInstance().GetModeId(), GUI_Campaign::kModeId);
    EXPECT_EQ(enemy->territory, SIM_CampaignEncounter::PLAYER);
    EXPECT_EQ(SIM_CampaignBattleManager::GetInstance().GetCurrent(), nullptr);
}

TEST_F(CampaignDeployment, AStoredLayoutOffTheMapComesBackInsideTheZoneOnCellsOfItsOwn)
{
    ASSERT_TRUE(AttackAndDeploy());
    const std::string path = GUI_CampaignDeployment::LastDeploymentPath(fleet->id);
    std::string text;
    int index = 0;
    for (const SIM_CampaignShip* ship : fleet->GetShips())
        text += "[ship" + std::to_string(index++) + "]\nshipid = " + std::to_string(ship->id) + "\nname = " +
                ship->name + "\npos = 99999,-5000\n\n";
    text += "[ship9]\nshipid = 4242\nname = Gone\npos = 10,10\n";
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    ASSERT_TRUE(WriteFileAtomically(path, text));
    GUI_CampaignDeployment* dialog = GUI_CampaignDeployment::Open(SIM_CampaignBattleManager::GetInstance().GetCurrent());
    Frames(1);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->GetPicker()->GetAvailable().empty()) << "both ships placed, the unknown one skipped";
    const GRect& zone = GUI_DeploymentZone::GetInstance().GetWorldRect();
    ASSERT_EQ(dialog->GetPlayerFleet()->GetShips().size(), 2u);
    const auto& ships = dialog->GetPlayerFleet()->GetShips();
    for (const auto& ship : ships) {
        EXPECT_GT(ship->x, static_cast<float>(zone.left));
        EXPECT_LT(ship->x, static_cast<float>(zone.right));
        EXPECT_GT(ship->y, static_cast<float>(zone.top));
        EXPECT_LT(ship->y, static_cast<float>(zone.bottom));
        EXPECT_NEAR(std::remainder(ship->x, GUI_DeploymentZone::kGridSize), 0.0f, 0.01f) << "on the grid";
    }
    EXPECT_FALSE(ships[0]->x == ships[1]->x && ships[0]->y == ships[1]->y) << "one cell each";
    EXPECT_TRUE(dialog->GetFightButton()->enabled);
}

// Fight with a server set posts the leading fleet as a campaign challenge
// beside the frame: the please-wait box shows while the server holds the
// answer, the battle starts once the fleet is up, and the point is kept in
// the fleet's file. A server that accepts and never answers is waited for
// only until Cancel, which starts the battle at once and leaves the point
// for the next battle; neither is an error.
TEST_F(CampaignDeployment, FightPostsTheFleetBesideTheFrameAndCancelStopsOnlyTheWait)
{
    // A player with an online name: the server takes a challenge only with a sender.
    SIM_Server::GetInstance().SetIdentity("Cora", "inst1");
    struct Gate {
        std::mutex mutex;
        std::condition_variable changed;
        bool open = false;
        std::vector<std::string> requests;
    } gate;
    LoopbackHttpServer server;
    server.server.Get("/quillomar/server/qlm_campaign_getnewchallengeid.php",
                      [&](const httplib::Request&, httplib::Response& res) {
                          std::unique_lock<std::mutex> lock(gate.mutex);
                          gate.requests.push_back("id");
                          gate.changed.notify_all();
                          gate.changed.wait(lock, [&] { return gate.open; });
                          res.set_content("response,c_77\n", "text/plain");
                      });
    server.server.Post("/quillomar/server/postchallenge.php", [&](const httplib::Request& req, httplib::Response& res) {
        std::lock_guard<std::mutex> lock(gate.mutex);
        // The challenge file under its 32-byte tag, the new id.
        gate.requests.push_back(req.body.size() > 32 ? "post " + std::string(req.body.c_str()) : "empty post");
        res.set_content("response,true", "text/plain");
    });
    server.server.Get("/quillomar/server/qlm_campaign_addcampaignchallenge.php",
                      [&](const httplib::Request& req, httplib::Response& res) {
                          std::lock_guard<std::mutex> lock(gate.mutex);
                          gate.requests.push_back("add " + req.get_param_value("qlm"));
                          res.set_content("response,true\n", "text/plain");
                      });
    ASSERT_TRUE(server.Start());
    // However the test ends, the held answer goes before the server stops.
    struct Opener {
        Gate& gate;
        ~Opener()
        {
            std::lock_guard<std::mutex> lock(gate.mutex);
            gate.open = true;
            gate.changed.notify_all();
        }
    } opener{gate};
    // The enemy is drawn before the server is set: only the fight asks it.
    ASSERT_TRUE(AttackAndDeploy());
    GetInternet().SetServerUrl(server.Url());
    GUI_CampaignDeployment* dialog = GUI_CampaignDeployment::GetOpen();
    PlaceAll(dialog);
    ASSERT_TRUE(dialog->GetFightButton()->enabled);
    ASSERT_EQ(fleet->DueUploadLevel(), SIM_CampaignFleet::ONEHUNDRED);
    GDebugLog& log = GDebugLog::GetInstance();
    const int errors = log.GetErrorCount();

    Click(*dialog->GetFightButton());
    {
        // Bounded only so that a fight that never asks fails rather than hangs.
        std::unique_lock<std::mutex> lock(gate.mutex);
        ASSERT_TRUE(gate.changed.wait_for(lock, std::chrono::minutes(1), [&] { return !gate.requests.empty(); }))
            << "Fight asked the server nothing";
    }
    // The server holds its answer and the frames go on, the battle waiting.
    Frames(3);
    EXPECT_TRUE(dialog->IsUploading());
    ASSERT_TRUE(GUI_PleaseWait::IsOpen());
    EXPECT_NE(GUI_PleaseWait::GetOpen()->GetCancelButton(), nullptr);
    EXPECT_FALSE(SIM_Battle::GetInstance().IsStarted());
    EXPECT_EQ(Game::GetInstance().GetModeId(), GUI_Campaign::kModeId);
    Click(*dialog->GetFightButton());
    {
        std::lock_guard<std::mutex> lock(gate.mutex);
        gate.open = true;
        gate.changed.notify_all();
    }
    OnlineJob::JoinAll();
    Frames(1);
    SettleTransition();
    Frames(2);
    {
        std::lock_guard<std::mutex> lock(gate.mutex);
        EXPECT_EQ(gate.requests, (std::vector<std::string>{"id", "post c_77", "add c_77"})) << "once, in order";
    }
    EXPECT_FALSE(GUI_PleaseWait::IsOpen());
    EXPECT_TRUE(SIM_Battle::GetInstance().IsStarted());
    EXPECT_TRUE(SIM_Battle::GetInstance().IsFromCampaign());
    EXPECT_TRUE(fleet->uploadFlags[SIM_CampaignFleet::ONEHUNDRED]);
    std::string saved;
    ASSERT_TRUE(ReadWholeFile(fleet->GetFilePath(), saved));
    EXPECT_NE(saved.find("ONEHUNDRED = 1"), std::string::npos) << saved;
    EXPECT_EQ(log.GetErrorCount(), errors);
    LoseTheBattle();
    ASSERT_EQ(Game::GetInstance().GetModeId(), GUI_Campaign::kModeId);
}

TEST_F(CampaignDeployment, AServerThatNeverAnswersIsWaitedForOnlyUntilCancel)
{
    SIM_Server::GetInstance().SetIdentity("Cora", "inst1");
    // It takes the connection and never answers.
    LoopbackSocket stalling(true);
    ASSERT_GT(stalling.Port(), 0);
    ASSERT_TRUE(AttackAndDeploy());
    GetInternet().SetServerUrl(stalling.Url());
    GUI_CampaignDeployment* dialog = GUI_CampaignDeployment::GetOpen();
    PlaceAll(dialog);
    GDebugLog& log = GDebugLog::GetInstance();
    const int errors = log.GetErrorCount();
    Click(*dialog->GetFightButton());
    Frames(3);
    ASSERT_TRUE(dialog->IsUploading());
    ASSERT_TRUE(GUI_PleaseWait::IsOpen());
    EXPECT_FALSE(SIM_Battle::GetInstance().IsStarted());
    Click(*GUI_PleaseWait::GetOpen()->GetCancelButton());
    Frames(1);
    SettleTransition();
    Frames(2);
    EXPECT_FALSE(GUI_PleaseWait::IsOpen());
    EXPECT_TRUE(SIM_Battle::GetInstance().IsStarted()) << "Cancel stops the wait, not the fight";
    EXPECT_EQ(GUI_CampaignDeployment::GetOpen(), nullptr);
    EXPECT_FALSE(fleet->uploadFlags[SIM_CampaignFleet::ONEHUNDRED]) << "the point waits for the next battle";
    std::string saved;
    ASSERT_TRUE(ReadWholeFile(fleet->GetFilePath(), saved));
    EXPECT_NE(saved.find("ONEHUNDRED = 0"), std::string::npos) << saved;
    OnlineJob::JoinAll();
    EXPECT_EQ(log.GetErrorCount(), errors);
    GetInternet().SetServerUrl("");
    LoseTheBattle();
}

TEST_F(CampaignDeployment, AnEmptyEnemyFleetIsNotFoughtAndThePlayerIsTold)
{
    ASSERT_TRUE(AttackAndDeploy());
    GUI_CampaignDeployment* dialog = GUI_CampaignDeployment::GetOpen();
    PlaceAll(dialog);
    ASSERT_TRUE(dialog->GetFightButton()->enabled);
    dialog->GetEnemyFleet()->Clear();
    Click(*dialog->GetFightButton());
    Frames(2);
    EXPECT_EQ(Game::GetInstance().GetModeId(), GUI_Campaign::kModeId);
    EXPECT_EQ(GUI_CampaignDeployment::GetOpen(), dialog) << "the dialog stays for another try";
    ASSERT_NE(GUI_Message::GetOpen(), nullptr);
    EXPECT_EQ(GUI_Message::GetOpen()->GetText(), GetString("CAMPAIGN_NO_ENEMY_TO_FIGHT"));
    EXPECT_NE(SIM_CampaignBattleManager::GetInstance().GetCurrent(), nullptr) << "the battle still waits";
}

TEST_F(CampaignDeployment, AClickedShipShowsItsOwnBoxAndItsModuleLightsOnlyItsOwnCircles)
{
    ASSERT_TRUE(AttackAndDeploy());
    GUI_CampaignDeployment* dialog = GUI_CampaignDeployment::GetOpen();
    PlaceAll(dialog);
    ASSERT_EQ(GetDeploymentIcons().size(), 2u);
    GUI_DeploymentIcon* first = GetDeploymentIcons()[0];
    GUI_DeploymentIcon* second = GetDeploymentIcons()[1];
    ASSERT_EQ(first->GetShip()->design, second->GetShip()->design) << "two ships of one design";
    ASSERT_FALSE(first->GetRangeCircles().empty());

    // A click on each placed ship shows that ship's own box, its campaign
    // ship's modules.
    for (GUI_DeploymentIcon* icon : {first, second}) {
        ClickAt(static_cast<int>(icon->screenX), static_cast<int>(icon->screenY));
        Frames(1);
        const GUI_DeploymentShipDetails* box = GUI_DeploymentShipDetails::GetOpen();
        ASSERT_NE(box, nullptr);
        ASSERT_NE(box->GetCampaignShip(), nullptr);
        EXPECT_EQ(box->GetCampaignShip()->id, icon->GetShip()->shipId);
    }

    // The pointer on a weapon of the second ship's box: the circle of that
    // slot lights on the second ship, not on the first of the same design.
    const GUI_DeploymentShipDetails* box = GUI_DeploymentShipDetails::GetOpen();
    const GUI_DeploymentIcon::RangeCircle& circle = *second->GetRangeCircles().front();
    const GUI_DeployedShipModuleIcon* weapon = nullptr;
    for (const GUI_DeployedShipModuleIcon* module : box->GetIcons())
        if (module->GetModuleState() && module->GetModuleState()->slot == circle.slotIndex)
            weapon = module;
    ASSERT_NE(weapon, nullptr);
    MoveMouse((weapon->left + weapon->right) / 2, (weapon->top + weapon->bottom) / 2);
    Frames(1);
    ASSERT_EQ(GUI_DeployedShipModuleIcon::GetHoveredModuleIndex(), circle.slotIndex);
    EXPECT_TRUE(second->IsCircleLit(circle));
    for (const auto& other : first->GetRangeCircles())
        EXPECT_FALSE(first->IsCircleLit(*other)) << "slot " << other->slotIndex;
}

TEST_F(CampaignDeployment, TheRangeEditorShowsItsRangeRoundTheSelectedShipOnTheMap)
{
    ASSERT_TRUE(AttackAndDeploy());
    GUI_CampaignDeployment* dialog = GUI_CampaignDeployment::GetOpen();
    PlaceAll(dialog);
    ASSERT_EQ(GetDeploymentIcons().size(), 2u);
    GUI_DeploymentIcon* icon = GetDeploymentIcons()[0];
    ClickAt(static_cast<int>(icon->screenX), static_cast<int>(icon->screenY));
    Frames(1);
    ASSERT_EQ(GetSelectedDeploymentIcons(), std::vector<GUI_DeploymentIcon*>{icon});
    GUI_DeploymentDetails::Open(icon->GetShip());
    GUI_BehaviourEditor::Open(SIM_BehaviourType::Find("ATTACK_FRIGATES"));
    GUI_RangeBehaviorEditor* editor = GUI_RangeBehaviorEditor::GetOpenRange();
    ASSERT_NE(editor, nullptr);
    editor->SetRange(150.0f);
    auto& device = *static_cast<HeadlessGraphicsDevice*>(D3DEngine::GetInstance().GetDevice());
    device.ClearDraws();
    Frames(1);
    const std::vector<RecordedQuad> previews = RecordedQuadsOfColour(device, GUI_RangeBehaviorEditor::kPreviewColour);
    ASSERT_EQ(previews.size(), 1u);
    EXPECT_NEAR(previews[0].CentreX(), icon->screenX, 0.5f);
    EXPECT_NEAR(previews[0].CentreY(), icon->screenY, 0.5f);
    EXPECT_NEAR(previews[0].Width(), 2.0f * 150.0f * GUI_DeploymentMap::GetInstance().GetScale(), 0.5f);
    GUI_BehaviourEditor::CloseOpen();
    GUI_DeploymentDetails::Close();
}

} // namespace
