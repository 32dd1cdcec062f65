#include "prep/GUI_ShipDesignGUI.h"

#include "app/APP_UsageMetrics.h"
#include "app/Game.h"
#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "engine/GHashTable.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_ConfirmDialog.h"
#include "gui/GUI_Cursor.h"
#include "gui/GUI_Transition.h"
#include "gui/GUI_Tutorial.h"
#include "gui/GUI_TextEditWindow.h"
#include "gui/GUI_WindowManager.h"
#include "platform/KeyCodes.h"
#include "prep/GUI_DesignStats.h"
#include "prep/GUI_ModuleDetails.h"
#include "prep/GUI_ModulePicker.h"
#include "prep/GUI_ModulePickerIcon.h"
#include "prep/GUI_ShipBlueprint.h"
#include "prep/GUI_ShipDesignSummary.h"
#include "sim/SIM_Options.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_ShipHull.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

struct ExitLabel {
    const char* key;
    const char* tooltip;
};

const ExitLabel kExitLabels[3] = {
    {"SHIPDESIGN_MAIN_MENU", "SHIPDESIGN_MAIN_MENU_TOOLTIP"},
    {"SHIPDESIGN_DEPLOYMENT", "SHIPDESIGN_DEPLOYMENT_TOOLTIP"},
    {"CAMPAIGN_RETURN_MAP", "CAMPAIGN_RETURN_MAP_TOOLTIP"},
};

GUI_ShipDesignGUI::DeploymentReload& ReloadHook()
{
    static GUI_ShipDesignGUI::DeploymentReload hook;
    return hook;
}

} // namespace

GUI_ShipDesignGUI& GUI_ShipDesignGUI::GetInstance()
{
    static GUI_ShipDesignGUI instance;
    return instance;
}

GUI_ShipDesignGUI::GUI_ShipDesignGUI()
{
    m_backdrop.SetTexture("menu_backdrop.jpg");
    m_layoutBox.SetTexture("box_background.jpg");
    m_bottomStrip.SetTexture("box_background.jpg");
    m_exitButton = new GUI_ButtonText(kExitLabels[0].key, OnExit, 0);
    m_exitButton->SetTooltip(GetString(kExitLabels[0].tooltip));
    AddButton(m_exitButton);
    APP_UsageMetrics::GetInstance().SetEventFlag("shipdesign");
}

void GUI_ShipDesignGUI::OpenFrom(int returnMode, const std::string& tempDeploymentPath)
{
    GUI_ShipDesignGUI& designer = GetInstance();
    designer.m_returnMode = std::clamp(returnMode, 0, 2);
    designer.m_tempDeploymentPath = tempDeploymentPath;
    designer.m_exitButton->SetTextKey(kExitLabels[designer.m_returnMode].key);
    designer.m_exitButton->SetTooltip(GetString(kExitLabels[designer.m_returnMode].tooltip));
    // The mode switch captures the frame for the wipe.
    Game::GetInstance().SetMode(kModeId);
}

void GUI_ShipDesignGUI::SetDeploymentReload(DeploymentReload reload)
{
    ReloadHook() = std::move(reload);
}

void GUI_ShipDesignGUI::Enter()
{
    ++enterCount;
    m_entered = true;
    D3DEngine& engine = D3DEngine::GetInstance();
    m_screenW = static_cast<float>(engine.GetScreenWidth());
    m_screenH = static_cast<float>(engine.GetScreenHeight());
    m_tall = engine.GetScreenHeight() >= kTallScreen;
    const float areaHeight = m_tall ? kTallLayoutHeight : kShortLayoutHeight;
    m_originX = std::max(0.0f, m_screenW / 2.0f - kLayoutWidth / 2.0f);
    m_originY = std::max(0.0f, m_screenH / 2.0f - areaHeight / 2.0f);

    m_layoutBox.SetSize(kLayoutWidth, areaHeight);
    m_layoutBox.SetUV(0.0f, 0.0f, 1.0f, areaHeight / 1024.0f);
    m_layoutBox.PlaceCentred(m_screenW / 2.0f, m_screenH / 2.0f);

    GUI_ShipDesignSummary::Create();
    GUI_ModulePicker::Open(m_originX, m_originY);
    ChooseStartDesign();
    GUI_ShipBlueprint::Create(m_design.get());
    GUI_ModuleDetails::Open();
    if (GUI_ModulePicker* picker = GUI_ModulePicker::GetOpen()) {
        if (m_design && m_design->GetHull() && picker->hullClass != m_design->GetHull()->GetClass()) {
            picker->hullClass = m_design->GetHull()->GetClass();
            picker->BuildModuleList();
        }
    }
    GUI_ShipDesignSummary::RecalculateDesign();
    m_modified = false;
    if (m_tall) {
        GUI_DesignStats::Create(false);
        GUI_DesignStats::RefreshOpen();
    }

    m_exitButton->SetRect(32.0f, m_screenH - 32.0f, 172.0f, m_screenH - 12.0f);
    m_bottomStrip.SetSize(m_screenW, 45.0f);
    m_bottomStrip.SetUV(0.0f, 0.0f, m_screenW / 1024.0f, 45.0f / 1024.0f);
    m_bottomStrip.PlaceCentred(m_screenW / 2.0f, m_screenH - 22.0f);
    GUI_Tutorial::GetInstance().LaunchTutorial("SHIPDESIGN");
}

