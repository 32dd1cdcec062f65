#pragma once
#include <string>

// Tells the player about an error that stops the game: a message box when a
// display is there, stderr always.
void ShowErrorMessage(const std::string& title, const std::string& text);
