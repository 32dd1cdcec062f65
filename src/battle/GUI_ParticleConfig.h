#pragma once
#include <string>
#include <vector>

#include "engine/SmartTexture.h"

class GIniFile;

// How the particles of one kind are born, move, shrink, fade and are drawn;
// one file of data/particleconfigs each. Configs are loaded once, on the
// first lookup, and live in one list in load order.
class GUI_ParticleConfig {
public:
    static constexpr const char* kTextureName = "particles.dds";
    static constexpr int kSheetColumns = 8;
    static constexpr int kSheetRows = 4;

    GUI_ParticleConfig();
    virtual ~GUI_ParticleConfig();
    GUI_ParticleConfig(const GUI_ParticleConfig&) = delete;
    GUI_ParticleConfig& operator=(const GUI_ParticleConfig&) = delete;

    // Reads [config] of the file (or of text, for tests); false when the
    // section is missing. A missing Type is logged with the file's name.
    bool Read(const std::string& fileName);
    bool ReadText(const std::string& text);

    SmartTexture texture;
    std::string Name;
    std::string textureName = kTextureName;
    std::string Type;
    float MinXVelocity = 0.0f, MaxXVelocity = 0.0f;
    float MinYVelocity = 0.0f, MaxYVelocity = 0.0f;
    float MinSize = 0.0f, MaxSize = 0.0f;
    float AlphaFalloff = 0.0f;
    float SizeFalloff = 0.0f;
    float SpeedFalloff = 0.0f;
    float XScatter = 0.0f, YScatter = 0.0f;
    float ParticlesPerSecond = 0.0f;
    int InitialParticles = 0;
    float Lifetime = 0.0f;
    float MaxSpinSpeed = 0.0f, MinSpinSpeed = 0.0f;
    int UVFrame = 0;
    int UVFrameLast = 0;
    int UVFrameSpan = 0;
    bool IsAngled = false;
    float BiasScalar = 1.0f;

    static const std::vector<GUI_ParticleConfig*>& GetList();

private:
    void ReadFrom(const GIniFile& ini);
};

// Loads every data/particleconfigs/*.txt of the install and extra folders,
// replacing what was loaded.
void LoadParticleConfigs();
void ClearParticleConfigs();
// The first config of that exact name; null (logged once per name) when none.
GUI_ParticleConfig* FindParticleConfig(const std::string& name);
