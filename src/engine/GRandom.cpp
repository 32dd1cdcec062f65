#include "engine/GRandom.h"

void GRandom::Seed(uint64_t seed)
{
    // splitmix64 spreads small seeds over the whole state
    uint64_t z = seed + 0x9E3779B97F4A7C15ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    m_state = z ^ (z >> 31);
    if (m_state == 0)
        m_state = 0x853C49E6748FEA9Bull;
}

GRandom& GlobalRandom()
{
    static GRandom instance(1);
    return instance;
}

void QlmSrand(uint64_t seed)
{
    GlobalRandom().Seed(seed);
}

int QlmRand()
{
    return GlobalRandom().Next15();
}
