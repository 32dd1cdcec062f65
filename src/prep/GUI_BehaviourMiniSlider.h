#pragma once
#include "engine/CTexturedSprite.h"
#include "gui/GUI_WindowBase.h"

// A small read-only gauge of one order parameter (0..1) in an order row.
class GUI_BehaviourMiniSlider : public GUI_WindowBase {
public:
    explicit GUI_BehaviourMiniSlider(float value);
    void Draw() override;
    float GetValue() const { return m_value; }
    float GetKnobX() const;

private:
    float m_value = 0.0f;
    CTexturedSprite m_knob;
    CTexturedSprite m_bar;
};
