#include "app/Game.h"

#include <cerrno>
#include <cstring>

#include "app/APP_SaveNotice.h"
#include "app/APP_UsageMetrics.h"
#include "engine/GHttpClient.h"
#include "app/GUI_GameModeBase.h"
#include "app/GUI_Sounds.h"
#include "app/TutorialScreenLinks.h"
#include "engine/APP_InstallList.h"
#include "engine/APP_UserFolders.h"
#include "engine/CTexturedSprite.h"
#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "engine/GFileHelpers.h"
#include "engine/GFileList.h"
#include "engine/GIniFile.h"
#include "engine/GRandom.h"
#include "engine/GSafeFile.h"
#include "engine/GSystem.h"
#include "engine/GVertexBuffer.h"
#include "engine/LibText.h"
#include "engine/MainWindow.h"
#include "engine/RandomTables.h"
#include "engine/SinCosTables.h"
#include "engine/StrFormat.h"
#include "gui/GUI_ConfirmDialog.h"
#include "gui/GUI_Cursor.h"
#include "gui/GUI_Fader.h"
#include "gui/GUI_TextEditWindow.h"
#include "gui/GUI_Transition.h"
#include "gui/GUI_Tutorial.h"
#include "gui/GUI_TutorialWindow.h"
#include "gui/GUI_WindowBase.h"
#include "gui/GUI_WindowManager.h"
#include "online/ChallengeServerReports.h"
#include "online/SurvivalScorePoster.h"
#include "platform/ErrorMessage.h"
#include "platform/GraphicsDeviceFactory.h"
#include "platform/HeadlessWindow.h"
#include "platform/IClock.h"
#include "platform/KeyCodes.h"
#include "sim/SIM_Anomaly.h"
#include "sim/SIM_Battle.h"
#include "sim/SIM_ContentFiles.h"
#include "sim/SIM_HighScores.h"
#include "sim/SIM_Options.h"
#include "sim/SIM_Race.h"
#include "sim/SIM_Scenario.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_ShipHull.h"
#include "sim/SIM_ShipModuleType.h"
#include "sim/SIM_ShipNameGenerator.h"

#include "battle/GUI_BattleGUI.h"
#include "battle/hud/BattleHud.h"
#include "campaign/gui/GUI_Campaign.h"
#include "editors/GUI_HullEditor.h"
#include "editors/GUI_ScenarioEditor.h"
#include "frontend/GUI_ChooseScenario.h"
#include "frontend/GUI_LoadingScreen.h"
#include "frontend/GUI_MainMenu.h"
#include "frontend/GUI_Options.h"
#include "frontend/GUI_RaceScreen.h"
#include "frontend/GUI_TitleBackdrop.h"
#include "frontend/GUI_UnlockShop.h"
#include "online/GUI_ChallengeList.h"
#include "online/GUI_LoginScreen.h"
#include "online/GUI_OnlineMessagesScreen.h"
#include "online/SIM_AutoUpdater.h"
#include "prep/GUI_DeploymentGUI.h"
#include "prep/GUI_ShipDesignGUI.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <thread>
#include <unistd.h>

