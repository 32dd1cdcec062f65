#include "DialogTestFixture.h"

#include "gui/GUI_ButtonText.h"
#include "gui/GUI_CloseButton.h"
#include "gui/GUI_ConfirmDialog.h"
#include "gui/GUI_Dialog.h"
#include "gui/GUI_TitleBar.h"
#include "gui/GUI_Message.h"
#include "gui/GUI_ScrollingWindow.h"

#include <algorithm>
#include <array>

namespace {

std::vector<std::intptr_t> g_answers;
void Answer(std::intptr_t argument)
{
    g_answers.push_back(argument);
}
int g_resumes = 0;
void Resume(std::intptr_t)
{
    ++g_resumes;
}

class ConfirmTest : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        g_answers.clear();
        g_resumes = 0;
    }
    // The update pass of a frame, which also ends with the deferred deletions.
    static void UpdateFrame() { GUI_WindowManager::GetInstance().UpdateWindows(); }
};

class CountingWindow : public GUI_WindowBase {
public:
    bool OnLeftClick(float x, float y) override
    {
        ++clicks;
        return GUI_WindowBase::OnLeftClick(x, y);
    }
    int clicks = 0;
};

// Counts the clicks that land inside it.
class HitCounter : public GUI_WindowBase {
public:
    bool OnLeftClick(float x, float y) override
    {
        hits += Contains(x, y) ? 1 : 0;
        return GUI_WindowBase::OnLeftClick(x, y);
    }
    int hits = 0;
};

// A dialog with a pane of its own and the client area's scroll bar.
class PanelDialog : public GUI_Dialog {
public:
    PanelDialog() : GUI_Dialog(false)
    {
        SetRect(100, 100, 500, 400);
        SetClientRect();
        pane = PlaceChild(new HitCounter(), clientLeft + 10, clientTop + 10, clientLeft + 110, clientTop + 60);
        bar = AddClientScrollBar();
    }
    HitCounter* pane = nullptr;
    GUI_ScrollingWindow* bar = nullptr;
};

TEST_F(ConfirmTest, OneLineQuestionIsCentredWithButtonsAlongTheBottom)
{
    AskYesNo("Quit?", "TITLE", Answer, false);
    GUI_ConfirmDialog* dialog = GUI_ConfirmDialog::GetOpen();
    ASSERT_NE(dialog, nullptr);
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    const int lineHeight = text.GetWrappedTextHeight("Quit?", 348);
    EXPECT_EQ(dialog->width, 400);
    EXPECT_EQ(dialog->height, lineHeight + 110);
    EXPECT_EQ(dialog->left, kScreenW / 2 - 200);
    EXPECT_EQ(dialog->top, kScreenH / 2 - dialog->height / 2);
    EXPECT_EQ(dialog->GetTitle(), "TITLE");
    EXPECT_TRUE(dialog->IsModal());
    EXPECT_EQ(GUI_WindowManager::GetInstance().GetTopModal(), dialog);

    GUI_ButtonText* no = dialog->GetNoButton();
    GUI_ButtonText* yes = dialog->GetYesButton();
    EXPECT_EQ(no->height, 20);
    EXPECT_EQ(no->bottom, dialog->bottom - 10);
    EXPECT_EQ(yes->bottom, dialog->bottom - 10);
    EXPECT_LT(no->right, yes->left);
    EXPECT_EQ(no->left, dialog->left + 20);
    EXPECT_EQ(yes->right, dialog->right - 10);
    EXPECT_EQ(dialog->clientBottom, dialog->bottom - 40);
    EXPECT_EQ(dialog->clientLeft, dialog->left + 16);
}

TEST_F(ConfirmTest, LongQuestionGrowsTheDialog)
{
    const std::string question(40, 'w');
    AskYesNo((question + " " + question + " " + question).c_str(), "T", Answer, false);
    GUI_ConfirmDialog* dialog = GUI_ConfirmDialog::GetOpen();
    ASSERT_NE(dialog, nullptr);
    LibText::GetInstance().SetFont("zekton16.dds", 16.0f);
    EXPECT_GT(dialog->height, LibText::GetInstance().GetWrappedTextHeight("w", 348) * 2 + 110);
}

TEST_F(ConfirmTest, ModalDialogSwallowsClicksMeantForWindowsBelow)
{
    CountingWindow below;
    below.SetRect(0, 0, kScreenW, kScreenH);
    GUI_WindowManager::GetInstance().AddWindow(&below);
    AskYesNo("Q", "T", Answer, false);
    EXPECT_TRUE(ClickAt(5, 5));
    EXPECT_EQ(below.clicks, 0);
    EXPECT_NE(GUI_ConfirmDialog::GetOpen(), nullptr);
}

