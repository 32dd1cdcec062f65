#include "gui/GUI_SaveFileDialog.h"

#include "engine/GFileHelpers.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_ConfirmDialog.h"
#include "gui/GUI_FilePicker.h"
#include "gui/GUI_Message.h"
#include "gui/GUI_TextEditWindow.h"
#include "gui/GUI_WindowManager.h"

namespace {
GUI_SaveFileDialog* g_saveDialog = nullptr;

bool IsBlank(const std::string& text)
{
    return text.find_first_not_of(" \t") == std::string::npos;
}
} // namespace

GUI_SaveFileDialog::GUI_SaveFileDialog(const std::string& folder, const std::string& extension, const char* titleKey,
                                       Callback callback, const std::string& name)
    : GUI_Dialog(true), m_folder(folder), m_extension(extension), m_callback(std::move(callback))
{
    SetSize(static_cast<float>(kWidth), static_cast<float>(kHeight));
    Centre();
    SetTitleKey(titleKey);
    SetClientRect();

    m_picker = new GUI_FilePicker(m_folder + "*" + m_extension);
    m_picker->SetRect(static_cast<float>(clientLeft), static_cast<float>(clientTop), static_cast<float>(clientRight),
                      static_cast<float>(clientTop + kPickerHeight));
    m_picker->Layout();
    m_picker->DeselectAll(std::string());
    AddChild(m_picker);
    AddChildElement(m_picker);
    const int pickerBottom = m_picker->bottom;

    m_labelText = GetString("FILESAVE_FILENAME");

    m_saveButton = new GUI_ButtonText("FILE_SAVE", OnSave, reinterpret_cast<std::intptr_t>(this));
    m_saveButton->SetTooltip(GetString("FILE_SAVE_TOOLTIP"), 60);
    m_saveButton->SetRect(static_cast<float>(clientRight - 120), static_cast<float>(pickerBottom + 5),
                          static_cast<float>(clientRight), static_cast<float>(pickerBottom + 27));
    AddButton(m_saveButton);
    AddChildElement(m_saveButton);

    m_textField = new GUI_TextEditWindow(name, kMaxTyped);
    m_textField->SetRect(static_cast<float>(clientLeft + 100), static_cast<float>(pickerBottom + 5),
                         static_cast<float>(clientRight - 130), static_cast<float>(pickerBottom + 27));
    m_textField->noQuestionMark = true;
    m_textField->onEnter = OnSave;
    m_textField->onEnterArgument = reinterpret_cast<std::intptr_t>(this);
    AddChild(m_textField);
    AddChildElement(m_textField);
    m_picker->SetLinkedTextField(m_textField);

    GUI_WindowManager::GetInstance().AddModal(this);
    g_saveDialog = this;
    // The name can be typed at once, without a click on the field first.
    m_textField->BeginEditing();
}

GUI_SaveFileDialog::~GUI_SaveFileDialog()
{
    if (g_saveDialog == this)
        g_saveDialog = nullptr;
    // The field may go before the picker among the children.
    if (m_picker)
        m_picker->SetLinkedTextField(nullptr);
}

GUI_SaveFileDialog* GUI_SaveFileDialog::GetOpen()
{
    return g_saveDialog;
}

std::string GUI_SaveFileDialog::GetSafeName() const
{
    return SanitiseFileName(m_textField ? m_textField->GetText() : std::string(), kMaxNameLength);
}

std::string GUI_SaveFileDialog::GetTargetPath() const
{
    const std::string name = GetSafeName();
    return m_folder + (m_mapper ? m_mapper(name) : name) + m_extension;
}

void GUI_SaveFileDialog::Update()
{
    // The name field has the keyboard whenever the dialog is on top: after a
    // click on Save or a file, the refusal's message or a No to the
    // overwrite question, typing goes on in the field.
    if (visible && m_textField && !m_textField->IsEditing() && GUI_WindowManager::GetInstance().GetTopModal() == this &&
        !GUI_WindowManager::GetInstance().IsQueuedForDelete(this))
        m_textField->BeginEditing();
    GUI_Dialog::Update();
}

void GUI_SaveFileDialog::Draw()
{
    if (!visible)
        return;
    GUI_Dialog::Draw();
    DrawChildren();
    if (m_textField) {
        LibText& text = LibText::GetInstance();
        text.SetFont("zekton16.dds", 16.0f);
        text.SetText(TEXT_ALIGN_LEFT, m_labelText, static_cast<float>(clientLeft + 10),
                     static_cast<float>(m_textField->top), 0xFFFFFFFFu, 0.0f);
        text.Render();
    }
}

void GUI_SaveFileDialog::OnSave(std::intptr_t dialog)
{
    GUI_SaveFileDialog* open = g_saveDialog;
    if (!open || reinterpret_cast<std::intptr_t>(open) != dialog ||
        GUI_WindowManager::GetInstance().IsQueuedForDelete(open) || !open->m_textField)
        return;
    if (IsBlank(open->m_textField->GetText()))
        return;
    // Checked and written under the same safe name; the field shows it.
    open->m_pendingName = open->GetSafeName();
    if (open->m_textField->GetText() != open->m_pendingName)
        open->m_textField->SetText(open->m_pendingName);
    if (open->m_check) {
        const Refusal refusal = open->m_check(open->m_pendingName);
        if (refusal.takenOver)
            return;
        if (refusal.textKey) {
            open->m_pendingName.clear();
            ShowMessage(GetString(refusal.textKey), refusal.titleKey);
            return;
        }
    }
    const std::string written = open->m_mapper ? open->m_mapper(open->m_pendingName) : open->m_pendingName;
    if (FileExists(open->m_folder + written + open->m_extension))
        AskYesNo("OVERWRITE_CONFIRM_TEXT", "OVERWRITE_CONFIRM_TITLE", DoSave, false);
    else
        DoSave(0);
}

void GUI_SaveFileDialog::DoSave(std::intptr_t)
{
    GUI_SaveFileDialog* open = g_saveDialog;
    GUI_WindowManager& manager = GUI_WindowManager::GetInstance();
    if (!open || manager.IsQueuedForDelete(open) || open->m_pendingName.empty())
        return;
    const std::string name = open->m_pendingName;
    const Callback callback = open->m_callback;
    // Closed first, through the manager: a click is still walking it.
    g_saveDialog = nullptr;
    open->visible = false;
    manager.CloseWindow(open);
    if (callback)
        callback(name);
}

GUI_SaveFileDialog* ShowSaveFileDialog(const std::string& folder, const std::string& extension, const char* titleKey,
                                       GUI_SaveFileDialog::Callback callback, const std::string& name)
{
    if (GUI_SaveFileDialog* old = GUI_SaveFileDialog::GetOpen()) {
        old->visible = false;
        GUI_WindowManager::GetInstance().CloseWindow(old);
    }
    return new GUI_SaveFileDialog(folder, extension, titleKey, std::move(callback), name);
}
