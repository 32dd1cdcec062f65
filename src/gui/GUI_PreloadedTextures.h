#pragma once
#include "engine/SmartTexture.h"

#include <array>

// The twelve textures the interface and the battle effects draw by index.
class GUI_PreloadedTextures {
public:
    static constexpr int kCount = 12;
    enum Index {
        kContrails = 0,
        kEscapePod = 1,
        kEscapePodEngines = 2,
        kDebris = 3,
        kShieldImpact = 4,
        kClientInterlace = 5,
        kHighlight = 6,
        kHighlightBlack = 7,
        kDialogClient = 8,
        kSmokeClouds = 9,
        kRunningLight = 10,
        kShieldCollapse = 11,
    };

    static GUI_PreloadedTextures& GetInstance();
    static const char* GetTextureName(int index);

    // Null for an index outside the table.
    SmartTexture* Get(int index);
    // Binds the entry on stage 0 (unbinds for a bad index).
    void Bind(int index);

private:
    GUI_PreloadedTextures();
    std::array<SmartTexture, kCount> m_textures;
};
