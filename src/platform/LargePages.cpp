#include "platform/LargePages.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

#if __has_include(<valgrind/valgrind.h>)
#include <valgrind/valgrind.h>
#endif

namespace LargePages {
namespace {
// Set before the restart: a program that is restarted does not try again,
// whatever the exec made of the tunable.
const char* const kMarker = "QLM_LARGE_PAGES";
const char* const kTunable = "glibc.malloc.hugetlb=1";

bool UnderValgrind()
{
#if defined(RUNNING_ON_VALGRIND)
    if (RUNNING_ON_VALGRIND)
        return true;
#endif
    const char* preload = getenv("LD_PRELOAD");
    return preload && strstr(preload, "vgpreload") != nullptr;
}
} // namespace

bool AlreadyAsked(const char* tunables)
{
    return tunables && strstr(tunables, "glibc.malloc.hugetlb=") != nullptr;
}

void RestartWithLargePages(char** argv)
{
    if (!argv || !argv[0] || getenv(kMarker) || UnderValgrind())
        return;
    const char* tunables = getenv("GLIBC_TUNABLES");
    if (AlreadyAsked(tunables))
        return;
    std::string value = tunables && *tunables ? std::string(tunables) + ":" + kTunable : std::string(kTunable);
    if (setenv(kMarker, "1", 1) != 0 || setenv("GLIBC_TUNABLES", value.c_str(), 1) != 0)
        return;
    execv("/proc/self/exe", argv);
    // No restart: run on as we are, without the tunable the exec would have had.
    if (tunables)
        setenv("GLIBC_TUNABLES", tunables, 1);
    else
        unsetenv("GLIBC_TUNABLES");
}
} // namespace LargePages
