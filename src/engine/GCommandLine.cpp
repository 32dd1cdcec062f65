#include "engine/GCommandLine.h"

#include "engine/GDebugLog.h"
#include "engine/GTokenizer.h"

#include <algorithm>

GCommandLine& GCommandLine::GetInstance()
{
    static GCommandLine instance;
    return instance;
}

void GCommandLine::Parse(const std::string& commandLine)
{
    if (commandLine.empty())
        return;
    GTokenizer tokens(commandLine, ',');
    while (!tokens.AtEnd()) {
        std::string token = tokens.NextString();
        // The debug line is bounded; the token itself is kept whole.
        std::string line = "Command Line: " + token;
        if (line.size() > 255)
            line.resize(255);
        GDebugLog::GetInstance().Write(line);
        m_tokens.push_back(std::move(token));
    }
}

void GCommandLine::ParseArgs(int argc, const char* const* argv)
{
    for (int i = 1; i < argc && argv && argv[i]; ++i)
        Parse(argv[i]);
}

bool GCommandLine::HasOption(const std::string& token) const
{
    return std::find(m_tokens.begin(), m_tokens.end(), token) != m_tokens.end();
}
