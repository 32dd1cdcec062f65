// Battles of 2 x N ships of mixed classes stepped through the game's own
// frame (Game::Frame: input, sound, the battle screen's update and render
// with the world step and every ship's per-frame update inside its draw, the
// interface, the present). Without QLM_BENCH_WINDOW the frame draws into the
// recording device, so the figures are the CPU the game spends besides the
// driver; with QLM_BENCH_WINDOW=1 it opens the real window and OpenGL device
// (under xvfb-run) and holds every frame as the game does.
#include <benchmark/benchmark.h>

#include <malloc.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#define QLM_START_INSTRUMENTATION() CALLGRIND_START_INSTRUMENTATION
#define QLM_STOP_INSTRUMENTATION() CALLGRIND_STOP_INSTRUMENTATION
#else
#define QLM_START_INSTRUMENTATION() ((void)0)
#define QLM_STOP_INSTRUMENTATION() ((void)0)
#endif

#include "AllocationCounter.h"
#include "app/Game.h"
#include "battle/GUI_BattleGUI.h"
#include "battle/GUI_DebrisPool.h"
#include "battle/GUI_Hulk.h"
#include "battle/GUI_Map.h"
#include "battle/GUI_ParticleEmmiter.h"
#include "battle/GUI_ParticleEmmiterGroup.h"
#include "battle/GUI_Ship.h"
#include "battle/GUI_SmokeSprite.h"
#include "engine/D3DEngine.h"
#include "engine/FramePacer.h"
#include "engine/GSafeFile.h"
#include "engine/GRandom.h"
#include "engine/VisibleBoxes.h"
#include "platform/HeadlessGraphicsDevice.h"
#include "platform/HeapTrim.h"
#include "platform/IClock.h"
#include "sim/SIM_Battle.h"
#include "gui/GUI_Tutorial.h"
#include "sim/SIM_DeployedFleet.h"
#include "sim/SIM_DeployedShip.h"
#include "sim/SIM_Options.h"
#include "sim/SIM_Scenario.h"
#include "sim/SIM_StatsDatabase.h"
#include "sim/SIM_Ship.h"
#include "sim/SIM_ShipGrid.h"
#include "sim/ShipUpdateScheduler.h"
#include "sim/modules/SIM_BulletWeaponModule.h"
#include "sim/modules/SIM_KineticWeapon.h"
#include "sim/modules/SIM_LightningGunModule.h"
#include "sim/modules/SIM_Missile.h"
#include "sim/modules/SIM_PlasmaLauncherModule.h"
#include "sim/modules/SIM_TractorModule.h"

namespace {

constexpr float kFrameMs = 16.67f;     // one frame at speed 1: 6.67 ms of battle time
constexpr float kWarmUpFrameMs = 36.0f; // the longest frame the battle clock takes
constexpr float kWarmUpMs = 30000.0f;   // battle time for the fleets to meet and fight
constexpr int kBattleMode = 0;
constexpr int kMainMenuMode = 15;

// Every AI design of our content, so every module class fights: cruisers
// with beams, guns, missiles, lightning, plasma, ECM shocks and beams, limpets,
// tractors, smart bombs, carriers and support beams; frigates (one cloaked)
// with kinetics, painters, point defence and repair; fighters with guns and
// missiles.
using Designs = std::vector<const char*>;
const Designs kPlayerDesigns = {"fed_ai_battlecruiser", "fed_ai_gunboat",      "fed_ai_interceptor",
                                "fed_ai_escort",        "fed_ai_raider",       "fed_ai_missilecruiser",
                                "fed_ai_striker",       "fed_ai_bomber",       "fed_ai_siegecruiser",
                                "fed_ai_carrier"};
const Designs kEnemyDesigns = {"kor_ai_battlecruiser", "kor_ai_gunboat",      "kor_ai_interceptor",
                               "kor_ai_escort",        "kor_ai_raider",       "kor_ai_missilecruiser",
                               "kor_ai_striker",       "kor_ai_bomber",       "kor_ai_siegecruiser",
                               "kor_ai_carrier"};

double ThreadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1e6;
}

// Every thread's CPU: with the driver's rasteriser threads, the frame's whole
// cost, which holds far steadier than wall time on a shared machine.
double ProcessCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1e6;
}

// Two fleets of n ships in ranks on either side of the largest map, written
// as deployment files so that starting a battle reads them as the game does.
std::string FleetFile(const std::string& folder, const Designs& designs, int n, float x0, float dir)
{
    constexpr int kRows = 25;
    std::string text = "[config]\nfleetname = bench\n";
    for (int i = 0; i < n; ++i) {
        char block[256];
        snprintf(block, sizeof block, "[ship%d]\nshipid = %d\nname = %s %d\ndesign = %s\npos = %g,%g\nquantity = 1\nangle = %g\n",
                 i, i + 1, designs[i % designs.size()], i + 1, designs[i % designs.size()], x0 + dir * 24.0f * static_cast<float>(i / kRows),
                 120.0f + 78.0f * static_cast<float>(i % kRows), dir > 0.0f ? 90.0f : 270.0f);
        text += block;
    }
    const std::string file = folder + "/" + (dir > 0.0f ? "player" : "enemy") + std::to_string(n) + ".txt";
    WriteFileAtomically(file, text);
    return file;
}

