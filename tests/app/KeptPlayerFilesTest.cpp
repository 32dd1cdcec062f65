// A player file that is there but cannot be read (too long, a read error, a
// folder in its place) is never written over: the game runs on its defaults,
// tells the player once which files it kept, and leaves every one of them as
// it was found through a start, a battle and the exit.
#include "app/APP_SaveNotice.h"
#include "app/GUI_Sounds.h"
#include "app/Game.h"
#include "battle/BattleLauncher.h"
#include "engine/GSafeFile.h"
#include "gui/GUI_Message.h"
#include "gui/GUI_WindowManager.h"
#include "sim/SIM_Battle.h"
#include "sim/SIM_HighScores.h"
#include "online/SIM_OnlineMessageManager.h"
#include "online/SIM_Server.h"
#include "sim/SIM_Options.h"
#include "support/ErrorLog.h"
#include "support/NoLessons.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include "app/GUI_Sounds.h"
#include "support/ErrorLog.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace {

enum Damage { OVERSIZED, UNREADABLE, FOLDER, DAMAGE_KINDS };

struct PlayerFile {
    const char* name;
    size_t cap; // what its reader takes at most
    const char* contents;
};

constexpr size_t kIniCap = 8u << 20; // settings read as sections

// Every file read on the way through a start, a battle and the exit.
const PlayerFile kFiles[] = {
    {"config.txt", kMaxSettingsFileBytes, "[config]\nCONTRAILS = 0.00\n\n[race]\nrace = korrath\n"},
    {"prefs.ini", kIniCap, "[prefs]\nwidth = 1024\nheight = 768\nwindowed = 1\nsound_channels = 64\n"},
    {"sc.dat", kMaxReadFileBytes, "\n[scenario1]\ntutorial = 0\nsurvival = 0\nbeaten_easy = 1\n"},
    {"unl.dat", kMaxReadFileBytes, "[unlocks]\nkorrath\n[points]\npoints = 5000\n"},
    {"um.ini", kIniCap, "[d]\n0 = runtime,0,0,812.00\n"},
    {"met.ini", kIniCap, "[data]\nid = 1234567812\n"},
    {"tutorial_seen.ini", kIniCap, "[seen]\nMAINMENU\n"},
    {"web/qlmcdu", kMaxSettingsFileBytes, "pilot\n"},
};

// What a file is, down to its bytes: the kind, the inode (a rename over it
// gives a new one), the size and a hash of the contents.
std::string Fingerprint(const std::string& path)
{
    struct stat st;
    if (lstat(path.c_str(), &st) != 0)
        return "missing";
    std::string out = std::to_string(st.st_mode) + " " + std::to_string(st.st_ino) + " " + std::to_string(st.st_size);
    if (S_ISDIR(st.st_mode)) {
        for (const auto& entry : std::filesystem::directory_iterator(path))
            out += " " + entry.path().filename().string();
        return out;
    }
    FILE* f = fopen(path.c_str(), "rb");
    if (!f)
        return out + " unopened";
    std::vector<char> chunk(1u << 20);
    size_t hash = 0;
    for (size_t n; (n = fread(chunk.data(), 1, chunk.size(), f)) > 0;)
        hash = hash * 1000003u ^ std::hash<std::string_view>()(std::string_view(chunk.data(), n));
    fclose(f);
    return out + " " + std::to_string(hash);
}

void Damaged(const TempDir& user, const PlayerFile& file, Damage damage)
{
    const std::string path = user.File(file.name);
    if (damage == FOLDER) {
        std::filesystem::create_directories(path);
        user.Write(std::string(file.name) + "/inside.txt", file.contents);
        return;
    }
    user.Write(file.name, file.contents);
    if (damage == OVERSIZED)
        ASSERT_EQ(truncate(path.c_str(), static_cast<off_t>(file.cap + 1)), 0) << path;
    else
        GSafeFile::InjectReadFailure(path, EIO);
}

