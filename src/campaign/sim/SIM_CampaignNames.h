#pragma once
#include <string>

// A fleet or ship name as the player may give it: control characters,
// newlines, '[' and '=' would break the save files' lines and sections, so
// they go; what is left is trimmed of blanks at its ends.
std::string CleanCampaignName(const std::string& typed);
