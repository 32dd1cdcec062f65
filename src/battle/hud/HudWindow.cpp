#include "battle/hud/HudWindow.h"

#include "engine/CTexturedSprite.h"
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

void PlaceBoxBackground(CTexturedSprite& background, const GUI_BaseElement& window)
{
    constexpr float kTexels = 1024.0f;
    const auto w = static_cast<float>(window.width), h = static_cast<float>(window.height);
    background.SetTexture("box_background.jpg");
    background.SetSize(w, h);
    background.SetUV(0.0f, 0.0f, w / kTexels, h / kTexels);
    background.PlaceCentred(static_cast<float>(window.left) + w / 2.0f, static_cast<float>(window.top) + h / 2.0f);
}

void DrawHudPanel(const GUI_BaseElement& window, CTexturedSprite& background, float frameCorner, const GRect& inner,
                  float innerCorner, GUI_Interlace& lines)
{
    background.Draw();
    DrawNamedFrame("border_depth.dds", frameCorner, 1.0f, static_cast<float>(window.left),
                   static_cast<float>(window.top), static_cast<float>(window.right), static_cast<float>(window.bottom));
    DrawPreloadedFrame(GUI_PreloadedTextures::kDialogClient, innerCorner, 1.0f, static_cast<float>(inner.left),
                       static_cast<float>(inner.top), static_cast<float>(inner.right), static_cast<float>(inner.bottom));
    lines.Draw(inner);
}
