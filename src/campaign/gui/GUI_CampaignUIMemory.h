#pragma once
#include <string>

// Where the player was looking on the campaign map and which windows were
// open (shipyard, ship details, ship's log, fleet windows), kept per saved
// campaign in "camp_ui.txt" of its save folder: written on leaving the screen
// and at every turn's end, read when the campaign is opened again.
constexpr const char* kCampaignUIMemoryFile = "camp_ui.txt";

// The file's text for the map as it is now (a "ui" and a "fleetdetails" section).
std::string CampaignUIMemoryText();
// Puts the map back as the text describes it and reopens its windows, each
// kept on the screen; values that could not have been written (off the map,
// zoom out of range, not numbers) are brought back into range, and windows of
// ships or fleets that are gone stay closed.
void ApplyCampaignUIMemory(const std::string& text);
// False when there is no map or the file could not be written.
bool SaveCampaignUIMemory();
// Nothing happens without the file.
void RestoreCampaignUIMemory();
// A window's top-left corner moved so that the window stays on a screen of that size.
void ClampOntoScreen(float& x, float& y, float width, float height, float screenWidth, float screenHeight);
