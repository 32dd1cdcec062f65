#include "HullEditorFixture.h"

#include "editors/GUI_ModuleEditor.h"
#include "engine/CInput.h"
#include "engine/GSafeFile.h"
#include "engine/GTokenizer.h"
#include "platform/HeadlessWindow.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <tuple>


TEST_F(HullEditorGame, SaveKeepsTheFileAndAMovedSlotIsTheOnlyChange)
{
    OpenEditor();
    GUI_HullEditor& editor = GUI_HullEditor::GetInstance();
    // Every section read and written again unedited: the same bytes.
    ASSERT_TRUE(editor.Save());
    EXPECT_EQ(FileText(), kEditorHullText);

    MoveFirstSlotAndSave();
    EXPECT_EQ(FileText(), WithMovedSlot());

    // Read back from the file, the slot stays where it was put.
    auto reread = std::make_unique<SIM_ShipHull>();
    ASSERT_TRUE(reread->Read(m_path));
    ASSERT_TRUE(editor.SetHull(reread.get()));
    auto* slots = static_cast<GUI_ModuleEditor*>(editor.GetSubEditor(GUI_HullEditor::MODULES));
    ASSERT_EQ(slots->GetSlots().size(), 2u);
    EXPECT_FLOAT_EQ(slots->GetSlots()[0].x, 276.0f);
    EXPECT_FLOAT_EQ(slots->GetSlots()[0].y, 100.0f);
    ASSERT_TRUE(editor.SetHull(m_hull.get()));
}

TEST_F(HullEditorGame, AFailedSaveLeavesTheHullFileWhole)
{
    OpenEditor();
    GUI_HullEditor& editor = GUI_HullEditor::GetInstance();
    auto* slots = static_cast<GUI_ModuleEditor*>(editor.GetSubEditor(GUI_HullEditor::MODULES));
    slots->GetSlots().clear();
    GSafeFile::InjectFailure(ENOSPC);
    EXPECT_FALSE(editor.Save());
    GSafeFile::InjectFailure(0);
    EXPECT_EQ(FileText(), kEditorHullText);
    size_t files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(m_folder.Path()))
        ++files;
    EXPECT_EQ(files, 1u) << "a temporary file was left beside the hull";
}

TEST_F(HullEditorGame, SlotEditorRules)
{
    OpenEditor();
    GUI_HullEditor& editor = GUI_HullEditor::GetInstance();
    editor.SelectSubEditor(GUI_HullEditor::MODULES);
    auto* slots = static_cast<GUI_ModuleEditor*>(editor.GetSubEditor(GUI_HullEditor::MODULES));
    auto& list = slots->GetSlots();
    // Slot 1 at the centre: view (256, 256), screen (456, 356).
    ASSERT_TRUE(slots->OnViewLeftClick(456.0f, 356.0f));
    EXPECT_EQ(slots->GetSelected(), 1);
    slots->StepDrag(462.0f, 356.0f, true); // exactly the threshold: stays
    EXPECT_FLOAT_EQ(list[1].x, 256.0f);
    slots->StepDrag(463.0f, 356.0f, true);
    EXPECT_FLOAT_EQ(list[1].x, 263.0f);
    slots->StepDrag(463.0f, 356.0f, false);
    slots->OnEditorKey(KEY_LEFT);
    slots->OnEditorKey(KEY_DOWN);
    EXPECT_FLOAT_EQ(list[1].x, 262.0f);
    EXPECT_FLOAT_EQ(list[1].y, 257.0f);

    // Hardpoints: two equal ones go together, and only from nearer than 12.
    slots->ToggleMode();
    const float hx = 200.0f + 300.0f, hy = 100.0f + 300.0f;
    ASSERT_TRUE(slots->OnViewLeftClick(hx, hy));
    ASSERT_TRUE(slots->OnViewLeftClick(hx, hy));
    ASSERT_EQ(list[1].hardpoints.size(), 3u);
    EXPECT_FALSE(slots->OnViewRightClick(hx + 12.0f, hy));
    EXPECT_TRUE(slots->OnViewRightClick(hx + 11.9f, hy));
    EXPECT_EQ(list[1].hardpoints.size(), 1u);

    // A new slot sits at the view's corner; a turret slot lists its points.
    slots->ToggleMode();
    slots->CreateSlot();
    slots->ToggleSelectedType();
    list[1].hardpoints.clear();
    std::string text;
    slots->WriteSection(text);
    EXPECT_EQ(text, "[slots]\n0 = 128.00,40.00,STANDARD,\n1 = 131.00,128.50,STANDARD,\n2 = 0.00,0.00,STANDARD,\n\n");

    // The older bare "x-y" hardpoints read too.
    slots->ReadValues({"128,128,TURRET,138-128"});
    text.clear();
    slots->WriteSection(text);
    EXPECT_EQ(text, "[slots]\n0 = 128.00,128.00,TURRET,(138.00-128.00),\n\n");
}

