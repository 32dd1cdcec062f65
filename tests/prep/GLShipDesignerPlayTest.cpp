// A player's first design through the real window (SDL, OpenGL): main menu,
// Ship designer, another hull, a weapon dragged onto a slot, a typed name and
// a save. The written file holds the module and reads back with the totals
// the designer showed.
#include "app/Game.h"
#include "campaign/gui/GUI_CampaignRefit.h"
#include "engine/APP_UserFolders.h"
#include "engine/D3DEngine.h"
#include "engine/GFileHelpers.h"
#include "engine/GSafeFile.h"
#include "frontend/GUI_MainMenu.h"
#include "gui/GUI_ButtonTab.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_CloseButton.h"
#include "gui/GUI_ConfirmDialog.h"
#include "gui/GUI_Message.h"
#include "gui/GUI_SaveFileDialog.h"
#include "gui/GUI_TextEditWindow.h"
#include "gui/GUI_TutorialWindow.h"
#include "platform/IGraphicsDevice.h"
#include "platform/SdlWindow.h"
#include "prep/GUI_DesignLoader.h"
#include "prep/GUI_HullPicker.h"
#include "prep/GUI_ModulePicker.h"
#include "prep/GUI_ModulePickerIcon.h"
#include "prep/GUI_ShipBlueprint.h"
#include "prep/GUI_ShipDesignGUI.h"
#include "prep/GUI_ShipDesignSummary.h"
#include "prep/GUI_ShipDesignSummaryStrip.h"
#include "prep/GUI_ShipSlot.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_ShipHull.h"
#include "sim/SIM_ShipModuleType.h"
#include "support/ImageCompare.h"
#include "support/NoLessons.h"
#include "support/WindowedGame.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

