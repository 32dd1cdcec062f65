#include "campaign/sim/SIM_CampaignProgress.h"

#include "campaign/sim/SIM_Campaign.h"
#include "campaign/sim/SIM_CampaignArmsRace.h"
#include "campaign/sim/SIM_CampaignBattleManager.h"
#include "campaign/sim/SIM_CampaignDebugLog.h"
#include "campaign/sim/SIM_CampaignEncounter.h"
#include "campaign/sim/SIM_CampaignEnemiesDB.h"
#include "campaign/sim/SIM_CampaignFleet.h"
#include "campaign/sim/SIM_CampaignFleetMerger.h"
#include "campaign/sim/SIM_CampaignOpponentLog.h"
#include "campaign/sim/SIM_CampaignOptions.h"
#include "campaign/sim/SIM_CampaignSaveWriter.h"
#include "campaign/sim/SIM_CampaignScreenHooks.h"
#include "campaign/sim/SIM_CampaignShip.h"
#include "campaign/sim/SIM_CampaignShipsLog.h"
#include "campaign/sim/SIM_CampaignStats.h"
#include "engine/APP_UserFolders.h"
#include "engine/GDebugLog.h"
#include "engine/GFileHelpers.h"
#include "engine/GIniFile.h"
#include "engine/GSafeFile.h"
#include "engine/SaturatingMath.h"
#include "engine/StrFormat.h"
#include "sim/SIM_ContentFiles.h"
#include "sim/SIM_Options.h"
#include "sim/SIM_Race.h"

#include <algorithm>
#include <cstdlib>
#include <set>
#include <unordered_map>
#include <unordered_set>

SIM_CampaignProgress& SIM_CampaignProgress::GetInstance()
{
    static SIM_CampaignProgress instance;
    return instance;
}

SIM_CampaignProgress::SIM_CampaignProgress()
    : m_stats(std::make_unique<SIM_CampaignStats>()), m_enemies(std::make_unique<SIM_CampaignEnemiesDB>())
{
}

SIM_CampaignProgress::~SIM_CampaignProgress()
{
    DeleteFleets();
}

void SIM_CampaignProgress::DeleteFleets()
{
    SIM_CampaignFleetMerger::Clear();
    std::vector<SIM_CampaignFleet*> fleets;
    fleets.swap(m_fleets);
    for (SIM_CampaignFleet* f : fleets)
        delete f;
}

void SIM_CampaignProgress::Close()
{
    SIM_CampaignBattleManager::GetInstance().Clear();
    DeleteFleets();
    m_ownFiles.clear();
    ForgetWaitingFleets();
    m_campaign = nullptr;
}

void SIM_CampaignProgress::ForgetWaitingFleets()
{
    m_waitingFleets.clear();
    m_keptPlaces.clear();
    m_reservedFleetId = 0;
    m_reservedShipId = 0;
}

void SIM_CampaignProgress::Init(SIM_Campaign* campaign)
{
    m_campaign = campaign;
    turn = 0;
    cash = 0;
    crew = 0;
    m_stats = std::make_unique<SIM_CampaignStats>();
    m_enemies = std::make_unique<SIM_CampaignEnemiesDB>();
}

static std::string SaveFolderFor(const std::string& name)
{
    return APP_UserFolders::GetInstance().Get(APP_UserFolders::CAMPAIGN_PROGRESS) + "/" + SanitiseFileName(name);
}

bool SIM_CampaignProgress::CreateNew(const std::string& name, const std::string& playerRace)
{
    const std::string folder = SaveFolderFor(name);
    if (!EnsureDirectoryExists(folder + "/fleets") || !EnsureDirectoryExists(folder + "/logs")) {
        LOG_ERROR("Failed to create campaign folder : " + folder);
        return false;
    }
    std::string text = "[config]\n";
    text += StrFormat("race = %s\n", playerRace.c_str());
    text += "turn = 0\n";
    text += StrFormat("cash = %d\n", CampaignOptionInt("newgame_credits"));
    text += StrFormat("crew = %d\n", CampaignOptionInt("newgame_crew"));
    if (!WriteFileAtomically(folder + "/progress.txt", text)) {
        LOG_ERROR("Failed to save campaign progress : " + folder + "/progress.txt");
        return false;
    }
    return true;
}

