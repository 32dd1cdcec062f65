#include "app/APP_SaveNotice.h"

#include "app/GUI_GameModeBase.h"
#include "engine/GSafeFile.h"
#include "gui/DialogTestFixture.h"
#include "gui/GUI_Message.h"
#include "sim/SIM_Options.h"

#include <cerrno>
#include <cstring>

namespace {
class SaveNoticeTest : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        APP_SaveNotice::GetInstance().Reset();
        APP_SaveNotice::GetInstance().Install();
    }
    void TearDown() override
    {
        GSafeFile::InjectFailure(0);
        APP_SaveNotice::GetInstance().Uninstall();
        APP_SaveNotice::GetInstance().Reset();
        DialogTest::TearDown();
    }
    TempDir m_user;
};
} // namespace

TEST_F(SaveNoticeTest, AFailedSaveDuringPlayIsShownOnceAtTheNextFrame)
{
    SIM_Options options(m_user.File("config.txt"));
    EXPECT_EQ(GUI_Message::GetOpen(), nullptr) << "saves that work say nothing";
    GUI_GameModeBase::DrawInterfaceTail();
    EXPECT_EQ(GUI_Message::GetOpen(), nullptr);

    GSafeFile::InjectFailure(ENOSPC);
    options.SetValue("OPTIONS_SFX", 0.25f);
    EXPECT_FALSE(options.Save());
    EXPECT_EQ(GUI_Message::GetOpen(), nullptr) << "not from inside the save, which may run on any thread";
    GUI_GameModeBase::DrawInterfaceTail();
    GUI_Message* shown = GUI_Message::GetOpen();
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->GetText(), APP_SaveNotice::MessageText(m_user.File("config.txt"), strerror(ENOSPC)));
    EXPECT_NE(shown->GetText().find("config.txt"), std::string::npos);
    EXPECT_NE(shown->GetText().find(strerror(ENOSPC)), std::string::npos);

    // Later failures are logged, but the player was told already.
    shown->visible = false;
    GUI_WindowManager::GetInstance().CloseWindow(shown);
    GUI_WindowManager::GetInstance().DeleteQueuedWindows();
    EXPECT_FALSE(options.Save());
    EXPECT_FALSE(WriteFileAtomically(m_user.File("sc.dat"), "x"));
    GUI_GameModeBase::DrawInterfaceTail();
    EXPECT_EQ(GUI_Message::GetOpen(), nullptr);
    EXPECT_TRUE(APP_SaveNotice::GetInstance().WasShown());
    // Every file that failed counts towards the exit status, shown or not,
    // once however often it failed: config.txt twice, sc.dat once.
    EXPECT_EQ(APP_SaveNotice::GetInstance().GetFailureCount(), 2);
    EXPECT_FALSE(WriteFileAtomically(m_user.File("sc.dat"), "y"));
    EXPECT_EQ(APP_SaveNotice::GetInstance().GetFailureCount(), 2);
    APP_SaveNotice::GetInstance().Reset();
    EXPECT_EQ(APP_SaveNotice::GetInstance().GetFailureCount(), 0);
}
