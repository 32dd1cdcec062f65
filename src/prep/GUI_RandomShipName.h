#pragma once
#include "engine/GLifetime.h"
#include "gui/GUI_Dialog.h"
#include "gui/GUI_OneOpen.h"

#include <cstdint>
#include <string>
#include <vector>

class GUI_ButtonText;
class GUI_DeploymentIcon;
class GUI_ScrollingWindow;
class GUI_ShipNameList;
class GUI_TextEditWindow;

// Names a placed ship: the player types a name (applied as it is typed; the
// field has the keyboard from the start and Enter closes) or draws a random
// one from a chosen name list. A blank field gives the ship back the name it
// had when the dialog opened, so no ship goes unnamed. Modal, so its ship
// stays on the map while it is open; the icon's owner closes it when the ship
// goes. One open at a time.
class GUI_RandomShipName : public GUI_Dialog, public GUI_OneOpen<GUI_RandomShipName> {
public:
    static constexpr int kWidth = 600;
    static constexpr int kHeight = 200;
    static constexpr int kMaxNameLength = 128;

    // What a typed name may hold: no control characters, newlines, '[' or
    // '=' (they would break the deployment file), at most 128 characters.
    static std::string SanitiseName(const std::string& text);

    explicit GUI_RandomShipName(GUI_DeploymentIcon* icon);
    ~GUI_RandomShipName() override;

    void BuildRows();
    void Update() override;
    void Draw() override;
    void PickRandomName();
    // Gives the ship the (sanitised) name now; a blank one, its name at opening.
    void ApplyName(const std::string& text);
    void Select(GUI_ShipNameList* row) { m_selected = row; }

    GUI_ShipNameList* GetSelected() const { return m_selected; }
    const std::vector<GUI_ShipNameList*>& GetRows() const { return m_rows; }
    GUI_TextEditWindow* GetTextField() const { return m_field; }
    GUI_ButtonText* GetRandomButton() const { return m_random; }
    GUI_ScrollingWindow* GetScrollWindow() const { return m_scroll; }
    // Null once the icon is gone or queued for deletion (the dialog closes then).
    GUI_DeploymentIcon* GetIcon() const { return m_icon.Get(); }

private:
    static void OnRandom(std::intptr_t);
    static void OnEnter(std::intptr_t);

    GWatch<GUI_DeploymentIcon> m_icon;
    GUI_ShipNameList* m_selected = nullptr;
    std::vector<GUI_ShipNameList*> m_rows;
    GUI_ScrollingWindow* m_scroll = nullptr;
    GUI_TextEditWindow* m_field = nullptr;
    GUI_ButtonText* m_random = nullptr;
    int m_builtPosition = -1;
    std::string m_nameAtOpening;
};

void OpenShipNameDialog(GUI_DeploymentIcon* icon);
