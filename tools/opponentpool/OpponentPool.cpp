// Builds the campaign's shipped opponents: for every line of
// campaign/data/opponents/pool.txt, a fleet of the race's AI designs close to
// the line's cost, written as <id>.qlm beside the list. The campaign fights
// these when no server answers.
//
//   qlm_opponentpool <install folder>   (the folder holding data/ and campaign/)
#include "engine/GSafeFile.h"
#include "engine/GTokenizer.h"
#include "sim/SIM_ChallengeFile.h"
#include "sim/SIM_DeployedFleet.h"
#include "sim/SIM_HeadlessBattle.h"
#include "sim/SIM_Scenario.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_ShipHull.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

struct PoolEntry {
    std::string id;
    std::string race;
    float cost = 0.0f;
};

std::vector<PoolEntry> ReadPool(const std::string& text)
{
    std::vector<PoolEntry> out;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = text.substr(pos, end - pos);
        pos = end + 1;
        if (line.compare(0, 2, "##") != 0)
            continue;
        GTokenizer t(line, ',');
        t.NextString();
        PoolEntry e;
        e.id = t.NextString();
        t.NextString();
        e.race = t.NextString();
        e.cost = t.NextFloat();
        out.push_back(e);
    }
    return out;
}

// The race's shipped AI designs (not fighters: a pool fleet must be able to
// hold a planet), cheapest first.
std::vector<SIM_ShipDesign*> DesignsFor(const std::string& race)
{
    const std::string prefix = race.substr(0, 3) + "_ai_";
    std::vector<SIM_ShipDesign*> out;
    for (SIM_ShipDesign* d : SIM_ShipDesign::GetList())
        if (d->GetName().compare(0, prefix.size(), prefix) == 0 && d->GetHull() && !d->IsFighter() &&
            d->GetCost() > 0.0f)
            out.push_back(d);
    std::sort(out.begin(), out.end(), [](auto* a, auto* b) { return a->GetCost() < b->GetCost(); });
    return out;
}

// Fills up to the cost from the costliest design that still fits, so each
// band gets a different mix; ships stand in two columns of the left zone.
bool BuildFleet(const PoolEntry& e, const std::vector<SIM_ShipDesign*>& designs, SIM_DeployedFleet& fleet)
{
    float left = e.cost;
    int id = 1;
    size_t turn = e.id.size(); // varies the mix between entries of a band
    while (id <= 40) {
        SIM_ShipDesign* pick = nullptr;
        for (size_t i = 0; i < designs.size(); ++i) {
            SIM_ShipDesign* d = designs[(designs.size() - 1 - (i + turn) % designs.size())];
            if (d->GetCost() <= left) {
                pick = d;
                break;
            }
        }
        if (!pick)
            break;
        auto s = std::make_shared<SIM_DeployedShip>();
        s->design = pick->GetName();
        s->name = pick->GetGuiName();
        s->shipId = id;
        s->x = 300.0f + 250.0f * static_cast<float>((id - 1) % 2);
        s->y = 300.0f + 180.0f * static_cast<float>((id - 1) / 2 % 9);
        s->angle = 90.0f;
        if (!fleet.AddShip(s))
            return false;
        left -= pick->GetCost();
        ++id;
        ++turn;
    }
    return !fleet.GetShips().empty();
}
} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: qlm_opponentpool <install folder>\n");
        return 2;
    }
    if (chdir(argv[1]) != 0) {
        fprintf(stderr, "cannot enter %s\n", argv[1]);
        return 1;
    }
    std::string text;
    if (!ReadWholeFile("campaign/data/opponents/pool.txt", text)) {
        fprintf(stderr, "no campaign/data/opponents/pool.txt\n");
        return 1;
    }
    SIM_HeadlessBattle::LoadContent();
    int failures = 0;
    {
        SIM_Scenario scenario{SIM_Scenario::Unlisted{}};
        scenario.SetName("campaign_pool");
        scenario.SetGuiName("CAMPAIGN_POOL");
        scenario.SetMapSize(3000.0f, 2200.0f);
        scenario.SetPlayerDeployment({100, 200, 700, 2000});
        SIM_ChallengeFile writer;
        for (const PoolEntry& e : ReadPool(text)) {
            SIM_DeployedFleet fleet;
            const auto designs = DesignsFor(e.race);
            const std::string bytes = BuildFleet(e, designs, fleet)
                                          ? writer.WriteToBytes(fleet, "_none_", "_none_", "Quillomar", scenario)
                                          : std::string();
            if (bytes.empty() || !WriteFileAtomically("campaign/data/opponents/" + e.id + ".qlm", bytes)) {
                fprintf(stderr, "could not build opponent %s\n", e.id.c_str());
                ++failures;
            }
        }
    }
    SIM_HeadlessBattle::FreeContent();
    return failures == 0 ? 0 : 1;
}
