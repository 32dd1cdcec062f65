// Orders, ship details and the ship menu on the deployment screen, with the
// whole game started headless: the order rows and their scrolling, the
// design box's figures, the order picker, the editors and sliders, picking
// a target, squadron size and naming.
#include "DeploymentTestFixture.h"
#include "support/RecordedQuads.h"

#include "engine/CInput.h"
#include "platform/HeadlessGraphicsDevice.h"
#include "engine/QuadRunBatch.h"
#include "engine/D3DEngine.h"
#include "campaign/sim/SIM_CampaignShip.h"
#include "engine/GHashTable.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_RCMenuBase.h"
#include "gui/GUI_ScrollingWindow.h"
#include "gui/GUI_TextEditWindow.h"
#include "gui/GUI_Tooltip.h"
#include "gui/GUI_WindowManager.h"
#include "platform/KeyCodes.h"
#include "prep/GUI_DeployedShipModuleIcon.h"
#include "prep/GUI_BehaviourEditor.h"
#include "prep/GUI_BehaviourMiniSlider.h"
#include "prep/GUI_BehaviourPicker.h"
#include "prep/GUI_BehaviourPickerStrip.h"
#include "prep/GUI_BehaviourStrip.h"
#include "prep/GUI_DeploymentDetails.h"
#include "prep/GUI_DeploymentIconRCMenu.h"
#include "prep/GUI_DeploymentShipDetails.h"
#include "prep/GUI_DeploymentTools.h"
#include "prep/GUI_ModuleIconRCMenu.h"
#include "prep/GUI_ModulePopup.h"
#include "prep/GUI_OrdersSlider.h"
#include "frontend/GUI_OptionsSlider.h"
#include "prep/GUI_RandomShipName.h"
#include "prep/GUI_RangeBehaviorEditor.h"
#include "prep/GUI_ShipNameList.h"
#include "prep/GUI_SquadronSize.h"
#include "prep/GUI_WeaponRangeStrip.h"
#include "sim/SIM_Anomaly.h"
#include "prep/GUI_DeploymentMap.h"
#include "sim/SIM_BehaviourType.h"
#include "sim/SIM_DeployedFleet.h"
#include "sim/SIM_DeployedShip.h"
#include "sim/SIM_ShipHull.h"
#include "sim/SIM_ShipModuleType.h"
#include "sim/SIM_ShipNameGenerator.h"
#include "sim/SIM_ShipOrder.h"

#include <SDL2/SDL.h>

#include <cmath>
#include <memory>