class BenchGame {
public:
    BenchGame()
    {
        std::error_code ec;
        m_user = (std::filesystem::temp_directory_path(ec) / "qlm_bench.XXXXXX").string();
        if (!mkdtemp(m_user.data()))
            std::abort();
        std::filesystem::current_path(QLM_GAME_DIR, ec);
        // A 1280 x 720 window, as a player's preferences would ask for.
        WriteFileAtomically(m_user + "/prefs.ini", "[prefs]\nwidth = 1280\nheight = 720\nwindowed = 1\n");
        GameStartOptions options;
        options.userDir = m_user;
        options.headless = !OnScreen();
        options.desktopWidth = 1280;
        options.desktopHeight = 1024;
        options.seed = 17;
        m_ready = Game::GetInstance().Init(options);
        // A lesson holds the battle until a player's OK: measured battles show none.
        GUI_Tutorial::GetInstance().Clear();
    }
    ~BenchGame()
    {
        Game::GetInstance().Shutdown();
        std::error_code ec;
        std::filesystem::remove_all(m_user, ec);
    }

    static bool OnScreen() { return std::getenv("QLM_BENCH_WINDOW") != nullptr; }
    bool IsReady() const { return m_ready; }

    // A battle of 2 x n ships read from deployment files, entered as the
    // game enters it. Timed by the start benchmark; the others warm it up.
    bool Start(int n, const Designs& player = kPlayerDesigns, const Designs& enemy = kEnemyDesigns)
    {
        Game& game = Game::GetInstance();
        if (game.GetModeId() == kBattleMode)
            game.SetMode(kMainMenuMode);
        SIM_Scenario* scenario = SIM_Scenario::FindByName("scenario2");
        if (!scenario)
            return false;
        const std::string playerFile = FleetFile(m_user, player, n, 150.0f, 1.0f);
        const std::string enemyFile = FleetFile(m_user, enemy, n, 2850.0f, -1.0f);
        return StartFrom(scenario, playerFile, enemyFile);
    }

    bool StartFrom(SIM_Scenario* scenario, const std::string& playerFile, const std::string& enemyFile)
    {
        m_player.LoadForRace(playerFile, scenario, "");
        m_enemy.LoadForRace(enemyFile, scenario, "");
        QlmSrand(17);
        GUI_BattleGUI::GetInstance().ResetForBattle();
        if (!SIM_Battle::GetInstance().Start(scenario, &m_player, &m_enemy, true))
            return false;
        Game::GetInstance().SetMode(kBattleMode);
        return true;
    }

    void WarmUp()
    {
        GUI_BattleGUI& gui = GUI_BattleGUI::GetInstance();
        gui.SetInjectedFrameTime(kWarmUpFrameMs);
        while (gui.battleTime < kWarmUpMs && !SIM_Battle::GetInstance().IsEnded())
            Frame();
        gui.SetInjectedFrameTime(OnScreen() ? -1.0f : kFrameMs);
    }

    // keepDraws: the recording device's list is left full, so that it
    // records (and allocates) nothing more and only the game's own
    // allocations are counted.
    static void Frame(bool keepDraws = false)
    {
        Game& game = Game::GetInstance();
        if (IWindow* window = game.GetWindow())
            window->PumpEvents();
        game.Frame();
        if (keepDraws)
            return;
        if (auto* headless = dynamic_cast<HeadlessGraphicsDevice*>(D3DEngine::GetInstance().GetDevice()))
            headless->ClearDraws();
    }

    const std::string& UserFolder() const { return m_user; }

private:
    std::string m_user;
    bool m_ready = false;
    SIM_DeployedFleet m_player;
    SIM_DeployedFleet m_enemy;
};

// A frame of a measured loop, kept out of line so that a profiler can count
// the measured frames alone (valgrind --toggle-collect='*MeasuredFrame*'),
// without the warm-up's longer frames.
[[gnu::noinline]] void MeasuredFrame()
{
    BenchGame::Frame();
    benchmark::ClobberMemory();
}

std::unique_ptr<BenchGame>& GameSlot()
{
    static std::unique_ptr<BenchGame> slot;
    return slot;
}

BenchGame& TheGame()
{
    std::unique_ptr<BenchGame>& slot = GameSlot();
    if (!slot) {
        slot = std::make_unique<BenchGame>();
        // QLM_BENCH_NO_TRIM draws big see-through quads whole, as before
        // they were trimmed to their pictures' visible parts.
        VisibleBoxes::Shared().SetEnabled(std::getenv("QLM_BENCH_NO_TRIM") == nullptr);
    }
    return *slot;
}

