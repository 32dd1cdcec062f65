#include "campaign/sim/SIM_CampaignShipsLog.h"

#include "campaign/sim/SIM_CampaignDebugLog.h"
#include "campaign/sim/SIM_CampaignEncounter.h"
#include "campaign/sim/SIM_CampaignOptions.h"
#include "campaign/sim/SIM_CampaignProgress.h"
#include "campaign/sim/SIM_CampaignShip.h"
#include "engine/GDebugLog.h"
#include "engine/GHashTable.h"
#include "engine/GSafeFile.h"
#include "engine/GTokenizer.h"
#include "engine/StrFormat.h"
#include "engine/TextHelpers.h"

#include <cstdio>

namespace {
const char* const kKindNames[SIM_CampaignShipsLog::KIND_COUNT] = {"LOG_CONSTRUCTION", "LOG_REPAIR",
                                                                   "LOG_HYPERSPACEJUMP", "LOG_BATTLE", "LOG_CAPTURED"};

std::string PlanetOf(const SIM_CampaignEncounter* e)
{
    return e ? e->planetName : std::string();
}

std::string Whole(float amount)
{
    return FormatThousands(static_cast<long long>(amount));
}
} // namespace

const char* SIM_CampaignShipsLog::GetKindName(int kind)
{
    return (kind >= 0 && kind < KIND_COUNT) ? kKindNames[kind] : "";
}

std::string SIM_CampaignShipsLog::GetPath() const
{
    return SIM_CampaignProgress::GetInstance().GetSaveFolder() + "/logs/" + StrFormat("%d_log.ini", m_ship->id);
}

std::string SIM_CampaignShipsLog::SaveText() const
{
    std::string out;
    for (const auto& e : m_entries) {
        // The reader groups by double quotes: a quoted text keeps its commas.
        out += std::string(GetKindName(e.kind)) + "," + QuotedValue(e.text) + "," + e.turnText + "\n";
    }
    return out;
}

void SIM_CampaignShipsLog::Load()
{
    std::string text;
    const std::string path = GetPath();
    if (!ReadWholeFile(path, text, kMaxSaveFileBytes)) {
        m_entries.clear();
        CampaignLog("Missing Log File: %s", path.c_str());
        return;
    }
    LoadFromText(text);
}

void SIM_CampaignShipsLog::LoadFromText(const std::string& text)
{
    m_entries.clear();
    // Told once for the file: a log of a million unknown lines must not
    // become a million error lines and a long freeze.
    size_t unknown = 0;
    std::string firstUnknown;
    for (const std::string& line : SplitTextLines(text)) {
        if (line.size() <= 1)
            continue;
        GTokenizer t(line, ',');
        SIM_CampaignShipsLogEntry entry;
        const std::string kindName = t.NextString();
        entry.text = t.NextString();
        entry.turnText = t.NextString();
        entry.kind = -1;
        for (int k = 0; k < KIND_COUNT; ++k)
            if (kindName == kKindNames[k])
                entry.kind = k;
        if (entry.kind < 0) {
            if (unknown++ == 0)
                firstUnknown = kindName.substr(0, 40);
            continue;
        }
        m_entries.push_back(std::move(entry));
    }
    if (unknown > 0)
        LOG_ERROR(StrFormat("%s: %zu entries of no known kind left out (the first: %s)", GetPath().c_str(), unknown,
                            firstUnknown.c_str()));
}

void SIM_CampaignShipsLog::DeleteLogFile() const
{
    std::remove(GetPath().c_str());
}

void SIM_CampaignShipsLog::AddEntry(int kind, std::string text)
{
    SIM_CampaignShipsLogEntry e;
    e.turnText = StrFormat("%d", SIM_CampaignProgress::GetInstance().turn);
    e.text = std::move(text);
    e.kind = kind;
    m_entries.push_back(std::move(e));
}

void SIM_CampaignShipsLog::AddConstructionEntry(const SIM_CampaignEncounter* encounter)
{
    std::string text = GetString("CAMPAIGN_LOG_CONSTRUCTION");
    ReplaceSubstring(text, "<CONSTRUCTIONWORLD>", PlanetOf(encounter));
    AddEntry(CONSTRUCTION, text);
}

void SIM_CampaignShipsLog::AddWarpEntry(const SIM_CampaignEncounter* from, const SIM_CampaignEncounter* to)
{
    std::string text = GetString("CAMPAIGN_LOG_WARP");
    ReplaceSubstring(text, "<FROM>", PlanetOf(from));
    ReplaceSubstring(text, "<TO>", PlanetOf(to));
    AddEntry(HYPERSPACEJUMP, text);
}

void SIM_CampaignShipsLog::AddRepairEntry(float amount, float integrity)
{
    std::string text = GetString("CAMPAIGN_LOG_REPAIR");
    ReplaceSubstring(text, "<AMOUNT>", Whole(amount));
    ReplaceSubstring(text, "<INTEGRITY>", StrFormat("%.0f%%", integrity * 100.0f));
    AddEntry(REPAIR, text);
}

void SIM_CampaignShipsLog::AddBattleEntry(const SIM_CampaignEncounter* encounter, float hullDamage,
                                          float shieldDamage, float armourDamage, float hullIntegrity)
{
    std::string text = GetString("CAMPAIGN_LOG_BATTLE");
    ReplaceSubstring(text, "<PLANETNAME>", PlanetOf(encounter));
    ReplaceSubstring(text, "<INTEG>", StrFormat("%.0f", hullIntegrity * 100.0f));
    ReplaceSubstring(text, "<SHIELD>", Whole(shieldDamage));
    ReplaceSubstring(text, "<ARMOR>", Whole(armourDamage));
    ReplaceSubstring(text, "<HULL>", Whole(hullDamage));
    AddEntry(BATTLE, text);
}

void SIM_CampaignShipsLog::AddFighterBattleEntry(const SIM_CampaignEncounter* encounter, float hullDamage,
                                                 float shieldDamage, float armourDamage, int casualties)
{
    std::string text = GetString("CAMPAIGN_LOG_FIGHTERBATTLE");
    ReplaceSubstring(text, "<PLANETNAME>", PlanetOf(encounter));
    ReplaceSubstring(text, "<SHIELD>", Whole(shieldDamage));
    ReplaceSubstring(text, "<ARMOR>", Whole(armourDamage));
    ReplaceSubstring(text, "<HULL>", Whole(hullDamage));
    ReplaceSubstring(text, "<CASUALTIES>", StrFormat("%d", casualties));
    AddEntry(BATTLE, text);
}

void SIM_CampaignShipsLog::AddCapturedEntry(const SIM_CampaignEncounter* encounter, float integrity)
{
    std::string text = GetString("CAMPAIGN_LOG_CAPTURED");
    ReplaceSubstring(text, "<PLANETNAME>", PlanetOf(encounter));
    ReplaceSubstring(text, "<INTEGRITY>", StrFormat("%.0f%%", integrity * 100.0f));
    AddEntry(CAPTURED, text);
}
