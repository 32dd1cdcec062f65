#include "engine/TextHelpers.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>

std::string FormatThousands(long long value)
{
    bool negative = value < 0;
    unsigned long long v = negative ? 0ull - static_cast<unsigned long long>(value) : static_cast<unsigned long long>(value);
    std::string digits = std::to_string(v);
    std::string out;
    int count = 0;
    for (size_t i = digits.size(); i-- > 0;) {
        out.insert(out.begin(), digits[i]);
        if (++count % 3 == 0 && i > 0)
            out.insert(out.begin(), ',');
    }
    return negative ? "-" + out : out;
}

bool IsControlCharacter(unsigned char c)
{
    return c < 32 || c == 127;
}

std::string ControlCharacterName(unsigned int code)
{
    return "control character " + std::to_string(code);
}

namespace {
// The UTF-8 form of U+0080..U+009F, which some terminals obey as ESC would.
bool IsC1Control(const std::string& text, size_t i)
{
    return static_cast<unsigned char>(text[i]) == 0xC2 && i + 1 < text.size() &&
           static_cast<unsigned char>(text[i + 1]) >= 0x80 && static_cast<unsigned char>(text[i + 1]) <= 0x9F;
}

// How many continuation bytes a UTF-8 lead byte announces (0 for any other).
int ContinuationsAfter(unsigned char c)
{
    return c >= 0xC2 && c <= 0xDF ? 1 : c >= 0xE0 && c <= 0xEF ? 2 : c >= 0xF0 && c <= 0xF4 ? 3 : 0;
}

// A byte 0x80..0x9F outside a UTF-8 sequence: an 8-bit terminal obeys it
// as a C1 control (0x9B starts a command as ESC [ does).
bool IsStrayC1(unsigned char c, int pending)
{
    return pending == 0 && c >= 0x80 && c <= 0x9F;
}
} // namespace

std::string EscapeControlCharacters(const std::string& text)
{
    // Most lines hold neither kind of byte: returned as they are.
    if (std::none_of(text.begin(), text.end(), [](char ch) {
            const unsigned char c = static_cast<unsigned char>(ch);
            return IsControlCharacter(c) || (c >= 0x80 && c <= 0x9F);
        }))
        return text;
    std::string out;
    bool changed = false;
    int pending = 0; // continuation bytes still due in the current sequence
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (pending > 0 && (c & 0xC0) != 0x80)
            pending = 0;
        if (IsControlCharacter(c) || IsStrayC1(c, pending)) {
            out += "<" + ControlCharacterName(c) + ">";
            changed = true;
        } else if (IsC1Control(text, i)) {
            out += "<" + ControlCharacterName(static_cast<unsigned char>(text[++i])) + ">";
            changed = true;
        } else {
            out += text[i];
            pending = pending > 0 ? pending - 1 : ContinuationsAfter(c);
        }
    }
    return changed ? out : text;
}

std::string IntToTwoDigitString(int n)
{
    return (n < 10 ? "0" : "") + std::to_string(n);
}

std::string ToLowerString(const std::string& text)
{
    std::string s = text;
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string ToUpperString(const std::string& text)
{
    std::string s = text;
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

std::string TrimWhitespace(const std::string& text)
{
    const size_t start = text.find_first_not_of(" \t\r\n");
    if (start == std::string::npos)
        return std::string();
    const size_t end = text.find_last_not_of(" \t\r\n");
    return text.substr(start, end - start + 1);
}

std::string TrimTrailingWhitespace(const std::string& text)
{
    std::string s = text;
    // the first character is never removed
    while (s.size() > 1 && (s.back() == '\n' || s.back() == '\r' || s.back() == ' '))
        s.pop_back();
    return s;
}

std::string ShortenText(const std::string& text)
{
    if (text.size() <= 23)
        return text;
    return text.substr(0, 23) + "...";
}

int RoundToInt(float x)
{
    if (std::isnan(x))
        return 0;
    double f = std::floor(static_cast<double>(x));
    if (static_cast<double>(x) - f >= 0.5)
        f += 1.0;
    // Out-of-range floats would make the conversion undefined.
    if (f >= 2147483647.0)
        return INT_MAX;
    if (f <= -2147483648.0)
        return INT_MIN;
    return static_cast<int>(f);
}

void ReplaceSubstring(std::string& text, const std::string& search, const std::string& replacement)
{
    if (search.empty())
        return;
    size_t pos = 0;
    while ((pos = text.find(search, pos)) != std::string::npos) {
        text.replace(pos, search.size(), replacement);
        pos += replacement.size();
    }
}

std::vector<std::string> SplitTrimmedFields(const std::string& value, char separator)
{
    std::vector<std::string> fields;
    size_t start = 0;
    while (start <= value.size()) {
        size_t end = value.find(separator, start);
        if (end == std::string::npos)
            end = value.size();
        std::string field = value.substr(start, end - start);
        const size_t a = field.find_first_not_of(" \t\r");
        const size_t b = field.find_last_not_of(" \t\r");
        fields.push_back(a == std::string::npos ? std::string() : field.substr(a, b - a + 1));
        start = end + 1;
    }
    while (!fields.empty() && fields.back().empty())
        fields.pop_back();
    return fields;
}
