#pragma once
#include <cstdint>
#include <string>

// One laid-out run of a text (a word or run) with where and how it is drawn.
class LibTextChunk {
public:
    LibTextChunk() = default;
    LibTextChunk(float x, float y, uint32_t colour) : x(x), y(y), colour(colour) {}
    virtual ~LibTextChunk() = default;

    std::string text;
    float x = 0.0f;
    float y = 0.0f;
    uint32_t colour = 0xFFFFFFFFu;
};
