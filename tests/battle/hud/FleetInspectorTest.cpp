// The player's instruments over a running battle: the fleet column, the
// ship inspector, the weapon range marker and the module statistics.
#include "BattleHudFixture.h"

#include <array>
#include <cmath>

#include "battle/hud/GUI_BattleModuleStats.h"
#include "battle/hud/GUI_FleetOverlay.h"
#include "battle/hud/GUI_FleetOverlayIcon.h"
#include "battle/hud/GUI_FleetOverlayScrollButton.h"
#include "battle/hud/GUI_InspectorBlueprint.h"
#include "battle/hud/GUI_InspectorModuleIcon.h"
#include "battle/hud/GUI_InspectorStatusBar.h"
#include "battle/hud/GUI_MiniMap.h"
#include "battle/hud/GUI_RangeMarker.h"
#include "battle/hud/GUI_ShipInspector.h"
#include "engine/GHashTable.h"
#include "gui/GUI_Tooltip.h"
#include "sim/SIM_BattleClock.h"
#include "sim/SIM_CommsManager.h"
#include "sim/SIM_FighterSquadron.h"
#include "sim/SIM_Shield.h"
#include "sim/SIM_ShipModuleType.h"
#include "sim/modules/SIM_CarrierModule.h"
#include "sim/modules/SIM_TacticalModule.h"
#include "sim/modules/SIM_TargetedModule.h"

