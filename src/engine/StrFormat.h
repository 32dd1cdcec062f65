#pragma once
#include <cstdarg>
#include <string>

// printf-style formatting into a std::string of any length.
std::string StrFormat(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
std::string StrFormatV(const char* fmt, va_list args);