class GLShipDesignerPlay : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_game = std::make_unique<WindowedGame>(WindowedGameSetup{.seed = 11, .soundChannels = 32});
        ASSERT_TRUE(m_game->Started());
        m_window = dynamic_cast<SdlWindow*>(Game::GetInstance().GetWindow());
        ASSERT_NE(m_window, nullptr);
        Frames(3);
    }
    void TearDown() override { m_game.reset(); }

    void Push(SDL_Event e)
    {
        switch (e.type) {
        case SDL_MOUSEMOTION: e.motion.windowID = SDL_GetWindowID(m_window->GetSdlWindow()); break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: e.button.windowID = SDL_GetWindowID(m_window->GetSdlWindow()); break;
        case SDL_MOUSEWHEEL: e.wheel.windowID = SDL_GetWindowID(m_window->GetSdlWindow()); break;
        default: e.key.windowID = SDL_GetWindowID(m_window->GetSdlWindow()); break;
        }
        ASSERT_EQ(SDL_PushEvent(&e), 1) << SDL_GetError();
    }
    void Frames(int n)
    {
        for (int i = 0; i < n; ++i) {
            m_window->PumpEvents();
            Game::GetInstance().Frame();
        }
    }
    void MoveMouse(int x, int y)
    {
        SDL_Event e{};
        e.type = SDL_MOUSEMOTION;
        e.motion.x = x;
        e.motion.y = y;
        Push(e);
        Frames(1);
    }
    void Button(bool down, int x, int y)
    {
        SDL_Event e{};
        e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
        e.button.button = SDL_BUTTON_LEFT;
        e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
        e.button.clicks = 1;
        e.button.x = x;
        e.button.y = y;
        Push(e);
        Frames(1);
    }
    void Click(int x, int y)
    {
        MoveMouse(x, y);
        Button(true, x, y);
        Button(false, x, y);
    }
    // Presses on a picker icon, moves in steps onto a slot and lets go.
    void DragIconTo(const GUI_ModulePickerIcon& icon, const GUI_ShipSlot& slot)
    {
        const int ix = (icon.left + icon.right) / 2, iy = (icon.top + icon.bottom) / 2;
        const int tx = static_cast<int>(slot.GetCentreX()), ty = static_cast<int>(slot.GetCentreY());
        MoveMouse(ix, iy);
        Button(true, ix, iy);
        ASSERT_NE(GUI_ModulePickerIcon::GetDragged(), nullptr);
        for (int step = 1; step <= 6; ++step)
            MoveMouse(ix + (tx - ix) * step / 6, iy + (ty - iy) * step / 6);
        Button(false, tx, ty);
        Frames(2);
    }
    void ClickOn(const GUI_BaseElement& element) { Click((element.left + element.right) / 2, (element.top + element.bottom) / 2); }
    void Key(SDL_Scancode code)
    {
        SDL_Event e{};
        e.type = SDL_KEYDOWN;
        e.key.keysym.scancode = code;
        e.key.timestamp = ++m_keyTime * 100;
        Push(e);
        e.type = SDL_KEYUP;
        Push(e);
        Frames(1);
    }
    // The text SDL makes of typed keys, all before one frame.
    void Type(const std::string& text)
    {
        for (char c : text) {
            SDL_Event e{};
            e.type = SDL_TEXTINPUT;
            e.text.text[0] = c;
            Push(e);
        }
        Frames(1);
    }
    // Each letter as the player types it: its key down, the text SDL makes
    // of it and its key up, every one of them before one frame.
    void TypeKeys(const std::string& text)
    {
        for (char c : text) {
            SDL_Event e{};
            e.type = SDL_KEYDOWN;
            e.key.keysym.scancode = c == ' ' ? SDL_SCANCODE_SPACE
                                             : static_cast<SDL_Scancode>(SDL_SCANCODE_A + (std::tolower(c) - 'a'));
            e.key.timestamp = ++m_keyTime * 100;
            Push(e);
            SDL_Event t{};
            t.type = SDL_TEXTINPUT;
            t.text.text[0] = c;
            Push(t);
            e.type = SDL_KEYUP;
            Push(e);
        }
        Frames(1);
    }
    // The pixels (RGBA) of a rectangle of a frame drawn without presenting.
    std::vector<uint8_t> ReadFrame(int l, int t, int w, int h)
    {
        D3DEngine& engine = D3DEngine::GetInstance();
        engine.ClearAndBeginScene();
        Game::GetInstance().GetMode()->Render();
        GUI_GameModeBase::DrawInterfaceTail();
        engine.EndScene();
        std::vector<uint8_t> rgba;
        // With QLM_IMAGE_OUT set the whole screen is kept there to be looked at.
        if (const char* out = std::getenv("QLM_IMAGE_OUT")) {
            const int sw = engine.GetScreenWidth(), sh = engine.GetScreenHeight();
            if (engine.GetDevice()->ReadPixels(0, 0, 0, sw, sh, rgba))
                SavePng(std::string(out) + "/designer_" + std::to_string(++m_shots) + ".png", sw, sh, rgba);
        }
        EXPECT_TRUE(engine.GetDevice()->ReadPixels(0, l, t, w, h, rgba));
        engine.Flip();
        return rgba;
    }
    // Pixels of a rectangle whose brightest channel reaches the level.
    int LitPixels(int l, int t, int r, int b, int level)
    {
        const std::vector<uint8_t> rgba = ReadFrame(l, t, r - l, b - t);
        int lit = 0;
        for (size_t i = 0; i + 3 < rgba.size(); i += 4)
            if (std::max({rgba[i], rgba[i + 1], rgba[i + 2]}) >= level)
                ++lit;
        return lit;
    }
    // The colour at a screen point.
    uint32_t Probe(int x, int y)
    {
        const std::vector<uint8_t> rgba = ReadFrame(x, y, 1, 1);
        return rgba.size() >= 4 ? (uint32_t(rgba[0]) << 16 | uint32_t(rgba[1]) << 8 | rgba[2]) : 0;
    }

    std::unique_ptr<WindowedGame> m_game;
    SdlWindow* m_window = nullptr;
    int m_keyTime = 0;
    int m_shots = 0;
};

} // namespace

