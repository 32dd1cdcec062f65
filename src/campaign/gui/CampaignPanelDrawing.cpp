#include "campaign/gui/CampaignPanelDrawing.h"

#include "engine/CTexturedSprite.h"
#include "engine/D3DEngine.h"
#include "engine/GRect.h"
#include "engine/LibText.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_DialogLayout.h"
#include "gui/GUI_FrameDrawing.h"
#include "gui/GUI_Interlace.h"
#include "gui/GUI_PreloadedTextures.h"
#include "gui/GUI_WindowBase.h"

#include <string>

void DrawCampaignClientArea(GUI_Interlace& interlace, int left, int top, int right, int bottom)
{
    // Dialogs move: the overlay follows the area it is given.
    DrawPanelWithScanLines(interlace, GRect{left, top, right, bottom});
}

void DrawOutlinedBox(float left, float top, float right, float bottom, unsigned int fill, unsigned int outline)
{
    D3DEngine& engine = D3DEngine::GetInstance();
    const GRect box{static_cast<int>(left), static_cast<int>(top), static_cast<int>(right), static_cast<int>(bottom)};
    if (fill >> 24)
        engine.FillRect(box, fill);
    if (outline >> 24)
        engine.DrawRectFrame(box, outline);
}

GUI_ButtonText* AddPanelButton(GUI_WindowBase* owner, const char* key, GUI_Callback callback, std::intptr_t argument,
                               int left, int top, int right, int bottom)
{
    auto* button = new GUI_ButtonText(key, callback, argument);
    button->SetRect(static_cast<float>(left), static_cast<float>(top), static_cast<float>(right),
                    static_cast<float>(bottom));
    button->SetTooltip((std::string(key) + "_TOOLTIP").c_str());
    button->SetOwner(owner);
    owner->AddChildElement(button);
    owner->AddButton(button);
    return button;
}

void DrawStripEntry(CTexturedSprite& under, CTexturedSprite& over, float pictureX, float textX, int top, int bottom,
                    const std::string& title, const std::string& line, unsigned int lineColour, float lineWidth)
{
    const float pictureY = static_cast<float>(top + bottom) * 0.5f;
    under.PlaceCentred(pictureX, pictureY);
    under.Draw();
    over.PlaceCentred(pictureX, pictureY);
    over.Draw();
    LibText& text = LibText::GetInstance();
    if (!title.empty())
        text.SetText(TEXT_ALIGN_LEFT, title, textX, static_cast<float>(top + kStripTitleTop), 0xFFFFFFFFu, 0.0f);
    text.SetText(TEXT_ALIGN_LEFT, line, textX, static_cast<float>(top + kStripSecondLineTop), lineColour, lineWidth);
}
