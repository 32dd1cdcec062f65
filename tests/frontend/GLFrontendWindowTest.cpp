// The front-end screens through the real window and OpenGL, driven by
// mouse and key events as the player makes them, checked by the pixels on
// screen and the files written.
#include "app/GUI_GameModeBase.h"
#include "engine/D3DEngine.h"
#include "frontend/FrontendGame.h"
#include "frontend/GUI_ChooseScenario.h"
#include "frontend/GUI_HighScoreTable.h"
#include "frontend/GUI_MainMenu.h"
#include "frontend/GUI_Options.h"
#include "frontend/GUI_RaceScreen.h"
#include "frontend/GUI_Scenario.h"
#include "frontend/GUI_ScenarioDetails.h"
#include "frontend/GUI_ScrollingScreenshot.h"
#include "frontend/GUI_SupplyLimits.h"
#include "frontend/GUI_UnlockShop.h"
#include "gui/GUI_ButtonTab.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_CheckButton.h"
#include "sim/SIM_HighScores.h"
#include "sim/SIM_Options.h"
#include "sim/SIM_Race.h"
#include "sim/SIM_Scenario.h"
#include "sim/SIM_ShipModuleType.h"
#include "sim/SIM_Unlockable.h"
#include "prep/GUI_DataItem.h"
#include "frontend/GUI_OptionsSlider.h"
#include "platform/SdlWindow.h"
#include "support/ImageCompare.h"
#include "support/WindowManagerClose.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;

    const uint8_t* At(int x, int y) const { return &rgba[(static_cast<size_t>(y) * width + x) * 4]; }
    // The brightest of the pixel and its left and right neighbours (outlines
    // may fall half a pixel either way).
    const uint8_t* BrightestAround(int x, int y) const
    {
        const uint8_t* best = At(x, y);
        for (int dx : {-1, 1})
            if (const uint8_t* p = At(x + dx, y); p[0] + p[1] + p[2] > best[0] + best[1] + best[2])
                best = p;
        return best;
    }
    // Pixels of the rectangle whose brightest channel reaches the level.
    int CountLit(int left, int top, int right, int bottom, int level) const
    {
        int n = 0;
        for (int y = std::max(0, top); y < std::min(height, bottom); ++y)
            for (int x = std::max(0, left); x < std::min(width, right); ++x) {
                const uint8_t* p = At(x, y);
                n += std::max({p[0], p[1], p[2]}) >= level;
            }
        return n;
    }
    // Pixels of the rectangle that differ from another picture's by more than a little.
    int CountChanged(const Picture& other, int left, int top, int right, int bottom) const
    {
        int n = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x) {
                const uint8_t *a = At(x, y), *b = other.At(x, y);
                n += std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2]) > 30;
            }
        return n;
    }
};

class GLFrontend : public FrontendGame {
protected:
    static void SetUpTestSuite()
    {
        s_user = new TempDir;
        StartGame(false, s_user->Path());
    }

    void SetUp() override
    {
        FrontendGame::SetUp();
        SettleTransition();
    }

    // Every picture and sound these screens name was drawn by the generator.
    void TearDown() override
    {
        const std::string errors = UserFile("debug/errors.txt");
        EXPECT_EQ(errors.find("texture"), std::string::npos) << errors;
        EXPECT_EQ(errors.find(".ogg"), std::string::npos) << errors;
    }

    // One more frame drawn as the game draws it, read back before it is shown.
    static Picture Capture()
    {
        D3DEngine& engine = D3DEngine::GetInstance();
        Picture pic;
        pic.width = engine.GetScreenWidth();
        pic.height = engine.GetScreenHeight();
        engine.ClearAndBeginScene();
        GUI_GameModeBase* mode = Game::GetInstance().GetMode();
        mode->Render();
        if (!mode->DrawsOwnInterfaceTail())
            GUI_GameModeBase::DrawInterfaceTail();
        GUI_Transition::GetInstance().Draw();
        engine.EndScene();
        EXPECT_TRUE(engine.GetDevice()->ReadPixels(0, 0, 0, pic.width, pic.height, pic.rgba));
        engine.Flip();
        if (const char* out = std::getenv("QLM_IMAGE_OUT")) {
            static int shot = 0;
            SavePng(std::string(out) + "/frontend_" + std::to_string(shot++) + ".png", pic.width, pic.height, pic.rgba);
        }
        return pic;
    }

    static void ClickAndSettle(const GUI_BaseElement& element)
    {
        Click(element);
        SettleTransition();
    }
};

} // namespace

