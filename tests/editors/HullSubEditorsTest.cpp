#include "HullEditorFixture.h"

#include "editors/GUI_DamageEditor.h"
#include "editors/GUI_EngineEditor.h"
#include "editors/GUI_ExplosionEditor.h"
#include "editors/GUI_HulkEditor.h"
#include "editors/GUI_LightEditor.h"
#include "battle/GUI_Map.h"
#include "battle/GUI_ParticleEmmiter.h"
#include "frontend/GUI_OptionsSlider.h"
#include "engine/GDebugLog.h"
#include "platform/KeyCodes.h"

#include <cmath>
#include <tuple>

namespace {
template <class T>
T* Sub(int index)
{
    GUI_HullEditor& editor = GUI_HullEditor::GetInstance();
    editor.SelectSubEditor(index);
    return static_cast<T*>(editor.GetSubEditor(index));
}
template <class T>
std::string Written(const T* editor)
{
    std::string text;
    editor->WriteSection(text);
    return text;
}
} // namespace

TEST_F(HullEditorGame, DamagePoints)
{
    OpenEditor();
    auto* damage = Sub<GUI_DamageEditor>(GUI_HullEditor::DAMAGE);
    damage->ReadValues({"128,128,1,1,64,64,128,128,SHIP_EMMITER_SMALL,(damage_sprite_sparks-128-128)"}, 140.0f, 100.0f);
    EXPECT_EQ(Written(damage), "[targets]\n0 = 128.00,128.00,1,1,64.00,64.00,128.00,128.00,SHIP_EMMITER_SMALL,"
                               "(damage_sprite_sparks-128.00-128.00),\n\n");
    // Rectangle 0.25..0.5 of the view: screen 328..456 on both axes.
    damage->SetMode(GUI_DamageEditor::SELECT);
    damage->OnViewLeftClick(400.0f, 300.0f);
    ASSERT_EQ(damage->GetSelected(), 0);
    damage->CycleType(); // the first press after start gives the small emitter
    EXPECT_EQ(damage->GetPoints()[0].type, "SHIP_EMMITER_SMALL");
    damage->CycleType();
    EXPECT_EQ(damage->GetPoints()[0].type, "SHIP_EMMITER_THIN");
    damage->CycleType();
    EXPECT_FALSE(damage->GetPoints()[0].hasType);

    // A new-damage drag released left of its start adds nothing; one down and
    // right adds a point centred in its rectangle.
    damage->SetMode(GUI_DamageEditor::NEW_DAMAGE);
    damage->OnViewLeftClick(500.0f, 500.0f);
    damage->StepDrag(499.0f, 600.0f, false);
    EXPECT_EQ(damage->GetPoints().size(), 1u);
    damage->OnViewLeftClick(456.0f, 356.0f);
    damage->StepDrag(584.0f, 484.0f, false);
    ASSERT_EQ(damage->GetPoints().size(), 2u);
    EXPECT_FLOAT_EQ(damage->GetPoints()[1].x, 140.0f * 0.125f);
    EXPECT_FLOAT_EQ(damage->GetPoints()[1].y, 100.0f * 0.125f);
    // Deleting the selected point clears the selection.
    EXPECT_TRUE(damage->OnViewRightClick(400.0f, 300.0f));
    EXPECT_EQ(damage->GetSelected(), -1);
    ASSERT_EQ(damage->GetPoints().size(), 1u);
    // Emitters land at the halved pixel offset, both axes scaled by the width.
    damage->SetMode(GUI_DamageEditor::EMITTERS);
    damage->OnViewLeftClick(457.0f, 357.0f);
    ASSERT_EQ(damage->GetPoints()[0].emitters.size(), 1u);
    EXPECT_FLOAT_EQ(damage->GetPoints()[0].emitters[0].x, 0.0f);
}