namespace {

class DeploymentOrdersTest : public DeploymentTest {
protected:
    std::vector<std::string> Offered()
    {
        std::vector<std::string> names;
        for (const GUI_BehaviourPickerStrip* strip : GUI_BehaviourPicker::GetOpen()->GetStrips())
            names.push_back(strip->GetType()->name);
        return names;
    }
    static bool Has(const std::vector<std::string>& list, const std::string& name)
    {
        return std::find(list.begin(), list.end(), name) != list.end();
    }
    void Select(std::initializer_list<GUI_DeploymentIcon*> icons)
    {
        ClearDeploymentSelection();
        for (GUI_DeploymentIcon* icon : icons)
            icon->selected = true;
        GUI_DeploymentDetails::Open((*icons.begin())->GetShip());
        Frames(1);
    }
};

TEST_F(DeploymentOrdersTest, SliderValuesFollowTheKindAndClicksClampLikeDrags)
{
    GUI_OrdersSlider range("BEHAVIOUR_RANGE", 0.0f, 500.0f, "FLOAT");
    range.SetRect(100, 100, 382, 140); // a bar 200 wide from x = 116
    range.SetValue(250.0f);
    EXPECT_FLOAT_EQ(range.GetPosition(), 0.5f);
    EXPECT_EQ(range.GetValueText(), "250");
    range.SetValue(900.0f);
    EXPECT_FLOAT_EQ(range.GetPosition(), 1.0f);
    range.Layout();
    ASSERT_EQ(range.GetBarRect().left, 116);
    ASSERT_EQ(range.GetBarRect().Width(), 200);
    EXPECT_TRUE(range.OnLeftClick(166.0f, 129.0f)); // a quarter along the bar
    EXPECT_FLOAT_EQ(range.GetParameterValue(), 125.0f);

    GUI_OrdersSlider retreat("BEHAVIOUR_RETREAT_LEVEL", 0.1f, 0.9f, "PERCENTAGE");
    retreat.SetRect(100, 100, 382, 140);
    retreat.SetValue(0.5f);
    EXPECT_EQ(retreat.GetValueText(), "50%");
    retreat.Layout();
    // Dragging the knob past either end stops at the type's limits ...
    ASSERT_TRUE(retreat.OnLeftClick(retreat.GetKnobX(), 129.0f));
    ASSERT_TRUE(retreat.IsDragging());
    Window().InjectMouseMove(20, 129);
    Window().InjectMouseButton(MouseButton::Left, true);
    Window().PumpEvents();
    CInput::GetInstance().Poll();
    retreat.Update();
    EXPECT_FLOAT_EQ(retreat.GetPosition(), 0.1f);
    Window().InjectMouseButton(MouseButton::Left, false);
    Frames(1);
    retreat.Update();
    EXPECT_FALSE(retreat.IsDragging());
    // ... and so does a click on the bar's ends.
    EXPECT_TRUE(retreat.OnLeftClick(116.0f, 129.0f));
    EXPECT_FLOAT_EQ(retreat.GetPosition(), 0.1f);
    EXPECT_TRUE(retreat.OnLeftClick(316.0f, 129.0f));
    EXPECT_FLOAT_EQ(retreat.GetPosition(), 0.9f);

    // An unknown kind is read as FLOAT.
    GUI_OrdersSlider odd("X", 0.0f, 10.0f, "LOGARITHMIC");
    EXPECT_EQ(odd.GetKind(), GUI_OrdersSlider::FLOAT);
}

TEST_F(DeploymentOrdersTest, OrderRowsScrollOnlyWhenTheyDoNotFit)
{
    // Extra order kinds with parameters: rows 43 high, 45 apart.
    std::vector<std::unique_ptr<SIM_BehaviourType>> extra;
    for (int i = 0; i < 12; ++i)
        extra.emplace_back(new SIM_BehaviourType("#,TEST_" + std::to_string(i) +
                                                 ",BEHAVIOUR_VULTURE,,1,0,0,BEHAVIOUR_PRIORITY,,PERCENTAGE,FLOAT,0,1,"
                                                 "0,0,0.5,0"));
    GUI_DeploymentIcon* icon = Place(frigate, 288, 384);
    ASSERT_NE(icon, nullptr);
    SIM_DeployedShip* ship = icon->GetShip();
    GUI_DeploymentDetails* details = GUI_DeploymentDetails::GetOpen();
    ASSERT_NE(details, nullptr);
    EXPECT_EQ(details->GetName(), "DEPLOYMENT_DETAILS");
    EXPECT_EQ(details->GetTitle(), ship->name);
    EXPECT_EQ(details->GetStrips().size(), ship->orders.Count());
    EXPECT_EQ(details->GetAddStrip()->GetName(), "ADDORDER");
    EXPECT_EQ(details->GetAddStrip()->top, details->GetContentRect().top + 5);

    ship->orders.Clear();
    for (int i = 0; i < 11; ++i)
        ship->orders.AddOrder("TEST_" + std::to_string(i), 0.5f, 0.0f);
    details->Rebuild();
    // 1024 high: the list runs from 151 to the design box's top - 5 (681).
    ASSERT_EQ(details->GetStrips().size(), 11u);
    EXPECT_FALSE(details->GetScrollWindow()->visible);
    EXPECT_EQ(details->GetStrips()[0]->top, 151);
    EXPECT_EQ(details->GetStrips()[1]->top, 151 + 45);
    EXPECT_EQ(details->GetStrips()[0]->right, details->GetContentRect().right - 5);
    // One gauge for the one parameter, under the name.
    const GUI_BehaviourStrip* first = details->GetStrips()[0];
    ASSERT_NE(first->GetMiniSlider(0), nullptr);
    EXPECT_EQ(first->GetMiniSlider(1), nullptr);
    EXPECT_FLOAT_EQ(first->GetMiniSlider(0)->GetValue(), 0.5f);
    EXPECT_EQ(first->GetMiniSlider(0)->left, first->left + 10);
    EXPECT_EQ(first->GetMiniSlider(0)->top, first->top + 18);

    ship->orders.AddOrder("TEST_11", 0.5f, 0.0f);
    details->Rebuild();
    ASSERT_EQ(details->GetStrips().size(), 11u);
    EXPECT_TRUE(details->GetScrollWindow()->visible);
    EXPECT_EQ(details->GetStrips()[0]->right, details->GetContentRect().right - 15);
    details->SetScrollPosition(5);
    EXPECT_EQ(details->GetScrollPosition(), 1);
    EXPECT_EQ(details->GetStrips().back()->GetOrder(), ship->orders.GetOrders().back().get());
    // A plain order takes a 21-pixel row.
    ship->orders.Clear();
    ship->orders.AddOrder("VULTURE", 0.0f, 0.0f);
    details->Rebuild();
    EXPECT_EQ(details->GetStrips()[0]->height, 21);
    extra.clear();
}

TEST_F(DeploymentOrdersTest, TheDesignBoxStacksShieldsAndAveragesArmourOverModules)
{
    auto design = SIM_ShipDesign::MakeEmptyWorkingCopy();
    design->SetHull(frigate->GetHull());
    EXPECT_EQ(GUI_DeploymentShipDetails::ComputeDefence(*design).armour, 0.0f); // not NaN

    SIM_ShipModuleType* shield = SIM_ShipModuleType::Find("frigate_shield");
    SIM_ShipModuleType* armour = SIM_ShipModuleType::Find("frigate_armour");
    SIM_ShipModuleType* crew = SIM_ShipModuleType::Find("frigate_crew");
    ASSERT_TRUE(shield && armour && crew);
    const SIM_ShipHull* hull = frigate->GetHull();
    design->AddModule(shield, 0);
    const float one = shield->GetConfigFloat("shieldpoints") * (1.0f + hull->GetBonusTotal(SIM_ShipHull::SHIELDBOOST));
    EXPECT_FLOAT_EQ(GUI_DeploymentShipDetails::ComputeDefence(*design).shields, one);
    design->AddModule(shield, 1);
    EXPECT_FLOAT_EQ(GUI_DeploymentShipDetails::ComputeDefence(*design).shields,
                    2.0f * one * shield->GetStackEffectiveness());

    design->ClearModules();
    design->AddModule(armour, 0);
    for (int i = 1; i < 8; ++i) // the hull's eight slots
        design->AddModule(crew, i);
    const GUI_DeploymentShipDetails::Defence d = GUI_DeploymentShipDetails::ComputeDefence(*design);
    EXPECT_FLOAT_EQ(d.armour, armour->GetConfigFloat("maxdamageabsorbable") *
                                  (1.0f + hull->GetBonusTotal(SIM_ShipHull::ARMOURBOOST)) / 8.0f);
    EXPECT_FLOAT_EQ(d.hitpoints, armour->GetHitpoints() + 7.0f * crew->GetHitpoints());

    // The box on screen: one icon per module, five to a row.
    ASSERT_NE(Place(frigate, 288, 384), nullptr);
    Frames(1);
    const GUI_DeploymentShipDetails* box = GUI_DeploymentShipDetails::GetOpen();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->GetDesign(), frigate);
    ASSERT_EQ(box->GetIcons().size(), frigate->GetModules().size());
    ASSERT_GT(box->GetIcons().size(), 5u);
    EXPECT_EQ(box->GetIcons()[5]->left, box->GetIcons()[0]->left);
    EXPECT_EQ(box->GetIcons()[5]->top, box->GetIcons()[0]->top + 32);
    EXPECT_EQ(box->GetRows().size(), 3u);
}

