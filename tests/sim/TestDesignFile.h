#pragma once
// A design written below a test world's folder (ships/<name>.txt) and loaded:
// one module a slot in order, "" leaving a slot empty.
#include "support/TempDir.h"

#include "sim/SIM_ShipDesign.h"

#include <initializer_list>
#include <string>

inline void WriteTestDesign(const TempDir& dir, const std::string& name, const std::string& hull,
                            std::initializer_list<const char*> modules, const std::string& guiName = "")
{
    std::string text = "[config]\nname = " + name + "\nguiname = " + (guiName.empty() ? name : guiName) +
                       "\nhull = " + hull + "\n[modules]\n";
    int slot = 0;
    for (const char* module : modules)
        text += std::to_string(slot++) + " = " + module + "\n";
    SIM_ShipDesign::LoadFile(dir.Write("ships/" + name + ".txt", text), true);
}
