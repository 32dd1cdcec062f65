#include "DialogTestFixture.h"

#include "app/GUI_GameModeBase.h"
#include "gui/GUI_TextEditWindow.h"
#include "engine/TextLayoutRecorder.h"
#include "platform/KeyCodes.h"

#include <algorithm>

namespace {

GUI_GameModeBase g_mode;
GUI_GameModeBase* CurrentMode()
{
    return &g_mode;
}

// The lines of every text drawn while it is installed.
class LineRecorder final : public TextLayoutRecorder {
public:
    LineRecorder()
    {
        m_wantsTexts = true;
        Install(this);
    }
    ~LineRecorder() override { Install(nullptr); }
    void OnText(const Text& text) override { lines.insert(lines.end(), text.lines.begin(), text.lines.end()); }
    void OnCut(const std::string&, const std::string&) override {}
    void OnEnterBox(const Box&) override {}
    void OnLeaveBox() override {}
    std::vector<Line> lines;
};

class TextEditTest : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        g_mode.keyboardFocus = nullptr;
        GUI_TextEditWindow::SetModeProvider(CurrentMode);
    }
    void TearDown() override
    {
        GUI_TextEditWindow::SetModeProvider(nullptr);
        DialogTest::TearDown();
    }
    static void Keys(GUI_TextEditWindow& field, std::initializer_list<int> keys)
    {
        for (int key : keys)
            field.OnKeyDown(key);
    }
    static void Type(GUI_TextEditWindow& field, const std::string& text)
    {
        for (char c : text)
            field.OnTypedChar(c);
    }
    static int Width(const std::string& text)
    {
        LibText& lib = LibText::GetInstance();
        lib.SetFont("zekton16.dds", 16.0f);
        return lib.GetTextWidth(text);
    }
    // The caret as the last fill of a drawn frame: its rectangle.
    GRect DrawnCaret(GUI_TextEditWindow& field)
    {
        m_device->ClearDraws();
        field.Draw();
        GRect caret{0, 0, 0, 0};
        if (m_device->GetDraws().empty() || m_device->GetDraws().back().vertices.size() < 4) {
            ADD_FAILURE() << "no caret drawn";
            return caret;
        }
        float minX = 1e9f, maxX = -1e9f, minY = 1e9f, maxY = -1e9f;
        for (const ScreenVertex& v : m_device->GetDraws().back().vertices) {
            minX = std::min(minX, v.x);
            maxX = std::max(maxX, v.x);
            minY = std::min(minY, v.y);
            maxY = std::max(maxY, v.y);
        }
        // Vertices sit half a pixel off the integer corners.
        return GRect{static_cast<int>(std::lround(minX)), static_cast<int>(std::lround(minY)),
                     static_cast<int>(std::lround(maxX)), static_cast<int>(std::lround(maxY))};
    }
};

TEST_F(TextEditTest, TypesAtTheCursorAndMovesWithTheArrowKeys)
{
    GUI_TextEditWindow field("", 20);
    Type(field, "abc");
    EXPECT_EQ(field.GetText(), "abc");
    Keys(field, {KEY_LEFT, KEY_LEFT});
    Type(field, "x");
    EXPECT_EQ(field.GetText(), "axbc");
    EXPECT_EQ(field.GetCursor(), 2);
    Keys(field, {KEY_BACK, KEY_BACK, KEY_BACK});
    EXPECT_EQ(field.GetText(), "bc");
    EXPECT_EQ(field.GetCursor(), 0);
    Keys(field, {KEY_RIGHT, KEY_RIGHT, KEY_RIGHT});
    EXPECT_EQ(field.GetCursor(), 2);
}

TEST_F(TextEditTest, HomeAndEndWorkOnlyWhileEditing)
{
    GUI_TextEditWindow field("hello", 20);
    field.SetRect(10, 10, 300, 34);
    Keys(field, {KEY_HOME});
    EXPECT_EQ(field.GetCursor(), 5);
    ASSERT_TRUE(field.OnLeftClick(290, 20));
    Keys(field, {KEY_HOME});
    EXPECT_EQ(field.GetCursor(), 0);
    Keys(field, {KEY_END});
    EXPECT_EQ(field.GetCursor(), 5);
}