TEST_F(DeploymentOrdersTest, ThePickerOffersWhatTheClassMayStillTakeAndAddsToAllSelected)
{
    GUI_DeploymentIcon* squadron = Place(fighter, 384, 768);
    ASSERT_NE(squadron, nullptr);
    Select({squadron});
    Click(static_cast<float>(GUI_DeploymentDetails::GetOpen()->GetAddStrip()->left + 20),
          static_cast<float>(GUI_DeploymentDetails::GetOpen()->GetAddStrip()->top + 5));
    ASSERT_NE(GUI_BehaviourPicker::GetOpen(), nullptr);
    std::vector<std::string> offered = Offered();
    EXPECT_FALSE(Has(offered, "KEEPMOVING"));
    EXPECT_TRUE(Has(offered, "STICKTOGETHER"));
    GUI_BehaviourPicker::CloseOpen();

    GUI_DeploymentIcon* a = Place(frigate, 288, 384);
    GUI_DeploymentIcon* b = Place(frigate, 288, 576);
    ASSERT_TRUE(a && b);
    a->GetShip()->orders.RemoveOrder("VULTURE");
    b->GetShip()->orders.RemoveOrder("VULTURE");
    Select({a, b});
    GUI_BehaviourPicker::Open(&a->GetShip()->orders);
    offered = Offered();
    EXPECT_TRUE(Has(offered, "KEEPMOVING"));
    EXPECT_FALSE(Has(offered, "STICKTOGETHER"));
    for (const auto& order : a->GetShip()->orders.GetOrders())
        EXPECT_FALSE(Has(offered, order->behaviour)) << order->behaviour;
    ASSERT_EQ(GUI_BehaviourPicker::GetOpen()->GetSelected(), GUI_BehaviourPicker::GetOpen()->GetStrips().front());

    // A double click adds the order to both ships with the type's defaults.
    const GUI_BehaviourPickerStrip* vulture = nullptr;
    for (const GUI_BehaviourPickerStrip* strip : GUI_BehaviourPicker::GetOpen()->GetStrips())
        if (strip->GetType()->name == "VULTURE")
            vulture = strip;
    ASSERT_NE(vulture, nullptr);
    Click(static_cast<float>(vulture->left + 5), static_cast<float>(vulture->top + 5), true);
    EXPECT_EQ(GUI_BehaviourPicker::GetOpen(), nullptr);
    EXPECT_TRUE(a->GetShip()->orders.HasOrder("VULTURE"));
    EXPECT_TRUE(b->GetShip()->orders.HasOrder("VULTURE"));
    EXPECT_TRUE(GUI_DeploymentTools::GetInstance().fleetChanged);
    EXPECT_EQ(GUI_DeploymentTools::GetInstance().pickMode, 0);

    // A right click on its row takes it from both again.
    Frames(1);
    const GUI_BehaviourStrip* row = nullptr;
    for (const GUI_BehaviourStrip* strip : GUI_DeploymentDetails::GetOpen()->GetStrips())
        if (strip->GetOrder()->behaviour == "VULTURE")
            row = strip;
    ASSERT_NE(row, nullptr);
    Window().InjectMouseMove(row->left + 5, row->top + 5);
    Window().InjectMouseButton(MouseButton::Right, true);
    Window().InjectMouseButton(MouseButton::Right, false);
    Frames(2);
    EXPECT_FALSE(a->GetShip()->orders.HasOrder("VULTURE"));
    EXPECT_FALSE(b->GetShip()->orders.HasOrder("VULTURE"));

    // An order aimed at a ship starts picking that ship.
    GUI_BehaviourPicker::Open(&a->GetShip()->orders);
    for (GUI_BehaviourPickerStrip* strip : GUI_BehaviourPicker::GetOpen()->GetStrips())
        if (strip->GetType()->name == "PROTECTIVE")
            GUI_BehaviourPicker::GetOpen()->Select(strip);
    GUI_BehaviourPicker::GetOpen()->AddSelectedOrder();
    EXPECT_EQ(GUI_DeploymentTools::GetInstance().pickMode, 1);
    EXPECT_EQ(GUI_DeploymentTools::GetInstance().pickBehaviour->name, "PROTECTIVE");
    GUI_DeploymentTools::GetInstance().pickMode = 0;
}

TEST_F(DeploymentOrdersTest, PickingATargetFollowsTheGroupOrderRules)
{
    GUI_DeploymentIcon* a = Place(frigate, 288, 384);
    GUI_DeploymentIcon* b = Place(frigate, 288, 576);
    GUI_DeploymentIcon* c = Place(support, 480, 384);
    GUI_DeploymentIcon* squadron = Place(fighter, 384, 768);
    ASSERT_TRUE(a && b && c && squadron);
    GUI_DeploymentTools& tools = GUI_DeploymentTools::GetInstance();

    ClearDeploymentSelection();
    tools.ApplyGroupOrder("ESCORT"); // nothing selected: nothing happens
    EXPECT_EQ(tools.pickMode, 0);

    Select({a, b});
    tools.ApplyGroupOrder("ESCORT");
    ASSERT_EQ(tools.pickMode, 1);
    EXPECT_FLOAT_EQ(a->GetShip()->orders.GetOrder("ESCORT")->float1, 100.0f);
    tools.ApplyPick(squadron->GetShip()); // a squadron is no charge
    EXPECT_EQ(a->GetShip()->orders.GetOrder("ESCORT")->shipId, -1);
    // Picking one of the selected: it drops its own escort, the other escorts it.
    tools.ApplyPick(b->GetShip());
    EXPECT_FALSE(b->GetShip()->orders.HasOrder("ESCORT"));
    EXPECT_EQ(a->GetShip()->orders.GetOrder("ESCORT")->shipId, b->GetShip()->shipId);
    tools.pickMode = 0;

    // B cannot escort A, which escorts B.
    Select({b});
    tools.ApplyGroupOrder("ESCORT");
    tools.ApplyPick(a->GetShip());
    EXPECT_FALSE(b->GetShip()->orders.HasOrder("ESCORT"));
    tools.pickMode = 0;

    // Through the map: Shift+F, then a click on C.
    Select({a});
    a->GetShip()->orders.GetOrder("ESCORT")->float1 = 42.0f;
    Hold(SDL_SCANCODE_LSHIFT, true);
    Screen().OnKeyDown(KEY_F);
    Hold(SDL_SCANCODE_LSHIFT, false);
    EXPECT_FALSE(a->GetShip()->orders.HasOrder("ESCORT")); // formation replaces escort
    ASSERT_EQ(tools.pickMode, 1);
    Click(static_cast<float>(c->left + c->right) / 2.0f, static_cast<float>(c->top + c->bottom) / 2.0f);
    EXPECT_EQ(tools.pickMode, 0);
    EXPECT_EQ(a->GetShip()->orders.GetOrder("FORMATION")->shipId, c->GetShip()->shipId);
}

