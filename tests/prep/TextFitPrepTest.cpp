// Every text of the deployment screen and the ship designer, and of every
// window they open, fits its box on a wide low screen and on a tall one,
// with the longest names the shipped content gives: every design placed
// (the last with the longest name and a two-digit number), every hull,
// every module's popup, every kind of order. Ships are named as the sample
// fleets name them: the design's name and a number.
#include "frontend/GUI_SupplyLimits.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_RCMenuBase.h"
#include "prep/GUI_BehaviourEditor.h"
#include "prep/GUI_BehaviourPicker.h"
#include "prep/GUI_DeploymentControlPanel.h"
#include "prep/GUI_DeploymentDesignPicker.h"
#include "prep/GUI_DeploymentDetails.h"
#include "prep/GUI_DeploymentGUI.h"
#include "prep/GUI_DeploymentIcon.h"
#include "prep/GUI_DeploymentIconRCMenu.h"
#include "prep/GUI_DeploymentMap.h"
#include "prep/GUI_DeploymentZone.h"
#include "prep/GUI_DesignLoader.h"
#include "prep/GUI_DesignStats.h"
#include "prep/GUI_FleetSummaryBar.h"
#include "prep/GUI_HullPicker.h"
#include "prep/GUI_ModulePicker.h"
#include "prep/GUI_ModulePopup.h"
#include "prep/GUI_ModuleStatComparison.h"
#include "prep/GUI_ShipDesignGUI.h"
#include "prep/GUI_ShipDesignSummary.h"
#include "prep/GUI_ShipIcon.h"
#include "prep/GUI_ShipIconRCMenu.h"
#include "sim/SIM_BehaviourType.h"
#include "sim/SIM_DeployedFleet.h"
#include "sim/SIM_DeployedShip.h"
#include "sim/SIM_Scenario.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_ShipHull.h"
#include "sim/SIM_ShipModuleType.h"
#include "support/TextFitGame.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

class TextFitPrep : public TextFitGame {
protected:
    // Every design the picker offers, placed in a row down the zone (the
    // longest named last) and named after its design and a two-digit number.
    static void PlaceEveryDesign()
    {
        GUI_DeploymentGUI& screen = GUI_DeploymentGUI::GetInstance();
        std::vector<const SIM_ShipDesign*> designs;
        for (const GUI_ShipIcon* icon : GUI_DeploymentDesignPicker::GetOpen()->GetVisibleIcons())
            if (icon->GetKind() == GUI_ShipIcon::DESIGN)
                designs.push_back(icon->GetDesign());
        std::stable_sort(designs.begin(), designs.end(), [](const SIM_ShipDesign* a, const SIM_ShipDesign* b) {
            return a->GetGuiName().size() < b->GetGuiName().size();
        });
        while (!designs.empty() && designs.size() < 11)
            designs.insert(designs.begin(), designs.front());
        const GRect zone = GUI_DeploymentZone::GetInstance().GetScreenRect();
        const GUI_DeploymentMap& map = GUI_DeploymentMap::GetInstance();
        for (size_t i = 0; i < designs.size(); ++i) {
            const float x = static_cast<float>(zone.left + (zone.right - zone.left) / 2);
            const float y = static_cast<float>(zone.top) +
                            static_cast<float>(zone.bottom - zone.top) * (static_cast<float>(i) + 0.5f) /
                                static_cast<float>(designs.size());
            screen.PlaceShip(designs[i], x, y);
            if (GUI_DeploymentIcon* icon = GetCurrentDeploymentIcon()) {
                icon->SetMapPosition(map.ScreenToMapX(x), map.ScreenToMapY(y));
                // Named as the sample fleets name their ships, past the ninth.
                icon->GetShip()->name = designs[i]->GetGuiName() + " " + std::to_string(10 + i);
            }
            DropDraggedDeploymentIcons();
            ProcessPendingIconDeletions();
            Frames(1);
        }
    }

    static GUI_DeploymentIcon* LongestNamed()
    {
        GUI_DeploymentIcon* longest = nullptr;
        for (GUI_DeploymentIcon* icon : GetDeploymentIcons())
            if (!longest || icon->GetShip()->name.size() > longest->GetShip()->name.size())
                longest = icon;
        return longest;
    }
};

} // namespace

