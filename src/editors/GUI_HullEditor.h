#pragma once
#include "app/GUI_StandInMode.h"

// Stand-in screen until this one is built.
class GUI_HullEditor : public GUI_StandInMode {
public:
    static GUI_HullEditor& GetInstance()
    {
        static GUI_HullEditor instance;
        return instance;
    }
    GUI_HullEditor() : GUI_StandInMode("Hull editor") {}
};
