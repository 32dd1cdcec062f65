#include "battle/hud/GUI_StatShipPicker.h"

#include "engine/GDebugLog.h"
#include "sim/SIM_FighterSquadron.h"
#include "sim/SIM_Fleet.h"
#include "sim/SIM_Ship.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_ShipHull.h"

namespace {
void IconFor(const SIM_Ship* ship, std::string& tooltip, std::string& picture)
{
    tooltip = ship->design ? ship->design->GetName() : ship->name;
    const SIM_ShipHull* hull = ship->design ? ship->design->GetHull() : nullptr;
    picture = hull ? hull->GetSprite() : std::string();
}
} // namespace

void GUI_StatShipPicker::Fill(const SIM_Fleet* fleet)
{
    std::string tooltip, picture;
    if (fleet) {
        for (const SIM_Ship* ship : fleet->GetAllShips()) {
            if (ship->squadron)
                continue;
            IconFor(ship, tooltip, picture);
            AddIcon(ship, tooltip, picture);
        }
        for (const SIM_FighterSquadron* squadron : fleet->GetSquadrons()) {
            QLM_ASSERT(!squadron->GetMembers().empty());
            if (squadron->GetMembers().empty())
                continue;
            const SIM_Ship* first = squadron->GetMembers().front();
            IconFor(first, tooltip, picture);
            AddIcon(first, tooltip, picture);
        }
    }
    FinishFill();
}

bool GUI_StatShipPicker::IsSelected(const SIM_Ship* ship) const
{
    if (!ship)
        return false;
    if (HasObjectSelected(ship))
        return true;
    if (!ship->squadron)
        return false;
    for (const void* object : GetSelected()) {
        const auto* selected = static_cast<const SIM_Ship*>(object);
        if (selected->squadron == ship->squadron)
            return true;
    }
    return false;
}
