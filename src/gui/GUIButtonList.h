#pragma once
#include "gui/GUI_BaseElement.h"

#include <vector>

class GUI_ButtonBase;

// An element that owns buttons: it updates, draws and clicks them in list
// order (earlier buttons take a click first, later ones draw on top).
class GUIButtonList : public GUI_BaseElement {
public:
    GUIButtonList() = default;
    ~GUIButtonList() override;

    virtual void AddButton(GUI_ButtonBase* button);
    virtual void Update();

    void DrawButtons();
    // Unlights every button: for lists that stop updating while a window
    // covers them or a modal window holds the input.
    virtual void ClearHover();
    bool ClickButtons();
    void DeleteButtons();
    // Deletes one button now; false when it is not ours.
    bool DeleteButton(GUI_ButtonBase* button);

    const std::vector<GUI_ButtonBase*>& GetButtons() const { return m_buttons; }

protected:
    std::vector<GUI_ButtonBase*> m_buttons;
};
