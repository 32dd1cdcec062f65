// The campaign loader, the names it takes, the screen's memory file and the
// way back to the menu, on the whole game started headless.
#include "CampaignScreenGame.h"

#include "app/GUI_Sounds.h"
#include "engine/APP_UserFolders.h"
#include "campaign/gui/GUI_CampaignControlPanelBttm.h"
#include "campaign/gui/GUI_CampaignLoaderStrip.h"
#include "campaign/sim/SIM_CampaignOptions.h"
#include "campaign/gui/GUI_CampaignUIMemory.h"
#include "campaign/gui/GUI_MapZoomer.h"
#include "engine/GFileHelpers.h"
#include "engine/GFileList.h"
#include "engine/GIniFile.h"
#include "engine/GSafeFile.h"
#include "gui/GUI_ConfirmDialog.h"
#include "gui/GUI_Message.h"
#include "gui/GUI_ScrollingWindow.h"
#include "platform/IClock.h"

#include <sys/stat.h>

#include <cstdio>

#include <cmath>
#include <ctime>

namespace {

class CampaignLoader : public CampaignScreenGame {
protected:
    static std::string Root()
    {
        return APP_UserFolders::GetInstance().Get(APP_UserFolders::CAMPAIGN_PROGRESS);
    }
    void TearDown() override
    {
        if (GUI_CampaignMap::Get())
            Quit();
        GUI_CampaignLoader::Close();
        while (GUI_WindowManager::GetInstance().CloseTopModal()) {
        }
        Frames(1);
    }
};

TEST(CampaignNames, UnsafeNamesAreRefused)
{
    for (const char* bad : {"", ".", "..", ".hidden", "a/b", "a\\b", "tab\there", "bell\a", "/abs"})
        EXPECT_FALSE(GUI_Campaign::IsAcceptableName(bad)) << bad;
    EXPECT_FALSE(GUI_Campaign::IsAcceptableName(std::string(33, 'x')));
    for (const char* good : {"test", "default", "my campaign", "a.b", "x"})
        EXPECT_TRUE(GUI_Campaign::IsAcceptableName(good)) << good;
    EXPECT_TRUE(GUI_Campaign::IsAcceptableName(std::string(32, 'x')));
    EXPECT_TRUE(GUI_Campaign::SaveFolderFor("..").empty());

    std::tm t{};
    t.tm_hour = 7;
    t.tm_min = 5;
    t.tm_mon = 2;
    t.tm_mday = 9;
    t.tm_year = 126;
    EXPECT_EQ(GUI_CampaignLoaderStrip::FormatTimeStamp(t), "07:05      03/09/2026");
}

TEST_F(CampaignLoader, CreatingStartsAtTurnZeroAndAnOldNameIsReplacedOnlyAfterAsking)
{
    StartCampaign("alpha");
    ASSERT_NE(GUI_CampaignMap::Get(), nullptr);
    EXPECT_EQ(SIM_CampaignProgress::GetInstance().turn, 0);
    SIM_CampaignProgress::GetInstance().turn = 7;
    ASSERT_TRUE(SIM_CampaignProgress::GetInstance().Save());
    Quit();
    EXPECT_EQ(Game::GetInstance().GetModeId(), GUI_Campaign::kMainMenu);
    // Nothing of the campaign is left pointing at its planets.
    EXPECT_EQ(SIM_CampaignProgress::GetInstance().GetCampaign(), nullptr);
    EXPECT_TRUE(SIM_CampaignProgress::GetInstance().GetFleets().empty());
    EXPECT_EQ(GUI_Campaign::GetInstance().GetDefinition(), nullptr);

    // The same name again: a question first, "no" keeps the old campaign.
    GUI_CampaignLoader* loader = GUI_CampaignLoader::Open();
    ASSERT_EQ(loader->GetStrips().size(), 1u);
    EXPECT_EQ(loader->GetStrips()[0]->GetFolderName(), "alpha");
    EXPECT_FALSE(loader->GetStrips()[0]->GetTimeStamp().empty());
    loader->GetNameField()->SetText("alpha");
    Click(*loader->GetCreateButton());
    ASSERT_NE(GUI_ConfirmDialog::GetOpen(), nullptr);
    Click(*GUI_ConfirmDialog::GetOpen()->GetNoButton());
    Frames(1);
    GIniFile config;
    ASSERT_TRUE(config.Load("config", (Root() + "/alpha/progress.txt").c_str()));
    EXPECT_EQ(config.GetInt("turn"), 7);
    // "yes" replaces it with a new one at turn 0.
    Click(*loader->GetCreateButton());
    ASSERT_NE(GUI_ConfirmDialog::GetOpen(), nullptr);
    Click(*GUI_ConfirmDialog::GetOpen()->GetYesButton());
    SettleTransition();
    Frames(2);
    ASSERT_NE(GUI_CampaignMap::Get(), nullptr);
    EXPECT_EQ(SIM_CampaignProgress::GetInstance().turn, 0);
    EXPECT_EQ(GUI_CampaignLoader::GetOpen(), nullptr);
}

TEST_F(CampaignLoader, RefusedNamesAndUnwritableSavesOpenNothing)
{
    GUI_CampaignLoader* loader = GUI_CampaignLoader::Open();
    loader->GetNameField()->SetText("");
    Click(*loader->GetCreateButton());
    EXPECT_EQ(GUI_CampaignLoader::GetOpen(), loader) << "an empty name does nothing";
    loader->GetNameField()->SetText("../escape");
    Click(*loader->GetCreateButton());
    EXPECT_NE(GUI_Message::GetOpen(), nullptr);
    EXPECT_FALSE(FolderExists(Root() + "/../escape"));
    EXPECT_EQ(Game::GetInstance().GetModeId(), GUI_Campaign::kMainMenu);
    while (GUI_WindowManager::GetInstance().GetTopModal() != loader && GUI_WindowManager::GetInstance().CloseTopModal()) {
    }

    // A save that cannot be written (the saves' folder is a file here):
    // reported, and no empty campaign opens.
    const std::string aside = Root() + ".aside";
    EnsureDirectoryExists(Root());
    ASSERT_EQ(rename(Root().c_str(), aside.c_str()), 0);
    ASSERT_TRUE(WriteFileAtomically(Root(), "not a folder"));
    loader->GetNameField()->SetText("locked");
    Click(*loader->GetCreateButton());
    EXPECT_NE(GUI_Message::GetOpen(), nullptr);
    EXPECT_EQ(GUI_CampaignMap::Get(), nullptr);
    EXPECT_EQ(Game::GetInstance().GetModeId(), GUI_Campaign::kMainMenu);
    EXPECT_NE(GUI_CampaignLoader::GetOpen(), nullptr);
    ASSERT_EQ(remove(Root().c_str()), 0);
    ASSERT_EQ(rename(aside.c_str(), Root().c_str()), 0);
}

TEST_F(CampaignLoader, DeleteRemovesOnlyThatCampaignAndTheListScrollsByFiftyPixelRows)
{
    GFileList old(false);
    old.FindFolders(Root() + "/*");
    for (const std::string& name : old.names)
        ASSERT_TRUE(DeleteFolderTree(Root() + "/" + name));
    for (const char* name : {"c1", "c2", "c3", "c4", "c5", "c6", "c7"})
        ASSERT_TRUE(GUI_Campaign::CreateCampaignSave(name));
    GUI_CampaignLoader* loader = GUI_CampaignLoader::Open();
    ASSERT_EQ(loader->GetStrips().size(), 7u);
    int shown = 0;
    for (const GUI_CampaignLoaderStrip* s : loader->GetStrips())
        shown += s->visible;
    EXPECT_EQ(shown, 6) << "300 pixels hold six rows of 50";
    EXPECT_EQ(loader->GetStrips()[1]->top - loader->GetStrips()[0]->top, 50);
    loader->GetScrollBar()->position = 1;
    loader->GetScrollBar()->changed = true;
    Frames(1);
    EXPECT_TRUE(loader->GetStrips()[6]->visible);
    EXPECT_FALSE(loader->GetStrips()[0]->visible);

    GUI_CampaignLoaderStrip* victim = loader->GetStrips()[6];
    EXPECT_EQ(victim->GetFolderName(), "c7");
    // The blast that tells the deletion is the first use of its sound.
    const GUI_SoundBank* bank = GUI_Sounds::GetInstance().GetBank(GUI_Sounds::BANK_INTERFACE);
    EXPECT_STREQ(GUI_CampaignLoaderStrip::kDeletedSound, "data/sounds/explosion_impact_frigate1.ogg");
    EXPECT_EQ(bank->FindCached("explosion_impact_frigate1.ogg", false), nullptr);
    Click(*victim->GetDeleteButton());
    ASSERT_NE(GUI_ConfirmDialog::GetOpen(), nullptr);
    Click(*GUI_ConfirmDialog::GetOpen()->GetYesButton());
    Frames(2);
    EXPECT_FALSE(FolderExists(Root() + "/c7"));
    EXPECT_NE(bank->FindCached("explosion_impact_frigate1.ogg", false), nullptr) << "a blast, not a click";
    EXPECT_TRUE(FolderExists(Root() + "/c6"));
    EXPECT_EQ(loader->GetStrips().size(), 6u);
    // Only a folder directly inside the campaign saves may be deleted.
    EXPECT_FALSE(GUI_Campaign::IsCampaignFolder(Root()));
    EXPECT_FALSE(GUI_Campaign::IsCampaignFolder(Root() + "/c1/fleets"));
    EXPECT_TRUE(GUI_Campaign::IsCampaignFolder(Root() + "/c1"));
}

TEST_F(CampaignLoader, TheMapComesBackAsItWasLeftAndOutOfRangeValuesAreBroughtBack)
{
    StartCampaign("memory");
    GUI_CampaignMap* map = GUI_CampaignMap::Get();
    ASSERT_NE(map, nullptr);
    // Away from where a new campaign opens, so that only the memory can bring it back.
    map->zoom = 2.5f;
    map->ScrollBy(300.0f, -120.0f);
    const float fx = map->focusX, fy = map->focusY;
    Quit();
    GIniFile ui;
    ASSERT_TRUE(ui.Load("ui", (Root() + "/memory/camp_ui.txt").c_str()));
    EXPECT_NEAR(ui.GetFloat("mapzoom", 0.0f), 2.5f, 1e-4f);
    EXPECT_STREQ(ui.GetString("zoomencname"), "");

    ASSERT_TRUE(GUI_Campaign::OpenCampaign("memory"));
    SettleTransition();
    map = GUI_CampaignMap::Get();
    ASSERT_NE(map, nullptr);
    EXPECT_NEAR(map->zoom, 2.5f, 1e-4f);
    EXPECT_NEAR(map->focusX, fx, 1e-2f);
    EXPECT_NEAR(map->focusY, fy, 1e-2f);

    // Zoomed in on a planet: it reopens on it without the animation.
    ManualClock clock;
    map->GetZoomer().SetClock(&clock);
    map->GetZoomer().ZoomTo(map->FindView(Homeworld()));
    clock.Advance(600.0);
    Frames(1);
    ASSERT_EQ(map->GetZoomer().state, GUI_MapZoomer::ZOOMED_IN);
    const float closeUp = map->zoom;
    Quit();
    ASSERT_TRUE(GUI_Campaign::OpenCampaign("memory"));
    Frames(2);
    map = GUI_CampaignMap::Get();
    EXPECT_EQ(map->GetZoomer().state, GUI_MapZoomer::ZOOMED_IN);
    EXPECT_NEAR(map->zoom, closeUp, 1e-3f);

    // Values the game never writes are brought back into range.
    map->GetZoomer().state = GUI_MapZoomer::IDLE;
    ApplyCampaignUIMemory("[ui]\nmapfocusx = nan\nmapfocusy = -99999\nmapzoom = 0\n");
    EXPECT_TRUE(std::isfinite(map->focusX));
    EXPECT_FLOAT_EQ(map->zoom, map->minZoom);
    EXPECT_GE(map->originY, 0.0f);
    float x = -50.0f, y = 5000.0f;
    ClampOntoScreen(x, y, 300.0f, 200.0f, 1280.0f, 800.0f);
    EXPECT_FLOAT_EQ(x, 0.0f);
    EXPECT_FLOAT_EQ(y, 600.0f);
}

TEST_F(CampaignLoader, ACampaignLoadedFromTheListStartsEvenWhateverThePreviousOneWasSetTo)
{
    // Only these two in the list, each in view.
    GFileList old(false);
    old.FindFolders(Root() + "/*");
    for (const std::string& name : old.names)
        ASSERT_TRUE(DeleteFolderTree(Root() + "/" + name));
    StartCampaign("steep");
    ASSERT_NE(GUI_CampaignMap::Get(), nullptr);
    // Half of a ten-turn plan played with one planet held: the turn's end
    // eases the AI well below 1.
    GetCampaignOptions().LoadFromText("config", "[config]\ndiff_game_length = 10\ndiff_min_adjuster = 0.5\n"
                                                "diff_max_adjuster = 2\n");
    SIM_CampaignProgress::GetInstance().turn = 5;
    Click(*GUI_CampaignMap::Get()->GetBottomPanel()->GetNextTurnButton());
    SettleTransition();
    Frames(2);
    SIM_CampaignBattleManager& battles = SIM_CampaignBattleManager::GetInstance();
    EXPECT_LT(battles.difficultyMultiplier, 0.9f);
    Quit();

    StartCampaign("level");
    Quit();
    GUI_CampaignLoader* loader = GUI_CampaignLoader::Open();
    GUI_CampaignLoaderStrip* strip = nullptr;
    for (GUI_CampaignLoaderStrip* s : loader->GetStrips())
        if (s->GetFolderName() == "level")
            strip = s;
    ASSERT_NE(strip, nullptr);
    Click(*strip->GetLoadButton());
    SettleTransition();
    Frames(2);
    ASSERT_NE(GUI_CampaignMap::Get(), nullptr);
    EXPECT_FLOAT_EQ(battles.difficultyMultiplier, 1.0f);
    ReloadCampaignOptions();
}

TEST_F(CampaignLoader, AFocusedFieldTakesTheKeysAndTheDefinitionKeyNeedsTheEditor)
{
    StartCampaign("keys");
    GUI_CampaignMap* map = GUI_CampaignMap::Get();
    ASSERT_NE(map, nullptr);
    map->zoom = 3.0f;
    map->CameraChanged();
    const float fx = map->focusX;
    auto* field = new GUI_TextEditWindow("", 20);
    field->SetRect(100, 100, 300, 120);
    map->AddChild(field);
    Click(*field);
    ASSERT_EQ(GUI_Campaign::GetInstance().keyboardFocus, field);
    auto* headless = dynamic_cast<HeadlessWindow*>(Game::GetInstance().GetWindow());
    ASSERT_NE(headless, nullptr);
    headless->InjectKey(SDL_SCANCODE_D, true);
    headless->InjectText("d");
    Frames(5);
    headless->InjectKey(SDL_SCANCODE_D, false);
    Frames(1);
    EXPECT_FLOAT_EQ(map->focusX, fx) << "typing a name never scrolls the map";
    EXPECT_EQ(field->GetText(), "d");
    // Shift pressed and let go within one frame: the capital is the one typed.
    headless->InjectKey(SDL_SCANCODE_LSHIFT, true);
    headless->InjectKey(SDL_SCANCODE_A, true);
    headless->InjectText("A");
    headless->InjectKey(SDL_SCANCODE_A, false);
    headless->InjectKey(SDL_SCANCODE_LSHIFT, false);
    for (const char* c : {"u", "d", "i", "t"})
        headless->InjectText(c);
    Frames(1);
    EXPECT_EQ(field->GetText(), "dAudit");
    field->EndEditing();
    GUI_Campaign::GetInstance().keyboardFocus = nullptr;
    headless->InjectKey(SDL_SCANCODE_D, true);
    Frames(3);
    headless->InjectKey(SDL_SCANCODE_D, false);
    Frames(1);
    EXPECT_GT(map->focusX, fx);

    // H writes the definition only in an editor session.
    const std::string file = GUI_Campaign::GetInstance().GetDefinition()->fileName;
    struct stat before {};
    ASSERT_EQ(stat(file.c_str(), &before), 0);
    ASSERT_FALSE(Game::GetInstance().IsEditorEnabled());
    PressKey(SDL_SCANCODE_H);
    struct stat after {};
    ASSERT_EQ(stat(file.c_str(), &after), 0);
    EXPECT_EQ(before.st_mtim.tv_nsec, after.st_mtim.tv_nsec);
    EXPECT_EQ(before.st_mtim.tv_sec, after.st_mtim.tv_sec);
}

} // namespace
