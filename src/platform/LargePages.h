#pragma once

// A battle frame walks tens of thousands of small heap objects (ships,
// modules, visuals, particles). On 4 KB pages their address translations
// miss about as often as their cache lines do, and under a hypervisor each
// such miss is a two-level page walk. glibc's allocator backs its heap with
// transparent huge pages only when its tunable asks for them, and it reads
// tunables once, at start: so the program starts itself again, once, with
// the tunable set.
namespace LargePages {
// Replaces this process with itself (same argv and environment, plus the
// tunable). Returns, changing nothing, when the tunable is already set, when
// QLM_LARGE_PAGES is set (the restart sets it; set it to 0 to opt out),
// under valgrind (which would lose sight of the program), or when the exec
// fails.
void RestartWithLargePages(char** argv);

// True when a GLIBC_TUNABLES value (or null) already chooses huge pages.
bool AlreadyAsked(const char* tunables);
} // namespace LargePages