TEST_F(GLFrontend, FromTheTitleToTheFightButtonWithTheMouse)
{
    GUI_MainMenu& menu = GUI_MainMenu::GetInstance();
    Picture title = Capture();
    // The game's name glows in the upper part of the title picture, the
    // version text stands in the top right corner and the buttons on the bar.
    EXPECT_GT(title.CountLit(200, 60, title.width - 200, 260, 200), 2000);
    EXPECT_GT(title.CountLit(title.width - 120, 0, title.width, 24, 200), 20);
    const GUI_ButtonText* battle = menu.GetBattleButton();
    EXPECT_GT(title.CountLit(battle->left, battle->top, battle->right, battle->bottom, 180), 30);

    ClickAndSettle(*battle);
    ASSERT_EQ(Game::GetInstance().GetModeId(), 3);
    SettleRows();
    Picture choice = Capture();
    const GRect& list = GUI_ChooseScenario::GetInstance().GetListArea();
    const GUI_Scenario* row = nullptr;
    for (const GUI_Scenario* r : GUI_ChooseScenario::GetInstance().GetRows())
        if (r->GetScenario()->GetName() == "scenario1")
            row = r;
    ASSERT_NE(row, nullptr);
    // The row's name is written in white; a locked row's name is faded.
    EXPECT_GT(choice.CountLit(row->left + 30, row->top, row->right, row->bottom, 230), 40);
    const GUI_Scenario* locked = GUI_ChooseScenario::GetInstance().GetRows()[2];
    ASSERT_FALSE(locked->IsAvailable());
    EXPECT_EQ(choice.CountLit(locked->left + 30, locked->top + 4, locked->right, locked->bottom - 4, 230), 0);
    EXPECT_GT(choice.CountLit(list.left, list.top, list.right, list.bottom, 40), 1000);

    ClickAndSettle(*row);
    GUI_ScenarioDetails* details = GUI_ScenarioDetails::GetOpen();
    ASSERT_NE(details, nullptr);
    for (int i = 0; i < 150; ++i) { // let the picture fade in
        Frames(1);
        SDL_Delay(10);
    }
    Picture withDetails = Capture();
    const GUI_ScrollingScreenshot* shot = details->GetScreenshot();
    EXPECT_GT(withDetails.CountChanged(choice, details->left, details->top, details->right, details->bottom), 20000);
    // The white frame round the picture, and the picture inside it.
    const uint8_t* frame = withDetails.BrightestAround(shot->left, (shot->top + shot->bottom) / 2);
    EXPECT_GT(frame[0] + frame[1] + frame[2], 600);
    EXPECT_GT(withDetails.CountLit(shot->left + 2, shot->top + 2, shot->right - 2, shot->bottom - 2, 60), 500);

    ClickAndSettle(*details->GetFightButton());
    EXPECT_EQ(Game::GetInstance().GetModeId(), 2);
    ASSERT_NE(GUI_ScenarioDetails::GetDeploymentRequest().scenario, nullptr);
    EXPECT_EQ(GUI_ScenarioDetails::GetDeploymentRequest().scenario->GetName(), "scenario1");
}

TEST_F(GLFrontend, AnOptionChangedWithTheMouseIsStillSetAfterARestart)
{
    ClickAndSettle(*GUI_MainMenu::GetInstance().GetOptionsButton());
    ASSERT_EQ(Game::GetInstance().GetModeId(), 7);
    GUI_Options& options = GUI_Options::GetInstance();
    const GUI_CheckButton& box = *options.GetCheckBox(4); // running lights
    const float before = SIM_Options::GetInstance().GetValue("RUNNINGLIGHTS");
    Picture was = Capture();
    ClickAt(box.left + 37, box.top + 21);
    const float after = SIM_Options::GetInstance().GetValue("RUNNINGLIGHTS");
    ASSERT_NE(after, before);
    Picture is = Capture();
    EXPECT_GT(is.CountChanged(was, box.left + 20, box.top + 4, box.left + 54, box.top + 38), 20);
    ClickAndSettle(*options.GetMainMenuButton());
    EXPECT_EQ(Game::GetInstance().GetModeId(), 15);
    // Two whole literals: GCC 12 misreads a string + literal joined here (-Wstringop-overflow).
    const char* saved = after != 0.0f ? "RUNNINGLIGHTS = 1.00" : "RUNNINGLIGHTS = 0.00";
    EXPECT_NE(UserFile("config.txt").find(saved), std::string::npos);

    StopGame();
    StartGame(false, s_user->Path());
    ASSERT_TRUE(s_started);
    SettleTransition();
    EXPECT_EQ(SIM_Options::GetInstance().GetValue("RUNNINGLIGHTS"), after);
    ClickAndSettle(*GUI_MainMenu::GetInstance().GetOptionsButton());
    ASSERT_EQ(Game::GetInstance().GetModeId(), 7);
    EXPECT_EQ(options.GetCheckBox(4)->ticked, after != 0.0f);
    Picture again = Capture();
    EXPECT_LT(again.CountChanged(is, box.left + 20, box.top + 4, box.left + 54, box.top + 38), 5);
}

