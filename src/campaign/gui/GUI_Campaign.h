#pragma once
#include "app/GUI_StandInMode.h"

// Stand-in screen until this one is built.
class GUI_Campaign : public GUI_StandInMode {
public:
    static GUI_Campaign& GetInstance()
    {
        static GUI_Campaign instance;
        return instance;
    }
    GUI_Campaign() : GUI_StandInMode("Campaign") {}
};
