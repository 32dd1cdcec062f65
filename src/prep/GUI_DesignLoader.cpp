#include "prep/GUI_DesignLoader.h"

#include "engine/APP_UserFolders.h"
#include "engine/CInput.h"
#include "engine/GFileList.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "engine/TextHelpers.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_ConfirmDialog.h"
#include "gui/GUI_FilePickerItem.h"
#include "gui/GUI_Cursor.h"
#include "gui/GUI_IconButton.h"
#include "gui/GUI_Message.h"
#include "gui/GUI_ScrollingWindow.h"
#include "gui/GUI_SubtleTextButton.h"
#include "gui/GUI_WindowManager.h"
#include "prep/DesignerCommon.h"
#include "prep/GUI_ShipDesignSummary.h"
#include "prep/GUI_ShipIconRCMenu.h"
#include "sim/SIM_Race.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_ShipHull.h"

#include <algorithm>

namespace {
GUI_DesignLoader* g_loader = nullptr;

const char* const kSortKeys[3] = {"DESIGN_SORT_NAME", "DESIGN_SORT_CLASS", "DESIGN_SORT_RACE"};

std::string ClassText(int hullClass)
{
    if (hullClass == SIM_ShipHull::CRUISER)
        return GetString("SUPPLY_FILTER_CRUISER");
    if (hullClass == SIM_ShipHull::FRIGATE)
        return GetString("SUPPLY_FILTER_FRIGATE");
    return GetString("SUPPLY_FILTER_FIGHTER");
}

bool Inside(const GRect& r, float x, float y)
{
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}
} // namespace

GUI_DesignLoader* GUI_DesignLoader::GetOpen()
{
    return g_loader;
}

GUI_DesignLoader* GUI_DesignLoader::Open(const std::vector<std::string>& masks)
{
    delete g_loader;
    return new GUI_DesignLoader(masks);
}

bool GUI_DesignLoader::IsDeletable(const std::string& fileName)
{
    const APP_UserFolders& folders = APP_UserFolders::GetInstance();
    return folders.IsCreated() && SIM_ShipDesign::IsInsideFolder(fileName, folders.Get(APP_UserFolders::SHIPS));
}

GUI_DesignLoader::GUI_DesignLoader(const std::vector<std::string>& masks) : GUI_Dialog(true), m_masks(masks)
{
    g_loader = this;
    SetSize(static_cast<float>(kWidth), static_cast<float>(kHeight));
    Centre();
    SetTitleKey("SHIPDESIGN_LOADDESIGN");
    SetClientRect();
    GUI_WindowManager::GetInstance().AddModal(this);
    m_list = GRect{clientLeft, clientTop, clientRight, clientBottom - 30};
    m_nameBox = GRect{clientLeft + 100, clientBottom - 24, clientRight - 130, clientBottom - 2};
    m_nameLabel = GetString("FILEOPEN_FILENAME");
    m_open = new GUI_ButtonText("FILE_OPEN", OpenPressed, 0);
    m_open->SetTooltip(GetString("FILE_OPEN_TOOLTIP"), 60);
    m_open->SetRect(static_cast<float>(clientRight - 120), static_cast<float>(clientBottom - 24),
                    static_cast<float>(clientRight), static_cast<float>(clientBottom - 2));
    AddButton(m_open);
    // Each sort button heads its column, from 10 before its text to the next one.
    for (int i = 0; i < 3; ++i) {
        m_sortButtons[i] = new GUI_SubtleTextButton(kSortKeys[i], SortPressed, i);
        const int l = m_list.left + 2 + kColumnLeft[i] - 10;
        const int r = i < 2 ? m_list.left + 2 + kColumnLeft[i + 1] - 15 : l + kColumnWidth[i] + 30;
        m_sortButtons[i]->SetRect(static_cast<float>(l), static_cast<float>(m_list.top + 2), static_cast<float>(r),
                                  static_cast<float>(m_list.top + 22));
        AddButton(m_sortButtons[i]);
    }
    m_scroller = new GUI_ScrollingWindow();
    m_scroller->SetRect(static_cast<float>(m_list.right - 15), static_cast<float>(m_list.top + 26),
                        static_cast<float>(m_list.right), static_cast<float>(m_list.bottom));
    AddChild(m_scroller);
    BuildRows();
}

GUI_DesignLoader::~GUI_DesignLoader()
{
    if (g_loader == this)
        g_loader = nullptr;
    ClearRows();
}

void GUI_DesignLoader::ClearRows()
{
    for (Row& row : m_rows) {
        if (row.deleteButton)
            DeleteButton(row.deleteButton);
    }
    m_rows.clear();
}

