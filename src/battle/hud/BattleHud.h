#pragma once

// The battle screen's windows and overlays, opened, drawn and closed at the
// battle screen's fixed points.
namespace BattleHud {

// At battle start: mini-map, then the strip beside it, the score boxes and
// a clean pool of damage texts.
void OpenLiveWindows(float mapWidth, float mapHeight, int screenWidth, int screenHeight, bool survival);
// The live view ends: the in-battle windows go.
void CloseLiveWindows();
// Leaving the battle: every window of it goes, and so does everything that
// names a ship.
void CloseAll();
// The HUD step of the battle frame: damage texts, name labels, scores.
void DrawOverlays(bool damageTextsShown, float dtMs);
// The end of the battle: exactly one result dialog opens.
void OpenResultDialog();
// The campaign's own result dialog for its battles (outcome: won 0, lost 1,
// retreated 2); it answers false when it could not open.
using CampaignResultDialog = bool (*)(int outcome);
void SetCampaignResultDialog(CampaignResultDialog opener);
// After every speed change.
void ShowBattleSpeed(float speed);

} // namespace BattleHud
