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

// The same for every cache line of its first `bytes` (at least one): a
// request every 64 bytes and one for the last byte, so that a constant size
// unrolls into a few plain instructions wherever the object starts.
inline void PrefetchObject(const void* p, size_t bytes)
{
    const uintptr_t start = reinterpret_cast<uintptr_t>(p);
    for (size_t offset = 0; offset < bytes; offset += 64)
        __builtin_prefetch(reinterpret_cast<const void*>(start + offset));
    __builtin_prefetch(reinterpret_cast<const void*>(start + bytes - 1));
}
