// The ship designer's rules on a 1024 x 768 screen, played through the
// headless window with the shipped content.
#include "prep/DesignerTestGame.h"

#include "app/APP_UsageMetrics.h"
#include "campaign/gui/GUI_CampaignRefit.h"
#include "engine/APP_UserFolders.h"
#include "engine/GFileHelpers.h"
#include "engine/GHashTable.h"
#include "engine/GSafeFile.h"
#include "engine/StrFormat.h"
#include "gui/GUI_ButtonTab.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_CloseButton.h"
#include "gui/GUI_ConfirmDialog.h"
#include "gui/GUI_IconButton.h"
#include "gui/GUI_Message.h"
#include "gui/GUI_SaveFileDialog.h"
#include "gui/GUI_ScrollingWindow.h"
#include "gui/GUI_TextEditWindow.h"
#include "gui/GUI_Tooltip.h"
#include "gui/GUI_WindowManager.h"
#include "engine/D3DEngine.h"
#include "platform/HeadlessGraphicsDevice.h"
#include "platform/KeyCodes.h"
#include "prep/DesignerCommon.h"
#include "prep/GUI_DataItem.h"
#include "prep/GUI_DeploymentGUI.h"
#include "prep/GUI_DesignLoader.h"
#include "prep/GUI_DesignStats.h"
#include "prep/GUI_HullData.h"
#include "prep/GUI_HullPicker.h"
#include "prep/GUI_ModuleDetails.h"
#include "prep/GUI_ModuleStatComparison.h"
#include "prep/GUI_ShipDesignSummary.h"
#include "prep/GUI_ShipDesignSummaryStrip.h"
#include "sim/SIM_Scenario.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_Unlockable.h"

#include <SDL2/SDL_scancode.h>

#include <memory>
#include <vector>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>

namespace {

DesignerTestGame* g_game = nullptr;

class ShipDesigner : public ::testing::Test {
protected:
    static void SetUpTestSuite() { g_game = new DesignerTestGame(1024, 768); }
    static void TearDownTestSuite()
    {
        delete g_game;
        g_game = nullptr;
    }
    void SetUp() override
    {
        ASSERT_TRUE(g_game->started);
        g_game->OpenOnHull("fed_cruiser");
    }
    void TearDown() override
    {
        GUI_WindowManager& manager = GUI_WindowManager::GetInstance();
        while (manager.CloseTopModal())
            manager.DeleteQueuedWindows();
        Game::GetInstance().SetMode(15);
    }
    static DesignerTestGame& G() { return *g_game; }
    static SIM_ShipDesign& Design() { return *GUI_ShipDesignGUI::GetInstance().GetDesign(); }
    static std::string ShipsFolder() { return APP_UserFolders::GetInstance().Get(APP_UserFolders::SHIPS); }
};

// A module type of our own for one test, out of the global list afterwards.
class ScratchType {
public:
    explicit ScratchType(const std::string& body)
    {
        const std::string path = m_dir.Write("scratch.txt", body);
        type = new SIM_ShipModuleType(path);
    }
    ~ScratchType() { delete type; }
    SIM_ShipModuleType* type;

private:
    TempDir m_dir;
};

// The player owns these shipped items (for sale in the shop) while it lives.
class ScopedUnlocked {
public:
    explicit ScopedUnlocked(std::vector<std::string> names)
    {
        SIM_Unlockable::SetUnlockedQuery([names = std::move(names)](const std::string& name) {
            return std::find(names.begin(), names.end(), name) != names.end();
        });
        SIM_Unlockable::RefreshAll();
    }
    ~ScopedUnlocked()
    {
        SIM_Unlockable::SetUnlockedQuery(nullptr);
        SIM_Unlockable::RefreshAll();
    }
    ScopedUnlocked(const ScopedUnlocked&) = delete;
    ScopedUnlocked& operator=(const ScopedUnlocked&) = delete;
};

bool SameRect(const GUI_BaseElement& e, int l, int t, int r, int b)
{
    return e.left == l && e.top == t && e.right == r && e.bottom == b;
}

} // namespace

TEST_F(ShipDesigner, ShortScreenLayoutAndTheFloatingStatsWindow)
{
    GUI_ShipDesignGUI& designer = GUI_ShipDesignGUI::GetInstance();
    EXPECT_FALSE(designer.IsTallScreen());
    EXPECT_EQ(designer.GetOriginX(), 0.0f);
    EXPECT_EQ(designer.GetOriginY(), 0.0f);
    EXPECT_TRUE(SameRect(*GUI_ModulePicker::GetOpen(), 0, 0, 440, 413));
    EXPECT_TRUE(SameRect(*GUI_ShipDesignSummary::GetOpen(), 440, 0, 1024, 206));
    // Both lower panels stop 45 pixels above the bottom, over the exit strip.
    EXPECT_TRUE(SameRect(*GUI_ShipBlueprint::GetOpen(), 440, 206, 1024, 723));
    EXPECT_TRUE(SameRect(*GUI_ModuleDetails::GetOpen(), 0, 413, 440, 723));
    EXPECT_TRUE(SameRect(*designer.GetExitButton(), 32, 736, 172, 756));
    EXPECT_EQ(GUI_ShipBlueprint::GetOpen()->GetPictureScale(), 517.0f - 15.0f);

    // No fixed stats panel: the blueprint's stats button opens a modal one.
    EXPECT_EQ(GUI_DesignStats::GetOpen(), nullptr);
    ASSERT_NE(GUI_ShipBlueprint::GetOpen()->GetStatsButton(), nullptr);
    G().ClickOn(*GUI_ShipBlueprint::GetOpen()->GetStatsButton());
    ASSERT_NE(GUI_DesignStats::GetOpen(), nullptr);
    EXPECT_TRUE(GUI_DesignStats::GetOpen()->IsModal());
    EXPECT_EQ(GUI_DesignStats::GetOpen()->width, 600);
    // While it is open the rest takes no clicks; Escape closes it, not the designer.
    G().ClickOn(*GUI_ModulePicker::GetOpen()->GetTab(GUI_ModulePicker::ENGINES));
    EXPECT_EQ(GUI_ModulePicker::GetOpen()->GetCurrentTab(), GUI_ModulePicker::WEAPONS);
    Game::GetInstance().OnKeyPress(KEY_ESCAPE);
    G().Frames();
    EXPECT_EQ(GUI_DesignStats::GetOpen(), nullptr);
    EXPECT_EQ(Game::GetInstance().GetModeId(), GUI_ShipDesignGUI::kModeId);
}

TEST_F(ShipDesigner, DropsLandUnderThePointerOrOnTheNearestEmptySlotWithin50Pixels)
{
    APP_UsageMetrics& metrics = APP_UsageMetrics::GetInstance();
    const int bad = metrics.GetEventCount("modulebaddrop");
    const int good = metrics.GetEventCount("modulegooddrop");
    const int errors = designer::GetSoundCount(designer::kSoundError);

    // A turret weapon on a standard slot under the pointer is refused, even
    // with a turret slot (8) less than 50 pixels away.
    G().DropOnSlot("cruiser_laser", 2);
    EXPECT_EQ(G().TypeIn(2), "");
    EXPECT_EQ(G().TypeIn(8), "");
    EXPECT_EQ(metrics.GetEventCount("modulebaddrop"), bad + 1);
    EXPECT_EQ(designer::GetSoundCount(designer::kSoundError), errors + 1);
    EXPECT_TRUE(Design().GetModules().empty());

    // A standard module on a turret slot is fine.
    G().DropOnSlot("cruiser_armour", 8);
    EXPECT_EQ(G().TypeIn(8), "cruiser_armour");
    EXPECT_EQ(metrics.GetEventCount("modulegooddrop"), good + 1);
    EXPECT_EQ(designer::GetLastSound(), designer::kSoundAccepted);
    EXPECT_EQ(Design().GetModuleInSlot(8)->GetName(), "cruiser_armour");
    EXPECT_TRUE(GUI_ShipDesignGUI::GetInstance().IsModified());

    // Between slots: straight left of slot 0 (nothing else lies there) the
    // icon snaps at 49 pixels and is gone at 50.
    const GUI_ShipSlot* s0 = G().Slot(0);
    const float cx = s0->GetCentreX(), cy = std::floor(s0->GetCentreY());
    const float frac = cx - std::floor(cx);
    G().DragFromPicker("cruiser_armour", std::floor(cx) - 50.0f, cy); // distance 50 + frac
    EXPECT_EQ(G().TypeIn(0), "");
    if (frac == 0.0f) {
        G().DragFromPicker("cruiser_armour", cx - 50.0f, cy); // exactly 50 is not closer than 50
        EXPECT_EQ(G().TypeIn(0), "");
    }
    G().DragFromPicker("cruiser_armour", std::floor(cx) - 49.0f, cy);
    EXPECT_EQ(G().TypeIn(0), "cruiser_armour");

    // The nearest compatible slot is taken: nothing lands though slot 1 is
    // empty and only a little farther.
    G().DragFromPicker("cruiser crew", std::floor(cx) - 40.0f, cy + 10.0f);
    EXPECT_EQ(G().TypeIn(0), "cruiser_armour");
    EXPECT_EQ(G().TypeIn(1), "");

    // Dragging a fitted module onto an occupied slot swaps the two.
    G().DropOnSlot("cruiser crew", 1);
    G().Drag(G().Slot(0)->GetCentreX(), G().Slot(0)->GetCentreY(), G().Slot(1)->GetCentreX(), G().Slot(1)->GetCentreY());
    EXPECT_EQ(G().TypeIn(0), "cruiser crew");
    EXPECT_EQ(G().TypeIn(1), "cruiser_armour");
    // A turret slot's module that cannot go back to a standard source is lost.
    G().DropOnSlot("cruiser_laser", 9);
    G().Drag(G().Slot(0)->GetCentreX(), G().Slot(0)->GetCentreY(), G().Slot(9)->GetCentreX(), G().Slot(9)->GetCentreY());
    EXPECT_EQ(G().TypeIn(9), "cruiser crew");
    EXPECT_EQ(G().TypeIn(0), "");

    // Dragged out far from every slot, a module leaves the design.
    G().Drag(G().Slot(1)->GetCentreX(), G().Slot(1)->GetCentreY(), 100.0f, 600.0f);
    EXPECT_EQ(G().TypeIn(1), "");
    EXPECT_EQ(Design().GetModuleInSlot(1), nullptr);

    // Right-click empties a slot; on an empty slot it changes nothing.
    GUI_ShipDesignGUI::GetInstance().SetModified(false);
    G().RightClick(G().Slot(1)->GetCentreX(), G().Slot(1)->GetCentreY());
    EXPECT_FALSE(GUI_ShipDesignGUI::GetInstance().IsModified());
    G().RightClick(G().Slot(8)->GetCentreX(), G().Slot(8)->GetCentreY());
    EXPECT_EQ(G().TypeIn(8), "");
    EXPECT_TRUE(GUI_ShipDesignGUI::GetInstance().IsModified());
}

