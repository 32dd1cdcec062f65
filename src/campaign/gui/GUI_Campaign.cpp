#include "campaign/gui/GUI_Campaign.h"

#include "engine/APP_UserFolders.h"
#include "app/Game.h"
#include "app/GUI_Sounds.h"
#include "sim/SIM_Options.h"
#include "battle/hud/BattleHud.h"
#include "battle/hud/GUI_LeaveBattle.h"
#include "battle/hud/GUI_StatsBrowser.h"
#include "campaign/gui/GUI_CampaignAttackArrow.h"
#include "campaign/gui/GUI_EndTurn.h"
#include "campaign/gui/GUI_CampaignDeployment.h"
#include "campaign/gui/GUI_CampaignPostMortem.h"
#include "campaign/gui/GUI_CampaignRefit.h"
#include "prep/GUI_ShipDesignSummary.h"
#include "campaign/gui/GUI_CampaignHooks.h"
#include "campaign/gui/GUI_CampaignMap.h"
#include "campaign/gui/GUI_CampaignFleetDetails.h"
#include "campaign/gui/GUI_CampaignUIMemory.h"
#include "campaign/gui/GUI_CampaignWindows.h"
#include "campaign/gui/GUI_Shipyard.h"
#include "campaign/gui/GUI_CampaignWormhole.h"
#include "campaign/gui/GUI_Encounter.h"
#include "campaign/gui/GUI_EncounterDetails.h"
#include "campaign/gui/GUI_MapZoomer.h"
#include "campaign/sim/SIM_Campaign.h"
#include "campaign/sim/SIM_CampaignBattleManager.h"
#include "campaign/sim/SIM_CampaignEncounter.h"
#include "campaign/sim/SIM_CampaignShip.h"
#include "campaign/sim/SIM_CampaignFacility.h"
#include "campaign/sim/SIM_CampaignFacilityType.h"
#include "campaign/sim/SIM_CampaignFleet.h"
#include "campaign/sim/SIM_CampaignFleetMerger.h"
#include "campaign/sim/SIM_CampaignProgress.h"
#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "engine/GFileHelpers.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "engine/StrFormat.h"
#include "gui/GUI_ConfirmDialog.h"
#include "gui/GUI_Message.h"
#include "gui/GUI_Transition.h"
#include "gui/GUI_Tutorial.h"
#include "gui/GUI_WindowManager.h"
#include "gui/SimScript.h"
#include "platform/KeyCodes.h"
#include "prep/GUI_DeploymentIcon.h"

#include <cctype>
#include <filesystem>

namespace {
// The battle and designer screens ask the campaign through these from the
// start, whether or not the campaign screen was ever opened.
struct CampaignScreenLinks {
    CampaignScreenLinks()
    {
        BattleHud::SetCampaignResultDialog(GUI_CampaignPostMortem::Open);
        GUI_StatsBrowser::SetCampaignExit(GUI_CampaignPostMortem::ApplyViewedResult);
        GUI_LeaveBattle::SetRetreatDestinationQuery(
            [] { return SIM_CampaignBattleManager::GetInstance().HasRetreatDestination(); });
        GUI_ShipDesignSummary::SetRefitOffer(GUI_CampaignRefit::OfferRefit);
        GUI_ShipDesignSummary::SetCampaignDesignLinks(
            {GUI_Campaign::ReleaseCampaignFleetDesign, GUI_Campaign::RefreshCampaignFleetDesigns});
    }
};
const CampaignScreenLinks g_links;
GUI_Campaign* g_screen = nullptr;
} // namespace

void GUI_Campaign::ReleaseCampaignFleetDesign(const std::string& designName)
{
    for (SIM_CampaignFleet* fleet : SIM_CampaignProgress::GetInstance().GetFleets())
        fleet->ReleaseDesign(designName);
}

void GUI_Campaign::RefreshCampaignFleetDesigns()
{
    for (SIM_CampaignFleet* fleet : SIM_CampaignProgress::GetInstance().GetFleets())
        fleet->RelinkDesigns();
}

GUI_Campaign& GUI_Campaign::GetInstance()
{
    static GUI_Campaign instance;
    return instance;
}

GUI_Campaign::GUI_Campaign() : m_hooks(std::make_unique<GUI_CampaignHooks>())
{
    g_screen = this;
    // The lists a campaign's planets and fleets leave on their way out must
    // outlive this screen, which may still hold a campaign at exit.
    SIM_CampaignEncounter::GetAll();
    SIM_CampaignShip::GetAll();
    SIM_CampaignProgress::GetInstance();
    SIM_CampaignBattleManager::GetInstance();
    GUI_CampaignAttackArrow::GetInstance();
    // An end-turn report open at exit marks the planet views as it closes.
    GUI_Encounter::GetAll();
}

