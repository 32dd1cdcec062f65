#pragma once
// For tests of a screen rather than of its lessons: a new player's lessons
// would take Escape, Enter and the highlighted clicks first. Call after the
// game has started.
#include "gui/GUI_Tutorial.h"
#include "gui/GUI_TutorialWindow.h"
#include "gui/GUI_WindowManager.h"

inline void DropAllLessons()
{
    GUI_Tutorial& tutorial = GUI_Tutorial::GetInstance();
    tutorial.Clear();
    GUI_TutorialWindow::CloseAll();
    ResetTutorialRestrictions(tutorial);
    GUI_WindowManager::GetInstance().DeleteQueuedWindows();
}
