#include "prep/GUI_DeploymentControlPanel.h"

#include "gui/GUI_ButtonText.h"
#include "gui/GUI_FrameDrawing.h"
#include "gui/GUI_OpenFileDialog.h"
#include "gui/GUI_FilePicker.h"
#include "gui/GUI_SaveFileDialog.h"
#include "gui/GUI_TextEditWindow.h"
#include "gui/GUI_Tutorial.h"
#include "gui/GUI_TutorialWindow.h"
#include "gui/GUI_WindowManager.h"
#include "engine/GHashTable.h"
#include "engine/D3DEngine.h"
#include "prep/GUI_DeploymentGUI.h"

namespace {
GUI_DeploymentControlPanel* g_panel = nullptr;
} // namespace

GUI_DeploymentControlPanel* GUI_DeploymentControlPanel::GetOpen()
{
    return g_panel;
}

GUI_DeploymentControlPanel::GUI_DeploymentControlPanel(int x, int y)
{
    g_panel = this;
    SetRect(static_cast<float>(x), static_cast<float>(y), static_cast<float>(x + kWidth),
            static_cast<float>(y + kHeight));
    m_save = new GUI_ButtonText("DEPLOYMENT_SAVE", OpenSaveDeploymentDialog, 0);
    m_save->SetTooltipString(GetString("DEPLOYMENT_TOOLTIP_SAVE"));
    m_save->SetName("savedeployment");
    m_save->SetRect(static_cast<float>(left + 12), static_cast<float>(top + 12), static_cast<float>(right - 12),
                    static_cast<float>(top + 36));
    AddButton(m_save);
    m_load = new GUI_ButtonText("DEPLOYMENT_LOAD", OpenLoadDeploymentDialog, 0);
    m_load->SetTooltipString(GetString("DEPLOYMENT_TOOLTIP_LOAD"));
    m_load->SetRect(static_cast<float>(left + 12), static_cast<float>(top + 38), static_cast<float>(right - 12),
                    static_cast<float>(top + 62));
    AddButton(m_load);
    GUI_WindowManager::GetInstance().BringToFront(this);
}

GUI_DeploymentControlPanel::~GUI_DeploymentControlPanel()
{
    if (g_panel == this)
        g_panel = nullptr;
}

void GUI_DeploymentControlPanel::Draw()
{
    if (!visible)
        return;
    D3DEngine::GetInstance().FillRect({left, top, right, bottom}, 0xC0101820u);
    DrawNamedFrame("border_depth.dds", 15.0f, 1.0f, static_cast<float>(left), static_cast<float>(top),
                   static_cast<float>(right), static_cast<float>(bottom));
    DrawButtons();
}

void GUI_DeploymentControlPanel::OpenSaveDeploymentDialog(std::intptr_t)
{
    GUI_DeploymentGUI& screen = GUI_DeploymentGUI::GetInstance();
    GUI_TutorialWindow::CloseAll();
    GUI_Tutorial::GetInstance().blockButtons = false;
    GUI_SaveFileDialog* dialog =
        ShowSaveFileDialog(screen.GetSaveFolder(), ".txt", "DEPLOYMENT_SAVE_TITLE",
                           [](const std::string& name) { GUI_DeploymentGUI::GetInstance().SaveDeploymentAs(name); },
                           "deployed");
    // Names starting with "_" are the screen's own files, which it deletes:
    // neither listed nor typed.
    if (dialog && dialog->GetPicker())
        dialog->GetPicker()->HideNamesStartingWith("_");
    if (dialog && dialog->GetTextField())
        dialog->GetTextField()->noLeadingUnderscore = true;
}

void GUI_DeploymentControlPanel::OpenLoadDeploymentDialog(std::intptr_t)
{
    GUI_OpenFileDialog* dialog = ShowOpenFileDialog(
        GUI_DeploymentGUI::GetInstance().GetLoadPattern(), "DEPLOYMENT_LOAD_TITLE",
        [](const std::string& path) { GUI_DeploymentGUI::GetInstance().LoadDeploymentFileAsking(path); });
    // The copy the screen keeps of the fleet last fought with is not the player's.
    if (dialog && dialog->GetPicker())
        dialog->GetPicker()->HideNamesStartingWith("_");
}

void OpenDeploymentControlPanel(int x, int y)
{
    CloseDeploymentControlPanel();
    new GUI_DeploymentControlPanel(x, y);
}

void CloseDeploymentControlPanel()
{
    if (g_panel) {
        GUI_DeploymentControlPanel* panel = g_panel;
        g_panel = nullptr;
        GUI_WindowManager::GetInstance().CloseWindow(panel);
    }
}

bool IsDeploymentControlPanelOpen()
{
    return g_panel != nullptr;
}

int GetDeploymentControlPanelRight()
{
    return g_panel ? g_panel->right : 0;
}
