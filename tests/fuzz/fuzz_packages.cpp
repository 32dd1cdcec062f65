// A mutated content package file (first byte even) or install file (odd),
// read from the data folder of the working folder as the game does.
#include "FuzzFiles.h"
#include "engine/APP_ContentPackage.h"
#include "engine/APP_InstallList.h"

#include <cstdint>
#include <cstdlib>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    static const bool moved = chdir(FuzzFolder().c_str()) == 0;
    if (!moved)
        abort();
    static const uint8_t kPackage[] = "[config]\nname = base\n";
    if (data[0] % 2) {
        FuzzFile("data/packages/base.pkg", kPackage, sizeof kPackage - 1);
        FuzzFile("data/installs/extra.txt", data + 1, size - 1);
    } else {
        FuzzFile("data/packages/base.pkg", data + 1, size - 1);
        RemoveFuzzFile("data/installs/extra.txt");
    }
    APP_ContentPackage packages;
    packages.Load();
    APP_InstallList installs;
    installs.Load();
    for (const std::string& folder : installs.GetFolders())
        if (folder.empty())
            abort();
    return 0;
}
