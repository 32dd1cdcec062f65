#pragma once
#include "app/GUI_StandInMode.h"

// Stand-in screen until this one is built.
class GUI_Options : public GUI_StandInMode {
public:
    static GUI_Options& GetInstance()
    {
        static GUI_Options instance;
        return instance;
    }
    GUI_Options() : GUI_StandInMode("Options") {}
};