void GUI_ShipDesignGUI::ChooseStartDesign()
{
    std::vector<SIM_ShipDesign*> designs;
    if (m_returnMode == RETURN_DEPLOYMENT)
        SIM_ShipDesign::GetPlayerDesignsForRace(SIM_Options::GetInstance().GetRaceName(), designs);
    else
        SIM_ShipDesign::GetPlayerDesignsWithFiles(designs);
    designs.erase(std::remove_if(designs.begin(), designs.end(),
                                 [](const SIM_ShipDesign* d) { return d->GetHull() == nullptr; }),
                  designs.end());
    SIM_ShipDesign* start = designs.empty() ? SIM_ShipDesign::CreateStarterDesign() : designs.front();
    if (start) {
        LoadDesign(start);
        return;
    }
    // Nothing to start from: an empty design on the first hull still lets the
    // player build one.
    m_design = SIM_ShipDesign::MakeEmptyWorkingCopy();
    if (!SIM_ShipHull::GetList().empty())
        m_design->SetHull(SIM_ShipHull::GetList().front());
    m_design->CalculateTotals();
    m_modified = false;
}

void GUI_ShipDesignGUI::LoadDesign(const SIM_ShipDesign* design)
{
    if (design == nullptr || design == m_design.get())
        return;
    if (design->GetHull() != nullptr)
        m_design = SIM_ShipDesign::MakeWorkingCopy(*design);
    else
        m_design = SIM_ShipDesign::ReadWorkingCopy(design->GetFileName());
    if (GUI_ShipDesignSummary* summary = GUI_ShipDesignSummary::GetOpen())
        summary->ShowDesignTotals();
    if (GUI_ModulePicker* picker = GUI_ModulePicker::GetOpen())
        picker->BuildModuleList();
    if (GUI_ShipBlueprint* blueprint = GUI_ShipBlueprint::GetOpen())
        blueprint->Rebuild(m_design.get());
    GUI_DesignStats::RefreshOpen();
    m_modified = false;
}

void GUI_ShipDesignGUI::StartFromHull(SIM_ShipHull* hull)
{
    if (!m_design || hull == nullptr)
        return;
    m_design->ClearModules();
    m_design->SetHull(hull);
    // A new design, not the old one on another hull: it has no name until
    // the player gives it one (a shipped design's name would be refused at
    // Save, a player's own would be written over).
    m_design->SetGuiName(std::string());
    m_design->SetName(std::string());
    if (GUI_ShipDesignSummary* summary = GUI_ShipDesignSummary::GetOpen())
        summary->GetNameField()->SetText(std::string());
    m_modified = true;
    if (GUI_ShipBlueprint* blueprint = GUI_ShipBlueprint::GetOpen())
        blueprint->Rebuild(m_design.get());
    GUI_ShipDesignSummary::RecalculateDesign();
    GUI_DesignStats::RefreshOpen();
    if (GUI_ModulePicker* picker = GUI_ModulePicker::GetOpen()) {
        picker->hullClass = hull->GetClass();
        picker->BuildModuleList();
    }
}

void GUI_ShipDesignGUI::OnExit(std::intptr_t)
{
    GetInstance().RequestLeave();
}

