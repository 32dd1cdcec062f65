#include "frontend/FrontendGame.h"
#include "frontend/GUI_MenuChrome.h"
#include "frontend/GUI_OptionsSlider.h"
#include "frontend/GUI_SupplyLimitEditor.h"
#include "frontend/GUI_SupplyLimits.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_CheckButton.h"
#include "gui/GUI_ScrollingWindow.h"
#include "gui/GUI_Tooltip.h"
#include "sim/SIM_Scenario.h"
#include "sim/SIM_ShipModuleType.h"

#include <map>

using SupplyLimits = FrontendGame;

TEST(SupplyUsage, ExactlyTheLimitIsFineAndALimitOfZeroAllowsNone)
{
    EXPECT_FALSE(GUI_SupplyLimitStrip::IsOverLimit(4, 4));
    EXPECT_TRUE(GUI_SupplyLimitStrip::IsOverLimit(5, 4));
    EXPECT_FALSE(GUI_SupplyLimitStrip::IsOverLimit(0, 0));
    EXPECT_TRUE(GUI_SupplyLimitStrip::IsOverLimit(1, 0));
    EXPECT_FALSE(GUI_SupplyLimitStrip::IsOverLimit(99, -1));
    EXPECT_FLOAT_EQ(GUI_SupplyLimitStrip::UsageFraction(2, 4), 0.5f);
    EXPECT_FLOAT_EQ(GUI_SupplyLimitStrip::UsageFraction(0, 0), 0.0f);
    EXPECT_GT(GUI_SupplyLimitStrip::UsageFraction(1, 0), 1.0f); // full and red, never NaN
}

TEST_F(SupplyLimits, DeploymentLinesCountTheFleetAgainstEachLimit)
{
    std::map<std::string, int> fleet = {{"cruiser_missile", 2}, {"frigate_missile", 5}, {"cruiser_cloak", 0}};
    GUI_SupplyLimits::SetFleetCounter([&](const std::string& type) { return fleet[type]; });
    SIM_Scenario* scenario = SIM_Scenario::FindByName("supply1");
    ASSERT_NE(scenario, nullptr);
    GUI_SupplyLimits::Open(scenario, GUI_SupplyLimits::MODE_DEPLOYMENT);
    GUI_SupplyLimits* list = GUI_SupplyLimits::GetOpen();
    ASSERT_NE(list, nullptr);
    EXPECT_FALSE(list->IsModal());
    EXPECT_EQ(list->right, kWidth); // against the right edge
    EXPECT_EQ(list->GetColumns(), 1);
    std::map<std::string, const GUI_SupplyLimitStrip*> strips;
    for (const GUI_SupplyLimitStrip* s : list->GetStrips())
        strips[s->GetType().GetName()] = s;
    ASSERT_EQ(strips.size(), 6u);
    // cruiser_missile 2 of 2: fine; frigate_missile 5 of 4: over.
    EXPECT_EQ(strips["cruiser_missile"]->GetLimitText(), "2 units");
    EXPECT_EQ(strips["cruiser_missile"]->GetInUseText(), "2 in use");
    EXPECT_EQ(strips["cruiser_missile"]->GetTooltip()->GetLines().front(), "Your fleet is within this limit");
    EXPECT_EQ(strips["frigate_missile"]->GetTooltip()->GetLines().front(),
              "Your fleet carries more of these than the scenario allows");
    EXPECT_EQ(strips["cruiser_plasma"]->GetLimitText(), "1 unit");
    EXPECT_EQ(strips["cruiser_cloak"]->GetTooltip()->GetLines().front(), "Your fleet is within this limit");
    fleet["cruiser_cloak"] = 1;
    GUI_SupplyLimits::RefreshStrips();
    EXPECT_EQ(strips["cruiser_cloak"]->GetTooltip()->GetLines().front(),
              "Your fleet carries more of these than the scenario allows");
    // A click on a line hands its type to the deployment screen.
    std::string clicked;
    GUI_SupplyLimits::SetStripClickHandler([&](const std::string& type) { clicked = type; });
    const int clicks = GUI_MenuChrome::GetSoundCount(0);
    Click(*strips["frigate_missile"]);
    EXPECT_EQ(clicked, "frigate_missile");
    EXPECT_EQ(GUI_MenuChrome::GetSoundCount(0), clicks + 1);
    GUI_SupplyLimits::SetStripClickHandler(nullptr);
    GUI_SupplyLimits::Close();
    GUI_SupplyLimits::SetFleetCounter(nullptr);
}