TEST_F(TextEditTest, TypedCharactersAreTakenAsTypedAndOnlyTheFieldsSet)
{
    GUI_TextEditWindow field("", 40);
    Type(field, "Audit A!2_()?z -,.'");
    EXPECT_EQ(field.GetText(), "Audit A!2_()?z -,.'");
    // Nothing that a file name or the font cannot take.
    Type(field, "/\\:*\"<>|~@#$%^&+=[]{};`\t\n");
    EXPECT_EQ(field.GetText(), "Audit A!2_()?z -,.'");
    // Keys alone type nothing: the characters come as text.
    Keys(field, {KEY_A, KEY_1, KEY_SPACE, KEY_F1, KEY_ESCAPE, KEY_TAB, -1, 0, 256, 100000, KEY_DELETE});
    EXPECT_EQ(field.GetText(), "Audit A!2_()?z -,.'");
}

TEST_F(TextEditTest, FieldRulesForUnderscoreAndQuestionMark)
{
    GUI_TextEditWindow field("", 20);
    field.noLeadingUnderscore = true;
    field.noQuestionMark = true;
    Type(field, "_?A_");
    EXPECT_EQ(field.GetText(), "A_");
    Keys(field, {KEY_HOME});
    EXPECT_EQ(field.GetCursor(), 2);  // not editing: Home does nothing
}

TEST_F(TextEditTest, NeverExceedsItsLengthLimit)
{
    GUI_TextEditWindow field("", 3);
    Type(field, "abcde");
    EXPECT_EQ(field.GetText(), "abc");
    Keys(field, {KEY_BACK});
    Type(field, "d");
    EXPECT_EQ(field.GetText(), "abd");

    field.SetText("much too long");
    EXPECT_EQ(field.GetText(), "muc");
    EXPECT_EQ(field.GetCursor(), 3);
    GUI_TextEditWindow fromStart("overlong", 4);
    EXPECT_EQ(fromStart.GetText(), "over");

    GUI_TextEditWindow none("", 0);
    Type(none, "a");
    EXPECT_EQ(none.GetText(), "");
    GUI_TextEditWindow negative("", -5);
    Type(negative, "a");
    EXPECT_EQ(negative.GetText(), "");
}

TEST_F(TextEditTest, DisabledFieldIgnoresKeysAndClicks)
{
    GUI_TextEditWindow field("ab", 10);
    field.SetRect(10, 10, 200, 34);
    field.enabled = false;
    Type(field, "c");
    Keys(field, {KEY_BACK});
    EXPECT_EQ(field.GetText(), "ab");
    EXPECT_FALSE(field.OnLeftClick(50, 20));
    EXPECT_EQ(g_mode.keyboardFocus, nullptr);
}

TEST_F(TextEditTest, ClickTakesTheKeyboardAndPlacesTheCursor)
{
    GUI_TextEditWindow field("one two", 20);
    field.SetRect(10, 10, 300, 34);
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    // Inside the glyph of 't' (index 4).
    const float tx = 18.0f + static_cast<float>(text.GetTextWidth("one ")) + 1.0f;
    ASSERT_TRUE(field.OnLeftClick(tx, 15));
    EXPECT_TRUE(field.IsEditing());
    EXPECT_EQ(g_mode.keyboardFocus, &field);
    EXPECT_EQ(field.GetCursor(), 4);

    // On the blank between the words: the end of the text.
    const float blank = 18.0f + static_cast<float>(text.GetTextWidth("one")) + 1.0f;
    ASSERT_TRUE(field.OnLeftClick(blank, 15));
    EXPECT_EQ(field.GetCursor(), 7);

    EXPECT_FALSE(field.OnLeftClick(500, 500));
    EXPECT_FALSE(field.IsEditing());
    EXPECT_EQ(g_mode.keyboardFocus, nullptr);
}

