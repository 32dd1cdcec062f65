#include "gui/SimScript.h"

#include "engine/GDebugLog.h"
#include "engine/GTokenizer.h"
#include "engine/StrFormat.h"
#include "gui/GUI_BaseElement.h"
#include "gui/GUI_Tutorial.h"
#include "gui/GUI_TutorialHighlighter.h"
#include "gui/GUI_WindowBase.h"
#include "gui/GUI_WindowManager.h"

namespace {

std::string Trim(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return std::string();
    const size_t last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

std::string ForLog(const std::string& text)
{
    return text.size() > SimScript::kMaxLoggedText ? text.substr(0, SimScript::kMaxLoggedText) : text;
}

} // namespace

SimScript& SimScript::GetInstance()
{
    static SimScript instance;
    return instance;
}

SimScript::SimScript() = default;

void SimScript::RegisterFunction(const std::string& name, Function function)
{
    if (IsRegistered(name) || !function)
        return;
    m_functions.emplace_back(name, std::move(function));
}

bool SimScript::IsRegistered(const std::string& name) const
{
    for (const auto& entry : m_functions) {
        if (entry.first == name)
            return true;
    }
    return false;
}

void SimScript::SetHighlighter(std::function<void(const std::string&)> highlight, std::function<void()> cancel)
{
    m_highlight = std::move(highlight);
    m_cancelHighlight = std::move(cancel);
}

const std::string& SimScript::GetArgument(int index) const
{
    static const std::string empty;
    return index >= 0 && index < kMaxArguments ? m_arguments[static_cast<size_t>(index)] : empty;
}

std::vector<std::string> SimScript::SplitInstructions(const std::string& script)
{
    std::vector<std::string> out;
    GTokenizer tokenizer(script, ';');
    while (!tokenizer.AtEnd()) {
        std::string instruction = Trim(tokenizer.NextField());
        if (!instruction.empty())
            out.push_back(std::move(instruction));
    }
    return out;
}

void SimScript::Run(const std::string& script)
{
    if (script.empty())
        return;
    // Split first: a function may run another script through us.
    for (const std::string& instruction : SplitInstructions(script))
        ParseInstruction(instruction);
}

SimScript::Instruction SimScript::ReadInstruction(const std::string& text)
{
    Instruction out;
    const std::string instruction = Trim(text);
    const size_t open = instruction.find('(');
    if (open == std::string::npos) {
        out.name = instruction;
        return out;
    }
    out.name = Trim(instruction.substr(0, open));
    std::string rest = instruction.substr(open + 1);
    const size_t close = rest.rfind(')');
    if (close != std::string::npos)
        rest.resize(close);
    if (!Trim(rest).empty()) {
        GTokenizer tokenizer(rest, ',');
        // Arguments beyond the sixth are dropped.
        while (!tokenizer.AtEnd() && static_cast<int>(out.arguments.size()) < kMaxArguments)
            out.arguments.push_back(Trim(tokenizer.NextField()));
    }
    return out;
}

std::vector<std::string> SimScript::ControlsNamedIn(const std::string& script)
{
    std::vector<std::string> controls;
    for (const std::string& text : SplitInstructions(script)) {
        Instruction instruction = ReadInstruction(text);
        if ((instruction.name == "Highlight" || instruction.name == "AllowButton") && !instruction.arguments.empty() &&
            !instruction.arguments[0].empty())
            controls.push_back(instruction.arguments[0]);
    }
    return controls;
}

void SimScript::ParseInstruction(const std::string& text)
{
    LOG_DEBUG(StrFormat("ParseInstruction [%s]", ForLog(text).c_str()));
    // Arguments of an earlier instruction must not leak into this one.
    for (std::string& argument : m_arguments)
        argument.clear();
    Instruction instruction = ReadInstruction(text);
    m_functionName = std::move(instruction.name);
    m_argumentCount = static_cast<int>(instruction.arguments.size());
    for (int i = 0; i < m_argumentCount; ++i)
        m_arguments[static_cast<size_t>(i)] = std::move(instruction.arguments[static_cast<size_t>(i)]);
    Execute();
}

void SimScript::Execute()
{
    LOG_DEBUG(StrFormat("SimScript::Execute:FunctionName [%s]", ForLog(m_functionName).c_str()));
    for (const auto& entry : m_functions) {
        if (entry.first == m_functionName) {
            // A copy: the function may register further functions.
            Function function = entry.second;
            function();
            return;
        }
    }
    if (!RunBuiltIn())
        LOG_DEBUG("Unknown scripted function");
}

bool SimScript::RunBuiltIn()
{
    const std::string& name = m_functionName;
    const std::string a = m_arguments[0];
    GUI_Tutorial& tutorial = GUI_Tutorial::GetInstance();
    if (name == "Highlight") {
        if (m_highlight)
            m_highlight(a);
        else
            GUI_TutorialHighlighter::GetInstance().Highlight(a);
    } else if (name == "CancelHighlight") {
        if (m_cancelHighlight)
            m_cancelHighlight();
        else
            GUI_TutorialHighlighter::GetInstance().CancelHighlight();
    } else if (name == "LaunchTutorial") {
        tutorial.LaunchTutorial(a);
    } else if (name == "BlockButtons") {
        tutorial.blockButtons = true;
    } else if (name == "AllowButtons") {
        const std::vector<GUI_BaseElement*> allowed = tutorial.GetAllowedElements();
        for (GUI_BaseElement* element : allowed)
            tutorial.RemoveAllowed(element);
        tutorial.blockButtons = false;
    } else if (name == "WaitFor") {
        tutorial.SetWaitFor(a);
    } else if (name == "AllowButton") {
        // A copy: allowing an element must not disturb the walk.
        const std::vector<GUI_BaseElement*> named = GUI_BaseElement::GetNamedElements();
        for (GUI_BaseElement* element : named) {
            if (element && element->GetName() == a && !tutorial.IsAllowed(element))
                tutorial.AllowButton(element);
        }
    } else if (name == "CloseWindow") {
        CloseWindowNamed(a);
    } else {
        return false;
    }
    return true;
}

void SimScript::CloseWindowNamed(const std::string& name)
{
    GUI_BaseElement* element = GUI_BaseElement::FindByName(name);
    if (!element)
        return;
    // The window manager frees it once no walk of its lists is running; a
    // delete from here could pull it out from under the click that ran us.
    if (auto* window = dynamic_cast<GUI_WindowBase*>(element)) {
        GUI_WindowManager::GetInstance().CloseWindow(window);
        return;
    }
    // A button or other part belongs to its owner's list; tearing it out here
    // would leave the owner pointing at freed memory.
    LOG_DEBUG(StrFormat("CloseWindow: [%s] is not a window", ForLog(name).c_str()));
}
