#pragma once
#include <string>
#include <vector>

class GIniFile;

// The campaign's tuning values: section "config" of "campaign_opt.ini" in the
// campaign data folder, read on first use. A missing key reads 0.
GIniFile& GetCampaignOptions();
float CampaignOption(const char* key);
// Options used as whole numbers are truncated toward zero.
int CampaignOptionInt(const char* key);

// Where the campaign's content lives: "campaign/data" below the install
// folder; tests point it at their own folder.
void SetCampaignDataFolder(const std::string& folder);
const std::string& GetCampaignDataFolder();
// A path below the campaign data folder.
std::string CampaignDataPath(const std::string& relative);
// Forgets the loaded options so the next use reads the file again.
void ReloadCampaignOptions();

// Adds the campaign's texts ("campaign_strings.txt") to the string table,
// after the game's own, which win where a key is in both.
void LoadCampaignStrings();

// The lines of a text file's contents, without their line ends.
std::vector<std::string> SplitTextLines(const std::string& text);

// A player's text as a quoted value of an INI line: quotes inside become
// apostrophes and line ends blanks, so the line reads back as written.
std::string QuotedValue(const std::string& text);
