// The deployment screen's boxes and dialogs through the real window: the
// ship details box, the squadron dialog, the order picker's two panels and
// the order editor each stand on the dialogs' panel under scan lines; the
// editor's panel is the whole dialog, its title drawn on it.
#include "DeploymentWindowRoad.h"

#include "gui/GUI_ButtonText.h"
#include "prep/GUI_BehaviourEditor.h"
#include "prep/GUI_BehaviourPicker.h"
#include "prep/GUI_DeploymentIcon.h"
#include "prep/GUI_DeploymentShipDetails.h"
#include "prep/GUI_SquadronSize.h"
#include "sim/SIM_BehaviourType.h"
#include "sim/SIM_DeployedShip.h"
#include "support/PanelPixels.h"
#include "support/WindowInput.h"
#include "support/WindowedGame.h"

#include <gtest/gtest.h>

#include <string>

namespace {

GRect RectOf(const GUI_BaseElement& e)
{
    return GRect{e.left, e.top, e.right, e.bottom};
}

TextureData Shot(const std::string& userDir)
{
    RunGameFrames(2);
    return Screenshot(userDir);
}

} // namespace

TEST(GLDeploymentPanelsWindow, TheShipsBoxesAndOrderDialogsStandOnThePanelUnderScanLines)
{
    WindowedGame play({.seed = 7, .smallWindow = false, .noLessons = true});
    ASSERT_TRUE(play.Started());
    ASSERT_NO_FATAL_FAILURE(OpenFirstScenarioWith("[ship0]\nshipid = 1\nname = Anvil\ndesign = fed_sample_frigate\n"
                                                  "pos = 288,384\nquantity = 1\nangle = 90\n\n"));
    GUI_DeploymentIcon* anvil = FindDeploymentIconByShipId(1);
    ASSERT_NE(anvil, nullptr);
    ClickCentre(anvil);
    RunGameFrames(2);

    // The ship details box: the panel over the whole box and its pattern,
    // read beside the blueprint, which stands 128 wide in the box's middle.
    const GUI_DeploymentShipDetails* box = GUI_DeploymentShipDetails::GetOpen();
    ASSERT_NE(box, nullptr);
    TextureData picture = Shot(play.UserDir());
    ASSERT_GT(picture.width, 0);
    const int besideBlueprint = box->left + (box->width - 128) / 2;
    EXPECT_GT(ReadPanel(picture, RectOf(*box)).edge, kPanelEdge);
    EXPECT_GT(ReadScanLines(picture, GRect{besideBlueprint - 8, box->top + 6, besideBlueprint - 1, box->top + 130},
                            box->top),
              kScanLines);

    // The squadron dialog, as its campaign twin.
    OpenSquadronSizeForIcon(anvil);
    ASSERT_NE(GUI_SquadronSize::GetOpen(), nullptr);
    const GUI_SquadronSize& squadron = *GUI_SquadronSize::GetOpen();
    picture = Shot(play.UserDir());
    const PanelReading squadronPanel = ReadPanel(
        picture, GRect{squadron.clientLeft, squadron.clientTop, squadron.clientRight, squadron.clientBottom});
    EXPECT_GT(squadronPanel.edge, kPanelEdge);
    EXPECT_GT(squadronPanel.lines, kScanLines);
    GUI_SquadronSize::CloseOpen();

    // The order picker: the list and the description each on their panel.
    GUI_BehaviourPicker::Open(&anvil->GetShip()->orders);
    ASSERT_NE(GUI_BehaviourPicker::GetOpen(), nullptr);
    const GUI_BehaviourPicker& picker = *GUI_BehaviourPicker::GetOpen();
    picture = Shot(play.UserDir());
    for (const GRect& area : {picker.GetListArea(), picker.GetDescriptionArea()}) {
        const PanelReading panel = ReadPanel(picture, area);
        EXPECT_GT(panel.edge, kPanelEdge);
        EXPECT_GT(panel.lines, kScanLines);
    }
    GUI_BehaviourPicker::CloseOpen();

    // The order editor, the range editor of the attack orders too: its client
    // area is the dialog below the title strip, its panel the whole dialog,
    // the title and buttons on it.
    for (const char* order : {"ESCORT", "CAUTIOUS", "ATTACK_FRIGATES"}) {
        const SIM_BehaviourType* type = SIM_BehaviourType::Find(order);
        ASSERT_NE(type, nullptr) << order;
        GUI_BehaviourEditor::Open(type);
        GUI_BehaviourEditor* editor = GUI_BehaviourEditor::GetOpen();
        ASSERT_NE(editor, nullptr) << order;
        picture = Shot(play.UserDir());
        EXPECT_EQ(editor->clientLeft, editor->left) << order;
        EXPECT_EQ(editor->clientRight, editor->right) << order;
        EXPECT_EQ(editor->clientBottom, editor->bottom) << order;
        EXPECT_EQ(editor->GetOKButton()->bottom, editor->bottom - 4) << order;
        const PanelReading panel = ReadPanel(picture, RectOf(*editor));
        EXPECT_GT(panel.edge, kPanelEdge) << order;
        EXPECT_GT(panel.lines, kScanLines) << order;
        // The title's text lit on the strip, over the panel.
        const GUI_TitleBar& title = editor->GetTitleBar();
        EXPECT_GT(CountLit(picture, title.left, title.top, title.right, title.bottom, 230), 40) << order;
        GUI_BehaviourEditor::CloseOpen();
    }
    RunGameFrames(2);
}
