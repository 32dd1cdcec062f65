#pragma once
#include "engine/CTexturedSprite.h"
#include "engine/GRect.h"
#include "gui/GUI_WindowBase.h"

#include <string>
#include <vector>

class GUI_ScrollingWindow;
class SIM_Scenario;

// One backdrop file in the map picker's list.
class GUI_MapPickerStrip : public GUI_WindowBase {
public:
    // Shows the file's name without its extension: the strip has room for
    // the longest backdrop's name, not its ".dds" too.
    explicit GUI_MapPickerStrip(std::string file);
    bool OnLeftClick(float x, float y) override;
    void Draw() override;
    const std::string& GetFile() const { return m_file; }
    const std::string& GetShownName() const { return m_shown; }

private:
    std::string m_file;
    std::string m_shown;
};

// The scenario editor's backdrop chooser: the map backdrops the game has,
// listed by file name beside a preview of the chosen one.
class GUI_MapPicker : public GUI_WindowBase {
public:
    // Where the battle screen's map backdrops lie.
    static constexpr const char* kBackdropMask = "data/bitmaps/battle/backdrops/*.dds";

    explicit GUI_MapPicker(SIM_Scenario* scenario);
    ~GUI_MapPicker() override;
    static GUI_MapPicker* GetOpen();

    void Layout();
    void Draw() override;
    void Select(const std::string& file);
    std::string GetSelectedBackdrop() const { return m_selected; }
    // Every file found, icons included (the strips skip those).
    const std::vector<std::string>& GetFiles() const { return m_files; }
    const std::vector<GUI_MapPickerStrip*>& GetStrips() const { return m_strips; }
    // Names that show in the list: icons of other backdrops ("_icon") do not.
    static bool IsListed(const std::string& file) { return file.find("_icon") == std::string::npos; }

private:
    void BuildStrips();

    std::string m_title;
    CTexturedSprite m_preview;
    std::string m_selected;
    std::vector<std::string> m_files;
    std::vector<GUI_MapPickerStrip*> m_strips;
    GRect m_list;
    GUI_ScrollingWindow* m_scroll = nullptr;
    SIM_Scenario* m_scenario;
};
