#pragma once
#include "gui/GUI_Dialog.h"
#include "gui/GUI_Interlace.h"
#include "gui/GUI_OneOpen.h"

#include <string>
#include <vector>

class GUI_ButtonText;
class GUI_CheckButton;
class GUI_OptionsSlider;
class GUI_ScrollingWindow;
class SIM_Scenario;
class SIM_ShipModuleType;

// What the editor sets for one module type: -1 for no limit.
struct GUI_SupplyLimitRecord {
    const SIM_ShipModuleType* type = nullptr;
    int limit = -1;
};

// One module type in the editor: unlimited, or limited with a slider from
// 0 to 100. A limit above 100 read from a file is kept until the slider moves.
class GUI_SupplyLimitEditorStrip : public GUI_WindowBase {
public:
    explicit GUI_SupplyLimitEditorStrip(GUI_SupplyLimitRecord& record);

    void Refresh();
    bool OnLeftClick(float x, float y) override;
    void Draw() override;

    GRect GetModeBox() const;
    GUI_OptionsSlider* GetSlider() const { return m_slider; }
    const std::string& GetValueText() const { return m_valueText; }

private:
    void FollowSlider();

    GUI_SupplyLimitRecord& m_record;
    std::string m_name;
    std::string m_valueText;
    std::string m_modeText;
    GUI_OptionsSlider* m_slider = nullptr;
    float m_sliderSet = 0.0f;
};

// The scenario editor's supply limits: every loaded module type, filtered by
// size class and category, each unlimited or limited. Save writes the
// limited ones back to the scenario.
class GUI_SupplyLimitEditor : public GUI_Dialog, public GUI_OneOpen<GUI_SupplyLimitEditor> {
public:
    static void Open(SIM_Scenario* scenario);
    // The scenario editor's list is rebuilt after a save (when it exists).
    static void SetSavedCallback(void (*callback)());

    ~GUI_SupplyLimitEditor() override;
    void Draw() override;

    // Writes the limits to the scenario and closes the editor.
    void Save();
    void SetFilter(int index, bool on);

    std::vector<GUI_SupplyLimitRecord>& GetRecords() { return m_records; }
    const std::vector<GUI_SupplyLimitEditorStrip*>& GetStrips() const { return m_strips; }
    GUI_ScrollingWindow* GetScrollBar() const { return m_scroll; }
    GUI_ButtonText* GetSaveButton() const { return m_save; }
    // 0..2 size classes (cruiser, frigate, fighter), 3..6 categories.
    GUI_CheckButton* GetFilterBox(int index) const { return index >= 0 && index < 7 ? m_filterBoxes[index] : nullptr; }

private:
    explicit GUI_SupplyLimitEditor(SIM_Scenario* scenario);
    void BuildStrips();
    static void OnSave(std::intptr_t);
    static void OnFilter(std::intptr_t index);

    SIM_Scenario* m_scenario;
    std::vector<GUI_SupplyLimitRecord> m_records;
    std::vector<GUI_SupplyLimitEditorStrip*> m_strips;
    GUI_ScrollingWindow* m_scroll = nullptr;
    GUI_ButtonText* m_save = nullptr;
    GUI_CheckButton* m_filterBoxes[7] = {};
    bool m_filters[7] = {true, true, true, true, true, true, true};
    GUI_Interlace m_interlace;
};
