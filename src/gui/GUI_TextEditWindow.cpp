#include "gui/GUI_TextEditWindow.h"

#include "app/GUI_GameModeBase.h"
#include "engine/D3DEngine.h"
#include "engine/LibFont.h"
#include "engine/LibText.h"
#include "platform/KeyCodes.h"

#include <algorithm>
#include <cctype>

namespace {
GUI_TextEditWindow::ModeProvider g_modeProvider = nullptr;
constexpr float kFontSize = 16.0f;
// The band behind a selected text: the interface's blue, opaque.
constexpr uint32_t kSelectionFill = 0xFF3A6EA5u;
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
    ++m_revision;
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
    m_allSelected = false;
}

void GUI_TextEditWindow::SelectAll()
{
    m_allSelected = !m_text.empty();
    m_cursor = static_cast<int>(m_text.size());
}

bool GUI_TextEditWindow::ReplaceSelection()
{
    if (!IsAllSelected())
        return false;
    m_allSelected = false;
    m_text.clear();
    ++m_revision;
    m_cursor = 0;
    return true;
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
    m_allSelected = false; // the click places the caret
    LayOut();

    LibText& lib = LibText::GetInstance();
    lib.SetFont("zekton16.dds", kFontSize);
    const float lineBottom = TextY() + kFontSize + 4.0f;
    // The glyphs of the first line shown, measured as they are drawn.
    const std::string line = m_shown.substr(0, m_shown.find('\n'));
    m_cursor = static_cast<int>(m_text.size());
    for (size_t i = 0; i < line.size(); ++i) {
        if (std::isspace(static_cast<unsigned char>(line[i])))
            continue;
        const float x0 = TextX() + static_cast<float>(lib.GetTextWidth(line.substr(0, i)));
        const float x1 = TextX() + static_cast<float>(lib.GetTextWidth(line.substr(0, i + 1)));
        if (x >= x0 && x < x1 && y >= TextY() && y < lineBottom) {
            m_cursor = static_cast<int>(m_shownFrom + i);
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
    // A refused first '_' leaves the selected text as it was.
    if (c == '_' && noLeadingUnderscore && IsAllSelected())
        return;
    ReplaceSelection();
    if (m_text.size() >= static_cast<size_t>(m_maxLength))
        return;
    if (c == '_' && m_cursor == 0 && noLeadingUnderscore)
        return;
    m_cursor = std::clamp(m_cursor, 0, static_cast<int>(m_text.size()));
    m_text.insert(static_cast<size_t>(m_cursor), 1, c);
    ++m_revision;
    ++m_cursor;
}

void GUI_TextEditWindow::OnKeyDown(int key)
{
    if (!enabled)
        return;
    m_cursor = std::clamp(m_cursor, 0, static_cast<int>(m_text.size()));
    switch (key) {
    case KEY_BACK:
        if (ReplaceSelection())
            return;
        if (m_cursor > 0) {
            m_text.erase(static_cast<size_t>(m_cursor - 1), 1);
            ++m_revision;
            --m_cursor;
        }
        return;
    case KEY_RETURN:
        EndEditing();
        if (onEnter)
            onEnter(onEnterArgument);
        return;
    case KEY_HOME:
        m_allSelected = false;
        if (m_editing)
            m_cursor = 0;
        return;
    case KEY_LEFT:
        // Left lets a selection go at its start, as other programs do.
        if (IsAllSelected())
            m_cursor = 0;
        else if (m_cursor > 0)
            --m_cursor;
        m_allSelected = false;
        return;
    case KEY_RIGHT:
        if (!IsAllSelected() && m_cursor < static_cast<int>(m_text.size()))
            ++m_cursor;
        m_allSelected = false;
        return;
    case KEY_END:
        m_allSelected = false;
        if (m_editing)
            m_cursor = static_cast<int>(m_text.size());
        return;
    default:
        // Characters come as typed text (OnTypedChar), whatever the keys and
        // the frame timing were.
        break;
    }
}

const std::string& GUI_TextEditWindow::GetShownText()
{
    LayOut();
    return m_shown;
}

size_t GUI_TextEditWindow::GetShownFrom()
{
    LayOut();
    return m_shownFrom;
}

void GUI_TextEditWindow::LayOut()
{
    const int cursor = std::clamp(m_cursor, 0, static_cast<int>(m_text.size()));
    if (m_laidRevision == m_revision && m_laidCursor == cursor && m_laidWidth == width && m_laidHeight == height)
        return;
    m_laidRevision = m_revision;
    m_laidCursor = cursor;
    m_laidWidth = width;
    m_laidHeight = height;
    LibText& lib = LibText::GetInstance();
    lib.SetFont("zekton16.dds", kFontSize);
    const float room = static_cast<float>(width - 16);
    if (height < kTwoLineHeight) {
        LayOutOneLine(room);
        return;
    }
    m_shownFrom = 0;
    m_shown = lib.GetWrappedText(m_text, static_cast<int>(room));
    // The caret ends the text before the cursor, wrapped the same way.
    const std::string before = lib.GetWrappedText(m_text.substr(0, static_cast<size_t>(cursor)), static_cast<int>(room));
    const size_t lastBreak = before.rfind('\n');
    const LibFont* font = lib.GetCurrentFont();
    const float lineHeight = kFontSize + (font ? static_cast<float>(font->GetLineGap()) : 0.0f);
    m_caretX = static_cast<float>(lib.GetTextWidth(lastBreak == std::string::npos ? before : before.substr(lastBreak + 1)));
    m_caretY = lineHeight * static_cast<float>(std::count(before.begin(), before.end(), '\n'));
    if (m_text.empty())
        m_caretY = 2.0f;
}

void GUI_TextEditWindow::LayOutOneLine(float room)
{
    const LibText& lib = LibText::GetInstance();
    const size_t size = m_text.size();
    const auto cursor = static_cast<size_t>(m_laidCursor);
    auto fits = [&](size_t from, size_t to) {
        return static_cast<float>(lib.GetTextWidth(m_text.substr(from, to - from))) <= room;
    };
    size_t from = 0, to = size;
    if (!fits(0, size)) {
        // The cursor stays in view; the text moves only as far as it must.
        from = std::min(m_shownFrom, cursor);
        while (from < cursor && !fits(from, cursor))
            ++from;
        to = cursor;
        while (to < size && fits(from, to + 1))
            ++to;
        // At the end of the text the box fills from its right.
        while (to == size && from > 0 && fits(from - 1, to))
            --from;
    }
    m_shownFrom = from;
    m_shown = m_text.substr(from, to - from);
    m_caretX = cursor > from ? static_cast<float>(lib.GetTextWidth(m_text.substr(from, cursor - from))) : 0.0f;
    // An empty field's caret stands at the box's top, as it always did.
    m_caretY = m_text.empty() ? 2.0f : 0.0f;
}

void GUI_TextEditWindow::Draw()
{
    if (!visible)
        return;
    D3DEngine& engine = D3DEngine::GetInstance();
    const GRect box{left, top, right, bottom};
    engine.FillRect(box, 0xFF202020u);
    engine.DrawRectFrame(box, 0xFF808080u);
    LayOut();
    LibText& lib = LibText::GetInstance();
    lib.SetFont("zekton16.dds", kFontSize);
    if (enabled && IsAllSelected() && !m_shown.empty()) {
        // The selection is the text's own width on a lit band, inside the box.
        const int textRight = static_cast<int>(TextX()) + lib.GetTextWidth(m_shown.substr(0, m_shown.find('\n')));
        const GRect band{static_cast<int>(TextX()) - 2, top + 2, std::min(textRight + 2, right - 2),
                         std::min(bottom - 2, top + 20)};
        engine.FillRect(band, kSelectionFill);
    }
    if (enabled) {
        lib.SetText(TEXT_ALIGN_LEFT, m_shown, TextX(), TextY(), 0xFFFFFFFFu, 0.0f);
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
    const float x = TextX() + m_caretX;
    const float y = TextY() + m_caretY;
    const GRect caret{static_cast<int>(x + 2.0f), static_cast<int>(y + 2.0f), static_cast<int>(x + 4.0f),
                      static_cast<int>(y + 18.0f)};
    engine.FillRect(caret, 0xFFFFFFFFu);
}