TEST_F(HullEditorGame, DamageEmittersKeepTheirPlaceThroughEverySave)
{
    OpenEditor();
    auto* damage = Sub<GUI_DamageEditor>(GUI_HullEditor::DAMAGE);
    // No config, then negative places on both axes: the hyphens that separate
    // are never taken for minus signs, and the reverse.
    const std::string line = "0 = 128.00,128.00,0,1,64.00,64.00,128.00,128.00,(-80.00-150.00),"
                             "(damage_sprite_smoke--20.00--30.50),(--5.00-7.00),(s2-0.00-256.00),\n";
    damage->ReadValues({line.substr(4)}, 140.0f, 100.0f);
    ASSERT_EQ(damage->GetPoints().size(), 1u);
    const auto& emitters = damage->GetPoints()[0].emitters;
    ASSERT_EQ(emitters.size(), 4u);
    const float perUnit = 140.0f / 256.0f;
    EXPECT_EQ(emitters[0].config, "");
    EXPECT_FLOAT_EQ(emitters[0].x, (80.0f - 128.0f) * perUnit) << "x 80, not -80";
    EXPECT_FLOAT_EQ(emitters[0].y, (150.0f - 128.0f) * perUnit);
    EXPECT_EQ(emitters[1].config, "damage_sprite_smoke");
    EXPECT_FLOAT_EQ(emitters[1].x, (-20.0f - 128.0f) * perUnit);
    EXPECT_FLOAT_EQ(emitters[1].y, (-30.5f - 128.0f) * perUnit);
    EXPECT_EQ(emitters[2].config, "");
    EXPECT_FLOAT_EQ(emitters[2].x, (-5.0f - 128.0f) * perUnit);
    EXPECT_EQ(emitters[3].config, "s2");
    // Written and read again, twice: the same line each time.
    const std::string once = Written(damage);
    EXPECT_EQ(once, "[targets]\n" + line + "\n");
    damage->ReadValues({once.substr(14, once.size() - 16)}, 140.0f, 100.0f);
    EXPECT_EQ(Written(damage), once);

    // The battle reads the same places from the file.
    std::string config;
    float x = 0.0f, y = 0.0f;
    ASSERT_TRUE(SIM_ShipHull::ParseEmitterField("(-80.00-150.00)", config, x, y));
    EXPECT_EQ(std::make_tuple(config, x, y), std::make_tuple(std::string(), 80.0f, 150.0f));
    ASSERT_TRUE(SIM_ShipHull::ParseEmitterField("(a--1.50--2.00)", config, x, y));
    EXPECT_EQ(std::make_tuple(config, x, y), std::make_tuple(std::string("a"), -1.5f, -2.0f));
    ASSERT_TRUE(SIM_ShipHull::ParseEmitterField("12-34", config, x, y)) << "old files: a place without a config";
    EXPECT_EQ(std::make_tuple(config, x, y), std::make_tuple(std::string(), 12.0f, 34.0f));
    EXPECT_FALSE(SIM_ShipHull::ParseEmitterField("(smoke)", config, x, y));
    EXPECT_FALSE(SIM_ShipHull::ParseEmitterField("(smoke-12)", config, x, y));
    // A turret point's leading hyphen is its minus sign.
    ASSERT_TRUE(SIM_ShipHull::ParsePointField("(-5.00-10.00)", x, y));
    EXPECT_EQ(std::make_pair(x, y), std::make_pair(-5.0f, 10.0f));
    ASSERT_TRUE(SIM_ShipHull::ParsePointField("(5.00--10.00)", x, y));
    EXPECT_EQ(std::make_pair(x, y), std::make_pair(5.0f, -10.0f));
    EXPECT_FALSE(SIM_ShipHull::ParsePointField("(x5-10)", x, y));
}

