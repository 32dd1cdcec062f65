// A mutated prefs.ini through the readers of the window and sound settings.
#include "FuzzFiles.h"
#include "app/GUI_Sounds.h"
#include "engine/GIniFile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string path = FuzzFile("prefs.ini", data, size);
    GIniFile prefs;
    prefs.Load("prefs", path.c_str());
    prefs.GetInt("width");
    prefs.GetInt("height");
    prefs.GetInt("windowed");
    if (GUI_Sounds::ReadChannelCount(path) <= 0)
        abort();
    return 0;
}
