#pragma once

// glibc keeps the pages of freed heap memory for later allocations, so a
// battle's climax (hundreds of explosions at once) would hold the process's
// memory at its high-water mark for the rest of the session.
namespace HeapTrim {
// Blocks of 128 KB and more get pages of their own, given back when freed.
// glibc's default raises that threshold to the largest block freed so far
// (up to 32 MB), after which the driver's megabyte buffers are carved from
// the heap and leave it full of holes. Call once, early in main.
void HoldMmapThreshold();

// Hands the pages of freed heap memory back to the system. It walks the
// whole heap (a few milliseconds): call it at rest points, not per frame.
void ReturnFreedMemory();
} // namespace HeapTrim
