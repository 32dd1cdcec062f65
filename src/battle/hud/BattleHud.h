#pragma once

class SIM_Ship;
class SIM_TargetedModule;

// The battle screen's windows and overlays, opened, drawn and closed at the
// battle screen's fixed points.
namespace BattleHud {

// At battle start: mini-map, then the strip beside it, the fleet overlay,
// the score boxes (and the survival score) and a clean pool of damage texts.
void OpenLiveWindows(float mapWidth, float mapHeight, int screenWidth, int screenHeight, bool survival);
// Once the graphics options are read: the comms window when comms are on,
// then the leave-battle window below it (retreat in a campaign battle).
void OpenBattleControls(bool commsOn, bool campaign, int screenWidth, bool survival);
// Camera centre on the ship's position (a lost ship's last one), eased and
// kept on the map.
void CentreCameraOn(const SIM_Ship& ship);
// The map's pick: closes the inspector; a player's ship clicked near its
// centre is inspected (null: none), and a player's weapon under the mouse
// gets the range marker and its statistics (null: none).
void PickedShip(SIM_Ship* inspected, SIM_TargetedModule* weapon);
// The live view ends: the in-battle windows go.
void CloseLiveWindows();
// Leaving the battle: every window of it goes, and so does everything that
// names a ship.
void CloseAll();
// The HUD marks of the battle frame, shown with the HUD only: damage texts
// and the range marker.
void DrawOverlays(bool damageTextsShown, float dtMs);
// Name labels and scores: with the HUD, and after the end with it hidden too.
void DrawLabels();
// The end of the battle: exactly one result dialog opens.
void OpenResultDialog();
// The battle's result is the survival report: a survival scenario outside the campaign.
bool EndsInSurvivalReport();
// The campaign's own result dialog for its battles (outcome: won 0, lost 1,
// retreated 2); it answers false when it could not open.
using CampaignResultDialog = bool (*)(int outcome);
void SetCampaignResultDialog(CampaignResultDialog opener);
// After every speed change.
void ShowBattleSpeed(float speed);

} // namespace BattleHud
