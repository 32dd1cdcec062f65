#include "campaign/gui/GUI_CampaignDeployment.h"

#include "app/GUI_Sounds.h"
#include "app/Game.h"
#include "campaign/gui/CampaignPanelDrawing.h"
#include "campaign/gui/GUI_CampaignBackdrop.h"
#include "campaign/gui/GUI_CampaignMap.h"
#include "campaign/gui/GUI_CampaignDeploymentPicker.h"
#include "campaign/gui/GUI_CampaignShipIcon.h"
#include "campaign/sim/SIM_CampaignBattleBridge.h"
#include "campaign/sim/SIM_CampaignBattleManager.h"
#include "campaign/sim/SIM_CampaignEncounter.h"
#include "campaign/sim/SIM_CampaignFleet.h"
#include "campaign/sim/SIM_CampaignProgress.h"
#include "campaign/sim/SIM_CampaignScreenHooks.h"
#include "campaign/sim/SIM_CampaignShip.h"
#include "engine/CInput.h"
#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "engine/GFileHelpers.h"
#include "engine/GHashTable.h"
#include "engine/GIniFile.h"
#include "engine/LibText.h"
#include "engine/StrFormat.h"
#include "frontend/GUI_LoadingScreen.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_OneOpen.h"
#include "gui/GUI_RCMenuBase.h"
#include "gui/GUI_WindowManager.h"
#include "online/GUI_PleaseWait.h"
#include "online/OnlineJob.h"
#include "platform/KeyCodes.h"
#include "prep/GUI_DeploymentAIIcon.h"
#include "prep/GUI_DeploymentDetails.h"
#include "prep/GUI_DeploymentIcon.h"
#include "prep/GUI_DeploymentMap.h"
#include "prep/GUI_DeploymentTools.h"
#include "prep/GUI_DeploymentZone.h"
#include "prep/GUI_ModulePopup.h"
#include "sim/SIM_Battle.h"
#include "sim/SIM_ChallengeFile.h"
#include "sim/SIM_DeployedFleet.h"
#include "sim/SIM_DeploymentFile.h"
#include "sim/SIM_ShipDesign.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr int kSideRoom = 320;
constexpr int kTitleRoom = 61;
} // namespace

GUI_CampaignDeployment* GUI_CampaignDeployment::Open(SIM_PendingBattle* battle)
{
    QLM_ASSERT(battle);
    CloseOpen();
    GUI_WindowManager::GetInstance().DeleteQueuedWindows();
    if (!battle || !battle->encounter)
        return nullptr;
    return new GUI_CampaignDeployment(battle);
}

int GUI_CampaignDeployment::MapSide(int screenWidth, int screenHeight)
{
    return std::min(screenWidth - kSideRoom, screenHeight - kTitleRoom);
}

std::string GUI_CampaignDeployment::LastDeploymentPath(int fleetId)
{
    return StrFormat("%s/deployments/%d.txt", SIM_CampaignProgress::GetInstance().GetSaveFolder().c_str(), fleetId);
}

