#include "gui/GUI_TutorialWindow.h"

#include "app/APP_UsageMetrics.h"
#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "engine/LibText.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_Tutorial.h"
#include "gui/GUI_TutorialHighlighter.h"
#include "gui/GUI_WindowManager.h"
#include "gui/SimScript.h"
#include "gui/TutorialDefinition.h"

#include <algorithm>

namespace {

std::vector<GUI_TutorialWindow*>& OpenList()
{
    static auto* list = new std::vector<GUI_TutorialWindow*>();
    return *list;
}

void Unlist(const GUI_TutorialWindow* window)
{
    auto& list = OpenList();
    list.erase(std::remove(list.begin(), list.end(), window), list.end());
}

// A chain of lessons that open each other from their open scripts ends here.
constexpr int kMaxScriptRounds = 16;
constexpr int kTitleAndMargins = 42 + 35 + 20;

} // namespace

const std::vector<GUI_TutorialWindow*>& GUI_TutorialWindow::GetOpenWindows()
{
    return OpenList();
}

GUI_TutorialWindow* GUI_TutorialWindow::GetFirst()
{
    return OpenList().empty() ? nullptr : OpenList().front();
}

int GUI_TutorialWindow::HeightFor(const std::string& text)
{
    LibText& lib = LibText::GetInstance();
    lib.SetFont("zekton16.dds", kFontSize);
    const int textHeight = std::max(kMinTextHeight, lib.GetWrappedTextHeight(text, kTextWidth));
    return textHeight + kTitleAndMargins;
}

GUI_TutorialWindow* GUI_TutorialWindow::Open(TutorialDefinition* definition)
{
    QLM_ASSERT(definition);
    if (!definition)
        return nullptr;
    definition->shown = true;
    CloseAll();
    return new GUI_TutorialWindow(definition);
}

void GUI_TutorialWindow::CloseAll()
{
    while (!OpenList().empty())
        OpenList().front()->Close();
}

bool GUI_TutorialWindow::CloseFirst()
{
    GUI_TutorialWindow* first = GetFirst();
    if (!first)
        return false;
    OnOk(reinterpret_cast<std::intptr_t>(first));
    return true;
}

bool GUI_TutorialWindow::DismissFirst()
{
    GUI_TutorialWindow* first = GetFirst();
    if (!first)
        return false;
    first->Close();
    return true;
}

void GUI_TutorialWindow::OnOk(std::intptr_t argument)
{
    auto* window = reinterpret_cast<GUI_TutorialWindow*>(argument);
    if (!window || std::find(OpenList().begin(), OpenList().end(), window) == OpenList().end())
        return;
    const std::string script = window->m_closeScript;
    window->Close();
    GUI_Tutorial::GetInstance().ResumeBattleAfterLesson();
    if (!script.empty())
        SimScript::GetInstance().Run(script);
}

void GUI_TutorialWindow::RunPendingScripts()
{
    GUI_WindowManager& manager = GUI_WindowManager::GetInstance();
    // Windows closed since the last frame go first, with their names and
    // buttons, so that a script finds only what is on screen.
    manager.DeleteQueuedWindows();
    for (int round = 0; round < kMaxScriptRounds; ++round) {
        GUI_TutorialWindow* next = nullptr;
        for (GUI_TutorialWindow* window : OpenList()) {
            if (window->m_scriptPending) {
                next = window;
                break;
            }
        }
        if (!next)
            return;
        next->m_scriptPending = false;
        // The script may close this window: nothing of it is touched after.
        next->RunOpenScript();
        manager.DeleteQueuedWindows();
    }
}

bool GUI_TutorialWindow::RunOpenScript()
{
    GUI_Tutorial& tutorial = GUI_Tutorial::GetInstance();
    const GUI_TutorialHighlighter& highlighter = GUI_TutorialHighlighter::GetInstance();
    for (const std::string& control : SimScript::ControlsNamedIn(m_openScript)) {
        if (highlighter.CanPointAt(control))
            continue;
        tutorial.NoteSkipped(m_lessonName, control);
        const TutorialDefinition* definition = m_definition;
        Close();
        tutorial.ResumeBattleAfterLesson();
        tutorial.ReturnToPending(definition);
        return false;
    }
    if (!m_openScript.empty())
        SimScript::GetInstance().Run(std::string(m_openScript));
    return true;
}

