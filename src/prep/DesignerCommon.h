#pragma once
#include "engine/GRect.h"

#include <cstdint>
#include <string>

class BaseSprite;
class CTexturedSprite;
class SIM_ShipHull;
class SIM_ShipModuleType;

// Small drawing and sound helpers the designer's panels share.
namespace designer {

// Interface sounds by their index in the sound manager's interface table.
enum Sound { kSoundButton = 0, kSoundMouseOver = 2, kSoundAccepted = 3, kSoundError = 7 };

// Plays an interface sound and remembers it (the last one is what a refused
// or accepted drop sounded like).
void PlaySound(int sound);
int GetLastSound();
int GetSoundCount(int sound);

// The dialog client panel (nine-slice) behind picker and data panels.
void DrawPanelBackdrop(const GRect& rect, float alpha = 1.0f);
void FillRect(int left, int top, int right, int bottom, uint32_t colour);
// 16-point text; right-aligned text ends at x.
void DrawText(const std::string& text, float x, float y, uint32_t colour = 0xFFFFFFFFu, float size = 16.0f);
void DrawTextRight(const std::string& text, float right, float y, uint32_t colour = 0xFFFFFFFFu);
void DrawTextCentred(const std::string& text, float left, float width, float y, uint32_t colour = 0xFFFFFFFFu);
// The localised text of a key (the key itself when it has no text).
std::string Text(const std::string& key);
// A module's icon as fitted to a hull: turret weapons show their race's
// turret from its sheet, other modules their own icon.
void SetModuleIcon(CTexturedSprite& sprite, const SIM_ShipModuleType* type, const SIM_ShipHull* hull);

// The integer centre of a rectangle, as slots and icons draw there.
inline float RectCentreX(int left, int right) { return static_cast<float>(left + right) * 0.5f; }
inline float RectCentreY(int top, int bottom) { return static_cast<float>(top + bottom) * 0.5f; }

} // namespace designer
