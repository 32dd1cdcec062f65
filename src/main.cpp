// Entry point: finds the install folder, then starts the game.
#include "app/APP_SaveNotice.h"
#include "app/Game.h"
#include "battle/BattleLauncher.h"
#include "battle/GUI_BattleGUI.h"
#include "engine/APP_UserFolders.h"
#include "engine/GCommandLine.h"
#include "engine/GDebugLog.h"
#include "gui/GUI_Tutorial.h"
#include "platform/ErrorMessage.h"
#include "platform/HeapTrim.h"
#include "platform/LargePages.h"
#include "prep/GUI_DeploymentGUI.h"
#include "sim/SIM_Battle.h"
#include "sim/SIM_HeadlessBattle.h"
#include "sim/SIM_Scenario.h"

#include <SDL2/SDL.h>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {
void PrintUsage()
{
    printf("Usage: quillomar [--user-dir DIR] [--data-dir DIR] [--frames N] [--screenshot-at FRAME] [--headless] [-editor]\n"
           "                 [--battle SCENARIO[:easy|medium|hard]] [--fleet FILE] [--frame-ms MS]\n"
           "                 [--deploy SCENARIO] [-editor --edit-ai-fleet SCENARIO] [--seed N] [--ready-signal]\n");
}

bool ParseInt(const char* text, int& out)
{
    char* end = nullptr;
    long v = strtol(text, &end, 10);
    if (!end || *end || v < 0 || v > 100000000)
        return false;
    out = static_cast<int>(v);
    return true;
}

// A seed above 0; 0 is the game's "seed from the clock".
bool ParseSeed(const char* text, uint64_t& out)
{
    char* end = nullptr;
    errno = 0;
    const unsigned long long v = strtoull(text, &end, 10);
    if (!end || end == text || *end || *text == '-' || errno == ERANGE || v == 0)
        return false;
    out = static_cast<uint64_t>(v);
    return true;
}

bool ParseFrameMs(const char* text, float& out)
{
    char* end = nullptr;
    double v = strtod(text, &end);
    if (!end || *end || !(v > 0.0) || v > 1000.0)
        return false;
    out = static_cast<float>(v);
    return true;
}
} // namespace

