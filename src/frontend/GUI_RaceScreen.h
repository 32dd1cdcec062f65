#pragma once
#include "app/GUI_StandInMode.h"

// Stand-in screen until this one is built.
class GUI_RaceScreen : public GUI_StandInMode {
public:
    static GUI_RaceScreen& GetInstance()
    {
        static GUI_RaceScreen instance;
        return instance;
    }
    GUI_RaceScreen() : GUI_StandInMode("Choose race") {}
};