// A selected text goes with the first character typed or Backspace; a
// click, a cursor key, SetText or the keyboard's going lets it go. Nothing
// is selected while the field does not have the keyboard.
TEST_F(TextEditTest, ASelectedTextIsReplacedByWhatIsTypedFirst)
{
    GUI_TextEditWindow field("Pathfinder", 20);
    field.SetRect(10, 10, 300, 34);
    field.SelectAll();
    EXPECT_FALSE(field.IsAllSelected()) << "not while the field lacks the keyboard";
    field.BeginEditing();
    field.SelectAll();
    ASSERT_TRUE(field.IsAllSelected());
    Type(field, "Blue");
    EXPECT_EQ(field.GetText(), "Blue");
    EXPECT_FALSE(field.IsAllSelected());
    field.SelectAll();
    Keys(field, {KEY_BACK});
    EXPECT_EQ(field.GetText(), "");
    Keys(field, {KEY_BACK});
    EXPECT_EQ(field.GetText(), "");
    Type(field, "wing");
    for (int key : {KEY_END, KEY_HOME, KEY_RIGHT}) {
        field.SelectAll();
        Keys(field, {key});
        EXPECT_FALSE(field.IsAllSelected()) << key;
    }
    field.SelectAll();
    Keys(field, {KEY_RIGHT});
    EXPECT_EQ(field.GetCursor(), 4) << "Right lets it go at its end";
    field.SelectAll();
    Keys(field, {KEY_LEFT});
    EXPECT_EQ(field.GetCursor(), 0) << "Left lets it go at its start";
    Type(field, "s");
    EXPECT_EQ(field.GetText(), "swing");
    field.SelectAll();
    ASSERT_TRUE(field.OnLeftClick(290, 20));
    EXPECT_FALSE(field.IsAllSelected());
    field.SelectAll();
    field.SetText("new");
    EXPECT_FALSE(field.IsAllSelected());
    // A refused first '_' leaves the selected text as it was.
    field.noLeadingUnderscore = true;
    field.BeginEditing();
    field.SelectAll();
    Type(field, "_");
    EXPECT_EQ(field.GetText(), "new");
    EXPECT_TRUE(field.IsAllSelected());
    // Drawn: a lit band behind the text, as wide as the text, then the text.
    m_device->ClearDraws();
    field.Draw();
    bool band = false;
    for (const auto& draw : m_device->GetDraws()) {
        if (draw.vertices.size() < 4 || draw.vertices[0].colour != 0xFF3A6EA5u)
            continue;
        float maxX = -1e9f;
        for (const ScreenVertex& v : draw.vertices)
            maxX = std::max(maxX, v.x);
        band = std::abs(maxX - (18.0f + static_cast<float>(Width("new")) + 2.0f)) <= 1.0f;
    }
    EXPECT_TRUE(band);
    field.EndEditing();
    EXPECT_FALSE(field.IsAllSelected());
}

TEST_F(TextEditTest, EnterAndDestructionGiveTheKeyboardBack)
{
    auto* field = new GUI_TextEditWindow("a", 10);
    field->SetRect(0, 0, 100, 24);
    field->OnLeftClick(5, 5);
    ASSERT_EQ(g_mode.keyboardFocus, field);
    field->OnKeyDown(KEY_RETURN);
    EXPECT_EQ(g_mode.keyboardFocus, nullptr);
    EXPECT_FALSE(field->IsEditing());
    field->OnLeftClick(5, 5);
    delete field;
    EXPECT_EQ(g_mode.keyboardFocus, nullptr);
}

TEST_F(TextEditTest, EndingOneFieldLeavesAnotherFieldsKeyboard)
{
    GUI_TextEditWindow first("a", 10);
    GUI_TextEditWindow second("b", 10);
    first.SetRect(0, 0, 100, 24);
    second.SetRect(0, 40, 100, 64);
    first.OnLeftClick(5, 5);
    second.OnLeftClick(5, 45);
    first.EndEditing();
    EXPECT_EQ(g_mode.keyboardFocus, &second);
}

TEST_F(TextEditTest, CaretBlinksEveryTwoHundredMilliseconds)
{
    GUI_TextEditWindow field("abc", 10, &m_clock);
    field.SetRect(10, 10, 200, 34);
    field.OnLeftClick(15, 15);
    EXPECT_TRUE(field.IsCaretOn());
    m_clock.Advance(150.0);
    field.Draw();
    EXPECT_TRUE(field.IsCaretOn());
    m_clock.Advance(100.0);
    field.Draw();
    EXPECT_FALSE(field.IsCaretOn());
    m_clock.Advance(201.0);
    m_device->ClearDraws();
    field.Draw();
    EXPECT_TRUE(field.IsCaretOn());
    // Box, frame, text, and the caret as the last fill: 2 x 16 pixels.
    ASSERT_FALSE(m_device->GetDraws().empty());
    const auto& caret = m_device->GetDraws().back();
    ASSERT_GE(caret.vertices.size(), 4u);
    float minX = 1e9f, maxX = -1e9f, minY = 1e9f, maxY = -1e9f;
    for (const ScreenVertex& v : caret.vertices) {
        minX = std::min(minX, v.x);
        maxX = std::max(maxX, v.x);
        minY = std::min(minY, v.y);
        maxY = std::max(maxY, v.y);
    }
    EXPECT_FLOAT_EQ(maxX - minX, 2.0f);
    EXPECT_FLOAT_EQ(maxY - minY, 16.0f);
}

