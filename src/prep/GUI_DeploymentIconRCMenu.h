#pragma once
#include "engine/GLifetime.h"
#include "gui/GUI_RCMenuBase.h"

#include <cstdint>
#include <string>

class GUI_ButtonText;
class GUI_DeploymentIcon;

// A placed ship's right-click menu: rename it, remove it, keep its orders as
// its design's defaults, and for a squadron change its size. The campaign's
// deployment offers only removing and keeping orders. It goes with the icon,
// and each row looks the icon up again when clicked.
class GUI_DeploymentIconRCMenu : public GUI_RCMenuBase {
public:
    static constexpr int kWidth = 150;
    static constexpr int kFirstRow = 28;

    GUI_DeploymentIconRCMenu(GUI_DeploymentIcon* icon, float mouseX, float mouseY, int screenWidth,
                             int screenHeight, bool campaign);

    // Tall enough for every row it holds and a caption of that many extra
    // pixels (a wrapped ship name).
    static float MenuHeight(bool fighter, bool campaign, int extraCaptionHeight = 0);
    // What a caption takes beyond one line at the menu's width.
    static int ExtraCaptionHeight(const std::string& caption);

    GUI_DeploymentIcon* GetIcon() const { return m_icon.Get(); }
    GUI_ButtonText* GetRenameButton() const { return m_rename; }
    GUI_ButtonText* GetDeleteButton() const { return m_delete; }
    GUI_ButtonText* GetSaveOrdersButton() const { return m_saveOrders; }
    GUI_ButtonText* GetSquadronButton() const { return m_squadron; }

private:
    static void OnRename(std::intptr_t menu);
    static void OnDelete(std::intptr_t menu);
    static void OnSaveOrders(std::intptr_t menu);
    static void OnSquadronSize(std::intptr_t menu);
    // The clicked menu's icon, null when it is gone; the menu closes.
    static GUI_DeploymentIcon* TakeIcon(std::intptr_t menu);
    static void CloseOpen();
    static void MarkChanged();

    GWatch<GUI_DeploymentIcon> m_icon;
    GUI_ButtonText* m_rename = nullptr;
    GUI_ButtonText* m_delete = nullptr;
    GUI_ButtonText* m_saveOrders = nullptr;
    GUI_ButtonText* m_squadron = nullptr;
};

void OpenDeploymentIconMenu(GUI_DeploymentIcon* icon);
