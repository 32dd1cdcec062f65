#include "battle/VisualRandom.h"

#include "engine/GRandom.h"

namespace {
GRandom& Generator()
{
    static GRandom generator(0x5EED5EEDu);
    return generator;
}
} // namespace

void SeedVisualRandom(uint64_t seed)
{
    Generator().Seed(seed);
}

float VisualFloat()
{
    return Generator().NextFloat();
}

float VisualRange(float a, float b)
{
    return a + (b - a) * VisualFloat();
}

bool VisualChance(float p)
{
    return VisualFloat() < p;
}

int VisualInt()
{
    return Generator().Next15();
}

int SheetCell(float value, int count)
{
    if (count <= 0)
        return 0;
    if (!(value > 0.0f))
        return 0;
    const int cell = static_cast<int>(value * static_cast<float>(count));
    return cell >= count ? count - 1 : cell;
}
