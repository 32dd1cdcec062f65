#include "battle/GUI_ParticleConfig.h"

#include <algorithm>
#include <cstdlib>

#include "engine/ModSupport.h"
#include "engine/GDebugLog.h"
#include "engine/GFileList.h"
#include "engine/GIniFile.h"

namespace {

// The list owns the configs; what is left at exit is freed with it.
struct ConfigStore {
    std::vector<GUI_ParticleConfig*> list;
    ~ConfigStore()
    {
        std::vector<GUI_ParticleConfig*> left;
        left.swap(list);
        for (GUI_ParticleConfig* config : left)
            delete config;
    }
};

std::vector<GUI_ParticleConfig*>& ConfigList()
{
    static ConfigStore store;
    return store.list;
}

bool g_loaded = false;

int IntText(const char* text)
{
    // At most 63 characters of the value are read.
    const std::string value = std::string(text).substr(0, 63);
    return static_cast<int>(std::strtol(value.c_str(), nullptr, 10));
}

} // namespace

GUI_ParticleConfig::GUI_ParticleConfig()
{
    ConfigList().push_back(this);
}

GUI_ParticleConfig::~GUI_ParticleConfig()
{
    auto& list = ConfigList();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

const std::vector<GUI_ParticleConfig*>& GUI_ParticleConfig::GetList()
{
    return ConfigList();
}

bool GUI_ParticleConfig::Read(const std::string& fileName)
{
    GIniFile ini;
    if (!ini.Load("config", fileName.c_str()))
        return false;
    ReadFrom(ini);
    return true;
}

bool GUI_ParticleConfig::ReadText(const std::string& text)
{
    GIniFile ini;
    if (!ini.LoadFromText("config", "[config]\n" + text))
        return false;
    ReadFrom(ini);
    return true;
}

void GUI_ParticleConfig::ReadFrom(const GIniFile& ini)
{
    Name = ini.GetString("Name");
    MinXVelocity = ini.GetFloat("MinXVelocity", 0.0f);
    MaxXVelocity = ini.GetFloat("MaxXVelocity", 0.0f);
    MinYVelocity = ini.GetFloat("MinYVelocity", 0.0f);
    MaxYVelocity = ini.GetFloat("MaxYVelocity", 0.0f);
    MinSize = ini.GetFloat("MinSize", 0.0f);
    MaxSize = ini.GetFloat("MaxSize", 0.0f);
    AlphaFalloff = ini.GetFloat("AlphaFalloff", 0.0f);
    SizeFalloff = ini.GetFloat("SizeFalloff", 0.0f);
    SpeedFalloff = ini.GetFloat("SpeedFalloff", 0.0f);
    XScatter = ini.GetFloat("XScatter", 0.0f);
    YScatter = ini.GetFloat("YScatter", 0.0f);
    ParticlesPerSecond = ini.GetFloat("ParticlesPerSecond", 0.0f);
    InitialParticles = static_cast<int>(ini.GetFloat("InitialParticles", 0.0f));
    Lifetime = ini.GetFloat("Lifetime", 0.0f);
    Type = ini.GetString("Type");
    UVFrame = IntText(ini.GetString("UVFrame"));
    UVFrameLast = IntText(ini.GetString("UVFrameLast"));
    UVFrameSpan = UVFrameLast - UVFrame;
    MinSpinSpeed = ini.GetFloat("MinSpinSpeed", 0.0f);
    MaxSpinSpeed = ini.GetFloat("MaxSpinSpeed", 0.0f);
    BiasScalar = ini.GetFloat("BiasScalar", 1.0f);
    IsAngled = IntText(ini.GetString("IsAngled")) != 0;
    if (Type.empty())
        LOG_ERROR("particle config without Type: " + ini.GetFileName());
    texture.SetName(textureName);
}

void ClearParticleConfigs()
{
    auto& list = ConfigList();
    while (!list.empty())
        delete list.back();
    g_loaded = false;
}

void LoadParticleConfigs()
{
    ClearParticleConfigs();
    GFileList files;
    files.FindFiles("data/particleconfigs/*.txt");
    ModSupport::FindFiles(&files, "data/particleconfigs/*.txt");
    for (const std::string& file : files.names) {
        auto* config = new GUI_ParticleConfig(); // owned by the list
        if (!config->Read(file)) {
            LOG_ERROR("particle config without [config]: " + file);
            delete config;
        }
    }
    g_loaded = true;
}

GUI_ParticleConfig* FindParticleConfig(const std::string& name)
{
    if (!g_loaded)
        LoadParticleConfigs();
    for (GUI_ParticleConfig* config : ConfigList())
        if (config->Name == name)
            return config;
    // Once per name: an explosion that names it may start every frame.
    LOG_ERROR_ONCE("Particle config not found: " + name);
    return nullptr;
}