TEST_F(GLShipDesignerPlay, MenuToSavedDesignWithTheMouseAlone)
{
    Game& game = Game::GetInstance();
    ASSERT_EQ(D3DEngine::GetInstance().GetScreenWidth(), 1024);

    // Main menu: the ship designer.
    ClickOn(*GUI_MainMenu::GetInstance().GetShipDesignButton());
    Frames(2);
    ASSERT_EQ(game.GetModeId(), GUI_ShipDesignGUI::kModeId);
    GUI_ShipDesignGUI& designer = GUI_ShipDesignGUI::GetInstance();
    ASSERT_NE(designer.GetDesign(), nullptr);
    const SIM_ShipHull* startHull = designer.GetDesign()->GetHull();
    const std::string startName = designer.GetDesign()->GetGuiName();

    // Another hull from the hull picker, one with hardpoints.
    GUI_ShipDesignSummary* summary = GUI_ShipDesignSummary::GetOpen();
    ASSERT_NE(summary, nullptr);
    ClickOn(*summary->GetChangeHullButton());
    GUI_HullPicker* picker = GUI_HullPicker::GetOpen();
    ASSERT_NE(picker, nullptr);
    // The picker's lesson stands over it, and its OK puts it away.
    GUI_TutorialWindow* lesson = GUI_TutorialWindow::GetFirst();
    ASSERT_NE(lesson, nullptr);
    EXPECT_EQ(lesson->GetLessonName(), "HULLPICKER");
    ASSERT_NE(lesson->GetOkButton(), nullptr);
    ClickOn(*lesson->GetOkButton());
    Frames(1);
    EXPECT_EQ(GUI_TutorialWindow::GetFirst(), nullptr);
    EXPECT_EQ(GUI_HullPicker::GetOpen(), picker);
    const GUI_HullPicker::Strip* wanted = nullptr;
    for (const GUI_HullPicker::Strip& s : picker->GetStrips()) {
        const SIM_ShipHull* hull = picker->GetHulls()[s.hull];
        if (hull != startHull && hull->CountSlotsOfType(SIM_ShipHull::TURRET) > 0)
            wanted = &s;
    }
    ASSERT_NE(wanted, nullptr);
    const SIM_ShipHull* chosen = picker->GetHulls()[wanted->hull];
    // The picker shows the hull's picture on black beside its figures.
    const uint32_t corner = Probe(picker->right - 30, picker->top + 60);
    EXPECT_LT(corner & 0xFF, 0x30u);
    EXPECT_LT((corner >> 16) & 0xFF, 0x30u);
    Click((wanted->rect.left + wanted->rect.right) / 2, (wanted->rect.top + wanted->rect.bottom) / 2);
    ClickOn(*picker->GetOkButton());
    Frames(2);
    EXPECT_EQ(GUI_HullPicker::GetOpen(), nullptr);
    ASSERT_EQ(designer.GetDesign()->GetHull(), chosen);
    EXPECT_TRUE(designer.GetDesign()->GetModules().empty());
    // A new design: the old one's name is not kept, for the field or the save.
    EXPECT_NE(startName, "");
    EXPECT_EQ(summary->GetNameField()->GetText(), "");
    EXPECT_EQ(designer.GetDesign()->GetGuiName(), "");

    // A weapon from the picker's first tab onto an empty turret slot.
    Frames(15); // the icons grow in
    GUI_ModulePicker* modules = GUI_ModulePicker::GetOpen();
    GUI_ShipBlueprint* blueprint = GUI_ShipBlueprint::GetOpen();
    ASSERT_TRUE(modules && blueprint);
    const GUI_ModulePickerIcon* icon = nullptr;
    for (const GUI_ModulePickerIcon* i : modules->GetIcons()) {
        if (!i->IsLocked() && i->IsTurret()) {
            icon = i;
            break;
        }
    }
    ASSERT_NE(icon, nullptr);
    SIM_ShipModuleType* weapon = icon->GetModuleType();
    const GUI_ShipSlot* target = nullptr;
    for (const GUI_ShipSlot* slot : blueprint->GetSlots())
        if (slot->IsTurretSlot() && !slot->GetModule())
            target = slot;
    ASSERT_NE(target, nullptr);
    const int targetIndex = target->GetIndex(); // the save rebuilds the slots
    const int tx = static_cast<int>(target->GetCentreX());
    const int ty = static_cast<int>(target->GetCentreY());
    const uint32_t emptySlotPixel = Probe(tx, ty);

    DragIconTo(*icon, *target);
    EXPECT_EQ(GUI_ModulePickerIcon::GetDragged(), nullptr);
    ASSERT_EQ(target->GetModule(), weapon);
    EXPECT_EQ(designer.GetDesign()->GetModuleInSlot(target->GetIndex()), weapon);
    EXPECT_NE(Probe(tx, ty), emptySlotPixel) << "the fitted icon shows on the slot";

    // The weapon needs crew and power: the player adds what the red bars ask
    // for from the Other tab until the save button lights up.
    ClickOn(*modules->GetTab(GUI_ModulePicker::OTHER));
    Frames(15);
    for (int guard = 0; guard < 8 && !summary->GetSaveButton()->enabled; ++guard) {
        const SIM_ShipDesign& d = *designer.GetDesign();
        const char* needed = d.GetCrewRequired() > d.GetCrewSupply() ? "SIM_CrewModule" : "SIM_PowerModule";
        const GUI_ModulePickerIcon* supply = nullptr;
        for (const GUI_ModulePickerIcon* i : modules->GetIcons())
            if (!i->IsLocked() && i->GetModuleType()->GetClassName() == needed)
                supply = i;
        const GUI_ShipSlot* free = nullptr;
        for (const GUI_ShipSlot* slot : blueprint->GetSlots())
            if (!slot->GetModule() && !slot->IsTurretSlot())
                free = slot;
        ASSERT_TRUE(supply && free) << needed;
        DragIconTo(*supply, *free);
        ASSERT_EQ(free->GetModule(), supply->GetModuleType());
    }
    ASSERT_TRUE(summary->GetSaveButton()->enabled);
    EXPECT_EQ(designer.GetDesign()->GetModuleInSlot(target->GetIndex()), weapon);

    // A name typed into the name field, replacing the old one.
    GUI_TextEditWindow* name = summary->GetNameField();
    Click(name->right - 3, (name->top + name->bottom) / 2);
    Key(SDL_SCANCODE_END);
    for (size_t i = name->GetText().size() + 2; i > 0; --i)
        Key(SDL_SCANCODE_BACKSPACE);
    Type("Hawk");
    EXPECT_EQ(name->GetText(), "Hawk");

    // Save: the empty slots are only a question, then the file dialog.
    ClickOn(*summary->GetSaveButton());
    if (GUI_ConfirmDialog* question = GUI_ConfirmDialog::GetOpen())
        ClickOn(*question->GetYesButton());
    GUI_SaveFileDialog* save = GUI_SaveFileDialog::GetOpen();
    ASSERT_NE(save, nullptr);
    EXPECT_EQ(save->GetTextField()->GetText(), "Hawk");
    ClickOn(*save->GetSaveButton());
    Frames(2);

    const std::string file = APP_UserFolders::GetInstance().Get(APP_UserFolders::SHIPS) + "/hawk.txt";
    ASSERT_TRUE(FileExists(file));
    EXPECT_NE(m_game->User().Read("ships/hawk.txt").find(weapon->GetName()), std::string::npos);
    EXPECT_FALSE(designer.IsModified());

    // Read back: the same totals the summary shows.
    std::unique_ptr<SIM_ShipDesign> back = SIM_ShipDesign::ReadWorkingCopy(file);
    ASSERT_EQ(back->GetHull(), chosen);
    EXPECT_EQ(back->GetModuleInSlot(targetIndex), weapon);
    const SIM_ShipDesign& shown = *designer.GetDesign();
    EXPECT_FLOAT_EQ(back->GetCost(), shown.GetCost());
    EXPECT_FLOAT_EQ(back->GetPowerConsumed(), shown.GetPowerConsumed());
    EXPECT_FLOAT_EQ(back->GetPowerProduced(), shown.GetPowerProduced());
    EXPECT_EQ(back->GetCrewRequired(), shown.GetCrewRequired());
    char cost[32];
    std::snprintf(cost, sizeof cost, "%.2f", static_cast<double>(back->GetCost()));
    EXPECT_EQ(GUI_ShipDesignSummary::GetOpen()->GetStrip(GUI_ShipDesignSummary::COST)->value, cost);

    // And through the loader: the saved design is listed, ours to delete, and
    // opening it shows the same totals.
    ClickOn(*GUI_ShipDesignSummary::GetOpen()->GetLoadButton());
    GUI_DesignLoader* loader = GUI_DesignLoader::GetOpen();
    ASSERT_NE(loader, nullptr);
    const GUI_DesignLoader::Row* row = nullptr;
    for (const GUI_DesignLoader::Row& r : loader->GetRows())
        if (r.design->GetFileName() == file)
            row = &r;
    ASSERT_NE(row, nullptr);
    // Our own files come after the samples: the wheel brings it into view.
    MoveMouse((loader->left + loader->right) / 2, (loader->top + loader->bottom) / 2);
    for (int notch = 0; notch < 40 && !row->placed; ++notch) {
        SDL_Event e{};
        e.type = SDL_MOUSEWHEEL;
        e.wheel.y = -1;
        Push(e);
        Frames(1);
    }
    ASSERT_TRUE(row->placed);
    EXPECT_NE(row->deleteButton, nullptr);
    const uint32_t rowPixel = Probe(row->rect.left + 150, (row->rect.top + row->rect.bottom) / 2);
    Click(row->rect.left + 150, (row->rect.top + row->rect.bottom) / 2);
    EXPECT_NE(Probe(row->rect.left + 150, (row->rect.top + row->rect.bottom) / 2), rowPixel) << "selected rows light up";
    ClickOn(*loader->GetOpenButton());
    Frames(2);
    EXPECT_EQ(GUI_DesignLoader::GetOpen(), nullptr);
    EXPECT_EQ(designer.GetDesign()->GetFileName(), file);
    EXPECT_FLOAT_EQ(designer.GetDesign()->GetCost(), back->GetCost());
    EXPECT_FALSE(designer.IsModified());
}

