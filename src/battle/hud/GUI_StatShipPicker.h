#pragma once
#include "battle/hud/GUI_StatPicker.h"

class SIM_Fleet;
class SIM_Ship;

// One icon per ship of a fleet, and one per fighter squadron standing for
// all its fighters.
class GUI_StatShipPicker : public GUI_StatPicker {
public:
    void Fill(const SIM_Fleet* fleet);
    bool IsSelected(const SIM_Ship* ship) const;
};
