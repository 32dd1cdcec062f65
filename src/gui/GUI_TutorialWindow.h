#pragma once

// The lesson windows of a running tutorial.
class GUI_TutorialWindow {
public:
    // Enter: closes the first open lesson window as its OK button does; false
    // when none is open.
    static bool CloseFirst();
};
