#include "gui/GUI_TutorialWindow.h"

bool GUI_TutorialWindow::CloseFirst()
{
    // Lesson windows open only through LaunchTutorial, which opens none yet.
    return false;
}
