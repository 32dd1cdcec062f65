#pragma once
#include <array>
#include <functional>
#include <string>
#include <utility>
#include <vector>

// The interpreter of the small scripts tutorials and screens drive the
// interface with: "Name(arg, arg); Name2()". Screens register functions under
// a name; a registered name wins over the built-in of the same name.
class SimScript {
public:
    using Function = std::function<void()>;
    static constexpr int kMaxArguments = 6;
    // Bound on the text of one logged instruction.
    static constexpr size_t kMaxLoggedText = 2047;

    static SimScript& GetInstance();
    SimScript();

    void Run(const std::string& script);
    void ParseInstruction(const std::string& text);
    void Execute();
    // A name registered twice keeps its first function.
    void RegisterFunction(const std::string& name, Function function);
    bool IsRegistered(const std::string& name) const;

    // Replaces the tutorial highlighter behind "Highlight" and "CancelHighlight".
    void SetHighlighter(std::function<void(const std::string&)> highlight, std::function<void()> cancel);

    const std::string& GetFunctionName() const { return m_functionName; }
    const std::string& GetArgument(int index) const;
    int GetArgumentCount() const { return m_argumentCount; }

    // Splits a script into its instructions, quotes grouping, blanks trimmed,
    // empty instructions dropped.
    static std::vector<std::string> SplitInstructions(const std::string& script);
    // One instruction read as it would run: its name and at most six arguments.
    struct Instruction {
        std::string name;
        std::vector<std::string> arguments;
    };
    static Instruction ReadInstruction(const std::string& text);
    // The controls a script points at or lets clicks through to, in order.
    static std::vector<std::string> ControlsNamedIn(const std::string& script);

private:
    bool RunBuiltIn();
    void CloseWindowNamed(const std::string& name);

    std::vector<std::pair<std::string, Function>> m_functions;
    std::string m_functionName;
    std::array<std::string, kMaxArguments> m_arguments;
    int m_argumentCount = 0;
    std::function<void(const std::string&)> m_highlight;
    std::function<void()> m_cancelHighlight;
};
