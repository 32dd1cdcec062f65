#pragma once
// The shipped content, loaded once per fuzz process so that mutated designs,
// deployments and scenarios refer to real hulls and modules. Run from the
// repository root.
#include "sim/SIM_ContentFiles.h"

#include <cstdlib>

inline void LoadContentOnce()
{
    static bool loaded = false;
    if (loaded)
        return;
    loaded = true;
    LoadBattleContent();
    // The content stays loaded for every input and goes at exit.
    atexit(FreeBattleContent);
}
