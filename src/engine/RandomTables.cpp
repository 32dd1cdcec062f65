#include "engine/RandomTables.h"

#include "engine/GRandom.h"

namespace {
struct RandomTable {
    float values[kRandomTableSize] = {};
    int cursor = 0;

    float Draw()
    {
        float v = values[cursor];
        if (++cursor >= kRandomTableSize)
            cursor = 0;
        return v;
    }
};

RandomTable g_table1;
RandomTable g_table2;

constexpr float kInv32768 = 3.0517578125e-5f;
} // namespace

void InitRandomTables(GRandom& generator)
{
    for (int i = 0; i < kRandomTableSize; ++i) {
        g_table1.values[i] = static_cast<float>(generator.Next15()) * kInv32768;
        g_table2.values[i] = static_cast<float>(generator.Next15()) * kInv32768;
    }
    g_table1.cursor = 0;
    g_table2.cursor = 0;
}

void InitRandomTables()
{
    InitRandomTables(GlobalRandom());
}

float RandomFloat()
{
    return g_table1.Draw();
}

float RandomRange(float a, float b)
{
    return a + (b - a) * g_table1.Draw();
}

bool RandomChanceAlt(float p)
{
    return g_table1.Draw() < p;
}

float RandomRangeAlt(float a, float b)
{
    return a + (b - a) * g_table2.Draw();
}

bool RandomChance(float p)
{
    return g_table2.Draw() < p;
}
