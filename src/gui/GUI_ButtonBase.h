#pragma once
#include "engine/GRect.h"
#include "gui/GUI_BaseElement.h"
#include "gui/GUI_Callback.h"

#include <cstdint>
#include <string>

class GUI_Tooltip;
class GUI_WindowBase;

// Base of every clickable control: hover tracking, one callback with one
// argument (run at once or after the screen fade), the click sound and an
// optional owned tooltip.
class GUI_ButtonBase : public GUI_BaseElement {
public:
    static constexpr int kTooltipDelay = 60;

    GUI_ButtonBase(GUI_Callback callback, std::intptr_t argument);
    ~GUI_ButtonBase() override;

    bool OnLeftClick(float x, float y) override;
    void Draw() override;
    void SetRect(float left, float top, float right, float bottom) override;
    virtual void Press();
    virtual void Update();

    // The tooltip of a string-table key (by custom its owner's key +
    // "_TOOLTIP"): its text, or the key itself when the table lacks it. A text
    // that is no key shows as it is.
    void SetTooltip(const char* key, int delay = kTooltipDelay);
    // A tooltip of a text already made (joined or formatted by the caller).
    void SetTooltipString(const std::string& text, int delay = kTooltipDelay);
    GUI_Tooltip* GetTooltip() const { return m_tooltip; }

    // Click sounds asked for by buttons since start-up.
    static int GetClickSoundCount();

    // Where the control's texts may go: its rectangle, or what it draws
    // beyond it.
    virtual GRect GetTextBox() const { return GRect{left, top, right, bottom}; }

    GUI_WindowBase* GetOwner() const { return m_owner; }
    void SetOwner(GUI_WindowBase* owner) { m_owner = owner; }

    int hover = 0;
    GUI_Callback callback = nullptr;
    std::intptr_t argument = 0;
    bool enabled = true;
    bool visible = true;
    bool silent = false;
    bool deferred = false;

protected:
    void QueueTooltip();
    void RunCallback();
    // The interface click (sound 0), also for buttons that override Press.
    static void PlayClick();

private:
    void AnchorTooltip();

    GUI_WindowBase* m_owner = nullptr;
    GUI_Tooltip* m_tooltip = nullptr;
};
