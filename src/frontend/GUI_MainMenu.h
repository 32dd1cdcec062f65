#pragma once
#include "app/GUI_StandInMode.h"
#include "engine/CTexturedSprite.h"

#include <string>
#include <vector>

// The main menu until the front end is built: the title, the version and a
// list of the screens, each opened by its number key; Escape quits.
class GUI_MainMenu : public GUI_StandInMode {
public:
    struct Entry {
        int key;    // game key code
        int modeId; // 0: quit
        std::string label;
    };

    static GUI_MainMenu& GetInstance()
    {
        static GUI_MainMenu instance;
        return instance;
    }
    GUI_MainMenu();

    void Render() override;
    void OnKeyDown(int code) override;
    void Enter() override;
    void Update() override;

    const std::vector<Entry>& GetEntries() const { return m_entries; }

private:
    std::vector<Entry> m_entries;
    CTexturedSprite m_backdrop;
};
