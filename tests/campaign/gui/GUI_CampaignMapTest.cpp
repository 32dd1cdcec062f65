// The campaign map's camera, zoomer, counters and drawing rules, on the whole
// game started headless at 1280 x 800 with a new campaign open.
#include "CampaignScreenGame.h"

#include "campaign/gui/GUI_CampaignControlPanelBttm.h"
#include "campaign/gui/GUI_CampaignControlPanelTop.h"
#include "campaign/gui/GUI_CampaignCounter.h"
#include "campaign/gui/GUI_CampaignPostMortem.h"
#include "campaign/sim/SIM_CampaignBattleManager.h"
#include "campaign/gui/GUI_EncounterDetails.h"
#include "campaign/gui/GUI_EncounterIcon.h"
#include "campaign/gui/GUI_HexPattern.h"
#include "campaign/gui/GUI_MapZoomer.h"
#include "campaign/gui/GUI_PlanetIndicator.h"
#include "campaign/gui/GUI_PlanetName.h"
#include "campaign/gui/GUI_Territory.h"
#include "campaign/gui/GUI_WormholeTraffic.h"
#include "campaign/gui/GUI_CampaignWormhole.h"
#include "campaign/sim/SIM_CampaignFacility.h"
#include "campaign/sim/SIM_CampaignFacilityType.h"
#include "campaign/gui/GUI_CampaignFacility.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "gui/GUI_Cursor.h"
#include "gui/GUI_Tooltip.h"
#include "sim/SIM_Anomaly.h"
#include "platform/DdsImage.h"
#include "platform/IClock.h"

#include <algorithm>
#include <cmath>

namespace {

class CampaignMapScreen : public CampaignScreenGame {
protected:
    void SetUp() override
    {
        CampaignScreenGame::SetUp();
        StartCampaign("maptest");
        map = GUI_CampaignMap::Get();
        ASSERT_NE(map, nullptr);
        campaign = map->GetCampaign();
    }
    void TearDown() override { Quit(); }

