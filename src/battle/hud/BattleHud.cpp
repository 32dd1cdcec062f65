#include "battle/hud/BattleHud.h"

#include "battle/GUI_Map.h"
#include "battle/hud/GUI_BattleModuleStats.h"
#include "battle/hud/GUI_Comms.h"
#include "battle/hud/GUI_DamageFeedbackManager.h"
#include "battle/hud/GUI_FleetOverlay.h"
#include "battle/hud/GUI_LeaveBattle.h"
#include "battle/hud/GUI_MiniMap.h"
#include "battle/hud/GUI_PostMortem.h"
#include "battle/hud/GUI_RangeMarker.h"
#include "battle/hud/GUI_RateChallenge.h"
#include "battle/hud/GUI_RetreatTimer.h"
#include "battle/hud/GUI_Score.h"
#include "battle/hud/GUI_ShipInspector.h"
#include "battle/hud/GUI_ShipNameOverlay.h"
#include "battle/hud/GUI_StatsBrowser.h"
#include "battle/hud/GUI_SurvivalPostMortem.h"
#include "battle/hud/GUI_SurvivalScore.h"
#include "battle/hud/GUI_TopStrip.h"
#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "engine/LibText.h"
#include "engine/TextLayoutRecorder.h"
#include "sim/SIM_Battle.h"
#include "sim/SIM_Scenario.h"
#include "sim/SIM_SurvivalMode.h"
#include "sim/SIM_Ship.h"
#include "sim/modules/SIM_TargetedModule.h"

namespace BattleHud {

namespace {
bool g_survival = false;
} // namespace

void OpenLiveWindows(float mapWidth, float mapHeight, int screenWidth, int screenHeight, bool survival)
{
    GUI_MiniMap::Open(mapWidth, mapHeight, screenHeight);
    if (GUI_MiniMap::GetOpen())
        GUI_TopStrip::Open(screenHeight);
    GUI_FleetOverlay::Open(screenHeight);
    GUI_Score::GetInstance().Layout(survival, screenWidth);
    g_survival = survival;
    if (survival)
        GetSurvivalScore().Layout(screenWidth);
    SIM_SurvivalMode::GetInstance().SetWaveObserver(survival ? &GetSurvivalScore() : nullptr);
    GUI_DamageFeedbackManager::GetInstance().Reset();
}

void OpenBattleControls(bool commsOn, bool campaign, int screenWidth, bool survival)
{
    GUI_Comms::Open(commsOn, screenWidth, survival);
    GUI_LeaveBattle::Open(campaign ? GUI_LeaveBattle::RETREAT : GUI_LeaveBattle::ADMIT_DEFEAT, screenWidth);
}

void CentreCameraOn(const SIM_Ship& ship)
{
    GUI_Map& map = GUI_Map::GetInstance();
    map.SetCentre(ship.x, ship.y);
    map.UpdateZoom();
    map.ClampCamera();
}

void PickedShip(SIM_Ship* inspected, SIM_TargetedModule* weapon)
{
    GUI_ShipInspector::Close();
    if (inspected)
        GUI_ShipInspector::Open(inspected);
    if (weapon) {
        GetRangeMarker().SetModule(weapon);
        GUI_BattleModuleStats::Open(weapon);
    }
}

void CloseLiveWindows()
{
    // The inspector first: its going clears the marker and the statistics.
    GUI_ShipInspector::Close();
    GUI_BattleModuleStats::Close();
    GetRangeMarker().SetModule(nullptr);
    GUI_TopStrip::Close();
    GUI_MiniMap::Close();
    GUI_Comms::Close();
    GUI_FleetOverlay::Close();
    GUI_RetreatTimer::Close();
    // Nothing is left to give up once the live view has ended.
    GUI_LeaveBattle::Close();
}

void CloseAll()
{
    CloseLiveWindows();
    GUI_RateChallenge::Close();
    GUI_PostMortem::Close();
    GUI_SurvivalPostMortem::Close();
    SIM_SurvivalMode::GetInstance().SetWaveObserver(nullptr);
    GUI_StatsBrowser::Close();
    GUI_DamageFeedbackManager::GetInstance().Reset();
    GUI_ShipNameOverlay::ForgetAll();
}

void DrawOverlays(bool damageTextsShown, float dtMs)
{
    {
        const D3DEngine& engine = D3DEngine::GetInstance();
        const TextLayoutRecorder::Scope world(typeid(GUI_DamageFeedbackManager), 0, 0, engine.GetScreenWidth(),
                                              engine.GetScreenHeight(), true);
        GUI_DamageFeedbackManager::GetInstance().Draw(damageTextsShown, dtMs);
    }
    DrawRangeMarker();
}

void DrawLabels()
{
    {
        const D3DEngine& engine = D3DEngine::GetInstance();
        const TextLayoutRecorder::Scope world(typeid(GUI_ShipNameOverlay), 0, 0, engine.GetScreenWidth(),
                                              engine.GetScreenHeight(), true);
        GUI_ShipNameOverlay::DrawAll();
    }
    GUI_Score::GetInstance().Draw();
    if (g_survival)
        GetSurvivalScore().Draw();
}

namespace {
CampaignResultDialog g_campaignResult = nullptr;
} // namespace

void SetCampaignResultDialog(CampaignResultDialog opener)
{
    g_campaignResult = opener;
}

bool EndsInSurvivalReport()
{
    const SIM_Battle& battle = SIM_Battle::GetInstance();
    const SIM_Scenario* scenario = battle.GetScenario();
    return !battle.IsFromCampaign() && scenario && scenario->GetType() == SIM_Scenario::SURVIVAL;
}

void OpenResultDialog()
{
    // Tools and tests that run battles without any interface get no dialog.
    if (!LibText::GetInstance().IsInitialised())
        return;
    const SIM_Battle& battle = SIM_Battle::GetInstance();
    // A campaign battle reports to the campaign, which applies its result.
    if (battle.IsFromCampaign() && g_campaignResult && g_campaignResult(static_cast<int>(battle.GetLost()))) {
        LOG_DEBUG("Battle over: campaign report open");
        return;
    }
    if (EndsInSurvivalReport()) {
        GUI_SurvivalPostMortem::Open();
        LOG_DEBUG("Battle over: survival report open");
    } else {
        GUI_PostMortem::Open();
        LOG_DEBUG("Battle over: report open");
    }
}

void ShowBattleSpeed(float speed)
{
    if (GUI_MiniMap* map = GUI_MiniMap::GetOpen())
        map->SetSpeedText(speed);
}

} // namespace BattleHud
