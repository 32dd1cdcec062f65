#pragma once
// Drawing helpers shared by the picture generators: a linear-light canvas,
// value noise, nebulae and star fields.
#include "engine/GRandom.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace art {

struct Canvas {
    int w, h;
    std::vector<float> rgb; // linear 0..1

    Canvas(int width, int height) : w(width), h(height), rgb(static_cast<size_t>(width) * height * 3, 0.0f) {}

    void Add(int x, int y, float r, float g, float b)
    {
        if (x < 0 || y < 0 || x >= w || y >= h)
            return;
        float* p = &rgb[(static_cast<size_t>(y) * w + x) * 3];
        p[0] += r;
        p[1] += g;
        p[2] += b;
    }
};

float Hash(int x, int y, uint32_t seed);
// Smooth value noise and its five-octave sum, about 0..1.
float Noise(float x, float y, uint32_t seed);
float Fbm(float x, float y, uint32_t seed);

void Nebula(Canvas& c, float cx, float cy, float radius, float r, float g, float b, uint32_t seed);
void Stars(Canvas& c, GRandom& rnd, int count);
// Opaque BGRA with a soft exposure curve, so bright parts never clip hard.
std::vector<uint8_t> ToneMapBGRA(const Canvas& c);

} // namespace art
