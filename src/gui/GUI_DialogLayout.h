#pragma once
#include "gui/GUI_Dialog.h"
#include "gui/GUI_FrameDrawing.h"
#include "gui/GUI_Interlace.h"
#include "gui/GUI_PreloadedTextures.h"

// Sizes a dialog and centres it on the screen.
inline void CentreDialog(GUI_Dialog& dialog, int width, int height)
{
    dialog.SetRect(0.0f, 0.0f, static_cast<float>(width), static_cast<float>(height));
    dialog.Centre();
    dialog.SetRect(static_cast<float>(dialog.left), static_cast<float>(dialog.top),
                   static_cast<float>(dialog.left + width), static_cast<float>(dialog.top + height));
    dialog.SetClientRect();
}

// The dialog's client area on its panel texture.
inline void DrawClientPanel(const GUI_Dialog& dialog)
{
    DrawPreloadedFrame(GUI_PreloadedTextures::kDialogClient, 32.0f, 1.0f, static_cast<float>(dialog.clientLeft),
                       static_cast<float>(dialog.clientTop), static_cast<float>(dialog.clientRight),
                       static_cast<float>(dialog.clientBottom));
}

// The dialogs' panel with the scan lines over it.
inline void DrawPanelWithScanLines(GUI_Interlace& lines, const GRect& area)
{
    DrawPreloadedFrame(GUI_PreloadedTextures::kDialogClient, 32.0f, 1.0f, static_cast<float>(area.left),
                       static_cast<float>(area.top), static_cast<float>(area.right), static_cast<float>(area.bottom));
    lines.DrawOver(area);
}

// The client area on the panel, under scan lines.
inline void DrawClientPanel(const GUI_Dialog& dialog, GUI_Interlace& lines)
{
    DrawPanelWithScanLines(lines, GRect{dialog.clientLeft, dialog.clientTop, dialog.clientRight, dialog.clientBottom});
}
