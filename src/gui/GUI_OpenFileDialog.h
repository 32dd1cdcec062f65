#pragma once
#include "gui/GUI_Dialog.h"

#include <cstdint>
#include <functional>
#include <string>

class GUI_ButtonText;
class GUI_FilePicker;

// Picks one existing file from a folder mask and hands its path on. At most
// one is open; opening another replaces it.
class GUI_OpenFileDialog : public GUI_Dialog {
public:
    using Callback = std::function<void(const std::string& path)>;
    static constexpr int kWidth = 600;
    static constexpr int kHeight = 304;
    static constexpr int kPickerHeight = 218;

    GUI_OpenFileDialog(const std::string& mask, const char* titleKey, Callback callback);
    ~GUI_OpenFileDialog() override;

    void Draw() override;

    // Open button action (argument = the dialog).
    static void OnOpen(std::intptr_t dialog);

    GUI_FilePicker* GetPicker() const { return m_picker; }
    GUI_ButtonText* GetOpenButton() const { return m_openButton; }
    static GUI_OpenFileDialog* GetOpen();

private:
    GUI_FilePicker* m_picker = nullptr;
    // Label place relative to the dialog, so that it follows a drag.
    int m_labelLeft = 0;
    int m_labelTop = 0;
    int m_labelRight = 0;
    int m_labelBottom = 0;
    std::string m_labelText;
    GUI_ButtonText* m_openButton = nullptr;
    Callback m_callback;
};

GUI_OpenFileDialog* ShowOpenFileDialog(const std::string& mask, const char* titleKey,
                                       GUI_OpenFileDialog::Callback callback);
