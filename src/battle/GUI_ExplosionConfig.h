#pragma once
#include <string>
#include <vector>

// The particle configs one explosion starts (at most eight are used), with
// the zoom window and the on-screen test radius of its group. One file of
// data/explosions each, found by ConfigName (the file name plays no part).
class GUI_ExplosionConfig {
public:
    GUI_ExplosionConfig();
    virtual ~GUI_ExplosionConfig();
    GUI_ExplosionConfig(const GUI_ExplosionConfig&) = delete;
    GUI_ExplosionConfig& operator=(const GUI_ExplosionConfig&) = delete;

    bool Read(const std::string& fileName);
    // Both sections from text in memory (tests).
    bool ReadText(const std::string& configSection, const std::string& emittersSection);

    float MinZoomLOD = 0.0f;
    float MaxZoomLOD = 0.0f;
    float VisibleCheckRadius = 0.0f;
    std::vector<std::string> emitterNames;
    std::string ConfigName;

    static const std::vector<GUI_ExplosionConfig*>& GetList();
};

void LoadExplosionConfigs();
void ClearExplosionConfigs();
// Null (logged once per name) when no config has that name.
GUI_ExplosionConfig* FindExplosionConfig(const std::string& name);