TEST_F(ConfirmTest, YesRunsTheAnswerOnceEvenWhenClickedTwiceInOneFrame)
{
    AskYesNo("Q", "T", Answer, false);
    GUI_ConfirmDialog* dialog = GUI_ConfirmDialog::GetOpen();
    const float x = CentreX(*dialog->GetYesButton());
    const float y = CentreY(*dialog->GetYesButton());
    EXPECT_TRUE(ClickAt(x, y));
    // The second click of the frame finds the question answered and gone.
    ClickAt(x, y);
    EXPECT_EQ(g_answers, (std::vector<std::intptr_t>{0}));
    EXPECT_EQ(GUI_ConfirmDialog::GetOpen(), nullptr);
    UpdateFrame();
    EXPECT_TRUE(GUI_WindowManager::GetInstance().GetTopLevelWindows().empty());
    EXPECT_EQ(GUI_WindowManager::GetInstance().GetQueuedCount(), 0u);
}

TEST_F(ConfirmTest, AnswerPressedDirectlyTwiceStillRunsOnceAndTheDialogGoesDeferred)
{
    AskYesNo("Q", "T", Answer, false);
    GUI_ConfirmDialog* dialog = GUI_ConfirmDialog::GetOpen();
    GUI_ButtonText* yes = dialog->GetYesButton();
    yes->Press();
    // Still alive until the manager's deferred pass: the button survives its own press.
    EXPECT_TRUE(GUI_WindowManager::GetInstance().IsQueuedForDelete(dialog));
    yes->Press();
    EXPECT_EQ(g_answers.size(), 1u);
    GUI_WindowManager::GetInstance().DeleteQueuedWindows();
    EXPECT_TRUE(GUI_WindowManager::GetInstance().GetTopLevelWindows().empty());
}

TEST_F(ConfirmTest, YesWithFadeRunsTheAnswerAfterTheFade)
{
    AskYesNo("Q", "T", Answer, true);
    GUI_ConfirmDialog* dialog = GUI_ConfirmDialog::GetOpen();
    ClickAt(CentreX(*dialog->GetYesButton()), CentreY(*dialog->GetYesButton()));
    EXPECT_TRUE(g_answers.empty());
    EXPECT_TRUE(GUI_Fader::GetInstance().IsFading());
    m_clock.Advance(150.0);
    GUI_Fader::GetInstance().Draw();
    GUI_Fader::GetInstance().RunPendingCallback();
    EXPECT_EQ(g_answers, (std::vector<std::intptr_t>{0}));
}

TEST_F(ConfirmTest, NoNeverAnswersAndResumesABattleThatAsked)
{
    AskYesNo("Q", "T", Answer, false);
    GUI_ConfirmDialog::SetOpenedFromBattle(Resume);
    GUI_ConfirmDialog* dialog = GUI_ConfirmDialog::GetOpen();
    const float x = CentreX(*dialog->GetNoButton());
    const float y = CentreY(*dialog->GetNoButton());
    ClickAt(x, y);
    ClickAt(x, y);
    EXPECT_TRUE(g_answers.empty());
    EXPECT_EQ(g_resumes, 1);
    EXPECT_FALSE(GUI_ConfirmDialog::IsOpenedFromBattle());
    EXPECT_EQ(GUI_ConfirmDialog::GetOpen(), nullptr);
}

TEST_F(ConfirmTest, CloseButtonAndEscapeCloseWithoutAnswering)
{
    AskYesNo("Q", "T", Answer, false);
    GUI_ConfirmDialog::SetOpenedFromBattle(Resume);
    GUI_ConfirmDialog* dialog = GUI_ConfirmDialog::GetOpen();
    dialog->Draw();  // places the close button
    GUI_CloseButton* close = dialog->GetCloseButton();
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(close->right, dialog->right - 8);
    EXPECT_EQ(close->width, 28);
    ClickAt(CentreX(*close), CentreY(*close));
    EXPECT_EQ(GUI_ConfirmDialog::GetOpen(), nullptr);
    EXPECT_EQ(g_resumes, 1) << "closed unanswered, the battle gets its state back as with no";
    EXPECT_FALSE(GUI_ConfirmDialog::IsOpenedFromBattle());

    AskYesNo("Q", "T", Answer, false);
    EXPECT_FALSE(GUI_ConfirmDialog::IsOpenedFromBattle());
    EXPECT_TRUE(GUI_WindowManager::GetInstance().CloseTopModal());
    EXPECT_EQ(GUI_ConfirmDialog::GetOpen(), nullptr);
    EXPECT_TRUE(g_answers.empty());
    EXPECT_EQ(g_resumes, 1) << "a question not from the battle resumes nothing";
}

