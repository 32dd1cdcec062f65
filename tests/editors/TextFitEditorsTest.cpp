// Every text of the editors fits its box on a wide low screen and on a tall
// one: the hull editor on every shipped hull with each of its panels, and
// the scenario editor with its anomaly picker and file dialogs.
#include "editors/GUI_AnomalyEditor.h"
#include "editors/GUI_AnomalyPicker.h"
#include "editors/GUI_HullEditor.h"
#include "editors/GUI_ScenarioEditor.h"
#include "editors/GUI_ScenarioEditorWindow.h"
#include "frontend/GUI_MainMenu.h"
#include "gui/GUI_ButtonText.h"
#include "sim/SIM_ShipHull.h"
#include "support/TextFitGame.h"

#include <string>

namespace {

class TextFitEditors : public TextFitGame {
protected:
    TextFitEditors() { m_editor = true; }
};

} // namespace

TEST_P(TextFitEditors, HullEditor)
{
    Click(*GUI_MainMenu::GetInstance().GetHullEditorButton());
    for (int i = 0; i < 400 && Game::GetInstance().GetModeId() != 8; ++i)
        Frames(1);
    ASSERT_EQ(Game::GetInstance().GetModeId(), 8);
    SettleTransition();
    DropAllLessons();
    RestMouse();
    ExpectFits("hull editor");
    GUI_HullEditor& editor = GUI_HullEditor::GetInstance();
    for (SIM_ShipHull* hull : SIM_ShipHull::GetList()) {
        ASSERT_TRUE(editor.SetHull(hull));
        for (int panel = 0; panel < GUI_HullEditor::kSubEditorCount; ++panel) {
            editor.SelectSubEditor(panel);
            Frames(1);
            ExpectFits("hull editor on " + hull->GetName() + ", panel " + std::to_string(panel));
        }
    }
}

TEST_P(TextFitEditors, ScenarioEditor)
{
    Game::GetInstance().SetMode(GUI_ScenarioEditor::kModeId);
    SettleTransition();
    DropAllLessons();
    GUI_ScenarioEditorWindow* window = GUI_ScenarioEditorWindow::GetOpen();
    ASSERT_NE(window, nullptr);
    RestMouse();
    ExpectFits("scenario editor");
    Click(*window->GetAnomalyEditor()->GetAddButton());
    ASSERT_NE(GUI_AnomalyPicker::GetOpen(), nullptr);
    RestMouse();
    ExpectFits("anomaly picker");
    CloseModals();
    Click(*window->GetSaveButton());
    RestMouse();
    ExpectFits("save scenario");
    CloseModals();
    Click(*window->GetLoadButton());
    RestMouse();
    ExpectFits("load scenario");
    CloseModals();
}

INSTANTIATE_TEXT_FIT_SIZES(TextFitEditors);
