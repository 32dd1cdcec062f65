// The whole game with a campaign save that cannot be trusted: a damaged one is
// refused with a message naming its file, and a campaign still open when the
// game shuts down goes before the content its ships are built from.
#include "CampaignScreenGame.h"

#include "engine/APP_UserFolders.h"
#include "engine/GHashTable.h"
#include "engine/GSafeFile.h"
#include "gui/GUI_Message.h"
#include "gui/GUI_WindowManager.h"

#include <filesystem>
#include <sstream>

#include <sys/stat.h>

class CampaignUntrustedSave : public CampaignScreenGame {};

TEST_F(CampaignUntrustedSave, ADamagedSaveIsRefusedWithItsFileNamedAndKept)
{
    StartCampaign("damaged");
    ASSERT_NE(GUI_CampaignMap::Get(), nullptr);
    AddFleet(Homeworld());
    SIM_CampaignProgress::GetInstance().Save();
    const std::string folder = SIM_CampaignProgress::GetInstance().GetSaveFolder();
    Quit();
    ASSERT_TRUE(WriteFileAtomically(folder + "/progress.txt", std::string("\x89\x01garbage\x00\xff", 11)));

    EXPECT_FALSE(GUI_Campaign::OpenCampaign("damaged"));
    GUI_Message* message = GUI_Message::GetOpen();
    ASSERT_NE(message, nullptr);
    EXPECT_NE(message->GetText().find(folder + "/progress.txt"), std::string::npos) << message->GetText();
    // Why, as the error log has it.
    EXPECT_NE(message->GetText().find("\nIt does not read as a campaign."), std::string::npos) << message->GetText();
    // The path shows whole, broken only after its slashes.
    const std::string& shown = message->GetShownText();
    std::string path;
    int pathLines = 0;
    bool inPath = false;
    std::istringstream lines(shown);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind(folder.substr(0, 5), 0) == 0)
            inPath = true;
        if (!inPath)
            continue;
        path += line;
        ++pathLines;
        if (path.size() >= (folder + "/progress.txt").size())
            break;
        EXPECT_EQ(line.back(), '/') << "broken mid-word: " << line;
    }
    EXPECT_EQ(path, folder + "/progress.txt") << shown;
    EXPECT_GT(pathLines, 1) << "a path this long takes more than one line";
    EXPECT_EQ(GUI_CampaignMap::Get(), nullptr);
    EXPECT_EQ(Game::GetInstance().GetModeId(), GUI_Campaign::kMainMenu);
    EXPECT_TRUE(FileExists(folder + "/fleets/fleet1.txt"));
    while (GUI_WindowManager::GetInstance().CloseTopModal()) {
    }
}

TEST_F(CampaignUntrustedSave, AFleetWhoseDesignIsGoneWaitsOffTheMapAndTheMessageNamesItsFile)
{
    StartCampaign("waiting");
    ASSERT_NE(GUI_CampaignMap::Get(), nullptr);
    const std::string named = AddFleet(Homeworld())->GetShips()[0]->name;
    ASSERT_FALSE(named.empty());
    SIM_CampaignProgress::GetInstance().Save();
    const std::string folder = SIM_CampaignProgress::GetInstance().GetSaveFolder();
    const std::string path = folder + "/fleets/fleet1.txt";
    Quit();
    std::string text;
    ASSERT_TRUE(ReadWholeFile(path, text));
    text.replace(text.find("design = fed_ai_escort"), 22, "design = gone_design");
    ASSERT_TRUE(WriteFileAtomically(path, text));

    ASSERT_TRUE(GUI_Campaign::OpenCampaign("waiting"));
    GUI_Message* message = GUI_Message::GetOpen();
    ASSERT_NE(message, nullptr);
    // The ship by the name the player knows it by.
    EXPECT_NE(message->GetText().find("First Fleet: the design \"gone_design\" of \"" + named + "\" cannot be found (" +
                                      path + ")"),
              std::string::npos)
        << message->GetText();
    EXPECT_NE(GUI_CampaignMap::Get(), nullptr);
    EXPECT_TRUE(Homeworld()->fleets.empty());
    Frames(3);
    while (GUI_WindowManager::GetInstance().CloseTopModal()) {
    }
    // Leaving saves nothing over it; neither does the next turn.
    SIM_CampaignProgress::GetInstance().NextTurn();
    Quit();
    std::string now;
    ASSERT_TRUE(ReadWholeFile(path, now));
    EXPECT_EQ(now, text);
    while (GUI_WindowManager::GetInstance().CloseTopModal()) {
    }

    // The design put back in the ships folder, as the message asks: the next
    // load brings the fleet back, without a restart.
    std::string design;
    ASSERT_TRUE(ReadWholeFile("data/ships/fed_ai_escort.txt", design));
    design.replace(design.find("name = fed_ai_escort"), 20, "name = gone_design");
    const std::string ships = APP_UserFolders::GetInstance().Get(APP_UserFolders::SHIPS);
    ASSERT_TRUE(WriteFileAtomically(ships + "/gone_design.txt", design));
    ASSERT_EQ(SIM_ShipDesign::Find("gone_design", false), nullptr);
    ASSERT_TRUE(GUI_Campaign::OpenCampaign("waiting"));
    Frames(2);
    EXPECT_EQ(GUI_Message::GetOpen(), nullptr) << "no fleet waits";
    EXPECT_TRUE(SIM_CampaignProgress::GetInstance().GetWaitingFleets().empty());
    ASSERT_EQ(Homeworld()->fleets.size(), 1u);
    ASSERT_EQ(Homeworld()->fleets[0]->GetShips().size(), 1u);
    EXPECT_EQ(Homeworld()->fleets[0]->GetShips()[0]->design, SIM_ShipDesign::Find("gone_design", false));
    EXPECT_EQ(Homeworld()->fleets[0]->GetShips()[0]->name, named);
    Quit();
    while (GUI_WindowManager::GetInstance().CloseTopModal()) {
    }
}