TEST_F(ConfirmTest, NewQuestionReplacesTheOpenOne)
{
    AskYesNo("First", "T", Answer, false);
    AskYesNo("Second", "T", Answer, false);
    GUI_ConfirmDialog* dialog = GUI_ConfirmDialog::GetOpen();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->GetQuestion(), "Second");
    EXPECT_EQ(GUI_WindowManager::GetInstance().GetTopLevelWindows().size(), 1u);
}

TEST_F(ConfirmTest, AnswerMayAskTheNextQuestion)
{
    static int asked = 0;
    asked = 0;
    AskYesNo("Q", "T", [](std::intptr_t) {
        ++asked;
        AskYesNo("Again?", "T", Answer, false);
    }, false);
    GUI_ConfirmDialog* first = GUI_ConfirmDialog::GetOpen();
    ClickAt(CentreX(*first->GetYesButton()), CentreY(*first->GetYesButton()));
    EXPECT_EQ(asked, 1);
    GUI_ConfirmDialog* second = GUI_ConfirmDialog::GetOpen();
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second, first);
    EXPECT_EQ(second->GetQuestion(), "Again?");
    UpdateFrame();
    EXPECT_EQ(GUI_WindowManager::GetInstance().GetTopLevelWindows().size(), 1u);
}

TEST_F(ConfirmTest, ShowMessageTwiceKeepsOneWithTheSecondText)
{
    ShowMessage("one", "T");
    ShowMessage("two", "T");
    ASSERT_NE(GUI_Message::GetOpen(), nullptr);
    EXPECT_EQ(GUI_Message::GetOpen()->GetText(), "two");
    EXPECT_EQ(GUI_WindowManager::GetInstance().GetTopLevelWindows().size(), 1u);
    GUI_Message* message = GUI_Message::GetOpen();
    LibText::GetInstance().SetFont("zekton16.dds", 16.0f);
    EXPECT_EQ(message->height, LibText::GetInstance().GetWrappedTextHeight("two", 348) + 80);
    EXPECT_EQ(message->width, 400);
    EXPECT_TRUE(GUI_WindowManager::GetInstance().CloseTopModal());
    EXPECT_EQ(GUI_Message::GetOpen(), nullptr);
}

// However long the text (a server's words), the box stays on the 768-high
// screen with its close button, the text cut to the lines that fit and
// ending in "..."; the close button closes it.
TEST_F(ConfirmTest, AMessageLongerThanTheScreenIsCutToTheBoxAndClosesByItsButton)
{
    std::string words;
    for (int i = 0; words.size() < 2000; ++i)
        words += "word" + std::to_string(i) + " ";
    const std::string notice = "A newer version is out.\n\n" + words;
    ShowMessage(notice, "T");
    GUI_Message* message = GUI_Message::GetOpen();
    ASSERT_NE(message, nullptr);
    EXPECT_EQ(message->GetText(), notice) << "the text itself is kept";
    EXPECT_GE(message->top, GUI_Message::kScreenMargin);
    EXPECT_LE(message->bottom, kScreenH - GUI_Message::kScreenMargin);
    EXPECT_EQ(GUI_Message::MaxHeight(kScreenH), kScreenH - 2 * GUI_Message::kScreenMargin);
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    const std::string& shown = message->GetShownText();
    const int lines = 1 + static_cast<int>(std::count(shown.begin(), shown.end(), '\n'));
    const int lineHeight = text.GetWrappedTextHeight("x", 348);
    // As many lines as fit: one more would not.
    EXPECT_EQ(message->height, lines * lineHeight + GUI_Message::kFrameHeight);
    EXPECT_GT((lines + 1) * lineHeight + GUI_Message::kFrameHeight, GUI_Message::MaxHeight(kScreenH));
    ASSERT_GT(shown.size(), 3u);
    EXPECT_EQ(shown.substr(shown.size() - 3), "...");
    EXPECT_EQ(shown.rfind("A newer version is out.", 0), 0u);
    EXPECT_LE(std::count_if(shown.begin(), shown.end(), [](char c) { return c != ' ' && c != '\n'; }),
              static_cast<long>(GUI_Message::kMaxGlyphs));
    for (std::istringstream in(shown); std::getline(in, words);)
        EXPECT_LE(text.GetTextWidth(words), 348) << words;
    message->Draw(); // places the close button
    const GUI_CloseButton* close = message->GetCloseButton();
    ASSERT_NE(close, nullptr);
    EXPECT_GE(close->top, 0);
    EXPECT_LE(close->bottom, kScreenH);
    ClickAt((close->left + close->right) / 2, (close->top + close->bottom) / 2);
    UpdateFrame();
    EXPECT_EQ(GUI_Message::GetOpen(), nullptr);

    // A short text is shown whole, the box as high as it needs.
    ShowMessage("two", "T");
    EXPECT_EQ(GUI_Message::GetOpen()->GetShownText(), "two");
}

