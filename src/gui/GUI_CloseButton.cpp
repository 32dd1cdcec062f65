#include "gui/GUI_CloseButton.h"

#include "engine/GDebugLog.h"
#include "gui/GUI_WindowBase.h"
#include "gui/GUI_WindowManager.h"

GUI_CloseButton::GUI_CloseButton() : GUI_IconButton(nullptr, 0, "button_close.dds", "button_close_h.dds")
{
}

void GUI_CloseButton::Press()
{
    PlayClick();
    GUI_WindowBase* owner = GetOwner();
    QLM_ASSERT(owner != nullptr);
    if (!owner)
        return;
    // The owner is still being walked by the click that pressed us: it goes
    // once the dispatch is over.
    owner->visible = false;
    GUI_WindowManager::GetInstance().CloseWindow(owner);
}
