// Entry point: finds the install folder, makes the user folder and starts the game.
#include "app/APP_UserFolders.h"
#include "engine/GDebugLog.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {
void PrintUsage()
{
    printf("Usage: quillomar [--user-dir DIR] [--data-dir DIR] [--frames N] [-editor]\n");
}
} // namespace

int main(int argc, char** argv)
{
    std::string userDir, dataDir;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--user-dir" && i + 1 < argc)
            userDir = argv[++i];
        else if (a == "--data-dir" && i + 1 < argc)
            dataDir = argv[++i];
        else if (a == "--frames" && i + 1 < argc)
            ++i;
        else if (a == "--help" || a == "-h") {
            PrintUsage();
            return 0;
        }
    }

    std::string install = APP_UserFolders::ResolveInstallFolder(dataDir, argv[0]);
    if (install.empty() || chdir(install.c_str()) != 0) {
        fprintf(stderr, "Quillomar cannot find its data folder. Run it from its build folder or give --data-dir.\n");
        return 1;
    }
    std::string user = APP_UserFolders::ResolveUserFolder(userDir);
    if (!APP_UserFolders::GetInstance().Create(user)) {
        fprintf(stderr, "Quillomar cannot create its user folder %s\n", user.c_str());
        return 1;
    }
    GDebugLog::GetInstance().Open(user);
    GDebugLog::GetInstance().Write("QLM Debug File. App version Demo 1.45");
    printf("Quillomar: data from %s, player files in %s\n", install.c_str(), user.c_str());
    printf("The game window is not built yet: start-up stopped after the user folder and the logs.\n");
    GDebugLog::GetInstance().Close();
    return 0;
}