TEST_P(TextFitPrep, DeploymentAndItsWindows)
{
    SIM_Scenario* scenario = SIM_Scenario::FindByName("supply1");
    ASSERT_NE(scenario, nullptr);
    GUI_DeploymentGUI::Open(scenario, false, 15);
    SettleTransition();
    DropAllLessons();
    ExpectFits("deployment, no fleet");
    PlaceEveryDesign();
    ASSERT_GE(GetDeploymentIcons().size(), 11u);
    RestMouse();
    ExpectFits("deployment with a fleet");

    GUI_DeploymentIcon* longest = LongestNamed();
    GUI_DeploymentDetails::Open(longest->GetShip());
    Frames(1);
    ExpectFits("orders of " + longest->GetShip()->name);
    for (const SIM_ShipDesign* design : SIM_ShipDesign::GetList()) {
        GUI_DeploymentDetails::OpenShipDetails(design);
        Frames(1);
        ExpectFits("ship details of " + design->GetName());
    }
    GUI_DeploymentDetails::CloseShipDetails();

    GUI_BehaviourPicker::Open(&longest->GetShip()->orders);
    Frames(1);
    ExpectFits("order picker");
    CloseModals();
    for (const SIM_BehaviourType* type : SIM_BehaviourType::GetList()) {
        GUI_DeploymentDetails::Open(longest->GetShip());
        GUI_BehaviourEditor::Open(type);
        Frames(1);
        ExpectFits("order editor for " + type->GetName());
        CloseModals();
    }

    // The ship's menu, and the dialogs it opens.
    GUI_DeploymentDetails::Open(longest->GetShip());
    RightClick(*longest);
    auto* menu = dynamic_cast<GUI_DeploymentIconRCMenu*>(GUI_RCMenuBase::GetOpen());
    ASSERT_NE(menu, nullptr);
    ExpectFits("ship menu");
    Click(*menu->GetRenameButton());
    ExpectFits("rename");
    CloseModals();
    for (GUI_DeploymentIcon* icon : GetDeploymentIcons())
        if (icon->GetShip()->quantity > 1) {
            RightClick(*icon);
            if (auto* fighterMenu = dynamic_cast<GUI_DeploymentIconRCMenu*>(GUI_RCMenuBase::GetOpen());
                fighterMenu && fighterMenu->GetSquadronButton()) {
                Click(*fighterMenu->GetSquadronButton());
                ExpectFits("squadron size");
                CloseModals();
            }
            break;
        }

    // A design's menu in the picker.
    for (const GUI_ShipIcon* icon : GUI_DeploymentDesignPicker::GetOpen()->GetVisibleIcons())
        if (icon->GetKind() == GUI_ShipIcon::DESIGN) {
            RightClick(*icon);
            ExpectFits("design menu");
            CloseModals();
            break;
        }

    GUI_DeploymentGUI& screen = GUI_DeploymentGUI::GetInstance();
    Click(*screen.GetDifficultyButton(2));
    ExpectFits("difficulty question");
    CloseModals();
    if (screen.GetSummaryBar()->GetSuppliesButton()) {
        Click(*screen.GetSummaryBar()->GetSuppliesButton());
        RestMouse();
        ExpectFits("supplies");
        GUI_SupplyLimits::Close();
    }
    if (screen.GetSummaryBar()->GetDetailsButton()) {
        Click(*screen.GetSummaryBar()->GetDetailsButton());
        RestMouse();
        ExpectFits("mission details");
        CloseModals();
    }
    GUI_DeploymentControlPanel::OpenSaveDeploymentDialog();
    Frames(1);
    ExpectFits("save deployment");
    CloseModals();
    GUI_DeploymentControlPanel::OpenLoadDeploymentDialog();
    Frames(1);
    ExpectFits("load deployment");
    CloseModals();
    // FIGHT over the limits asks first.
    Click(*screen.GetFightButton());
    ExpectFits("fight question");
    CloseModals();
}

TEST_P(TextFitPrep, DesignerAndItsWindows)
{
    Game::GetInstance().SetMode(15);
    GUI_ShipDesignGUI::OpenFrom(GUI_ShipDesignGUI::RETURN_MAIN_MENU);
    SettleTransition();
    DropAllLessons();
    ExpectFits("designer");
    GUI_ShipDesignGUI& designer = GUI_ShipDesignGUI::GetInstance();

    for (bool allRaces : {false, true}) {
        GUI_HullPicker::Open(GUI_HullPicker::DESIGNER, allRaces);
        Frames(1);
        ExpectFits(allRaces ? "hull picker, every race" : "hull picker");
        CloseModals();
    }
    // Each shipped design, and every tab of the module picker with it.
    for (const SIM_ShipDesign* design : SIM_ShipDesign::GetList()) {
        designer.LoadDesign(design);
        Frames(1);
        ExpectFits("designer with " + design->GetName());
    }
    for (int tab = 0; tab < GUI_ModulePicker::TAB_COUNT; ++tab) {
        GUI_ModulePicker::OnTab(tab);
        Frames(1);
        ExpectFits("module picker tab " + std::to_string(tab));
    }
    GUI_DesignStats::Toggle();
    Frames(1);
    ExpectFits("design figures");
    GUI_DesignStats::Toggle();

    // Every module's popup, and the comparison of each of its figures.
    for (const SIM_ShipModuleType* type : SIM_ShipModuleType::GetList()) {
        GUI_ModulePopup::Open(type, designer.GetDesign());
        Frames(1);
        ExpectFits("popup of " + type->GetName());
        CloseModals();
    }
    for (SIM_ShipModuleType* type : SIM_ShipModuleType::GetList())
        for (const SIM_ShipModuleType::DataItem& item : type->GetDataItems()) {
            GUI_ModuleStatComparison::Open(type, item.statName, item.kind, item.multiplier);
            Frames(1);
            ExpectFits("comparison of " + item.statName + " for " + type->GetName());
            CloseModals();
        }

    GUI_ShipDesignSummary::OpenLoadDesignDialog();
    Frames(1);
    ExpectFits("design loader");
    CloseModals();
    GUI_ShipDesignSummary::OpenSaveDesignDialog();
    Frames(1);
    ExpectFits("save design");
    CloseModals();
}

INSTANTIATE_TEXT_FIT_SIZES(TextFitPrep);
