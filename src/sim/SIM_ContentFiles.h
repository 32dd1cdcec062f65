#pragma once
#include <string>
#include <vector>

class GIniFile;

// The files matching a content mask such as "data/races/*.txt": the game's own
// data folder first, then every extra install or mod folder.
std::vector<std::string> FindContentFiles(const std::string& mask);

// An integer key as the loaders read it: at most 63 characters of text,
// converted as a decimal (0 when it is no number).
int ReadBoundedInt(const GIniFile& ini, const char* key);

// A float made an integer by truncation toward zero, saturated at the int
// range (NaN gives 0) so that odd file values can't overflow.
int TruncateToInt(float value);

// A value written into a content file stays on its own line: line breaks
// become blanks.
std::string OneLine(const std::string& text);

// Every content list a battle is built from (behaviours, races, module types,
// hulls, designs, scenarios), loaded from the working folder; and freed again,
// designs first since they point at hulls and module types.
void LoadBattleContent();
void FreeBattleContent();