namespace {
// Two lines of a hull list the same when every field is: numbers to within
// 0.005 (the files keep two decimals), other fields as text.
bool SameFields(const std::string& a, const std::string& b)
{
    GTokenizer ta(a, ','), tb(b, ',');
    while (!ta.AtEnd() || !tb.AtEnd()) {
        const std::string fa = ta.NextString(), fb = tb.NextString();
        char* ea = nullptr;
        char* eb = nullptr;
        const double va = std::strtod(fa.c_str(), &ea), vb = std::strtod(fb.c_str(), &eb);
        const bool numbers = !fa.empty() && !fb.empty() && *ea == '\0' && *eb == '\0';
        if (numbers ? std::fabs(va - vb) > 0.005 : fa != fb)
            return false;
    }
    return true;
}

void ExpectSameLists(const std::vector<std::string>& a, const std::vector<std::string>& b, const std::string& what)
{
    ASSERT_EQ(a.size(), b.size()) << what;
    for (size_t i = 0; i < a.size(); ++i)
        EXPECT_TRUE(SameFields(a[i], b[i])) << what << " " << i << ": " << a[i] << " | " << b[i];
}

// The aim points in a fixed order (the reader shuffles them).
std::vector<SIM_ShipHull::Target> SortedTargets(const SIM_ShipHull& hull)
{
    std::vector<SIM_ShipHull::Target> t = hull.GetTargets();
    std::sort(t.begin(), t.end(), [](const SIM_ShipHull::Target& a, const SIM_ShipHull::Target& b) {
        return std::tie(a.x, a.y, a.name) < std::tie(b.x, b.y, b.name);
    });
    return t;
}

void ExpectSameHull(const SIM_ShipHull& a, const SIM_ShipHull& b)
{
    constexpr float kEps = 0.01f;
    EXPECT_EQ(a.GetName(), b.GetName());
    EXPECT_FLOAT_EQ(a.GetWidth(), b.GetWidth());
    EXPECT_FLOAT_EQ(a.GetHeight(), b.GetHeight());
    const auto ta = SortedTargets(a), tb = SortedTargets(b);
    ASSERT_EQ(ta.size(), tb.size());
    for (size_t i = 0; i < ta.size(); ++i) {
        EXPECT_NEAR(ta[i].x, tb[i].x, kEps) << i;
        EXPECT_NEAR(ta[i].y, tb[i].y, kEps) << i;
        EXPECT_EQ(ta[i].hasRect, tb[i].hasRect) << i;
        EXPECT_EQ(ta[i].named, tb[i].named) << i;
        EXPECT_EQ(ta[i].name, tb[i].name) << i;
        for (auto [fa, fb] : {std::pair{ta[i].left, tb[i].left}, {ta[i].top, tb[i].top}, {ta[i].right, tb[i].right},
                              {ta[i].bottom, tb[i].bottom}})
            EXPECT_NEAR(fa, fb, 1e-4f) << i;
        ASSERT_EQ(ta[i].extraPoints.size(), tb[i].extraPoints.size()) << i;
        for (size_t k = 0; k < ta[i].extraPoints.size(); ++k) {
            EXPECT_NEAR(ta[i].extraPoints[k].x, tb[i].extraPoints[k].x, kEps);
            EXPECT_NEAR(ta[i].extraPoints[k].y, tb[i].extraPoints[k].y, kEps);
        }
    }
    ASSERT_EQ(a.GetSlots().size(), b.GetSlots().size());
    for (size_t i = 0; i < a.GetSlots().size(); ++i) {
        const auto &sa = a.GetSlots()[i], &sb = b.GetSlots()[i];
        EXPECT_NEAR(sa.x, sb.x, kEps);
        EXPECT_NEAR(sa.y, sb.y, kEps);
        EXPECT_EQ(sa.slotType, sb.slotType);
        ASSERT_EQ(sa.turretPoints.size(), sb.turretPoints.size());
        for (size_t k = 0; k < sa.turretPoints.size(); ++k) {
            EXPECT_NEAR(sa.turretPoints[k].x, sb.turretPoints[k].x, kEps);
            EXPECT_NEAR(sa.turretPoints[k].y, sb.turretPoints[k].y, kEps);
        }
    }
    ExpectSameLists(a.GetEngineGlows(), b.GetEngineGlows(), "engine glows");
    ExpectSameLists(a.GetRunningLights(), b.GetRunningLights(), "running lights");
    ExpectSameLists(a.GetExplosions(), b.GetExplosions(), "explosions");
    ExpectSameLists(a.GetHulks(), b.GetHulks(), "hulks");
    ExpectSameLists(a.GetContrails(), b.GetContrails(), "contrails");
    ASSERT_EQ(a.GetBonuses().size(), b.GetBonuses().size());
    for (size_t i = 0; i < a.GetBonuses().size(); ++i) {
        EXPECT_EQ(a.GetBonuses()[i].kind, b.GetBonuses()[i].kind);
        EXPECT_FLOAT_EQ(a.GetBonuses()[i].amount, b.GetBonuses()[i].amount);
    }
}
} // namespace

