// Mutated install.ini (the recorded install folder) or server.ini (the
// server's address and timeouts); the first byte picks. The install folder
// read back holds no line break, and a server set up has a usable address.
#include "FuzzFiles.h"

#include "engine/GHttpClient.h"
#include "engine/GSystem.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    static const bool once = [] {
        setenv("XDG_CONFIG_HOME", FuzzFolder().c_str(), 1);
        unsetenv("QLM_SERVER_URL");
        return true;
    }();
    (void)once;
    if (data[0] % 2) {
        FuzzFile("Quillomar/install.ini", data + 1, size - 1);
        if (LoadInstallPath().find('\n') != std::string::npos)
            abort();
    } else {
        GHttpClient client;
        if (client.LoadConfig(FuzzFile("server.ini", data + 1, size - 1)) &&
            (!client.IsOnline() || client.GetServerUrl().empty()))
            abort();
    }
    return 0;
}