TEST_F(DeploymentOrdersTest, TheEditorNeedsALiveTargetAndTheRangeEditorListsWeapons)
{
    GUI_DeploymentIcon* a = Place(frigate, 288, 384);
    GUI_DeploymentIcon* b = Place(frigate, 288, 576);
    ASSERT_TRUE(a && b);
    Select({a, b});
    b->GetShip()->orders.RemoveOrder("CAUTIOUS");
    a->GetShip()->orders.AddOrder("CAUTIOUS", 0.5f, 0.0f);
    a->GetShip()->orders.AddOrder("PROTECTIVE", 0.0f, 0.0f);

    GUI_BehaviourEditor::Open(SIM_BehaviourType::Find("PROTECTIVE"));
    GUI_BehaviourEditor* editor = GUI_BehaviourEditor::GetOpen();
    ASSERT_NE(editor, nullptr);
    editor->Layout();
    EXPECT_FALSE(editor->GetOKButton()->enabled);
    a->GetShip()->orders.GetOrder("PROTECTIVE")->shipId = b->GetShip()->shipId;
    editor->Layout();
    EXPECT_TRUE(editor->GetOKButton()->enabled);
    EXPECT_EQ(editor->GetTargetName(), b->GetShip()->name);
    // The target leaves the fleet: it is skipped and OK waits again.
    a->GetShip()->orders.GetOrder("PROTECTIVE")->shipId = 9999;
    editor->Layout();
    EXPECT_FALSE(editor->GetOKButton()->enabled);
    EXPECT_TRUE(editor->GetTargetName().empty());

    // OK sets the order on the selected ships that have it, and adds none.
    GUI_BehaviourEditor::Open(SIM_BehaviourType::Find("CAUTIOUS"));
    editor = GUI_BehaviourEditor::GetOpen();
    ASSERT_NE(editor->GetSlider(0), nullptr);
    EXPECT_FLOAT_EQ(editor->GetSlider(0)->GetPosition(), 0.5f);
    editor->GetSlider(0)->SetValue(0.25f);
    editor->OK();
    EXPECT_FLOAT_EQ(a->GetShip()->orders.GetOrder("CAUTIOUS")->float1, 0.25f);
    EXPECT_FALSE(b->GetShip()->orders.HasOrder("CAUTIOUS"));

    // Attack orders open the range editor: one row per weapon kind.
    GUI_BehaviourEditor::Open(SIM_BehaviourType::Find("ATTACK_CRUISERS"));
    GUI_RangeBehaviorEditor* range = GUI_RangeBehaviorEditor::GetOpenRange();
    ASSERT_NE(range, nullptr);
    ASSERT_EQ(range->GetStrips().size(), 3u); // laser, pulse cannon, point defence
    EXPECT_EQ(range->height, 3 * 44 + 280);
    const GUI_WeaponRangeStrip* laser = range->GetStrips()[0];
    EXPECT_EQ(laser->GetCount(), 1);
    EXPECT_FLOAT_EQ(laser->GetRange(), 600.0f);
    EXPECT_NE(laser->GetRangeText().find("600.00"), std::string::npos);
    range->SetRange(laser->GetRange());
    EXPECT_FLOAT_EQ(range->GetSlider(1)->GetParameterValue(), 600.0f);
    range->SetRange(5000.0f); // beyond the order's maximum: held there
    EXPECT_FLOAT_EQ(range->GetCurrentRange(), 1500.0f);

    // While it is open the map shows the range round every selected ship.
    range->SetRange(200.0f);
    auto& device = *static_cast<HeadlessGraphicsDevice*>(D3DEngine::GetInstance().GetDevice());
    device.ClearDraws();
    Frames(1);
    const float side = 2.0f * 200.0f * GUI_DeploymentMap::GetInstance().GetScale();
    const std::vector<RecordedQuad> previews =
        RecordedQuadsOfColour(device, GUI_RangeBehaviorEditor::kPreviewColour);
    ASSERT_EQ(previews.size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        const GUI_DeploymentIcon* icon = i == 0 ? a : b;
        const auto at = std::find_if(previews.begin(), previews.end(), [icon](const RecordedQuad& q) {
            return std::fabs(q.CentreX() - icon->screenX) < 0.5f && std::fabs(q.CentreY() - icon->screenY) < 0.5f;
        });
        ASSERT_NE(at, previews.end()) << i;
        EXPECT_NEAR(at->Width(), side, 0.5f);
    }

    // The scenario's weapon-range multiplier shows in brackets and counts.
    GUI_WeaponRangeStrip boosted(SIM_ShipModuleType::Find("frigate_laser"), frigate, 1.5f, nullptr);
    EXPECT_FLOAT_EQ(boosted.GetRange(), 900.0f);
    EXPECT_NE(boosted.GetRangeText().find("600.00 (900.00)"), std::string::npos);
    GUI_BehaviourEditor::CloseOpen();
}

TEST_F(DeploymentOrdersTest, TheShipMenuSizesSquadronsAndNamesShips)
{
    EXPECT_EQ(GUI_SquadronSize::QuantityFromSlider(0.0f), 1);
    EXPECT_EQ(GUI_SquadronSize::QuantityFromSlider(1.0f / 15.0f - 0.001f), 1);
    EXPECT_EQ(GUI_SquadronSize::QuantityFromSlider(1.0f / 15.0f + 0.001f), 2);
    EXPECT_EQ(GUI_SquadronSize::QuantityFromSlider(1.0f), 16);
    EXPECT_EQ(GUI_SquadronSize::QuantityFromSlider(GUI_SquadronSize::SliderFromQuantity(8)), 8);

    GUI_DeploymentIcon* squadron = Place(fighter, 384, 768);
    ASSERT_NE(squadron, nullptr);
    Window().InjectMouseMove(static_cast<int>(squadron->left + 2), static_cast<int>(squadron->top + 2));
    Window().InjectMouseButton(MouseButton::Right, true);
    Window().InjectMouseButton(MouseButton::Right, false);
    Frames(2);
    auto* menu = dynamic_cast<GUI_DeploymentIconRCMenu*>(GUI_RCMenuBase::GetOpen());
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->GetCaption(), squadron->GetShip()->name);
    ASSERT_NE(menu->GetSquadronButton(), nullptr);
    EXPECT_LE(menu->GetSquadronButton()->bottom, menu->bottom); // the row fits the menu
    const GUI_ButtonText* row = menu->GetSquadronButton();
    Click(static_cast<float>(row->left + 10), static_cast<float>(row->top + 5));
    GUI_SquadronSize* dialog = GUI_SquadronSize::GetOpen();
    ASSERT_NE(dialog, nullptr);
    EXPECT_FLOAT_EQ(dialog->GetSlider()->value, GUI_SquadronSize::SliderFromQuantity(squadron->GetShip()->quantity));
    dialog->SetSliderValue(0.0f);
    EXPECT_EQ(squadron->GetShip()->quantity, 1);
    EXPECT_EQ(dialog->GetValueText(), "1");
    EXPECT_EQ(Screen().GetPlayerFleet()->GetTotalShips(), 1);
    GUI_SquadronSize::CloseOpen();

    // A frigate's menu has no squadron row; the campaign's has two rows.
    GUI_DeploymentIcon* ship = Place(frigate, 288, 384);
    GUI_DeploymentIconRCMenu frigateMenu(ship, 1270.0f, 1020.0f, 1280, 1024, false);
    EXPECT_EQ(frigateMenu.GetSquadronButton(), nullptr);
    EXPECT_LE(frigateMenu.right, 1280); // near the corner it stays on screen
    EXPECT_LE(frigateMenu.bottom, 1024);
    EXPECT_LE(frigateMenu.GetSaveOrdersButton()->bottom, frigateMenu.bottom);
    GUI_DeploymentIconRCMenu campaignMenu(squadron, 10.0f, 10.0f, 1280, 1024, true);
    EXPECT_EQ(campaignMenu.GetRenameButton(), nullptr);
    EXPECT_EQ(campaignMenu.GetSquadronButton(), nullptr);
    EXPECT_NE(campaignMenu.GetDeleteButton(), nullptr);
    EXPECT_EQ(campaignMenu.height, 86);
}

