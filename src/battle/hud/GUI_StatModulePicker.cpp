#include "battle/hud/GUI_StatModulePicker.h"

#include <algorithm>
#include <vector>

#include "battle/hud/ModulePicture.h"
#include "engine/GHashTable.h"
#include "sim/SIM_Fleet.h"
#include "sim/SIM_Race.h"
#include "sim/SIM_Ship.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_ShipHull.h"
#include "sim/SIM_ShipModuleType.h"

namespace {
const char* SizeKey(int size)
{
    switch (size) {
    case SIM_ShipModuleType::CRUISER:
        return "GRAPHICON_CRUISER";
    case SIM_ShipModuleType::FRIGATE:
        return "GRAPHICON_FRIGATE";
    case SIM_ShipModuleType::FIGHTER:
        return "GRAPHICON_FIGHTER";
    default:
        return nullptr;
    }
}
} // namespace

void GUI_StatModulePicker::Fill(const SIM_Fleet* fleet)
{
    std::vector<const SIM_ShipDesign*> designs;
    if (fleet) {
        for (const SIM_Ship* ship : fleet->GetAllShips()) {
            const SIM_ShipDesign* design = ship->design;
            if (!design || std::find(designs.begin(), designs.end(), design) != designs.end())
                continue;
            designs.push_back(design);
            for (const SIM_ShipDesign::FittedModule& fitted : design->GetModules()) {
                const SIM_ShipModuleType* type = fitted.moduleType;
                if (!type || type->GetCategory() != SIM_ShipModuleType::WEAPONS || HasObjectSelected(type))
                    continue;
                const char* key = SizeKey(type->GetSize());
                const std::string tooltip = key ? GetString(key) : std::string();
                const ModulePicture picture = ModulePicture::Find(*type, design->GetHull());
                AddIcon(type, tooltip, picture.texture, picture.frame);
            }
        }
    }
    FinishFill();
}

bool GUI_StatModulePicker::IsSelected(const SIM_ShipModuleType* type) const
{
    return type && HasObjectSelected(type);
}