GUI_TutorialWindow::GUI_TutorialWindow(TutorialDefinition* definition) : GUI_Dialog(false), m_definition(definition)
{
    OpenList().push_back(this);
    GUI_Tutorial::GetInstance().PauseBattleForTutorial();
    GUI_WindowManager& manager = GUI_WindowManager::GetInstance();
    if (definition->modal) {
        m_modal = true;
        manager.AddModal(this);
    }
    manager.RemoveWindow(this);
    manager.AddWindow(this);
    manager.BringToFront(this);

    m_lessonName = definition->name;
    m_bodyText = definition->text;
    m_closeScript = definition->closeScript;
    m_openScript = definition->openScript;
    SetName(m_lessonName);

    const D3DEngine& engine = D3DEngine::GetInstance();
    const int screenW = engine.GetScreenWidth(), screenH = engine.GetScreenHeight();
    const int h = HeightFor(m_bodyText);
    SetSize(static_cast<float>(kWidth), static_cast<float>(h));
    int x = static_cast<int>(definition->x);
    int y = static_cast<int>(definition->y);
    if (definition->x == -1.0f)
        x = screenW / 2 - kWidth / 2;
    if (definition->y == -1.0f)
        y = screenH / 2 - h / 2;
    // A lesson placed for a larger screen still shows whole, OK button included.
    x = std::max(0, std::min(x, screenW - kWidth));
    y = std::max(0, std::min(y, screenH - h));
    MoveTo(static_cast<float>(x), static_cast<float>(y));
    SetTitle(definition->title);

    if (definition->hasOkButton) {
        bottomMargin = 40.0f;
        m_okButton = new GUI_ButtonText("TUTORIAL_WINDOW_OK", &GUI_TutorialWindow::OnOk,
                                        reinterpret_cast<std::intptr_t>(this));
        m_okButton->SetTooltip("TUTORIAL_WINDOW_OK_TOOLTIP", 60);
        AddButton(m_okButton);
        PlaceOkButton();
        m_okButton->SetName("tutorialbutton");
    }
    SetClientRect();
    m_scriptPending = true;
    APP_UsageMetrics::GetInstance().SetEventFlag("tutwin_" + m_lessonName);
}

GUI_TutorialWindow::~GUI_TutorialWindow()
{
    Unlist(this);
}

void GUI_TutorialWindow::Close()
{
    Unlist(this);
    m_scriptPending = false;
    visible = false;
    GUI_WindowManager& manager = GUI_WindowManager::GetInstance();
    manager.RemoveModal(this);
    manager.QueueDelete(this);
}

void GUI_TutorialWindow::PlaceOkButton()
{
    if (m_okButton)
        m_okButton->SetRect(static_cast<float>(left + 20), static_cast<float>(bottom - 30),
                            static_cast<float>(right - 20), static_cast<float>(bottom - 10));
}

bool GUI_TutorialWindow::OnLeftClick(float x, float y)
{
    const bool taken = GUI_Dialog::OnLeftClick(x, y);
    return m_modal || taken;
}

void GUI_TutorialWindow::Draw()
{
    if (!visible)
        return;
    D3DEngine& engine = D3DEngine::GetInstance();
    if (m_modal) {
        engine.SetNormalBlend();
        engine.FillRect(GRect{0, 0, engine.GetScreenWidth(), engine.GetScreenHeight()}, kOverlayColour);
    }
    GUI_TutorialHighlighter::GetInstance().Draw();
    PlaceOkButton();
    GUI_Dialog::Draw();
    DrawClientText(m_interlace, m_bodyText);
    if (m_modal)
        GUI_WindowManager::GetInstance().SetMouseOverWindow(this);
}