TEST_F(HullEditorGame, EveryShippedHullSavedUntouchedReadsBackTheSame)
{
    OpenEditor();
    GUI_HullEditor& editor = GUI_HullEditor::GetInstance();
    int hulls = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator("data/hulls")) {
        if (!entry.is_regular_file() || entry.path().extension() != ".txt")
            continue;
        SCOPED_TRACE(entry.path().string());
        ++hulls;
        std::string shipped;
        ASSERT_TRUE(ReadWholeFile(entry.path().string(), shipped));
        const std::string copy = m_folder.Path() + "/" + entry.path().filename().string();
        ASSERT_TRUE(WriteFileAtomically(copy, shipped));
        auto original = std::make_unique<SIM_ShipHull>();
        ASSERT_TRUE(original->Read(copy));
        ASSERT_TRUE(editor.SetHull(original.get()));
        ASSERT_TRUE(editor.Save());
        std::string once;
        ASSERT_TRUE(ReadWholeFile(copy, once));

        auto saved = std::make_unique<SIM_ShipHull>();
        ASSERT_TRUE(saved->Read(copy));
        ExpectSameHull(*original, *saved);
        // And a second save of what the first wrote changes nothing more.
        ASSERT_TRUE(editor.SetHull(saved.get()));
        ASSERT_TRUE(editor.Save());
        std::string twice;
        ASSERT_TRUE(ReadWholeFile(copy, twice));
        EXPECT_EQ(once, twice);
        ASSERT_TRUE(editor.SetHull(m_hull.get()));
    }
    EXPECT_GE(hulls, 6);
}
