#include "gui/GUI_TextEditWindow.h"

#include "app/GUI_GameModeBase.h"
#include "engine/D3DEngine.h"
#include "engine/LibText.h"
#include "platform/KeyCodes.h"

#include <algorithm>
#include <cctype>

namespace {
GUI_TextEditWindow::ModeProvider g_modeProvider = nullptr;
constexpr float kFontSize = 16.0f;
} // namespace

void GUI_TextEditWindow::SetModeProvider(ModeProvider provider)
{
    g_modeProvider = provider;
}

GUI_GameModeBase* GUI_TextEditWindow::CurrentMode()
{
    return g_modeProvider ? g_modeProvider() : nullptr;
}

GUI_TextEditWindow::GUI_TextEditWindow(const std::string& text, int maxLength, const IClock* clock)
    : m_caretTimer(clock), m_maxLength(std::max(0, maxLength))
{
    SetText(text);
}

GUI_TextEditWindow::~GUI_TextEditWindow()
{
    EndEditing();
}

void GUI_TextEditWindow::SetText(const std::string& text)
{
    m_text = text;
    // A text from outside (a file name, a saved setting) obeys the limit too.
    if (m_maxLength > 0 && m_text.size() > static_cast<size_t>(m_maxLength))
        m_text.resize(static_cast<size_t>(m_maxLength));
    m_cursor = static_cast<int>(m_text.size());
    EndEditing();
}

void GUI_TextEditWindow::EndEditing()
{
    // Only our own claim is dropped: another field may hold the keyboard now.
    if (GUI_GameModeBase* mode = CurrentMode()) {
        if (mode->keyboardFocus == this)
            mode->keyboardFocus = nullptr;
    }
    m_editing = false;
}

void GUI_TextEditWindow::BeginEditing()
{
    m_editing = true;
    m_caretTimer.Start();
    m_caretOn = true;
    m_cursor = static_cast<int>(m_text.size());
    if (GUI_GameModeBase* mode = CurrentMode())
        mode->keyboardFocus = this;
}

bool GUI_TextEditWindow::OnLeftClick(float x, float y)
{
    if (!enabled || !visible)
        return false;
    if (!Contains(x, y)) {
        EndEditing();
        return false;
    }
    BeginEditing();

    LibText& lib = LibText::GetInstance();
    lib.SetFont("zekton16.dds", kFontSize);
    const float lineBottom = TextY() + kFontSize + 4.0f;
    m_cursor = static_cast<int>(m_text.size());
    for (size_t i = 0; i < m_text.size(); ++i) {
        if (std::isspace(static_cast<unsigned char>(m_text[i])))
            continue;
        const float x0 = TextX() + static_cast<float>(lib.GetTextWidth(m_text.substr(0, i)));
        const float x1 = TextX() + static_cast<float>(lib.GetTextWidth(m_text.substr(0, i + 1)));
        if (x >= x0 && x < x1 && y >= TextY() && y < lineBottom) {
            m_cursor = static_cast<int>(i);
            break;
        }
    }
    return true;
}

bool GUI_TextEditWindow::IsTypable(char c)
{
    // Letters, digits and a little punctuation: the fonts have no other
    // glyphs, and file names are built from these texts.
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
        return true;
    switch (c) {
    case ' ': case '-': case '_': case ',': case '.': case '\'': case '!': case '?': case '(': case ')':
        return true;
    default:
        return false;
    }
}

void GUI_TextEditWindow::OnTypedChar(char c)
{
    if (!enabled || (c == '?' && noQuestionMark))
        return;
    InsertChar(c);
}

void GUI_TextEditWindow::InsertChar(char c)
{
    if (!IsTypable(c))
        return;
    if (m_text.size() >= static_cast<size_t>(m_maxLength))
        return;
    if (c == '_' && m_cursor == 0 && noLeadingUnderscore)
        return;
    m_cursor = std::clamp(m_cursor, 0, static_cast<int>(m_text.size()));
    m_text.insert(static_cast<size_t>(m_cursor), 1, c);
    ++m_cursor;
}

void GUI_TextEditWindow::OnKeyDown(int key)
{
    if (!enabled)
        return;
    m_cursor = std::clamp(m_cursor, 0, static_cast<int>(m_text.size()));
    switch (key) {
    case KEY_BACK:
        if (m_cursor > 0) {
            m_text.erase(static_cast<size_t>(m_cursor - 1), 1);
            --m_cursor;
        }
        return;
    case KEY_RETURN:
        EndEditing();
        return;
    case KEY_HOME:
        if (m_editing)
            m_cursor = 0;
        return;
    case KEY_LEFT:
        if (m_cursor > 0)
            --m_cursor;
        return;
    case KEY_RIGHT:
        if (m_cursor < static_cast<int>(m_text.size()))
            ++m_cursor;
        return;
    case KEY_END:
        if (m_editing)
            m_cursor = static_cast<int>(m_text.size());
        return;
    default:
        // Characters come as typed text (OnTypedChar), whatever the keys and
        // the frame timing were.
        break;
    }
}

void GUI_TextEditWindow::Draw()
{
    if (!visible)
        return;
    D3DEngine& engine = D3DEngine::GetInstance();
    const GRect box{left, top, right, bottom};
    engine.FillRect(box, 0xFF202020u);
    engine.DrawRectFrame(box, 0xFF808080u);
    LibText& lib = LibText::GetInstance();
    lib.SetFont("zekton16.dds", kFontSize);
    if (enabled) {
        lib.SetText(TEXT_ALIGN_LEFT, lib.GetWrappedText(m_text, width - 16), TextX(), TextY(), 0xFFFFFFFFu, 0.0f);
        lib.Render(-1);
    }
    if (!m_editing)
        return;
    m_caretTimer.Update();
    if (m_caretTimer.GetTotalMs() > kBlinkMs) {
        m_caretTimer.Start();
        m_caretOn = !m_caretOn;
    }
    if (!m_caretOn)
        return;
    const int cursor = std::clamp(m_cursor, 0, static_cast<int>(m_text.size()));
    float x = TextX();
    float y = TextY();
    if (m_text.empty())
        y = static_cast<float>(top);
    else if (cursor > 0)
        x += static_cast<float>(lib.GetTextWidth(m_text.substr(0, static_cast<size_t>(cursor))));
    const GRect caret{static_cast<int>(x + 2.0f), static_cast<int>(y + 2.0f), static_cast<int>(x + 4.0f),
                      static_cast<int>(y + 18.0f)};
    engine.FillRect(caret, 0xFFFFFFFFu);
}