void SIM_CampaignProgress::AddFleet(SIM_CampaignFleet* fleet)
{
    fleet->id = GetNextFleetID();
    m_fleets.push_back(fleet);
}

void SIM_CampaignProgress::RemoveFleet(SIM_CampaignFleet* fleet)
{
    m_fleets.erase(std::remove(m_fleets.begin(), m_fleets.end(), fleet), m_fleets.end());
    SIM_CampaignBattleManager::GetInstance().ForgetFleet(fleet);
    SIM_CampaignFleetMerger::Forget(fleet);
    if (fleet->location) {
        auto& list = fleet->location->fleets;
        list.erase(std::remove(list.begin(), list.end(), fleet), list.end());
        fleet->location = nullptr;
    }
}

int SIM_CampaignProgress::GetNextFleetID() const
{
    // Past every fleet that waits on disk too: a new fleet never takes its file.
    int highest = m_reservedFleetId;
    for (const SIM_CampaignFleet* f : m_fleets)
        if (IdInRange(f->id))
            highest = std::max(highest, f->id);
    return NextId(highest, [&](int id) {
        return FindFleet(id) ||
               std::any_of(m_keptPlaces.begin(), m_keptPlaces.end(), [&](const auto& p) { return p.first == id; }) ||
               (!saveFolder.empty() && FileExists(saveFolder + StrFormat("/fleets/fleet%d.txt", id)));
    });
}

int SIM_CampaignProgress::ReadId(const GIniFile& section, const char* key)
{
    const int id = section.GetIntQuietly(key);
    const char* where = section.GetFileName().c_str();
    if (!section.HasKey(key)) {
        LOG_ERROR(StrFormat("%s [%s]: no %s, %d used", where, section.GetSection().c_str(), key, id));
        return id;
    }
    const std::string text = section.GetString(key);
    const size_t digits = text.find_first_not_of("0123456789", text[0] == '-' ? 1 : 0);
    // "1e20" and "99999999999" are held at the top of int: say what is kept.
    const std::string kept = text == StrFormat("%d", id) ? std::string("kept") : StrFormat("kept as %d", id);
    if (!IdInRange(id))
        LOG_ERROR(StrFormat("%s [%s] %s = %s: out of range 1..%d, %s", where, section.GetSection().c_str(), key,
                            text.substr(0, 40).c_str(), kMaxId, kept.c_str()));
    else if (digits != std::string::npos || text.size() > 10)
        LOG_ERROR(StrFormat("%s [%s] %s = %s: not a whole number, %d used", where, section.GetSection().c_str(), key,
                            text.substr(0, 40).c_str(), id));
    return id;
}

SIM_CampaignFleet* SIM_CampaignProgress::FindFleet(int fleetId) const
{
    for (SIM_CampaignFleet* f : m_fleets)
        if (f->id == fleetId)
            return f;
    return nullptr;
}

bool SIM_CampaignProgress::SetFleetLocationByID(int fleetId, int encounterId)
{
    SIM_CampaignEncounter* e = SIM_CampaignEncounter::FindByID(encounterId);
    SIM_CampaignFleet* f = FindFleet(fleetId);
    if (!e || !f) {
        LOG_ERROR(StrFormat("Campaign fleet %d or encounter %d not found", fleetId, encounterId));
        return false;
    }
    f->SetLocation(e);
    return true;
}

float SIM_CampaignProgress::GetConquestRatio() const
{
    if (!m_campaign || m_campaign->GetEncounters().empty())
        return 0.0f;
    int held = 0;
    for (const SIM_CampaignEncounter* e : m_campaign->GetEncounters())
        if (e->territory == SIM_CampaignEncounter::PLAYER)
            ++held;
    return static_cast<float>(held) / static_cast<float>(m_campaign->GetEncounters().size());
}

bool SIM_CampaignProgress::ReadsAsCampaign(const std::string& text)
{
    GIniFile config;
    config.LoadFromText("config", text);
    for (const char* key : {"race", "turn", "cash"})
        if (!config.HasKey(key))
            return false;
    return config.GetString("race")[0] != '\0';
}

