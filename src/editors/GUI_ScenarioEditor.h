#pragma once
#include "app/GUI_StandInMode.h"

// Stand-in screen until this one is built.
class GUI_ScenarioEditor : public GUI_StandInMode {
public:
    static GUI_ScenarioEditor& GetInstance()
    {
        static GUI_ScenarioEditor instance;
        return instance;
    }
    GUI_ScenarioEditor() : GUI_StandInMode("Scenario editor") {}
};
