#pragma once
#include "engine/CTexturedSprite.h"
#include "engine/GRect.h"
#include "gui/GUI_Callback.h"
#include "gui/GUI_WindowBase.h"

#include <string>

// A horizontal slider for a value from 0 to 1 with a knob the player drags,
// and an optional label above the track. Owners read and write value
// directly; the callback runs once per change a drag makes, not per frame.
class GUI_OptionsSlider : public GUI_WindowBase {
public:
    static constexpr float kKnobSize = 16.0f;

    // An empty label key shows no label and no panel.
    GUI_OptionsSlider(const std::string& labelKey, float startValue, GUI_Callback callback,
                      std::intptr_t argument = 0);

    bool OnLeftClick(float x, float y) override;
    // Follows the mouse while dragging, then draws.
    void Draw() override;

    // (left + 10, bottom - 12) to (right - 10, bottom - 8).
    GRect GetTrack() const;
    // Where the knob's centre is now.
    float GetKnobX() const;
    float GetKnobY() const;

    float value = 0.0f;
    const std::string& GetLabel() const { return m_label; }
    bool IsDraggingKnob() const { return m_draggingKnob; }

private:
    void FollowMouse();

    std::string m_label;
    CTexturedSprite m_knob;
    GUI_Callback m_callback;
    std::intptr_t m_argument;
    bool m_draggingKnob = false;
    float m_grabX = 0.0f;
    float m_grabY = 0.0f;
    float m_knobX = 0.0f;
};
