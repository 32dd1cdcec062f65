#include "gui/GUI_Message.h"

#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "gui/GUI_WindowManager.h"

namespace {
GUI_Message* g_openMessage = nullptr;
constexpr float kFontSize = 16.0f;
} // namespace

GUI_Message::GUI_Message(const std::string& text, const std::string& title) : GUI_Dialog(true), m_text(text)
{
    LibText& lib = LibText::GetInstance();
    lib.SetFont("zekton16.dds", kFontSize);
    const int wrapWidth = static_cast<int>(380.0f - 2.0f * sideMargin);
    const int textHeight = lib.GetWrappedTextHeight(m_text, wrapWidth);
    SetSize(static_cast<float>(kWidth), static_cast<float>(textHeight + 80));
    Centre();
    SetTitle(title);
    SetClientRect();
    GUI_WindowManager::GetInstance().AddModal(this);
    g_openMessage = this;
}

GUI_Message::~GUI_Message()
{
    if (g_openMessage == this)
        g_openMessage = nullptr;
}

GUI_Message* GUI_Message::GetOpen()
{
    return g_openMessage;
}

void GUI_Message::Draw()
{
    GUI_Dialog::Draw();
    DrawClientText(m_interlace, m_text);
}

void ShowMessage(const std::string& text, const char* titleKey)
{
    if (GUI_Message* open = GUI_Message::GetOpen()) {
        open->visible = false;
        GUI_WindowManager::GetInstance().CloseWindow(open);
    }
    g_openMessage = nullptr;
    new GUI_Message(text, GetString(titleKey ? titleKey : ""));
}
