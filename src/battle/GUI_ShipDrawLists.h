#pragma once
#include <cstddef>
#include <vector>

class GUI_Ship;
class SIM_Ship;

// The ships of the battle by draw layer, so that fighters fly under (layer
// 0) or over (layer 2) the large ships (layer 1). Layer 0 is the first list,
// layer 1 the third, layer 2 the second. Ships are not owned; a ship's visual
// takes it out when it goes.
class GUI_ShipDrawLists {
public:
    static constexpr int kLists = 3;

    static GUI_ShipDrawLists& GetInstance();

    static int ListForLayer(int layer);
    void Add(SIM_Ship* ship);
    void Move(SIM_Ship* ship, int oldLayer, int newLayer);
    // Takes the ship out of whichever list holds it.
    void Remove(SIM_Ship* ship);
    void Clear();
    // Each ship's visual draw, in list order.
    void DrawList(int list);
    void DrawTintList(int list);

    const std::vector<SIM_Ship*>& GetList(int list) const { return lists[Valid(list) ? list : 0]; }
    size_t CountShips() const;

private:
    static bool Valid(int n) { return n >= 0 && n < kLists; }
    // Arrays, not linked nodes: every frame walks them whole.
    std::vector<SIM_Ship*> lists[kLists];
    struct Drawn {
        SIM_Ship* ship;
        GUI_Ship* visual;
    };
    std::vector<Drawn> drawOrder;
};
