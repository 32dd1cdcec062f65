#include "gui/GUI_OpenFileDialog.h"

#include "engine/D3DEngine.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_FilePicker.h"
#include "gui/GUI_WindowManager.h"

namespace {
GUI_OpenFileDialog* g_openDialog = nullptr;
constexpr uint32_t kLabelFill = 0xC0000000u;
} // namespace

GUI_OpenFileDialog::GUI_OpenFileDialog(const std::string& mask, const char* titleKey, Callback callback)
    : GUI_Dialog(true), m_callback(std::move(callback))
{
    SetSize(static_cast<float>(kWidth), static_cast<float>(kHeight));
    Centre();
    SetTitleKey(titleKey);
    SetClientRect();

    m_picker = new GUI_FilePicker(mask);
    m_picker->SetRect(static_cast<float>(clientLeft), static_cast<float>(clientTop), static_cast<float>(clientRight),
                      static_cast<float>(clientTop + kPickerHeight));
    m_picker->Layout();
    AddChild(m_picker);
    AddChildElement(m_picker);

    const int pickerBottom = m_picker->bottom;
    m_labelLeft = clientLeft + 100 - left;
    m_labelTop = pickerBottom + 12 - top;
    m_labelRight = clientRight - 130 - left;
    m_labelBottom = pickerBottom + 34 - top;
    m_labelText = GetString("FILEOPEN_FILENAME");

    m_openButton = new GUI_ButtonText("FILE_OPEN", OnOpen, reinterpret_cast<std::intptr_t>(this));
    m_openButton->SetTooltip(GetString("FILE_OPEN_TOOLTIP"), 60);
    m_openButton->SetRect(static_cast<float>(clientRight - 120), static_cast<float>(pickerBottom + 12),
                          static_cast<float>(clientRight), static_cast<float>(pickerBottom + 34));
    AddButton(m_openButton);
    AddChildElement(m_openButton);

    GUI_WindowManager::GetInstance().AddModal(this);
    g_openDialog = this;
}

GUI_OpenFileDialog::~GUI_OpenFileDialog()
{
    if (g_openDialog == this)
        g_openDialog = nullptr;
}

GUI_OpenFileDialog* GUI_OpenFileDialog::GetOpen()
{
    return g_openDialog;
}

void GUI_OpenFileDialog::Draw()
{
    if (!visible)
        return;
    GUI_Dialog::Draw();
    DrawChildren();
    const GRect label{left + m_labelLeft, top + m_labelTop, left + m_labelRight, top + m_labelBottom};
    D3DEngine::GetInstance().FillRect(label, kLabelFill);
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    text.SetText(TEXT_ALIGN_LEFT, m_labelText, static_cast<float>(clientLeft + 10), static_cast<float>(label.top),
                 0xFFFFFFFFu, 0.0f);
    if (m_picker)
        text.SetText(TEXT_ALIGN_LEFT, m_picker->GetSelectedName(), static_cast<float>(label.left + 10),
                     static_cast<float>(label.top), 0xFFFFFFFFu, 0.0f);
    text.Render();
}

void GUI_OpenFileDialog::OnOpen(std::intptr_t dialog)
{
    GUI_OpenFileDialog* open = g_openDialog;
    GUI_WindowManager& manager = GUI_WindowManager::GetInstance();
    // A second click in the same frame, or a stale button, finds nothing.
    if (!open || reinterpret_cast<std::intptr_t>(open) != dialog || manager.IsQueuedForDelete(open))
        return;
    const std::string path = open->m_picker ? open->m_picker->GetSelectedPath() : std::string();
    if (path.empty())
        return; // nothing listed, nothing to open
    const Callback callback = open->m_callback;
    // Closed first, through the manager: we are inside this dialog's own
    // click, and the callback may open a dialog of its own.
    g_openDialog = nullptr;
    open->visible = false;
    manager.CloseWindow(open);
    if (callback)
        callback(path);
}

GUI_OpenFileDialog* ShowOpenFileDialog(const std::string& mask, const char* titleKey,
                                       GUI_OpenFileDialog::Callback callback)
{
    if (GUI_OpenFileDialog* old = GUI_OpenFileDialog::GetOpen()) {
        old->visible = false;
        GUI_WindowManager::GetInstance().CloseWindow(old);
    }
    return new GUI_OpenFileDialog(mask, titleKey, std::move(callback));
}