// With QLM_BENCH_DRAWS set, the draws and binds of each step of the battle
// frame (the screen's layer trace), printed per frame when the run ends:
// where the draw calls go.
class DrawsByStep {
public:
    // The trace also times, always, the battle's own share of each frame:
    // thread CPU from "timing" (the world step and every battle layer) to the
    // interface ("damagetexts" or "windows"), without the sound system's
    // update, the interface and the present.
    void Start()
    {
        m_totals.clear();
        m_frames = 0;
        m_current = -1;
        m_battleFrames = 0;
        m_battleCpuNs = 0;
        m_battleStart = -1;
        const bool perStep = std::getenv("QLM_BENCH_DRAWS") != nullptr;
        GUI_BattleGUI::GetInstance().SetLayerTrace([this, perStep](const char* step) {
            TimeBattle(step);
            if (!perStep)
                return;
            const GraphicsStats& stats = D3DEngine::GetInstance().GetDevice()->GetStats();
            Close(stats);
            if (std::string(step) == "timing")
                ++m_frames;
            auto it = std::find_if(m_totals.begin(), m_totals.end(), [step](const Total& t) { return t.name == step; });
            if (it == m_totals.end())
                it = m_totals.insert(m_totals.end(), Total{step});
            m_current = static_cast<int>(it - m_totals.begin());
            m_draws = stats.drawCalls;
            m_binds = stats.textureBinds;
            m_pixels = stats.pixelsFilled;
            m_verts = stats.verticesDrawn;
            m_stepStart = std::chrono::steady_clock::now();
            m_stepCpuStart = ThreadCpuNs();
        });
    }
    // Measured frames restarted with a new battle count afresh.
    void Restart()
    {
        m_battleFrames = 0;
        m_battleCpuNs = 0;
        m_battleStart = -1;
    }
    void Count(benchmark::State& state) const
    {
        if (m_battleFrames > 0)
            state.counters["battle_cpu_us"] = static_cast<double>(m_battleCpuNs) / 1e3 / m_battleFrames;
    }
    void Print()
    {
        GUI_BattleGUI::GetInstance().SetLayerTrace(nullptr);
        if (!std::getenv("QLM_BENCH_DRAWS"))
            return;
        const double f = std::max(m_frames, 1);
        for (const Total& t : m_totals)
            if (t.draws > 0.0 || t.pixels > 0.0 || t.ms / f >= 0.05)
                std::printf("  %-18s draws %6.1f (max %3d)  binds %6.1f  fill_mpx %6.3f  verts %7.0f  ms %6.3f  cpu_ms %6.3f\n",
                            t.name.c_str(), t.draws / f, t.mostDraws, t.binds / f, t.pixels / f / 1e6, t.verts / f, t.ms / f,
                            t.cpuMs / f);
    }

private:
    struct Total {
        std::string name;
        double draws = 0.0;
        int mostDraws = 0; // in any one frame
        double binds = 0.0;
        double pixels = 0.0;
        double verts = 0.0;
        double ms = 0.0; // wall time from the step to the next, the waits for the rasteriser included
        double cpuMs = 0.0; // this thread's CPU over the same span: the waits left out
    };
    static int64_t ThreadCpuNs()
    {
        timespec ts{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
        return static_cast<int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
    }
    void TimeBattle(const char* step)
    {
        if (std::strcmp(step, "timing") == 0) {
            m_battleStart = ThreadCpuNs();
        } else if (m_battleStart >= 0 && (std::strcmp(step, "damagetexts") == 0 || std::strcmp(step, "windows") == 0 ||
                                          std::strcmp(step, "purge") == 0)) {
            m_battleCpuNs += ThreadCpuNs() - m_battleStart;
            ++m_battleFrames;
            m_battleStart = -1;
        }
    }
    int64_t m_battleStart = -1;
    int64_t m_battleCpuNs = 0;
    int m_battleFrames = 0;
    std::chrono::steady_clock::time_point m_stepStart;
    int64_t m_stepCpuStart = 0;
    void Close(const GraphicsStats& stats)
    {
        if (m_current < 0)
            return;
        Total& total = m_totals[static_cast<size_t>(m_current)];
        total.draws += stats.drawCalls - m_draws;
        // A step seen twice in a frame counts once per visit.
        total.mostDraws = std::max(total.mostDraws, stats.drawCalls - m_draws);
        m_totals[static_cast<size_t>(m_current)].binds += stats.textureBinds - m_binds;
        m_totals[static_cast<size_t>(m_current)].pixels += stats.pixelsFilled - m_pixels;
        m_totals[static_cast<size_t>(m_current)].verts += stats.verticesDrawn - m_verts;
        m_totals[static_cast<size_t>(m_current)].ms +=
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - m_stepStart).count();
        m_totals[static_cast<size_t>(m_current)].cpuMs += static_cast<double>(ThreadCpuNs() - m_stepCpuStart) / 1e6;
    }
    std::vector<Total> m_totals;
    int m_frames = 0;
    int m_current = -1;
    int m_draws = 0;
    int m_binds = 0;
    double m_pixels = 0.0;
    int m_verts = 0;
};

void LookAtTheFight(float* centreX = nullptr, float* centreY = nullptr);

bool CountsFillPerStep()
{
    return std::getenv("QLM_BENCH_DRAWS") != nullptr;
}

