#include "campaign/sim/SIM_CampaignFleet.h"

#include "campaign/sim/SIM_CampaignBattleOutcome.h"
#include "campaign/sim/SIM_CampaignDebugLog.h"
#include "campaign/sim/SIM_CampaignStats.h"
#include "engine/GDebugLog.h"
#include "engine/GHttpClient.h"
#include "campaign/sim/SIM_CampaignEncounter.h"
#include "campaign/sim/SIM_CampaignOptions.h"
#include "campaign/sim/SIM_CampaignProgress.h"
#include "campaign/sim/SIM_CampaignScreenHooks.h"
#include "campaign/sim/SIM_CampaignShip.h"
#include "campaign/sim/SIM_CampaignShipsLog.h"
#include "engine/GIniFile.h"
#include "engine/GRandom.h"
#include "engine/StrFormat.h"
#include "online/SIM_Server.h"
#include "sim/SIM_ChallengeFile.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_ShipHull.h"

#include <algorithm>
#include <unordered_set>

SIM_CampaignFleet::~SIM_CampaignFleet()
{
    ClearShips();
    if (location) {
        auto& list = location->fleets;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
}

void SIM_CampaignFleet::AddShip(SIM_CampaignShip* ship)
{
    m_ships.push_back(ship);
    ship->fleet = this;
    RecalculateTotals();
}

bool SIM_CampaignFleet::RemoveShip(SIM_CampaignShip* ship)
{
    auto it = std::find(m_ships.begin(), m_ships.end(), ship);
    if (it == m_ships.end())
        return false;
    m_ships.erase(it);
    if (ship->fleet == this)
        ship->fleet = nullptr;
    RecalculateTotals();
    return true;
}

void SIM_CampaignFleet::ClearShips()
{
    for (SIM_CampaignShip* s : m_ships) {
        s->fleet = nullptr;
        delete s;
    }
    m_ships.clear();
    RecalculateTotals();
}

bool SIM_CampaignFleet::DeleteIfEmpty()
{
    if (!m_ships.empty())
        return false;
    CampaignLog("Campaign Fleet %d Deleted", id);
    SIM_CampaignProgress::GetInstance().RemoveFleet(this);
    SIM_CampaignScreenHooks::Get().RefreshFleetManager();
    delete this;
    return true;
}

void SIM_CampaignFleet::SetLocation(SIM_CampaignEncounter* encounter)
{
    if (!encounter || encounter == location)
        return;
    if (location) {
        auto& list = location->fleets;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
    location = encounter;
    location->fleets.push_back(this);
    // The fleet manager names where each fleet is.
    SIM_CampaignScreenHooks::Get().RefreshFleetManager();
}

void SIM_CampaignFleet::RecalculateTotals()
{
    shipCount = 0;
    totalCost = 0.0f;
    survivingCost = 0.0f;
    raceName.clear();
    if (!m_ships.empty() && m_ships[0]->design && m_ships[0]->design->GetHull())
        raceName = m_ships[0]->design->GetHull()->GetRaceName();
    for (const SIM_CampaignShip* s : m_ships) {
        const float c = (s->design ? s->design->GetCost() : 0.0f) * static_cast<float>(s->quantity);
        totalCost += c;
        shipCount += s->quantity;
        if (s->integrity > 0.0f)
            survivingCost += c;
    }
}

SIM_ShipDesign* SIM_CampaignFleet::GetMostExpensiveDesign() const
{
    SIM_ShipDesign* best = nullptr;
    float bestCost = 0.0f;
    for (const SIM_CampaignShip* s : m_ships) {
        if (s->design && s->design->GetCost() > bestCost) {
            best = s->design;
            bestCost = s->design->GetCost();
        }
    }
    if (!best && !m_ships.empty())
        best = m_ships[0]->design;
    return best;
}

bool SIM_CampaignFleet::NeedsRepair() const
{
    return std::any_of(m_ships.begin(), m_ships.end(), [](const SIM_CampaignShip* s) { return s->integrity < 1.0f; });
}

bool SIM_CampaignFleet::HasMovedShip() const
{
    return std::any_of(m_ships.begin(), m_ships.end(), [](const SIM_CampaignShip* s) { return s->moved; });
}

int SIM_CampaignFleet::CountShipsOfClass(int hullClass) const
{
    int n = 0;
    for (const SIM_CampaignShip* s : m_ships)
        if (s->design && s->design->GetHull() && s->design->GetHull()->GetClass() == hullClass)
            ++n;
    return n;
}

static bool HasEngine(const SIM_CampaignShip* s)
{
    return s->design && s->design->CountModulesOfClass("SIM_EngineModule") > 0;
}

bool SIM_CampaignFleet::IsImmobile() const
{
    return std::none_of(m_ships.begin(), m_ships.end(), HasEngine);
}

bool SIM_CampaignFleet::SplitOffImmobileShips()
{
    std::vector<SIM_CampaignShip*> stay;
    for (SIM_CampaignShip* s : m_ships)
        if (!HasEngine(s))
            stay.push_back(s);
    if (stay.empty() || !location)
        return false;
    auto* fresh = new SIM_CampaignFleet();
    fresh->ChooseRandomName();
    fresh->SetLocation(location);
    SIM_CampaignProgress::GetInstance().AddFleet(fresh);
    for (SIM_CampaignShip* s : stay) {
        RemoveShip(s);
        fresh->AddShip(s);
    }
    return true;
}

void SIM_CampaignFleet::MarkMoved()
{
    for (SIM_CampaignShip* s : m_ships)
        s->moved = true;
    SIM_CampaignScreenHooks::Get().RefreshFleetIcons();
}

void SIM_CampaignFleet::LogWarp(const SIM_CampaignEncounter* from, const SIM_CampaignEncounter* to)
{
    if (!from || !to)
        return;
    for (SIM_CampaignShip* s : m_ships)
        s->log->AddWarpEntry(from, to);
}

void SIM_CampaignFleet::ReleaseDesign(const std::string& designName)
{
    for (SIM_CampaignShip* s : m_ships)
        if (s->design && s->designName == designName)
            s->SetDesign(nullptr);
}

bool SIM_CampaignFleet::RelinkDesigns()
{
    bool all = true;
    for (SIM_CampaignShip* s : m_ships) {
        SIM_ShipDesign* d = SIM_ShipDesign::Find(s->designName);
        if (d)
            s->SetDesign(d);
        else
            all = false;
    }
    RecalculateTotals();
    return all;
}

void SIM_CampaignFleet::ChooseRandomName()
{
    guiName = SIM_CampaignFleetNames::GetInstance().DrawName();
    if (guiName.empty())
        guiName = StrFormat("Fleet %d", id >= 0 ? id : SIM_CampaignProgress::GetInstance().GetNextFleetID());
}

void SIM_CampaignFleet::ApplyBattleLosses(const SIM_CampaignBattleOutcome& outcome)
{
    SIM_CampaignStats& stats = SIM_CampaignProgress::GetInstance().GetStats();
    for (SIM_CampaignShip* ship : m_ships) {
        const bool squadron = ship->design && ship->design->IsFighter();
        if (squadron) {
            int casualties = 0, survivors = 0;
            int shield = 0, armour = 0, hull = 0;
            bool matched = false;
            for (const auto& r : outcome.playerShips) {
                if (r.shipId != ship->id)
                    continue;
                matched = true;
                (r.destroyed ? casualties : survivors) += 1;
                for (const auto& m : r.modules) {
                    shield = static_cast<int>(static_cast<float>(shield) + m.shieldDamage);
                    armour = static_cast<int>(static_cast<float>(armour) + m.armourDamage);
                    hull = static_cast<int>(static_cast<float>(hull) + m.hullDamage);
                }
            }
            if (!matched) {
                LOG_DEBUG("Failed to match up battle ship with campaign ship");
                continue;
            }
            ship->log->AddFighterBattleEntry(location, static_cast<float>(hull), static_cast<float>(shield),
                                             static_cast<float>(armour), casualties);
            if (casualties > 0)
                stats.AddToStat("ships_destroyed", casualties);
            ship->integrity = 1.0f;
            ship->quantity = survivors;
            continue;
        }
        const SIM_BattleShipResult* result = nullptr;
        for (const auto& r : outcome.playerShips) {
            if (r.shipId == ship->id) {
                result = &r;
                break;
            }
        }
        if (!result) {
            // Not deployed, or not matched: the ship stays as it was.
            LOG_DEBUG("Failed to match up battle ship with campaign ship");
            continue;
        }
        if (result->destroyed)
            stats.AddToStat("ships_destroyed", 1);
        ship->RecordBattleDamage(*result, location);
        if (result->destroyed)
            ship->integrity = 0.0f;
    }
    survivingCost = 0.0f;
    for (auto it = m_ships.begin(); it != m_ships.end();) {
        SIM_CampaignShip* ship = *it;
        if (ship->integrity > 0.0f && ship->quantity >= 1) {
            survivingCost += (ship->design ? ship->design->GetCost() : 0.0f) * static_cast<float>(ship->quantity);
            ++it;
            continue;
        }
        ship->log->DeleteLogFile();
        ship->fleet = nullptr;
        delete ship;
        it = m_ships.erase(it);
    }
}

int SIM_CampaignFleet::DueUploadLevel() const
{
    // A fleet that never had a cost has lost nothing.
    const float ratio = totalCost > 0.0f ? survivingCost / totalCost : 1.0f;
    if (ratio >= 1.0f)
        return uploadFlags[ONEHUNDRED] ? -1 : ONEHUNDRED;
    // Three quarters first, then half, then a quarter: one point per battle,
    // the first reached that was not posted yet.
    const float thresholds[] = {0.75f, 0.5f, 0.25f};
    for (int l = SEVENTYFIVE; l <= TWENTYFIVE; ++l)
        if (ratio <= thresholds[l - 1] && !uploadFlags[l])
            return l;
    return -1;
}

int SIM_CampaignFleet::CheckChallengeUpload(const SIM_DeployedFleet& deployed)
{
    const int level = DueUploadLevel();
    if (level < 0)
        return -1;
    return UploadAsChallenge(deployed, level) ? level : -1;
}

bool SIM_CampaignFleet::UploadAsChallenge(const SIM_DeployedFleet& deployed, int level)
{
    if (level < 0 || level >= UPLOAD_FLAG_COUNT)
        return false;
    const std::string file = WriteChallengeFile(deployed);
    if (file.empty())
        return false;
    const int unanswered = GHttpClient::UnansweredOnThisThread();
    if (!PostCampaignChallenge(SIM_Server::GetInstance(), file)) {
        ReportUploadFailed(GHttpClient::UnansweredOnThisThread() != unanswered);
        return false;
    }
    MarkUploaded(level);
    return true;
}

std::string SIM_CampaignFleet::WriteChallengeFile(const SIM_DeployedFleet& deployed) const
{
    if (!location)
        return std::string();
    SIM_Server& server = SIM_Server::GetInstance();
    // Playing without a server is the player's choice, not a fault.
    if (!server.IsOnline()) {
        LOG_DEBUG("Failed to upload fleet as challenge: no game server is set up");
        return std::string();
    }
    // Nor is playing without an online name: the server takes no challenge
    // without a sender, so nothing is asked of it.
    if (server.GetUserName().empty()) {
        LOG_DEBUG("Failed to upload fleet as challenge: the player has no online name");
        return std::string();
    }
    SIM_ChallengeFile& file = SIM_ChallengeFile::GetInstance();
    if (!file.Write(deployed, "_none_", "_none_", server.GetUserName(), *location))
        return std::string();
    return file.GetFileName();
}

bool SIM_CampaignFleet::PostCampaignChallenge(SIM_Server& server, const std::string& challengeFile)
{
    std::string id;
    // The point counts as posted only once the file arrived and the server
    // took it as a campaign challenge; otherwise the next battle tries again.
    return server.GetNewCampaignChallengeId(id) && server.PostChallenge(challengeFile, id) &&
           server.AddCampaignChallenge(id);
}

void SIM_CampaignFleet::ReportUploadFailed(bool unanswered)
{
    if (unanswered)
        LOG_DEBUG("Failed to upload fleet as challenge: the game server did not answer");
    else
        LOG_ERROR("Failed to upload fleet as challenge");
}

void SIM_CampaignFleet::MarkUploaded(int level)
{
    if (level < 0 || level >= UPLOAD_FLAG_COUNT)
        return;
    uploadFlags[level] = true;
    SIM_CampaignProgress::GetInstance().Save();
}

std::string SIM_CampaignFleet::GetFilePath() const
{
    return SIM_CampaignProgress::GetInstance().GetSaveFolder() + StrFormat("/fleets/fleet%d.txt", id);
}

std::string SIM_CampaignFleet::SaveText() const
{
    std::string out = "[config]\n";
    out += StrFormat("fleetid = %d\n", id);
    out += "guiname = " + QuotedValue(guiName) + "\n\n";
    for (size_t i = 0; i < m_ships.size(); ++i)
        out += m_ships[i]->SaveText(static_cast<int>(i));
    out += "\n[uploadflags]\n";
    out += StrFormat("ONEHUNDRED = %d\n", uploadFlags[ONEHUNDRED] ? 1 : 0);
    out += StrFormat("SEVENTYFIVE = %d\n", uploadFlags[SEVENTYFIVE] ? 1 : 0);
    out += StrFormat("FIFTY = %d\n", uploadFlags[FIFTY] ? 1 : 0);
    out += StrFormat("TWENTYFIVE = %d\n", uploadFlags[TWENTYFIVE] ? 1 : 0);
    return out;
}

namespace {
// The keys of a fleet file's section that no reader takes: the config's, the
// upload flags' and a ship's (its numbered module records among them).
size_t CountUnknownKeys(const GIniFile& ini)
{
    static const std::unordered_set<std::string> kConfig = {"fleetid", "guiname"};
    static const std::unordered_set<std::string> kFlags = {"ONEHUNDRED", "SEVENTYFIVE", "FIFTY", "TWENTYFIVE"};
    static const std::unordered_set<std::string> kShip = {"design", "hull", "name",  "quantity",
                                                          "num_mods", "integrity", "id", "moved"};
    const std::string& section = ini.GetSection();
    const auto& known = section == "config" ? kConfig : section == "uploadflags" ? kFlags : kShip;
    const bool ship = &known == &kShip;
    size_t unknown = 0;
    for (size_t i = 0; i < ini.GetEntryCount(); ++i) {
        const std::string& key = ini.GetKeyAt(i);
        if (known.count(key))
            continue;
        const size_t digits = key.find_first_not_of("0123456789");
        const bool record = digits != 0 && (digits == std::string::npos || key.substr(digits) == "_damage");
        unknown += !(ship && record);
    }
    return unknown;
}
} // namespace

std::string SIM_CampaignFleet::LoadFromText(const std::string& text, const std::string& fileName)
{
    ClearShips();
    highestShipId = 0;
    shipIdsInFile.clear();
    // A file without its config is fleet 0, as the save's check reads it: the
    // progress places it by that id.
    id = 0;
    // One pass over the text, however many ships it holds.
    std::vector<GIniFile> sections = GIniFile::ParseSections(text);
    // A fleet file always ends with its upload flags: one without them was
    // cut, and the ships past the cut would be lost by its next save.
    std::string held;
    if (sections.empty() || sections.back().GetSection() != "uploadflags" ||
        !*sections.back().GetString("TWENTYFIVE"))
        held = "it was cut short";
    cutShort = !held.empty();
    size_t shipSections = 0;
    size_t unknownKeys = 0;
    for (GIniFile& ini : sections) {
        ini.SetFileName(fileName);
        const std::string& section = ini.GetSection();
        unknownKeys += CountUnknownKeys(ini);
        if (section == "config") {
            id = SIM_CampaignProgress::ReadId(ini, "fleetid");
            guiName = ini.GetString("guiname");
            continue;
        }
        if (section == "uploadflags") {
            uploadFlags[ONEHUNDRED] = ini.GetInt("ONEHUNDRED") != 0;
            uploadFlags[SEVENTYFIVE] = ini.GetInt("SEVENTYFIVE") != 0;
            uploadFlags[FIFTY] = ini.GetInt("FIFTY") != 0;
            uploadFlags[TWENTYFIVE] = ini.GetInt("TWENTYFIVE") != 0;
            continue;
        }
        // Every ship's id counts, taken or not: a new ship must never get the
        // id (and so the log file) of one that waits in this file.
        const int shipId = ini.GetIntQuietly("id");
        shipIdsInFile.push_back(shipId);
        if (SIM_CampaignProgress::IdInRange(shipId))
            highestShipId = std::max(highestShipId, shipId);
        if (++shipSections > kMaxShips && held.empty())
            held = StrFormat("more than %zu ships", kMaxShips);
        if (!held.empty()) {
            // Not read as a ship, but a bad id in it is told now all the same
            // (in a file cut short, one missing may only be the cut).
            if (ini.HasKey("id") || !cutShort)
                SIM_CampaignProgress::ReadId(ini, "id");
            continue;
        }
        auto* ship = new SIM_CampaignShip();
        if (ship->LoadFromSection(ini)) {
            m_ships.push_back(ship);
            ship->fleet = this;
        } else {
            // The player knows the ship by its name, not by its section.
            const std::string who = ship->name.empty() ? ini.GetSection() : "\"" + ship->name + "\"";
            held = "the design \"" + ship->designName + "\" of " + who + " cannot be found";
            delete ship;
        }
    }
    // Said once per file: the next save writes only what the game reads. In
    // a file cut short, the key cut is the cut, told already.
    if (unknownKeys > 0 && !cutShort)
        LOG_ERROR(StrFormat("%s: %zu keys the game does not read, ignored", fileName.c_str(), unknownKeys));
    if (text.find("\r\n") != std::string::npos)
        LOG_ERROR(fileName + ": its lines end in CR LF (edited elsewhere), read as plain line ends");
    if (!held.empty())
        ClearShips();
    RecalculateTotals();
    return held;
}

SIM_CampaignFleetNames& SIM_CampaignFleetNames::GetInstance()
{
    static SIM_CampaignFleetNames instance;
    return instance;
}

void SIM_CampaignFleetNames::Fill()
{
    m_names.clear();
    m_cursor = 0;
    GIniFile section;
    section.Load("names", CampaignDataPath("fleetnames.txt").c_str());
    for (size_t i = 0; i < section.GetEntryCount(); ++i)
        if (!section.GetValueAt(i).empty())
            m_names.push_back(section.GetValueAt(i));
    for (size_t i = m_names.size(); i > 1; --i)
        std::swap(m_names[i - 1], m_names[static_cast<size_t>(QlmRand()) % i]);
    for (const SIM_CampaignFleet* f : SIM_CampaignProgress::GetInstance().GetFleets())
        RemoveName(f->guiName);
}

std::string SIM_CampaignFleetNames::DrawName()
{
    if (m_names.empty())
        Fill();
    if (m_names.empty())
        return std::string();
    if (m_cursor >= m_names.size())
        m_cursor = 0;
    std::string name = m_names[m_cursor];
    m_cursor = (m_cursor + 1) % m_names.size();
    return name;
}

void SIM_CampaignFleetNames::RemoveName(const std::string& name)
{
    if (m_names.size() <= 1)
        return;
    m_names.erase(std::remove(m_names.begin(), m_names.end(), name), m_names.end());
    if (m_names.empty()) // every name was this one: keep one
        m_names.push_back(name);
    if (m_cursor >= m_names.size())
        m_cursor = 0;
}