TEST_F(DeploymentOrdersTest, ShipDialogsHoldTheInputAndGoWithTheirShip)
{
    GUI_WindowManager& windows = GUI_WindowManager::GetInstance();
    const auto holdsInput = [&](const GUI_WindowBase* window) {
        const auto& modal = windows.GetModalWindows();
        return window && std::find(modal.begin(), modal.end(), window) != modal.end();
    };
    GUI_DeploymentIcon* named = Place(frigate, 288, 384);
    GUI_DeploymentIcon* squadron = Place(fighter, 384, 768);
    GUI_DeploymentIcon* other = Place(frigate, 288, 576);
    ASSERT_TRUE(named && squadron && other);

    // Dropped outside the zone: the naming dialog of that ship closes at
    // once, while the dialog of another ship stays.
    OpenShipNameDialog(named);
    EXPECT_TRUE(holdsInput(GUI_RandomShipName::GetOpen()));
    OpenSquadronSizeForIcon(squadron);
    EXPECT_TRUE(holdsInput(GUI_SquadronSize::GetOpen()));
    named->dragging = true;
    named->SetMapPosition(-400.0f, 800.0f);
    DropDraggedDeploymentIcons();
    EXPECT_EQ(GUI_RandomShipName::GetOpen()->GetIcon(), nullptr) << "the queued icon is gone to its dialog";
    windows.CloseWindowsWithoutSubject();
    EXPECT_EQ(GUI_RandomShipName::GetOpen(), nullptr);
    ASSERT_NE(GUI_SquadronSize::GetOpen(), nullptr);
    ProcessPendingIconDeletions();
    Frames(2);
    // Deleted from its menu: the squadron dialog goes with the squadron.
    QueueDeploymentIconDeletion(squadron);
    Frames(1);
    EXPECT_EQ(GUI_SquadronSize::GetOpen(), nullptr);
    ProcessPendingIconDeletions();
    Frames(2);

    // The order dialogs work on the shown ship's orders; a reloaded fleet
    // takes them down with its menu.
    Select({other});
    GUI_BehaviourPicker::Open(&other->GetShip()->orders);
    EXPECT_TRUE(holdsInput(GUI_BehaviourPicker::GetOpen()));
    GUI_BehaviourEditor::Open(SIM_BehaviourType::Find("KEEPMOVING"));
    ASSERT_NE(GUI_BehaviourEditor::GetOpen(), nullptr);
    EXPECT_TRUE(holdsInput(GUI_BehaviourEditor::GetOpen()));
    EXPECT_EQ(GUI_BehaviourEditor::GetOpen()->GetShip(), other->GetShip());
    OpenDeploymentIconMenu(other);
    ASSERT_NE(GUI_RCMenuBase::GetOpen(), nullptr);
    const std::string path = Screen().GetTempDeploymentPath();
    ASSERT_TRUE(Screen().WriteDeploymentFile(path));
    Screen().LoadDeploymentFile(path);
    Frames(1);
    EXPECT_EQ(GUI_BehaviourPicker::GetOpen(), nullptr);
    EXPECT_EQ(GUI_BehaviourEditor::GetOpen(), nullptr);
    EXPECT_EQ(GUI_RCMenuBase::GetOpen(), nullptr);
    EXPECT_EQ(GetDeploymentIcons().size(), 1u);
    Frames(2);
}

// An escort order left without a target (a squadron is no one's charge) is
// opened in the editor; Set target, then a click on empty map drops the
// untargeted order (so does the editor's own OK while picking), and the
// editor goes with it instead of reading it on.
TEST_F(DeploymentOrdersTest, TheOrderEditorGoesWithTheOrderAPickDrops)
{
    GUI_DeploymentIcon* frigateIcon = Place(frigate, 288, 384);
    GUI_DeploymentIcon* squadron = Place(fighter, 384, 768);
    ASSERT_TRUE(frigateIcon && squadron);
    GUI_DeploymentTools& tools = GUI_DeploymentTools::GetInstance();
    for (int route = 0; route < 2; ++route) {
        Select({frigateIcon});
        Hold(SDL_SCANCODE_LSHIFT, true);
        Screen().OnKeyDown(KEY_E);
        Hold(SDL_SCANCODE_LSHIFT, false);
        ASSERT_EQ(tools.pickMode, 1);
        Click(static_cast<float>(squadron->left + squadron->right) / 2.0f,
              static_cast<float>(squadron->top + squadron->bottom) / 2.0f);
        SIM_ShipOrder* escort = frigateIcon->GetShip()->orders.GetOrder("ESCORT");
        ASSERT_NE(escort, nullptr) << "the refused pick leaves the order without a target";
        EXPECT_EQ(escort->shipId, -1);

        GUI_BehaviourEditor::Open(escort->GetType());
        GUI_BehaviourEditor* editor = GUI_BehaviourEditor::GetOpen();
        ASSERT_NE(editor, nullptr);
        EXPECT_EQ(editor->GetOrder(), escort);
        const GUI_ButtonText* setTarget = editor->GetSetTargetButton();
        ASSERT_NE(setTarget, nullptr);
        Click(static_cast<float>(setTarget->left + setTarget->right) / 2.0f,
              static_cast<float>(setTarget->top + setTarget->bottom) / 2.0f);
        ASSERT_EQ(tools.pickMode, 1);
        if (route == 0) {
            // Empty map, away from every ship and the moved editor.
            Click(static_cast<float>(frigateIcon->left) + 150.0f, static_cast<float>(frigateIcon->top) + 60.0f);
        } else {
            editor = GUI_BehaviourEditor::GetOpen();
            ASSERT_NE(editor, nullptr);
            const GUI_ButtonText* ok = editor->GetOKButton();
            // While picking, the editor's own OK is a click that finds no ship too.
            Click(static_cast<float>(ok->left + ok->right) / 2.0f, static_cast<float>(ok->top + ok->bottom) / 2.0f);
        }
        Frames(2);
        EXPECT_FALSE(frigateIcon->GetShip()->orders.HasOrder("ESCORT")) << route;
        EXPECT_EQ(GUI_BehaviourEditor::GetOpen(), nullptr) << route;
        EXPECT_EQ(tools.pickMode, 0);
    }
}

