#pragma once

// Whole-degree sine and cosine tables, built once at start-up. Lookups take
// any integer angle (negative or past 360) and wrap it.
void BuildSinCosTables();
void LookupSinCos(int degrees, float& sine, float& cosine);
