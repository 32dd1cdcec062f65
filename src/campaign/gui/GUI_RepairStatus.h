#pragma once
#include "engine/CTexturedSprite.h"
#include "gui/GUI_WindowBase.h"

#include <cstdint>
#include <string>

// One gauge of the repair yard: the hull (green) or the armour (amber) of the
// shown ship as a row of bar segments across a track.
class GUI_RepairStatus : public GUI_WindowBase {
public:
    enum Kind { HULL = 0, ARMOUR = 1 };
    static constexpr float kSegmentWidth = 6.0f;
    static constexpr int kTrackWidth = 352;

    explicit GUI_RepairStatus(Kind kind);
    void Draw() override;

    void SetValue(float value) { m_value = value; }
    float GetValue() const { return m_value; }
    Kind GetKind() const { return m_kind; }
    uint32_t GetColour() const { return m_colour; }
    // Whole segments lit for the value: none at 0, every one only at 1.
    static int LitSegments(float value, int trackWidth);

private:
    Kind m_kind;
    std::string m_label;
    float m_value = 0.0f;
    uint32_t m_colour;
    CTexturedSprite m_segment;
};
