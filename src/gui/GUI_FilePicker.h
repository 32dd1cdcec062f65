#pragma once
#include "gui/GUI_Interlace.h"
#include "gui/GUI_WindowBase.h"

#include <string>
#include <vector>

class GUI_FilePickerItem;
class GUI_ScrollingWindow;
class GUI_TextEditWindow;

// The in-game file list: the files matching a folder mask as rows of 24
// pixels behind a scroll bar. The top visible row is selected whenever the
// rows are rebuilt.
class GUI_FilePicker : public GUI_WindowBase {
public:
    static constexpr int kRowPitch = 24;
    static constexpr int kRowHeight = 22;
    static constexpr int kScrollBarWidth = 22;

    explicit GUI_FilePicker(const std::string& mask);
    ~GUI_FilePicker() override;

    void Rescan();
    void Layout();
    void BuildRows();
    void DeselectAll(const std::string& path);
    void SelectName(const std::string& name);
    void Draw() override;

    // Searches every mask of the list instead of the single mask.
    void SetMaskList(const std::vector<std::string>& masks);
    void SetLinkedTextField(GUI_TextEditWindow* field) { m_linkedField = field; }
    // Files whose name starts with the prefix are the game's own (written for
    // itself, such as a temporary copy): they are not listed.
    void HideNamesStartingWith(const std::string& prefix);

    // Removes a listed file, but only from one of our own folders.
    bool DeleteListedFile(const std::string& path);
    // The confirm question's target: kept by path, so that rows may be
    // rebuilt while the question is open.
    void RequestDelete(const std::string& path);
    static void ConfirmRequestedDelete();
    static GUI_FilePicker* GetDeleteRequestPicker();

    // A path without its folder part and without everything from the first dot.
    static std::string NameFromPath(const std::string& path);

    const std::string& GetSelectedPath() const { return m_selectedPath; }
    const std::string& GetSelectedName() const { return m_selectedName; }
    const std::string& GetMask() const { return m_mask; }
    const std::vector<std::string>& GetFiles() const { return m_files; }
    const std::vector<GUI_FilePickerItem*>& GetRows() const { return m_rows; }
    // The row shown for the file of that name (without folder or extension);
    // null when none is shown.
    const GUI_FilePickerItem* FindRow(const std::string& name) const;
    GUI_ScrollingWindow* GetScrollBar() const { return m_scrollBar; }
    int GetVisibleRows() const { return m_visibleRows; }

    bool dirty = false;

private:
    std::vector<std::string> Masks() const;
    void DeleteRows();

    std::string m_selectedPath;
    std::string m_selectedName;
    std::string m_mask;
    std::vector<std::string> m_files;
    std::vector<GUI_FilePickerItem*> m_rows;
    GUI_ScrollingWindow* m_scrollBar = nullptr;
    int m_visibleRows = 0;
    GUI_TextEditWindow* m_linkedField = nullptr;
    std::vector<std::string> m_maskList;
    bool m_useMaskList = false;
    std::string m_hiddenPrefix;
    GUI_Interlace m_interlace;
};
