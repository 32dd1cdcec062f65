#include "gui/GUI_SoundViewer.h"

#include "engine/LibText.h"

void GUI_SoundViewer::Draw()
{
    if (visible)
        LibText::GetInstance().SetFont("zekton16.dds", 16.0f);
}
