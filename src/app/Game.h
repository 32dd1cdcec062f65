#pragma once
#include "app/APP_ReadySignal.h"
#include "engine/CInput.h"
#include "engine/FramePacer.h"
#include "platform/IWindow.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class GUI_Sounds;
class GUI_GameModeBase;
class IClock;

// How the program was started (command line and tests).
struct GameStartOptions {
    std::string userDir;      // empty: the default user folder
    bool headless = false;    // no window, the recording device (tests, tools)
    int desktopWidth = 0;     // headless desktop size; 0 keeps the default
    int desktopHeight = 0;
    bool editor = false;      // "-editor": the hull editor entry in the main menu
    uint64_t seed = 0;        // 0: seeded from the clock
};

// The application object: start-up, the frame, the key handler, the game
// modes and shutdown. The window delivers its events here; the input manager
// hands keys and clicks here, and they go on to the current mode.
class Game : public CInputListener, public IWindowListener {
public:
    static constexpr const char* kVersionText = "Demo 1.45";
    static constexpr int kVersionNumber = 145;
    static constexpr int kMinDesktopHeight = 768;
    // A window side beyond any screen: a prefs.ini size past it is damage.
    static constexpr int kMaxWindowSide = 16384;

    enum UserPath { USER = 0, SHIPS, DEPLOYMENTS, ORDERS, CAMPAIGN_PROGRESS, CAPTURED_DESIGNS, CHALLENGE_DATA };

    static Game& GetInstance();

    bool Init(const GameStartOptions& options);
    // Runs frames until the player quits (or maxFrames frames, when positive);
    // returns the exit code.
    int Run(int maxFrames = 0);
    void Frame();
    void Shutdown();

    // Leaves the current screen for another; the old one is wiped away
    // unless wipe is false.
    void SetMode(int id, bool wipe = true);
    GUI_GameModeBase* GetMode() const { return m_mode; }
    int GetModeId() const { return m_modeId; }
    static GUI_GameModeBase* ModeForId(int id);

    std::string GetUserPath(int index) const;
    std::string GetVersionText() const { return kVersionText; }
    int GetFrameDelay() const { return m_frameDelay; }
    int GetRenderTargetWidth() const { return m_rtWidth; }
    int GetRenderTargetHeight() const { return m_rtHeight; }
    bool IsRunning() const { return m_running; }
    bool HasFocus() const { return m_focused; }
    bool IsQuitting() const { return m_quit; }
    bool IsGraphicsReady() const { return m_graphicsReady; }
    // The program's sound manager once started with the graphics up, else
    // null: asked for by every ship in view each frame, so one load.
    static GUI_Sounds* GetReadySounds() { return s_readySounds; }
    bool IsEditorEnabled() const { return m_editor; }
    IWindow* GetWindow() const { return m_window.get(); }

    // Start-up steps (public so tests can run them alone).
    bool CreateUserFolders(const std::string& userDir);
    bool SavePrefs(int width, int height, bool windowed);
    bool InitGraphics(int width, int height, bool windowed);
    void CreateRenderTargets();
    void LoadFonts();
    void DrawSplash();
    void CopyTutorialDeployments();
    static int RenderTargetSide(int screenSide);
    // The screen size a start uses: the size asked for, cut to the desktop
    // where the desktop is smaller, so that the whole game stays visible.
    static void FitToDesktop(int& width, int& height, int desktopWidth, int desktopHeight);

    // Releases everything the graphics device holds and builds it again, as
    // after a lost device.
    bool RestoreDevice();

    // Arms a screenshot for the next present; returns its file name.
    std::string SaveScreenshot();

    // Keys from the input manager.
    void OnKeyPress(int code) override;
    void OnTypedChar(char c) override;
    void OnLeftClick() override;
    void OnRightClick() override;
    void OnWheelUp() override;
    void OnWheelDown() override;

    // Window events.
    void OnQuit() override;
    void OnFocusChanged(bool focused) override;
    void OnKey(const WindowKeyEvent& event) override;
    void OnTextInput(const std::string& text) override;
    void OnMouseMove(int x, int y) override;
    void OnMouseButton(const WindowMouseButtonEvent& event) override;
    void OnMouseWheel(int delta) override;

    // Tests drive time and hand in their own window.
    void SetClock(const IClock* clock);
    void SetWindowForTests(std::unique_ptr<IWindow> window);
    // Back to the state before Init (tests).
    void ResetForTests();

    int GetFrameCount() const { return m_frameCount; }
    // Every screen's frame is held here, at the end of Game::Frame.
    FramePacer& GetFramePacer() { return m_pacer; }
    // Runs before every frame with the frame's number (automated runs).
    void SetFrameHook(std::function<void(int)> hook) { m_frameHook = std::move(hook); }
    // No screen transition or fade runs and input is taken: a click lands
    // on the screen as drawn.
    bool IsSettled() const;
    // Tells an outside driver when a screen has settled (--ready-signal).
    APP_ReadySignal& GetReadySignal() { return m_ready; }

private:
    Game() = default;
    bool OpenWindow(const GameStartOptions& options);
    void ReadDesktopSize(int& width, int& height);
    void LoadContent();
    void FreeContent();
    void StartModeTransition(GUI_GameModeBase* leaving);
    void ReleaseScreenResources();
    void ReloadScreenResources();
    void OnSoundStartup();
    void OnSoundUpdate();
    void OnSoundPause(bool paused);
    static void OnCloseConfirmed(std::intptr_t);

    std::unique_ptr<IWindow> m_window;
    GUI_GameModeBase* m_mode = nullptr;
    int m_modeId = 0;
    int m_frameDelay = 1;
    int m_rtWidth = 0;
    int m_rtHeight = 0;
    bool m_running = false;
    bool m_focused = false;
    bool m_loopStarted = false;
    static inline GUI_Sounds* s_readySounds = nullptr;
    void SetGraphicsReady(bool ready);
    bool m_quit = false;
    bool m_shutDown = false;
    bool m_graphicsReady = false;
    bool m_editor = false;
    bool m_headless = false;
    int m_frameCount = 0;
    int m_soundChannels = 0; // 0 until the sound system has started
    const IClock* m_clock = nullptr;
    FramePacer m_pacer;
    std::function<void(int)> m_frameHook;
    APP_ReadySignal m_ready;
};
