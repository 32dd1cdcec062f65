#pragma once
#include <functional>
#include <string>

// The server's list answers: one record per line that starts with "##";
// every other line (an error page, a blank line) is no record. Hands each
// record line, its line end dropped, to the visitor; lines longer than
// maxLine are skipped, and counted in *tooLong when given.
void ForEachMarkedLine(const std::string& text, size_t maxLine, const std::function<void(const std::string&)>& visit,
                       size_t* tooLong = nullptr);