bool SIM_CampaignProgress::IsWhole(const std::vector<GIniFile>& sections)
{
    auto has = [&](const char* name) {
        return std::any_of(sections.begin(), sections.end(), [&](const GIniFile& s) { return s.GetSection() == name; });
    };
    const GIniFile* config = nullptr;
    for (const GIniFile& s : sections)
        if (s.GetSection() == "config")
            config = &s;
    if (!config)
        return false;
    // A look at the numbers, not their reading: Load tells what is wrong with them.
    if (ParseLeadingInt(config->GetString("saveformat")) >= kSaveFormat)
        return has("end");
    // Saves of earlier builds: [stats] always followed the planets, and only
    // a new campaign's progress has neither fleets nor a turn.
    const bool begun = ParseLeadingInt(config->GetString("turn")) != 0 || has("fleets");
    return !begun || has("stats");
}

void SIM_CampaignProgress::AddCash(int amount)
{
    cash = std::clamp(SaturatingAdd(cash, amount), 0, kMaxCash);
}

void SIM_CampaignProgress::AddCrew(int amount)
{
    crew = std::clamp(SaturatingAdd(crew, amount), 0, kMaxCash);
}

namespace {
// The number a save file's name starts with after prefix ("fleet12.txt",
// "12_log.ini"); 0 when there is none.
int IdInName(const std::string& path, const std::string& prefix)
{
    const size_t slash = path.rfind('/');
    const std::string name = path.substr(slash == std::string::npos ? 0 : slash + 1);
    if (name.compare(0, prefix.size(), prefix) != 0)
        return 0;
    return std::max(0, ParseLeadingInt(name.c_str() + prefix.size()));
}

// Where each fleet stands by the [fleets] entries, by fleet id; the first
// entry of an id counts.
std::unordered_map<int, int> FleetPlaces(const GIniFile& fleets)
{
    std::unordered_map<int, int> places;
    for (size_t i = 0; i < fleets.GetEntryCount(); ++i) {
        const std::string& v = fleets.GetValueAt(i);
        const size_t comma = v.find(',');
        if (v.size() > 2 && comma != std::string::npos)
            places.emplace(ParseLeadingInt(v.c_str()), ParseLeadingInt(v.c_str() + comma + 1));
    }
    return places;
}
} // namespace

SIM_CampaignProgress::SaveRefusal SIM_CampaignProgress::CheckFleetFiles(
    const std::string& folder, const GIniFile& fleets, bool hasFleets,
    std::vector<SIM_CampaignSaveWriter::PendingFile>& files)
{
    // A progress cut short or damaged would otherwise drop the fleets it no
    // longer names, and the next save delete their files: every fleet file
    // must be one the progress places, and every fleet it places must have
    // its file (and its ships their logs) once the save's record is finished.
    const bool capped = files.size() > kMaxFleets;
    if (capped) {
        LOG_ERROR(StrFormat("%s/fleets: %zu fleet files, only the first %zu read, the rest left as they are",
                            folder.c_str(), files.size(), kMaxFleets));
        files.resize(kMaxFleets);
    }
    const std::unordered_map<int, int> places = FleetPlaces(fleets);
    std::unordered_set<std::string> logs;
    for (const auto& log : SIM_CampaignSaveWriter::PendingFiles(folder, "logs", ".ini"))
        logs.insert(log.path);
    std::unordered_set<int> placed;
    for (const auto& f : files) {
        std::string text;
        if (!ReadWholeFile(f.source, text, kMaxSaveFileBytes))
            return {"a fleet file cannot be read", f.source};
        int id = 0;
        for (const GIniFile& s : GIniFile::ParseSections(text)) {
            // Quietly: the load that follows tells what is wrong with a number.
            if (s.GetSection() == "config") {
                id = s.GetIntQuietly("fleetid");
            } else if (s.GetSection() != "uploadflags") {
                const std::string log = folder + StrFormat("/logs/%d_log.ini", s.GetIntQuietly("id"));
                if (FileExists(log) && !logs.count(log))
                    return {"its record would remove the log of a ship it keeps",
                            folder + "/" + SIM_CampaignSaveWriter::kRecordName};
            }
        }
        const auto place = places.find(id);
        if (!hasFleets || place == places.end() || !SIM_CampaignEncounter::FindByID(place->second) ||
            !placed.insert(id).second)
            return {"its progress does not place this fleet", f.source};
    }
    // Beyond the cap, entries name fleets that were not read: no loss.
    if (!capped)
        for (const auto& [id, at] : places)
            if (!placed.count(id))
                return {"a fleet its progress places has no file", folder + StrFormat("/fleets/fleet%d.txt", id)};
    return {};
}

