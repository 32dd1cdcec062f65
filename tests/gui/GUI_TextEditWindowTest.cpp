#include "DialogTestFixture.h"

#include "app/GUI_GameModeBase.h"
#include "gui/GUI_TextEditWindow.h"
#include "platform/KeyCodes.h"

namespace {

GUI_GameModeBase g_mode;
GUI_GameModeBase* CurrentMode()
{
    return &g_mode;
}

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

} // namespace