// With QLM_BENCH_TRACE set, one more frame is drawn and each of its draws
// printed under its step: texture (by name where it has one), target,
// blend, effect, vertex count and covered pixels, to see which states
// alternate and where the fill goes. QLM_BENCH_TRACE_ABOVE=N draws frames
// on (at most kTraceSearchFrames, the camera kept on the fight) until one
// makes more than N draws and traces that one: the frames that spike.
void TraceOneFrame()
{
    auto* headless = dynamic_cast<HeadlessGraphicsDevice*>(D3DEngine::GetInstance().GetDevice());
    if (!std::getenv("QLM_BENCH_TRACE") || !headless)
        return;
    D3DEngine& engine = D3DEngine::GetInstance();
    std::vector<std::pair<TextureHandle, std::string>> names;
    for (const std::string& name : engine.GetLoadedTextureNames())
        names.emplace_back(engine.FindTexture(name), name);
    for (const char* target : {"rt_ship", "rt_cloak", "rt_offscreen1", "rt_offscreen2"})
        names.emplace_back(engine.FindRenderTarget(target), target);
    auto nameOf = [&names](TextureHandle texture) {
        for (const auto& entry : names)
            if (entry.first == texture && texture != 0)
                return entry.second;
        return texture ? "#" + std::to_string(texture) : std::string("-");
    };
    std::vector<std::pair<size_t, std::string>> steps;
    GUI_BattleGUI::GetInstance().SetLayerTrace([&](const char* step) { steps.emplace_back(headless->GetDraws().size(), step); });
    headless->SetFillCounting(true);
    const char* above = std::getenv("QLM_BENCH_TRACE_ABOVE");
    const int limit = above ? std::atoi(above) : -1;
    constexpr int kTraceSearchFrames = 5000;
    int most = 0;
    for (int i = 0; i < (above ? kTraceSearchFrames : 1) && !SIM_Battle::GetInstance().IsEnded(); ++i) {
        if (above && i % 300 == 0)
            LookAtTheFight();
        steps.clear();
        headless->ClearDraws();
        BenchGame::Frame(true);
        const int draws = static_cast<int>(headless->GetDraws().size());
        most = std::max(most, draws);
        if (draws > limit) {
            if (above)
                std::printf("frame %d after the measured ones made %d draws:\n", i + 1, draws);
            break;
        }
    }
    if (above)
        std::printf("most draws in a searched frame: %d\n", most);
    headless->SetFillCounting(CountsFillPerStep());
    GUI_BattleGUI::GetInstance().SetLayerTrace(nullptr);
    const auto& draws = headless->GetDraws();
    size_t step = 0;
    for (size_t i = 0; i < draws.size(); ++i) {
        while (step < steps.size() && steps[step].first <= i)
            std::printf("[%s]\n", steps[step++].second.c_str());
        const auto& d = draws[i];
        std::printf("  %-28s -> %-14s blend %d%s%s effect %u verts %zu fill %.3f Mpx\n", nameOf(d.texture).c_str(),
                    nameOf(d.target).c_str(), static_cast<int>(d.blend), d.flatColour ? " flat" : "",
                    d.twoTextures ? " two" : "", d.effect, d.vertexCount, d.pixels / 1e6);
    }
    headless->ClearDraws();
}

// With QLM_BENCH_HASH set, the 40 frames after the first warm-up are drawn
// before the measured ones and every draw of them hashed per step of the
// layer trace: a change meant to draw the same frames must print the same
// hashes. (The interface's steps, "windows" and "battle", can differ
// between runs of one binary; the battle's layers do not.)
void HashFrames()
{
    auto* headless = dynamic_cast<HeadlessGraphicsDevice*>(D3DEngine::GetInstance().GetDevice());
    // Once a run: later benchmarks go on from frames the timing chose.
    static bool hashed = false;
    if (!std::getenv("QLM_BENCH_HASH") || !headless || hashed)
        return;
    hashed = true;
    std::vector<std::pair<std::string, uint64_t>> steps;
    int current = -1;
    auto close = [&] {
        const uint64_t hash = headless->TakeDrawHash();
        if (current >= 0) {
            uint64_t& h = steps[static_cast<size_t>(current)].second;
            h = (h ^ hash) * 1099511628211ull;
        }
    };
    GUI_BattleGUI::GetInstance().SetLayerTrace([&](const char* step) {
        close();
        auto it = std::find_if(steps.begin(), steps.end(), [step](const auto& s) { return s.first == step; });
        if (it == steps.end())
            it = steps.insert(steps.end(), {step, 0});
        current = static_cast<int>(it - steps.begin());
    });
    headless->SetDrawHashing(true);
    constexpr int kHashedFrames = 40;
    for (int i = 0; i < kHashedFrames && !SIM_Battle::GetInstance().IsEnded(); ++i)
        BenchGame::Frame();
    close();
    headless->SetDrawHashing(false);
    GUI_BattleGUI::GetInstance().SetLayerTrace(nullptr);
    for (const auto& [name, hash] : steps)
        std::printf("  hash %-18s %016llx\n", name.c_str(), static_cast<unsigned long long>(hash));
}

// Draws, texture binds, blend changes, covered pixels (millions) and
// vertices of the frames since the last reset.
void CountDeviceWork(benchmark::State& state, int frames)
{
    const GraphicsStats& stats = D3DEngine::GetInstance().GetDevice()->GetStats();
    const double f = frames > 0 ? static_cast<double>(frames) : 1.0;
    state.counters["draws"] = stats.drawCalls / f;
    state.counters["binds"] = stats.textureBinds / f;
    state.counters["blends"] = stats.blendChanges / f;
    state.counters["targets"] = stats.renderTargetSwitches / f;
    state.counters["flushes"] = stats.flushes / f;
    state.counters["verts"] = stats.verticesDrawn / f;
}

// The draws of each measured frame, for the most any frame made and the
// median: a goal holds in every frame, not on average.
class FrameDraws {
public:
    FrameDraws() { m_draws.reserve(1024); }
    void Before() { m_start = Device().GetStats().drawCalls; }
    void After() { m_draws.push_back(Device().GetStats().drawCalls - m_start); }
    void Restart() { m_draws.clear(); }
    void Count(benchmark::State& state)
    {
        if (m_draws.empty())
            return;
        std::vector<int> sorted = m_draws;
        std::sort(sorted.begin(), sorted.end());
        state.counters["draws_max"] = sorted.back();
        state.counters["draws_median"] = sorted[sorted.size() / 2];
    }

private:
    static IGraphicsDevice& Device() { return *D3DEngine::GetInstance().GetDevice(); }
    std::vector<int> m_draws;
    int m_start = 0;
};

// Counting fill costs a tenth of a frame's CPU, which the game never pays:
// the timed frames go without it (unless QLM_BENCH_DRAWS asks for it per
// step) and these untimed frames after them count it.
// The process's resident memory now, in MB (0 where /proc cannot tell).
double ResidentMb()
{
    FILE* f = std::fopen("/proc/self/status", "r");
    if (!f)
        return 0.0;
    char line[256];
    double kb = 0.0;
    while (std::fgets(line, sizeof line, f))
        if (std::sscanf(line, "VmRSS: %lf kB", &kb) == 1)
            break;
    std::fclose(f);
    return kb / 1024.0;
}