bool SIM_CampaignProgress::Refuse(const std::string& why, const std::string& path)
{
    LOG_ERROR("Campaign save refused, " + why + " : " + path);
    m_refusedFile = path;
    m_refusedReason = why;
    return false;
}

bool SIM_CampaignProgress::Load(const std::string& name)
{
    const std::string folder = SaveFolderFor(name);
    // The save is checked whole before anything in its folder is touched: a
    // damaged one is refused as it is, never emptied by a later save.
    m_refusedFile.clear();
    m_refusedReason.clear();
    const std::string link = SIM_CampaignSaveWriter::FindLink(folder);
    if (!link.empty())
        return Refuse("a symbolic link in it could lead out of the save", link);
    const std::string pending = SIM_CampaignSaveWriter::PendingPath(folder, "progress.txt");
    std::string progressText;
    if (!ReadWholeFile(pending, progressText, kMaxSaveFileBytes) || !ReadsAsCampaign(progressText))
        return Refuse("it does not read as a campaign", pending);
    // One pass over the progress text, whatever the number of its sections.
    std::vector<GIniFile> sections = GIniFile::ParseSections(progressText);
    if (!IsWhole(sections))
        return Refuse("it was cut short", pending);
    const GIniFile empty;
    auto section = [&](const char* wanted) -> const GIniFile& {
        for (const GIniFile& s : sections)
            if (s.GetSection() == wanted)
                return s;
        return empty;
    };
    const bool hasFleets = std::any_of(sections.begin(), sections.end(),
                                       [](const GIniFile& s) { return s.GetSection() == "fleets"; });
    const GIniFile& fleets = section("fleets");
    const std::vector<SIM_CampaignSaveWriter::PendingFile> allFleetFiles =
        SIM_CampaignSaveWriter::PendingFiles(folder, "fleets", ".txt");
    std::vector<SIM_CampaignSaveWriter::PendingFile> fleetFiles = allFleetFiles;
    const SaveRefusal refusal = CheckFleetFiles(folder, fleets, hasFleets, fleetFiles);
    if (!refusal.path.empty())
        return Refuse(refusal.why, refusal.path);

    // What lies beyond the cap, and fleets kept out of play, keep their ids
    // and their ships' ids: a new fleet or ship never takes their files.
    ForgetWaitingFleets();
    // Ids beyond the range are never handed out, so never reserved either.
    auto reserve = [](int& highest, int id) {
        if (IdInRange(id))
            highest = std::max(highest, id);
    };
    for (const auto& f : allFleetFiles)
        reserve(m_reservedFleetId, IdInName(f.path, "fleet"));
    for (const auto& f : SIM_CampaignSaveWriter::PendingFiles(folder, "logs", ".ini"))
        reserve(m_reservedShipId, IdInName(f.path, ""));

    saveName = name;
    saveFolder = folder;
    SIM_CampaignSaveWriter::Recover(saveFolder);
    DeleteFleets();
    SIM_CampaignBattleManager::GetInstance().Clear();
    m_ownFiles.clear();

    const std::string progressPath = saveFolder + "/progress.txt";
    for (GIniFile& s : sections)
        s.SetFileName(progressPath);
    // Edited elsewhere: read the same, and written back with the game's own
    // line ends at the next save, so said once here.
    if (progressText.find("\r\n") != std::string::npos)
        LOG_ERROR(progressPath + ": its lines end in CR LF (edited elsewhere), read as plain line ends");
    std::unordered_set<int> waitingIds;
    // Ships of fleets out of play keep their ids, and their logs.
    std::unordered_set<int> waitingShipIds;
    // Every ship id the fleet files name, to find logs that belong to none.
    std::unordered_set<int> namedShipIds;
    std::vector<std::pair<SIM_CampaignFleet*, std::string>> loaded;
    bool someCut = false;
    for (const auto& f : fleetFiles) {
        std::string text;
        if (!ReadWholeFile(f.path, text, kMaxSaveFileBytes))
            continue;
        auto* fleet = new SIM_CampaignFleet();
        std::string why;
        {
            GLogFileTally tally(f.path);
            why = fleet->LoadFromText(text, f.path);
        }
        reserve(m_reservedShipId, fleet->highestShipId);
        namedShipIds.insert(fleet->shipIdsInFile.begin(), fleet->shipIdsInFile.end());
        someCut = someCut || fleet->cutShort;
        if (!why.empty()) {
            // Never rewritten nor removed by a save: the player gets it back
            // as it was once the game can take it whole (its design back).
            LOG_ERROR(f.path + ": " + why + "; the fleet waits out of play, its file kept as it is");
            m_waitingFleets.push_back({f.path, fleet->guiName, why});
            waitingIds.insert(fleet->id);
            waitingShipIds.insert(fleet->shipIdsInFile.begin(), fleet->shipIdsInFile.end());
            delete fleet;
            continue;
        }
        m_fleets.push_back(fleet);
        loaded.emplace_back(fleet, f.path);
    }
    // Two ships with one id (a hand-edited save) would share one log file,
    // each save writing over the other's: every ship after the first takes a
    // new id, and the history it read goes with it under its new name. Done
    // once every id on disk is reserved, so the new one is nobody's.
    std::unordered_set<int> shipIds;
    for (const auto& [fleet, path] : loaded) {
        for (SIM_CampaignShip* s : fleet->GetShips()) {
            if (!waitingShipIds.count(s->id) && shipIds.insert(s->id).second)
                continue;
            const int was = s->id;
            s->id = SIM_CampaignShip::GetNextFreeID();
            shipIds.insert(s->id);
            LOG_ERROR(StrFormat("%s: ship \"%s\" id = %d is another ship's id too, given id %d (its history goes with it)",
                                path.c_str(), s->name.c_str(), was, s->id));
        }
        m_ownFiles.insert(path);
        for (const SIM_CampaignShip* s : fleet->GetShips())
            m_ownFiles.insert(s->log->GetPath());
    }
    // Logs no fleet file names (their fleet gone by hand) are left as they
    // are, told in one line however many. Beyond the cap the fleet files were
    // not read, and a file cut short no longer names the ships past its cut,
    // so then nothing can be told of them.
    if (fleetFiles.size() == allFleetFiles.size() && !someCut) {
        size_t orphans = 0;
        for (const auto& f : SIM_CampaignSaveWriter::PendingFiles(folder, "logs", ".ini")) {
            const std::string name = f.path.substr(f.path.rfind('/') + 1);
            const int id = ParseLeadingInt(name.c_str());
            if (name != StrFormat("%d_log.ini", id) || !namedShipIds.count(id))
                ++orphans;
        }
        if (orphans > 0)
            LOG_ERROR(StrFormat("%s/logs: %zu ship logs belong to no ship of the fleet files, kept as they are",
                                saveFolder.c_str(), orphans));
    }

    const GIniFile& config = section("config");
    race = config.GetString("race");
    if (!SIM_Race::Find(race, false)) {
        LOG_ERROR(StrFormat("%s [config] race = %s: no such race, %s used", progressPath.c_str(), race.c_str(),
                            SIM_Options::GetInstance().GetRaceName().c_str()));
        race = SIM_Options::GetInstance().GetRaceName();
    }
    turn = config.GetIntInRange("turn", 0, kMaxTurn);
    cash = config.GetIntInRange("cash", 0, kMaxCash);
    crew = config.GetIntInRange("crew", 0, kMaxCash);
    size_t unknownKeys = 0;
    for (size_t i = 0; i < config.GetEntryCount(); ++i) {
        const std::string& key = config.GetKeyAt(i);
        unknownKeys += key != "saveformat" && key != "race" && key != "turn" && key != "cash" && key != "crew";
    }
    if (unknownKeys > 0)
        LOG_ERROR(StrFormat("%s [config]: %zu keys the game does not read, ignored", progressPath.c_str(),
                            unknownKeys));

    std::unordered_map<int, SIM_CampaignFleet*> byId;
    for (SIM_CampaignFleet* f : m_fleets)
        byId.emplace(f->id, f);
    // A fleet not in play (waiting, or beyond the cap) keeps its place for the
    // load that takes it; entries for fleets beyond the cap are told in one
    // line, not one each.
    size_t beyond = 0, ignored = 0;
    std::unordered_set<int> kept;
    for (size_t i = 0; i < fleets.GetEntryCount(); ++i) {
        const std::string& v = fleets.GetValueAt(i);
        const size_t comma = v.find(',');
        if (v.size() <= 2 || comma == std::string::npos)
            continue;
        const int fleetId = ParseLeadingInt(v.c_str());
        const int encounterId = ParseLeadingInt(v.c_str() + comma + 1);
        const auto fleet = byId.find(fleetId);
        if (fleet == byId.end()) {
            if (!kept.insert(fleetId).second) {
                ++ignored;
                continue;
            }
            m_keptPlaces.emplace_back(fleetId, encounterId);
            reserve(m_reservedFleetId, fleetId);
            if (!waitingIds.count(fleetId))
                ++beyond;
            continue;
        }
        SIM_CampaignEncounter* at = SIM_CampaignEncounter::FindByID(encounterId);
        if (!at || fleet->second->location) {
            ++ignored;
            continue;
        }
        fleet->second->SetLocation(at);
    }
    if (beyond > 0)
        LOG_ERROR(StrFormat("%s [fleets]: %zu entries name fleets beyond the cap, kept as they are", progressPath.c_str(),
                            beyond));
    if (ignored > 0)
        LOG_ERROR(StrFormat("%s [fleets]: %zu entries repeat a fleet, ignored", progressPath.c_str(), ignored));
    for (auto it = m_fleets.begin(); it != m_fleets.end();) {
        SIM_CampaignFleet* f = *it;
        if (f->location && !f->GetShips().empty()) {
            ++it;
            continue;
        }
        // A fleet without ships (a shipyard's, saved before it closed) would
        // show as an empty icon.
        CampaignLog(f->location ? "Removed fleet: %s, as it has no ships" : "Removed fleet: %s, as no location found",
                    f->guiName.c_str());
        delete f; // leaves its planet's list

        it = m_fleets.erase(it);
    }

    size_t encounterSections = 0;
    for (const GIniFile& s : sections) {
        if (s.GetSection().find("encounter_") == std::string::npos)
            continue;
        if (++encounterSections > kMaxEncounterSections) {
            LOG_ERROR(StrFormat("%s: more than %zu encounter sections, the rest ignored", progressPath.c_str(),
                                kMaxEncounterSections));
            break;
        }
        SIM_CampaignEncounter* e = SIM_CampaignEncounter::FindByID(s.GetInt("encounterid"));
        if (!e) {
            LOG_ERROR(progressPath + ": no encounter for section " + s.GetSection());
            continue;
        }
        e->LoadState(s);
    }

    m_stats->Clear();
    const GIniFile& stats = section("stats");
    if (stats.GetEntryCount() > kMaxStats)
        LOG_ERROR(StrFormat("%s [stats]: %zu entries, only the first %zu read", progressPath.c_str(),
                            stats.GetEntryCount(), kMaxStats));
    for (size_t i = 0; i < stats.GetEntryCount() && i < kMaxStats; ++i) {
        const std::string& v = stats.GetValueAt(i);
        if (v.size() <= 2)
            continue;
        const size_t c1 = v.find(',');
        const size_t c2 = c1 == std::string::npos ? std::string::npos : v.find(',', c1 + 1);
        if (c2 == std::string::npos)
            continue;
        const std::string statName = v.substr(0, c1);
        const int count = atoi(v.c_str() + c1 + 1);
        const int value = TruncateToInt(ParseLeadingFloat(v.c_str() + c2 + 1));
        if (count == -1)
            m_stats->AddToFloatStat(statName, static_cast<float>(value));
        else
            m_stats->AddToStat(statName, count);
    }
    m_enemies->Load(saveFolder);
    SIM_CampaignOpponentLog::GetInstance().Load(saveFolder);
    SIM_CampaignBattleManager::GetInstance().LoadAttacks(progressText);
    return true;
}

