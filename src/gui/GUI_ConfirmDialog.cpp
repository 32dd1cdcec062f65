#include "gui/GUI_ConfirmDialog.h"

#include "engine/GDebugLog.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_Fader.h"
#include "gui/GUI_FrameDrawing.h"
#include "gui/GUI_PreloadedTextures.h"
#include "gui/GUI_WindowManager.h"

namespace {

GUI_ConfirmDialog* g_open = nullptr;

constexpr float kFontSize = 16.0f;
constexpr float kButtonAreaHeight = 110.0f;

} // namespace

GUI_ConfirmDialog::GUI_ConfirmDialog(const std::string& question, const std::string& title, GUI_Callback callback,
                                     bool fadeOnYes)
    : GUI_Dialog(true), m_question(question), m_callback(callback), m_fadeOnYes(fadeOnYes)
{
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", kFontSize);
    const int wrapWidth = static_cast<int>(static_cast<float>(kWidth) - 2.0f * sideMargin - 20.0f);
    const float textHeight = static_cast<float>(text.GetWrappedTextHeight(m_question, wrapWidth));
    SetSize(static_cast<float>(kWidth), static_cast<float>(static_cast<int>(textHeight + kButtonAreaHeight)));
    Centre();
    GUI_WindowManager::GetInstance().AddWindow(this);
    SetTitle(title);

    bottomMargin = 40.0f;
    SetClientRect();
    drawButtons = false;

    const auto self = reinterpret_cast<std::intptr_t>(this);
    m_yes = new GUI_ButtonText("CONFIRM_YES", OnYes, self);
    m_no = new GUI_ButtonText("CONFIRM_NO", OnNo, self);
    AddButton(m_yes);
    AddButton(m_no);
    const float l = static_cast<float>(left);
    const float r = static_cast<float>(right);
    const float b = static_cast<float>(bottom);
    const float mid = static_cast<float>((left + right) / 2);
    m_no->SetRect(l + 20.0f, b - 30.0f, mid - 10.0f, b - 10.0f);
    m_yes->SetRect(mid + 10.0f, b - 30.0f, r - 10.0f, b - 10.0f);
    AddChildElement(m_no);
    AddChildElement(m_yes);

    GUI_WindowManager::GetInstance().AddModal(this);
    g_open = this;
}

GUI_ConfirmDialog::~GUI_ConfirmDialog()
{
    if (g_open == this)
        g_open = nullptr;
    // Closed without an answer (its close button, Escape, a newer question):
    // the battle gets back the state the question found, as with "no".
    if (!m_answered && m_resumeBattle) {
        const GUI_Callback resume = m_resumeBattle;
        m_resumeBattle = nullptr;
        resume(0);
    }
}

GUI_ConfirmDialog* GUI_ConfirmDialog::GetOpen()
{
    return g_open;
}

void GUI_ConfirmDialog::SetOpenedFromBattle(GUI_Callback resume)
{
    if (g_open && !g_open->m_answered)
        g_open->m_resumeBattle = resume;
}

bool GUI_ConfirmDialog::IsOpenedFromBattle()
{
    return g_open && g_open->m_resumeBattle;
}

GUI_ConfirmDialog* GUI_ConfirmDialog::TakeAnswerable(std::intptr_t dialog)
{
    // A second click in the same frame, or a click on a replaced question,
    // finds nothing left to answer.
    GUI_ConfirmDialog* open = g_open;
    if (!open || reinterpret_cast<std::intptr_t>(open) != dialog || open->m_answered)
        return nullptr;
    if (GUI_WindowManager::GetInstance().IsQueuedForDelete(open))
        return nullptr;
    open->m_answered = true;
    return open;
}

void GUI_ConfirmDialog::Dismiss()
{
    // The answer arrives from inside this dialog's own click: it goes once
    // the manager has finished walking it.
    visible = false;
    if (g_open == this)
        g_open = nullptr;
    GUI_WindowManager::GetInstance().QueueDelete(this);
}

void GUI_ConfirmDialog::OnYes(std::intptr_t dialog)
{
    GUI_ConfirmDialog* open = TakeAnswerable(dialog);
    if (!open)
        return;
    const GUI_Callback callback = open->m_callback;
    const bool fade = open->m_fadeOnYes;
    open->m_resumeBattle = nullptr;
    open->Dismiss();
    if (!callback)
        return;
    if (fade)
        GUI_Fader::GetInstance().Start(callback, 0);
    else
        callback(0);
}

void GUI_ConfirmDialog::OnNo(std::intptr_t dialog)
{
    GUI_ConfirmDialog* open = TakeAnswerable(dialog);
    if (!open)
        return;
    const GUI_Callback resume = open->m_resumeBattle;
    open->m_resumeBattle = nullptr;
    open->Dismiss();
    if (resume)
        resume(0);
}

void GUI_ConfirmDialog::Draw()
{
    GUI_Dialog::Draw();
    const auto cl = static_cast<float>(clientLeft);
    const auto ct = static_cast<float>(clientTop);
    const auto cr = static_cast<float>(clientRight);
    const auto cb = static_cast<float>(clientBottom);
    DrawPreloadedFrame(GUI_PreloadedTextures::kDialogClient, kCornerSize, 1.0f, cl, ct, cr, cb);
    m_interlace.Draw(GRect{clientLeft, clientTop, clientRight, clientBottom});
    DrawButtons();
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", kFontSize);
    const int wrapWidth = clientRight - clientLeft - 20;
    text.SetText(TEXT_ALIGN_LEFT, text.GetWrappedText(m_question, wrapWidth), cl + 10.0f, ct + 10.0f, 0xFFFFFFFFu,
                 0.0f);
    text.Render(-1);
}

void AskYesNo(const char* questionKey, const char* titleKey, GUI_Callback callback, bool fadeOnYes)
{
    AskYesNoText(GetString(questionKey ? questionKey : ""), titleKey, callback, fadeOnYes);
}

void AskYesNoText(const std::string& question, const char* titleKey, GUI_Callback callback, bool fadeOnYes)
{
    if (GUI_ConfirmDialog* open = GUI_ConfirmDialog::GetOpen()) {
        open->visible = false;
        GUI_WindowManager::GetInstance().CloseWindow(open);
    }
    QLM_ASSERT(callback != nullptr);
    new GUI_ConfirmDialog(question, GetString(titleKey ? titleKey : ""), callback, fadeOnYes);
}
