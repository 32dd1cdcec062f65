#include "gui/GUI_FilePicker.h"

#include "engine/GDebugLog.h"
#include "engine/GFileList.h"
#include "engine/StrFormat.h"
#include "gui/GUI_FilePickerItem.h"
#include "gui/GUI_FrameDrawing.h"
#include "gui/GUI_PreloadedTextures.h"
#include "gui/GUI_ScrollingWindow.h"
#include "gui/GUI_TextEditWindow.h"

#include <algorithm>
#include <cstdio>
#include <sys/stat.h>

namespace {

// The delete question outlives nothing: the picker forgets it when it goes.
GUI_FilePicker* g_deletePicker = nullptr;
std::string g_deletePath;

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool IsPlainFile(const std::string& path)
{
    struct stat st;
    // lstat: a link is removed as a link, never followed out of the folder.
    return lstat(path.c_str(), &st) == 0 && (S_ISREG(st.st_mode) || S_ISLNK(st.st_mode));
}

} // namespace

GUI_FilePicker::GUI_FilePicker(const std::string& mask) : m_mask(mask)
{
    Rescan();
    m_scrollBar = new GUI_ScrollingWindow();
    AddChild(m_scrollBar);
}

GUI_FilePicker::~GUI_FilePicker()
{
    if (g_deletePicker == this) {
        g_deletePicker = nullptr;
        g_deletePath.clear();
    }
    m_rows.clear(); // the child windows go with the base
    m_linkedField = nullptr;
}

