#pragma once

// Stand-in until the widget toolkit lands: only what the game modes call.
class GUI_WindowBase {
public:
    virtual ~GUI_WindowBase() = default;
    virtual void OnKeyDown(int /*key*/) {}
};
