#pragma once
#include <string>

// Number and text helpers used by every screen.
std::string FormatThousands(long long value);
std::string IntToTwoDigitString(int n);
std::string ToLowerString(const std::string& text);
std::string ToUpperString(const std::string& text);
std::string TrimTrailingWhitespace(const std::string& text);
// Without spaces, tabs and line ends at either end.
std::string TrimWhitespace(const std::string& text);
std::string ShortenText(const std::string& text);
int RoundToInt(float x);
// Replaces every occurrence of search in text. Occurrences inside inserted
// replacements are not searched again, so the loop always ends.
void ReplaceSubstring(std::string& text, const std::string& search, const std::string& replacement);
