#include "engine/SinCosTables.h"

#include <cmath>

namespace {
float g_sin[360];
float g_cos[360];
bool g_built = false;
} // namespace

void BuildSinCosTables()
{
    for (int i = 0; i < 360; ++i) {
        double r = i * 0.017453292519943295;
        g_sin[i] = static_cast<float>(std::sin(r));
        g_cos[i] = static_cast<float>(std::cos(r));
    }
    g_built = true;
}

void LookupSinCos(int degrees, float& sine, float& cosine)
{
    // A caller that runs before start-up finished still gets real values.
    if (!g_built)
        BuildSinCosTables();
    int i = degrees % 360;
    if (i < 0)
        i += 360;
    sine = g_sin[i];
    cosine = g_cos[i];
}
