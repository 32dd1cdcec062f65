#pragma once
#include "gui/GUI_RCMenuBase.h"

#include <string>

class GUI_ButtonText;
class GUI_ShipIcon;
class SIM_ShipDesign;

// The design icon's right-click menu: edit the design, delete it (asked
// first, and refused while a placed ship, a saved deployment or a campaign
// uses it) or place many ships of it with one click each.
class GUI_ShipIconRCMenu : public GUI_RCMenuBase {
public:
    static constexpr int kWidth = 150;
    static constexpr int kHeight = 104;

    GUI_ShipIconRCMenu(const SIM_ShipDesign* design, float mouseX, float mouseY, int screenHeight);

    GUI_ButtonText* GetEditButton() const { return m_edit; }
    GUI_ButtonText* GetDeleteButton() const { return m_delete; }
    GUI_ButtonText* GetMassDeployButton() const { return m_massDeploy; }

    // A design named in any saved deployment of the player or in a campaign
    // save: deleting it would leave those files pointing at nothing.
    static bool IsDesignInSavedUse(const std::string& designName);
    static bool IsDesignPlaced(const SIM_ShipDesign* design);
    // The one way a confirmed delete goes, from this menu and the designer's
    // file list alike: refused with the reason shown while the design is
    // placed, saved in use, held in memory or not the player's own file.
    // True when the design and its file are gone.
    static bool DeleteDesign(SIM_ShipDesign* design);

private:
    static void OnEdit(std::intptr_t design);
    static void OnDelete(std::intptr_t design);
    static void OnDeleteConfirmed(std::intptr_t design);
    static void OnMassDeploy(std::intptr_t design);
    static void CloseOpen();

    GUI_ButtonText* m_edit = nullptr;
    GUI_ButtonText* m_delete = nullptr;
    GUI_ButtonText* m_massDeploy = nullptr;
};

void OpenShipIconMenu(GUI_ShipIcon* icon);
