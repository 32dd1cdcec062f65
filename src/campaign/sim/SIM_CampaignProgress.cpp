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
#include "engine/GFileList.h"
#include "engine/GIniFile.h"
#include "engine/GSafeFile.h"
#include "engine/SaturatingMath.h"
#include "engine/StrFormat.h"
#include "sim/SIM_ContentFiles.h"
#include "sim/SIM_Options.h"
#include "sim/SIM_Race.h"

#include <algorithm>
#include <cstdlib>

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
    m_campaign = nullptr;
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
    int highest = 0;
    for (const SIM_CampaignFleet* f : m_fleets)
        highest = std::max(highest, f->id);
    return highest + 1;
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

void SIM_CampaignProgress::AddCash(int amount)
{
    cash = std::clamp(SaturatingAdd(cash, amount), 0, kMaxCash);
}

void SIM_CampaignProgress::AddCrew(int amount)
{
    crew = std::clamp(SaturatingAdd(crew, amount), 0, kMaxCash);
}

bool SIM_CampaignProgress::Load(const std::string& name)
{
    const std::string folder = SaveFolderFor(name);
    // The save is checked before anything in its folder is touched: a damaged
    // one is refused as it is, never emptied by a later save.
    m_refusedFile.clear();
    const std::string pending = SIM_CampaignSaveWriter::PendingPath(folder, "progress.txt");
    std::string progressText;
    if (!ReadWholeFile(pending, progressText, kMaxSaveFileBytes) || !ReadsAsCampaign(progressText)) {
        LOG_ERROR("Campaign save refused, it does not read as a campaign : " + pending);
        m_refusedFile = pending;
        return false;
    }
    saveName = name;
    saveFolder = folder;
    SIM_CampaignSaveWriter::Recover(saveFolder);
    DeleteFleets();
    SIM_CampaignBattleManager::GetInstance().Clear();

    const std::string progressPath = saveFolder + "/progress.txt";
    if (!ReadWholeFile(progressPath, progressText, kMaxSaveFileBytes)) {
        LOG_ERROR("Failed to load campaign progress : " + progressPath);
        m_refusedFile = progressPath;
        saveFolder.clear();
        return false;
    }

    GFileList files;
    files.FindFiles(saveFolder + "/fleets/*.txt");
    if (files.names.size() > kMaxFleets) {
        LOG_ERROR(StrFormat("%s/fleets: %zu fleet files, only the first %zu read", saveFolder.c_str(),
                            files.names.size(), kMaxFleets));
        files.names.resize(kMaxFleets);
    }
    for (const std::string& path : files.names) {
        std::string text;
        if (!ReadWholeFile(path, text, kMaxSaveFileBytes))
            continue;
        auto* fleet = new SIM_CampaignFleet();
        fleet->LoadFromText(text, path);
        m_fleets.push_back(fleet);
    }

    // One pass over the progress text, whatever the number of its sections.
    std::vector<GIniFile> sections = GIniFile::ParseSections(progressText);
    const GIniFile empty;
    auto section = [&](const char* wanted) -> const GIniFile& {
        for (const GIniFile& s : sections)
            if (s.GetSection() == wanted)
                return s;
        return empty;
    };
    for (GIniFile& s : sections)
        s.SetFileName(progressPath);
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

    const GIniFile& fleets = section("fleets");
    for (size_t i = 0; i < fleets.GetEntryCount(); ++i) {
        const std::string& v = fleets.GetValueAt(i);
        if (v.size() <= 2)
            continue;
        const size_t comma = v.find(',');
        if (comma == std::string::npos)
            continue;
        SetFleetLocationByID(atoi(v.c_str()), atoi(v.c_str() + comma + 1));
    }
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
    out += StrFormat("race = %s\n", race.c_str());
    out += StrFormat("turn = %d\ncash = %d\ncrew = %d\n", turn, cash, crew);
    out += "\n[fleets]\n";
    int index = 0;
    for (const SIM_CampaignFleet* f : m_fleets)
        if (f->location)
            out += StrFormat("%d = %d,%d\n", index++, f->id, f->location->encounterId);
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
    // A save cut short earlier is finished first, so the stale-file lists below see one whole save.
    SIM_CampaignSaveWriter::Recover(saveFolder);
    SIM_CampaignSaveWriter writer(saveFolder);
    // Fleet files of fleets that are gone must not come back on the next load.
    GFileList old;
    old.FindFiles(saveFolder + "/fleets/*.txt");
    for (const std::string& path : old.names)
        writer.Remove(path);
    GFileList oldLogs;
    oldLogs.FindFiles(saveFolder + "/logs/*.ini");
    for (const std::string& path : oldLogs.names)
        writer.Remove(path);
    for (const SIM_CampaignFleet* f : m_fleets) {
        writer.Add(f->GetFilePath(), f->SaveText());
        for (const SIM_CampaignShip* s : f->GetShips())
            writer.Add(s->log->GetPath(), s->log->SaveText());
    }
    m_enemies->AddToSave(writer, saveFolder);
    writer.Add(saveFolder + "/opponents.ini", SIM_CampaignOpponentLog::GetInstance().SaveText());
    // Last, so that a save cut short never has a progress file newer than its fleets.
    writer.Add(saveFolder + "/progress.txt", ProgressText());
    if (!writer.Commit()) {
        LOG_ERROR("Failed to save campaign progress : " + writer.GetError());
        SIM_CampaignScreenHooks::Get().ShowMessage("CAMPAIGN_SAVE_FAILED");
        return false;
    }
    return true;
}

void SIM_CampaignProgress::Reset(const std::string& playerRace)
{
    SIM_CampaignBattleManager::GetInstance().Clear();
    DeleteFleets();
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
    ++turn;
    Save();
    hooks.CloseTurnWindows();
    hooks.OpenEndTurnDialog();
}