// The save dialog as a fast typist meets it: a name typed faster than the
// frames come arrives whole, a name longer than the field stays on the
// field's line, typing goes on after the refusal's message, and Enter saves.
TEST_F(GLShipDesignerPlay, TheSaveDialogTakesEveryKeyKeepsOneLineAndSavesOnEnter)
{
    DropAllLessons();
    ClickOn(*GUI_MainMenu::GetInstance().GetShipDesignButton());
    Frames(2);
    GUI_ShipDesignGUI& designer = GUI_ShipDesignGUI::GetInstance();
    ASSERT_EQ(Game::GetInstance().GetModeId(), GUI_ShipDesignGUI::kModeId);
    designer.SetModified(true);
    GUI_ShipDesignSummary::OpenSaveDesignDialog();
    Frames(1);
    GUI_SaveFileDialog* save = GUI_SaveFileDialog::GetOpen();
    ASSERT_NE(save, nullptr);
    GUI_TextEditWindow* field = save->GetTextField();
    for (size_t i = field->GetText().size(); i > 0; --i) {
        SDL_Event e{};
        e.type = SDL_KEYDOWN;
        e.key.keysym.scancode = SDL_SCANCODE_BACKSPACE;
        Push(e);
        e.type = SDL_KEYUP;
        Push(e);
    }
    Frames(1);
    ASSERT_EQ(field->GetText(), "");
    // Below the field, inside the dialog: what is lit there with a short name.
    const int below = LitPixels(field->left + 8, field->bottom + 1, field->right, save->bottom - 2, 200);

    // 42 letters, 126 events in one frame.
    const std::string name = "federation patrol frigate of the outer rim";
    TypeKeys(name);
    ASSERT_EQ(field->GetText(), name);
    EXPECT_EQ(LitPixels(field->left + 8, field->bottom + 1, field->right, save->bottom - 2, 200), below)
        << "no second line under the field";
    EXPECT_GT(LitPixels(field->left + 8, field->top, field->right - 8, field->bottom, 200), 0) << "the name shows";

    // A shipped design's name is refused; once its message is closed with
    // the mouse, what is typed goes on into the name.
    for (size_t i = field->GetText().size(); i > 0; --i)
        Key(SDL_SCANCODE_BACKSPACE);
    TypeKeys("Federation Line Cruiser");
    ClickOn(*save->GetSaveButton());
    ASSERT_NE(GUI_Message::GetOpen(), nullptr);
    ClickOn(*GUI_Message::GetOpen()->GetCloseButton());
    Frames(1);
    ASSERT_EQ(GUI_Message::GetOpen(), nullptr);
    TypeKeys(" Two");
    EXPECT_EQ(field->GetText(), "Federation Line Cruiser Two");
    Key(SDL_SCANCODE_RETURN);
    Frames(2);
    EXPECT_EQ(GUI_SaveFileDialog::GetOpen(), nullptr);
    EXPECT_TRUE(FileExists(APP_UserFolders::GetInstance().Get(APP_UserFolders::SHIPS) + "/federation line cruiser two.txt"));
    EXPECT_FALSE(designer.IsModified());
}

