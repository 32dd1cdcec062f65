// The particle system: advancing and building the vertices of 50 000 live
// particles, and the warm-up of the explosion groups with its memory.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "battle/Explosions.h"
#include "battle/GUI_ExplosionConfig.h"
#include "battle/GUI_Map.h"
#include "battle/GUI_ParticleConfig.h"
#include "battle/GUI_ParticleEmmiter.h"
#include "battle/GUI_ParticleEmmiterGroup.h"
#include "engine/D3DEngine.h"
#include "engine/QuadRunBatch.h"
#include "platform/HeadlessGraphicsDevice.h"

namespace {

constexpr int kParticles = 50000;

// Particles that live for the whole run, spread over the screen.
GUI_ParticleConfig& BenchConfig()
{
    static GUI_ParticleConfig* config = [] {
        LoadParticleConfigs(); // the first lookup would load (and replace) the list
        auto* c = new GUI_ParticleConfig();
        c->ReadText("Name = bench_particles\nType = BURN\nInitialParticles = 256\nMinSize = 3\nMaxSize = 6\n"
                    "MinXVelocity = -0.2\nMaxXVelocity = 0.2\nMinYVelocity = -0.2\nMaxYVelocity = 0.2\n"
                    "XScatter = 400\nYScatter = 300\nMinSpinSpeed = -2\nMaxSpinSpeed = 2\nLifetime = -1\n");
        return c;
    }();
    return *config;
}

std::vector<std::unique_ptr<GUI_ParticleEmmiter>> MakeEmitters()
{
    BenchConfig();
    std::vector<std::unique_ptr<GUI_ParticleEmmiter>> emitters;
    int live = 0;
    while (live < kParticles && BenchConfig().InitialParticles > 0) {
        emitters.push_back(std::make_unique<GUI_ParticleEmmiter>("bench_particles", 512.0f, 384.0f, 0.0f, 0.0f));
        live += emitters.back()->GetLiveCount();
    }
    return emitters;
}

// Advance only: what an off-screen group costs.
void BM_ParticlesAdvance(benchmark::State& state)
{
    auto emitters = MakeEmitters();
    for (auto _ : state) {
        for (auto& e : emitters)
            e->Advance(6.67f, 0.0f, false); // no step: every particle stays alive
    }
    state.SetItemsProcessed(state.iterations() * kParticles);
}
BENCHMARK(BM_ParticlesAdvance)->Unit(benchmark::kMillisecond);

// Advance, turn into screen quads and hand them to the batch, one flush per
// emitter, into the recording device.
void BM_ParticlesAdvanceAndVertices(benchmark::State& state)
{
    D3DEngine& engine = D3DEngine::GetInstance();
    engine.Init(std::make_unique<HeadlessGraphicsDevice>(1024, 768));
    GUI_Map::GetInstance().SetScreenSize(1024, 768);
    auto emitters = MakeEmitters();
    for (auto _ : state) {
        for (auto& e : emitters)
            e->Advance(6.67f, 0.0f, true);
    }
    state.SetItemsProcessed(state.iterations() * kParticles);
    state.counters["emitters"] = static_cast<double>(emitters.size());
    emitters.clear();
    GUI_Map::GetInstance().SetScreenSize(0, 0);
    engine.Release();
}
BENCHMARK(BM_ParticlesAdvanceAndVertices)->Unit(benchmark::kMillisecond);

// The first battle's warm-up: 216 explosion groups from the shipped configs.
void BM_ExplosionPrewarm(benchmark::State& state)
{
    const std::filesystem::path cwd = std::filesystem::current_path();
    std::filesystem::current_path(QLM_GAME_DIR);
    LoadParticleConfigs();
    LoadExplosionConfigs();
    int groups = 0;
    for (auto _ : state) {
        groups = PrewarmExplosionGroups();
        state.PauseTiming();
        DeleteAllEmmiterGroups();
        state.ResumeTiming();
    }
    state.counters["groups"] = groups;
    // Every group holds its emitters whole: the memory the warm-up keeps.
    PrewarmExplosionGroups();
    size_t emitters = 0;
    const size_t bytes = EmmiterGroupMemoryBytes(&emitters);
    state.counters["MiB"] = static_cast<double>(bytes) / (1024.0 * 1024.0);
    state.counters["bytes_per_emitter"] = emitters ? static_cast<double>(bytes) / static_cast<double>(emitters) : 0.0;
    DeleteAllEmmiterGroups();
    ClearExplosionConfigs();
    ClearParticleConfigs();
    std::filesystem::current_path(cwd);
}
BENCHMARK(BM_ExplosionPrewarm)->Unit(benchmark::kMillisecond);

} // namespace
