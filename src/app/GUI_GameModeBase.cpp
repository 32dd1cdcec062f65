#include "app/GUI_GameModeBase.h"

#include "gui/GUI_WindowBase.h"

void GUI_GameModeBase::OnKeyDown(int code)
{
    if (keyboardFocus)
        keyboardFocus->OnKeyDown(code);
}
