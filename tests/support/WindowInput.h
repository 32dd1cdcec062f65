#pragma once
// Drives the started game through SDL's event queue, as a player's mouse and
// keys would, and reads back what the window shows through Print Screen.
#include "platform/DdsImage.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <string>

void RunGameFrames(int frames);
void PushSdlEvent(SDL_Event e);
// Each of these runs a couple of frames afterwards.
void MoveMouse(int x, int y);
void ClickAt(int x, int y, int clicks = 1);
void RightClickAt(int x, int y);
// The left button pressed (or let go) at the point.
void SetMouseButton(int x, int y, bool down);
void SetKey(SDL_Scancode code, bool down);
void PressKey(SDL_Scancode code);
// Each key pressed as the player types the text: its key events around the
// text input SDL makes of them (letters and digits; others as text only).
void TypeText(const std::string& text);

template <typename T>
void ClickCentre(const T* element, int clicks = 1)
{
    if (!element) {
        ADD_FAILURE() << "nothing to click";
        return;
    }
    ClickAt((element->left + element->right) / 2, (element->top + element->bottom) / 2, clicks);
}

// Takes a screenshot and reads it back (empty when none was written).
TextureData Screenshot(const std::string& userDir);
// Mean brightness (sum of the three channels) of a square around a point.
double Brightness(const TextureData& picture, int cx, int cy, int half);
// The pixel's channels, BGRA; all zero outside the picture.
void PixelAt(const TextureData& picture, int x, int y, int& red, int& green, int& blue);
// Pixels of the rectangle whose brightest channel reaches the level.
int CountLit(const TextureData& picture, int left, int top, int right, int bottom, int level);

template <typename T>
int CountLitIn(const TextureData& picture, const T& element, int level)
{
    return CountLit(picture, element.left, element.top, element.right, element.bottom, level);
}
