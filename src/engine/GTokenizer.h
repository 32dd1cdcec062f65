#pragma once
#include <string>

// Splits one line into fields at a separator; double quotes group a field
// (and are dropped unless keepQuotes is set).
class GTokenizer {
public:
    GTokenizer(const std::string& line, char separator);

    const char* NextField();
    std::string NextString();
    int NextInt();
    // A field that is not a finite number reads as 0, logged when source is set.
    float NextFloat();
    // True once the last field of the line has been handed out.
    bool AtEnd() const { return m_pos > static_cast<int>(m_line.size()); }

    bool keepQuotes = false;
    // Where the line came from (file and key), named in the log line about a
    // number that is not finite.
    std::string source;

private:
    std::string m_line;
    std::string m_field;
    int m_pos = 0;
    char m_separator;
};
