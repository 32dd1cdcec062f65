#include "campaign/sim/SIM_CampaignEncounter.h"

#include "campaign/sim/SIM_Campaign.h"
#include "campaign/sim/SIM_CampaignAIManager.h"
#include "campaign/sim/SIM_CampaignFacility.h"
#include "campaign/sim/SIM_CampaignFacilityType.h"
#include "campaign/sim/SIM_CampaignFleet.h"
#include "campaign/sim/SIM_CampaignNames.h"
#include "campaign/sim/SIM_CampaignOptions.h"
#include "campaign/sim/SIM_CampaignProgress.h"
#include "campaign/sim/SIM_CampaignScreenHooks.h"
#include "engine/GDebugLog.h"
#include "engine/GHashTable.h"
#include "engine/GIniFile.h"
#include "engine/GSafeFile.h"
#include "engine/GTokenizer.h"
#include "engine/StrFormat.h"
#include "sim/SIM_ContentFiles.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {
std::vector<SIM_CampaignEncounter*>& Registry()
{
    static std::vector<SIM_CampaignEncounter*> list;
    return list;
}

std::string TrimKey(const std::string& line)
{
    const size_t eq = line.find('=');
    std::string key = line.substr(0, eq);
    const size_t a = key.find_first_not_of(" \t");
    const size_t b = key.find_last_not_of(" \t");
    return a == std::string::npos ? std::string() : key.substr(a, b - a + 1);
}

int IntOf63(const char* text)
{
    return atoi(std::string(text ? text : "").substr(0, 63).c_str());
}
} // namespace

SIM_CampaignEncounter::SIM_CampaignEncounter(SIM_Campaign* owner)
    : SIM_Scenario(Unlisted{}), campaign(owner), ai(std::make_unique<SIM_CampaignAIManager>(this))
{
    Registry().push_back(this);
}