TEST_F(HullEditorGame, EngineGlows)
{
    OpenEditor();
    auto* engines = Sub<GUI_EngineEditor>(GUI_HullEditor::ENGINES);
    ASSERT_EQ(engines->GetGlows().size(), 1u);
    // Read glows start at type 0 whatever their texture: one press gives type 1.
    engines->OnViewLeftClick(200.0f + 216.0f, 100.0f + 480.0f);
    ASSERT_EQ(engines->GetSelected(), 0);
    engines->ChangeType();
    EXPECT_EQ(engines->GetGlows()[0].texture, "allianceengineglow.dds");
    for (int i = 0; i < 3; ++i)
        engines->ChangeType();
    EXPECT_EQ(Written(engines), "[engineglows]\n0 = 108.00,240.00,14.00,40.00,imperialengineglow.dds,,1,1.00\n\n");
    engines->ChangeType();
    engines->ChangeType();
    EXPECT_EQ(engines->GetGlows()[0].type, 0); // wraps after 5
    // A new glow: half the default 20 in world units, at 250, 250.
    engines->AddGlow();
    EXPECT_EQ(engines->GetSelected(), 1);
    EXPECT_FLOAT_EQ(engines->GetGlows()[1].viewWidth, 10.0f * 512.0f / 140.0f);
    EXPECT_FLOAT_EQ(engines->GetGlows()[1].x, 250.0f);
    EXPECT_TRUE(engines->OnViewRightClick(200.0f + 500.0f, 100.0f + 500.0f));
    EXPECT_EQ(engines->GetSelected(), -1);

    // Any key with the mouse on "New Engine Glow" (the panel's 724 + 0..150,
    // 100 + 10..30) adds a glow, as a click there would; elsewhere a key
    // adds nothing.
    const size_t glows = engines->GetGlows().size();
    MoveMouse(724 + 75, 100 + 20);
    PressKey(SDL_SCANCODE_G);
    EXPECT_EQ(engines->GetGlows().size(), glows + 1);
    PressKey(SDL_SCANCODE_SPACE);
    EXPECT_EQ(engines->GetGlows().size(), glows + 2);
    MoveMouse(724 + 75, 100 + 35); // between the two buttons
    PressKey(SDL_SCANCODE_G);
    EXPECT_EQ(engines->GetGlows().size(), glows + 2);
    // Another sub-editor's panel does not hear it.
    GUI_HullEditor::GetInstance().SelectSubEditor(GUI_HullEditor::LIGHTS);
    MoveMouse(724 + 75, 100 + 20);
    PressKey(SDL_SCANCODE_G);
    EXPECT_EQ(engines->GetGlows().size(), glows + 2);
}

TEST_F(HullEditorGame, RunningLights)
{
    OpenEditor();
    auto* lights = Sub<GUI_LightEditor>(GUI_HullEditor::LIGHTS);
    ASSERT_EQ(lights->GetLights().size(), 1u);
    // A light without an interval shows whole at once, never a division by 0.
    GUI_LightEditor::Light still;
    still.interval = 0.0f;
    EXPECT_EQ(GUI_LightEditor::Pulse(still, 16.0f), 1.0f);
    GUI_LightEditor::Light blink;
    blink.interval = 100.0f;
    EXPECT_FLOAT_EQ(GUI_LightEditor::Pulse(blink, 125.0f), 0.5f); // 125 ms x 0.4 = 50 of 100
    EXPECT_FLOAT_EQ(GUI_LightEditor::Pulse(blink, 125.0f), 1.0f);

    // Light 0 at view (60, 256): select it, the sprite slider at its top gives frame 3.
    lights->OnViewLeftClick(260.0f, 356.0f);
    ASSERT_EQ(lights->GetSelected(), 0);
    lights->GetSlider(2)->value = 1.0f;
    lights->FollowSliders();
    EXPECT_EQ(lights->GetLights()[0].frame, 3);
    lights->StepDrag(0.0f, 0.0f, false);
    // Removing the selected light leaves nothing selected for the sliders.
    lights->OnViewRightClick(260.0f, 356.0f);
    EXPECT_TRUE(lights->GetLights().empty());
    EXPECT_EQ(lights->GetSelected(), -1);
    lights->AddLight();
    EXPECT_EQ(Written(lights), "[runninglights]\n0 = 4.00,4.00,0.00,4.00,0\n\n");
}

