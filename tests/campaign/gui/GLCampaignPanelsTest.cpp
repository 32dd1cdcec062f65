// The campaign's looks through the real window: every dialog stands on the
// dialogs' panel under scan lines, the after-battle sentence from the left;
// and the map's glyph blocks type behind what the player reads and clicks.
#include "CampaignBattleRoad.h"
#include "CampaignTestFleet.h"
#include "CampaignWindowRoad.h"

#include "campaign/gui/GUI_CampaignBattleManager.h"
#include "campaign/gui/GUI_CampaignCaptureManager.h"
#include "campaign/gui/GUI_CampaignControlPanelBttm.h"
#include "campaign/gui/GUI_CampaignControlPanelTop.h"
#include "campaign/gui/GUI_CampaignDefeat.h"
#include "campaign/gui/GUI_CampaignDeployment.h"
#include "campaign/gui/GUI_CampaignDeploymentPicker.h"
#include "campaign/gui/GUI_CampaignFleetDetails.h"
#include "campaign/gui/GUI_CampaignLoader.h"
#include "campaign/gui/GUI_CampaignPostMortem.h"
#include "campaign/gui/GUI_CampaignRefit.h"
#include "campaign/gui/GUI_CampaignRepairBlueprint.h"
#include "campaign/gui/GUI_CampaignRepairList.h"
#include "campaign/gui/GUI_CampaignRepairs.h"
#include "campaign/gui/GUI_CampaignSquadronSize.h"
#include "campaign/gui/GUI_CampaignVictory.h"
#include "campaign/gui/GUI_ConquestDetails.h"
#include "campaign/gui/GUI_EncounterDetails.h"
#include "campaign/gui/GUI_EndTurn.h"
#include "campaign/gui/GUI_EndTurnLog.h"
#include "campaign/gui/GUI_EndTurnSummary.h"
#include "campaign/gui/GUI_FleetRename.h"
#include "campaign/gui/GUI_PendingBattle.h"
#include "campaign/gui/GUI_ScrapShip.h"
#include "campaign/gui/GUI_ShipsLog.h"
#include "campaign/gui/GUI_Shipyard.h"
#include "campaign/gui/GUI_ShipyardQuantity.h"
#include "campaign/sim/GUI_DamageDescGenerator.h"
#include "campaign/sim/SIM_Campaign.h"
#include "campaign/sim/SIM_CampaignBattleManager.h"
#include "campaign/sim/SIM_CampaignBattleOutcome.h"
#include "campaign/sim/SIM_CampaignCaptureManager.h"
#include "campaign/sim/SIM_CampaignFleet.h"
#include "campaign/sim/SIM_CampaignShip.h"
#include "campaign/sim/SIM_CampaignShipsLog.h"
#include "frontend/GUI_MainMenu.h"
#include "gui/GUI_LCARS_TextBlock.h"
#include "gui/GUI_WindowManager.h"
#include "platform/IClock.h"
#include "sim/SIM_ShipDesign.h"
#include "support/PanelPixels.h"
#include "support/WindowInput.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {

GRect ClientOf(const GUI_Dialog& dialog)
{
    return GRect{dialog.clientLeft, dialog.clientTop, dialog.clientRight, dialog.clientBottom};
}

// Where something runs down the panel's right side (a scroll bar), its left
// side alone shows the edge.
enum class Edges { BOTH, LEFT };

// The area shows the panel's edge and its scan lines.
void ExpectPanelIn(const TextureData& picture, const GRect& area, const std::string& name, Edges edges = Edges::BOTH)
{
    const PanelReading panel = ReadPanel(picture, area);
    EXPECT_GT(edges == Edges::BOTH ? panel.edge : panel.leftEdge, kPanelEdge) << name;
    EXPECT_GT(panel.lines, kScanLines) << name;
}

int GreenBlue(const TextureData& picture, int x, int y)
{
    int r = 0, g = 0, b = 0;
    PixelAt(picture, x, y, r, g, b);
    return g + b;
}

