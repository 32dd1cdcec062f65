#include "platform/HeapTrim.h"

#include <cstdlib> // defines __GLIBC__ on glibc

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace HeapTrim {
namespace {
constexpr int kMmapThresholdBytes = 128 * 1024;
} // namespace

void HoldMmapThreshold()
{
#if defined(__GLIBC__)
    mallopt(M_MMAP_THRESHOLD, kMmapThresholdBytes);
#endif
}

void ReturnFreedMemory()
{
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}
} // namespace HeapTrim
