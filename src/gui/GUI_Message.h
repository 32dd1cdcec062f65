#pragma once
#include "gui/GUI_Dialog.h"
#include "gui/GUI_Interlace.h"

#include <string>

// A one-text notice with only a close button; one at a time.
class GUI_Message : public GUI_Dialog {
public:
    static constexpr int kWidth = 400;

    GUI_Message(const std::string& text, const std::string& title);
    ~GUI_Message() override;

    void Draw() override;
    const std::string& GetText() const { return m_text; }
    GUI_Interlace& GetInterlace() { return m_interlace; }

    static GUI_Message* GetOpen();

private:
    std::string m_text;
    GUI_Interlace m_interlace;
};

// The text is shown as given; the title is a string key. Replaces any open message.
void ShowMessage(const std::string& text, const char* titleKey);
