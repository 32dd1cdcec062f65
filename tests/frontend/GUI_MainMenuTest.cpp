#include "app/APP_UsageMetrics.h"
#include "app/GUI_Sounds.h"
#include "engine/APP_ContentPackage.h"
#include "engine/GFileHelpers.h"
#include "engine/GSystem.h"
#include "frontend/FrontendGame.h"
#include "frontend/GUI_MainMenu.h"
#include "frontend/GUI_TitleBackdrop.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_ConfirmDialog.h"
#include "gui/GUI_Message.h"
#include "gui/GUI_Tooltip.h"
#include "engine/GHashTable.h"
#include "online/GUI_OnlineMessagePopup.h"

#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <vector>

using MainMenu = FrontendGame;

// The banks must really play for their stop to be seen, on any machine:
// OpenAL Soft's null device, chosen before the game opens its sound.
namespace {
[[maybe_unused]] const bool g_nullAudioDevice = setenv("ALSOFT_DRIVERS", "null", 0) == 0;
} // namespace

TEST(MainMenuRow, SpansTheSameThousandPixelsForEightOrTenButtons)
{
    // 1280 wide: the row runs from 150 to 1150, centred on 640.
    auto eight = GUI_MainMenu::LayOutRow(0, 1280, 800, std::vector<int>(8, 50));
    ASSERT_EQ(eight.size(), 8u);
    EXPECT_FLOAT_EQ(eight[0].left, 150.0f);
    EXPECT_FLOAT_EQ(eight[0].right - eight[0].left, 116.25f);
    EXPECT_FLOAT_EQ(eight[1].left - eight[0].left, 126.25f);
    EXPECT_FLOAT_EQ(eight[7].right, 1150.0f);
    EXPECT_FLOAT_EQ(eight[0].top, 768.0f);
    EXPECT_FLOAT_EQ(eight[0].bottom, 788.0f);

    // Ten labels that fit their share of 91 with 12 to spare at each side.
    auto ten = GUI_MainMenu::LayOutRow(0, 1024, 768, std::vector<int>(10, 91 - 24));
    ASSERT_EQ(ten.size(), 10u);
    EXPECT_FLOAT_EQ(ten[0].left, 22.0f);
    EXPECT_FLOAT_EQ(ten[0].right - ten[0].left, 91.0f);
    EXPECT_FLOAT_EQ(ten[9].right, 1022.0f);
}

TEST(MainMenuRow, ALabelTooWideForItsShareGivesEachButtonItsLabelsWidth)
{
    // One label a pixel too wide for an equal share with 12 a side: each
    // button is its label and a tenth of what the labels leave of the row,
    // which keeps its thousand pixels.
    std::vector<int> labels(10, 40);
    labels[3] = 91 - 24 + 1;
    auto row = GUI_MainMenu::LayOutRow(0, 1280, 800, labels);
    ASSERT_EQ(row.size(), 10u);
    const float extra = (910.0f - (9 * 40 + 68)) / 10.0f;
    for (size_t i = 0; i < row.size(); ++i)
        EXPECT_NEAR(row[i].right - row[i].left, static_cast<float>(labels[i]) + extra, 0.001f) << i;
    for (size_t i = 1; i < row.size(); ++i)
        EXPECT_FLOAT_EQ(row[i].left - row[i - 1].right, 10.0f);
    EXPECT_FLOAT_EQ(row[0].left, 150.0f);
    EXPECT_FLOAT_EQ(row[9].right, 1150.0f);

    // Labels that leave less than 3 a side widen the row as far as the
    // screen allows, around the same middle; a narrow screen cannot.
    const std::vector<int> wide(10, 100);
    auto roomy = GUI_MainMenu::LayOutRow(0, 1280, 800, wide);
    EXPECT_FLOAT_EQ(roomy[0].right - roomy[0].left, 106.0f);
    EXPECT_FLOAT_EQ(roomy[0].left, 650.0f - 1150.0f / 2.0f);
    auto narrow = GUI_MainMenu::LayOutRow(0, 1024, 768, wide);
    EXPECT_FLOAT_EQ(narrow[0].right - narrow[0].left, 91.0f);
    EXPECT_FLOAT_EQ(narrow[0].left, 22.0f);
}

