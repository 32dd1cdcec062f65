#include "engine/CInput.h"
#include "engine/D3DEngine.h"
#include "engine/GFileHelpers.h"
#include "engine/LibText.h"
#include "engine/TextHelpers.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_ConfirmDialog.h"
#include "gui/GUI_FilePicker.h"
#include "gui/GUI_FilePickerItem.h"
#include "gui/GUI_IconButton.h"
#include "gui/GUI_OpenFileDialog.h"
#include "gui/GUI_SaveFileDialog.h"
#include "gui/GUI_ScrollingWindow.h"
#include "gui/GUI_TextEditWindow.h"
#include "gui/GUI_WindowManager.h"
#include "platform/HeadlessGraphicsDevice.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

class FileDialogsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(D3DEngine::GetInstance().Init(std::make_unique<HeadlessGraphicsDevice>(1024, 768)));
        LibText::GetInstance().Init();
        CInput::GetInstance().Init();
        CInput::GetInstance().SetInputBlocked(false);
        m_folder = m_dir.Path() + "/designs/";
        EnsureDirectoryExists(m_folder);
    }
    void TearDown() override
    {
        GUI_WindowManager& manager = GUI_WindowManager::GetInstance();
        while (!manager.GetTopLevelWindows().empty())
            manager.CloseWindow(manager.GetTopLevelWindows().back());
        manager.DeleteQueuedWindows();
        EXPECT_TRUE(manager.GetModalWindows().empty());
        EXPECT_EQ(nullptr, GUI_OpenFileDialog::GetOpen());
        EXPECT_EQ(nullptr, GUI_SaveFileDialog::GetOpen());
        LibText::GetInstance().Shutdown();
        D3DEngine::GetInstance().Release();
    }

    std::string Make(const std::string& name, const std::string& contents = "x")
    {
        return m_dir.Write("designs/" + name, contents);
    }

    static void MoveMouse(float x, float y)
    {
        CInput::GetInstance().SetCursorPosition(x, y);
        CInput::GetInstance().Poll();
    }
    static void ClickOn(GUI_BaseElement* element)
    {
        const float x = static_cast<float>(element->left + element->right) / 2.0f;
        const float y = static_cast<float>(element->top + element->bottom) / 2.0f;
        MoveMouse(x, y);
        GUI_WindowManager::GetInstance().DispatchClick();
        GUI_WindowManager::GetInstance().DeleteQueuedWindows();
    }

    TempDir m_dir;
    std::string m_folder;
    std::vector<std::string> m_received;
};

TEST_F(FileDialogsTest, TwentyFilesShowNineSortedRowsAndScrollByOne)
{
    for (int i = 19; i >= 0; --i)
        Make((i < 10 ? "ship0" : "Ship") + std::to_string(i) + ".txt");
    Make("other.ini");
    GUI_FilePicker picker(m_folder + "*.txt");
    picker.SetRect(100, 100, 600, 318);
    picker.Layout();

    ASSERT_EQ(20u, picker.GetFiles().size());
    EXPECT_EQ(9, picker.GetVisibleRows());
    ASSERT_EQ(9u, picker.GetRows().size());
    EXPECT_EQ(11, picker.GetScrollBar()->maximum);
    EXPECT_EQ(m_folder + "ship00.txt", picker.GetFiles().front());
    for (size_t i = 1; i < picker.GetRows().size(); ++i)
        EXPECT_LT(ToLowerString(picker.GetRows()[i - 1]->GetName()), ToLowerString(picker.GetRows()[i]->GetName()));
    // Rows sit on a 24-pixel pitch left of the scroll bar.
    EXPECT_EQ(102, picker.GetRows()[1]->left);
    EXPECT_EQ(100 + 2 + 24, picker.GetRows()[1]->top);
    EXPECT_EQ(picker.GetScrollBar()->left - 2, picker.GetRows()[1]->right);
    // The top row is selected.
    EXPECT_TRUE(picker.GetRows()[0]->selected);
    EXPECT_EQ(m_folder + "ship00.txt", picker.GetSelectedPath());
    EXPECT_EQ("ship00", picker.GetSelectedName());

    picker.GetScrollBar()->ScrollDown();
    picker.Draw();
    EXPECT_EQ(m_folder + "ship01.txt", picker.GetRows()[0]->GetPath());
    EXPECT_EQ(m_folder + "ship01.txt", picker.GetSelectedPath());
    EXPECT_TRUE(picker.GetRows()[0]->selected);
}

TEST_F(FileDialogsTest, NamesLoseFolderAndEverythingFromTheFirstDot)
{
    EXPECT_EQ("fleet", GUI_FilePicker::NameFromPath("a/b.c/fleet.v2.txt"));
    EXPECT_EQ("plain", GUI_FilePicker::NameFromPath("plain"));
    EXPECT_EQ("", GUI_FilePicker::NameFromPath("dir/.hidden"));
}