GUI_Campaign::~GUI_Campaign()
{
    g_screen = nullptr;
    CloseCampaign();
    SIM_CampaignScreenHooks::Install(nullptr);
}

void GUI_Campaign::Enter()
{
    D3DEngine& engine = D3DEngine::GetInstance();
    m_buttons.SetRect(0.0f, 0.0f, static_cast<float>(engine.GetScreenWidth()),
                      static_cast<float>(engine.GetScreenHeight()));
    QLM_ASSERT(m_definition);
    if (!m_definition) {
        // Nothing to show: back to the menu rather than an empty map.
        Game::GetInstance().SetMode(kMainMenu);
        return;
    }
    SIM_CampaignScreenHooks::Install(m_hooks.get());
    const bool shaders = SIM_Options::GetInstance().GetValue("SHADERS") != 0.0f;
    GUI_Encounter::SetPlanetShader(shaders && m_planetEffect.IsLoaded() ? &m_planetEffect : nullptr);
    GUI_CampaignMap::Create(m_definition.get());
    RestoreCampaignUIMemory();
    SimScript::GetInstance().RegisterFunction("ZoomToHomeworld", [] {
        GUI_CampaignMap* map = GUI_CampaignMap::Get();
        SIM_Campaign* campaign = GetInstance().GetDefinition();
        QLM_ASSERT(campaign && campaign->GetHomeworldEncounter());
        if (map && campaign)
            if (GUI_Encounter* view = map->FindView(campaign->GetHomeworldEncounter()))
                map->GetZoomer().ZoomTo(view);
    });
    SimScript::GetInstance().RegisterFunction("ZoomOut", [] {
        if (GUI_CampaignMap* map = GUI_CampaignMap::Get())
            map->GetZoomer().ZoomOut();
    });
    SimScript::GetInstance().RegisterFunction("HighlightWormholes", [] { GUI_CampaignWormhole::SetHighlight(true); });
    SimScript::GetInstance().RegisterFunction("UnhighlightWormholes", [] { GUI_CampaignWormhole::SetHighlight(false); });
    GUI_Tutorial::GetInstance().LaunchTutorial("CAMPAIGN_WELCOME1");
    // Back from the ship designer: the shipyard that sent the player there.
    GUI_Shipyard::ReopenRemembered();
    GUI_Sounds::GetInstance().PlayMusic("campaign/data/sounds/campaign_music.ogg", true);
}

void GUI_Campaign::Leave()
{
    // Back from a battle or the designer, the map looks as it was left.
    if (GUI_CampaignMap::Get())
        SaveCampaignUIMemory();
    CloseCampaignWindows();
    CloseEncounterDetails();
    GUI_CampaignMap::Destroy();
    GUI_Encounter::SetPlanetShader(nullptr);
    keyboardFocus = nullptr;
}

void GUI_Campaign::Update()
{
    // A fight waiting for its fleet's upload starts once that is done.
    GUI_CampaignDeployment::PollOpenUpload();
}

void GUI_Campaign::Render()
{
    LibText::GetInstance().Render();
    m_buttons.Update();
    GUI_WindowManager::GetInstance().UpdateWindows();
    // A ship tile let go this frame moves once no window walks its tiles.
    GUI_CampaignFleetDetails::ProcessDrop();
    // A merge set up by a drop this frame is carried out once all is drawn;
    // the planets rebuild their rows on the next frame.
    if (SIM_CampaignFleetMerger::ExecuteMerge())
        for (GUI_Encounter* view : GUI_Encounter::GetAll())
            view->dirty = true;
}

void GUI_Campaign::OnKeyDown(int code)
{
    GUI_WindowManager& windows = GUI_WindowManager::GetInstance();
    if (keyboardFocus) {
        // A text field with the keyboard takes every key but Escape.
        keyboardFocus->OnKeyDown(code);
        if (code != KEY_ESCAPE)
            return;
    }
    if (code == KEY_ESCAPE) {
        if (windows.CloseTopModal())
            return;
        GUI_CampaignMap* map = GUI_CampaignMap::Get();
        if (!map || map->GetZoomer().state == GUI_MapZoomer::IDLE)
            AskQuit();
        else if (map->GetZoomer().state == GUI_MapZoomer::ZOOMED_IN)
            map->GetZoomer().ZoomOut();
        return;
    }
    if (GUI_CampaignDeployment* deployment = GUI_CampaignDeployment::GetOpen()) {
        // Delete takes the selected ships off the map, back into the list.
        if (code == KEY_DELETE)
            DeleteSelectedDeploymentIcons();
        else
            deployment->OnKeyDown(code);
        return;
    }
    // The map designer's key: only in the editor build of a session.
    if (code == KEY_H && Game::GetInstance().IsEditorEnabled() && m_definition) {
        if (!m_definition->SaveDefinition())
            LOG_ERROR("Failed to write the campaign definition");
    }
}

