#pragma once
#include "app/GUI_StandInMode.h"

// Stand-in screen until this one is built.
class GUI_UnlockShop : public GUI_StandInMode {
public:
    static GUI_UnlockShop& GetInstance()
    {
        static GUI_UnlockShop instance;
        return instance;
    }
    GUI_UnlockShop() : GUI_StandInMode("Unlock shop") {}
};
