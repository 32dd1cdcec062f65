#pragma once
#include <vector>

#include "battle/GUI_RenderObject.h"
#include "battle/AttachmentView.h"
#include "battle/TrailSimulation.h"
#include "sim/SIM_Prefetch.h"

class SIM_Ship;

// A con trail from one point of a ship's hull. It ages and follows the ship
// in the ship's child drawing (child layer 0, so under the hull); trails of
// large ships (draw layer 1) draw themselves there, fighters' trails (draw
// layers 0 and 2) are swept in bulk by the battle frame before their ships.
class GUI_ConTrail : public GUI_RenderObject {
public:
    static constexpr float kCullMargin = 200.0f;

    // Offsets are fractions of the ship's size, centred.
    GUI_ConTrail(SIM_Ship* ship, int pointCount, float lifetime, float width, float segmentLength, float offsetX,
                 float offsetY);
    ~GUI_ConTrail() override;

    void Draw() override;
    // The same, with what its ship's walk has read once for all attachments.
    void Draw(const AttachmentView& view);
    void SetLayer(int drawLayer);
    int GetDrawLayer() const { return drawLayer; }
    const TrailSimulation& GetTrail() const { return trail; }
    SIM_Ship* GetShip() const { return ship; }
    // Starts loading what Draw reads first: this head and the trail's
    // scalars.
    void PrefetchDraw() const
    {
        PrefetchObject(&ship);
        trail.PrefetchScalars();
    }

    // The bulk draw of the fighters' trails of draw layer 0 or 2.
    static void DrawLayerList(int drawLayer);
    static const std::vector<GUI_ConTrail*>& GetLayerList(int drawLayer);

private:
    void LeaveList();
    // The earlier frames of a catch-up, laid toward the head at (hx, hy).
    [[gnu::noinline]] void CatchUp(const VisualStep& span, float hx, float hy);
    // A trail of a large ship draws itself with its ship's children.
    [[gnu::noinline]] void DrawOwn(const AttachmentView& view);

    // Ahead of the trail, which is large: a draw reads these with its start.
    SIM_Ship* ship = nullptr;
    float offsetX = 0.0f;
    float offsetY = 0.0f;
    float previousX = 0.0f;
    float previousY = 0.0f;
    unsigned char firstFrame = 1;
    int drawLayer = 1;
    TrailSimulation trail;
};