// The window manager's close (the window's close, then the quit) ends the
// game without leaving the options screen: the volumes dragged there are
// already written, the one let go of and the one still held alike.
TEST_F(GLFrontend, VolumesDraggedOnTheOptionsScreenSurviveTheWindowsClose)
{
    ClickAndSettle(*GUI_MainMenu::GetInstance().GetOptionsButton());
    ASSERT_EQ(Game::GetInstance().GetModeId(), 7);
    GUI_Options& options = GUI_Options::GetInstance();
    auto drag = [](const GUI_OptionsSlider& slider, float to, bool letGo) {
        MoveMouse(static_cast<int>(slider.GetKnobX()), static_cast<int>(slider.GetKnobY()));
        PressLeft(true);
        const GRect track = slider.GetTrack();
        MoveMouse(track.left + static_cast<int>(static_cast<float>(track.right - track.left) * to),
                  static_cast<int>(slider.GetKnobY()));
        if (letGo)
            PressLeft(false);
        Frames(2);
    };
    auto saved = [](const char* name) {
        char line[64];
        std::snprintf(line, sizeof line, "%s = %.2f", name, static_cast<double>(SIM_Options::GetInstance().GetValue(name)));
        return std::string(line);
    };
    const std::string configPath = s_user->Path() + "/config.txt";
    auto config = [&configPath] {
        std::string text;
        ReadWholeFile(configPath, text);
        return text;
    };

    drag(*options.GetSlider(GUI_Options::SLIDER_MUSIC), 0.25f, true);
    const float music = SIM_Options::GetInstance().GetValue("OPTIONS_MUSIC");
    EXPECT_NEAR(music, 0.25f, 0.02f);
    const std::string musicLine = saved("OPTIONS_MUSIC");
    EXPECT_NE(config().find(musicLine), std::string::npos) << config();
    // Held, not let go, when the window closes.
    drag(*options.GetSlider(GUI_Options::SLIDER_SFX), 0.6f, false);
    ASSERT_TRUE(options.GetSlider(GUI_Options::SLIDER_SFX)->IsDraggingKnob());
    const float sfx = SIM_Options::GetInstance().GetValue("OPTIONS_SFX");
    EXPECT_NEAR(sfx, 0.6f, 0.02f);
    const std::string sfxLine = saved("OPTIONS_SFX");

    auto* window = dynamic_cast<SdlWindow*>(Game::GetInstance().GetWindow());
    ASSERT_NE(window, nullptr);
    CloseAsWindowManager(window->GetSdlWindow());
    for (int i = 0; i < 2000 && !Game::GetInstance().IsQuitting(); ++i) {
        Frames(1);
        SDL_Delay(1);
    }
    ASSERT_TRUE(Game::GetInstance().IsQuitting());
    EXPECT_NE(config().find(musicLine), std::string::npos) << config();
    EXPECT_NE(config().find(sfxLine), std::string::npos) << config();

    StopGame();
    StartGame(false, s_user->Path());
    ASSERT_TRUE(s_started);
    EXPECT_NEAR(SIM_Options::GetInstance().GetValue("OPTIONS_MUSIC"), music, 0.006f);
    EXPECT_NEAR(SIM_Options::GetInstance().GetValue("OPTIONS_SFX"), sfx, 0.006f);
}