GUI_CampaignDeployment::GUI_CampaignDeployment(SIM_PendingBattle* battle)
    : GUI_Dialog(false), m_battle(battle)
{
    SetOpen(this);
    Follow(m_battle);
    for (SIM_CampaignFleet* fleet : battle->fleets) {
        m_fleets.emplace_back(fleet);
        Follow(m_fleets.back());
    }
    D3DEngine& engine = D3DEngine::GetInstance();
    const int sw = engine.GetScreenWidth(), sh = engine.GetScreenHeight();
    const int s = MapSide(sw, sh);
    const int w = s + kSideRoom;
    const int x = sw / 2 - w / 2;
    const int y = sh / 2 - s / 2 - 20;
    SetRect(static_cast<float>(x), static_cast<float>(y), static_cast<float>(x + w), static_cast<float>(y + s));
    m_titleBar.SetCentred(true);
    topMargin = 36.0f;
    SetClientRect();
    GUI_WindowManager& windows = GUI_WindowManager::GetInstance();
    windows.RemoveWindow(this);
    windows.AddWindow(this);
    windows.BringToFront(this);

    SIM_CampaignEncounter* encounter = battle->encounter;
    m_encounter = GWatch<SIM_CampaignEncounter>(encounter);
    Follow(m_encounter);
    QLM_ASSERT(encounter);
    SetTitle(GetString(encounter->guiname.c_str()));
    for (int i = 0; i < 3; ++i)
        m_mystery[i] = GetString(StrFormat("MAP_MYSTERY%d", i + 1).c_str());

    GUI_DeploymentMap& map = GUI_DeploymentMap::GetInstance();
    map.SetScenario(encounter);
    map.SetArea(clientRight - (clientBottom - clientTop), clientTop, clientRight, clientBottom);
    GUI_DeploymentZone::GetInstance().SetFromScenario(*encounter, false);

    // The opponent: a copy of its own, so the challenge's records are never
    // touched through it.
    m_enemy = std::make_unique<SIM_DeployedFleet>();
    SIM_ChallengeFile& challenge = SIM_ChallengeFile::GetInstance();
    if (const SIM_DeployedFleet* read = challenge.GetFleetRead())
        m_enemyReady = SIM_CampaignBattleBridge::BuildEnemyFleet(*battle, *read, challenge.GetChallengeId(), *m_enemy);
    CreateEnemyFleetIcons(*m_enemy);

    const GRect& mapRect = map.GetRect();
    m_picker = new GUI_CampaignDeploymentPicker(battle->fleets);
    m_picker->SetRect(static_cast<float>(mapRect.left - 10 - kPickerWidth), static_cast<float>(clientTop),
                      static_cast<float>(mapRect.left - 10), static_cast<float>(clientBottom));
    m_picker->LayOut();
    AddChild(m_picker);
    AddChildElement(m_picker);

    m_player = std::make_unique<SIM_DeployedFleet>();
    m_fight = AddPanelButton(this, "CAMPAIGN_FIGHT", OnFight, 0, right - 160, bottom - 30, right - 10, bottom - 10);
    m_fight->SetName("CampaignFight");
    m_fight->enabled = false;

    // A placed ship's orders show over the map's far side, away from the zone.
    GUI_DeploymentDetails::SetOuterArea(clientRight - GUI_DeploymentDetails::kWidth - 10, clientTop + 10,
                                        clientBottom - 40);
    // A campaign ship's modules and their integrity show under the picker.
    GUI_DeploymentDetails::SetShipDetailsCorner(m_picker->left + 16, m_picker->bottom - 16);
    GUI_CampaignShipIcon::s_clickHandler = OnShipTileClicked;
    SetCampaignIconRemovedHandler(OnMapIconRemoved);
    LoadLastDeployment();
}

GUI_CampaignDeployment::~GUI_CampaignDeployment()
{
    ForgetIfOpen(this);
    // An upload still running is dropped with its box: its fleet is not marked.
    if (m_upload) {
        m_upload->Cancel();
        GUI_PleaseWait::Close();
    }
    GUI_CampaignShipIcon::s_clickHandler = nullptr;
    SetCampaignIconRemovedHandler(nullptr);
    GUI_ModulePopup::CloseOpen();
    if (GUI_RCMenuBase* menu = GUI_RCMenuBase::GetOpen()) {
        menu->visible = false;
        GUI_WindowManager::GetInstance().CloseWindow(menu);
    }
    GUI_DeploymentDetails::Close();
    GUI_DeploymentDetails::CloseShipDetails();
    GUI_DeploymentDetails::SetOuterArea(0, 0, 0);
    GUI_DeploymentDetails::SetShipDetailsCorner(0, 0);
    DeleteAllDeploymentIcons();
    if (GUI_CampaignMap* map = GUI_CampaignMap::Get())
        map->visible = true;
}

void GUI_CampaignDeployment::OnShipTileClicked(GUI_CampaignShipIcon* icon)
{
    if (GUI_CampaignDeployment* open = GetOpen())
        open->PlaceShip(icon);
}

void GUI_CampaignDeployment::OnMapIconRemoved(GUI_DeploymentIcon* icon)
{
    if (GUI_CampaignDeployment* open = GetOpen())
        open->PutIconBack(icon);
}

GUI_DeploymentIcon* GUI_CampaignDeployment::AddPlacedShip(GUI_CampaignShipIcon* tile, float mapX, float mapY)
{
    SIM_CampaignShip* ship = tile->GetShip();
    auto placed = std::make_shared<SIM_DeployedShip>();
    placed->name = ship->name;
    placed->design = ship->designName;
    placed->quantity = ship->quantity;
    placed->shipId = ship->id;
    placed->angle = 90.0f;
    placed->x = mapX;
    placed->y = mapY;
    placed->orders.SetDefaults(ship->design);
    if (!m_player->AddShip(placed))
        return nullptr;
    auto* icon = new GUI_DeploymentIcon(GUI_DeploymentIcon::CAMPAIGN_DEPLOYMENT);
    icon->SetDeployedShip(placed);
    icon->SetMapPosition(mapX, mapY);
    m_picker->MarkPlaced(tile, icon);
    return icon;
}

