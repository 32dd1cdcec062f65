#pragma once
#include "app/GUI_StandInMode.h"

// Stand-in screen until this one is built.
class GUI_LoginScreen : public GUI_StandInMode {
public:
    static GUI_LoginScreen& GetInstance()
    {
        static GUI_LoginScreen instance;
        return instance;
    }
    GUI_LoginScreen() : GUI_StandInMode("Online") {}
};