    GUI_CampaignMap* map = nullptr;
    SIM_Campaign* campaign = nullptr;
};

TEST_F(CampaignMapScreen, StartsWithAThousandUnitsAcrossOnTheHomeworldAndClampsEveryEdge)
{
    EXPECT_EQ(Game::GetInstance().GetModeId(), GUI_Campaign::kModeId);
    EXPECT_FLOAT_EQ(map->zoom, kWidth / 1000.0f);
    EXPECT_FLOAT_EQ(map->minZoom, kWidth / 1000.0f);
    // A new campaign opens on the homeworld, here near the left edge: the
    // view stops at the edge across and is centred on it down the map.
    const SIM_CampaignEncounter* home = Homeworld();
    ASSERT_NE(home, nullptr);
    EXPECT_EQ(map->FirstViewEncounter(), home);
    const float hw = kWidth / map->zoom * 0.5f, hh = kHeight / map->zoom * 0.5f;
    ASSERT_LT(map->EncounterX(home), hw) << "the shipped homeworld lies within half a view of the left edge";
    ASSERT_GT(map->EncounterY(home), hh);
    ASSERT_LT(map->EncounterY(home), campaign->mapSizeY - hh);
    EXPECT_FLOAT_EQ(map->focusX, hw);
    EXPECT_FLOAT_EQ(map->focusY, map->EncounterY(home));
    EXPECT_FLOAT_EQ(map->originX, 0.0f);
    EXPECT_FLOAT_EQ(map->originY, map->focusY - hh);
    const float homeOnScreen = map->ToScreenX(map->EncounterX(home));
    EXPECT_GT(homeOnScreen, 0.0f);
    EXPECT_LT(homeOnScreen, kWidth * 0.5f);
    EXPECT_FLOAT_EQ(map->ToScreenY(map->EncounterY(home)), kHeight * 0.5f);

    // Scrolling cannot move the view past any edge.
    map->ScrollBy(-1e6f, -1e6f);
    EXPECT_FLOAT_EQ(map->focusX, kWidth / map->zoom * 0.5f);
    EXPECT_FLOAT_EQ(map->focusY, kHeight / map->zoom * 0.5f);
    EXPECT_FLOAT_EQ(map->originX, 0.0f);
    map->ScrollBy(1e6f, 1e6f);
    EXPECT_FLOAT_EQ(map->focusX, campaign->mapSizeX - kWidth / map->zoom * 0.5f);
    EXPECT_FLOAT_EQ(map->focusY, campaign->mapSizeY - kHeight / map->zoom * 0.5f);

    // A map shorter than the view stays centred vertically; no such rule across.
    const float tallest = campaign->mapSizeY;
    campaign->mapSizeY = kHeight / map->zoom - 10.0f;
    map->ScrollBy(0.0f, -500.0f);
    EXPECT_FLOAT_EQ(map->focusY, campaign->mapSizeY * 0.5f);
    campaign->mapSizeY = tallest;
    map->CameraChanged();
}

TEST_F(CampaignMapScreen, WheelAndHeldButtonsStopExactlyAtTheLimits)
{
    for (int i = 0; i < 40; ++i)
        map->OnWheelUp();
    EXPECT_FLOAT_EQ(map->zoom, 4.0f);
    const float before = map->zoom;
    map->OnWheelDown();
    EXPECT_FLOAT_EQ(map->zoom, before - 0.1f);
    for (int i = 0; i < 60; ++i)
        map->OnWheelDown();
    EXPECT_FLOAT_EQ(map->zoom, kWidth / 1000.0f);

    // Held zoom: 3.0 a second whatever the frame rate, then the maximum.
    map->SetFrameMsForTest(100.0f);
    map->HoldZoom(true);
    EXPECT_NEAR(map->zoom, kWidth / 1000.0f + 0.3f, 1e-5f);
    map->SetFrameMsForTest(1000.0f);
    map->HoldZoom(true);
    EXPECT_FLOAT_EQ(map->zoom, 4.0f);
    map->HoldZoom(false);
    map->HoldZoom(false);
    EXPECT_FLOAT_EQ(map->zoom, map->minZoom);
    map->SetFrameMsForTest(-1.0f);

    // A rectangle without width leaves the camera as it was.
    const float zoom = map->zoom;
    map->ZoomToRect(500.0f, 500.0f, 500.0f, 900.0f);
    EXPECT_FLOAT_EQ(map->zoom, zoom);
    EXPECT_TRUE(std::isfinite(map->focusX));
}

TEST_F(CampaignMapScreen, ZoomerTakesSixHundredMillisecondsInAndOutAndReturnsToTheFirstView)
{
    ManualClock clock;
    GUI_MapZoomer& zoomer = map->GetZoomer();
    zoomer.SetClock(&clock);
    GUI_Encounter* first = map->FindView(Homeworld());
    GUI_Encounter* second = map->FindView(Homeworld()->neighbours.at(0));
    const GUI_MapZoomer::Rect before{map->originX, map->originY, map->originX + kWidth / map->zoom,
                                     map->originY + kHeight / map->zoom};
    zoomer.ZoomTo(first);
    EXPECT_EQ(zoomer.state, GUI_MapZoomer::ZOOMING_IN);
    // 800 pixels high: the close-up spans 800 - 340 = 460 pixels.
    EXPECT_FLOAT_EQ(zoomer.targetZoom, 460.0f / Homeworld()->mapIconSize);
    clock.Advance(599.0);
    zoomer.Update();
    EXPECT_EQ(zoomer.state, GUI_MapZoomer::ZOOMING_IN);
    EXPECT_EQ(GUI_EncounterDetails::GetOpen(), nullptr);
    clock.Advance(1.0);
    zoomer.Update();
    EXPECT_EQ(zoomer.state, GUI_MapZoomer::ZOOMED_IN);
    ASSERT_NE(GUI_EncounterDetails::GetOpen(), nullptr);
    EXPECT_EQ(GUI_EncounterDetails::GetOpen()->GetEncounter(), Homeworld());
    EXPECT_FLOAT_EQ(map->zoom, zoomer.targetZoom);

    // On to a second planet: the view to return to is still the first one.
    zoomer.ZoomTo(second);
    clock.Advance(600.0);
    zoomer.Update();
    EXPECT_EQ(GUI_EncounterDetails::GetOpen()->GetEncounter(), second->GetEncounter());
    zoomer.ZoomOut();
    EXPECT_EQ(zoomer.state, GUI_MapZoomer::ZOOMING_OUT);
    EXPECT_EQ(GUI_EncounterDetails::GetOpen(), nullptr);
    clock.Advance(600.0);
    zoomer.Update();
    EXPECT_EQ(zoomer.state, GUI_MapZoomer::IDLE);
    EXPECT_NEAR(map->originX, before.left, 1e-3f);
    EXPECT_NEAR(map->zoom, kWidth / (before.right - before.left), 1e-5f);

    // Spans by screen height: 428 at 768, 512 from 852 on.
    EXPECT_FLOAT_EQ(GUI_MapZoomer::CloseUpSpan(768), 428.0f);
    EXPECT_FLOAT_EQ(GUI_MapZoomer::CloseUpSpan(851), 511.0f);
    EXPECT_FLOAT_EQ(GUI_MapZoomer::CloseUpSpan(852), 512.0f);
    EXPECT_FLOAT_EQ(GUI_MapZoomer::CloseUpSpan(1024), 512.0f);

    // A planet without a size is zoomed to the wheel's limit, not to infinity.
    const float size = Homeworld()->mapIconSize;
    Homeworld()->mapIconSize = 0.0f;
    zoomer.ZoomTo(first);
    EXPECT_FLOAT_EQ(zoomer.targetZoom, map->maxZoom);
    EXPECT_TRUE(std::isfinite(zoomer.target.left));
    Homeworld()->mapIconSize = size;
    zoomer.state = GUI_MapZoomer::IDLE;
    zoomer.SetClock(nullptr);
}

TEST_F(CampaignMapScreen, EscapeZoomsOutWhenZoomedInAndAsksToQuitOnlyWhenIdle)
{
    GUI_MapZoomer& zoomer = map->GetZoomer();
    ManualClock clock;
    zoomer.SetClock(&clock);
    zoomer.ZoomTo(map->FindView(Homeworld()));
    PressKey(SDL_SCANCODE_ESCAPE); // while zooming: nothing
    EXPECT_EQ(zoomer.state, GUI_MapZoomer::ZOOMING_IN);
    EXPECT_EQ(GUI_ConfirmDialog::GetOpen(), nullptr);
    clock.Advance(600.0);
    Frames(1);
    ASSERT_EQ(zoomer.state, GUI_MapZoomer::ZOOMED_IN);
    ASSERT_NE(GUI_EncounterDetails::GetOpen(), nullptr);
    PressKey(SDL_SCANCODE_ESCAPE); // the planet's window is a dialog: it goes first
    EXPECT_EQ(GUI_EncounterDetails::GetOpen(), nullptr);
    EXPECT_EQ(zoomer.state, GUI_MapZoomer::ZOOMED_IN);
    PressKey(SDL_SCANCODE_ESCAPE);
    EXPECT_EQ(zoomer.state, GUI_MapZoomer::ZOOMING_OUT);
    EXPECT_EQ(GUI_ConfirmDialog::GetOpen(), nullptr);
    clock.Advance(600.0);
    Frames(1);
    PressKey(SDL_SCANCODE_ESCAPE);
    ASSERT_NE(GUI_ConfirmDialog::GetOpen(), nullptr);
    PressKey(SDL_SCANCODE_ESCAPE); // the question closes, nothing else
    EXPECT_EQ(GUI_ConfirmDialog::GetOpen(), nullptr);
    EXPECT_EQ(Game::GetInstance().GetModeId(), GUI_Campaign::kModeId);
    zoomer.SetClock(nullptr);
}

TEST_F(CampaignMapScreen, CountersShowTheProgressAndNextTurnAdvancesTheTurn)
{
    GUI_CampaignControlPanelTop* top = GUI_CampaignControlPanelTop::GetOpen();
    ASSERT_NE(top, nullptr);
    SIM_CampaignProgress& progress = SIM_CampaignProgress::GetInstance();
    EXPECT_EQ(progress.turn, 0);
    EXPECT_EQ(progress.cash, 6000);
    EXPECT_EQ(top->Get(GUI_CampaignCounter::CASH)->GetValue(), "6,000");
    EXPECT_EQ(top->Get(GUI_CampaignCounter::CREW)->GetValue(), "900");
    EXPECT_EQ(top->Get(GUI_CampaignCounter::TURN)->GetValue(), "0");
    EXPECT_EQ(top->Get(GUI_CampaignCounter::CASH)->GetLabel(), "Credits");
    // The five in a row, 150 wide, 160 apart, in the order cash, crew, income, recruitment, turn.
    const int l = top->left;
    for (int k = 0; k < GUI_CampaignCounter::KIND_COUNT; ++k) {
        const GUI_CampaignCounter* c = top->Get(static_cast<GUI_CampaignCounter::Kind>(k));
        EXPECT_EQ(c->left, l + 10 + 160 * k);
        EXPECT_EQ(c->right - c->left, 150);
        EXPECT_EQ(c->top, 10);
        EXPECT_EQ(c->bottom, 35);
    }

    Click(*map->GetBottomPanel()->GetNextTurnButton());
    SettleTransition();
    EXPECT_EQ(progress.turn, 1);
    EXPECT_EQ(top->Get(GUI_CampaignCounter::TURN)->GetValue(), "1");
    EXPECT_EQ(top->Get(GUI_CampaignCounter::INCOME)->GetValue(),
              GUI_CampaignCounter::ValueText(GUI_CampaignCounter::INCOME));
    // The income counts the player's factories only, cut to whole credits.
    float factories = 0.0f;
    for (SIM_CampaignEncounter* e : campaign->GetEncounters())
        for (const auto& f : e->facilities)
            if (e->territory == SIM_CampaignEncounter::PLAYER &&
                f->GetType()->facilityClass == SIM_CampaignFacilityType::FACTORY)
                factories += f->GetCurrentCash();
    EXPECT_FLOAT_EQ(GetCampaignIncomePerTurn(), factories);
    // A turn's end writes the screen's memory beside the save.
    EXPECT_TRUE(FileExists(progress.GetSaveFolder() + "/camp_ui.txt"));

    // The per-turn figures read the same once the campaign is opened again.
    const std::string income = top->Get(GUI_CampaignCounter::INCOME)->GetValue();
    const std::string recruits = top->Get(GUI_CampaignCounter::RECRUITMENT)->GetValue();
    EXPECT_NE(income, "0");
    Quit();
    ASSERT_TRUE(GUI_Campaign::OpenCampaign("maptest"));
    SettleTransition();
    top = GUI_CampaignControlPanelTop::GetOpen();
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(top->Get(GUI_CampaignCounter::TURN)->GetValue(), "1");
    EXPECT_EQ(top->Get(GUI_CampaignCounter::INCOME)->GetValue(), income);
    EXPECT_EQ(top->Get(GUI_CampaignCounter::RECRUITMENT)->GetValue(), recruits);
}

TEST(CampaignMapRules, APlanetsGaugesAreSolidBarsBesideItNotAcrossIt)
{
    // Each half of a gauge picture is stretched over half the gauge's height
    // in width, centred a quarter of its height off the planet's centre; the
    // close-up gauge is 1.3 planets high. Its opaque columns must keep
    // outside the planet's disc, and fill their bar (no empty frame).
    for (const char* file : {"planet_indicator.dds", "map_indicator.dds"}) {
        SCOPED_TRACE(file);
        TextureData data;
        std::vector<uint8_t> rgba;
        ASSERT_TRUE(ReadDdsFile(std::string(QLM_GAME_DIR) + "/data/bitmaps/campaign/" + file, data, nullptr));
        ASSERT_TRUE(DecodeToRGBA(data, 0, rgba));
        const int w = data.width, h = data.height;
        auto alpha = [&](int x, int y) { return rgba[(static_cast<size_t>(y) * w + x) * 4 + 3]; };
        for (int half = 0; half < 2; ++half) {
            int first = w, last = -1;
            for (int x = half * w / 2; x < (half + 1) * w / 2; ++x)
                for (int y = 0; y < h; ++y)
                    if (alpha(x, y) > 128) {
                        first = std::min(first, x);
                        last = std::max(last, x);
                    }
            ASSERT_LE(first, last) << "half " << half << " is empty";
            const int middle = (first + last) / 2;
            for (int y = h / 8; y < h - h / 8; ++y)
                ASSERT_GT(alpha(middle, y), 128) << "half " << half << " is not solid at row " << y;
            // In planets (the gauge 1.3 high, each half 0.65 wide from the
            // planet's centre outwards): the bar's inner edge stays outside
            // the disc's radius of 0.5.
            const float halfWidth = 0.65f;
            const float texel = halfWidth / static_cast<float>(w / 2);
            const float inner = half == 0 ? halfWidth - static_cast<float>(last + 1) * texel
                                           : static_cast<float>(first - w / 2) * texel;
            EXPECT_GE(inner, 0.5f) << "half " << half << " reaches into the planet";
        }
    }
}

TEST(CampaignMapRules, GaugesTerritoriesNamesIconsAndTrafficFollowTheirThresholds)
{
    using PI = GUI_PlanetIndicator;
    EXPECT_EQ(PI::ColourFor(PI::THREAT, 0.59f), 0x20C820u);
    EXPECT_EQ(PI::ColourFor(PI::THREAT, 0.6f), 0xC8C820u);
    EXPECT_EQ(PI::ColourFor(PI::THREAT, 0.8f), 0xC82020u);
    EXPECT_EQ(PI::ColourFor(PI::LOYALTY, 0.19f), 0xC82020u);
    EXPECT_EQ(PI::ColourFor(PI::LOYALTY, 0.2f), 0xC8C820u);
    EXPECT_EQ(PI::ColourFor(PI::LOYALTY, 0.4f), 0x20C820u);
    // Cross-fade over the last 10 zoom units before the close-up.
    EXPECT_EQ(PI::AlphaAt(PI::CLOSE_UP, 5.0f, 15.0f), 0);
    EXPECT_EQ(PI::AlphaAt(PI::MAP, 5.0f, 15.0f), 220);
    EXPECT_EQ(PI::AlphaAt(PI::CLOSE_UP, 10.0f, 15.0f), 110);
    EXPECT_EQ(PI::AlphaAt(PI::CLOSE_UP, 15.0f, 15.0f), 220);

    EXPECT_EQ(GUI_Territory::AlphaAt(4.0f, true), 33);
    EXPECT_EQ(GUI_Territory::AlphaAt(4.0f, false), 16);
    EXPECT_EQ(GUI_Territory::AlphaAt(11.9f, true), 1);
    EXPECT_EQ(GUI_Territory::AlphaAt(11.9f, false), 0);
    EXPECT_EQ(GUI_Territory::AlphaAt(12.0f, true), 0);

    EXPECT_EQ(GUI_PlanetName::AlphaAt(5.0f, true), 190);
    EXPECT_EQ(GUI_PlanetName::AlphaAt(10.0f, true), 95);
    EXPECT_EQ(GUI_PlanetName::AlphaAt(15.0f, true), 0);
    EXPECT_EQ(GUI_PlanetName::AlphaAt(5.0f, false), 16);

    EXPECT_FLOAT_EQ(GUI_EncounterIcon::LargeAlpha(5.0f), 0.0f);
    EXPECT_FLOAT_EQ(GUI_EncounterIcon::LargeAlpha(10.0f), 0.5f);
    EXPECT_FLOAT_EQ(GUI_EncounterIcon::LargeAlpha(20.0f), 1.0f);

    EXPECT_TRUE(GUI_HexPattern::ShownAt(11.99f));
    EXPECT_FALSE(GUI_HexPattern::ShownAt(12.0f));

    EXPECT_EQ(GUI_WormholeTraffic::CountFor(150.0f), 100);
    EXPECT_EQ(GUI_WormholeTraffic::CountFor(42.7f), 42);
    EXPECT_EQ(GUI_WormholeTraffic::CountFor(0.99f), 0);
    EXPECT_EQ(GUI_WormholeTraffic::FrameFor(1.0f), 15);
    EXPECT_EQ(GUI_WormholeTraffic::FrameFor(0.0f), 0);

    // The pulse goes from half to full white and back once a second.
    EXPECT_EQ(GUI_CampaignWormhole::PulseColour(0.0) >> 24, 127u);
    EXPECT_EQ(GUI_CampaignWormhole::PulseColour(250.0) >> 24, 255u);
    EXPECT_EQ(GUI_CampaignWormhole::PulseColour(750.0) >> 24, 0u);
    EXPECT_EQ(GUI_CampaignWormhole::PulseColour(1250.0), GUI_CampaignWormhole::PulseColour(250.0));

    // After a battle: the sentence by result and by who attacked; a retreat is no win.
    using PM = GUI_CampaignPostMortem;
    EXPECT_STREQ(PM::OutcomeKey(PM::WON, SIM_PendingBattle::AI_ATTACK), "CAMPAIGN_POSTMORTEM_AIATTACK_FAILED");
    EXPECT_STREQ(PM::OutcomeKey(PM::WON, SIM_PendingBattle::PLAYER_ATTACK), "CAMPAIGN_POSTMORTEM_PLAYER_SUCCESS");
    EXPECT_STREQ(PM::OutcomeKey(PM::RETREATED, SIM_PendingBattle::AI_ATTACK), "CAMPAIGN_POSTMORTEM_AIATTACK_SUCCESS");
    EXPECT_STREQ(PM::OutcomeKey(PM::LOST, SIM_PendingBattle::PLAYER_ATTACK), "CAMPAIGN_POSTMORTEM_PLAYERATTACK_FAILED");
    EXPECT_EQ(PM::FillPlanetName("<PLANETNAME> held; <PLANETNAME>!", "Aldra"), "Aldra held; Aldra!");
    EXPECT_EQ(PM::FillPlanetName("No name here", "Aldra"), "No name here");
    EXPECT_EQ(PM::FillPlanetName("<PLANETNAME>", "<PLANETNAME>x"), "<PLANETNAME>x");

    EXPECT_EQ(GUI_EncounterDetails::LeftFor(1024), 674);
    EXPECT_EQ(GUI_EncounterDetails::LeftFor(1600), 1096);
    EXPECT_EQ(GUI_EncounterDetails::LoyaltyText(0.5f, 0.0f), "50%");
    EXPECT_EQ(GUI_EncounterDetails::LoyaltyText(0.5f, 0.1f), "50%(+10%)");
}

TEST_F(CampaignMapScreen, PlanetWindowListsTheBattlesAnomaliesBelowItsRowsAndExplainsItsSummary)
{
    SIM_CampaignEncounter* home = Homeworld();
    ShowEncounterDetails(home);
    const int plainHeight = GUI_EncounterDetails::GetOpen()->height;
    EXPECT_TRUE(GUI_EncounterDetails::GetOpen()->GetAnomalyTexts().empty());
    home->AddAnomaly(SIM_Anomaly("SHIELD_STRENGTH_MULTIPLIER", 0.75f, true));
    home->AddAnomaly(SIM_Anomaly("CLOAK_INOPERABLE", 0.0f, false));
    ShowEncounterDetails(home);
    GUI_EncounterDetails* details = GUI_EncounterDetails::GetOpen();
    ASSERT_NE(details, nullptr);
    // In the scenario's order, as described for the player (a quarter off the shields).
    ASSERT_EQ(details->GetAnomalyTexts().size(), 2u);
    EXPECT_EQ(details->GetAnomalyTexts()[0], GetAnomalyDescription(home->GetAnomalies()[0]));
    EXPECT_NE(details->GetAnomalyTexts()[0].find("25%"), std::string::npos) << details->GetAnomalyTexts()[0];
    EXPECT_EQ(details->GetAnomalyTexts()[1], GetString("ANOMALYDESC_CLOAK_INOPERABLE"));
    // Below the last facility row, in room the window grew by.
    const int rows = static_cast<int>(home->facilities.size());
    EXPECT_EQ(details->GetAnomalyTop(), details->clientTop + 60 + GUI_EncounterDetails::kRowHeight * rows);
    ASSERT_FALSE(details->GetFacilityPanels().empty());
    EXPECT_GE(details->GetAnomalyTop(), details->GetFacilityPanels().back()->bottom);
    EXPECT_GT(details->height, plainHeight);
    const int width = details->clientRight - details->clientLeft - 20;
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    const int listed = text.GetWrappedTextHeight(details->GetAnomalyTexts()[0], width) +
                       text.GetWrappedTextHeight(details->GetAnomalyTexts()[1], width);
    EXPECT_EQ(details->height - plainHeight, 10 + listed);

    // The summary's tooltip shows once the pointer rests on it 30 frames, and
    // only there.
    const GRect summary = details->GetSummaryRect();
    EXPECT_EQ(summary.top, details->clientTop + 10);
    EXPECT_EQ(summary.bottom, details->clientTop + 60);
    MoveMouse((summary.left + summary.right) / 2, (summary.top + summary.bottom) / 2);
    Frames(40);
    EXPECT_GT(details->GetSummaryTooltip()->alpha, 0.9f);
    EXPECT_EQ(details->GetSummaryTooltip()->GetLines().at(0), GetString("ENCOUNTER_SUMMARY_TOOLTIP"));
    MoveMouse((summary.left + summary.right) / 2, summary.bottom + 20);
    Frames(40);
    EXPECT_LT(details->GetSummaryTooltip()->alpha, 0.01f);

    home->ClearAnomalies();
    CloseEncounterDetails();
    Frames(1);
}

// A click anywhere on a planet's square zooms, so the hand and the planet's
// tooltip answer to the whole square, corners outside the disc included.
TEST_F(CampaignMapScreen, TheHandAndTheTooltipShowOverThePlanetsWholeSquare)
{
    GUI_Encounter* home = map->FindView(Homeworld());
    ASSERT_NE(home, nullptr);
    ASSERT_NE(home->GetTooltip(), nullptr);
    ASSERT_GT(home->right - home->left, 20) << "a square large enough to have corners off the disc";
    GUI_Cursor& cursor = GUI_Cursor::GetInstance();

    // Away from the planet, then onto the square's first pixel: inside the
    // window, off the disc.
    MoveMouse(home->right + 40, home->top);
    Frames(40);
    EXPECT_EQ(cursor.kind, GUI_Cursor::kArrow);
    EXPECT_LT(home->GetTooltip()->alpha, 0.01f);
    MoveMouse(home->left, home->top);
    ASSERT_FALSE(home->IsMouseOverPlanet());
    // The rest counter starts again a poll after the move.
    Frames(2);
    EXPECT_EQ(cursor.kind, GUI_Cursor::kHand);
    EXPECT_LT(home->GetTooltip()->alpha, 0.01f) << "not before the pointer rests";
    Frames(40);
    EXPECT_EQ(cursor.kind, GUI_Cursor::kHand);
    EXPECT_GT(home->GetTooltip()->alpha, 0.9f);

    // The opposite corner's last pixel too.
    MoveMouse(home->right - 1, home->bottom - 1);
    ASSERT_FALSE(home->IsMouseOverPlanet());
    Frames(1);
    EXPECT_EQ(cursor.kind, GUI_Cursor::kHand);

    // One pixel past the square: the arrow, and the tooltip fades.
    MoveMouse(home->left - 1, home->top);
    Frames(40);
    EXPECT_EQ(cursor.kind, GUI_Cursor::kArrow);
    EXPECT_LT(home->GetTooltip()->alpha, 0.01f);
    MoveMouse(home->right, home->bottom - 1);
    Frames(1);
    EXPECT_EQ(cursor.kind, GUI_Cursor::kArrow);

    // A click on the corner zooms, as the hand promised.
    ManualClock clock;
    GUI_MapZoomer& zoomer = map->GetZoomer();
    zoomer.SetClock(&clock);
    ClickAt(home->left, home->top);
    EXPECT_EQ(zoomer.state, GUI_MapZoomer::ZOOMING_IN);
    zoomer.state = GUI_MapZoomer::IDLE;
    zoomer.SetClock(nullptr);

    // Where the map's top panel lies over the square, the pointer is the
    // panel's: no hand and no tooltip from the planet beneath.
    GUI_CampaignControlPanelTop* panel = GUI_CampaignControlPanelTop::GetOpen();
    ASSERT_NE(panel, nullptr);
    map->ZoomInBy(100.0f);
    const float panelX = (panel->left + panel->right) * 0.5f, panelY = (panel->top + panel->bottom) * 0.5f;
    map->ScrollBy((home->CentreX() - panelX) / map->zoom, (home->CentreY() - panelY) / map->zoom);
    Frames(1);
    const int px = static_cast<int>(panelX), py = static_cast<int>(panelY);
    ASSERT_TRUE(home->Contains(static_cast<float>(px), static_cast<float>(py)))
        << "square " << home->left << "," << home->top << " " << home->right << "," << home->bottom;
    ASSERT_TRUE(panel->Contains(static_cast<float>(px), static_cast<float>(py)));
    MoveMouse(px, py);
    Frames(40);
    EXPECT_NE(cursor.kind, GUI_Cursor::kHand);
    EXPECT_LT(home->GetTooltip()->alpha, 0.01f);
}

TEST_F(CampaignMapScreen, PlanetsSitWhereTheCameraPutsThemWithTheirIconRows)
{
    GUI_Encounter* home = map->FindView(Homeworld());
    ASSERT_NE(home, nullptr);
    const float x = Homeworld()->mapPosition[0] * campaign->mapSizeX;
    const float y = Homeworld()->mapPosition[1] * campaign->mapSizeY;
    EXPECT_FLOAT_EQ(home->CentreX(), std::trunc((x - map->focusX) * map->zoom + kWidth / 2.0f));
    EXPECT_FLOAT_EQ(home->CentreY(), (y - map->focusY) * map->zoom + kHeight / 2.0f);
    EXPECT_FLOAT_EQ(home->Size(), Homeworld()->mapIconSize * map->zoom);
    // The facility row stands just above the planet, each icon 8 x zoom.
    ASSERT_FALSE(home->GetFacilityIcons().empty());
    const GUI_EncounterIcon* first = home->GetFacilityIcons().front();
    const float s = map->zoom * 8.0f;
    EXPECT_EQ(first->bottom, home->top);
    EXPECT_NEAR(first->right - first->left, s, 1.0f);
    EXPECT_NEAR(first->left, (home->left + home->right) * 0.5f - home->GetFacilityIcons().size() * s / 2.0f, 1.0f);

    // Over the planet means strictly inside its circle.
    MoveMouse(static_cast<int>(home->CentreX()), static_cast<int>(home->CentreY()));
    EXPECT_TRUE(home->IsMouseOverPlanet());
    MoveMouse(static_cast<int>(home->CentreX() + home->Size()), static_cast<int>(home->CentreY()));
    EXPECT_FALSE(home->IsMouseOverPlanet());

    // While a fleet of the homeworld is dragged only it and its neighbours stay selectable.
    map->HighlightMoveTargets(Homeworld());
    for (GUI_Encounter* v : map->GetEncounters()) {
        const bool reachable = v->GetEncounter() == Homeworld() || v->GetEncounter()->IsLinkedTo(Homeworld());
        EXPECT_EQ(v->selectable, reachable);
        EXPECT_EQ(v->highlight, reachable);
    }
    for (GUI_CampaignWormhole* w : map->GetWormholes())
        EXPECT_EQ(w->bright, w->GetA() == Homeworld() || w->GetB() == Homeworld());
    map->HighlightMoveTargets(nullptr);
    for (GUI_Encounter* v : map->GetEncounters())
        EXPECT_TRUE(v->selectable && !v->highlight);
}

} // namespace
