#pragma once
#include "gui/GUI_Dialog.h"
#include "gui/GUI_Interlace.h"

#include <string>
#include <vector>

class GUI_ScrollingWindow;
class SIM_ShipModuleType;

// One data item compared across every module type of the clicked module's
// size class that has it: bars sorted from the highest value down, the
// clicked module's in red and scrolled into view.
class GUI_ModuleStatComparison : public GUI_Dialog {
public:
    static constexpr int kRowHeight = 24;
    static constexpr int kWidth = 600;
    static constexpr int kMaxHeight = 700;

    struct Entry {
        std::string name;
        float value = 0.0f;
        // value / maximum; 0 when no value is above 0 (no bar at all).
        float fraction = 0.0f;
        SIM_ShipModuleType* type = nullptr;
        std::string text;
    };

    static GUI_ModuleStatComparison* GetOpen();
    static GUI_ModuleStatComparison* Open(SIM_ShipModuleType* type, const std::string& key, int dataType,
                                          float multiplier);
    ~GUI_ModuleStatComparison() override;

    static std::vector<Entry> BuildEntries(int sizeClass, const std::string& key);
    static std::string FormatEntryValue(float value, int dataType, float multiplier);

    void Draw() override;
    void BuildStrips();
    void ScrollToCurrent();

    const std::vector<Entry>& GetEntries() const { return m_entries; }
    int GetVisibleRows() const { return m_visibleRows; }
    int GetMaximumOffset() const { return m_maxOffset; }
    int GetCurrentIndex() const { return m_currentIndex; }
    int GetOffset() const;
    GUI_ScrollingWindow* GetScroller() const { return m_scroller; }

private:
    GUI_ModuleStatComparison(SIM_ShipModuleType* type, const std::string& key, int dataType, float multiplier);

    struct Strip {
        GRect rect;
        size_t entry;
        bool current;
    };
    SIM_ShipModuleType* m_type;
    std::string m_key;
    std::vector<Entry> m_entries;
    std::vector<Strip> m_strips;
    int m_visibleRows = 0;
    int m_maxOffset = 0;
    int m_currentIndex = 0;
    GUI_ScrollingWindow* m_scroller = nullptr;
    GUI_Interlace m_interlace;
};