std::string SIM_CampaignProgress::ProgressText() const
{
    std::string out = "[config]\n";
    out += StrFormat("saveformat = %d\n", kSaveFormat);
    out += StrFormat("race = %s\n", race.c_str());
    out += StrFormat("turn = %d\ncash = %d\ncrew = %d\n", turn, cash, crew);
    out += "\n[fleets]\n";
    int index = 0;
    for (const SIM_CampaignFleet* f : m_fleets)
        if (f->location)
            out += StrFormat("%d = %d,%d\n", index++, f->id, f->location->encounterId);
    for (const auto& [fleetId, encounterId] : m_keptPlaces)
        out += StrFormat("%d = %d,%d\n", index++, fleetId, encounterId);
    out += "\n";
    if (m_campaign) {
        int n = 0;
        for (const SIM_CampaignEncounter* e : m_campaign->GetEncounters())
            e->SaveState(out, n++);
    }
    out += "\n[stats]\n";
    int s = 0;
    for (const auto& e : m_stats->GetEntries())
        out += StrFormat("%d = %s,%d,%.2f\n", s++, e.name.c_str(), e.count, e.value);
    out += SIM_CampaignBattleManager::GetInstance().AttacksText();
    // Last: a copy cut anywhere before it is known to be cut.
    out += "\n[end]\n";
    return out;
}

