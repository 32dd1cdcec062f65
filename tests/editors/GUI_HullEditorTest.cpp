#include "HullEditorFixture.h"

#include "editors/GUI_ModuleEditor.h"
#include "engine/CInput.h"
#include "engine/GSafeFile.h"
#include "platform/HeadlessWindow.h"

#include <cerrno>
#include <filesystem>


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
