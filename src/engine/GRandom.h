#pragma once
#include <cstdint>

// The game's own seeded generator. Every random pick of the game comes from
// here (never from the C library's rand(), whose sequence differs between C
// libraries), so a seed and the same frame times replay a battle exactly.
class GRandom {
public:
    explicit GRandom(uint64_t seed = 1) { Seed(seed); }
    void Seed(uint64_t seed);
    // xorshift64*; inline, as particle births draw several a piece.
    uint32_t NextU32()
    {
        Advance();
        return static_cast<uint32_t>((m_state * 0x2545F4914F6CDD1Dull) >> 32);
    }
    // Moves on as n draws would, without making them.
    void Discard(unsigned n)
    {
        for (unsigned i = 0; i < n; ++i)
            Advance();
    }
    // 0..32767, the range the game's formulas were written for.
    int Next15() { return static_cast<int>(NextU32() >> 17); }
    // [0, 1)
    float NextFloat() { return static_cast<float>(NextU32() >> 8) * (1.0f / 16777216.0f); }

private:
    void Advance()
    {
        m_state ^= m_state >> 12;
        m_state ^= m_state << 25;
        m_state ^= m_state >> 27;
    }

    uint64_t m_state = 0;
};

// The process-wide generator that stands in for srand()/rand().
GRandom& GlobalRandom();
void QlmSrand(uint64_t seed);
int QlmRand(); // 0..32767
