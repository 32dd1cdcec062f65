#pragma once
#include <cstdint>

// Heap allocations made through operator new since the program started
// (all threads), so that a benchmark can count those of its frames.
uint64_t CountAllocations();
// Samples allocation call stacks onto stderr (development only).
void TraceAllocations(bool on);
