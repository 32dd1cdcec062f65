#pragma once
#include <cstdint>

#include "engine/GRandom.h"

// The battle visuals' own random numbers. Drawing must never read the random
// tables the combat rolls from: what the camera sees would then change the
// battle. Seeded at each battle start so that pictures repeat too.
void SeedVisualRandom(uint64_t seed);

// The generator behind the draws below. Inline, like them: a particle's
// birth makes half a dozen draws, and a call each cost as much as the draw.
[[gnu::always_inline]] inline GRandom& VisualGenerator()
{
    static GRandom generator(0x5EED5EEDu);
    return generator;
}

[[gnu::always_inline]] inline float VisualFloat() // [0, 1)
{
    return VisualGenerator().NextFloat();
}

[[gnu::always_inline]] inline float VisualRange(float a, float b) // a + (b - a) * [0, 1)
{
    return a + (b - a) * VisualFloat();
}

inline bool VisualChance(float p)
{
    return VisualFloat() < p;
}

[[gnu::always_inline]] inline int VisualInt() // 0..32767
{
    return VisualGenerator().Next15();
}

// The cell of a sheet of `count` cells that a value in 0..1 picks; a value of
// exactly 1 (or past it) still picks the last cell, never one past the sheet.
int SheetCell(float value, int count);
