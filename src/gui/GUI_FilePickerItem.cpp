#include "gui/GUI_FilePickerItem.h"

#include "app/GUI_Sounds.h"
#include "engine/CInput.h"
#include "engine/GDebugLog.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "engine/TextHelpers.h"
#include "gui/GUI_ConfirmDialog.h"
#include "gui/GUI_Cursor.h"
#include "gui/GUI_FilePicker.h"
#include "gui/GUI_FrameDrawing.h"
#include "gui/GUI_IconButton.h"
#include "gui/GUI_PreloadedTextures.h"

namespace {
GUI_FilePickerItem* g_hovered = nullptr;
constexpr int kClickSound = 0;
constexpr int kMouseOverSound = 2;
} // namespace

GUI_FilePickerItem::GUI_FilePickerItem(GUI_FilePicker* picker, const std::string& path)
    : m_path(path), m_name(GUI_FilePicker::NameFromPath(path)), m_picker(picker)
{
    m_deleteButton = new GUI_IconButton(AskDelete, reinterpret_cast<std::intptr_t>(this), "gui_file_delete.dds",
                                        "gui_file_delete_h.dds");
    m_deleteButton->SetTooltip(GetString("FILEPICKER_DELETE_TOOLTIP"), 60);
    AddButton(m_deleteButton);
}

GUI_FilePickerItem::~GUI_FilePickerItem()
{
    if (g_hovered == this)
        g_hovered = nullptr;
}

GUI_FilePickerItem* GUI_FilePickerItem::GetHovered()
{
    return g_hovered;
}

void GUI_FilePickerItem::PlaceDeleteButton()
{
    m_deleteButton->SetRect(static_cast<float>(right - 22), static_cast<float>(top + 2), static_cast<float>(right - 4),
                            static_cast<float>(bottom + 2));
}

bool GUI_FilePickerItem::OnLeftClick(float x, float y)
{
    if (!visible || !Contains(x, y))
        return false;
    PlaceDeleteButton();
    if (ClickButtons())
        return true;
    AssertFail(m_picker != nullptr, "GUI_FilePicker", __LINE__);
    if (!m_picker)
        return true;
    m_picker->DeselectAll(m_path);
    m_picker->SelectName(m_name);
    selected = true;
    GUI_Sounds::GetInstance().PlayGuiSound(kClickSound);
    return true;
}

void GUI_FilePickerItem::Update()
{
    GUI_WindowBase::Update();
    if (IsMouseOver())
        GUI_Cursor::GetInstance().SetHand();
}

void GUI_FilePickerItem::Draw()
{
    if (!visible)
        return;
    const bool mouseOver = IsMouseOver();
    const int frame = (selected || mouseOver) ? GUI_PreloadedTextures::kHighlight : GUI_PreloadedTextures::kHighlightBlack;
    DrawPreloadedFrame(frame, 8.0f, 0.2f, static_cast<float>(left), static_cast<float>(top), static_cast<float>(right),
                       static_cast<float>(bottom));
    PlaceDeleteButton();
    DrawButtons();
    if (mouseOver && g_hovered != this) {
        g_hovered = this;
        GUI_Sounds::GetInstance().PlayGuiSound(kMouseOverSound);
    } else if (!mouseOver && g_hovered == this) {
        // Coming back to the same row is worth a sound again.
        g_hovered = nullptr;
    }
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    text.SetText(TEXT_ALIGN_LEFT, m_name, static_cast<float>(left + 10), static_cast<float>(top), 0xFFFFFFFFu, 0.0f);
    text.Render();
}

void GUI_FilePickerItem::AskDelete(std::intptr_t row)
{
    auto* item = reinterpret_cast<GUI_FilePickerItem*>(row);
    if (!item || !item->m_picker)
        return;
    item->m_picker->RequestDelete(item->m_path);
    AskYesNoText(DeleteQuestion(item->m_name), "FILEPICKER_CONFIRM_DELETE_TITLE", DoDelete, false);
}

std::string GUI_FilePickerItem::DeleteQuestion(const std::string& name)
{
    std::string question = GetString("FILEPICKER_CONFIRM_DELETE_TEXT");
    ReplaceSubstring(question, "<FILE>", "\"" + name + "\"");
    return question;
}

void GUI_FilePickerItem::DoDelete(std::intptr_t)
{
    GUI_FilePicker::ConfirmRequestedDelete();
}
