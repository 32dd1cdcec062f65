#pragma once
#include <string>

// One lesson, one row of a lesson file. The title and text are shown as they
// are written (no string-table lookup); x or y of -1 centres the window.
struct TutorialDefinition {
    std::string name;
    std::string title;
    float x = 0.0f;
    float y = 0.0f;
    bool hasOkButton = false;
    bool modal = false;
    std::string closeScript;
    std::string openScript;
    std::string text;
    bool shown = false;
};
