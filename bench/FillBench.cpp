// What the rasteriser pays per kind of pixel on the real window: full-screen
// clears and quads of the battle frame's passes, each drawn alone and
// finished, timed in every thread's CPU (the driver's rasteriser threads
// included), so that the fill counts of a frame can be priced.
#include "platform/GLGraphicsDevice.h"
#include "platform/SdlWindow.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <ctime>
#include <vector>

namespace {

constexpr int kScreenW = 1280;
constexpr int kScreenH = 720;
constexpr int kTargetW = 2048;
constexpr int kTargetH = 1024;

double ProcessCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1e6;
}

enum Variant {
    kClearTarget,        // the world's target, whole
    kClearTargetPart,    // the screen's part of it and the passes' margin
    kClearScreen,        // the back buffer
    kQuadOpaqueBlended,  // an opaque picture over the screen, blended
    kQuadOpaqueUnblended,
    kQuadNormal,         // a see-through picture, normal blending
    kQuadPremultiplied,  // the same, premultiplied (two fragment outputs)
    kQuadAdditive,
};

std::vector<ScreenVertex> ScreenQuad(int w, int h, uint32_t colour)
{
    const float r = static_cast<float>(w) - 0.5f, b = static_cast<float>(h) - 0.5f;
    return {{-0.5f, -0.5f, 0, 1, colour, 0, 0}, {r, -0.5f, 0, 1, colour, 1, 0},
            {-0.5f, b, 0, 1, colour, 0, 1}, {r, b, 0, 1, colour, 1, 1}};
}

TextureData Picture(uint8_t alpha)
{
    TextureData d;
    d.width = d.height = 512;
    d.levels.emplace_back(size_t(512) * 512 * 4);
    for (size_t i = 0; i < d.levels[0].size(); i += 4) {
        d.levels[0][i] = uint8_t(i * 7);
        d.levels[0][i + 1] = uint8_t(i * 13);
        d.levels[0][i + 2] = uint8_t(i * 3);
        d.levels[0][i + 3] = alpha;
    }
    return d;
}

// Arguments: the variant. Needs QLM_BENCH_WINDOW=1 (a real window: under
// xvfb-run, or SDL_VIDEODRIVER=offscreen).
void BM_FillPass(benchmark::State& state)
{
    if (!std::getenv("QLM_BENCH_WINDOW")) {
        state.SkipWithError("set QLM_BENCH_WINDOW=1 and run under xvfb-run");
        return;
    }
    WindowSettings s;
    s.title = "fill";
    s.width = kScreenW;
    s.height = kScreenH;
    s.hidden = true;
    std::string error;
    auto window = SdlWindow::Create(s, &error);
    auto device = window ? GLGraphicsDevice::Create(kScreenW, kScreenH, &error) : nullptr;
    if (!device) {
        state.SkipWithError(error.c_str());
        return;
    }
    const auto variant = static_cast<Variant>(state.range(0));
    const TextureHandle target = device->CreateRenderTarget(kTargetW, kTargetH);
    const TextureHandle opaque = device->CreateTexture(Picture(255));
    const TextureHandle seeThrough = device->CreateTexture(Picture(128));
    const auto quad = ScreenQuad(kScreenW, kScreenH, 0xFFFFFFFFu);
    std::vector<uint8_t> px;
    // Alternating clear colours, so that no clear repeats the last one.
    uint32_t colour = 0xFF000000u;
    auto pass = [&] {
        colour ^= 0x00010101u;
        switch (variant) {
        case kClearTarget:
        case kClearTargetPart:
            device->SetRenderTarget(target);
            if (variant == kClearTargetPart)
                device->SetViewport(0, 0, kScreenW + 52, kScreenH + 46);
            device->Clear(colour);
            break;
        case kClearScreen:
            device->SetRenderTarget(0);
            device->Clear(colour);
            break;
        default:
            device->SetRenderTarget(0);
            device->Clear(colour); // keeps what the quad blends over the same
            device->SetTexture(0, variant <= kQuadOpaqueUnblended ? opaque : seeThrough);
            device->SetAlphaBlend(variant != kQuadOpaqueUnblended);
            device->SetBlendMode(variant == kQuadPremultiplied ? BlendMode::Premultiplied
                                 : variant == kQuadAdditive    ? BlendMode::Additive
                                                               : BlendMode::Normal);
            device->DrawQuads(quad.data(), quad.size());
            device->SetAlphaBlend(true);
            break;
        }
        // Reading a pixel back waits for the rasteriser to finish.
        device->ReadPixels(variant <= kClearTargetPart ? target : 0, 0, 0, 1, 1, px);
    };
    for (int i = 0; i < 10; ++i)
        pass();
    const double start = ProcessCpuMs();
    int passes = 0;
    for (auto _ : state) {
        pass();
        ++passes;
    }
    state.counters["all_cpu_ms"] = (ProcessCpuMs() - start) / std::max(passes, 1);
    device.reset(); // before the context goes
}

} // namespace

BENCHMARK(BM_FillPass)
    ->DenseRange(kClearTarget, kQuadAdditive)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0);
