#include "battle/VisualRandom.h"

void SeedVisualRandom(uint64_t seed)
{
    VisualGenerator().Seed(seed);
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
