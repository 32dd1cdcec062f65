#pragma once
#include "app/GUI_StandInMode.h"

// Stand-in screen until this one is built.
class GUI_ShipDesignGUI : public GUI_StandInMode {
public:
    static GUI_ShipDesignGUI& GetInstance()
    {
        static GUI_ShipDesignGUI instance;
        return instance;
    }
    GUI_ShipDesignGUI() : GUI_StandInMode("Ship designer") {}
};
