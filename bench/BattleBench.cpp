// CPU time of the battle simulation for 2 x N ships of mixed classes, per
// battle frame at speed 1 (16.67 ms real, 6.67 ms of battle time) and per
// simulated second. Only the simulation is measured: the ships' per-frame
// update is called directly instead of through their visuals.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "battle/GUI_BattleGUI.h"
#include "sim/SIM_Battle.h"
#include "sim/SIM_CommsManager.h"
#include "sim/SIM_DeployedFleet.h"
#include "sim/SIM_DeployedShip.h"
#include "sim/SIM_Fleet.h"
#include "sim/SIM_HeadlessBattle.h"
#include "sim/SIM_Scenario.h"
#include "sim/SIM_Ship.h"
#include "sim/ShipUpdateScheduler.h"

namespace {

constexpr float kFrameMs = 16.67f * 0.4f; // speed 1
constexpr float kWarmUpMs = 30000.0f;     // the fleets meet and fight

// Cruisers, frigates (one cloaked) and fighters, with beams, shields, armour,
// engines, power, crew, scanners, boosters, ECM and the stand-in weapons.
const char* const kPlayerDesigns[] = {"fed_ai_battlecruiser", "fed_ai_gunboat", "fed_ai_interceptor",
                                      "fed_ai_escort",        "fed_ai_raider",  "fed_ai_missilecruiser",
                                      "fed_ai_striker",       "fed_ai_bomber"};
const char* const kEnemyDesigns[] = {"kor_ai_battlecruiser", "kor_ai_gunboat", "kor_ai_interceptor",
                                     "kor_ai_escort",        "kor_ai_raider",  "kor_ai_missilecruiser",
                                     "kor_ai_striker",       "kor_ai_bomber"};

class BenchWorld {
public:
    BenchWorld()
    {
        std::error_code ec;
        m_scratch = (std::filesystem::temp_directory_path(ec) / "qlm_bench.XXXXXX").string();
        if (!mkdtemp(m_scratch.data()))
            std::abort();
        std::filesystem::current_path(QLM_SOURCE_DIR, ec);
        m_battle = std::make_unique<SIM_HeadlessBattle>(m_scratch);
    }
    ~BenchWorld()
    {
        m_battle.reset();
        std::error_code ec;
        std::filesystem::remove_all(m_scratch, ec);
    }

    // Two fleets of n ships in ranks on either side of the largest map.
    bool Start(int n)
    {
        SIM_Scenario* scenario = SIM_Scenario::FindByName("scenario2");
        if (!scenario)
            return false;
        m_player.Clear();
        m_enemy.Clear();
        Deploy(m_player, kPlayerDesigns, n, 150.0f, 1.0f);
        Deploy(m_enemy, kEnemyDesigns, n, 2850.0f, -1.0f);
        if (!m_battle->StartCustom(scenario, m_player, m_enemy, 17))
            return false;
        // No warp-in without the battle view: everyone starts on the field.
        for (SIM_Fleet* fleet : {SIM_Battle::GetInstance().GetPlayerFleet(), SIM_Battle::GetInstance().GetEnemyFleet()})
            for (SIM_Ship* ship : fleet->GetAllShips())
                ship->state = SIM_Ship::ACTIVE;
        for (float t = 0.0f; t < kWarmUpMs; t += kFrameMs * 4.0f)
            Frame(kFrameMs * 4.0f);
        return true;
    }

    // One battle frame in the battle screen's order, without drawing.
    static void Frame(float ms)
    {
        GUI_BattleGUI::GetInstance().SetFrameTime(ms);
        ShipUpdateScheduler::GetInstance().UpdateWorld();
        SIM_Battle& battle = SIM_Battle::GetInstance();
        for (SIM_Fleet* fleet : {battle.GetPlayerFleet(), battle.GetEnemyFleet()}) {
            for (SIM_Ship* ship : fleet->GetAllShips())
                if (ship->state == SIM_Ship::ACTIVE || ship->state == SIM_Ship::DYING)
                    ship->Update();
        }
        SIM_CommsManager::GetInstance().Update();
        battle.Update();
    }

private:
    static void Deploy(SIM_DeployedFleet& fleet, const char* const (&designs)[8], int n, float x0, float dir)
    {
        constexpr int kRows = 25;
        for (int i = 0; i < n; ++i) {
            auto ship = std::make_shared<SIM_DeployedShip>();
            ship->design = designs[i % 8];
            ship->name = ship->design;
            ship->x = x0 + dir * 24.0f * static_cast<float>(i / kRows);
            ship->y = 120.0f + 78.0f * static_cast<float>(i % kRows);
            ship->quantity = 1;
            ship->angle = dir > 0.0f ? 90.0f : 270.0f;
            ship->shipId = i + 1;
            fleet.AddShip(ship);
        }
    }

    std::string m_scratch;
    std::unique_ptr<SIM_HeadlessBattle> m_battle;
    SIM_DeployedFleet m_player;
    SIM_DeployedFleet m_enemy;
};

BenchWorld& World()
{
    static BenchWorld world;
    return world;
}

void BM_BattleFrame(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    if (!World().Start(n)) {
        state.SkipWithError("battle could not start");
        return;
    }
    for (auto _ : state) {
        if (SIM_Battle::GetInstance().IsEnded()) {
            state.PauseTiming();
            World().Start(n);
            state.ResumeTiming();
        }
        BenchWorld::Frame(kFrameMs);
    }
    // CPU seconds per simulated second of battle.
    state.counters["cpu_per_sim_s"] =
        benchmark::Counter(kFrameMs / 1000.0f, benchmark::Counter::kIsIterationInvariantRate |
                                                   benchmark::Counter::kInvert);
    state.counters["ships"] = static_cast<double>(GetLiveShips().size());
}

BENCHMARK(BM_BattleFrame)->Arg(10)->Arg(50)->Arg(200)->Arg(500)->Unit(benchmark::kMicrosecond);

} // namespace