namespace {

using Box = std::array<int, 4>;
Box B(const GRect& r)
{
    return {r.left, r.top, r.right, r.bottom};
}
template <typename T>
Box B(const T* e)
{
    return {e->left, e->top, e->right, e->bottom};
}

class FleetInspectorTest : public BattleHudTest {
protected:
    static SIM_Fleet* Player() { return SIM_Battle::GetInstance().GetPlayerFleet(); }
    // The player's first ship that is no fighter and carries a weapon.
    static SIM_Ship* ArmedShip()
    {
        for (SIM_Ship* ship : Player()->GetAllShips())
            if (!ship->IsFighter() && !ship->GetTurretWeapons().empty())
                return ship;
        return nullptr;
    }
    static HeadlessGraphicsDevice& Device()
    {
        return *static_cast<HeadlessGraphicsDevice*>(D3DEngine::GetInstance().GetDevice());
    }
    template <typename T>
    static bool ClickCentre(const T* e)
    {
        return ClickAt(static_cast<float>(e->left + e->right) / 2.0f, static_cast<float>(e->top + e->bottom) / 2.0f);
    }
};

TEST_F(FleetInspectorTest, OverlayListsShipsThenSquadronsWithHealthBarsAndTooltip)
{
    ASSERT_NO_FATAL_FAILURE(StartBattle());
    GUI_FleetOverlay::Open(kScreenH);
    GUI_FleetOverlay* overlay = GUI_FleetOverlay::GetOpen();
    ASSERT_NE(overlay, nullptr);
    EXPECT_EQ(overlay->left, 10);
    EXPECT_EQ(overlay->top, 90);
    EXPECT_EQ(overlay->bottom, kScreenH - 196);

    // Fighters only appear through their squadron's entry, after the ships.
    std::vector<SIM_Ship*> expected;
    for (SIM_Ship* ship : Player()->GetAllShips())
        if (!ship->IsFighter())
            expected.push_back(ship);
    const size_t singles = expected.size();
    ASSERT_FALSE(Player()->GetSquadrons().empty());
    const auto& entries = overlay->GetEntries();
    ASSERT_EQ(entries.size(), singles + Player()->GetSquadrons().size());
    for (size_t i = 0; i < singles; ++i) {
        EXPECT_EQ(entries[i]->GetShip(), expected[i]);
        EXPECT_FALSE(entries[i]->IsSquadron());
    }
    SIM_FighterSquadron* squadron = Player()->GetSquadrons().front();
    GUI_FleetOverlayIcon* wing = entries[singles];
    EXPECT_TRUE(wing->IsSquadron());
    ASSERT_GE(squadron->GetMembers().size(), 2u);
    squadron->GetMembers()[0]->healthFraction = 1.0f;
    squadron->GetMembers()[1]->healthFraction = 0.0f;
    for (size_t i = 2; i < squadron->GetMembers().size(); ++i)
        squadron->GetMembers()[i]->healthFraction = 0.5f;
    EXPECT_FLOAT_EQ(wing->Health(), squadron->GetMeanHealth());
    EXPECT_LT(wing->Health(), 1.0f);

    // Few entries: no bar, no scroll buttons, the column at the left edge.
    EXPECT_FALSE(overlay->IsScrollable());
    EXPECT_EQ(entries[0]->left, 10);
    EXPECT_FALSE(overlay->GetButton(GUI_FleetOverlay::UP)->visible);
    EXPECT_FALSE(overlay->GetButton(GUI_FleetOverlay::DOWN)->enabled);

    // A quarter of its health: 7 of 28 pixels green from the bottom, the rest red.
    SIM_Ship* ship = entries[0]->GetShip();
    ship->healthFraction = 0.25f;
    MoveMouse(600.0f, 600.0f);
    DrawFrame();
    const float cy = static_cast<float>(entries[0]->top + entries[0]->bottom) / 2.0f;
    EXPECT_FLOAT_EQ(entries[0]->GetGreenHeight(), 7.0f);
    EXPECT_FLOAT_EQ(entries[0]->GetRedHeight(), 21.0f);
    EXPECT_FLOAT_EQ(entries[0]->GetGreenQuad()[3].y, cy + 14.0f);
    EXPECT_FLOAT_EQ(entries[0]->GetGreenQuad()[0].y, cy + 7.0f);
    EXPECT_FLOAT_EQ(entries[0]->GetGreenQuad()[0].v, 0.375f);
    EXPECT_FLOAT_EQ(entries[0]->GetRedQuad()[0].y, cy - 14.0f);
    EXPECT_FLOAT_EQ(entries[0]->GetRedQuad()[3].v, 0.375f);
    EXPECT_EQ(entries[0]->GetGreenQuad()[0].colour, 0x4020FF20u);
    EXPECT_EQ(entries[0]->GetRedQuad()[0].colour, 0x40FF2020u);

    // The mouse on it: brighter bars, the hand and "name [health%]".
    MoveMouse(static_cast<float>(entries[0]->left + 15), cy);
    GUI_WindowManager::GetInstance().ClearMouseOver();
    DrawFrame();
    EXPECT_EQ(entries[0]->GetGreenQuad()[0].colour >> 24, 0x80u);
    ASSERT_EQ(entries[0]->GetTooltip()->GetLines().size(), 1u);
    EXPECT_EQ(entries[0]->GetTooltip()->GetLines()[0], ship->name + " [25%]");
    ship->healthFraction = 0.996f;
    DrawFrame();
    EXPECT_EQ(entries[0]->GetTooltip()->GetLines()[0], ship->name + " [100%]");
}

TEST_F(FleetInspectorTest, OverlayScrollsByButtonAndThumbAndCollapses)
{
    ASSERT_NO_FATAL_FAILURE(StartBattle());
    // A column 150 high: entries at 120 and 150 fit above 178, the third not.
    GUI_FleetOverlay::Open(150 + 286);
    GUI_FleetOverlay* overlay = GUI_FleetOverlay::GetOpen();
    ASSERT_NE(overlay, nullptr);
    const auto& entries = overlay->GetEntries();
    ASSERT_EQ(entries.size(), 3u);
    ASSERT_EQ(overlay->GetShown().size(), 2u);
    EXPECT_TRUE(overlay->IsScrollable());
    EXPECT_EQ(overlay->GetMaxOffset(), 1);
    EXPECT_EQ(entries[0]->top, 120);
    EXPECT_EQ(entries[0]->left, 22) << "shifted right of the scroll bar";
    EXPECT_EQ(B(overlay->GetScrollBar()), (Box{10, 120, 18, 180}));
    EXPECT_EQ(B(overlay->GetThumb()), (Box{11, 120, 17, 160}));
    EXPECT_TRUE(overlay->GetButton(GUI_FleetOverlay::DOWN)->visible);

    EXPECT_TRUE(ClickCentre(overlay->GetButton(GUI_FleetOverlay::DOWN)));
    EXPECT_EQ(overlay->GetOffset(), 1);
    EXPECT_EQ(overlay->GetShown().front(), entries[1]);
    EXPECT_EQ(entries[1]->top, 120);
    GUI_FleetOverlay::ScrollDown();
    EXPECT_EQ(overlay->GetOffset(), 1) << "never past entries - shown";
    EXPECT_TRUE(ClickCentre(overlay->GetButton(GUI_FleetOverlay::UP)));
    EXPECT_EQ(overlay->GetOffset(), 0);

    // The thumb dragged to the bottom shows the last entries.
    EXPECT_TRUE(ClickCentre(&overlay->GetThumb()));
    EXPECT_TRUE(overlay->IsDraggingThumb());
    SetLeftButton(true);
    MoveMouse(14.0f, 700.0f);
    overlay->DragThumb();
    EXPECT_EQ(overlay->GetOffset(), 1);
    EXPECT_EQ(overlay->GetShown().back(), entries[2]);
    SetLeftButton(false);
    overlay->DragThumb();
    EXPECT_FALSE(overlay->IsDraggingThumb());

    // Collapsed: nothing but the expand button; a click on an entry's place
    // inspects nothing.
    EXPECT_TRUE(ClickCentre(overlay->GetButton(GUI_FleetOverlay::COLLAPSE)));
    EXPECT_FALSE(overlay->IsExpanded());
    EXPECT_TRUE(overlay->GetButton(GUI_FleetOverlay::EXPAND)->visible);
    EXPECT_FALSE(overlay->GetButton(GUI_FleetOverlay::UP)->visible);
    EXPECT_FALSE(overlay->GetButton(GUI_FleetOverlay::DOWN)->enabled);
    EXPECT_FALSE(ClickCentre(entries[2]));
    EXPECT_EQ(GUI_ShipInspector::GetOpen(), nullptr);
    EXPECT_TRUE(ClickCentre(overlay->GetButton(GUI_FleetOverlay::EXPAND)));
    EXPECT_TRUE(overlay->IsExpanded());
    EXPECT_TRUE(overlay->GetButton(GUI_FleetOverlay::UP)->visible);
    EXPECT_TRUE(entries[2]->visible);
}

TEST_F(FleetInspectorTest, ADestroyedShipsEntryCentresOnItsLastPositionAndInspectsIt)
{
    ASSERT_NO_FATAL_FAILURE(StartBattle());
    GUI_FleetOverlay::Open(kScreenH);
    GUI_FleetOverlayIcon* entry = GUI_FleetOverlay::GetOpen()->GetEntries()[0];
    SIM_Ship* ship = entry->GetShip();
    ship->x = 900.0f;
    ship->y = 700.0f;
    ship->healthFraction = 0.0f;
    ship->deadFlag = 1;
    ship->state = SIM_Ship::DESTROYED;
    EXPECT_TRUE(ClickCentre(entry));
    EXPECT_FLOAT_EQ(GUI_Map::GetInstance().centreX, 900.0f);
    EXPECT_FLOAT_EQ(GUI_Map::GetInstance().centreY, 700.0f);
    ASSERT_NE(GUI_ShipInspector::GetOpen(), nullptr);
    EXPECT_EQ(GUI_ShipInspector::GetInspectedShip(), ship);
    DrawFrame();
    EXPECT_FLOAT_EQ(entry->GetGreenHeight(), 0.0f);
    EXPECT_FLOAT_EQ(entry->GetRedHeight(), 28.0f);
    EXPECT_EQ(entry->BarAlpha(), 0x80u) << "the inspected ship's entry is lit";
}

TEST_F(FleetInspectorTest, InspectorShowsBarsAndTwentyModuleCellsAndTellsTheComms)
{
    ASSERT_NO_FATAL_FAILURE(StartBattle());
    SIM_Ship* ship = ArmedShip();
    ASSERT_NE(ship, nullptr);
    GUI_ShipInspector::Open(ship);
    GUI_ShipInspector* inspector = GUI_ShipInspector::GetOpen();
    ASSERT_NE(inspector, nullptr);
    EXPECT_EQ(SIM_CommsManager::GetInstance().GetInspectedShip(), ship);
    EXPECT_EQ(B(inspector), (Box{1024 - 501, 768 - 124, 1024, 768}));
    const GRect& panel = inspector->GetPanel();
    EXPECT_EQ(B(panel), (Box{533 + 117 + 5, 644 + 13, 1014, 758}));

    // Every fitted module but the ship's brain, then empty cells up to 20.
    std::vector<SIM_ShipModule*> inspectable;
    for (SIM_ShipModule* m : ship->GetModules())
        if (m != static_cast<SIM_ShipModule*>(ship->tacticalModule))
            inspectable.push_back(m);
    const auto& icons = inspector->GetIcons();
    ASSERT_EQ(icons.size(), 20u);
    ASSERT_LT(inspectable.size(), 20u);
    for (size_t i = 0; i < icons.size(); ++i)
        EXPECT_EQ(icons[i]->GetModule(), i < inspectable.size() ? inspectable[i] : nullptr) << i;
    const int cell = (panel.right - panel.left - 4) / 10;
    EXPECT_EQ(icons[11]->left, panel.left + 2 + cell);
    EXPECT_EQ(icons[11]->top, panel.top + 24 + cell);

    // Bars: the shield only while up, stability against its maximum.
    SIM_Shield* shield = ship->GetOrCreateShield();
    shield->state = SIM_Shield::DISRUPTED;
    shield->strengthFraction = 0.6f;
    shield->startingPoints = 200.0f;
    shield->stability = 50.0f;
    ship->armourFraction = 0.3f;
    ship->healthFraction = 0.8f;
    EXPECT_FLOAT_EQ(GUI_InspectorStatusBar::ValueOf(*ship, GUI_InspectorStatusBar::SHIELD), 0.0f);
    EXPECT_FLOAT_EQ(GUI_InspectorStatusBar::ValueOf(*ship, GUI_InspectorStatusBar::STABILITY), 0.25f);
    shield->state = SIM_Shield::UP;
    shield->stability = 500.0f;
    EXPECT_FLOAT_EQ(GUI_InspectorStatusBar::ValueOf(*ship, GUI_InspectorStatusBar::SHIELD), 0.6f);
    EXPECT_FLOAT_EQ(GUI_InspectorStatusBar::ValueOf(*ship, GUI_InspectorStatusBar::STABILITY), 1.0f);
    shield->state = SIM_Shield::COLLAPSED;
    EXPECT_FLOAT_EQ(GUI_InspectorStatusBar::ValueOf(*ship, GUI_InspectorStatusBar::STABILITY), 0.0f);
    EXPECT_FLOAT_EQ(GUI_InspectorStatusBar::ValueOf(*ship, GUI_InspectorStatusBar::ARMOUR), 0.3f);
    EXPECT_FLOAT_EQ(GUI_InspectorStatusBar::ValueOf(*ship, GUI_InspectorStatusBar::INTEGRITY), 0.8f);
    const auto& bars = inspector->GetBars();
    ASSERT_EQ(bars.size(), 4u);
    EXPECT_EQ(bars[1]->GetKind(), GUI_InspectorStatusBar::INTEGRITY);
    EXPECT_EQ(bars[1]->top, panel.top + 15);
    EXPECT_EQ(bars[1]->height, 7);
    EXPECT_EQ(GUI_InspectorStatusBar::ColourOf(GUI_InspectorStatusBar::INTEGRITY), 0xE1219321u);

    // A wrecked weapon: all red, no charge gauge; a mended one: green on top.
    GUI_InspectorModuleIcon* weaponIcon = nullptr;
    for (GUI_InspectorModuleIcon* icon : icons)
        if (icon->GetKind() == GUI_InspectorModuleIcon::WEAPON && !weaponIcon)
            weaponIcon = icon;
    ASSERT_NE(weaponIcon, nullptr);
    SIM_ShipModule* weapon = weaponIcon->GetModule();
    EXPECT_GE(weaponIcon->GaugeValue(), 0.0f);
    weapon->health = 0.0f;
    EXPECT_LT(weaponIcon->GaugeValue(), 0.0f);
    weapon->health = 0.25f;
    weapon->repairActive = 1;
    Device().ClearDraws();
    weaponIcon->DrawDamageOverlay();
    const GRect& in = weaponIcon->GetInner();
    const float h = static_cast<float>(weaponIcon->width - 4);
    bool red = false, green = false;
    for (const auto& draw : Device().GetDraws()) {
        if (draw.vertices.empty())
            continue;
        const ScreenVertex& v = draw.vertices[0];
        float top = v.y, bottom = v.y;
        for (const ScreenVertex& c : draw.vertices) {
            top = std::min(top, c.y);
            bottom = std::max(bottom, c.y);
        }
        if (v.colour == GUI_InspectorModuleIcon::kDamage)
            red = red || (std::fabs(bottom - static_cast<float>(in.bottom)) < 1.0f &&
                          std::fabs(bottom - top - static_cast<float>(static_cast<int>(h * 0.75f))) < 1.0f);
        if (v.colour == GUI_InspectorModuleIcon::kRepaired)
            green = green || (std::fabs(top - static_cast<float>(in.top)) < 1.0f &&
                              std::fabs(bottom - top - static_cast<float>(static_cast<int>(h * 0.25f))) < 1.0f);
    }
    EXPECT_TRUE(red);
    EXPECT_TRUE(green);
    weapon->health = 1.0f;
    weapon->repairActive = 0;

    // A carrier bay counts its docked fighters.
    const SIM_ShipModuleType* bayType = SIM_ShipModuleType::Find("cruiser_carrier", false);
    ASSERT_NE(bayType, nullptr);
    SIM_CarrierModule bay(bayType);
    bay.SetShip(ship);
    bay.docked.assign(3, ship);
    GUI_InspectorModuleIcon bayIcon(&bay, 0.0f, 0.0f, 40.0f, 40.0f);
    EXPECT_EQ(bayIcon.GetKind(), GUI_InspectorModuleIcon::CARRIER);
    EXPECT_EQ(bayIcon.DockedFighters(), 3);

    GUI_ShipInspector::Close();
    EXPECT_EQ(SIM_CommsManager::GetInstance().GetInspectedShip(), nullptr);
}

TEST_F(FleetInspectorTest, WeaponIconTogglesTheRangeMarkerAndOpensItsStatistics)
{
    ASSERT_NO_FATAL_FAILURE(StartBattle());
    SIM_Ship* ship = ArmedShip();
    ASSERT_NE(ship, nullptr);
    GUI_ShipInspector::Open(ship);
    GUI_ShipInspector* inspector = GUI_ShipInspector::GetOpen();
    GUI_InspectorModuleIcon* weaponIcon = nullptr;
    GUI_InspectorModuleIcon* otherIcon = nullptr;
    for (GUI_InspectorModuleIcon* icon : inspector->GetIcons()) {
        if (!icon->GetModule())
            continue;
        if (icon->GetModule()->IsTargeted() && !weaponIcon)
            weaponIcon = icon;
        else if (!icon->GetModule()->IsTargeted() && !otherIcon)
            otherIcon = icon;
    }
    ASSERT_NE(weaponIcon, nullptr);
    ASSERT_NE(otherIcon, nullptr);
    auto* weapon = static_cast<SIM_TargetedModule*>(weaponIcon->GetModule());

    EXPECT_TRUE(ClickCentre(weaponIcon));
    EXPECT_EQ(GetRangeMarker().GetModule(), weapon);
    GUI_BattleModuleStats* stats = GUI_BattleModuleStats::GetOpen();
    ASSERT_NE(stats, nullptr);
    EXPECT_EQ(stats->GetModule(), weapon);
    EXPECT_EQ(B(stats), (Box{inspector->left - 200, inspector->top, inspector->left, inspector->bottom}));
    EXPECT_TRUE(ClickCentre(weaponIcon));
    EXPECT_EQ(GetRangeMarker().GetModule(), nullptr) << "the same weapon again hides it";
    EXPECT_NE(GUI_BattleModuleStats::GetOpen(), nullptr) << "the statistics open each time";
    EXPECT_TRUE(ClickCentre(weaponIcon));
    EXPECT_TRUE(ClickCentre(otherIcon));
    EXPECT_EQ(GUI_BattleModuleStats::GetOpen(), nullptr);
    EXPECT_EQ(GetRangeMarker().GetModule(), weapon) << "a non-weapon leaves the marker";

    // Another ship's inspector drops the marker; the blueprint centres the camera.
    SIM_Ship* other = nullptr;
    for (SIM_Ship* s : Player()->GetAllShips())
        if (s != ship && !s->IsFighter())
            other = s;
    ASSERT_NE(other, nullptr);
    GUI_ShipInspector::Open(other);
    EXPECT_EQ(GetRangeMarker().GetModule(), nullptr);
    other->x = 1234.0f;
    other->y = 567.0f;
    EXPECT_TRUE(ClickCentre(GUI_ShipInspector::GetOpen()->GetBlueprint()));
    EXPECT_FLOAT_EQ(GUI_Map::GetInstance().centreX, 1234.0f);

    // Statistics for a module of a ship nobody inspects open the inspector first.
    GUI_BattleModuleStats::Open(weapon);
    EXPECT_EQ(GUI_ShipInspector::GetInspectedShip(), other) << "an open inspector stays";
    GUI_ShipInspector::Close();
    GUI_BattleModuleStats::Open(weapon);
    EXPECT_EQ(GUI_ShipInspector::GetInspectedShip(), ship);
}

TEST_F(FleetInspectorTest, RangeMarkerDrawsOneDotPer16PixelsAndAtLeastOne)
{
    EXPECT_EQ(GUI_RangeMarker::DotCount(0.0f), 1);
    EXPECT_EQ(GUI_RangeMarker::DotCount(25.46f), 9);  // 9.998 dots of circumference
    EXPECT_EQ(GUI_RangeMarker::DotCount(25.47f), 10); // 10.002
    EXPECT_EQ(GUI_RangeMarker::DotCount(160.0f), 62);

    ASSERT_NO_FATAL_FAILURE(StartBattle());
    SIM_TargetedModule* weapon = ArmedShip()->GetTurretWeapons().front();
    const SIM_ShipModule::Point p = weapon->GetWorldPos();
    GUI_Map& map = GUI_Map::GetInstance();
    map.cameraX = p.x - 512.0f / ZoomScale;
    map.cameraY = p.y - 384.0f / ZoomScale;
    const float savedMax = weapon->maxRange, savedMin = weapon->minRange;
    weapon->maxRange = 100.0f / ZoomScale;
    weapon->minRange = 0.0f;
    GUI_RangeMarker& marker = GetRangeMarker();
    marker.SetModule(weapon);
    Device().ClearDraws();
    DrawRangeMarker();
    EXPECT_NEAR(marker.GetCentreX(), 512.0f, 0.01f);
    EXPECT_EQ(marker.GetDotsDrawn(), GUI_RangeMarker::DotCount(100.0f)) << "only the white ring";
    size_t lines = 0;
    size_t dotVertices = 0;
    for (const auto& draw : Device().GetDraws()) {
        if (draw.type == PrimitiveType::LineList) {
            ++lines;
            EXPECT_EQ(draw.vertices[0].colour, GUI_RangeMarker::kLineColour);
        } else if (draw.quads) {
            dotVertices += draw.vertexCount;
            EXPECT_EQ(draw.vertices[0].colour, GUI_RangeMarker::kMaxRingColour);
        }
    }
    EXPECT_EQ(lines, 2 + weapon->GetTurretCount());
    EXPECT_EQ(dotVertices, 4u * static_cast<size_t>(GUI_RangeMarker::DotCount(100.0f))) << "one batch of dots";

    // A minimum range adds the red ring; zooming scales both.
    weapon->minRange = 40.0f / ZoomScale;
    DrawRangeMarker();
    EXPECT_EQ(marker.GetDotsDrawn(), GUI_RangeMarker::DotCount(100.0f) + GUI_RangeMarker::DotCount(40.0f));
    weapon->maxRange = savedMax;
    weapon->minRange = savedMin;
    marker.Toggle(weapon);
    EXPECT_EQ(marker.GetModule(), nullptr);
    Device().ClearDraws();
    DrawRangeMarker();
    EXPECT_TRUE(Device().GetDraws().empty());
}

TEST_F(FleetInspectorTest, ModuleStatisticsRowsFollowTheSimulation)
{
    SIM_ModuleStatistics figures;
    std::string values[GUI_BattleModuleStats::kRows];
    GUI_BattleModuleStats::FormatValues(figures, values);
    EXPECT_EQ(values[0], "0");
    EXPECT_EQ(values[1], "0") << "no percentage before the first shot";
    figures.shotsFired = 4;
    figures.shotsHit = 3;
    figures.damage[SIM_ModuleStatistics::DAMAGE_SHIELD] = 12.9f;
    figures.damage[SIM_ModuleStatistics::DAMAGE_ARMOUR] = 0.5f;
    figures.damage[SIM_ModuleStatistics::DAMAGE_HULL] = 250.99f;
    GUI_BattleModuleStats::FormatValues(figures, values);
    EXPECT_EQ(values[0], "4");
    EXPECT_EQ(values[1], "3 (75%)");
    EXPECT_EQ(values[2], "12");
    EXPECT_EQ(values[3], "0");
    EXPECT_EQ(values[4], "250");

    ASSERT_NO_FATAL_FAILURE(StartBattle());
    SIM_TargetedModule* weapon = ArmedShip()->GetTurretWeapons().front();
    GUI_BattleModuleStats::Open(weapon);
    GUI_BattleModuleStats* window = GUI_BattleModuleStats::GetOpen();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->GetLabel(2), GetString("MODSTATS_SHLDDMG"));
    const int updates = window->GetUpdateCount();
    weapon->RecordShot();
    EXPECT_EQ(window->GetUpdateCount(), updates + 1);
    EXPECT_EQ(window->GetValue(0), "1");
    weapon->RecordHit();
    EXPECT_EQ(window->GetValue(1), "1 (100%)");
    // Another module's shot leaves this window alone.
    SIM_Ship* enemy = SIM_Battle::GetInstance().GetEnemyFleet()->GetAllShips().front();
    ASSERT_FALSE(enemy->GetTurretWeapons().empty());
    enemy->GetTurretWeapons().front()->RecordShot();
    EXPECT_EQ(window->GetUpdateCount(), updates + 2);

