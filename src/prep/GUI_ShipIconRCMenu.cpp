#include "prep/GUI_ShipIconRCMenu.h"

#include "app/Game.h"
#include "engine/APP_UserFolders.h"
#include "engine/CInput.h"
#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "engine/GFileHelpers.h"
#include "engine/GHashTable.h"
#include "engine/GSafeFile.h"
#include "engine/TextHelpers.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_ConfirmDialog.h"
#include "gui/GUI_Message.h"
#include "gui/GUI_WindowManager.h"
#include "prep/GUI_DeploymentDesignPicker.h"
#include "prep/GUI_DeploymentGUI.h"
#include "prep/GUI_DeploymentIcon.h"
#include "prep/GUI_ShipDesignGUI.h"
#include "prep/GUI_ShipIcon.h"
#include "sim/SIM_DeployedShip.h"
#include "sim/SIM_SavedDesignUse.h"
#include "sim/SIM_ShipDesign.h"

#include <algorithm>

namespace {
// The design the open question is about.
std::intptr_t g_pendingDelete = 0;

// Opened from the deployment screen, the designer holds that screen's fleet in
// a file until it hands it back: ships of the design are still placed.
bool IsDesignInWaitingFleet(const std::string& designName)
{
    const std::string& path = GUI_ShipDesignGUI::GetInstance().GetTempDeploymentPath();
    if (path.empty())
        return false;
    std::string text;
    const FileRead read = ReadWholeFile(path, text, kMaxSaveFileBytes);
    if (!read)
        return read.IsRefused();
    return SIM_SavedDesignUse::TextNamesDesign(text, ToLowerString(TrimWhitespace(designName)));
}
} // namespace

GUI_ShipIconRCMenu::GUI_ShipIconRCMenu(const SIM_ShipDesign* design, float mouseX, float mouseY, int screenHeight)
{
    const float topY = std::clamp(mouseY - 52.0f, 0.0f, static_cast<float>(std::max(0, screenHeight - 52)));
    SetRect(mouseX + 16.0f, topY, mouseX + 16.0f + kWidth, topY + kHeight);
    nextRowY = top + 28;
    SetCaption(design ? design->GetGuiName() : std::string());
    const auto arg = reinterpret_cast<std::intptr_t>(design);
    m_edit = new GUI_ButtonText("SHIPICON_RC_EDIT", OnEdit, arg);
    m_edit->SetTooltipString(GetString("SHIPICON_RC_EDIT_TOOLTIP"));
    AddItem(m_edit);
    m_delete = new GUI_ButtonText("SHIPICON_RC_DELETE", OnDelete, arg);
    if (design && (IsDesignPlaced(design) || IsDesignInSavedUse(design->GetName()))) {
        m_delete->enabled = false;
        m_delete->SetTooltipString(GetString("SHIPICON_RC_DELETE_DISABLED_TOOLTIP"));
    } else {
        m_delete->SetTooltipString(GetString("SHIPICON_RC_DELETE_TOOLTIP"));
    }
    AddItem(m_delete);
    m_massDeploy = new GUI_ButtonText("SHIPICON_RC_MASSDEPLOY", OnMassDeploy, arg);
    m_massDeploy->SetTooltipString(GetString("SHIPICON_RC_MASSDEPLOY_TOOLTIP"));
    AddItem(m_massDeploy);
    GUI_WindowManager::GetInstance().BringToFront(this);
}

bool GUI_ShipIconRCMenu::IsDesignPlaced(const SIM_ShipDesign* design)
{
    for (const GUI_DeploymentIcon* icon : GetDeploymentIcons())
        if (icon->GetShip() && design && icon->GetShip()->design == design->GetName())
            return true;
    return false;
}

bool GUI_ShipIconRCMenu::IsDesignInSavedUse(const std::string& designName)
{
    const APP_UserFolders& folders = APP_UserFolders::GetInstance();
    // The temp file is only the last fight's copy of the fleet on screen.
    return SIM_SavedDesignUse::IsNamedBelow(folders.Get(APP_UserFolders::DEPLOYMENTS), designName,
                                            GUI_DeploymentGUI::kTempFile) ||
           SIM_SavedDesignUse::IsNamedBelow(folders.Get(APP_UserFolders::CAMPAIGN_PROGRESS), designName);
}