TEST_F(GLFrontend, TheRaceScreenAndTheShopOpenFromTheMenus)
{
    ClickAndSettle(*GUI_MainMenu::GetInstance().GetBattleButton());
    ClickAndSettle(*GUI_ChooseScenario::GetInstance().GetChangeRaceButton());
    ASSERT_EQ(Game::GetInstance().GetModeId(), 11);
    GUI_RaceSelector* selector = GUI_RaceSelector::GetOpen();
    ASSERT_NE(selector, nullptr);
    Picture races = Capture();
    for (const GUI_RaceDetails* row : selector->GetRows()) {
        // Each race's logo stands in its grey outline on the right of the row.
        const int cx = row->right - 105, cy = (row->top + row->bottom) / 2;
        EXPECT_GT(races.CountLit(cx - 80, cy - 80, cx + 80, cy + 80, 120), 500) << row->GetRace().GetName();
        const uint8_t* outline = races.BrightestAround(cx - 83, cy);
        EXPECT_NEAR(outline[0], 0x80, 8);
        EXPECT_EQ(outline[0], outline[2]); // grey
    }
    PressKey(SDL_SCANCODE_ESCAPE);
    SettleTransition();
    EXPECT_EQ(Game::GetInstance().GetModeId(), 3);
    PressKey(SDL_SCANCODE_ESCAPE);
    SettleTransition();
    ASSERT_EQ(Game::GetInstance().GetModeId(), 15);

    ClickAndSettle(*GUI_MainMenu::GetInstance().GetUnlocksButton());
    ASSERT_EQ(Game::GetInstance().GetModeId(), 10);
    GUI_UnlockWindow* shop = GUI_UnlockWindow::GetOpen();
    ASSERT_NE(shop, nullptr);
    Click(*shop->GetTabButton(GUI_UnlockWindow::TAB_RACES));
    ASSERT_FALSE(shop->GetIcons().empty());
    Picture shopPicture = Capture();
    const GUI_UnlockIcon* icon = shop->GetIcons().front();
    EXPECT_GT(shopPicture.CountLit(icon->left, icon->top, icon->right, icon->bottom, 150), 200);
    ClickAndSettle(*GUI_UnlockShop::GetInstance().GetBackButton());
    EXPECT_EQ(Game::GetInstance().GetModeId(), 15);
}

TEST_F(GLFrontend, TheShopShowsAModulesStatisticsWhenItsIconIsClicked)
{
    ClickAndSettle(*GUI_MainMenu::GetInstance().GetUnlocksButton());
    GUI_UnlockWindow* shop = GUI_UnlockWindow::GetOpen();
    ASSERT_NE(shop, nullptr);
    ASSERT_EQ(shop->GetTab(), GUI_UnlockWindow::TAB_MODULES);
    ASSERT_GE(shop->GetPage().size(), 2u) << "the shipped modules for sale";
    // The module of the page with the most statistics, not the first.
    GUI_UnlockIcon* pick = nullptr;
    size_t most = 0;
    for (GUI_UnlockIcon* icon : shop->GetPage()) {
        const auto* type = static_cast<const SIM_ShipModuleType*>(icon->GetItem().GetOwner());
        if (icon != shop->GetPage().front() && type->GetDataItems().size() > most) {
            most = type->GetDataItems().size();
            pick = icon;
        }
    }
    ASSERT_NE(pick, nullptr);
    const auto* richest = static_cast<const SIM_ShipModuleType*>(pick->GetItem().GetOwner());
    Click(*pick);
    ASSERT_EQ(shop->GetSelected(), pick);
    const std::vector<GUI_DataItem*>& rows = shop->GetDataRows();
    ASSERT_EQ(rows.size(), richest->GetDataItems().size());
    Picture picture = Capture();
    for (const GUI_DataItem* row : rows) {
        // A label on the left of the row and its figure on the right, in white.
        const int mid = (row->left + row->right) / 2;
        EXPECT_GT(picture.CountLit(row->left + 8, row->top - 2, mid, row->bottom + 2, 200), 15) << row->GetLabel();
        EXPECT_GT(picture.CountLit(mid, row->top - 2, row->right - 3, row->bottom + 2, 200), 8) << row->GetValue();
    }
    ClickAndSettle(*GUI_UnlockShop::GetInstance().GetBackButton());
    EXPECT_EQ(GUI_UnlockWindow::GetOpen(), nullptr);
}

