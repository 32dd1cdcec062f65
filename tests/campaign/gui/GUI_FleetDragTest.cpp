// Fleets dragged on the campaign map as the player does it with the mouse:
// the click and drag thresholds and every way a drop can end.
#include "CampaignScreenGame.h"

#include "campaign/gui/GUI_CampaignControlPanelBttm.h"

#include "campaign/gui/GUI_CampaignAttackArrow.h"
#include "campaign/sim/SIM_CampaignBattleManager.h"
#include "campaign/sim/SIM_CampaignScreenHooks.h"
#include "engine/GHashTable.h"
#include "engine/GIniFile.h"
#include "engine/StrFormat.h"
#include "gui/GUI_ConfirmDialog.h"

#include <cmath>

namespace {

class FleetDrag : public CampaignScreenGame {
protected:
    void SetUp() override
    {
        CampaignScreenGame::SetUp();
        StartCampaign("dragtest");
        map = GUI_CampaignMap::Get();
        ASSERT_NE(map, nullptr);
        home = Homeworld();
        ASSERT_NE(home, nullptr);
        for (SIM_CampaignEncounter* n : home->neighbours) {
            if (n->territory == SIM_CampaignEncounter::PLAYER)
                friendly = n;
            else
                enemy = n;
        }
        GUI_CampaignAttackArrow::GetInstance().ClearArrows();
    }
    void TearDown() override { Quit(); }

    static void IconCentre(const GUI_PlayerFleetIcon* icon, float& x, float& y)
    {
        x = (icon->left + icon->right) * 0.5f;
        y = (icon->top + icon->bottom) * 0.5f;
    }

    void DragTo(SIM_CampaignFleet* fleet, const SIM_CampaignEncounter* target)
    {
        GUI_PlayerFleetIcon* icon = FleetIconOf(fleet);
        ASSERT_NE(icon, nullptr);
        float x, y;
        IconCentre(icon, x, y);
        const GUI_Encounter* view = map->FindView(target);
        Drag(x, y, view->CentreX(), view->CentreY());
    }

    GUI_CampaignMap* map = nullptr;
    SIM_CampaignEncounter* home = nullptr;
    SIM_CampaignEncounter* friendly = nullptr;
    SIM_CampaignEncounter* enemy = nullptr;
};

// Records the details windows the icons ask for.
class DetailsRecorder : public SIM_CampaignScreenHooks {
public:
    void ShowFleetDetails(SIM_CampaignFleet* fleet) override { shown.push_back(fleet); }
    std::vector<SIM_CampaignFleet*> shown;
};

TEST_F(FleetDrag, AnAttackMovesTheFleetRecordsTheBattleAndDrawsAnAttackArrow)
{
    ASSERT_NE(enemy, nullptr);
    SIM_CampaignFleet* fleet = AddFleet(home);
    DragTo(fleet, enemy);
    EXPECT_EQ(fleet->location, enemy);
    EXPECT_EQ(fleet->origin, home);
    EXPECT_TRUE(fleet->HasMovedShip());
    EXPECT_TRUE(GUI_PlayerFleetIcon::IsInBattle(fleet));
    const auto& arrows = GUI_CampaignAttackArrow::GetInstance().GetArrows();
    ASSERT_EQ(arrows.size(), 1u);
    EXPECT_EQ(arrows[0].kind, GUI_CampaignAttackArrow::ATTACK);
    EXPECT_EQ(arrows[0].source, home);
    EXPECT_EQ(arrows[0].target, enemy);
    // The icon now stands below its new planet, its frame the pending battle's.
    Frames(1);
    GUI_PlayerFleetIcon* icon = FleetIconOf(fleet);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->GetParent(), map->FindView(enemy));
    EXPECT_EQ(icon->SmallFrame(), 1);
    EXPECT_EQ(GUI_PlayerFleetIcon::GetDragged(), nullptr);

    // Moved this turn: a second drag snaps back without moving.
    DragTo(fleet, home);
    EXPECT_EQ(fleet->location, enemy);
    EXPECT_EQ(arrows.size(), 1u);
}

