#pragma once
#include "app/GUI_StandInMode.h"
#include "engine/CTexturedSprite.h"

#include <string>
#include <vector>

// The main menu until the front end is built: the title over the backdrop and
// one button per screen (each also opened by its number key); Quit and Escape
// ask before the game closes.
class GUI_MainMenu : public GUI_StandInMode {
public:
    struct Entry {
        int key;           // game key code
        int modeId;        // 0: quit
        const char* label; // text key
    };

    static GUI_MainMenu& GetInstance()
    {
        static GUI_MainMenu instance;
        return instance;
    }
    GUI_MainMenu();

    void Render() override;
    void OnKeyDown(int code) override;
    void Update() override;
    void Leave() override;

    const std::vector<Entry>& GetEntries() const { return m_entries; }
    // What a button press or its key does: open a screen, or ask to quit.
    static void Choose(std::intptr_t modeId);
    static void AskToQuit();

protected:
    void LayOut() override;

private:
    bool IsShown(const Entry& entry) const;
    int ShownCount() const;

    std::vector<Entry> m_entries;
    CTexturedSprite m_backdrop;
};