void GUI_DesignLoader::BuildRows()
{
    m_files.clear();
    for (const std::string& mask : m_masks) {
        GFileList list;
        list.FindFiles(mask);
        m_files.insert(m_files.end(), list.names.begin(), list.names.end());
    }
    ClearRows();
    m_scroller->position = 0;
    m_selected = -1;
    for (const std::string& file : m_files) {
        SIM_ShipDesign* design = SIM_ShipDesign::FindByFileName(file);
        if (!design || !design->GetHull())
            continue;
        Row row;
        row.design = design;
        row.columns[BY_NAME] = design->GetGuiName();
        row.columns[BY_CLASS] = ClassText(design->GetHull()->GetClass());
        row.columns[BY_RACE] = SIM_Race::DisplayName(design->GetHull()->GetRaceName());
        row.deletable = IsDeletable(file);
        LibText& text = LibText::GetInstance();
        for (int c = 0; c < 3; ++c) {
            row.shown[c] = row.columns[c];
            if (text.FindFont("zekton16.dds")) {
                text.SetFont("zekton16.dds", 16.0f);
                row.shown[c] = text.FitText(row.shown[c], kColumnWidth[c], 1);
            }
        }
        m_rows.push_back(std::move(row));
    }
    for (size_t i = 0; i < m_rows.size(); ++i) {
        if (!m_rows[i].deletable)
            continue;
        m_rows[i].deleteButton = new GUI_IconButton(AskDelete, static_cast<std::intptr_t>(i), "gui_file_delete.dds",
                                                    "gui_file_delete_h.dds");
        m_rows[i].deleteButton->SetTooltip(GetString("FILEPICKER_DELETE_TOOLTIP"), 60);
        AddButton(m_rows[i].deleteButton);
    }
    if (!m_rows.empty())
        m_selected = 0;
    m_sortKey = BY_NAME;
    m_reverse = true;
    LayoutRows();
}

void GUI_DesignLoader::LayoutRows()
{
    int y = m_list.top + kFirstRowOffset;
    int placed = 0;
    for (size_t i = 0; i < m_rows.size(); ++i) {
        Row& row = m_rows[i];
        row.placed = static_cast<int>(i) >= m_scroller->position && y < m_list.bottom - kRowStep;
        if (row.deleteButton) {
            row.deleteButton->argument = static_cast<std::intptr_t>(i);
            row.deleteButton->visible = row.placed;
        }
        if (!row.placed) {
            if (row.deleteButton)
                row.deleteButton->SetRect(-100.0f, -100.0f, -90.0f, -90.0f);
            continue;
        }
        row.rect = GRect{m_list.left + 2, y, m_scroller->left - 5, y + kRowHeight};
        if (row.deleteButton)
            row.deleteButton->SetRect(static_cast<float>(row.rect.right - 22), static_cast<float>(row.rect.top + 2),
                                      static_cast<float>(row.rect.right - 4), static_cast<float>(row.rect.bottom));
        y += kRowStep;
        ++placed;
    }
    m_scroller->contentSize = static_cast<float>(m_rows.size());
    m_scroller->visibleSize = static_cast<float>(placed);
    m_scroller->maximum = std::max(0, static_cast<int>(m_rows.size()) - placed);
}

void GUI_DesignLoader::SortRows(std::vector<Row>& rows, int& currentKey, bool& reverse, int key)
{
    if (key == currentKey) {
        reverse = !reverse;
        std::reverse(rows.begin(), rows.end());
        return;
    }
    currentKey = key;
    std::stable_sort(rows.begin(), rows.end(),
                     [key](const Row& a, const Row& b) { return a.columns[key] < b.columns[key]; });
}

void GUI_DesignLoader::Sort(int key)
{
    const SIM_ShipDesign* selected = m_selected >= 0 ? m_rows[static_cast<size_t>(m_selected)].design : nullptr;
    SortRows(m_rows, m_sortKey, m_reverse, key);
    for (size_t i = 0; i < m_rows.size(); ++i) {
        if (m_rows[i].design == selected)
            m_selected = static_cast<int>(i);
    }
    LayoutRows();
}

void GUI_DesignLoader::Select(size_t row)
{
    if (row >= m_rows.size())
        return;
    m_selected = static_cast<int>(row);
    designer::PlaySound(designer::kSoundButton);
}

void GUI_DesignLoader::SortPressed(std::intptr_t key)
{
    if (g_loader && key >= 0 && key < 3)
        g_loader->Sort(static_cast<int>(key));
}