TEST_F(HullEditorGame, HulkBoxes)
{
    OpenEditor();
    auto* hulks = Sub<GUI_HulkEditor>(GUI_HullEditor::HULKS);
    // The older four-field emitters read as well.
    hulks->ReadValues({"0,0,256,256,emit,128,128,hulk_smoke", "100,150,300,250,(emit-200-200-hulk_smoke_emmiter),(x-1-2-y)"});
    EXPECT_EQ(Written(hulks), "[hulks]\n0 = 0,0,256,256,(emit-128-128-hulk_smoke),\n"
                              "1 = 100,150,300,250,(emit-200-200-hulk_smoke_emmiter),\n\n");
    hulks->SetMode(GUI_HulkEditor::BOXES);
    hulks->OnViewLeftClick(300.0f, 300.0f);
    hulks->StepDrag(310.0f, 400.0f, false); // 10 wide: too small
    hulks->OnViewLeftClick(300.0f, 300.0f);
    hulks->StepDrag(400.0f, 250.0f, false); // upwards
    EXPECT_EQ(hulks->GetBoxes().size(), 2u);
    hulks->OnViewLeftClick(300.0f, 300.0f);
    hulks->StepDrag(311.0f, 311.0f, false);
    ASSERT_EQ(hulks->GetBoxes().size(), 3u);
    // An emitter where two boxes overlap goes to both.
    hulks->SetMode(GUI_HulkEditor::BLUE_SPARKS);
    hulks->OnViewLeftClick(200.0f + 150.0f, 100.0f + 200.0f);
    EXPECT_EQ(hulks->GetBoxes()[0].emitters.size(), 2u);
    EXPECT_EQ(hulks->GetBoxes()[1].emitters.size(), 2u);
    EXPECT_EQ(hulks->GetBoxes()[1].emitters[1].config, "hulk_emmiter_bluesparks");
    hulks->SetMode(GUI_HulkEditor::BOXES);
    EXPECT_TRUE(hulks->OnViewRightClick(200.0f + 50.0f, 100.0f + 50.0f));
    EXPECT_EQ(hulks->GetBoxes().size(), 2u);
}

TEST_F(HullEditorGame, ExplosionPoints)
{
    OpenEditor();
    auto* explosions = Sub<GUI_ExplosionEditor>(GUI_HullEditor::EXPLOSIONS);
    ASSERT_EQ(explosions->GetPoints().size(), 1u);
    // Pressed on its marker at (456, 356): the first frame does not move it,
    // and past the edge it stops at 0 or 256.
    explosions->OnViewLeftClick(457.0f, 357.0f);
    ASSERT_EQ(explosions->GetSelected(), 0);
    explosions->StepDrag(457.0f, 357.0f, true);
    EXPECT_FLOAT_EQ(explosions->GetPoints()[0].x, 128.0f);
    explosions->StepDrag(900.0f, 0.0f, true);
    EXPECT_FLOAT_EQ(explosions->GetPoints()[0].x, 256.0f);
    EXPECT_FLOAT_EQ(explosions->GetPoints()[0].y, 0.0f);
    explosions->StepDrag(900.0f, 0.0f, false);
    EXPECT_EQ(Written(explosions), "[explosions]\n0 = 1200.00,256.00,0.00,EXP_STARTBREAKUP\n\n");
}