TEST_F(DialogTest, ALongTitleTakesTwoSmallerLinesAndOnlyTooLongAOneIsCutWithDots)
{
    LibText& text = LibText::GetInstance();
    // 200 wide: the bar may be 160, its text 120.
    GUI_Dialog dialog(false);
    dialog.SetRect(100, 100, 300, 300);
    const std::string two = "Federation Support Frigate 6";
    text.SetFont("cwfont20.dds", GUI_TitleBar::kFontSize);
    ASSERT_GT(text.GetTextWidth(two), 120);
    dialog.SetTitle(two);
    const GUI_TitleBar& bar = dialog.GetTitleBar();
    // The largest size whose two lines keep every word whole.
    const float size = bar.GetTextSize();
    ASSERT_GE(size, GUI_TitleBar::kSmallestSize);
    ASSERT_LE(size, GUI_TitleBar::kTwoLineSize);
    text.SetFont("cwfont20.dds", size);
    EXPECT_EQ(bar.GetText(), text.GetWrappedText(two, 120));
    EXPECT_EQ(std::count(bar.GetText().begin(), bar.GetText().end(), '\n'), 1);
    EXPECT_LE(text.GetTextWidth(bar.GetText()), 120);
    EXPECT_EQ(bar.GetBarWidth(), static_cast<float>(text.GetTextWidth(bar.GetText()) + 40));
    // The two lines, the first's advance and the second's height, stand
    // between 3 below the bar's top and its underline 35 below it.
    const auto clearOfUnderline = [&](float s) {
        text.SetFont("cwfont20.dds", s);
        return static_cast<float>(text.GetWrappedTextHeight("x", 1000)) + s <= 32.0f;
    };
    EXPECT_TRUE(size == GUI_TitleBar::kSmallestSize || clearOfUnderline(size));
    if (size < GUI_TitleBar::kTwoLineSize) {
        text.SetFont("cwfont20.dds", size + 1.0f);
        std::string larger = text.GetWrappedText(two, 120);
        const bool moreLines = std::count(larger.begin(), larger.end(), '\n') > 1;
        std::replace(larger.begin(), larger.end(), '\n', ' ');
        EXPECT_TRUE(moreLines || larger != two || !clearOfUnderline(size + 1.0f)) << "a size larger would have fitted";
    }

    // Too long even for two lines at the smallest size: cut there with dots.
    dialog.SetTitle("A very long title that cannot possibly fit in the bar however small");
    const std::string& shown = bar.GetText();
    ASSERT_GE(shown.size(), 3u);
    EXPECT_EQ(shown.substr(shown.size() - 3), "...");
    EXPECT_EQ(bar.GetTextSize(), GUI_TitleBar::kSmallestSize);
    text.SetFont("cwfont20.dds", GUI_TitleBar::kSmallestSize);
    EXPECT_LE(text.GetTextWidth(shown), 120);
    EXPECT_EQ(std::count(shown.begin(), shown.end(), '\n'), 1);
}

TEST_F(DialogTest, ShortTitleKeepsItsTextAndBarFollowsIt)
{
    GUI_Dialog dialog(false);
    dialog.SetRect(100, 100, 500, 300);
    dialog.SetTitle("Hi");
    LibText::GetInstance().SetFont("cwfont20.dds", 20.0f);
    EXPECT_EQ(dialog.GetTitleBar().GetText(), "Hi");
    EXPECT_EQ(dialog.GetTitleBar().GetBarWidth(),
              static_cast<float>(LibText::GetInstance().GetTextWidth("Hi") + 40));
}

