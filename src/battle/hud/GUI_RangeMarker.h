#pragma once
#include <cstdint>

#include "engine/BaseSprite.h"

class SIM_TargetedModule;

// The reach of one chosen weapon on the map: a dotted white ring at its
// maximum range, a red one at its minimum range when it has one, a cross as
// wide as the range through the module and a line from each turret to it.
// The ship inspector chooses the weapon; the battle frame draws it.
class GUI_RangeMarker {
public:
    static constexpr float kDotSize = 8.0f;
    static constexpr float kDotSpacing = 16.0f;    // pixels of ring per dot
    static constexpr uint32_t kLineColour = 0x80FFFFFFu;
    static constexpr uint32_t kMaxRingColour = 0xFFFFFFFFu;
    static constexpr uint32_t kMinRingColour = 0xFFFF4040u;
    static constexpr const char* kTexture = "range_marker.dds";

    GUI_RangeMarker();

    SIM_TargetedModule* GetModule() const { return m_module; }
    void SetModule(SIM_TargetedModule* module) { m_module = module; }
    // The same module again hides the marker.
    void Toggle(SIM_TargetedModule* module) { m_module = m_module == module ? nullptr : module; }
    void Draw();

    // Dots a ring of that screen radius gets: one per 16 pixels, at least one.
    static int DotCount(float radius);
    float GetCentreX() const { return m_centreX; }
    float GetCentreY() const { return m_centreY; }
    // Dots that went into the batch in the last draw (off-screen ones do not).
    int GetDotsDrawn() const { return m_dotsDrawn; }

private:
    void DrawRing(float radius, uint32_t colour);

    SIM_TargetedModule* m_module = nullptr;
    BaseSprite m_dot;
    float m_centreX = 0.0f;
    float m_centreY = 0.0f;
    int m_dotsDrawn = 0;
};

GUI_RangeMarker& GetRangeMarker();
// The battle frame's step: nothing while no weapon is chosen.
void DrawRangeMarker();