void GUI_CampaignDeployment::PlaceShip(GUI_CampaignShipIcon* tile)
{
    QLM_ASSERT(tile && tile->GetShip() && tile->GetShip()->design);
    if (!tile || !tile->GetShip() || !tile->GetShip()->design)
        return;
    ClearDeploymentSelection();
    const CInput& input = CInput::GetInstance();
    const GUI_DeploymentMap& map = GUI_DeploymentMap::GetInstance();
    GUI_DeploymentIcon* icon = AddPlacedShip(tile, map.ScreenToMapX(input.GetMouseX()), map.ScreenToMapY(input.GetMouseY()));
    if (!icon)
        return;
    // It follows the mouse until it is let go over the map.
    SelectDeploymentIcon(icon, input.GetMouseX(), input.GetMouseY());
    icon->newlyPlaced = true;
    SortDeploymentIcons();
    UpdateFightButton();
}

SIM_CampaignFleet* GUI_CampaignDeployment::LeadingFleet() const
{
    return m_fleets.empty() ? nullptr : m_fleets.front().Get();
}

void GUI_CampaignDeployment::PutIconBack(GUI_DeploymentIcon* icon)
{
    if (!icon)
        return;
    if (icon->GetShip())
        m_player->RemoveShip(icon->GetShip());
    m_picker->PutIconBack(icon);
    UpdateFightButton();
}

void GUI_CampaignDeployment::UpdateFightButton()
{
    bool all = m_enemyReady;
    for (const GWatch<SIM_CampaignFleet>& watch : m_fleets) {
        const SIM_CampaignFleet* fleet = watch.Get();
        if (!fleet) {
            all = false;
            continue;
        }
        for (const SIM_CampaignShip* ship : fleet->GetShips())
            all = all && m_player->FindShip(ship->id) != nullptr;
    }
    m_fight->enabled = all;
}

bool GUI_CampaignDeployment::SaveLastDeployment()
{
    const SIM_CampaignFleet* leading = LeadingFleet();
    if (!leading)
        return false;
    std::vector<SIM_DeployedShip*> ships;
    for (GUI_DeploymentIcon* icon : GetDeploymentIcons())
        if (icon->GetShip())
            ships.push_back(icon->GetShip());
    if (!WriteDeploymentFile(LastDeploymentPath(leading->id), std::string(), ships)) {
        LOG_ERROR("Failed saving last deployment file");
        return false;
    }
    return true;
}

int GUI_CampaignDeployment::LoadLastDeployment()
{
    int placed = 0;
    const SIM_CampaignFleet* leading = LeadingFleet();
    const std::string path = leading ? LastDeploymentPath(leading->id) : std::string();
    if (!path.empty() && FileExists(path)) {
        std::vector<std::string> sections;
        GIniFile::ListSections(sections, path.c_str());
        const GRect& zone = GUI_DeploymentZone::GetInstance().GetWorldRect();
        for (const std::string& section : sections) {
            GIniFile ini;
            if (!ini.Load(section.c_str(), path.c_str()))
                continue;
            GUI_CampaignShipIcon* tile = m_picker->FindAvailable(ini.GetInt("shipid"), ini.GetString("name"));
            if (!tile)
                continue; // lost, scrapped, renamed or in another battle
            const std::string pos = ini.GetString("pos");
            const size_t comma = pos.find(',');
            float x = static_cast<float>(atof(pos.c_str()));
            float y = comma == std::string::npos ? 0.0f : static_cast<float>(atof(pos.c_str() + comma + 1));
            if (!std::isfinite(x) || !std::isfinite(y))
                continue;
            // A layout from a differently sized map comes back inside the zone,
            // on a cell of its own; with none free the ship waits in the picker.
            x = std::clamp(x, static_cast<float>(zone.left + 1), static_cast<float>(std::max(zone.left + 1, zone.right - 1)));
            y = std::clamp(y, static_cast<float>(zone.top + 1), static_cast<float>(std::max(zone.top + 1, zone.bottom - 1)));
            const GUI_DeploymentZone::Point none{-1.0e9f, -1.0e9f};
            const GUI_DeploymentZone::Point at =
                GUI_DeploymentZone::GetInstance().Snap(x, y, none, [](int px, int py) {
                    for (const GUI_DeploymentIcon* other : GetDeploymentIcons())
                        if (static_cast<int>(std::lround(other->mapX)) == px &&
                            static_cast<int>(std::lround(other->mapY)) == py)
                            return true;
                    return false;
                });
            if (at.x == none.x)
                continue;
            GUI_DeploymentIcon* icon = AddPlacedShip(tile, at.x, at.y);
            if (!icon)
                continue;
            icon->GetShip()->orders.Load(ini);
            ++placed;
        }
        SortDeploymentIcons();
    }
    UpdateFightButton();
    return placed;
}