TEST_F(DeploymentOrdersTest, NamesApplyAsTypedWithoutCharactersThatBreakTheFile)
{
    EXPECT_EQ(GUI_RandomShipName::SanitiseName("Bold\n[x]=y\tz\x7f!"), "Boldx]yz!");
    EXPECT_EQ(GUI_RandomShipName::SanitiseName(std::string(200, 'a')).size(), 128u);

    GUI_DeploymentIcon* icon = Place(frigate, 288, 384);
    ASSERT_NE(icon, nullptr);
    Select({icon});
    OpenShipNameDialog(icon);
    GUI_RandomShipName* dialog = GUI_RandomShipName::GetOpen();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->GetTextField()->GetText(), icon->GetShip()->name);
    dialog->GetTextField()->SetText("Iron [Duke]=1");
    Frames(2);
    EXPECT_EQ(icon->GetShip()->name, "Iron Duke]1");
    EXPECT_EQ(GUI_DeploymentDetails::GetOpen()->GetTitle(), "Iron Duke]1");
    ASSERT_NE(icon->GetTooltip(), nullptr);
    bool named = false;
    for (const std::string& line : icon->GetTooltip()->GetLines())
        named = named || line.find("Iron Duke]1") != std::string::npos;
    EXPECT_TRUE(named);

    // Two lists to a line; the random button draws from the chosen one.
    const auto& lists = SIM_ShipNameGenerator::GetInstance().GetLists();
    ASSERT_GE(lists.size(), 2u);
    ASSERT_GE(dialog->GetRows().size(), 2u);
    EXPECT_EQ(dialog->GetRows()[0]->top, dialog->GetRows()[1]->top);
    // A race's list reads as the race's own name, in its capitals.
    std::vector<std::string> shown;
    for (const GUI_ShipNameList* row : dialog->GetRows())
        shown.push_back(row->GetShownName());
    EXPECT_NE(std::find(shown.begin(), shown.end(), "Federation"), shown.end());
    EXPECT_NE(std::find(shown.begin(), shown.end(), "Korrath"), shown.end());
    EXPECT_EQ(std::find(shown.begin(), shown.end(), "federation"), shown.end());
    GUI_ShipNameList* second = dialog->GetRows()[1];
    Click(static_cast<float>(second->left + 5), static_cast<float>(second->top + 5));
    ASSERT_EQ(dialog->GetSelected(), second);
    const std::string listName = second->GetListName();
    const auto* list = SIM_ShipNameGenerator::GetInstance().FindList(listName);
    ASSERT_NE(list, nullptr);
    const std::vector<std::string> before = list->names;
    dialog->PickRandomName();
    EXPECT_NE(std::find(before.begin(), before.end(), icon->GetShip()->name), before.end());
    GUI_RandomShipName::CloseOpen();
}

TEST_F(DeploymentOrdersTest, TheModulePopupTellsTheSupplyLeft)
{
    const SIM_ShipModuleType* laser = SIM_ShipModuleType::Find("frigate_laser");
    ASSERT_NE(laser, nullptr);
    const std::vector<SIM_Scenario::SupplyLimit> saved = scenario->GetSupplyLimits();
    SIM_Scenario& limits = *scenario;
    limits.ClearSupplyLimits();
    SIM_DeployedFleet fleet;
    EXPECT_EQ(GUI_ModulePopup::SupplyText(*laser, &limits, &fleet), "Unlimited");
    limits.SetSupplyLimit("frigate_pulse_cannon", 2);
    EXPECT_EQ(GUI_ModulePopup::SupplyText(*laser, &limits, &fleet), "Unlimited"); // -1: none for it
    limits.SetSupplyLimit("frigate_laser", 4);
    fleet.AddModuleCount("frigate_laser", 3);
    EXPECT_EQ(GUI_ModulePopup::SupplyText(*laser, &limits, &fleet), "3 / 4 units");
    limits.ClearSupplyLimits();
    for (const SIM_Scenario::SupplyLimit& limit : saved)
        limits.SetSupplyLimit(limit.moduleType, limit.limit);

    // From the design box's icon, on the deployment screen: with a supply row.
    ASSERT_NE(Place(frigate, 288, 384), nullptr);
    Frames(1);
    const GUI_DeploymentShipDetails* box = GUI_DeploymentShipDetails::GetOpen();
    ASSERT_NE(box, nullptr);
    const GUI_DeployedShipModuleIcon* first = box->GetIcons().front();
    EXPECT_EQ(GUI_DeployedShipModuleIcon::GetHoveredType(), nullptr);
    Click(static_cast<float>(first->left + 5), static_cast<float>(first->top + 5));
    // The module under the pointer and in the popup is published by its
    // type, for the range circles of the ship shown.
    EXPECT_EQ(GUI_DeployedShipModuleIcon::GetHoveredType(), frigate->GetModules().front().moduleType);
    EXPECT_EQ(GUI_DeployedShipModuleIcon::GetHoveredModuleIndex(), -1);
    GUI_ModulePopup* popup = GUI_ModulePopup::GetOpen();
    ASSERT_NE(popup, nullptr);
    EXPECT_TRUE(first->IsHighlighted());
    EXPECT_FALSE(box->GetIcons()[1]->IsHighlighted());
    EXPECT_TRUE(popup->HasSupplyRow());
    EXPECT_EQ(popup->GetModuleType(), frigate->GetModules().front().moduleType);
    const std::string whole = popup->VisibleDescription(500.0);
    EXPECT_EQ(popup->VisibleDescription(250.0), whole.substr(0, whole.size() / 2));
    EXPECT_EQ(popup->VisibleDescription(0.0), "");
    GUI_ModulePopup::CloseOpen();
    Frames(1);

    // A design's module names itself on no right click: that is a campaign
    // ship's module's.
    Window().InjectMouseMove(first->left + 5, first->top + 5);
    Window().InjectMouseButton(MouseButton::Right, true);
    Window().InjectMouseButton(MouseButton::Right, false);
    Frames(2);
    EXPECT_EQ(dynamic_cast<GUI_ModuleIconRCMenu*>(GUI_RCMenuBase::GetOpen()), nullptr);
    if (GUI_RCMenuBase* menu = GUI_RCMenuBase::GetOpen())
        GUI_WindowManager::GetInstance().CloseWindow(menu);
    // Near the screen's corner the box stays wholly on it.
    float x = 0.0f, y = 0.0f;
    GUI_RCMenuBase::PlaceBesidePointer(1270.0f, 795.0f, 1280, 800, 150, 54, x, y);
    EXPECT_EQ(x, 1130.0f);
    EXPECT_EQ(y, 746.0f);
    GUI_RCMenuBase::PlaceBesidePointer(100.0f, 20.0f, 1280, 800, 150, 54, x, y);
    EXPECT_EQ(x, 116.0f);
    EXPECT_EQ(y, 0.0f);
}

