#include "battle/GUI_ShipDrawLists.h"

#include "battle/GUI_Ship.h"
#include "sim/SIM_Prefetch.h"
#include "sim/SIM_Ship.h"

#include <algorithm>
#include <vector>

namespace {

void RemoveFrom(std::vector<SIM_Ship*>& list, SIM_Ship* ship)
{
    list.erase(std::remove(list.begin(), list.end(), ship), list.end());
}

} // namespace

GUI_ShipDrawLists& GUI_ShipDrawLists::GetInstance()
{
    // Never destroyed: ships freed by other statics at exit still leave it.
    static auto* instance = new GUI_ShipDrawLists();
    return *instance;
}

int GUI_ShipDrawLists::ListForLayer(int layer)
{
    switch (layer) {
    case 0: return 0;
    case 2: return 1;
    default: return 2;
    }
}

void GUI_ShipDrawLists::Add(SIM_Ship* ship)
{
    // Only ships this screen draws: a visual made without the screen's
    // factory has nothing to show.
    if (!GUI_Ship::Of(ship))
        return;
    Remove(ship);
    lists[ListForLayer(ship->GetVisual()->currentLayer)].push_back(ship);
}

void GUI_ShipDrawLists::Move(SIM_Ship* ship, int oldLayer, int newLayer)
{
    if (!ship)
        return;
    RemoveFrom(lists[ListForLayer(oldLayer)], ship);
    lists[ListForLayer(newLayer)].push_back(ship);
}

void GUI_ShipDrawLists::Remove(SIM_Ship* ship)
{
    for (auto& list : lists)
        RemoveFrom(list, ship);
}

void GUI_ShipDrawLists::Clear()
{
    for (auto& list : lists)
        list.clear();
}

size_t GUI_ShipDrawLists::CountShips() const
{
    return lists[0].size() + lists[1].size() + lists[2].size();
}

void GUI_ShipDrawLists::DrawList(int list)
{
    if (!Valid(list))
        return;
    // A copy: a draw may move its own ship to another layer. Kept between
    // frames so that drawing does not allocate. Every ship in the lists has
    // the screen's visual (see Add).
    std::vector<Drawn>& order = drawOrder;
    order.clear();
    for (SIM_Ship* ship : lists[list])
        order.push_back({ship, static_cast<GUI_Ship*>(ship->GetVisual())});
    // Ships and their visuals lie apart on the heap and a draw reads most
    // of both: the next ship's lines load while this one draws.
    const std::size_t count = order.size();
    if (count == 0)
        return;
    // The ships' attachment views share the frame's camera and switches.
    AttachmentView::FrameScope frame;
    for (std::size_t i = 0; i < count; ++i) {
        if (i + 1 < count) {
            PrefetchObject(order[i + 1].ship, 256);
            order[i + 1].visual->PrefetchDraw();
        }
        order[i].visual->Draw();
    }
}

void GUI_ShipDrawLists::DrawTintList(int list)
{
    if (!Valid(list))
        return;
    for (SIM_Ship* ship : lists[list]) {
        static_cast<GUI_Ship*>(ship->GetVisual())->DrawTeamTint();
    }
}