SIM_CampaignEncounter::~SIM_CampaignEncounter()
{
    // Fleets outlive a definition that is rebuilt: they must not point here.
    for (SIM_CampaignFleet* f : fleets)
        if (f->location == this)
            f->location = nullptr;
    auto& list = Registry();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

const std::vector<SIM_CampaignEncounter*>& SIM_CampaignEncounter::GetAll()
{
    return Registry();
}

void SIM_CampaignEncounter::OnLoaded()
{
    LoadCampaignData();
}

void SIM_CampaignEncounter::LoadCampaignData()
{
    const std::string& file = GetFilePath();
    GIniFile config;
    if (!config.Load("config", file.c_str())) {
        LOG_ERROR("Failed to find encounter: " + file);
        return;
    }
    loaded = true;
    mapPosition[0] = config.GetFloat("MapPosition.X", 0.0f);
    mapPosition[1] = config.GetFloat("MapPosition.Y", 0.0f);
    encounterId = IntOf63(config.GetString("EncounterID"));
    wormholeIds.clear();
    GTokenizer links(config.GetString("wormholes"), ',');
    while (!links.AtEnd()) {
        std::string field = links.NextString();
        if (!field.empty())
            wormholeIds.push_back(atoi(field.c_str()));
    }
    mapIconSize = config.GetFloat("mapiconsize", 0.0f);
    enemyFleetCost = IntOf63(config.GetString("enemyfleetcost"));
    ai->currentFleet = static_cast<float>(enemyFleetCost);

    homeworld = 0;
    const std::vector<std::string> terrain = GetTerrainLines();
    if (!terrain.empty()) {
        GTokenizer t(terrain[0], ',');
        std::vector<std::string> fields;
        while (!t.AtEnd())
            fields.push_back(t.NextString());
        if (fields.size() >= 10) {
            planetPosition[0] = ParseLeadingFloat(fields[0].c_str());
            planetPosition[1] = ParseLeadingFloat(fields[1].c_str());
            planetName = fields[3];
            planetSize = ParseLeadingFloat(fields[9].c_str());
            // The battle draws this line, and its name field names the
            // planet, not a picture: the battle shows the map's picture.
            if (!GetIcon().empty()) {
                fields[3] = GetIcon();
                std::string line;
                for (size_t i = 0; i < fields.size(); ++i)
                    line += (i ? "," : "") + fields[i];
                SetTerrainLine(0, line);
            }
        } else {
            LOG_ERROR(file + ": the planet line has too few fields");
        }
    }

    facilities.clear();
    GIniFile section;
    if (section.Load("facilities", file.c_str())) {
        for (size_t i = 0; i < section.GetEntryCount(); ++i) {
            const std::string& typeName = section.GetValueAt(i);
            SIM_CampaignFacilityType* type = SIM_CampaignFacilityType::FindByTypeName(typeName);
            if (!type) {
                LOG_ERROR(file + ": unknown facility type " + typeName);
                continue;
            }
            facilities.push_back(std::make_unique<SIM_CampaignFacility>(this, type));
        }
    }
}

void SIM_CampaignEncounter::LoadHopCounts()
{
    hopCounts.clear();
    GIniFile section;
    if (!section.Load("hopcounts", GetFilePath().c_str()))
        return;
    for (size_t i = 0; i < section.GetEntryCount(); ++i) {
        const std::string& value = section.GetValueAt(i);
        const size_t comma = value.find(',');
        if (comma == std::string::npos)
            continue;
        SIM_CampaignEncounter* other = FindByID(atoi(value.substr(0, comma).c_str()));
        if (!other) {
            LOG_ERROR(GetFilePath() + ": hop count for an unknown encounter: " + value);
            continue;
        }
        hopCounts.emplace_back(other, atoi(value.c_str() + comma + 1));
    }
}

void SIM_CampaignEncounter::LoadAllHopCounts()
{
    for (SIM_CampaignEncounter* e : Registry())
        e->LoadHopCounts();
}

void SIM_CampaignEncounter::LinkWormholes()
{
    neighbours.clear();
    if (!campaign)
        return;
    auto names = [](const std::vector<int>& ids, int id) {
        return std::find(ids.begin(), ids.end(), id) != ids.end();
    };
    for (SIM_CampaignEncounter* e : campaign->GetEncounters()) {
        if (e == this)
            continue;
        if (names(wormholeIds, e->encounterId) || names(e->wormholeIds, encounterId))
            neighbours.push_back(e);
    }
    for (SIM_CampaignEncounter* n : neighbours)
        if (!campaign->HasWormholeLink(this, n))
            campaign->AddWormholeLink(this, n);
}

bool SIM_CampaignEncounter::IsLinkedTo(const SIM_CampaignEncounter* other) const
{
    return std::find(neighbours.begin(), neighbours.end(), other) != neighbours.end();
}

int SIM_CampaignEncounter::GetHopCount(const SIM_CampaignEncounter* other) const
{
    for (const auto& h : hopCounts)
        if (h.first == other)
            return h.second;
    return -1;
}

SIM_CampaignEncounter* SIM_CampaignEncounter::FindByID(int id)
{
    for (SIM_CampaignEncounter* e : Registry())
        if (e->encounterId == id)
            return e;
    return nullptr;
}

void SIM_CampaignEncounter::ClearAllChangeLogs()
{
    for (SIM_CampaignEncounter* e : Registry()) {
        ClearReasonedChanges(e->loyalty);
        ClearReasonedChanges(e->ai->threat);
    }
}

bool SIM_CampaignEncounter::HasFacilityOfType(const std::string& typeName) const
{
    for (const auto& f : facilities)
        if (f->GetType() && f->GetType()->typeName == typeName)
            return true;
    return false;
}

bool SIM_CampaignEncounter::HasRepairFacility() const
{
    return HasFacilityOfType("repairyard") || HasFacilityOfType("shipyarda") || HasFacilityOfType("shipyardb") ||
           HasFacilityOfType("shipyardc");
}

bool SIM_CampaignEncounter::CanBuildClass(int hullClass) const
{
    switch (hullClass) {
    case 0:
        return HasFacilityOfType("shipyarda");
    case 1:
        return HasFacilityOfType("shipyarda") || HasFacilityOfType("shipyardb");
    case 2:
        return HasFacilityOfType("shipyarda") || HasFacilityOfType("shipyardb") || HasFacilityOfType("shipyardc");
    default:
        return false;
    }
}

float SIM_CampaignEncounter::GetGarrisonStrength() const
{
    float total = 0.0f;
    for (const SIM_CampaignFleet* f : fleets)
        total += f->totalCost;
    return total;
}

void SIM_CampaignEncounter::UpdateFacilityYields()
{
    for (const auto& f : facilities) {
        if (!f || !f->GetType())
            continue;
        if (f->GetType()->facilityClass == SIM_CampaignFacilityType::FACTORY)
            f->UpdateCurrentCash();
        else if (f->GetType()->facilityClass == SIM_CampaignFacilityType::ACADEMY)
            f->UpdateCurrentCrew();
    }
}

void SIM_CampaignEncounter::SetTerritory(int owner)
{
    territory = owner;
    UpdateFacilityYields();
    SIM_CampaignScreenHooks& hooks = SIM_CampaignScreenHooks::Get();
    hooks.UpdateCashCounter();
    hooks.UpdateCrewCounter();
}

void SIM_CampaignEncounter::EndTurn()
{
    UpdateLoyalty();
    for (auto& f : facilities) {
        if (!f->GetType())
            continue;
        if (f->GetType()->facilityClass == SIM_CampaignFacilityType::FACTORY)
            f->CollectCash();
        else if (f->GetType()->facilityClass == SIM_CampaignFacilityType::ACADEMY)
            f->CollectCrew();
    }
    if (territory == PLAYER)
        ai->CheckForAttacks();
    else
        ai->UpdateArmsRaceFear();
}

void SIM_CampaignEncounter::UpdateLoyalty()
{
    if (territory == PLAYER)
        AddReasonedChange(CampaignOption("loyalty_boost_per_turn"), GetString("LOYALTY_REASON_CONTROLLED_BY_PLAYER"),
                          true, loyalty);
    else
        AddReasonedChange(CampaignOption("loyalty_fall_per_turn") * -1.0f,
                          GetString("LOYALTY_REASON_NOTCONTROLLED_BY_PLAYER"), false, loyalty);
    if (homeworld == 1) {
        loyalty.value = 0.0f;
        AddReasonedChange(1.0f, GetString("LOYALTY_REASON_HOMEWORLD"), true, loyalty);
    }
    garrisonLoyalty = GetGarrisonStrength() / 1000.0f * CampaignOption("fleet_garrison_loyalty_multiplier");
    const float cap = CampaignOption("max_fleet_garrison_loyalty");
    if (garrisonLoyalty > cap)
        garrisonLoyalty = cap;
    if (garrisonLoyalty > 0.0f)
        AddReasonedChange(garrisonLoyalty, GetString("LOYALTY_REASON_FRIENDLYFLEET"), true, loyalty);
}

void SIM_CampaignEncounter::SaveState(std::string& out, int index) const
{
    out += StrFormat("\n[encounter_%d]\n", index);
    out += StrFormat("encounterid = %d\n", encounterId);
    out += StrFormat("territory = %s\n", SIM_CampaignProgress::GetInstance().ownerNames[territory].c_str());
    // Two decimals where they say it all, more where they do not: income is
    // loyalty times a factory's yield, cut to whole credits, so a loyalty
    // rounded on saving paid another sum after a reload.
    out += "threat = " + ExactFloatText(ai->threat.value, 2) + "\n";
    out += "loyalty = " + ExactFloatText(loyalty.value, 2) + "\n";
    out += "currentfleet = " + ExactFloatText(ai->currentFleet, 2) + "\n";
    out += "fleetboost = " + ExactFloatText(ai->fleetboost, 2) + "\n";
    out += StrFormat("freeze = %.2f\n", static_cast<float>(ai->freezeTurns));
    // The turn's report of the planet, while it waits for the player.
    SaveChanges(out, "loyalty", loyalty);
    SaveChanges(out, "threat", ai->threat);
}

void SIM_CampaignEncounter::SaveChanges(std::string& out, const char* name, const SIM_ReasonedValue& value)
{
    if (!value.changed)
        return;
    out += StrFormat("%schanged = 1\n", name);
    for (size_t i = 0; i < value.changes.size() && i < kMaxSavedChanges; ++i) {
        const SIM_ReasonedChange& c = value.changes[i];
        out += StrFormat("%schange%zu = %s,%d,%s\n", name, i, ExactFloatText(c.amount, 2).c_str(), c.flag ? 1 : 0,
                         c.reason.c_str());
    }
}

void SIM_CampaignEncounter::LoadChanges(const GIniFile& section, const char* name, SIM_ReasonedValue& value)
{
    value.changes.clear();
    value.changed = section.GetInt(StrFormat("%schanged", name).c_str()) == 1;
    if (!value.changed)
        return;
    for (size_t i = 0; i < kMaxSavedChanges; ++i) {
        const std::string key = StrFormat("%schange%zu", name, i);
        if (!section.HasKey(key.c_str()))
            break;
        const std::string line = section.GetString(key.c_str());
        float amount = 0.0f;
        int flag = 0, used = 0;
        if (std::sscanf(line.c_str(), "%f,%d,%n", &amount, &flag, &used) < 2 || used == 0 || !std::isfinite(amount) ||
            std::fabs(amount) > kMaxChange) {
            LOG_ERROR(StrFormat("%s [%s] %s: not a change of the turn's report, passed over",
                                section.GetFileName().c_str(), section.GetSection().c_str(), key.c_str()));
            continue;
        }
        value.changes.push_back(
            {amount, CleanCampaignName(line.substr(static_cast<size_t>(used), kMaxReasonLength)), flag != 0});
    }
}

void SIM_CampaignEncounter::LoadState(const GIniFile& section)
{
    const std::string owner = section.GetString("territory");
    territory = UNKNOWN;
    const auto& names = SIM_CampaignProgress::GetInstance().ownerNames;
    for (int i = 0; i < 3; ++i) {
        if (owner == names[i]) {
            territory = i;
            break;
        }
    }
    // Bounded like every number of the save: an edited one could otherwise
    // pay absurd income or have the enemy attack every turn.
    const float maxStrength = static_cast<float>(SIM_CampaignProgress::kMaxCash);
    ai->threat.value = section.GetFloatInRange("threat", 0.0f, 1.0f, 0.0f);
    ai->currentFleet = section.GetFloatInRange("currentfleet", 0.0f, maxStrength, 0.0f);
    ai->fleetboost = section.GetFloatInRange("fleetboost", 0.0f, maxStrength, 0.0f);
    ai->freezeTurns = TruncateToInt(
        section.GetFloatInRange("freeze", 0.0f, static_cast<float>(SIM_CampaignProgress::kMaxTurn), 0.0f));
    loyalty.value = section.GetFloatInRange("loyalty", 0.0f, 1.0f, 0.0f);
    LoadChanges(section, "loyalty", loyalty);
    LoadChanges(section, "threat", ai->threat);
}

std::string SIM_CampaignEncounter::DefinitionText() const
{
    // The campaign's own keys and sections are rewritten; every other key and
    // section of the scenario file (enemy race, zones, anomalies...) is kept
    // as it was, so a round trip loses nothing.
    std::vector<std::pair<std::string, std::string>> config = {
        {"MapPosition.X", StrFormat("%.4f", mapPosition[0])},
        {"MapPosition.Y", StrFormat("%.4f", mapPosition[1])},
        {"EncounterID", StrFormat("%d", encounterId)},
        {"wormholes", ""},
        {"name", name},
        {"guiname", guiname},
        {"mapiconsize", StrFormat("%.4f", mapIconSize)},
        {"enemyfleetcost", StrFormat("%d", enemyFleetCost)},
    };
    for (const SIM_CampaignEncounter* n : neighbours)
        config[3].second += StrFormat("%d,", n->encounterId);

    std::string original;
    ReadWholeFile(GetFilePath(), original);
    std::string out = "[config]\n";
    for (const auto& kv : config)
        out += kv.first + " = " + kv.second + "\n";
    std::string section;
    std::vector<std::string> terrainRest; // lines after the planet's
    bool planetLine = true;
    for (const std::string& line : SplitTextLines(original)) {
        if (!line.empty() && line[0] == '[') {
            const size_t close = line.find(']');
            section = line.substr(1, close == std::string::npos ? std::string::npos : close - 1);
            if (section != "config" && section != "terrain" && section != "facilities" && section != "hopcounts")
                out += "\n" + line + "\n";
            continue;
        }
        if (section == "terrain" && !line.empty() && line[0] != ';') {
            if (!planetLine)
                terrainRest.push_back(line);
            planetLine = false;
            continue;
        }
        if (section == "terrain" || section == "facilities" || section == "hopcounts" || line.empty())
            continue;
        if (section == "config") {
            const std::string key = TrimKey(line);
            bool ours = false;
            for (const auto& kv : config)
                ours = ours || kv.first == key;
            if (ours)
                continue;
        }
        out += line + "\n";
    }
    if (!planetName.empty()) {
        out += StrFormat("\n[terrain]\n0 = %.2f,%.2f,1.0,%s,0,0,0,1.0,1.0,%.2f,%.2f,0,1\n", planetPosition[0],
                         planetPosition[1], planetName.c_str(), planetSize, planetSize);
        for (const std::string& line : terrainRest)
            out += line + "\n";
    } else {
        LOG_DEBUG("No planet");
    }
    if (!facilities.empty()) {
        out += "\n[facilities]\n";
        int i = 0;
        for (const auto& f : facilities)
            out += StrFormat("%d = %s\n", i++, f->GetType()->typeName.c_str());
    }
    if (!hopCounts.empty()) {
        out += "\n[hopcounts]\n";
        int i = 0;
        for (const auto& h : hopCounts)
            out += StrFormat("%d = %d,%d\n", i++, h.first->encounterId, h.second);
    }
    return out;
}

bool SIM_CampaignEncounter::SaveDefinition() const
{
    if (definitionFile.empty())
        return false;
    const std::string path = CampaignDataPath(definitionFile);
    if (!WriteFileAtomically(path, DefinitionText())) {
        LOG_ERROR("Failed to write encounter file " + path);
        return false;
    }
    return true;
}
