#include "gui/GUI_Tutorial.h"

#include "engine/APP_UserFolders.h"
#include "engine/CInput.h"
#include "engine/GDebugLog.h"
#include "engine/GFileList.h"
#include "engine/GIniFile.h"
#include "engine/GSafeFile.h"
#include "engine/GSpreadsheet.h"
#include "engine/GTokenizer.h"
#include "engine/ModSupport.h"
#include "engine/StrFormat.h"
#include "gui/GUI_BaseElement.h"
#include "gui/GUI_TutorialHighlighter.h"
#include "gui/GUI_TutorialWindow.h"
#include "gui/GUI_WindowManager.h"

#include <algorithm>

namespace {

const char* const kMainFile = "data/tutorial.csv";
const char* const kMoreFiles = "data/tutorials/*.csv";
const char* const kSeenFile = "/tutorial_seen.ini";
const char* const kEcmLesson = "ECMSHOCKED";

} // namespace

GUI_Tutorial& GUI_Tutorial::GetInstance()
{
    // Never destroyed: widgets destroyed at exit still leave its lists.
    static GUI_Tutorial* instance = new GUI_Tutorial();
    return *instance;
}

void GUI_Tutorial::Clear()
{
    m_shown.clear();
    m_pending.clear();
}

void GUI_Tutorial::Load()
{
    Clear();
    LoadDefinitionFile(kMainFile);
    GFileList files;
    files.FindFiles(kMoreFiles);
    ModSupport::FindFiles(&files, kMoreFiles);
    for (const std::string& file : files.names)
        LoadDefinitionFile(file);
    LoadSeenList(SeenListPath());
}

void GUI_Tutorial::LoadDefinitionFile(const std::string& path)
{
    GSpreadsheet sheet(path);
    for (const std::string& row : sheet.rows) {
        GTokenizer fields(row, ',');
        fields.NextField(); // the row marker
        auto definition = std::make_unique<TutorialDefinition>();
        definition->name = fields.NextString();
        definition->title = fields.NextString();
        definition->x = static_cast<float>(fields.NextInt());
        definition->y = static_cast<float>(fields.NextInt());
        definition->hasOkButton = fields.NextInt() != 0;
        definition->modal = fields.NextInt() != 0;
        definition->closeScript = fields.NextString();
        definition->openScript = fields.NextString();
        definition->text = fields.NextString();
        m_pending.push_back(std::move(definition));
    }
}

std::string GUI_Tutorial::SeenListPath()
{
    return APP_UserFolders::GetInstance().Get(APP_UserFolders::USER) + kSeenFile;
}

void GUI_Tutorial::LoadSeenList(const std::string& path)
{
    std::string text;
    if (!ReadWholeFile(path, text, kMaxSettingsFileBytes))
        return;
    const std::vector<GIniFile> sections = GIniFile::ParseSections(text);
    const GIniFile* seen = GIniFile::FindSection(sections, "seen");
    // The list is written anew when the next lesson is seen: what could not
    // be read in it is said first.
    if (!seen) {
        // The list always has its header, even with no lesson seen.
        LOG_ERROR(path + (GIniFile::HasContent(text) ? ": no [seen] section" : ": empty (damaged)") +
                  ", every lesson shows again");
        return;
    }
    const GIniFile& ini = *seen;
    // Marked first, moved after: a name listed twice marks its first pending
    // row once, so each row still moves exactly once.
    std::vector<TutorialDefinition*> noted;
    size_t unknown = 0;
    for (size_t i = 0; i < ini.GetEntryCount(); ++i) {
        const std::string& key = ini.GetKeyAt(i);
        TutorialDefinition* definition = key.size() <= 1 ? nullptr : FindPending(key);
        if (!definition) {
            ++unknown;
            continue;
        }
        if (!definition->shown)
            noted.push_back(definition);
        definition->shown = true;
    }
    if (unknown > 0)
        LOG_ERROR(StrFormat("%s [seen]: %zu entries name no lesson, left out", path.c_str(), unknown));
    for (TutorialDefinition* definition : noted) {
        auto it = std::find_if(m_pending.begin(), m_pending.end(),
                               [definition](const auto& owned) { return owned.get() == definition; });
        m_shown.push_back(std::move(*it));
        m_pending.erase(it);
    }
}

bool GUI_Tutorial::SaveSeenList() const
{
    std::string text = "[seen]\n";
    for (const auto& definition : m_shown)
        text += definition->name + "\n";
    if (WriteFileAtomically(SeenListPath(), text))
        return true;
    LOG_ERROR("Cannot write tutorial seen file");
    return false;
}

TutorialDefinition* GUI_Tutorial::FindPending(const std::string& name) const
{
    for (const auto& definition : m_pending) {
        if (definition->name == name)
            return definition.get();
    }
    return nullptr;
}