void GUI_ShipDesignGUI::OnLeaveConfirmed(std::intptr_t)
{
    GetInstance().LeaveShipDesigner();
}

GUI_GameModeBase::LeaveQuestion GUI_ShipDesignGUI::GetLeaveQuestion() const
{
    if (!m_modified)
        return {};
    return {"SHIP_DESIGN_CONFIRM_TEXT", "SHIP_DESIGN_CONFIRM_TITLE"};
}

void GUI_ShipDesignGUI::RequestLeave()
{
    if (const LeaveQuestion question = GetLeaveQuestion())
        AskYesNo(question.textKey, question.titleKey, OnLeaveConfirmed, false);
    else
        LeaveShipDesigner();
}

void GUI_ShipDesignGUI::LeaveShipDesigner()
{
    Game& game = Game::GetInstance();
    switch (m_returnMode) {
    case RETURN_DEPLOYMENT: {
        game.SetMode(2);
        const std::string path = m_tempDeploymentPath;
        m_tempDeploymentPath.clear();
        if (!path.empty()) {
            if (ReloadHook())
                ReloadHook()(path);
            // Removed by its full path right after the reload: a stale copy
            // would otherwise win over the saved deployment next time.
            std::remove(path.c_str());
        }
        break;
    }
    case RETURN_CAMPAIGN:
        game.SetMode(14);
        break;
    default:
        game.SetMode(15);
        break;
    }
}

void GUI_ShipDesignGUI::Leave()
{
    ++leaveCount;
    if (!m_entered)
        return;
    m_entered = false;
    delete GUI_ShipDesignSummary::GetOpen();
    delete GUI_ShipBlueprint::GetOpen();
    delete GUI_ModulePicker::GetOpen();
    delete GUI_ModuleDetails::GetOpen();
    delete GUI_DesignStats::GetOpen();
    if (GUI_ModulePickerIcon* dragged = GUI_ModulePickerIcon::GetDragged())
        delete dragged;
    m_design.reset();
    keyboardFocus = nullptr;
}

void GUI_ShipDesignGUI::ReloadDesignerEffect()
{
    GUI_ShipBlueprint* blueprint = GUI_ShipBlueprint::GetOpen();
    if (blueprint && !blueprint->GetEffect().GetFileName().empty())
        blueprint->GetEffect().Load(blueprint->GetEffect().GetFileName());
}

void GUI_ShipDesignGUI::Render()
{
    const float side = std::max(m_screenW, m_screenH);
    m_backdrop.SetSize(side, side);
    m_backdrop.PlaceCentred(m_screenW / 2.0f, m_screenH / 2.0f);
    m_backdrop.Draw();
    m_layoutBox.Draw();
    GUI_WindowManager& manager = GUI_WindowManager::GetInstance();
    manager.UpdateWindows();
    if (!manager.IsModalOpen())
        GUIButtonList::Update();
    m_bottomStrip.Draw();
    DrawButtons();
    // Windows, the dragged icon (dropped here when the button is up) and the
    // tooltips follow in the frame's shared tail.
}

void GUI_ShipDesignGUI::OnKeyDown(int code)
{
    GUI_WindowManager& manager = GUI_WindowManager::GetInstance();
    if (keyboardFocus) {
        // A text field takes the keys; Escape still closes the dialog it is
        // typed in (the save dialog opens with its name field typing).
        const bool typing = dynamic_cast<GUI_TextEditWindow*>(keyboardFocus) != nullptr;
        keyboardFocus->OnKeyDown(code);
        if (typing && code == KEY_ESCAPE && manager.IsModalOpen())
            manager.CloseTopModal();
        return;
    }
    if (code != KEY_ESCAPE)
        return;
    if (manager.IsModalOpen())
        manager.CloseTopModal();
    else
        RequestLeave();
}

void GUI_ShipDesignGUI::OnLeftClick()
{
    if (GUI_WindowManager::GetInstance().DispatchClick())
        return;
    ClickButtons();
}

void GUI_ShipDesignGUI::OnRightClick()
{
    GUI_WindowManager::GetInstance().DispatchRightClick();
}

void GUI_ShipDesignGUI::OnWheelUp()
{
    GUI_WindowManager::GetInstance().DispatchWheelUp();
}

void GUI_ShipDesignGUI::OnWheelDown()
{
    GUI_WindowManager::GetInstance().DispatchWheelDown();
}