bool GUI_CampaignDeployment::CanFight() const
{
    const SIM_PendingBattle* fought = m_battle.Get();
    return m_enemyReady && !m_enemy->GetShips().empty() && fought && m_encounter.Get() &&
           SIM_CampaignBattleManager::GetInstance().GetCurrent() == fought;
}

bool GUI_CampaignDeployment::Fight()
{
    if (m_upload)
        return true;
    if (!CanFight()) {
        SIM_CampaignScreenHooks::Get().ShowMessage("CAMPAIGN_NO_ENEMY_TO_FIGHT");
        return false;
    }
    SaveLastDeployment();
    if (StartUpload())
        return true;
    return StartBattle();
}

bool GUI_CampaignDeployment::StartUpload()
{
    SIM_CampaignFleet* leading = LeadingFleet();
    const int level = leading ? leading->DueUploadLevel() : -1;
    if (level < 0)
        return false;
    const std::string file = leading->WriteChallengeFile(*m_player);
    if (file.empty())
        return false;
    m_uploadLevel = level;
    // The fleet goes to the server beside the frame; the battle waits for it
    // behind the please-wait box, whose Cancel drops the upload, not the fight.
    m_upload = GUI_PleaseWait::StartJob([file](SIM_Server& server, std::string&) {
        return SIM_CampaignFleet::PostCampaignChallenge(server, file);
    });
    PollUpload();
    return true;
}

void GUI_CampaignDeployment::PollUpload()
{
    if (!m_upload)
        return;
    bool posted = false;
    if (m_upload->IsCancelled()) {
        // The player stopped waiting: the fight goes on at once, and the
        // worker's share of the job takes whatever still comes.
        m_upload.reset();
        GUI_PleaseWait::Close();
    } else {
        const bool unanswered = m_upload->WasUnanswered();
        bool cancelled = false;
        std::string text;
        if (!GUI_PleaseWait::FinishJob(m_upload, posted, text, cancelled))
            return;
        if (!posted && !cancelled)
            SIM_CampaignFleet::ReportUploadFailed(unanswered);
    }
    // Not posted (cancelled, refused, no answer): the next battle tries again.
    if (SIM_CampaignFleet* leading = LeadingFleet(); leading && posted)
        leading->MarkUploaded(m_uploadLevel);
    if (!CanFight()) {
        SIM_CampaignScreenHooks::Get().ShowMessage("CAMPAIGN_NO_ENEMY_TO_FIGHT");
        return;
    }
    StartBattle();
}

void GUI_CampaignDeployment::PollOpenUpload()
{
    if (GUI_CampaignDeployment* open = GetOpen())
        open->PollUpload();
}

bool GUI_CampaignDeployment::StartBattle()
{
    SIM_PendingBattle* fought = m_battle.Get();
    SIM_CampaignEncounter* encounter = m_encounter.Get();
    GUI_Sounds::GetInstance().PlayGuiSound(4);
    // The battle keeps its own copies of both fleets, made before anything of
    // this dialog can go away.
    static SIM_DeployedFleet s_player;
    static SIM_DeployedFleet s_enemy;
    SIM_Battle& battle = SIM_Battle::GetInstance();
    battle.Clear();
    s_player.Clear();
    for (const auto& ship : m_player->GetShips())
        s_player.AddShip(std::make_shared<SIM_DeployedShip>(*ship));
    s_enemy.Clear();
    for (const auto& ship : m_enemy->GetShips())
        s_enemy.AddShip(std::make_shared<SIM_DeployedShip>(*ship));
    battle.SetSetUpProgress(&GUI_LoadingScreen::GetInstance());
    if (!battle.Start(encounter, &s_player, &s_enemy, true)) {
        SIM_CampaignScreenHooks::Get().ShowMessage("GUI_DEPLOYMENT_BATTLE_FAILED");
        return false;
    }
    // Stored damage goes on while the dialog and the campaign are whole.
    SIM_CampaignBattleBridge::ApplyStoredDamage(*fought);
    SIM_CampaignBattleBridge::ApplyStoredEnemyDamage(*fought);
    Game::GetInstance().SetMode(9);
    return true;
}