// A new player's shop: a Korrath hull cannot be bought before its race, and
// the race not without the points; the line over the disabled button says
// which, in amber, for each.
TEST_F(GLFrontend, TheShopSaysWhyAnItemCannotBeUnlocked)
{
    ClickAndSettle(*GUI_MainMenu::GetInstance().GetUnlocksButton());
    GUI_UnlockWindow* shop = GUI_UnlockWindow::GetOpen();
    ASSERT_NE(shop, nullptr);
    const GRect& details = shop->GetDetailsPanel();
    // Amber pixels of the reason's line, above the button.
    auto amberInReasonLine = [&details](const Picture& picture) {
        int n = 0;
        for (int y = details.bottom - 56; y < details.bottom - 34; ++y)
            for (int x = details.left; x < details.right; ++x) {
                const uint8_t* p = picture.At(x, y);
                n += p[0] > 200 && p[1] > 140 && p[1] < 230 && p[2] < 130;
            }
        return n;
    };
    Click(*shop->GetTabButton(GUI_UnlockWindow::TAB_HULLS));
    const GUI_UnlockIcon* korrathHull = nullptr;
    for (const GUI_UnlockIcon* icon : shop->GetPage())
        if (icon->IsRaceLocked())
            korrathHull = icon;
    ASSERT_NE(korrathHull, nullptr);
    Click(*korrathHull);
    ASSERT_EQ(shop->GetSelected(), korrathHull);
    EXPECT_FALSE(shop->GetUnlockButton()->enabled);
    EXPECT_NE(shop->GetRefusalText().find("Korrath"), std::string::npos) << shop->GetRefusalText();
    EXPECT_GT(amberInReasonLine(Capture()), 60) << "the race comes first";

    Click(*shop->GetTabButton(GUI_UnlockWindow::TAB_RACES));
    ASSERT_FALSE(shop->GetPage().empty());
    ASSERT_TRUE(shop->GetSelected()->GetItem().IsLocked());
    EXPECT_FALSE(shop->GetUnlockButton()->enabled);
    EXPECT_NE(shop->GetRefusalText().find("more points"), std::string::npos) << shop->GetRefusalText();
    EXPECT_GT(amberInReasonLine(Capture()), 60) << "the points fall short";
    ClickAndSettle(*GUI_UnlockShop::GetInstance().GetBackButton());
}

TEST_F(GLFrontend, SupplyLimitsAndTheOfflineHighScoresOpenFromTheDetails)
{
    // A win on easy in scenario1 opens the scenarios that follow it.
    SIM_ScenarioScore* record = SIM_HighScores::GetInstance().GetScenarioRecord("scenario1");
    record->beaten[0] = true;
    ASSERT_TRUE(WriteFileAtomically(Game::GetInstance().GetUserPath(Game::USER) + "/web/qlmcdu", "Admiral"));
    ClickAndSettle(*GUI_MainMenu::GetInstance().GetBattleButton());
    SettleRows();
    const GUI_Scenario* supplyRow = nullptr;
    const GUI_Scenario* survivalRow = nullptr;
    for (const GUI_Scenario* r : GUI_ChooseScenario::GetInstance().GetRows()) {
        if (r->GetScenario()->GetName() == "supply1")
            supplyRow = r;
        if (r->GetScenario()->GetName() == "survival1")
            survivalRow = r;
    }
    ASSERT_TRUE(supplyRow && survivalRow);
    ASSERT_TRUE(supplyRow->IsAvailable());

    Click(*supplyRow);
    ASSERT_NE(GUI_ScenarioDetails::GetOpen(), nullptr);
    Click(*GUI_ScenarioDetails::GetOpen()->GetSupplyLimitsButton());
    GUI_SupplyLimits* list = GUI_SupplyLimits::GetOpen();
    ASSERT_NE(list, nullptr);
    Picture limits = Capture();
    ASSERT_FALSE(list->GetStrips().empty());
    for (const GUI_SupplyLimitStrip* strip : list->GetStrips()) // icon and two lines of text in each
        EXPECT_GT(limits.CountLit(strip->left, strip->top, strip->right, strip->bottom, 200), 100);
    PressKey(SDL_SCANCODE_ESCAPE);
    EXPECT_EQ(GUI_SupplyLimits::GetOpen(), nullptr);

    Click(*survivalRow);
    ASSERT_NE(GUI_ScenarioDetails::GetOpen()->GetHighScoresButton(), nullptr);
    ASSERT_TRUE(GUI_ScenarioDetails::GetOpen()->GetHighScoresButton()->enabled);
    Click(*GUI_ScenarioDetails::GetOpen()->GetHighScoresButton());
    GUI_HighScoreTable* table = GUI_HighScoreTable::GetOpen();
    ASSERT_NE(table, nullptr);
    // No server: the table says so in its first frame.
    EXPECT_EQ(table->GetStatus(), OnlineStatus::NO_SERVER);
    Picture offline = Capture();
    EXPECT_GT(offline.CountLit(table->clientLeft, table->clientTop + 8, table->clientRight - 25, table->clientTop + 30,
                               220),
              150);
    PressKey(SDL_SCANCODE_ESCAPE);
    EXPECT_EQ(GUI_HighScoreTable::GetOpen(), nullptr);
    EXPECT_EQ(Game::GetInstance().GetModeId(), 3);
    record->beaten[0] = false;
}
