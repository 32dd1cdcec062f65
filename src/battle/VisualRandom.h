#pragma once
#include <cstdint>

// The battle visuals' own random numbers. Drawing must never read the random
// tables the combat rolls from: what the camera sees would then change the
// battle. Seeded at each battle start so that pictures repeat too.
void SeedVisualRandom(uint64_t seed);
float VisualFloat();                  // [0, 1)
float VisualRange(float a, float b);  // a + (b - a) * [0, 1)
bool VisualChance(float p);
int VisualInt();                      // 0..32767

// The cell of a sheet of `count` cells that a value in 0..1 picks; a value of
// exactly 1 (or past it) still picks the last cell, never one past the sheet.
int SheetCell(float value, int count);
