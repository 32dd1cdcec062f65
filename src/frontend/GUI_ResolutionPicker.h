#pragma once
#include "gui/GUI_WindowBase.h"
#include "platform/IWindow.h"

#include <string>
#include <vector>

class GUI_ScrollingWindow;

// The display size the options screen has chosen, the pending windowed
// flag and whether the player must be told that a restart is needed.
struct GUI_DisplayChoice {
    int width = 0;
    int height = 0;
    bool windowed = false;
    bool restartRequired = false;
};

// One line of the list: "W x H".
class GUI_ResolutionStrip : public GUI_WindowBase {
public:
    GUI_ResolutionStrip(int width, int height, GUI_DisplayChoice& choice);
    ~GUI_ResolutionStrip() override;

    bool OnLeftClick(float x, float y) override;
    void Draw() override;
    void Update() override;

    const std::string& GetText() const { return m_text; }
    int GetModeWidth() const { return m_modeWidth; }
    int GetModeHeight() const { return m_modeHeight; }

private:
    std::string m_text;
    int m_modeWidth;
    int m_modeHeight;
    GUI_DisplayChoice& m_choice;
};

// The display sizes the screen offers, at least 768 pixels high, each size
// once, in the order the system gives them; 16 lines show at a time. A click
// chooses a size for the next start and writes prefs.ini.
class GUI_ResolutionPicker : public GUI_WindowBase {
public:
    static constexpr int kVisibleLines = 16;
    static constexpr int kMinHeight = 768;

    explicit GUI_ResolutionPicker(GUI_DisplayChoice& choice);

    // Asks the engine for its modes and lays the lines out again.
    void Refill();
    void Draw() override;

    // Heights below 768 go, and sizes seen before (other refresh rates).
    static std::vector<DisplayMode> FilterModes(const std::vector<DisplayMode>& modes);

    const std::vector<DisplayMode>& GetModes() const { return m_modes; }
    const std::vector<GUI_ResolutionStrip*>& GetStrips() const { return m_strips; }
    GUI_ScrollingWindow* GetScrollBar() const { return m_scroll; }

private:
    void DeleteStrips();
    void LayOutStrips();

    GUI_DisplayChoice& m_choice;
    std::vector<DisplayMode> m_modes;
    std::vector<GUI_ResolutionStrip*> m_strips;
    GUI_ScrollingWindow* m_scroll;
};
