// The designer on a tall screen (1280 x 1024): a layout area 908 high,
// centred, with the design stats as a fixed panel under the module details.
#include "prep/DesignerTestGame.h"

#include "prep/GUI_DesignStats.h"
#include "prep/GUI_ModuleDetails.h"
#include "prep/GUI_ShipDesignSummary.h"
#include "prep/GUI_ShipDesignSummaryStrip.h"
#include "gui/GUI_ScrollingWindow.h"
#include "sim/SIM_ShipDesign.h"

TEST(ShipDesignerTall, ScreensFrom1024PixelsHighShowTheStatsPanelFixed)
{
    DesignerTestGame game(1280, 1024);
    ASSERT_TRUE(game.started);
    game.OpenOnHull("fed_cruiser");
    GUI_ShipDesignGUI& designer = GUI_ShipDesignGUI::GetInstance();
    EXPECT_TRUE(designer.IsTallScreen());
    EXPECT_EQ(designer.GetOriginX(), 128.0f);
    EXPECT_EQ(designer.GetOriginY(), 58.0f); // 512 - 908 / 2
    const GUI_ShipBlueprint& blueprint = *GUI_ShipBlueprint::GetOpen();
    EXPECT_EQ(blueprint.left, 568);
    EXPECT_EQ(blueprint.top, 58 + 206);
    EXPECT_EQ(blueprint.bottom, 58 + 768);
    EXPECT_EQ(blueprint.GetStatsButton(), nullptr);

    GUI_DesignStats* stats = GUI_DesignStats::GetOpen();
    ASSERT_NE(stats, nullptr);
    EXPECT_FALSE(stats->IsModal());
    const GUI_ModuleDetails& details = *GUI_ModuleDetails::GetOpen();
    EXPECT_EQ(stats->left, details.left);
    EXPECT_EQ(stats->top, details.bottom);
    EXPECT_EQ(stats->right, blueprint.right);
    EXPECT_EQ(stats->height, GUI_DesignStats::kFixedHeight);
    EXPECT_LE(stats->bottom, 1024 - 45);

    // The figures follow the design: armour after a plate is fitted, no shield.
    EXPECT_EQ(stats->GetStrip(GUI_DesignStats::SHIELD)->value, "0.00");
    game.DropOnSlot("cruiser_armour", 0);
    char armour[32];
    std::snprintf(armour, sizeof armour, "%.2f",
                  static_cast<double>(designer.GetDesign()->GetTotalArmour()));
    EXPECT_NE(designer.GetDesign()->GetTotalArmour(), 0.0f);
    EXPECT_EQ(stats->GetStrip(GUI_DesignStats::ARMOUR)->value, armour);
    EXPECT_EQ(stats->GetStrip(GUI_DesignStats::RESIST)->value, "0.00");
    // Up to three bonus lines show without a scroll bar.
    const size_t bonuses = designer.GetDesign()->GetHull()->GetBonuses().size();
    EXPECT_EQ(stats->GetBonusTexts().size(), bonuses);
    EXPECT_EQ(stats->GetScroller()->visible, bonuses > 3);
    EXPECT_EQ(stats->GetScroller()->maximum, std::max(0, static_cast<int>(bonuses) - 3));
    Game::GetInstance().SetMode(15);
    EXPECT_EQ(GUI_DesignStats::GetOpen(), nullptr);
}