bool SIM_CampaignProgress::Save()
{
    if (saveFolder.empty()) {
        LOG_ERROR("Failed to save campaign progress : no save folder");
        return false;
    }
    EnsureDirectoryExists(saveFolder + "/fleets");
    EnsureDirectoryExists(saveFolder + "/logs");
    // A save cut short earlier is finished first.
    SIM_CampaignSaveWriter::Recover(saveFolder);
    SIM_CampaignSaveWriter writer(saveFolder);
    // Fleet and log files of fleets and ships that are gone must not come back
    // on the next load. Only files this campaign read or wrote are removed:
    // whatever lay beyond a cap at load, or was never a file of it, stays.
    std::set<std::string> written;
    for (const SIM_CampaignFleet* f : m_fleets) {
        writer.Add(f->GetFilePath(), f->SaveText());
        written.insert(f->GetFilePath());
        for (const SIM_CampaignShip* s : f->GetShips()) {
            writer.Add(s->log->GetPath(), s->log->SaveText());
            written.insert(s->log->GetPath());
        }
    }
    for (const std::string& path : m_ownFiles)
        if (!written.count(path) && FileExists(path))
            writer.Remove(path);
    m_enemies->AddToSave(writer, saveFolder);
    writer.Add(saveFolder + "/opponents.ini", SIM_CampaignOpponentLog::GetInstance().SaveText());
    // Last, so that a save cut short never has a progress file newer than its fleets.
    writer.Add(saveFolder + "/progress.txt", ProgressText());
    if (!writer.Commit()) {
        // Until a save goes in, the files written before stay this campaign's.
        m_ownFiles.insert(written.begin(), written.end());
        LOG_ERROR("Failed to save campaign progress : " + writer.GetError());
        SIM_CampaignScreenHooks::Get().ShowMessage("CAMPAIGN_SAVE_FAILED");
        return false;
    }
    m_ownFiles = std::move(written);
    return true;
}

