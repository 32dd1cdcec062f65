#pragma once
#include <memory>
#include <string>
#include <vector>

#include "engine/GAttributeList.h"

// A kind of facility (factory, repair yard, shipyard, academy) read from one
// file of the campaign data's "facilities" folder. Types live in one global
// list; the first file of a typename wins.
class SIM_CampaignFacilityType {
public:
    enum Class { NONE = 0, FACTORY = 1, REPAIRYARD = 2, SHIPYARD = 3, ACADEMY = 4 };

    SIM_CampaignFacilityType() = default;
    virtual ~SIM_CampaignFacilityType() = default;

    // False when the file has no [config] section.
    bool Load(const std::string& fileName);

    // Every "facilities/*.txt" of the campaign data folder.
    static void LoadAll();
    static void FreeAll();
    // Loads the types first when none are loaded; null when unknown.
    static SIM_CampaignFacilityType* FindByTypeName(const std::string& typeName);

    GAttributeList attributes;
    std::string hideficon;
    std::string typeName;
    std::string guiName;
    std::string description;
    int iconId = 0;
    int facilityClass = NONE;

private:
    static std::vector<std::unique_ptr<SIM_CampaignFacilityType>>& List();
};