int Median(std::vector<int> values)
{
    std::nth_element(values.begin(), values.begin() + static_cast<long>(values.size() / 2), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// A panel drawn with its corners cut to 8 pixels squeezes its edge line away:
// it shows as the panel's dark fill against the lighter ground of the dialog
// beside it, under its scan lines.
void ExpectNarrowPanelIn(const TextureData& picture, const GRect& area, const std::string& name)
{
    std::vector<int> fill, ground;
    for (int y = area.top + 2; y < area.bottom - 2; ++y) {
        for (int x = area.left + 2; x < area.left + 8; ++x)
            fill.push_back(GreenBlue(picture, x, y));
        for (int x = area.left - 5; x < area.left - 1; ++x)
            ground.push_back(GreenBlue(picture, x, y));
    }
    EXPECT_GT(Median(ground) - Median(fill), 8) << name;
    EXPECT_GT(ReadPanel(picture, area).lines, kScanLines) << name;
}

TextureData Shot(const std::string& userDir)
{
    RunGameFrames(2);
    TextureData picture = Screenshot(userDir);
    EXPECT_GT(picture.width, 0);
    return picture;
}

// The dialog's client area shows the panel's edge and its scan lines.
void ExpectPanel(const std::string& userDir, const GUI_Dialog& dialog, const char* name)
{
    const TextureData picture = Shot(userDir);
    ASSERT_GT(picture.width, 0);
    ExpectPanelIn(picture, ClientOf(dialog), name);
}

template <typename T>
GRect RectOf(const T& element)
{
    return GRect{element.left, element.top, element.right, element.bottom};
}

// The first column and row where the sentence's white shows in the box.
void FirstWhite(const TextureData& picture, const GRect& box, int& column, int& row)
{
    column = row = -1;
    for (int y = box.top; y < box.bottom; ++y)
        for (int x = box.left; x < box.right; ++x) {
            int r = 0, g = 0, b = 0;
            PixelAt(picture, x, y, r, g, b);
            if (r > 200 && g > 200 && b > 200) {
                column = column < 0 ? x : std::min(column, x);
                row = row < 0 ? y : row;
            }
        }
}

// Pixels of the rectangle that the glyphs' faint green brightened: the
// green rose, and more than the red and blue did.
int GreenedPixels(const TextureData& with, const TextureData& without, const GRect& box)
{
    int greened = 0;
    for (int y = std::max(0, box.top); y < std::min(with.height, box.bottom); ++y)
        for (int x = std::max(0, box.left); x < std::min(with.width, box.right); ++x) {
            int r1 = 0, g1 = 0, b1 = 0, r0 = 0, g0 = 0, b0 = 0;
            PixelAt(with, x, y, r1, g1, b1);
            PixelAt(without, x, y, r0, g0, b0);
            const int dg = g1 - g0;
            greened += dg >= 8 && dg >= r1 - r0 + 5 && dg >= b1 - b0 + 5;
        }
    return greened;
}

// Where a block's glyphs can stand: centres from its origin on a 10-pixel
// pitch, each 4 pixels to a side.
GRect GlyphExtent(const GUI_LCARS_TextBlock& block)
{
    return GRect{block.left - 4, block.top - 4,
                 block.left + GUI_LCARS_TextBlock::kPitch * (GUI_CampaignMap::kGlyphBlockColumns - 1) + 5,
                 block.top + GUI_LCARS_TextBlock::kPitch * (GUI_LCARS_TextBlock::kLines - 1) + 5};
}

bool Overlap(const GRect& a, const GUI_BaseElement& b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

} // namespace

TEST(GLCampaignPanels, EveryDialogStandsOnThePanelUnderScanLines)
{
    CampaignWindowGame play(21);
    ASSERT_TRUE(play.Started());
    // The title's Campaign button: the loader, with no campaign saved yet.
    ClickCentre(GUI_MainMenu::GetInstance().GetCampaignButton());
    ASSERT_NE(GUI_CampaignLoader::GetOpen(), nullptr);
    ASSERT_TRUE(GUI_CampaignLoader::GetOpen()->GetStrips().empty());
    ExpectPanel(play.UserDir(), *GUI_CampaignLoader::GetOpen(), "loader");
    GUI_CampaignLoader::Close();
    ASSERT_NO_FATAL_FAILURE(OpenNewCampaign("panels"));
    SIM_CampaignEncounter* home = GUI_CampaignMap::Get()->GetCampaign()->GetHomeworldEncounter();
    ASSERT_NE(home, nullptr);
    SIM_CampaignFleet* fleet = MakeTestFleet(home);
    RunGameFrames(2);

    new GUI_CampaignRefit("raider", "raider_mk1");
    ASSERT_NE(GUI_CampaignRefit::GetOpen(), nullptr);
    ExpectPanel(play.UserDir(), *GUI_CampaignRefit::GetOpen(), "refit");
    GUI_CampaignRefit::CloseOpen();

    ShowEncounterDetails(home);
    ASSERT_NE(GUI_EncounterDetails::GetOpen(), nullptr);
    ExpectPanel(play.UserDir(), *GUI_EncounterDetails::GetOpen(), "planet");
    CloseEncounterDetails();

    ASSERT_NE(GUI_FleetRename::Open(fleet), nullptr);
    ExpectPanel(play.UserDir(), *GUI_FleetRename::GetOpen(), "fleet rename");
    GUI_FleetRename::CloseOpen();
    ASSERT_FALSE(fleet->GetShips().empty());
    ASSERT_NE(GUI_FleetRename::OpenForShip(fleet->GetShips().front()), nullptr);
    ExpectPanel(play.UserDir(), *GUI_FleetRename::GetOpen(), "ship rename");
    GUI_FleetRename::CloseOpen();

    ASSERT_NE(GUI_ScrapShip::Open(fleet->GetShips().front()), nullptr);
    ExpectPanel(play.UserDir(), *GUI_ScrapShip::GetOpen(), "scrap");
    GUI_ScrapShip::CloseOpen();

    // After a battle: the survival report's look, its short sentence from
    // the left at the dialog's left + 20 and top + 50, not centred.
    new GUI_CampaignPostMortem(GUI_CampaignPostMortem::WON, SIM_PendingBattle::PLAYER_ATTACK, "Vega");
    GUI_CampaignPostMortem* report = GUI_CampaignPostMortem::GetOpen();
    ASSERT_NE(report, nullptr);
    ASSERT_LT(report->GetText().size(), 30u) << report->GetText();
    ExpectPanel(play.UserDir(), *report, "after battle");
    const TextureData picture = Screenshot(play.UserDir());
    int column = -1, row = -1;
    FirstWhite(picture, GRect{report->left + 8, report->clientTop + 1, report->right - 8, report->bottom - 42},
               column, row);
    EXPECT_GE(column, report->left + 20);
    EXPECT_LE(column, report->left + 23);
    EXPECT_GE(row, report->top + GUI_CampaignPostMortem::kTextTop);
    EXPECT_LE(row, report->top + GUI_CampaignPostMortem::kTextTop + 5);
    GUI_CampaignPostMortem::CloseOpen();
    RunGameFrames(2);

    // The fleet's window: its one ship's tile in the top left corner.
    ASSERT_NE(GUI_CampaignFleetDetails::ShowForFleet(fleet), nullptr);
    ExpectPanel(play.UserDir(), *GUI_CampaignFleetDetails::FindForFleet(fleet), "fleet details");
    GUI_CampaignFleetDetails::CloseAll();

    // The ship's log with two entries: a row each.
    SIM_CampaignShip* ship = fleet->GetShips().front();
    ship->log->AddConstructionEntry(home);
    ship->log->AddRepairEntry(120.0f, 1.0f);
    ASSERT_NE(GUI_ShipsLog::Open(ship), nullptr);
    ExpectPanel(play.UserDir(), *GUI_ShipsLog::GetOpen(), "ship's log");
    GUI_ShipsLog::CloseOpen();

    ASSERT_NE(GUI_CampaignSquadronSize::Open(ship), nullptr);
    ExpectPanel(play.UserDir(), *GUI_CampaignSquadronSize::GetOpen(), "squadron size");
    GUI_CampaignSquadronSize::CloseOpen();

    // The dry dock for a ship whose first module is damaged: its header,
    // its blueprint and its list of damage each on the panel.
    GUI_DamageDescGenerator::GetInstance().Describe(*ship->modules.front(), 0.4f);
    ship->RecalculateIntegrity();
    ASSERT_LT(ship->integrity, 1.0f);
    ASSERT_NE(GUI_CampaignRepairs::Open(fleet), nullptr);
    {
        GUI_CampaignRepairs* yard = GUI_CampaignRepairs::GetOpen();
        const GUI_CampaignRepairBlueprint& blueprint = *yard->GetBlueprint();
        const TextureData picture = Shot(play.UserDir());
        // The header: as wide as the blueprint, 5 pixels above it.
        ExpectNarrowPanelIn(picture, GRect{blueprint.left, yard->clientTop, blueprint.right, blueprint.top - 5},
                            "repairs header");
        ExpectPanelIn(picture, RectOf(blueprint), "repairs blueprint");
        ExpectPanelIn(picture, RectOf(*yard->GetList()), "repairs list", Edges::LEFT);
    }
    GUI_CampaignRepairs::CloseOpen();

    // A won battle's one prize.
    SIM_CampaignBattleOutcome outcome;
    SIM_BattleShipResult prize;
    prize.shipId = 1;
    prize.design = "fed_ai_escort";
    prize.name = "Taken";
    outcome.enemyShips.push_back(prize);
    SIM_CampaignCaptureManager::GetInstance().CollectCaptures(fleet, outcome);
    ASSERT_NE(GUI_CampaignCaptureManager::Open(), nullptr);
    ASSERT_EQ(GUI_CampaignCaptureManager::GetOpen()->GetStrips().size(), 1u);
    ExpectPanel(play.UserDir(), *GUI_CampaignCaptureManager::GetOpen(), "captures");
    GUI_CampaignCaptureManager::CloseKeepingPrizes();

    ASSERT_NE(GUI_ConquestDetails::Open(home), nullptr);
    ExpectPanel(play.UserDir(), *GUI_ConquestDetails::GetOpen(), "conquest");
    GUI_ConquestDetails::CloseOpen();

    // The endings, closed without continuing: the campaign goes on here.
    ASSERT_NE(GUI_CampaignVictory::Open(), nullptr);
    ExpectPanel(play.UserDir(), *GUI_CampaignVictory::GetOpen(), "victory");
    GUI_CampaignVictory::CloseOpen();
    ASSERT_NE(GUI_CampaignDefeat::Open(), nullptr);
    ExpectPanel(play.UserDir(), *GUI_CampaignDefeat::GetOpen(), "defeat");
    GUI_CampaignDefeat::CloseOpen();

    // The shipyard's squadron quantity, shown for a fighter.
    GUI_Shipyard* yard = GUI_Shipyard::Open(home, fleet);
    ASSERT_NE(yard, nullptr);
    SIM_ShipDesign* fighter = SIM_ShipDesign::Find("fed_sample_fighter");
    ASSERT_NE(fighter, nullptr);
    yard->SelectDesign(fighter);
    ASSERT_TRUE(yard->GetQuantityPanel()->visible);
    // Its slider's knob stands at the right end, at 16.
    ExpectPanelIn(Shot(play.UserDir()), RectOf(*yard->GetQuantityPanel()), "shipyard quantity", Edges::LEFT);
    GUI_Shipyard::CloseOpen();

    // The turn's report with one attack pending: its summary, its pending
    // battles and its log.
    SIM_CampaignEncounter* target = EnemyNeighbour(home);
    ASSERT_NE(target, nullptr);
    SendTestAttack(fleet, target);
    ASSERT_NE(GUI_EndTurn::Open(), nullptr);
    GUI_EndTurn* turn = GUI_EndTurn::GetOpen();
    {
        const TextureData picture = Shot(play.UserDir());
        ExpectPanelIn(picture, RectOf(*turn->GetSummary()), "end-turn summary");
        ExpectPanelIn(picture, turn->GetBattles()->GetListArea(), "pending battles");
        ExpectPanelIn(picture, turn->GetLog()->GetArea(), "end-turn log");
    }
    // Resolved: the deployment, its picker holding the fleet's ships.
    ASSERT_EQ(turn->GetBattles()->GetStrips().size(), 1u);
    ClickCentre(turn->GetBattles()->GetStrips().front()->GetResolveButton());
    ASSERT_TRUE(FramesUntil([] { return GUI_CampaignDeployment::GetOpen() != nullptr; }, 1000));
    ExpectPanelIn(Shot(play.UserDir()), RectOf(*GUI_CampaignDeployment::GetOpen()->GetPicker()), "deployment picker");
}

TEST(GLCampaignPanels, TheGlyphBlocksTypeBehindTheMapsControlsAndWindows)
{
    CampaignWindowGame play(22);
    ASSERT_TRUE(play.Started());
    ASSERT_NO_FATAL_FAILURE(OpenNewCampaign("glyphs"));
    GUI_CampaignMap* map = GUI_CampaignMap::Get();
    const std::vector<GUI_LCARS_TextBlock*> blocks = map->GetGlyphBlocks();
    ASSERT_EQ(blocks.size(), 2u);
    // Each nearly done typing its layout, held there by its own clock.
    ManualClock clocks[2] = {ManualClock(1000.0), ManualClock(1000.0)};
    for (int i = 0; i < 2; ++i) {
        blocks[i]->SetClock(&clocks[i]);
        clocks[i].Advance(GUI_LCARS_TextBlock::kCycleMs * 0.95 - (i == 0 ? 0.0 : GUI_LCARS_TextBlock::kCycleMs * 0.5));
    }
    const auto shots = [&](bool shown) {
        for (GUI_LCARS_TextBlock* block : blocks)
            block->visible = shown;
        RunGameFrames(2);
        return Screenshot(play.UserDir());
    };
    const auto extents = [&] {
        std::vector<GRect> out;
        for (const GUI_LCARS_TextBlock* block : blocks)
            out.push_back(GlyphExtent(*block));
        return out;
    };

    // Both stand clear of the panels, one on each side of the screen.
    const int width = D3DEngine::GetInstance().GetScreenWidth();
    for (const GRect& e : extents()) {
        EXPECT_FALSE(Overlap(e, *map->GetTopPanel()));
        EXPECT_FALSE(Overlap(e, *map->GetBottomPanel()));
        EXPECT_GE(e.left, 0);
        EXPECT_LE(e.right, width);
    }
    EXPECT_LT(extents()[0].right, width / 2);
    EXPECT_GT(extents()[1].left, width / 2);

    TextureData without = shots(false), with = shots(true);
    ASSERT_GT(with.width, 0);
    for (const GRect& e : extents())
        EXPECT_GT(GreenedPixels(with, without, e), 1000) << "the glyphs show on the map";
    EXPECT_GT(blocks[0]->GetLastDrawnCount(), blocks[0]->GetVertexCount() * 9 / 10);

    // A window opened over the right block hides it: the planet's details.
    SIM_CampaignEncounter* home = map->GetCampaign()->GetHomeworldEncounter();
    ShowEncounterDetails(home);
    const GUI_EncounterDetails* details = GUI_EncounterDetails::GetOpen();
    ASSERT_NE(details, nullptr);
    const GRect right = extents()[1];
    const GRect covered{std::max(right.left, details->left), std::max(right.top, details->top),
                        std::min(right.right, details->right), std::min(right.bottom, details->bottom)};
    ASSERT_GT(covered.Width(), 100);
    ASSERT_GT(covered.Height(), 100);
    without = shots(false);
    with = shots(true);
    EXPECT_EQ(GreenedPixels(with, without, covered), 0) << "no glyph over the window";
    EXPECT_GT(GreenedPixels(with, without, extents()[0]), 1000);
    CloseEncounterDetails();
    for (GUI_LCARS_TextBlock* block : blocks)
        block->SetClock(nullptr);
    RunGameFrames(2);
}
