#pragma once
#include "app/GUI_StandInMode.h"

// Stand-in screen until this one is built.
class GUI_DeploymentGUI : public GUI_StandInMode {
public:
    static GUI_DeploymentGUI& GetInstance()
    {
        static GUI_DeploymentGUI instance;
        return instance;
    }
    GUI_DeploymentGUI() : GUI_StandInMode("Deployment") {}
};
