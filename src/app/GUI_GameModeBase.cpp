#include "app/GUI_GameModeBase.h"

#include "gui/GUI_Cursor.h"
#include "gui/GUI_Tooltip.h"
#include "gui/GUI_WindowBase.h"
#include "gui/GUI_WindowManager.h"

void GUI_GameModeBase::OnKeyDown(int code)
{
    if (keyboardFocus)
        keyboardFocus->OnKeyDown(code);
}

void GUI_GameModeBase::DrawInterfaceTail(bool tooltipsOnTop)
{
    GUI_WindowManager::GetInstance().DrawWindows();
    if (tooltipsOnTop)
        GUI_Cursor::GetInstance().DrawDraggedWindow();
    GUI_Tooltip::DrawQueued();
    if (!tooltipsOnTop)
        GUI_Cursor::GetInstance().DrawDraggedWindow();
}