bool GUI_Tutorial::HasBeenShown(const std::string& name) const
{
    return std::any_of(m_shown.begin(), m_shown.end(), [&name](const auto& d) { return d->name == name; });
}

bool GUI_Tutorial::LaunchTutorial(const std::string& name)
{
    TutorialDefinition* found = FindPending(name);
    if (!found || found->shown || m_lessonsOff)
        return false;
    auto it = std::find_if(m_pending.begin(), m_pending.end(), [found](const auto& d) { return d.get() == found; });
    m_shown.push_back(std::move(*it));
    m_pending.erase(it);
    GUI_TutorialWindow::Open(found);
    SaveSeenList();
    return true;
}

void GUI_Tutorial::ReturnToPending(const TutorialDefinition* definition)
{
    auto it = std::find_if(m_shown.begin(), m_shown.end(), [definition](const auto& d) { return d.get() == definition; });
    if (it == m_shown.end())
        return;
    (*it)->shown = false;
    m_pending.insert(m_pending.begin(), std::move(*it));
    m_shown.erase(it);
    SaveSeenList();
}

void GUI_Tutorial::NoteSkipped(const std::string& lesson, const std::string& control)
{
    if (m_skipLogged.insert(lesson).second)
        LOG_DEBUG(StrFormat("Tutorial lesson %s skipped: no control named %s", lesson.c_str(), control.c_str()));
}

void GUI_Tutorial::LaunchECMShockTutorial(float x, float y)
{
    const TutorialDefinition* lesson = FindPending(kEcmLesson);
    if (!lesson || lesson->shown || m_lessonsOff)
        return;
    if (m_battle.centreCamera)
        m_battle.centreCamera(x, y);
    LaunchTutorial(kEcmLesson);
}

bool GUI_Tutorial::ReportEvent(const std::string& eventName, const std::string& lesson)
{
    if (eventName.empty() || !IsWaitingFor(eventName))
        return false;
    SetWaitFor("");
    return LaunchTutorial(lesson.empty() ? eventName : lesson);
}

void GUI_Tutorial::AllowButton(GUI_BaseElement* element)
{
    if (element)
        m_allowed.push_back(element);
}

void GUI_Tutorial::RemoveAllowed(const GUI_BaseElement* element)
{
    m_allowed.erase(std::remove(m_allowed.begin(), m_allowed.end(), element), m_allowed.end());
}

bool GUI_Tutorial::IsAllowed(const GUI_BaseElement* element) const
{
    return std::find(m_allowed.begin(), m_allowed.end(), element) != m_allowed.end();
}

bool GUI_Tutorial::ClickAllowedElements()
{
    const CInput& input = CInput::GetInstance();
    const float x = input.GetMouseX();
    const float y = input.GetMouseY();
    // A click may destroy allowed elements (they leave the list), so walk a
    // copy and skip what is gone.
    const std::vector<GUI_BaseElement*> allowed = m_allowed;
    // As a dispatch does: a window closed by the click goes once it is over.
    GUI_WindowManager::BusyScope busy(GUI_WindowManager::GetInstance());
    for (GUI_BaseElement* element : allowed) {
        if (!IsAllowed(element))
            continue;
        if (element->OnLeftClick(x, y))
            return true;
    }
    return false;
}

void GUI_Tutorial::PauseBattleForTutorial()
{
    if (!m_battle.isRunning || !m_battle.isRunning() || !m_battle.isPaused || m_battle.isPaused())
        return;
    if (m_battle.pauseAsKey)
        m_battle.pauseAsKey();
    m_battlePausedByTutorial = true;
}

void GUI_Tutorial::ResumeBattleAfterLesson()
{
    if (!m_battlePausedByTutorial || !m_battle.isRunning || !m_battle.isRunning() || !m_battle.isPaused() ||
        !m_battle.togglePauseQuietly)
        return;
    m_battle.togglePauseQuietly();
    // The toggle reports the resume, but a link that does not must not leave
    // the claim behind.
    m_battlePausedByTutorial = false;
}

void GUI_Tutorial::OnScreenChanged()
{
    GUI_TutorialWindow::CloseAll();
    GUI_TutorialHighlighter::GetInstance().CancelHighlight();
    m_battlePausedByTutorial = false;
}

void GUI_Tutorial::NoteBattlePauseChanged(bool paused)
{
    if (!paused)
        m_battlePausedByTutorial = false;
}

void ResetTutorialRestrictions(GUI_Tutorial& tutorial)
{
    tutorial.m_allowed.clear();
    tutorial.blockButtons = false;
    tutorial.m_waitFor.clear();
    GUI_TutorialHighlighter::GetInstance().CancelHighlight();
}
