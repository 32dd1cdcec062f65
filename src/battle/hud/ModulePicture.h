#pragma once
#include <string>

class CTexturedSprite;
class SIM_ShipHull;
class SIM_ShipModuleType;

// The picture of a module type as fitted to a hull: a turret weapon shows
// its race's turret, one cell of the race's turret sheet; any other module
// has an icon of its own.
struct ModulePicture {
    static constexpr int kTurretSheetFrames = 64;

    std::string texture;
    int frame = -1; // the cell of the sheet; below 0: the whole texture

    static ModulePicture Find(const SIM_ShipModuleType& type, const SIM_ShipHull* hull);
    void ApplyTo(CTexturedSprite& sprite) const;
};
