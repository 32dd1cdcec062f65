#include "AllocationCounter.h"

#include <execinfo.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>

namespace {
std::atomic<uint64_t> g_allocations{0};

std::atomic<bool> g_tracing{false};
thread_local bool t_inTrace = false;

void* Allocate(std::size_t size)
{
    const uint64_t n = g_allocations.fetch_add(1, std::memory_order_relaxed);
    if (g_tracing.load(std::memory_order_relaxed) && !t_inTrace && n % 97 == 0) {
        t_inTrace = true;
        void* frames[12];
        const int depth = backtrace(frames, 12);
        backtrace_symbols_fd(frames, depth, 2);
        std::fputs("--\n", stderr);
        t_inTrace = false;
    }
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
} // namespace

void TraceAllocations(bool on)
{
    g_tracing = on;
}

uint64_t CountAllocations()
{
    return g_allocations.load(std::memory_order_relaxed);
}

void* operator new(std::size_t size)
{
    return Allocate(size);
}

void* operator new[](std::size_t size)
{
    return Allocate(size);
}

void operator delete(void* p) noexcept
{
    std::free(p);
}

void operator delete[](void* p) noexcept
{
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}

void operator delete[](void* p, std::size_t) noexcept
{
    std::free(p);
}

// The nothrow forms too: otherwise a sanitizer's own nothrow new would be
// released through our free.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    return std::malloc(size ? size : 1);
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    return std::malloc(size ? size : 1);
}

void operator delete(void* p, const std::nothrow_t&) noexcept
{
    std::free(p);
}

void operator delete[](void* p, const std::nothrow_t&) noexcept
{
    std::free(p);
}
