#pragma once
#include "app/GUI_StandInMode.h"

// Stand-in screen until this one is built.
class GUI_BattleGUI : public GUI_StandInMode {
public:
    static GUI_BattleGUI& GetInstance()
    {
        static GUI_BattleGUI instance;
        return instance;
    }
    GUI_BattleGUI() : GUI_StandInMode("Battle") {}
};
