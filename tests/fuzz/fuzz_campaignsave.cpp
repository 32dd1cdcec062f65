// A whole campaign save folder, mutated (progress, a fleet, a ship's log, an
// enemy fleet, the opponents, the commit record and staged files, which of
// its folders or files are links leading out of it, and whether the player's
// design "mine" is gone), loaded against the shipped campaign. Whatever it
// holds: nothing outside the save is removed or replaced, a refused save is
// left exactly as it was, the numbers stay within their bounds, a save that
// loads saves and loads back the same, a fleet that waits (its design gone)
// keeps its file as it was, and once the design is back the game's own save
// loads with every fleet it had. Run from the repository root.
#include "FuzzFiles.h"
#include "FuzzParts.h"

#include "campaign/sim/SIM_Campaign.h"
#include "campaign/sim/SIM_CampaignDebugLog.h"
#include "campaign/sim/SIM_CampaignAIManager.h"
#include "campaign/sim/SIM_CampaignFleet.h"
#include "campaign/sim/SIM_CampaignOptions.h"
#include "campaign/sim/SIM_CampaignEncounter.h"
#include "campaign/sim/SIM_CampaignProgress.h"
#include "campaign/sim/SIM_CampaignShip.h"
#include "engine/APP_UserFolders.h"
#include "engine/GFileHelpers.h"
#include "sim/SIM_HeadlessBattle.h"
#include "sim/SIM_ShipDesign.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>