class KeptPlayerFiles : public ::testing::Test {
protected:
    void TearDown() override
    {
        GSafeFile::ForgetRefusedFiles();
        APP_SaveNotice::GetInstance().Reset();
    }

    // The whole game, headless, on the player's folder (from the game folder).
    static bool StartGame(const TempDir& user)
    {
        GameStartOptions options;
        options.userDir = user.Path();
        options.headless = true;
        options.desktopWidth = 1280;
        options.desktopHeight = 1024;
        options.seed = 7;
        if (!Game::GetInstance().Init(options))
            return false;
        DropAllLessons();
        return true;
    }

    // Back to the title with no window left, then the exit.
    static void QuitGame()
    {
        Game& game = Game::GetInstance();
        game.SetMode(15);
        GUI_WindowManager& windows = GUI_WindowManager::GetInstance();
        while (windows.CloseTopModal()) {
        }
        windows.DeleteQueuedWindows();
        game.Shutdown();
        game.ResetForTests();
    }
};

} // namespace

TEST_F(KeptPlayerFiles, FilesThatCannotBeReadSurviveAStartABattleAndTheExitAndAreToldOnce)
{
    // Each file takes each kind of damage in one of the runs.
    for (int run = 0; run < DAMAGE_KINDS; ++run) {
        SCOPED_TRACE("run " + std::to_string(run));
        APP_SaveNotice::GetInstance().Reset();
        TempDir user;
        std::vector<std::string> before;
        for (size_t i = 0; i < std::size(kFiles); ++i) {
            Damaged(user, kFiles[i], static_cast<Damage>((i + static_cast<size_t>(run)) % DAMAGE_KINDS));
            before.push_back(Fingerprint(user.File(kFiles[i].name)));
        }

        {
            ScopedChdir cwd(QLM_GAME_DIR);
            ASSERT_TRUE(StartGame(user));
            Game& game = Game::GetInstance();

            // The game goes on with its defaults.
            EXPECT_EQ(SIM_Options::GetInstance().GetValue("CONTRAILS"), 1.0f);
            EXPECT_EQ(SIM_HighScores::GetInstance().GetPoints(), 0);

            // One message at the first frame names every file with its reason.
            game.Frame();
            GUI_Message* told = GUI_Message::GetOpen();
            ASSERT_NE(told, nullptr);
            for (const PlayerFile& file : kFiles)
                EXPECT_NE(told->GetText().find("\n" + std::filesystem::path(file.name).filename().string() + " ("),
                          std::string::npos)
                    << file.name << " in: " << told->GetText();
            EXPECT_EQ(APP_SaveNotice::GetInstance().GetRefusedToldCount(), static_cast<int>(std::size(kFiles)));
            told->visible = false;
            GUI_WindowManager::GetInstance().CloseWindow(told);
            GUI_WindowManager::GetInstance().DeleteQueuedWindows();

            // A won battle saves scores, points and usage, none of them here.
            BattleLaunchRequest request;
            request.scenario = "scenario1";
            request.seed = 5;
            ASSERT_TRUE(BattleLauncher::Launch(request, BattleLauncher::kDefaultFleet));
            for (int i = 0; i < 30; ++i)
                game.Frame();
            SIM_Battle::GetInstance().Victory();
            for (int i = 0; i < 5; ++i)
                game.Frame();
            EXPECT_GT(SIM_HighScores::GetInstance().GetPoints(), 0) << "the points are kept in memory";
            EXPECT_EQ(GUI_Message::GetOpen(), nullptr) << "the kept files' saves are not told again";
            QuitGame();
        }
        // Every withheld save counts towards the exit status all the same.
        EXPECT_GT(APP_SaveNotice::GetInstance().GetFailureCount(), 0);
        for (size_t i = 0; i < std::size(kFiles); ++i)
            EXPECT_EQ(Fingerprint(user.File(kFiles[i].name)), before[i]) << kFiles[i].name;
        GSafeFile::ForgetRefusedFiles();
    }
}