TEST_F(CampaignUntrustedSave, ShuttingDownWithACampaignOpenClosesItBeforeTheContentGoes)
{
    StartCampaign("open at exit");
    ASSERT_NE(GUI_CampaignMap::Get(), nullptr);
    AddFleet(Homeworld());
    ASSERT_FALSE(SIM_CampaignShip::GetAll().empty());
    Game::GetInstance().Shutdown();
    // The ships went while their designs were still there.
    EXPECT_TRUE(SIM_CampaignProgress::GetInstance().GetFleets().empty());
    EXPECT_TRUE(SIM_CampaignShip::GetAll().empty());
    EXPECT_EQ(GUI_Campaign::GetInstance().GetDefinition(), nullptr);
    Game::GetInstance().ResetForTests();
    StartGame(true, s_user->Path());
}

// An opponents file that cannot be read (a FIFO) is renamed out of the way so
// that the campaign saves again: the message says so and gives its new name,
// and does not claim the file was left as it was.
TEST_F(CampaignUntrustedSave, AnUnreadableOpponentsFileIsToldUnderItsNewName)
{
    StartCampaign("fifo");
    ASSERT_NE(GUI_CampaignMap::Get(), nullptr);
    ASSERT_TRUE(SIM_CampaignProgress::GetInstance().Save());
    const std::string folder = SIM_CampaignProgress::GetInstance().GetSaveFolder();
    Quit();
    const std::string opponents = folder + "/opponents.ini";
    std::filesystem::remove(opponents);
    ASSERT_EQ(mkfifo(opponents.c_str(), 0600), 0);

    ASSERT_TRUE(GUI_Campaign::OpenCampaign("fifo"));
    Frames(3);
    GUI_Message* message = GUI_Message::GetOpen();
    ASSERT_NE(message, nullptr);
    const std::string& text = message->GetText();
    EXPECT_NE(text.find(GetString("FILES_SET_ASIDE_TEXT")), std::string::npos) << text;
    EXPECT_NE(text.find("opponents.ini -> opponents.ini.refused"), std::string::npos) << text;
    EXPECT_EQ(text.find(GetString("FILES_KEPT_TEXT")), std::string::npos) << "it was not left as it was: " << text;
    struct stat st;
    ASSERT_EQ(lstat((opponents + ".refused").c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    while (GUI_WindowManager::GetInstance().CloseTopModal()) {
    }
    // The campaign saves in its place again, and tells nothing more.
    ASSERT_TRUE(SIM_CampaignProgress::GetInstance().Save());
    ASSERT_EQ(lstat(opponents.c_str(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode));
    Frames(2);
    EXPECT_EQ(GUI_Message::GetOpen(), nullptr);
    Quit();
}