TEST_F(FileDialogsTest, ClickingAFileInTheSaveDialogCopiesItsNameIntoTheField)
{
    Make("alpha.txt");
    Make("beta.v1.txt");
    GUI_SaveFileDialog* dialog = ShowSaveFileDialog(m_folder, ".txt", "SAVE_TITLE", nullptr, "typed");
    EXPECT_EQ("typed", dialog->GetTextField()->GetText());
    // Saving starts with nothing selected.
    for (GUI_FilePickerItem* row : dialog->GetPicker()->GetRows())
        EXPECT_FALSE(row->selected);
    GUI_FilePickerItem* beta = dialog->GetPicker()->GetRows().at(1);
    // Clicks on the row, not on its delete button.
    MoveMouse(static_cast<float>(beta->left + 20), static_cast<float>(beta->top + 10));
    GUI_WindowManager::GetInstance().DispatchClick();
    EXPECT_EQ("beta", dialog->GetTextField()->GetText());
    EXPECT_TRUE(beta->selected);
    EXPECT_FALSE(dialog->GetPicker()->GetRows()[0]->selected);
    EXPECT_EQ(m_folder + "beta.v1.txt", dialog->GetPicker()->GetSelectedPath());
}

TEST_F(FileDialogsTest, OverwriteIsAskedExactlyWhenTheWrittenPathExists)
{
    Make("Alpha.txt", "keep");
    GUI_SaveFileDialog* dialog = ShowSaveFileDialog(
        m_folder, ".txt", "SAVE_TITLE", [this](const std::string& name) { m_received.push_back(name); }, "Alpha");

    // An existing file: the question comes first; no leaves everything alone.
    ClickOn(dialog->GetSaveButton());
    ASSERT_NE(nullptr, GUI_ConfirmDialog::GetOpen());
    EXPECT_TRUE(m_received.empty());
    ClickOn(GUI_ConfirmDialog::GetOpen()->GetNoButton());
    EXPECT_EQ(dialog, GUI_SaveFileDialog::GetOpen());
    EXPECT_TRUE(m_received.empty());
    EXPECT_EQ("keep", m_dir.Read("designs/Alpha.txt"));

    // Yes: the callback once, with the bare name, and the dialog is gone.
    ClickOn(dialog->GetSaveButton());
    ASSERT_NE(nullptr, GUI_ConfirmDialog::GetOpen());
    ClickOn(GUI_ConfirmDialog::GetOpen()->GetYesButton());
    EXPECT_EQ((std::vector<std::string>{"Alpha"}), m_received);
    EXPECT_EQ(nullptr, GUI_SaveFileDialog::GetOpen());
    EXPECT_TRUE(GUI_WindowManager::GetInstance().GetModalWindows().empty());
}

TEST_F(FileDialogsTest, ANameThatDiffersOnlyInCaseIsANewFile)
{
    Make("Alpha.txt");
    GUI_SaveFileDialog* dialog = ShowSaveFileDialog(
        m_folder, ".txt", "SAVE_TITLE", [this](const std::string& name) { m_received.push_back(name); }, "alpha");
    ClickOn(dialog->GetSaveButton());
    EXPECT_EQ(nullptr, GUI_ConfirmDialog::GetOpen());
    EXPECT_EQ((std::vector<std::string>{"alpha"}), m_received);
    EXPECT_EQ(nullptr, GUI_SaveFileDialog::GetOpen());
}

TEST_F(FileDialogsTest, TypedNamesAreMadeSafeBeforeAnyFileIsLookedAt)
{
    Make("escape.txt");
    GUI_SaveFileDialog* dialog = ShowSaveFileDialog(
        m_folder, ".txt", "SAVE_TITLE", [this](const std::string& name) { m_received.push_back(name); },
        "../../etc/passwd");
    const std::string target = dialog->GetTargetPath();
    EXPECT_EQ(0u, target.rfind(m_folder, 0));
    EXPECT_EQ(std::string::npos, target.substr(m_folder.size()).find('/'));
    EXPECT_EQ(std::string::npos, target.find(".."));
    ClickOn(dialog->GetSaveButton());
    ASSERT_EQ(1u, m_received.size());
    EXPECT_EQ(std::string::npos, m_received[0].find('/'));
    EXPECT_EQ(std::string::npos, m_received[0].find(".."));
}

TEST_F(FileDialogsTest, ABlankNameSavesNothing)
{
    GUI_SaveFileDialog* dialog = ShowSaveFileDialog(
        m_folder, ".txt", "SAVE_TITLE", [this](const std::string& name) { m_received.push_back(name); }, "   ");
    ClickOn(dialog->GetSaveButton());
    EXPECT_TRUE(m_received.empty());
    EXPECT_EQ(dialog, GUI_SaveFileDialog::GetOpen());
}

