#pragma once

// glibc keeps the pages of freed heap memory for later allocations, so a
// battle's climax (hundreds of explosions at once) would hold the process's
// memory at its high-water mark for the rest of the session.
namespace HeapTrim {
// Blocks of 128 KB and more get pages of their own, given back when freed.
// glibc's default raises that threshold to the largest block freed so far
// (up to 32 MB), after which the driver's megabyte buffers are carved from
// the heap and leave it full of holes.
// The heap's top is given back by free() only past kTrimThresholdBytes:
// at glibc's default of 128 KB the driver's per-frame buffers (4 to 8 MB
// at 2 x 500, in blocks under 128 KB) shrank the heap at every frame's end
// and grew it again at the next, each time zeroing fresh 2 MB pages.
// ReturnFreedMemory gives the rest back at rest points. Call once, early
// in main.
void HoldThresholds();
constexpr int kMmapThresholdBytes = 128 * 1024;
constexpr int kTrimThresholdBytes = 16 * 1024 * 1024;

// Hands the pages of freed heap memory back to the system. It walks the
// whole heap (a few milliseconds): call it at rest points, not per frame.
void ReturnFreedMemory();
} // namespace HeapTrim
