#include "battle/GUI_ExplosionConfig.h"

#include <algorithm>

#include "engine/ModSupport.h"
#include "engine/GDebugLog.h"
#include "engine/GFileList.h"
#include "engine/GIniFile.h"

namespace {

// The list owns the configs; what is left at exit is freed with it.
struct ConfigStore {
    std::vector<GUI_ExplosionConfig*> list;
    ~ConfigStore()
    {
        std::vector<GUI_ExplosionConfig*> left;
        left.swap(list);
        for (GUI_ExplosionConfig* config : left)
            delete config;
    }
};

std::vector<GUI_ExplosionConfig*>& ConfigList()
{
    static ConfigStore store;
    return store.list;
}

constexpr size_t kMaxNameLength = 127;

void ReadEmitters(GUI_ExplosionConfig& config, const GIniFile& ini)
{
    for (size_t i = 0; i < ini.GetEntryCount(); ++i) {
        // "0 = name" or the name alone on its line.
        std::string name = ini.GetValueAt(i).empty() ? ini.GetKeyAt(i) : ini.GetValueAt(i);
        if (name.size() > kMaxNameLength)
            name.resize(kMaxNameLength);
        if (!name.empty())
            config.emitterNames.push_back(name);
    }
}

void ReadConfig(GUI_ExplosionConfig& config, const GIniFile& ini)
{
    config.MinZoomLOD = ini.GetFloat("MinZoomLOD", 0.0f);
    config.MaxZoomLOD = ini.GetFloat("MaxZoomLOD", 0.0f);
    config.VisibleCheckRadius = ini.GetFloat("VisibleCheckRadius", 0.0f);
    config.ConfigName = ini.GetString("ConfigName");
}

} // namespace

GUI_ExplosionConfig::GUI_ExplosionConfig()
{
    ConfigList().push_back(this);
}

GUI_ExplosionConfig::~GUI_ExplosionConfig()
{
    auto& list = ConfigList();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

const std::vector<GUI_ExplosionConfig*>& GUI_ExplosionConfig::GetList()
{
    return ConfigList();
}

bool GUI_ExplosionConfig::Read(const std::string& fileName)
{
    GIniFile ini;
    if (!ini.Load("config", fileName.c_str()))
        return false;
    ReadConfig(*this, ini);
    GIniFile emitters;
    if (emitters.Load("emmiters", fileName.c_str()))
        ReadEmitters(*this, emitters);
    return true;
}

bool GUI_ExplosionConfig::ReadText(const std::string& configSection, const std::string& emittersSection)
{
    GIniFile ini;
    if (!ini.LoadFromText("config", "[config]\n" + configSection))
        return false;
    ReadConfig(*this, ini);
    GIniFile emitters;
    if (emitters.LoadFromText("emmiters", "[emmiters]\n" + emittersSection))
        ReadEmitters(*this, emitters);
    return true;
}

void ClearExplosionConfigs()
{
    auto& list = ConfigList();
    while (!list.empty())
        delete list.back();
}

void LoadExplosionConfigs()
{
    ClearExplosionConfigs();
    GFileList files;
    files.FindFiles("data/explosions/*.txt");
    ModSupport::FindFiles(&files, "data/explosions/*.txt");
    for (const std::string& file : files.names) {
        auto* config = new GUI_ExplosionConfig(); // owned by the list
        if (!config->Read(file)) {
            LOG_ERROR("explosion config without [config]: " + file);
            delete config;
        }
    }
}

GUI_ExplosionConfig* FindExplosionConfig(const std::string& name)
{
    if (ConfigList().empty())
        LoadExplosionConfigs();
    for (GUI_ExplosionConfig* config : ConfigList())
        if (config->ConfigName == name)
            return config;
    std::string message = "Failed to find " + name;
    if (message.size() > kMaxNameLength)
        message.resize(kMaxNameLength);
    LOG_ERROR_ONCE(message);
    return nullptr;
}