TEST_F(FleetDrag, OrdersAreSavedAsTheyAreGivenAndQuitAndLoadKeepThemWithTheirArrows)
{
    ASSERT_NE(enemy, nullptr);
    SIM_CampaignFleet* attacker = AddFleet(home);
    SIM_CampaignFleet* mover = AddFleet(home);
    const int attackerId = attacker->id, moverId = mover->id;
    if (!friendly) {
        friendly = home->neighbours.front() == enemy ? home->neighbours.back() : home->neighbours.front();
        friendly->territory = SIM_CampaignEncounter::PLAYER;
        map->FindView(friendly)->Refresh();
    }
    ASSERT_NE(friendly, enemy);
    DragTo(attacker, enemy);
    ASSERT_EQ(attacker->location, enemy);
    // On disk at once: the attack, its fleet there and the way back.
    const std::string saved = SIM_CampaignProgress::GetInstance().GetSaveFolder() + "/progress.txt";
    GIniFile attacks;
    attacks.Load("attacks", saved.c_str());
    EXPECT_EQ(attacks.GetEntryCount(), 1u);
    EXPECT_EQ(attacks.GetString("0"),
              StrFormat("%d,%d,%d", enemy->encounterId, attackerId, home->encounterId));
    DragTo(mover, friendly);
    ASSERT_EQ(mover->location, friendly);

    // Quit as the player does, Yes, and the campaign opened again (its
    // planets read anew).
    const int homeId = home->encounterId, enemyId = enemy->encounterId, friendlyId = friendly->encounterId;
    Click(*map->GetBottomPanel()->GetQuitButton());
    ASSERT_NE(GUI_ConfirmDialog::GetOpen(), nullptr);
    EXPECT_EQ(GUI_ConfirmDialog::GetOpen()->GetQuestion(), GetString("CAMPAIGN_QUIT_MESSAGE"));
    Click(*GUI_ConfirmDialog::GetOpen()->GetYesButton());
    SettleTransition();
    Frames(2);
    ASSERT_EQ(Game::GetInstance().GetModeId(), GUI_Campaign::kMainMenu);
    ASSERT_TRUE(GUI_Campaign::OpenCampaign("dragtest"));
    SettleTransition();
    Frames(2);
    map = GUI_CampaignMap::Get();
    ASSERT_NE(map, nullptr);
    SIM_CampaignProgress& progress = SIM_CampaignProgress::GetInstance();
    attacker = progress.FindFleet(attackerId);
    mover = progress.FindFleet(moverId);
    ASSERT_TRUE(attacker && mover && attacker->origin);
    EXPECT_EQ(attacker->location->encounterId, enemyId);
    EXPECT_EQ(attacker->origin->encounterId, homeId);
    EXPECT_EQ(mover->location->encounterId, friendlyId);
    EXPECT_TRUE(mover->HasMovedShip()) << "moved this turn: it may not move again";
    const auto& pending = SIM_CampaignBattleManager::GetInstance().GetPending();
    ASSERT_EQ(pending.size(), 1u);
    EXPECT_EQ(pending[0]->encounter->encounterId, enemyId);
    EXPECT_TRUE(GUI_PlayerFleetIcon::IsInBattle(attacker));
    const auto& arrows = GUI_CampaignAttackArrow::GetInstance().GetArrows();
    ASSERT_EQ(arrows.size(), 1u);
    EXPECT_EQ(arrows[0].kind, GUI_CampaignAttackArrow::ATTACK);
    EXPECT_EQ(arrows[0].source->encounterId, homeId);
    EXPECT_EQ(arrows[0].target->encounterId, enemyId);
}