// A name longer than a one-line field shows the part around the cursor on
// the one line, inside the box, with the caret after the last letter typed;
// nothing is drawn below the box.
TEST_F(TextEditTest, ALongTextScrollsInsideAOneLineField)
{
    GUI_TextEditWindow field("", 999, &m_clock);
    field.SetRect(100, 200, 400, 222); // the save dialog's field is 22 high
    const float room = 300 - 16;
    ASSERT_TRUE(field.OnLeftClick(110, 210));
    const std::string name = "federation patrol frigate of the outer rim";
    ASSERT_GT(Width(name), room);
    Type(field, name);
    ASSERT_EQ(field.GetText(), name);

    // The end of the text shows, as much of it as fits.
    const std::string shown = field.GetShownText();
    EXPECT_EQ(shown.find('\n'), std::string::npos);
    EXPECT_LE(Width(shown), room);
    EXPECT_EQ(name.substr(field.GetShownFrom()), shown);
    EXPECT_GT(Width(name.substr(field.GetShownFrom() - 1)), room) << "one letter more would not fit";
    {
        LineRecorder lines;
        field.Draw();
        ASSERT_EQ(lines.lines.size(), 1u);
        EXPECT_GE(lines.lines[0].left, 108.0f);
        EXPECT_LE(lines.lines[0].right, 400.0f - 8.0f);
        EXPECT_LE(lines.lines[0].top, 222.0f);
    }
    GRect caret = DrawnCaret(field);
    EXPECT_EQ(caret.left, 108 + Width(shown) + 2);
    EXPECT_EQ(caret.right - caret.left, 2);
    EXPECT_LT(caret.right, 400);
    EXPECT_EQ(caret.top, 200);

    // Home brings the start back into the box; the caret before the first letter.
    field.OnKeyDown(KEY_HOME);
    EXPECT_EQ(field.GetShownFrom(), 0u);
    EXPECT_EQ(name.rfind(field.GetShownText(), 0), 0u);
    EXPECT_LE(Width(field.GetShownText()), room);
    caret = DrawnCaret(field);
    EXPECT_EQ(caret.left, 110);
    // Right moves the caret, not the text, until the cursor passes the box's edge.
    const size_t inView = field.GetShownText().size();
    for (size_t i = 0; i < inView; ++i)
        field.OnKeyDown(KEY_RIGHT);
    EXPECT_EQ(field.GetShownFrom(), 0u);
    field.OnKeyDown(KEY_RIGHT);
    EXPECT_EQ(field.GetShownFrom(), 1u);
    EXPECT_LE(DrawnCaret(field).right, 400);

    // A click lands on the letter under the mouse in the shown part.
    field.OnKeyDown(KEY_END);
    const size_t from = field.GetShownFrom();
    const std::string tail = field.GetShownText();
    const float x = 108.0f + static_cast<float>(Width(tail.substr(0, 3))) + 1.0f;
    ASSERT_NE(tail[3], ' ');
    ASSERT_TRUE(field.OnLeftClick(x, 205));
    EXPECT_EQ(field.GetCursor(), static_cast<int>(from + 3));

    // Cut back to what fits, it shows whole again from its start.
    field.OnKeyDown(KEY_END);
    for (int i = 0; i < 30; ++i)
        field.OnKeyDown(KEY_BACK);
    EXPECT_EQ(field.GetShownFrom(), 0u);
    EXPECT_EQ(field.GetShownText(), field.GetText());
}

// A field of several lines wraps its text and the caret follows it onto the
// line where the cursor is.
TEST_F(TextEditTest, ATallFieldWrapsAndItsCaretFollowsTheLines)
{
    GUI_TextEditWindow field("", 256, &m_clock);
    field.SetRect(100, 200, 300, 200 + GUI_TextEditWindow::kTwoLineHeight);
    ASSERT_TRUE(field.OnLeftClick(110, 210));
    Type(field, "one two three four five six seven");
    const std::string shown = field.GetShownText();
    ASSERT_NE(shown.find('\n'), std::string::npos);
    const std::string lastLine = shown.substr(shown.rfind('\n') + 1);
    const GRect caret = DrawnCaret(field);
    EXPECT_EQ(caret.left, 108 + Width(lastLine) + 2);
    EXPECT_GT(caret.top, 200 + 10);

    // One pixel lower than two lines: one line, scrolled.
    GUI_TextEditWindow low("one two three four five six seven", 256, &m_clock);
    low.SetRect(100, 300, 300, 300 + GUI_TextEditWindow::kTwoLineHeight - 1);
    EXPECT_EQ(low.GetShownText().find('\n'), std::string::npos);
    EXPECT_GT(low.GetShownFrom(), 0u);
}

} // namespace