TEST_F(ShipDesigner, StackedModulesLoseEffectivenessByClassNotByName)
{
    GUI_ShipBlueprint& blueprint = *GUI_ShipBlueprint::GetOpen();
    const SIM_ShipModuleType* armour = SIM_ShipModuleType::Find("cruiser_armour");
    ASSERT_FLOAT_EQ(armour->GetStackEffectiveness(), 0.8f);
    G().DropOnSlot("cruiser_armour", 0);
    EXPECT_FLOAT_EQ(blueprint.StackedEffectiveness(armour), 1.0f);
    G().DropOnSlot("cruiser_armour", 1);
    EXPECT_FLOAT_EQ(blueprint.StackedEffectiveness(armour), 0.8f);
    // Heavy armour is another module of the same class: it joins the stack.
    ScopedUnlocked owned({"cruiser_armour_heavy"});
    G().DropOnSlot("cruiser_armour_heavy", 2);
    EXPECT_FLOAT_EQ(blueprint.StackedEffectiveness(armour), 0.64f);
    const std::string expected = std::string(GetString("MOD_CRUISER_ARMOUR")) + " [64.00% " +
                                 GetString("BLUEPRINT_TOOLTIP_EFFECTIVENESS") + "]";
    ASSERT_NE(G().Slot(0)->GetTooltip(), nullptr);
    EXPECT_EQ(G().Slot(0)->GetTooltip()->GetLines().front(), expected);
    // Modules that do not stack stay whole however many there are.
    const SIM_ShipModuleType* crew = SIM_ShipModuleType::Find("cruiser crew");
    ASSERT_GE(crew->GetStackEffectiveness(), 1.0f);
    G().DropOnSlot("cruiser crew", 3);
    G().DropOnSlot("cruiser crew", 4);
    EXPECT_FLOAT_EQ(blueprint.StackedEffectiveness(crew), 1.0f);
}

TEST_F(ShipDesigner, SaveNeedsOneModuleEnoughCrewAndPowerToTheHundredth)
{
    GUI_ShipDesignSummary& summary = *GUI_ShipDesignSummary::GetOpen();
    const float hullPower = SIM_ShipHull::Find("fed_cruiser")->GetPowerProduced();
    auto scratch = [&](const char* name, const char* extra) {
        return std::string("[config]\nname = ") + name +
               "\nguiname = X\nclassname = SIM_StaticModule\nicon = icon_crew.dds\nslot_type = STANDARD\n"
               "category = OTHER\nsize = CRUISER\ncost = 1\nweight = 1\n" + extra;
    };
    ScratchType crew5(std::string("[config]\nname = t_crew5\nguiname = X\nclassname = SIM_CrewModule\nicon = icon_crew.dds\n"
                                  "slot_type = STANDARD\ncategory = OTHER\nsize = CRUISER\ncrewsupply = 5\n"));
    ScratchType gunner5(scratch("t_gunner5", "crew_required = 5\n"));
    ScratchType gunner1(scratch("t_gunner1", "crew_required = 1\n"));
    char load[64];
    std::snprintf(load, sizeof load, "powerconsumed = %.3f\n", static_cast<double>(hullPower) + 0.004);
    ScratchType justUnder(scratch("t_load", load));
    std::snprintf(load, sizeof load, "powerconsumed = %.3f\n", static_cast<double>(hullPower) + 0.011);
    ScratchType justOver(scratch("t_overload", load));
    GUI_ModulePicker::GetOpen()->BuildModuleList();

    // A hull alone is never valid, even using no power at all.
    GUI_ShipDesignSummary::RecalculateDesign();
    EXPECT_FALSE(summary.GetSaveButton()->enabled);

    GUI_ShipBlueprint& blueprint = *GUI_ShipBlueprint::GetOpen();
    auto fit = [&](int slot, SIM_ShipModuleType* type) {
        blueprint.FitModuleToSlot(G().Slot(slot), type);
        GUI_ShipDesignSummary::RecalculateDesign();
    };
    fit(0, crew5.type);
    fit(1, gunner5.type);
    EXPECT_TRUE(summary.GetSaveButton()->enabled) << "crew used equal to crew supplied";
    EXPECT_FALSE(summary.GetStrip(GUI_ShipDesignSummary::CREW_USED)->warning);
    fit(2, gunner1.type);
    EXPECT_FALSE(summary.GetSaveButton()->enabled);
    EXPECT_TRUE(summary.GetStrip(GUI_ShipDesignSummary::CREW_USED)->warning);
    EXPECT_TRUE(summary.GetStrip(GUI_ShipDesignSummary::CREW_SUPPLIED)->warning);
    EXPECT_FLOAT_EQ(summary.GetStrip(GUI_ShipDesignSummary::CREW_SUPPLIED)->fraction, 5.0f / 6.0f);
    fit(2, nullptr);

    // Power compares whole hundredths: 0.004 over still fits, 0.011 does not.
    fit(3, justUnder.type);
    EXPECT_TRUE(summary.GetSaveButton()->enabled);
    EXPECT_FALSE(summary.GetStrip(GUI_ShipDesignSummary::POWER_CONSUMED)->warning);
    fit(3, justOver.type);
    EXPECT_FALSE(summary.GetSaveButton()->enabled);
    EXPECT_TRUE(summary.GetStrip(GUI_ShipDesignSummary::POWER_PRODUCED)->warning);
    EXPECT_FLOAT_EQ(summary.GetStrip(GUI_ShipDesignSummary::POWER_CONSUMED)->fraction, 1.0f);
    // Cost, weight and speed have no bars.
    EXPECT_FALSE(summary.GetStrip(GUI_ShipDesignSummary::COST)->barShown);
    blueprint.BuildSlots(); // forget the scratch types before they go
    for (GUI_ShipSlot* slot : blueprint.GetSlots())
        blueprint.FitModuleToSlot(slot, nullptr);
}