void GUI_DesignLoader::OpenPressed(std::intptr_t)
{
    GUI_DesignLoader* loader = g_loader;
    if (!loader)
        return;
    std::string file;
    if (GUI_ShipDesignSummary::GetOpen() && loader->m_selected >= 0)
        file = loader->m_rows[static_cast<size_t>(loader->m_selected)].design->GetFileName();
    g_loader = nullptr;
    loader->visible = false;
    GUI_WindowManager::GetInstance().CloseWindow(loader);
    if (!file.empty())
        GUI_ShipDesignSummary::LoadDesignByFileName(file);
}

void GUI_DesignLoader::AskDelete(std::intptr_t row)
{
    GUI_DesignLoader* loader = g_loader;
    if (!loader || row < 0 || static_cast<size_t>(row) >= loader->m_rows.size() ||
        !loader->m_rows[static_cast<size_t>(row)].deletable)
        return;
    const Row& asked = loader->m_rows[static_cast<size_t>(row)];
    loader->m_pendingDelete = asked.design->GetFileName();
    AskYesNoText(GUI_FilePickerItem::DeleteQuestion(asked.columns[BY_NAME]), "FILEPICKER_CONFIRM_DELETE_TITLE",
                 DeleteConfirmed, false);
}

void GUI_DesignLoader::DeleteConfirmed(std::intptr_t)
{
    GUI_DesignLoader* loader = g_loader;
    if (!loader)
        return;
    const std::string file = ToLowerString(loader->m_pendingDelete);
    loader->m_pendingDelete.clear();
    // Looked up again: the design may have gone while the question was open.
    SIM_ShipDesign* design = nullptr;
    for (SIM_ShipDesign* d : SIM_ShipDesign::GetList()) {
        if (!file.empty() && ToLowerString(d->GetFileName()) == file)
            design = d;
    }
    if (design && !GUI_ShipIconRCMenu::DeleteDesign(design)) {
        designer::PlaySound(designer::kSoundError);
        return;
    }
    loader->BuildRows();
}

bool GUI_DesignLoader::OnLeftClick(float x, float y)
{
    if (!visible)
        return false;
    if (ClickButtons())
        return true;
    for (size_t i = 0; i < m_rows.size(); ++i) {
        if (m_rows[i].placed && Inside(m_rows[i].rect, x, y)) {
            Select(i);
            return true;
        }
    }
    return GUI_Dialog::OnLeftClick(x, y);
}

void GUI_DesignLoader::Update()
{
    const CInput& input = CInput::GetInstance();
    int over = -1;
    for (size_t i = 0; i < m_rows.size(); ++i) {
        if (m_rows[i].placed && Inside(m_rows[i].rect, input.GetMouseX(), input.GetMouseY()))
            over = static_cast<int>(i);
    }
    if (over >= 0) {
        GUI_Cursor::GetInstance().SetHand();
        if (over != m_hovered)
            designer::PlaySound(designer::kSoundMouseOver);
    }
    m_hovered = over;
    GUI_Dialog::Update();
}

void GUI_DesignLoader::Draw()
{
    if (!visible)
        return;
    if (m_scroller->changed) {
        m_scroller->changed = false;
        LayoutRows();
    }
    drawButtons = false;
    GUI_Dialog::Draw();
    designer::DrawPanelBackdrop(m_list);
    m_interlace.Draw(m_list);
    designer::FillRect(m_nameBox.left, m_nameBox.top, m_nameBox.right, m_nameBox.bottom, 0xC0000000u);
    for (size_t i = 0; i < m_rows.size(); ++i) {
        const Row& row = m_rows[i];
        if (!row.placed)
            continue;
        designer::FillRect(row.rect.left, row.rect.top, row.rect.right, row.rect.bottom,
                           static_cast<int>(i) == m_selected ? 0x80FFFFFFu : 0x33FFFFFFu);
        for (int c = 0; c < 3; ++c)
            designer::DrawText(row.shown[c], static_cast<float>(row.rect.left + kColumnLeft[c]),
                               static_cast<float>(row.rect.top - 1));
    }
    DrawButtons();
    for (GUI_SubtleTextButton* b : m_sortButtons)
        b->LayoutText();
    designer::DrawText(m_nameLabel, static_cast<float>(m_list.left + 10), static_cast<float>(m_nameBox.top));
    if (m_selected >= 0)
        designer::DrawText(m_rows[static_cast<size_t>(m_selected)].columns[BY_NAME],
                           static_cast<float>(m_nameBox.left + 10), static_cast<float>(m_nameBox.top));
    DrawChildren();
}