namespace {

// A start-up failure the player must see: a message box when a display
// exists, the error log and stderr always.
void ReportFatal(const std::string& text)
{
    LOG_ERROR(text);
    ShowErrorMessage("Quillomar", text);
}

void SleepMs(int ms)
{
    if (ms > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}
} // namespace

Game& Game::GetInstance()
{
    static Game instance;
    return instance;
}

std::string Game::GetUserPath(int index) const
{
    return APP_UserFolders::GetInstance().Get(index);
}

void Game::SetClock(const IClock* clock)
{
    m_clock = clock;
    m_pacer.SetClock(clock);
}

void Game::SetWindowForTests(std::unique_ptr<IWindow> window)
{
    m_window = std::move(window);
    if (m_window)
        m_window->SetListener(this);
}

void Game::ResetForTests()
{
    if (m_graphicsReady)
        D3DEngine::GetInstance().Release();
    SetGraphicsReady(false);
    m_window.reset();
    // A question left up when the last game quit would answer the next one's.
    delete GUI_ConfirmDialog::GetOpen();
    m_mode = nullptr;
    m_modeId = 0;
    m_running = m_focused = m_loopStarted = m_quit = m_shutDown = false;
    m_frameCount = 0;
    m_soundChannels = 0;
    m_clock = nullptr;
    m_pacer.SetClock(nullptr);
    m_pacer.SetInjectedSpareShare(-1.0f);
    m_ready = APP_ReadySignal();
    // The last game's quit stopped every request for good: this one may ask again.
    GHttpClient::ResumeAfterCancelAllForTest();
}

// ---------------------------------------------------------------------------
// Start-up

bool Game::CreateUserFolders(const std::string& userDir)
{
    std::string folder = APP_UserFolders::ResolveUserFolder(userDir);
    if (!APP_UserFolders::GetInstance().Create(folder)) {
        // The folder was already logged; the player still needs to be told.
        ShowErrorMessage("Quillomar", "The user folder cannot be created: " + folder);
        return false;
    }
    return true;
}

bool Game::SavePrefs(int width, int height, bool windowed)
{
    std::string path = GetUserPath(USER) + "/prefs.ini";
    GSafeFile file(path);
    // Before the sound system starts, its own default is what it will use.
    const int channels = m_soundChannels > 0 ? m_soundChannels : GUI_Sounds::kDefaultChannels;
    file.Printf("[prefs]\nwidth = %d\nheight = %d\nwindowed = %d\nsound_channels = %d\n", width, height,
                windowed ? 1 : 0, channels);
    // A failed save is logged with its reason by the writer and told to the
    // player; the window settings stay as they are for this run.
    return file.Commit();
}

void Game::ReadDesktopSize(int& width, int& height)
{
    width = 1280;
    height = 1024;
    if (m_window)
        m_window->GetDesktopSize(width, height);
}

bool Game::OpenWindow(const GameStartOptions& options)
{
    if (!m_window) {
        MainWindowOptions windowOptions;
        windowOptions.headless = options.headless;
        m_window = CreateMainWindow(windowOptions);
        auto* headless = dynamic_cast<HeadlessWindow*>(m_window.get());
        if (headless && options.desktopWidth > 0 && options.desktopHeight > 0)
            headless->SetDesktop(options.desktopWidth, options.desktopHeight, {});
    }
    m_window->SetListener(this);
    return true;
}

void Game::FitToDesktop(int& width, int& height, int desktopWidth, int desktopHeight)
{
    if (desktopWidth > 0)
        width = std::min(width, desktopWidth);
    if (desktopHeight > 0)
        height = std::min(height, desktopHeight);
}

int Game::RenderTargetSide(int screenSide)
{
    if (screenSide <= 1024)
        return 1024;
    if (screenSide <= 2048)
        return 2048;
    return 4096;
}

void Game::CreateRenderTargets()
{
    D3DEngine& engine = D3DEngine::GetInstance();
    LOG_DEBUG("creating render targets");
    m_rtWidth = RenderTargetSide(engine.GetScreenWidth());
    m_rtHeight = RenderTargetSide(engine.GetScreenHeight());
    engine.CreateRenderTarget(512, 512, "rt_ship");
    // The images of a ship layer's cloaked ships, side by side.
    engine.CreateRenderTarget(1024, 1024, "rt_cloak");
    engine.CreateRenderTarget(m_rtWidth, m_rtHeight, "rt_offscreen1");
    engine.CreateRenderTarget(m_rtWidth, m_rtHeight, "rt_offscreen2");
    engine.CreateRenderTarget(m_rtWidth, m_rtHeight, "rt_transition");
}

bool Game::InitGraphics(int width, int height, bool windowed)
{
    LOG_DEBUG("Initialising Direct3D");
    D3DEngine& engine = D3DEngine::GetInstance();
    IWindow* window = m_window.get();
    engine.SetDeviceFactory([window](int, int, bool) -> std::unique_ptr<IGraphicsDevice> {
        if (!window)
            return nullptr;
        std::string error;
        auto device = CreateGraphicsDevice(*window, &error);
        if (!device)
            LOG_ERROR("Graphics device: " + error);
        return device;
    });
    engine.SetDisplayModeProvider([window]() {
        return window ? window->GetDisplayModes() : std::vector<DisplayMode>();
    });
    if (!engine.Init(width, height, windowed)) {
        LOG_ERROR("Failed to initialise 3D Engine");
        // The next start tries a window of a size that is likely to work.
        if (windowed)
            SavePrefs(width, height, true);
        else
            SavePrefs(1024, 768, true);
        return false;
    }
    engine.LoadTextureFolder("data/bitmaps");
    for (const std::string& folder : APP_InstallList::GetInstance().GetFolders())
        engine.LoadTextureFolder(folder + "/data/bitmaps");

    LOG_DEBUG("Initialising global vertex buffer");
    GVertexBuffer::SpriteBatch();
    CreateRenderTargets();
    LOG_DEBUG("success in initialising 3D");
    SetGraphicsReady(true);
    return true;
}

void Game::LoadFonts()
{
    LibText::GetInstance().Init();
    LibText::GetInstance().CreateGameFonts();
}

void Game::DrawSplash()
{
    if (!m_graphicsReady)
        return;
    D3DEngine& engine = D3DEngine::GetInstance();
    // The title picture is chosen here, once, for the screen at start-up.
    engine.ClearAndBeginScene();
    GUI_TitleBackdrop::GetInstance().Draw();
    engine.EndScene();
    engine.Flip();
}

void Game::CopyTutorialDeployments()
{
    std::string deployments = GetUserPath(DEPLOYMENTS);
    std::string first = deployments + "/tutorial1";
    std::string second = deployments + "/tutorial2";
    EnsureDirectoryExists(first);
    EnsureDirectoryExists(second);
    GFileList existing;
    existing.FindFiles(second + "/*.txt");
    if (!existing.names.empty())
        return;
    const std::string sample = "data/sample deployment/deployed.txt";
    CopyFileTo(sample, first + "/deployed.txt", false);
    CopyFileTo(sample, second + "/deployed.txt", false);
}

void Game::LoadContent()
{
    // Scores are seeded from the scenario list, and unlocks are asked for while
    // the races load: both need the scenarios first.
    SIM_Scenario::LoadAll();
    SIM_HighScores::StartShared(GetUserPath(USER), []() {
        std::vector<SIM_HighScores::ScenarioInfo> list;
        for (const SIM_Scenario* s : SIM_Scenario::GetList())
            list.push_back({s->GetName(), s->GetType(), s->GetUnlockedAfter()});
        return list;
    });
    SIM_ShipNameGenerator::GetInstance().LoadAll();
    SIM_Race::LoadAll();
    SIM_ShipModuleType::LoadAll();
    SIM_ShipHull::LoadAll();
    SIM_ShipDesign::LoadAll();
    BuildAnomalyTable();
    SIM_Options::GetInstance().SetRaceValidator(
        [](const std::string& race) { return SIM_Race::Find(race) != nullptr; });
    // This start's own folder: a second start in one process must not write
    // into the first one's.
    SIM_Options::GetInstance().Reload(GetUserPath(USER) + "/config.txt");
    // The battles start at the difficulty the player chose last time.
    SIM_Scenario::ApplyChosenDifficulty(SIM_Options::GetInstance().GetDifficulty());
}

void Game::FreeContent()
{
    // A battle still on the field holds ships built from the designs.
    SIM_Battle::GetInstance().Clear();
    FreeBattleContent();
}

bool Game::Init(const GameStartOptions& options)
{
    m_headless = options.headless;
    m_editor = options.editor;
    QlmSrand(options.seed ? options.seed : static_cast<uint64_t>(time(nullptr)));

    if (!OpenWindow(options))
        return false;
    if (!CreateUserFolders(options.userDir))
        return false;
    // Open before the first player file is read, so that a refused one is logged.
    GDebugLog::GetInstance().Open(GetUserPath(USER));
    SetAssertBuildText(kVersionText);
    LOG_DEBUG(StrFormat("QLM Debug File. App version %s", kVersionText));
    // Writes killed half way leave their temporaries; nothing else will.
    GSafeFile::RemoveStaleTemporaries(GetUserPath(USER));
    APP_SaveNotice::GetInstance().Install();
    char cwd[4096];
    if (getcwd(cwd, sizeof cwd))
        SaveInstallPath(cwd);

    APP_UsageMetrics::GetInstance().UseUserFolder(GetUserPath(USER));
    APP_UsageMetrics::GetInstance().MarkRunStart();
    SIM_Battle::SetProgramMetrics([]() -> SIM_MetricsSink* { return &APP_UsageMetrics::GetInstance(); });
    SIM_ChallengeReportSink::Install(&ChallengeServerReports::GetInstance());
    SIM_SurvivalScoreSink::Install(&SurvivalScorePoster::GetInstance());
    // The battle screen installs the ship visuals before any battle is built.
    GUI_BattleGUI::GetInstance();

    m_window->Show();

    int desktopWidth, desktopHeight;
    ReadDesktopSize(desktopWidth, desktopHeight);
    LOG_DEBUG(StrFormat("Desktop resolution is %d x %d", desktopWidth, desktopHeight));
    const int realDesktopWidth = desktopWidth, realDesktopHeight = desktopHeight;
    if (desktopHeight < kMinDesktopHeight) {
        desktopHeight = kMinDesktopHeight;
        LOG_ERROR("WARNING: Desktop Screen Resolution is below 768 pixels");
    }

    int width = desktopWidth, height = desktopHeight;
    bool windowed = false;
    std::string prefs = GetUserPath(USER) + "/prefs.ini";
    GIniFile ini;
    const FileRead prefsRead = ini.Load("prefs", prefs.c_str());
    if (prefsRead.IsMissing()) {
        SavePrefs(desktopWidth, desktopHeight, false);
    } else {
        // A refused file was logged by the reader; the defaults below serve.
        // A key missing from a whole file (an earlier version's, one written
        // by hand) takes its default without a word; from a file cut off, or
        // one without any setting, it is damage.
        const bool sized = ini.HasKey("width") && ini.HasKey("height");
        const bool cutOrEmpty = ini.IsCutOff() || ini.GetEntryCount() == 0;
        if (prefsRead && !sized && cutOrEmpty)
            LOG_ERROR(StrFormat("%s is damaged (no window size), default size used", prefs.c_str()));
        else if (prefsRead && !ini.HasKey("windowed") && cutOrEmpty)
            LOG_ERROR(StrFormat("%s [prefs] windowed: missing (damaged or cut off), full screen used", prefs.c_str()));
        width = ini.GetInt("width");
        height = ini.GetInt("height");
        windowed = ini.GetInt("windowed") != 0;
        // Sizes of 0 or garbage would give no usable window.
        if (width < 640 || width > desktopWidth || height < 480 || height > std::max(desktopHeight, 768)) {
            // A size the player's file holds is told; a desktop smaller than
            // the size the game once saved is not damage.
            const bool damaged = sized && (width < 640 || height < 480 || width > kMaxWindowSide || height > kMaxWindowSide);
            const std::string line = StrFormat("%s [prefs] width = %s, height = %s: unusable, using %d x %d",
                                               prefs.c_str(), std::string(ini.GetString("width")).substr(0, 40).c_str(),
                                               std::string(ini.GetString("height")).substr(0, 40).c_str(),
                                               std::min(desktopWidth, 1280), std::min(desktopHeight, 1024));
            if (damaged)
                LOG_ERROR(line);
            else
                LOG_DEBUG(line);
            width = std::min(desktopWidth, 1280);
            height = std::min(desktopHeight, 1024);
        }
    }
    // prefs.ini keeps the size asked for (at least 768 high); a desktop too
    // small for it gets a screen of its own size instead of one that hangs
    // off its edges.
    const int askedWidth = width, askedHeight = height;
    FitToDesktop(width, height, realDesktopWidth, realDesktopHeight);
    if (width != askedWidth || height != askedHeight)
        LOG_DEBUG(StrFormat("%d x %d does not fit the desktop, using %d x %d", askedWidth, askedHeight, width, height));
    if (windowed || m_headless) {
        m_window->SetFullScreen(false);
        m_window->SetClientSize(width, height);
    } else {
        m_window->SetClientSize(width, height);
        m_window->SetFullScreen(true);
    }

    if (!InitGraphics(width, height, windowed)) {
        // Without graphics there is nothing to show: say so and stop cleanly.
        ReportFatal("The game could not start its graphics (OpenGL 3.3 is needed). "
                      "See debug/errors.txt in the player folder.");
        return false;
    }

    SIM_AutoUpdater::GetInstance().CheckForUpdate();
    DrawSplash();
    BuildSinCosTables();

    GUI_TextEditWindow::SetModeProvider([]() { return Game::GetInstance().GetMode(); });
    CInput& input = CInput::GetInstance();
    input.SetListener(this);
    input.Init();

    InitRandomTables();
    GUI_Tutorial::GetInstance().Load();
    InstallTutorialScreenLinks();
    LoadFonts();
    OnSoundStartup();
    LoadContent();

    // The main menu becomes current exactly as a mode switch would make it.
    SetMode(15);
    CopyTutorialDeployments();

    m_running = true;
    m_focused = true;
    return true;
}

// ---------------------------------------------------------------------------
// Modes

GUI_GameModeBase* Game::ModeForId(int id)
{
    switch (id) {
    case 1: return &GUI_ShipDesignGUI::GetInstance();
    case 2: return &GUI_DeploymentGUI::GetInstance();
    case 3: return &GUI_ChooseScenario::GetInstance();
    case 4: return &GUI_LoginScreen::GetInstance();
    case 6: return &GUI_ChallengeList::GetInstance();
    case 7: return &GUI_Options::GetInstance();
    case 8: return &GUI_HullEditor::GetInstance();
    case 9: return &GUI_LoadingScreen::GetInstance();
    case 10: return &GUI_UnlockShop::GetInstance();
    case 11: return &GUI_RaceScreen::GetInstance();
    case 12: return &GUI_OnlineMessagesScreen::GetInstance();
    case 13: return &GUI_ScenarioEditor::GetInstance();
    case 14: return &GUI_Campaign::GetInstance();
    case 15: return &GUI_MainMenu::GetInstance();
    default: return &GUI_BattleGUI::GetInstance();
    }
}

void Game::SetMode(int id, bool wipe)
{
    GUI_Tutorial::GetInstance().OnScreenChanged();
    m_ready.OnScreenChanged();
    m_modeId = id;
    GUI_GameModeBase* next = ModeForId(id);
    if (next != m_mode && m_mode) {
        m_mode->Leave();
        if (wipe)
            StartModeTransition(m_mode);
        m_mode = next;
        m_mode->Enter();
    } else {
        m_mode = next;
    }
    AssertFail(m_mode != nullptr, "Game", 681);
}

// ---------------------------------------------------------------------------
// The frame

bool Game::RestoreDevice()
{
    D3DEngine& engine = D3DEngine::GetInstance();
    ReleaseScreenResources();
    if (!engine.Restore())
        return false;
    LOG_DEBUG("Rebuilding directx resources");
    engine.RefreshSmartTextures();
    engine.RefreshTexturedSprites();
    ReloadScreenResources();
    LoadFonts();
    GVertexBuffer::SpriteBatch();
    CreateRenderTargets();
    return true;
}

void Game::Frame()
{
    if (!m_graphicsReady)
        return;
    ++m_frameCount;
    CInput::GetInstance().Poll();
    // A quit answered by a click of this poll has freed what the frame draws.
    if (m_shutDown)
        return;
    GUI_Cursor::GetInstance().SetArrow();
    OnSoundUpdate();
    if (m_mode)
        m_mode->Update();
    GUI_TutorialWindow::RunPendingScripts();

    D3DEngine& engine = D3DEngine::GetInstance();
    engine.ClearAndBeginScene(!(m_mode && m_mode->CoversBackBuffer()));
    if (m_mode) {
        m_mode->Render();
        if (!m_mode->DrawsOwnInterfaceTail())
            GUI_GameModeBase::DrawInterfaceTail();
    }
    GUI_Transition::GetInstance().Draw();
    GUI_Fader::GetInstance().Draw();
    engine.EndScene();
    engine.Flip();

    if (GUI_Fader::GetInstance().IsDone())
        CInput::GetInstance().SetInputBlocked(false);
    GUI_Fader::GetInstance().RunPendingCallback();
    m_ready.AfterPresent(m_modeId, IsSettled(),
                         static_cast<int>(GUI_WindowManager::GetInstance().GetModalWindows().size()));

    if (m_window)
        m_window->SetCursor(static_cast<SystemCursor>(GUI_Cursor::GetInstance().kind));
    // One hold for every screen; the mode's spare-time work fills it.
    if (!m_headless)
        m_pacer.Hold([this]() { return m_mode && m_mode->DoIdleWork(); });
}

void Game::SetGraphicsReady(bool ready)
{
    m_graphicsReady = ready;
    // The sounds start right after the graphics (OnSoundStartup).
    if (!ready)
        s_readySounds = nullptr;
}

bool Game::IsSettled() const
{
    return !GUI_Transition::GetInstance().IsActive() && !GUI_Fader::GetInstance().IsFading() &&
           !CInput::GetInstance().IsInputBlocked();
}

int Game::Run(int maxFrames)
{
    m_loopStarted = true;
    int frames = 0;
    while (!m_quit) {
        if (m_window)
            m_window->PumpEvents();
        if (m_quit)
            break;
        if (m_running) {
            if (m_frameHook) {
                m_frameHook(frames);
                // The hook may have ended the game (a headless battle at its end).
                if (m_quit)
                    break;
            }
            Frame();
            if (maxFrames > 0 && ++frames >= maxFrames) {
                Shutdown();
                break;
            }
        } else {
            SleepMs(1);
        }
    }
    return 0;
}

std::string Game::SaveScreenshot()
{
    time_t now = time(nullptr);
    struct tm t;
    localtime_r(&now, &t);
    char date[32], clock[32];
    strftime(date, sizeof date, "%d-%m-%Y", &t);
    strftime(clock, sizeof clock, "%H-%M-%S", &t);
    std::string file = StrFormat("%s/screenshot_%s_%s.bmp", GetUserPath(USER).c_str(), date, clock);
    D3DEngine::GetInstance().RequestScreenshot(file);
    return file;
}

void Game::OnKeyPress(int code)
{
    if (code == KEY_SYSRQ) {
        SaveScreenshot();
        return;
    }
    // While the fade runs, input waits for its callback.
    if (CInput::GetInstance().IsInputBlocked())
        return;
    // No key reaches a window whose subject has gone.
    GUI_WindowManager::GetInstance().CloseWindowsWithoutSubject();
    if (const GUI_WindowBase* top = GUI_WindowManager::GetInstance().GetTopModal(); top && top->HoldsKeys())
        return;
    if (code == KEY_ESCAPE) {
        ResetTutorialRestrictions(GUI_Tutorial::GetInstance());
        if (GUI_TutorialWindow::DismissFirst() || GUI_WindowManager::GetInstance().CloseTopModal())
            return;
    } else if (code == KEY_RETURN) {
        if (GUI_TutorialWindow::CloseFirst())
            return;
    }
    if (m_mode)
        m_mode->OnKeyDown(code);
}

void Game::OnTypedChar(char c)
{
    // Typed text goes only to the field that holds the keyboard.
    if (CInput::GetInstance().IsInputBlocked())
        return;
    GUI_WindowManager::GetInstance().CloseWindowsWithoutSubject();
    if (const GUI_WindowBase* top = GUI_WindowManager::GetInstance().GetTopModal(); top && top->HoldsKeys())
        return;
    if (m_mode && m_mode->keyboardFocus)
        m_mode->keyboardFocus->OnTypedChar(c);
}

void Game::OnLeftClick()
{
    if (CInput::GetInstance().IsInputBlocked())
        return;
    if (GUI_Tutorial::GetInstance().blockButtons) {
        GUI_Tutorial::GetInstance().ClickAllowedElements();
        return;
    }
    if (m_mode)
        m_mode->OnLeftClick();
}

void Game::OnRightClick()
{
    if (CInput::GetInstance().IsInputBlocked() || GUI_Tutorial::GetInstance().blockButtons)
        return;
    if (m_mode)
        m_mode->OnRightClick();
}

void Game::OnWheelUp()
{
    if (m_mode)
        m_mode->OnWheelUp();
}

void Game::OnWheelDown()
{
    if (m_mode)
        m_mode->OnWheelDown();
}

// ---------------------------------------------------------------------------
// Window events

void Game::OnQuit()
{
    // The window's close (and TERM from the desktop) asks what the screen's
    // own way out asks before work is lost; a second close while that
    // question is up, or nothing to lose, quits at once.
    const GUI_ConfirmDialog* asking = GUI_ConfirmDialog::GetOpen();
    const bool askedAlready = asking && asking->GetCallback() == OnCloseConfirmed;
    if (m_mode && m_running && !askedAlready) {
        if (const GUI_GameModeBase::LeaveQuestion question = m_mode->GetLeaveQuestion()) {
            AskYesNo(question.textKey, question.titleKey, OnCloseConfirmed, false);
            return;
        }
    }
    Shutdown();
}

void Game::OnCloseConfirmed(std::intptr_t)
{
    GetInstance().Shutdown();
}

void Game::OnFocusChanged(bool focused)
{
    if (SIM_Options::GetInstance().GetValue("RUNINBACKGROUND") != 0.0f) {
        m_focused = focused;
        return;
    }
    if (!focused) {
        m_running = false;
        CInput::GetInstance().ReleaseAllKeys();
        LOG_DEBUG("WM_ACTIVATEAPP - Application Lost focus");
        OnSoundPause(true);
    } else if (!m_shutDown) {
        m_running = true;
        if (m_loopStarted) {
            LOG_DEBUG("WM_ACTIVATEAPP - Application regained focus");
            OnSoundPause(false);
        }
    }
    m_focused = m_running;
}

void Game::OnKey(const WindowKeyEvent& event)
{
    if (event.down && !event.repeat)
        m_ready.OnInput();
    int code = SdlScancodeToKeyCode(static_cast<SDL_Scancode>(event.scancode));
    if (code == 0)
        return;
    CInput& input = CInput::GetInstance();
    if (event.down)
        input.QueueKeyDown(code, event.timestampMs, event.repeat);
    else
        input.QueueKeyUp(code, event.timestampMs);
}

void Game::OnTextInput(const std::string& text)
{
    CInput::GetInstance().QueueText(text);
}

void Game::OnMouseMove(int x, int y)
{
    CInput::GetInstance().SetCursorPosition(static_cast<float>(x), static_cast<float>(y));
}

void Game::OnMouseButton(const WindowMouseButtonEvent& event)
{
    if (event.down)
        m_ready.OnInput();
    CInput& input = CInput::GetInstance();
    if (!input.IsInitialised())
        return;
    input.SetCursorPosition(static_cast<float>(event.x), static_cast<float>(event.y));
    switch (event.button) {
    case MouseButton::Left:
        if (event.down)
            input.HandleMouseMessage(event.doubleClick ? MouseMessage::LeftDoubleClick : MouseMessage::LeftDown);
        else
            input.HandleMouseMessage(MouseMessage::LeftUp);
        break;
    case MouseButton::Right:
        input.HandleMouseMessage(event.down ? MouseMessage::RightDown : MouseMessage::RightUp);
        break;
    case MouseButton::Middle:
        break;
    }
}

void Game::OnMouseWheel(int delta)
{
    CInput& input = CInput::GetInstance();
    if (input.IsInitialised())
        input.HandleMouseMessage(MouseMessage::Wheel, delta);
}

// ---------------------------------------------------------------------------
// Shutdown

void Game::Shutdown()
{
    if (m_shutDown)
        return;
    m_shutDown = true;
    // The run's counts are saved and sent first: their upload is the last
    // request of the run, bounded to a few seconds.
    APP_UsageMetrics::GetInstance().RecordRuntime();
    // Then every request stops, in flight or about to start: their workers
    // are joined at exit, which must not wait on a server.
    GHttpClient::CancelAll();
    // Volumes dragged on the options screen are written on letting go.
    if (m_modeId == 7)
        GUI_Options::GetInstance().SaveChangedVolumes();
    // Campaign windows and fleets point into the content freed below.
    GUI_Campaign::CloseAtExit();
    // So do a battle's windows (the game closed mid-battle), into its ships.
    BattleHud::CloseAll();
    // The designer's working copy and the deployment's windows name hulls,
    // modules and scenarios freed below: those screens are left first. (The
    // battle's way out has run already when quitting.)
    if (m_mode == &GUI_ShipDesignGUI::GetInstance() || m_mode == &GUI_DeploymentGUI::GetInstance())
        m_mode->Leave();
    ReleaseScreenResources();
    GVertexBuffer::SpriteBatch().Release();
    if (m_graphicsReady) {
        D3DEngine::GetInstance().Release();
        SetGraphicsReady(false);
    }
    FreeContent();
    GDebugLog::GetInstance().Close();
    m_running = false;
    m_quit = true;
}

// ---------------------------------------------------------------------------
// Services of screens and systems that are still being built: each call site
// stays here so the order of start-up and frame is kept.

void Game::StartModeTransition(GUI_GameModeBase* leaving)
{
    // The screen being left is drawn once more and wiped away over the new one.
    if (m_graphicsReady && leaving)
        GUI_Transition::GetInstance().Start([leaving]() { leaving->Render(); });
}

void Game::ReleaseScreenResources()
{
}

void Game::ReloadScreenResources()
{
}

void Game::OnSoundStartup()
{
    GUI_Sounds& sounds = GUI_Sounds::GetInstance();
    sounds.LoadSounds();
    m_soundChannels = sounds.GetChannelCount();
    s_readySounds = m_graphicsReady ? &sounds : nullptr;
}

void Game::OnSoundUpdate()
{
    GUI_Sounds::GetInstance().Update();
}

void Game::OnSoundPause(bool paused)
{
    if (paused)
        GUI_Sounds::GetInstance().Pause();
    else
        GUI_Sounds::GetInstance().Resume();
}