TEST_F(ShipDesigner, PickerListsByHullClassRaceAndLocksWithLockedLast)
{
    auto names = [](const std::vector<SIM_ShipModuleType*>& list) {
        std::vector<std::string> out;
        for (const SIM_ShipModuleType* t : list)
            out.push_back(t->GetName());
        return out;
    };
    const auto all = GUI_ModulePicker::ListModules(GUI_ModulePicker::ALL, SIM_ShipHull::FRIGATE, "federation");
    ASSERT_FALSE(all.empty());
    for (const SIM_ShipModuleType* t : all) {
        EXPECT_EQ(t->GetSize(), SIM_ShipModuleType::FRIGATE) << t->GetName();
        EXPECT_TRUE(t->IsVisible()) << t->GetName();
    }
    // The owned ones first in interface order, then those for sale in the
    // order they were read.
    const auto isLocked = [](const SIM_ShipModuleType* t) { return t->GetUnlockable()->IsLocked(); };
    const auto firstLocked = std::find_if(all.begin(), all.end(), isLocked);
    EXPECT_NE(firstLocked, all.end()); // the shop sells frigate modules
    EXPECT_TRUE(std::all_of(firstLocked, all.end(), isLocked));
    for (auto it = all.begin(); it != firstLocked && it + 1 != firstLocked; ++it)
        EXPECT_LE((*it)->GetUiSortPos(), (*(it + 1))->GetUiSortPos());
    for (const SIM_ShipModuleType* t : GUI_ModulePicker::ListModules(GUI_ModulePicker::ENGINES, SIM_ShipHull::CRUISER, "federation"))
        EXPECT_EQ(t->GetCategory(), SIM_ShipModuleType::ENGINES);

    // Race restriction, a hidden type, and locked types after unlocked ones
    // whatever their interface order.
    ScratchType mine("[config]\nname = t_kor_only\nclassname = SIM_StaticModule\nslot_type = STANDARD\ncategory = WEAPONS\nsize = FRIGATE\n"
                     "restricted = korrath\nuisortpos = 1\n");
    ScratchType hidden("[config]\nname = t_hidden\nclassname = SIM_StaticModule\nslot_type = STANDARD\ncategory = WEAPONS\nsize = FRIGATE\n"
                       "hidden = 1\nuisortpos = 1\n");
    ScratchType locked("[config]\nname = t_locked\nclassname = SIM_StaticModule\nslot_type = STANDARD\ncategory = WEAPONS\nsize = FRIGATE\n"
                       "uisortpos = 0\nlockable = 1\nunlockcost = 5\n");
    const auto fed = names(GUI_ModulePicker::ListModules(GUI_ModulePicker::WEAPONS, SIM_ShipHull::FRIGATE, "federation"));
    const auto kor = names(GUI_ModulePicker::ListModules(GUI_ModulePicker::WEAPONS, SIM_ShipHull::FRIGATE, "korrath"));
    EXPECT_EQ(std::count(fed.begin(), fed.end(), "t_kor_only"), 0);
    ASSERT_FALSE(kor.empty());
    EXPECT_EQ(kor.front(), "t_kor_only");
    EXPECT_EQ(std::count(fed.begin(), fed.end(), "t_hidden"), 0);
    ASSERT_TRUE(locked.type->GetUnlockable()->IsLocked());
    EXPECT_EQ(fed.back(), "t_locked");

    // 31 modules make six rows: one notch of scrolling shows modules 7 on.
    GUI_ModulePicker& picker = *GUI_ModulePicker::GetOpen();
    GUI_ModulePicker::OnTab(GUI_ModulePicker::ALL);
    const size_t listed = picker.GetModuleList().size();
    EXPECT_EQ(picker.GetScroller()->maximum, std::max(0, static_cast<int>((listed + 5) / 6) - 5));
    EXPECT_EQ(picker.GetIcons().size(), std::min<size_t>(30, listed));
}

TEST_F(ShipDesigner, HullPickerGroupsRacesByIdThenClassesAndSelectsTheFirstUnlocked)
{
    // Korrath (id 1) before the federation (id 0) in the hull editor; in each,
    // cruiser, frigate, fighter.
    const auto editor = GUI_HullPicker::ListHulls(GUI_HullPicker::HULL_EDITOR, true, "federation");
    std::vector<std::string> names;
    for (const SIM_ShipHull* h : editor)
        names.push_back(h->GetName());
    EXPECT_EQ(names, (std::vector<std::string>{"kor_cruiser", "kor_frigate", "kor_fighter", "fed_cruiser",
                                               "fed_frigate", "fed_fighter"}));
    // For the designer a locked race adds nothing; without all races only
    // the player's race shows.
    const auto designer = GUI_HullPicker::ListHulls(GUI_HullPicker::DESIGNER, true, "federation");
    EXPECT_EQ(designer.size(), 3u);
    EXPECT_EQ(GUI_HullPicker::ListHulls(GUI_HullPicker::DESIGNER, false, "korrath").size(), 0u);

    // OK starts a design on the selected hull; with every hull locked nothing
    // is selected and OK stays off.
    G().ClickOn(*GUI_ShipDesignSummary::GetOpen()->GetChangeHullButton());
    GUI_HullPicker* picker = GUI_HullPicker::GetOpen();
    ASSERT_NE(picker, nullptr);
    // The federation cruiser is for sale: the frigate after it is selected.
    ASSERT_GE(picker->GetHulls().size(), 2u);
    ASSERT_TRUE(picker->GetHulls()[0]->GetUnlockable()->IsLocked());
    EXPECT_EQ(picker->GetSelectedHull(), picker->GetHulls()[1]);
    EXPECT_TRUE(picker->GetOkButton()->enabled);
    ASSERT_NE(picker->GetHullData(), nullptr);
    EXPECT_EQ(picker->GetHullData()->GetRows().size(), 7u + std::min<size_t>(3, picker->GetSelectedHull()->GetBonuses().size()));

    SIM_Unlockable::SetUnlockedQuery([](const std::string&) { return false; });
    std::vector<SIM_ShipHull*> forSale;
    for (SIM_ShipHull* hull : SIM_ShipHull::GetList()) {
        if (hull->GetUnlockable()->IsLockable())
            forSale.push_back(hull);
        hull->GetUnlockable()->SetLockable(true);
        hull->GetUnlockable()->RefreshLocked();
    }
    picker->BuildHullList();
    EXPECT_EQ(picker->GetSelectedHull(), nullptr);
    EXPECT_FALSE(picker->GetOkButton()->enabled);
    SIM_ShipHull* before = Design().GetHull();
    GUI_HullPicker::OnOk(reinterpret_cast<std::intptr_t>(picker));
    EXPECT_EQ(Design().GetHull(), before);
    // Everything open again (a hull that cannot be locked keeps the state it
    // had), then what is for sale follows the player's list once more.
    SIM_Unlockable::SetUnlockedQuery([](const std::string&) { return true; });
    for (SIM_ShipHull* hull : SIM_ShipHull::GetList()) {
        hull->GetUnlockable()->RefreshLocked();
        hull->GetUnlockable()->SetLockable(std::count(forSale.begin(), forSale.end(), hull) > 0);
    }
    SIM_Unlockable::SetUnlockedQuery(nullptr);
    SIM_Unlockable::RefreshAll();
}

TEST_F(ShipDesigner, AFigureThatIsNotZeroNeverReadsAsZeroInTheDetailsOrTheComparison)
{
    // Two places down to the last value they show; below it, two significant digits.
    EXPECT_EQ(FigureText(0.0), "0.00");
    EXPECT_EQ(FigureText(1.5), "1.50");
    EXPECT_EQ(FigureText(0.0051), "0.01");
    EXPECT_EQ(FigureText(0.004), "0.004");
    EXPECT_EQ(FigureText(static_cast<double>(0.005f)), "0.005") << "a float 0.005 lies just under it";
    EXPECT_EQ(FigureText(-0.004), "-0.004");
    EXPECT_EQ(FigureText(0.00012345), "0.00012");
    EXPECT_NE(std::strtod(FigureText(1e-30).c_str(), nullptr), 0.0);

    // The frigate shield's recharge rate (0.004) as the player sees it: in
    // the details row, and in the comparison of frigate modules.
    using T = SIM_ShipModuleType;
    SIM_ShipModuleType* shield = SIM_ShipModuleType::Find("frigate_shield");
    ASSERT_NE(shield, nullptr);
    GUI_ModuleDetails& details = *GUI_ModuleDetails::GetOpen();
    details.SetModule(shield);
    G().Frames();
    const GUI_DataItem* rechargeRow = nullptr;
    for (const GUI_DataItem* r : details.GetRows())
        if (r->GetLabel() == GetString("MODULE_DATA_RECHARGE_RATE"))
            rechargeRow = r;
    ASSERT_NE(rechargeRow, nullptr);
    EXPECT_EQ(rechargeRow->GetValue(), "0.004");
    G().ClickOn(*rechargeRow);
    GUI_ModuleStatComparison* comparison = GUI_ModuleStatComparison::GetOpen();
    ASSERT_NE(comparison, nullptr);
    const auto& entries = comparison->GetEntries();
    const auto own = std::find_if(entries.begin(), entries.end(), [&](const auto& e) { return e.type == shield; });
    ASSERT_NE(own, entries.end());
    EXPECT_EQ(own->text, "0.004");
    EXPECT_EQ(GUI_ModuleStatComparison::FormatEntryValue(0.004f, T::DECIMAL_MULT, 0.5f), "0.002");
}

