#include "campaign/sim/SIM_CampaignFacilityType.h"

#include "campaign/sim/SIM_CampaignOptions.h"
#include "engine/GDebugLog.h"
#include "engine/GFileList.h"
#include "engine/GIniFile.h"

#include <cstdlib>

std::vector<std::unique_ptr<SIM_CampaignFacilityType>>& SIM_CampaignFacilityType::List()
{
    static std::vector<std::unique_ptr<SIM_CampaignFacilityType>> list;
    return list;
}

static int ParseClass(const std::string& text)
{
    if (text == "FACTORY")
        return SIM_CampaignFacilityType::FACTORY;
    if (text == "REPAIRYARD")
        return SIM_CampaignFacilityType::REPAIRYARD;
    if (text == "SHIPYARD")
        return SIM_CampaignFacilityType::SHIPYARD;
    if (text == "ACADEMY")
        return SIM_CampaignFacilityType::ACADEMY;
    return SIM_CampaignFacilityType::NONE;
}

bool SIM_CampaignFacilityType::Load(const std::string& fileName)
{
    GIniFile config;
    if (!config.Load("config", fileName.c_str())) {
        LOG_ERROR(fileName + ": no [config] section in facility file");
        return false;
    }
    typeName = config.GetString("typename");
    guiName = config.GetString("guiname");
    description = config.GetString("description");
    iconId = atoi(std::string(config.GetString("iconid")).substr(0, 63).c_str());
    hideficon = config.GetString("hideficon");
    facilityClass = ParseClass(config.GetString("class"));

    GIniFile attrs;
    if (attrs.Load("attributes", fileName.c_str())) {
        for (size_t i = 0; i < attrs.GetEntryCount(); ++i) {
            const std::string& value = attrs.GetValueAt(i);
            // "n,1" is the shortest entry that names something and gives a number.
            if (value.size() <= 2)
                continue;
            const size_t comma = value.find(',');
            if (comma == std::string::npos) {
                LOG_ERROR(fileName + ": attribute without a comma: " + value);
                continue;
            }
            attributes.SetValue(value.substr(0, comma), ParseLeadingFloat(value.c_str() + comma + 1));
        }
    }
    return true;
}

void SIM_CampaignFacilityType::LoadAll()
{
    GFileList files;
    files.FindFiles(CampaignDataPath("facilities/*.txt"));
    for (const std::string& name : files.names) {
        auto type = std::make_unique<SIM_CampaignFacilityType>();
        if (type->Load(name))
            List().push_back(std::move(type));
    }
}

void SIM_CampaignFacilityType::FreeAll()
{
    List().clear();
}

SIM_CampaignFacilityType* SIM_CampaignFacilityType::FindByTypeName(const std::string& typeName)
{
    if (List().empty())
        LoadAll();
    for (auto& type : List())
        if (type->typeName == typeName)
            return type.get();
    return nullptr;
}
