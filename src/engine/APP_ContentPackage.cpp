#include "engine/APP_ContentPackage.h"

#include "engine/GDebugLog.h"
#include "engine/GFileHelpers.h"
#include "engine/GFileList.h"
#include "engine/GHashTable.h"
#include "engine/GIniFile.h"

namespace {
const char* const kCampaignStrings = "campaign/data/campaign_strings.txt";
}

APP_ContentPackage& APP_ContentPackage::GetInstance()
{
    static APP_ContentPackage instance;
    static const bool loaded = (instance.Load(), true);
    (void)loaded;
    return instance;
}

void APP_ContentPackage::Load()
{
    m_packages.clear();
    GFileList files;
    files.FindFiles("data/packages/*.pkg");
    QLM_ASSERT(!files.names.empty());
    for (const std::string& file : files.names) {
        GIniFile ini;
        if (!ini.Load("config", file.c_str())) {
            LOG_ERROR("Cannot read " + file);
            continue;
        }
        if (!ini.HasKey("name")) {
            LOG_ERROR("Package without a name: " + file);
            continue;
        }
        m_packages.push_back(Package{ini.GetString("name"), ini.GetString("uiname")});
    }

    m_campaign = FileExists(kCampaignStrings);
    if (m_campaign) {
        GHashTable& table = GetStringTable();
        if (!table.IsLoaded())
            table.LoadSection("data/strings.ini", false);
        table.LoadSection(kCampaignStrings, true);
    }
}

bool APP_ContentPackage::HasPackage(const std::string& name) const
{
    for (const Package& p : m_packages)
        if (p.name == name)
            return true;
    return false;
}