TEST_F(ShipDesigner, DataRowsFormatEachTypeAndComparisonsWithoutAMaximumDrawNoBar)
{
    ScratchType t("[config]\nname = t_rows\nclassname = SIM_StaticModule\nslot_type = STANDARD\nsize = FIGHTER\nflag = 2\nrate = 1.5\n"
                  "count = 7.9\nlabel = twin\nzero = 0\n"
                  "[dataitems]\nitem0 = flag,BOOL\nitem1 = rate,DECIMAL_MULT,10\nitem2 = count,INTEGER\n"
                  "item3 = label,STRING\nitem4 = rate,DECIMAL\n");
    using T = SIM_ShipModuleType;
    EXPECT_EQ(GUI_DataItem::FormatValue(*t.type, "flag", T::BOOL, 1.0f), GetString("MODULE_DETAILS_BOOL_TRUE"));
    EXPECT_EQ(GUI_DataItem::FormatValue(*t.type, "zero", T::BOOL, 1.0f), GetString("MODULE_DETAILS_BOOL_FALSE"));
    EXPECT_EQ(GUI_DataItem::FormatValue(*t.type, "rate", T::DECIMAL_MULT, 10.0f), "15.00");
    EXPECT_EQ(GUI_DataItem::FormatValue(*t.type, "count", T::INTEGER, 1.0f), "7");
    EXPECT_EQ(GUI_DataItem::FormatValue(*t.type, "label", T::STRING, 1.0f), "twin");
    EXPECT_EQ(GUI_DataItem::FormatValue(*t.type, "rate", T::DECIMAL, 1.0f), "1.50");
    GUI_DataItem* row = AddModuleDataItem(t.type, "max_range", T::INTEGER, 1.0f);
    EXPECT_EQ(row->GetLabel(), GetString("MODULE_DATA_MAX_RANGE"));
    EXPECT_EQ(row->GetTooltip()->GetLines().front(), GetString("MOD_MAX_RANGE_TOOLTIP"));
    delete row;

    // Nothing above 0: every fraction is 0 (no bar), never NaN.
    for (const auto& e : GUI_ModuleStatComparison::BuildEntries(T::FIGHTER, "zero")) {
        EXPECT_FALSE(std::isnan(e.fraction));
        EXPECT_EQ(e.fraction, 0.0f);
    }
    // Otherwise sorted down from the highest, which has the full bar.
    const auto ranges = GUI_ModuleStatComparison::BuildEntries(T::CRUISER, "max_range");
    ASSERT_GE(ranges.size(), 2u);
    EXPECT_EQ(ranges.front().fraction, 1.0f);
    for (size_t i = 1; i < ranges.size(); ++i) {
        EXPECT_GE(ranges[i - 1].value, ranges[i].value);
        EXPECT_EQ(ranges[i].type->GetSize(), T::CRUISER);
    }

    // Clicking a details row opens the comparison of that item, the clicked
    // module among the entries.
    GUI_ModuleDetails& details = *GUI_ModuleDetails::GetOpen();
    details.SetModule(SIM_ShipModuleType::Find("cruiser_laser"));
    G().Frames();
    const GUI_DataItem* rangeRow = nullptr;
    for (const GUI_DataItem* r : details.GetRows())
        if (r->GetLabel() == GetString("MODULE_DATA_MAX_RANGE"))
            rangeRow = r;
    ASSERT_NE(rangeRow, nullptr);
    // Long labels are drawn smaller rather than cut, down to 12; only then cut.
    bool shrunk = false;
    for (const GUI_DataItem* r : details.GetRows()) {
        EXPECT_GE(r->GetShownSize(), GUI_DataItem::kSmallestLabelSize);
        if (r->GetShownLabel() != r->GetLabel()) {
            EXPECT_EQ(r->GetShownSize(), GUI_DataItem::kSmallestLabelSize) << r->GetLabel();
        }
        shrunk = shrunk || r->GetShownSize() < 16.0f;
    }
    EXPECT_TRUE(shrunk);
    {
        GUI_DataItem* narrow = AddModuleDataItem(SIM_ShipModuleType::Find("cruiser_laser"), "max_range", T::INTEGER, 1.0f);
        narrow->SetSize(90, 18);
        narrow->FitLabel();
        EXPECT_EQ(narrow->GetShownSize(), GUI_DataItem::kSmallestLabelSize);
        EXPECT_LT(narrow->GetShownLabel().size(), narrow->GetLabel().size());
        delete narrow;
    }
    G().ClickOn(*rangeRow);
    GUI_ModuleStatComparison* comparison = GUI_ModuleStatComparison::GetOpen();
    ASSERT_NE(comparison, nullptr);
    EXPECT_EQ(comparison->GetEntries()[static_cast<size_t>(comparison->GetCurrentIndex())].type->GetName(),
              "cruiser_laser");
    EXPECT_EQ(comparison->GetVisibleRows(), std::min<int>(static_cast<int>(ranges.size()), comparison->GetVisibleRows()));
    EXPECT_EQ(comparison->GetMaximumOffset(), static_cast<int>(ranges.size()) - comparison->GetVisibleRows());
}

TEST_F(ShipDesigner, LoaderSortsByColumnAndDeletesOnlyThePlayersOwnFiles)
{
    std::vector<GUI_DesignLoader::Row> rows(4);
    const char* cells[4][3] = {{"b", "Cruiser", "x"}, {"a", "Frigate", "y"}, {"b", "Cruiser", "z"}, {"c", "Fighter", "x"}};
    for (size_t i = 0; i < rows.size(); ++i)
        for (int c = 0; c < 3; ++c)
            rows[i].columns[c] = cells[i][c];
    auto order = [&] {
        std::string out;
        for (const auto& r : rows)
            out += r.columns[0] + r.columns[2];
        return out;
    };
    int key = GUI_DesignLoader::BY_NAME;
    bool reverse = true;
    GUI_DesignLoader::SortRows(rows, key, reverse, GUI_DesignLoader::BY_NAME); // first press: file order reversed
    EXPECT_EQ(order(), "cxbzaybx");
    GUI_DesignLoader::SortRows(rows, key, reverse, GUI_DesignLoader::BY_CLASS);
    EXPECT_EQ(order(), "bzbxcxay"); // ascending, equal texts keep their order
    GUI_DesignLoader::SortRows(rows, key, reverse, GUI_DesignLoader::BY_CLASS);
    EXPECT_EQ(order(), "aycxbxbz");

    // A sample and a file of our own: only ours can be deleted.
    const std::string own = ShipsFolder() + "/doomed.txt";
    SIM_ShipDesign* sample = nullptr;
    for (SIM_ShipDesign* d : SIM_ShipDesign::GetList())
        if (d->GetFileName().rfind("data/sampleships/", 0) == 0 && d->GetHull())
            sample = d;
    ASSERT_NE(sample, nullptr);
    EXPECT_FALSE(GUI_DesignLoader::IsDeletable(sample->GetFileName()));
    EXPECT_FALSE(GUI_DesignLoader::IsDeletable(ShipsFolder() + "/../prefs.ini"));
    EXPECT_TRUE(GUI_DesignLoader::IsDeletable(own));

    CopyFileTo(sample->GetFileName(), own, true);
    SIM_ShipDesign::LoadFile(own, true);
    G().ClickOn(*GUI_ShipDesignSummary::GetOpen()->GetLoadButton());
    GUI_DesignLoader* loader = GUI_DesignLoader::GetOpen();
    ASSERT_NE(loader, nullptr);
    const GUI_DesignLoader::Row* ownRow = nullptr;
    for (const auto& r : loader->GetRows()) {
        // Ours (and any other file an earlier test saved there) can go; shipped ones never.
        EXPECT_EQ(r.deleteButton != nullptr, GUI_DesignLoader::IsDeletable(r.design->GetFileName()))
            << r.design->GetFileName();
        if (r.design->GetFileName().rfind("data/", 0) == 0) {
            EXPECT_EQ(r.deleteButton, nullptr) << r.design->GetFileName();
        }
        if (r.design->GetFileName() == own)
            ownRow = &r;
    }
    ASSERT_NE(ownRow, nullptr);
    // The file vanishes before the answer: what the player asked for is done,
    // and the design goes with it.
    GUI_DesignLoader::AskDelete(ownRow->deleteButton->argument);
    std::remove(own.c_str());
    G().ClickOn(*GUI_ConfirmDialog::GetOpen()->GetYesButton());
    EXPECT_EQ(GUI_Message::GetOpen(), nullptr);
    for (const SIM_ShipDesign* d : SIM_ShipDesign::GetList())
        EXPECT_NE(d->GetFileName(), own);
    for (const auto& r : loader->GetRows())
        EXPECT_NE(r.design->GetFileName(), own);
}