    // A hit on an enemy credits the weapon with what it did, layer by layer.
    EXPECT_TRUE(enemy->TakeHit(weapon, 5000.0f, 1000.0f, 1000.0f, nullptr, true, 0.0f, 0.0f));
    const SIM_ModuleStatistics& stats = weapon->GetStatistics();
    EXPECT_GT(stats.damage[SIM_ModuleStatistics::DAMAGE_HULL], 0.0f);
    EXPECT_EQ(window->GetValue(4), std::to_string(static_cast<int>(stats.damage[SIM_ModuleStatistics::DAMAGE_HULL])));
}

// The battle's ships are freed with their fleets (the battle cleared, the
// game closed mid-battle): the inspector, its module statistics, the mini-map
// and the fleet overlay close at the next walk of the windows instead of
// drawing freed ships, and nothing they did on closing touches the ships.
TEST_F(FleetInspectorTest, AKilledShipClosesItsInspectorAndFreesTheComms)
{
    ASSERT_NO_FATAL_FAILURE(StartBattle());
    GUI_BattleGUI::GetInstance(); // the screen hears of the kills
    SIM_Ship* ship = ArmedShip();
    ASSERT_NE(ship, nullptr);
    std::vector<SIM_Ship*> others;
    for (SIM_Ship* s : Player()->GetAllShips())
        if (s != ship)
            others.push_back(s);
    ASSERT_GE(others.size(), 2u);
    SIM_TargetedModule* weapon = ship->GetTurretWeapons().front();
    BattleHud::PickedShip(ship, weapon);
    ASSERT_EQ(GUI_ShipInspector::GetInspectedShip(), ship);
    ASSERT_NE(GUI_BattleModuleStats::GetOpen(), nullptr);
    GetRangeMarker().SetModule(weapon);
    SIM_CommsManager& comms = SIM_CommsManager::GetInstance();
    SIM_BattleClock::GetInstance().commsOn = 1;
    comms.Reset();
    comms.SetInspectedShip(ship);
    comms.AddMessage(SIM_CommsManager::COM_ABOUTTOEXPLODE, 0.99f, others[0]);
    ASSERT_TRUE(comms.GetQueue().empty()) << "the comms speak for the inspected ship only";

    // Another ship's end leaves the inspector where it is.
    others[1]->Kill();
    EXPECT_EQ(GUI_ShipInspector::GetInspectedShip(), ship);
    EXPECT_EQ(comms.GetInspectedShip(), ship);

    weapon->selected = 1; // as the inspector's hover leaves it
    ship->Kill();
    EXPECT_EQ(GUI_ShipInspector::GetOpen(), nullptr);
    EXPECT_EQ(GUI_BattleModuleStats::GetOpen(), nullptr);
    EXPECT_EQ(GetRangeMarker().GetModule(), nullptr);
    EXPECT_EQ(comms.GetInspectedShip(), nullptr);
    EXPECT_EQ(weapon->selected, 0) << "no aim is marked on the wreck";
    comms.Reset();
    comms.AddMessage(SIM_CommsManager::COM_ABOUTTOEXPLODE, 0.99f, others[0]);
    EXPECT_EQ(comms.GetQueue().size(), 1u) << "the other ships are heard again";
    GUI_WindowManager& manager = GUI_WindowManager::GetInstance();
    manager.UpdateWindows();
    manager.DrawWindows();
    manager.DeleteQueuedWindows();
    EXPECT_EQ(manager.GetQueuedCount(), 0u);
}

