// The allocator settings that keep a long battle's memory near its first
// minute's: big blocks on pages of their own, freed pages given back.
#include "platform/HeapTrim.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kOwnAllocator = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kOwnAllocator = true;
#else
constexpr bool kOwnAllocator = false;
#endif
#else
constexpr bool kOwnAllocator = false;
#endif

long ResidentKb()
{
    FILE* f = std::fopen("/proc/self/status", "r");
    if (!f)
        return -1;
    char line[256];
    long kb = -1;
    while (std::fgets(line, sizeof line, f))
        if (std::sscanf(line, "VmRSS: %ld kB", &kb) == 1)
            break;
    std::fclose(f);
    return kb;
}

#if defined(__GLIBC__)
// The allocator's settings are the process's own: each test sets them as the
// game does, once they mean anything.
class HeapTrimSettings : public testing::Test {
protected:
    void SetUp() override
    {
        if (kOwnAllocator)
            GTEST_SKIP() << "the sanitizer's allocator ignores glibc's settings";
        HeapTrim::HoldThresholds();
    }
};

TEST_F(HeapTrimSettings, BigBlocksKeepPagesOfTheirOwnAndFreedPagesGoBack)
{
    // Freeing a 4 MB mapped block would raise glibc's own threshold past
    // 512 KB; held at 128 KB, the next 512 KB block is still mapped.
    void* big = std::malloc(4 << 20);
    ASSERT_NE(big, nullptr);
    std::free(big);
    const size_t mappedBefore = mallinfo2().hblkhd;
    void* half = std::malloc(512 << 10);
    ASSERT_NE(half, nullptr);
    EXPECT_GE(mallinfo2().hblkhd, mappedBefore + (512 << 10));
    std::free(half);
    void* small = std::malloc((128 << 10) - 4096);
    EXPECT_EQ(mallinfo2().hblkhd, mappedBefore) << "under the threshold: from the heap";
    std::free(small);

    // 48 MB in 4 KB blocks, written so their pages are resident; all but
    // the last freed, which pins the heap's top so that only a trim inside
    // the heap gives the pages back.
    std::vector<char*> blocks;
    for (int i = 0; i < 48 * 256; ++i) {
        blocks.push_back(static_cast<char*>(std::malloc(4000)));
        for (int b = 0; b < 4000; b += 512)
            blocks.back()[b] = 1;
    }
    for (size_t i = 0; i + 1 < blocks.size(); ++i)
        std::free(blocks[i]);
    const long before = ResidentKb();
    HeapTrim::ReturnFreedMemory();
    const long after = ResidentKb();
    std::free(blocks.back());
    ASSERT_GT(before, 0);
    EXPECT_GT(before - after, 32 * 1024) << before << " kB before the trim, " << after << " after";
}

// Frees at the heap's top give it back only past the trim threshold, so a
// frame's buffers freed at its end are not paged in afresh at the next.
TEST_F(HeapTrimSettings, TheHeapsTopIsKeptUpToTheTrimThreshold)
{
    // Blocks carved from the top, freed last first so that each joins it
    // (the list is made first, so that it lies below them).
    auto growAndFree = [](size_t bytes) {
        std::vector<void*> blocks;
        blocks.reserve(bytes / 4000 + 1);
        for (size_t total = 0; total < bytes; total += 4000)
            blocks.push_back(std::malloc(4000));
        for (auto it = blocks.rbegin(); it != blocks.rend(); ++it)
            std::free(*it);
        return mallinfo2().keepcost; // the top's size, all of it free
    };
    constexpr size_t kMb = 1 << 20;
    const size_t threshold = static_cast<size_t>(HeapTrim::kTrimThresholdBytes);
    EXPECT_EQ(threshold, 16 * kMb);
    EXPECT_GE(growAndFree(threshold - 2 * kMb), threshold - 3 * kMb) << "kept under the threshold";
    EXPECT_LT(growAndFree(threshold + 2 * kMb), threshold / 2) << "given back past it";
}
#endif

} // namespace