TEST_F(ShipDesigner, LoaderRefusesToDeleteADesignInUseAndDeletesOneThatIsNot)
{
    G().DropOnSlot("cruiser_armour", 0);
    GUI_ShipDesignSummary::SaveDesignAs("Loader Doomed");
    const std::string file = ShipsFolder() + "/loader doomed.txt";
    ASSERT_TRUE(FileExists(file));
    GUI_WindowManager& manager = GUI_WindowManager::GetInstance();
    auto design = [&]() -> SIM_ShipDesign* {
        for (SIM_ShipDesign* d : SIM_ShipDesign::GetList())
            if (d->GetFileName() == file)
                return d;
        return nullptr;
    };
    // Asks through the row's delete button and answers yes; the message
    // shown after it, or empty.
    auto deleteFromLoader = [&]() -> std::string {
        if (!GUI_DesignLoader::GetOpen())
            G().ClickOn(*GUI_ShipDesignSummary::GetOpen()->GetLoadButton());
        GUI_DesignLoader* loader = GUI_DesignLoader::GetOpen();
        EXPECT_NE(loader, nullptr);
        if (!loader)
            return "no loader";
        for (const auto& r : loader->GetRows()) {
            if (r.design->GetFileName() != file)
                continue;
            EXPECT_NE(r.deleteButton, nullptr);
            // Its race by the race's own name.
            EXPECT_EQ(r.columns[GUI_DesignLoader::BY_RACE], "Federation");
            GUI_DesignLoader::AskDelete(r.deleteButton->argument);
            // The question names the design that would go.
            EXPECT_EQ(GUI_ConfirmDialog::GetOpen()->GetQuestion(), "Delete \"Loader Doomed\" for good?");
            G().ClickOn(*GUI_ConfirmDialog::GetOpen()->GetYesButton());
            G().Frames();
            const GUI_Message* message = GUI_Message::GetOpen();
            return message ? message->GetText() : std::string();
        }
        return "no row";
    };
    auto stillThere = [&] {
        EXPECT_TRUE(FileExists(file));
        EXPECT_NE(design(), nullptr);
        ASSERT_NE(GUI_DesignLoader::GetOpen(), nullptr);
        const auto& rows = GUI_DesignLoader::GetOpen()->GetRows();
        EXPECT_TRUE(std::any_of(rows.begin(), rows.end(), [&](const auto& r) { return r.design == design(); }));
        manager.CloseTopModal(); // the message
        manager.DeleteQueuedWindows();
    };
    const std::string inUse = GetString("DESIGN_DELETE_IN_USE_TEXT");

    // Named by a saved deployment, in another case than the design's own.
    const std::string saved = G().User().Write("deployments/scenario1/kept fleet.txt", "[ships]\ndesign = LOADER Doomed\n");
    EXPECT_EQ(deleteFromLoader(), inUse);
    stillThere();
    std::remove(saved.c_str());

    // Held by a ship in memory.
    design()->AddUser();
    EXPECT_EQ(deleteFromLoader(), inUse);
    stillThere();
    design()->RemoveUser();

    // Placed in the deployment screen's fleet that the designer hands back.
    const std::string temp = G().User().Write("deployments/scenario1/_temp_deployment.txt",
                                              "[ships]\ndesign = loader doomed\n");
    Game::GetInstance().SetMode(15);
    GUI_DeploymentGUI::GetInstance().SetScenario(SIM_Scenario::FindByName("scenario1"));
    GUI_DeploymentGUI::GetInstance().SetReturnMode(15);
    GUI_ShipDesignGUI::OpenFrom(GUI_ShipDesignGUI::RETURN_DEPLOYMENT, temp);
    G().Frames();
    EXPECT_EQ(deleteFromLoader(), inUse);
    stillThere();
    manager.CloseTopModal(); // the loader
    manager.DeleteQueuedWindows();
    std::remove(temp.c_str());
    GUI_ShipDesignGUI::OpenFrom(GUI_ShipDesignGUI::RETURN_MAIN_MENU);
    G().Frames();

    // Nothing uses it: file, design and row go, without a message.
    EXPECT_EQ(deleteFromLoader(), "");
    EXPECT_FALSE(FileExists(file));
    EXPECT_EQ(design(), nullptr);
    ASSERT_NE(GUI_DesignLoader::GetOpen(), nullptr);
    for (const auto& r : GUI_DesignLoader::GetOpen()->GetRows())
        EXPECT_NE(r.design->GetFileName(), file);
}

TEST_F(ShipDesigner, SavingWritesTheLowerCasedSafeNameAndReloadsAFreshCopy)
{
    // The working copy is nobody else's: not in the global list.
    const auto& list = SIM_ShipDesign::GetList();
    EXPECT_EQ(std::find(list.begin(), list.end(), &Design()), list.end());

    EXPECT_EQ(SIM_ShipDesign::SanitiseDesignName("  My/../Ship<>: 2 "), "MyShip 2");
    EXPECT_EQ(SIM_ShipDesign::SanitiseDesignName("__ _"), "unnamed");
    EXPECT_EQ(SIM_ShipDesign::SanitiseDesignName(std::string(64, 'a') + "b"), std::string(64, 'a'));
    EXPECT_EQ(SIM_ShipDesign::SanitiseDesignName(std::string(63, 'a') + " b"), std::string(63, 'a'));

    G().DropOnSlot("cruiser_armour", 0);
    GUI_ShipDesignSummary::SaveDesignAs("Sky/../Hawk");
    const std::string path = ShipsFolder() + "/skyhawk.txt";
    ASSERT_TRUE(FileExists(path));
    EXPECT_EQ(Design().GetFileName(), path);
    EXPECT_EQ(Design().GetGuiName(), "SkyHawk");
    EXPECT_FALSE(GUI_ShipDesignGUI::GetInstance().IsModified());
    EXPECT_EQ(std::find(list.begin(), list.end(), &Design()), list.end());
    const SIM_ShipDesign* saved = SIM_ShipDesign::FindByFileName(path);
    ASSERT_NE(saved, nullptr);
    EXPECT_EQ(saved->GetName(), "skyhawk");
    EXPECT_EQ(saved->GetModuleInSlot(0)->GetName(), "cruiser_armour");
    EXPECT_EQ(GUI_ShipDesignSummary::GetOpen()->GetNameField()->GetText(), "SkyHawk");

    // Typing "SKYHAWK" in the save dialog asks before replacing skyhawk.txt.
    GUI_ShipDesignSummary::OpenSaveDesignDialog();
    GUI_SaveFileDialog* dialog = GUI_SaveFileDialog::GetOpen();
    ASSERT_NE(dialog, nullptr);
    dialog->GetTextField()->SetText("SKYHAWK");
    EXPECT_EQ(dialog->GetTargetPath(), path);
    G().ClickOn(*dialog->GetSaveButton());
    ASSERT_NE(GUI_ConfirmDialog::GetOpen(), nullptr);
    EXPECT_EQ(GUI_ConfirmDialog::GetOpen()->GetQuestion(), GetString("OVERWRITE_CONFIRM_TEXT"));
    G().ClickOn(*GUI_ConfirmDialog::GetOpen()->GetNoButton());
    EXPECT_TRUE(FileExists(path));
    G().ClickOn(*dialog->GetCloseButton());
    ASSERT_EQ(GUI_SaveFileDialog::GetOpen(), nullptr);

    // A write that fails keeps the edited copy and the modified flag, says so
    // and does not reload.
    std::filesystem::create_directories(ShipsFolder() + "/blocked.txt");
    G().DropOnSlot("cruiser crew", 1);
    SIM_ShipDesign* editing = &Design();
    ASSERT_TRUE(GUI_ShipDesignGUI::GetInstance().IsModified());
    GUI_ShipDesignSummary::SaveDesignAs("Blocked");
    EXPECT_EQ(&Design(), editing);
    EXPECT_TRUE(GUI_ShipDesignGUI::GetInstance().IsModified());
    EXPECT_EQ(G().TypeIn(1), "cruiser crew");
    ASSERT_NE(GUI_Message::GetOpen(), nullptr);
    EXPECT_EQ(GUI_Message::GetOpen()->GetText(), GetString("DESIGN_SAVE_FAILED_TEXT"));
    EXPECT_EQ(SIM_ShipDesign::FindByFileName(ShipsFolder() + "/blocked.txt"), nullptr);
    // Told once: the generic failed-save notice does not follow it.
    G().Frames(2);
    ASSERT_NE(GUI_Message::GetOpen(), nullptr);
    EXPECT_EQ(GUI_Message::GetOpen()->GetText(), GetString("DESIGN_SAVE_FAILED_TEXT"));
}

