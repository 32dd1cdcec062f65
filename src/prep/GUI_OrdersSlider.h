#pragma once
#include "engine/CTexturedSprite.h"
#include "engine/GRect.h"
#include "gui/GUI_WindowBase.h"

#include <string>

// One parameter of an order: a bar with a knob that the player drags or
// clicks. The position is kept as 0..1; FLOAT maps it onto minimum..maximum,
// PERCENTAGE is the position itself (kept inside minimum..maximum by drags
// and clicks alike).
class GUI_OrdersSlider : public GUI_WindowBase {
public:
    enum Kind { FLOAT = 0, PERCENTAGE = 1 };
    static constexpr float kKnobSize = 16.0f;

    GUI_OrdersSlider(const std::string& label, float minimum, float maximum, const std::string& kindText);

    // Kind of a parameter's text; an unknown text is logged once per call and
    // read as FLOAT.
    static int ParseKind(const std::string& kindText);

    // A value in parameter units.
    void SetValue(float value);
    // The value in parameter units (the position itself for PERCENTAGE).
    float GetParameterValue() const;
    float GetPosition() const { return m_value; }
    void SetPosition(float position);
    int GetKind() const { return m_kind; }
    float GetMinimum() const { return m_minimum; }
    float GetMaximum() const { return m_maximum; }
    const std::string& GetLabel() const { return m_label; }
    std::string GetValueText() const;
    const GRect& GetBarRect() const { return m_bar; }
    bool IsDragging() const { return m_draggingKnob; }
    // Knob centre on screen (after the last layout).
    float GetKnobX() const;

    void Layout();
    bool OnLeftClick(float x, float y) override;
    void Update() override;
    void Draw() override;

    // Called whenever the position changes by the player's hand.
    void (*onChange)(GUI_OrdersSlider*) = nullptr;

private:
    void DragTo(float x);
    void ClampToRange();

    std::string m_label;
    float m_minimum = 0.0f;
    float m_maximum = 1.0f;
    int m_kind = FLOAT;
    float m_value = 0.0f;
    bool m_draggingKnob = false;
    float m_knobOffset = 0.0f;
    GRect m_bar;
    CTexturedSprite m_knob;
    CTexturedSprite m_barSprite;
};
