#pragma once
#include <string>
#include <vector>

class GUI_BaseElement;

// The tutorial registry: while it blocks buttons only the allowed elements
// take left clicks. Destroyed widgets take themselves off the allowed list.
class GUI_Tutorial {
public:
    static GUI_Tutorial& GetInstance();

    // Reads the names of the tutorials the game can launch.
    void Load();
    const std::vector<std::string>& GetTutorialNames() const { return m_names; }
    bool LaunchTutorial(const std::string& name);
    void AllowButton(GUI_BaseElement* element);
    void RemoveAllowed(const GUI_BaseElement* element);
    bool IsAllowed(const GUI_BaseElement* element) const;
    // Offers the click at the mouse position to the allowed elements; true
    // when one took it.
    bool ClickAllowedElements();

    void SetWaitFor(const std::string& eventName) { m_waitFor = eventName; }
    bool IsWaitingFor(const std::string& eventName) const { return !m_waitFor.empty() && m_waitFor == eventName; }
    const std::string& GetWaitFor() const { return m_waitFor; }

    const std::vector<GUI_BaseElement*>& GetAllowedElements() const { return m_allowed; }

    bool blockButtons = false;

private:
    friend void ResetTutorialRestrictions(GUI_Tutorial& tutorial);
    GUI_Tutorial() = default;
    std::vector<GUI_BaseElement*> m_allowed;
    std::string m_waitFor;
    std::vector<std::string> m_names;
};

// Escape: empties the allowed list, unblocks buttons and clears the wait.
void ResetTutorialRestrictions(GUI_Tutorial& tutorial);
