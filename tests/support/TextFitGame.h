#pragma once
// The whole game started headless at each of the screen sizes the text-fit
// tests cover (a wide low screen and a tall one), one start per test, with
// the check of every text of a frame at hand. Base is the fixture whose
// helpers the test also needs (FrontendGame or one derived from it).
#include "frontend/FrontendGame.h"
#include "support/TextFitCheck.h"

#include <memory>
#include <string>

struct ScreenSize {
    int width;
    int height;
};

template <typename Base>
class TextFitGameOn : public Base, public ::testing::WithParamInterface<ScreenSize> {
protected:
    static void SetUpTestSuite() {}
    static void TearDownTestSuite() {}

    void SetUp() override
    {
        m_user = std::make_unique<TempDir>();
        Base::StartGame(true, m_user->Path(), GetParam().width, GetParam().height, m_editor);
        ASSERT_TRUE(Base::s_started);
        Base::SettleTransition();
        RestMouse();
    }
    void TearDown() override
    {
        // Leaving the screen closes its windows before the content goes.
        if (Base::s_started) {
            CloseModals();
            Game::GetInstance().SetMode(15);
            Base::Frames(1);
        }
        Base::StopGame();
        delete Base::s_cwd;
        Base::s_cwd = nullptr;
    }

    static void RightClickAt(int x, int y)
    {
        Base::MoveMouse(x, y);
        auto* headless = dynamic_cast<HeadlessWindow*>(Game::GetInstance().GetWindow());
        headless->InjectMouseButton(MouseButton::Right, true);
        headless->InjectMouseButton(MouseButton::Right, false);
        Base::Frames(2);
    }
    template <typename T>
    static void RightClick(const T& element)
    {
        RightClickAt((element.left + element.right) / 2, (element.top + element.bottom) / 2);
    }
    // The mouse rests in a corner, off every control, so no tooltip shows.
    void RestMouse() { Base::MoveMouse(GetParam().width - 1, 0); }
    static void CloseModals()
    {
        while (GUI_WindowManager::GetInstance().CloseTopModal()) {
        }
        Base::Frames(1);
    }

    // One frame checked; its faults are the test's failures.
    void ExpectFits(const std::string& where)
    {
        ExpectTextsFit(m_check, where + " at " + std::to_string(GetParam().width) + "x" +
                                    std::to_string(GetParam().height));
    }

    std::unique_ptr<TempDir> m_user;
    TextFitCheck m_check;
    bool m_editor = false; // started with "-editor" (set before SetUp)
};

using TextFitGame = TextFitGameOn<FrontendGame>;

#define INSTANTIATE_TEXT_FIT_SIZES(fixture)                                                                    \
    INSTANTIATE_TEST_SUITE_P(Screens, fixture, ::testing::Values(ScreenSize{1280, 720}, ScreenSize{1280, 1024}), \
                             [](const ::testing::TestParamInfo<ScreenSize>& info) {                            \
                                 return std::to_string(info.param.width) + "x" +                              \
                                        std::to_string(info.param.height);                                    \
                             })