void GUI_ShipIconRCMenu::CloseOpen()
{
    if (GUI_RCMenuBase* menu = GUI_RCMenuBase::GetOpen()) {
        menu->visible = false;
        GUI_WindowManager::GetInstance().CloseWindow(menu);
    }
}

void GUI_ShipIconRCMenu::OnEdit(std::intptr_t design)
{
    CloseOpen();
    QLM_ASSERT(design);
    GUI_DeploymentGUI& screen = GUI_DeploymentGUI::GetInstance();
    screen.WriteDeploymentFile(screen.GetTempDeploymentPath());
    GUI_ShipDesignGUI::OpenFrom(GUI_ShipDesignGUI::RETURN_DEPLOYMENT, screen.GetTempDeploymentPath());
    GUI_ShipDesignGUI::GetInstance().LoadDesign(reinterpret_cast<const SIM_ShipDesign*>(design));
}

void GUI_ShipIconRCMenu::OnDelete(std::intptr_t design)
{
    CloseOpen();
    if (!design)
        return;
    g_pendingDelete = design;
    AskYesNo("SHIPICON_RC_DELETE_CONFIRM", "SHIPICON_RC_DELETE", OnDeleteConfirmed, false);
}

void GUI_ShipIconRCMenu::OnDeleteConfirmed(std::intptr_t)
{
    auto* design = reinterpret_cast<SIM_ShipDesign*>(g_pendingDelete);
    g_pendingDelete = 0;
    const std::vector<SIM_ShipDesign*>& list = SIM_ShipDesign::GetList();
    // The design may have gone while the question was open.
    if (!design || std::find(list.begin(), list.end(), design) == list.end())
        return;
    if (!DeleteDesign(design))
        return;
    if (GUI_DeploymentDesignPicker* picker = GUI_DeploymentDesignPicker::GetOpen())
        picker->Rebuild();
}

bool GUI_ShipIconRCMenu::DeleteDesign(SIM_ShipDesign* design)
{
    if (!design)
        return false;
    if (IsDesignPlaced(design) || IsDesignInWaitingFleet(design->GetName()) ||
        IsDesignInSavedUse(design->GetName())) {
        LOG_ERROR("Design in use, not deleted: " + design->GetName());
        ShowMessage(GetString("DESIGN_DELETE_IN_USE_TEXT"), "DESIGN_DELETE_FAILED_TITLE");
        return false;
    }
    const std::string shipsFolder = APP_UserFolders::GetInstance().Get(APP_UserFolders::SHIPS);
    switch (SIM_ShipDesign::TryDelete(design, shipsFolder)) {
    case SIM_ShipDesign::DeleteResult::DELETED:
        return true;
    case SIM_ShipDesign::DeleteResult::IN_USE:
        ShowMessage(GetString("DESIGN_DELETE_IN_USE_TEXT"), "DESIGN_DELETE_FAILED_TITLE");
        return false;
    case SIM_ShipDesign::DeleteResult::NOT_PLAYERS:
        // The samples come with the game, for every player alike.
        ShowMessage(GetString("DESIGN_DELETE_SAMPLE_TEXT"), "DESIGN_DELETE_FAILED_TITLE");
        return false;
    case SIM_ShipDesign::DeleteResult::NOT_FOUND:
    case SIM_ShipDesign::DeleteResult::NOT_REMOVED:
        break;
    }
    ShowMessage(GetString("DESIGN_DELETE_FAILED_TEXT"), "DESIGN_DELETE_FAILED_TITLE");
    return false;
}

void GUI_ShipIconRCMenu::OnMassDeploy(std::intptr_t design)
{
    CloseOpen();
    GUI_DeploymentGUI& screen = GUI_DeploymentGUI::GetInstance();
    if (design)
        screen.BeginPlacingGhost(reinterpret_cast<const SIM_ShipDesign*>(design));
    else
        screen.ClearPlacingGhost();
}

void OpenShipIconMenu(GUI_ShipIcon* icon)
{
    if (GUI_RCMenuBase* menu = GUI_RCMenuBase::GetOpen())
        GUI_WindowManager::GetInstance().CloseWindow(menu);
    QLM_ASSERT(icon);
    if (!icon)
        return;
    const CInput& input = CInput::GetInstance();
    new GUI_ShipIconRCMenu(icon->GetDesign(), input.GetMouseX(), input.GetMouseY(),
                           D3DEngine::GetInstance().GetScreenHeight());
}
