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
std::string ShortenText(const std::string& text);
int RoundToInt(float x);
// Replaces every occurrence of search in text. Occurrences inside inserted
// replacements are not searched again, so the loop always ends.
void ReplaceSubstring(std::string& text, const std::string& search, const std::string& replacement);