TEST_F(SupplyLimits, AScenarioWithoutLimitsOpensAnEmptyList)
{
    GUI_SupplyLimits::Open(SIM_Scenario::FindByName("scenario1"), GUI_SupplyLimits::MODE_SCENARIO);
    GUI_SupplyLimits* list = GUI_SupplyLimits::GetOpen();
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(list->IsModal());
    EXPECT_EQ(list->height, 70);
    EXPECT_EQ(list->width, 620);
    EXPECT_EQ(list->GetScrollBar(), nullptr);
    EXPECT_TRUE(list->GetStrips().empty());
    PressKey(SDL_SCANCODE_ESCAPE);
    EXPECT_EQ(GUI_SupplyLimits::GetOpen(), nullptr);
}

TEST_F(SupplyLimits, TheEditorKeepsLimitsAbove100AndTypesItDoesNotKnow)
{
    SIM_Scenario scenario;
    scenario.SetName("supply_editor_test");
    scenario.SetSupplyLimit("not_a_module_here", 3);
    scenario.SetSupplyLimit("cruiser_missile", 150);
    scenario.SetSupplyLimit("cruiser_laser", 7);
    GUI_SupplyLimitEditor::Open(&scenario);
    GUI_SupplyLimitEditor* editor = GUI_SupplyLimitEditor::GetOpen();
    ASSERT_NE(editor, nullptr);
    ASSERT_EQ(editor->GetRecords().size(), SIM_ShipModuleType::GetList().size());
    Frames(2); // drawing must not pull 150 down to the slider's 100

    // Switch the first listed type to limited (starts at 0), then slide to the end.
    GUI_SupplyLimitEditorStrip* strip = editor->GetStrips().front();
    GUI_SupplyLimitRecord* first = nullptr;
    for (GUI_SupplyLimitRecord& r : editor->GetRecords())
        if (r.limit == -1 && !first)
            first = &r;
    ASSERT_NE(first, nullptr);
    for (GUI_SupplyLimitEditorStrip* s : editor->GetStrips())
        if (s->GetValueText() == "No limit") {
            strip = s;
            break;
        }
    const GRect box = strip->GetModeBox();
    ClickAt((box.left + box.right) / 2, (box.top + box.bottom) / 2);
    EXPECT_EQ(strip->GetValueText(), "0");
    strip->GetSlider()->value = 1.0f;
    Frames(1);
    EXPECT_EQ(strip->GetValueText(), "100");

    editor->Save();
    Frames(1);
    EXPECT_EQ(GUI_SupplyLimitEditor::GetOpen(), nullptr);
    EXPECT_EQ(scenario.GetSupplyLimit("not_a_module_here"), 3);
    EXPECT_EQ(scenario.GetSupplyLimit("cruiser_missile"), 150);
    EXPECT_EQ(scenario.GetSupplyLimit("cruiser_laser"), 7);
    int limited = 0;
    for (const auto& entry : scenario.GetSupplyLimits())
        limited += entry.limit == 100;
    EXPECT_EQ(limited, 1);
    EXPECT_EQ(scenario.GetSupplyLimits().size(), 4u); // unlimited types are not stored
}

TEST_F(SupplyLimits, FiltersThatExcludeEverythingEmptyTheEditor)
{
    SIM_Scenario scenario;
    GUI_SupplyLimitEditor::Open(&scenario);
    GUI_SupplyLimitEditor* editor = GUI_SupplyLimitEditor::GetOpen();
    EXPECT_FALSE(editor->GetStrips().empty());
    for (int size = 0; size < 3; ++size)
        editor->SetFilter(size, false);
    EXPECT_TRUE(editor->GetStrips().empty());
    EXPECT_EQ(editor->GetScrollBar()->maximum, 0);
    // The lowest controls (Save and the Cruiser filter, 10 pixels above the
    // dialog's edge) stand inside the client box, drawn over it.
    const GUI_ButtonText* save = editor->GetSaveButton();
    const GUI_CheckButton* cruiser = editor->GetFilterBox(0);
    ASSERT_TRUE(save && cruiser);
    EXPECT_EQ(save->bottom, editor->bottom - 10);
    EXPECT_EQ(cruiser->bottom, editor->bottom - 10);
    EXPECT_LE(save->bottom, editor->clientBottom);
    EXPECT_LE(cruiser->bottom, editor->clientBottom);
    EXPECT_GE(save->left, editor->clientLeft);
    PressKey(SDL_SCANCODE_ESCAPE);
}
