#pragma once
#include "app/GUI_StandInMode.h"

// Stand-in screen until this one is built.
class GUI_OnlineMessagesScreen : public GUI_StandInMode {
public:
    static GUI_OnlineMessagesScreen& GetInstance()
    {
        static GUI_OnlineMessagesScreen instance;
        return instance;
    }
    GUI_OnlineMessagesScreen() : GUI_StandInMode("Messages") {}
};
