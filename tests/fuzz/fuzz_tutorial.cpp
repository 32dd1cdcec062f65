// A mutated lesson table (tutorial.csv and the others of data/tutorials) or
// tutorial_seen.ini, the other being the shipped one; the first byte picks.
// Every lesson ends either pending or shown, never both. Run from the
// repository root.
#include "FuzzFiles.h"

#include "gui/GUI_Tutorial.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    GUI_Tutorial& tutorial = GUI_Tutorial::GetInstance();
    tutorial.Clear();
    if (data[0] % 2) {
        tutorial.LoadDefinitionFile("data/tutorial.csv");
        tutorial.LoadSeenList(FuzzFile("tutorial_seen.ini", data + 1, size - 1));
    } else {
        tutorial.LoadDefinitionFile(FuzzFile("tutorial.csv", data + 1, size - 1));
        tutorial.LoadSeenList(FuzzFile("seen.ini", reinterpret_cast<const uint8_t*>("[seen]\nintro = 1\n"), 17));
    }
    for (const char* name : {"intro", "deploy", ""})
        if (tutorial.FindPending(name) && tutorial.HasBeenShown(name) && tutorial.FindPending(name)->shown)
            abort();
    tutorial.Clear();
    return 0;
}
