#include "battle/hud/HudWindow.h"

#include "gui/GUI_Dialog.h"
#include "gui/GUI_FrameDrawing.h"
#include "gui/GUI_Interlace.h"
#include "gui/GUI_PreloadedTextures.h"

void DrawDialogClientPanel(const GUI_Dialog& dialog, GUI_Interlace& lines)
{
    DrawPreloadedFrame(GUI_PreloadedTextures::kDialogClient, GUI_Dialog::kCornerSize, 1.0f,
                       static_cast<float>(dialog.clientLeft), static_cast<float>(dialog.clientTop),
                       static_cast<float>(dialog.clientRight), static_cast<float>(dialog.clientBottom));
    lines.Draw(GRect{dialog.clientLeft, dialog.clientTop, dialog.clientRight, dialog.clientBottom});
}
