#include "engine/CInput.h"
#include "engine/D3DEngine.h"
#include "gui/GUI_Fader.h"
#include "gui/GUI_WindowBase.h"
#include "gui/GUI_WindowManager.h"
#include "platform/HeadlessGraphicsDevice.h"
#include "platform/IClock.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

std::vector<std::intptr_t> g_calls;
void Record(std::intptr_t argument)
{
    g_calls.push_back(argument);
}

class FaderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto device = std::make_unique<HeadlessGraphicsDevice>(800, 600);
        m_device = device.get();
        D3DEngine::GetInstance().Init(std::move(device));
        CInput::GetInstance().SetInputBlocked(false);
        GUI_Fader::GetInstance().Reset();
        GUI_Fader::GetInstance().SetClock(&m_clock);
        g_calls.clear();
    }
    void TearDown() override
    {
        GUI_Fader::GetInstance().Reset();
        GUI_Fader::GetInstance().SetClock(nullptr);
    }
    // One frame as the shell runs it: draw the fade, present, then the
    // deferred step.
    void Frame(double advanceMs)
    {
        m_clock.Advance(advanceMs);
        m_device->ClearDraws();
        GUI_Fader::GetInstance().Draw();
        m_presented = true;
        GUI_Fader::GetInstance().RunPendingCallback();
    }

    HeadlessGraphicsDevice* m_device = nullptr;
    ManualClock m_clock;
    bool m_presented = false;
};

TEST_F(FaderTest, IdleFaderDrawsNothingAndRunsNothing)
{
    GUI_Fader::GetInstance().Draw();
    EXPECT_TRUE(m_device->GetDraws().empty());
    EXPECT_FALSE(GUI_Fader::GetInstance().RunPendingCallback());
}

TEST_F(FaderTest, DarkensOverOneHundredFiftyMillisecondsThenRunsTheCallbackOnce)
{
    GUI_Fader& fader = GUI_Fader::GetInstance();
    fader.Start(Record, 42);
    EXPECT_TRUE(CInput::GetInstance().IsInputBlocked());

    Frame(0.0);
    EXPECT_EQ(0, fader.GetLastAlpha());
    Frame(75.0);
    EXPECT_EQ(127, fader.GetLastAlpha());
    ASSERT_EQ(1u, m_device->GetDraws().size());
    EXPECT_EQ(127u << 24, m_device->GetDraws()[0].vertices[0].colour);
    EXPECT_TRUE(g_calls.empty());
    EXPECT_TRUE(CInput::GetInstance().IsInputBlocked());

    Frame(75.0);
    EXPECT_EQ(255, fader.GetLastAlpha());
    EXPECT_EQ((std::vector<std::intptr_t>{42}), g_calls);
    EXPECT_FALSE(CInput::GetInstance().IsInputBlocked());
    EXPECT_EQ(GUI_Fader::kIdle, fader.GetMode());

    Frame(16.0);
    Frame(16.0);
    EXPECT_EQ(1u, g_calls.size());
    EXPECT_TRUE(m_device->GetDraws().empty());
}

TEST_F(FaderTest, CallbackRunsOnlyAfterTheBlackFrameWasDrawn)
{
    GUI_Fader& fader = GUI_Fader::GetInstance();
    fader.Start(Record, 1);
    m_clock.Advance(500.0);
    // Nothing drawn yet: not done, so the frame step does nothing.
    EXPECT_FALSE(fader.RunPendingCallback());
    EXPECT_TRUE(g_calls.empty());
    fader.Draw();
    EXPECT_TRUE(fader.IsDone());
    EXPECT_TRUE(fader.RunPendingCallback());
    EXPECT_EQ(1u, g_calls.size());
}

TEST_F(FaderTest, RestartReplacesTheCallbackAndTheTime)
{
    GUI_Fader& fader = GUI_Fader::GetInstance();
    fader.Start(Record, 1);
    Frame(100.0);
    fader.Start(Record, 2);
    Frame(100.0);
    EXPECT_TRUE(g_calls.empty());
    Frame(50.0);
    EXPECT_EQ((std::vector<std::intptr_t>{2}), g_calls);
}

TEST_F(FaderTest, CallbackMayStartTheNextFade)
{
    static int runs = 0;
    runs = 0;
    GUI_Fader::GetInstance().Start(
        [](std::intptr_t) {
            if (++runs == 1)
                GUI_Fader::GetInstance().Start(Record, 7);
        },
        0);
    Frame(150.0);
    EXPECT_EQ(1, runs);
    EXPECT_TRUE(GUI_Fader::GetInstance().IsFading());
    EXPECT_TRUE(CInput::GetInstance().IsInputBlocked());
    Frame(150.0);
    EXPECT_EQ((std::vector<std::intptr_t>{7}), g_calls);
}

TEST_F(FaderTest, ClicksDuringTheFadeDoNothing)
{
    struct CountingWindow : GUI_WindowBase {
        int clicks = 0;
        bool OnLeftClick(float x, float y) override
        {
            ++clicks;
            return GUI_WindowBase::OnLeftClick(x, y);
        }
    } window;
    window.SetRect(0, 0, 800, 600);
    GUI_WindowManager::GetInstance().AddWindow(&window);
    GUI_Fader::GetInstance().Start(Record, 0);
    EXPECT_TRUE(GUI_WindowManager::GetInstance().DispatchClick());
    EXPECT_EQ(0, window.clicks);
    Frame(150.0);
    EXPECT_TRUE(GUI_WindowManager::GetInstance().DispatchClick());
    EXPECT_EQ(1, window.clicks);
}

} // namespace
