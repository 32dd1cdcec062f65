#include "campaign/sim/SIM_CampaignEnemyFleet.h"

#include "campaign/sim/SIM_CampaignEncounter.h"
#include "campaign/sim/SIM_CampaignOptions.h"
#include "engine/GDebugLog.h"
#include "engine/GIniFile.h"
#include "engine/StrFormat.h"
#include "sim/SIM_DeployedFleet.h"

#include <algorithm>
#include <cstdlib>

namespace {
// Caps for what a read file may claim: far beyond any real fleet.
constexpr size_t kMaxShips = 1000;
constexpr size_t kMaxModules = 512;
} // namespace

bool SIM_CampaignEnemyFleet::FillFromDeployedFleet(int encounter, const std::string& challenge,
                                                   const SIM_DeployedFleet& fleet)
{
    challengeId = challenge;
    encounterId = encounter;
    ships.clear();
    for (const auto& s : fleet.GetShips()) {
        SIM_CampaignEnemyShipData d;
        d.shipId = s->shipId;
        d.quantity = s->quantity;
        ships.push_back(std::move(d));
    }
    return !ships.empty();
}

SIM_CampaignEnemyShipData* SIM_CampaignEnemyFleet::FindShip(int shipId)
{
    for (auto& s : ships)
        if (s.shipId == shipId)
            return &s;
    return nullptr;
}

void SIM_CampaignEnemyFleet::RecordShipDestroyed(int shipId)
{
    if (SIM_CampaignEnemyShipData* s = FindShip(shipId))
        s->quantity = 0;
    else
        LOG_ERROR(StrFormat("Enemy fleet %s has no ship %d", challengeId.c_str(), shipId));
}

void SIM_CampaignEnemyFleet::RecordSurvivors(int shipId, int alive)
{
    SIM_CampaignEnemyShipData* s = FindShip(shipId);
    if (!s) {
        LOG_ERROR(StrFormat("Enemy fleet %s has no ship %d", challengeId.c_str(), shipId));
        return;
    }
    s->quantity = std::clamp(alive, 0, s->quantity);
}

void SIM_CampaignEnemyFleet::RecordShipDamage(int shipId, const std::vector<SIM_CampaignEnemyModuleDamage>& modules)
{
    SIM_CampaignEnemyShipData* s = FindShip(shipId);
    if (!s) {
        LOG_ERROR(StrFormat("Enemy fleet %s has no ship %d", challengeId.c_str(), shipId));
        return;
    }
    s->damage.clear();
    for (const auto& m : modules)
        if (m.integrity < 1.0f)
            s->damage.push_back(m);
}

void SIM_CampaignEnemyFleet::Repair()
{
    SIM_CampaignEncounter* e = SIM_CampaignEncounter::FindByID(encounterId);
    const float rate = (e && e->HasRepairFacility()) ? CampaignOption("ai_repair_high_rate")
                                                      : CampaignOption("ai_repair_low_rate");
    for (auto& s : ships) {
        for (auto& d : s.damage) {
            d.integrity += rate;
            d.integrity = d.integrity < 0.0f ? 0.0f : (d.integrity > 1.0f ? 1.0f : d.integrity);
        }
    }
}

std::string SIM_CampaignEnemyFleet::WriteText() const
{
    std::string out = "[config]\n";
    out += "qlmid = " + challengeId + "\n";
    out += StrFormat("encounterid = %d\n", encounterId);
    for (const auto& s : ships) {
        out += StrFormat("\n[ship_%d,]\nshipid = %d\nquantity = %d\n", s.shipId, s.shipId, s.quantity);
        int i = 0;
        for (const auto& d : s.damage)
            out += StrFormat("%d = %d,%s,%.2f,\n", i++, d.slot, d.moduleName.c_str(), d.integrity);
    }
    return out;
}

void SIM_CampaignEnemyFleet::ReadText(const std::string& text)
{
    ships.clear();
    GIniFile config;
    config.LoadFromText("config", text);
    challengeId = config.GetString("qlmid");
    encounterId = config.GetInt("encounterid");
    // Every section but [config] is a ship, whatever its name; one pass.
    for (const GIniFile& section : GIniFile::ParseSections(text)) {
        if (ships.size() >= kMaxShips)
            break;
        if (section.GetSection() == "config")
            continue;
        SIM_CampaignEnemyShipData s;
        for (size_t i = 0; i < section.GetEntryCount(); ++i) {
            const std::string& key = section.GetKeyAt(i);
            const std::string& value = section.GetValueAt(i);
            if (key == "shipid") {
                s.shipId = atoi(value.c_str());
            } else if (key == "quantity") {
                s.quantity = atoi(value.c_str());
            } else if (s.damage.size() < kMaxModules) {
                const size_t c1 = value.find(',');
                const size_t c2 = c1 == std::string::npos ? std::string::npos : value.find(',', c1 + 1);
                if (c2 == std::string::npos)
                    continue;
                SIM_CampaignEnemyModuleDamage d;
                d.slot = atoi(value.c_str());
                d.moduleName = value.substr(c1 + 1, c2 - c1 - 1);
                d.integrity = ParseLeadingFloat(value.c_str() + c2 + 1);
                s.damage.push_back(std::move(d));
            }
        }
        ships.push_back(std::move(s));
    }
}