TEST_F(ShipDesigner, TheSaveDialogTakesTypingAtOnceAndRefusesTheNameOfAShippedDesign)
{
    G().DropOnSlot("cruiser_armour", 0);
    auto press = [](SDL_Scancode key) {
        G().window->InjectKey(key, true);
        G().window->InjectKey(key, false);
    };
    // All in one frame, as a fast typist on a slow frame: no key is lost.
    auto typeName = [&press](const std::string& name) {
        GUI_SaveFileDialog* dialog = GUI_SaveFileDialog::GetOpen();
        for (size_t i = dialog->GetTextField()->GetText().size(); i > 0; --i)
            press(SDL_SCANCODE_BACKSPACE);
        G().window->InjectText(name);
        G().Frames();
    };

    // Opened, the name field has the keyboard: what the player types goes in.
    GUI_ShipDesignSummary::OpenSaveDesignDialog();
    GUI_SaveFileDialog* dialog = GUI_SaveFileDialog::GetOpen();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->GetTextField()->IsEditing());
    EXPECT_EQ(GUI_ShipDesignGUI::GetInstance().keyboardFocus, dialog->GetTextField());
    typeName("Federation Line Cruiser");
    EXPECT_EQ(dialog->GetTextField()->GetText(), "Federation Line Cruiser");

    // A shipped design's display name, or its name in any case, is refused:
    // nothing is written, the work stays unsaved and the dialog open. Once
    // the message is closed by its button, typing reaches the field again.
    for (const char* taken : {"Federation Line Cruiser", "FED_SAMPLE_FRIGATE"}) {
        typeName(taken);
        G().ClickOn(*dialog->GetSaveButton());
        ASSERT_NE(GUI_Message::GetOpen(), nullptr) << taken;
        EXPECT_EQ(GUI_Message::GetOpen()->GetText(), GetString("DESIGN_NAME_TAKEN_TEXT"));
        EXPECT_FALSE(FileExists(SIM_ShipDesign::PlayerDesignFilePath(ShipsFolder(), taken))) << taken;
        EXPECT_TRUE(GUI_ShipDesignGUI::GetInstance().IsModified());
        EXPECT_EQ(GUI_SaveFileDialog::GetOpen(), dialog);
        // Typed while the message is up: it goes nowhere.
        G().window->InjectText("x");
        G().Frames();
        EXPECT_EQ(dialog->GetTextField()->GetText(), SanitiseFileName(taken, GUI_SaveFileDialog::kMaxNameLength));
        G().ClickOn(*GUI_Message::GetOpen()->GetCloseButton());
        G().Frames();
        ASSERT_EQ(GUI_Message::GetOpen(), nullptr);
        EXPECT_TRUE(dialog->GetTextField()->IsEditing());
    }
    EXPECT_FALSE(GUI_ShipDesignSummary::IsNameOfGamesOwnDesign("Line Cruiser Mk2"));
    typeName("Line Cruiser Mk2");
    EXPECT_EQ(dialog->GetTextField()->GetText(), "Line Cruiser Mk2");
    // Enter saves, as the button does.
    press(SDL_SCANCODE_RETURN);
    G().Frames();
    EXPECT_EQ(GUI_SaveFileDialog::GetOpen(), nullptr);
    EXPECT_TRUE(FileExists(ShipsFolder() + "/line cruiser mk2.txt"));
    EXPECT_FALSE(GUI_ShipDesignGUI::GetInstance().IsModified());

    // A No to the overwrite question leaves the field taking keys; Enter
    // asks again and Yes writes.
    G().DropOnSlot("cruiser crew", 1);
    GUI_ShipDesignSummary::OpenSaveDesignDialog();
    dialog = GUI_SaveFileDialog::GetOpen();
    ASSERT_NE(dialog, nullptr);
    typeName("Line Cruiser Mk2");
    press(SDL_SCANCODE_RETURN);
    G().Frames();
    ASSERT_NE(GUI_ConfirmDialog::GetOpen(), nullptr);
    EXPECT_EQ(GUI_ConfirmDialog::GetOpen()->GetQuestion(), GetString("OVERWRITE_CONFIRM_TEXT"));
    G().ClickOn(*GUI_ConfirmDialog::GetOpen()->GetNoButton());
    G().Frames();
    EXPECT_EQ(GUI_SaveFileDialog::GetOpen(), dialog);
    G().window->InjectText(" B");
    G().Frames();
    EXPECT_EQ(dialog->GetTextField()->GetText(), "Line Cruiser Mk2 B");
    press(SDL_SCANCODE_RETURN);
    G().Frames();
    EXPECT_EQ(GUI_SaveFileDialog::GetOpen(), nullptr);
    EXPECT_TRUE(FileExists(ShipsFolder() + "/line cruiser mk2 b.txt"));

    // Escape closes the dialog although its field has the keyboard.
    GUI_ShipDesignSummary::OpenSaveDesignDialog();
    ASSERT_NE(GUI_SaveFileDialog::GetOpen(), nullptr);
    press(SDL_SCANCODE_ESCAPE);
    G().Frames(2);
    EXPECT_EQ(GUI_SaveFileDialog::GetOpen(), nullptr);
    EXPECT_EQ(Game::GetInstance().GetModeId(), GUI_ShipDesignGUI::kModeId);
}

TEST_F(ShipDesigner, LoadingClonesTheDesignInMemoryNotItsFile)
{
    G().DropOnSlot("cruiser_armour", 0);
    GUI_ShipDesignSummary::SaveDesignAs("clone source");
    const std::string path = ShipsFolder() + "/clone source.txt";
    SIM_ShipDesign* loaded = SIM_ShipDesign::FindByFileName(path);
    ASSERT_NE(loaded, nullptr);
    // The file changes behind the game's back; the loaded design stays as read.
    WriteFileAtomically(path, "[config]\nname = other\nguiname = Other\nhull = fed_frigate\n[modules]\n");
    GUI_ShipDesignSummary::LoadDesignByFileName(path);
    EXPECT_EQ(Design().GetHull()->GetName(), "fed_cruiser");
    EXPECT_EQ(Design().GetModuleInSlot(0)->GetName(), "cruiser_armour");
    EXPECT_NE(&Design(), loaded);
    EXPECT_FALSE(GUI_ShipDesignGUI::GetInstance().IsModified());
    // A name with no loaded design: the error sound and a message.
    GUI_ShipDesignSummary::LoadDesignByFileName(ShipsFolder() + "/nothing.txt");
    EXPECT_EQ(designer::GetLastSound(), designer::kSoundError);
    ASSERT_NE(GUI_Message::GetOpen(), nullptr);
}

TEST_F(ShipDesigner, LeavingAsksOnlyAfterChangesAndTheDeploymentGetsItsFleetBack)
{
    // Unchanged: leaves at once.
    Game::GetInstance().OnKeyPress(KEY_ESCAPE);
    EXPECT_EQ(Game::GetInstance().GetModeId(), 15);

    G().OpenOnHull("fed_cruiser");
    G().DropOnSlot("cruiser_armour", 0);
    Game::GetInstance().OnKeyPress(KEY_ESCAPE);
    ASSERT_NE(GUI_ConfirmDialog::GetOpen(), nullptr);
    Game::GetInstance().OnKeyPress(KEY_ESCAPE); // closes the question only
    G().Frames();
    EXPECT_EQ(GUI_ConfirmDialog::GetOpen(), nullptr);
    EXPECT_EQ(Game::GetInstance().GetModeId(), GUI_ShipDesignGUI::kModeId);

    // From the deployment screen: back there, the temporary deployment is
    // reloaded and then removed by its full path.
    const std::string temp = G().User().Write("deployments/scenario1/_temp_deployment.txt", "[ships]\n");
    Game::GetInstance().SetMode(15);
    GUI_DeploymentGUI::GetInstance().SetScenario(SIM_Scenario::FindByName("scenario1"));
    GUI_DeploymentGUI::GetInstance().SetReturnMode(15);
    bool existedAtReload = false;
    GUI_ShipDesignGUI::SetDeploymentReload([&](const std::string& p) { existedAtReload = p == temp && FileExists(p); });
    GUI_ShipDesignGUI::OpenFrom(GUI_ShipDesignGUI::RETURN_DEPLOYMENT, temp);
    EXPECT_EQ(GUI_ShipDesignGUI::GetInstance().GetExitButton()->GetText(), GetString("SHIPDESIGN_DEPLOYMENT"));
    G().Frames();
    G().ClickOn(*GUI_ShipDesignGUI::GetInstance().GetExitButton());
    EXPECT_EQ(Game::GetInstance().GetModeId(), 2);
    EXPECT_TRUE(existedAtReload);
    EXPECT_FALSE(FileExists(temp));
    GUI_ShipDesignGUI::SetDeploymentReload(nullptr);
    GUI_ShipDesignGUI::OpenFrom(GUI_ShipDesignGUI::RETURN_MAIN_MENU);
}

TEST_F(ShipDesigner, HullFiguresShowThreeBonusesAtATimeAndTheLengthInWholeMetres)
{
    TempDir dir;
    const std::string path = dir.Write("hull.txt",
                                       "[config]\nname = t_hull\nguiname = T\nclassname = frigate\nracename = federation\n"
                                       "width = 40\nheight = 87.9\ncost = 12.5\npowerproduced = 3\n"
                                       "[slots]\n0 = 128,60,STANDARD\n1 = 128,100,TURRET\n2 = 128,140,TURRET\n"
                                       "[bonuses]\n0 = SHIELDBOOST,0.1\n1 = SPEEDBOOST,0.2\n2 = COSTBOOST,0.3\n"
                                       "3 = POWERBOOST,0.4\n4 = ARMOURBOOST,0.5\n");
    auto* hull = new SIM_ShipHull();
    ASSERT_TRUE(hull->Read(path));
    GUI_HullData data;
    data.SetRect(0, 0, 300, 200);
    data.SetHull(hull);
    ASSERT_EQ(data.GetRows().size(), 7u + 3u);
    EXPECT_EQ(data.GetRows()[0]->GetValue(), "12.50");
    EXPECT_EQ(data.GetRows()[2]->GetValue(), std::string("87 ") + GetString("HULLPICKER_METERS"));
    EXPECT_EQ(data.GetRows()[3]->GetValue(), "1");
    EXPECT_EQ(data.GetRows()[4]->GetValue(), "2");
    EXPECT_EQ(data.GetScroller()->maximum, 2);
    EXPECT_EQ(data.GetBonusRows().front()->GetLabel(), hull->GetBonusDescription(hull->GetBonuses()[0]));
    data.GetScroller()->ScrollDown();
    data.GetScroller()->ScrollDown();
    data.GetScroller()->ScrollDown(); // already at the end
    data.Draw();
    ASSERT_EQ(data.GetBonusRows().size(), 3u);
    EXPECT_EQ(data.GetBonusRows().front()->GetLabel(), hull->GetBonusDescription(hull->GetBonuses()[2]));
    EXPECT_EQ(data.GetBonusRows().back()->GetLabel(), hull->GetBonusDescription(hull->GetBonuses()[4]));
    EXPECT_EQ(data.GetRows().size(), 10u);
    // Another hull replaces every row.
    data.SetHull(SIM_ShipHull::Find("fed_fighter"));
    EXPECT_EQ(data.GetRows().size(), 7u + std::min<size_t>(3, SIM_ShipHull::Find("fed_fighter")->GetBonuses().size()));
    EXPECT_EQ(data.GetRows()[0]->GetValue(), "40.00");
    delete hull;
}