void GUI_Campaign::OnLeftClick()
{
    GUI_WindowManager::GetInstance().DispatchClick();
}

void GUI_Campaign::OnRightClick()
{
    GUI_WindowManager::GetInstance().DispatchRightClick();
}

void GUI_Campaign::OnWheelUp()
{
    GUI_WindowManager::GetInstance().DispatchWheelUp();
}

void GUI_Campaign::OnWheelDown()
{
    GUI_WindowManager::GetInstance().DispatchWheelDown();
}

void GUI_Campaign::LoadCampaignDefinition()
{
    CloseCampaign();
    m_definition = SIM_Campaign::LoadDefinition();
    m_planetEffect.Load("data/shaders/unknown_planet.fx");
}

void GUI_Campaign::CloseCampaign()
{
    // A battle being prepared is joined before the model it fills goes.
    GUI_EndTurn::CloseOpen();
    CloseCampaignWindows();
    // Still up when the program ends on the campaign screen.
    CloseEncounterDetails();
    GUI_CampaignMap::Destroy();
    GUI_CampaignAttackArrow::GetInstance().ClearArrows();
    // Fleets and battles point into the definition's planets: they go first.
    SIM_CampaignProgress::GetInstance().Close();
    m_definition.reset();
}

void GUI_Campaign::CloseAtExit()
{
    if (g_screen)
        g_screen->CloseCampaign();
}

bool GUI_Campaign::IsAcceptableName(const std::string& name)
{
    if (name.empty() || name.size() > kMaxNameLength || name == "." || name == ".." || name[0] == '.')
        return false;
    for (unsigned char c : name)
        if (c < 0x20 || c == 0x7F || c == '/' || c == '\\')
            return false;
    return true;
}

std::string GUI_Campaign::SaveFolderFor(const std::string& name)
{
    if (!IsAcceptableName(name))
        return std::string();
    // The model names the folder the same way when it writes the save.
    return APP_UserFolders::GetInstance().Get(APP_UserFolders::CAMPAIGN_PROGRESS) + "/" + SanitiseFileName(name);
}

bool GUI_Campaign::IsCampaignFolder(const std::string& folder)
{
    namespace fs = std::filesystem;
    const std::string root = APP_UserFolders::GetInstance().Get(APP_UserFolders::CAMPAIGN_PROGRESS);
    if (root.empty() || folder.empty())
        return false;
    std::error_code ec;
    const fs::path given(folder);
    if (!given.has_filename() || fs::is_symlink(given, ec))
        return false;
    const fs::path parent = fs::weakly_canonical(given.parent_path(), ec);
    if (ec)
        return false;
    const fs::path campaigns = fs::weakly_canonical(fs::path(root), ec);
    return !ec && parent == campaigns && IsAcceptableName(given.filename().string());
}

bool GUI_Campaign::CreateCampaignSave(const std::string& name)
{
    const std::string folder = SaveFolderFor(name);
    if (folder.empty()) {
        LOG_ERROR("Campaign name refused: " + name);
        ::ShowMessage(GetString("CAMPAIGN_NAME_REFUSED"), "CAMPAIGN_MESSAGE_TITLE");
        return false;
    }
    // A new campaign under an old name replaces it: the old folder goes whole
    // (the deletion itself only ever removes a folder below the user folder).
    if (FolderExists(folder) && (!IsCampaignFolder(folder) || !DeleteFolderTree(folder))) {
        LOG_ERROR("Failed to delete campaign folder: " + folder);
        ::ShowMessage(GetString("CAMPAIGN_CREATE_FAILED"), "CAMPAIGN_MESSAGE_TITLE");
        return false;
    }
    const std::string race = SIM_Options::GetInstance().GetRaceName();
    if (!SIM_CampaignProgress::GetInstance().CreateNew(name, race)) {
        ::ShowMessage(GetString("CAMPAIGN_CREATE_FAILED"), "CAMPAIGN_MESSAGE_TITLE");
        return false;
    }
    return true;
}

std::string GUI_Campaign::LoadRefusedText(const std::string& path, const std::string& reason)
{
    std::string text = std::string(GetString("CAMPAIGN_LOAD_FAILED")) + "\n" + path;
    if (!reason.empty())
        text += "\n" + std::string(1, static_cast<char>(std::toupper(static_cast<unsigned char>(reason[0])))) +
                reason.substr(1) + ".";
    return text;
}