TEST_F(HullEditorGame, DamageEmittersArePreviewedOnTheirMarkers)
{
    OpenEditor();
    auto* damage = Sub<GUI_DamageEditor>(GUI_HullEditor::DAMAGE);
    // An emitter 10 picture units right of the centre: marker at screen (476, 356).
    damage->ReadValues({"128,128,0,0,(exp_small_sparks-138-128)"}, 140.0f, 100.0f);
    const float zoom = ZoomScale;
    Frames(2);
    const GUI_ParticlePreview& preview = damage->GetPreview();
    ASSERT_EQ(preview.Count(), 1u);
    const GUI_ParticleEmmiter* effect = preview.GetEmitter(0);
    ASSERT_NE(effect, nullptr);
    ASSERT_NE(effect->GetConfig(), nullptr);
    const float scale = 512.0f / 140.0f; // the hull scale
    EXPECT_NEAR(effect->x * scale, 476.0f, 0.01f);
    EXPECT_NEAR(effect->y * scale, 356.0f, 0.01f);
    // The sparks start on the marker, drawn at the hull scale.
    bool nearMarker = false;
    for (int i = 0; i <= effect->GetHighestSlot(); ++i) {
        const GUI_Particle& p = effect->GetParticle(i);
        nearMarker = nearMarker || (p.alive && std::abs(p.screenX - 476) < 30 && std::abs(p.screenY - 356) < 30);
    }
    EXPECT_TRUE(nearMarker);
    EXPECT_FLOAT_EQ(ZoomScale, zoom); // the battle's zoom is only borrowed

    // Burnt out, the effect starts again; with the rectangles hidden it stays.
    Frames(120);
    damage->OnEditorKey(KEY_U);
    ASSERT_FALSE(damage->ShowsRectangles());
    Frames(1);
    EXPECT_EQ(preview.Count(), 1u);
    EXPECT_TRUE(preview.GetEmitter(0)->IsActive());
    damage->OnEditorKey(KEY_U);
    // Gone with its emitter.
    damage->GetPoints()[0].emitters.clear();
    Frames(1);
    EXPECT_EQ(preview.Count(), 0u);
}

// Opening the editor and its damage page on the game's own hulls is no
// fault: the editor's default hull that our content lacks falls back in
// silence, and an emitter written without a config (fed_cruiser's "80-150")
// shows only its marker. Nothing goes to errors.txt.
TEST_F(HullEditorGame, TheShippedHullsOpenWithoutErrorLines)
{
    GDebugLog& log = GDebugLog::GetInstance();
    const int errors = log.GetErrorCount();
    const int missing = log.GetRepeatCount("Particle config not found: ");
    // Opened from the main menu, on the hull it picks itself (the test's own
    // hull names a glow picture that is not shipped).
    Click(*GUI_MainMenu::GetInstance().GetHullEditorButton());
    for (int i = 0; i < 400 && Game::GetInstance().GetModeId() != 8; ++i)
        Frames(1);
    ASSERT_EQ(Game::GetInstance().GetModeId(), 8);
    SettleTransition();
    EXPECT_EQ(log.GetErrorCount(), errors) << "opening the editor on its fallback hull";
    SIM_ShipHull* cruiser = SIM_ShipHull::Find("fed_cruiser");
    ASSERT_NE(cruiser, nullptr);
    GUI_HullEditor& editor = GUI_HullEditor::GetInstance();
    ASSERT_TRUE(editor.SetHull(cruiser));
    auto* damage = Sub<GUI_DamageEditor>(GUI_HullEditor::DAMAGE);
    Frames(2);
    size_t named = 0, bare = 0;
    for (const auto& point : damage->GetPoints())
        for (const auto& emitter : point.emitters)
            ++(emitter.config.empty() ? bare : named);
    ASSERT_GT(bare, 0u) << "fed_cruiser has emitters without a config";
    EXPECT_EQ(damage->GetPreview().Count(), named);
    EXPECT_EQ(log.GetRepeatCount("Particle config not found: "), missing);
    EXPECT_EQ(log.GetErrorCount(), errors);
    ASSERT_TRUE(editor.SetHull(m_hull.get()));
}
