#pragma once
// Drawing and buttons shared by the campaign's panels and lists.
#include "gui/GUI_Callback.h"

#include <string>

class CTexturedSprite;
class GUI_ButtonText;
class GUI_Interlace;
class GUI_WindowBase;

// The dark client background with the scan-line overlay over it.
void DrawCampaignClientArea(GUI_Interlace& interlace, int left, int top, int right, int bottom);
// A filled rectangle with a one-pixel outline in another colour.
void DrawOutlinedBox(float left, float top, float right, float bottom, unsigned int fill, unsigned int outline);
// A labelled button of the window with its tooltip (the key + "_TOOLTIP"),
// moving with the window.
GUI_ButtonText* AddPanelButton(GUI_WindowBase* owner, const char* key, GUI_Callback callback, std::intptr_t argument,
                               int left, int top, int right, int bottom);
// Where a list entry's title and the line below it stand, from its top.
constexpr int kStripTitleTop = 4;
constexpr int kStripSecondLineTop = kStripTitleTop + 20;

// A list entry's picture and first two lines: the two sprites centred at
// (pictureX, the middle of top..bottom), the first underneath; the title in
// white at textX, skipped when empty, and the line below it in its colour, in
// a box lineWidth wide (0: no box).
void DrawStripEntry(CTexturedSprite& under, CTexturedSprite& over, float pictureX, float textX, int top, int bottom,
                    const std::string& title, const std::string& line, unsigned int lineColour, float lineWidth);
