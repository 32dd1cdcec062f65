// The campaign's own content, mutated: the map file (campaign.txt, with its
// encounter list and wormholes) and one encounter file, the input's two parts
// (see FuzzParts.h); the rest is the shipped campaign. Every planet loaded
// sits on the map with a finite position. Run from the repository root.
#include "FuzzFiles.h"
#include "FuzzParts.h"

#include "campaign/sim/SIM_Campaign.h"
#include "campaign/sim/SIM_CampaignEncounter.h"
#include "campaign/sim/SIM_CampaignOptions.h"
#include "campaign/sim/SIM_CampaignProgress.h"
#include "engine/GSafeFile.h"
#include "sim/SIM_HeadlessBattle.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string folder = [] {
        const std::string copy = FuzzFolder() + "/campaigndata";
        std::filesystem::copy("campaign/data", copy, std::filesystem::copy_options::recursive);
        SetCampaignDataFolder(copy);
        SIM_HeadlessBattle::LoadContent();
        atexit([] { SIM_HeadlessBattle::FreeContent(); });
        return copy;
    }();
    static std::string shippedMap, shippedPlanet;
    if (shippedMap.empty()) {
        ReadWholeFile("campaign/data/campaign.txt", shippedMap);
        ReadWholeFile("campaign/data/encounters/aldra.txt", shippedPlanet);
    }
    const std::vector<std::string> parts = FuzzParts(data, size, 2);
    WriteFileAtomically(folder + "/campaign.txt", parts.size() > 0 ? parts[0] : shippedMap);
    WriteFileAtomically(folder + "/encounters/aldra.txt", parts.size() > 1 ? parts[1] : shippedPlanet);
    std::unique_ptr<SIM_Campaign> campaign = SIM_Campaign::LoadDefinition();
    for (const SIM_CampaignEncounter* e : campaign->GetEncounters())
        if (!std::isfinite(e->mapPosition[0]) || !std::isfinite(e->mapPosition[1]))
            abort();
    SIM_CampaignProgress::GetInstance().Close();
    return 0;
}
