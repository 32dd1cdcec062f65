#pragma once
#include <cstdint>

#include "gui/GUI_ButtonText.h"

class GUI_GraphKey;
class GUI_Stat_GraphLine;

// A legend entry: a colour swatch and the series name; a click switches
// the series on or off, hovering highlights its line.
class GUI_GraphKeyButton : public GUI_ButtonText {
public:
    GUI_GraphKeyButton(const char* labelKey, GUI_GraphKey* key, uint32_t argb);

    void Draw() override;
    void Press() override;

    uint32_t GetColour() const { return m_argb; }
    bool on = true;
    GUI_Stat_GraphLine* line = nullptr;

private:
    GUI_GraphKey* m_key;
    uint32_t m_argb;
};
