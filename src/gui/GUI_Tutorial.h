#pragma once
#include "gui/TutorialDefinition.h"

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

class GUI_BaseElement;

// The lessons: which exist, which the player has already seen ("tutorial_seen.ini"
// in the user folder, rewritten after every launch), the player action a lesson
// waits for, and the clicks it lets through while it blocks the rest. One object
// for the whole run; destroyed widgets take themselves off the allowed list.
class GUI_Tutorial {
public:
    static GUI_Tutorial& GetInstance();

    // What lessons need of the battle screen. The shell installs it, so this
    // layer stays below the screens; without it no battle is ever running.
    struct BattleLink {
        std::function<bool()> isRunning;
        std::function<bool()> isPaused;
        // As the pause key does it: click sound and usage event.
        std::function<void()> pauseAsKey;
        // Flips the pause without sound or usage event.
        std::function<void()> togglePauseQuietly;
        std::function<void(float, float)> centreCamera;
    };
    void SetBattleLink(BattleLink link) { m_battle = std::move(link); }

    // Start-up: every lesson file, then the seen list.
    void Load();
    void Clear();
    void LoadDefinitionFile(const std::string& path);
    void LoadSeenList(const std::string& path);
    bool SaveSeenList() const;
    static std::string SeenListPath();

    // Opens the first pending lesson of that name; false when there is none
    // (never launched or already shown).
    bool LaunchTutorial(const std::string& name);
    // A run nobody watches (a headless battle) offers no lesson: one would
    // wait for its OK with the battle paused. Lessons stay unseen.
    void SetLessonsOff(bool off) { m_lessonsOff = off; }
    bool HasBeenShown(const std::string& name) const;
    TutorialDefinition* FindPending(const std::string& name) const;
    // Centres the battle camera on the shocked ship only when its lesson will show.
    void LaunchECMShockTutorial(float x, float y);
    // A lesson whose control is missing goes back to the front of the pending
    // list, so its moment can come again once the control exists.
    void ReturnToPending(const TutorialDefinition* definition);

    void SetWaitFor(std::string eventName) { m_waitFor = std::move(eventName); }
    bool IsWaitingFor(std::string eventName) const { return eventName == m_waitFor; }
    const std::string& GetWaitFor() const { return m_waitFor; }
    // A screen's report of a player action: when a lesson waits for it, the
    // wait ends and the lesson named (by default the event itself) opens.
    bool ReportEvent(const std::string& eventName, const std::string& lesson = std::string());

    void AllowButton(GUI_BaseElement* element);
    void RemoveAllowed(const GUI_BaseElement* element);
    bool IsAllowed(const GUI_BaseElement* element) const;
    // Offers the click at the mouse position to the allowed elements in order;
    // true when one took it.
    bool ClickAllowedElements();
    const std::vector<GUI_BaseElement*>& GetAllowedElements() const { return m_allowed; }

    // A lesson opening over a running battle pauses it; acknowledging a lesson
    // resumes only a pause a lesson made. Any resume ends that claim, so a
    // pause the player makes later is never undone by a lesson.
    void PauseBattleForTutorial();
    void ResumeBattleAfterLesson();
    void NoteBattlePauseChanged(bool paused);
    // A new screen: lessons and their frames belong to the screen they talk
    // about, and a lesson's pause to the battle it was made in. The awaited
    // action stays.
    void OnScreenChanged();
    bool IsBattlePausedByTutorial() const { return m_battlePausedByTutorial; }

    const std::vector<std::unique_ptr<TutorialDefinition>>& GetShown() const { return m_shown; }
    const std::vector<std::unique_ptr<TutorialDefinition>>& GetPending() const { return m_pending; }

    // Logs a skipped lesson once per name and run.
    void NoteSkipped(const std::string& lesson, const std::string& control);

    bool blockButtons = false;

private:
    friend void ResetTutorialRestrictions(GUI_Tutorial& tutorial);
    GUI_Tutorial() = default;

    std::vector<GUI_BaseElement*> m_allowed;
    std::string m_waitFor;
    std::vector<std::unique_ptr<TutorialDefinition>> m_shown;
    std::vector<std::unique_ptr<TutorialDefinition>> m_pending;
    std::set<std::string> m_skipLogged;
    BattleLink m_battle;
    bool m_battlePausedByTutorial = false;
    bool m_lessonsOff = false;
};

// Escape: empties the allowed list, unblocks buttons, clears the wait and
// every highlight.
void ResetTutorialRestrictions(GUI_Tutorial& tutorial);
