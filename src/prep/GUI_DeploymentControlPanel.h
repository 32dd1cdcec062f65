#pragma once
#include "gui/GUI_WindowBase.h"

class GUI_ButtonText;

// The small panel in the deployment screen's top-left corner with the save
// and load buttons for whole deployments. One at a time.
class GUI_DeploymentControlPanel : public GUI_WindowBase {
public:
    static constexpr int kWidth = 220;
    static constexpr int kHeight = 76;

    GUI_DeploymentControlPanel(int x, int y);
    ~GUI_DeploymentControlPanel() override;

    void Draw() override;

    static void OpenSaveDeploymentDialog(std::intptr_t = 0);
    static void OpenLoadDeploymentDialog(std::intptr_t = 0);

    GUI_ButtonText* GetSaveButton() const { return m_save; }
    GUI_ButtonText* GetLoadButton() const { return m_load; }
    static GUI_DeploymentControlPanel* GetOpen();

private:
    GUI_ButtonText* m_save = nullptr;
    GUI_ButtonText* m_load = nullptr;
};

void OpenDeploymentControlPanel(int x, int y);
void CloseDeploymentControlPanel();
bool IsDeploymentControlPanelOpen();
// The right edge of the open panel (the design picker starts there).
int GetDeploymentControlPanelRight();
