#pragma once
#include "gui/GUI_WindowBase.h"

class GUI_BehaviourPicker;
class SIM_BehaviourType;

// One order kind in the picker: a click selects it, a double click adds it.
class GUI_BehaviourPickerStrip : public GUI_WindowBase {
public:
    GUI_BehaviourPickerStrip(const SIM_BehaviourType* type, GUI_BehaviourPicker* picker);
    ~GUI_BehaviourPickerStrip() override;

    bool OnLeftClick(float x, float y) override;
    void Draw() override;
    const SIM_BehaviourType* GetType() const { return m_type; }
    static GUI_BehaviourPickerStrip* GetHovered();

private:
    const SIM_BehaviourType* m_type = nullptr;
    GUI_BehaviourPicker* m_picker = nullptr;
};