void GUI_CampaignDeployment::OnFight(std::intptr_t)
{
    if (GUI_CampaignDeployment* open = GetOpen())
        open->Fight();
}

bool GUI_CampaignDeployment::OnLeftClick(float x, float y)
{
    if (!visible)
        return false;
    GUI_DeploymentTools& tools = GUI_DeploymentTools::GetInstance();
    GUI_DeploymentMap& map = GUI_DeploymentMap::GetInstance();
    if (tools.pickMode == 1) {
        OnDeploymentMapClick(x, y);
        tools.pickMode = 0;
        return true;
    }
    // The fight button reaches over the map's bottom edge: it comes first.
    if (map.Contains(x, y) && !m_fight->Contains(x, y)) {
        OnDeploymentMapClick(x, y);
        if (!GetCurrentDeploymentIcon())
            map.BeginSelectionBox(x, y);
        return true;
    }
    return GUI_Dialog::OnLeftClick(x, y);
}

bool GUI_CampaignDeployment::OnRightClick(float x, float y)
{
    if (!visible)
        return false;
    OnDeploymentMapRightClick(x, y);
    return GUI_Dialog::OnRightClick(x, y);
}

void GUI_CampaignDeployment::OnKeyDown(int key)
{
    const CInput& input = CInput::GetInstance();
    if (!input.IsKeyDown(KEY_LSHIFT) && !input.IsKeyDown(KEY_RSHIFT))
        return;
    GUI_DeploymentTools& tools = GUI_DeploymentTools::GetInstance();
    if (key == KEY_E)
        tools.ApplyGroupOrder("ESCORT");
    else if (key == KEY_F)
        tools.ApplyGroupOrder("FORMATION");
    else if (key == KEY_C)
        tools.ApplyGroupOrder("CO_OPERATIVE");
}

void GUI_CampaignDeployment::OnWheelUp()
{
    m_picker->OnWheelUp();
}

void GUI_CampaignDeployment::OnWheelDown()
{
    m_picker->OnWheelDown();
}

void GUI_CampaignDeployment::PlaceTitleTab()
{
    const float cx = static_cast<float>(left + right) * 0.5f;
    const float half = static_cast<float>(kTitleTabWidth) * 0.5f;
    const int oldWidth = m_titleBar.width;
    m_titleBar.SetRect(cx - half, static_cast<float>(top), cx + half,
                       static_cast<float>(top) + GUI_TitleBar::kBarHeight);
    // Fitted again only when the tab changed its width.
    if (!m_title.empty() && m_titleBar.width != oldWidth)
        m_titleBar.SetText(m_title);
}

void GUI_CampaignDeployment::Draw()
{
    if (!visible)
        return;
    drawButtons = false;
    GUI_CampaignBackdrop::GetInstance().Draw();
    // The title is drawn later, as a tab over the map's top edge.
    m_title.swap(m_tabTitle);
    GUI_Dialog::Draw();
    m_title.swap(m_tabTitle);
    GUI_DeploymentMap& map = GUI_DeploymentMap::GetInstance();
    FollowDeploymentSelectionBand();
    map.Draw();
    GUI_DeploymentZone::GetInstance().Draw();
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    if (const SIM_PendingBattle* battle = m_battle.Get(); battle && battle->kind == 0) {
        DrawEnemyDeploymentIcons();
    } else {
        // The attacker is not seen before the battle.
        const GRect& r = map.GetRect();
        for (int i = 0; i < 3; ++i)
            text.SetText(2, m_mystery[i], static_cast<float>(r.left), static_cast<float>(r.top + r.Height() / 2 - 30 + 20 * i),
                         0xFFFFFFFFu, static_cast<float>(r.Width()));
    }
    DrawDeploymentIcons();
    if (GUI_DeploymentTools::GetInstance().pickMode != 0)
        DrawDeploymentSelection();
    PlaceTitleTab();
    DrawTitleBar();
    text.SetFont("zekton16.dds", 16.0f);
    DrawChildren();
    DrawButtons();
    DrawDraggedDeploymentIcon();
    text.Render();
}
