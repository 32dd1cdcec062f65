#pragma once
#include <cstdarg>
#include <string>

// printf-style formatting into a std::string of any length.
std::string StrFormat(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
std::string StrFormatV(const char* fmt, va_list args);

// value with at least `decimals` decimals, and as many more as it takes for
// the text to read back (strtod, then to float) as the very same float: a
// saved number that changes on reload changes what follows from it.
std::string ExactFloatText(float value, int decimals);

// A figure shown to the player: two decimals, or, where two would make a
// value that is not 0 read as 0 (a recharge rate of 0.004), two significant
// digits, so that a working figure never looks like none.
std::string FigureText(double value);