TEST_F(KeptPlayerFiles, GarbageInPlayerFilesIsToldWithItsFileBeforeTheGameSavesOverIt)
{
    TempDir user;
    const std::string garbage("\x89PNG\r\n\x1a\n\x01\x02 not a game file", 27);
    for (const char* name : {"um.ini", "tutorial_seen.ini", "web/oldmessages.txt"})
        user.Write(name, garbage);
    // A control character ends the name: it would go to the server as it is.
    user.Write("web/qlmcdu", "pi\x01lot\n");
    {
        ScopedChdir cwd(QLM_GAME_DIR);
        ASSERT_TRUE(StartGame(user));
        Game::GetInstance().Frame();
        EXPECT_TRUE(SIM_Server::GetInstance().HasUserName());
        EXPECT_EQ(SIM_Server::GetInstance().GetUserName(), "pi");
        SIM_OnlineMessageManager messages(user.File("web/oldmessages.txt"));
        QuitGame();
        // The game's own error log, in the player's folder.
        const std::string log = user.Read("debug/errors.txt");
        for (const std::string& line : {user.File("um.ini") + ": no [d] section, the counts start from nothing",
                                        user.File("tutorial_seen.ini") + ": no [seen] section, every lesson shows again",
                                        user.File("web/oldmessages.txt") + ": no message line in it, the list starts empty",
                                        user.File("web/qlmcdu") + ": control character 1 after the name"})
            EXPECT_NE(log.find(line), std::string::npos) << line << "\n" << log;
    }
}

TEST_F(KeptPlayerFiles, EmptyOrCutPlayerFilesAreToldWithTheirFileThroughAStart)
{
    TempDir user;
    for (const char* name : {"config.txt", "tutorial_seen.ini", "um.ini", "sc.dat"})
        user.Write(name, "");
    user.Write("unl.dat", "[unlocks]\n[points]\npoints = 1e20\n");
    user.Write("prefs.ini", "[prefs]\nwidth = 1024\nheight = 768\nwindowed = 1\nsound_channels = -2147483648\n");
    user.Write("web/oldmessages.txt", "##,1,\"2026-12-01\",\"\",\"Ann\",\"Hello\"\n##,2,\"2026-12-02\",\"\",\"Bo");
    {
        ScopedChdir cwd(QLM_GAME_DIR);
        ASSERT_TRUE(StartGame(user));
        Game::GetInstance().Frame();
        SIM_OnlineMessageManager messages(user.File("web/oldmessages.txt"));
        QuitGame();
    }
    const std::string log = user.Read("debug/errors.txt");
    for (const std::string& line :
         {user.File("config.txt") + " is empty (damaged), defaults used",
          user.File("tutorial_seen.ini") + ": empty (damaged), every lesson shows again",
          user.File("um.ini") + ": empty (damaged), the counts start from nothing",
          user.File("sc.dat") + " is empty (damaged): the scenario list starts afresh",
          user.File("unl.dat") + " [points] points = 1e20: out of range 0..2147483647, 2147483647 used",
          user.File("web/oldmessages.txt") + ": 1 lines damaged or cut off, read as they stand"})
        EXPECT_NE(log.find(line), std::string::npos) << line << "\n" << log;
    // A start reads the score files once: each is told once.
    for (const std::string& file : {user.File("sc.dat") + " is empty", user.File("unl.dat") + " [points]"}) {
        size_t count = 0;
        for (size_t at = log.find(file); at != std::string::npos; at = log.find(file, at + 1))
            ++count;
        EXPECT_EQ(count, 1u) << file << "\n" << log;
    }
    // The sound system reads its channel count at the first start of a
    // process only, which in this program may have been another test's: its
    // reading of prefs.ini is asked for directly.
    ScopedErrorLog sound;
    EXPECT_EQ(GUI_Sounds::ReadChannelCount(user.File("prefs.ini")), 512);
    EXPECT_EQ(sound.Count(user.File("prefs.ini") + " [prefs] sound_channels = -2147483648: out of range 1..4095, 512 used"),
              1);
}