TEST_F(FileDialogsTest, OpenHandsOnTheSelectedPathAndClosesAfterItsOwnClick)
{
    Make("one.txt");
    Make("two.txt");
    GUI_OpenFileDialog* dialog = ShowOpenFileDialog(m_folder + "*.txt", "OPEN_TITLE", [this](const std::string& path) {
        m_received.push_back(path);
        // By now the dialog no longer counts as open.
        EXPECT_EQ(nullptr, GUI_OpenFileDialog::GetOpen());
    });
    EXPECT_TRUE(GUI_WindowManager::GetInstance().IsModalOpen());
    ClickOn(dialog->GetOpenButton());
    EXPECT_EQ((std::vector<std::string>{m_folder + "one.txt"}), m_received);
    EXPECT_EQ(nullptr, GUI_OpenFileDialog::GetOpen());
    EXPECT_TRUE(GUI_WindowManager::GetInstance().GetTopLevelWindows().empty());
}

TEST_F(FileDialogsTest, OpeningAnotherDialogReplacesTheFirst)
{
    ShowOpenFileDialog(m_folder + "*.txt", "OPEN_TITLE", nullptr);
    GUI_OpenFileDialog* second = ShowOpenFileDialog(m_folder + "*.txt", "OPEN_TITLE", nullptr);
    EXPECT_EQ(second, GUI_OpenFileDialog::GetOpen());
    EXPECT_EQ(1u, GUI_WindowManager::GetInstance().GetModalWindows().size());
    // An empty folder has nothing to open: the dialog stays.
    ClickOn(second->GetOpenButton());
    EXPECT_EQ(second, GUI_OpenFileDialog::GetOpen());
}

TEST_F(FileDialogsTest, DeletingAskedFirstAndTheLastFileLeavesAnEmptyPicker)
{
    Make("only.txt");
    GUI_OpenFileDialog* dialog = ShowOpenFileDialog(m_folder + "*.txt", "OPEN_TITLE", nullptr);
    GUI_FilePicker* picker = dialog->GetPicker();
    ASSERT_EQ(1u, picker->GetRows().size());

    GUI_FilePickerItem::AskDelete(reinterpret_cast<std::intptr_t>(picker->GetRows()[0]));
    ASSERT_NE(nullptr, GUI_ConfirmDialog::GetOpen());
    ClickOn(GUI_ConfirmDialog::GetOpen()->GetNoButton());
    EXPECT_TRUE(FileExists(m_folder + "only.txt"));

    GUI_FilePickerItem::AskDelete(reinterpret_cast<std::intptr_t>(picker->GetRows()[0]));
    ClickOn(GUI_ConfirmDialog::GetOpen()->GetYesButton());
    EXPECT_FALSE(FileExists(m_folder + "only.txt"));
    EXPECT_TRUE(picker->GetFiles().empty());
    EXPECT_TRUE(picker->GetRows().empty());
    EXPECT_EQ(0, picker->GetScrollBar()->maximum);
    EXPECT_EQ("", picker->GetSelectedPath());
}

TEST_F(FileDialogsTest, DeletionNeverLeavesThePickersFolder)
{
    Make("keep.txt");
    const std::string outside = m_dir.Write("outside.txt", "x");
    m_dir.Write("designs/sub/inner.txt", "x");
    GUI_FilePicker picker(m_folder + "*.txt");
    picker.SetRect(0, 0, 400, 218);
    picker.Layout();
    EXPECT_FALSE(picker.DeleteListedFile(outside));
    EXPECT_FALSE(picker.DeleteListedFile(m_folder + "../outside.txt"));
    EXPECT_FALSE(picker.DeleteListedFile(m_folder + "sub/inner.txt"));
    EXPECT_TRUE(FileExists(outside));
    EXPECT_TRUE(FileExists(m_folder + "sub/inner.txt"));
    EXPECT_TRUE(picker.DeleteListedFile(m_folder + "keep.txt"));
    EXPECT_FALSE(FileExists(m_folder + "keep.txt"));
}

TEST_F(FileDialogsTest, AQuestionOutlivingItsPickerDeletesNothing)
{
    Make("survivor.txt");
    GUI_OpenFileDialog* dialog = ShowOpenFileDialog(m_folder + "*.txt", "OPEN_TITLE", nullptr);
    GUI_FilePickerItem::AskDelete(reinterpret_cast<std::intptr_t>(dialog->GetPicker()->GetRows()[0]));
    GUI_ConfirmDialog* question = GUI_ConfirmDialog::GetOpen();
    ASSERT_NE(nullptr, question);
    GUI_WindowManager::GetInstance().CloseWindow(dialog);
    EXPECT_EQ(nullptr, GUI_FilePicker::GetDeleteRequestPicker());
    ClickOn(question->GetYesButton());
    EXPECT_TRUE(FileExists(m_folder + "survivor.txt"));
}

} // namespace