TEST_F(DialogTest, DraggedOnlyByTheTitleBarAndOnlyWithATitle)
{
    GUI_Dialog dialog(false);
    dialog.draggable = true;
    dialog.SetRect(100, 100, 500, 400);
    MoveMouse(200, 110);
    dialog.StartDrag();
    EXPECT_FALSE(dialog.IsDragging());

    dialog.SetTitle("Drag me");
    MoveMouse(200, 300);
    dialog.StartDrag();
    EXPECT_FALSE(dialog.IsDragging());
    MoveMouse(200, 110);
    dialog.StartDrag();
    EXPECT_TRUE(dialog.IsDragging());
    GUI_Cursor::GetInstance().ClearDraggedWindow();
}

TEST_F(DialogTest, MovingKeepsTheTitleBarOnTop)
{
    GUI_Dialog dialog(false);
    dialog.SetRect(100, 100, 500, 400);
    dialog.MoveTo(10, 20);
    EXPECT_EQ(dialog.GetTitleBar().left, 10);
    EXPECT_EQ(dialog.GetTitleBar().top, 20);
    dialog.SetSize(400, 300);
    dialog.Centre();
    EXPECT_EQ(dialog.left, kScreenW / 2 - 200);
    EXPECT_EQ(dialog.GetTitleBar().top, dialog.top);
}

TEST_F(DialogTest, FrameTextureNameReplacesBackgroundAndBorder)
{
    auto countTexture = [this](const char* name) {
        const TextureHandle t = D3DEngine::GetInstance().FindTexture(name);
        int n = 0;
        for (const auto& draw : m_device->GetDraws())
            n += (t != 0 && draw.texture == t) ? 1 : 0;
        return n;
    };
    // Frame textures of our own, so that draws can be told apart.
    std::vector<uint8_t> pixels(16 * 16 * 4, 255);
    m_files.Write("data/bitmaps/border_depth.dds", WriteDdsBGRA(16, 16, pixels.data()));
    m_files.Write("data/bitmaps/special.dds", WriteDdsBGRA(16, 16, pixels.data()));
    m_files.Write("data/bitmaps/box_background.jpg", std::string());

    GUI_Dialog dialog(false);
    dialog.SetRect(100, 100, 500, 400);
    m_device->ClearDraws();
    dialog.Draw();
    EXPECT_EQ(countTexture("border_depth.dds"), 8);
    EXPECT_EQ(countTexture("special.dds"), 0);

    dialog.SetFrameTexture("special.dds");
    m_device->ClearDraws();
    dialog.Draw();
    EXPECT_EQ(countTexture("border_depth.dds"), 0);
    EXPECT_EQ(countTexture("special.dds"), 8);
    // No background quad: only the frame's eight.
    EXPECT_EQ(m_device->GetDraws().size(), 8u);
}

} // namespace

TEST_F(DialogTest, PlacedChildrenSitWhereAskedMoveWithTheDialogAndTakeItsClicks)
{
    PanelDialog dialog;
    const int cl = dialog.clientLeft, ct = dialog.clientTop, cr = dialog.clientRight, cb = dialog.clientBottom;
    const HitCounter& pane = *dialog.pane;
    const GUI_ScrollingWindow& bar = *dialog.bar;
    using Rect = std::array<int, 4>;
    EXPECT_EQ((Rect{pane.left, pane.top, pane.right, pane.bottom}), (Rect{cl + 10, ct + 10, cl + 110, ct + 60}));
    EXPECT_EQ((Rect{bar.left, bar.top, bar.right, bar.bottom}), (Rect{cr - 20, ct + 5, cr - 5, cb - 5}));
    EXPECT_EQ(dialog.GetChildren(), (std::vector<GUI_WindowBase*>{dialog.pane, dialog.bar}));
    EXPECT_EQ(pane.GetParent(), &dialog);

    dialog.MoveTo(static_cast<float>(dialog.left + 30), static_cast<float>(dialog.top + 40));
    EXPECT_EQ(pane.left, cl + 40);
    EXPECT_EQ(pane.top, ct + 50);
    EXPECT_EQ(bar.right, cr + 25);
    EXPECT_EQ(bar.bottom, cb + 35);
    ClickAt(static_cast<float>(pane.right - 1), static_cast<float>(pane.bottom - 1));
    EXPECT_EQ(pane.hits, 1);
    ClickAt(static_cast<float>(pane.right), static_cast<float>(pane.bottom - 1));
    EXPECT_EQ(pane.hits, 1);
}
