#pragma once
#include <string>
#include <vector>

// The program's command-line options, split at commas (the form the game's
// shortcuts always used), each logged to the debug file.
class GCommandLine {
public:
    static GCommandLine& GetInstance();

    GCommandLine() = default;
    virtual ~GCommandLine() = default;

    // Appends the comma-separated tokens of the text, trailing blanks removed.
    void Parse(const std::string& commandLine);
    // Appends the tokens of every argument after the program name.
    void ParseArgs(int argc, const char* const* argv);

    bool HasEditorOption() const { return HasOption("-editor"); }
    bool HasOption(const std::string& token) const;
    const std::vector<std::string>& GetTokens() const { return m_tokens; }
    void Clear() { m_tokens.clear(); }

private:
    std::vector<std::string> m_tokens;
};