void CountFill(benchmark::State& state)
{
    IGraphicsDevice* device = D3DEngine::GetInstance().GetDevice();
    const double before = device->GetStats().pixelsFilled;
    device->SetFillCounting(true);
    constexpr int kFillFrames = 30;
    int frames = 0;
    for (; frames < kFillFrames && !SIM_Battle::GetInstance().IsEnded(); ++frames)
        BenchGame::Frame();
    device->SetFillCounting(false);
    if (frames > 0)
        state.counters["fill_mpx"] = (device->GetStats().pixelsFilled - before) / frames / 1e6;
}

// The measured frames: draws, binds and blend changes per frame counted by
// the device (per step with QLM_BENCH_DRAWS). A battle that ends is started
// again by `restart` (and counted afresh), or without one ends the run.
void MeasureFrames(benchmark::State& state, const std::function<void()>& restart)
{
    HashFrames();
    IGraphicsDevice* device = D3DEngine::GetInstance().GetDevice();
    device->SetFillCounting(CountsFillPerStep());
    device->ResetStats();
    DrawsByStep steps;
    steps.Start();
    // QLM_BENCH_NAP_MS: an untimed sleep after each frame, as the paced game
    // sleeps, to show what waking up costs the next frame on this host.
    const char* nap = std::getenv("QLM_BENCH_NAP_MS");
    const double napMs = nap ? std::atof(nap) : 0.0;
    int frames = 0;
    FrameDraws perFrame;
    for (auto _ : state) {
        if (SIM_Battle::GetInstance().IsEnded()) {
            if (!restart) {
                state.SkipWithError("the battle ended while measured");
                break;
            }
            state.PauseTiming();
            restart();
            device->ResetStats();
            steps.Restart();
            perFrame.Restart();
            frames = 0;
            state.ResumeTiming();
        }
        perFrame.Before();
        MeasuredFrame();
        perFrame.After();
        ++frames;
        if (napMs > 0.0) {
            state.PauseTiming();
            std::this_thread::sleep_for(std::chrono::duration<double, std::milli>(napMs));
            state.ResumeTiming();
        }
    }
    CountDeviceWork(state, frames);
    perFrame.Count(state);
    steps.Count(state);
    steps.Print();
    CountFill(state);
    TraceOneFrame();
}