TEST_F(MainMenu, ButtonsSitInOneRowOnTheScreenWithTheirTooltips)
{
    GUI_MainMenu& menu = GUI_MainMenu::GetInstance();
    // The shipped campaign and no "-editor": ten buttons, campaign second, quit last.
    ASSERT_TRUE(APP_ContentPackage::GetInstance().HasCampaign());
    ASSERT_EQ(menu.GetRow().size(), 10u);
    EXPECT_EQ(menu.GetRow().front(), menu.GetBattleButton());
    EXPECT_EQ(menu.GetRow()[1], menu.GetCampaignButton());
    EXPECT_EQ(menu.GetRow().back(), menu.GetQuitButton());
    EXPECT_EQ(menu.GetHullEditorButton(), nullptr);
    // Each tooltip from its own "TOOLTIP_MAINMENU_" key (the campaign's is
    // the campaign's own), the texts of the string table.
    const char* const tooltips[] = {"TOOLTIP_MAINMENU_BATTLE",   "CAMPAIGN_MAINMENU_TOOLTIP",
                                    "TOOLTIP_MAINMENU_SHIPDESIGN", "TOOLTIP_MAINMENU_ONLINE",
                                    "TOOLTIP_MAINMENU_OPTIONS",  "TOOLTIP_MAINMENU_CHALLENGES",
                                    "TOOLTIP_MAINMENU_UNLOCKS",  "TOOLTIP_MAINMENU_SCENARIO_EDITOR",
                                    "TOOLTIP_MAINMENU_MANUAL",   "TOOLTIP_MAINMENU_QUIT"};
    for (size_t i = 0; i < menu.GetRow().size(); ++i) {
        GUI_ButtonText* b = menu.GetRow()[i];
        EXPECT_GE(b->left, 0);
        EXPECT_LE(b->right, kWidth);
        EXPECT_EQ(b->bottom, kHeight - 12);
        ASSERT_NE(b->GetTooltip(), nullptr);
        ASSERT_FALSE(b->GetTooltip()->GetLines().empty());
        EXPECT_NE(std::string(GetString(tooltips[i])), tooltips[i]) << "the table holds " << tooltips[i];
        EXPECT_EQ(b->GetTooltip()->GetLines().front(), GetString(tooltips[i])) << tooltips[i];
        EXPECT_EQ(b->GetTooltip()->GetDelay(), 60);
    }
    EXPECT_EQ(menu.GetBattleButton()->GetText(), "Battle");
}

TEST_F(MainMenu, ChallengesNeedAnOnlineNameWhichTheNextVisitNotices)
{
    GUI_MainMenu& menu = GUI_MainMenu::GetInstance();
    const std::string nameFile = Game::GetInstance().GetUserPath(Game::USER) + "/web/qlmcdu";
    std::remove(nameFile.c_str());
    Game::GetInstance().SetMode(7);
    Game::GetInstance().SetMode(15);
    EXPECT_FALSE(menu.GetChallengesButton()->enabled);
    Click(*menu.GetChallengesButton());
    EXPECT_EQ(Game::GetInstance().GetModeId(), 15);

    ASSERT_TRUE(WriteFileAtomically(nameFile, "Admiral"));
    EXPECT_FALSE(menu.GetChallengesButton()->enabled); // not before the next Enter
    Game::GetInstance().SetMode(7);
    Game::GetInstance().SetMode(15);
    EXPECT_TRUE(menu.GetChallengesButton()->enabled);
    Click(*menu.GetChallengesButton());
    EXPECT_EQ(Game::GetInstance().GetModeId(), 6);
    std::remove(nameFile.c_str());
}

TEST_F(MainMenu, EscapeAsksToQuitAndASecondEscapeOnlyClosesTheQuestion)
{
    PressKey(SDL_SCANCODE_ESCAPE);
    ASSERT_NE(GUI_ConfirmDialog::GetOpen(), nullptr);
    EXPECT_EQ(GUI_ConfirmDialog::GetOpen()->GetQuestion(), "Leave Quillomar?");
    PressKey(SDL_SCANCODE_ESCAPE);
    EXPECT_EQ(GUI_ConfirmDialog::GetOpen(), nullptr);
    EXPECT_FALSE(Game::GetInstance().IsQuitting());
    PressKey(SDL_SCANCODE_ESCAPE);
    EXPECT_NE(GUI_ConfirmDialog::GetOpen(), nullptr);
    PressKey(SDL_SCANCODE_ESCAPE);
}

TEST_F(MainMenu, TitleMusicOnEnterAndTheSetUpMusicWheneverItIsLeft)
{
    GUI_Sounds& sounds = GUI_Sounds::GetInstance();
    for (int next : {3, 7, 10}) {
        Game::GetInstance().SetMode(15);
        EXPECT_EQ(sounds.GetMusicName(), "main_title.ogg");
        Game::GetInstance().SetMode(next);
        EXPECT_EQ(sounds.GetMusicName(), "setting_up_ships.ogg") << next;
    }
}

