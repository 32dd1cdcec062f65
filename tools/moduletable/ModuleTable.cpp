// Prints what every module type buys for its price against the shipped
// designs, size by size, as the Markdown table of docs/balance.md. With
// --check it fails when a type is dominated by another of its size.
#include <cstdio>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <system_error>

#include "ModuleWorth.h"
#include "sim/SIM_ContentFiles.h"
#include "sim/SIM_ShipHull.h"
#include "sim/SIM_ShipModuleType.h"

namespace {

const char* SizeName(int size)
{
    switch (size) {
    case SIM_ShipModuleType::CRUISER: return "Cruiser";
    case SIM_ShipModuleType::FRIGATE: return "Frigate";
    default: return "Fighter";
    }
}

const char* ClassWord(int hullClass)
{
    switch (hullClass) {
    case SIM_ShipHull::CRUISER: return "cruisers";
    case SIM_ShipHull::FRIGATE: return "frigates";
    default: return "fighters";
    }
}

bool IsWeaponRow(const ModuleWorth::Entry& e)
{
    return e.figures.count("range") > 0;
}

// Mean of one kind of damage figure ("hull of " or "shield of ") over the
// designs of one hull class.
float MeanDamage(const ModuleWorth::Entry& e, const std::string& kind, int hullClass,
                 const std::vector<ModuleWorth::Target>& targets)
{
    float sum = 0.0f;
    int n = 0;
    for (const ModuleWorth::Target& t : targets) {
        if (t.hullClass != hullClass)
            continue;
        if (kind == "shield of " && t.shieldResistance <= 0.0f)
            continue;
        auto it = e.figures.find(kind + t.name);
        sum += it == e.figures.end() ? 0.0f : it->second;
        ++n;
    }
    return n ? sum / static_cast<float>(n) : 0.0f;
}

// "hull of X" for many designs reads as "hull of 3 cruisers, 1 frigate".
std::string Summarise(const std::vector<std::string>& figures, const std::vector<ModuleWorth::Target>& targets)
{
    std::map<std::string, int> classOf;
    for (const ModuleWorth::Target& t : targets)
        classOf[t.name] = t.hullClass;
    std::string plain;
    std::map<std::string, std::map<int, int>> grouped;
    for (const std::string& f : figures) {
        bool done = false;
        for (const char* kind : {"hull of ", "shield of "}) {
            const std::string k = kind;
            if (f.compare(0, k.size(), k) == 0 && classOf.count(f.substr(k.size()))) {
                ++grouped[k][classOf[f.substr(k.size())]];
                done = true;
            }
        }
        if (!done)
            plain += (plain.empty() ? "" : ", ") + f;
    }
    for (const auto& [kind, counts] : grouped) {
        std::string part = kind;
        bool first = true;
        // Appended piece by piece: GCC 12 at -O2 mistakes a "" + std::string
        // temporary for a huge copy (-Wstringop-overflow).
        for (const auto& [cls, n] : counts) {
            if (!first)
                part += ' ';
            part += std::to_string(n);
            part += ' ';
            part += ClassWord(cls);
            first = false;
        }
        plain += (plain.empty() ? "" : ", ") + part;
    }
    return plain.empty() ? "-" : plain;
}

void Usage()
{
    std::fprintf(stderr, "usage: qlm_moduletable [--data DIR] [--check]\n");
}

} // namespace

int main(int argc, char** argv)
{
    std::string data = "data";
    bool check = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--check") {
            check = true;
        } else if (arg == "--data" && i + 1 < argc) {
            data = argv[++i];
        } else {
            Usage();
            return 2;
        }
    }
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path dataDir = fs::absolute(data, ec);
    if (!fs::is_directory(dataDir, ec)) {
        std::fprintf(stderr, "qlm_moduletable: no data folder %s\n", dataDir.c_str());
        return 2;
    }
    // Content paths are "data/...": run from the folder that holds it.
    fs::current_path(dataDir.lexically_normal().parent_path(), ec);
    LoadBattleContent();

    const std::vector<ModuleWorth::Target> targets = ModuleWorth::LoadedTargets();
    const std::vector<ModuleWorth::Row> rows = ModuleWorth::CompareLoadedContent();
    int dominated = 0;
    for (int size : {SIM_ShipModuleType::CRUISER, SIM_ShipModuleType::FRIGATE, SIM_ShipModuleType::FIGHTER}) {
        std::printf("\n### %s modules\n\n", SizeName(size));
        std::printf("| weapon | cost | range | hull damage/s on fighters / frigates / cruisers | "
                    "shield damage/s | most per credit at | most per slot at | dominated by |\n"
                    "|---|---|---|---|---|---|---|---|\n");
        for (const ModuleWorth::Row& r : rows) {
            const ModuleWorth::Entry& e = r.entry;
            if (e.size != size || !IsWeaponRow(e))
                continue;
            float shield = 0.0f;
            for (int c : {SIM_ShipHull::FIGHTER, SIM_ShipHull::FRIGATE, SIM_ShipHull::CRUISER})
                shield = std::max(shield, MeanDamage(e, "shield of ", c, targets));
            std::string by;
            for (const std::string& b : r.dominatedBy)
                by += (by.empty() ? "" : ", ") + b;
            std::printf("| %s | %.0f | %.0f | %.2f / %.2f / %.2f | %.2f | %s | %s | %s |\n", e.name.c_str(), e.cost,
                        e.figures.at("range"), MeanDamage(e, "hull of ", SIM_ShipHull::FIGHTER, targets),
                        MeanDamage(e, "hull of ", SIM_ShipHull::FRIGATE, targets),
                        MeanDamage(e, "hull of ", SIM_ShipHull::CRUISER, targets), shield,
                        Summarise(r.bestPerCredit, targets).c_str(), Summarise(r.bestPerSlot, targets).c_str(),
                        by.empty() ? "none" : by.c_str());
        }
        std::printf("\n| module | class | cost | most per credit at | most per slot at | dominated by |\n"
                    "|---|---|---|---|---|---|\n");
        for (const ModuleWorth::Row& r : rows) {
            const ModuleWorth::Entry& e = r.entry;
            if (e.size != size || IsWeaponRow(e))
                continue;
            std::string by;
            for (const std::string& b : r.dominatedBy)
                by += (by.empty() ? "" : ", ") + b;
            std::printf("| %s | %s | %.0f | %s | %s | %s |\n", e.name.c_str(), e.className.c_str(), e.cost,
                        Summarise(r.bestPerCredit, targets).c_str(), Summarise(r.bestPerSlot, targets).c_str(),
                        by.empty() ? "none" : by.c_str());
        }
    }
    int nowhere = 0;
    for (const ModuleWorth::Row& r : rows) {
        if (!r.dominatedBy.empty())
            ++dominated;
        if (!r.IsBestSomewhere()) {
            ++nowhere;
            std::printf("\n%s is the best choice nowhere", r.entry.name.c_str());
        }
    }
    std::printf("\n%d module types compared against %zu designs; %d dominated, %d the best choice nowhere.\n",
                static_cast<int>(rows.size()), targets.size(), dominated, nowhere);
    FreeBattleContent();
    return check && (dominated > 0 || nowhere > 0) ? 1 : 0;
}