namespace {

// A design a saved campaign builds from, saved by the mouse through the real
// window: the refit offers the first version no design and no saved ship
// has, whatever unreadable file lies among the saves, and its OK writes it.
TEST_F(GLShipDesignerPlay, ADesignACampaignBuildsFromIsSavedAsTheVersionTheRefitProposes)
{
    const std::string campaigns = APP_UserFolders::GetInstance().Get(APP_UserFolders::CAMPAIGN_PROGRESS);
    std::filesystem::create_directories(campaigns + "/held/fleets");
    ASSERT_TRUE(WriteFileAtomically(campaigns + "/held/fleets/fleet1.txt",
                                    "[ship0]\ndesign = raptor\n[ship1]\ndesign = raptor_mk1\n"));
    std::filesystem::create_symlink(campaigns + "/held/gone.txt", campaigns + "/held/fleets/fleet2.txt");

    ClickOn(*GUI_MainMenu::GetInstance().GetShipDesignButton());
    Frames(2);
    GUI_ShipDesignGUI& designer = GUI_ShipDesignGUI::GetInstance();
    ASSERT_EQ(Game::GetInstance().GetModeId(), GUI_ShipDesignGUI::kModeId);
    // The designer's lessons read and put away.
    for (int guard = 0; guard < 5 && GUI_TutorialWindow::GetFirst(); ++guard) {
        ASSERT_NE(GUI_TutorialWindow::GetFirst()->GetOkButton(), nullptr);
        ClickOn(*GUI_TutorialWindow::GetFirst()->GetOkButton());
        Frames(1);
    }
    // The player's work: a whole design on the blueprint.
    designer.LoadDesign(SIM_ShipDesign::Find("fed_sample_frigate"));
    Frames(2);
    GUI_ShipDesignSummary* summary = GUI_ShipDesignSummary::GetOpen();
    ASSERT_NE(summary, nullptr);
    ASSERT_TRUE(summary->GetSaveButton()->enabled);

    ClickOn(*summary->GetSaveButton());
    if (GUI_ConfirmDialog* question = GUI_ConfirmDialog::GetOpen())
        ClickOn(*question->GetYesButton());
    GUI_SaveFileDialog* save = GUI_SaveFileDialog::GetOpen();
    ASSERT_NE(save, nullptr);
    GUI_TextEditWindow* field = save->GetTextField();
    Click(field->right - 3, (field->top + field->bottom) / 2);
    Key(SDL_SCANCODE_END);
    for (size_t i = field->GetText().size() + 2; i > 0; --i)
        Key(SDL_SCANCODE_BACKSPACE);
    Type("Raptor");
    ASSERT_EQ(field->GetText(), "Raptor");
    const int cx = D3DEngine::GetInstance().GetScreenWidth() / 2;
    const int cy = D3DEngine::GetInstance().GetScreenHeight() / 2 - 40;
    ClickOn(*save->GetSaveButton());
    Frames(2);

    GUI_CampaignRefit* refit = GUI_CampaignRefit::GetOpen();
    ASSERT_NE(refit, nullptr) << "the campaign's design is not written over";
    // Designs as the player named them, not their files.
    EXPECT_EQ(refit->GetNewName(), "Raptor_MK2");
    EXPECT_NE(refit->GetMessage().find("built from Raptor,"), std::string::npos) << refit->GetMessage();
    EXPECT_NE(refit->GetMessage().find("Raptor_MK2"), std::string::npos) << refit->GetMessage();
    EXPECT_EQ(refit->GetMessage().find("raptor"), std::string::npos) << refit->GetMessage();
    // The dialog stands in the middle of the screen, its text lit on the panel.
    ASSERT_TRUE(refit->left < cx && cx < refit->right && refit->top < cy && cy < refit->bottom);
    int lit = 0;
    for (int x = refit->clientLeft + 10; x < refit->clientRight - 10; x += 3) {
        const uint32_t c = Probe(x, refit->clientTop + 18);
        lit += ((c >> 16) & 0xFF) > 0xA0 && ((c >> 8) & 0xFF) > 0xA0 && (c & 0xFF) > 0xA0;
    }
    EXPECT_GT(lit, 5) << "no message drawn";
    ClickOn(*refit->GetOkButton());
    Frames(2);
    EXPECT_EQ(GUI_CampaignRefit::GetOpen(), nullptr);
    EXPECT_TRUE(FileExists(APP_UserFolders::GetInstance().Get(APP_UserFolders::SHIPS) + "/raptor_mk2.txt"));
    EXPECT_FALSE(FileExists(APP_UserFolders::GetInstance().Get(APP_UserFolders::SHIPS) + "/raptor.txt"));
    EXPECT_EQ(designer.GetDesign()->GetName(), "raptor_mk2");
    EXPECT_EQ(designer.GetDesign()->GetGuiName(), "Raptor_MK2");
    EXPECT_EQ(summary->GetNameField()->GetText(), "Raptor_MK2");
    const SIM_ShipDesign* saved =
        SIM_ShipDesign::FindByFileName(APP_UserFolders::GetInstance().Get(APP_UserFolders::SHIPS) + "/raptor_mk2.txt");
    ASSERT_NE(saved, nullptr);
    EXPECT_EQ(saved->GetGuiName(), "Raptor_MK2") << "the shipyard and the load list show it so";
    EXPECT_FALSE(designer.IsModified());
}

} // namespace
