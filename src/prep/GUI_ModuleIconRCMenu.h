#pragma once
#include "gui/GUI_RCMenuBase.h"

class SIM_ShipModuleType;

// What a right click on a fitted module's icon shows: the module's name in
// a small captioned box beside the pointer, with no rows.
class GUI_ModuleIconRCMenu : public GUI_RCMenuBase {
public:
    static constexpr int kWidth = 150;
    static constexpr int kHeight = 54;

    // Replaces the open right-click menu; nothing for an empty cell.
    static GUI_ModuleIconRCMenu* Open(const SIM_ShipModuleType* type);
    explicit GUI_ModuleIconRCMenu(const SIM_ShipModuleType* type);

    const SIM_ShipModuleType* GetModuleType() const { return m_type; }

private:
    const SIM_ShipModuleType* m_type;
};
