// A whole campaign save folder, mutated (progress, a fleet, a ship's log, an
// enemy fleet, the opponents, the commit record and staged files), loaded
// against the shipped campaign. Whatever it holds: nothing outside the save
// is removed or replaced, the numbers stay within their bounds, and a save
// that loads saves and loads back the same. Run from the repository root.
#include "FuzzFiles.h"
#include "FuzzParts.h"

#include "campaign/sim/SIM_Campaign.h"
#include "campaign/sim/SIM_CampaignDebugLog.h"
#include "campaign/sim/SIM_CampaignFleet.h"
#include "campaign/sim/SIM_CampaignOptions.h"
#include "campaign/sim/SIM_CampaignEncounter.h"
#include "campaign/sim/SIM_CampaignProgress.h"
#include "campaign/sim/SIM_CampaignShip.h"
#include "engine/APP_UserFolders.h"
#include "engine/GFileHelpers.h"
#include "sim/SIM_HeadlessBattle.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>

namespace {
const char* const kFiles[] = {"progress.txt",       "fleets/fleet1.txt",      "logs/1_log.ini",
                              "enemyfleets/3.ini",  "opponents.ini",          "save.commit",
                              "progress.txt.new",   "fleets/fleet1.txt.new"};

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
    if (!campaign) {
        user = FuzzFolder() + "/user";
        APP_UserFolders::GetInstance().Create(user);
        SetDeletableRoot(user);
        SIM_CampaignDebugLog::GetInstance().SetPathForTest(FuzzFolder() + "/campaign.txt");
        SetCampaignDataFolder("campaign/data");
        SIM_HeadlessBattle::LoadContent();
        campaign = SIM_Campaign::LoadDefinition();
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
    for (size_t i = 0; i < parts.size(); ++i)
        if (!WriteFileAtomically(folder + "/" + kFiles[i], parts[i]))
            abort();
    // What a record must never reach: a file beside the saves and another save.
    WriteFileAtomically(user + "/victim", "victim");
    WriteFileAtomically(root + "/other/progress.txt", "other");

    SIM_CampaignProgress& progress = SIM_CampaignProgress::GetInstance();
    const bool loaded = progress.Load("fuzz");
    Keep(user + "/victim", "victim");
    Keep(root + "/other/progress.txt", "other");
    if (!loaded)
        return 0;
    if (progress.cash < 0 || progress.cash > SIM_CampaignProgress::kMaxCash || progress.turn < 0 ||
        progress.turn > SIM_CampaignProgress::kMaxTurn || progress.crew < 0 ||
        progress.GetFleets().size() > SIM_CampaignProgress::kMaxFleets)
        abort();
    for (const SIM_CampaignFleet* f : progress.GetFleets())
        if (!f->location || f->GetShips().size() > SIM_CampaignFleet::kMaxShips)
            abort();
    const int cash = progress.cash;
    const size_t fleets = progress.GetFleets().size();
    if (!progress.Save())
        return 0;
    if (!progress.Load("fuzz") || progress.cash != cash || progress.GetFleets().size() != fleets)
        abort();
    Keep(user + "/victim", "victim");
    return 0;
}
