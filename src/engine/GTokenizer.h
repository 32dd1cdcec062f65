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
    float NextFloat();

    bool keepQuotes = false;

private:
    std::string m_line;
    std::string m_field;
    int m_pos = 0;
    char m_separator;
};