// A weapon in the design box lights its type's range circles on the ship
// whose orders are shown, not on the other selected ships of its design.
TEST_F(DeploymentOrdersTest, AHoveredWeaponLightsItsCirclesOnTheShownShipAlone)
{
    GUI_DeploymentIcon* a = Place(frigate, 288, 384);
    GUI_DeploymentIcon* b = Place(frigate, 288, 768);
    ASSERT_TRUE(a && b);
    const SIM_ShipModuleType* laser = SIM_ShipModuleType::Find("frigate_laser");
    const auto circleOf = [&](const GUI_DeploymentIcon* icon, const SIM_ShipModuleType* type) {
        for (const auto& circle : icon->GetRangeCircles())
            if (circle->module && circle->module->moduleType == type)
                return circle.get();
        return static_cast<GUI_DeploymentIcon::RangeCircle*>(nullptr);
    };
    const GUI_DeploymentIcon::RangeCircle* laserA = circleOf(a, laser);
    const GUI_DeploymentIcon::RangeCircle* laserB = circleOf(b, laser);
    ASSERT_TRUE(laserA && laserB);
    const GUI_DeploymentIcon::RangeCircle* otherA = nullptr;
    for (const auto& circle : a->GetRangeCircles())
        if (circle.get() != laserA)
            otherA = circle.get();
    ASSERT_NE(otherA, nullptr);
    const auto hoverLaser = [&] {
        const GUI_DeploymentShipDetails* box = GUI_DeploymentShipDetails::GetOpen();
        ASSERT_NE(box, nullptr);
        const GUI_DeployedShipModuleIcon* icon = nullptr;
        for (const GUI_DeployedShipModuleIcon* candidate : box->GetIcons())
            if (candidate->GetModuleType() == laser)
                icon = candidate;
        ASSERT_NE(icon, nullptr);
        Window().InjectMouseMove(icon->left + 5, icon->top + 5);
        Frames(2);
        ASSERT_EQ(GUI_DeployedShipModuleIcon::GetHoveredType(), laser);
    };

    Select({a, b}); // both selected, A's orders shown
    ASSERT_EQ(GUI_DeploymentDetails::GetShown(), a->GetShip());
    ASSERT_NO_FATAL_FAILURE(hoverLaser());
    EXPECT_TRUE(a->IsCircleLit(*laserA));
    EXPECT_FALSE(a->IsCircleLit(*otherA));
    EXPECT_FALSE(b->IsCircleLit(*laserB));

    Select({b, a});
    ASSERT_NO_FATAL_FAILURE(hoverLaser());
    EXPECT_TRUE(b->IsCircleLit(*laserB));
    EXPECT_FALSE(a->IsCircleLit(*laserA));

    // Off the box, nothing is lit.
    Window().InjectMouseMove(5, 5);
    Frames(2);
    EXPECT_EQ(GUI_DeployedShipModuleIcon::GetHoveredType(), nullptr);
    EXPECT_FALSE(b->IsCircleLit(*laserB));
}

// The order column's rows stand on the dialogs' panel under scan lines,
// both over its content rectangle, below the title.
TEST_F(DeploymentOrdersTest, TheOrderColumnsContentHasItsPanelAndScanLines)
{
    GUI_DeploymentIcon* a = Place(frigate, 288, 384);
    ASSERT_NE(a, nullptr);
    Select({a});
    const GUI_DeploymentDetails* column = GUI_DeploymentDetails::GetOpen();
    ASSERT_NE(column, nullptr);
    const GRect content = column->GetContentRect();
    ASSERT_EQ(content.top, column->top + 46);
    auto& device = *static_cast<HeadlessGraphicsDevice*>(D3DEngine::GetInstance().GetDevice());
    device.ClearDraws();
    Frames(1);
    const auto near = [](float a, int b) { return std::fabs(a - static_cast<float>(b)) < 0.5f; };
    const std::vector<RecordedQuad> white = RecordedQuadsOfColour(device, 0xFFFFFFFFu);
    EXPECT_TRUE(std::any_of(white.begin(), white.end(), [&](const RecordedQuad& q) {
        return near(q.left, content.left) && near(q.top, content.top) && std::fabs(q.Width() - 32.0f) < 0.5f;
    })) << "the panel's corner at the content's top left";
    EXPECT_FALSE(std::any_of(white.begin(), white.end(), [&](const RecordedQuad& q) {
        return near(q.left, column->left) && near(q.top, column->top) && std::fabs(q.Width() - 32.0f) < 0.5f;
    })) << "none at the column's own corner, behind its title";
    int lines = 0;
    for (const RecordedQuad& q : RecordedQuadsOfColour(device, 0x80FFFFFFu))
        if (std::fabs(q.Width() - static_cast<float>(content.Width() - 4)) < 0.5f &&
            std::fabs((q.bottom - q.top) - 3.0f) < 0.5f && q.top >= static_cast<float>(content.top) &&
            q.bottom <= static_cast<float>(content.bottom))
            ++lines;
    EXPECT_GE(lines, 10);
}