namespace {
// The last part but one is no file either: its lines name entries of the
// save to replace with a link leading out of it (to the folder "outside"
// beside the saves). The last part names the designs gone for this input:
// "mine" removes the player's design.
const char* const kFiles[] = {"progress.txt",       "fleets/fleet1.txt",      "logs/1_log.ini",
                              "enemyfleets/3.ini",  "opponents.ini",          "save.commit",
                              "progress.txt.new",   "fleets/fleet1.txt.new",  "links",
                              "designs"};
constexpr size_t kLinks = std::size(kFiles) - 2;
constexpr size_t kDesigns = std::size(kFiles) - 1;
const char* const kLinkable[] = {"fleets", "logs", "enemyfleets", "deployments", "save.commit", "fleets/fleet1.txt",
                                 "logs/1_log.ini.new"};

// Every entry below the folder (links and folders too) with its text.
std::map<std::string, std::string> Snapshot(const std::string& folder)
{
    namespace fs = std::filesystem;
    std::map<std::string, std::string> out;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(folder, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        const std::string path = it->path().string();
        if (it->is_symlink(ec))
            out[path] = "link to " + fs::read_symlink(it->path(), ec).string();
        else if (it->is_regular_file(ec))
            ReadWholeFile(path, out[path]);
        else
            out[path] = it->is_directory(ec) ? "folder" : "special";
    }
    return out;
}

void Keep(const std::string& path, const std::string& text)
{
    std::string now;
    if (!ReadWholeFile(path, now) || now != text)
        abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static std::unique_ptr<SIM_Campaign> campaign;
    static std::string user;
    static std::string minePath, mineText;
    if (!campaign) {
        user = FuzzFolder() + "/user";
        APP_UserFolders::GetInstance().Create(user);
        SetDeletableRoot(user);
        SIM_CampaignDebugLog::GetInstance().SetPathForTest(FuzzFolder() + "/campaign.txt");
        SetCampaignDataFolder("campaign/data");
        SIM_HeadlessBattle::LoadContent();
        campaign = SIM_Campaign::LoadDefinition();
        // The player's own design: an escort under another name, in the ships folder.
        std::string escort;
        if (!ReadWholeFile("data/ships/fed_ai_escort.txt", escort))
            abort();
        mineText = "[config]\nname = mine\n" + escort.substr(escort.find("guiname"));
        minePath = APP_UserFolders::GetInstance().Get(APP_UserFolders::SHIPS) + "/mine.txt";
        // The lists ships and planets leave on their way out must outlive the exit handler.
        SIM_CampaignShip::GetAll();
        SIM_CampaignEncounter::GetAll();
        atexit([] {
            SIM_CampaignProgress::GetInstance().Close();
            campaign.reset();
            SIM_HeadlessBattle::FreeContent();
        });
    }
    const std::string root = APP_UserFolders::GetInstance().Get(APP_UserFolders::CAMPAIGN_PROGRESS);
    const std::string folder = root + "/fuzz";
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
    std::filesystem::create_directories(root + "/other", ec);
    for (const char* sub : {"/fleets", "/logs", "/enemyfleets"})
        std::filesystem::create_directories(folder + sub, ec);
    const std::vector<std::string> parts = FuzzParts(data, size, std::size(kFiles));
    SIM_CampaignProgress::GetInstance().Close();
    if (!SIM_ShipDesign::Find("mine", false) &&
        (!WriteFileAtomically(minePath, mineText) || !SIM_ShipDesign::LoadFile(minePath, true)))
        abort();
    const bool designGone = parts.size() > kDesigns && parts[kDesigns].find("mine") != std::string::npos;
    if (designGone && SIM_ShipDesign::TryDelete(SIM_ShipDesign::Find("mine"), std::filesystem::path(minePath)
                                                                                  .parent_path()
                                                                                  .string()) !=
                          SIM_ShipDesign::DeleteResult::DELETED)
        abort();
    for (size_t i = 0; i < parts.size() && i < kLinks; ++i)
        if (!WriteFileAtomically(folder + "/" + kFiles[i], parts[i]))
            abort();
    // What a record or a link must never reach: a file beside the saves,
    // another save, and a folder of files such as a save writes and removes.
    WriteFileAtomically(user + "/victim", "victim");
    WriteFileAtomically(root + "/other/progress.txt", "other");
    const std::string outside = user + "/outside";
    std::filesystem::create_directories(outside, ec);
    for (const char* name : {"fleet1.txt", "1_log.ini", "3.ini", "progress.txt.new", "1_log.ini.new"})
        WriteFileAtomically(outside + "/" + name, name);
    if (parts.size() > kLinks) {
        std::istringstream lines(parts[kLinks]);
        std::string line;
        while (std::getline(lines, line))
            for (const char* name : kLinkable)
                if (line == name) {
                    const std::string path = folder + "/" + name;
                    const std::string entry = name;
                    const size_t slash = entry.find('/');
                    // Never through a folder already made a link.
                    if (slash != std::string::npos &&
                        std::filesystem::is_symlink(folder + "/" + entry.substr(0, slash), ec))
                        continue;
                    std::filesystem::remove_all(path, ec);
                    // Relative, as tar and zip keep them: a file to its namesake there.
                    const std::string target = slash == std::string::npos
                                                   ? "../../outside"
                                                   : "../../../outside/" + entry.substr(slash + 1);
                    std::filesystem::create_symlink(target, path, ec);
                }
    }
    const auto outsideBefore = Snapshot(outside);
    const auto folderBefore = Snapshot(folder);

    SIM_CampaignProgress& progress = SIM_CampaignProgress::GetInstance();
    const bool loaded = progress.Load("fuzz");
    Keep(user + "/victim", "victim");
    Keep(root + "/other/progress.txt", "other");
    if (Snapshot(outside) != outsideBefore)
        abort();
    // A refused save is left as it was: no fleet file goes because a damaged
    // progress did not name it.
    if (!loaded) {
        if (Snapshot(folder) != folderBefore)
            abort();
        return 0;
    }
    if (progress.cash < 0 || progress.cash > SIM_CampaignProgress::kMaxCash || progress.turn < 0 ||
        progress.turn > SIM_CampaignProgress::kMaxTurn || progress.crew < 0 ||
        progress.GetFleets().size() > SIM_CampaignProgress::kMaxFleets)
        abort();
    for (const SIM_CampaignFleet* f : progress.GetFleets())
        if (!f->location || f->GetShips().size() > SIM_CampaignFleet::kMaxShips)
            abort();
    const float maxStrength = static_cast<float>(SIM_CampaignProgress::kMaxCash);
    for (const SIM_CampaignEncounter* e : SIM_CampaignEncounter::GetAll())
        if (!(e->loyalty.value >= 0.0f && e->loyalty.value <= 1.0f) ||
            !(e->ai->threat.value >= 0.0f && e->ai->threat.value <= 1.0f) ||
            !(e->ai->currentFleet >= 0.0f && e->ai->currentFleet <= maxStrength) ||
            !(e->ai->fleetboost >= 0.0f && e->ai->fleetboost <= maxStrength) ||
            e->ai->freezeTurns < 0 || e->ai->freezeTurns > SIM_CampaignProgress::kMaxTurn)
            abort();
    const int cash = progress.cash;
    const size_t fleets = progress.GetFleets().size();
    const size_t waiting = progress.GetWaitingFleets().size();
    std::map<std::string, std::string> waitingFiles;
    for (const auto& w : progress.GetWaitingFleets())
        ReadWholeFile(w.path, waitingFiles[w.path]);
    if (!progress.Save())
        return 0;
    for (const auto& [path, text] : waitingFiles)
        Keep(path, text);
    if (!progress.Load("fuzz") || progress.cash != cash || progress.GetFleets().size() != fleets ||
        progress.GetWaitingFleets().size() != waiting)
        abort();
    Keep(user + "/victim", "victim");
    if (Snapshot(outside) != outsideBefore)
        abort();
    // The design back: the game's own save loads, with no fleet fewer.
    if (designGone) {
        progress.Close();
        if (!WriteFileAtomically(minePath, mineText) || !SIM_ShipDesign::LoadFile(minePath, true))
            abort();
        if (!progress.Load("fuzz") || progress.GetFleets().size() < fleets ||
            progress.GetFleets().size() + progress.GetWaitingFleets().size() != fleets + waiting)
            abort();
    }
    return 0;
}
