#include "campaign/sim/SIM_CampaignOptions.h"

#include "engine/GHashTable.h"
#include "engine/GIniFile.h"

namespace {
std::string& DataFolder()
{
    static std::string folder = "campaign/data";
    return folder;
}
bool g_optionsLoaded = false;
} // namespace

GIniFile& GetCampaignOptions()
{
    static GIniFile options;
    if (!g_optionsLoaded) {
        g_optionsLoaded = true;
        options.Clear();
        options.Load("config", CampaignDataPath("campaign_opt.ini").c_str());
    }
    return options;
}

float CampaignOption(const char* key)
{
    return GetCampaignOptions().GetFloat(key, 0.0f);
}

int CampaignOptionInt(const char* key)
{
    return static_cast<int>(CampaignOption(key));
}

void SetCampaignDataFolder(const std::string& folder)
{
    DataFolder() = folder;
    g_optionsLoaded = false;
}

const std::string& GetCampaignDataFolder()
{
    return DataFolder();
}

std::string CampaignDataPath(const std::string& relative)
{
    return DataFolder() + "/" + relative;
}

void ReloadCampaignOptions()
{
    g_optionsLoaded = false;
}

void LoadCampaignStrings()
{
    GetStringTable().EnsureLoaded("data/strings.ini");
    GetStringTable().LoadSection(CampaignDataPath("campaign_strings.txt"), true);
}

std::vector<std::string> SplitTextLines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(pos, end - pos);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(std::move(line));
        pos = end + 1;
    }
    return lines;
}

std::string QuotedValue(const std::string& text)
{
    std::string out = "\"";
    for (char c : text)
        out.push_back(c == '"' ? '\'' : (c == '\n' || c == '\r') ? ' ' : c);
    return out + "\"";
}