TEST_F(DeploymentOrdersTest, ACampaignModuleShowsItsIntegrityAndPublishesItsSlotIndex)
{
    const SIM_ShipDesign::FittedModule& laserSlot = frigate->GetModules()[5];
    ASSERT_EQ(laserSlot.typeName, "frigate_laser");
    SIM_CampaignModuleState state;
    state.moduleTypeName = "frigate_laser";
    state.slot = laserSlot.slotIndex;
    state.integrity = 0.25f;
    GUI_DeployedShipModuleIcon icon(state.moduleTypeName, &state, frigate);
    ASSERT_EQ(icon.GetModuleType(), laserSlot.moduleType);
    EXPECT_EQ(icon.GetSlot(), nullptr);
    icon.SetRect(100.0f, 100.0f, 132.0f, 132.0f); // a picture 30 x 30 from (101, 101)

    // The bars: the lower quarter green, the rest red, at the alpha given.
    auto* device = dynamic_cast<HeadlessGraphicsDevice*>(D3DEngine::GetInstance().GetDevice());
    ASSERT_NE(device, nullptr);
    const auto bars = [&](uint32_t alpha) {
        QuadRunBatch::Shared().Flush();
        device->ClearDraws();
        icon.DrawIntegrityBar(alpha);
        QuadRunBatch::Shared().Flush();
        std::vector<std::pair<uint32_t, std::pair<float, float>>> out; // colour, (top, bottom)
        for (const auto& draw : device->GetDraws()) {
            if (draw.vertices.empty())
                continue;
            float top = draw.vertices.front().y, bottom = top;
            for (const ScreenVertex& v : draw.vertices) {
                top = std::min(top, v.y);
                bottom = std::max(bottom, v.y);
            }
            out.push_back({draw.vertices.front().colour, {top, bottom}});
        }
        return out;
    };
    auto drawn = bars(0x55);
    ASSERT_EQ(drawn.size(), 2u);
    EXPECT_EQ(drawn[0].first, 0x5520FF20u);
    // Rows 124..131 (30 x 0.25, cut to 7), drawn half a pixel up and left.
    EXPECT_EQ(drawn[0].second, std::make_pair(123.5f, 130.5f));
    EXPECT_EQ(drawn[1].first, 0x55FF2020u);
    EXPECT_EQ(drawn[1].second, std::make_pair(100.5f, 123.5f));
    state.integrity = 1.0f; // intact: green alone
    drawn = bars(0x20);
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].first, 0x2020FF20u);
    state.integrity = 0.0f; // lost: red alone
    drawn = bars(0x55);
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].first, 0x55FF2020u);
    // A design's module has no bar.
    GUI_DeployedShipModuleIcon plain(&laserSlot, frigate);
    plain.SetRect(100.0f, 100.0f, 132.0f, 132.0f);
    QuadRunBatch::Shared().Flush();
    device->ClearDraws();
    plain.DrawIntegrityBar(0x55);
    QuadRunBatch::Shared().Flush();
    EXPECT_TRUE(device->GetDraws().empty());

    // Hovered, it publishes its slot index and no type; its right
    // click names it.
    GUI_DeployedShipModuleIcon::ClearHovered();
    Window().InjectMouseMove(110, 110);
    Frames(1);
    ASSERT_TRUE(icon.IsMouseOver());
    icon.Update();
    EXPECT_EQ(GUI_DeployedShipModuleIcon::GetHoveredModuleIndex(), laserSlot.slotIndex);
    EXPECT_EQ(GUI_DeployedShipModuleIcon::GetHoveredType(), nullptr);
    plain.Update();
    EXPECT_EQ(GUI_DeployedShipModuleIcon::GetHoveredModuleIndex(), -1);
    EXPECT_EQ(GUI_DeployedShipModuleIcon::GetHoveredType(), laserSlot.moduleType);
    EXPECT_FALSE(plain.OnRightClick(110.0f, 110.0f));
    EXPECT_TRUE(icon.OnRightClick(110.0f, 110.0f));
    auto* caption = dynamic_cast<GUI_ModuleIconRCMenu*>(GUI_RCMenuBase::GetOpen());
    ASSERT_NE(caption, nullptr);
    EXPECT_EQ(caption->GetModuleType(), laserSlot.moduleType);
    GUI_WindowManager::GetInstance().CloseWindow(caption);
    GUI_DeployedShipModuleIcon::ClearHovered();
}

TEST_F(DeploymentOrdersTest, ACampaignShipsDetailsShowItsOwnModulesWhereTheCampaignSays)
{
    SIM_CampaignShip ship;
    ship.SetDesign(SIM_ShipDesign::Find("fed_sample_frigate"));
    ship.InitModuleStates();
    ship.modules[5]->integrity = 0.5f;
    ship.modules.pop_back(); // a module lost: the ship's list, not the design's, counts

    // On the deployment screen: under the order column, as the design's box.
    GUI_DeploymentDetails::OpenShipDetails(&ship);
    const GUI_DeploymentShipDetails* box = GUI_DeploymentShipDetails::GetOpen();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->GetCampaignShip(), &ship);
    EXPECT_EQ(box->GetDesign(), ship.design);
    EXPECT_EQ(box->left, Screen().GetScreenArea().left + 16);
    ASSERT_EQ(box->GetIcons().size(), ship.modules.size());
    EXPECT_EQ(box->GetIcons()[5]->GetModuleState(), ship.modules[5].get());
    EXPECT_EQ(box->GetIcons()[5]->GetSlot(), nullptr);

    // Elsewhere it stands in the corner the campaign deployment gives.
    Game::GetInstance().SetMode(15);
    GUI_DeploymentDetails::SetShipDetailsCorner(120, 700);
    GUI_DeploymentDetails::OpenShipDetails(&ship);
    box = GUI_DeploymentShipDetails::GetOpen();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->left, 120);
    EXPECT_EQ(box->bottom, 700);
    GUI_DeploymentDetails::CloseShipDetails();
    GUI_DeploymentDetails::SetShipDetailsCorner(0, 0);
    ship.SetDesign(nullptr);
}

TEST_F(DeploymentOrdersTest, OffTheDeploymentScreenTheRangeEditorReadsTheMapsEncounter)
{
    // The campaign deployment shows its encounter on the shared map.
    SIM_Scenario encounter{SIM_Scenario::Unlisted{}};
    encounter.AddAnomaly(SIM_Anomaly("WEAPON_RANGE_MULTIPLIER", 1.5f, true));
    ASSERT_FLOAT_EQ(encounter.GetWeaponRangeMultiplier(), 1.5f);
    Game::GetInstance().SetMode(15);
    GUI_DeploymentMap& map = GUI_DeploymentMap::GetInstance();
    const SIM_Scenario* before = map.GetScenario();
    map.SetScenario(&encounter);
    SIM_DeployedShip ship;
    ship.shipId = 1;
    ship.name = "Anvil";
    ship.design = "fed_sample_frigate";
    GUI_DeploymentDetails::Open(&ship);

    GUI_BehaviourEditor::Open(SIM_BehaviourType::Find("ATTACK_FRIGATES"));
    GUI_RangeBehaviorEditor* editor = GUI_RangeBehaviorEditor::GetOpenRange();
    ASSERT_NE(editor, nullptr);
    const GUI_WeaponRangeStrip* laser = nullptr;
    for (const GUI_WeaponRangeStrip* strip : editor->GetStrips())
        if (strip->GetModuleType()->GetName() == "frigate_laser")
            laser = strip;
    ASSERT_NE(laser, nullptr);
    EXPECT_FLOAT_EQ(laser->GetRange(), 900.0f);
    EXPECT_NE(laser->GetRangeText().find("600.00 (900.00)"), std::string::npos) << laser->GetRangeText();

    GUI_BehaviourEditor::CloseOpen();
    GUI_DeploymentDetails::Close();
    map.SetScenario(before);
}

} // namespace
