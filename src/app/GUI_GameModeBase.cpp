#include "app/GUI_GameModeBase.h"

#include "app/APP_SaveNotice.h"
#include "engine/QuadRunBatch.h"
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
    // A save that failed since the last frame is told here, on the main
    // thread, before the windows are drawn.
    APP_SaveNotice::GetInstance().ShowPending();
    // Frames, texts and pictures of every window and tooltip go out in a
    // few runs instead of a draw each.
    QuadRunBatch::InterfaceScope batched;
    GUI_WindowManager::GetInstance().DrawWindows();
    if (tooltipsOnTop)
        GUI_Cursor::GetInstance().DrawDraggedWindow();
    GUI_Tooltip::DrawQueued();
    if (!tooltipsOnTop)
        GUI_Cursor::GetInstance().DrawDraggedWindow();
}
