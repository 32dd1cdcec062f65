#pragma once
#include <string>
#include <vector>

// Number and text helpers used by every screen.
std::string FormatThousands(long long value);
std::string IntToTwoDigitString(int n);
std::string ToLowerString(const std::string& text);
std::string ToUpperString(const std::string& text);
std::string TrimTrailingWhitespace(const std::string& text);
// Without spaces, tabs and line ends at either end.
std::string TrimWhitespace(const std::string& text);
// The fields of one data value between separators, each trimmed of blanks;
// a trailing separator (as written values end) adds no empty field.
std::vector<std::string> SplitTrimmedFields(const std::string& value, char separator = ',');
// Bytes a terminal may take as a command (ESC, BEL, a line end...): below 32
// and 127.
bool IsControlCharacter(unsigned char c);
// How the game names one in its messages: "control character 27".
std::string ControlCharacterName(unsigned int code);
// The text with each control character (and each C1 control written in
// UTF-8) shown by its name in angle brackets, so that a value from a file
// can be echoed to a terminal or a log without acting there.
std::string EscapeControlCharacters(const std::string& text);
std::string ShortenText(const std::string& text);
int RoundToInt(float x);
// Replaces every occurrence of search in text. Occurrences inside inserted
// replacements are not searched again, so the loop always ends.
void ReplaceSubstring(std::string& text, const std::string& search, const std::string& replacement);