bool GUI_Campaign::OpenCampaign(const std::string& name)
{
    if (GUI_ConfirmDialog* question = GUI_ConfirmDialog::GetOpen()) {
        question->visible = false;
        GUI_WindowManager::GetInstance().CloseWindow(question);
    }
    if (!IsAcceptableName(name)) {
        LOG_ERROR("Campaign name refused: " + name);
        return false;
    }
    GUI_Campaign& self = GetInstance();
    self.LoadCampaignDefinition();
    if (!SIM_CampaignProgress::GetInstance().Load(name)) {
        self.CloseCampaign();
        const SIM_CampaignProgress& progress = SIM_CampaignProgress::GetInstance();
        ::ShowMessage(LoadRefusedText(progress.GetRefusedFile(), progress.GetRefusedReason()), "CAMPAIGN_MESSAGE_TITLE");
        return false;
    }
    // What each factory and academy yields is worked out at a turn's end and
    // not saved: the counters would read 0 until then.
    for (SIM_CampaignEncounter* e : SIM_CampaignEncounter::GetAll())
        e->UpdateFacilityYields();
    Game::GetInstance().SetMode(kModeId);
    // The game closed during a turn's end: its battles come first, before
    // the map, and the turn is not stepped (nor paid) again.
    const SIM_CampaignBattleManager& battles = SIM_CampaignBattleManager::GetInstance();
    if (battles.IsTurnEndOpen() && !battles.GetPending().empty()) {
        GUI_EndTurn::Open();
    } else {
        // This turn's attacks were saved as they were ordered: their arrows too.
        GUI_CampaignAttackArrow::GetInstance().AddOrderedAttacks();
        RestoreCampaignUIMemory();
    }
    TellWaitingFleets();
    return true;
}

std::string GUI_Campaign::WaitingFleetsText()
{
    const auto& waiting = SIM_CampaignProgress::GetInstance().GetWaitingFleets();
    if (waiting.empty())
        return {};
    constexpr size_t kNamed = 8;
    std::string text = GetString("CAMPAIGN_FLEETS_WAITING");
    for (size_t i = 0; i < waiting.size() && i < kNamed; ++i)
        text += "\n" + (waiting[i].name.empty() ? std::string("?") : waiting[i].name) + ": " + waiting[i].why + " (" +
                waiting[i].path + ")";
    if (waiting.size() > kNamed)
        text += StrFormat("\n+%zu", waiting.size() - kNamed);
    return text;
}

void GUI_Campaign::TellWaitingFleets()
{
    const std::string text = WaitingFleetsText();
    if (!text.empty())
        ::ShowMessage(text, "CAMPAIGN_MESSAGE_TITLE");
}

void GUI_Campaign::AskQuit()
{
    AskYesNo("CAMPAIGN_QUIT_MESSAGE", "CAMPAIGN_QUIT_TITLE", QuitCampaignToMenu, false);
}

void GUI_Campaign::QuitCampaignToMenu(std::intptr_t)
{
    if (GUI_CampaignMap::Get())
        SaveCampaignUIMemory();
    Game::GetInstance().SetMode(kMainMenu);
    GetInstance().CloseCampaign();
    SIM_CampaignScreenHooks::Install(nullptr);
}

void GUI_Campaign::StartTransition()
{
    GUI_Transition::GetInstance().Start([] { GUI_WindowManager::GetInstance().DrawWindows(); });
}

namespace {
// Facilities of one class on the player's planets, each value cut to whole units first when asked.
template <typename Value>
Value SumPlayerFacilities(int facilityClass, float (SIM_CampaignFacility::*read)() const)
{
    Value total = 0;
    for (SIM_CampaignEncounter* e : SIM_CampaignEncounter::GetAll()) {
        if (e->territory != SIM_CampaignEncounter::PLAYER)
            continue;
        for (const auto& f : e->facilities)
            if (f && f->GetType() && f->GetType()->facilityClass == facilityClass)
                total += static_cast<Value>((f.get()->*read)());
    }
    return total;
}
} // namespace

float GetCampaignIncomePerTurn()
{
    return SumPlayerFacilities<float>(SIM_CampaignFacilityType::FACTORY, &SIM_CampaignFacility::GetCurrentCash);
}

int GetCampaignCrewPerTurn()
{
    return SumPlayerFacilities<int>(SIM_CampaignFacilityType::ACADEMY, &SIM_CampaignFacility::GetCurrentCrew);
}
