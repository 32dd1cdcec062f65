#pragma once
#include "app/GUI_StandInMode.h"

// Stand-in screen until this one is built.
class GUI_LoadingScreen : public GUI_StandInMode {
public:
    static GUI_LoadingScreen& GetInstance()
    {
        static GUI_LoadingScreen instance;
        return instance;
    }
    GUI_LoadingScreen() : GUI_StandInMode("Loading") {}
};