void SIM_CampaignProgress::Reset(const std::string& playerRace)
{
    SIM_CampaignBattleManager::GetInstance().Clear();
    DeleteFleets();
    m_ownFiles.clear();
    ForgetWaitingFleets();
    cash = 5000;
    crew = 800;
    SIM_CampaignScreenHooks::Get().UpdateCashCounter();
    race = playerRace;
    m_stats->Clear();
    if (!saveFolder.empty())
        SIM_CampaignEnemiesDB::DeleteFiles(saveFolder);
    m_enemies->Clear();
    SIM_CampaignOpponentLog::GetInstance().Clear();
    m_campaign = nullptr;
    SIM_CampaignDebugLog::GetInstance().Close();
    CampaignLog("Log Reset");
}

void SIM_CampaignProgress::NextTurn()
{
    CampaignLog("Next turn");
    SIM_CampaignScreenHooks& hooks = SIM_CampaignScreenHooks::Get();
    hooks.CloseShipyard();
    for (SIM_CampaignShip* s : SIM_CampaignShip::GetAll())
        s->moved = false;
    if (m_campaign)
        for (SIM_CampaignEncounter* e : SIM_CampaignEncounter::GetAll())
            e->EndTurn();
    SIM_CampaignBattleManager& battles = SIM_CampaignBattleManager::GetInstance();
    battles.ProcessEndOfTurn();
    m_enemies->TurnStep();
    AdjustDifficulty(battles.difficultyMultiplier);
    // The bound a load holds the turn to: the game's own save never exceeds it.
    if (turn >= kMaxTurn)
        LOG_ERROR_ONCE(StrFormat("%s/progress.txt [config] turn = %d: the last turn a save holds, the turn stays there",
                                 saveFolder.c_str(), kMaxTurn));
    turn = std::min(turn + 1, kMaxTurn);
    Save();
    hooks.CloseTurnWindows();
    hooks.OpenEndTurnDialog();
}