TEST_F(FleetDrag, AMoveToAPlayersPlanetDrawsAMoveArrowAndFarPlanetsRefuseTheDrop)
{
    SIM_CampaignEncounter* far = nullptr;
    for (SIM_CampaignEncounter* e : map->GetCampaign()->GetEncounters())
        if (e != home && !e->IsLinkedTo(home))
            far = e;
    ASSERT_NE(far, nullptr);
    SIM_CampaignFleet* fleet = AddFleet(home);
    // A way back left from an earlier attack is no use after a move.
    fleet->origin = far;
    // Only planets joined by a wormhole take the fleet.
    if (map->FindView(far)->CentreX() > 20 && map->FindView(far)->CentreX() < kWidth - 20 &&
        map->FindView(far)->CentreY() > 60 && map->FindView(far)->CentreY() < kHeight - 60) {
        DragTo(fleet, far);
        EXPECT_EQ(fleet->location, home);
        EXPECT_FALSE(fleet->HasMovedShip());
        EXPECT_EQ(fleet->origin, far) << "a refused drop changes nothing";
    }
    if (!friendly) {
        friendly = enemy;
        friendly->territory = SIM_CampaignEncounter::PLAYER;
        map->FindView(friendly)->Refresh();
    }
    DragTo(fleet, friendly);
    EXPECT_EQ(fleet->location, friendly);
    EXPECT_EQ(fleet->origin, nullptr);
    EXPECT_FALSE(GUI_PlayerFleetIcon::IsInBattle(fleet));
    const auto& arrows = GUI_CampaignAttackArrow::GetInstance().GetArrows();
    ASSERT_EQ(arrows.size(), 1u);
    EXPECT_EQ(arrows[0].kind, GUI_CampaignAttackArrow::MOVE);
}

TEST_F(FleetDrag, ClicksUnderEightPixelsOpenDetailsAndSixtyPixelsStartTheMarking)
{
    DetailsRecorder recorder;
    SIM_CampaignScreenHooks::Install(&recorder);
    SIM_CampaignFleet* fleet = AddFleet(home);
    GUI_PlayerFleetIcon* icon = FleetIconOf(fleet);
    ASSERT_NE(icon, nullptr);
    float x, y;
    IconCentre(icon, x, y);
    Drag(x, y, x + 7.0f, y, 1);
    EXPECT_EQ(recorder.shown.size(), 1u);
    icon = FleetIconOf(fleet);
    IconCentre(icon, x, y);
    Drag(x, y, x, y + 8.0f, 1);
    EXPECT_EQ(recorder.shown.size(), 1u) << "a release 8 pixels away is no click";

    // Exactly 60 pixels of drag marks nothing yet; past it the reachable planets light.
    icon = FleetIconOf(fleet);
    IconCentre(icon, x, y);
    MoveMouse(static_cast<int>(x), static_cast<int>(y));
    PressLeft(true);
    MoveMouse(static_cast<int>(x + 60.0f), static_cast<int>(y));
    EXPECT_EQ(GUI_PlayerFleetIcon::GetDragged(), icon);
    EXPECT_FALSE(icon->HasDragStarted());
    for (GUI_Encounter* v : map->GetEncounters())
        EXPECT_TRUE(v->selectable);
    MoveMouse(static_cast<int>(x + 61.0f), static_cast<int>(y));
    EXPECT_TRUE(icon->HasDragStarted());
    int dimmed = 0;
    for (GUI_Encounter* v : map->GetEncounters())
        dimmed += !v->selectable;
    EXPECT_EQ(dimmed, static_cast<int>(map->GetEncounters().size() - 1 - home->neighbours.size()));
    PressLeft(false);
    Frames(2);
    for (GUI_Encounter* v : map->GetEncounters())
        EXPECT_TRUE(v->selectable);
    EXPECT_EQ(fleet->location, home);
    SIM_CampaignScreenHooks::Install(nullptr);
}

TEST_F(FleetDrag, AnEmptyFleetCannotMoveAndAFleetDroppedOnAnotherMerges)
{
    ASSERT_NE(enemy, nullptr);
    SIM_CampaignFleet* empty = AddFleet(home, nullptr);
    DragTo(empty, enemy);
    EXPECT_EQ(empty->location, home) << "a fleet without engines stays";

    SIM_CampaignFleet* a = AddFleet(home);
    SIM_CampaignFleet* b = AddFleet(home);
    const size_t fleets = SIM_CampaignProgress::GetInstance().GetFleets().size();
    GUI_PlayerFleetIcon* ia = FleetIconOf(a);
    GUI_PlayerFleetIcon* ib = FleetIconOf(b);
    ASSERT_TRUE(ia && ib);
    float ax, ay, bx, by;
    IconCentre(ia, ax, ay);
    IconCentre(ib, bx, by);
    Drag(ax, ay, bx, by, 2);
    Frames(2);
    EXPECT_EQ(SIM_CampaignProgress::GetInstance().GetFleets().size(), fleets - 1);
    EXPECT_EQ(b->GetShips().size(), 2u);
    EXPECT_EQ(b->location, home);
}

} // namespace
