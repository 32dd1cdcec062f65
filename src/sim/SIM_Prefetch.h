#pragma once
#include <cstddef>
#include <cstdint>

// A hint that a walk will soon read the object at p: the load that follows
// the pointer then finds it in the cache instead of waiting on memory. Any
// address, null included, is allowed; nothing is read.
inline void PrefetchObject(const void* p)
{
    __builtin_prefetch(p);
}

// The same for every cache line of its first `bytes`.
inline void PrefetchObject(const void* p, size_t bytes)
{
    constexpr uintptr_t kLine = 64;
    const uintptr_t start = reinterpret_cast<uintptr_t>(p);
    for (uintptr_t line = start & ~(kLine - 1); line < start + bytes; line += kLine)
        __builtin_prefetch(reinterpret_cast<const void*>(line));
}
