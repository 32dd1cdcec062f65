// Linked into every program of the sanitizer and fuzz builds.
#include "LsanSuppressions.h"

// LeakSanitizer reads its suppressions from here first; LSAN_OPTIONS may add
// more. Only leaks inside named third-party libraries are listed.
extern "C" const char* __lsan_default_suppressions()
{
    return kLsanSuppressions;
}

// glibc 2.36 takes the thread-local blocks of libraries opened at run time
// from malloc. The sanitizer's own tracking of those blocks (through
// __tls_get_addr) reads such a block as glibc's older layout and hands the
// leak check a range of garbage to scan: the check crashed in about half the
// runs that use Mesa's GLX driver. Untracked, the blocks are found as any
// heap block is, through the thread's list of them.
extern "C" const char* __asan_default_options()
{
    return "intercept_tls_get_addr=0";
}

#ifdef QLM_KEEP_LIBRARIES_LOADED
// SDL and the GL driver unload the libraries they opened (the driver, the
// window system's) at shut-down, before the leak check runs at exit. What
// those libraries still held from their globals then looks leaked, and from
// an unknown module that no suppression can name. Kept loaded, their globals
// are still there for the leak check to see, and a true leak in them still
// shows, with the library's name. Only in the sanitizer build; the library
// stays as loaded as a program's own libraries are until exit.
extern "C" int dlclose(void*)
{
    return 0;
}
#endif
