#pragma once
// The game started headless with "-editor", and a hull of our own in a
// temporary folder that the editor may rewrite.
#include "editors/GUI_HullEditor.h"
#include "engine/CInput.h"
#include "engine/GSafeFile.h"
#include "frontend/FrontendGame.h"
#include "frontend/GUI_MainMenu.h"
#include "gui/GUI_ButtonText.h"
#include "sim/SIM_ShipHull.h"

#include <memory>

// Written the way the editor writes, so that a save that edits nothing gives
// the same bytes back; width and height differ on purpose.
inline const char* kEditorHullText =
    "// made for the editor tests\n"
    "[config]\n"
    "name = editor_test_hull\n"
    "guiname = HULL_FED_CRUISER\n"
    "classname = cruiser\n"
    "racename = federation\n"
    "sprite = fed_cruiser.dds\n"
    "damagetexture = fed_cruiser_damage.dds\n"
    "hulktexture = fed_cruiser_hulk.dds\n"
    "width = 140\n"
    "height = 100\n"
    "empty =\n"
    "quoted = \"a, b\"\n"
    "\n"
    "[engineglows]\n"
    "0 = 108.00,240.00,14.00,40.00,imperialengineglow.dds,,1,1.00\n"
    "\n"
    "[contrails]\n"
    "0 = 40,200,0,1.0,0.6,500\n"
    "\n"
    "[runninglights]\n"
    "0 = 30.00,128.00,1200.00,6.00,1\n"
    "\n"
    "[targets]\n"
    "0 = 128.00,128.00,1,1,64.00,64.00,128.00,128.00,SHIP_EMMITER_SMALL,(damage_sprite_sparks-128.00-128.00),\n"
    "1 = 100.00,90.00,0,0,\n"
    "\n"
    "[slots]\n"
    "0 = 128.00,40.00,STANDARD,\n"
    "1 = 128.00,128.00,TURRET,(138.00-128.00),\n"
    "\n"
    "[explosions]\n"
    "0 = 1200.00,128.00,128.00,EXP_STARTBREAKUP\n"
    "\n"
    "[hulks]\n"
    "0 = 100,150,300,250,(emit-200-200-hulk_smoke_emmiter),\n"
    "\n"
    "[bonuses]\n"
    "0 = SHIELDBOOST,0.1";

class HullEditorGame : public FrontendGame {
protected:
    static void SetUpTestSuite() { StartEditorGame(true); }

    // Headless, or through the real window and OpenGL.
    static void StartEditorGame(bool headless)
    {
        s_user = new TempDir;
        if (!s_cwd)
            s_cwd = new ScopedChdir(QLM_GAME_DIR);
        if (!headless)
            WriteWindowPrefs(s_user->Path());
        GameStartOptions options;
        options.userDir = s_user->Path();
        options.headless = headless;
        s_headless = headless;
        options.desktopWidth = kWidth;
        options.desktopHeight = kHeight;
        options.seed = 11;
        options.editor = true;
        s_started = Game::GetInstance().Init(options);
    }

    void SetUp() override
    {
        FrontendGame::SetUp();
        m_path = m_folder.Path() + "/editor_test_hull.txt";
        ASSERT_TRUE(WriteFileAtomically(m_path, kEditorHullText));
        m_hull = std::make_unique<SIM_ShipHull>();
        ASSERT_TRUE(m_hull->Read(m_path));
    }

    void TearDown() override
    {
        Game::GetInstance().SetMode(15);
        Frames(1);
        m_hull.reset();
    }

    // The hull editor on our hull, as the main menu's entry opens it.
    void OpenEditor()
    {
        Click(*GUI_MainMenu::GetInstance().GetHullEditorButton());
        for (int i = 0; i < 400 && Game::GetInstance().GetModeId() != 8; ++i)
            Frames(1);
        ASSERT_EQ(Game::GetInstance().GetModeId(), 8);
        SettleTransition();
        ASSERT_TRUE(GUI_HullEditor::GetInstance().SetHull(m_hull.get()));
    }

    // Slot 0 (screen 456, 180) dragged 20 pixels right and down, then saved
    // with the button, as the player does it.
    void MoveFirstSlotAndSave()
    {
        ClickAt(95, 390); // the slots selector
        ASSERT_EQ(GUI_HullEditor::GetInstance().GetSubEditorIndex(), GUI_HullEditor::MODULES);
        MoveMouse(456, 180);
        PressLeft(true);
        MoveMouse(466, 190);
        MoveMouse(476, 200);
        PressLeft(false);
        Frames(1);
        ClickAt(342, 43);
    }

    static std::string WithMovedSlot()
    {
        std::string expected = kEditorHullText;
        const std::string before = "0 = 128.00,40.00,STANDARD,\n";
        expected.replace(expected.find(before), before.size(), "0 = 138.00,50.00,STANDARD,\n");
        return expected;
    }

    std::string FileText() const
    {
        std::string text;
        ReadWholeFile(m_path, text);
        return text;
    }

    TempDir m_folder;
    std::string m_path;
    std::unique_ptr<SIM_ShipHull> m_hull;
};
