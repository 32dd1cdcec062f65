#pragma once

class GRandom;

// Two tables of pre-drawn floats in 0..1, each with a wrapping cursor. A draw
// is one read, and a run of 1000 draws from one table repeats exactly.
// Table 1 serves RandomFloat, RandomRange and RandomChanceAlt; table 2 serves
// RandomRangeAlt and RandomChance. Main thread only.
constexpr int kRandomTableSize = 1000;

// Refills both tables from the game's generator (entries alternate between
// the tables) and puts both cursors back to the start.
void InitRandomTables();
void InitRandomTables(GRandom& generator);

float RandomFloat();
float RandomRange(float a, float b);
bool RandomChanceAlt(float p);
float RandomRangeAlt(float a, float b);
bool RandomChance(float p);
