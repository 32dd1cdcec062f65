#include "engine/GTokenizer.h"

#include "engine/GDebugLog.h"
#include "engine/GIniFile.h"
#include "engine/StrFormat.h"
#include "engine/TextHelpers.h"

GTokenizer::GTokenizer(const std::string& line, char separator) : m_line(line), m_separator(separator)
{
    // A NUL ends the line for every reader
    if (size_t nul = m_line.find('\0'); nul != std::string::npos)
        m_line.resize(nul);
}

const char* GTokenizer::NextField()
{
    m_field.clear();
    const int last = static_cast<int>(m_line.size());
    if (m_pos > last)
        return m_field.c_str();
    bool quoted = false;
    while (m_pos < last) {
        char c = m_line[static_cast<size_t>(m_pos)];
        if (c == '"') {
            quoted = !quoted;
            if (keepQuotes)
                m_field += c;
            ++m_pos;
            continue;
        }
        if (!quoted && c == m_separator) {
            ++m_pos;
            return m_field.c_str();
        }
        m_field += c;
        ++m_pos;
    }
    // End of line: later calls give empty fields.
    m_pos = last + 1;
    return m_field.c_str();
}

std::string GTokenizer::NextString()
{
    return TrimTrailingWhitespace(NextField());
}

int GTokenizer::NextInt()
{
    return ParseLeadingInt(NextString().c_str());
}

float GTokenizer::NextFloat()
{
    const std::string field = NextString();
    bool nonFinite = false;
    const float value = ParseLeadingFloat(field.c_str(), &nonFinite);
    if (nonFinite && !source.empty())
        LOG_ERROR(StrFormat("%s: %s is not a finite number, read as 0", source.c_str(), field.c_str()));
    return value;
}