TEST_F(ShipDesigner, ComparisonOpensScrolledToTheClickedModuleWithinItsLimits)
{
    // Forty fighter modules with a key of our own, values 1..40: the one at
    // index 31 opens clamped to the last page, the one at 20 centred.
    std::vector<std::unique_ptr<ScratchType>> types;
    for (int i = 1; i <= 40; ++i)
        types.push_back(std::make_unique<ScratchType>("[config]\nname = t_c" + std::to_string(i) +
                                                      "\nclassname = SIM_StaticModule\nslot_type = STANDARD\n"
                                                      "size = FIGHTER\nt_cmp = " + std::to_string(i) + "\n"));
    GUI_ModuleStatComparison* c = GUI_ModuleStatComparison::Open(types[8]->type, "t_cmp", SIM_ShipModuleType::INTEGER, 1.0f);
    ASSERT_NE(c, nullptr);
    ASSERT_EQ(c->GetEntries().size(), 40u);
    const int visible = c->GetVisibleRows();
    EXPECT_LE(visible * GUI_ModuleStatComparison::kRowHeight, GUI_ModuleStatComparison::kMaxHeight);
    EXPECT_EQ(c->GetMaximumOffset(), 40 - visible);
    EXPECT_EQ(c->GetCurrentIndex(), 31);
    EXPECT_EQ(c->GetOffset(), c->GetMaximumOffset());
    EXPECT_FLOAT_EQ(c->GetEntries()[20].fraction, 20.0f / 40.0f);
    c = GUI_ModuleStatComparison::Open(types[19]->type, "t_cmp", SIM_ShipModuleType::INTEGER, 1.0f);
    EXPECT_EQ(c->GetCurrentIndex(), 20);
    EXPECT_EQ(c->GetOffset(), 20 - visible / 2);
    G().Frames(); // deletes the replaced one
    GUI_WindowManager::GetInstance().CloseWindow(c);
    G().Frames();
    EXPECT_EQ(GUI_ModuleStatComparison::GetOpen(), nullptr);
    // A handful of entries: the dialog shrinks to them and nothing scrolls.
    types.resize(5);
    c = GUI_ModuleStatComparison::Open(types[0]->type, "t_cmp", SIM_ShipModuleType::INTEGER, 1.0f);
    EXPECT_EQ(c->GetVisibleRows(), 5);
    EXPECT_EQ(c->GetOffset(), 0);
    GUI_WindowManager::GetInstance().CloseWindow(c);
    G().Frames();
}

TEST_F(ShipDesigner, PickerClicksDetailsRowsAndTheHullView)
{
    // The details rows of a module run down one column, then the next.
    GUI_ModuleDetails& details = *GUI_ModuleDetails::GetOpen();
    details.SetModule(SIM_ShipModuleType::Find("cruiser_laser"));
    const auto& rows = details.GetRows();
    ASSERT_EQ(rows.size(), SIM_ShipModuleType::Find("cruiser_laser")->GetDataItems().size());
    size_t firstColumn = 0;
    while (firstColumn < rows.size() && rows[firstColumn]->left == rows.front()->left)
        ++firstColumn;
    ASSERT_LT(firstColumn, rows.size());
    EXPECT_EQ(rows[firstColumn]->top, rows.front()->top);
    EXPECT_GT(rows[firstColumn - 1]->top + GUI_ModuleDetails::kRowStep, details.clientBottom - 18);
    EXPECT_EQ(rows[1]->top - rows[0]->top, GUI_ModuleDetails::kRowStep);
    // Behind the rows, stripes on the highlight panel at opacity 0.2: its
    // 8-pixel corner at each stripe's top left, a pixel above its row.
    auto& device = *static_cast<HeadlessGraphicsDevice*>(D3DEngine::GetInstance().GetDevice());
    device.ClearDraws();
    G().Frames();
    int corners = 0;
    for (const HeadlessGraphicsDevice::DrawRecord& draw : device.GetDraws()) {
        for (size_t q = 0; q + 4 <= draw.vertices.size(); q += 4) {
            const ScreenVertex* v = &draw.vertices[q];
            float l = v[0].x, t = v[0].y, r = v[0].x, b = v[0].y;
            for (int i = 1; i < 4; ++i) {
                l = std::min(l, v[i].x);
                t = std::min(t, v[i].y);
                r = std::max(r, v[i].x);
                b = std::max(b, v[i].y);
            }
            if ((v[0].colour >> 24) == 0x33u && std::fabs(l - static_cast<float>(details.clientLeft + 5)) < 0.5f &&
                std::fabs(r - l - 8.0f) < 0.5f && std::fabs(b - t - 8.0f) < 0.5f &&
                std::fabs(std::remainder(t - static_cast<float>(rows.front()->top - 1),
                                         static_cast<float>(GUI_ModuleDetails::kRowStep))) < 0.5f)
                ++corners;
        }
    }
    // The device keeps only the first vertices of a long run.
    EXPECT_GT(corners, 0);
    EXPECT_LE(corners, details.GetStripeCount());

    // A locked icon gives nothing: no drag, no details, no count.
    ScratchType locked("[config]\nname = t_locked_pick\nclassname = SIM_StaticModule\nslot_type = STANDARD\n"
                       "category = WEAPONS\nsize = CRUISER\nlockable = 1\nunlockcost = 5\n");
    APP_UsageMetrics& metrics = APP_UsageMetrics::GetInstance();
    const int clicks = metrics.GetEventCount("modpickiconclick");
    const GUI_ModulePickerIcon* icon = G().Icon("t_locked_pick");
    ASSERT_NE(icon, nullptr);
    EXPECT_TRUE(icon->IsLocked());
    G().MoveMouse((icon->left + icon->right) / 2.0f, (icon->top + icon->bottom) / 2.0f);
    G().Button(true);
    EXPECT_EQ(GUI_ModulePickerIcon::GetDragged(), nullptr);
    G().Button(false);
    EXPECT_EQ(details.GetModule()->GetName(), "cruiser_laser");
    EXPECT_EQ(metrics.GetEventCount("modpickiconclick"), clicks);
    GUI_ModulePicker::OnTab(GUI_ModulePicker::WEAPONS); // the icon goes before the type
    G().Frames();

    // An unlocked one shows its details and counts the click.
    icon = G().Icon("cruiser_armour");
    G().Click((icon->left + icon->right) / 2.0f, (icon->top + icon->bottom) / 2.0f);
    EXPECT_EQ(details.GetModule()->GetName(), "cruiser_armour");
    EXPECT_EQ(metrics.GetEventCount("modpickiconclick"), clicks + 1);

    // The mode button fades to the hull view; a toggle while fading turns back.
    GUI_ShipBlueprint& blueprint = *GUI_ShipBlueprint::GetOpen();
    G().ClickOn(*blueprint.GetModeButton());
    EXPECT_EQ(blueprint.GetViewMode(), GUI_ShipBlueprint::FADING_TO_HULL);
    G().ClickOn(*blueprint.GetModeButton());
    EXPECT_EQ(blueprint.GetViewMode(), GUI_ShipBlueprint::FADING_TO_SLOTS);
}

