#include "gui/GUI_Message.h"

#include "engine/D3DEngine.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "gui/GUI_WindowManager.h"

#include <algorithm>

namespace {
GUI_Message* g_openMessage = nullptr;
constexpr float kFontSize = 16.0f;
} // namespace

GUI_Message::GUI_Message(const std::string& text, const std::string& title) : GUI_Dialog(true), m_text(text)
{
    LibText& lib = LibText::GetInstance();
    lib.SetFont("zekton16.dds", kFontSize);
    const int wrapWidth = static_cast<int>(380.0f - 2.0f * sideMargin);
    m_shown = lib.GetWrappedText(m_text, wrapWidth);
    // However long the text (a server's words, a list of files), the box and
    // its close button stay on screen: what does not fit is cut, with "...".
    // The text drawn in one go holds at most as many glyphs as one batch.
    auto glyphs = [](const std::string& t) {
        return static_cast<size_t>(std::count_if(t.begin(), t.end(), [](char c) { return c != ' ' && c != '\n'; }));
    };
    int lines = 1 + static_cast<int>(std::count(m_shown.begin(), m_shown.end(), '\n'));
    int maxLines = lines;
    if (const int screenHeight = D3DEngine::GetInstance().GetScreenHeight(); screenHeight > 0) {
        const int lineHeight = std::max(1, lib.GetWrappedTextHeight("x", wrapWidth));
        maxLines = std::max(1, (MaxHeight(screenHeight) - kFrameHeight) / lineHeight);
    }
    while (lines > maxLines || (glyphs(m_shown) > kMaxGlyphs && maxLines > 1)) {
        maxLines = std::min(maxLines, lines - 1);
        m_shown = lib.FitText(m_text, wrapWidth, maxLines);
        lines = 1 + static_cast<int>(std::count(m_shown.begin(), m_shown.end(), '\n'));
    }
    const int textHeight = lib.GetWrappedTextHeight(m_shown, wrapWidth);
    SetSize(static_cast<float>(kWidth), static_cast<float>(textHeight + kFrameHeight));
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

int GUI_Message::MaxHeight(int screenHeight)
{
    return screenHeight - 2 * kScreenMargin;
}

GUI_Message* GUI_Message::GetOpen()
{
    return g_openMessage;
}

void GUI_Message::Draw()
{
    GUI_Dialog::Draw();
    DrawClientText(m_interlace, m_shown);
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