int main(int argc, char** argv)
{
    LargePages::RestartWithLargePages(argv);
    HeapTrim::HoldThresholds();
    GameStartOptions options;
    std::string dataDir;
    int frames = 0;
    int screenshotFrame = -1;
    std::string battle;
    std::string fleet;
    float frameMs = -1.0f;
    std::string deploy;
    bool editAIFleet = false;
    bool readySignal = false;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--user-dir" && i + 1 < argc) {
            options.userDir = argv[++i];
        } else if (a == "--data-dir" && i + 1 < argc) {
            dataDir = argv[++i];
        } else if (a == "--frames" && i + 1 < argc) {
            if (!ParseInt(argv[++i], frames)) {
                fprintf(stderr, "--frames needs a whole number\n");
                return 2;
            }
        } else if (a == "--screenshot-at" && i + 1 < argc) {
            if (!ParseInt(argv[++i], screenshotFrame)) {
                fprintf(stderr, "--screenshot-at needs a whole number\n");
                return 2;
            }
        } else if (a == "--battle" && i + 1 < argc) {
            battle = argv[++i];
        } else if (a == "--deploy" && i + 1 < argc) {
            deploy = argv[++i];
        } else if (a == "--edit-ai-fleet" && i + 1 < argc) {
            deploy = argv[++i];
            editAIFleet = true;
        } else if (a == "--fleet" && i + 1 < argc) {
            fleet = argv[++i];
        } else if (a == "--frame-ms" && i + 1 < argc) {
            if (!ParseFrameMs(argv[++i], frameMs)) {
                fprintf(stderr, "--frame-ms needs milliseconds above 0\n");
                return 2;
            }
        } else if (a == "--seed" && i + 1 < argc) {
            if (!ParseSeed(argv[++i], options.seed)) {
                fprintf(stderr, "--seed needs a whole number above 0\n");
                return 2;
            }
        } else if (a == "--ready-signal") {
            readySignal = true;
        } else if (a == "--headless") {
            options.headless = true;
        } else if (a == "-editor") {
            options.editor = true;
        } else if (a == "--help" || a == "-h") {
            PrintUsage();
            return 0;
        } else {
            fprintf(stderr, "Unknown option: %s\n", a.c_str());
            PrintUsage();
            return 2;
        }
    }

    // The game moves to its install folder below: a relative --user-dir or
    // --fleet names a place seen from where it was started.
    if (char* start = getcwd(nullptr, 0)) {
        for (std::string* path : {&options.userDir, &fleet})
            if (!path->empty() && (*path)[0] != '/')
                *path = std::string(start) + "/" + *path;
        free(start);
    }
    std::string install = APP_UserFolders::ResolveInstallFolder(dataDir, argv[0]);
    if (install.empty() || chdir(install.c_str()) != 0) {
        ShowErrorMessage("Quillomar", "Quillomar cannot find its data folder. Start it with ./play, or give "
                                      "--data-dir with the folder that holds data/.");
        return 1;
    }

    GCommandLine::GetInstance().ParseArgs(argc, argv);
    Game& game = Game::GetInstance();
    if (!game.Init(options)) {
        game.Shutdown();
        return 1;
    }
    // A line on stdout each time a screen settles, for the scripts that
    // drive the window (APP_ReadySignal).
    if (readySignal)
        game.GetReadySignal().SetStream(stdout);
    BattleLaunchRequest request;
    if (!battle.empty() && !BattleLauncher::ParseRequest(battle, request)) {
        fprintf(stderr, "--battle needs SCENARIO[:easy|medium|hard]\n");
        game.Shutdown();
        return 2;
    }
    request.seed = options.seed;
    // Fixed frame times make a run replay exactly (screenshots, checks).
    if (frameMs > 0.0f)
        GUI_BattleGUI::GetInstance().SetInjectedFrameTime(frameMs);
    std::string launchError;
    if (!battle.empty() && !BattleLauncher::Launch(request, fleet, &launchError)) {
        fprintf(stderr, "%s\n", launchError.c_str());
        game.Shutdown();
        return 1;
    }
    if (!deploy.empty()) {
        SIM_Scenario* scenario = SIM_Scenario::FindByName(deploy);
        if (!scenario) {
            fprintf(stderr, "No such scenario to deploy for: %s\n", deploy.c_str());
            game.Shutdown();
            return 2;
        }
        if (editAIFleet && !game.IsEditorEnabled()) {
            fprintf(stderr, "--edit-ai-fleet needs -editor\n");
            game.Shutdown();
            return 2;
        }
        GUI_DeploymentGUI::Open(scenario, editAIFleet, 15);
    }
    // A headless battle has nobody to close its report: at the battle's end
    // it prints how the battle went, as qlm_battlerun does, and the game ends.
    // A battle stopped by --frames says how it stands at its last frame.
    const bool reportBattle = options.headless && !battle.empty();
    if (reportBattle)
        GUI_Tutorial::GetInstance().SetLessonsOff(true);
    if (screenshotFrame >= 0 || reportBattle) {
        game.SetFrameHook([screenshotFrame, reportBattle, frames, &game](int frame) {
            if (frame == screenshotFrame) {
                // Presses Print Screen through the window system, as a player would.
                for (Uint32 type : {SDL_KEYDOWN, SDL_KEYUP}) {
                    SDL_Event e{};
                    e.type = type;
                    e.key.keysym.scancode = SDL_SCANCODE_PRINTSCREEN;
                    e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
                    SDL_PushEvent(&e);
                }
            }
            const bool lastFrame = frames > 0 && frame == frames - 1;
            if (reportBattle && (SIM_Battle::GetInstance().IsEnded() || lastFrame)) {
                fputs(SIM_HeadlessBattle::Summary().c_str(), stdout);
                fflush(stdout);
                game.Shutdown();
            }
        });
    }
    const int status = game.Run(frames);
    // After a failed save (a full disk) the exit status says so too, for
    // whoever started the game from a script.
    const int failed = APP_SaveNotice::GetInstance().GetFailureCount();
    if (status == 0 && failed > 0) {
        // The disk that refused the saves may have refused the error log too.
        fprintf(stderr, "%d file(s) could not be saved this run; the lines saying why are in %s\n", failed,
                GDebugLog::GetInstance().ErrorLinesPlace().c_str());
        return APP_SaveNotice::kExitSavesFailed;
    }
    return status;
}
