#pragma once
#include "battle/hud/GUI_StatPicker.h"

class SIM_Fleet;
class SIM_ShipModuleType;

// One icon per weapon type fitted anywhere in a fleet.
class GUI_StatModulePicker : public GUI_StatPicker {
public:
    void Fill(const SIM_Fleet* fleet);
    bool IsSelected(const SIM_ShipModuleType* type) const;
};
