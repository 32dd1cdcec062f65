#pragma once
#include "gui/GUI_WindowBase.h"

#include <cstdint>
#include <string>

class GUI_FilePicker;
class GUI_IconButton;

// One file of a picker: a framed row with the file's name and a delete
// button. Rows belong to their picker, which rebuilds them freely.
class GUI_FilePickerItem : public GUI_WindowBase {
public:
    GUI_FilePickerItem(GUI_FilePicker* picker, const std::string& path);
    ~GUI_FilePickerItem() override;

    bool OnLeftClick(float x, float y) override;
    void Update() override;
    void Draw() override;

    // Delete button action (argument = the row): asks before anything goes.
    static void AskDelete(std::intptr_t row);
    // "Delete <name> for good?": the question names what goes, in quotes.
    static std::string DeleteQuestion(const std::string& name);
    // The yes answer.
    static void DoDelete(std::intptr_t unused);

    const std::string& GetPath() const { return m_path; }
    const std::string& GetName() const { return m_name; }
    GUI_IconButton* GetDeleteButton() const { return m_deleteButton; }
    static GUI_FilePickerItem* GetHovered();

    bool selected = false;

private:
    void PlaceDeleteButton();

    std::string m_path;
    std::string m_name;
    GUI_FilePicker* m_picker;
    GUI_IconButton* m_deleteButton = nullptr;
};