TEST_F(FleetInspectorTest, TheBattleWindowsCloseWhenTheBattlesShipsAreFreed)
{
    ASSERT_NO_FATAL_FAILURE(StartBattle());
    SIM_Ship* ship = ArmedShip();
    ASSERT_NE(ship, nullptr);
    BattleHud::OpenLiveWindows(4000.0f, 4000.0f, kScreenW, kScreenH, false);
    ASSERT_NE(GUI_MiniMap::GetOpen(), nullptr);
    ASSERT_NE(GUI_FleetOverlay::GetOpen(), nullptr);
    SIM_ShipModule* weapon = nullptr;
    for (SIM_ShipModule* module : ship->GetModules())
        if (module && module->IsTargeted())
            weapon = module;
    ASSERT_NE(weapon, nullptr);
    BattleHud::PickedShip(ship, static_cast<SIM_TargetedModule*>(weapon));
    ASSERT_NE(GUI_ShipInspector::GetOpen(), nullptr);
    ASSERT_NE(GUI_BattleModuleStats::GetOpen(), nullptr);
    GUI_WindowManager& manager = GUI_WindowManager::GetInstance();
    manager.DrawWindows();
    ASSERT_EQ(GUI_ShipInspector::GetInspectedShip(), ship);

    SIM_Battle::GetInstance().Clear();
    EXPECT_EQ(GUI_ShipInspector::GetOpen()->GetShip(), nullptr) << "the inspector reads no freed ship";
    EXPECT_EQ(GUI_BattleModuleStats::GetOpen()->GetModule(), nullptr);
    manager.UpdateWindows();
    manager.DrawWindows();
    EXPECT_EQ(GUI_ShipInspector::GetOpen(), nullptr);
    EXPECT_EQ(GUI_BattleModuleStats::GetOpen(), nullptr);
    EXPECT_EQ(GUI_MiniMap::GetOpen(), nullptr);
    EXPECT_EQ(GUI_FleetOverlay::GetOpen(), nullptr);
    EXPECT_EQ(SIM_CommsManager::GetInstance().GetInspectedShip(), nullptr);
    EXPECT_EQ(GetRangeMarker().GetModule(), nullptr);
    EXPECT_EQ(manager.GetQueuedCount(), 0u);
}

} // namespace
