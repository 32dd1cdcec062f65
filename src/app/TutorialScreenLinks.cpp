#include "app/TutorialScreenLinks.h"

#include "app/Game.h"
#include "battle/BattleSpeed.h"
#include "battle/GUI_BattleGUI.h"
#include "battle/GUI_Map.h"
#include "gui/GUI_Tutorial.h"
#include "gui/GUI_TutorialHighlighter.h"
#include "prep/GUI_DeploymentGUI.h"
#include "prep/GUI_DeploymentMap.h"
#include "prep/GUI_DeploymentZone.h"

namespace {

constexpr int kBattleMode = 0;

bool OnDeploymentScreen(const GRect& rect)
{
    return Game::GetInstance().GetModeId() == GUI_DeploymentGUI::kModeId && rect.Width() > 0 && rect.Height() > 0;
}

} // namespace

void InstallTutorialScreenLinks()
{
    GUI_Tutorial::BattleLink link;
    link.isRunning = [] { return Game::GetInstance().GetModeId() == kBattleMode && Game::GetInstance().GetMode(); };
    link.isPaused = [] { return GUI_BattleGUI::GetInstance().paused; };
    link.pauseAsKey = [] { TogglePause(); };
    link.togglePauseQuietly = [] { GUI_BattleGUI::GetInstance().TogglePauseState(); };
    link.centreCamera = [](float x, float y) { GUI_Map::GetInstance().SetCentre(x, y); };
    GUI_Tutorial::GetInstance().SetBattleLink(std::move(link));

    GUI_TutorialHighlighter& highlighter = GUI_TutorialHighlighter::GetInstance();
    highlighter.SetArea("DEPLOYMENT_MAP", [](GRect& out) {
        out = GUI_DeploymentMap::GetInstance().GetRect();
        return OnDeploymentScreen(out);
    });
    highlighter.SetArea("DEPLOYMENT_ZONE", [](GRect& out) {
        out = GUI_DeploymentZone::GetInstance().GetScreenRect();
        return OnDeploymentScreen(out);
    });
}