// One frame of a running battle. Arguments: ships a side, 1 with the ship
// grid (0: every search walks its fleet, for comparison).
void BM_BattleFrame(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    SIM_ShipGrid::GetInstance().SetEnabled(state.range(1) != 0);
    BenchGame& game = TheGame();
    // Under callgrind started with --instr-atstart=no the start and the
    // warm-up run uninstrumented, several times faster.
    QLM_STOP_INSTRUMENTATION();
    if (!game.IsReady() || BenchGame::OnScreen() || !game.Start(n)) {
        state.SkipWithError("needs the headless game and a battle");
        return;
    }
    game.WarmUp();
    QLM_START_INSTRUMENTATION();
    MeasureFrames(state, [&game, n] {
        game.Start(n);
        game.WarmUp();
    });
    // CPU seconds per simulated second of battle.
    state.counters["cpu_per_sim_s"] = benchmark::Counter(
        kFrameMs * GUI_BattleGUI::kSpeedScale / 1000.0f,
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["ships"] = static_cast<double>(GetLiveShips().size());
    // Ships out of view whose visuals waited for a later frame at the last one.
    int waiting = 0;
    for (const GUI_Ship* visual : GUI_Ship::GetAll())
        waiting += visual->AreChildrenDeferred() ? 1 : 0;
    state.counters["waiting"] = static_cast<double>(waiting);
    state.counters["zoom"] = static_cast<double>(ZoomScale);
    // What the missile and support classes have going at the last frame.
    state.counters["missiles"] = static_cast<double>(SIM_Missile::GetLiveMissiles().size());
    int holding = 0;
    for (const SIM_TractorModule* t : SIM_TractorModule::GetInstances())
        holding += t->IsHolding() ? 1 : 0;
    state.counters["tractors_holding"] = holding;
    SIM_ShipGrid::GetInstance().SetEnabled(true);
}

// Reading both fleet files, building every ship and entering the screen.
void BM_BattleStart(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    BenchGame& game = TheGame();
    if (!game.IsReady()) {
        state.SkipWithError("the game did not start");
        return;
    }
    SIM_Scenario* scenario = SIM_Scenario::FindByName("scenario2");
    const std::string playerFile = FleetFile(game.UserFolder(), kPlayerDesigns, n, 150.0f, 1.0f);
    const std::string enemyFile = FleetFile(game.UserFolder(), kEnemyDesigns, n, 2850.0f, -1.0f);
    for (auto _ : state) {
        state.PauseTiming();
        if (Game::GetInstance().GetModeId() == kBattleMode)
            Game::GetInstance().SetMode(kMainMenuMode);
        state.ResumeTiming();
        if (!game.StartFrom(scenario, playerFile, enemyFile)) {
            state.SkipWithError("the battle did not start");
            return;
        }
    }
    state.counters["ships"] = static_cast<double>(GetLiveShips().size());
}

// Centres the camera where the live ships are on average (handed back).
void LookAtTheFight(float* centreX, float* centreY)
{
    float cx = 0.0f, cy = 0.0f;
    const auto& ships = GetLiveShips();
    for (const SIM_Ship* ship : ships) {
        cx += ship->x;
        cy += ship->y;
    }
    const float count = std::max<float>(1.0f, static_cast<float>(ships.size()));
    GUI_Map::GetInstance().SetCentre(cx / count, cy / count);
    if (centreX && centreY) {
        *centreX = cx / count;
        *centreY = cy / count;
    }
}

// Frames on the real window at the game's own pace: frames a second, the
// share on time, and the main thread's CPU per frame outside the hold.
void MeasureOnScreen(benchmark::State& state)
{
    FramePacer& pacer = Game::GetInstance().GetFramePacer();
    // Whatever the hold burns (its sleeps and yields) is not the frame's work.
    // The final spin yields until the deadline here, inside the measured
    // window: yielded one at a time, the hold's own loop between the yields
    // (its clock reads, these two readings) counted as the frame's.
    double holdCpu = 0.0;
    pacer.SetSleeper([&holdCpu, &pacer](double ms) {
        const double before = ThreadCpuMs();
        if (ms > 0.0)
            std::this_thread::sleep_for(std::chrono::duration<double, std::milli>(ms));
        else
            for (const double end = std::min(pacer.GetDeadline(), SystemClock().NowMs() + pacer.GetFrameMs());
                 SystemClock().NowMs() < end;)
                std::this_thread::yield();
        holdCpu += ThreadCpuMs() - before;
    });
    pacer.Restart();
    pacer.ResetCounts();
    D3DEngine::GetInstance().GetDevice()->SetFillCounting(CountsFillPerStep());
    D3DEngine::GetInstance().GetDevice()->ResetStats();
    const double cpuStart = ThreadCpuMs();
    const double allCpuStart = ProcessCpuMs();
    const double wallStart = SystemClock().NowMs();
    int frames = 0;
    double oversleep = 0.0, work = 0.0;
    DrawsByStep steps;
    steps.Start();
    FrameDraws perFrame;
    for (auto _ : state) {
        perFrame.Before();
        BenchGame::Frame();
        perFrame.After();
        oversleep += pacer.GetLastOversleepMs();
        work += pacer.GetLastWorkMs();
        ++frames;
    }
    // Wall time of the frames' own work, the driver's rasterising included.
    steps.Count(state);
    steps.Print();
    state.counters["work_ms"] = work / std::max(frames, 1);
    const double wall = SystemClock().NowMs() - wallStart;
    // How late the hold itself released the frames it held.
    state.counters["oversleep_ms"] = pacer.GetFramesOnTime() > 0 ? oversleep / pacer.GetFramesOnTime() : 0.0;
    CountDeviceWork(state, frames);
    perFrame.Count(state);
    state.counters["fps"] = wall > 0.0 ? frames * 1000.0 / wall : 0.0;
    state.counters["on_time"] = pacer.GetFramesHeld() > 0
                                    ? static_cast<double>(pacer.GetFramesOnTime()) / pacer.GetFramesHeld()
                                    : 0.0;
    state.counters["cpu_ms"] = (ThreadCpuMs() - cpuStart - holdCpu) / std::max(frames, 1);
    state.counters["all_cpu_ms"] = (ProcessCpuMs() - allCpuStart - holdCpu) / std::max(frames, 1);
    CountFill(state);
    state.counters["width"] = D3DEngine::GetInstance().GetScreenWidth();
    state.counters["height"] = D3DEngine::GetInstance().GetScreenHeight();
    state.counters["rss_mb"] = ResidentMb();
    state.counters["damage_events"] = static_cast<double>(SIM_StatsDatabase::GetInstance().GetEvents().size());
    pacer.SetSleeper(nullptr);
}

// Every graphics toggle on, as a player who wants it all would set them;
// QLM_BENCH_OFF=SHADERS,DEBRIS,... switches chosen ones off: what each costs.
// Hands back the values they had.
std::vector<float> EveryToggleOn()
{
    SIM_Options& options = SIM_Options::GetInstance();
    std::vector<float> before;
    for (int i = 0; i < SIM_Options::kToggleCount; ++i)
        before.push_back(options.GetValue(SIM_Options::GetToggleName(i)));
    for (int i = 0; i < SIM_Options::kToggleCount; ++i) {
        const std::string name = SIM_Options::GetToggleName(i);
        if (name != "INVERTZOOM" && name != "RUNINBACKGROUND")
            options.SetValue(name, 1.0f);
    }
    if (const char* off = std::getenv("QLM_BENCH_OFF")) {
        std::string list = off;
        for (size_t start = 0; start <= list.size();) {
            const size_t comma = std::min(list.find(',', start), list.size());
            if (comma > start)
                options.SetValue(list.substr(start, comma - start), 0.0f);
            start = comma + 1;
        }
    }
    return before;
}

void RestoreToggles(const std::vector<float>& values)
{
    for (int i = 0; i < SIM_Options::kToggleCount && i < static_cast<int>(values.size()); ++i)
        SIM_Options::GetInstance().SetValue(SIM_Options::GetToggleName(i), values[static_cast<size_t>(i)]);
}

// The battle on the real window (QLM_BENCH_WINDOW=1, under xvfb-run): every
// effect and the post-processing on, the camera on the thick of the fight
// at the screen's own zoom.
void BM_BattleOnScreen(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    BenchGame& game = TheGame();
    EveryToggleOn();
    if (!BenchGame::OnScreen() || !game.IsReady() || !game.Start(n)) {
        state.SkipWithError("set QLM_BENCH_WINDOW=1 and run under xvfb-run");
        return;
    }
    game.WarmUp();
    LookAtTheFight();
    MeasureOnScreen(state);
    state.counters["ships"] = static_cast<double>(GetLiveShips().size());
}

// A long battle, as a player leaves it running: resident memory at each
// minute of battle time for QLM_BENCH_MINUTES (10) minutes, the camera
// following the fight, on the real window (QLM_BENCH_WINDOW=1) or on the
// recording device at 60 frames a second of battle time. A battle that ends
// is fought again, so the process keeps drawing. Memory must stay flat after
// the first minute.
void BM_BattleLong(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    BenchGame& game = TheGame();
    EveryToggleOn();
    if (!game.IsReady() || !game.Start(n)) {
        state.SkipWithError("the game did not start");
        return;
    }
    const char* minutesText = std::getenv("QLM_BENCH_MINUTES");
    const int minutes = std::clamp(minutesText ? std::atoi(minutesText) : 10, 2, 120);
    GUI_BattleGUI& gui = GUI_BattleGUI::GetInstance();
    for (auto _ : state) {
        const double start = SystemClock().NowMs();
        std::vector<double> rss;
        int restarts = 0;
        long frames = 0;
        double foughtMs = 0.0; // battle time of the battles before this one
        while (static_cast<int>(rss.size()) < minutes) {
            if (SIM_Battle::GetInstance().IsEnded()) {
                foughtMs += gui.battleTime;
                ++restarts;
                if (!game.Start(n))
                    break;
            }
            if (!BenchGame::OnScreen())
                gui.SetInjectedFrameTime(kFrameMs);
            if (frames % 300 == 0)
                LookAtTheFight();
            BenchGame::Frame();
            ++frames;
            if (foughtMs + gui.battleTime >= 60000.0 * static_cast<double>(rss.size() + 1)) {
                rss.push_back(ResidentMb());
                // In use, kept free by the allocator, and mapped on their own.
                const struct mallinfo2 heap = mallinfo2();
                std::fprintf(stderr,
                             "minute %zu: %.1f MB resident, heap %.1f MB in use, %.1f MB free, %.1f MB mapped; "
                             "%ld frames, %zu ships, %d restarts; explosion groups %d active of %d, "
                             "emitters %d active, %d spare\n",
                             rss.size(), rss.back(), static_cast<double>(heap.uordblks) / 1048576.0,
                             static_cast<double>(heap.fordblks) / 1048576.0, static_cast<double>(heap.hblkhd) / 1048576.0,
                             frames, GetLiveShips().size(), restarts, CountActiveEmmiterGroups(),
                             CountAllEmmiterGroups(), CountActiveParticleEmmiters(), CountSpareParticleEmmiters());
                const double trimStart = ThreadCpuMs();
                HeapTrim::ReturnFreedMemory();
                std::fprintf(stderr, "  trimmed in %.2f ms: %.1f MB resident\n", ThreadCpuMs() - trimStart, ResidentMb());
            }
        }
        if (rss.size() >= 2) {
            state.counters["rss_first_min_mb"] = rss.front();
            state.counters["rss_last_min_mb"] = rss.back();
            state.counters["rss_max_mb"] = *std::max_element(rss.begin(), rss.end());
            state.counters["growth_pct"] = 100.0 * (rss.back() - rss.front()) / rss.front();
        }
        state.counters["restarts"] = restarts;
        state.counters["fps"] = frames * 1000.0 / std::max(1.0, SystemClock().NowMs() - start);
    }
}

// The on-screen battle's frame on the recording device: the same toggles and
// camera, the battle clock injected, so that its draws and binds come out
// the same in every run and can be measured without a window.
void BM_BattleFrameFight(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    BenchGame& game = TheGame();
    const std::vector<float> toggles = EveryToggleOn();
    if (!game.IsReady() || BenchGame::OnScreen() || !game.Start(n)) {
        RestoreToggles(toggles);
        state.SkipWithError("needs the headless game and a battle");
        return;
    }
    game.WarmUp();
    LookAtTheFight();
    MeasureFrames(state, nullptr);
    state.counters["ships"] = static_cast<double>(GetLiveShips().size());
    RestoreToggles(toggles);
}

// The main menu on the real window: held like every other screen.
void BM_MainMenuOnScreen(benchmark::State& state)
{
    BenchGame& game = TheGame();
    if (!BenchGame::OnScreen() || !game.IsReady()) {
        state.SkipWithError("set QLM_BENCH_WINDOW=1 and run under xvfb-run");
        return;
    }
    Game::GetInstance().SetMode(kMainMenuMode);
    MeasureOnScreen(state);
}

// Every gun in the fight: pulse cannons, kinetic guns, lightning and plasma
// on ships that stay visible (cloaked raiders hold their fire).
const Designs kPlayerGunDesigns = {"fed_ai_battlecruiser", "fed_ai_gunboat", "fed_ai_interceptor",
                                         "fed_ai_escort",        "fed_ai_siegecruiser", "fed_ai_carrier",
                                         "fed_ai_gunboat",       "fed_ai_escort"};
const Designs kEnemyGunDesigns = {"kor_ai_battlecruiser", "kor_ai_gunboat", "kor_ai_interceptor",
                                        "kor_ai_escort",        "kor_ai_siegecruiser", "kor_ai_carrier",
                                        "kor_ai_gunboat",       "kor_ai_escort"};

// One frame of a gun battle, with the projectiles and arcs in flight.
void BM_GunsFrame(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    BenchGame& game = TheGame();
    if (!game.IsReady() || BenchGame::OnScreen() || !game.Start(n, kPlayerGunDesigns, kEnemyGunDesigns)) {
        state.SkipWithError("needs the headless game and a battle");
        return;
    }
    game.WarmUp();
    double bullets = 0.0, shells = 0.0, torpedoes = 0.0, arcs = 0.0;
    int frames = 0;
    for (auto _ : state) {
        if (SIM_Battle::GetInstance().IsEnded()) {
            state.PauseTiming();
            game.Start(n, kPlayerGunDesigns, kEnemyGunDesigns);
            game.WarmUp();
            state.ResumeTiming();
        }
        BenchGame::Frame();
        ++frames;
        state.PauseTiming();
        for (const SIM_BulletWeaponModule* w : SIM_BulletWeaponModule::GetAll())
            bullets += w->CountLive();
        for (const SIM_KineticWeapon* w : SIM_KineticWeapon::GetAll())
            shells += w->CountLive();
        for (const SIM_PlasmaLauncherModule* w : SIM_PlasmaLauncherModule::GetAll())
            torpedoes += w->GetTorpedo().IsLive() ? 1.0 : 0.0;
        for (const SIM_LightningGunModule* w : SIM_LightningGunModule::GetAll())
            arcs += w->IsArcActive() ? 1.0 : 0.0;
        state.ResumeTiming();
    }
    const double f = std::max(frames, 1);
    state.counters["bullets"] = bullets / f;
    state.counters["shells"] = shells / f;
    state.counters["torpedoes"] = torpedoes / f;
    state.counters["arcs"] = arcs / f;
    state.counters["ships"] = static_cast<double>(GetLiveShips().size());
}

// One frame of a battle in heavy combat with its effects at their worst:
// con trails, both debris pools full, hulks, smoke and damage patches, the
// camera on the thick of it. Draw calls and heap allocations per frame after
// the warm-up besides the CPU time.
void BM_EffectsFrame(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    BenchGame& game = TheGame();
    if (!game.IsReady() || BenchGame::OnScreen() || !game.Start(n)) {
        state.SkipWithError("needs the headless game and a battle");
        return;
    }
    game.WarmUp();
    // Look where most ships are, close enough for the detail to show.
    float cx = 0.0f, cy = 0.0f;
    LookAtTheFight(&cx, &cy);
    GUI_Map::GetInstance().zoomTarget = 2.0f;
    // Every piece of both pools alive around the view, and a smoke cloud.
    for (int i = 0; i < 2 * GUI_DebrisPool::kPieces / 12; ++i)
        GUI_DebrisPool::Emit(12, 4.0f, 0, 16, true, cx + static_cast<float>(i % 40) * 12.0f - 240.0f,
                             cy + static_cast<float>(i / 40) * 12.0f - 180.0f, 0.0f, 0.0f);
    for (int i = 0; i < 8; ++i)
        SpawnSmoke(60.0f, 6, cx + static_cast<float>(i) * 40.0f - 160.0f, cy);
    for (int i = 0; i < 60; ++i)
        BenchGame::Frame(true);
    IGraphicsDevice* device = D3DEngine::GetInstance().GetDevice();
    device->ResetStats();
    const uint64_t allocationsBefore = CountAllocations();
    TraceAllocations(std::getenv("QLM_TRACE_ALLOCS") != nullptr);
    int frames = 0;
    for (auto _ : state) {
        if (SIM_Battle::GetInstance().IsEnded()) {
            state.SkipWithError("the battle ended while measured");
            break;
        }
        BenchGame::Frame(true);
        ++frames;
    }
    TraceAllocations(false);
    if (auto* headless = dynamic_cast<HeadlessGraphicsDevice*>(device))
        headless->ClearDraws();
    const double f = std::max(frames, 1);
    state.counters["allocs"] = static_cast<double>(CountAllocations() - allocationsBefore) / f;
    CountDeviceWork(state, frames);
    size_t patches = 0;
    for (const GUI_Ship* visual : GUI_Ship::GetAll())
        patches += visual->GetDamageSprites().size();
    state.counters["debris"] = GetDebrisPools().first.CountAlive() + GetDebrisPools().second.CountAlive();
    state.counters["hulks"] = static_cast<double>(GetHulks().size());
    state.counters["smoke"] = static_cast<double>(GetSmokeSprites().size());
    state.counters["patches"] = static_cast<double>(patches);
    state.counters["ships"] = static_cast<double>(GetLiveShips().size());
}

BENCHMARK(BM_BattleFrame)
    ->Args({10, 1})
    ->Args({50, 1})
    ->Args({200, 1})
    ->Args({500, 1})
    ->Args({200, 0})
    ->Args({500, 0})
    ->Unit(benchmark::kMicrosecond);
// A fixed count of frames (60: every think bucket runs twice), so that a
// profiler's per-frame average covers the thinks and compares across trees.
BENCHMARK(BM_BattleFrame)->Name("BM_BattleFrame60")->Args({50, 1})->Args({200, 1})->Args({500, 1})
    ->Iterations(60)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GunsFrame)->Arg(50)->Arg(500)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EffectsFrame)->Arg(200)->Iterations(300)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BattleStart)->Arg(500)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BattleFrameFight)->Arg(200)->Iterations(120)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BattleOnScreen)->Arg(50)->Arg(200)->Arg(500)->Iterations(600)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BattleLong)->Arg(500)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_MainMenuOnScreen)->Iterations(600)->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace

void ShutDownBenchGame()
{
    GameSlot().reset();
}
