#pragma once
// The whole game started once per test program, headless or in a real
// (offscreen) window, with helpers that act as the player does: move the
// mouse, click, press keys, run frames.
#include "app/Game.h"
#include "frontend/GUI_ChooseScenario.h"
#include "frontend/GUI_Scenario.h"
#include "engine/CInput.h"
#include "engine/GSafeFile.h"
#include "gui/GUI_BaseElement.h"
#include "gui/GUI_Transition.h"
#include "gui/GUI_WindowManager.h"
#include "platform/HeadlessWindow.h"
#include "platform/KeyCodes.h"
#include "platform/SdlWindow.h"
#include "support/NoLessons.h"
#include "support/TempDir.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

class FrontendGame : public ::testing::Test {
protected:
    static constexpr int kWidth = 1280;
    static constexpr int kHeight = 800;

    // The real window's size, whatever the desktop: the smallest the game
    // picks, so that it fits every display the tests run on.
    static constexpr int kWindowWidth = 1024;
    static constexpr int kWindowHeight = 768;

    static void WriteWindowPrefs(const std::string& userDir)
    {
        WriteFileAtomically(userDir + "/prefs.ini", "[prefs]\nwidth = " + std::to_string(kWindowWidth) +
                                                        "\nheight = " + std::to_string(kWindowHeight) +
                                                        "\nwindowed = 1\n");
    }

    // Headless: the recording device and an injected desktop of the size
    // given. Windowed: the real window and OpenGL, sized by prefs.ini
    // written beforehand.
    static void StartGame(bool headless, const std::string& userDir, int width = kWidth, int height = kHeight,
                          bool editor = false)
    {
        if (!s_cwd)
            s_cwd = new ScopedChdir(QLM_GAME_DIR);
        if (!headless)
            WriteWindowPrefs(userDir);
        GameStartOptions options;
        options.userDir = userDir;
        options.headless = headless;
        options.desktopWidth = width;
        options.desktopHeight = height;
        options.seed = 11;
        options.editor = editor;
        s_headless = headless;
        s_started = Game::GetInstance().Init(options);
        if (s_started)
            DropAllLessons();
    }

    static void StopGame()
    {
        Game::GetInstance().Shutdown();
        Game::GetInstance().ResetForTests();
    }

    static void SetUpTestSuite()
    {
        s_user = new TempDir;
        StartGame(true, s_user->Path());
    }

    static void TearDownTestSuite()
    {
        StopGame();
        delete s_cwd;
        s_cwd = nullptr;
        delete s_user;
        s_user = nullptr;
    }

    void SetUp() override
    {
        ASSERT_TRUE(s_started);
        // Every test starts on the main menu with nothing open.
        GUI_WindowManager& windows = GUI_WindowManager::GetInstance();
        while (windows.CloseTopModal()) {
        }
        Game::GetInstance().SetMode(15);
        Frames(1);
    }

    static void Frames(int n)
    {
        for (int i = 0; i < n; ++i) {
            Game::GetInstance().GetWindow()->PumpEvents();
            Game::GetInstance().Frame();
        }
    }

    // Frames until the screen wipe has finished (a few seconds at most).
    static void SettleTransition()
    {
        for (int i = 0; i < 2000 && GUI_Transition::GetInstance().IsActive(); ++i) {
            Frames(1);
            SDL_Delay(1);
        }
    }

    // Until every scenario row has swept open (about a second).
    static void SettleRows()
    {
        for (int i = 0; i < 400; ++i) {
            bool shown = true;
            for (const GUI_Scenario* row : GUI_ChooseScenario::GetInstance().GetRows())
                shown = shown && row->GetState() == GUI_Scenario::SHOWN;
            if (shown)
                return;
            Frames(1);
            SDL_Delay(5);
        }
        ADD_FAILURE() << "the scenario rows never finished appearing";
    }

    static void MoveMouse(int x, int y)
    {
        if (auto* headless = dynamic_cast<HeadlessWindow*>(Game::GetInstance().GetWindow())) {
            headless->InjectMouseMove(x, y);
        } else {
            SDL_Event e{};
            e.type = SDL_MOUSEMOTION;
            e.motion.windowID = SdlWindowId();
            e.motion.x = x;
            e.motion.y = y;
            SDL_PushEvent(&e);
        }
        Frames(1);
    }

    static void ClickAt(int x, int y)
    {
        MoveMouse(x, y);
        if (auto* headless = dynamic_cast<HeadlessWindow*>(Game::GetInstance().GetWindow())) {
            headless->InjectMouseButton(MouseButton::Left, true);
            headless->InjectMouseButton(MouseButton::Left, false);
        } else {
            for (bool down : {true, false}) {
                SDL_Event e{};
                e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
                e.button.windowID = SdlWindowId();
                e.button.button = SDL_BUTTON_LEFT;
                e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
                e.button.clicks = 1;
                e.button.x = x;
                e.button.y = y;
                SDL_PushEvent(&e);
            }
        }
        Frames(1);
    }

    // The left button held down or let go where the mouse is.
    static void PressLeft(bool down)
    {
        if (auto* headless = dynamic_cast<HeadlessWindow*>(Game::GetInstance().GetWindow())) {
            headless->InjectMouseButton(MouseButton::Left, down);
        } else {
            SDL_Event e{};
            e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
            e.button.windowID = SdlWindowId();
            e.button.button = SDL_BUTTON_LEFT;
            e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
            e.button.clicks = 1;
            e.button.x = static_cast<int>(CInput::GetInstance().GetMouseX());
            e.button.y = static_cast<int>(CInput::GetInstance().GetMouseY());
            SDL_PushEvent(&e);
        }
        Frames(1);
    }

    static void Click(const GUI_BaseElement& element)
    {
        ClickAt((element.left + element.right) / 2, (element.top + element.bottom) / 2);
    }

    static void PressKey(SDL_Scancode key)
    {
        if (auto* headless = dynamic_cast<HeadlessWindow*>(Game::GetInstance().GetWindow())) {
            headless->InjectKey(key, true);
            headless->InjectKey(key, false);
        } else {
            for (bool down : {true, false}) {
                SDL_Event e{};
                e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
                e.key.windowID = SdlWindowId();
                e.key.keysym.scancode = key;
                e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
                SDL_PushEvent(&e);
            }
        }
        Frames(1);
    }

    static uint32_t SdlWindowId()
    {
        auto* window = dynamic_cast<SdlWindow*>(Game::GetInstance().GetWindow());
        return window ? SDL_GetWindowID(window->GetSdlWindow()) : 0;
    }

    static std::string UserFile(const std::string& name)
    {
        std::string text;
        ReadWholeFile(Game::GetInstance().GetUserPath(Game::USER) + "/" + name, text);
        return text;
    }

    static inline TempDir* s_user = nullptr;
    static inline ScopedChdir* s_cwd = nullptr;
    static inline bool s_started = false;
    static inline bool s_headless = true;
};

// The same game in a real (offscreen) window, for the tests that read pixels.
class WindowedFrontendGame : public FrontendGame {
protected:
    static void SetUpTestSuite()
    {
        s_user = new TempDir;
        StartGame(false, s_user->Path());
    }
};
