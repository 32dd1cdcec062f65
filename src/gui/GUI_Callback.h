#pragma once
#include <cstdint>

// Buttons and the fade hand their callback one integer; screens pass an index
// or a pointer to themselves through it.
using GUI_Callback = void (*)(std::intptr_t argument);
