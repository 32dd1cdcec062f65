// Runs one battle from the content files without the battle view, at a fixed
// seed and frame time, and prints how it ended.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "sim/SIM_BattleClock.h"
#include "sim/SIM_HeadlessBattle.h"

namespace {
struct Options {
    std::string data = "data";
    std::string scenario = "scenario1";
    int difficulty = 0;
    uint64_t seed = 1;
    float frameMs = 16.67f;
    float speed = 1.0f;
    std::string fleet;
    float maxSeconds = 900.0f;
};

void Usage()
{
    std::fprintf(stderr,
                 "usage: qlm_battlerun [--data DIR] [--scenario NAME] [--difficulty easy|medium|hard] [--seed N]\n"
                 "                     [--frame-ms MS] [--speed S] [--fleet deployed.txt] [--max-seconds S]\n");
}

bool ParseFloat(const char* text, float low, float high, float& out)
{
    char* end = nullptr;
    const float v = std::strtof(text, &end);
    if (end == text || *end != '\0' || !(v >= low && v <= high))
        return false;
    out = v;
    return true;
}

bool ParseArgs(int argc, char** argv, Options& o)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (i + 1 >= argc)
            return false;
        const char* value = argv[++i];
        if (arg == "--data") {
            o.data = value;
        } else if (arg == "--scenario") {
            o.scenario = value;
        } else if (arg == "--difficulty") {
            const std::string d = value;
            o.difficulty = d == "easy" ? 0 : d == "medium" ? 1 : d == "hard" ? 2 : -1;
            if (o.difficulty < 0)
                return false;
        } else if (arg == "--seed") {
            char* end = nullptr;
            o.seed = std::strtoull(value, &end, 10);
            if (end == value || *end != '\0')
                return false;
        } else if (arg == "--frame-ms") {
            if (!ParseFloat(value, 0.01f, 1000.0f, o.frameMs))
                return false;
        } else if (arg == "--speed") {
            // The battle screen's speed range.
            if (!ParseFloat(value, 0.2f, 4.0f, o.speed))
                return false;
        } else if (arg == "--fleet") {
            o.fleet = value;
        } else if (arg == "--max-seconds") {
            if (!ParseFloat(value, 0.0f, 1.0e6f, o.maxSeconds))
                return false;
        } else {
            return false;
        }
    }
    return true;
}
} // namespace

int main(int argc, char** argv)
{
    Options o;
    if (!ParseArgs(argc, argv, o)) {
        Usage();
        return 2;
    }
    namespace fs = std::filesystem;
    std::error_code ec;
    // Content paths are "data/...": run from the folder that holds the data folder.
    const fs::path dataDir = fs::absolute(o.data, ec);
    const std::string fleet = o.fleet.empty() ? std::string("data/sample deployment/deployed.txt")
                                              : fs::absolute(o.fleet, ec).string();
    if (!fs::is_directory(dataDir, ec)) {
        std::fprintf(stderr, "qlm_battlerun: no data folder %s\n", dataDir.c_str());
        return 2;
    }
    fs::current_path(dataDir.lexically_normal().parent_path(), ec);
    if (ec) {
        std::fprintf(stderr, "qlm_battlerun: cannot enter the install folder: %s\n", ec.message().c_str());
        return 2;
    }

    // Wins would be written to the scores: keep them in a scratch folder.
    std::string scratch = (fs::temp_directory_path(ec) / "qlm_battlerun.XXXXXX").string();
    if (!mkdtemp(scratch.data())) {
        std::fprintf(stderr, "qlm_battlerun: no scratch folder\n");
        return 2;
    }
    int result = 0;
    {
        SIM_HeadlessBattle run(scratch);
        if (!run.Start(o.scenario, fleet, o.difficulty, o.seed)) {
            std::fprintf(stderr, "qlm_battlerun: the battle could not start (scenario %s, fleet %s)\n",
                         o.scenario.c_str(), fleet.c_str());
            result = 1;
        } else {
            // As the battle screen: the frame cut to the timer's cap, then
            // scaled by the speed.
            const float scaled = SIM_BattleClock::ScaleFrame(o.frameMs, o.speed);
            const bool ended = run.Run(scaled, o.maxSeconds * 1000.0f);
            std::fputs(SIM_HeadlessBattle::Summary().c_str(), stdout);
            result = ended ? 0 : 3;
        }
    }
    fs::remove_all(scratch, ec);
    return result;
}