std::string GUI_FilePicker::NameFromPath(const std::string& path)
{
    const size_t slash = path.rfind('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const size_t dot = name.find('.');
    if (dot != std::string::npos)
        name.resize(dot);
    return name;
}

std::vector<std::string> GUI_FilePicker::Masks() const
{
    return m_useMaskList ? m_maskList : std::vector<std::string>{m_mask};
}

void GUI_FilePicker::SetMaskList(const std::vector<std::string>& masks)
{
    m_maskList = masks;
    m_useMaskList = true;
    Rescan();
}

void GUI_FilePicker::Rescan()
{
    m_files.clear();
    for (const std::string& mask : Masks()) {
        GFileList list;
        list.FindFiles(mask);
        for (const std::string& path : list.names) {
            const size_t slash = path.rfind('/');
            const size_t name = slash == std::string::npos ? 0 : slash + 1;
            if (m_hiddenPrefix.empty() || path.compare(name, m_hiddenPrefix.size(), m_hiddenPrefix) != 0)
                m_files.push_back(path);
        }
    }
    dirty = true;
}

void GUI_FilePicker::HideNamesStartingWith(const std::string& prefix)
{
    m_hiddenPrefix = prefix;
    Rescan();
    Layout();
}

void GUI_FilePicker::Layout()
{
    if (!m_scrollBar)
        return;
    RemoveChildElement(m_scrollBar);
    m_scrollBar->SetRect(static_cast<float>(right - kScrollBarWidth), static_cast<float>(top),
                         static_cast<float>(right), static_cast<float>(bottom));
    AddChildElement(m_scrollBar);
    m_visibleRows = std::max(0, (height - 2) / kRowPitch);
    const int fileCount = static_cast<int>(m_files.size());
    m_scrollBar->maximum = std::max(0, fileCount - m_visibleRows);
    // After files went, the old position may point past the end.
    m_scrollBar->position = std::clamp(m_scrollBar->position, 0, m_scrollBar->maximum);
    m_scrollBar->contentSize = static_cast<float>(fileCount);
    m_scrollBar->visibleSize = static_cast<float>(m_visibleRows);
    BuildRows();
}

void GUI_FilePicker::DeleteRows()
{
    std::vector<GUI_FilePickerItem*> rows;
    rows.swap(m_rows);
    for (GUI_FilePickerItem* row : rows)
        delete row;
}

void GUI_FilePicker::BuildRows()
{
    DeleteRows();
    const int first = m_scrollBar ? m_scrollBar->position : 0;
    const int rowRight = (m_scrollBar ? m_scrollBar->left : right) - 2;
    for (int n = 0; n < m_visibleRows; ++n) {
        const size_t index = static_cast<size_t>(first) + static_cast<size_t>(n);
        if (first < 0 || index >= m_files.size())
            break;
        auto* row = new GUI_FilePickerItem(this, m_files[index]);
        const int rowTop = top + 2 + kRowPitch * n;
        row->SetRect(static_cast<float>(left + 2), static_cast<float>(rowTop), static_cast<float>(rowRight),
                     static_cast<float>(rowTop + kRowHeight));
        AddChild(row);
        AddChildElement(row);
        m_rows.push_back(row);
    }
    if (m_rows.empty()) {
        // Nothing listed: no stale selection of a file that is gone.
        m_selectedPath.clear();
        m_selectedName.clear();
        return;
    }
    m_rows.front()->selected = true;
    m_selectedPath = m_rows.front()->GetPath();
    m_selectedName = m_rows.front()->GetName();
}

void GUI_FilePicker::DeselectAll(const std::string& path)
{
    m_selectedPath = path;
    for (GUI_FilePickerItem* row : m_rows)
        row->selected = false;
}

void GUI_FilePicker::SelectName(const std::string& name)
{
    m_selectedName = name;
    if (m_linkedField)
        m_linkedField->SetText(name);
}

void GUI_FilePicker::Draw()
{
    if (!visible)
        return;
    if (m_scrollBar && m_scrollBar->changed) {
        m_scrollBar->changed = false;
        BuildRows();
    }
    const float l = static_cast<float>(left), t = static_cast<float>(top);
    const float r = static_cast<float>(right), b = static_cast<float>(bottom);
    DrawPreloadedFrame(GUI_PreloadedTextures::kDialogClient, 32.0f, 1.0f, l, t, r, b);
    m_interlace.Draw(GRect{left, top, right, bottom});
    DrawChildren();
}

bool GUI_FilePicker::DeleteListedFile(const std::string& path)
{
    // Only what we listed, only straight inside one of our mask folders.
    if (std::find(m_files.begin(), m_files.end(), path) == m_files.end())
        return false;
    const std::string folder = FolderOf(path);
    const std::string file = path.substr(folder.size());
    if (file.empty() || file == "." || file == ".." || path.find("/../") != std::string::npos ||
        path.rfind("../", 0) == 0)
        return false;
    bool ours = false;
    for (const std::string& mask : Masks())
        ours = ours || FolderOf(mask) == folder;
    if (!ours || !IsPlainFile(path)) {
        LOG_ERROR(StrFormat("Refused to delete [%s]", path.c_str()));
        return false;
    }
    if (std::remove(path.c_str()) != 0) {
        LOG_ERROR(StrFormat("Failed to delete [%s]", path.c_str()));
        return false;
    }
    return true;
}

void GUI_FilePicker::RequestDelete(const std::string& path)
{
    g_deletePicker = this;
    g_deletePath = path;
}

GUI_FilePicker* GUI_FilePicker::GetDeleteRequestPicker()
{
    return g_deletePicker;
}

void GUI_FilePicker::ConfirmRequestedDelete()
{
    GUI_FilePicker* picker = g_deletePicker;
    const std::string path = g_deletePath;
    g_deletePicker = nullptr;
    g_deletePath.clear();
    if (!picker)
        return;
    picker->DeleteListedFile(path);
    // Reread either way: a file that could not go stays in the list.
    picker->Rescan();
    picker->Layout();
}

const GUI_FilePickerItem* GUI_FilePicker::FindRow(const std::string& name) const
{
    for (const GUI_FilePickerItem* row : m_rows)
        if (row->GetName() == name)
            return row;
    return nullptr;
}
