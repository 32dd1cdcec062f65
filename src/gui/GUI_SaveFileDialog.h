#pragma once
#include "gui/GUI_Dialog.h"

#include <cstdint>
#include <functional>
#include <string>

class GUI_ButtonText;
class GUI_FilePicker;
class GUI_TextEditWindow;

// Asks for a file name in one folder with one extension, lists what is
// there, asks before overwriting, and hands the name (without folder or
// extension) on; the caller writes folder + name + extension.
class GUI_SaveFileDialog : public GUI_Dialog {
public:
    using Callback = std::function<void(const std::string& name)>;
    static constexpr int kWidth = 600;
    static constexpr int kHeight = 300;
    static constexpr int kPickerHeight = 218;
    static constexpr int kMaxTyped = 999;
    // Longest name that still leaves room for an extension in a file name.
    static constexpr size_t kMaxNameLength = 200;

    GUI_SaveFileDialog(const std::string& folder, const std::string& extension, const char* titleKey,
                       Callback callback, const std::string& name);
    ~GUI_SaveFileDialog() override;

    void Draw() override;
    void Update() override;

    // Save button and Enter action (argument = the dialog).
    static void OnSave(std::intptr_t dialog);
    // The save itself, at once or as the overwrite question's yes.
    static void DoSave(std::intptr_t unused);

    // The name as it will be written: typed text made safe for a file name.
    std::string GetSafeName() const;
    // folder + safe name + extension: the file the caller will write.
    std::string GetTargetPath() const;

    GUI_FilePicker* GetPicker() const { return m_picker; }
    GUI_TextEditWindow* GetTextField() const { return m_textField; }
    GUI_ButtonText* GetSaveButton() const { return m_saveButton; }
    static GUI_SaveFileDialog* GetOpen();

    // When the caller writes the name under another form (lower case, say),
    // the overwrite question has to look at that file.
    using NameMapper = std::function<std::string(const std::string& name)>;
    void SetFileNameMapper(NameMapper mapper) { m_mapper = std::move(mapper); }

    // A name the caller cannot take although no file of the folder has it
    // (one the game's own files use): the check names the message to show
    // (string keys), and the dialog stays open for another name.
    struct Refusal {
        const char* textKey = nullptr;
        const char* titleKey = nullptr;
        // The check took the save over (and closed the dialog): nothing more.
        bool takenOver = false;
    };
    using NameCheck = std::function<Refusal(const std::string& name)>;
    void SetNameCheck(NameCheck check) { m_check = std::move(check); }

private:
    GUI_FilePicker* m_picker = nullptr;
    std::string m_labelText;
    std::string m_folder;
    std::string m_extension;
    GUI_ButtonText* m_saveButton = nullptr;
    GUI_TextEditWindow* m_textField = nullptr;
    Callback m_callback;
    // The name checked against the disk, kept while the question is open.
    std::string m_pendingName;
    NameMapper m_mapper;
    NameCheck m_check;
};

GUI_SaveFileDialog* ShowSaveFileDialog(const std::string& folder, const std::string& extension, const char* titleKey,
                                       GUI_SaveFileDialog::Callback callback, const std::string& name);
