// The whole game with a campaign save that cannot be trusted: a damaged one is
// refused with a message naming its file, and a campaign still open when the
// game shuts down goes before the content its ships are built from.
#include "CampaignScreenGame.h"

#include "engine/APP_UserFolders.h"
#include "engine/GSafeFile.h"
#include "gui/GUI_Message.h"
#include "gui/GUI_WindowManager.h"

#include <sstream>

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
    AddFleet(Homeworld());
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
    EXPECT_NE(message->GetText().find("First Fleet: the design \"gone_design\" of ship0 cannot be found (" + path + ")"),
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