TEST_F(ShipDesigner, TheRefitsOKSavesTheVersionItProposedAndUnreadableSavesAreNamedOnce)
{
    // A campaign whose ships are "Warden" and "warden_mk1" (that design is
    // not here), beside a file too large to read, a link to nothing and a
    // folder that cannot be listed.
    const std::string campaigns = APP_UserFolders::GetInstance().Get(APP_UserFolders::CAMPAIGN_PROGRESS);
    std::filesystem::create_directories(campaigns + "/held/fleets");
    ASSERT_TRUE(WriteFileAtomically(campaigns + "/held/fleets/fleet1.txt",
                                    "[ship0]\ndesign = Warden\n[ship1]\ndesign = warden_mk1\n"));
    ASSERT_TRUE(WriteFileAtomically(campaigns + "/held/fleets/fleet2.txt", std::string(kMaxSaveFileBytes + 1, 'x')));
    std::filesystem::create_symlink(campaigns + "/held/gone.txt", campaigns + "/held/fleets/fleet3.txt");
    std::filesystem::create_directories(campaigns + "/shut/fleets");
    std::filesystem::permissions(campaigns + "/shut/fleets", std::filesystem::perms::none);
    std::error_code listing;
    std::filesystem::directory_iterator(campaigns + "/shut/fleets", listing);
    const bool shut = static_cast<bool>(listing); // rights to read everything open it anyway
    const std::string errorsBefore = G().User().Read("debug/errors.txt");

    // A design no readable save names goes through the ordinary save.
    G().DropOnSlot("cruiser_armour", 0);
    GUI_ShipDesignSummary::SaveDesignAs("Lancer");
    EXPECT_EQ(GUI_CampaignRefit::GetOpen(), nullptr) << "an unreadable save names no design";
    EXPECT_TRUE(FileExists(ShipsFolder() + "/lancer.txt"));
    // The file too large to read is told to the player, once a run.
    G().Frames(1);
    GUI_Message* told = GUI_Message::GetOpen();
    ASSERT_NE(told, nullptr);
    EXPECT_NE(told->GetText().find("fleet2.txt"), std::string::npos);
    G().ClickOn(*told->GetCloseButton());
    EXPECT_EQ(GUI_Message::GetOpen(), nullptr);

    // The campaign's design: the next version that neither a design here nor
    // a saved ship has, and OK writes it, once.
    GUI_ShipDesignSummary::SaveDesignAs("Warden");
    GUI_CampaignRefit* refit = GUI_CampaignRefit::GetOpen();
    ASSERT_NE(refit, nullptr);
    EXPECT_EQ(refit->GetNewName(), "Warden_MK2"); // in the player's capitals
    EXPECT_FALSE(FileExists(ShipsFolder() + "/warden.txt"));
    G().ClickOn(*refit->GetOkButton());
    EXPECT_EQ(GUI_CampaignRefit::GetOpen(), nullptr) << "OK is not asked again";
    EXPECT_TRUE(FileExists(ShipsFolder() + "/warden_mk2.txt"));
    EXPECT_EQ(Design().GetName(), "warden_mk2");
    EXPECT_FALSE(GUI_ShipDesignGUI::GetInstance().IsModified());

    // Saved again under the used name: the version after it. OK writes what
    // the dialog said, even if a save named it meanwhile: never a second question.
    GUI_ShipDesignSummary::SaveDesignAs("warden");
    ASSERT_NE(GUI_CampaignRefit::GetOpen(), nullptr);
    EXPECT_EQ(GUI_CampaignRefit::GetOpen()->GetNewName(), "warden_MK3");
    ASSERT_TRUE(WriteFileAtomically(campaigns + "/held/fleets/fleet4.txt", "[ship0]\ndesign = warden_mk3\n"));
    G().ClickOn(*GUI_CampaignRefit::GetOpen()->GetOkButton());
    EXPECT_EQ(GUI_CampaignRefit::GetOpen(), nullptr);
    EXPECT_TRUE(FileExists(ShipsFolder() + "/warden_mk3.txt"));
    G().Frames(1);
    EXPECT_EQ(GUI_Message::GetOpen(), nullptr);

    // Three saves, each unreadable file named once in the error log (the one
    // too large with its reason, when it was refused).
    const std::string errors = G().User().Read("debug/errors.txt").substr(errorsBefore.size());
    const auto count = [&](const std::string& text) {
        int n = 0;
        for (size_t at = errors.find(text); at != std::string::npos; at = errors.find(text, at + 1))
            ++n;
        return n;
    };
    EXPECT_EQ(count("held/fleets/fleet2.txt"), 1);
    EXPECT_EQ(count("held/fleets/fleet3.txt"), 1);
    if (shut) {
        EXPECT_EQ(count("shut/fleets"), 1);
    }
    std::filesystem::permissions(campaigns + "/shut/fleets", std::filesystem::perms::owner_all);
    std::filesystem::remove_all(campaigns + "/held");
    std::filesystem::remove_all(campaigns + "/shut");
}

TEST_F(ShipDesigner, TheRefitIsAskedForTheNameWrittenAndTheDesignerShowsWhatTheFileHolds)
{
    G().DropOnSlot("cruiser_armour", 0);
    GUI_ShipDesignSummary::SaveDesignAs("Raider");
    const std::string raider = ShipsFolder() + "/raider.txt";
    ASSERT_TRUE(FileExists(raider));
    const std::string before = G().User().Read("ships/raider.txt");
    // A saved campaign builds from it now.
    const std::string campaigns = APP_UserFolders::GetInstance().Get(APP_UserFolders::CAMPAIGN_PROGRESS);
    std::filesystem::create_directories(campaigns + "/first/fleets");
    ASSERT_TRUE(WriteFileAtomically(campaigns + "/first/fleets/fleet1.txt", "[ship0]\ndesign = raider\n"));

    // Save with the design's own name in the field: the refit at once, with
    // no file dialog and no question about replacing a file.
    G().DropOnSlot("cruiser crew", 1);
    GUI_ShipDesignSummary::GetOpen()->GetNameField()->SetText("Raider");
    G().ClickOn(*GUI_ShipDesignSummary::GetOpen()->GetSaveButton());
    if (GUI_ConfirmDialog* emptySlots = GUI_ConfirmDialog::GetOpen())
        G().ClickOn(*emptySlots->GetYesButton());
    EXPECT_EQ(GUI_SaveFileDialog::GetOpen(), nullptr);
    EXPECT_EQ(GUI_ConfirmDialog::GetOpen(), nullptr);
    ASSERT_NE(GUI_CampaignRefit::GetOpen(), nullptr);
    EXPECT_EQ(GUI_CampaignRefit::GetOpen()->GetNewName(), "Raider_MK1");
    EXPECT_NE(GUI_CampaignRefit::GetOpen()->GetMessage().find("built from Raider,"), std::string::npos);
    EXPECT_NE(GUI_CampaignRefit::GetOpen()->GetMessage().find("Raider_MK1"), std::string::npos);
    EXPECT_EQ(GUI_CampaignRefit::GetOpen()->GetMessage().find(".txt"), std::string::npos) << "designs, not files";
    GUI_CampaignRefit::CloseOpen();
    G().Frames(1);

    // Another name in the field, the used one typed in the save dialog: the
    // refit for the file that would be written, before any overwrite question.
    GUI_ShipDesignSummary::GetOpen()->GetNameField()->SetText("Something new");
    G().ClickOn(*GUI_ShipDesignSummary::GetOpen()->GetSaveButton());
    if (GUI_ConfirmDialog* emptySlots = GUI_ConfirmDialog::GetOpen())
        G().ClickOn(*emptySlots->GetYesButton());
    GUI_SaveFileDialog* dialog = GUI_SaveFileDialog::GetOpen();
    ASSERT_NE(dialog, nullptr) << "no campaign builds \"Something new\"";
    dialog->GetTextField()->SetText("RAIDER");
    G().ClickOn(*dialog->GetSaveButton());
    EXPECT_EQ(GUI_ConfirmDialog::GetOpen(), nullptr) << "no \"Replace it?\" for a file that is kept";
    G().Frames(1);
    EXPECT_EQ(GUI_SaveFileDialog::GetOpen(), nullptr);
    GUI_CampaignRefit* refit = GUI_CampaignRefit::GetOpen();
    ASSERT_NE(refit, nullptr);
    EXPECT_EQ(refit->GetNewName(), "RAIDER_MK1");
    EXPECT_EQ(G().User().Read("ships/raider.txt"), before) << "the campaign's design is untouched";
    G().ClickOn(*refit->GetOkButton());
    ASSERT_TRUE(FileExists(ShipsFolder() + "/raider_mk1.txt"));
    EXPECT_EQ(G().User().Read("ships/raider.txt"), before);
    EXPECT_EQ(Design().GetName(), "raider_mk1");
    EXPECT_EQ(Design().GetGuiName(), "RAIDER_MK1");
    EXPECT_EQ(G().TypeIn(1), "cruiser crew");
    std::filesystem::remove_all(campaigns + "/first");

    // Ships on hand hold the listed design as it was read; saving over its
    // file leaves them so, and the designer shows what the file now holds.
    SIM_ShipDesign* held = SIM_ShipDesign::FindByFileName(ShipsFolder() + "/raider_mk1.txt");
    ASSERT_NE(held, nullptr);
    held->AddUser();
    G().DropOnSlot("cruiser_armour", 1);
    GUI_ShipDesignSummary::SaveDesignAs("raider_mk1");
    EXPECT_NE(G().User().Read("ships/raider_mk1.txt").find("1 = cruiser_armour"), std::string::npos);
    EXPECT_EQ(G().TypeIn(1), "cruiser_armour");
    EXPECT_EQ(Design().GetModuleInSlot(1)->GetName(), "cruiser_armour");
    EXPECT_FALSE(GUI_ShipDesignGUI::GetInstance().IsModified());
    EXPECT_EQ(SIM_ShipDesign::FindByFileName(ShipsFolder() + "/raider_mk1.txt"), held);
    EXPECT_EQ(held->GetModuleInSlot(1)->GetName(), "cruiser crew");
    held->RemoveUser();
}

// Change hull starts a new design: the name of the design it replaced goes,
// so Save offers neither a shipped name (which it refuses) nor the player's
// old one (which it would write over).
TEST_F(ShipDesigner, ChangeHullStartsANewDesignWithoutTheOldName)
{
    GUI_ShipDesignGUI& designer = GUI_ShipDesignGUI::GetInstance();
    designer.LoadDesign(SIM_ShipDesign::Find("fed_sample_frigate"));
    G().Frames(1);
    GUI_TextEditWindow* field = GUI_ShipDesignSummary::GetOpen()->GetNameField();
    ASSERT_FALSE(field->GetText().empty());
    ASSERT_TRUE(GUI_ShipDesignSummary::IsNameOfGamesOwnDesign(field->GetText()));
    designer.StartFromHull(SIM_ShipHull::Find("fed_cruiser"));
    G().Frames(1);
    EXPECT_EQ(field->GetText(), "");
    EXPECT_EQ(Design().GetGuiName(), "");
    EXPECT_EQ(Design().GetName(), "");
    GUI_ShipDesignSummary::OpenSaveDesignDialog();
    ASSERT_NE(GUI_SaveFileDialog::GetOpen(), nullptr);
    EXPECT_EQ(GUI_SaveFileDialog::GetOpen()->GetTextField()->GetText(), "");
}
