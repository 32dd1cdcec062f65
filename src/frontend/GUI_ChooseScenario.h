#pragma once
#include "app/GUI_StandInMode.h"

// Stand-in screen until this one is built.
class GUI_ChooseScenario : public GUI_StandInMode {
public:
    static GUI_ChooseScenario& GetInstance()
    {
        static GUI_ChooseScenario instance;
        return instance;
    }
    GUI_ChooseScenario() : GUI_StandInMode("Choose scenario") {}
};
