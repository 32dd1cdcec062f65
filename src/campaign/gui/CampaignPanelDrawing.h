#pragma once
// Drawing and buttons shared by the campaign's fleet, ship and shipyard panels.
#include "gui/GUI_Callback.h"

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
