#pragma once
#include "engine/LibText.h"
#include "gui/GUI_Dialog.h"
#include "gui/GUI_Interlace.h"

#include <string>

// A one-text notice with only a close button; one at a time. The box never
// grows past the screen: a text too long for it is cut.
class GUI_Message : public GUI_Dialog {
public:
    static constexpr int kWidth = 400;
    // The frame around the text: title bar, margins.
    static constexpr int kFrameHeight = 80;
    // Room kept free above and below the tallest box.
    static constexpr int kScreenMargin = 20;
    // What one text draw holds.
    static constexpr size_t kMaxGlyphs = LibText::kMaxVertices / 4;
    // The tallest box a screen of that height shows.
    static int MaxHeight(int screenHeight);

    GUI_Message(const std::string& text, const std::string& title);
    ~GUI_Message() override;

    void Draw() override;
    const std::string& GetText() const { return m_text; }
    // What the box shows: the text wrapped, cut to the lines that fit.
    const std::string& GetShownText() const { return m_shown; }
    GUI_Interlace& GetInterlace() { return m_interlace; }

    static GUI_Message* GetOpen();

private:
    std::string m_text;
    std::string m_shown;
    GUI_Interlace m_interlace;
};

// The text is shown as given; the title is a string key. Replaces any open message.
void ShowMessage(const std::string& text, const char* titleKey);
