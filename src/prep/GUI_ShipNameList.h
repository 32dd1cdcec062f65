#pragma once
#include "gui/GUI_WindowBase.h"

#include <string>

class GUI_RandomShipName;

// One ship-name list in the naming dialog; a click chooses it for the
// random-name button.
class GUI_ShipNameList : public GUI_WindowBase {
public:
    GUI_ShipNameList(const std::string& listName, GUI_RandomShipName* dialog);
    ~GUI_ShipNameList() override;

    bool OnLeftClick(float x, float y) override;
    void Draw() override;
    const std::string& GetListName() const { return m_listName; }
    // What the row reads: a race's list by the race's own name.
    const std::string& GetShownName() const { return m_shownName; }
    static GUI_ShipNameList* GetHovered();

private:
    std::string m_listName;
    std::string m_shownName;
    GUI_RandomShipName* m_dialog = nullptr;
};