TEST_F(MainMenu, TheManualOpensBesideTheRunningGame)
{
    TempDir dir;
    const std::string opener = dir.Write("opener.sh", "#!/bin/sh\necho \"$1\" > " + dir.File("opened") + "\n");
    ASSERT_EQ(chmod(opener.c_str(), 0755), 0);
    dir.Write(GUI_MainMenu::kManualFile, "%PDF-1.4\n");
    SetShellOpenProgram(opener);
    {
        ScopedChdir inDir(dir.Path());
        Click(*GUI_MainMenu::GetInstance().GetManualButton());
    }
    SetShellOpenProgram("xdg-open");
    EXPECT_FALSE(Game::GetInstance().IsQuitting());
    EXPECT_EQ(Game::GetInstance().GetModeId(), 15);
    EXPECT_EQ(APP_UsageMetrics::GetInstance().GetEventCount("manual"), 1);
    for (int i = 0; i < 300 && dir.Read("opened").empty(); ++i)
        SDL_Delay(10);
    EXPECT_EQ(dir.Read("opened"), dir.File(GUI_MainMenu::kManualFile) + "\n");

    EXPECT_EQ(GUI_Message::GetOpen(), nullptr);

    // A viewer that cannot be started: the player reads why.
    SetShellOpenProgram(dir.File("no-such-viewer"));
    {
        ScopedChdir inDir(dir.Path());
        EXPECT_FALSE(GUI_MainMenu::OpenManual());
    }
    SetShellOpenProgram("xdg-open");
    ASSERT_NE(GUI_Message::GetOpen(), nullptr);
    EXPECT_EQ(GUI_Message::GetOpen()->GetText().rfind(GetString("MANUAL_NOT_OPENED"), 0), 0u);
    EXPECT_NE(GUI_Message::GetOpen()->GetText().find("No such file"), std::string::npos);
    GUI_WindowManager::GetInstance().CloseTopModal();

    // Without the file the player is told and it is logged; the game goes on.
    {
        TempDir empty;
        ScopedChdir inEmpty(empty.Path());
        Click(*GUI_MainMenu::GetInstance().GetManualButton());
    }
    EXPECT_FALSE(Game::GetInstance().IsQuitting());
    ASSERT_NE(GUI_Message::GetOpen(), nullptr);
    EXPECT_EQ(GUI_Message::GetOpen()->GetText(), GetString("MANUAL_MISSING"));
    EXPECT_NE(UserFile("debug/errors.txt").find(GUI_MainMenu::kManualFile), std::string::npos);
}

TEST_F(MainMenu, LeavingSilencesTheSoundBanksAndTheMessagesPopup)
{
    GUI_Sounds& sounds = GUI_Sounds::GetInstance();
    // A sound of each bank, looping, so that only a stop ends it.
    std::vector<SoundChannelId> playing;
    for (int bank = 0; bank < SIM_SoundSink::BANK_COUNT; ++bank) {
        const SoundChannelId channel = sounds.PlaySound("data/sounds/gui_beep1.ogg", sounds.GetBank(bank), 1.0f, true);
        if (channel != kNoChannel)
            playing.push_back(channel);
    }
    ASSERT_EQ(playing.size(), static_cast<size_t>(SIM_SoundSink::BANK_COUNT)) << "OpenAL Soft's null device plays them";
    GUI_OnlineMessagePopup::Show(2);
    ASSERT_NE(GUI_OnlineMessagePopup::GetOpen(), nullptr);
    Game::GetInstance().SetMode(7);
    for (SoundChannelId channel : playing)
        EXPECT_FALSE(sounds.GetSystem().IsChannelPlaying(channel));
    EXPECT_EQ(GUI_OnlineMessagePopup::GetOpen(), nullptr);
    // The new music plays on.
    EXPECT_EQ(sounds.GetMusicName(), "setting_up_ships.ogg");
}

TEST_F(MainMenu, EachButtonOpensItsScreen)
{
    GUI_MainMenu& menu = GUI_MainMenu::GetInstance();
    const std::pair<GUI_ButtonText*, int> buttons[] = {
        {menu.GetBattleButton(), 3}, {menu.GetOptionsButton(), 7}, {menu.GetUnlocksButton(), 10}};
    for (const auto& [button, mode] : buttons) {
        Game::GetInstance().SetMode(15);
        Frames(1);
        Click(*button);
        EXPECT_EQ(Game::GetInstance().GetModeId(), mode);
    }
}

TEST(TitleBackdrop, WideScreensGetTheWidePictureAndACampaignItsOwn)
{
    EXPECT_EQ(GUI_TitleBackdrop::ChooseTextureName(1024, false), "titlescreen1024.bmp");
    EXPECT_EQ(GUI_TitleBackdrop::ChooseTextureName(1025, false), "titlescreen2048.bmp");
    EXPECT_EQ(GUI_TitleBackdrop::ChooseTextureName(1024, true), "campaign_title_1024.bmp");
    EXPECT_EQ(GUI_TitleBackdrop::ChooseTextureName(1920, true), "campaign_title_2048.bmp");
    EXPECT_FLOAT_EQ(GUI_TitleBackdrop::ChooseWidth(1024), 1024.0f);
    EXPECT_FLOAT_EQ(GUI_TitleBackdrop::ChooseWidth(1025), 2048.0f);
}

TEST_F(MainMenu, ThePictureWasChosenOnceForTheScreenAtStartUp)
{
    // The headless desktop is 1280 wide: the wide picture, 2048 x 1024, in its
    // campaign form since the campaign ships with the game.
    EXPECT_EQ(GUI_TitleBackdrop::GetInstance().GetTextureName(), "campaign_title_2048.bmp");
    EXPECT_FLOAT_EQ(GUI_TitleBackdrop::GetInstance().GetWidth(), 2048.0f);
    EXPECT_FLOAT_EQ(GUI_TitleBackdrop::GetInstance().GetHeight(), 1024.0f);
}
