#include "engine/StrFormat.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

std::string StrFormatV(const char* fmt, va_list args)
{
    va_list copy;
    va_copy(copy, args);
    char small[512];
    int n = vsnprintf(small, sizeof small, fmt, copy);
    va_end(copy);
    if (n < 0)
        return std::string();
    if (static_cast<size_t>(n) < sizeof small)
        return std::string(small, static_cast<size_t>(n));
    std::vector<char> big(static_cast<size_t>(n) + 1);
    vsnprintf(big.data(), big.size(), fmt, args);
    return std::string(big.data(), static_cast<size_t>(n));
}

std::string StrFormat(const char* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    std::string s = StrFormatV(fmt, args);
    va_end(args);
    return s;
}

std::string ExactFloatText(float value, int decimals)
{
    const auto readsBack = [value](const std::string& text) {
        return static_cast<float>(std::strtod(text.c_str(), nullptr)) == value;
    };
    for (int d = decimals < 0 ? 0 : decimals; d <= 9; ++d) {
        std::string text = StrFormat("%.*f", d, static_cast<double>(value));
        if (readsBack(text))
            return text;
    }
    // Very small or very large numbers: nine significant digits always do.
    return StrFormat("%.9g", static_cast<double>(value));
}

std::string FigureText(double value)
{
    std::string text = StrFormat("%.2f", value);
    if (value == 0.0 || std::strtod(text.c_str(), nullptr) != 0.0)
        return text;
    return StrFormat("%.2g", value);
}
