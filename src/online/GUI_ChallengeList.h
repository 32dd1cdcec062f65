#pragma once
#include "app/GUI_StandInMode.h"

// Stand-in screen until this one is built.
class GUI_ChallengeList : public GUI_StandInMode {
public:
    static GUI_ChallengeList& GetInstance()
    {
        static GUI_ChallengeList instance;
        return instance;
    }
    GUI_ChallengeList() : GUI_StandInMode("Challenges") {}
};
